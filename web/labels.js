// Every text the page shows that does not come from the server, in one place.
// Piece kinds are the server's codes 0..6 ("loai"); sides are "DO" / "DEN".

import { coChuHan } from './font_check.js';

export const KY_TU_QUAN = {
  DO: ['俥', '炮', '傌', '相', '仕', '帥', '兵'],
  DEN: ['車', '砲', '馬', '象', '士', '將', '卒'],
};

// The server's one-letter symbols ("ve"), used when no Chinese font exists.
const KY_HIEU = ['X', 'P', 'M', 'V', 'S', 'T', 'B'];
let chuHan = null;

/** Whether the traditional characters can be drawn on this machine (checked once). */
export function dungChuHan() {
  if (chuHan === null) chuHan = coChuHan();
  return chuHan;
}

/** The character of a piece, or its letter where the characters cannot be drawn. */
export function kyTuQuan(phe, loai) {
  return dungChuHan() ? KY_TU_QUAN[phe === 'DEN' ? 'DEN' : 'DO'][loai] : KY_HIEU[loai];
}

// Names with diacritics for labels; the server's own names ("ten") are the
// plain ASCII ones and are what the API expects back (handicap).
export const TEN_LOAI = ['Xe', 'Pháo', 'Mã', 'Tượng', 'Sĩ', 'Tướng', 'Tốt'];
export const TEN_API_LOAI = ['Xe', 'Phao', 'Ma', 'Voi', 'Si', 'Tuong', 'Tot'];
export const SO_QUAN_BAN_DAU = [2, 2, 2, 2, 2, 1, 5];
// The kinds the page treats apart: the general (check, the facing rule, no
// handicap) and the soldier (how moves of several on a file are named).
export const LOAI_TUONG = 5;
export const LOAI_TOT = 6;

export const TEN_PHE = { DO: 'Đỏ', DEN: 'Đen' };
export const PHE_KIA = { DO: 'DEN', DEN: 'DO' };

export const TEN_DO_KHO = {
  DE: 'Dễ', TRUNG_BINH: 'Trung bình', KHO: 'Khó', CAO_THU: 'Cao thủ',
};

export const TEN_CHE_DO = {
  NGUOI_NGUOI: 'Người – Người',
  NGUOI_MAY: 'Người – Máy',
  MAY_MAY: 'Máy – Máy',
};

export const KET_QUA = {
  DO_THANG: 'Đỏ thắng',
  DEN_THANG: 'Đen thắng',
  HOA: 'Hòa',
};

export const CHU = {
  mayNghi: 'Máy đang nghĩ…',
  tamDung: 'Ván đang tạm dừng',
  chieuTuong: 'Chiếu tướng!',
  denLuotBan: 'Đến lượt bạn',
  matKetNoi: 'Mất kết nối với chương trình, đang thử lại…',
  matKetNoiNgan: 'Mất kết nối',
  daTai: 'Đã tải ván từ tavelin.save',
  daHuy: 'Đã hủy nước đi',
  vanMoi: 'Ván mới đã bắt đầu',
  dangGoiY: 'Đang tìm nước gợi ý…',
  goiY: 'Gợi ý: ',
  khongCoGoiY: 'Chưa tìm được gợi ý, hãy thử lại',
  daTiepTuc: 'Máy chơi tiếp',
  choiTiep: 'Ván chơi tiếp',
  daTamDung: 'Đã tạm dừng ván',
  daKhoiPhuc: 'Đã mở lại ván trước',
  daKetNoiLai: 'Đã kết nối lại',
  daSaoChep: 'Đã sao chép biên bản',
};

// File letters of the coordinates: column 0 (red's left) is "a".
export const CHU_COT = 'abcdefghi';

/** A point in ICCS coordinates: file a–i from red's left, rank 0–9 from red's side. */
export function tenO(hang, cot) {
  return `${CHU_COT[cot]}${9 - hang}`;
}

// 1 while the game shown began with black to move (a set-up position): its
// first move is black's half of full move 1, "1. … ".
let lechDen = 0;

/** The side that moves first in a game of this state: black only for a set-up position that says so. */
export function benDiTruoc(tt) {
  return tt && typeof tt.fenDau === 'string' && / b$/.test(tt.fenDau) ? 'DEN' : 'DO';
}

/** Numbers the moves of the game that begins with `phe` to move. */
export function datBenDiTruoc(phe) {
  lechDen = phe === 'DEN' ? 1 : 0;
}

/** The side that plays ply k (1 for the game's first move). */
export function benCuaNuoc(k) {
  return (k + lechDen) % 2 ? 'DO' : 'DEN';
}

/** The full-move number of ply k (1 for the game's first move). */
export function soNuocDay(k) {
  return Math.ceil((k + lechDen) / 2);
}

/**
 * A ply (1 for the game's first move) as the move list numbers it: the
 * full-move number and the side that plays it, "nước 10, Đen".
 */
export function tenNuoc(ply, phe = benCuaNuoc(ply)) {
  return `nước ${soNuocDay(ply)}, ${TEN_PHE[phe]}`;
}

export function tenQuan(quan) {
  return `${TEN_LOAI[quan.loai] ?? quan.ten} ${TEN_PHE[quan.phe].toLowerCase()}`;
}
