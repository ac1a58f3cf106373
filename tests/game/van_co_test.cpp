#include "van_co.h"

#include <gtest/gtest.h>

#include "gio_gia.h"

namespace {

const std::string KHOA_DAU =
    "Bd6,0;Bd6,2;Bd6,4;Bd6,6;Bd6,8;Bn3,0;Bn3,2;Bn3,4;Bn3,6;Bn3,8;Md9,1;Md9,7;Mn0,1;Mn0,7;Pd7,1;Pd7,7;Pn2,1;Pn2,7;"
    "Sd9,3;Sd9,5;Sn0,3;Sn0,5;Td9,4;Tn0,4;Vd9,2;Vd9,6;Vn0,2;Vn0,6;Xd9,0;Xd9,8;Xn0,0;Xn0,8;";

// Red cannon out, black elephant, red cannon across, black advisor up, red
// cannon takes the elephant: mate in five plies from the start.
const NuocDi CHIEU_BI_NHANH[] = {{7, 1, 5, 1}, {0, 2, 2, 0}, {5, 1, 5, 6}, {0, 3, 1, 4}, {5, 6, 0, 6}};

void choiHet(VanCo& van, const NuocDi* dau, const NuocDi* cuoi) {
    for (const NuocDi* n = dau; n != cuoi; ++n) ASSERT_TRUE(van.thuDoNuoc(*n));
}

}  // namespace

TEST(VanCo, NewGameStartsRedWithOneCountedPosition) {
    VanCo van;
    EXPECT_EQ(van.cheDo, NGUOI_NGUOI);
    EXPECT_EQ(van.doKho, TRUNG_BINH);
    EXPECT_EQ(van.mayDo.doKho, TRUNG_BINH);
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(MAY_MAY, KHO, DEN, 300);
    EXPECT_EQ(van.luot, DO);
    EXPECT_EQ(van.nuocThu, 0);
    EXPECT_EQ(van.mayDo.doKho, KHO);
    EXPECT_EQ(van.mayDen.doKho, KHO);
    EXPECT_EQ(van.pheNguoi, DEN);
    EXPECT_EQ(van.khoaTheCo(), KHOA_DAU + "|d");
    ASSERT_EQ(van.demViTri.size(), 1u);
    EXPECT_EQ(van.demViTri.at(KHOA_DAU + "|d"), 1);
    EXPECT_EQ(van.getMoTaCuoi(), "");
    EXPECT_TRUE(van.dongHo.bat);
    EXPECT_TRUE(van.dongHo.dangDemGio);
    EXPECT_EQ(van.dongHo.pheDangChay, DO);
    EXPECT_EQ(van.giayMoiBen, 300);

    van.vanMoi(NGUOI_NGUOI, DE, DO, -7);
    EXPECT_EQ(van.giayMoiBen, 0);
    EXPECT_FALSE(van.dongHo.bat);

    // The computer's level per side leaves the game's own level alone.
    van.datDoKhoMay(DEN, KHO);
    van.datDoKhoMay(DO, TRUNG_BINH);
    EXPECT_EQ(van.mayDen.doKho, KHO);
    EXPECT_EQ(van.mayDo.doKho, TRUNG_BINH);
    EXPECT_EQ(van.doKho, DE);
}

TEST(VanCo, HandicapTakesPiecesInStorageOrder) {
    VanCo van;
    EXPECT_TRUE(van.datChap(DO, "Xe"));
    EXPECT_EQ(van.banCo.timQuan(9, 0), nullptr);
    EXPECT_NE(van.banCo.timQuan(9, 8), nullptr);
    EXPECT_TRUE(van.datChap(DO, "Xe"));
    EXPECT_EQ(van.banCo.timQuan(9, 8), nullptr);
    EXPECT_FALSE(van.datChap(DO, "Xe"));
    EXPECT_FALSE(van.datChap(DEN, "xe"));
    ASSERT_EQ(van.chap.size(), 2u);
    EXPECT_EQ(van.chap[1], std::make_pair(DO, std::string("Xe")));
    // The count made at the start stays with the full position.
    EXPECT_EQ(van.demViTri.size(), 1u);
    EXPECT_EQ(van.demViTri.count(KHOA_DAU + "|d"), 1u);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    EXPECT_TRUE(van.chap.empty());
    EXPECT_EQ(van.banCo.dsQuan.size(), 32u);
}

TEST(VanCo, MovesAreDescribedFromTheBoardBeforeTheMove) {
    VanCo van;
    ASSERT_TRUE(van.thuDoNuoc({7, 1, 7, 4}));
    EXPECT_EQ(van.getMoTaCuoi(), "Phao đỏ 7b-7e");
    ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));
    EXPECT_EQ(van.getMoTaCuoi(), "Ma đen 0b-2c");
    ASSERT_TRUE(van.thuDoNuoc({7, 4, 3, 4}));
    EXPECT_EQ(van.getMoTaCuoi(), "Phao đỏ 7e-3e ăn Tot đen");
    ASSERT_TRUE(van.thuDoNuoc({0, 0, 1, 0}));
    EXPECT_EQ(van.getMoTaCuoi(), "Xe đen 0a-1a");
    EXPECT_EQ(van.nuocThu, 4);
    EXPECT_EQ(van.lichSu.size(), 4u);
    EXPECT_EQ(van.luot, DO);

    // apDungNuoc trusts its caller: a move from an empty square is still
    // recorded, counted and passes the turn, while the board stays as it was.
    const std::string khoa = van.banCo.khoaViTri();
    van.apDungNuoc({4, 4, 5, 4});
    EXPECT_EQ(van.getMoTaCuoi(), "? 4e-5e");
    EXPECT_EQ(van.banCo.khoaViTri(), khoa);
    EXPECT_EQ(van.nuocThu, 5);
    EXPECT_EQ(van.luot, DEN);
    EXPECT_EQ(van.demViTri.at(khoa + "|n"), 1);
}

TEST(VanCo, RefusedMovesChangeNothing) {
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 60);
    gioGia::troi(5.0);
    EXPECT_FALSE(van.thuDoNuoc({0, 1, 2, 2}));  // black's move on red's turn
    EXPECT_FALSE(van.thuDoNuoc({9, 0, 9, 1}));  // onto an own piece
    EXPECT_FALSE(van.thuDoNuoc({5, 5, 4, 5}));  // empty from-square
    EXPECT_EQ(van.nuocThu, 0);
    EXPECT_EQ(van.luot, DO);
    EXPECT_TRUE(van.dongHo.dangDemGio);
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DO), 55.0);

    // A pinned chariot may not leave the line between the generals.
    van.banCo.xoaHetQuan();
    van.banCo.themQuan(taoQuan(LOAI_TUONG, 9, 4, DO));
    van.banCo.themQuan(taoQuan(LOAI_XE, 7, 4, DO));
    van.banCo.themQuan(taoQuan(LOAI_XE, 2, 4, DEN));
    van.banCo.themQuan(taoQuan(LOAI_TUONG, 0, 3, DEN));
    EXPECT_FALSE(van.thuDoNuoc({7, 4, 7, 0}));
    EXPECT_TRUE(van.thuDoNuoc({7, 4, 2, 4}));
}

TEST(VanCo, AcceptedMoveChargesTheMoverAndStartsTheOther) {
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 60);
    gioGia::troi(10.0);
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    EXPECT_DOUBLE_EQ(van.dongHo.conLai[0], 50.0);
    EXPECT_EQ(van.dongHo.pheDangChay, DEN);
    gioGia::troi(3.0);
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DEN), 57.0);
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DO), 50.0);
}

TEST(VanCo, WhoseTurnIsTheComputers) {
    VanCo van;
    EXPECT_FALSE(van.denLuotMay());
    van.vanMoi(NGUOI_MAY, TRUNG_BINH, DEN, 0);
    EXPECT_TRUE(van.denLuotMay());
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    EXPECT_FALSE(van.denLuotMay());
    van.vanMoi(MAY_MAY, TRUNG_BINH, DO, 0);
    EXPECT_TRUE(van.denLuotMay());
    // The result is the caller's business.
    van.ketQua = HOA;
    EXPECT_TRUE(van.denLuotMay());
}

TEST(VanCo, UndoAgainstTheComputerGoesBackToTheHumansTurn) {
    VanCo van;
    van.vanMoi(NGUOI_MAY, TRUNG_BINH, DO, 0);
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));  // the computer's reply
    EXPECT_TRUE(van.huyNuocDi());
    EXPECT_EQ(van.nuocThu, 0);
    EXPECT_EQ(van.luot, DO);
    EXPECT_EQ(van.khoaTheCo(), KHOA_DAU + "|d");

    // Before the computer has replied only the human's move goes.
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));
    ASSERT_TRUE(van.thuDoNuoc({7, 7, 7, 4}));
    EXPECT_TRUE(van.huyNuocDi());
    EXPECT_EQ(van.nuocThu, 2);
    EXPECT_EQ(van.getMoTaCuoi(), "Ma đen 0b-2c");
    EXPECT_EQ(van.luot, DO);

    // Human as black, the computer's first move undone: empty history, the
    // computer to move again.
    van.vanMoi(NGUOI_MAY, TRUNG_BINH, DEN, 0);
    ASSERT_TRUE(van.thuDoNuoc({7, 1, 7, 4}));
    EXPECT_TRUE(van.huyNuocDi());
    EXPECT_EQ(van.nuocThu, 0);
    EXPECT_EQ(van.luot, DO);
    EXPECT_TRUE(van.denLuotMay());
    EXPECT_FALSE(van.huyNuocDi());
}

TEST(VanCo, UndoTakesOnePlyOtherwiseAndRebuildsEverything) {
    for (CheDo cheDo : {NGUOI_NGUOI, MAY_MAY}) {
        VanCo van;
        van.vanMoi(cheDo, TRUNG_BINH, DO, 0);
        EXPECT_FALSE(van.huyNuocDi());
        ASSERT_TRUE(van.thuDoNuoc({7, 1, 7, 4}));
        ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));
        ASSERT_TRUE(van.thuDoNuoc({7, 4, 3, 4}));
        const std::string khoaTruoc = van.khoaTheCo();
        ASSERT_TRUE(van.thuDoNuoc({2, 2, 3, 4}));  // black horse takes the cannon back
        EXPECT_TRUE(van.huyNuocDi());
        EXPECT_EQ(van.nuocThu, 3);
        EXPECT_EQ(van.lichSu.size(), 3u);
        EXPECT_EQ(van.luot, DEN);
        EXPECT_EQ(van.khoaTheCo(), khoaTruoc);
        EXPECT_EQ(van.getMoTaCuoi(), "Phao đỏ 7e-3e ăn Tot đen");
        // Four keys: the start and one per remaining ply.
        EXPECT_EQ(van.demViTri.size(), 4u);
        EXPECT_EQ(van.banCo.dsQuan.size(), 31u);
    }
}

TEST(VanCo, UndoReopensAFinishedGameAndKeepsTheHandicap) {
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 100);
    choiHet(van, std::begin(CHIEU_BI_NHANH), std::end(CHIEU_BI_NHANH));
    ASSERT_EQ(van.ketQua, DO_THANG);
    EXPECT_FALSE(van.dongHo.dangDemGio);  // the clock stands after the last move
    gioGia::troi(7.0);
    EXPECT_TRUE(van.huyNuocDi());
    EXPECT_EQ(van.ketQua, DANG_CHOI);
    EXPECT_EQ(van.lyDo, "");
    EXPECT_EQ(van.nuocThu, 4);
    EXPECT_EQ(van.luot, DO);
    EXPECT_TRUE(van.dongHo.dangDemGio);
    EXPECT_EQ(van.dongHo.pheDangChay, DO);
    // An undone game is open until the next move; that move ends it again.
    EXPECT_TRUE(van.thuDoNuoc(CHIEU_BI_NHANH[4]));
    EXPECT_EQ(van.ketQua, DO_THANG);

    // With a handicap the rebuilt start lacks the pieces and is the one counted.
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    ASSERT_TRUE(van.datChap(DEN, "Ma"));
    ASSERT_TRUE(van.datChap(DEN, "Xe"));
    const std::string khoaChap = van.khoaTheCo();
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    EXPECT_TRUE(van.huyNuocDi());
    EXPECT_EQ(van.khoaTheCo(), khoaChap);
    EXPECT_EQ(van.banCo.dsQuan.size(), 30u);
    EXPECT_EQ(van.banCo.timQuan(0, 1), nullptr);
    EXPECT_EQ(van.banCo.timQuan(0, 0), nullptr);
    EXPECT_EQ(van.chap.size(), 2u);
    ASSERT_EQ(van.demViTri.size(), 1u);
    EXPECT_EQ(van.demViTri.begin()->first, khoaChap);
}

TEST(VanCo, ConsoleSelectionThenMove) {
    VanCo van;
    van.banCo.hangConTro = 0;
    van.banCo.cotConTro = 1;
    EXPECT_FALSE(van.xuLyEnter());  // black piece on red's turn
    van.banCo.hangConTro = 9;
    van.banCo.cotConTro = 1;
    EXPECT_TRUE(van.xuLyEnter());
    EXPECT_EQ(van.banCo.quanChon, van.banCo.timQuan(9, 1));
    van.banCo.hangConTro = 7;
    van.banCo.cotConTro = 2;
    EXPECT_TRUE(van.xuLyEnter());
    EXPECT_EQ(van.nuocThu, 1);
    EXPECT_EQ(van.banCo.quanChon, nullptr);
    EXPECT_TRUE(van.laNuocHopLe({0, 1, 2, 2}));
    EXPECT_FALSE(van.laNuocHopLe({9, 7, 7, 6}));
}

TEST(VanCo, ComputerChoiceLeavesTheGameAlone) {
    VanCo van;
    van.vanMoi(MAY_MAY, DE, DO, 0);
    const std::string khoa = van.khoaTheCo();
    TimKiem::ThongKe thongKe{};
    const NuocDi nuoc = van.mayChonNuoc(thongKe);
    EXPECT_TRUE(van.laNuocHopLe(nuoc));
    EXPECT_EQ(thongKe.nuocDi, nuoc);
    EXPECT_EQ(van.khoaTheCo(), khoa);
    EXPECT_EQ(van.nuocThu, 0);
}

// With an increment every move earns it and every undone move gives it back,
// whoever made it: an undo cannot be used to bank time. Stopping the clock
// without a move (a pause, the pause after a computers' undo, a
// resignation) earns nothing.
TEST(VanCo, IncrementComesAndGoesWithItsMove) {
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 60);
    van.datTang(5);
    EXPECT_EQ(van.giayTang, 5);
    gioGia::troi(10.0);
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    gioGia::troi(4.0);
    ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));
    EXPECT_DOUBLE_EQ(van.dongHo.conLai[0], 55.0);
    EXPECT_DOUBLE_EQ(van.dongHo.conLai[1], 61.0);
    // One ply back: black's move and its increment.
    ASSERT_TRUE(van.huyNuocDi());
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DEN), 56.0);
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DO), 55.0);
    // Pausing and going on, again and again, gives nothing.
    for (int i = 0; i < 3; ++i) {
        gioGia::troi(1.0);
        ASSERT_TRUE(van.tamDungVan());
        van.tiepTucVan();
    }
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DEN), 53.0);
    // Nor does a resignation, taken back.
    ASSERT_TRUE(van.xinThua(DEN));
    ASSERT_TRUE(van.huyNuocDi());
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DEN), 53.0);

    // Against the computer an undo takes back two moves: two increments.
    van.vanMoi(NGUOI_MAY, TRUNG_BINH, DO, 60);
    van.datTang(5);
    gioGia::troi(10.0);
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    gioGia::troi(4.0);
    ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));
    ASSERT_TRUE(van.huyNuocDi());
    EXPECT_EQ(van.nuocThu, 0);
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DO), 50.0);
    EXPECT_DOUBLE_EQ(van.dongHo.giayConLai(DEN), 56.0);

    // The computers stop after an undo: that stop earns nothing either.
    van.vanMoi(MAY_MAY, TRUNG_BINH, DO, 60);
    van.datTang(5);
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    ASSERT_TRUE(van.huyNuocDi());
    ASSERT_TRUE(van.tamDungVan());
    EXPECT_DOUBLE_EQ(van.dongHo.conLai[0], 60.0);
    EXPECT_DOUBLE_EQ(van.dongHo.conLai[1], 60.0);

    // A game from a set-up position keeps its increment; a new game without
    // one, or without a clock, has none.
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 60);
    van.datTang(5);
    std::string loi;
    ASSERT_TRUE(van.datTheCoDau("3k5/9/9/9/9/9/9/9/R8/4K4 w", loi));
    gioGia::troi(2.0);
    ASSERT_TRUE(van.thuDoNuoc({8, 0, 8, 2}));
    EXPECT_DOUBLE_EQ(van.dongHo.conLai[0], 63.0);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 60);
    EXPECT_EQ(van.giayTang, 0);
    EXPECT_EQ(van.dongHo.congThem, 0.0);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    van.datTang(5);
    EXPECT_EQ(van.giayTang, 0);
}
