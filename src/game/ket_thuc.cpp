#include "van_co.h"

namespace {

const char* tenPhe(Phe phe) { return phe == DO ? "Đỏ" : "Đen"; }

// The side to move is the one that loses.
KetQua benThuaLa(Phe phe) { return phe == DO ? DEN_THANG : DO_THANG; }

}  // namespace

void VanCo::kiemTraKetThuc() {
    if (ketQua != DANG_CHOI) return;
    // Repetition is judged first: a mate that also repeats a position for the
    // third time is a draw.
    const auto it = demViTri.find(khoaTheCo());
    if (it != demViTri.end() && it->second >= 3) {
        ketQua = HOA;
        lyDo = "Thế cờ lặp lại 3 lần";
        return;
    }
    if (!banCo.nuocDiHopLe(luot).empty()) return;
    // No legal move loses whether in check or not; there is no stalemate draw.
    if (banCo.biChieu(luot)) lyDo = std::string("Chiếu bí! ") + tenPhe(luot) + " thua";
    else lyDo = std::string(tenPhe(luot)) + " hết nước đi";
    ketQua = benThuaLa(luot);
}

void VanCo::capNhatDongHo() {
    if (ketQua != DANG_CHOI) return;
    if (!dongHo.hetGio(luot)) return;
    ketQua = benThuaLa(luot);
    lyDo = std::string(tenPhe(luot)) + " hết thời gian";
    ++soLanDoi;
}
