#include "utf8.h"

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
