#include "kiem_phan_hoi.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace {

const char* const LOAI_JSON = "application/json; charset=utf-8";
const char* const LOAI_CHU = "text/plain; charset=utf-8";

std::string chuMa(int ma) {
    switch (ma) {
        case 200: return "OK";
        case 204: return "No Content";
        case 405: return "Method Not Allowed";
        case 404: return "Not Found";
        case 431: return "Request Header Fields Too Large";
        default: return {};
    }
}

}  // namespace

const char* const KiemPhanHoi::API_KHONG_TON_TAI = R"({"ok":false,"lyDo":"API không tồn tại"})";
const char* const KiemPhanHoi::CHI_HO_TRO_GET = R"({"ok":false,"lyDo":"Chỉ hỗ trợ GET"})";
const char* const KiemPhanHoi::KHONG_TIM_THAY = "Không tìm thấy tài nguyên";
const char* const KiemPhanHoi::DA_LUU = R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})";

const std::vector<std::string>& KiemPhanHoi::tuChoiAPI() {
    // A failed save is left out on purpose: in this test it is a fault.
    static const std::vector<std::string> ds = {
        R"({"ok":false,"lyDo":"Ô không hợp lệ"})",          R"({"ok":false,"lyDo":"Ván đã kết thúc"})",
        R"({"ok":false,"lyDo":"Đang là lượt của máy"})",    R"({"ok":false,"lyDo":"Hãy chọn một quân của bạn"})",
        R"({"ok":false,"lyDo":"Nước đi không hợp lệ"})",    R"({"ok":false,"lyDo":"Không có nước nào để hủy"})",
        R"({"ok":false,"lyDo":"Không tìm thấy ván đã lưu"})",   R"({"ok":false,"lyDo":"Ván đang tạm dừng"})",
        R"({"ok":false,"lyDo":"Không có người chơi để xin thua"})",
        R"({"ok":false,"lyDo":"Không có ván nào để tiếp tục"})",
        R"({"ok":false,"lyDo":"Không có ván này trong danh sách"})",
    };
    return ds;
}

KiemPhanHoi::KiemPhanHoi(std::vector<std::string> noiDungTep, std::string biMat)
    : noiDungTep_(std::move(noiDungTep)), biMat_(std::move(biMat)) {}

std::string KiemPhanHoi::kiem(const std::string& tho, const MongDoi& mongDoi) const {
    if (tho.empty()) return mongDoi.phaiTraLoi ? "no reply" : "";
    if (!biMat_.empty() && tho.find(biMat_) != std::string::npos) return "the reply holds the secret file";
    int ma = 0;
    std::string loai, than;
    std::string loi = kiemDau(tho, ma, loai, than);
    if (loi.empty()) loi = kiemThan(ma, loai, than);
    if (loi.empty() && mongDoi.ma && ma != mongDoi.ma) loi = "status " + std::to_string(ma) + ", expected " + std::to_string(mongDoi.ma);
    if (loi.empty() && !mongDoi.than.empty() && than != mongDoi.than) loi = "not the expected body";
    return loi;
}

// The status line and the five fixed header lines, in order, with a length
// that matches the body.
std::string KiemPhanHoi::kiemDau(const std::string& tho, int& ma, std::string& loai, std::string& than) const {
    const size_t hetDau = tho.find("\r\n\r\n");
    if (hetDau == std::string::npos || tho.compare(0, 9, "HTTP/1.1 ") != 0 || tho.size() < 12)
        return "no complete head";
    ma = std::atoi(tho.substr(9, 3).c_str());
    const std::string chu = chuMa(ma);
    if (chu.empty()) return "status " + std::to_string(ma) + " is none the server uses";
    than = tho.substr(hetDau + 4);
    std::string dau = tho.substr(0, hetDau + 2);
    const size_t hetLoai = dau.find("\r\nContent-Length: ");
    const std::string dauLoai = "HTTP/1.1 " + std::to_string(ma) + " " + chu + "\r\nContent-Type: ";
    if (dau.compare(0, dauLoai.size(), dauLoai) != 0 || hetLoai == std::string::npos) return "bad status or type line";
    loai = dau.substr(dauLoai.size(), hetLoai - dauLoai.size());
    const std::string duoi = "\r\nContent-Length: " + std::to_string(than.size()) +
                             "\r\nCache-Control: no-store\r\nAccess-Control-Allow-Origin: *\r\nConnection: close\r\n";
    if (dau.substr(hetLoai) != duoi) return "header lines differ (or the body length does not match)";
    return "";
}

std::string KiemPhanHoi::kiemThan(int ma, const std::string& loai, const std::string& than) const {
    if (ma == 204) return than.empty() && loai == LOAI_JSON ? "" : "204 with a body";
    if (ma == 405) return than == CHI_HO_TRO_GET && loai == LOAI_JSON ? "" : "405 body";
    // A header cut by the read limit: nothing but the refusal.
    if (ma == 431) return than == R"({"ok":false,"lyDo":"Yêu cầu quá dài"})" && loai == LOAI_JSON ? "" : "431 body";
    if (ma == 404) {
        const bool laAPI = than == API_KHONG_TON_TAI && loai == LOAI_JSON;
        const bool laTep = than == KHONG_TIM_THAY && loai == LOAI_CHU;
        return laAPI || laTep ? "" : "404 body";
    }
    if (std::find(noiDungTep_.begin(), noiDungTep_.end(), than) != noiDungTep_.end()) return "";
    if (loai != LOAI_JSON) return "200 with a body that is neither a web file nor JSON";
    return kiemJSON(than);
}

// An API answer: an exact refusal (or a position's, with its reason), the
// save confirmation, a state document, or an analysis's, graph's or legal
// moves' answer.
std::string KiemPhanHoi::kiemJSON(const std::string& than) {
    const auto& tc = tuChoiAPI();
    if (than == DA_LUU || std::find(tc.begin(), tc.end(), than) != tc.end()) return "";
    nlohmann::json j = nlohmann::json::parse(than, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return "200 body is not JSON";
    if (!j.contains("ok") || !j["ok"].is_boolean()) return "JSON without a boolean \"ok\"";
    if (j["ok"] != true) {
        // A position refused names its reason after this.
        const bool theCo = j.contains("lyDo") && j["lyDo"].is_string() &&
                           j["lyDo"].get<std::string>().rfind("Thế cờ không hợp lệ: ", 0) == 0;
        return theCo ? "" : "a refusal the server does not have: " + than.substr(0, 120);
    }
    if (j.contains("co")) return j["co"].is_boolean() ? "" : "\"vantruoc\" without a boolean \"co\"";
    // The analysis's lines, and a game's scores for its graph.
    if (j.contains("dong"))
        return j["dong"].is_array() && j["doSau"].is_number_integer() && (j["fen"].is_string() || j["fen"].is_null())
                   ? ""
                   : "an analysis answer of the wrong shape";
    // A lone position's legal moves, for the review board.
    if (j.contains("chieu")) {
        const bool dung = j["chieu"].is_boolean() && j["nuoc"].is_array() && j["ketQua"].is_string() &&
                          j["fen"].is_string() &&
                          std::all_of(j["nuoc"].begin(), j["nuoc"].end(),
                                      [](const nlohmann::json& m) { return m.is_string() && m.get<std::string>().size() == 4; });
        return dung ? "" : "a legal-moves answer of the wrong shape";
    }
    if (j.contains("xong"))
        return j["xong"].is_boolean() && j["diem"].is_array() && j["chieuHet"].is_array() &&
                       j["diem"].size() == j["chieuHet"].size()
                   ? ""
                   : "a graph answer of the wrong shape";
    for (const char* khoa : {"phienBan", "cheDo", "ketQua", "banCo", "lichSu", "dongHo"})
        if (!j.contains(khoa)) return std::string("state document without \"") + khoa + "\"";
    return "";
}
