#include "json_viet.h"

#include <cstdio>

std::string chuoiJSON(const std::string& vao) {
    std::string ra;
    ra.reserve(vao.size() + 8);
    ra += '"';
    for (char c : vao) {
        unsigned char b = static_cast<unsigned char>(c);
        switch (c) {
            case '\t': ra += "\\t"; break;
            case '\n': ra += "\\n"; break;
            case '\r': ra += "\\r"; break;
            case '"': ra += "\\\""; break;
            case '\\': ra += "\\\\"; break;
            default:
                if (b < 32) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", b);
                    ra += buf;
                } else {
                    ra += c;
                }
        }
    }
    ra += '"';
    return ra;
}

std::string kemHanhDong(std::string taiLieu, const std::string& hanhDong) {
    if (taiLieu.empty() || taiLieu.back() != '}') return taiLieu;
    taiLieu.pop_back();
    taiLieu += ",\"hanhDong\":";
    taiLieu += chuoiJSON(hanhDong);
    taiLieu += '}';
    return taiLieu;
}

std::string soHaiLe(double giaTri) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", 2, giaTri);
    return buf;
}
