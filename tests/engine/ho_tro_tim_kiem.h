#pragma once
// Helpers shared by the engine tests.
#include <chrono>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ban_co.h"
#include "fen.h"
#include "tim_kiem.h"

// A board set up from FEN; the test fails if the FEN is malformed.
inline std::unique_ptr<BanCo> banTuFEN(const std::string& fen, Phe& luot) {
    auto ban = std::make_unique<BanCo>();
    std::string loi;
    EXPECT_TRUE(docFEN(fen, *ban, luot, loi)) << loi;
    return ban;
}

// The tests' probe into the engine: the search's parts, to be driven one by
// one. Its table exists from the start, as after a first search.
struct DoTimKiem : TimKiem {
    using TimKiem::KIEU_CAN_DUOI, TimKiem::KIEU_CAN_TREN, TimKiem::KIEU_CHINH_XAC, TimKiem::KIEU_TRONG;
    using TimKiem::TANG_TOI_DA, TimKiem::VO_CUC;
    using TimKiem::dungQuiescence, TimKiem::dungTT, TimKiem::thoiGianToiDa, TimKiem::tiLeNgauNhien;
    using TimKiem::banCo, TimKiem::dungLai, TimKiem::pheDangDi, TimKiem::pheMay, TimKiem::soNut,
        TimKiem::thoiDiemBatDau;
    using TimKiem::bangTT, TimKiem::khoaHienTai, TimKiem::lichSuKhoa, TimKiem::matNaTT, TimKiem::zobrist,
        TimKiem::zobristLuot;
    using TimKiem::diemLichSu, TimKiem::nuocSatThu;
    using TimKiem::alphaBeta, TimKiem::apDungNuoc, TimKiem::boNuocDi, TimKiem::docTT, TimKiem::ghiTT,
        TimKiem::quiescence, TimKiem::sapXepNuocDi, TimKiem::timVoiThamSoHienTai;

    DoTimKiem() { capBangTT(); }
    // The parameters any engine (a player's, say) would search with now.
    static int32_t doSauToiDaCua(const TimKiem& tk) { return tk.doSauToiDa; }
    static double thoiGianToiDaCua(const TimKiem& tk) { return tk.thoiGianToiDa; }
    static bool coBangTT(const TimKiem& tk) { return tk.bangTT != nullptr; }
};

// Puts an engine in the state the driver gives it before searching, without
// a time limit, so that alphaBeta and quiescence can be called directly.
inline void chuanBiTimKiem(DoTimKiem& tk, BanCo& ban, Phe luot) {
    tk.banCo = &ban;
    tk.pheMay = tk.pheDangDi = luot;
    tk.thoiGianToiDa = 1e12;
    tk.thoiDiemBatDau = std::chrono::steady_clock::now();
    tk.soNut = 0;
    tk.dungLai = false;
    tk.khoaHienTai = TimKiem::khoaViTri(ban, luot);
    tk.lichSuKhoa.assign(1, tk.khoaHienTai);
}

// Positions used by several tests (rows from black's back rank).
// Red mates at once with the chariot from (9,8) to (0,8), the only check that
// mates; a few quiet moves leave black without a legal move too.
inline const char* const FEN_CHIEU_HET_MOT_NUOC = "4k4/R8/9/9/9/9/9/9/9/3K4R w";
// Black is mated: in check, no legal move.
inline const char* const FEN_DEN_BI_CHIEU_HET = "4k3R/R8/9/9/9/9/9/9/9/3K5 b";
// Black is not in check but every move of its general is illegal.
inline const char* const FEN_DEN_HET_NUOC = "4k4/R8/5R3/9/9/9/9/9/9/3K5 b";
// Black's only legal move is the general to (0,5).
inline const char* const FEN_DEN_MOT_NUOC = "4k4/R8/9/9/9/9/9/9/9/3K5 b";
