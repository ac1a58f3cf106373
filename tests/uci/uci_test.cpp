// Conversations with the real tavelin-uci program over its pipes.
#include <gtest/gtest.h>

#include <chrono>
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
