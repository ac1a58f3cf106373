// The PGN file of a game: what it says, and that it reads back as the same game.
#include <gtest/gtest.h>

#include <sstream>

#include "pgn.h"
#include "van_co.h"

namespace {

const NuocDi CHIEU_BI_NHANH[] = {{7, 1, 5, 1}, {0, 2, 2, 0}, {5, 1, 5, 6}, {0, 3, 1, 4}, {5, 6, 0, 6}};

std::size_t soKyTu(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

VanPGN docLai(const std::string& vanBan) {
    VanPGN van;
    std::string loi;
    EXPECT_TRUE(docPGN(vanBan, van, loi)) << loi;
    return van;
}

}  // namespace

TEST(PGN, FinishedGameAgainstTheComputerRoundTrips) {
    VanCo van;
    van.vanMoi(NGUOI_MAY, KHO, DO, 600);
    for (const NuocDi& n : {NuocDi{7, 7, 7, 4}, NuocDi{0, 7, 2, 6}, NuocDi{9, 7, 7, 6}}) ASSERT_TRUE(van.thuDoNuoc(n));
    ASSERT_TRUE(van.xinThua(DO));
    const std::string vanBan = vietPGN(pgnCuaVan(van.banLuu(false), "2026.12.08"));
    EXPECT_EQ(vanBan,
              "[Event \"tavelin3d\"]\n[Site \"?\"]\n[Date \"2026.12.08\"]\n[Round \"?\"]\n[Red \"Người\"]\n"
              "[Black \"Máy (Khó)\"]\n[Result \"0-1\"]\n[Variant \"xiangqi\"]\n[Game \"Chinese Chess\"]\n"
              "[TimeControl \"600\"]\n[Format \"ICCS\"]\n\n"
              "1. h2e2 h9g7 2. h0g2 {Đỏ xin thua} 0-1\n");

    const VanPGN doc = docLai(vanBan);
    EXPECT_EQ(doc.nuoc, van.nuocDaDi);
    EXPECT_EQ(doc.ketQua, "0-1");
    EXPECT_EQ(doc.lyDo, "Đỏ xin thua");
    EXPECT_EQ(doc.fen(), "");
    // Loaded as the game it was: the same players, clock and result, and an
    // undo takes back only the resignation.
    VanCo khac;
    ASSERT_TRUE(khac.napVan(vanDaLuuTuPGN(doc)));
    EXPECT_EQ(khac.cheDo, NGUOI_MAY);
    EXPECT_EQ(khac.pheNguoi, DO);
    EXPECT_EQ(khac.mayDen.doKho, KHO);
    EXPECT_EQ(khac.giayMoiBen, 600);
    EXPECT_EQ(khac.ketQua, DEN_THANG);
    EXPECT_EQ(khac.lichSu, van.lichSu);
    ASSERT_TRUE(khac.huyNuocDi());
    EXPECT_EQ(khac.nuocDaDi.size(), 3u);
    EXPECT_EQ(khac.ketQua, DANG_CHOI);
}

// [TimeControl] in its standard form, "base+increment" in seconds when the
// game has an increment, read back into the game's clock; a time control
// no game can have is no clock at all.
TEST(PGN, TimeControlWithAnIncrementRoundTrips) {
    VanCo van;
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 300);
    van.datTang(5);
    const VanPGN pgn = pgnCuaVan(van.banLuu(false), "2026.12.08");
    EXPECT_EQ(pgn.giaTri("TimeControl"), "300+5");
    VanCo khac;
    ASSERT_TRUE(khac.napVan(vanDaLuuTuPGN(docLai(vietPGN(pgn)))));
    EXPECT_EQ(khac.giayMoiBen, 300);
    EXPECT_EQ(khac.giayTang, 5);

    const std::pair<const char*, std::pair<int, int>> ca[] = {
        {"180+2", {180, 2}}, {"600", {600, 0}}, {"60+0", {60, 0}}, {"300+601", {0, 0}},
        {"300+", {0, 0}},    {"+5", {0, 0}},    {"0+5", {0, 0}},   {"40/9000:300", {0, 0}},
        {"300+5+1", {0, 0}}, {"-", {0, 0}}};
    for (const auto& [tc, mongDoi] : ca) {
        VanPGN doc;
        doc.the = {{"TimeControl", tc}};
        const VanDaLuu luu = vanDaLuuTuPGN(doc);
        EXPECT_EQ(luu.giayCaiDat(), mongDoi.first) << tc;
        EXPECT_EQ(std::max(luu.tang, 0), mongDoi.second) << tc;
    }
}

TEST(PGN, ImportedTagsAreWrittenBackInTheStandardOrderAndReadBack) {
    VanDaLuu van;
    van.nuoc = {{7, 7, 7, 4}, {0, 7, 2, 6}};
    van.the = {{"Result", "1-0"}, {"Black", "Lê B"}, {"Round", "3"}, {"Red", "Hứa A"}, {"Date", "1990.05.01"},
               {"Event", "Giải \"Mùa xuân\""}};
    van.nhapChuaDung = true;
    // Untouched, the file's result stands though the moves show none.
    EXPECT_EQ(vietPGN(pgnCuaVan(van, "2026.12.08")),
              "[Event \"Giải \\\"Mùa xuân\\\"\"]\n[Site \"?\"]\n[Date \"1990.05.01\"]\n[Round \"3\"]\n[Red \"Hứa A\"]\n"
              "[Black \"Lê B\"]\n[Result \"1-0\"]\n[Variant \"xiangqi\"]\n[Game \"Chinese Chess\"]\n"
              "[Format \"ICCS\"]\n\n1. h2e2 h9g7 1-0\n");
    // Played on, the game's own result is written.
    van.nhapChuaDung = false;
    const VanPGN pgn = pgnCuaVan(van, "2026.12.08");
    EXPECT_EQ(pgn.giaTri("Result"), "*");
    EXPECT_EQ(pgn.ketQua, "*");

    // Read back (as a listed game opens), the foreign tags come back with
    // the game; the program's own words do not.
    std::string loi;
    VanPGN doc;
    ASSERT_TRUE(docPGN(vietPGN(pgn), doc, loi)) << loi;
    const VanDaLuu lai = vanDaLuuTuPGN(doc);
    EXPECT_EQ(vietPGN(pgnCuaVan(lai, "2030.01.01")), vietPGN(pgn));
    VanCo cuaTa;
    ASSERT_TRUE(cuaTa.thuDoNuoc({7, 7, 7, 4}));
    ASSERT_TRUE(docPGN(vietPGN(pgnCuaVan(cuaTa.banLuu(false), "2026.12.08")), doc, loi)) << loi;
    EXPECT_TRUE(vanDaLuuTuPGN(doc).the.empty());
}

TEST(PGN, HandicapAndBlackFirstStartsAreKeptAndLongGamesWrap) {
    VanCo van;
    van.vanMoi(MAY_MAY, DE, DO, 0);
    van.datDoKhoMay(DEN, CAO_THU);
    ASSERT_TRUE(van.datChap(DO, "Xe"));
    for (const NuocDi& n : CHIEU_BI_NHANH) ASSERT_TRUE(van.thuDoNuoc(n));
    const VanPGN pgn = pgnCuaVan(van.banLuu(false), "2026.12.08");
    EXPECT_EQ(pgn.giaTri("Red"), "Máy (Dễ)");
    EXPECT_EQ(pgn.giaTri("Black"), "Máy (Cao thủ)");
    EXPECT_EQ(pgn.fen(), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/1NBAKABNR w");
    VanPGN doc = docLai(vietPGN(pgn));
    EXPECT_EQ(doc.the, pgn.the);
    EXPECT_EQ(doc.nuoc, pgn.nuoc);
    EXPECT_EQ(doc.lyDo, "Chiếu bí! Đen thua");
    std::string loi;
    EXPECT_EQ(nuocSaiPGN(doc, loi), -1) << "legal from the handicap start";
    // Loaded back with the handicap it had, the computers' levels too.
    VanCo khac;
    ASSERT_TRUE(khac.napVan(vanDaLuuTuPGN(doc)));
    EXPECT_EQ(khac.chap, van.chap);
    EXPECT_EQ(khac.cheDo, MAY_MAY);
    EXPECT_EQ(khac.mayDo.doKho, DE);
    EXPECT_EQ(khac.mayDen.doKho, CAO_THU);
    EXPECT_EQ(khac.ketQua, DO_THANG);
    EXPECT_EQ(khac.khoaTheCo(), van.khoaTheCo());

    // A set-up game with black to move first: its [FEN], "1...", and the same
    // game back.
    VanCo datRa;
    datRa.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    ASSERT_TRUE(datRa.datTheCoDau("3k5/9/9/9/9/9/9/9/9/4K4 b", loi)) << loi;
    for (const NuocDi& n : {NuocDi{0, 3, 1, 3}, NuocDi{9, 4, 8, 4}}) ASSERT_TRUE(datRa.thuDoNuoc(n));
    const std::string vanBanDat = vietPGN(pgnCuaVan(datRa.banLuu(false), "2026.12.08"));
    EXPECT_NE(vanBanDat.find("[FEN \"3k5/9/9/9/9/9/9/9/9/4K4 b\"]\n[Format \"ICCS\"]\n\n1... d9d8 2. e0e1 *\n"),
              std::string::npos)
        << vanBanDat;
    VanCo lai;
    ASSERT_TRUE(lai.napVan(vanDaLuuTuPGN(docLai(vanBanDat))));
    EXPECT_EQ(lai.fenBatDau(), datRa.fenBatDau());
    EXPECT_EQ(lai.nuocDaDi, datRa.nuocDaDi);
    EXPECT_EQ(lai.luot, DEN);

    // Black first, from a set position: numbered "1...", and a long game's
    // lines stay within 80 characters, its long reason wrapped with them.
    VanPGN den;
    den.the = {{"Game", "Chinese Chess"}, {"FEN", "3k5/9/9/9/9/9/9/9/9/4K4 b"}, {"Format", "ICCS"}};
    for (int i = 0; i < 30; ++i)
        for (const NuocDi& n : {NuocDi{0, 3, 1, 3}, NuocDi{9, 4, 8, 4}, NuocDi{1, 3, 0, 3}, NuocDi{8, 4, 9, 4}})
            den.nuoc.push_back(n);
    den.ketQua = "1/2-1/2";
    den.lyDo = "Hai bên đồng ý hòa sau một trận rất dài, với những lời giải thích không ngắn chút nào về lý do";
    const std::string vanBan = vietPGN(den);
    EXPECT_NE(vanBan.find("\n\n1... d9d8 2. e0e1 d8d9 3. e1e0 "), std::string::npos) << vanBan;
    std::istringstream dong(vanBan);
    for (std::string d; std::getline(dong, d);) EXPECT_LE(soKyTu(d), 80u) << d;
    doc = docLai(vanBan);
    EXPECT_EQ(doc.nuoc, den.nuoc);
    EXPECT_EQ(doc.lyDo, den.lyDo);
    EXPECT_EQ(doc.ketQua, "1/2-1/2");
    EXPECT_EQ(nuocSaiPGN(doc, loi), -1);
    doc.the.erase(doc.the.begin() + 1);  // from the normal start, red would move first
    EXPECT_EQ(nuocSaiPGN(doc, loi), 0);
}

TEST(PGN, DamagedOrForeignTextsAreRefusedWithAReason) {
    VanPGN van;
    std::string loi;
    // Foreign forms the reader of our own files may meet, still read.
    ASSERT_TRUE(docPGN("\xEF\xBB\xBF[Event \"a \\\"b\\\"\"]\r\n\r\n1.H2-E2 {x} (1... a0a1) $1 H9-G7 2. h0g2!? *", van, loi))
        << loi;
    EXPECT_EQ(van.giaTri("Event"), "a \"b\"");
    EXPECT_EQ(van.nuoc.size(), 3u);
    EXPECT_EQ(van.ketQua, "*");
    // Nested variations, with comments holding brackets, as the page writes a tree: only the main line.
    ASSERT_TRUE(docPGN("[Format \"ICCS\"]\n\n1. h2e2 (1. b2e2 h9g7 (1... b9c7 {a ) b} 2. h0g2)) 1... h9g7\n"
                       "2. h0g2 (2. b0c2 {(}) (2. b2b9) 2... i9h9 {Đỏ xin thua} 0-1\n",
                       van, loi))
        << loi;
    EXPECT_EQ(van.nuoc.size(), 4u);
    EXPECT_EQ(van.ketQua, "0-1");
    EXPECT_EQ(van.lyDo, "Đỏ xin thua");
    EXPECT_EQ(nuocSaiPGN(van, loi), -1);
    // A second game in the text is not read into the first.
    ASSERT_TRUE(docPGN("[Result \"1-0\"]\n1. h2e2\n\n[Event \"hai\"]\n1. b2e2 0-1", van, loi));
    EXPECT_EQ(van.nuoc.size(), 1u);
    EXPECT_EQ(van.ketQua, "1-0");

    for (const char* hong : {"", "just words", "[Event \"open", "[Event \"x\"]\n1. h2e2 {never closed",
                             "1. h2e2 (a0a1", "1. z2e2", "1. h2e2 }", "[Format \"WXF\"]\n1. C2.5 *", "\x01\xff\x80[",
                             "1. h2e22"}) {
        EXPECT_FALSE(docPGN(hong, van, loi)) << hong;
        EXPECT_FALSE(loi.empty()) << hong;
        loi.clear();
    }
    // A move off the rules is read (the caller judges it) and named by nuocSaiPGN.
    ASSERT_TRUE(docPGN("1. h2e2 h9g7 2. h2h9", van, loi));
    EXPECT_EQ(nuocSaiPGN(van, loi), 2);
    ASSERT_TRUE(docPGN("[FEN \"9/9/9/9/9/9/9/9/9/4K4 w\"]\n1. e0e1", van, loi));
    EXPECT_EQ(nuocSaiPGN(van, loi), -2);
    EXPECT_NE(loi.find("không chơi được"), std::string::npos) << loi;
}
