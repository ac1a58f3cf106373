#include "phan_tich.h"

#include <cctype>
#include <limits>

namespace {

int giaTriHex(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string giaiMaURL(const std::string& vao) {
    std::string ra;
    ra.reserve(vao.size());
    for (size_t i = 0; i < vao.size(); ++i) {
        char c = vao[i];
        if (c == '+') {
            ra += ' ';
            continue;
        }
        if (c == '%' && i + 2 < vao.size()) {
            int cao = giaTriHex(static_cast<unsigned char>(vao[i + 1]));
            int thap = giaTriHex(static_cast<unsigned char>(vao[i + 2]));
            if (cao >= 0 && thap >= 0) {
                ra += static_cast<char>(cao * 16 + thap);
                i += 2;
                continue;
            }
        }
        ra += c;
    }
    return ra;
}

ThamSo tachThamSo(const std::string& truyVan) {
    ThamSo ketQua;
    size_t dau = 0;
    while (dau <= truyVan.size()) {
        size_t cuoi = truyVan.find('&', dau);
        if (cuoi == std::string::npos) cuoi = truyVan.size();
        std::string muc = truyVan.substr(dau, cuoi - dau);
        if (!muc.empty()) {
            size_t bang = muc.find('=');
            if (bang == std::string::npos)
                ketQua[giaiMaURL(muc)] = "";
            else
                ketQua[giaiMaURL(muc.substr(0, bang))] = giaiMaURL(muc.substr(bang + 1));
        }
        dau = cuoi + 1;
    }
    return ketQua;
}

std::optional<int64_t> docSoBaoHoa(const std::string& chu) {
    constexpr int64_t TRAN = 1000000000000000LL;
    size_t i = 0;
    while (i < chu.size() && std::isspace(static_cast<unsigned char>(chu[i]))) ++i;
    bool am = false;
    if (i < chu.size() && (chu[i] == '+' || chu[i] == '-')) am = chu[i++] == '-';
    int64_t giaTri = 0;
    size_t soChuSo = 0;
    for (; i < chu.size() && std::isdigit(static_cast<unsigned char>(chu[i])); ++i, ++soChuSo) {
        // Once past the cap further digits change nothing: no overflow,
        // however many digits arrive.
        if (giaTri < TRAN) giaTri = giaTri * 10 + (chu[i] - '0');
    }
    if (soChuSo == 0) return std::nullopt;
    if (giaTri > TRAN) giaTri = TRAN;
    return am ? -giaTri : giaTri;
}

std::optional<int32_t> docSoNguyen(const std::string& chu) {
    std::optional<int64_t> so = docSoBaoHoa(chu);
    if (!so || *so < std::numeric_limits<int32_t>::min() || *so > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(*so);
}

int laySo(const ThamSo& thamSo, const std::string& ten, int macDinh) {
    auto it = thamSo.find(ten);
    if (it == thamSo.end()) return macDinh;
    return docSoNguyen(it->second).value_or(macDinh);
}
