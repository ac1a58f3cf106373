// Request bytes in, response bytes out, through the server's own request
// handling (parsing, routing, static files, every API command), without a
// socket. One input is a short session: it is cut after each blank line
// ("\r\n\r\n") into up to 16 requests, answered in turn by one long-lived
// server whose game is reset before every input.
//
// Every answer is checked: the empty answer exactly for requests the server
// must drop, otherwise the status line, the fixed headers, a true
// Content-Length, JSON that parses, and static bodies that come from the web
// root only (a file beside the root is planted and must never be served).
// A 403 refusal comes only for a request that names a host or an origin in
// its header, and it changes neither the game nor the saved file.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "giao_dien_web.h"
#include "kiem_json.h"
#include "thu_muc_tam.h"

namespace {

GiaoDienWeb* web = nullptr;
std::set<std::string> noiDungWeb;
const std::string BI_MAT = "BI-MAT: tep nay nam ngoai goc web";
const std::string JSON = "application/json; charset=utf-8";

void taoGocWeb(const std::filesystem::path& goc) {
    const std::map<std::string, std::string> tep = {
        {"index.html", "<!doctype html><title>tavelin3d</title><div id=ban></div>"},
        {"app.js", "const a = 1;\n"},
        {"style.css", "body{margin:0}\n"},
        {"du_lieu.json", R"({"a":[1,2.5,"\u00e9"],"b":null})"},
        {"anh/co.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>"},
        {"ch\xe1\xbb\xaf.txt", "utf-8 name"},
        {"khong_duoi", std::string("\0\x01\xff", 3)},
    };
    for (const auto& [ten, noiDung] : tep) {
        thu::ghiTep(goc / ten, noiDung);
        noiDungWeb.insert(noiDung);
    }
    std::filesystem::create_directories(goc / "thu_muc.html");
}

// The request line's pieces, read here independently of the server.
struct DongYeuCau {
    bool co = false;  // a line end, and a space in the line before it
    std::string phuongThuc, duongDan;
    size_t cuoiDich = 0;  // where the request target ends
    bool coHoi = false;
    bool coNguonGoc = false;  // a Host, Origin or Sec-Fetch-Site header line, or an API command cut at 16384 bytes
};

DongYeuCau docDong(const std::string& yc) {
    DongYeuCau d;
    const size_t hetDong = yc.find("\r\n");
    if (hetDong == std::string::npos) return d;
    const size_t cach1 = yc.find(' ');
    if (cach1 >= hetDong) return d;
    const size_t cach2 = yc.find(' ', cach1 + 1);
    d.co = true;
    d.phuongThuc = yc.substr(0, cach1);
    d.cuoiDich = cach2 < hetDong ? cach2 : hetDong;
    const std::string dich = yc.substr(cach1 + 1, d.cuoiDich - cach1 - 1);
    d.coHoi = dich.find('?') != std::string::npos;
    d.duongDan = dich.substr(0, dich.find('?'));
    const size_t hetDau = yc.find("\r\n\r\n");
    std::string dau = yc.substr(hetDong, hetDau == std::string::npos ? std::string::npos : hetDau + 2 - hetDong);
    for (char& ch : dau) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const char* ten : {"\r\nhost:", "\r\norigin:", "\r\nsec-fetch-site:"})
        d.coNguonGoc = d.coNguonGoc || dau.find(ten) != std::string::npos;
    return d;
}

// New games are pinned to the easy level (the last parameter of a name
// wins), so that the worker's searches stay short and the fuzzer never
// waits on a deep one.
std::string ghimMucDe(std::string yc, const DongYeuCau& d) {
    if (d.co && d.duongDan == "/api/vanmoi")
        yc.insert(d.cuoiDich, d.coHoi ? "&doKho=DE&doKhoDen=DE" : "?doKho=DE&doKhoDen=DE");
    return yc;
}

void kiemPhanHoi(const DongYeuCau& d, const std::string& ph, const std::string& dongLog) {
    CHAC_CHAN(ph.empty() == !d.co);
    CHAC_CHAN(dongLog.empty() == ph.empty());
    if (ph.empty()) return;

    const size_t hetDau = ph.find("\r\n\r\n");
    CHAC_CHAN(hetDau != std::string::npos);
    const std::string dau = ph.substr(0, hetDau + 2);
    const std::string than = ph.substr(hetDau + 4);
    int ma = 0;
    for (const auto& [so, dong] : std::map<int, std::string>{{200, "HTTP/1.1 200 OK\r\n"},
                                                             {204, "HTTP/1.1 204 No Content\r\n"},
                                                             {403, "HTTP/1.1 403 Forbidden\r\n"},
                                                             {404, "HTTP/1.1 404 Not Found\r\n"},
                                                             {405, "HTTP/1.1 405 Method Not Allowed\r\n"},
                                                             {431, "HTTP/1.1 431 Request Header Fields Too Large\r\n"}})
        if (dau.rfind(dong, 0) == 0) ma = so;
    CHAC_CHAN(ma != 0);

    const size_t loai = dau.find("\r\nContent-Type: ");
    const size_t dai = dau.find("\r\nContent-Length: ");
    CHAC_CHAN(loai != std::string::npos && dai != std::string::npos && loai < dai);
    const std::string loaiNoiDung = dau.substr(loai + 16, dau.find("\r\n", loai + 2) - loai - 16);
    const std::string duoi = "\r\nContent-Length: " + std::to_string(than.size()) +
                             "\r\nCache-Control: no-store\r\nAccess-Control-Allow-Origin: *\r\nConnection: close\r\n";
    CHAC_CHAN(dau.compare(dai, std::string::npos, duoi) == 0);
    CHAC_CHAN(dongLog.find(" -> " + std::to_string(ma) + "\n") != std::string::npos);

    CHAC_CHAN(ma != 403 || (d.coNguonGoc && than.rfind("{\"ok\":false,", 0) == 0));
    CHAC_CHAN(ma == 403 || ma == 431 || (ma == 405) == (d.phuongThuc != "GET"));
    CHAC_CHAN(ma != 204 || (than.empty() && d.duongDan == "/favicon.ico"));
    // A 204 has no body whatever its declared type.
    if (ma != 204 && loaiNoiDung == JSON && !kiemJson::hopLe(than)) {
        std::fprintf(stderr, "not JSON: %s\n", than.c_str());
        std::abort();
    }
    if (ma == 405 || (d.duongDan.rfind("/api/", 0) == 0 && d.phuongThuc == "GET")) {
        CHAC_CHAN(loaiNoiDung == JSON && than.rfind("{\"ok\":", 0) == 0);
    } else if (ma == 200) {
        CHAC_CHAN(noiDungWeb.count(than) == 1);
    }
    CHAC_CHAN(than.find(BI_MAT) == std::string::npos);
}

// What a refused request must leave alone: the change counter and the saved file.
std::string dauVet() {
    std::string dongLog;
    const std::string ph = web->xuLyYeuCau("GET /api/trangthai HTTP/1.1\r\n\r\n", dongLog);
    const size_t phien = ph.find("\"phienBan\":");
    return ph.substr(phien, ph.find(',', phien) - phien) + thu::docHetTep(TEN_TEP_LUU);
}

void mot(const std::string& yc) {
    DongYeuCau d = docDong(yc);
    const std::string gui = ghimMucDe(yc, d);
    const bool catNgan = d.co && gui.size() >= 16384 && gui.find("\r\n\r\n") == std::string::npos;
    d.coNguonGoc = d.coNguonGoc || (catNgan && d.duongDan.rfind("/api/", 0) == 0);
    const std::string truoc = d.coNguonGoc ? dauVet() : std::string();
    std::string dongLog;
    const std::string ph = web->xuLyYeuCau(gui, dongLog);
    kiemPhanHoi(d, ph, dongLog);
    // A header cut by the read limit gets nothing of the game or the files.
    if (catNgan) CHAC_CHAN(ph.rfind("HTTP/1.1 431 ", 0) == 0);
    if (ph.rfind("HTTP/1.1 403 ", 0) == 0 || catNgan) CHAC_CHAN(dauVet() == truoc);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string goc = thu::vaoThuMucTam().duongDan().string();
    taoGocWeb(goc + "/web");
    thu::ghiTep(goc + "/bi_mat.txt", BI_MAT);
    web = new GiaoDienWeb(goc + "/web");  // lives to the end: its worker runs throughout
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* du, size_t co) {
    // Each input starts from a fresh two-player game and no saved file.
    std::error_code loi;
    std::filesystem::remove("tavelin.save", loi);
    mot("GET /api/vanmoi HTTP/1.1\r\n\r\n");

    const std::string vao(reinterpret_cast<const char*>(du), co);
    size_t dau = 0;
    for (int dem = 0; dau < vao.size() && dem < 16; ++dem) {
        const size_t cuoi = vao.find("\r\n\r\n", dau);
        const size_t het = cuoi == std::string::npos ? vao.size() : cuoi + 4;
        mot(vao.substr(dau, het - dau));
        dau = het;
    }
    return 0;
}
