// Conversations with the real tavelin-uci program over its pipes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "nuoc_uci.h"

#ifndef _WIN32
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifndef TAVELIN_UCI_EXE
#error "TAVELIN_UCI_EXE must name the program under test"
#endif

namespace {

#ifndef _WIN32
// The program with its standard input and output on pipes.
class DongCoThu {
public:
    DongCoThu() {
        int vao[2], ra[2];
        if (::pipe(vao) != 0 || ::pipe(ra) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(vao[0], 0);
            ::dup2(ra[1], 1);
            ::close(vao[1]);
            ::close(ra[0]);
            ::execl(TAVELIN_UCI_EXE, TAVELIN_UCI_EXE, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(vao[0]);
        ::close(ra[1]);
        gui_ = vao[1];
        doc_ = ra[0];
        std::signal(SIGPIPE, SIG_IGN);
    }
    ~DongCoThu() {
        if (gui_ >= 0) ::close(gui_);
        if (doc_ >= 0) ::close(doc_);
        if (pid_ > 0 && !daKetThuc(5000)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    void dongVao() {
        ::close(gui_);
        gui_ = -1;
    }
    void gui(const std::string& dong) {
        const std::string s = dong + "\n";
        ASSERT_EQ(::write(gui_, s.data(), s.size()), static_cast<ssize_t>(s.size()));
    }
    // The lines up to and including the first that starts with `dau`; the
    // test fails if none comes within the time (generous: a slow machine).
    std::vector<std::string> docDen(const std::string& dau, int ms = 30000) {
        std::vector<std::string> dong;
        const auto het = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            for (size_t n; (n = dem_.find('\n')) != std::string::npos;) {
                dong.push_back(dem_.substr(0, n));
                dem_.erase(0, n + 1);
                if (dong.back().rfind(dau, 0) == 0) return dong;
            }
            const auto conLai = std::chrono::duration_cast<std::chrono::milliseconds>(het - std::chrono::steady_clock::now());
            pollfd p{doc_, POLLIN, 0};
            char buf[4096];
            ssize_t n = 0;
            if (conLai.count() <= 0 || ::poll(&p, 1, static_cast<int>(conLai.count())) <= 0 ||
                (n = ::read(doc_, buf, sizeof buf)) <= 0) {
                ADD_FAILURE() << "no line starting \"" << dau << "\"; got " << dong.size() << " lines";
                return dong;
            }
            dem_.append(buf, static_cast<size_t>(n));
        }
    }
    // Whether the program has ended within the time; its exit status in trangThai.
    bool daKetThuc(int ms, int* trangThai = nullptr) {
        for (int i = 0; i < ms / 10; ++i) {
            int st = 0;
            if (::waitpid(pid_, &st, WNOHANG) == pid_) {
                if (trangThai) *trangThai = st;
                pid_ = -1;
                return true;
            }
            ::usleep(10000);
        }
        return false;
    }

private:
    pid_t pid_ = -1;
    int gui_ = -1, doc_ = -1;
    std::string dem_;
};

// The move of the last line read, a "bestmove" line ("bestmove m [ponder p]").
std::string nuocTot(const std::vector<std::string>& dong) {
    if (dong.empty() || dong.back().size() < 9) return {};
    const std::string s = dong.back().substr(9);
    return s.substr(0, s.find(' '));
}
#define CAN_POSIX()
#else
#define CAN_POSIX() GTEST_SKIP() << "the pipe helper is POSIX only"
#endif

}  // namespace

TEST(Uci, CoordinatesFromRedsLeftAndRedsSide) {
    NuocDi n;
    ASSERT_TRUE(uci::docNuoc("h2e2", n));
    EXPECT_EQ(n, (NuocDi{7, 7, 7, 4})) << "the red cannon's central move";
    EXPECT_EQ(uci::vietNuoc({0, 1, 2, 2}), "b9c7");
    for (const char* sai : {"", "h2e", "j2e2", "h2e2 ", "H2E2", "h:e2"}) EXPECT_FALSE(uci::docNuoc(sai, n)) << sai;
}

TEST(Uci, PlaysAGameFromTheMovesItIsGiven) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    dc.gui("uci");
    const auto chao = dc.docDen("uciok");
    bool coLevel = false;
    for (const auto& d : chao) coLevel = coLevel || d.find("option name Level type combo default CAO_THU") == 0;
    EXPECT_TRUE(coLevel);
    dc.gui("setoption name Level value TRUNG_BINH");
    dc.gui("ucinewgame");
    dc.gui("isready");
    dc.docDen("readyok");

    uci::TheCo the;
    the.batDau();
    std::string cacNuoc;
    for (int ply = 0; ply < 12; ++ply) {
        dc.gui("position startpos" + (cacNuoc.empty() ? "" : " moves" + cacNuoc));
        dc.gui("go depth 2");
        const auto tl = dc.docDen("bestmove");
        ASSERT_GE(tl.size(), 2u) << ply << ": " << tl.back();
        EXPECT_EQ(tl[tl.size() - 2].rfind("info depth 2 seldepth ", 0), 0u) << tl[tl.size() - 2];
        EXPECT_NE(tl[tl.size() - 2].find(" score cp "), std::string::npos);
        NuocDi n;
        ASSERT_TRUE(uci::docNuoc(nuocTot(tl), n)) << tl.back();
        ASSERT_TRUE(the.di(n)) << "ply " << ply << ": " << tl.back() << " is not legal";
        cacNuoc.append(1, ' ').append(nuocTot(tl));
    }
    dc.gui("quit");
    int st = -1;
    EXPECT_TRUE(dc.daKetThuc(10000, &st));
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
#endif
}

TEST(Uci, StopEndsAnInfiniteSearchWithABestMove) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    dc.gui("setoption name Level value KHO");
    dc.gui("position startpos moves h2e2 h9g7");
    dc.gui("go infinite");
    dc.docDen("info depth 3");
    // Still searching, and still answering.
    dc.gui("isready");
    const auto sanSang = dc.docDen("readyok");
    for (const auto& d : sanSang) EXPECT_NE(d.rfind("bestmove", 0), 0u) << "infinite answers only after stop";
    dc.gui("stop");
    NuocDi n;
    EXPECT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
    // An infinite search that finds the mate at once still waits for stop.
    dc.gui("position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 w");
    dc.gui("go infinite");
    dc.docDen("info depth 1");
    dc.gui("isready");
    dc.docDen("readyok");
    dc.gui("stop");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "e1d1");
#endif
}

// "go infinite" answers only after "stop", even a search that has nothing
// left to look at: a mate in one ends every depth at once.
TEST(Uci, InfiniteSearchAnswersOnlyAfterStop) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    dc.gui("position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 w");
    dc.gui("go infinite");
    dc.docDen("info depth 1");
    // Time for the whole search to end by itself; then a round trip that
    // would carry any answer given meanwhile.
    ::usleep(500000);
    dc.gui("isready");
    for (const auto& d : dc.docDen("readyok")) EXPECT_NE(d.rfind("bestmove", 0), 0u) << "answered before stop";
    dc.gui("stop");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "e1d1");
#endif
}

// A line longer than any command is read to its end and dropped whole,
// said in one short line, without taking the memory it claims.
TEST(Uci, OverlongLineIsDroppedAndSaidSo) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    dc.gui("position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 w");
    dc.gui(std::string(3 << 20, 'x') + " position startpos");
    dc.gui("isready");
    auto tl = dc.docDen("readyok");
    // The table made at isready says so too; only the long line's answer counts here.
    std::erase_if(tl, [](const std::string& d) { return d.rfind("info string bang bam", 0) == 0; });
    ASSERT_EQ(tl.size(), 2u);
    EXPECT_EQ(tl[0].rfind("info string ", 0), 0u) << tl[0].substr(0, 60);
    EXPECT_LT(tl[0].size(), 200u);
    dc.gui("go depth 2");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "e1d1") << "nothing of the long line was taken";
#endif
}

TEST(Uci, BadInputIsAnsweredAndChangesNothing) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    // Red's only winning move here is the mate e1d1.
    dc.gui("position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 w");
    // The first isready makes the table (and says so).
    dc.gui("isready");
    dc.docDen("readyok");
    const std::vector<std::string> sai = {
        "position fen 3k5/9/9 w",                               // too few ranks
        "position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 x",             // side
        "position fen 4k4/9/9/9/9/9/9/9/9/4K4 w",               // the side not to move is in check
        "position fen 3k5/9/9/9/9/9/9/9/4P4/4K4 w",             // a soldier behind its start
        "position startpos moves h2e2 h2e2",                    // illegal second move
        "position startpos moves h2e9",                         // not a cannon's move
        "position startpos moves e2",                           // unreadable
        "position",
        "go depth", "go depth -3", "go nodes 0", "go movetime 99999999999999999999", "go sideways",
        "setoption name Level value GRANDMASTER", "setoption name Hash value 0", "setoption name Colour value red",
        "setoption", "frobnicate", std::string("\x01\xff\xfe garbage", 12), std::string(100000, 'x'),
    };
    for (const auto& s : sai) {
        dc.gui(s);
        dc.gui("isready");
        const auto tl = dc.docDen("readyok");
        ASSERT_EQ(tl.size(), 2u) << s.substr(0, 40);
        EXPECT_EQ(tl[0].rfind("info string ", 0), 0u) << s.substr(0, 40) << " -> " << tl[0];
    }
    dc.gui("go depth 2");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "e1d1") << "the position given before the bad input";
    // A side without a move still gets an answer.
    dc.gui("position fen 3k5/4R4/3R5/9/9/9/9/9/9/4K4 b");
    dc.gui("go");
    EXPECT_EQ(dc.docDen("bestmove").back(), "bestmove (none)");
    // Closing the input ends it as "quit" does, even mid-search.
    dc.gui("position startpos");
    dc.gui("go infinite");
    dc.docDen("info depth 1");
    dc.dongVao();
    dc.docDen("bestmove");
    EXPECT_TRUE(dc.daKetThuc(10000));
#endif
}

namespace {

#ifndef _WIN32
// The lines a fresh engine sends before "readyok" once the commands are sent.
std::vector<std::string> guiVaCho(DongCoThu& dc, const std::vector<std::string>& lenh) {
    for (const auto& l : lenh) dc.gui(l);
    dc.gui("isready");
    return dc.docDen("readyok");
}

// The moves of the last "info ... pv" line among these lines.
std::vector<std::string> pvCuoi(const std::vector<std::string>& dong) {
    for (auto it = dong.rbegin(); it != dong.rend(); ++it) {
        const size_t p = it->find(" pv ");
        if (it->rfind("info ", 0) != 0 || p == std::string::npos) continue;
        std::istringstream in(it->substr(p + 4));
        std::vector<std::string> pv;
        for (std::string m; in >> m;) pv.push_back(m);
        return pv;
    }
    return {};
}

size_t dem(const std::vector<std::string>& dong, const std::string& dau) {
    return static_cast<size_t>(
        std::count_if(dong.begin(), dong.end(), [&](const std::string& d) { return d.rfind(dau, 0) == 0; }));
}

// After a "bestmove", nothing else ends the search: a second answer would
// come before the engine is ready again.
void khongConBestmove(DongCoThu& dc) {
    const auto tl = guiVaCho(dc, {});
    EXPECT_EQ(dem(tl, "bestmove"), 0u) << "a second bestmove";
}
#endif

}  // namespace

TEST(Uci, OptionsAsAGuiListsThem) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    dc.gui("uci");
    const auto tl = dc.docDen("uciok");
    auto co = [&](const std::string& dong) { return std::find(tl.begin(), tl.end(), dong) != tl.end(); };
    // An adapter that takes a combo's first value must still get the strongest level.
    EXPECT_TRUE(co("option name Level type combo default CAO_THU var CAO_THU var DE var TRUNG_BINH var KHO"));
    EXPECT_TRUE(co("option name MultiPV type spin default 1 min 1 max 5"));
    EXPECT_TRUE(co("option name Ponder type check default false"));
    EXPECT_TRUE(co("option name Variety type check default false"));
    EXPECT_TRUE(co("option name Move Overhead type spin default 30 min 0 max 5000"));
    // As Xiangqi GUIs adjudicate: the Asian rules unless told otherwise.
    EXPECT_TRUE(co("option name Repetition type combo default CHAU_A var CHAU_A var BA_LAN"));
    for (const auto& d : tl) EXPECT_EQ(d.find("Threads"), std::string::npos) << "an option that does nothing: " << d;
    for (const auto& d : tl) EXPECT_EQ(d.find("usemillisec"), std::string::npos) << "UCCI only: " << d;
#endif
}

TEST(Uci, PositionWithoutTheWordPositionAndEverySideLetter) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    // As uci2wb sends it for Xiangqi: no "position", red as "r", a bare "moves".
    auto tl = guiVaCho(dc, {"fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR r moves h2e2 h9g7"});
    for (const auto& d : tl) EXPECT_EQ(d.find("khong"), std::string::npos) << d;
    dc.gui("go depth 2");
    uci::TheCo the;
    the.batDau();
    NuocDi n;
    ASSERT_TRUE(uci::docNuoc("h2e2", n) && the.di(n));
    ASSERT_TRUE(uci::docNuoc("h9g7", n) && the.di(n));
    ASSERT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
    EXPECT_TRUE(the.di(n)) << "not red's move after h2e2 h9g7";
    // "r", "w" and "b", with and without "moves".
    for (const char* fen : {"fen 3k5/9/9/9/9/9/9/9/4R4/4K4 r", "fen 3k5/9/9/9/9/9/9/9/4R4/4K4 w moves",
                            "position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 r moves"}) {
        dc.gui(fen);
        dc.gui("go depth 2");
        EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "e1d1") << fen;
    }
    // Black to move, in check: its general's one way out of the chariot's file.
    dc.gui("fen 3k5/9/9/9/9/9/9/9/3R5/5K3 b");
    dc.gui("go depth 2");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "d9e9");
    dc.gui("startpos moves h2e2");
    dc.gui("go depth 1");
    the.batDau();
    ASSERT_TRUE(uci::docNuoc("h2e2", n) && the.di(n));
    ASSERT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
    EXPECT_TRUE(the.di(n));
#endif
}

TEST(Uci, EveryGoEndsWithExactlyOneBestMoveAtItsTime) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    guiVaCho(dc, {});
    // go mate: a mate in two, found and played.
    dc.gui("position fen 4k4/4a4/9/9/9/9/9/9/9/R2K4R w");
    dc.gui("go mate 2");
    auto tl = dc.docDen("bestmove");
    EXPECT_NE(tl[tl.size() - 2].find(" score mate 2 "), std::string::npos) << tl[tl.size() - 2];
    khongConBestmove(dc);
    // go searchmoves: only the moves named, even a poor one, at every level.
    dc.gui("position startpos");
    for (const char* muc : {"KHO", "DE", "CAO_THU"}) {
        dc.gui(std::string("setoption name Level value ") + muc);
        dc.gui("go depth 3 searchmoves a3a4");
        EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "a3a4") << muc;
        khongConBestmove(dc);
    }
    dc.gui("go searchmoves i0i1 a3a4 depth 4");
    const std::string m = nuocTot(dc.docDen("bestmove"));
    EXPECT_TRUE(m == "i0i1" || m == "a3a4") << m;
    khongConBestmove(dc);

    // go ponder: thinks until ponderhit, then plays within its clock.
    dc.gui("setoption name Ponder value true");
    dc.gui("position startpos moves h2e2 h9g7");
    dc.gui("go ponder wtime 3000 btime 3000");
    dc.docDen("info depth 3");
    tl = guiVaCho(dc, {});
    EXPECT_EQ(dem(tl, "bestmove"), 0u) << "ponder answers only after ponderhit or stop";
    dc.gui("ponderhit");
    tl = dc.docDen("bestmove");
    EXPECT_EQ(tl.back().rfind("bestmove " + pvCuoi(tl).front(), 0), 0u) << tl.back();
    khongConBestmove(dc);
    // Pondering on a move the opponent did not play: stop ends it.
    dc.gui("go ponder wtime 3000 btime 3000");
    dc.docDen("info depth 2");
    dc.gui("stop");
    dc.docDen("bestmove");
    khongConBestmove(dc);
    // go infinite: only stop ends it, and then once.
    dc.gui("go infinite");
    dc.docDen("info depth 3");
    tl = guiVaCho(dc, {});
    EXPECT_EQ(dem(tl, "bestmove"), 0u);
    dc.gui("stop");
    dc.docDen("bestmove");
    khongConBestmove(dc);
    // A stop when nothing is searched says nothing.
    dc.gui("stop");
    khongConBestmove(dc);
#endif
}

TEST(Uci, MultiPVShowsThatManyLinesAndPlaysTheFirst) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    guiVaCho(dc, {"setoption name MultiPV value 4", "position startpos moves h2e2"});
    dc.gui("go depth 4");
    const auto tl = dc.docDen("bestmove");
    std::vector<std::string> dau;
    for (const auto& d : tl)
        if (d.rfind("info depth 4 ", 0) == 0) {
            const size_t p = d.find(" multipv ");
            ASSERT_NE(p, std::string::npos) << d;
            EXPECT_EQ(d.substr(p + 9, 2), std::to_string(dau.size() + 1) + " ") << d;
            dau.push_back(d.substr(d.find(" pv ") + 4, 4));
        }
    ASSERT_EQ(dau.size(), 4u);
    for (size_t i = 0; i < dau.size(); ++i)
        for (size_t j = i + 1; j < dau.size(); ++j) EXPECT_NE(dau[i], dau[j]) << "two lines start alike";
    EXPECT_EQ(nuocTot(tl), dau[0]);
    for (const char* sai : {"setoption name MultiPV value 6", "setoption name MultiPV value 0"}) {
        const auto r = guiVaCho(dc, {sai});
        EXPECT_EQ(r[0].rfind("info string MultiPV", 0), 0u) << sai;
    }
#endif
}

TEST(Uci, HashIsMadeBeforeReadyokNotInTheSearch) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    auto tl = guiVaCho(dc, {"uci", "setoption name Hash value 64"});
    EXPECT_EQ(dem(tl, "info string bang bam 64 MB da cap"), 1u) << "made at setoption, before readyok";
    // A new size is made at once; the same size is not made twice.
    tl = guiVaCho(dc, {"setoption name Hash value 100", "ucinewgame"});
    EXPECT_EQ(dem(tl, "info string bang bam 64 MB"), 0u);
    tl = guiVaCho(dc, {"setoption name Hash value 32"});
    EXPECT_EQ(dem(tl, "info string bang bam 32 MB da cap"), 1u);
    dc.gui("position startpos");
    dc.gui("go movetime 100");
    tl = dc.docDen("bestmove");
    EXPECT_EQ(dem(tl, "info string bang bam"), 0u) << "the timed search made a table";
    // A level without it makes none; switching back makes it at isready.
    tl = guiVaCho(dc, {"setoption name Level value KHO", "setoption name Hash value 16"});
    EXPECT_EQ(dem(tl, "info string bang bam"), 0u);
    tl = guiVaCho(dc, {"setoption name Level value CAO_THU"});
    EXPECT_EQ(dem(tl, "info string bang bam 16 MB da cap"), 1u);
#endif
}

TEST(Uci, TheSameSearchGivesTheSameMoveAndPlaysItsLine) {
    CAN_POSIX();
#ifndef _WIN32
    // From the start, where the game varies its openings: fresh processes,
    // and the same process after other searches and a ucinewgame.
    std::vector<std::string> ketQua;
    for (int lan = 0; lan < 3; ++lan) {
        DongCoThu dc;
        if (lan == 2) {
            guiVaCho(dc, {"position startpos moves c3c4", "go depth 5"});
            dc.docDen("bestmove");
            guiVaCho(dc, {"ucinewgame"});
        }
        dc.gui("position startpos");
        dc.gui("go depth 6");
        const auto tl = dc.docDen("bestmove");
        const auto pv = pvCuoi(tl);
        ASSERT_FALSE(pv.empty());
        EXPECT_EQ(nuocTot(tl), pv.front()) << "the move played is the first of the last line shown";
        // The whole last line but its time: the same nodes, score and line.
        std::string cuoi = tl[tl.size() - 2];
        cuoi.erase(cuoi.find(" nps "), cuoi.find(" pv ") - cuoi.find(" nps "));
        ketQua.push_back(cuoi + " / " + tl.back());
    }
    EXPECT_EQ(ketQua[0], ketQua[1]);
    EXPECT_EQ(ketQua[0], ketQua[2]);
    // Variety on: the game's opening choice, still one of the moves near the best.
    DongCoThu dc;
    guiVaCho(dc, {"setoption name Variety value true", "position startpos"});
    dc.gui("go depth 4");
    NuocDi n;
    EXPECT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
#endif
}

TEST(Uci, ASearchStoppedMidIterationShowsTheLineOfTheMovePlayed) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    guiVaCho(dc, {"position startpos moves h2e2 h9g7 h0g2 i9h9"});
    for (int ms : {30, 70, 150, 300}) {
        dc.gui("go movetime " + std::to_string(ms));
        const auto tl = dc.docDen("bestmove");
        const auto pv = pvCuoi(tl);
        ASSERT_FALSE(pv.empty());
        EXPECT_EQ(nuocTot(tl), pv.front()) << ms << " ms";
    }
#endif
}

TEST(Uci, TacticsAtModestDepth) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    for (const char* muc : {"CAO_THU", "KHO"}) {
        guiVaCho(dc, {std::string("setoption name Level value ") + muc, "ucinewgame"});
        // Mate in two: the chariot shuts the advisor in, the other mates on the back rank.
        dc.gui("position fen 4k4/4a4/9/9/9/9/9/9/9/R2K4R w");
        dc.gui("go depth 4");
        auto tl = dc.docDen("bestmove");
        EXPECT_NE(tl[tl.size() - 2].find(" score mate 2 "), std::string::npos) << muc << ": " << tl[tl.size() - 2];
        // A skewer: the check along the rank wins the chariot behind the general.
        dc.gui("position fen 9/4k2r1/9/9/9/9/9/9/9/R2K5 w");
        dc.gui("go depth 4");
        tl = dc.docDen("bestmove");
        EXPECT_EQ(nuocTot(tl), "a0a8") << muc;
        const auto pv = pvCuoi(tl);
        EXPECT_TRUE(pv.size() >= 3 && pv[2] == "a8h8") << muc << ": " << tl[tl.size() - 2];
    }
#endif
}

// Losing on material, a perpetual check is the only way to a draw: under the
// plain rule every level takes it, under the Asian rules (the default) none
// plays the check that would lose the game by them.
TEST(Uci, RepetitionRuleDecidesThePerpetualCheck) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    for (const char* muc : {"CAO_THU", "KHO"}) {
        for (const char* luat : {"BA_LAN", "CHAU_A"}) {
            guiVaCho(dc, {std::string("setoption name Level value ") + muc,
                          std::string("setoption name Repetition value ") + luat, "ucinewgame"});
            dc.gui("fen r1r1k4/9/7R1/9/9/9/9/9/9/3K5 w moves h7h9 e9e8 h9h8 e8e9 h8h9 e9e8 h9h8 e8e9");
            dc.gui("go depth 5");
            const std::string n = nuocTot(dc.docDen("bestmove"));
            if (std::string(luat) == "BA_LAN") EXPECT_EQ(n, "h8h9") << muc;
            else EXPECT_NE(n, "h8h9") << muc;
        }
    }
#endif
}

TEST(Uci, UcciSession) {
    CAN_POSIX();
#ifndef _WIN32
    DongCoThu dc;
    dc.gui("ucci");
    auto tl = dc.docDen("ucciok");
    auto co = [&](const std::string& dong) { return std::find(tl.begin(), tl.end(), dong) != tl.end(); };
    EXPECT_TRUE(co("option usemillisec type check default false"));
    EXPECT_TRUE(co("option hashsize type spin default 64 min 1 max 1024"));
    EXPECT_TRUE(co("option newgame type button"));
    EXPECT_EQ(dem(tl, "option name"), 0u) << "UCCI options have no \"name\"";
    // Options without "name" and "value".
    tl = guiVaCho(dc, {"setoption hashsize 32", "setoption usemillisec true", "setoption batch false",
                       "setoption newgame"});
    EXPECT_EQ(dem(tl, "info string bang bam 32 MB da cap"), 1u);
    for (const auto& d : tl) EXPECT_EQ(d.find("khong"), std::string::npos) << d;

    dc.gui("position startpos moves h2e2");
    dc.gui("go depth 4");
    tl = dc.docDen("bestmove");
    const std::string tot = nuocTot(tl);
    EXPECT_NE(tl[tl.size() - 2].find(" score "), std::string::npos);
    EXPECT_EQ(tl[tl.size() - 2].find(" cp "), std::string::npos) << "UCCI scores are bare numbers";
    // banmoves leaves that move out of the next search only.
    dc.gui("banmoves " + tot);
    dc.gui("go depth 4");
    const std::string khac = nuocTot(dc.docDen("bestmove"));
    EXPECT_NE(khac, tot);
    NuocDi n;
    EXPECT_TRUE(uci::docNuoc(khac, n));
    dc.gui("go depth 4");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), tot);
    // Every move banned, or none to make: nobestmove.
    dc.gui("position fen 3k5/9/9/9/9/9/9/9/4R4/4K4 w");
    dc.gui("go depth 2");
    EXPECT_EQ(nuocTot(dc.docDen("bestmove")), "e1d1");
    dc.gui("position fen 3k5/4R4/3R5/9/9/9/9/9/9/4K4 b");
    dc.gui("go depth 2");
    EXPECT_EQ(dc.docDen("nobestmove").back(), "nobestmove");
    // A clock in milliseconds (usemillisec), then in seconds.
    dc.gui("position startpos");
    dc.gui("go time 2000 increment 0 opptime 2000 oppincrement 0");
    EXPECT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
    dc.gui("setoption usemillisec false");
    dc.gui("go draw time 2 movestogo 10");
    EXPECT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
    dc.gui("go ponder time 2 increment 1");
    dc.docDen("info depth 2");
    dc.gui("ponderhit");
    EXPECT_TRUE(uci::docNuoc(nuocTot(dc.docDen("bestmove")), n));
    dc.gui("quit");
    EXPECT_EQ(dc.docDen("bye").back(), "bye");
    int st = -1;
    EXPECT_TRUE(dc.daKetThuc(10000, &st));
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
#endif
}
