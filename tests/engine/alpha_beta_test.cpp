#include <gtest/gtest.h>

#include "danh_gia.h"
#include "ho_tro_tim_kiem.h"

namespace {

const NuocDi KHONG_GOI_Y{-1, -1, -1, -1};

bool satThuTrong(const DoTimKiem& tk) {
    for (const auto& tang : tk.nuocSatThu)
        for (const NuocDi& n : tang)
            if (!(n == KHONG_GOI_Y)) return false;
    return true;
}

bool lichSuBangKhong(const DoTimKiem& tk) {
    for (const auto& phe : tk.diemLichSu)
        for (const auto& tu : phe)
            for (int32_t d : tu)
                if (d != 0) return false;
    return true;
}

}  // namespace

// No legal move loses at the node's ply, in check or not, with or without the
// quiescence search; a mate in one scores 899999 at the first iteration only
// when the quiescence search sees the reply node's check.
TEST(AlphaBeta, NoLegalMoveAndMate) {
    auto tk = std::make_unique<DoTimKiem>();
    Phe luot = DO;
    for (const char* fen : {FEN_DEN_BI_CHIEU_HET, FEN_DEN_HET_NUOC}) {
        auto ban = banTuFEN(fen, luot);
        chuanBiTimKiem(*tk, *ban, luot);
        EXPECT_EQ(tk->alphaBeta(1, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 3), 3 - 900000) << fen;
        EXPECT_EQ(tk->alphaBeta(2, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 7), 7 - 900000) << fen;
    }

    // In check without evasions at the horizon: quiescence sees the mate, the
    // bare evaluation does not.
    auto ban = banTuFEN(FEN_DEN_BI_CHIEU_HET, luot);
    chuanBiTimKiem(*tk, *ban, luot);
    EXPECT_EQ(tk->alphaBeta(0, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 1), 1 - 900000);
    tk->dungQuiescence = false;
    EXPECT_EQ(tk->alphaBeta(0, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 1), DanhGia::luongGia(*ban, DEN));
}

TEST(Quiescence, StandPatAndFailHard) {
    auto tk = std::make_unique<DoTimKiem>();
    BanCo ban;
    chuanBiTimKiem(*tk, ban, DO);
    // Stand-pat (0) at or above beta is returned itself, not beta.
    EXPECT_EQ(tk->quiescence(-DoTimKiem::VO_CUC, -5000, 1), 0);
    // Otherwise (nothing to capture here) the result stays within the window.
    const int32_t v = tk->quiescence(-50, 50, 1);
    EXPECT_GE(v, -50);
    EXPECT_LE(v, 50);
    // A quiet position with nothing to capture is its stand-pat.
    Phe luot = DO;
    auto yen = banTuFEN("4k4/9/9/9/9/9/9/9/9/3K4R w", luot);
    chuanBiTimKiem(*tk, *yen, luot);
    EXPECT_EQ(tk->quiescence(-DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 1), DanhGia::luongGia(*yen, DO));
    EXPECT_EQ(tk->soNut, 1);
}

TEST(AlphaBeta, RepetitionOnThePathIsADrawUnlessTheTableAnswers) {
    auto tk = std::make_unique<DoTimKiem>();
    Phe luot = DO;
    auto ban = banTuFEN("4k4/9/9/9/9/9/9/9/9/3K4R w", luot);
    chuanBiTimKiem(*tk, *ban, luot);
    const uint64_t k = tk->khoaHienTai;
    ASSERT_NE(tk->alphaBeta(2, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 2), 0);

    // Only the last entry (the position itself) equal: no repetition.
    tk->dungTT = false;
    tk->lichSuKhoa = {k + 1, k + 2, k};
    EXPECT_NE(tk->alphaBeta(2, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 2), 0);
    // The position earlier on the line: a draw.
    tk->lichSuKhoa = {k, k + 2, k};
    EXPECT_EQ(tk->alphaBeta(2, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 2), 0);
    // A deep enough exact entry answers before the repetition test.
    tk->dungTT = true;
    tk->ghiTT(k, 2, 321, DoTimKiem::KIEU_CHINH_XAC, NuocDi{}, 2);
    EXPECT_EQ(tk->alphaBeta(2, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 2), 321);
    EXPECT_EQ(tk->alphaBeta(3, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 2), 0);
    // The search leaves the key, the side and the history as it found them.
    EXPECT_EQ(tk->khoaHienTai, k);
    EXPECT_EQ(tk->pheDangDi, DO);
    EXPECT_EQ(tk->lichSuKhoa.size(), 3u);
}

// With black having no piece at all, red's first move cuts at once: the reply
// node's list is empty and it scores as mated.
TEST(AlphaBeta, CutoffMoveUpdatesKillersHistoryAndTable) {
    auto tk = std::make_unique<DoTimKiem>();
    Phe luot = DO;
    auto ban = banTuFEN("9/9/9/9/9/9/9/9/9/3K4R w", luot);
    chuanBiTimKiem(*tk, *ban, luot);
    tk->nuocSatThu[63][0] = NuocDi{5, 5, 5, 5};
    const int32_t v = tk->alphaBeta(3, -DoTimKiem::VO_CUC, 0, 70);
    EXPECT_EQ(v, 900000 - 71);
    // Quiet cutoff at ply 70: killer slot 63, the old killer moves down,
    // history grows by depth squared.
    const NuocDi cat = tk->nuocSatThu[63][0];
    EXPECT_EQ(tk->nuocSatThu[63][1], (NuocDi{5, 5, 5, 5}));
    EXPECT_EQ(tk->diemLichSu[DO][cat.hangDi * 9 + cat.cotDi][cat.hangDen * 9 + cat.cotDen], 9);
    DanhSachNuoc dau;
    ban->sinhNuocDi(DO, dau);
    tk->sapXepNuocDi(dau, KHONG_GOI_Y, 70);
    EXPECT_EQ(dau.front(), cat);
    // The lower bound is stored as a mate one ply from this node.
    EXPECT_EQ(tk->bangTT[tk->khoaHienTai & tk->matNaTT].diem, 899999);
    EXPECT_EQ(tk->bangTT[tk->khoaHienTai & tk->matNaTT].kieu(), DoTimKiem::KIEU_CAN_DUOI);
    // Cutting again with the same move leaves the killers as they are.
    tk->dungTT = false;
    tk->alphaBeta(3, -DoTimKiem::VO_CUC, 0, 70);
    EXPECT_EQ(tk->nuocSatThu[63][0], cat);
    EXPECT_EQ(tk->nuocSatThu[63][1], (NuocDi{5, 5, 5, 5}));
    // A history score saturates rather than overflowing.
    int32_t& lichSu = tk->diemLichSu[DO][cat.hangDi * 9 + cat.cotDi][cat.hangDen * 9 + cat.cotDen];
    lichSu = INT32_MAX - 3;
    tk->alphaBeta(3, -DoTimKiem::VO_CUC, 0, 70);
    EXPECT_EQ(lichSu, INT32_MAX);

    // A capture that cuts updates neither table.
    auto tk2 = std::make_unique<DoTimKiem>();
    auto ban2 = banTuFEN("9/9/9/9/9/9/9/8p/9/3K4R w", luot);
    chuanBiTimKiem(*tk2, *ban2, luot);
    tk2->dungTT = false;
    EXPECT_GE(tk2->alphaBeta(3, -DoTimKiem::VO_CUC, 0, 1), 0);
    EXPECT_TRUE(satThuTrong(*tk2));
    EXPECT_TRUE(lichSuBangKhong(*tk2));
    EXPECT_EQ(tk2->bangTT[tk2->khoaHienTai & tk2->matNaTT].kieu(), DoTimKiem::KIEU_TRONG);
}

TEST(SapXepNuocDi, HintThenCapturesKillersHistoryThenGenerationOrder) {
    auto tk = std::make_unique<DoTimKiem>();
    Phe luot = DO;
    // Red soldier (4,0) can take the chariot (3,0); red chariot (5,8) can
    // take the soldier (4,8); red general (9,4) can take the chariot (8,4).
    auto ban = banTuFEN("3k5/9/9/r8/P7p/8R/9/9/4r4/4K4 w", luot);
    chuanBiTimKiem(*tk, *ban, luot);
    const NuocDi totAnXe{4, 0, 3, 0}, xeAnTot{5, 8, 4, 8}, tuongAnXe{9, 4, 8, 4};
    const NuocDi yen1{5, 8, 5, 7}, yen2{5, 8, 5, 6}, satThu1{5, 8, 6, 8}, satThu2{5, 8, 7, 8};
    const NuocDi lichSu{5, 8, 8, 8}, goiY{5, 8, 5, 0};
    tk->nuocSatThu[2][0] = satThu1;
    tk->nuocSatThu[2][1] = satThu2;
    tk->diemLichSu[DO][5 * 9 + 8][8 * 9 + 8] = 5;

    DanhSachNuoc ds = {yen1, satThu2, xeAnTot, lichSu, yen2, tuongAnXe, satThu1, totAnXe, goiY};
    tk->sapXepNuocDi(ds, goiY, 2);
    const DanhSachNuoc mong = {goiY, totAnXe, tuongAnXe, xeAnTot, satThu1, satThu2, lichSu, yen1, yen2};
    EXPECT_EQ(ds, mong);

    // Without a hint (hangDi -1) the hint move ranks by its own kind.
    ds = {goiY, yen1};
    tk->sapXepNuocDi(ds, KHONG_GOI_Y, 2);
    EXPECT_EQ(ds, (DanhSachNuoc{goiY, yen1}));
}

// The clock is read only when the count reaches a multiple of 1024; the call
// that finds the time gone returns 0 and nothing is counted afterwards.
TEST(AlphaBeta, StopsForTimeOnlyAtMultiplesOf1024) {
    auto tk = std::make_unique<DoTimKiem>();
    BanCo ban;
    chuanBiTimKiem(*tk, ban, DO);
    const std::string viTri = ban.khoaViTri();
    const uint64_t khoa = tk->khoaHienTai;
    tk->thoiGianToiDa = 0.0;  // already over
    tk->soNut = 1000;
    EXPECT_EQ(tk->alphaBeta(4, -DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 1), 0);
    EXPECT_TRUE(tk->dungLai);
    EXPECT_EQ(tk->soNut, 1024);
    EXPECT_EQ(tk->quiescence(-DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, 1), 0);
    EXPECT_EQ(tk->soNut, 1024);
    // Every move made before the stop was taken back.
    EXPECT_EQ(ban.khoaViTri(), viTri);
    EXPECT_EQ(tk->khoaHienTai, khoa);
    EXPECT_EQ(tk->lichSuKhoa.size(), 1u);
    EXPECT_EQ(tk->pheDangDi, DO);
}

// Deep in a chain of checks the quiescence search gives up and returns the
// evaluation, so that an endless chain cannot exhaust the stack.
TEST(Quiescence, PlyLimitReturnsTheEvaluation) {
    auto tk = std::make_unique<DoTimKiem>();
    Phe luot = DO;
    auto ban = banTuFEN(FEN_DEN_BI_CHIEU_HET, luot);
    chuanBiTimKiem(*tk, *ban, luot);
    EXPECT_EQ(tk->quiescence(-DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, DoTimKiem::TANG_TOI_DA - 1),
              DoTimKiem::TANG_TOI_DA - 1 - 900000);
    EXPECT_EQ(tk->quiescence(-DoTimKiem::VO_CUC, DoTimKiem::VO_CUC, DoTimKiem::TANG_TOI_DA), DanhGia::luongGia(*ban, DEN));
}
