#pragma once
#include <cstdint>

// Difficulty level. DE, TRUNG_BINH and KHO are the fixed-depth searches of
// the level table below; CAO_THU is the strength-first search, which budgets
// its own time. Any other value plays as KHO.
enum DoKho : int32_t { DE = 0, TRUNG_BINH = 1, KHO = 2, CAO_THU = 3 };

// What a level sets in the engine before it searches.
struct ThamSoDoKho {
    int32_t doSauToiDa;    // deepest iteration
    double thoiGianToiDa;  // time limit, milliseconds
    bool dungTT;
    bool dungQuiescence;
    int32_t bienNgauNhien; // score margin of the random choice
    int32_t tiLeNgauNhien; // percentage chance of the random choice
};

// The level table of the fixed searches: the engine and every tool read
// those levels from here (CAO_THU, not a fixed search, reads as KHO).
inline const ThamSoDoKho& thamSoDoKho(DoKho doKho) {
    static constexpr ThamSoDoKho BANG[3] = {
        {2, 100.0, false, false, 130, 35},
        {4, 500.0, true, true, 0, 0},
        {8, 2500.0, true, true, 0, 0},
    };
    if (doKho == DE) return BANG[0];
    if (doKho == TRUNG_BINH) return BANG[1];
    return BANG[2];
}
