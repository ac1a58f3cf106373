// tavelin-bench: command-line measurements of the rules and the engine.
#include "tavelin_bench.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#include "fen.h"

std::string giaTriSau(const DoiSo& doiSo, const std::string& co) {
    for (size_t i = 0; i + 1 < doiSo.size(); ++i)
        if (doiSo[i] == co) return doiSo[i + 1];
    return {};
}

bool datViTriTuDoiSo(const DoiSo& doiSo, BanCo& ban, Phe& luot) {
    ban.khoiTaoMacDinh();
    luot = DO;
    bool coFen = false;
    for (const auto& s : doiSo) coFen = coFen || s == "--fen";
    if (!coFen) return true;
    const std::string fen = giaTriSau(doiSo, "--fen");
    std::string loi;
    if (docFEN(fen, ban, luot, loi)) return true;
    std::cerr << "tavelin-bench: FEN khong hop le: " << loi << "\n";
    return false;
}

namespace {

void inCachDung() {
    std::cerr << "cach dung:\n"
                 "  tavelin-bench perft DEPTH [--fen FEN]\n"
                 "  tavelin-bench search [--fen FEN] [--moves \"hd,cd,hc,cc ...\"] (--level DE|TRUNG_BINH|KHO|CAO_THU | --depth D --ms T)\n"
                 "  tavelin-bench bench [--cao-thu] [--depth D]\n"
                 "  tavelin-bench levels\n"
                 "  tavelin-bench match [--a cao-thu|kho] [--b cao-thu|kho] [--a-params k=v,...] [--b-params k=v,...]\n"
                 "                      [--ms 300] [--games 112] [--threads 1] [--start OPENING] [--mates] [--moves]\n"
                 "  tavelin-bench referee [--no-capture N] [--max-plies N]   (commands on stdin; see bench/tran_dau.py)\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        inCachDung();
        return 2;
    }
    const std::string lenh = argv[1];
    const DoiSo doiSo(argv + 2, argv + argc);
    if (lenh == "perft") return lenhPerft(doiSo);
    if (lenh == "search") return lenhSearch(doiSo);
    if (lenh == "bench") return lenhBench(doiSo);
    if (lenh == "levels") return lenhLevels(doiSo);
    if (lenh == "match") return lenhMatch(doiSo);
    if (lenh == "referee") return lenhTrongTai(doiSo);
    inCachDung();
    return 2;
}
