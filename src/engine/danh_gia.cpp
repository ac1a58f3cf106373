#include "danh_gia.h"

#include <algorithm>
#include <cstdlib>

namespace DanhGia {

int32_t giaTriLoai(int32_t loai) {
    // Both generals stand on the board in every position the game reaches:
    // their value would only add to both sides alike.
    return loai >= 0 && loai < 7 && loai != LOAI_TUONG ? GIA_TRI_QUAN[loai] : 0;
}

namespace {

// Soldier: grows with the square of its advance past the river, plus a bonus
// for the three central files.
int32_t diemTot(int32_t r, int32_t cot, bool quaSong) {
    const int32_t d = std::max(0, 6 - r);
    const int32_t f = cot == 4 ? 6 : (cot == 3 || cot == 5) ? 3 : 0;
    return 2 * d * d + f + (quaSong ? 8 : 0);
}

}  // namespace

int32_t diemViTri(int32_t loai, Phe phe, int32_t hang, int32_t cot) {
    // r is the distance in rows from the opponent's back rank: 9 on the own back rank.
    const int32_t r = phe == DO ? hang : 9 - hang;
    const bool quaSong = r < 5;
    const int32_t c = std::abs(cot - 4);
    switch (loai) {
        case LOAI_XE: return (quaSong ? 18 : 8) - 2 * c;
        case LOAI_PHAO: return (quaSong ? 15 : 8) - 2 * c;
        case LOAI_MA: return (quaSong ? 16 : 10) - 2 * c;
        case LOAI_VOI: return quaSong ? -5 : 3;
        case LOAI_TUONG: return r == 9 ? 4 : 0;
        case LOAI_TOT: return diemTot(r, cot, quaSong);
        default: return 0;
    }
}

namespace {

// Material plus position bonus of every piece code on every square, computed
// once from the formulas above.
std::array<std::array<int32_t, 90>, 16> taoBangDiem() {
    std::array<std::array<int32_t, 90>, 16> bang{};
    for (int phe = 0; phe < 2; ++phe)
        for (int loai = 0; loai < 7; ++loai)
            for (int o = 0; o < BanCo::SO_O; ++o)
                bang[loai | (phe << 3)][o] = giaTriLoai(loai) + diemViTri(loai, Phe(phe), o / 9, o % 9);
    return bang;
}

}  // namespace

const std::array<std::array<int32_t, 90>, 16> BANG_DIEM_MA = taoBangDiem();


int32_t luongGia(const BanCo& ban, Phe phe) {
    int32_t tong = 0;
    int32_t phongThu[2] = {0, 0};  // advisors plus elephants per side
    for (const auto& q : ban.dsQuan) {
        const bool thuong = BanCo::trongBanCo(q->hang, q->cot) && (q->phe == DO || q->phe == DEN);
        // A hand-built board may hold pieces the table does not cover.
        const int32_t k = thuong ? ban.maCuaQuan(*q) & 7 : q->loai();
        const int32_t s = thuong ? BANG_DIEM_MA[k | (q->phe << 3)][q->hang * BanCo::SO_COT + q->cot]
                                 : giaTriLoai(k) + diemViTri(k, q->phe, q->hang, q->cot);
        if ((k == LOAI_VOI || k == LOAI_SI) && (q->phe == DO || q->phe == DEN)) ++phongThu[q->phe];
        tong += q->phe == phe ? s : -s;
    }
    return tong + diemPhongThu(phongThu[phe == DO ? 0 : 1], phongThu[phe == DO ? 1 : 0]);
}

}  // namespace DanhGia
