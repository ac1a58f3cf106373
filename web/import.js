// Replaying an imported game: its written moves read into coordinates, then
// one "nhapvan" request, a new human-against-human game (from the game's
// [FEN] position, or with the pasted handicap) with every move played in
// turn under the chosen rule set. The server judges each move; the first one
// it refuses, or that cannot be read, stops the import, and the moves before
// it stay played. A repetition the players played through does not stop it:
// the answer says where the rules would have ended the game.

import { docNuoc, viTriTuBanCo } from './notation.js';
import { docFEN, vietFEN, FEN_BAT_DAU, diTren, nuocICCS } from './fen.js';
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
 * xuLyTraLoi, layTrangThai, luat}. Resolves with {chu, loi}: the message to
 * show and whether it is an error.
 */
export async function nhapVan(van, { gui, xuLyTraLoi, layTrangThai, luat = 'CHAU_A' }) {
  if (!van.nuoc.length && !van.khongDoc && !van.fen) return { chu: 'Không thấy nước đi nào để nhập', loi: true };
  const dau = theCoDau(van);
  if (dau.loi) return { chu: dau.loi, loi: true };
  const thamSo = { luat };
  if (dau.fen) thamSo.fen = dau.fen;
  else if (van.chap.length) thamSo.chap = van.chap.join(',');
  const khongBatDau = (traLoi) => ({
    chu: `Không bắt đầu được ván mới${traLoi?.lyDo ? `: ${traLoi.lyDo}` : ''}`, loi: true,
  });

  // The written moves are read against the position they are played on;
  // which handicap pieces the program takes off only it knows, so such a
  // game is started first to see its board.
  let o;
  let luot;
  if (dau.fen) {
    ({ o, luot } = docFEN(dau.fen));
  } else if (van.chap.length) {
    const traLoi = await gui('vanmoi', { cheDo: 'NN', giay: 0, ...thamSo });
    if (!xuLyTraLoi(traLoi)) return khongBatDau(traLoi);
    o = viTriTuBanCo(traLoi.banCo);
    luot = traLoi.luot;
  } else {
    ({ o, luot } = docFEN(FEN_BAT_DAU));
  }
  const luotDau = luot;
  const iccs = [];
  let docLoi = null; // the first move that cannot be read: {i, chu, loi}
  for (const chu of van.nuoc) {
    const n = docNuoc(chu, o, luot, { he: van.he });
    if (n.loi) {
      docLoi = { i: iccs.length, chu, loi: n.loi };
      break;
    }
    iccs.push(nuocICCS(n));
    o = diTren(o, n);
    luot = luot === 'DO' ? 'DEN' : 'DO';
  }
  if (!docLoi && van.khongDoc) docLoi = { i: iccs.length, chu: van.khongDoc, loi: 'không đọc được' };

  // One request replays every move: the program judges them in turn, and
  // a ruling the players played past does not stop the game it records.
  let traLoi = null;
  // The file's own tags stay with the game: its players, event and result.
  const theGiu = {};
  for (const ten of ['Event', 'Site', 'Date', 'Round', 'Red', 'Black', 'Result']) {
    if (van.the?.[ten]) theGiu[`the_${ten}`] = van.the[ten];
  }
  // The result the movetext ends with is the game's, tag or not.
  if (van.ketQua) theGiu.the_Result = van.ketQua;
  if (iccs.length) traLoi = await gui('nhapvan', { ...thamSo, ...theGiu, nuoc: iccs.join(',') });
  else if (!van.chap.length) traLoi = await gui('vanmoi', { cheDo: 'NN', giay: 0, ...thamSo });
  if (traLoi && !xuLyTraLoi(traLoi)) return khongBatDau(traLoi);
  if (!traLoi && (iccs.length || !van.chap.length)) return khongBatDau(null);
  const tt = layTrangThai();
  if (dau.fen && tt.fenDau !== dau.fen) {
    return { chu: 'Chương trình chưa bắt đầu được ván từ thế cờ của tệp', loi: true };
  }

  const dungO = (i, chu, loi) => ({
    chu: `Dừng ở ${tenNuocThu(i, luotDau)} "${chu}": ${loi}. `
      + (i ? `Các nước trước đó đã được đi, tới ${tenNuocThu(i - 1, luotDau)}.` : 'Chưa đi nước nào.'),
    loi: true,
  });
  const nhap = traLoi?.nhap ?? { daDi: 0, nuocSai: -1 };
  const qua = traLoi?.quaPhanQuyet
    ? ` Ván ghi đi tiếp qua một phán quyết ở ${tenNuocThu(traLoi.quaPhanQuyet.nuoc, luotDau)}`
      + ` (${traLoi.quaPhanQuyet.lyDo}): theo luật đã chọn, ván lẽ ra kết thúc ở đó.`
    : '';
  const ketLai = (ket) => ({ ...ket, chu: ket.chu + qua });
  if (nhap.nuocSai >= 0) {
    const i = nhap.nuocSai;
    return ketLai(dungO(i, van.nuoc[i], tt.ketQua !== 'DANG_CHOI' ? 'Ván đã kết thúc' : 'Nước đi không hợp lệ'));
  }
  if (docLoi) return ketLai(dungO(docLoi.i, docLoi.chu, docLoi.loi));
  if (!van.nuoc.length) return { chu: `Đã bắt đầu ván từ thế cờ của tệp, ${TEN_PHE[luotDau]} đi trước`, loi: false };
  return { chu: `Đã nhập ván tới ${tenNuocThu(van.nuoc.length - 1, luotDau)}${qua ? `.${qua}` : ''}`, loi: false };
}
