#include <gtest/gtest.h>

#include "ho_tro_ban_co.h"
#include "perft.h"

TEST(Perft, StartPosition) {
    BanCo ban;
    EXPECT_EQ(perft(ban, DO, 1), 44u);
    EXPECT_EQ(perft(ban, DO, 2), 1920u);
    EXPECT_EQ(perft(ban, DO, 3), 79666u);
}

// Counts established with an independent Xiangqi engine.
TEST(Perft, HandMadePositions) {
    struct ViTri { const char* fen; uint64_t d1, d2, d3; };
    const ViTri cacViTri[] = {
        // generals on neighbouring files: a step may not open the file
        {"3k5/9/9/9/9/9/9/9/9/4K4 w", 2, 3, 6},
        {"4k4/9/9/9/9/9/9/9/4A4/3K5 w", 5, 12, 41},
        // cannon screens and a cannon aimed at the general
        {"3ak4/4a4/9/4C4/9/9/9/9/4p4/3K5 w", 14, 82, 1017},
        {"2bak4/4a4/4b4/2p1C1p2/9/2P1c1P2/9/4B4/4A4/3AK1B2 w", 8, 95, 1292},
        // soldiers across the river on both sides
        {"4kc3/9/9/9/1p1P1P1p1/2P3p2/9/9/9/3K5 w", 8, 113, 869},
        {"4k4/4a4/4P4/9/9/9/9/9/9/4K4 b", 6, 26, 74},
        // black has no legal move at all
        {"3k5/4P4/4R4/9/9/9/9/9/9/4K4 b", 0, 0, 0},
        // busy middlegames
        {"r1ba1a3/4kn3/2n1b4/pNp1p1p1p/4c4/6P2/P1P2R2P/1CcC5/9/2BAKAB2 w", 38, 1128, 43929},
        {"1nbakab1r/r8/1c5cn/p1p1p1p1p/9/6P2/P1P1P3P/1C2C1N2/9/RNBAKAB1R b", 52, 1862, 89893},
    };
    for (const auto& v : cacViTri) {
        Phe luot = DO;
        auto ban = banTuFEN(v.fen, &luot);
        EXPECT_EQ(perft(*ban, luot, 1), v.d1) << v.fen;
        EXPECT_EQ(perft(*ban, luot, 2), v.d2) << v.fen;
        EXPECT_EQ(perft(*ban, luot, 3), v.d3) << v.fen;
    }
}
