#include "phien_uci.h"
#include "tim_kiem_cao_thu.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#ifndef TAVELIN_PHIEN_BAN
#define TAVELIN_PHIEN_BAN "dev"
#endif

namespace {

constexpr int32_t DIEM_CHIEU_HET = 900000, NGUONG_CHIEU_HET = 880000;
constexpr int32_t DO_SAU_TOI_DA = 64;

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

// "cp N", or "mate N" in moves (negative: the side to move is mated).
std::string chuDiem(int32_t diem) {
    if (std::abs(diem) < NGUONG_CHIEU_HET) return "cp " + std::to_string(diem);
    const int32_t tang = DIEM_CHIEU_HET - std::abs(diem);
    const int32_t nuoc = diem > 0 ? (tang + 1) / 2 : -(tang / 2);
    return "mate " + std::to_string(nuoc);
}

const char* const TEN_MUC[] = {"DE", "TRUNG_BINH", "KHO", "CAO_THU"};

// The time a move may take with a clock: an even share of what is left (of
// what is left until the next time control), most of the increment, never
// more than half of what is left minus a margin for the pipes.
double nganSachGio(int64_t conLai, int64_t tang, int64_t soNuocToiKiem) {
    const double t = static_cast<double>(std::max<int64_t>(conLai, 0));
    const double phan = t / static_cast<double>(soNuocToiKiem > 0 ? std::min<int64_t>(soNuocToiKiem, 40) : 30) +
                        0.8 * static_cast<double>(std::max<int64_t>(tang, 0));
    return std::max(1.0, std::min(phan, t / 2 - 50));
}

}  // namespace

PhienUCI::PhienUCI(std::function<void(const std::string&)> viet) : viet_(std::move(viet)) { theCo_.batDau(); }

PhienUCI::~PhienUCI() { dungTim(); }

void PhienUCI::noi(const std::string& dong) {
    std::lock_guard<std::mutex> khoa(khoaViet_);
    viet_(dong);
}

void PhienUCI::dungTim() {
    dung_ = true;
    { std::lock_guard<std::mutex> khoa(khoaCho_); }
    cho_.notify_all();
    if (luong_.joinable()) luong_.join();
}

bool PhienUCI::xuLy(const std::string& dong) {
    const std::vector<std::string> tu = tachTu(dong);
    if (tu.empty()) return true;
    const std::string& lenh = tu[0];
    if (lenh == "quit") {
        dungTim();
        return false;
    }
    if (lenh == "uci") {
        noi(std::string("id name tavelin3d ") + TAVELIN_PHIEN_BAN);
        noi("id author tavelin3d");
        noi("option name Hash type spin default 64 min 1 max 1024");
        noi("option name Threads type spin default 1 min 1 max 1");
        noi("option name Level type combo default CAO_THU var DE var TRUNG_BINH var KHO var CAO_THU");
        noi("uciok");
    } else if (lenh == "isready") {
        noi("readyok");
    } else if (lenh == "stop") {
        if (dangTim_) dungTim();
    } else if (lenh == "debug" || lenh == "ponderhit") {
        // Nothing to do: no debug output, and a ponder search is an infinite one.
    } else if (lenh == "go") {
        lenhGo(tu);
    } else if (lenh == "position") {
        lenhPosition(tu);
    } else if (dangTim_ && (lenh == "setoption" || lenh == "ucinewgame")) {
        baoLoi("dang tim nuoc: gui stop truoc " + lenh);
    } else if (lenh == "setoption") {
        lenhSetOption(tu);
    } else if (lenh == "ucinewgame") {
        if (luong_.joinable()) luong_.join();
        timKiem_.reset();
        theCo_.batDau();
    } else {
        baoLoi("lenh khong biet: " + lenh);
    }
    return true;
}

void PhienUCI::lenhSetOption(const std::vector<std::string>& tu) {
    // setoption name <name words> [value <value words>]
    auto giua = [&](size_t tuDau, size_t den) {
        std::string s;
        for (size_t i = tuDau; i < den; ++i) s += (s.empty() ? "" : " ") + tu[i];
        return s;
    };
    if (tu.size() < 3 || tu[1] != "name") return baoLoi("setoption can: setoption name <ten> value <gia tri>");
    const size_t viTriValue = std::find(tu.begin(), tu.end(), "value") - tu.begin();
    const std::string ten = chuHoa(giua(2, viTriValue));
    const std::string giaTri = viTriValue < tu.size() ? giua(viTriValue + 1, tu.size()) : "";
    if (ten == "LEVEL") {
        for (int m = 0; m < 4; ++m)
            if (chuHoa(giaTri) == TEN_MUC[m]) {
                cauHinh_.doKho = static_cast<DoKho>(m);
                return;
            }
        return baoLoi("Level phai la DE, TRUNG_BINH, KHO hoac CAO_THU: " + giaTri);
    }
    if (ten == "HASH" || ten == "THREADS") {
        int64_t so = 0;
        // One search thread: a second one did not pay on two cores.
        const int64_t toiDa = ten == "HASH" ? 1024 : 1;
        if (!docSo(giaTri, so) || so < 1 || so > toiDa)
            return baoLoi(giua(2, viTriValue) + " phai la so tu 1 den " + std::to_string(toiDa) + ": " + giaTri);
        (ten == "HASH" ? cauHinh_.hashMB : cauHinh_.soLuong) = static_cast<int>(so);
        return;
    }
    baoLoi("tuy chon khong biet: " + giua(2, viTriValue));
}

void PhienUCI::lenhPosition(const std::vector<std::string>& tu) {
    // position startpos|fen <FEN fields> [moves <move> ...]; checked whole on
    // a new position before it replaces the current one.
    const size_t viTriMoves = std::find(tu.begin(), tu.end(), "moves") - tu.begin();
    uci::TheCo moi;
    std::string loi;
    if (tu.size() >= 2 && tu[1] == "startpos" && viTriMoves == 2) {
        moi.batDau();
    } else if (tu.size() >= 3 && tu[1] == "fen" && viTriMoves > 2) {
        std::string fen;
        for (size_t i = 2; i < viTriMoves; ++i) fen += tu[i] + " ";
        if (!moi.datFEN(fen, loi)) return baoLoi("the co khong hop le: " + loi);
    } else {
        return baoLoi("position can: position startpos|fen <FEN> [moves ...]");
    }
    for (size_t i = viTriMoves + 1; i < tu.size(); ++i) {
        NuocDi n;
        if (!uci::docNuoc(tu[i], n)) return baoLoi("nuoc khong doc duoc: " + tu[i]);
        if (!moi.di(n)) return baoLoi("nuoc khong hop le: " + tu[i]);
    }
    theCo_ = std::move(moi);
}

void PhienUCI::lenhGo(const std::vector<std::string>& tu) {
    if (dangTim_) return baoLoi("dang tim nuoc: gui stop truoc go");
    static const char* const TEN_SO[] = {"wtime", "btime", "winc", "binc", "movestogo", "movetime", "depth", "nodes"};
    enum { WTIME, BTIME, WINC, BINC, MOVESTOGO, MOVETIME, DEPTH, NODES };
    int64_t so[8] = {};
    bool co[8] = {};
    bool voHan = false;
    for (size_t i = 1; i < tu.size(); ++i) {
        if (tu[i] == "infinite" || tu[i] == "ponder") {
            voHan = true;
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
    if (co[MOVETIME] && so[MOVETIME] < 0) return baoLoi("go movetime khong duoc am");

    const Phe luot = theCo_.luot;
    if (theCo_.ban->nuocDiHopLe(luot).empty()) {
        baoLoi("ben di khong con nuoc nao");
        noi("bestmove (none)");
        return;
    }

    // The level's own depth and time unless the command says otherwise; with
    // only a depth, a node budget or "infinite", no time limit.
    TimKiem::GioiHan gh;
    const bool coGio = co[luot == DO ? WTIME : BTIME];
    const int64_t conLai = so[luot == DO ? WTIME : BTIME];
    const double giayConLai = coGio ? static_cast<double>(conLai) / 1000.0 : -1.0;
    if (co[DEPTH]) gh.doSau = static_cast<int32_t>(std::min<int64_t>(so[DEPTH], DO_SAU_TOI_DA));
    else if (voHan) gh.doSau = DO_SAU_TOI_DA;
    if (co[MOVETIME]) {
        gh.miliGiay = std::max<double>(1.0, static_cast<double>(so[MOVETIME]));
    } else if (coGio && !voHan) {
        // A fixed level never thinks longer than in the game; the
        // strength-first level uses the clock's budget.
        const double nganSach = nganSachGio(conLai, so[luot == DO ? WINC : BINC], so[MOVESTOGO]);
        gh.miliGiay =
            cauHinh_.doKho == CAO_THU ? nganSach : std::min(nganSach, thamSoDoKho(cauHinh_.doKho).thoiGianToiDa);
    } else if (co[DEPTH] || co[NODES] || voHan) {
        gh.miliGiay = std::numeric_limits<double>::infinity();
    }
    if (co[NODES]) gh.soNut = so[NODES];
    gh.dung = &dung_;
    gh.baoCao = [this](const TimKiem::BaoCaoVong& b) {
        std::ostringstream s;
        s << "info depth " << b.doSau << " seldepth " << b.tangSauNhat << " score " << chuDiem(b.diem) << " nodes "
          << b.soNut << " nps " << static_cast<int64_t>(static_cast<double>(b.soNut) / std::max(b.giay, 0.001))
          << " time " << static_cast<int64_t>(b.giay * 1000) << " pv";
        for (const NuocDi& n : b.duongChinh) s << ' ' << uci::vietNuoc(n);
        noi(s.str());
    };

    if (luong_.joinable()) luong_.join();
    if (!timKiem_) timKiem_ = std::make_unique<TimKiem>();
    if (cauHinh_.doKho == CAO_THU) timKiem_->caoThu().datCoBang(static_cast<size_t>(cauHinh_.hashMB));
    dung_ = false;
    dangTim_ = true;
    luong_ = std::thread([this, ban = std::shared_ptr<BanCo>(theCo_.ban->saoChepTheCo()), luot,
                          truoc = theCo_.viTriTruoc(), gh = std::move(gh), doKho = cauHinh_.doKho, voHan,
                          giayConLai]() mutable {
        TimKiem::ThongKe tk;
        timKiem_->datGioiHan(std::move(gh));
        const NuocDi n = timKiem_->timNuocDi(*ban, luot, doKho, tk, truoc, giayConLai);
        timKiem_->datGioiHan({});
        // A single legal move is played unsearched: still one line of figures.
        if (tk.doSau == 0)
            noi("info depth 0 score " + chuDiem(tk.diem) + " nodes " + std::to_string(tk.soNut) + " time " +
                std::to_string(static_cast<int64_t>(tk.giay * 1000)) + " pv " + uci::vietNuoc(n));
        // "infinite" answers only after "stop", even when the search ends first.
        if (voHan) {
            std::unique_lock<std::mutex> khoa(khoaCho_);
            cho_.wait(khoa, [&] { return dung_.load(); });
        }
        // Free before the answer, so that a "go" sent as soon as the GUI
        // reads it is taken (it waits for this thread to end).
        dangTim_ = false;
        noi("bestmove " + uci::vietNuoc(n));
    });
}
