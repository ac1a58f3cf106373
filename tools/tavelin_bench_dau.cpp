// match: two engines of this program play each other in-process from a set
// of short openings, each opening with both colours, a fixed time a move.
// A quick way to measure a change of the CAO_THU search against an earlier
// setting of its weights, or against KHO; games against other programs go
// through the UCI match tool.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "fen.h"
#include "tavelin_bench.h"
#include "tim_kiem.h"
#include "tim_kiem_cao_thu.h"

namespace {

// Openings: a first move of red's and a reply of black's (rows from black's
// back rank, columns from red's left).
constexpr NuocDi MO_DO[] = {{7, 7, 7, 4}, {7, 1, 7, 4}, {9, 7, 7, 6}, {9, 1, 7, 2},
                            {6, 2, 5, 2}, {6, 6, 5, 6}, {9, 2, 7, 4}, {9, 6, 7, 4}};
constexpr NuocDi MO_DEN[] = {{2, 7, 2, 4}, {2, 1, 2, 4}, {0, 7, 2, 6}, {0, 1, 2, 2},
                             {3, 2, 4, 2}, {3, 6, 4, 6}, {0, 2, 2, 4}};
constexpr int SO_KHAI_CUOC = 8 * 7;

struct CauHinh {
    std::string loai = "cao-thu";  // cao-thu | kho
    TimKiemCaoThu::ThamSo thamSo;
};

bool datThamSo(TimKiemCaoThu::ThamSo& t, const std::string& ds) {
    std::stringstream ss(ds);
    std::string muc;
    while (std::getline(ss, muc, ',')) {
        const size_t bang = muc.find('=');
        if (bang == std::string::npos) return false;
        const std::string ten = muc.substr(0, bang);
        const int v = std::stoi(muc.substr(bang + 1));
        auto& w = t.trongSo;
        if (ten == "linhHoatXe") w.linhHoatXe = v;
        else if (ten == "linhHoatMa") w.linhHoatMa = v;
        else if (ten == "linhHoatPhao") w.linhHoatPhao = v;
        else if (ten == "anToan") w.anToan = v;
        else if (ten == "phaoKhongMan") w.phaoKhongMan = v;
        else if (ten == "phaoHaiMan") w.phaoHaiMan = v;
        else if (ten == "luotDi") w.luotDi = v;
        else if (ten == "tuongLen") w.tuongLen = v;
        else if (ten == "vayCung") w.vayCung = v;
        else if (ten == "tuongLech") w.tuongLech = v;
        else if (ten == "nuocRong") t.nuocRong = v != 0;
        else if (ten == "chiaGiam") t.chiaGiam = v;
        else if (ten == "bienTuongLai") t.bienTuongLai = v;
        else if (ten == "moRongChieu") t.moRongChieu = v;
        else if (ten == "bienLuoi") t.bienLuoi = v;
        else return false;
    }
    return true;
}

// One engine for one game, kept from move to move as the game's worker keeps its own.
bool inChieuHet = false;

#ifndef _WIN32
// Fairy-Stockfish over UCI (Debian's /usr/games/fairy-stockfish), one
// thread, its own move generation; "fsf:depth=N" or "fsf:ms=N".
class FSF {
public:
    explicit FSF(const std::string& cauHinh) {
        const size_t bang = cauHinh.find('=');
        if (bang != std::string::npos) {
            const std::string ten = cauHinh.substr(4, bang - 4);
            const int v = std::stoi(cauHinh.substr(bang + 1));
            lenhGo_ = ten == "depth" ? "go depth " + std::to_string(v) : "go movetime " + std::to_string(v);
        }
        int vao[2], ra[2];
        if (pipe(vao) != 0 || pipe(ra) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(vao[0], 0);
            dup2(ra[1], 1);
            close(vao[1]);
            close(ra[0]);
            execl("/usr/games/fairy-stockfish", "fairy-stockfish", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(vao[0]);
        close(ra[1]);
        ghi_ = fdopen(vao[1], "w");
        doc_ = fdopen(ra[0], "r");
        gui("uci");
        cho("uciok");
        gui("setoption name UCI_Variant value xiangqi");
        gui("setoption name Threads value 1");
        gui("setoption name Hash value 64");
        gui("isready");
        cho("readyok");
    }
    ~FSF() {
        if (ghi_) {
            gui("quit");
            fclose(ghi_);
        }
        if (doc_) fclose(doc_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    NuocDi di(const std::string& fenDau, const std::vector<NuocDi>& nuoc, int32_t& diem) {
        std::string lenh = "position fen " + fenDau + " - - 0 1";
        if (!nuoc.empty()) {
            lenh += " moves";
            for (const NuocDi& n : nuoc) lenh += " " + viet(n);
        }
        gui(lenh);
        gui(lenhGo_);
        diem = 0;
        for (std::string dong; docDong(dong);) {
            if (dong.rfind("info", 0) == 0) {
                const size_t cp = dong.find(" score cp ");
                const size_t mate = dong.find(" score mate ");
                if (cp != std::string::npos) diem = std::stoi(dong.substr(cp + 10));
                if (mate != std::string::npos) diem = std::stoi(dong.substr(mate + 12)) > 0 ? 100000 : -100000;
            }
            if (dong.rfind("bestmove ", 0) == 0) return doc(dong.substr(9));
        }
        return NuocDi{0, 0, 0, 0};
    }

private:
    pid_t pid_ = -1;
    FILE* ghi_ = nullptr;
    FILE* doc_ = nullptr;
    std::string lenhGo_ = "go depth 12";
    void gui(const std::string& s) {
        std::fprintf(ghi_, "%s\n", s.c_str());
        std::fflush(ghi_);
    }
    bool docDong(std::string& dong) {
        dong.clear();
        for (int c; (c = std::fgetc(doc_)) != EOF;) {
            if (c == '\n') return true;
            dong += static_cast<char>(c);
        }
        return !dong.empty();
    }
    void cho(const std::string& s) {
        for (std::string dong; docDong(dong);)
            if (dong.rfind(s, 0) == 0) return;
    }
    // Files a-i from red's left, ranks 1-10 from red's side.
    static std::string viet(const NuocDi& n) {
        return std::string(1, char('a' + n.cotDi)) + std::to_string(10 - n.hangDi) + char('a' + n.cotDen) +
               std::to_string(10 - n.hangDen);
    }
    static NuocDi doc(const std::string& s) {
        NuocDi n{0, 0, 0, 0};
        size_t i = 0;
        auto o = [&](int& hang, int& cot) {
            if (i >= s.size()) return;
            cot = s[i++] - 'a';
            int r = 0;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) r = r * 10 + (s[i++] - '0');
            hang = 10 - r;
        };
        o(n.hangDi, n.cotDi);
        o(n.hangDen, n.cotDen);
        return n;
    }
};
#endif

class May {
public:
    May(const CauHinh& ch, double ms) : ch_(ch), ms_(ms) {
        if (ch.loai == "cao-thu") {
            caoThu_ = std::make_unique<TimKiemCaoThu>();
            caoThu_->datThamSo(ch.thamSo);
#ifndef _WIN32
        } else if (ch.loai.rfind("fsf", 0) == 0) {
            fsf_ = std::make_unique<FSF>(ch.loai);
#endif
        } else {
            kho_ = std::make_unique<TimKiem>();
        }
    }
    // The move and its score for the side to move (mates as +-100000).
    NuocDi di(BanCo& ban, Phe luot, const std::vector<uint64_t>& truoc, const std::string& fenDau,
              const std::vector<NuocDi>& daDi, int32_t& diem) {
#ifndef _WIN32
        if (fsf_) return fsf_->di(fenDau, daDi, diem);
#else
        (void)fenDau;  // the outside engine is driven on POSIX only
        (void)daDi;
#endif
        if (caoThu_) {
            TimKiemCaoThu::GioiHan gh;
            gh.msCung = ms_;
            gh.msMem = ms_ * 0.56;
            const auto kq = caoThu_->tim(ban, luot, truoc, gh);
            diem = std::abs(kq.diem) > TimKiemCaoThu::NGUONG_CHIEU_HET ? (kq.diem > 0 ? 100000 : -100000) : kq.diem;
            // --mates: long forced wins found, as material for tactical tests.
            if (inChieuHet && kq.diem > TimKiemCaoThu::NGUONG_CHIEU_HET &&
                TimKiemCaoThu::DIEM_CHIEU_HET - kq.diem >= 9)
                std::printf("mate-fen %s plies %d depth %d\n", vietFEN(ban, luot).c_str(),
                            TimKiemCaoThu::DIEM_CHIEU_HET - kq.diem, kq.doSau);
            return kq.nuoc;
        }
        TimKiem::ThongKe tk;
        const NuocDi n = kho_->timNuocDiVoiThoiGian(ban, luot, static_cast<int32_t>(ms_), 8, tk, truoc);
        diem = std::abs(tk.diem) > 880000 ? (tk.diem > 0 ? 100000 : -100000) : tk.diem;
        return n;
    }

private:
    CauHinh ch_;
    double ms_;
    std::unique_ptr<TimKiemCaoThu> caoThu_;
    std::unique_ptr<TimKiem> kho_;
#ifndef _WIN32
    std::unique_ptr<FSF> fsf_;
#endif
};

// 1: red wins, 0: draw, -1: black wins.
bool inNuoc = false;

std::string vietUCI(const NuocDi& n) {
    return std::string(1, char('a' + n.cotDi)) + std::to_string(10 - n.hangDi) + char('a' + n.cotDen) +
           std::to_string(10 - n.hangDen);
}

int choiVan(int khaiCuoc, const CauHinh& chDo, const CauHinh& chDen, double ms, int& soNuoc, std::string& lyDo,
            std::string& bienBan) {
    BanCo ban;
    ban.khoiTaoMacDinh();
    ban.thuNuocDi(MO_DO[khaiCuoc / 7]);
    ban.thuNuocDi(MO_DEN[khaiCuoc % 7]);
    Phe luot = DO;
    const std::string fenDau = vietFEN(ban, luot);
    std::vector<NuocDi> daDi;
    May may[2] = {May(chDo, ms), May(chDen, ms)};
    std::vector<uint64_t> khoa;
    std::map<uint64_t, int> dem;
    int thangLienTiep[2] = {0, 0};  // plies in a row both engines agree a side is far ahead
    for (soNuoc = 0; soNuoc < 300; ++soNuoc) {
        const uint64_t k = TimKiem::khoaViTri(ban, luot);
        if (++dem[k] >= 3) {
            lyDo = "lap lai";
            return 0;
        }
        const DanhSachNuoc hopLe = ban.nuocDiHopLe(luot);
        if (hopLe.empty()) {
            lyDo = "het nuoc";
            return luot == DO ? -1 : 1;
        }
        int32_t diem = 0;
        const NuocDi n = may[luot].di(ban, luot, khoa, fenDau, daDi, diem);
        bool coTrong = false;
        for (const NuocDi& h : hopLe) coTrong = coTrong || h == n;
        if (!coTrong) {
            lyDo = "nuoc sai";
            return luot == DO ? -1 : 1;
        }
        khoa.push_back(k);
        daDi.push_back(n);
        if (inNuoc) bienBan += vietUCI(n) + "(" + std::to_string(diem) + ") ";
        ban.thuNuocDi(n);
        const int32_t diemDo = luot == DO ? diem : -diem;
        for (int p = 0; p < 2; ++p) {
            const bool xa = p == 0 ? diemDo >= 800 : diemDo <= -800;
            thangLienTiep[p] = xa ? thangLienTiep[p] + 1 : 0;
            if (thangLienTiep[p] >= 8) {
                lyDo = "xu thang";
                return p == 0 ? 1 : -1;
            }
        }
        luot = pheDoiPhuong(luot);
    }
    lyDo = "qua dai";
    return 0;
}

}  // namespace

int lenhMatch(const DoiSo& doiSo) {
    CauHinh a, b;
    if (const std::string s = giaTriSau(doiSo, "--a"); !s.empty()) a.loai = s;
    if (const std::string s = giaTriSau(doiSo, "--b"); !s.empty()) b.loai = s;
    if (!datThamSo(a.thamSo, giaTriSau(doiSo, "--a-params")) || !datThamSo(b.thamSo, giaTriSau(doiSo, "--b-params"))) {
        std::cerr << "tham so khong hop le\n";
        return 2;
    }
    const std::string sMs = giaTriSau(doiSo, "--ms"), sVan = giaTriSau(doiSo, "--games"),
                      sLuong = giaTriSau(doiSo, "--threads");
    inChieuHet = std::find(doiSo.begin(), doiSo.end(), "--mates") != doiSo.end();
    inNuoc = std::find(doiSo.begin(), doiSo.end(), "--moves") != doiSo.end();
    const double ms = sMs.empty() ? 300 : std::stod(sMs);
    const int soVan = sVan.empty() ? 2 * SO_KHAI_CUOC : std::stoi(sVan);
    const int soLuong = sLuong.empty() ? 1 : std::stoi(sLuong);
    const std::string sDau = giaTriSau(doiSo, "--start");
    const int dau = sDau.empty() ? 0 : std::stoi(sDau);
    std::atomic<int> tiep{0};
    std::mutex khoa;
    int thang = 0, hoa = 0, thua = 0;
    auto chay = [&] {
        for (int v; (v = tiep.fetch_add(1)) < soVan;) {
            // Each opening twice, with the colours swapped.
            const int kc = (dau + v / 2) % SO_KHAI_CUOC;
            const bool aDo = v % 2 == 0;
            int soNuoc = 0;
            std::string lyDo;
            std::string bienBan;
            const int kq = choiVan(kc, aDo ? a : b, aDo ? b : a, ms, soNuoc, lyDo, bienBan);
            const int choA = aDo ? kq : -kq;
            std::lock_guard<std::mutex> g(khoa);
            (choA > 0 ? thang : choA < 0 ? thua : hoa)++;
            std::printf("game %3d opening %2d A %s: %s after %d plies (%s)   A +%d =%d -%d\n", v, kc, aDo ? "red" : "black",
                        choA > 0 ? "A wins" : choA < 0 ? "B wins" : "draw", soNuoc, lyDo.c_str(), thang, hoa, thua);
            if (inNuoc) std::printf("  moves %s\n", bienBan.c_str());
            std::fflush(stdout);
        }
    };
    std::vector<std::thread> luong;
    for (int i = 0; i < soLuong; ++i) luong.emplace_back(chay);
    for (auto& t : luong) t.join();
    const int n = thang + hoa + thua;
    const double s = n ? (thang + 0.5 * hoa) / n : 0.5;
    const double phuongSai = n ? (thang * (1 - s) * (1 - s) + hoa * (0.5 - s) * (0.5 - s) + thua * s * s) / n : 0;
    const double sai = n ? 1.96 * std::sqrt(phuongSai / n) : 0;
    auto elo = [](double x) {
        x = std::clamp(x, 0.001, 0.999);
        return -400.0 * std::log10(1.0 / x - 1.0);
    };
    std::printf("match A=%s B=%s ms %.0f: games %d  +%d =%d -%d  score %.1f%%  Elo %+.0f [%+.0f, %+.0f]\n",
                a.loai.c_str(), b.loai.c_str(), ms, n, thang, hoa, thua, 100 * s, elo(s), elo(s - sai), elo(s + sai));
    return 0;
}
