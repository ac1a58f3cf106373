#pragma once
#include <cstdint>
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
