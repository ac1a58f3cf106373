#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One move: from (hangDi, cotDi) to (hangDen, cotDen). Nothing else is carried.
struct NuocDi {
    int32_t hangDi = 0;
    int32_t cotDi = 0;
    int32_t hangDen = 0;
    int32_t cotDen = 0;

    bool operator==(const NuocDi&) const = default;
};

using DanhSachNuoc = std::vector<NuocDi>;

// A square as the players' coordinates (ICCS) write it: files a..i from
// red's left, ranks 0..9 from red's side ("a0".."i9").
inline std::string tenOICCS(int hang, int cot) {
    return {static_cast<char>('a' + cot), static_cast<char>('0' + (9 - hang))};
}
