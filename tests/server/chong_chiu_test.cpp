// Hostile clients: malformed and oversized requests, a slow trickle, and
// peers that vanish before or while the answer is written. The server must
// answer the next honest request every time.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "may_chu_thu.h"

using namespace thu;

namespace {

bool conTraLoi(const MayChuThu& mc) { return mc.get("/api/trangthai").ma == 200; }

}  // namespace

TEST(ChongChiu, MalformedAndOversizedRequests) {
    MayChuThu mc;
    // No CR LF, no space in the request line, nothing at all: closed unanswered.
    for (std::string xau : {std::string("GARBAGE\r\n\r\n"), std::string("\r\n\r\n"), std::string("GET / HTTP/1.1\n\n"),
                            std::string(20 * 1024, 'x'), std::string(20 * 1024, '\0')}) {
        EXPECT_EQ(mc.tho(xau), "") << xau.substr(0, 20);
        EXPECT_TRUE(conTraLoi(mc));
    }
    // 20 KiB of header junk after a request line: reading stops at the cap
    // and, the header never having ended, nothing of the game is given.
    std::string dai = "GET /api/trangthai HTTP/1.1\r\nX: " + std::string(20 * 1024, 'y');
    const auto catNgan = tachPhanHoi(mc.tho(dai));
    EXPECT_EQ(catNgan.ma, 431);
    EXPECT_EQ(catNgan.than.find("banCo"), std::string::npos);
    // Odd bytes in the request line reach the router harmlessly.
    EXPECT_EQ(tachPhanHoi(mc.tho("GET /\x01\xff%%%?&&== HTTP/1.1\r\n\r\n")).ma, 404);
    EXPECT_EQ(tachPhanHoi(mc.tho("GET /api/cham?hang=%ZZ&cot=1e99&&& HTTP/1.1\r\n\r\n")).ma, 200);
    EXPECT_EQ(tachPhanHoi(mc.tho("\x80\x81 x\r\n\r\n")).ma, 405);
    EXPECT_TRUE(conTraLoi(mc));
    // Unanswered connections are not logged.
    std::string ra = mc.chuongTrinh().ra();
    EXPECT_EQ(ra.find("GARBAGE"), std::string::npos);
}

TEST(ChongChiu, SlowTrickleCannotHoldTheServer) {
    MayChuThu mc;
    // One byte every 100 ms never trips the per-receive time-out; 600 bytes
    // would take a minute. The server must drop it long before that.
    int s = ketNoi(mc.cong());
    ASSERT_GE(s, 0);
    std::atomic<int> daGui{0};
    std::atomic<bool> xong{false};
    std::thread nho([&] {
        for (int i = 0; i < 600 && !xong; ++i) {
            if (guiMot(s, "a", 1) != 1) break;
            ++daGui;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    ASSERT_TRUE(choDen([&] { return daGui > 3; }));
    // Blocks until the trickler has been cut off, then must be answered.
    EXPECT_TRUE(conTraLoi(mc));
    EXPECT_LT(daGui.load(), 600) << "answered only after the trickle ended by itself";
    xong = true;
    nho.join();
    dongKetNoi(s);
}

TEST(ChongChiu, VanishingPeersDoNotKillTheServer) {
    MayChuThu mc;
    // A large file, so that the answer takes many writes. The client closes
    // right after asking: its reset to the first bytes turns the next write
    // into EPIPE, which must not raise SIGPIPE in the server.
    ghiTep(mc.web() / "lon.bin", std::string(32 * 1024 * 1024, 'z'));
    for (int i = 0; i < 3; ++i) {
        int s = ketNoi(mc.cong());
        ASSERT_GE(s, 0);
        guiHet(s, "GET /lon.bin HTTP/1.1\r\n\r\n");
        dongKetNoi(s);
        ASSERT_TRUE(mc.chuongTrinh().choDongRa("[web] GET /lon.bin -> 200\n")) << "logged whatever the send did";
    }
    // The same with a reset instead of a graceful close, once the answer started.
    {
        int s = ketNoi(mc.cong());
        ASSERT_GE(s, 0);
        guiHet(s, "GET /lon.bin HTTP/1.1\r\n\r\n");
        char mot;
        nhanMot(s, &mot, 1);
        dongBangReset(s);
    }
    // Connections that close before sending anything, or half-way.
    for (const std::string& nua : {std::string(), std::string("GET /api/tra")}) {
        int s = ketNoi(mc.cong());
        ASSERT_GE(s, 0);
        guiHet(s, nua);
        dongKetNoi(s);
    }
    EXPECT_TRUE(conTraLoi(mc));
    EXPECT_FALSE(mc.chuongTrinh().daThoat());
}
