// Moves as other programs and books write them, read into the parts that
// name a move: which piece (its kind, its file, its place among pieces of its
// kind on that file), which way it goes, and how far or to which file.
//   ICCS        "h2e2", "H2-E2"
//   WXF         "C2=5", "C2.5", "r1+1" (lower case for black), the tandem
//               forms "+R+1", "R+.3", "C--1", "++.4", and soldiers named by
//               file and place: "3+.4", "33.4", "15+1"
//   Chinese     "炮二平五", "马8进7", "前车进一", "中兵平四", "二兵平三",
//               simplified or traditional, any numerals
//   Vietnamese  the short forms "P2-5", "M8.7", "X1/1", "Xt.1", "Bg-6"
// A text can mean different moves in different notations ("C7.1" is a
// cannon going sideways in WXF and a soldier going up in Vietnamese), so
// every reading is returned, each marked with its notation (he); the
// position decides between them. Full-width forms are folded first.
// No DOM here: node's test runner loads this module as it is.

import { docICCS } from './fen.js';
import { LOAI_TOT } from './labels.js';

const SO_HAN = '一二三四五六七八九';
const QUAN_HAN = {
  车: 0, 車: 0, 俥: 0, 伡: 0, 炮: 1, 砲: 1, 包: 1, 马: 2, 馬: 2, 傌: 2,
  相: 3, 象: 3, 仕: 4, 士: 4, 帅: 5, 帥: 5, 将: 5, 將: 5, 兵: 6, 卒: 6,
};
const HUONG_HAN = { 进: 1, 進: 1, 退: -1, 平: 0 };
const VI_TRI_HAN = { 前: 'truoc', 中: 'giua', 后: 'sau', 後: 'sau' };

const WXF_LOAI = { R: 0, C: 1, H: 2, N: 2, E: 3, B: 3, A: 4, S: 4, K: 5, G: 5, P: 6 };
const WXF_HUONG = { '+': 1, '-': -1, '=': 0, '.': 0 };
const VN_LOAI = { X: 0, P: 1, M: 2, T: 3, V: 3, S: 4, TG: 5, B: 6, C: 6 };
const VN_HUONG = { '.': 1, '/': -1, '-': 0, '=': 0 };
const VN_VI_TRI = { t: 'truoc', s: 'sau', g: 'giua' };

/** 1..9 for an Arabic or Chinese numeral, 0 for anything else. */
function so(ch) {
  if (ch >= '1' && ch <= '9') return +ch;
  return SO_HAN.indexOf(ch) + 1;
}

const RE_HAN = new RegExp(
  `^([前中后後])?([${SO_HAN.slice(0, 5)}1-5])?([${Object.keys(QUAN_HAN).join('')}])`
  + `([${SO_HAN}1-9])?([前中后後])?([进進退平])([${SO_HAN}1-9])$`,
);

function docHan(t) {
  const m = RE_HAN.exec(t);
  if (!m) return [];
  const cho = m[1] || m[5];
  let viTri = null;
  if (cho && m[2]) return []; // "前二兵" says the place twice
  if (cho) viTri = { tu: VI_TRI_HAN[cho] };
  else if (m[2]) viTri = { thu: so(m[2]) };
  return [{
    he: 'zh', loai: [QUAN_HAN[m[3]]], so: m[4] ? so(m[4]) : null, viTri,
    huong: HUONG_HAN[m[6]], buoc: so(m[7]),
  }];
}

// "C2=5", "+R+1", "R+.3", "C--1" (official tandem), "++.4", "3+.4", "33.4", "15+1".
const RE_WXF = /^([+-]{1,2})?([KAEHRCPBNGS])([1-9])?([+\-=.])([1-9])$/i;
const RE_WXF_SAU = /^([KAEHRCPBNGS])([+-]{1,2})([+\-=.])([1-9])$/i;
const RE_WXF_TOT = /^(?:([+-]{2})|([1-9])([1-9+-]))([+\-=.])([1-9])$/;

function docWXF(t) {
  const ket = [];
  const them = (loai, soCot, viTri, huong, buoc) => ket.push({
    he: 'wxf', loai: [loai], so: soCot, viTri, huong: WXF_HUONG[huong], buoc: +buoc,
  });
  let m = RE_WXF.exec(t);
  if (m) them(WXF_LOAI[m[2].toUpperCase()], m[3] ? +m[3] : null, m[1] ? { wxf: m[1] } : null, m[4], m[5]);
  m = RE_WXF_SAU.exec(t);
  if (m) them(WXF_LOAI[m[1].toUpperCase()], null, { wxf: m[2] }, m[3], m[4]);
  m = RE_WXF_TOT.exec(t);
  if (m && m[1]) them(LOAI_TOT, null, { wxf: m[1] }, m[4], m[5]);
  else if (m && '+-'.includes(m[3])) them(LOAI_TOT, +m[2], { wxf: m[3] }, m[4], m[5]);
  else if (m) {
    // Two digits: the file twice names the middle soldier of the file ("33.4");
    // otherwise one digit is the file and the other the soldier's place on it
    // counted from the front, and books put them either way round ("15+1").
    const [a, b] = [+m[2], +m[3]];
    if (a === b) them(LOAI_TOT, a, { tu: 'giua' }, m[4], m[5]);
    else {
      them(LOAI_TOT, a, { thu: b }, m[4], m[5]);
      them(LOAI_TOT, b, { thu: a }, m[4], m[5]);
    }
  }
  return ket;
}

// "P2-5" (also "P2=5"), "M8.7", "X1/1", "Xt.1", "Bg-6", "Tg5.1", "Bt7.1".
const RE_VN = /^(Tg|TG|tg|[XPMTVSBCxpmtvsbc])([tsg])?([1-9])?([./=-])([1-9])$/;

function docVN(t) {
  const m = RE_VN.exec(t);
  if (!m || (!m[2] && !m[3])) return [];
  return [{
    he: 'vn', loai: [VN_LOAI[m[1].toUpperCase()]], so: m[3] ? +m[3] : null,
    viTri: m[2] ? { tu: VN_VI_TRI[m[2]] } : null, huong: VN_HUONG[m[4]], buoc: +m[5],
  }];
}

/**
 * Every reading of a written move in the notations above: a list of
 * {he, oDi: [h, c], oDen: [h, c]} (ICCS) or {he, loai: [kinds], so (file or
 * null), viTri, huong (+1, -1, 0), buoc}, empty when none reads it.
 */
export function cacCachDocThem(chu) {
  const t = String(chu).normalize('NFKC').replace(/\s+/g, '');
  const iccs = docICCS(t);
  if (iccs) return [{ he: 'iccs', oDi: [iccs.hd, iccs.cd], oDen: [iccs.hc, iccs.cc] }];
  return [...docHan(t), ...docWXF(t), ...docVN(t)];
}

/**
 * The notation a game's moves are written in, as far as its texts tell:
 * 'vn' for Vietnamese short forms ("/" or the letters X, M, Tg, V), 'wxf' for
 * WXF ("=" or the letters R, H, N, E, K, A), else null.
 */
export function doanHe(cacNuoc) {
  let vn = 0;
  let wxf = 0;
  for (const chu of cacNuoc) {
    const t = String(chu).normalize('NFKC').trim();
    if (docICCS(t) || !/^[+\-1-9A-Za-z]{1,3}[+\-=./][1-9]$/.test(t)) continue;
    if (/^[+-]{0,2}[RHNEKA]|=/i.test(t) && !/\//.test(t)) wxf += 1;
    if (/^(?:Tg|[XMV])|\//.test(t) || /^[XPMTVSBC][tsg]/.test(t)) vn += 1;
  }
  if (vn > wxf) return 'vn';
  return wxf > vn ? 'wxf' : null;
}
