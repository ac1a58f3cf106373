// Moves as players write them. The server describes each move in its own
// coordinates ("Phao đỏ 7b-7e ăn Ma đen"); this is the one place that reads
// those descriptions. From them it rebuilds the earlier positions (walking
// back from the current board: each description names both squares and any
// captured piece) and writes a move in one of three notations:
//   'viet'  — Vietnamese traditional, "Pháo 2 bình 5", "Xe trước tiến 1"
//   'wxf'   — the international short form, "C2=5", "+R+1"
//   'iccs'  — coordinates as Xiangqi programs exchange them, "h2-e2".
// It also reads a single move, against a position, in these, in the game's
// own coordinates and in the notations doc_nuoc.js reads (Chinese, ICCS,
// official WXF, Vietnamese short forms).
// No DOM here: node's test runner loads this module as it is.

import { TEN_LOAI, TEN_API_LOAI, CHU_COT, LOAI_TUONG, LOAI_TOT } from './labels.js';
import { nuocICCS } from './fen.js';
import { cacCachDocThem } from './doc_nuoc.js';

export const KIEU_KY_PHAP = ['viet', 'wxf', 'iccs'];

const CHU_WXF = 'RCHEAKP'; // by kind code: chariot, cannon, horse, elephant, advisor, king, pawn
const DI_THANG = new Set([0, 1, 5, 6]); // kinds that move along lines: counted in ranks

/** A position: 90 cells (row * 9 + column), each null or {phe, loai}. */
export function viTriTuBanCo(banCo) {
  const o = new Array(90).fill(null);
  for (const q of banCo) o[q.h * 9 + q.c] = { phe: q.phe === 'DEN' ? 'DEN' : 'DO', loai: q.loai };
  return o;
}

function loaiTheoTen(ten) {
  return TEN_API_LOAI.indexOf(ten);
}

function pheTheoChu(chu) {
  return chu === 'đen' ? 'DEN' : 'DO';
}

const MO_TA = /^(\S+)(?: (đỏ|đen))? (\d)([a-i])-(\d)([a-i])(?: ăn (\S+) (đỏ|đen))?$/;

/**
 * One server description as {hd, cd, hc, cc, loai, phe, an}: the squares, the
 * mover's kind and side (loai -1 when its square was empty) and the captured
 * piece ({loai, phe}) or null. Null for a text that is not a description.
 */
export function docMoTa(moTa) {
  const m = MO_TA.exec(moTa || '');
  if (!m) return null;
  return {
    hd: +m[3], cd: CHU_COT.indexOf(m[4]), hc: +m[5], cc: CHU_COT.indexOf(m[6]),
    loai: loaiTheoTen(m[1]),
    phe: pheTheoChu(m[2]),
    an: m[7] ? { loai: loaiTheoTen(m[7]), phe: pheTheoChu(m[8]) } : null,
  };
}

/**
 * Every position of the game from the current board and the history: entry k
 * is the position after k plies (entry 0 the start, the last one the board as
 * it is now). Entries before a description that cannot be read are null.
 */
export function cacViTri(banCo, lichSu) {
  const ds = new Array(lichSu.length + 1).fill(null);
  let o = viTriTuBanCo(banCo);
  ds[lichSu.length] = o;
  for (let k = lichSu.length - 1; k >= 0; k -= 1) {
    const n = docMoTa(lichSu[k]);
    if (!n) break;
    o = o.slice();
    const den = n.hc * 9 + n.cc;
    o[n.hd * 9 + n.cd] = o[den] ?? (n.loai >= 0 ? { phe: n.phe, loai: n.loai } : null);
    o[den] = n.an && n.an.loai >= 0 ? { ...n.an } : null;
    ds[k] = o;
  }
  return ds;
}

/** A side's file number 1..9 for a column, counted from that side's right hand. */
export function soCot(phe, cot) {
  return phe === 'DEN' ? cot + 1 : 9 - cot;
}

/**
 * A text of the program that names squares in coordinates ("Tốt đỏ ở i2
 * đứng sau …") with each square named as the board's edges show it in a
 * player's notation: the file number of the piece's side, and the rank
 * counted from that side ("Tốt đỏ ở cột 1, hàng 3 (đếm từ phía Đỏ) …").
 * With coordinates, or a text without squares, it stays as it is.
 */
export function oTheoKyPhap(chu, kieu) {
  if (kieu === 'iccs' || typeof chu !== 'string') return chu;
  return chu.replace(/ (đỏ|đen) ở ([a-i])(\d)(?![\da-z])/g, (_, ten, chuCot, so) => {
    const phe = pheTheoChu(ten);
    const cot = soCot(phe, CHU_COT.indexOf(chuCot));
    const hang = phe === 'DO' ? Number(so) + 1 : 10 - Number(so);
    return ` ${ten} ở cột ${cot}, hàng ${hang} (đếm từ phía ${phe === 'DO' ? 'Đỏ' : 'Đen'})`;
  });
}

function cotCuaSo(phe, so) {
  return phe === 'DEN' ? so - 1 : 9 - so;
}

/** +1 when a row change is a step forward for the side, -1 backward. */
function huongTien(phe) {
  return phe === 'DEN' ? 1 : -1;
}

/** Rows of the side's pieces of one kind on one column, the front one first. */
function hangCungCot(o, phe, loai, cot) {
  const hang = [];
  for (let h = 0; h < 10; h += 1) {
    const q = o[h * 9 + cot];
    if (q && q.phe === phe && q.loai === loai) hang.push(h);
  }
  return phe === 'DEN' ? hang.reverse() : hang;
}

/** Columns on which the side has two or more pieces of the kind. */
function cotCoChong(o, phe, loai) {
  const cot = [];
  for (let c = 0; c < 9; c += 1) if (hangCungCot(o, phe, loai, c).length >= 2) cot.push(c);
  return cot;
}

// The place of a piece among n of its kind on one file, front first.
const VI_TRI_VIET = {
  2: ['trước', 'sau'],
  3: ['trước', 'giữa', 'sau'],
  4: ['thứ nhất', 'thứ hai', 'thứ ba', 'thứ tư'],
  5: ['thứ nhất', 'thứ hai', 'thứ ba', 'thứ tư', 'thứ năm'],
};
const VI_TRI_WXF = { 2: ['+', '-'], 3: ['+', '', '-'], 4: ['++', '+', '-', '--'], 5: ['++', '+', '', '-', '--'] };

/** How the mover is named: its file, or its place on a file shared with its kind. */
function tenQuanDi(o, n) {
  const cung = hangCungCot(o, n.phe, n.loai, n.cd);
  const so = soCot(n.phe, n.cd);
  if (cung.length < 2) return { viTri: null, so };
  const i = cung.indexOf(n.hd);
  // Soldiers may stand two by two on several files: then the file is named too.
  const nhieuCot = n.loai === LOAI_TOT && cotCoChong(o, n.phe, LOAI_TOT).length > 1;
  return { viTri: i, tren: cung.length, so: nhieuCot ? so : null };
}

/** Direction (+1 forward, -1 back, 0 sideways) and the number that follows it. */
function huongVaSo(n) {
  const dh = (n.hc - n.hd) * huongTien(n.phe);
  const huong = Math.sign(dh);
  if (huong === 0 || !DI_THANG.has(n.loai) || n.cd !== n.cc) return { huong, so: soCot(n.phe, n.cc) };
  return { huong, so: Math.abs(dh) };
}

function viet(o, n) {
  const ten = TEN_LOAI[n.loai];
  const ai = tenQuanDi(o, n);
  let dau;
  if (ai.viTri === null) dau = `${ten} ${ai.so}`;
  else dau = [ten, VI_TRI_VIET[ai.tren][ai.viTri], ai.so].filter((x) => x !== null).join(' ');
  const { huong, so } = huongVaSo(n);
  return `${dau} ${huong > 0 ? 'tiến' : huong < 0 ? 'thoái' : 'bình'} ${so}`;
}

function wxf(o, n) {
  const chu = CHU_WXF[n.loai];
  const ai = tenQuanDi(o, n);
  let dau;
  if (ai.viTri === null) dau = `${chu}${ai.so}`;
  else {
    const dauVT = VI_TRI_WXF[ai.tren][ai.viTri];
    dau = dauVT === '' ? `${chu}${soCot(n.phe, n.cd)}` : `${dauVT}${chu}${ai.so ?? ''}`;
  }
  const { huong, so } = huongVaSo(n);
  return `${dau}${huong > 0 ? '+' : huong < 0 ? '-' : '='}${so}`;
}

/** Just the squares of a move in ICCS coordinates, "h2-e2". */
export function oCuaNuoc(n) {
  const iccs = nuocICCS(n);
  return `${iccs.slice(0, 2)}-${iccs.slice(2)}`;
}

/**
 * A move ({hd, cd, hc, cc, loai, phe}) in a notation, o being the position
 * before it. Without a position, or for a kind not known, the coordinates.
 * ('toado', the name the coordinates had before, is still understood.)
 */
export function vietNuoc(o, n, kieu) {
  if (kieu === 'iccs' || kieu === 'toado' || !o || n.loai < 0 || n.loai > LOAI_TOT) return oCuaNuoc(n);
  return kieu === 'wxf' ? wxf(o, n) : viet(o, n);
}

/**
 * Every move of the history in a notation: [{ply, phe, chu, nuoc}]; vt, the
 * positions from cacViTri, when the caller has them already.
 */
export function bienBan(banCo, lichSu, kieu, vt = cacViTri(banCo, lichSu)) {
  return lichSu.map((moTa, k) => {
    const n = docMoTa(moTa);
    const phe = n ? n.phe : (k % 2 ? 'DEN' : 'DO');
    return { ply: k + 1, phe, nuoc: n, chu: n ? vietNuoc(vt[k], n, kieu) : moTa };
  });
}

// ---------- reading one move ----------

/** Lower case without diacritics ("Tượng" → "tuong", "đ" → "d"). */
export function boDau(chu) {
  return chu.normalize('NFD').replace(/[\u0300-\u036f]/g, '').replace(/đ/gi, 'd').toLowerCase();
}

// Vietnamese piece words without diacritics; "tuong" alone may be either the
// general or the elephant, and the board decides.
const LOAI_VIET = {
  xe: [0], phao: [1], ma: [2], voi: [3], tuong: [3, LOAI_TUONG], si: [4], sy: [4], tot: [LOAI_TOT], chot: [LOAI_TOT],
};
const VI_TRI_DOC = { truoc: 'truoc', giua: 'giua', sau: 'sau' };
const THU = { nhat: 1, hai: 2, ba: 3, tu: 4, nam: 5 };

function loaiVietCoDau(tu) {
  const d = tu.normalize('NFD');
  if (boDau(tu) === 'tuong') {
    if (d.includes('\u0323')) return [3]; // tượng: the elephant
    if (d.includes('\u0301')) return [LOAI_TUONG]; // tướng: the general
  }
  return LOAI_VIET[boDau(tu)] ?? null;
}

const DOC_VIET = /^(\S+)\s+(?:(truoc|giua|sau|thu\s+(?:nhat|hai|ba|tu|nam))\s+)?(?:(\d)\s+)?(tien|tan|thoai|binh)\s+(\d)$/;
const DOC_TOA_DO = /(\d)\s*([a-i])\s*-\s*(\d)\s*([a-i])/;

/**
 * The parts of a move in the game's own coordinates ("Pháo đỏ 7h-7e") or in
 * Vietnamese words ("Xe trước tiến 1"), or null:
 * {oDi: [h, c], oDen: [h, c]} for coordinates, else {loai: [kinds], so (file
 * or null), viTri (place on the file: {tu: 'truoc'|'sau'|'giua'} or
 * {thu: k} or {wxf: '+'...}), huong (+1, -1, 0), buoc}.
 */
export function phanTichNuoc(chu) {
  const t = chu.trim().replace(/\s+/g, ' ');
  const td = DOC_TOA_DO.exec(t);
  if (td) return { oDi: [+td[1], CHU_COT.indexOf(td[2])], oDen: [+td[3], CHU_COT.indexOf(td[4])] };
  const v = DOC_VIET.exec(boDau(t));
  if (!v) return null;
  const loai = loaiVietCoDau(t.split(' ')[0]);
  if (!loai) return null;
  let viTri = null;
  if (v[2]) viTri = v[2].startsWith('thu') ? { thu: THU[v[2].slice(4)] } : { tu: VI_TRI_DOC[v[2]] };
  return {
    loai, so: v[3] ? +v[3] : null, viTri, huong: { tien: 1, tan: 1, thoai: -1 }[v[4]] ?? 0, buoc: +v[5],
  };
}

/** Index on the file (front first) that a place word names among n pieces, or -1. */
function chiSoViTri(viTri, n) {
  if (viTri.tu === 'truoc') return 0;
  if (viTri.tu === 'sau') return n - 1;
  if (viTri.tu === 'giua') return n % 2 ? (n - 1) / 2 : -1;
  if (viTri.thu) return viTri.thu <= n ? viTri.thu - 1 : -1;
  const bang = VI_TRI_WXF[n] ?? [];
  const i = bang.indexOf(viTri.wxf);
  if (i >= 0) return i;
  // "+" and "-" also name the two ends when there are many.
  return viTri.wxf === '+' ? 0 : viTri.wxf === '-' ? n - 1 : -1;
}

/** The squares [row, column] of the side's pieces that the parts can name. */
function quanDuocGoi(o, phe, loai, p) {
  if (p.so !== null && (p.so < 1 || p.so > 9)) return [];
  const cacCot = p.so !== null ? [cotCuaSo(phe, p.so)] : (p.viTri ? cotCoChong(o, phe, loai) : []);
  if (p.viTri?.thu && p.so === null && cacCot.length > 1) {
    // Chinese books number soldiers standing two or more on several files
    // together: file by file from the side's right, front to back on each.
    const tatCa = cacCot.sort((a, b) => soCot(phe, a) - soCot(phe, b))
      .flatMap((c) => hangCungCot(o, phe, loai, c).map((h) => [h, c]));
    return tatCa[p.viTri.thu - 1] ? [tatCa[p.viTri.thu - 1]] : [];
  }
  const ket = [];
  for (const c of cacCot) {
    const cung = hangCungCot(o, phe, loai, c);
    if (p.viTri) {
      const i = chiSoViTri(p.viTri, cung.length);
      if (cung.length >= 2 && i >= 0) ket.push([cung[i], c]);
    } else if (cung.length % 2 && cung.length >= 3 && loai === LOAI_TOT) {
      ket.push([cung[(cung.length - 1) / 2], c]); // "P7" with three or five soldiers on the file: the middle one
    } else {
      for (const h of cung) ket.push([h, c]);
    }
  }
  return ket;
}

/** Where a piece of the kind lands for the direction and number, or null. */
function oDen(phe, loai, [h, c], huong, buoc) {
  const f = huongTien(phe);
  let hc;
  let cc;
  if (DI_THANG.has(loai) && huong !== 0) {
    cc = c;
    hc = h + f * huong * buoc;
  } else {
    cc = cotCuaSo(phe, buoc);
    const dc = Math.abs(cc - c);
    if (huong === 0) {
      if (!DI_THANG.has(loai) || buoc < 1 || buoc > 9) return null;
      hc = h;
    } else {
      const dh = { 2: { 1: 2, 2: 1 }, 3: { 2: 2 }, 4: { 1: 1 } }[loai]?.[dc];
      if (!dh) return null;
      hc = h + f * huong * dh;
    }
  }
  if (hc < 0 || hc > 9 || cc < 0 || cc > 8 || (hc === h && cc === c)) return null;
  return [hc, cc];
}

function trongCung(phe, h, c) {
  return c >= 3 && c <= 5 && (phe === 'DEN' ? h <= 2 : h >= 7);
}

/**
 * Whether the piece could make the move by the way it moves (the squares in
 * between, the horse's leg, the elephant's eye, the palace, the river); the
 * general's safety is not looked at. Only used to choose between readings:
 * whether a move is legal is for the server to say.
 */
function diDuoc(o, phe, { hd, cd, hc, cc }) {
  const q = o[hd * 9 + cd];
  const dich = o[hc * 9 + cc];
  if (!q || q.phe !== phe || (dich && dich.phe === phe)) return false;
  const dh = hc - hd;
  const dc = cc - cd;
  const giua = () => {
    let dem = 0;
    const bh = Math.sign(dh);
    const bc = Math.sign(dc);
    for (let h = hd + bh, c = cd + bc; h !== hc || c !== cc; h += bh, c += bc) if (o[h * 9 + c]) dem += 1;
    return dem;
  };
  const thang = (dh === 0) !== (dc === 0);
  switch (q.loai) {
    case 0: return thang && giua() === 0;
    case 1: return thang && giua() === (dich ? 1 : 0);
    case 2:
      if (Math.abs(dh * dc) !== 2) return false;
      return !o[Math.abs(dh) === 2 ? (hd + dh / 2) * 9 + cd : hd * 9 + cd + dc / 2];
    case 3:
      return Math.abs(dh) === 2 && Math.abs(dc) === 2 && !o[(hd + dh / 2) * 9 + cd + dc / 2]
        && (phe === 'DEN' ? hc <= 4 : hc >= 5);
    case 4: return Math.abs(dh) === 1 && Math.abs(dc) === 1 && trongCung(phe, hc, cc);
    case 5:
      if (Math.abs(dh) + Math.abs(dc) === 1) return trongCung(phe, hc, cc);
      return dc === 0 && dich?.loai === LOAI_TUONG && giua() === 0; // the generals facing
    case 6:
      if (dc === 0) return dh === huongTien(phe);
      return dh === 0 && Math.abs(dc) === 1 && (phe === 'DEN' ? hd >= 5 : hd <= 4);
    default: return false;
  }
}

/**
 * A written move read against a position with `phe` to move: {hd, cd, hc,
 * cc}, or {loi} saying why it cannot be read. A text that more than one
 * notation reads ("C7.1") is settled by the pieces that could make the move,
 * then by `he`, the notation the rest of the game is written in ('wxf',
 * 'vn'). Only the notation is checked here; whether the move is legal is for
 * the server to say.
 */
export function docNuoc(chu, o, phe, { he = null } = {}) {
  const p = phanTichNuoc(chu);
  const cach = [...(p ? [p] : []), ...cacCachDocThem(chu)];
  if (!cach.length) return { loi: 'không đọc được' };
  let ketQua = [];
  for (const c of cach) {
    if (c.oDi) {
      ketQua.push({ hd: c.oDi[0], cd: c.oDi[1], hc: c.oDen[0], cc: c.oDen[1], he: c.he });
      continue;
    }
    for (const loai of c.loai) {
      for (const oDi of quanDuocGoi(o, phe, loai, c)) {
        const den = oDen(phe, loai, oDi, c.huong, c.buoc);
        if (den) ketQua.push({ hd: oDi[0], cd: oDi[1], hc: den[0], cc: den[1], he: c.he });
      }
    }
  }
  const loc = (dk) => {
    const con = ketQua.filter(dk);
    if (con.length) ketQua = con;
  };
  const khac = (ds) => new Set(ds.map((n) => `${n.hd},${n.cd},${n.hc},${n.cc}`)).size;
  if (khac(ketQua) > 1) loc((n) => diDuoc(o, phe, n));
  if (khac(ketQua) > 1 && he) loc((n) => n.he === he);
  if (khac(ketQua) === 1) {
    const { hd, cd, hc, cc } = ketQua[0];
    return { hd, cd, hc, cc };
  }
  return { loi: ketQua.length ? 'không rõ quân nào đi' : 'không có quân như thế' };
}
