// The query parser, the URL decoder and the number readers on arbitrary
// bytes, each against an independent statement of what it must do.
//
// The input is used twice: as a raw query, and as a list of name/value pairs
// (split at zero bytes) that is percent-encoded into a query whose decoding
// must give the pairs back.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "kiem_json.h"
#include "phan_tich.h"

namespace {

constexpr int64_t TRAN = 1000000000000000LL;

// Every byte as %hh, upper or lower case hex by position, a space sometimes
// as "+": all forms the decoder must accept.
std::string maHoa(const std::string& vao) {
    static const char* const HEX[2] = {"0123456789ABCDEF", "0123456789abcdef"};
    std::string ra;
    for (size_t i = 0; i < vao.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(vao[i]);
        if (c == ' ' && i % 2 == 0) {
            ra += '+';
            continue;
        }
        ra += '%';
        ra += HEX[i % 2][c >> 4];
        ra += HEX[i % 2][c & 15];
    }
    return ra;
}

// The C library's reading of the same text, pinned to the cap.
std::optional<int64_t> theoC(const std::string& chu) {
    const char* dau = chu.c_str();
    char* cuoi = nullptr;
    errno = 0;
    const long long so = std::strtoll(dau, &cuoi, 10);
    if (cuoi == dau) return std::nullopt;
    if (errno == ERANGE) return so < 0 ? -TRAN : TRAN;
    return so < -TRAN ? -TRAN : so > TRAN ? TRAN : so;
}

void kiemSo(const std::string& chu) {
    // strtoll also takes "0x..." only in base 16 and stops at a zero byte
    // exactly as the reader does, so the two must agree on every input.
    const std::optional<int64_t> baoHoa = docSoBaoHoa(chu);
    CHAC_CHAN(baoHoa == theoC(chu));
    const std::optional<int32_t> nguyen = docSoNguyen(chu);
    if (baoHoa && *baoHoa >= INT32_MIN && *baoHoa <= INT32_MAX)
        CHAC_CHAN(nguyen && *nguyen == *baoHoa);
    else
        CHAC_CHAN(!nguyen);
    CHAC_CHAN(laySo(ThamSo{{"n", chu}}, "n", -7) == nguyen.value_or(-7));
    CHAC_CHAN(laySo(ThamSo{{"n", chu}}, "m", -7) == -7);
}

void kiemTruyVanTho(const std::string& truyVan) {
    const std::string giaiMa = giaiMaURL(truyVan);
    CHAC_CHAN(giaiMa.size() <= truyVan.size());
    if (truyVan.find_first_of("%+") == std::string::npos) CHAC_CHAN(giaiMa == truyVan);
    for (const auto& [ten, giaTri] : tachThamSo(truyVan)) {
        kiemSo(giaTri);
        CHAC_CHAN(ten.size() + giaTri.size() <= truyVan.size());
    }
}

void kiemKhuHoi(const std::string& vao) {
    std::vector<std::string> phan;
    size_t dau = 0;
    for (;;) {
        const size_t cuoi = vao.find('\0', dau);
        phan.push_back(vao.substr(dau, cuoi == std::string::npos ? std::string::npos : cuoi - dau));
        if (cuoi == std::string::npos) break;
        dau = cuoi + 1;
    }
    std::string truyVan;
    ThamSo monDoi;
    for (size_t i = 0; i + 1 < phan.size(); i += 2) {
        CHAC_CHAN(giaiMaURL(maHoa(phan[i])) == phan[i]);
        truyVan += (truyVan.empty() ? "" : "&") + maHoa(phan[i]) + "=" + maHoa(phan[i + 1]);
        monDoi[phan[i]] = phan[i + 1];  // a later name wins
    }
    truyVan += "&&";  // empty items are skipped
    CHAC_CHAN(tachThamSo(truyVan) == monDoi);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* du, size_t co) {
    const std::string vao(reinterpret_cast<const char*>(du), co);
    kiemTruyVanTho(vao);
    kiemSo(vao);
    kiemKhuHoi(vao);
    return 0;
}
