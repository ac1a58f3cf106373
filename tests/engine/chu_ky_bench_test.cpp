#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "bo_vi_tri_bench.h"
#include "fen.h"
#include "tim_kiem.h"
#include "tim_kiem_cao_thu.h"

// The bench suite searched to depth 4 by fresh engines: the total node count
// and the chosen moves are a signature of the search. Work on speed must not
// change either.
TEST(ChuKyBench, SuiteAtDepthFourKeepsItsNodeCount) {
    int64_t tong = 0;
    int soViTri = 0;
    for (const ViTriBench& v : BO_VI_TRI_BENCH) {
        BanCo ban;
        Phe luot = DO;
        std::string loi;
        ASSERT_TRUE(docFEN(v.fen, ban, luot, loi)) << v.fen;
        const std::string khoaTruoc = ban.khoaViTri();
        auto may = std::make_unique<TimKiem>();
        TimKiem::ThongKe tk;
        const NuocDi n = may->timNuocDiVoiThoiGian(ban, luot, INT32_MAX, 4, tk);
        EXPECT_EQ(tk.doSau, 4) << v.fen;
        EXPECT_FALSE(tk.biDung);
        EXPECT_EQ(tk.nuocDi, n);
        EXPECT_EQ(ban.khoaViTri(), khoaTruoc) << "the search must put every piece back";
        tong += tk.soNut;
        ++soViTri;
    }
    EXPECT_EQ(soViTri, 26);
    EXPECT_EQ(tong, 1063311);
}

// The same for the CAO_THU search (tavelin-bench bench --cao-thu prints it at
// depth 10): fresh engines, fixed depth, no clock, no random choice.
TEST(ChuKyBench, CaoThuSuiteAtDepthFiveKeepsItsNodeCount) {
    int64_t tong = 0;
    auto may = std::make_unique<TimKiemCaoThu>();
    for (const ViTriBench& v : BO_VI_TRI_BENCH) {
        BanCo ban;
        Phe luot = DO;
        std::string loi;
        ASSERT_TRUE(docFEN(v.fen, ban, luot, loi)) << v.fen;
        may->xoa();
        TimKiemCaoThu::GioiHan gh;
        gh.doSau = 5;
        const TimKiemCaoThu::KetQua kq = may->tim(ban, luot, {}, gh);
        EXPECT_TRUE(kq.coNuoc);
        EXPECT_FALSE(kq.biDung);
        // A mate found early ends deepening.
        EXPECT_TRUE(kq.doSau == 5 || std::abs(kq.diem) > TimKiemCaoThu::NGUONG_CHIEU_HET) << v.fen;
        tong += kq.soNut;
    }
    EXPECT_EQ(tong, 82540);
}
