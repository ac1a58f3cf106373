#include "json_viet.h"

#include <cstdio>

namespace {

// Length of the well-formed UTF-8 sequence starting at `i` (no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0 when it is not one.
size_t doDaiUtf8(const std::string& s, size_t i) {
    const auto byteTai = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned b0 = byteTai(i);
    size_t dai;
    unsigned thapNhat = 0x80, caoNhat = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) dai = 2;
    else if (b0 >= 0xE0 && b0 <= 0xEF) {
        dai = 3;
        if (b0 == 0xE0) thapNhat = 0xA0;
        if (b0 == 0xED) caoNhat = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        dai = 4;
        if (b0 == 0xF0) thapNhat = 0x90;
        if (b0 == 0xF4) caoNhat = 0x8F;
    } else {
        return 0;
    }
    const unsigned b1 = byteTai(i + 1);
    if (b1 < thapNhat || b1 > caoNhat) return 0;
    for (size_t k = 2; k < dai; ++k) {
        const unsigned b = byteTai(i + k);
        if (b < 0x80 || b > 0xBF) return 0;
    }
    return dai;
}

}  // namespace

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
