// Game files as players exchange them, and pasted move lists: Xiangqi PGN
// (tag pairs, several games a file, {comments}, (variations), $NAGs, move
// numbers, results) with moves in any notation the page reads, a bare FEN
// line, and the page's own text export ("Chấp:" headings, squares in
// brackets). A game's moves come out as written; each is read against the
// position when it is played (notation.js docNuoc). No DOM here.

import { boDau } from './notation.js';
import { doanHe } from './doc_nuoc.js';
import { TEN_LOAI, TEN_API_LOAI, LOAI_TUONG } from './labels.js';

/**
 * The text of a file's bytes: UTF-8 (a byte-order mark dropped) when they
 * are valid UTF-8, else GB18030, which most Chinese game files are in.
 */
export function docTep(bytes) {
  const b = bytes instanceof Uint8Array ? bytes : new Uint8Array(bytes);
  try {
    return new TextDecoder('utf-8', { fatal: true }).decode(b);
  } catch {
    return new TextDecoder('gb18030').decode(b);
  }
}

// What a move may look like (tried at one spot, in order). Full-width forms
// are folded before, and moves may follow one another without a space
// ("炮二平五马8进7", "C2=5H8+7").
const SO = '一二三四五六七八九';
const MAU_NUOC = [
  // the game's own squares, as its descriptions write them: "Pháo đỏ 7h-7e ăn Mã đen"
  /(?:[\p{L}?]+\s+(?:đỏ|đen)\s+)?\d\s*[a-i]\s*-\s*\d\s*[a-i](?:\s+ăn\s+\p{L}+\s+(?:đỏ|đen))?/yu,
  // Vietnamese in words: "Xe trước tiến 1", "Mã 2 tấn 3"
  /\p{L}+\s+(?:(?:trước|giữa|sau|truoc|giua|thứ\s+\p{L}+|thu\s+\p{L}+)\s+)?(?:\d\s+)?(?:tiến|tấn|thoái|bình|tien|tan|thoai|binh)\s+\d/yiu,
  // ICCS: "h2e2", "H2-E2"
  /[a-i][0-9]-?[a-i][0-9](?![\p{L}\d])/yiu,
  // Chinese: "炮二平五", "前车进一", "二兵平三"
  new RegExp(`[前中后後]?[一二三四五1-5]?[车車俥伡炮砲包马馬傌相象仕士帅帥将將兵卒][${SO}1-9]?[前中后後]?[进進退平][${SO}1-9]`, 'yu'),
  // short forms, WXF and Vietnamese: "C2=5", "R+.3", "++.4", "15+1", "P2-5", "X1/1", "Xt.1"
  /(?:[+-]{0,2}(?:Tg|[KAEHRCPBNGSXMTV])[tsg+-]?[1-9]?|[1-9][1-9+-]|[+-]{2})[+\-=./][1-9](?!\d)/yi,
];
// A soldier named by file and place ("33.4") is not a move number.
const TOT_SO = /[1-9][1-9+-][.][1-9](?![\d+\-=./])/y;
const SO_NUOC = /\d+\s*(?:\.+|…)/y;
const KET_QUA = /(1-0|0-1|1\/2-1\/2|1⁄2-1⁄2|½-½|\*|(?:红|紅|黑)方?先?(?:胜|勝)|和棋|和局)/y;
const BO_QUA = /[^\S\n]+|\n|\$\d+|\.\.\.|…|[,;|、。!?]+|={3,}|-{3,}|\[[^\]\n]*\]/y;
const THE = /\[\s*(\w+)\s+"((?:[^"\\]|\\.)*)"\s*\]/g;
const DONG_FEN = /^\s*([rnbakcpheRNBAKCPHE1-9]+(?:\/[rnbakcpheRNBAKCPHE1-9]+){9})(?:\s+([wrb]))?(?:\s.*)?$/;

function khop(mau, t, i) {
  mau.lastIndex = i;
  const m = mau.exec(t);
  return m && m[0].length ? m[0] : null;
}

function vanMoi() {
  return { the: {}, fen: null, nuoc: [], dong: [], chap: [], ketQua: null, khongDoc: null };
}

const SAU_BIEN_TOI_DA = 64; // deeper variations are skipped whole

/** Where a bracketed part that may nest ends (after its closing character). */
function hetNgoac(t, i) {
  let sau = 0;
  for (let k = i; k < t.length; k += 1) {
    if (t[k] === '{') {
      const het = t.indexOf('}', k);
      if (het < 0) return t.length;
      k = het;
    } else if (t[k] === '(') sau += 1;
    else if (t[k] === ')' && --sau === 0) return k + 1;
  }
  return t.length;
}

/** A result as PGN writes it: "1-0", "0-1", "1/2-1/2" or "*". */
function ketQuaChuan(kq) {
  if (/^[红紅]/.test(kq)) return '1-0';
  if (/^黑/.test(kq)) return '0-1';
  return /和|½|⁄|\//.test(kq) ? '1/2-1/2' : kq;
}

/**
 * The games of a text: [{the: {tag: value}, fen, nuoc: [text...], dong,
 * chap: ['DO:Xe', ...], ketQua, khongDoc, he}]. nuoc is the main line; dong
 * the same moves with their variations, [{chu, bien: [dong...]}], each
 * variation an alternative to the move it follows. A game's moves stop at
 * the first piece of text that is not a move (khongDoc names it); inside a
 * variation such text only ends that variation. A later tag section starts
 * the next game. A text without tags is one game.
 */
export function docCacVan(vanBan) {
  const t = String(vanBan).normalize('NFKC').replace(/\r\n?/g, '\n');
  const ds = [vanMoi()];
  let van = ds[0];
  let dung = false; // the game stopped at something unreadable: wait for the next tags
  let dongHien = van.dong; // the line moves go to: the main line, or a variation being read
  const mo = []; // the variations open around it: {dong: the line outside, dau: where "(" stood}
  let i = 0;
  while (i < t.length) {
    if (i === 0 || t[i - 1] === '\n') {
      const hetDong = t.indexOf('\n', i) < 0 ? t.length : t.indexOf('\n', i);
      const dong = t.slice(i, hetDong);
      if (/^\s*\[\s*\w+\s+"/.test(dong) && dong.replace(THE, '').trim() === '') {
        if (van.nuoc.length || van.ketQua || van.khongDoc) {
          van = vanMoi();
          ds.push(van);
        }
        dongHien = van.dong; // a variation left open ends with its game
        mo.length = 0;
        for (const m of dong.matchAll(THE)) van.the[m[1]] = m[2].replace(/\\(.)/g, '$1');
        if (van.the.FEN) van.fen = van.the.FEN;
        dung = false;
        i = hetDong;
        continue;
      }
      const dauMuc = /^\s*([^:;{}[\]()]{0,40}):(.*)$/.exec(dong);
      // A heading line such as "Chấp: ..." or "红方: ...", not moves with a remark after them.
      if (dauMuc && !dung && !/\d\s*\./.test(dauMuc[1])) {
        if (boDau(dauMuc[1]).trim() === 'chap') van.chap.push(...docChap(dauMuc[2]));
        i = hetDong;
        continue;
      }
      const fen = DONG_FEN.exec(dong);
      if (fen && !dung && !van.nuoc.length) {
        van.fen = fen[2] ? `${fen[1]} ${fen[2]}` : fen[1];
        i = hetDong;
        continue;
      }
      if (dung) {
        i = hetDong + 1;
        continue;
      }
    }
    const ch = t[i];
    if (ch === '{') {
      const het = t.indexOf('}', i);
      i = het < 0 ? t.length : het + 1;
      continue;
    }
    if (ch === ';') {
      const het = t.indexOf('\n', i);
      i = het < 0 ? t.length : het;
      continue;
    }
    if (ch === '(') {
      const truoc = dongHien[dongHien.length - 1];
      if (!truoc || mo.length >= SAU_BIEN_TOI_DA) {
        i = hetNgoac(t, i); // nothing for it to replace
        continue;
      }
      const bien = [];
      truoc.bien.push(bien);
      mo.push({ dong: dongHien, dau: i });
      dongHien = bien;
      i += 1;
      continue;
    }
    if (ch === ')' && mo.length) {
      dongHien = mo.pop().dong;
      i += 1;
      continue;
    }
    const kq = khop(KET_QUA, t, i);
    if (kq && mo.length) {
      i += kq.length; // a variation's own ending says nothing of the game's
      continue;
    }
    if (kq) {
      van.ketQua = ketQuaChuan(kq);
      i += kq.length;
      continue;
    }
    const nuoc = khop(TOT_SO, t, i);
    const so = nuoc ? null : khop(SO_NUOC, t, i);
    const boQua = so || khop(BO_QUA, t, i);
    if (boQua) {
      i += boQua.length;
      continue;
    }
    const chu = nuoc || MAU_NUOC.map((m) => khop(m, t, i)).find(Boolean);
    if (chu) {
      const gon = chu.replace(/\s+/g, ' ');
      if (!mo.length) van.nuoc.push(gon);
      dongHien.push({ chu: gon, bien: [] });
      i += chu.length;
      continue;
    }
    if (mo.length) {
      // Unreadable inside a variation: that variation ends, the game goes on after it.
      const ngoai = mo.pop();
      dongHien = ngoai.dong;
      i = hetNgoac(t, ngoai.dau);
      continue;
    }
    van.khongDoc = t.slice(i).split(/\n|\s{2,}|\t|[,;{(]|\s\d+\s*\./)[0].trim().slice(0, 40);
    dung = true;
    const het = t.indexOf('\n', i);
    i = het < 0 ? t.length : het + 1;
  }
  const coNoiDung = ds.filter((v) => v.nuoc.length || v.khongDoc || Object.keys(v.the).length);
  const ket = coNoiDung.length ? coNoiDung : [ds[0]];
  for (const v of ket) v.he = heCuaVan(v);
  return ket;
}

/** The notation a game says it is in ([Format "WXF"]), or the one its moves look like. */
function heCuaVan(van) {
  const dang = (van.the.Format || '').toUpperCase();
  if (dang.startsWith('WXF')) return 'wxf';
  return doanHe(van.nuoc);
}

/**
 * A pasted text as one game, the way the import has always taken it:
 * {nuoc: [text...], chap: ['DO:Xe', ...], khongDoc: text | null}.
 */
export function tachVan(vanBan) {
  const { nuoc, chap, khongDoc } = docCacVan(vanBan)[0];
  return { nuoc, chap, khongDoc };
}

/** "Đỏ chấp Xe, Mã; Đen chấp Tốt" as the server's handicap items. */
function docChap(chu) {
  const ds = [];
  for (const phan of chu.split(';')) {
    const m = /^\s*(\S+)\s+chấp\s+(.*)$/iu.exec(phan);
    if (!m) continue;
    const phe = boDau(m[1]) === 'den' ? 'DEN' : 'DO';
    for (const ten of m[2].split(',')) {
      const loai = TEN_LOAI.findIndex((t) => boDau(t) === boDau(ten.trim()));
      if (loai >= 0 && loai !== LOAI_TUONG) ds.push(`${phe}:${TEN_API_LOAI[loai]}`);
    }
  }
  return ds;
}

/** A game's line in the list to pick from: players, date, result, moves. */
export function moTaVan(van, k) {
  const ten = (x) => (x || '').trim();
  const do_ = ten(van.the.Red || van.the.RedPlayer);
  const den = ten(van.the.Black || van.the.BlackPlayer);
  const phan = [do_ || den ? `${do_ || '?'} – ${den || '?'}` : (ten(van.the.Event) || 'Ván không tên')];
  if (ten(van.the.Date)) phan.push(ten(van.the.Date));
  const kq = van.ketQua || ten(van.the.Result);
  if (kq && kq !== '*') phan.push(kq);
  phan.push(`${Math.ceil(van.nuoc.length / 2)} nước`);
  return `${k + 1}. ${phan.join(' · ')}`;
}
