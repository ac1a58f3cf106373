#include "http_tho.h"

#include <cctype>
#include <cstdio>

#include "utf8.h"

namespace {

std::string boKhoangTrang(const std::string& s) {
    const size_t dau = s.find_first_not_of(" \t");
    if (dau == std::string::npos) return {};
    return s.substr(dau, s.find_last_not_of(" \t") - dau + 1);
}

std::vector<DauDong> tachDauDong(const std::string& duLieu, size_t tu) {
    std::vector<DauDong> ds;
    // A line the read cut short is left out: "Host: 127.0." is no name at all.
    for (size_t het; (het = duLieu.find("\r\n", tu)) != std::string::npos;) {
        if (het == tu) break;  // the blank line ends the header
        const std::string dong = duLieu.substr(tu, het - tu);
        tu = het + 2;
        const size_t haiCham = dong.find(':');
        if (haiCham == std::string::npos) continue;
        DauDong d{dong.substr(0, haiCham), boKhoangTrang(dong.substr(haiCham + 1))};
        for (char& ch : d.ten) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        ds.push_back(std::move(d));
    }
    return ds;
}

}  // namespace

std::optional<YeuCau> tachYeuCau(const std::string& duLieu) {
    size_t hetDong = duLieu.find("\r\n");
    if (hetDong == std::string::npos) return std::nullopt;
    std::string dong = duLieu.substr(0, hetDong);
    size_t cach1 = dong.find(' ');
    if (cach1 == std::string::npos) return std::nullopt;
    YeuCau yc;
    yc.phuongThuc = dong.substr(0, cach1);
    size_t cach2 = dong.find(' ', cach1 + 1);
    std::string dich = dong.substr(cach1 + 1, cach2 == std::string::npos ? std::string::npos : cach2 - cach1 - 1);
    size_t hoi = dich.find('?');
    yc.duongDan = dich.substr(0, hoi);
    if (hoi != std::string::npos) yc.truyVan = dich.substr(hoi + 1);
    yc.dauDong = tachDauDong(duLieu, hetDong + 2);
    yc.catNgan = duLieu.size() >= GIOI_HAN_YEU_CAU && duLieu.find("\r\n\r\n") == std::string::npos;
    return yc;
}

const char* chuStatus(int ma) {
    switch (ma) {
        case 200: return "OK";
        case 204: return "No Content";
        case 403: return "Forbidden";
        case 405: return "Method Not Allowed";
        case 431: return "Request Header Fields Too Large";
        default: return "Not Found";
    }
}

std::string taoPhanHoi(int ma, const std::string& loaiNoiDung, const std::string& than) {
    char dongDau[80];
    std::snprintf(dongDau, sizeof dongDau, "HTTP/1.1 %d %s\r\n", ma, chuStatus(ma));
    std::string ra = dongDau;
    ra += "Content-Type: " + loaiNoiDung + "\r\n";
    ra += "Content-Length: " + std::to_string(than.size()) + "\r\n";
    ra += "Cache-Control: no-store\r\n";
    ra += "Access-Control-Allow-Origin: *\r\n";
    ra += "Connection: close\r\n\r\n";
    ra += than;
    return ra;
}

std::string loaiNoiDungTheoTen(const std::string& tenTep) {
    size_t cham = tenTep.rfind('.');
    std::string duoi = cham == std::string::npos ? std::string() : tenTep.substr(cham + 1);
    // Compared case-sensitively on purpose: the table names exact extensions.
    static const struct {
        const char* duoi;
        const char* loai;
    } bang[] = {
        {"html", "text/html; charset=utf-8"}, {"js", "text/javascript; charset=utf-8"},
        {"css", "text/css; charset=utf-8"},   {"json", "application/json; charset=utf-8"},
        {"png", "image/png"},                 {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},               {"svg", "image/svg+xml"},
        {"ico", "image/x-icon"},              {"wasm", "application/wasm"},
        {"woff2", "font/woff2"},
    };
    for (const auto& muc : bang) {
        if (duoi == muc.duoi) return muc.loai;
    }
    return "application/octet-stream";
}

bool duongDanAnToan(const std::string& duongDan) {
    if (duongDan.empty() || duongDan[0] != '/') return false;
    if (duongDan.find("..") != std::string::npos) return false;
    if (duongDan.find_first_of(std::string("\\:\0", 3)) != std::string::npos) return false;
    // Bytes that are not UTF-8 name no file we serve, and on Windows they
    // cannot even become a path (the conversion to UTF-16 throws).
    return laUtf8HopLe(duongDan);
}
