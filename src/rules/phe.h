#pragma once
#include <cstdint>

// The side: red moves first and owns rows 5..9, black owns rows 0..4.
enum Phe : int32_t { DO = 0, DEN = 1 };

inline constexpr Phe pheDoiPhuong(Phe p) { return p == DO ? DEN : DO; }
