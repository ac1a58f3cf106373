#include "pgn.h"

#include <cctype>
#include <ctime>
#include <mutex>

#include "ban_co.h"
#include "fen.h"
#include "van_co.h"  // the results and levels

namespace {

constexpr std::size_t DONG_TOI_DA = 80;
// What a tag of ours can hold; a foreign file's longer tags are cut, and
// its tags beyond the count are ignored.
constexpr std::size_t DAI_THE_TOI_DA = 256;
constexpr std::size_t SO_THE_TOI_DA = 64;
constexpr std::size_t DAI_LY_DO_TOI_DA = 1024;

const char* const TEN_NGUOI = "Người";

// A level a game file cannot hold is written as the default one.
const char* tenMuc(DoKho d) { return d >= DE && d <= CAO_THU ? tenDoKhoViet(d) : tenDoKhoViet(TRUNG_BINH); }

std::string tenMay(DoKho d) { return std::string("Máy (") + tenMuc(d) + ")"; }

std::string tenBen(const VanDaLuu& van, Phe phe) {
    const bool laMay = van.cheDo == MAY_MAY || (van.cheDo == NGUOI_MAY && van.pheNguoi != phe);
    const int muc = phe == DEN && van.doKhoDen >= 0 ? van.doKhoDen : van.doKho;
    return laMay ? tenMay(static_cast<DoKho>(muc)) : TEN_NGUOI;
}

// "Máy (Khó)" gives KHO; a person or anyone else nothing.
bool mucTuTen(const std::string& ten, DoKho& muc) {
    for (DoKho d : {DE, TRUNG_BINH, KHO, CAO_THU}) {
        if (ten == tenMay(d)) {
            muc = d;
            return true;
        }
    }
    return false;
}

const char* chuKetQua(int k) {
    switch (k) {
    case DO_THANG: return "1-0";
    case DEN_THANG: return "0-1";
    case HOA: return "1/2-1/2";
    default: return "*";
    }
}

bool laKetQua(const std::string& t) { return t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*"; }

// Characters, not bytes: a UTF-8 continuation byte starts none.
std::size_t soKyTu(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

std::string giaTriThe(const std::string& s) {
    std::string ra;
    for (char c : s) {
        if (c == '\n' || c == '\r') c = ' ';
        if (c == '"' || c == '\\') ra += '\\';
        ra += c;
    }
    return ra;
}

// Words put on lines of at most DONG_TOI_DA characters (a longer word alone).
class DongChu {
public:
    void them(const std::string& tu) {
        if (!dong_.empty() && soKyTu(dong_) + 1 + soKyTu(tu) > DONG_TOI_DA) xuongDong();
        if (!dong_.empty()) dong_ += ' ';
        dong_ += tu;
    }
    std::string het() {
        xuongDong();
        return std::move(ra_);
    }

private:
    std::string ra_, dong_;
    void xuongDong() {
        if (dong_.empty()) return;
        ra_ += dong_ + '\n';
        dong_.clear();
    }
};

// The side to move in a FEN (red unless it says "b").
Phe luotTrongFEN(const std::string& fen) {
    const std::size_t cach = fen.find(' ');
    return cach != std::string::npos && fen.compare(cach + 1, 1, "b") == 0 ? DEN : DO;
}

// The position and side of two FENs, whatever fields follow them.
bool cungTheCo(const std::string& a, const std::string& b) {
    auto dau = [](const std::string& f) {
        const std::size_t cach = f.find(' ');
        return cach == std::string::npos ? f + " w" : f.substr(0, std::min(f.size(), cach + 2));
    };
    std::string x = dau(a), y = dau(b);
    for (std::string* s : {&x, &y})
        if (s->back() == 'r') s->back() = 'w';
    return x == y;
}

// The reader's view of the text: one character at a time, never past its end.
class Doc {
public:
    explicit Doc(const std::string& s) : s_(s) {
        if (s_.compare(0, 3, "\xEF\xBB\xBF") == 0) i_ = 3;  // a byte-order mark
    }
    bool het() const { return i_ >= s_.size(); }
    char xem() const { return het() ? '\0' : s_[i_]; }
    char lay() { return het() ? '\0' : s_[i_++]; }
    void boTrang() {
        while (!het() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    // The rest of the line, newline included.
    void boDong() {
        while (!het() && s_[i_] != '\n') ++i_;
        if (!het()) ++i_;
    }
    // Whether the current character starts a line.
    bool dauDong() const { return i_ == 0 || s_[i_ - 1] == '\n' || s_[i_ - 1] == '\r'; }

private:
    const std::string& s_;
    std::size_t i_ = 0;
};

// [Name "value"]; false for a malformed tag.
bool docThe(Doc& d, VanPGN& van) {
    d.lay();  // '['
    d.boTrang();
    std::string ten;
    while (!d.het() && (std::isalnum(static_cast<unsigned char>(d.xem())) || d.xem() == '_'))
        if (ten.size() < DAI_THE_TOI_DA) ten += d.lay();
        else d.lay();
    d.boTrang();
    if (ten.empty() || d.lay() != '"') return false;
    std::string giaTri;
    for (;;) {
        if (d.het() || d.xem() == '\n') return false;
        char c = d.lay();
        if (c == '"') break;
        if (c == '\\' && (d.xem() == '"' || d.xem() == '\\')) c = d.lay();
        if (giaTri.size() < DAI_THE_TOI_DA) giaTri += c;
    }
    d.boTrang();
    if (d.lay() != ']') return false;
    if (van.the.size() < SO_THE_TOI_DA) van.the.emplace_back(std::move(ten), std::move(giaTri));
    return true;
}

// "h2e2", "H2-E2", with an optional check or annotation mark after it.
bool docNuocICCS(std::string t, NuocDi& nuoc) {
    while (!t.empty() && (t.back() == '+' || t.back() == '#' || t.back() == '!' || t.back() == '?')) t.pop_back();
    if (t.size() == 5 && t[2] == '-') t.erase(2, 1);
    if (t.size() != 4) return false;
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto cot = [](char c) { return c >= 'a' && c <= 'i' ? c - 'a' : -1; };
    auto hang = [](char c) { return c >= '0' && c <= '9' ? 9 - (c - '0') : -1; };
    nuoc = NuocDi{hang(t[1]), cot(t[0]), hang(t[3]), cot(t[2])};
    return nuoc.cotDi >= 0 && nuoc.hangDi >= 0 && nuoc.cotDen >= 0 && nuoc.hangDen >= 0;
}

// A move number ("12.", "12...") in front of a token is dropped.
std::string boSoNuoc(const std::string& t) {
    std::size_t i = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    if (i == 0 || i == t.size() || t[i] != '.') return t;
    while (i < t.size() && t[i] == '.') ++i;
    return t.substr(i);
}

std::string gonKhoangTrang(const std::string& s) {
    std::string ra;
    for (char c : s) {
        const bool trang = std::isspace(static_cast<unsigned char>(c));
        if (trang && (ra.empty() || ra.back() == ' ')) continue;
        ra += trang ? ' ' : c;
    }
    if (!ra.empty() && ra.back() == ' ') ra.pop_back();
    return ra;
}

// A handicap start, as the game names it: the normal start with some
// pieces taken off, in the order the game takes them. False for any other
// position (a piece off its starting point, black to move).
bool chapTuFEN(const std::string& fen, std::vector<std::pair<Phe, std::string>>& chap) {
    BanCo ban, dau;
    Phe luot = DO;
    std::string loi;
    if (!docFEN(fen, ban, luot, loi) || luot != DO) return false;
    dau.khoiTaoMacDinh();
    chap.clear();
    for (const auto& q : dau.dsQuan) {
        const QuanCo* o = ban.timQuan(q->hang, q->cot);
        if (!o) chap.emplace_back(q->phe, q->ten());
        else if (o->phe != q->phe || o->loai() != q->loai()) return false;
    }
    BanCo thu;
    thu.khoiTaoMacDinh();
    for (const auto& [phe, ten] : chap)
        if (const QuanCo* quan = thu.timQuanTheoTen(phe, ten)) thu.boQuan(quan->hang, quan->cot);
    return vietFEN(thu, DO) == vietFEN(ban, DO);
}

// [TimeControl] in the standard form: the seconds per side, and "+" and
// the seconds added per move when the game has an increment.
std::string chuThoiGian(const VanDaLuu& van) {
    std::string tc = std::to_string(van.giayCaiDat());
    if (van.tang > 0) tc += "+" + std::to_string(van.tang);
    return tc;
}

// Whole seconds, at most `toiDa`; false for anything else (empty included).
bool docGiay(const std::string& chu, int toiDa, int& giay) {
    giay = 0;
    if (chu.empty()) return false;
    for (char c : chu)
        if (!std::isdigit(static_cast<unsigned char>(c)) || (giay = giay * 10 + (c - '0')) > toiDa) return false;
    return true;
}

// "600" or "300+5". A time control no game of ours can have (another form,
// a base or an increment beyond the bounds) is no clock at all.
void docThoiGian(const std::string& tc, int& giay, int& tang) {
    const std::size_t cong = tc.find('+');
    bool duoc = docGiay(tc.substr(0, cong), GIAY_MOI_BEN_TOI_DA, giay);
    tang = 0;
    if (duoc && cong != std::string::npos) duoc = docGiay(tc.substr(cong + 1), GIAY_TANG_TOI_DA, tang);
    if (!duoc || giay == 0) giay = tang = 0;
}

}  // namespace

bool laTheCuaTa(const std::string& ten, const std::string& giaTri) {
    DoKho boQua;
    return giaTri.empty() || giaTri == "?" || (ten == "Event" && giaTri == "tavelin3d") ||
           ((ten == "Red" || ten == "Black") && (giaTri == TEN_NGUOI || mucTuTen(giaTri, boQua)));
}

std::string VanPGN::giaTri(const std::string& ten) const {
    for (const auto& [t, g] : the)
        if (t == ten) return g;
    return {};
}

std::string fenChuan() {
    BanCo ban;
    ban.khoiTaoMacDinh();
    return vietFEN(ban, DO);
}

std::string ngayHomNay() {
    static std::mutex khoa;
    const std::time_t bayGio = std::time(nullptr);
    char du[16] = "????.??.??";
    std::lock_guard<std::mutex> k(khoa);
    if (const std::tm* t = std::localtime(&bayGio)) std::strftime(du, sizeof du, "%Y.%m.%d", t);
    return du;
}

std::string fenDauCua(const VanDaLuu& van) {
    if (!van.fen.empty()) return van.fen;
    BanCo ban;
    ban.khoiTaoMacDinh();
    for (const auto& [phe, ten] : van.chap)
        if (const QuanCo* quan = ban.timQuanTheoTen(phe, ten)) ban.boQuan(quan->hang, quan->cot);
    return vietFEN(ban, DO);
}

VanPGN pgnCuaVan(const VanDaLuu& van, const std::string& ngay) {
    const std::string fenDau = fenDauCua(van);
    auto the = [&](const char* ten, const std::string& macDinh) {
        for (const auto& [t, g] : van.the)
            if (t == ten && !g.empty()) return g;
        return macDinh;
    };
    // While the player has not played on from an imported game, its file's
    // result stands (a resignation the moves do not show, say).
    std::string ketQua = chuKetQua(van.ketQua);
    if (van.ketQua == DANG_CHOI && van.nhapChuaDung && laKetQua(the("Result", ""))) ketQua = the("Result", "");
    VanPGN ra;
    // The seven standard tags first, in their standard order, then ours.
    ra.the = {{"Event", the("Event", "tavelin3d")},
              {"Site", the("Site", "?")},
              {"Date", the("Date", ngay)},
              {"Round", the("Round", "?")},
              {"Red", the("Red", tenBen(van, DO))},
              {"Black", the("Black", tenBen(van, DEN))},
              {"Result", ketQua},
              {"Variant", "xiangqi"},
              {"Game", "Chinese Chess"}};
    if (van.giayCaiDat() > 0) ra.the.emplace_back("TimeControl", chuThoiGian(van));
    if (!cungTheCo(fenDau, fenChuan())) ra.the.emplace_back("FEN", fenDau);
    ra.the.emplace_back("Format", "ICCS");
    if (van.luat == CHAU_A) ra.the.emplace_back("Rules", TEN_THE_LUAT_CHAU_A);
    ra.nuoc = van.nuoc;
    ra.ketQua = ketQua;
    if (van.ketQua != DANG_CHOI) ra.lyDo = van.lyDo;
    return ra;
}

std::string vietPGN(const VanPGN& van) {
    std::string ra;
    for (const auto& [ten, giaTri] : van.the) ra += "[" + ten + " \"" + giaTriThe(giaTri) + "\"]\n";
    ra += '\n';
    DongChu dong;
    const int lech = luotTrongFEN(van.fen()) == DEN ? 1 : 0;
    for (std::size_t k = 0; k < van.nuoc.size(); ++k) {
        const std::size_t j = k + lech;
        const std::string so = std::to_string(j / 2 + 1);
        const NuocDi& n = van.nuoc[k];
        const std::string nuoc = tenOICCS(n.hangDi, n.cotDi) + tenOICCS(n.hangDen, n.cotDen);
        if (j % 2 == 0) dong.them(so + ". " + nuoc);
        else if (k == 0) dong.them(so + "... " + nuoc);
        else dong.them(nuoc);
    }
    std::string lyDo = gonKhoangTrang(van.lyDo);
    if (!lyDo.empty()) {
        for (char& c : lyDo) {
            if (c == '{') c = '(';
            if (c == '}') c = ')';
        }
        // Word by word, so that a long reason wraps like the moves.
        std::string tu;
        bool dau = true;
        for (std::size_t i = 0; i <= lyDo.size(); ++i) {
            if (i < lyDo.size() && lyDo[i] != ' ') {
                tu += lyDo[i];
                continue;
            }
            if (i == lyDo.size()) tu += '}';
            dong.them((dau ? "{" : "") + tu);
            dau = false;
            tu.clear();
        }
    }
    dong.them(van.ketQua);
    return ra + dong.het();
}

bool docPGN(const std::string& vanBan, VanPGN& van, std::string& loi) {
    van = VanPGN{};
    Doc d(vanBan);
    bool coNuoc = false, coKetQua = false;
    std::string binhLuanCuoi;
    for (;;) {
        d.boTrang();
        if (d.het()) break;
        const char c = d.xem();
        if (c == '[') {
            // A tag after the moves begins the next game.
            if (coNuoc || coKetQua) break;
            if (!docThe(d, van)) {
                loi = "thẻ hỏng";
                return false;
            }
            continue;
        }
        if (c == '%' && d.dauDong()) {
            d.boDong();
            continue;
        }
        if (c == ';') {
            d.boDong();
            continue;
        }
        if (c == '{') {
            d.lay();
            std::string bl;
            while (!d.het() && d.xem() != '}')
                if (bl.size() < DAI_LY_DO_TOI_DA) bl += d.lay();
                else d.lay();
            if (d.lay() != '}') {
                loi = "lời bình không đóng";
                return false;
            }
            binhLuanCuoi = gonKhoangTrang(bl);
            continue;
        }
        if (c == '(') {
            // A variation, nested or not, is not part of the game.
            int sau = 0;
            do {
                const char x = d.lay();
                if (x == '(') ++sau;
                if (x == ')') --sau;
                if (x == '{')
                    while (!d.het() && d.lay() != '}') {
                    }
            } while (sau > 0 && !d.het());
            if (sau > 0) {
                loi = "nhánh không đóng";
                return false;
            }
            continue;
        }
        std::string tu;
        while (!d.het() && !std::isspace(static_cast<unsigned char>(d.xem())) && d.xem() != '{' && d.xem() != '(' &&
               d.xem() != ';')
            if (tu.size() < DAI_THE_TOI_DA) tu += d.lay();
            else d.lay();
        if (tu.empty()) {
            // A character that begins no token: a stray ')' or '}'.
            loi = std::string("ký tự lạ '") + d.lay() + "'";
            return false;
        }
        if (laKetQua(tu)) {
            van.ketQua = tu;
            van.lyDo = binhLuanCuoi;
            coKetQua = true;
            break;
        }
        tu = boSoNuoc(tu);
        // A bare move number, or an annotation glyph.
        if (tu.empty() || tu[0] == '$' || tu.find_first_not_of("0123456789.") == std::string::npos) continue;
        NuocDi nuoc;
        if (!docNuocICCS(tu, nuoc)) {
            loi = "không đọc được \"" + tu + "\" (nước " + std::to_string(van.nuoc.size() + 1) + ")";
            return false;
        }
        if (van.nuoc.size() >= TOI_DA_NUOC) {
            loi = "quá nhiều nước";
            return false;
        }
        van.nuoc.push_back(nuoc);
        binhLuanCuoi.clear();
        coNuoc = true;
    }
    const std::string kieu = van.giaTri("Format");
    if (!kieu.empty() && kieu != "ICCS") {
        loi = "nước đi không ở dạng ICCS (" + kieu + ")";
        return false;
    }
    if (van.the.empty() && !coNuoc && !coKetQua) {
        loi = "không phải tệp PGN";
        return false;
    }
    // A file cut short keeps the result of its tag.
    if (!coKetQua) {
        const std::string the = van.giaTri("Result");
        if (laKetQua(the)) van.ketQua = the;
    }
    return true;
}

int nuocSaiPGN(const VanPGN& van, std::string& loi) {
    BanCo ban;
    Phe luot = DO;
    if (van.fen().empty()) {
        ban.khoiTaoMacDinh();
    } else if (!docTheCo(van.fen(), ban, luot, loi)) {
        loi = "thế cờ đầu không chơi được: " + loi;
        return -2;
    }
    for (std::size_t i = 0; i < van.nuoc.size(); ++i) {
        if (!ban.laNuocHopLe(luot, van.nuoc[i])) return static_cast<int>(i);
        ban.thuNuocDi(van.nuoc[i]);
        luot = pheDoiPhuong(luot);
    }
    return -1;
}

VanDaLuu vanDaLuuTuPGN(const VanPGN& van) {
    VanDaLuu ra;
    DoKho mucDo = TRUNG_BINH, mucDen = TRUNG_BINH;
    const bool mayDo = mucTuTen(van.giaTri("Red"), mucDo);
    const bool mayDen = mucTuTen(van.giaTri("Black"), mucDen);
    if (mayDo && mayDen) {
        ra.cheDo = MAY_MAY;
    } else if (mayDo || mayDen) {
        ra.cheDo = NGUOI_MAY;
        ra.pheNguoi = mayDo ? DEN : DO;
        if (mayDo) mucDen = mucDo;
        else mucDo = mucDen;
    } else {
        ra.cheDo = NGUOI_NGUOI;
    }
    ra.doKho = mucDo;
    ra.doKhoDen = mucDen;
    int giay = 0, tang = 0;
    docThoiGian(van.giaTri("TimeControl"), giay, tang);
    ra.giayMoi = ra.giayMoiBen = giay;
    ra.giayDen = giay;
    if (tang > 0) ra.tang = tang;
    // A handicap comes back as one, any other start as the position it is.
    if (!van.fen().empty() && !cungTheCo(van.fen(), fenChuan()) && !chapTuFEN(van.fen(), ra.chap)) ra.fen = van.fen();
    ra.luat = van.giaTri("Rules") == TEN_THE_LUAT_CHAU_A ? CHAU_A : BA_LAN;
    // The tags that are not the program's own words come back with the game,
    // so that its export and its file keep them; its date only with them (a
    // game of ours is dated by its file), its result never (the moves and
    // the result give the game's own).
    for (const char* ten : TEN_THE_GIU) {
        const std::string g = giaTriTheSach(van.giaTri(ten));
        if (std::string(ten) != "Date" && std::string(ten) != "Result" && !laTheCuaTa(ten, g)) ra.the.emplace_back(ten, g);
    }
    if (!ra.the.empty())
        if (const std::string ngay = giaTriTheSach(van.giaTri("Date")); !ngay.empty() && ngay != "?")
            ra.the.emplace_back("Date", ngay);
    ra.nuoc = van.nuoc;
    ra.ketQua = van.ketQua == "1-0" ? DO_THANG : van.ketQua == "0-1" ? DEN_THANG : van.ketQua == "1/2-1/2" ? HOA : 0;
    if (ra.ketQua != DANG_CHOI) {
        ra.lyDo = van.lyDo;
        // A resignation is taken back alone by an undo, as in the game.
        ra.xinThua = (ra.ketQua == DEN_THANG && van.lyDo == VanCo::lyDoXinThua(DO)) ||
                     (ra.ketQua == DO_THANG && van.lyDo == VanCo::lyDoXinThua(DEN));
    }
    return ra;
}
