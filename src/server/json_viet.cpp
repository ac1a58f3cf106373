#include "json_viet.h"

#include <cstdio>

#include "utf8.h"

std::string chuoiJSON(const std::string& vao) {
    std::string ra;
    ra.reserve(vao.size() + 8);
    ra += '"';
    for (size_t i = 0; i < vao.size(); ++i) {
        const char c = vao[i];
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            // Text from a hand-edited saved game may hold any bytes; a
            // document with broken UTF-8 is not JSON, so each byte that does
            // not start a well-formed sequence becomes U+FFFD, as a browser
            // would show it anyway.
            const size_t dai = doDaiUtf8(vao, i);
            if (dai == 0) {
                ra += "\xEF\xBF\xBD";
            } else {
                ra.append(vao, i, dai);
                i += dai - 1;
            }
            continue;
        }
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
