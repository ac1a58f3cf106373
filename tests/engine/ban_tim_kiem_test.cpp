#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ban_tim_kiem.h"
#include "bo_vi_tri_bench.h"
#include "fen.h"

namespace {

std::string thuTu(const BanCo& ban) {
    std::string s;
    for (const auto& q : ban.dsQuan) s += q->ve() + (q->phe == DO ? "d" : "n") + std::to_string(q->hang * 9 + q->cot) + " ";
    return s;
}

template <bool CHI_AN>
std::vector<NuocDi> nuocCuaBanTimKiem(const BanTimKiem& b, Phe phe) {
    std::vector<NuocDi> ds;
    auto them = [&ds](int di, int den) { ds.push_back(nuocGon::raNuocDi(NuocGon(di, den))); };
    b.sinhNuocDi<CHI_AN>(phe, them);
    return ds;
}

void soSanh(const BanTimKiem& b, const BanCo& ban, Phe luot) {
    for (int h = 0; h < BanCo::SO_HANG; ++h)
        for (int c = 0; c < BanCo::SO_COT; ++c) ASSERT_EQ(b.ma(oDem::chiSo(h, c)), ban.maQuan(h, c)) << h << "," << c;
    DanhSachNuoc tatCa, an;
    ban.sinhNuocDi(luot, tatCa);
    ban.sinhNuocAn(luot, an);
    ASSERT_EQ(nuocCuaBanTimKiem<false>(b, luot), tatCa);
    ASSERT_EQ(nuocCuaBanTimKiem<true>(b, luot), an);
    // Kind by kind, the numbers handed out put the captures back in that order.
    std::vector<std::pair<int, NuocDi>> theoLoai;
    auto themThuTu = [&theoLoai](int di, int den, int thuTu) {
        theoLoai.emplace_back(thuTu, nuocGon::raNuocDi(NuocGon(di, den)));
    };
    b.sinhNuocAnTheoLoai(luot, themThuTu);
    std::sort(theoLoai.begin(), theoLoai.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    ASSERT_EQ(theoLoai.size(), an.size());
    for (size_t i = 0; i < an.size(); ++i) ASSERT_EQ(theoLoai[i].second, an[i]);
    ASSERT_EQ(b.biChieu(DO), ban.biChieu(DO));
    ASSERT_EQ(b.biChieu(DEN), ban.biChieu(DEN));
}

}  // namespace

// The search's byte board against the BanCo it stands for, along random lines
// of play from the suite's positions (illegal tries taken back on both, which
// moves captured pieces to the end of the storage order): the same squares,
// the same moves in the same order, the same answers on check, also from the
// tests that look only at what a move changed; and once every move is taken
// back, the storage order it hands back is the one the BanCo itself was left in.
TEST(BanTimKiem, MovesAsTheBoardDoesAlongRandomLines) {
    std::mt19937 sinh(2026);
    for (const ViTriBench& v : BO_VI_TRI_BENCH) {
        BanCo ban, mau;
        Phe luot = DO;
        std::string loi;
        ASSERT_TRUE(docFEN(v.fen, ban, luot, loi));
        ASSERT_TRUE(docFEN(v.fen, mau, luot, loi));
        BanTimKiem b;
        ASSERT_TRUE(b.napTu(ban));

        struct DaDi { NuocGon nuoc; int biAn; };
        std::vector<DaDi> duong;
        for (int lan = 0; lan < 60 && duong.size() < 16; ++lan) {
            soSanh(b, mau, luot);
            std::vector<NuocDi> ds = nuocCuaBanTimKiem<false>(b, luot);
            if (ds.empty()) break;
            // Every other try is a capture when there is one.
            const std::vector<NuocDi> an = nuocCuaBanTimKiem<true>(b, luot);
            if (lan % 2 == 0 && !an.empty()) ds = an;
            const NuocDi n = ds[sinh() % ds.size()];
            const NuocGon g = nuocGon::tuNuocDi(n);
            const Phe dich = pheDoiPhuong(luot);
            const bool chieuTruoc = mau.biChieu(luot), dichChieuTruoc = mau.biChieu(dich);
            const int biAn = b.di(g);
            ASSERT_TRUE(mau.thuNuocDi(n));
            if (!chieuTruoc) {
                ASSERT_EQ(b.loTuongSauNuoc(g, luot, biAn), mau.biChieu(luot)) << v.fen;
            }
            if (!dichChieuTruoc) {
                ASSERT_EQ(b.chieuSauNuoc(g, dich), mau.biChieu(dich)) << v.fen;
            }
            if (mau.biChieu(luot)) {  // illegal: taken back
                b.lui(g, biAn);
                mau.luiNuocDi();
                continue;
            }
            duong.push_back({g, biAn});
            luot = dich;
        }
        for (auto it = duong.rbegin(); it != duong.rend(); ++it) {
            b.lui(it->nuoc, it->biAn);
            mau.luiNuocDi();
        }
        b.traLaiThuTu(ban);
        EXPECT_EQ(thuTu(ban), thuTu(mau)) << v.fen;
        EXPECT_EQ(ban.timTuong(DO)->hang, mau.timTuong(DO)->hang);
    }
}

// In check, the quiet moves the search leaves out unsearched are all illegal:
// checks by a chariot (blockable), a cannon (our screen can leave), a horse
// (its leg), a soldier (no block) and the other general (along the column).
TEST(BanTimKiem, InCheckOnlyQuietMovesThatCannotBlockAreDropped) {
    for (const char* fen : {"3k5/9/9/9/4r4/9/1C7/9/9/R3K4 w", "3k5/9/9/9/4c4/9/9/4N4/9/R3K4 w",
                            "3k5/9/9/9/9/9/9/3n5/R8/4K4 w", "3k5/9/9/9/9/9/9/9/4p4/R3K4 w",
                            "4k4/9/9/9/9/R8/9/9/9/4K4 w"}) {
        BanCo mau;
        Phe luot = DO;
        std::string loi;
        ASSERT_TRUE(docFEN(fen, mau, luot, loi)) << fen;
        BanTimKiem b;
        ASSERT_TRUE(b.napTu(mau));
        ASSERT_TRUE(mau.biChieu(luot)) << fen;
        const BanTimKiem::ChanChieu c = b.chanChieu(luot);
        int boQua = 0;
        for (const NuocDi& n : nuocCuaBanTimKiem<false>(b, luot)) {
            const NuocGon g = nuocGon::tuNuocDi(n);
            if (b.ma(g.den()) >= 0 || BanTimKiem::yenCoTheCanChieu(c, g)) continue;
            ++boQua;
            ASSERT_TRUE(mau.thuNuocDi(n));
            EXPECT_TRUE(mau.biChieu(luot)) << fen << " " << n.hangDi << "," << n.cotDi << "-" << n.hangDen << "," << n.cotDen;
            mau.luiNuocDi();
        }
        EXPECT_GT(boQua, 0) << fen;
    }
}

// Reordering takes only a permutation; anything else leaves the board as it was.
TEST(BanTimKiem, ReorderingAcceptsOnlyPermutations) {
    BanCo ban;
    const std::string truoc = thuTu(ban);
    std::vector<size_t> hong(ban.dsQuan.size(), 0);
    ban.sapLaiThuTu(hong);
    EXPECT_EQ(thuTu(ban), truoc);
    ban.sapLaiThuTu({0, 1});
    EXPECT_EQ(thuTu(ban), truoc);
}
