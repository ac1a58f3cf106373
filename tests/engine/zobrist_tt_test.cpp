#include <random>

#include <gtest/gtest.h>

#include "ho_tro_tim_kiem.h"

TEST(Zobrist, KeysComeFromAFixedSeed) {
    auto tk = std::make_unique<DoTimKiem>();
    EXPECT_EQ(tk->zobrist[0][0][0], 1060301056525005905ULL);
    EXPECT_EQ(tk->zobrist[0][0][1], 8226293207028399473ULL);
    EXPECT_EQ(tk->zobrist[1][0][0], 6269162418162311698ULL);
    EXPECT_EQ(tk->zobristLuot, 2484456966852085444ULL);

    // The same placement with the other side to move differs by the side key.
    BanCo ban;
    EXPECT_EQ(TimKiem::khoaViTri(ban, DO) ^ TimKiem::khoaViTri(ban, DEN), tk->zobristLuot);
    EXPECT_NE(TimKiem::khoaViTri(ban, DO), TimKiem::khoaViTri(ban, DEN));
}

// Random legal games: after every move the incremental key equals the key
// computed from scratch; unwinding the whole game restores everything.
TEST(Zobrist, IncrementalKeyMatchesTheFullKeyThroughRandomGames) {
    auto tk = std::make_unique<DoTimKiem>();
    std::mt19937 sinh(7);
    int soNuocAn = 0;
    for (int van = 0; van < 20; ++van) {
        BanCo ban;
        chuanBiTimKiem(*tk, ban, DO);
        const uint64_t khoaDau = tk->khoaHienTai;
        const std::string viTriDau = ban.khoaViTri();
        std::vector<NuocDi> daDi;
        for (int ply = 0; ply < 120; ++ply) {
            const DanhSachNuoc hopLe = ban.nuocDiHopLe(tk->pheDangDi);
            if (hopLe.empty()) break;
            const NuocDi n = hopLe[sinh() % hopLe.size()];
            soNuocAn += ban.coQuanTai(n.hangDen, n.cotDen) ? 1 : 0;
            tk->apDungNuoc(n, tk->khoaHienTai);
            daDi.push_back(n);
            ASSERT_EQ(tk->khoaHienTai, TimKiem::khoaViTri(ban, tk->pheDangDi)) << "van " << van << " ply " << ply;
            ASSERT_EQ(tk->lichSuKhoa.back(), tk->khoaHienTai);
            ASSERT_EQ(tk->lichSuKhoa.size(), daDi.size() + 1);
        }
        for (auto it = daDi.rbegin(); it != daDi.rend(); ++it) tk->boNuocDi(*it, tk->khoaHienTai);
        EXPECT_EQ(tk->khoaHienTai, khoaDau);
        EXPECT_EQ(tk->pheDangDi, DO);
        EXPECT_EQ(tk->lichSuKhoa.size(), 1u);
        EXPECT_EQ(ban.khoaViTri(), viTriDau);
        EXPECT_EQ(ban.dsQuan.size(), 32u);
    }
    EXPECT_GT(soNuocAn, 50);  // the games did exercise captures
}

TEST(Zobrist, HorseOutAndBackRestoresTheFirstKey) {
    auto tk = std::make_unique<DoTimKiem>();
    BanCo ban;
    chuanBiTimKiem(*tk, ban, DO);
    const uint64_t khoaDau = tk->khoaHienTai;
    const NuocDi nuoc[4] = {{9, 1, 7, 2}, {0, 1, 2, 2}, {7, 2, 9, 1}, {2, 2, 0, 1}};
    for (const NuocDi& n : nuoc) tk->apDungNuoc(n, tk->khoaHienTai);
    EXPECT_EQ(tk->khoaHienTai, khoaDau);
    EXPECT_EQ(tk->lichSuKhoa.size(), 5u);
    EXPECT_EQ(tk->lichSuKhoa.front(), tk->lichSuKhoa.back());
}

TEST(BangTT, ReplacementByDepthAndKey) {
    auto tk = std::make_unique<DoTimKiem>();
    const NuocDi n{1, 2, 3, 4};
    const uint64_t khoaA = 0x12345, khoaB = khoaA + (tk->matNaTT + 1);  // same slot
    int32_t diem = 0, kieu = 0;
    NuocDi ra;

    tk->ghiTT(khoaA, 5, 77, DoTimKiem::KIEU_CHINH_XAC, n, 0);
    tk->ghiTT(khoaB, 4, 10, DoTimKiem::KIEU_CHINH_XAC, n, 0);  // shallower stranger: refused
    EXPECT_TRUE(tk->docTT(khoaA, 5, diem, kieu, ra, 0));
    EXPECT_EQ(diem, 77);
    EXPECT_EQ(ra, n);
    EXPECT_FALSE(tk->docTT(khoaB, 0, diem, kieu, ra, 0));

    tk->ghiTT(khoaB, 5, 11, DoTimKiem::KIEU_CAN_DUOI, n, 0);  // equal depth replaces
    EXPECT_FALSE(tk->docTT(khoaA, 0, diem, kieu, ra, 0));
    EXPECT_TRUE(tk->docTT(khoaB, 5, diem, kieu, ra, 0));
    EXPECT_EQ(kieu, DoTimKiem::KIEU_CAN_DUOI);
    tk->ghiTT(khoaA, 6, 12, DoTimKiem::KIEU_CHINH_XAC, n, 0);  // deeper replaces
    EXPECT_TRUE(tk->docTT(khoaA, 6, diem, kieu, ra, 0));
    // The same key always replaces, even with a shallower search.
    tk->ghiTT(khoaA, 1, 13, DoTimKiem::KIEU_CAN_TREN, n, 0);
    EXPECT_TRUE(tk->docTT(khoaA, 1, diem, kieu, ra, 0));
    EXPECT_EQ(diem, 13);
    EXPECT_EQ(kieu, DoTimKiem::KIEU_CAN_TREN);
    // A probe asking for more depth than stored misses.
    EXPECT_FALSE(tk->docTT(khoaA, 2, diem, kieu, ra, 0));

    // Switched off: nothing is stored and every probe misses.
    tk->dungTT = false;
    EXPECT_FALSE(tk->docTT(khoaA, 1, diem, kieu, ra, 0));
    tk->ghiTT(0x999, 3, 5, DoTimKiem::KIEU_CHINH_XAC, n, 0);
    tk->dungTT = true;
    EXPECT_FALSE(tk->docTT(0x999, 0, diem, kieu, ra, 0));
}

TEST(BangTT, MateScoresAreStoredRelativeToTheNode) {
    auto tk = std::make_unique<DoTimKiem>();
    const NuocDi n{};
    int32_t diem = 0, kieu = 0;
    NuocDi ra;

    tk->ghiTT(1, 3, 899990, DoTimKiem::KIEU_CHINH_XAC, n, 5);
    EXPECT_EQ(tk->bangTT[1].diem, 899995);
    ASSERT_TRUE(tk->docTT(1, 3, diem, kieu, ra, 3));
    EXPECT_EQ(diem, 899992);

    tk->ghiTT(2, 3, -899990, DoTimKiem::KIEU_CHINH_XAC, n, 5);
    EXPECT_EQ(tk->bangTT[2].diem, -899995);
    ASSERT_TRUE(tk->docTT(2, 3, diem, kieu, ra, 3));
    EXPECT_EQ(diem, -899992);

    // At the threshold a score is an ordinary evaluation.
    tk->ghiTT(3, 3, 880000, DoTimKiem::KIEU_CHINH_XAC, n, 5);
    EXPECT_EQ(tk->bangTT[3].diem, 880000);
    for (int tang : {0, 3, 40}) {
        ASSERT_TRUE(tk->docTT(3, 3, diem, kieu, ra, tang));
        EXPECT_EQ(diem, 880000);
    }
}
