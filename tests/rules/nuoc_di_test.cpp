#include <gtest/gtest.h>

#include <random>

#include "ho_tro_ban_co.h"

namespace {

const char* KHOA_MAC_DINH =
    "Bd6,0;Bd6,2;Bd6,4;Bd6,6;Bd6,8;Bn3,0;Bn3,2;Bn3,4;Bn3,6;Bn3,8;Md9,1;Md9,7;Mn0,1;Mn0,7;Pd7,1;Pd7,7;"
    "Pn2,1;Pn2,7;Sd9,3;Sd9,5;Sn0,3;Sn0,5;Td9,4;Tn0,4;Vd9,2;Vd9,6;Vn0,2;Vn0,6;Xd9,0;Xd9,8;Xn0,0;Xn0,8;";

// The legal-move filter exactly as defined: try every pseudo-legal move on the
// board and ask every enemy piece whether it may take the general.
DanhSachNuoc hopLeTheoDinhNghia(BanCo& ban, Phe phe) {
    DanhSachNuoc gia, ra;
    ban.sinhNuocDi(phe, gia);
    for (const NuocDi& n : gia) {
        ban.thuNuocDi(n);
        const bool biAn = ban.biChieuTheoDinhNghia(phe);
        ban.luiNuocDi();
        if (!biAn) ra.push_back(n);
    }
    return ra;
}

}  // namespace

TEST(NuocDi, DefaultSetupOrderKeyAndOpeningMoves) {
    BanCo ban;
    const std::vector<std::string> mong = {
        "Xn0,0", "Mn0,1", "Vn0,2", "Sn0,3", "Tn0,4", "Sn0,5", "Vn0,6", "Mn0,7", "Xn0,8", "Pn2,1", "Pn2,7",
        "Bn3,0", "Bn3,2", "Bn3,4", "Bn3,6", "Bn3,8", "Xd9,0", "Md9,1", "Vd9,2", "Sd9,3", "Td9,4", "Sd9,5",
        "Vd9,6", "Md9,7", "Xd9,8", "Pd7,1", "Pd7,7", "Bd6,0", "Bd6,2", "Bd6,4", "Bd6,6", "Bd6,8"};
    EXPECT_EQ(thuTuLuuTru(ban), mong);
    EXPECT_EQ(ban.khoaViTri(), KHOA_MAC_DINH);
    EXPECT_EQ(ban.khoaViTri().size(), 192u);
    EXPECT_FALSE(ban.biChieu(DO));
    EXPECT_FALSE(ban.biChieu(DEN));

    const DanhSachNuoc dau = {N(9, 0, 8, 0), N(9, 0, 7, 0), N(9, 1, 7, 0), N(9, 1, 7, 2), N(9, 2, 7, 0),
                              N(9, 2, 7, 4), N(9, 3, 8, 4), N(9, 4, 8, 4), N(9, 5, 8, 4), N(9, 6, 7, 4),
                              N(9, 6, 7, 8), N(9, 7, 7, 6), N(9, 7, 7, 8), N(9, 8, 8, 8), N(9, 8, 7, 8)};
    DanhSachNuoc gia;
    ban.sinhNuocDi(DO, gia);
    ASSERT_EQ(gia.size(), 44u);
    EXPECT_EQ(DanhSachNuoc(gia.begin(), gia.begin() + 15), dau);
    const DanhSachNuoc hopLe = ban.nuocDiHopLe(DO);
    EXPECT_EQ(hopLe, gia);
    EXPECT_EQ(ban.nuocDiHopLe(DEN).size(), 44u);
    // The cannon's capture of the black horse over the black cannon is among them.
    EXPECT_NE(std::find(hopLe.begin(), hopLe.end(), N(7, 1, 0, 1)), hopLe.end());
    // Generation leaves the list appended to, never cleared.
    ban.sinhNuocDi(DEN, gia);
    EXPECT_EQ(gia.size(), 88u);
}

TEST(NuocDi, CaptureAndUndoPutTheVictimLast) {
    BanCo ban;
    EXPECT_TRUE(ban.thuNuocDi(N(7, 1, 0, 1)));
    EXPECT_EQ(ban.dsQuan.size(), 31u);
    EXPECT_EQ(ban.nhatKy.size(), 1u);
    EXPECT_EQ(ban.timQuan(0, 1)->loai(), LOAI_PHAO);
    EXPECT_EQ(ban.timQuan(7, 1), nullptr);
    ban.luiNuocDi();
    EXPECT_EQ(ban.dsQuan.size(), 32u);
    EXPECT_TRUE(ban.nhatKy.empty());
    EXPECT_EQ(ban.khoaViTri(), KHOA_MAC_DINH);
    EXPECT_EQ(thuTuLuuTru(ban).back(), "Mn0,1");
    EXPECT_EQ(ban.timQuan(0, 1)->loai(), LOAI_MA);
    EXPECT_EQ(ban.timQuan(7, 1)->loai(), LOAI_PHAO);

    // No piece on the from-square: nothing happens.
    EXPECT_FALSE(ban.thuNuocDi(N(4, 4, 3, 4)));
    EXPECT_TRUE(ban.nhatKy.empty());
    ban.luiNuocDi();  // empty log: nothing
    EXPECT_EQ(ban.dsQuan.size(), 32u);
    BanCo trong;
    trong.xoaHetQuan();
    EXPECT_FALSE(trong.thuNuocDi(N(9, 0, 8, 0)));
    EXPECT_EQ(trong.khoaViTri(), "");
}

TEST(NuocDi, FacingGeneralsAreCheckAndOnlySevenMovesRemain) {
    BanCo ban;
    ban.boQuan(3, 4);
    ban.boQuan(6, 4);
    EXPECT_TRUE(ban.biChieu(DO));
    EXPECT_TRUE(ban.biChieu(DEN));
    EXPECT_EQ(ban.nuocDiHopLe(DO), (DanhSachNuoc{N(9, 2, 7, 4), N(9, 3, 8, 4), N(9, 4, 0, 4), N(9, 5, 8, 4),
                                                 N(9, 6, 7, 4), N(7, 1, 7, 4), N(7, 7, 7, 4)}));
}

TEST(NuocDi, PinnedPieceMayOnlyMoveAlongThePin) {
    // Red chariot on (5,4) stands between its general and the black chariot.
    auto ban = banTuFEN("3k5/9/9/4r4/9/4R4/9/9/9/4K4 w");
    DanhSachNuoc gia;
    ban->sinhNuocDi(DO, gia);
    const auto hopLe = ban->nuocDiHopLe(DO);
    EXPECT_NE(std::find(gia.begin(), gia.end(), N(5, 4, 5, 0)), gia.end());
    for (const NuocDi& n : hopLe) {
        if (n.hangDi == 5) { EXPECT_EQ(n.cotDen, 4) << "the pinned chariot left the column"; }
    }
    EXPECT_NE(std::find(hopLe.begin(), hopLe.end(), N(5, 4, 3, 4)), hopLe.end());
    // The same along a row.
    auto hang = banTuFEN("3k5/9/9/9/9/9/9/9/9/r2RK4 w");
    for (const NuocDi& n : hang->nuocDiHopLe(DO)) {
        if (n.hangDi == 9 && n.cotDi == 3) { EXPECT_EQ(n.hangDen, 9); }
    }
}

TEST(NuocDi, KeyIgnoresOrderSelectionCursorAndLog) {
    BanCo a;
    auto b = a.saoChepTheCo();
    b->thuNuocDi(N(7, 1, 0, 1));
    b->luiNuocDi();  // same squares, horse now last
    b->quanChon = b->timQuan(9, 4);
    b->diChuyenConTro(-5, 5);
    b->thuNuocDi(N(9, 0, 8, 0));
    b->thuNuocDi(N(8, 0, 9, 0));  // log of two, same placement
    EXPECT_NE(thuTuLuuTru(a), thuTuLuuTru(*b));
    EXPECT_EQ(a.khoaViTri(), b->khoaViTri());
}

// Random legal games: the fast square view, the board's own generator, the
// outward-looking check test and the legal-move filter must agree with the literal definitions at every step, and undoing every
// move must restore every square.
TEST(NuocDi, FastViewsAgreeWithDefinitionsOverRandomGames) {
    std::mt19937 rng(7);
    for (int van = 0; van < 60; ++van) {
        BanCo ban;
        Phe luot = DO;
        const std::string khoaDau = ban.khoaViTri();
        int soNuoc = 0;
        for (; soNuoc < 150; ++soNuoc) {
            for (Phe p : {DO, DEN}) {
                ASSERT_EQ(ban.biChieu(p), ban.biChieuTheoDinhNghia(p));
                DanhSachNuoc nhanh, tungQuan;
                ban.sinhNuocDi(p, nhanh);
                for (const auto& q : ban.dsQuan)
                    if (q->phe == p) q->sinhNuocDi(ban, tungQuan);
                ASSERT_EQ(nhanh, tungQuan);
                DanhSachNuoc an, loc;
                ban.sinhNuocAn(p, an);
                for (const NuocDi& n : nhanh)
                    if (ban.coQuanTai(n.hangDen, n.cotDen)) loc.push_back(n);
                ASSERT_EQ(an, loc);
            }
            for (int h = 0; h < 10; ++h)
                for (int c = 0; c < 9; ++c) {
                    const QuanCo* quet = nullptr;
                    for (const auto& q : ban.dsQuan)
                        if (q->hang == h && q->cot == c) { quet = q.get(); break; }
                    ASSERT_EQ(ban.timQuan(h, c), quet);
                }
            auto banMau = ban.saoChepTheCo();
            const auto ds = ban.nuocDiHopLe(luot);
            ASSERT_EQ(ds, hopLeTheoDinhNghia(*banMau, luot));
            ASSERT_EQ(thuTuLuuTru(ban), thuTuLuuTru(*banMau));  // same reordering by trial captures
            if (ds.empty()) break;
            ASSERT_TRUE(ban.thuNuocDi(ds[rng() % ds.size()]));
            luot = pheDoiPhuong(luot);
        }
        for (int i = 0; i < soNuoc; ++i) ban.luiNuocDi();
        EXPECT_EQ(ban.khoaViTri(), khoaDau);
        EXPECT_EQ(ban.dsQuan.size(), 32u);
    }
}
