#pragma once
#include <chrono>

#include "dong_ho.h"

// A hand-driven clock: time moves only when a test says so, so no figure
// depends on how fast the machine is.
namespace gioGia {

inline DongHo::ThoiDiem bayGio{std::chrono::hours(1000)};

inline DongHo::ThoiDiem doc() { return bayGio; }

inline void troi(double giay) {
    bayGio += std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(giay));
}

}  // namespace gioGia
