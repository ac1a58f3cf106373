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

// Reading a pasted game lives with the game files' reader.
export { tachVan } from './pgn.js';
