// A game as text and back: the export lists the handicap, every move in the
// chosen notation with its squares, and the result; the import splits a
// pasted text into moves (in any notation) and reads a handicap line.

import { bienBan, oCuaNuoc, boDau } from './notation.js';
import { TEN_LOAI, TEN_API_LOAI, TEN_PHE, KET_QUA } from './labels.js';

const TEN_KIEU = { viet: 'Việt Nam', wxf: 'WXF', toado: 'tọa độ' };

/** "Đỏ chấp Xe, Mã; Đen chấp Tốt", or "" without a handicap. */
export function moTaChap(chap) {
  const theoPhe = (phe) => chap.filter((c) => c.phe === phe)
    .map((c) => TEN_LOAI[TEN_API_LOAI.indexOf(c.ten)] ?? c.ten);
  return ['DO', 'DEN'].filter((p) => theoPhe(p).length)
    .map((p) => `${TEN_PHE[p]} chấp ${theoPhe(p).join(', ')}`).join('; ');
}

/** The whole game as text, moves in notation `kieu` with their squares. */
export function xuatVan(tt, kieu) {
  const ds = bienBan(tt.banCo, tt.lichSu, kieu);
  const dong = [
    `Biên bản ván cờ tướng: ${new Date().toLocaleString('vi-VN')}`,
    `Chấp: ${moTaChap(tt.chap) || 'không'}`,
    `Ký pháp: ${TEN_KIEU[kieu]}${kieu === 'toado' ? '' : ' (ô đi và ô đến trong ngoặc vuông)'}`,
    '',
  ];
  const ghi = (m) => (kieu === 'toado' || !m.nuoc ? m.chu : `${m.chu} [${oCuaNuoc(m.nuoc)}]`);
  for (let i = 0; i < ds.length; i += 2) {
    const cap = [ghi(ds[i])];
    if (ds[i + 1]) cap.push(ghi(ds[i + 1]));
    dong.push(`${i / 2 + 1}. ${cap.join('   ')}`);
  }
  if (!ds.length) dong.push('(chưa có nước nào)');
  dong.push('');
  dong.push(tt.ketQua === 'DANG_CHOI'
    ? 'Kết quả: ván chưa kết thúc'
    : `Kết quả: ${KET_QUA[tt.ketQua] ?? tt.ketQua}${tt.lyDo ? ` — ${tt.lyDo}` : ''}`);
  return `${dong.join('\n')}\n`;
}

/**
 * The program's PGN of the game with its moves in WXF, as the page writes
 * them: the same tags with [Format "WXF"], the moves numbered from the
 * side the game began with (a [FEN] with black to move is "1... "), the
 * reason and the result as they were, lines of at most 80 characters.
 */
export function pgnWXF(pgn, tt) {
  const giua = pgn.indexOf('\n\n');
  const the = (giua < 0 ? pgn : pgn.slice(0, giua)).replace('[Format "ICCS"]', '[Format "WXF"]');
  const denTruoc = /^\[FEN "[^"]* b[" ]/m.test(the);
  const ketQua = /^\[Result "([^"]*)"\]/m.exec(the)?.[1] ?? '*';
  const lyDo = /\{([^}]*)\}\s*\S+\s*$/.exec(pgn)?.[1].replace(/\s+/g, ' ').trim();
  const tu = [];
  bienBan(tt.banCo, tt.lichSu, 'wxf').forEach((m, k) => {
    const j = k + (denTruoc ? 1 : 0);
    const so = Math.floor(j / 2) + 1;
    if (j % 2 === 0) tu.push(`${so}. ${m.chu}`);
    else tu.push(k === 0 ? `${so}... ${m.chu}` : m.chu);
  });
  if (lyDo) tu.push(...`{${lyDo}}`.split(' '));
  tu.push(ketQua);
  const dong = [];
  let hien = '';
  for (const t of tu) {
    if (hien && [...hien].length + 1 + [...t].length > 80) {
      dong.push(hien);
      hien = t;
    } else {
      hien = hien ? `${hien} ${t}` : t;
    }
  }
  dong.push(hien);
  return `${the}\n\n${dong.join('\n')}\n`;
}

// What a move may look like in a pasted text (tried at one spot, in order).
const MAU_NUOC = [
  /(?:[\p{L}?]+\s+(?:đỏ|đen)\s+)?\d\s*[a-i]\s*-\s*\d\s*[a-i](?:\s+ăn\s+\p{L}+\s+(?:đỏ|đen))?/yu,
  /\p{L}+\s+(?:(?:trước|giữa|sau|truoc|giua|thứ\s+\p{L}+|thu\s+\p{L}+)\s+)?(?:\d\s+)?(?:tiến|thoái|bình|tien|thoai|binh)\s+\d/yiu,
  /[+-]{0,2}[KAEHRCPBNG]\d?[+\-=.]\d(?![\p{L}\d])/yiu,
];
// Move numbers, separators, results and remarks in brackets.
const BO_QUA = /\s+|\d+\s*\.(?:\s*\.\.)?|\.\.\.|[,;|]|\[[^\]]*\]|\([^)]*\)|1-0|0-1|1\/2-1\/2|½-½|\*/y;

/**
 * The moves of a pasted text, in order, and the handicap if a "Chấp:" line
 * names one. Stops at the first piece of text that is not a move:
 * {nuoc: [text...], chap: ['DO:Xe', ...], khongDoc: text | null}.
 */
export function tachVan(vanBan) {
  const ket = { nuoc: [], chap: [], khongDoc: null };
  for (const dong of vanBan.split(/\r?\n/)) {
    const dau = /^\s*([^:]{0,40}):(.*)$/.exec(dong);
    if (dau) { // a heading line such as "Chấp: ..." or "Kết quả: ..."
      if (boDau(dau[1]).trim() === 'chap') ket.chap.push(...docChap(dau[2]));
      continue;
    }
    let i = 0;
    while (i < dong.length) {
      const buoc = khop(BO_QUA, dong, i) || MAU_NUOC.map((m) => khop(m, dong, i)).find(Boolean);
      if (!buoc) {
        ket.khongDoc = dong.slice(i).split(/\s{2,}|\t|[,;]/)[0].trim().slice(0, 40);
        return ket;
      }
      if (buoc.nuoc) ket.nuoc.push(buoc.chu.replace(/\s+/g, ' '));
      i = buoc.het;
    }
  }
  return ket;
}

function khop(mau, dong, i) {
  mau.lastIndex = i;
  const m = mau.exec(dong);
  if (!m || !m[0].length) return null;
  return { chu: m[0], het: i + m[0].length, nuoc: mau !== BO_QUA };
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
      if (loai >= 0 && loai !== 5) ds.push(`${phe}:${TEN_API_LOAI[loai]}`);
    }
  }
  return ds;
}
