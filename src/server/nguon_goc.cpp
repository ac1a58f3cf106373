#include "nguon_goc.h"

#include <cctype>

namespace {

const char* const MAY_KHAC = R"({"ok":false,"lyDo":"Chỉ phục vụ trên chính máy này"})";
const char* const TRANG_KHAC = R"({"ok":false,"lyDo":"Từ chối yêu cầu từ trang web khác"})";

std::string chuThuong(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// "127.0.0.1", "localhost" or "[::1]" (lower case), then nothing or ":" and
// a port number; the port, 0 when absent, goes to `cong`.
bool laMayNay(const std::string& tenMay, int& cong) {
    if (tenMay.empty()) return false;
    const size_t haiCham = tenMay.front() == '[' ? tenMay.find(':', tenMay.find(']')) : tenMay.find(':');
    const std::string ten = tenMay.substr(0, haiCham);
    if (ten != "127.0.0.1" && ten != "localhost" && ten != "[::1]") return false;
    cong = 0;
    if (haiCham == std::string::npos) return true;
    const std::string so = tenMay.substr(haiCham + 1);
    if (so.empty() || so.size() > 5) return false;
    for (char ch : so) {
        if (ch < '0' || ch > '9') return false;
        cong = cong * 10 + (ch - '0');
    }
    return true;
}

bool hostHopLe(const std::string& giaTri) {
    int cong = 0;
    // An empty Host names no one; as with no Host at all, a tool sent it.
    return giaTri.empty() || laMayNay(chuThuong(giaTri), cong);
}

// Our own origin: "http://" and a name of this machine, on our port.
bool laNguonGocCuaMinh(const std::string& giaTri, int congMinh) {
    const std::string s = chuThuong(giaTri);
    const std::string dau = "http://";
    if (s.size() <= dau.size() || s.compare(0, dau.size(), dau) != 0) return false;
    int cong = 0;
    if (!laMayNay(s.substr(dau.size()), cong)) return false;
    return (cong == 0 ? 80 : cong) == congMinh;
}

}  // namespace

std::string lyDoTuChoi(const YeuCau& yc, int cong) {
    for (const DauDong& d : yc.dauDong) {
        if (d.ten == "host" && !hostHopLe(d.giaTri)) return MAY_KHAC;
    }
    // Files hold nothing to protect; the API is what changes the game.
    if (yc.duongDan.compare(0, 5, "/api/") != 0) return {};
    for (const DauDong& d : yc.dauDong) {
        if (d.ten == "sec-fetch-site") {
            const std::string s = chuThuong(d.giaTri);
            if (s == "cross-site" || s == "same-site") return TRANG_KHAC;
        } else if (d.ten == "origin" && !laNguonGocCuaMinh(d.giaTri, cong)) {
            return TRANG_KHAC;
        }
    }
    return {};
}
