#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "ho_tro_ban_co.h"

namespace {

bool coNuoc(const DanhSachNuoc& ds, const NuocDi& n) { return std::find(ds.begin(), ds.end(), n) != ds.end(); }

DanhSachNuoc nuocCuaQuan(const BanCo& ban, int h, int c) {
    DanhSachNuoc ds;
    const QuanCo* q = ban.timQuan(h, c);
    if (q) q->sinhNuocDi(ban, ds);
    return ds;
}

// Moves in a fixed order, for comparing lists that different storage orders produced.
std::vector<NuocDi> theoThuTu(const DanhSachNuoc& ds) {
    std::vector<NuocDi> ra(ds.begin(), ds.end());
    std::sort(ra.begin(), ra.end(), [](const NuocDi& a, const NuocDi& b) {
        return std::tie(a.hangDi, a.cotDi, a.hangDen, a.cotDen) < std::tie(b.hangDi, b.cotDi, b.hangDen, b.cotDen);
    });
    return ra;
}

}  // namespace

TEST(QuanCo, KindsNamesSymbolsAndValues) {
    struct Mong { int loai; const char* ten; const char* ve; int giaTri; bool laTuong; };
    const Mong mong[] = {{0, "Xe", "X", 900, false}, {1, "Phao", "P", 450, false}, {2, "Ma", "M", 400, false},
                         {3, "Voi", "V", 200, false}, {4, "Si", "S", 200, false}, {5, "Tuong", "T", 10000, true},
                         {6, "Tot", "B", 100, false}};
    for (const auto& m : mong) {
        auto q = taoQuan(m.loai, 4, 4, DEN);
        ASSERT_TRUE(q);
        EXPECT_EQ(q->loai(), m.loai);
        EXPECT_EQ(q->ten(), m.ten);
        EXPECT_EQ(q->ve(), m.ve);
        EXPECT_EQ(q->giaTri(), m.giaTri);
        EXPECT_EQ(q->laTuong(), m.laTuong);
        auto ban = q->saoChep();
        EXPECT_EQ(ban->loai(), m.loai);
        EXPECT_EQ(ban->hang, 4);
        EXPECT_EQ(ban->phe, DEN);
    }
    EXPECT_FALSE(taoQuan(7, 0, 0, DO));
}

TEST(QuanCo, HorseLegElephantHalvesAndEye) {
    BanCo ban;
    // The red elephant on (9,2) blocks the horse's leg toward (8,3).
    EXPECT_FALSE(ban.timQuan(9, 1)->kiemTraNuocDi(ban, 8, 3));
    ban.boQuan(9, 2);
    EXPECT_TRUE(ban.timQuan(9, 1)->kiemTraNuocDi(ban, 8, 3));

    // Elephants stay home, whatever the board looks like, and need an empty eye.
    auto b = banTuFEN("4k4/9/9/9/2b6/2B6/9/9/9/4K4 w");
    EXPECT_FALSE(b->timQuan(5, 2)->kiemTraNuocDi(*b, 3, 0));
    EXPECT_FALSE(b->timQuan(5, 2)->kiemTraNuocDi(*b, 3, 4));
    EXPECT_TRUE(b->timQuan(5, 2)->kiemTraNuocDi(*b, 7, 0));
    EXPECT_FALSE(b->timQuan(4, 2)->kiemTraNuocDi(*b, 6, 0));
    EXPECT_TRUE(b->timQuan(4, 2)->kiemTraNuocDi(*b, 2, 4));
    auto mat = banTuFEN("4k4/9/9/9/9/9/9/9/3P5/2B1K4 w");
    EXPECT_FALSE(mat->timQuan(9, 2)->kiemTraNuocDi(*mat, 7, 4));
    EXPECT_TRUE(mat->timQuan(9, 2)->kiemTraNuocDi(*mat, 7, 0));
}

TEST(QuanCo, SoldierBeforeAndAfterTheRiver) {
    auto b = banTuFEN("4k4/9/9/9/3P5/6P2/9/9/9/4K4 w");
    EXPECT_EQ(nuocCuaQuan(*b, 5, 6), (DanhSachNuoc{N(5, 6, 4, 6)}));
    // Row 4 has crossed: forward is blocked by nothing here, sideways both ways.
    EXPECT_EQ(nuocCuaQuan(*b, 4, 3), (DanhSachNuoc{N(4, 3, 3, 3), N(4, 3, 4, 2), N(4, 3, 4, 4)}));
    auto cuoi = banTuFEN("3Pk4/9/9/9/9/9/9/9/9/4K4 w");
    EXPECT_EQ(nuocCuaQuan(*cuoi, 0, 3), (DanhSachNuoc{N(0, 3, 0, 2), N(0, 3, 0, 4)}));
    EXPECT_FALSE(cuoi->timQuan(0, 3)->kiemTraNuocDi(*cuoi, 1, 3));  // never backward
    auto den = banTuFEN("4k4/9/9/9/9/4p4/9/9/9/3K5 b");
    EXPECT_EQ(nuocCuaQuan(*den, 5, 4), (DanhSachNuoc{N(5, 4, 6, 4), N(5, 4, 5, 3), N(5, 4, 5, 5)}));
}

TEST(QuanCo, CannonNeedsExactlyOneScreenToCapture) {
    auto b = banTuFEN("4k4/9/9/9/9/9/9/9/9/Cr1r1p1rK w");
    const QuanCo* phao = b->timQuan(9, 0);
    EXPECT_FALSE(phao->kiemTraNuocDi(*b, 9, 1));  // adjacent: no screen
    EXPECT_TRUE(phao->kiemTraNuocDi(*b, 9, 3));   // one piece between
    EXPECT_FALSE(phao->kiemTraNuocDi(*b, 9, 5));  // two pieces between
    EXPECT_FALSE(phao->kiemTraNuocDi(*b, 9, 2));  // empty square behind the screen
    const auto ds = nuocCuaQuan(*b, 9, 0);
    EXPECT_TRUE(coNuoc(ds, N(9, 0, 9, 3)));
    EXPECT_FALSE(coNuoc(ds, N(9, 0, 9, 1)));
    EXPECT_FALSE(coNuoc(ds, N(9, 0, 9, 5)));
    EXPECT_EQ(ds.front(), N(9, 0, 8, 0));  // up first, nearest first
}

TEST(QuanCo, GeneralsSeeEachOtherOnAnOpenColumn) {
    auto b = banTuFEN("4k4/9/9/9/9/9/9/9/9/4K4 w");
    EXPECT_TRUE(b->timQuan(9, 4)->kiemTraNuocDi(*b, 0, 4));
    EXPECT_TRUE(b->timQuan(0, 4)->kiemTraNuocDi(*b, 9, 4));
    const auto ds = nuocCuaQuan(*b, 9, 4);
    // Steps first (up, then left and right; down is off the board), then the flying capture.
    EXPECT_EQ(ds, (DanhSachNuoc{N(9, 4, 8, 4), N(9, 4, 9, 3), N(9, 4, 9, 5), N(9, 4, 0, 4)}));
    auto chan = banTuFEN("4k4/9/9/9/4p4/9/9/9/9/4K4 w");
    EXPECT_FALSE(chan->timQuan(9, 4)->kiemTraNuocDi(*chan, 0, 4));
    // The palace bounds the steps.
    auto goc = banTuFEN("3k5/9/9/9/9/9/9/9/9/3K5 w");
    EXPECT_FALSE(goc->timQuan(9, 3)->kiemTraNuocDi(*goc, 9, 2));
    EXPECT_FALSE(goc->timQuan(9, 3)->kiemTraNuocDi(*goc, 8, 2));
}

TEST(BanCo, LineQueries) {
    BanCo ban;
    EXPECT_EQ(ban.demQuanGiua(0, 0, 1, 1), -1);
    EXPECT_EQ(ban.demQuanGiua(0, 0, 0, 1), 0);
    EXPECT_EQ(ban.demQuanGiua(5, 5, 5, 5), 0);
    EXPECT_EQ(ban.demQuanGiua(0, 0, 0, 8), 7);
    EXPECT_EQ(ban.demQuanGiua(0, 1, 9, 1), 2);  // the two cannons on file 1
    EXPECT_EQ(ban.demQuanGiua(9, 1, 0, 1), 2);
    EXPECT_TRUE(ban.duongThangTrong(4, 4, 4, 4));
    EXPECT_FALSE(ban.duongThangTrong(0, 0, 1, 1));
    EXPECT_TRUE(ban.duongThangTrong(4, 0, 4, 8));
    // Any integers are accepted; far-off squares are simply empty.
    EXPECT_EQ(ban.demQuanGiua(0, -2000000000, 0, 2000000000), 9);
    EXPECT_EQ(ban.timQuan(-1, 0), nullptr);
    EXPECT_FALSE(ban.coQuanTai(10, 0));
    EXPECT_FALSE(ban.boQuan(0, 9));
}

TEST(BanCo, LookupsRemovalAndCopy) {
    BanCo ban;
    ASSERT_EQ(ban.dsQuan.size(), 32u);
    EXPECT_EQ(ban.timQuanTheoTen(DO, "Ma"), ban.timQuan(9, 1));
    EXPECT_TRUE(ban.boQuan(9, 1));
    EXPECT_EQ(ban.timQuanTheoTen(DO, "Ma"), ban.timQuan(9, 7));
    EXPECT_TRUE(ban.boQuan(9, 7));
    EXPECT_EQ(ban.timQuanTheoTen(DO, "Ma"), nullptr);
    EXPECT_EQ(ban.timQuanTheoTen(DO, "ma"), nullptr);
    EXPECT_EQ(ban.timQuanTheoTen(DEN, "Tot"), ban.timQuan(3, 0));

    const auto truoc = thuTuLuuTru(ban);
    EXPECT_FALSE(ban.boQuan(4, 4));
    EXPECT_EQ(thuTuLuuTru(ban), truoc);
    EXPECT_EQ(ban.timTuong(DEN), ban.timQuan(0, 4));

    ban.quanChon = ban.timQuan(9, 0);
    ban.diChuyenConTro(-3, 2);
    auto sao = ban.saoChepTheCo();
    EXPECT_EQ(sao->quanChon, nullptr);
    EXPECT_EQ(sao->hangConTro, 6);
    EXPECT_EQ(sao->cotConTro, 2);
    EXPECT_EQ(thuTuLuuTru(*sao), truoc);
    EXPECT_TRUE(sao->nhatKy.empty());
    sao->boQuan(0, 0);  // the copy shares nothing
    EXPECT_NE(ban.timQuan(0, 0), nullptr);
}

TEST(BanCo, StackedPiecesShadowAndStillBehave) {
    // themQuan does not test the square: the first piece in storage order wins every lookup.
    BanCo ban;
    ban.xoaHetQuan();
    ban.themQuan(taoQuan(LOAI_XE, 5, 5, DO));
    ban.themQuan(taoQuan(LOAI_MA, 5, 5, DEN));
    ban.themQuan(taoQuan(LOAI_TUONG, 9, 4, DO));
    ban.themQuan(taoQuan(LOAI_TUONG, 0, 3, DEN));
    ban.themQuan(nullptr);
    EXPECT_EQ(ban.dsQuan.size(), 4u);
    EXPECT_EQ(ban.timQuan(5, 5)->loai(), LOAI_XE);
    EXPECT_TRUE(ban.boQuan(5, 5));
    EXPECT_EQ(ban.timQuan(5, 5)->loai(), LOAI_MA);
    EXPECT_FALSE(ban.biChieu(DO));
    // Once uncovered, the horse moves exactly as on a board built without the stack.
    EXPECT_EQ(theoThuTu(ban.nuocDiHopLe(DEN)), theoThuTu(banTuFEN("3k5/9/9/9/9/5n3/9/9/9/4K4 b")->nuocDiHopLe(DEN)));
}
