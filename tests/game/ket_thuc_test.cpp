#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <memory>

#include "fen.h"
#include "gio_gia.h"
#include "van_co.h"
#include "van_lap_lai.h"

namespace {

// Puts a position on the game's board with the given side to move; the
// history and the counts stay those of the game so far.
void datTheCo(VanCo& van, const std::string& fen) {
    std::string loi;
    Phe luot = DO;
    van.banCo.xoaHetQuan();
    ASSERT_TRUE(docFEN(fen, van.banCo, luot, loi)) << loi;
    van.luot = luot;
}

const NuocDi MA_DO_RA{9, 1, 7, 2}, MA_DO_VE{7, 2, 9, 1}, MA_DEN_RA{0, 1, 2, 2}, MA_DEN_VE{2, 2, 0, 1};

}  // namespace

TEST(KetThuc, ThirdRepetitionIsADraw) {
    VanCo van;
    for (int vong = 0; vong < 2; ++vong) {
        EXPECT_EQ(van.ketQua, DANG_CHOI);
        ASSERT_TRUE(van.thuDoNuoc(MA_DO_RA));
        ASSERT_TRUE(van.thuDoNuoc(MA_DEN_RA));
        ASSERT_TRUE(van.thuDoNuoc(MA_DO_VE));
        ASSERT_TRUE(van.thuDoNuoc(MA_DEN_VE));
    }
    EXPECT_EQ(van.ketQua, HOA);
    EXPECT_EQ(van.lyDo, "Thế cờ lặp lại 3 lần");
    EXPECT_EQ(van.demViTri.at(van.khoaTheCo()), 3);
    EXPECT_FALSE(van.dongHo.dangDemGio);
    EXPECT_FALSE(van.thuDoNuoc(MA_DO_RA));
    EXPECT_EQ(van.nuocThu, 8);
}

// A position is the placement and the side to move: each chariot goes
// round in three moves while the other steps out and back, so the start's
// placement comes back every five plies with the other side to move. It
// stands three times with alternating sides before either side has it a
// third time.
TEST(KetThuc, SamePlacementWithTheOtherSideToMoveIsAnotherPosition) {
    VanCo van;
    std::string loi;
    ASSERT_TRUE(van.datTheCoDau("5k2r/9/9/9/9/9/9/9/9/R2K5 w", loi)) << loi;
    const NuocDi vongDo[] = {{9, 0, 7, 0}, {0, 8, 1, 8}, {7, 0, 8, 0}, {1, 8, 0, 8}, {8, 0, 9, 0}};
    const NuocDi vongDen[] = {{0, 8, 2, 8}, {9, 0, 8, 0}, {2, 8, 1, 8}, {8, 0, 9, 0}, {1, 8, 0, 8}};
    const std::string dau = van.banCo.khoaViTri();
    for (int vong = 0; vong < 4; ++vong) {
        for (const NuocDi& n : vong % 2 == 0 ? vongDo : vongDen) {
            ASSERT_EQ(van.ketQua, DANG_CHOI) << "cycle " << vong << ", ply " << van.nuocThu;
            ASSERT_TRUE(van.thuDoNuoc(n)) << "cycle " << vong;
        }
        EXPECT_EQ(van.banCo.khoaViTri(), dau);
        EXPECT_EQ(van.luot, vong % 2 == 0 ? DEN : DO);
    }
    // Red to move there for the third time: now it is the draw.
    EXPECT_EQ(van.ketQua, HOA);
    EXPECT_EQ(van.nuocThu, 20);
}

TEST(KetThuc, HandicapStartIsNotCountedSoTheDrawComesLater) {
    VanCo van;
    ASSERT_TRUE(van.datChap(DO, "Xe"));
    for (int vong = 0; vong < 2; ++vong) {
        ASSERT_TRUE(van.thuDoNuoc(MA_DO_RA));
        ASSERT_TRUE(van.thuDoNuoc(MA_DEN_RA));
        ASSERT_TRUE(van.thuDoNuoc(MA_DO_VE));
        ASSERT_TRUE(van.thuDoNuoc(MA_DEN_VE));
    }
    EXPECT_EQ(van.ketQua, DANG_CHOI);
    // The third cycle: its first move reaches a position for the third time.
    ASSERT_TRUE(van.thuDoNuoc(MA_DO_RA));
    EXPECT_EQ(van.ketQua, HOA);
    EXPECT_EQ(van.nuocThu, 9);
}

TEST(KetThuc, SearchThatKnowsTheGamesPositionsAvoidsTheThirdRepetition) {
    VanCo van;
    ASSERT_TRUE(van.datChap(DEN, "Xe"));
    ASSERT_TRUE(van.datChap(DEN, "Phao"));
    for (const NuocDi& n : vanLapLai::NUOC) ASSERT_TRUE(van.thuDoNuoc(n));
    auto tim = [&](std::span<const uint64_t> viTriTruoc) {
        auto ban = van.banCo.saoChepTheCo();
        TimKiem::ThongKe tk;
        return std::make_unique<TimKiem>()->timNuocDiVoiThoiGian(*ban, van.luot, INT32_MAX, 3, tk, viTriTruoc);
    };
    EXPECT_EQ(tim({}), vanLapLai::LAP_LAI);
    EXPECT_EQ(tim(van.viTriTruoc()), vanLapLai::KHI_BIET_LICH_SU);

    ASSERT_TRUE(van.thuDoNuoc(vanLapLai::LAP_LAI));
    EXPECT_EQ(van.ketQua, HOA) << "the move the search avoided would have drawn a won game";
}

// The computer's engine keeps its table from move to move, so the positions
// the game has been through are the ones with deep entries: a return to one
// of them must still score as the repetition it is, not as the table says.
TEST(KetThuc, SearchThatKnowsTheGamesPositionsAvoidsTheThirdRepetitionWithItsTableFull) {
    VanCo van;
    ASSERT_TRUE(van.datChap(DEN, "Xe"));
    ASSERT_TRUE(van.datChap(DEN, "Phao"));
    auto may = std::make_unique<TimKiem>();
    auto tim = [&] {
        auto ban = van.banCo.saoChepTheCo();
        TimKiem::ThongKe tk;
        return may->timNuocDiVoiThoiGian(*ban, van.luot, INT32_MAX, 3, tk, van.viTriTruoc());
    };
    // Red's engine searches each of its positions, as the worker would.
    for (const NuocDi& n : vanLapLai::NUOC) {
        if (van.luot == DO) tim();
        ASSERT_TRUE(van.thuDoNuoc(n));
    }
    EXPECT_EQ(tim(), vanLapLai::KHI_BIET_LICH_SU);
}

// The master level's engine keeps its table from move to move as well. Black,
// a rook against two rooks and a horse, can take the horse (its best move
// when nothing has happened before) or step its rook back to where it came
// from, a position the game has had: for the losing side that return is a
// draw, and only the game's history says so. The table holds the return's
// position from the searches of earlier moves, scored as the loss it was
// then: the rule on returns must come before the table's word.
TEST(KetThuc, MasterSearchWithAWarmTableTakesTheDrawOnlyTheHistoryGives) {
    VanCo van;
    std::string loi;
    ASSERT_TRUE(van.datTheCoDau("5k3/9/1r7/9/9/9/9/R7R/9/1N1K5 b", loi)) << loi;
    auto may = std::make_unique<TimKiem>();
    TimKiem::GioiHan gioiHan;
    gioiHan.doSau = 6;
    gioiHan.miliGiay = std::numeric_limits<double>::infinity();
    may->datGioiHan(gioiHan);
    auto tim = [&] {
        auto ban = van.banCo.saoChepTheCo();
        TimKiem::ThongKe tk;
        return may->timNuocDi(*ban, van.luot, CAO_THU, tk, van.viTriTruoc(), -1.0);
    };
    const NuocDi anMa{2, 1, 9, 1}, xeDenRa{2, 1, 2, 2}, xeDenVe{2, 2, 2, 1};
    EXPECT_EQ(tim(), anMa) << "with no past, the horse";
    // Black's rook goes and comes back, and so does red's.
    for (const NuocDi& n : {xeDenRa, NuocDi{7, 8, 6, 8}, xeDenVe, NuocDi{6, 8, 7, 8}}) {
        if (van.luot == DEN) tim();
        ASSERT_TRUE(van.thuDoNuoc(n));
    }
    EXPECT_EQ(tim(), xeDenRa) << "the return to a position the game has had";
}

TEST(KetThuc, NoLegalMoveLosesWithOrWithoutCheck) {
    VanCo van;
    // Black mates: its chariot comes down to red's back rank.
    datTheCo(van, "3k4r/9/9/9/9/9/9/9/r8/4K4 b");
    ASSERT_TRUE(van.thuDoNuoc({0, 8, 9, 8}));
    EXPECT_EQ(van.ketQua, DEN_THANG);
    EXPECT_EQ(van.lyDo, "Chiếu bí! Đỏ thua");
    EXPECT_FALSE(van.thuDoNuoc({9, 4, 8, 4}));

    // Red's quiet chariot move leaves black without a move, not in check.
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    datTheCo(van, "3k5/9/R8/9/9/9/9/9/9/4K4 w");
    ASSERT_TRUE(van.thuDoNuoc({2, 0, 1, 0}));
    EXPECT_EQ(van.ketQua, DO_THANG);
    EXPECT_EQ(van.lyDo, "Đen hết nước đi");
}

TEST(KetThuc, MateThatRepeatsForTheThirdTimeIsADraw) {
    VanCo van;
    datTheCo(van, "3k4r/9/9/9/9/9/9/9/r8/4K4 b");
    // The mated position has been reached twice before (say, in a loaded
    // game, where no checks run).
    van.banCo.thuNuocDi({0, 8, 9, 8});
    van.luot = DO;
    van.demViTri[van.khoaTheCo()] = 2;
    datTheCo(van, "3k4r/9/9/9/9/9/9/9/r8/4K4 b");
    ASSERT_TRUE(van.thuDoNuoc({0, 8, 9, 8}));
    EXPECT_EQ(van.ketQua, HOA);
    EXPECT_EQ(van.lyDo, "Thế cờ lặp lại 3 lần");
}

TEST(KetThuc, LossOnTimeIsNoticedByTheClockCheck) {
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 30);
    gioGia::troi(29.9);
    van.capNhatDongHo();
    EXPECT_EQ(van.ketQua, DANG_CHOI);
    gioGia::troi(0.1);
    van.capNhatDongHo();
    EXPECT_EQ(van.ketQua, DEN_THANG);
    EXPECT_EQ(van.lyDo, "Đỏ hết thời gian");
    EXPECT_FALSE(van.thuDoNuoc(MA_DO_RA));
    EXPECT_EQ(van.nuocThu, 0);
    // A result once set is never changed by a later check.
    van.capNhatDongHo();
    van.kiemTraKetThuc();
    EXPECT_EQ(van.ketQua, DEN_THANG);

    // Black runs out while thinking; the move that comes too late ends the game.
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 30);
    ASSERT_TRUE(van.thuDoNuoc(MA_DO_RA));
    gioGia::troi(31.0);
    EXPECT_FALSE(van.thuDoNuoc(MA_DEN_RA));
    EXPECT_EQ(van.ketQua, DO_THANG);
    EXPECT_EQ(van.lyDo, "Đen hết thời gian");
    EXPECT_EQ(van.nuocThu, 1);
}

TEST(KetThuc, WithoutAClockNobodyLosesOnTime) {
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    gioGia::troi(1.0e6);
    van.capNhatDongHo();
    EXPECT_EQ(van.ketQua, DANG_CHOI);
    EXPECT_TRUE(van.thuDoNuoc(MA_DO_RA));
}
