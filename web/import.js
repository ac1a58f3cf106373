// Replaying an imported game: a new human-against-human game (from the
// game's [FEN] position, or with the pasted handicap), then every move sent
// as the two clicks a player would make. The server judges each move; the
// first one it refuses, or that cannot be read, stops the import, and the
// moves before it stay played.

import { docNuoc, viTriTuBanCo } from './notation.js';
import { docFEN, vietFEN, FEN_BAT_DAU } from './fen.js';
import { TEN_PHE } from './labels.js';

/**
 * The FEN to start from when a game names a position other than the
 * normal start: {fen} (normalised), {loi} when it cannot be read, or {} for
 * the normal start.
 */
export function theCoDau(van) {
  if (!van.fen) return {};
  const doc = docFEN(van.fen);
  if (doc.loi) return { loi: `FEN của ván không đọc được: ${doc.loi}` };
  const fen = vietFEN(doc.o, doc.luot);
  return fen === vietFEN(docFEN(FEN_BAT_DAU).o, 'DO') ? {} : { fen };
}

/**
 * Move k (0 for the first) of a game whose first move is `dau`'s, named as
 * game records number them: "nước 3, Đen". A game set up with black to move
 * starts at "nước 1, Đen".
 */
export function tenNuocThu(k, dau = 'DO') {
  const lech = dau === 'DEN' ? 1 : 0;
  return `nước ${Math.floor((k + lech) / 2) + 1}, ${TEN_PHE[(k + lech) % 2 ? 'DEN' : 'DO']}`;
}

/**
 * van: a game of docCacVan ({fen, chap, nuoc, khongDoc, he}). api: {gui,
 * xuLyTraLoi, layTrangThai}. Resolves with {chu, loi}: the message to show
 * and whether it is an error.
 */
export async function nhapVan(van, { gui, xuLyTraLoi, layTrangThai }) {
  if (!van.nuoc.length && !van.khongDoc && !van.fen) return { chu: 'Không thấy nước đi nào để nhập', loi: true };
  const dau = theCoDau(van);
  if (dau.loi) return { chu: dau.loi, loi: true };
  const thamSo = { cheDo: 'NN', giay: 0 };
  if (dau.fen) thamSo.fen = dau.fen;
  else if (van.chap.length) thamSo.chap = van.chap.join(',');
  const traLoi = await gui('vanmoi', thamSo);
  if (!xuLyTraLoi(traLoi)) {
    return { chu: `Không bắt đầu được ván mới${traLoi?.lyDo ? `: ${traLoi.lyDo}` : ''}`, loi: true };
  }
  const luotDau = layTrangThai().luot;
  if (dau.fen && vietFEN(viTriTuBanCo(layTrangThai().banCo), luotDau) !== dau.fen) {
    return { chu: 'Chương trình chưa bắt đầu được ván từ thế cờ của tệp', loi: true };
  }
  const dungO = (i, chu, loi) => ({
    chu: `Dừng ở ${tenNuocThu(i, luotDau)} "${chu}": ${loi}. `
      + (i ? `Các nước trước đó đã được đi, tới ${tenNuocThu(i - 1, luotDau)}.` : 'Chưa đi nước nào.'),
    loi: true,
  });
  for (let i = 0; i < van.nuoc.length; i += 1) {
    const chu = van.nuoc[i];
    const loi = await diMotNuoc(chu, van.he, { gui, xuLyTraLoi, layTrangThai });
    if (loi) return dungO(i, chu, loi);
  }
  if (van.khongDoc) return dungO(van.nuoc.length, van.khongDoc, 'không đọc được');
  if (!van.nuoc.length) return { chu: `Đã bắt đầu ván từ thế cờ của tệp, ${TEN_PHE[luotDau]} đi trước`, loi: false };
  return { chu: `Đã nhập ván tới ${tenNuocThu(van.nuoc.length - 1, luotDau)}`, loi: false };
}

/** One move: null when played, else why not. */
async function diMotNuoc(chu, he, { gui, xuLyTraLoi, layTrangThai }) {
  const tt = layTrangThai();
  const n = docNuoc(chu, viTriTuBanCo(tt.banCo), tt.luot, { he });
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
