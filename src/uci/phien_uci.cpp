#include "phien_uci.h"
#include "tim_kiem_cao_thu.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <new>
#include <sstream>

#ifndef TAVELIN_PHIEN_BAN
#define TAVELIN_PHIEN_BAN "dev"
#endif

namespace {

constexpr int32_t DIEM_CHIEU_HET = 900000, NGUONG_CHIEU_HET = 880000;
constexpr int32_t DO_SAU_TOI_DA = 64;
constexpr int HASH_TOI_DA = 1024;
constexpr int SO_DONG_TOI_DA = 5;
// A UCCI time above this many "seconds" is taken for milliseconds: a GUI
// that sends milliseconds without setting usemillisec (two hours is more than
// any game clock given in seconds).
constexpr int64_t GIAY_UCCI_TOI_DA = 7200;

std::vector<std::string> tachTu(const std::string& dong) {
    std::istringstream in(dong);
    std::vector<std::string> tu;
    for (std::string t; in >> t;) tu.push_back(t);
    return tu;
}

std::string chuHoa(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool docSo(const std::string& s, int64_t& so) {
    const auto [p, loi] = std::from_chars(s.data(), s.data() + s.size(), so);
    return loi == std::errc() && p == s.data() + s.size();
}

bool docDung(const std::string& s, bool& b) {
    const std::string c = chuHoa(s);
    if (c == "TRUE" || c == "ON" || c == "1") return b = true, true;
    if (c == "FALSE" || c == "OFF" || c == "0") return b = false, true;
    return false;
}

// UCI: "cp N", or "mate N" in moves (negative: the side to move is mated).
// UCCI: a bare number; a mate is 30000 less its plies.
std::string chuDiem(int32_t diem, bool ucci) {
    if (std::abs(diem) < NGUONG_CHIEU_HET) return (ucci ? "" : "cp ") + std::to_string(diem);
    const int32_t tang = DIEM_CHIEU_HET - std::abs(diem);
    if (ucci) return std::to_string((diem > 0 ? 1 : -1) * (30000 - tang));
    const int32_t nuoc = diem > 0 ? (tang + 1) / 2 : -(tang / 2);
    return "mate " + std::to_string(nuoc);
}

// The order the GUI lists them in: the strongest first.
const DoKho THU_TU_MUC[] = {CAO_THU, DE, TRUNG_BINH, KHO};
const char* tenMuc(DoKho m) {
    static const char* const TEN[] = {"DE", "TRUNG_BINH", "KHO", "CAO_THU"};
    return TEN[m];
}

// The time a fixed level may take with a clock: an even share of what is left (of
// what is left until the next time control), most of the increment, never
// more than half of what is left minus a margin for the pipes.
double nganSachGio(int64_t conLai, int64_t tang, int64_t soNuocToiKiem) {
    const double t = static_cast<double>(std::max<int64_t>(conLai, 0));
    const double phan = t / static_cast<double>(soNuocToiKiem > 0 ? std::min<int64_t>(soNuocToiKiem, 40) : 30) +
                        0.8 * static_cast<double>(std::max<int64_t>(tang, 0));
    return std::max(1.0, std::min(phan, t / 2 - 50));
}

int64_t tichTacSau(double ms) {
    const auto d = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double, std::milli>(ms));
    return (std::chrono::steady_clock::now() + d).time_since_epoch().count();
}

}  // namespace

PhienUCI::PhienUCI(std::function<void(const std::string&)> viet) : viet_(std::move(viet)) {
    theCo_.batDau();
    van_ = vanTu("", {});
    taoTuyChon();
}

PhienUCI::~PhienUCI() { dungTim(); }

void PhienUCI::noi(const std::string& dong) {
    std::lock_guard<std::mutex> khoa(khoaViet_);
    viet_(dong);
}

void PhienUCI::thaCho() {
    { std::lock_guard<std::mutex> khoa(khoaCho_); }
    cho_.notify_all();
}

void PhienUCI::dungTim() {
    dung_ = true;
    giuLai_ = false;
    thaCho();
    if (luong_.joinable()) luong_.join();
}

void PhienUCI::taoTuyChon() {
    auto soTrongKhoang = [](const std::string& ten, const std::string& giaTri, int64_t tu, int64_t den,
                            int64_t& ra) -> std::string {
        if (!docSo(giaTri, ra) || ra < tu || ra > den)
            return ten + " phai la so tu " + std::to_string(tu) + " den " + std::to_string(den) + ": " + giaTri;
        return "";
    };
    auto dung = [](const std::string& ten, const std::string& giaTri, bool& ra) -> std::string {
        if (!docDung(giaTri, ra)) return ten + " phai la true hoac false: " + giaTri;
        return "";
    };
    std::string muc = "combo default CAO_THU";
    for (const DoKho m : THU_TU_MUC) muc += std::string(" var ") + tenMuc(m);

    tuyChon_ = {
        {"Hash", "hashsize", "spin default 64 min 1 max " + std::to_string(HASH_TOI_DA),
         [this, soTrongKhoang](const std::string& g) {
             int64_t so = 0;
             std::string loi = soTrongKhoang("Hash", g, 1, HASH_TOI_DA, so);
             if (loi.empty()) cauHinh_.hashMB = static_cast<int>(so), chuanBiBang();
             return loi;
         }},
        {"Level", "level", muc,
         [this](const std::string& g) -> std::string {
             for (const DoKho m : THU_TU_MUC)
                 if (chuHoa(g) == tenMuc(m)) {
                     // Its table is made at the next isready (or go).
                     cauHinh_.doKho = m;
                     return "";
                 }
             return "Level phai la CAO_THU, DE, TRUNG_BINH hoac KHO: " + g;
         }},
        {"MultiPV", "multipv", "spin default 1 min 1 max " + std::to_string(SO_DONG_TOI_DA),
         [this, soTrongKhoang](const std::string& g) {
             int64_t so = 0;
             std::string loi = soTrongKhoang("MultiPV", g, 1, SO_DONG_TOI_DA, so);
             if (loi.empty()) cauHinh_.soDong = static_cast<int>(so);
             return loi;
         }},
        {"Repetition", "", "combo default CHAU_A var CHAU_A var BA_LAN",
         [this](const std::string& g) -> std::string {
             if (!luatTuTen(chuHoa(g), cauHinh_.luat)) return "Repetition phai la CHAU_A hoac BA_LAN: " + g;
             return "";
         }},
        {"Ponder", "ponder", "check default false",
         [this, dung](const std::string& g) { return dung("Ponder", g, cauHinh_.ponder); }},
        {"Variety", "variety", "check default false",
         [this, dung](const std::string& g) { return dung("Variety", g, cauHinh_.daDang); }},
        {"Move Overhead", "", "spin default 30 min 0 max 5000",
         [this, soTrongKhoang](const std::string& g) {
             return soTrongKhoang("Move Overhead", g, 0, 5000, cauHinh_.treMs);
         }},
        {"", "usemillisec", "check default false",
         [this, dung](const std::string& g) { return dung("usemillisec", g, cauHinh_.miliGiayUCCI); }},
        {"", "batch", "check default false",
         [this, dung](const std::string& g) { return dung("batch", g, cauHinh_.batch); }},
        {"", "newgame", "button",
         [this](const std::string&) -> std::string {
             xuLy("ucinewgame");
             return "";
         }},
    };
}

void PhienUCI::chuanBiBang() {
    if (dangTim_) return;
    if (luong_.joinable()) luong_.join();
    if (!timKiem_) timKiem_ = std::make_unique<TimKiem>();
    if (cauHinh_.doKho != CAO_THU) return;
    TimKiemCaoThu& ct = timKiem_->caoThu();
    ct.datCoBang(static_cast<size_t>(cauHinh_.hashMB));
    // The table holds a power of two of MiB, at most the size asked for.
    int mib = 1;
    while (mib * 2 <= cauHinh_.hashMB) mib *= 2;
    try {
        if (ct.capBangNgay()) baoLoi("bang bam " + std::to_string(mib) + " MB da cap");
    } catch (const std::bad_alloc&) {
        baoLoi("khong du bo nho cho bang bam " + std::to_string(cauHinh_.hashMB) + " MB: dung 16 MB");
        cauHinh_.hashMB = 16;
        ct.datCoBang(16);
        ct.capBangNgay();
    }
}

bool PhienUCI::xuLy(const std::string& dong) {
    const std::vector<std::string> tu = tachTu(dong);
    if (tu.empty()) return true;
    const std::string& lenh = tu[0];
    if (lenh == "quit") {
        dungTim();
        if (ucci_) noi("bye");
        return false;
    }
    if (lenh == "uci" || lenh == "ucci") {
        lenhUci(lenh == "ucci");
    } else if (lenh == "isready") {
        chuanBiBang();
        noi("readyok");
    } else if (lenh == "stop") {
        if (dangTim_ || luong_.joinable()) dungTim();
    } else if (lenh == "ponderhit") {
        if (dangPonder_.exchange(false)) {
            hanChot_ = tichTacSau(msSauPonder_);
            giuLai_ = false;
            thaCho();
        }
    } else if (lenh == "debug") {
        // No debug output to switch.
    } else if (lenh == "go") {
        if (dangTim_) baoLoi("dang tim nuoc: gui stop truoc go");
        else if (ucci_) lenhGoUcci(tu);
        else lenhGoUci(tu);
    } else if (lenh == "position") {
        lenhPosition(tu, 1);
    } else if (lenh == "fen" || lenh == "startpos") {
        // Adapters for Xiangqi GUIs leave "position" out.
        lenhPosition(tu, 0);
    } else if (lenh == "banmoves") {
        lenhBanMoves(tu);
    } else if (dangTim_ && (lenh == "setoption" || lenh == "ucinewgame")) {
        baoLoi("dang tim nuoc: gui stop truoc " + lenh);
    } else if (lenh == "setoption") {
        lenhSetOption(tu);
    } else if (lenh == "ucinewgame") {
        if (luong_.joinable()) luong_.join();
        if (timKiem_) timKiem_->vanMoi();
        theCo_.batDau();
        van_ = vanTu("", {});
        nuocCam_.clear();
        chuanBiBang();
    } else {
        baoLoi("lenh khong biet: " + lenh);
    }
    return true;
}

void PhienUCI::lenhUci(bool ucci) {
    ucci_ = ucci;
    noi(std::string("id name tavelin3d ") + TAVELIN_PHIEN_BAN);
    if (ucci) noi("id copyright tavelin3d");
    noi("id author tavelin3d");
    for (const TuyChon& t : tuyChon_) {
        if (ucci && !t.tenUcci.empty()) noi("option " + t.tenUcci + " type " + t.khaiBao);
        else if (!ucci && !t.ten.empty()) noi("option name " + t.ten + " type " + t.khaiBao);
    }
    noi(ucci ? "ucciok" : "uciok");
}

void PhienUCI::lenhSetOption(const std::vector<std::string>& tu) {
    auto giua = [&](size_t tuDau, size_t den) {
        std::string s;
        for (size_t i = tuDau; i < den; ++i) s += (s.empty() ? "" : " ") + tu[i];
        return s;
    };
    std::string ten, giaTri;
    if (tu.size() >= 3 && tu[1] == "name") {
        // UCI: setoption name <name words> [value <value words>]
        const size_t viTriValue = std::find(tu.begin(), tu.end(), "value") - tu.begin();
        ten = giua(2, viTriValue);
        giaTri = viTriValue < tu.size() ? giua(viTriValue + 1, tu.size()) : "";
    } else if (tu.size() >= 2 && tu[1] != "name") {
        // UCCI: setoption <name> [<value>]
        ten = tu[1];
        giaTri = giua(2, tu.size());
    } else {
        return baoLoi("setoption can: setoption name <ten> value <gia tri> (UCCI: setoption <ten> <gia tri>)");
    }
    const std::string tenHoa = chuHoa(ten);
    for (const TuyChon& t : tuyChon_) {
        if ((!t.ten.empty() && chuHoa(t.ten) == tenHoa) || (!t.tenUcci.empty() && chuHoa(t.tenUcci) == tenHoa)) {
            const std::string loi = t.dat(giaTri);
            if (!loi.empty()) baoLoi(loi);
            return;
        }
    }
    baoLoi("tuy chon khong biet: " + ten);
}

void PhienUCI::lenhPosition(const std::vector<std::string>& tu, size_t dau) {
    // [position] startpos|fen <FEN fields> [moves <move> ...]; checked whole
    // on a new position before it replaces the current one.
    const size_t viTriMoves = std::find(tu.begin() + static_cast<long>(dau), tu.end(), "moves") - tu.begin();
    uci::TheCo moi;
    std::string loi;
    std::string fen;
    if (tu.size() > dau && tu[dau] == "startpos" && viTriMoves == dau + 1) {
        moi.batDau();
    } else if (tu.size() > dau + 1 && tu[dau] == "fen" && viTriMoves > dau + 1) {
        for (size_t i = dau + 1; i < viTriMoves; ++i) fen += tu[i] + " ";
        if (!moi.datFEN(fen, loi)) return baoLoi("the co khong hop le: " + loi);
    } else {
        return baoLoi("position can: position startpos|fen <FEN> [moves ...]");
    }
    std::vector<NuocDi> cacNuoc;
    for (size_t i = viTriMoves + 1; i < tu.size(); ++i) {
        NuocDi n;
        if (!uci::docNuoc(tu[i], n)) return baoLoi("nuoc khong doc duoc: " + tu[i]);
        if (!moi.di(n)) return baoLoi("nuoc khong hop le: " + tu[i]);
        cacNuoc.push_back(n);
    }
    theCo_ = std::move(moi);
    van_ = vanTu(fen, cacNuoc);
    // Moves banned in one position say nothing about another.
    nuocCam_.clear();
}

void PhienUCI::lenhBanMoves(const std::vector<std::string>& tu) {
    std::vector<NuocDi> cam;
    for (size_t i = 1; i < tu.size(); ++i) {
        NuocDi n;
        if (!uci::docNuoc(tu[i], n)) return baoLoi("nuoc khong doc duoc: " + tu[i]);
        cam.push_back(n);
    }
    nuocCam_ = std::move(cam);
}

void PhienUCI::lenhGoUci(const std::vector<std::string>& tu) {
    static const char* const TEN_SO[] = {"wtime", "btime", "winc", "binc", "movestogo", "movetime",
                                         "depth", "nodes", "mate"};
    enum { WTIME, BTIME, WINC, BINC, MOVESTOGO, MOVETIME, DEPTH, NODES, MATE };
    int64_t so[9] = {};
    bool co[9] = {};
    LenhGo lg;
    for (size_t i = 1; i < tu.size(); ++i) {
        if (tu[i] == "infinite") {
            lg.voHan = true;
            continue;
        }
        if (tu[i] == "ponder") {
            lg.ponder = true;
            continue;
        }
        if (tu[i] == "searchmoves") {
            // The moves up to the next keyword.
            NuocDi n;
            while (i + 1 < tu.size() && uci::docNuoc(tu[i + 1], n)) {
                lg.chiNuoc.push_back(n);
                ++i;
            }
            if (lg.chiNuoc.empty()) return baoLoi("go searchmoves can it nhat mot nuoc");
            continue;
        }
        const auto it = std::find(std::begin(TEN_SO), std::end(TEN_SO), tu[i]);
        if (it == std::end(TEN_SO)) return baoLoi("go khong biet: " + tu[i]);
        const size_t k = static_cast<size_t>(it - std::begin(TEN_SO));
        if (i + 1 >= tu.size() || !docSo(tu[i + 1], so[k])) return baoLoi("go " + tu[i] + " can mot so nguyen");
        co[k] = true;
        ++i;
    }
    if (co[DEPTH] && so[DEPTH] < 1) return baoLoi("go depth phai tu 1 tro len");
    if (co[NODES] && so[NODES] < 1) return baoLoi("go nodes phai tu 1 tro len");
    if (co[MATE] && so[MATE] < 1) return baoLoi("go mate phai tu 1 tro len");
    if (co[MOVETIME] && so[MOVETIME] < 0) return baoLoi("go movetime khong duoc am");
    const bool laDo = theCo_.luot == DO;
    if (co[DEPTH]) lg.doSau = so[DEPTH];
    if (co[NODES]) lg.soNut = so[NODES];
    if (co[MATE]) lg.chieuHet = so[MATE];
    if (co[MOVETIME]) lg.miliGiay = so[MOVETIME];
    if (co[laDo ? WTIME : BTIME]) lg.conLai = so[laDo ? WTIME : BTIME];
    lg.tang = so[laDo ? WINC : BINC];
    lg.soNuocToiKiem = so[MOVESTOGO];
    batDauTim(std::move(lg));
}

void PhienUCI::lenhGoUcci(const std::vector<std::string>& tu) {
    // go [ponder|draw] depth N|infinite | nodes N | time T [movestogo N | increment T]
    //    [opptime T [oppmovestogo N | oppincrement T]]
    LenhGo lg;
    // Seconds unless usemillisec was set; a figure too large for seconds is milliseconds.
    auto raMiliGiay = [this](int64_t t) { return cauHinh_.miliGiayUCCI || t > GIAY_UCCI_TOI_DA ? t : t * 1000; };
    int64_t thoiGian = -1, tang = 0;
    bool coTang = false, coDoSau = false, coSoNut = false;
    for (size_t i = 1; i < tu.size(); ++i) {
        const std::string& t = tu[i];
        if (t == "ponder") lg.ponder = true;
        else if (t == "draw") continue;  // the opponent offers a draw: this engine plays on
        else if (t == "infinite") lg.voHan = true;
        else if (t == "depth" && i + 1 < tu.size() && tu[i + 1] == "infinite") lg.voHan = true, ++i;
        else {
            static const char* const TEN[] = {"depth", "nodes", "time", "movestogo", "increment",
                                              "opptime", "oppmovestogo", "oppincrement"};
            if (std::find(std::begin(TEN), std::end(TEN), t) == std::end(TEN)) return baoLoi("go khong biet: " + t);
            int64_t so = 0;
            if (i + 1 >= tu.size() || !docSo(tu[i + 1], so) || so < 0) return baoLoi("go " + t + " can mot so nguyen");
            ++i;
            if (t == "depth") lg.doSau = so, coDoSau = true;
            else if (t == "nodes") lg.soNut = so, coSoNut = true;
            else if (t == "time") thoiGian = so;
            else if (t == "movestogo") lg.soNuocToiKiem = so;
            else if (t == "increment") tang = so, coTang = true;
            // The opponent's clock does not change how long this side thinks.
        }
    }
    if (coSoNut && lg.soNut < 1) return baoLoi("go nodes phai tu 1 tro len");
    if (coDoSau && lg.doSau < 1) return baoLoi("go depth phai tu 1 tro len");
    if (thoiGian >= 0) {
        lg.conLai = raMiliGiay(thoiGian);
        if (coTang) lg.tang = cauHinh_.miliGiayUCCI || thoiGian > GIAY_UCCI_TOI_DA ? tang : tang * 1000;
    }
    batDauTim(std::move(lg));
}

void PhienUCI::traLoiKhongNuoc() {
    if (ucci_) noi("nobestmove");
    else noi("bestmove (none)");
}

std::string PhienUCI::dongInfo(const TimKiem::BaoCaoVong& b, size_t dong, int32_t diem,
                               const std::vector<NuocDi>& pv) const {
    std::ostringstream s;
    const int64_t ms = static_cast<int64_t>(b.giay * 1000);
    s << "info depth " << b.doSau;
    if (ucci_) {
        s << " score " << chuDiem(diem, true) << " time " << ms << " nodes " << b.soNut;
    } else {
        s << " seldepth " << b.tangSauNhat;
        if (dong > 0) s << " multipv " << dong;
        s << " score " << chuDiem(diem, false) << " nodes " << b.soNut << " nps "
          << static_cast<int64_t>(static_cast<double>(b.soNut) / std::max(b.giay, 0.001)) << " time " << ms;
    }
    s << " pv";
    for (const NuocDi& n : pv) s << ' ' << uci::vietNuoc(n);
    return s.str();
}

std::unique_ptr<VanCo> PhienUCI::vanTu(const std::string& fen, const std::vector<NuocDi>& nuoc) {
    auto van = std::make_unique<VanCo>();
    van->boQuaPhanQuyet = true;
    std::string loi;
    if (!fen.empty()) van->datTheCoDau(fen, loi);
    for (const NuocDi& n : nuoc) van->thuDoNuoc(n);
    return van;
}

void PhienUCI::batDauTim(LenhGo lg) {
    const Phe luot = theCo_.luot;
    // The moves this search may play: searchmoves, less UCCI's banned moves.
    const DanhSachNuoc hopLe = theCo_.ban->nuocDiHopLe(luot);
    std::vector<NuocDi> duocDi;
    for (const NuocDi& n : hopLe) {
        const bool chon = lg.chiNuoc.empty() || std::find(lg.chiNuoc.begin(), lg.chiNuoc.end(), n) != lg.chiNuoc.end();
        const bool cam = std::find(nuocCam_.begin(), nuocCam_.end(), n) != nuocCam_.end();
        if (chon && !cam) duocDi.push_back(n);
    }
    const bool locNuoc = duocDi.size() != hopLe.size();
    nuocCam_.clear();
    if (duocDi.empty()) {
        baoLoi(hopLe.empty() ? "ben di khong con nuoc nao" : "khong con nuoc nao duoc phep tim");
        // An answer held for "stop" would be out of place here: the GUI learns at once.
        traLoiKhongNuoc();
        return;
    }

    const CauHinh ch = cauHinh_;
    const bool caoThu = ch.doKho == CAO_THU;
    TimKiem::GioiHan gh;
    // The level's own depth and time unless the command says otherwise; with
    // only a depth, a node budget, a mate to find or no end at all ("infinite",
    // or pondering at CAO_THU), no clock.
    if (lg.doSau > 0) gh.doSau = static_cast<int32_t>(std::min<int64_t>(lg.doSau, DO_SAU_TOI_DA));
    if (lg.chieuHet > 0) {
        // Mate in N: 2N - 1 plies, and two more for what the pruning hides.
        const int64_t d = std::min<int64_t>(2 * lg.chieuHet + 1, DO_SAU_TOI_DA);
        gh.doSau = gh.doSau > 0 ? std::min<int32_t>(gh.doSau, static_cast<int32_t>(d)) : static_cast<int32_t>(d);
    }
    const bool khongGioiHan = lg.voHan || (lg.ponder && caoThu);
    if (khongGioiHan && gh.doSau == 0) gh.doSau = DO_SAU_TOI_DA;
    const double tre = static_cast<double>(ch.treMs);
    double nganSach = 0;  // a clock's share, in ms (0: none)
    if (lg.miliGiay >= 0) {
        nganSach = std::max(1.0, static_cast<double>(lg.miliGiay) - tre);
    } else if (lg.conLai >= 0) {
        // A fixed level never thinks longer than in the game; the
        // strength-first level uses the clock's budget.
        nganSach = nganSachGio(lg.conLai - ch.treMs, lg.tang, lg.soNuocToiKiem);
        if (!caoThu) nganSach = std::min(nganSach, thamSoDoKho(ch.doKho).thoiGianToiDa);
    }
    if (khongGioiHan) {
        gh.miliGiay = std::numeric_limits<double>::infinity();
    } else if (nganSach > 0) {
        gh.miliGiay = nganSach;
    } else if (lg.doSau > 0 || lg.soNut > 0 || lg.chieuHet > 0) {
        gh.miliGiay = std::numeric_limits<double>::infinity();
    }
    // The strength-first level budgets a clock itself: a soft limit that
    // follows how settled the search is, and a hard one.
    if (caoThu && lg.miliGiay < 0 && lg.conLai >= 0) {
        gh.dongHo.msConLai = static_cast<double>(lg.conLai);
        gh.dongHo.msTang = static_cast<double>(lg.tang);
        gh.dongHo.soNuocToiKiem = lg.soNuocToiKiem;
        gh.dongHo.msTre = tre;
        nganSach = quanLyThoiGian::tinh(gh.dongHo).msMem;
    }
    // After "ponderhit" a pondering CAO_THU search has the clock's share, or
    // the level's own budget without a clock, from that moment.
    msSauPonder_ = nganSach > 0 ? nganSach : TimKiemCaoThu::gioiHanTheoDongHo(-1).msCung;
    hanChot_ = INT64_MAX;
    if (lg.ponder && caoThu) gh.hanChot = &hanChot_;
    if (lg.soNut > 0) gh.soNut = lg.soNut;
    if (locNuoc) gh.chiNuoc = duocDi;
    gh.soDong = ch.soDong;
    gh.daDang = ch.daDang;
    gh.dung = &dung_;

    // The search thread alone writes and reads the last line shown.
    auto dongCuoi = std::make_shared<std::vector<NuocDi>>();
    gh.baoCao = [this, dongCuoi](const TimKiem::BaoCaoVong& b) {
        if (b.cacDong.size() > 1) {
            for (size_t j = 0; j < b.cacDong.size(); ++j)
                noi(dongInfo(b, j + 1, b.cacDong[j].first, b.cacDong[j].second));
        } else {
            noi(dongInfo(b, 0, b.diem, b.duongChinh));
        }
        *dongCuoi = b.duongChinh;
    };

    if (luong_.joinable()) luong_.join();
    chuanBiBang();
    if (!timKiem_) timKiem_ = std::make_unique<TimKiem>();
    van_->datLuat(cauHinh_.luat);
    van_->datLuatChoMay(*timKiem_);
    dung_ = false;
    giuLai_ = lg.voHan || lg.ponder;
    dangPonder_ = lg.ponder;
    dangTim_ = true;
    luong_ = std::thread([this, ban = std::shared_ptr<BanCo>(theCo_.ban->saoChepTheCo()), luot,
                          truoc = theCo_.viTriTruoc(), gh = std::move(gh), doKho = ch.doKho, dongCuoi,
                          giayConLai = lg.conLai >= 0 ? static_cast<double>(lg.conLai) / 1000.0 : -1.0]() mutable {
        TimKiem::ThongKe tk;
        timKiem_->datGioiHan(std::move(gh));
        const NuocDi n = timKiem_->timNuocDi(*ban, luot, doKho, tk, truoc, giayConLai);
        timKiem_->datGioiHan({});
        // The move played is the first of the last line shown: a move played
        // unsearched (the only one), or chosen by a level's random choice,
        // gets a line of its own.
        if (dongCuoi->empty() || !(dongCuoi->front() == n)) {
            TimKiem::BaoCaoVong b;
            b.doSau = tk.doSau;
            b.tangSauNhat = tk.doSau;
            b.diem = tk.diem;
            b.soNut = tk.soNut;
            b.giay = tk.giay;
            b.duongChinh = {n};
            noi(dongInfo(b, 0, b.diem, b.duongChinh));
            *dongCuoi = b.duongChinh;
        }
        // "infinite" and "ponder" answer only after "stop" (or "ponderhit"),
        // even when the search ends first.
        {
            std::unique_lock<std::mutex> khoa(khoaCho_);
            cho_.wait(khoa, [&] { return !giuLai_.load(); });
        }
        dangPonder_ = false;
        std::string traLoi = "bestmove " + uci::vietNuoc(n);
        if (dongCuoi->size() >= 2) traLoi += " ponder " + uci::vietNuoc((*dongCuoi)[1]);
        // Free before the answer, so that a "go" sent as soon as the GUI
        // reads it is taken (it waits for this thread to end).
        dangTim_ = false;
        noi(traLoi);
    });
}
