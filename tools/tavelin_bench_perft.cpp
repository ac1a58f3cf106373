// perft: the number of leaves of the legal-move tree, the signature of the rules.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>

#include "perft.h"
#include "tavelin_bench.h"

namespace {

bool docSoNguyen(const std::string& s, int& ra) {
    if (s.empty() || s.size() > 3) return false;
    ra = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        ra = ra * 10 + (ch - '0');
    }
    return true;
}

}  // namespace

int lenhPerft(const DoiSo& doiSo) {
    int doSau = 0;
    if (doiSo.empty() || !docSoNguyen(doiSo[0], doSau)) {
        std::cerr << "tavelin-bench: perft can DEPTH la so tu nhien\n";
        return 2;
    }
    BanCo ban;
    Phe luot = DO;
    if (!datViTriTuDoiSo(doiSo, ban, luot)) return 2;
    const auto batDau = std::chrono::steady_clock::now();
    const uint64_t soNut = perft(ban, luot, doSau);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - batDau).count();
    std::printf("perft %d nodes %llu ms %lld\n", doSau, static_cast<unsigned long long>(soNut), static_cast<long long>(ms));
    return 0;
}
