#pragma once
#include <algorithm>
#include <array>
#include <cstdint>

#include "ban_co.h"
#include "phe.h"

// Static evaluation in units where a soldier is worth 100: material, a
// closed-formula position bonus per piece and a term for missing defenders.
// Stateless; positive means good for the side passed in.
namespace DanhGia {

// Material value of a kind code; 0 for the general and for unknown codes.
int32_t giaTriLoai(int32_t loai);

// Position bonus of a piece of that kind and side on (hang, cot).
int32_t diemViTri(int32_t loai, Phe phe, int32_t hang, int32_t cot);

// Material plus position bonus of a piece code (loai | phe << 3, phe 0 or 1)
// on square o = hang * 9 + cot, from a table built once from the two above.
extern const std::array<std::array<int32_t, 90>, 16> BANG_DIEM_MA;
inline int32_t diemMa(int ma, int o) { return BANG_DIEM_MA[ma][o]; }

// The missing defenders: each advisor or elephant a side has fewer than four
// costs it 12. phongThuTa and phongThuDich count the advisors plus elephants
// of the side the score is for and of its opponent.
inline int32_t diemPhongThu(int32_t phongThuTa, int32_t phongThuDich) {
    constexpr int32_t DU = 4, MOI_QUAN_THIEU = 12;
    return MOI_QUAN_THIEU * (std::max(0, DU - phongThuDich) - std::max(0, DU - phongThuTa));
}

// The whole board from the point of view of `phe`. Exactly antisymmetric:
// luongGia(b, DO) == -luongGia(b, DEN), which lets the search negate across plies.
int32_t luongGia(const BanCo& ban, Phe phe);

}  // namespace DanhGia
