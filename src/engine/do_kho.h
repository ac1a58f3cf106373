#pragma once
#include <cstdint>
#include <string_view>

// Difficulty level. DE, TRUNG_BINH and KHO are the fixed-depth searches of
// the level table below; CAO_THU is the strength-first search, which budgets
// its own time. Any other value plays as KHO.
enum DoKho : int32_t { DE = 0, TRUNG_BINH = 1, KHO = 2, CAO_THU = 3 };

// A level's name in the API, the state document and the tools; any other
// value is named as it plays, "KHO".
inline const char* tenDoKho(DoKho d) {
    if (d == DE) return "DE";
    if (d == TRUNG_BINH) return "TRUNG_BINH";
    if (d == CAO_THU) return "CAO_THU";
    return "KHO";
}

// A level's name for the player; any other value is named as it plays, "Khó".
inline const char* tenDoKhoViet(DoKho d) {
    if (d == DE) return "Dễ";
    if (d == TRUNG_BINH) return "Trung bình";
    if (d == CAO_THU) return "Cao thủ";
    return "Khó";
}

// The level tenDoKho names `ten`; false (ra untouched) for any other text.
inline bool doKhoTuTen(std::string_view ten, DoKho& ra) {
    for (DoKho d : {DE, TRUNG_BINH, KHO, CAO_THU}) {
        if (ten == tenDoKho(d)) {
            ra = d;
            return true;
        }
    }
    return false;
}

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
