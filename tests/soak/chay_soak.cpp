#include "chay_soak.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "dieu_khien_van.h"
#include "gui_yeu_cau.h"
#include "kiem_phan_hoi.h"
#include "kiem_tep_luu.h"
#include "may_chu_thu.h"
#include "so_lieu.h"

namespace {

using DongHo = std::chrono::steady_clock;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Resident memory of a process in KiB (VmRSS), or -1.
int64_t rssKiB(pid_t pid) {
    std::ifstream vao("/proc/" + std::to_string(pid) + "/status");
    std::string dong;
    while (std::getline(vao, dong))
        if (dong.rfind("VmRSS:", 0) == 0) return std::atoll(dong.c_str() + 6);
    return -1;
}

std::vector<TepWeb> tepWeb() {
    std::string lon(256 * 1024, '\0');
    for (size_t i = 0; i < lon.size(); ++i) lon[i] = static_cast<char>(i * 131 % 251);
    return {{"index.html", thu::MayChuThu::INDEX},
            {"app.js", "console.log('tavelin');\n"},
            {"style.css", "body{margin:0}\n"},
            {"sub/x.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>"},
            {"lon.bin", lon}};
}

void khach(int cong, uint64_t hat, DongHo::time_point het, const std::vector<TepWeb>& tep, const std::string& biMat,
           std::atomic<int64_t>& lanPha, const KiemPhanHoi& kiem, SoLieu& sl) {
    TaoYeuCau tao(hat, tep, biMat, lanPha);
    std::mt19937_64 ngau(hat ^ 0x9e3779b97f4a7c15ULL);
    while (DongHo::now() < het) {
        const YeuCauThu yc = tao.tao();
        const int k = static_cast<int>(yc.loai);
        ++sl.gui[k];
        const std::string tho = thucHien(cong, yc, ngau);
        if (!tho.empty()) ++sl.coTraLoi[k];
        const std::string loi = kiem.kiem(tho, yc.mongDoi);
        if (!loi.empty()) {
            ++sl.loi[k];
            sl.baoLoi(std::string(tenLoai(yc.loai)) + ": " + loi + " | sent " + inDuoc(yc.du) + " | got " +
                      inDuoc(tho));
        }
    }
}

// Reads the saved game again and again; every version seen must be whole.
void kiemTepLuu(const fs::path& tep, const fs::path& thuMucRieng, DongHo::time_point het, SoLieu& sl) {
    std::string truoc;
    while (DongHo::now() < het) {
        std::error_code ec;
        if (fs::exists(tep, ec)) {
            const std::string du = thu::docHetTep(tep);
            ++sl.docTepLuu;
            std::string lyDo;
            size_t soNuoc = 0;
            if (!tepLuuDayDu(du, lyDo, soNuoc)) {
                sl.baoLoi("saved game incomplete (" + lyDo + "): " + inDuoc(du, 400));
            } else {
                ++sl.tepLuuDayDu;
                // The game's own reader on every new version.
                if (du != truoc && !taiDuocDayDu(du, soNuoc, thuMucRieng, lyDo)) sl.baoLoi("saved game: " + lyDo);
                if (du != truoc) ++sl.taiKiem;
                truoc = du;
            }
        }
        std::this_thread::sleep_for(5ms);
    }
}

void inSoLieu(const TuyChonSoak& tc, SoLieu& sl, double giay, int64_t rssTruoc, int64_t rssSau, int64_t rssMax) {
    uint64_t tong = sl.dieuKhien, traLoi = 0;
    for (int k = 0; k < SoLieu::SO_LOAI; ++k) tong += sl.gui[k], traLoi += sl.coTraLoi[k];
    std::printf("tavelin-soak: seed %" PRIu64 ", %d clients, %.1f s\n", tc.hat, tc.soKhach, giay);
    std::printf("requests: %" PRIu64 " (%.0f/s), client replies %" PRIu64 ", game driver %" PRIu64 "\n", tong,
                tong / giay, traLoi, sl.dieuKhien.load());
    for (int k = 0; k < SoLieu::SO_LOAI; ++k)
        std::printf("  %-12s sent %8" PRIu64 "  answered %8" PRIu64 "  faults %" PRIu64 "\n",
                    tenLoai(static_cast<Loai>(k)), sl.gui[k].load(), sl.coTraLoi[k].load(), sl.loi[k].load());
    std::printf("game: %" PRIu64 " computer moves, %" PRIu64 " games finished, %" PRIu64 " saves and %" PRIu64
                " loads by the driver\n",
                sl.nuocMay.load(), sl.vanXong.load(), sl.daLuu.load(), sl.daTai.load());
    std::printf("saved file: read %" PRIu64 " times, complete %" PRIu64 ", %" PRIu64 " versions loaded\n",
                sl.docTepLuu.load(), sl.tepLuuDayDu.load(), sl.taiKiem.load());
    std::printf("rss: %" PRId64 " KiB after warm-up, %" PRId64 " KiB at the end, max %" PRId64 " KiB, growth %" PRId64
                " KiB (bound %d MiB)\n",
                rssTruoc, rssSau, rssMax, rssSau - rssTruoc, tc.gioiHanRssMiB);
    std::printf("faults: %" PRIu64 "\n", sl.tongLoi.load());
    for (const std::string& l : sl.dsLoi()) std::fprintf(stderr, "FAULT: %s\n", l.c_str());
}

// The end of the run: the server answers as before and stops cleanly.
void kiemCuoi(thu::MayChuThu& mc, const KiemPhanHoi& kiem, SoLieu& sl) {
    const std::string tt = thu::hoiTho(mc.cong(), yeuCauGet("/api/trangthai"));
    if (std::string l = kiem.kiem(tt, MongDoi{true, 200, {}}); !l.empty()) sl.baoLoi("after the run, state: " + l);
    const std::string goc = thu::hoiTho(mc.cong(), yeuCauGet("/"));
    if (std::string l = kiem.kiem(goc, MongDoi{true, 200, thu::MayChuThu::INDEX}); !l.empty())
        sl.baoLoi("after the run, index: " + l);
    mc.chuongTrinh().guiTinHieu(SIGTERM);
    const int ma = mc.chuongTrinh().choThoat(60s);
    if (ma != 0) sl.baoLoi("SIGTERM at the end: exit code " + std::to_string(ma));
    if (!mc.chuongTrinh().loi().empty()) sl.baoLoi("server wrote to stderr: " + inDuoc(mc.chuongTrinh().loi(), 400));
}

}  // namespace

int chaySoak(const TuyChonSoak& tc) {
    thu::ThuMucTam rieng;
    std::string lyDo;
    if (!tuKiemTepLuu(rieng.duongDan(), lyDo)) {
        std::fprintf(stderr, "tavelin-soak: the saved-file check is broken: %s\n", lyDo.c_str());
        return 1;
    }
    std::mt19937_64 ngau(tc.hat);
    const std::string biMat = "bi-mat-" + std::to_string(ngau());
    const std::vector<TepWeb> tep = tepWeb();
    thu::MayChuThu mc;
    if (mc.cong() <= 0) {
        std::fprintf(stderr, "tavelin-soak: the server did not start: %s\n", mc.chuongTrinh().loi().c_str());
        return 1;
    }
    for (const TepWeb& t : tep) thu::ghiTep(mc.web() / t.ten, t.noiDung);
    thu::ghiTep(mc.thuMuc() / "bi_mat.txt", biMat);
    std::vector<std::string> noiDung;
    for (const TepWeb& t : tep) noiDung.push_back(t.noiDung);
    const KiemPhanHoi kiem(noiDung, biMat);
    // The analysis engine's table is made by its first search: within the
    // warm-up, so that the growth measured after it is the program's own.
    mc.api("phantich?dong=1&fen=4k4%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2FR8%2F3K4R+w");

    SoLieu sl;
    std::atomic<int64_t> lanPha{0};
    const auto batDau = DongHo::now();
    const auto het = batDau + std::chrono::seconds(tc.giay);
    const auto hetKhoiDong = batDau + std::clamp(std::chrono::seconds(tc.giay / 10), std::chrono::seconds(5),
                                                 std::chrono::seconds(30));
    std::vector<std::thread> luong;
    luong.emplace_back(dieuKhienVan, mc.cong(), het, std::cref(kiem), std::ref(sl));
    luong.emplace_back(kiemTepLuu, mc.thuMuc() / "tavelin.save", rieng.duongDan(), het, std::ref(sl));
    for (int i = 0; i < tc.soKhach; ++i)
        luong.emplace_back(khach, mc.cong(), tc.hat + 1 + static_cast<uint64_t>(i), het, std::cref(tep),
                           (mc.thuMuc() / "bi_mat.txt").string(), std::ref(lanPha), std::cref(kiem), std::ref(sl));

    const pid_t pid = mc.chuongTrinh().pid();
    int64_t rssTruoc = -1, rssMax = 0;
    while (DongHo::now() < het) {
        std::this_thread::sleep_for(500ms);
        if (mc.chuongTrinh().daThoat()) {
            sl.baoLoi("the server ended during the run");
            break;
        }
        const int64_t r = rssKiB(pid);
        rssMax = std::max(rssMax, r);
        if (rssTruoc < 0 && DongHo::now() >= hetKhoiDong) rssTruoc = r;
    }
    const int64_t rssSau = rssKiB(pid);
    for (std::thread& t : luong) t.join();
    const double giay = std::chrono::duration<double>(DongHo::now() - batDau).count();
    if (rssTruoc >= 0 && rssSau - rssTruoc > int64_t{tc.gioiHanRssMiB} * 1024)
        sl.baoLoi("resident memory grew by " + std::to_string(rssSau - rssTruoc) + " KiB");
    if (sl.nuocMay == 0) sl.baoLoi("the computer-against-computer game never moved");
    if (!mc.chuongTrinh().daThoat()) kiemCuoi(mc, kiem, sl);

    inSoLieu(tc, sl, giay, rssTruoc, rssSau, rssMax);
    std::printf("result: %s\n", sl.tongLoi == 0 ? "PASS" : "FAIL");
    return sl.tongLoi == 0 ? 0 : 1;
}
