// search: one search of a position by a fresh engine, printed as one JSON line.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include "tavelin_bench.h"
#include "tim_kiem.h"

namespace {

void inCachDungSearch() {
    std::cerr << "cach dung: tavelin-bench search [--fen FEN] [--moves \"hd,cd,hc,cc ...\"]"
                 " (--level DE|TRUNG_BINH|KHO|CAO_THU | --depth D --ms T)\n";
}

// A decimal integer with an optional minus sign, small enough for int32.
bool docSo(const std::string& s, int32_t& ra) {
    size_t i = s.size() > 1 && s[0] == '-' ? 1 : 0;
    if (s.size() == i || s.size() - i > 9) return false;
    int32_t giaTri = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        giaTri = giaTri * 10 + (s[i] - '0');
    }
    ra = s[0] == '-' ? -giaTri : giaTri;
    return true;
}

bool docDoKho(const std::string& s, DoKho& ra) { return doKhoTuTen(s, ra); }

struct YeuCau {
    bool theoDoKho = false;
    DoKho doKho = KHO;
    int32_t doSau = 0;
    int32_t ms = 0;
};

// Every flag takes one value; either a level or both a depth and a time.
bool docYeuCau(const DoiSo& doiSo, YeuCau& yc) {
    bool coDoKho = false, coDoSau = false, coMs = false;
    for (size_t i = 0; i < doiSo.size(); i += 2) {
        if (i + 1 >= doiSo.size()) return false;
        const std::string& co = doiSo[i];
        const std::string& giaTri = doiSo[i + 1];
        bool tot = false;
        if (co == "--fen" || co == "--moves") tot = true;
        else if (co == "--level") tot = !coDoKho && (coDoKho = docDoKho(giaTri, yc.doKho));
        else if (co == "--depth") tot = !coDoSau && (coDoSau = docSo(giaTri, yc.doSau));
        else if (co == "--ms") tot = !coMs && (coMs = docSo(giaTri, yc.ms));
        if (!tot) return false;
    }
    yc.theoDoKho = coDoKho;
    return coDoKho ? !coDoSau && !coMs : coDoSau && coMs;
}

// Plays "hd,cd,hc,cc hd,cd,hc,cc ..." from the position on the board, each
// move legal for the side to move, and keeps the key of every position left
// behind: the history the search then knows. False, with a message, on the
// first move that does not read or is not legal.
bool choiCacNuoc(const std::string& chuoi, BanCo& ban, Phe& luot, std::vector<uint64_t>& viTriTruoc) {
    std::istringstream vao(chuoi);
    for (std::string chu; vao >> chu;) {
        // Exactly four numbers, three commas.
        int32_t so[4] = {};
        bool hopLe = std::count(chu.begin(), chu.end(), ',') == 3;
        std::istringstream phan(chu);
        std::string manh;
        for (int i = 0; hopLe && i < 4; ++i) hopLe = std::getline(phan, manh, ',') && docSo(manh, so[i]);
        const NuocDi nuoc{so[0], so[1], so[2], so[3]};
        if (hopLe) {
            hopLe = false;
            for (const NuocDi& n : ban.nuocDiHopLe(luot)) hopLe = hopLe || n == nuoc;
        }
        if (!hopLe) {
            std::cerr << "tavelin-bench: nuoc khong hop le: " << chu << "\n";
            return false;
        }
        viTriTruoc.push_back(TimKiem::khoaViTri(ban, luot));
        ban.thuNuocDi(nuoc);
        luot = pheDoiPhuong(luot);
    }
    return true;
}

}  // namespace

int lenhSearch(const DoiSo& doiSo) {
    YeuCau yc;
    if (!docYeuCau(doiSo, yc)) {
        inCachDungSearch();
        return 2;
    }
    BanCo ban;
    Phe luot = DO;
    if (!datViTriTuDoiSo(doiSo, ban, luot)) return 2;
    std::vector<uint64_t> viTriTruoc;
    if (!choiCacNuoc(giaTriSau(doiSo, "--moves"), ban, luot, viTriTruoc)) return 2;

    TimKiem timKiem;
    TimKiem::ThongKe tk;
    const NuocDi n = yc.theoDoKho ? timKiem.timNuocDi(ban, luot, yc.doKho, tk, viTriTruoc)
                                  : timKiem.timNuocDiVoiThoiGian(ban, luot, yc.ms, yc.doSau, tk, viTriTruoc);
    std::printf("{\"nuocDi\":[%d,%d,%d,%d],\"doSau\":%d,\"soNut\":%lld,\"diem\":%d,\"giay\":%.4f,\"biDung\":%s}\n",
                n.hangDi, n.cotDi, n.hangDen, n.cotDen, tk.doSau, static_cast<long long>(tk.soNut), tk.diem, tk.giay,
                tk.biDung ? "true" : "false");
    return 0;
}
