#pragma once
#include <string>
#include <vector>

#include "ban_co.h"
#include "fen.h"

inline NuocDi N(int a, int b, int c, int d) { return NuocDi{a, b, c, d}; }

// A board holding exactly the position of a FEN (the test fails loudly if the FEN is bad).
inline std::unique_ptr<BanCo> banTuFEN(const std::string& fen, Phe* luot = nullptr) {
    auto ban = std::make_unique<BanCo>();
    Phe p = DO;
    std::string loi;
    if (!docFEN(fen, *ban, p, loi)) ADD_FAILURE() << "bad FEN in test: " << loi;
    if (luot) *luot = p;
    return ban;
}

inline std::vector<std::string> thuTuLuuTru(const BanCo& ban) {
    std::vector<std::string> ra;
    for (const auto& q : ban.dsQuan)
        ra.push_back(q->ve() + (q->phe == DO ? "d" : "n") + std::to_string(q->hang) + "," + std::to_string(q->cot));
    return ra;
}
