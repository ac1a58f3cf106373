// Entry point: command line, front-end check, port, announcement, browser,
// then the serving loop until SIGINT or SIGTERM.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "giao_dien_web.h"
#include "nen_tang.h"
#include "phan_tich.h"

namespace {

// Set by the signal handler, read by the serving loop. The handler may run on
// the worker thread (any thread that does not block the signal), so the flag
// is a lock-free atomic rather than a plain volatile.
std::atomic<int> g_dung{0};
static_assert(std::atomic<int>::is_always_lock_free);

void batTinHieu(int) { g_dung.store(1); }

struct CaiDat {
    int cong = 8765;
    bool moTrinhDuyet = true;
    std::string thuMucWeb;
    std::string thuMucDuLieu;  // empty: the per-user data folder
    bool tuLuu = true;
    bool daInCachDung = false;
};

// The port as atoi would read it ("no number" gives 0), minus atoi's
// undefined overflow: a value too large for any port is pinned to one that
// simply fails to bind, and that keeps port + 9 within int.
int docCong(const std::string& chu) {
    constexpr int64_t NGOAI_TAM = 1000000;
    const int64_t so = docSoBaoHoa(chu).value_or(0);
    return static_cast<int>(std::clamp(so, -NGOAI_TAM, NGOAI_TAM));
}

void inCachDung() {
    std::fputs(
        "Cách dùng: tavelin3d [--port N] [--serve] [--no-open] [--web-root THU_MUC] [--data-dir THU_MUC]\n"
        "                 [--no-autosave] [-h | --help]\n"
        "  --port N            cổng máy chủ, 0 = tự chọn (mặc định 8765)\n"
        "  --serve             chỉ chạy máy chủ, không mở trình duyệt\n"
        "  --no-open           như --serve: không mở trình duyệt\n"
        "  --web-root THU_MUC  thư mục giao diện web (mặc định tìm cạnh executable)\n"
        "  --data-dir THU_MUC  nơi giữ ván đang chơi giữa các lần chạy và các ván đã chơi\n"
        "                      (mặc định thư mục dữ liệu của người dùng: $XDG_DATA_HOME/tavelin3d,\n"
        "                      ~/.local/share/tavelin3d, %LOCALAPPDATA%\\tavelin3d trên Windows)\n"
        "  --no-autosave       không tự lưu ván đang chơi\n"
        "  -h, --help          in hướng dẫn này rồi thoát\n",
        stdout);
    std::fflush(stdout);
}

CaiDat docDongLenh(const std::vector<std::string>& thamSo, std::string thuMucWebMacDinh) {
    CaiDat cd;
    cd.thuMucWeb = std::move(thuMucWebMacDinh);
    for (size_t i = 1; i < thamSo.size(); ++i) {
        const std::string& a = thamSo[i];
        const bool coGiaTri = i + 1 < thamSo.size();
        if (a == "-h" || a == "--help") {
            inCachDung();
            cd.daInCachDung = true;
            return cd;
        }
        if (a == "--port" && coGiaTri) {
            cd.cong = docCong(thamSo[++i]);
        } else if (a == "--serve" || a == "--no-open") {
            cd.moTrinhDuyet = false;
        } else if (a == "--web-root" && coGiaTri) {
            cd.thuMucWeb = thamSo[++i];
        } else if (a == "--data-dir" && coGiaTri) {
            cd.thuMucDuLieu = thamSo[++i];
        } else if (a == "--no-autosave") {
            cd.tuLuu = false;
        }
    }
    return cd;
}

// The folder of the game kept between runs, created when missing; empty
// when there is none to be had.
std::filesystem::path thuMucGiuVan(const std::string& daChon) {
    namespace fs = std::filesystem;
    if (daChon.empty()) return nenTang::thuMucDuLieu();
    const fs::path p(reinterpret_cast<const char8_t*>(daChon.c_str()));
    return nenTang::taoThuMucRieng(p) ? p : fs::path();
}

bool coIndexHtml(const std::string& thuMucWeb) {
    std::error_code loi;
    std::filesystem::path p(reinterpret_cast<const char8_t*>(thuMucWeb.c_str()));
    return std::filesystem::is_regular_file(p / "index.html", loi);
}

// Ten consecutive ports from the requested one, or one attempt for port 0.
bool moCongMayChu(GiaoDienWeb& web, int cong) {
    if (cong == 0) return web.moCong(0);
    // A negative request is out of range as a whole: counting up from -5
    // would reach 0, which means "any free port", not what was asked for.
    if (cong < 0) return false;
    for (int k = 0; k < 10; ++k) {
        if (web.moCong(cong + k)) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    nenTang::cauHinhConsole();
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    std::signal(SIGINT, batTinHieu);
    std::signal(SIGTERM, batTinHieu);
    nenTang::batYeuCauDung(batTinHieu);

    const std::u8string webMacDinh = nenTang::timThuMucWeb().u8string();
    const CaiDat cd = docDongLenh(nenTang::thamSoUtf8(argc, argv), std::string(webMacDinh.begin(), webMacDinh.end()));
    if (cd.daInCachDung) return 0;

    // Before any socket: a wrong web root never touches the network.
    if (!coIndexHtml(cd.thuMucWeb)) {
        std::fputs("Không tìm thấy web/index.html. Giữ thư mục web cạnh chương trình hoặc dùng --web-root.\n", stderr);
        return 1;
    }

    auto web = std::make_unique<GiaoDienWeb>(cd.thuMucWeb);
    const std::filesystem::path duLieu = thuMucGiuVan(cd.thuMucDuLieu);
    if (!duLieu.empty()) {
        web->caiTuLuu(duLieu / TEN_TEP_TU_LUU, cd.tuLuu);
        web->caiVanDaChoi(duLieu / TEN_THU_MUC_VAN_DA_CHOI);
    } else if (cd.tuLuu) {
        std::fputs("Không có thư mục dữ liệu: ván đang chơi sẽ không được giữ khi tắt chương trình.\n", stderr);
        std::fflush(stderr);
    }
    if (!moCongMayChu(*web, cd.cong)) {
        std::fputs("Không mở được cổng máy chủ!\n", stderr);
        std::fflush(stderr);
        web.reset();
        return 1;
    }
    const std::string cong = std::to_string(web->congDaMo());
    std::printf("PORT=%s\n", cong.c_str());
    std::fflush(stdout);
    std::printf("WEB: http://127.0.0.1:%s/\n", cong.c_str());
    std::fflush(stdout);

    if (cd.moTrinhDuyet && !web->moTrinhDuyet()) {
        std::puts("Không tìm thấy trình duyệt — hãy mở địa chỉ trên bằng tay.");
        std::fflush(stdout);
    }

    while (!g_dung.load()) {
        if (!web->chayMotVong(300)) break;
    }
    web->dung();
    web.reset();
    return 0;
}
