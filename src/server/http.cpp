// Serving one connection: reading the request, routing, static files.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "giao_dien_web.h"
#include "http_tho.h"
#include "nguon_goc.h"

namespace {

constexpr int NHAN_MILI_GIAY = 150;
constexpr int GUI_MILI_GIAY = 3000;
constexpr size_t KICH_THUOC_KHUC = 4096;
// The per-receive time-out alone lets a client that trickles one byte every
// 100 ms hold the single-threaded server for minutes; the whole read gets
// this bound on top of it.
constexpr auto HAN_DOC_TOAN_BO = std::chrono::seconds(3);

const char* const JSON = "application/json; charset=utf-8";
const char* const DAU_QUA_DAI = R"({"ok":false,"lyDo":"Yêu cầu quá dài"})";

}  // namespace

std::string GiaoDienWeb::docYeuCau(nenTang::Socket ketNoi) {
    std::string duLieu;
    char khuc[KICH_THUOC_KHUC];
    auto han = std::chrono::steady_clock::now() + HAN_DOC_TOAN_BO;
    while (duLieu.find("\r\n\r\n") == std::string::npos && duLieu.size() < GIOI_HAN_YEU_CAU &&
           std::chrono::steady_clock::now() < han) {
        int64_t n = nenTang::nhan(ketNoi, khuc, sizeof khuc);
        if (n <= 0) break;
        duLieu.append(khuc, static_cast<size_t>(n));
    }
    return duLieu;
}

int GiaoDienWeb::chonPhanHoi(const std::string& phuongThuc, const std::string& duongDan,
                             const std::string& truyVan, std::string& loaiNoiDung, std::string& than) {
    loaiNoiDung = JSON;
    if (phuongThuc != "GET") {
        than = R"({"ok":false,"lyDo":"Chỉ hỗ trợ GET"})";
        return 405;
    }
    if (duongDan.size() >= 5 && duongDan.compare(0, 5, "/api/") == 0) {
        than = xuLyAPI(duongDan.substr(5), truyVan);
        if (!than.empty()) return 200;
        than = R"({"ok":false,"lyDo":"API không tồn tại"})";
        return 404;
    }
    if (duongDan == "/favicon.ico") return 204;
    if (docTep(duongDan, than, loaiNoiDung)) return 200;
    loaiNoiDung = "text/plain; charset=utf-8";
    than = "Không tìm thấy tài nguyên";
    return 404;
}

std::string GiaoDienWeb::xuLyYeuCau(const std::string& duLieu, std::string& dongLog) {
    dongLog.clear();
    std::optional<YeuCau> yc = tachYeuCau(duLieu);
    if (!yc) return {};

    std::string loaiNoiDung = JSON;
    // A page can push its own Origin and Sec-Fetch-Site past the read limit
    // with a long enough address: a header that did not arrive whole says
    // nothing about who asks, so it is answered with nothing at all, the
    // state and the files included.
    std::string than = yc->catNgan ? DAU_QUA_DAI : lyDoTuChoi(*yc, cong);
    const int ma = yc->catNgan    ? 431
                   : !than.empty() ? 403
                                   : chonPhanHoi(yc->phuongThuc, yc->duongDan, yc->truyVan, loaiNoiDung, than);
    dongLog = "[web] " + yc->phuongThuc + " " + yc->duongDan + " -> " + std::to_string(ma) + "\n";
    return taoPhanHoi(ma, loaiNoiDung, than);
}

void GiaoDienWeb::phucVuKetNoi(nenTang::Socket ketNoi) {
    nenTang::datHanKetNoi(ketNoi, NHAN_MILI_GIAY, GUI_MILI_GIAY);
    std::string dongLog;
    std::string phanHoi = xuLyYeuCau(docYeuCau(ketNoi), dongLog);
    if (phanHoi.empty()) return;

    size_t daGui = 0;
    while (daGui < phanHoi.size()) {
        int64_t n = nenTang::gui(ketNoi, phanHoi.data() + daGui, phanHoi.size() - daGui);
        if (n <= 0) break;
        daGui += static_cast<size_t>(n);
    }
    // Written as bytes: a path may hold anything, even a zero byte.
    std::fwrite(dongLog.data(), 1, dongLog.size(), stdout);
    std::fflush(stdout);
}

bool GiaoDienWeb::docTep(const std::string& duongDanVao, std::string& than, std::string& loaiNoiDung) const {
    const std::string duongDan = duongDanVao == "/" ? "/index.html" : duongDanVao;
    if (!duongDanAnToan(duongDan)) return false;
    const std::string tenTep = thuMucWeb + duongDan;
    namespace fs = std::filesystem;
    const fs::path p(reinterpret_cast<const char8_t*>(tenTep.c_str()));
    // A directory opens "successfully" as a stream on Linux and reads as
    // nothing; only regular files (or links to them) are resources.
    std::error_code loi;
    if (!fs::is_regular_file(p, loi)) return false;
    std::ifstream tep(p, std::ios::binary);
    if (!tep) return false;
    std::string noiDung((std::istreambuf_iterator<char>(tep)), std::istreambuf_iterator<char>());
    if (tep.bad()) return false;
    than = std::move(noiDung);
    loaiNoiDung = loaiNoiDungTheoTen(tenTep);
    return true;
}
