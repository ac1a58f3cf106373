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

/**
 * A ply (1 for red's first move) as the move list numbers it: the full-move
 * number and the side that plays it, "nước 10, Đen".
 */
export function tenNuoc(ply, phe = ply % 2 ? 'DO' : 'DEN') {
  return `nước ${Math.ceil(ply / 2)}, ${TEN_PHE[phe]}`;
}

export function tenQuan(quan) {
  return `${TEN_LOAI[quan.loai] ?? quan.ten} ${TEN_PHE[quan.phe].toLowerCase()}`;
}
