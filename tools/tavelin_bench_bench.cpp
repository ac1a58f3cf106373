// bench and levels: the engine over a fixed suite of positions.
//
// bench searches every position to one fixed depth with no effective time
// limit; its total node count is a signature that speed work must not change.
// levels plays each difficulty level on the same suite, the way the game
// would, and reports how often the level's full depth fits in its time limit.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bo_vi_tri_bench.h"
#include "fen.h"
#include "tavelin_bench.h"
#include "tim_kiem.h"
#include "tim_kiem_cao_thu.h"

namespace {

constexpr int DO_SAU_BENCH = 6;
constexpr int DO_SAU_BENCH_CAO_THU = 10;

bool datViTriBench(const ViTriBench& v, BanCo& ban, Phe& luot) {
    std::string loi;
    if (docFEN(v.fen, ban, luot, loi)) return true;
    std::cerr << "tavelin-bench: FEN cua bo bench hong: " << loi << "\n";
    return false;
}

// Searches one suite position with a fresh engine: results must not depend on
// the order of the suite. `tim` runs the search the caller wants.
template <class Tim>
bool timMotViTri(const ViTriBench& v, Tim tim, TimKiem::ThongKe& tk, NuocDi& n) {
    BanCo ban;
    Phe luot = DO;
    if (!datViTriBench(v, ban, luot)) return false;
    auto may = std::make_unique<TimKiem>();
    n = tim(*may, ban, luot, tk);
    return true;
}

long long nps(long long nut, double giay) { return giay > 0 ? static_cast<long long>(nut / giay) : 0; }

bool docDoSau(const DoiSo& doiSo, int& doSau) {
    const std::string s = giaTriSau(doiSo, "--depth");
    if (s.empty()) return true;
    if (s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    doSau = std::stoi(s);
    return doSau >= 1;
}

}  // namespace

// The CAO_THU search over the same suite: fixed depth, fresh engine per
// position, no clock, no random choice. Its own node count is its signature.
int benchCaoThu(int doSau) {
    long long tongNut = 0;
    double tongGiay = 0;
    int i = 0;
    for (const ViTriBench& v : BO_VI_TRI_BENCH) {
        BanCo ban;
        Phe luot = DO;
        if (!datViTriBench(v, ban, luot)) return 2;
        auto may = std::make_unique<TimKiemCaoThu>();
        TimKiemCaoThu::GioiHan gh;
        gh.doSau = doSau;
        const TimKiemCaoThu::KetQua kq = may->tim(ban, luot, {}, gh);
        tongNut += kq.soNut;
        tongGiay += kq.giay;
        const NuocDi& n = kq.nuoc;
        std::printf("%2d %-10s nodes %10lld ms %8.1f nps %9lld move %d,%d-%d,%d score %d\n", ++i, v.giaiDoan,
                    static_cast<long long>(kq.soNut), kq.giay * 1000, nps(kq.soNut, kq.giay), n.hangDi, n.cotDi,
                    n.hangDen, n.cotDen, kq.diem);
    }
    std::printf("bench-cao-thu nodes %lld ms %lld nps %lld\n", tongNut, static_cast<long long>(tongGiay * 1000),
                nps(tongNut, tongGiay));
    return 0;
}

int lenhBench(const DoiSo& doiSo) {
    const bool caoThu = std::find(doiSo.begin(), doiSo.end(), "--cao-thu") != doiSo.end();
    int doSau = caoThu ? DO_SAU_BENCH_CAO_THU : DO_SAU_BENCH;
    if (!docDoSau(doiSo, doSau)) {
        std::cerr << "cach dung: tavelin-bench bench [--cao-thu] [--depth D]\n";
        return 2;
    }
    if (caoThu) return benchCaoThu(doSau);
    long long tongNut = 0;
    double tongGiay = 0;
    int i = 0;
    for (const ViTriBench& v : BO_VI_TRI_BENCH) {
        TimKiem::ThongKe tk;
        NuocDi n;
        auto tim = [doSau](TimKiem& may, BanCo& ban, Phe luot, TimKiem::ThongKe& ra) {
            return may.timNuocDiVoiThoiGian(ban, luot, INT32_MAX, doSau, ra);
        };
        if (!timMotViTri(v, tim, tk, n)) return 2;
        tongNut += tk.soNut;
        tongGiay += tk.giay;
        std::printf("%2d %-10s nodes %10lld ms %8.1f nps %9lld move %d,%d-%d,%d score %d\n", ++i, v.giaiDoan,
                    static_cast<long long>(tk.soNut), tk.giay * 1000, nps(tk.soNut, tk.giay), n.hangDi, n.cotDi,
                    n.hangDen, n.cotDen, tk.diem);
    }
    std::printf("bench nodes %lld ms %lld nps %lld\n", tongNut, static_cast<long long>(tongGiay * 1000),
                nps(tongNut, tongGiay));
    return 0;
}

int lenhLevels(const DoiSo&) {
    struct CapDo { DoKho doKho; const char* ten; };
    const CapDo capDo[] = {{DE, tenDoKho(DE)}, {TRUNG_BINH, tenDoKho(TRUNG_BINH)}, {KHO, tenDoKho(KHO)}};
    for (const CapDo& cd : capDo) {
        std::vector<int> doSauXong;
        std::string theoViTri;
        int duDoSau = 0;
        double giayMax = 0;
        for (const ViTriBench& v : BO_VI_TRI_BENCH) {
            TimKiem::ThongKe tk;
            NuocDi n;
            auto tim = [&cd](TimKiem& may, BanCo& ban, Phe luot, TimKiem::ThongKe& ra) {
                return may.timNuocDi(ban, luot, cd.doKho, ra);
            };
            if (!timMotViTri(v, tim, tk, n)) return 2;
            doSauXong.push_back(tk.doSau);
            theoViTri += ' ';
            theoViTri += std::to_string(tk.doSau);
            if (!tk.biDung) theoViTri += '*';
            if (!tk.biDung) ++duDoSau;
            giayMax = std::max(giayMax, tk.giay);
        }
        std::sort(doSauXong.begin(), doSauXong.end());
        const size_t n = doSauXong.size();
        const double trungVi = n % 2 ? doSauXong[n / 2] : (doSauXong[n / 2 - 1] + doSauXong[n / 2]) / 2.0;
        std::printf("levels %s full-depth %d/%zu (%.0f%%) median-depth %.1f max-depth %d target-depth %d max-s %.2f\n",
                    cd.ten, duDoSau, n, 100.0 * duDoSau / n, trungVi, doSauXong.back(), thamSoDoKho(cd.doKho).doSauToiDa,
                    giayMax);
        // Completed depth per position in suite order; * marks a search the
        // time limit did not stop.
        std::printf("  %s by position:%s\n", cd.ten, theoViTri.c_str());
    }
    return 0;
}
