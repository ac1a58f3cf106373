// tavelin-soak: runs the real program under a random mix of valid, invalid
// and hostile requests from several clients while a computer-against-computer
// game plays at the easy level with saves and loads in between. Passes when
// every reply had one of the server's exact forms, no saved file was ever
// seen incomplete, the resident memory stayed within a bound and the server
// still answers (and stops with exit code 0) at the end.
//
//   tavelin-soak [--seconds N] [--clients N] [--seed S] [--rss-mib M]
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "chay_soak.h"

namespace {

bool docTuyChon(int argc, char** argv, TuyChonSoak& tc) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return false;
        const char* v = argv[++i];
        char* het = nullptr;
        const unsigned long long so = std::strtoull(v, &het, 10);
        if (!*v || *het) return false;
        if (a == "--seconds" && so > 0) tc.giay = static_cast<int>(so);
        else if (a == "--clients" && so > 0 && so <= 64) tc.soKhach = static_cast<int>(so);
        else if (a == "--seed") tc.hat = so;
        else if (a == "--rss-mib" && so > 0) tc.gioiHanRssMiB = static_cast<int>(so);
        else return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    TuyChonSoak tc;
    tc.hat = std::random_device{}();
    if (!docTuyChon(argc, argv, tc)) {
        std::fputs("usage: tavelin-soak [--seconds N] [--clients N (1-64)] [--seed S] [--rss-mib M]\n", stderr);
        return 2;
    }
    return chaySoak(tc);
}
