#include "perft.h"

uint64_t perft(BanCo& ban, Phe luot, int doSau) {
    if (doSau <= 0) return 1;
    const DanhSachNuoc nuoc = ban.nuocDiHopLe(luot);
    if (doSau == 1) return nuoc.size();
    uint64_t tong = 0;
    for (const NuocDi& n : nuoc) {
        ban.thuNuocDi(n);
        tong += perft(ban, pheDoiPhuong(luot), doSau - 1);
        ban.luiNuocDi();
    }
    return tong;
}
