#pragma once
// The square view's geometry: the 10 x 9 board inside a border two squares
// wide (14 x 13), so that steps of a horse or an elephant and walks along a
// line meet a wall square instead of needing bounds tests.
#include <array>
#include <cstdint>

#include "phe.h"

namespace oDem {

inline constexpr int RONG = 13;
inline constexpr int CAO = 14;
inline constexpr int SO_O = RONG * CAO;
inline constexpr int8_t TRONG = -1;   // empty square
inline constexpr int8_t TUONG_BIEN = 64;  // off the board

inline constexpr int chiSo(int hang, int cot) { return (hang + 2) * RONG + (cot + 2); }
inline constexpr int LEN = -RONG, XUONG = RONG, TRAI = -1, PHAI = 1;

struct BangHinh {
    std::array<int8_t, SO_O> hang{}, cot{};
    std::array<bool, SO_O> trongCung[2]{}, benNha[2]{};
    constexpr BangHinh() {
        for (int i = 0; i < SO_O; ++i) {
            const int h = i / RONG - 2, c = i % RONG - 2;
            hang[i] = int8_t(h);
            cot[i] = int8_t(c);
            const bool trongBan = h >= 0 && h < 10 && c >= 0 && c < 9;
            trongCung[DO][i] = trongBan && c >= 3 && c <= 5 && h >= 7;
            trongCung[DEN][i] = trongBan && c >= 3 && c <= 5 && h <= 2;
            benNha[DO][i] = trongBan && h >= 5;
            benNha[DEN][i] = trongBan && h <= 4;
        }
    }
};

inline constexpr BangHinh HINH{};

}  // namespace oDem
