// Routing one request: the cross-site refusal, the API, static files.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "giao_dien_web.h"
#include "http_tho.h"
#include "nguon_goc.h"

namespace {

const char* const JSON = "application/json; charset=utf-8";
const char* const DAU_QUA_DAI = R"({"ok":false,"lyDo":"Yêu cầu quá dài"})";

}  // namespace

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
    std::string than = yc->catNgan ? DAU_QUA_DAI : lyDoTuChoi(*yc, mayChu.congDaMo());
    const int ma = yc->catNgan    ? 431
                   : !than.empty() ? 403
                                   : chonPhanHoi(yc->phuongThuc, yc->duongDan, yc->truyVan, loaiNoiDung, than);
    dongLog = "[web] " + yc->phuongThuc + " " + yc->duongDan + " -> " + std::to_string(ma) + "\n";
    return taoPhanHoi(ma, loaiNoiDung, than);
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
