#pragma once
// A strict, small JSON validator for the fuzz targets: one value, nothing but
// white space around it, RFC 8259 grammar, strings in well-formed UTF-8.
// Nesting is bounded so that a hostile document cannot exhaust the stack.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kiemJson {

class BoDoc {
public:
    explicit BoDoc(const std::string& s) : s_(s) {}

    bool hopLe() {
        boTrang();
        if (!giaTri(0)) return false;
        boTrang();
        return i_ == s_.size();
    }

private:
    static constexpr int SAU_TOI_DA = 64;
    const std::string& s_;
    size_t i_ = 0;

    bool het() const { return i_ >= s_.size(); }
    char c() const { return s_[i_]; }
    void boTrang() {
        while (!het() && (c() == ' ' || c() == '\t' || c() == '\n' || c() == '\r')) ++i_;
    }
    bool gap(char ch) {
        if (het() || c() != ch) return false;
        ++i_;
        return true;
    }
    bool tu(const char* chu) {
        for (; *chu; ++chu)
            if (!gap(*chu)) return false;
        return true;
    }
    static bool laSo(char ch) { return ch >= '0' && ch <= '9'; }
    static bool laHex(char ch) { return laSo(ch) || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'); }

    bool giaTri(int sau) {
        if (het() || sau > SAU_TOI_DA) return false;
        switch (c()) {
            case '{': return doiTuong(sau);
            case '[': return mang(sau);
            case '"': return chuoi();
            case 't': return tu("true");
            case 'f': return tu("false");
            case 'n': return tu("null");
            default: return so();
        }
    }
    bool doiTuong(int sau) {
        ++i_;
        boTrang();
        if (gap('}')) return true;
        for (;;) {
            boTrang();
            if (!chuoi()) return false;
            boTrang();
            if (!gap(':')) return false;
            boTrang();
            if (!giaTri(sau + 1)) return false;
            boTrang();
            if (gap('}')) return true;
            if (!gap(',')) return false;
        }
    }
    bool mang(int sau) {
        ++i_;
        boTrang();
        if (gap(']')) return true;
        for (;;) {
            boTrang();
            if (!giaTri(sau + 1)) return false;
            boTrang();
            if (gap(']')) return true;
            if (!gap(',')) return false;
        }
    }
    // The rest of a multi-byte sequence whose lead byte was just read: no
    // overlong forms, no surrogates, nothing above U+10FFFF.
    bool utf8(unsigned char dau) {
        size_t them;
        unsigned thap = 0x80, cao = 0xBF;
        if (dau >= 0xC2 && dau <= 0xDF) them = 1;
        else if (dau >= 0xE0 && dau <= 0xEF) {
            them = 2;
            if (dau == 0xE0) thap = 0xA0;
            if (dau == 0xED) cao = 0x9F;
        } else if (dau >= 0xF0 && dau <= 0xF4) {
            them = 3;
            if (dau == 0xF0) thap = 0x90;
            if (dau == 0xF4) cao = 0x8F;
        } else {
            return false;
        }
        for (size_t k = 0; k < them; ++k, ++i_) {
            if (het()) return false;
            const unsigned b = static_cast<unsigned char>(c());
            if (b < (k == 0 ? thap : 0x80u) || b > (k == 0 ? cao : 0xBFu)) return false;
        }
        return true;
    }
    bool chuoi() {
        if (!gap('"')) return false;
        while (!het()) {
            const unsigned char ch = static_cast<unsigned char>(c());
            ++i_;
            if (ch == '"') return true;
            if (ch < 0x20) return false;
            if (ch >= 0x80) {
                if (!utf8(ch)) return false;
                continue;
            }
            if (ch != '\\') continue;
            if (het()) return false;
            const char e = c();
            ++i_;
            if (e == 'u') {
                for (int k = 0; k < 4; ++k, ++i_)
                    if (het() || !laHex(c())) return false;
            } else if (std::string("\"\\/bfnrt").find(e) == std::string::npos) {
                return false;
            }
        }
        return false;
    }
    bool so() {
        gap('-');
        if (het() || !laSo(c())) return false;
        if (!gap('0'))
            while (!het() && laSo(c())) ++i_;
        if (gap('.')) {
            if (het() || !laSo(c())) return false;
            while (!het() && laSo(c())) ++i_;
        }
        if (!het() && (c() == 'e' || c() == 'E')) {
            ++i_;
            if (!het() && (c() == '+' || c() == '-')) ++i_;
            if (het() || !laSo(c())) return false;
            while (!het() && laSo(c())) ++i_;
        }
        return true;
    }
};

inline bool hopLe(const std::string& s) { return BoDoc(s).hopLe(); }

}  // namespace kiemJson

// Stops the run at a broken property, naming it: libFuzzer keeps the input
// as a crash.
#define CHAC_CHAN(dieuKien)                                                                 \
    do {                                                                                    \
        if (!(dieuKien)) {                                                                  \
            std::fprintf(stderr, "broken: %s (%s:%d)\n", #dieuKien, __FILE__, __LINE__); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (0)
