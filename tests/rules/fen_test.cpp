#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ho_tro_ban_co.h"

TEST(Fen, ReadsPositionsAndRefusesMalformedOnes) {
    BanCo ban;
    Phe luot = DO;
    std::string loi;
    ASSERT_TRUE(docFEN("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1", ban, luot, loi));
    EXPECT_EQ(luot, DEN);
    BanCo macDinh;
    EXPECT_EQ(ban.khoaViTri(), macDinh.khoaViTri());
    EXPECT_EQ(vietFEN(ban, DO), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
    // Reading order: row 0 first, columns 0..8; H and E are accepted for horse and elephant.
    ASSERT_TRUE(docFEN("4k4/9/9/9/9/9/9/9/9/HE2K4 r", ban, luot, loi));
    EXPECT_EQ(luot, DO);
    EXPECT_EQ(thuTuLuuTru(ban), (std::vector<std::string>{"Tn0,4", "Md9,0", "Vd9,1", "Td9,4"}));

    for (const char* xau : {"", "9/9/9", "4k4/9/9/9/9/9/9/9/9/4K4/9 w", "4k4/9/9/9/9/9/9/9/9/4K5 w",
                            "4k4/9/9/9/9/9/9/9/9/4K3 w", "4k4/9/9/9/9/9/9/9/9/4X4 w", "4k4/9/9/9/9/9/9/9/9/4K4 x",
                            "4k4/9/9/9/9/9/9/9/9/99K4 w"}) {
        EXPECT_FALSE(docFEN(xau, ban, luot, loi)) << xau;
        EXPECT_FALSE(loi.empty());
        EXPECT_TRUE(ban.dsQuan.empty());
    }
}

#ifdef TAVELIN_BENCH
TEST(Fen, BenchToolRefusesMalformedInputWithExitCode2) {
#ifdef _WIN32
    GTEST_SKIP() << "runs the tool through the POSIX shell";
#else
    // A malformed FEN; moves played before a search that are not legal in turn
    // (black's horse first, a square off the board, a stray comma).
    for (const char* sai : {" perft 2 --fen 'rnbakabnr/9/1c5c1/zzz'", " search --depth 1 --ms 1000 --moves '0,1,2,2'",
                            " search --depth 1 --ms 1000 --moves '7,1,7,4 0,1,2,9'",
                            " search --depth 1 --ms 1000 --moves '7,1,7,4,'"}) {
        const int ketQua = std::system((std::string(TAVELIN_BENCH) + sai + " 2>/dev/null >/dev/null").c_str());
        ASSERT_TRUE(WIFEXITED(ketQua));
        EXPECT_EQ(WEXITSTATUS(ketQua), 2) << sai;
    }
    for (const char* tot : {" perft 2", " search --depth 1 --ms 1000 --moves '7,1,7,4 0,1,2,2'"})
        EXPECT_EQ(std::system((std::string(TAVELIN_BENCH) + tot + " > /dev/null").c_str()), 0) << tot;
#endif
}
#endif

TEST(Fen, PlayablePositionsOnlyAndEachRefusalNamesWhatIsWrong) {
    BanCo ban;
    Phe luot = DO;
    std::string lyDo;
    // Read, checked and written back in the usual letters; the side to move
    // may be in check, a soldier over the river may stand on any file.
    ASSERT_TRUE(docTheCo("3k5/4a4/9/9/1P7/3R5/9/9/9/4KAB2 b", ban, luot, lyDo)) << lyDo;
    EXPECT_EQ(luot, DEN);
    EXPECT_EQ(lyDo, "");
    ASSERT_TRUE(docTheCo("3ak4/9/9/9/1P7/9/9/E8/9/3K5 r", ban, luot, lyDo)) << lyDo;
    EXPECT_EQ(vietFEN(ban, luot), "3ak4/9/9/9/1P7/9/9/B8/9/3K5 w");

    const std::pair<const char*, const char*> sai[] = {
        {"4k4/9/9/9/9/9/9/9/9/4K3 w", "FEN sai: hàng thứ 10 có ít hơn 9 cột"},
        {"9/9/9/9/9/9/9/9/9/4K4 w", "Đen thiếu Tướng"},
        {"3k1k3/9/9/9/9/9/9/9/9/4K4 w", "Đen có 2 Tướng (mỗi bên nhiều nhất 1)"},
        {"5k3/9/9/9/9/9/9/9/RRR6/4K4 w", "Đỏ có 3 Xe (mỗi bên nhiều nhất 2)"},
        {"5k3/9/9/9/9/PPPPPP3/9/9/9/4K4 w", "Đỏ có 6 Tốt (mỗi bên nhiều nhất 5)"},
        {"5k3/9/9/9/9/9/9/9/9/K8 w", "Tướng đỏ ở a0 đứng ngoài cung"},
        {"5k3/9/9/9/9/9/9/9/9/3KA4 w", "Sĩ đỏ ở e0 không đứng trên điểm của Sĩ"},
        {"5k3/4b4/9/9/9/9/9/9/9/4K4 w", "Tượng đen ở e8 không đứng trên điểm của Tượng"},
        {"5k3/9/9/9/9/9/9/4P4/9/4K4 w", "Tốt đỏ ở e2 đứng sau hàng xuất phát của Tốt"},
        {"5k3/9/9/9/9/9/1P7/9/9/4K4 w", "Tốt đỏ ở b3 chưa qua sông mà đứng ngoài cột xuất phát của Tốt"},
        {"4k4/9/9/9/9/9/9/9/9/4K4 w", "Hai Tướng đối mặt trên cùng một cột không có quân chắn"},
        {"4k4/9/9/9/9/4R4/9/9/9/3K5 w", "Đen đang bị chiếu khi không đến lượt đi"},
    };
    for (const auto& [fen, mongDoi] : sai) {
        EXPECT_FALSE(docTheCo(fen, ban, luot, lyDo)) << fen;
        EXPECT_EQ(lyDo, mongDoi) << fen;
        EXPECT_TRUE(ban.dsQuan.empty()) << fen;
    }
    // The same position with the checked side to move is a game.
    EXPECT_TRUE(docTheCo("4k4/9/9/9/9/4R4/9/9/9/3K5 b", ban, luot, lyDo)) << lyDo;
}
