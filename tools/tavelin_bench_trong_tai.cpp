// tavelin-bench referee: keeps one game for a match driver (bench/tran_dau.py)
// and judges each move by the game itself, under the rule set of --rules
// (CHAU_A, the Asian rules, by default; BA_LAN the plain threefold rule).
// One command a line on standard input, one answer a line on standard output:
//   new                 -> "ok"          (the start position)
//   move <uci move>     -> "ok" while the game goes on; "illegal" (nothing
//                          changed; the driver scores it as the mover's loss);
//                          or "end <1-0|0-1|1/2-1/2> <reason>", red's score
//                          first, the reason one of mate, no-move,
//                          perpetual-check, perpetual-chase, repetition,
//                          no-capture, max-plies
//   material            -> "<red> <black>": chariot 9, cannon 4.5, horse 4,
//                          advisor and elephant 2, soldier 1
// Under the plain rule a draw is also declared after --no-capture N plies
// without a capture (default 120); under either, at --max-plies (default 400).
#include <iostream>
#include <string>

#include "danh_gia.h"
#include "nuoc_uci.h"
#include "tavelin_bench.h"
#include "van_co.h"

namespace {

// Material in soldiers (the evaluation's values, the general counting 0).
double vatChat(const BanCo& ban, Phe phe) {
    double tong = 0;
    for (const auto& q : ban.dsQuan)
        if (q->phe == phe) tong += DanhGia::giaTriLoai(q->loai()) / 100.0;
    return tong;
}

// How the game ended, in the driver's words.
const char* cachKetThuc(const VanCo& van) {
    const std::string& l = van.lyDo;
    auto co = [&](const char* chu) { return l.find(chu) != std::string::npos; };
    if (co("Chiếu bí")) return "mate";
    if (co("hết nước đi")) return "no-move";
    if (co("chiếu dai")) return "perpetual-check";
    if (co("đuổi dai")) return "perpetual-chase";
    if (l == LY_DO_LAP_LAI) return "repetition";
    if (l == LY_DO_60_NUOC) return "no-capture";
    return "other";
}

const char* diemDo(KetQua k) { return k == DO_THANG ? "1-0" : k == DEN_THANG ? "0-1" : "1/2-1/2"; }

}  // namespace

int lenhTrongTai(const DoiSo& doiSo) {
    const std::string a = giaTriSau(doiSo, "--no-capture"), b = giaTriSau(doiSo, "--max-plies");
    const int khongAnToiDa = a.empty() ? SO_NUA_NUOC_KHONG_AN_HOA : std::stoi(a);
    const int nuocToiDa = b.empty() ? 400 : std::stoi(b);
    LuatChoi luat = CHAU_A;
    if (const std::string r = giaTriSau(doiSo, "--rules"); !r.empty() && !luatTuTen(r, luat)) {
        std::cerr << "--rules: CHAU_A or BA_LAN\n";
        return 2;
    }
    VanCo van;
    auto batDau = [&] {
        van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
        van.datLuat(luat);
    };
    batDau();
    std::string dong;
    while (std::getline(std::cin, dong)) {
        if (!dong.empty() && dong.back() == '\r') dong.pop_back();
        if (dong == "new") {
            batDau();
            std::cout << "ok" << std::endl;
        } else if (dong == "material") {
            std::cout << vatChat(van.banCo, DO) << ' ' << vatChat(van.banCo, DEN) << std::endl;
        } else if (dong.rfind("move ", 0) == 0) {
            NuocDi n;
            if (!uci::docNuoc(dong.substr(5), n) || !van.thuDoNuoc(n)) {
                std::cout << "illegal" << std::endl;
                continue;
            }
            if (van.ketQua != DANG_CHOI)
                std::cout << "end " << diemDo(van.ketQua) << ' ' << cachKetThuc(van) << std::endl;
            else if (luat == BA_LAN && van.soNuaNuocKhongAn >= khongAnToiDa)
                std::cout << "end 1/2-1/2 no-capture" << std::endl;
            else if (van.nuocThu >= nuocToiDa) std::cout << "end 1/2-1/2 max-plies" << std::endl;
            else std::cout << "ok" << std::endl;
        } else {
            std::cout << "error" << std::endl;
        }
    }
    return 0;
}
