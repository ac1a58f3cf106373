// Positions as text and moves as coordinates, the forms other Xiangqi
// programs exchange. A position is the page's 90 cells (row * 9 + column,
// row 0 black's back rank; each null or {phe, loai}); FEN lists the rows
// from black's back rank, red in upper case. ICCS coordinates name files
// a–i from red's left (column 0) and ranks 0–9 from red's side (row 9).
// Whether a position can be played is for the server to say.
// No DOM here: node's test runner loads this module as it is.

export const FEN_BAT_DAU = 'rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w';

const CHU_FEN = 'rcnbakp'; // by kind code: xe, phao, ma, voi (tượng), si, tuong, tot

function loaiTuChu(ch) {
  const k = CHU_FEN.indexOf(ch.toLowerCase());
  if (k >= 0) return k;
  return { h: 2, e: 3 }[ch.toLowerCase()] ?? -1;
}

/**
 * {o, luot} for a FEN (side "w"/"r" red, "b" black, red when absent), or
 * {loi} naming what cannot be read. Later fields are ignored.
 */
export function docFEN(fen) {
  const [viTri = '', phe = 'w'] = String(fen).trim().split(/\s+/);
  const hang = viTri.split('/');
  if (hang.length !== 10) return { loi: 'FEN cần đúng 10 hàng' };
  const o = new Array(90).fill(null);
  for (let h = 0; h < 10; h += 1) {
    let c = 0;
    for (const ch of hang[h]) {
      if (ch >= '1' && ch <= '9') { c += +ch; continue; }
      const loai = loaiTuChu(ch);
      if (loai < 0) return { loi: `Ký tự lạ trong FEN: "${ch}"` };
      if (c > 8) break;
      o[h * 9 + c] = { phe: ch === ch.toUpperCase() ? 'DO' : 'DEN', loai };
      c += 1;
    }
    if (c !== 9) return { loi: `Hàng ${h + 1} của FEN không có đúng 9 cột` };
  }
  if (!['w', 'r', 'b'].includes(phe)) return { loi: 'Bên đi trong FEN phải là w, r hoặc b' };
  return { o, luot: phe === 'b' ? 'DEN' : 'DO' };
}

/** The FEN of a position with `luot` to move ("w" red, "b" black). */
export function vietFEN(o, luot) {
  const hang = [];
  for (let h = 0; h < 10; h += 1) {
    let s = '';
    let trong = 0;
    for (let c = 0; c < 9; c += 1) {
      const q = o[h * 9 + c];
      if (!q) { trong += 1; continue; }
      if (trong) s += trong;
      trong = 0;
      const ch = CHU_FEN[q.loai];
      s += q.phe === 'DEN' ? ch : ch.toUpperCase();
    }
    if (trong) s += trong;
    hang.push(s);
  }
  return `${hang.join('/')} ${luot === 'DEN' ? 'b' : 'w'}`;
}

/** A move {hd, cd, hc, cc} in ICCS coordinates, "h2e2". */
export function nuocICCS(n) {
  const o = (h, c) => `${'abcdefghi'[c]}${9 - h}`;
  return o(n.hd, n.cd) + o(n.hc, n.cc);
}

/** "h2e2" (or "H2-E2") as {hd, cd, hc, cc}; null when it is not one. */
export function docICCS(chu) {
  const m = /^([a-i])([0-9])-?([a-i])([0-9])$/i.exec(String(chu).trim());
  if (!m) return null;
  const cot = (ch) => ch.toLowerCase().charCodeAt(0) - 97;
  return { hd: 9 - +m[2], cd: cot(m[1]), hc: 9 - +m[4], cc: cot(m[3]) };
}

/**
 * The position after a move, without judging it (the mover is whatever
 * stands on the first square; a piece on the second is taken).
 */
export function diTren(o, n) {
  const moi = o.slice();
  moi[n.hc * 9 + n.cc] = moi[n.hd * 9 + n.cd];
  moi[n.hd * 9 + n.cd] = null;
  return moi;
}
