// tavelin-bench referee: keeps one game for a match driver (bench/tran_dau.py)
// and judges each move by the rules core. One command a line on standard
// input, one answer a line on standard output:
//   new                 -> "ok"          (the start position)
//   move <uci move>     -> "ok" while the game goes on; "illegal" (nothing
//                          changed; the driver scores it as the mover's loss);
//                          or "end <1-0|0-1|1/2-1/2> <reason>", red's score first
//   material            -> "<red> <black>": chariot 9, cannon 4.5, horse 4,
//                          advisor and elephant 2, soldier 1
// A draw is also declared after --no-capture N plies without a capture
// (default 120) and at --max-plies (default 400).
#include <iostream>
#include <string>

#include "nuoc_uci.h"
#include "tavelin_bench.h"

namespace {

double vatChat(const BanCo& ban, Phe phe) {
    static const double GIA[7] = {9, 4.5, 4, 2, 2, 0, 1};
    double tong = 0;
    for (const auto& q : ban.dsQuan)
        if (q->phe == phe) tong += GIA[q->loai()];
    return tong;
}

}  // namespace

int lenhTrongTai(const DoiSo& doiSo) {
    const std::string a = giaTriSau(doiSo, "--no-capture"), b = giaTriSau(doiSo, "--max-plies");
    const int khongAnToiDa = a.empty() ? 120 : std::stoi(a);
    const int nuocToiDa = b.empty() ? 400 : std::stoi(b);
    uci::TheCo the;
    the.batDau();
    int soNuoc = 0;
    std::string dong;
    while (std::getline(std::cin, dong)) {
        if (dong == "new") {
            the.batDau();
            soNuoc = 0;
            std::cout << "ok" << std::endl;
        } else if (dong == "material") {
            std::cout << vatChat(*the.ban, DO) << ' ' << vatChat(*the.ban, DEN) << std::endl;
        } else if (dong.rfind("move ", 0) == 0) {
            NuocDi n;
            if (!uci::docNuoc(dong.substr(5), n) || !the.di(n)) {
                std::cout << "illegal" << std::endl;
                continue;
            }
            ++soNuoc;
            int lap = 0;
            for (const uint64_t k : the.khoaCoTheLap) lap += k == the.khoaCoTheLap.back();
            const char* thua = the.luot == DO ? "0-1" : "1-0";
            if (the.ban->nuocDiHopLe(the.luot).empty())
                std::cout << "end " << thua << (the.ban->biChieu(the.luot) ? " mate" : " no-move") << std::endl;
            else if (lap >= 3) std::cout << "end 1/2-1/2 repetition" << std::endl;
            else if (the.nuocKhongAn >= khongAnToiDa) std::cout << "end 1/2-1/2 no-capture" << std::endl;
            else if (soNuoc >= nuocToiDa) std::cout << "end 1/2-1/2 max-plies" << std::endl;
            else std::cout << "ok" << std::endl;
        } else {
            std::cout << "error" << std::endl;
        }
    }
    return 0;
}
