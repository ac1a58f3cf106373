// The platform layer: listening sockets, time-outs, a dead peer, the
// web-directory search, the per-user data folder, reading a file that may
// be anything.
#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "may_chu_thu.h"
#include "nen_tang.h"

namespace fs = std::filesystem;

TEST(NenTangMoCong, RangeFreePortAndBusyPort) {
    int cong = 12345;
    EXPECT_EQ(nenTang::moCong(65536, cong), nenTang::SOCKET_LOI);
    EXPECT_EQ(nenTang::moCong(-1, cong), nenTang::SOCKET_LOI);
    EXPECT_EQ(nenTang::moCong(70000, cong), nenTang::SOCKET_LOI);
    EXPECT_EQ(cong, 12345) << "a failed attempt leaves the out-argument alone";

    nenTang::Socket s = nenTang::moCong(0, cong);
    ASSERT_NE(s, nenTang::SOCKET_LOI);
    EXPECT_GT(cong, 0);
    EXPECT_NE(cong, 12345);

    // Another socket on the same port must fail: no address reuse.
    int khac = 777;
    EXPECT_EQ(nenTang::moCong(cong, khac), nenTang::SOCKET_LOI);
    EXPECT_EQ(khac, 777);
    nenTang::dongSocket(s);
    nenTang::dongSocket(nenTang::SOCKET_LOI);  // ignored
}

#ifndef _WIN32
// The server closes each connection first, leaving it in TIME_WAIT for a
// minute; a program restarted meanwhile must still get its port back, or the
// page the player has open can no longer find it.
TEST(NenTangMoCong, PortComesBackWhileItsLastConnectionWaits) {
    int cong = 0;
    nenTang::Socket nghe = nenTang::moCong(0, cong);
    ASSERT_NE(nghe, nenTang::SOCKET_LOI);
    int khach = thu::ketNoi(cong);
    ASSERT_GE(khach, 0);
    ASSERT_TRUE(nenTang::coKetNoi(nghe, 10000));
    nenTang::Socket kn = nenTang::chapNhan(nghe);
    ASSERT_NE(kn, nenTang::SOCKET_LOI);
    nenTang::dongSocket(kn);
    char mot;
    EXPECT_EQ(thu::nhanMot(khach, &mot, 1, true), 0) << "the server's end of stream";
    thu::dongKetNoi(khach);
    nenTang::dongSocket(nghe);

    int lai = 0;
    nenTang::Socket moi = nenTang::moCong(cong, lai);
    EXPECT_NE(moi, nenTang::SOCKET_LOI);
    EXPECT_EQ(lai, cong);
    nenTang::dongSocket(moi);
}
#endif

TEST(NenTangKetNoi, WaitAcceptReceiveSendAndDeadPeer) {
    int cong = 0;
    nenTang::Socket nghe = nenTang::moCong(0, cong);
    ASSERT_NE(nghe, nenTang::SOCKET_LOI);
    EXPECT_FALSE(nenTang::coKetNoi(nghe, 50)) << "nobody connected";

    int khach = thu::ketNoi(cong);
    ASSERT_GE(khach, 0);
    ASSERT_TRUE(nenTang::coKetNoi(nghe, 10000));
    nenTang::Socket kn = nenTang::chapNhan(nghe);
    ASSERT_NE(kn, nenTang::SOCKET_LOI);
    nenTang::datHanKetNoi(kn, 100, 1000);

    char buf[16];
    EXPECT_LT(nenTang::nhan(kn, buf, sizeof buf), 0) << "receive time-out reads as failure";
    thu::guiHet(khach, "abc");
    EXPECT_EQ(nenTang::nhan(kn, buf, sizeof buf), 3);
    EXPECT_EQ(nenTang::gui(kn, "xy", 2), 2);
    char hai[2];
    ASSERT_EQ(thu::nhanMot(khach, hai, 2, true), 2);

    // Writing to a peer that has gone must return an error, not raise
    // SIGPIPE (which would end this test program). A graceful close first
    // (the connection waits in CLOSE_WAIT), so the peer's reset to our next
    // write turns the write after it into EPIPE, the case that signals.
    thu::dongKetNoi(khach);
    char mot;
    EXPECT_EQ(nenTang::nhan(kn, &mot, 1), 0) << "the peer's end of stream";
    int64_t ketQua = 1;
    for (int i = 0; i < 50 && ketQua > 0; ++i) ketQua = nenTang::gui(kn, "payload", 7);
    EXPECT_LE(ketQua, 0);
    EXPECT_EQ(nenTang::nhan(nenTang::SOCKET_LOI, buf, 1), -1);
    nenTang::dongSocket(kn);
    nenTang::dongSocket(nghe);
}

TEST(NenTangThuMuc, ExecutableDirAndWebSearchFallbacks) {
    fs::path exe = nenTang::thuMucThucThi();
    EXPECT_TRUE(fs::is_directory(exe));
    // The test program's own directory and its parent hold no web/index.html,
    // so the search falls to the working directory, then to exe/web.
    ASSERT_FALSE(fs::exists(exe / "web" / "index.html"));
    ASSERT_FALSE(fs::exists(exe.parent_path() / "web" / "index.html"));

    thu::ThuMucTam tam;
    fs::path cu = fs::current_path();
    fs::current_path(tam.duongDan());
    EXPECT_EQ(nenTang::timThuMucWeb(), exe / "web");
    thu::ghiTep(tam.duongDan() / "web" / "index.html", "x");
    EXPECT_EQ(nenTang::timThuMucWeb(), fs::current_path() / "web");
    fs::current_path(cu);
#ifdef _WIN32
    // Windows reads the process's own command line, not argv: the real
    // program's Vietnamese --web-root (DongLenh) covers it there.
    return;
#endif

    char a0[] = "prog", a1[] = "th\xc6\xb0 m\xe1\xbb\xa5" "c";
    char* argv[] = {a0, a1, nullptr};
    auto ts = nenTang::thamSoUtf8(2, argv);
    ASSERT_EQ(ts.size(), 2u);
    EXPECT_EQ(ts[1], "thư mục");
}

TEST(NenTangThuMuc, PerUserDataFolderIsFoundAndCreated) {
    thu::ThuMucTam tam;
#ifdef _WIN32
    const fs::path goc = tam.duongDan() / "AppData" / "Local";
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", goc.c_str());
    EXPECT_EQ(nenTang::thuMucDuLieu(), goc / "tavelin3d");
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
#else
    const fs::path goc = tam.duongDan() / "nha" / ".local" / "share";
    ::setenv("XDG_DATA_HOME", (tam.duongDan() / "xdg").c_str(), 1);
    ::setenv("HOME", (tam.duongDan() / "nha").c_str(), 1);
    EXPECT_EQ(nenTang::thuMucDuLieu(), tam.duongDan() / "xdg" / "tavelin3d");
    // A relative XDG_DATA_HOME counts as unset: the home's .local/share.
    ::setenv("XDG_DATA_HOME", "tuong/doi", 1);
    EXPECT_EQ(nenTang::thuMucDuLieu(), goc / "tavelin3d");
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("HOME");
#endif
    EXPECT_TRUE(fs::is_directory(goc / "tavelin3d")) << "created, parents included";
    EXPECT_EQ(nenTang::thuMucDuLieu(), fs::path()) << "no home: no folder";
}

TEST(NenTangTep, ReadingRefusesDevicesPipesAndLargeFilesAtOnce) {
    thu::ThuMucTam tam;
    std::string noiDung = "cu";
    EXPECT_EQ(nenTang::docTepThuong(tam.duongDan() / "khong_co", 100, noiDung), nenTang::DocTep::KHONG_CO);
    EXPECT_EQ(nenTang::docTepThuong(tam.duongDan(), 100, noiDung), nenTang::DocTep::KHONG_CO) << "a folder";
    thu::ghiTep(tam.duongDan() / "lon", std::string(101, 'x'));
    EXPECT_EQ(nenTang::docTepThuong(tam.duongDan() / "lon", 100, noiDung), nenTang::DocTep::KHONG_HOP_LE);
    EXPECT_EQ(nenTang::docTepThuong(tam.duongDan() / "lon", 101, noiDung), nenTang::DocTep::DUOC);
    EXPECT_EQ(noiDung, std::string(101, 'x'));
#ifdef _WIN32
    EXPECT_EQ(nenTang::docTepThuong(L"NUL", 100, noiDung), nenTang::DocTep::KHONG_HOP_LE);
#else
    // A device that never ends and a FIFO nobody writes to: refused without
    // a byte read or a wait.
    EXPECT_EQ(nenTang::docTepThuong("/dev/zero", 100, noiDung), nenTang::DocTep::KHONG_HOP_LE);
    const fs::path fifo = tam.duongDan() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(nenTang::docTepThuong(fifo, 100, noiDung), nenTang::DocTep::KHONG_HOP_LE);
#endif
}
