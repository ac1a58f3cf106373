#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "luat_lap.h"
#include "van_co.h"

// The Asian rules' rulings on repetition, each case a position and the moves
// the players make, through the game as a player reaches it. The cases follow
// the rules' own examples; each asserts the exact result, and that the plain
// rule ends the same moves as a plain third repetition.

namespace {

// ICCS "h2e2": files a-i from red's left, ranks 0-9 from red's side.
NuocDi iccs(const std::string& s) {
    return NuocDi{9 - (s[1] - '0'), s[0] - 'a', 9 - (s[3] - '0'), s[2] - 'a'};
}

struct Ca {
    const char* fen;
    std::vector<const char*> nuoc;
};

// Plays every move; all but the last must leave the game going.
void choi(VanCo& van, const Ca& ca, LuatChoi luat) {
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    std::string loi;
    ASSERT_TRUE(van.datTheCoDau(ca.fen, loi)) << loi;
    van.datLuat(luat);
    for (size_t i = 0; i < ca.nuoc.size(); ++i) {
        ASSERT_EQ(van.ketQua, DANG_CHOI) << "before move " << i << " " << van.lyDo;
        ASSERT_TRUE(van.thuDoNuoc(iccs(ca.nuoc[i]))) << "move " << i << " " << ca.nuoc[i];
    }
}

void kiem(const Ca& ca, KetQua ketQua, const std::string& lyDo) {
    VanCo van;
    choi(van, ca, CHAU_A);
    EXPECT_EQ(van.ketQua, ketQua);
    EXPECT_EQ(van.lyDo, lyDo);
    VanCo thuong;
    choi(thuong, ca, BA_LAN);
    EXPECT_EQ(thuong.ketQua, HOA);
    EXPECT_EQ(thuong.lyDo, "Thế cờ lặp lại 3 lần");
}

// A chariot checks along the top two ranks while the black general steps
// between them.
const Ca CHIEU_DAI_MOT_XE{"4k4/9/7R1/9/9/9/9/9/9/3K5 w",
                          {"h7h9", "e9e8", "h9h8", "e8e9", "h8h9", "e9e8", "h9h8", "e8e9", "h8h9"}};

}  // namespace

// Diagram 1: one piece checks on every move: the checking side loses.
TEST(LuatChauA, Diagram1PerpetualCheckByOnePieceLoses) {
    kiem(CHIEU_DAI_MOT_XE, DEN_THANG, "Đỏ chiếu dai, xử thua");
}

// One check, one quiet move, over and over: allowed, a draw.
TEST(LuatChauA, OneCheckOneIdleMoveIsADraw) {
    kiem({"4k4/9/7R1/9/9/9/9/9/9/3K5 w", {"h7h9", "e9e8", "h9h7", "e8e9", "h7h9", "e9e8", "h9h7", "e8e9"}},
         HOA, "Thế cờ lặp lại 3 lần");
}

// A chariot chasing an unprotected cannon from file to file loses.
TEST(LuatChauA, PerpetualChaseOfAnUnprotectedPieceLoses) {
    kiem({"3k5/9/1c7/9/9/9/9/R8/9/4K4 w", {"a2b2", "b7a7", "b2a2", "a7b7", "a2b2", "b7a7", "b2a2", "a7b7"}},
         DEN_THANG, "Đỏ đuổi dai, xử thua");
}

// The same chase of a cannon its chariot protects wins nothing: allowed.
TEST(LuatChauA, ChasingAProtectedPieceOfLowerValueIsADraw) {
    kiem({"3k5/9/1cr6/9/9/9/9/R8/9/4K4 w", {"a2b2", "b7a7", "b2a2", "a7b7", "a2b2", "b7a7", "b2a2", "a7b7"}},
         HOA, "Thế cờ lặp lại 3 lần");
}

// A cannon chasing a chariot loses even though the chariot is protected.
TEST(LuatChauA, CannonChasingAProtectedChariotLoses) {
    kiem({"r1r1k4/9/9/p8/1n7/9/9/1C7/9/3K5 w", {"b2a2", "a9b9", "a2b2", "b9a9", "b2a2", "a9b9", "a2b2", "b9a9"}},
         DEN_THANG, "Đỏ đuổi dai, xử thua");
}

// A soldier across the river counts as a piece to chase.
TEST(LuatChauA, ChasingASoldierAcrossTheRiverLoses) {
    kiem({"4k4/9/9/9/9/p8/9/9/1R7/3K5 w", {"b1a1", "a4b4", "a1b1", "b4a4", "b1a1", "a4b4", "a1b1", "b4a4"}},
         DEN_THANG, "Đỏ đuổi dai, xử thua");
}

// Diagrams 76 to 80: one piece threatening two pieces in turn is no chase.
TEST(LuatChauA, Diagram76OnePieceChasingTwoInTurnIsADraw) {
    kiem({"4k4/9/cc7/9/9/9/9/R8/9/3K5 w", {"a2b2", "e9e8", "b2a2", "e8e9", "a2b2", "e9e8", "b2a2", "e8e9"}},
         HOA, "Thế cờ lặp lại 3 lần");
}

// Diagram 101: offering to exchange chariots on every move is no chase.
TEST(LuatChauA, Diagram101OfferingAnExchangeIsADraw) {
    kiem({"4k4/9/r8/9/9/9/9/1R7/9/3K5 w", {"b2a2", "a7b7", "a2b2", "b7a7", "b2a2", "a7b7", "a2b2", "b7a7"}},
         HOA, "Thế cờ lặp lại 3 lần");
}

// Checks and a chase combined: every move of red's chariot checks or chases
// (check, check, then the advisor left unprotected on f7, then check), so
// red loses, though not every move is a check. From a game Fairy-Stockfish
// lost so against the master level.
TEST(LuatChauA, ChecksAndAChaseCombinedLose) {
    kiem({"9/5k1R1/5a3/9/9/2r1n4/6p2/1r2C4/4A4/3AKN3 b",
          {"f8f9", "h8h9", "f9f8", "h9h8", "f8f9", "h8h7", "f9f8", "h7h8"}},
         DEN_THANG, "Đỏ đuổi dai, xử thua");
}

// Rule 8: when one side checks on every move and the other only
// sometimes, the one who never stopped loses, whichever side it is.
TEST(LuatChauA, BlackPerpetualCheckLosesToo) {
    kiem({"3k5/9/9/9/9/9/9/7r1/9/4K4 b",
          {"h2h0", "e0e1", "h0h1", "e1e0", "h1h0", "e0e1", "h0h1", "e1e0", "h1h0"}},
         DO_THANG, "Đen chiếu dai, xử thua");
}

// Where the moves a chase is made of are found: the general and soldiers
// threaten freely; a soldier on its own side, a pinned taker and an even
// exchange are no chase.
TEST(LuatChauA, WhatCountsAsAChase) {
    auto duoi = [](const char* fen) {
        VanCo van;
        std::string loi;
        EXPECT_TRUE(van.datTheCoDau(fen, loi)) << loi;
        return quanCoTheBiDuoi(van.banCo, van.luot);
    };
    auto o = [](const char* ten) { return (9 - (ten[1] - '0')) * 9 + (ten[0] - 'a'); };
    // A chariot takes an unprotected horse; a soldier on its own side is spared.
    const TapO a = duoi("3k5/9/6n2/p8/9/9/9/9/9/R3K1R2 w");
    EXPECT_TRUE(a.co(o("g7")));
    EXPECT_FALSE(a.co(o("a6")));
    // The general and a soldier threaten nothing that counts.
    const TapO b = duoi("3k5/9/9/3n5/3Pc4/9/9/9/4n4/4K4 w");
    EXPECT_TRUE(b.rong());
    // A chariot pinned on the general's file cannot take.
    const TapO c = duoi("4k4/9/9/9/4r4/9/9/4R1n2/9/4K4 w");
    EXPECT_FALSE(c.co(o("g2")));
    // Chariot facing chariot: an offer to exchange.
    const TapO d = duoi("4k4/9/9/9/r8/9/9/R8/9/3K5 w");
    EXPECT_FALSE(d.co(o("a5")));
}

// 120 plies without a capture draw under the Asian rules, not before; the
// plain rule knows no such limit.
TEST(LuatChauA, SixtyMovesWithoutACaptureDraw) {
    for (const LuatChoi luat : {CHAU_A, BA_LAN}) {
        VanCo van;
        std::string loi;
        ASSERT_TRUE(van.datTheCoDau("2b1kab2/4a4/9/9/9/9/9/9/4A4/2BAK1B2 w", loi)) << loi;
        van.datLuat(luat);
        // Each ply goes to a position never seen, so no repetition is ruled.
        for (int ply = 0; ply < SO_NUA_NUOC_KHONG_AN_HOA; ++ply) {
            ASSERT_EQ(van.ketQua, DANG_CHOI) << ply;
            bool daDi = false;
            for (const NuocDi& n : van.banCo.nuocDiHopLe(van.luot)) {
                if (van.banCo.coQuanTai(n.hangDen, n.cotDen)) continue;
                van.banCo.thuNuocDi(n);
                const std::string khoa = VanCo::khoaTheCo(van.banCo, pheDoiPhuong(van.luot));
                van.banCo.luiNuocDi();
                if (van.demViTri.count(khoa)) continue;
                ASSERT_TRUE(van.thuDoNuoc(n));
                daDi = true;
                break;
            }
            ASSERT_TRUE(daDi) << "no fresh move at ply " << ply;
        }
        EXPECT_EQ(van.nuocThu, 120);
        if (luat == CHAU_A) {
            EXPECT_EQ(van.ketQua, HOA);
            EXPECT_EQ(van.lyDo, "60 nước không ăn quân");
        } else {
            EXPECT_EQ(van.ketQua, DANG_CHOI);
        }
    }
}

// The page warns before a move that would lose by the rules; the cycle of a
// ruling is named by its moves.
TEST(LuatChauA, TheForbiddenMoveIsKnownBeforeItIsPlayed) {
    VanCo van;
    Ca truoc = CHIEU_DAI_MOT_XE;
    truoc.nuoc.resize(8);
    choi(van, truoc, CHAU_A);
    const auto cam = van.nuocPhamLuatLap();
    ASSERT_EQ(cam.size(), 1u);
    EXPECT_EQ(cam[0].nuoc, iccs("h8h9"));
    EXPECT_EQ(cam[0].viPham, ViPham::CHIEU_DAI);
    ASSERT_TRUE(van.thuDoNuoc(iccs("h8h9")));
    EXPECT_EQ(van.lyDo, "Đỏ chiếu dai, xử thua");
    EXPECT_EQ(van.chuKyTu, 1);
    EXPECT_EQ(van.chuKyDen, 8);
    // Under the plain rule nothing is forbidden.
    VanCo thuong;
    choi(thuong, truoc, BA_LAN);
    EXPECT_TRUE(thuong.nuocPhamLuatLap().empty());
}

// Losing on material, with a perpetual check the only way to a draw: under
// the plain rule the computer takes it, under the Asian rules it does not.
TEST(LuatChauA, TheComputerDoesNotLoseByItsOwnPerpetualCheck) {
    const Ca ca{"r1r1k4/9/7R1/9/9/9/9/9/9/3K5 w", {"h7h9", "e9e8", "h9h8", "e8e9", "h8h9", "e9e8", "h9h8", "e8e9"}};
    for (const DoKho muc : {KHO, CAO_THU}) {
        for (const LuatChoi luat : {BA_LAN, CHAU_A}) {
            VanCo van;
            choi(van, ca, luat);
            van.datDoKhoMay(DO, muc);
            van.mayDo.timKiem.datHatGiongCaoThu(7);
            TimKiem::ThongKe tk;
            const NuocDi n = van.mayChonNuoc(tk);
            if (luat == BA_LAN) EXPECT_EQ(n, iccs("h8h9")) << "level " << muc;
            else EXPECT_NE(n, iccs("h8h9")) << "level " << muc;
        }
    }
}
