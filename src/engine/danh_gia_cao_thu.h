#pragma once
// The evaluation of the strength-first search: material and piece-square
// values in two flavours (middle game and endgame, blended by how much
// attacking material is left), kept up to date move by move, plus the terms
// read from the board at a leaf: mobility of the long-range pieces and
// horses, and the safety of each general against the attackers facing it.
// Units: a soldier at home is worth 100.
#include <array>
#include <cstdint>

#include "ban_tim_kiem.h"
#include "phe.h"

namespace DanhGiaCaoThu {

// Attacking material's weight per kind (chariot 6, horse and cannon 3): the
// phase runs from PHA_TOI_DA (every attacker on the board) down to 0.
inline constexpr int32_t PHA_TOI_DA = 48;
int32_t phaLoai(int loai);

// Material plus square value of a piece code (loai | phe << 3) on square
// row * 9 + column, for the middle game and the endgame.
struct BangDiem {
    std::array<std::array<int32_t, 90>, 16> giua{}, cuoi{};
};
const BangDiem& bangDiem();

// The sums kept up to date by the moves (red minus black).
struct Tong {
    int32_t giua = 0, cuoi = 0;
    int32_t pha = 0;
    // Per side: chariots, horses and cannons weighed by phaLoai (null-move
    // safety), and advisors plus elephants.
    int32_t tanCong[2] = {0, 0};
    int32_t phongThu[2] = {0, 0};
    void them(int ma, int o90, int dau);  // dau +1 adds the piece, -1 removes it
};
Tong tinhTong(const BanTimKiem& ban);

// The weights of the terms read at a leaf (tools tune them by playing).
struct TrongSo {
    int32_t linhHoatXe = 5, linhHoatMa = 10, linhHoatPhao = 2;  // per move a piece has
    int32_t anToan = 4;        // per attack unit and missing defender
    int32_t phaoKhongMan = 40; // a cannon on the general's file with nothing between
    int32_t phaoHaiMan = 10;   // ... with two pieces between
    int32_t luotDi = 10;       // the move in hand
    int32_t vayCung = 0;       // the square of the attackers around the palace (with missing defenders)
    int32_t tuongLen = 30;     // middle game: per row the general has left its back rank
    int32_t tuongLech = 8;     // middle game: the general off the central file
};

// Material and square values alone, blended by phase, plus the move in hand:
// what danhGia starts from, for a leaf far outside the window.
int32_t danhGiaTho(const Tong& tong, Phe luot, const TrongSo& w = {});

// The whole evaluation from the side to move's point of view.
int32_t danhGia(const BanTimKiem& ban, const Tong& tong, Phe luot, const TrongSo& w = {});

}  // namespace DanhGiaCaoThu
