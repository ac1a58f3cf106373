// A game as text: the export lists the handicap, every move in the chosen
// notation with its squares, and the result (pgn.js reads it back).

import { bienBan, oCuaNuoc } from './notation.js';
import {
  TEN_LOAI, TEN_API_LOAI, TEN_PHE, KET_QUA, benDiTruoc,
} from './labels.js';

const TEN_KIEU = { viet: 'Việt Nam', wxf: 'WXF', iccs: 'ICCS' };

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
    // A set-up game starts from its position, written bare so that import reads it back.
    tt.fenDau || `Chấp: ${moTaChap(tt.chap) || 'không'}`,
    `Ký pháp: ${TEN_KIEU[kieu]}${kieu === 'iccs' ? '' : ' (ô đi và ô đến trong ngoặc vuông)'}`,
    '',
  ];
  const ghi = (m) => (kieu === 'iccs' || !m.nuoc ? m.chu : `${m.chu} [${oCuaNuoc(m.nuoc)}]`);
  // A game begun by black: "1. …   its move" on the first line.
  const lech = benDiTruoc(tt) === 'DEN' ? 1 : 0;
  for (let i = -lech; i < ds.length; i += 2) {
    const cap = [i < 0 ? '…' : ghi(ds[i])];
    if (ds[i + 1]) cap.push(ghi(ds[i + 1]));
    dong.push(`${(i + lech) / 2 + 1}. ${cap.join('   ')}`);
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
  return `${the}\n\n${gopDongPGN(tu)}\n`;
}

// Movetext words joined into lines of at most 80 characters, as PGN readers
// expect; a word longer than that stands on its own line.
export function gopDongPGN(tu) {
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
  return dong.join('\n');
}

// Reading a pasted game lives with the game files' reader.
export { tachVan } from './pgn.js';
