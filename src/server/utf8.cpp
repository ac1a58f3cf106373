#include "utf8.h"

#include <algorithm>
#include <cstdint>

#include "bang_gb18030.h"

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

bool laUtf8HopLe(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t dai = doDaiUtf8(s, i);
        if (dai == 0) return false;
        i += dai;
    }
    return true;
}

namespace {

void themUtf8(std::string& ra, uint32_t ma) {
    if (ma < 0x80) {
        ra += static_cast<char>(ma);
    } else if (ma < 0x800) {
        ra += static_cast<char>(0xC0 | (ma >> 6));
        ra += static_cast<char>(0x80 | (ma & 0x3F));
    } else if (ma < 0x10000) {
        ra += static_cast<char>(0xE0 | (ma >> 12));
        ra += static_cast<char>(0x80 | ((ma >> 6) & 0x3F));
        ra += static_cast<char>(0x80 | (ma & 0x3F));
    } else {
        ra += static_cast<char>(0xF0 | (ma >> 18));
        ra += static_cast<char>(0x80 | ((ma >> 12) & 0x3F));
        ra += static_cast<char>(0x80 | ((ma >> 6) & 0x3F));
        ra += static_cast<char>(0x80 | (ma & 0x3F));
    }
}

// The code point of a four-byte sequence by its linear number.
uint32_t maBonByte(uint32_t so) {
    // The supplementary planes follow one another from 0x90308130 on.
    constexpr uint32_t DAU_NGOAI_BMP = 15 * 12600;
    if (so >= DAU_NGOAI_BMP) return so - DAU_NGOAI_BMP < 0x100000 ? 0x10000 + (so - DAU_NGOAI_BMP) : 0xFFFD;
    const DoanGb18030* dau = BANG_GB18030_BON_BYTE;
    const DoanGb18030* het = dau + SO_DOAN_GB18030;
    const DoanGb18030* d = std::upper_bound(dau, het, so, [](uint32_t x, const DoanGb18030& v) { return x < v.dau; });
    if (d == dau || so >= (d - 1)->het) return 0xFFFD;
    return (d - 1)->maDau + (so - (d - 1)->dau);
}

}  // namespace

std::string gb18030SangUtf8(const std::string& s) {
    std::string ra;
    const auto b = [&](size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    for (size_t i = 0; i < s.size();) {
        const unsigned b1 = b(i);
        if (b1 < 0x80) {
            ra += static_cast<char>(b1);
            ++i;
            continue;
        }
        uint32_t ma = 0xFFFD;
        size_t dai = 1;
        const unsigned b2 = b(i + 1);
        if (b1 >= 0x81 && b1 <= 0xFE && ((b2 >= 0x40 && b2 <= 0x7E) || (b2 >= 0x80 && b2 <= 0xFE))) {
            ma = BANG_GB18030_HAI_BYTE[(b1 - 0x81) * 190 + b2 - 0x40 - (b2 > 0x7F ? 1 : 0)];
            dai = 2;
        } else if (b1 >= 0x81 && b1 <= 0xFE && b2 >= 0x30 && b2 <= 0x39 && b(i + 2) >= 0x81 && b(i + 2) <= 0xFE &&
                   b(i + 3) >= 0x30 && b(i + 3) <= 0x39) {
            ma = maBonByte((((b1 - 0x81) * 10 + b2 - 0x30) * 126 + b(i + 2) - 0x81) * 10 + b(i + 3) - 0x30);
            dai = 4;
        }
        themUtf8(ra, ma);
        i += dai;
    }
    return ra;
}
