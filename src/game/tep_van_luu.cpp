#include "tep_van_luu.h"

#include <algorithm>
#include <cstdint>
#include <iomanip>
#include <sstream>

#include "ban_co.h"

namespace {

const char* const DONG_DAU = "TAVELIN1";
// Keys and piece names are short; a longer run of characters is read in
// pieces so that no single word can grow without bound.
constexpr int DAI_TU_TOI_DA = 64;
// Reasons are a few dozen bytes; the rest of a longer line is dropped.
constexpr std::size_t DAI_LY_DO_TOI_DA = 1024;
constexpr std::size_t DAI_FEN_TOI_DA = 256;

// Reads up to the newline, keeping at most `toiDa` characters and dropping a
// carriage return left by a CRLF line end. False at the end of the input.
bool docHetDong(std::istream& vao, std::string& dong, std::size_t toiDa) {
    dong.clear();
    bool coKyTu = false;
    for (int c = vao.get(); c != std::char_traits<char>::eof(); c = vao.get()) {
        coKyTu = true;
        if (c == '\n') break;
        if (dong.size() < toiDa) dong.push_back(static_cast<char>(c));
    }
    if (!dong.empty() && dong.back() == '\r') dong.pop_back();
    return coKyTu;
}

bool docTu(std::istream& vao, std::string& tu) { return static_cast<bool>(vao >> std::setw(DAI_TU_TOI_DA) >> tu); }

// One integer within [nhoNhat, lonNhat]. A malformed or out-of-range value
// counts as 0 and ends the reading.
bool docSo(std::istream& vao, int& giaTri, long long nhoNhat, long long lonNhat) {
    long long so = 0;
    if (!(vao >> so) || so < nhoNhat || so > lonNhat) {
        giaTri = 0;
        return false;
    }
    giaTri = static_cast<int>(so);
    return true;
}

bool docSo(std::istream& vao, int& giaTri) { return docSo(vao, giaTri, INT32_MIN, INT32_MAX); }

bool docSo(std::istream& vao, int64_t& giaTri, long long nhoNhat, long long lonNhat) {
    long long so = 0;
    if (!(vao >> so) || so < nhoNhat || so > lonNhat) {
        giaTri = -1;
        return false;
    }
    giaTri = so;
    return true;
}

// A value of the optional lines: a malformed one counts as absent.
bool docSoTuyChon(std::istream& vao, int& giaTri, long long lonNhat = INT32_MAX) {
    int so = 0;
    const bool ok = docSo(vao, so, 0, lonNhat);
    giaTri = ok ? so : -1;
    return ok;
}

bool docCo(std::istream& vao, bool& co) {
    int so = 0;
    const bool ok = docSo(vao, so, 0, 1);
    co = so == 1;
    return ok;
}

// A clock to the millisecond: a year is more than any game's.
constexpr long long MILI_GIAY_TOI_DA = 366LL * 24 * 3600 * 1000;
static_assert(GIAY_MOI_BEN_TOI_DA * 1000LL <= MILI_GIAY_TOI_DA, "every clock a game can have reads back");

// An entry count, bounded by the room left in its list.
bool docSoMuc(std::istream& vao, std::size_t conCho, std::size_t& soMuc) {
    unsigned long long dem = 0;
    if (!(vao >> dem)) return false;
    soMuc = static_cast<std::size_t>(std::min<unsigned long long>(dem, conCho));
    return true;
}

bool docChap(std::istream& vao, VanDaLuu& van) {
    std::size_t soMuc = 0;
    if (!docSoMuc(vao, TOI_DA_CHAP - van.chap.size(), soMuc)) return false;
    for (std::size_t i = 0; i < soMuc; ++i) {
        int phe = 0;
        std::string ten;
        if (!docSo(vao, phe) || !docTu(vao, ten)) return false;
        van.chap.emplace_back(static_cast<Phe>(phe), std::move(ten));
    }
    return true;
}

// A move is taken whole or not at all: a partly read move ends the reading
// and is dropped; one with a square off the board ends it too, kept last so
// that the loader can refuse the file naming it.
bool docNuoc(std::istream& vao, VanDaLuu& van) {
    std::size_t soMuc = 0;
    if (!docSoMuc(vao, TOI_DA_NUOC - van.nuoc.size(), soMuc)) return false;
    for (std::size_t i = 0; i < soMuc; ++i) {
        int so[4];
        for (int& s : so)
            if (!docSo(vao, s)) return false;
        const NuocDi nuoc{so[0], so[1], so[2], so[3]};
        van.nuoc.push_back(nuoc);
        if (!BanCo::trongBanCo(nuoc.hangDi, nuoc.cotDi) || !BanCo::trongBanCo(nuoc.hangDen, nuoc.cotDen)) return false;
    }
    return true;
}

// The increment: whole seconds within the bound, read as one word so that
// "2.5" is refused rather than taken as 2; a refused value counts as absent.
bool docTang(std::istream& vao, VanDaLuu& van) {
    std::string tu;
    van.tang = -1;
    if (!docTu(vao, tu) || tu.empty() || tu.size() > 3 || tu.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int giay = std::stoi(tu);
    if (giay > GIAY_TANG_TOI_DA) return false;
    van.tang = giay;
    return true;
}

// A tag's value as one word: every byte an older reader would split on (or
// '%') written as %XX, behind a '=' that no key begins with, so that an older
// reader skips the line's three words.
std::string maHoaThe(const std::string& giaTri) {
    static const char HEX[] = "0123456789ABCDEF";
    std::string ra = "=";
    for (unsigned char c : giaTri) {
        if (c <= 0x20 || c == 0x7F || c == '%') {
            ra += '%';
            ra += HEX[c >> 4];
            ra += HEX[c & 15];
        } else {
            ra += static_cast<char>(c);
        }
    }
    return ra;
}

std::string giaiMaThe(const std::string& chu) {
    std::string ra;
    auto so = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    for (std::size_t i = 0; i < chu.size(); ++i) {
        if (chu[i] == '%' && i + 2 < chu.size() && so(chu[i + 1]) >= 0 && so(chu[i + 2]) >= 0) {
            ra += static_cast<char>(so(chu[i + 1]) * 16 + so(chu[i + 2]));
            i += 2;
        } else {
            ra += chu[i];
        }
    }
    return ra;
}

// "the Red =value": a tag name we keep and its value; anything else on the
// line is dropped. The line's value is read whole, never as keys.
bool docThe(std::istream& vao, VanDaLuu& van) {
    std::string dong;
    docHetDong(vao, dong, 4 * DAI_GIA_TRI_THE_TOI_DA + 64);
    std::istringstream tach(dong);
    std::string ten, giaTri;
    if (!(tach >> ten >> giaTri) || !laTheGiu(ten) || giaTri.empty() || giaTri[0] != '=') return true;
    const std::string sach = giaTriTheSach(giaiMaThe(giaTri.substr(1)));
    if (sach.empty()) return true;
    for (auto& [t, g] : van.the)
        if (t == ten) {
            g = sach;
            return true;
        }
    van.the.emplace_back(ten, sach);
    return true;
}

// Reads the value that follows `khoa`; false ends the reading.
bool docMotKhoa(std::istream& vao, const std::string& khoa, VanDaLuu& van) {
    if (khoa == "chedo") return docSo(vao, van.cheDo, 0, 2);
    if (khoa == "dokho") return docSo(vao, van.doKho);
    if (khoa == "pheng") return docSo(vao, van.pheNguoi, 0, 1);
    if (khoa == "giaymoi") return docSo(vao, van.giayMoi, INT32_MIN, GIAY_MOI_BEN_TOI_DA);
    if (khoa == "ketqua") return docSo(vao, van.ketQua, 0, 3);
    if (khoa == "chap") return docChap(vao, van);
    if (khoa == "nuoc") return docNuoc(vao, van);
    if (khoa == "giayden") return docSoTuyChon(vao, van.giayDen, GIAY_MOI_BEN_TOI_DA);
    if (khoa == "giaymoiben") return docSoTuyChon(vao, van.giayMoiBen, GIAY_MOI_BEN_TOI_DA);
    if (khoa == "dokhoden") return docSoTuyChon(vao, van.doKhoDen);
    if (khoa == "xinthua") return docCo(vao, van.xinThua);
    if (khoa == "miligiaydo") return docSo(vao, van.miliGiayDo, 0, MILI_GIAY_TOI_DA);
    if (khoa == "miligiayden") return docSo(vao, van.miliGiayDen, 0, MILI_GIAY_TOI_DA);
    if (khoa == "tamdung") return docCo(vao, van.tamDung);
    if (khoa == "luat") return docSo(vao, van.luat, 0, 1);
    if (khoa == "lydo") docHetDong(vao, van.lyDo, DAI_LY_DO_TOI_DA);
    if (khoa == "vandachoi") return docTu(vao, van.idDanhSach);
    if (khoa == "tang") return docTang(vao, van);
    if (khoa == "the") return docThe(vao, van);
    if (khoa == "nhap") return docCo(vao, van.nhapChuaDung);
    if (khoa == "fen") {
        // The rest of the line, less the blank after the key; no FEN of a
        // real position comes near the bound.
        docHetDong(vao, van.fen, DAI_FEN_TOI_DA);
        if (!van.fen.empty() && van.fen.front() == ' ') van.fen.erase(0, 1);
    }
    return true;  // "lydo", "fen" and unknown words
}

// The clock's increment, only when the game has one: older readers skip it.
void vietTang(std::ostream& ra, const VanDaLuu& van) {
    if (van.tang > 0) ra << "tang " << van.tang << '\n';
}

}  // namespace

std::string vietVanDaLuu(const VanDaLuu& van) {
    std::ostringstream ra;
    ra << DONG_DAU << '\n';
    ra << "chedo " << van.cheDo << '\n';
    ra << "dokho " << van.doKho << '\n';
    ra << "pheng " << van.pheNguoi << '\n';
    ra << "giaymoi " << van.giayMoi << '\n';
    ra << "chap " << van.chap.size() << '\n';
    for (const auto& [phe, ten] : van.chap) ra << static_cast<int>(phe) << ' ' << ten << '\n';
    ra << "nuoc " << van.nuoc.size() << '\n';
    for (const NuocDi& n : van.nuoc) ra << n.hangDi << ' ' << n.cotDi << ' ' << n.hangDen << ' ' << n.cotDen << '\n';
    ra << "ketqua " << van.ketQua << '\n';
    ra << "lydo " << van.lyDo << '\n';
    // Lines older versions do not write; their readers skip them.
    if (van.giayDen >= 0) ra << "giayden " << van.giayDen << '\n';
    if (van.giayMoiBen >= 0) ra << "giaymoiben " << van.giayMoiBen << '\n';
    if (van.doKhoDen >= 0) ra << "dokhoden " << van.doKhoDen << '\n';
    if (van.xinThua) ra << "xinthua 1\n";
    if (van.miliGiayDo >= 0) ra << "miligiaydo " << van.miliGiayDo << '\n';
    if (van.miliGiayDen >= 0) ra << "miligiayden " << van.miliGiayDen << '\n';
    if (van.tamDung) ra << "tamdung 1\n";
    if (!van.fen.empty()) ra << "fen " << van.fen << '\n';
    if (van.luat != 0) ra << "luat " << van.luat << '\n';
    if (!van.idDanhSach.empty()) ra << "vandachoi " << van.idDanhSach << '\n';
    vietTang(ra, van);
    for (const auto& [ten, giaTri] : van.the)
        if (laTheGiu(ten) && !giaTri.empty()) ra << "the " << ten << ' ' << maHoaThe(giaTriTheSach(giaTri)) << '\n';
    if (van.nhapChuaDung) ra << "nhap 1\n";
    return ra.str();
}

bool laTheGiu(const std::string& ten) {
    return std::any_of(std::begin(TEN_THE_GIU), std::end(TEN_THE_GIU), [&](const char* t) { return ten == t; });
}

std::string giaTriTheSach(const std::string& giaTri) {
    std::string ra;
    const std::size_t n = giaTri.size();
    for (std::size_t i = 0; i < n && ra.size() < DAI_GIA_TRI_THE_TOI_DA;) {
        const unsigned char c = static_cast<unsigned char>(giaTri[i]);
        // The length of the UTF-8 sequence c begins, 0 when it begins none.
        const std::size_t dai = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
                                : (c >= 0xF0 && c <= 0xF4)                ? 4
                                                                          : 0;
        bool hopLe = dai > 0 && i + dai <= n;
        for (std::size_t k = 1; hopLe && k < dai; ++k)
            hopLe = (static_cast<unsigned char>(giaTri[i + k]) & 0xC0) == 0x80;
        if (hopLe && dai >= 3) {
            // No overlong form, no surrogate, nothing past U+10FFFF.
            const unsigned char c1 = static_cast<unsigned char>(giaTri[i + 1]);
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
                (c == 0xF4 && c1 > 0x8F))
                hopLe = false;
        }
        if (!hopLe) {
            ra += '?';
            ++i;
            continue;
        }
        if (dai == 1 && (c < 0x20 || c == 0x7F)) {
            if (!ra.empty() && ra.back() != ' ') ra += ' ';
            ++i;
            continue;
        }
        if (c == ' ' && (ra.empty() || ra.back() == ' ')) {
            ++i;
            continue;
        }
        if (ra.size() + dai > DAI_GIA_TRI_THE_TOI_DA) break;
        ra.append(giaTri, i, dai);
        i += dai;
    }
    while (!ra.empty() && ra.back() == ' ') ra.pop_back();
    return ra;
}

bool docVanDaLuu(std::istream& vao, VanDaLuu& van) {
    std::string dong;
    // Room for the magic, a carriage return and one character more, so that
    // a longer first line can never pass for the magic.
    if (!docHetDong(vao, dong, std::char_traits<char>::length(DONG_DAU) + 2) || dong != DONG_DAU) return false;
    van = VanDaLuu{};
    std::string khoa;
    while (docTu(vao, khoa)) {
        if (docMotKhoa(vao, khoa, van)) continue;
        // A list cut short: its entries' lines would read as keys.
        if (khoa == "nuoc" || khoa == "chap") break;
        // One value refused: the rest of its line goes, the lines after it
        // still count (they hold the game's start, pause and list name).
        vao.clear();
        std::string boQua;
        docHetDong(vao, boQua, 0);
    }
    // The reason text follows its key after one blank, which is not part of it.
    if (!van.lyDo.empty() && van.lyDo.front() == ' ') van.lyDo.erase(0, 1);
    return true;
}
