#include "danh_gia.h"

#include <gtest/gtest.h>

#include "ho_tro_tim_kiem.h"

namespace {

int32_t danhGiaFEN(const std::string& fen, Phe phe) {
    Phe luot = DO;
    auto ban = banTuFEN(fen, luot);
    return DanhGia::luongGia(*ban, phe);
}

}  // namespace

TEST(DanhGia, ValueTableAndPositionScores) {
    EXPECT_EQ(DanhGia::giaTriLoai(0), 900);
    EXPECT_EQ(DanhGia::giaTriLoai(5), 0);
    EXPECT_EQ(DanhGia::giaTriLoai(6), 100);
    EXPECT_EQ(DanhGia::giaTriLoai(-1), 0);
    EXPECT_EQ(DanhGia::giaTriLoai(7), 0);
    EXPECT_EQ(DanhGia::diemViTri(9, DO, 5, 4), 0);

    // Chariot: edge file vs middle file, crossed vs at home.
    EXPECT_EQ(DanhGia::diemViTri(0, DO, 3, 0), 10);
    EXPECT_EQ(DanhGia::diemViTri(0, DO, 3, 4), 18);
    EXPECT_EQ(DanhGia::diemViTri(0, DO, 9, 0), 0);
    // Soldier on its relative row 2, middle file, seen from either side.
    EXPECT_EQ(DanhGia::giaTriLoai(6) + DanhGia::diemViTri(6, DO, 2, 4), 146);
    EXPECT_EQ(DanhGia::giaTriLoai(6) + DanhGia::diemViTri(6, DEN, 7, 4), 146);
    // The soldier's worked values, file bonus left out (file 0).
    const int32_t tot[10] = {80, 58, 40, 26, 16, 2, 0, 0, 0, 0};
    for (int r = 0; r < 10; ++r) EXPECT_EQ(DanhGia::diemViTri(6, DO, r, 0), tot[r]) << "r=" << r;
    EXPECT_EQ(DanhGia::diemViTri(6, DO, 6, 3), 3);
    // General: a bonus on its own back rank only; elephant loses on crossing.
    EXPECT_EQ(DanhGia::diemViTri(5, DO, 9, 4), 4);
    EXPECT_EQ(DanhGia::diemViTri(5, DO, 8, 4), 0);
    EXPECT_EQ(DanhGia::diemViTri(5, DEN, 0, 3), 4);
    EXPECT_EQ(DanhGia::diemViTri(3, DEN, 2, 4), 3);
    EXPECT_EQ(DanhGia::diemViTri(3, DEN, 5, 4), -5);
}

TEST(DanhGia, FullBoardIsSymmetricAndDefendersCount) {
    BanCo ban;
    EXPECT_EQ(DanhGia::luongGia(ban, DO), 0);
    EXPECT_EQ(DanhGia::luongGia(ban, DEN), 0);

    // One black advisor gone: 200 material plus 12 for the missing defender.
    ASSERT_TRUE(ban.boQuan(0, 3));
    EXPECT_EQ(DanhGia::luongGia(ban, DO), 212);
    EXPECT_EQ(DanhGia::luongGia(ban, DEN), -212);

    // Bare generals: the defender terms cancel; a general off its back rank loses 4.
    EXPECT_EQ(danhGiaFEN("4k4/9/9/9/9/9/9/9/9/3K5 w", DO), 0);
    EXPECT_EQ(danhGiaFEN("4k4/9/9/9/9/9/9/9/3K5/9 w", DO), -4);
    // Red has no defender (4 missing, 48); black's fifth defender earns
    // nothing beyond its material.
    EXPECT_EQ(danhGiaFEN("2bakab2/9/9/9/9/9/9/9/9/3K5 w", DEN), 800 + 3 + 3 + 48);
    EXPECT_EQ(danhGiaFEN("2bakab2/4a4/9/9/9/9/9/9/9/3K5 w", DEN), 1000 + 3 + 3 + 48);
}

TEST(DanhGia, SymmetricOverManyPositions) {
    const char* const fens[] = {
        "r1bakabr1/9/1cn4c1/p1p1p1p1p/9/2P6/P3P1P1P/1C2C1N2/9/RNBAKABR1 w",
        "3k5/4P4/9/9/2c6/9/9/4B4/4A4/3AK4 b",
        "4k4/9/9/9/9/9/9/9/9/3K4R w",
    };
    for (const char* fen : fens) EXPECT_EQ(danhGiaFEN(fen, DO), -danhGiaFEN(fen, DEN)) << fen;
}
