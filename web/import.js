// Replaying a pasted game: a new human-against-human game (with the pasted
// handicap), then every move sent as the two clicks a player would make. The
// server judges each move; the first one it refuses, or that cannot be read,
// stops the import, and the moves before it stay played.

import { docNuoc, viTriTuBanCo } from './notation.js';
import { tenNuoc } from './labels.js';

/**
 * van: the result of tachVan. api: {gui, xuLyTraLoi, layTrangThai}.
 * Resolves with {chu, loi}: the message to show and whether it is an error.
 */
export async function nhapVan(van, { gui, xuLyTraLoi, layTrangThai }) {
  if (!van.nuoc.length && !van.khongDoc) return { chu: 'Không thấy nước đi nào để nhập', loi: true };
  const thamSo = { cheDo: 'NN', giay: 0 };
  if (van.chap.length) thamSo.chap = van.chap.join(',');
  if (!xuLyTraLoi(await gui('vanmoi', thamSo))) return { chu: 'Không bắt đầu được ván mới', loi: true };
  // Moves are named as the move list numbers them: "nước 3, Đen".
  const dungO = (i, chu, loi) => ({
    chu: `Dừng ở ${tenNuoc(i + 1, layTrangThai().luot)} "${chu}": ${loi}. `
      + (i ? `Các nước trước đó đã được đi, tới ${tenNuoc(i)}.` : 'Chưa đi nước nào.'),
    loi: true,
  });
  for (let i = 0; i < van.nuoc.length; i += 1) {
    const chu = van.nuoc[i];
    const loi = await diMotNuoc(chu, { gui, xuLyTraLoi, layTrangThai });
    if (loi) return dungO(i, chu, loi);
  }
  if (van.khongDoc) return dungO(van.nuoc.length, van.khongDoc, 'không đọc được');
  return { chu: `Đã nhập ván tới ${tenNuoc(van.nuoc.length)}`, loi: false };
}

/** One move: null when played, else why not. */
async function diMotNuoc(chu, { gui, xuLyTraLoi, layTrangThai }) {
  const tt = layTrangThai();
  const n = docNuoc(chu, viTriTuBanCo(tt.banCo), tt.luot);
  if (n.loi) return n.loi;
  const chon = await gui('cham', { hang: n.hd, cot: n.cd });
  if (!chon) return 'mất kết nối';
  if (chon.ok === false) return chon.lyDo;
  xuLyTraLoi(chon);
  const di = await gui('cham', { hang: n.hc, cot: n.cc });
  if (!di) return 'mất kết nối';
  // Onto a piece of one's own the server changes the selection instead.
  if (di.ok === false || di.hanhDong !== 'di') {
    xuLyTraLoi(await gui('bochon')); // do not leave the piece selected
    return di.lyDo || 'Nước đi không hợp lệ';
  }
  xuLyTraLoi(di);
  return null;
}
