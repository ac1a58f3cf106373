// The program's command line: usage, missing front end, port choice and
// failures, browser launch, and the orderly stop on signals.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "may_chu_thu.h"
#include "nen_tang.h"

using namespace thu;

namespace {

// The usage text lists every option the program reads, each on a line of its own.
bool laCachDung(const std::string& ra) {
    if (ra.rfind("Cách dùng: tavelin3d ", 0) != 0) return false;
    for (const char* tuyChon : {"--port N ", "--serve ", "--no-open ", "--web-root THU_MUC ", "--data-dir THU_MUC ",
                                "--no-autosave ", "-h, --help "}) {
        if (ra.find(std::string("\n  ") + tuyChon) == std::string::npos) return false;
    }
    return true;
}
const std::string KHONG_CO_CONG = "Không mở được cổng máy chủ!\n";
const std::string KHONG_CO_TRINH_DUYET = "Không tìm thấy trình duyệt — hãy mở địa chỉ trên bằng tay.\n";

// A temporary directory with web/index.html in it.
struct CoWeb {
    ThuMucTam tam;
    CoWeb() { ghiTep(web() / "index.html", "x"); }
    fs::path web() const { return tam.duongDan() / "web"; }
};

}  // namespace

TEST(DongLenh, UsageEndsAtOnceWithExitZero) {
    ThuMucTam tam;
    for (auto thamSo : std::vector<std::vector<std::string>>{
             {"-h"}, {"--help"}, {"--port", "0", "-h", "--bogus"}, {"--web-root", "/khong/co", "--help"}}) {
        KetQuaChay kq = chayDenHet(tam.duongDan(), thamSo);
        EXPECT_EQ(kq.maThoat, 0) << thamSo[0];
        EXPECT_TRUE(laCachDung(kq.ra)) << kq.ra;
        EXPECT_EQ(kq.loi, "");
    }
    // "-h" as the value of --port is consumed as the value, not obeyed.
    KetQuaChay kq = chayDenHet(tam.duongDan(), {"--port", "-h", "--web-root", "/khong/co"});
    EXPECT_EQ(kq.maThoat, 1);
}

TEST(DongLenh, MissingFrontEndFailsBeforeAnySocket) {
    ThuMucTam tam;
    ghiTep(tam.duongDan() / "web" / "khac.html", "x");
    fs::create_directories(tam.duongDan() / "web" / "index.html" / "thu_muc");  // a directory is not the file
    for (const char* goc : {"web", "/khong/co/dau"}) {
        KetQuaChay kq = chayDenHet(tam.duongDan(), {"--serve", "--port", "0", "--web-root", goc});
        EXPECT_EQ(kq.maThoat, 1) << goc;
        EXPECT_EQ(kq.loi, "Không tìm thấy web/index.html. Giữ thư mục web cạnh chương trình hoặc dùng --web-root.\n");
        EXPECT_EQ(kq.ra, "") << "no port was opened or announced";
    }
}

TEST(DongLenh, PortOutOfRangeHugeOrBusyFails) {
    CoWeb cw;
    for (const char* cong : {"70000", "99999999999999999999999", "-99999999999999999999", "-20", "-5"}) {
        KetQuaChay kq = chayDenHet(cw.tam.duongDan(), {"--serve", "--web-root", cw.web().string(), "--port", cong});
        EXPECT_EQ(kq.maThoat, 1) << cong;
        EXPECT_EQ(kq.loi, KHONG_CO_CONG) << cong;
        EXPECT_EQ(kq.ra, "");
    }
}

// Holds `n` consecutive free ports (closed on destruction); coSo is the first.
struct GiuCong {
    std::vector<nenTang::Socket> ds;
    int coSo = 0;
    explicit GiuCong(int n) {
        for (int lan = 0; lan < 100 && static_cast<int>(ds.size()) < n; ++lan) {
            tha();
            nenTang::Socket dau = nenTang::moCong(0, coSo);
            if (dau == nenTang::SOCKET_LOI) continue;
            ds.push_back(dau);
            for (int k = 1; k < n && coSo + k <= 65535; ++k) {
                int bo = 0;
                nenTang::Socket s = nenTang::moCong(coSo + k, bo);
                if (s == nenTang::SOCKET_LOI) break;
                ds.push_back(s);
            }
        }
    }
    void tha() {
        for (auto s : ds) nenTang::dongSocket(s);
        ds.clear();
    }
    ~GiuCong() { tha(); }
};

TEST(DongLenh, BusyPortsAreSkippedUpToTen) {
    CoWeb cw;
    {
        GiuCong giu(2);
        ASSERT_EQ(giu.ds.size(), 2u);
        ChuongTrinh ct(cw.tam.duongDan(), {"--serve", "--web-root", cw.web().string(), "--port", std::to_string(giu.coSo)});
        ASSERT_TRUE(ct.choDongRa("\n"));
        EXPECT_EQ(ct.ra().substr(0, ct.ra().find('\n')), "PORT=" + std::to_string(giu.coSo + 2));
        ct.guiTinHieu(SIGTERM);
        EXPECT_EQ(ct.choThoat(), 0);
    }
    GiuCong giu(10);
    ASSERT_EQ(giu.ds.size(), 10u);
    KetQuaChay kq = chayDenHet(cw.tam.duongDan(), {"--serve", "--web-root", cw.web().string(), "--port", std::to_string(giu.coSo)});
    EXPECT_EQ(kq.maThoat, 1);
    EXPECT_EQ(kq.loi, KHONG_CO_CONG);
}

TEST(DongLenh, ChosenPortAnnouncedSignalsStopWithZero) {
    CoWeb cw;
    for (int tinHieu : {SIGTERM, SIGINT}) {
        // A port that is not a number reads as 0: the system chooses.
        ChuongTrinh ct(cw.tam.duongDan(), {"--bogus", "--serve", "--web-root", cw.web().string(), "--port", "abc"});
        int cong = ct.cong();
        ASSERT_GT(cong, 0);
        ASSERT_TRUE(ct.choDongRa("/\n"));
        EXPECT_EQ(get(cong, "/api/trangthai").ma, 200);
        ASSERT_TRUE(ct.choDongRa("-> 200\n"));
        EXPECT_EQ(ct.ra(), "PORT=" + std::to_string(cong) + "\nWEB: http://127.0.0.1:" + std::to_string(cong) +
                               "/\n[web] GET /api/trangthai -> 200\n");
        ct.guiTinHieu(tinHieu);
        EXPECT_EQ(ct.choThoat(), 0);
        EXPECT_EQ(ct.loi(), "");
    }
}

TEST(DongLenh, WebRootWithVietnameseLettersIsServed) {
    // Windows hands the program its arguments in the ANSI code page unless it
    // reads the wide command line; these letters are in no such code page.
    ThuMucTam tam;
    const fs::path web = tam.duongDan() / fs::path(u8"th\u01b0 m\u1ee5c") / "web";
    ghiTep(web / "index.html", "xin ch\xc3\xa0o");
    const std::u8string goc = web.u8string();
    ChuongTrinh ct(tam.duongDan(), {"--serve", "--port", "0", "--web-root", std::string(goc.begin(), goc.end())});
    const int cong = ct.cong();
    ASSERT_GT(cong, 0) << ct.loi();
    EXPECT_EQ(get(cong, "/").than, "xin ch\xc3\xa0o");
    ct.guiTinHieu(SIGINT);
    EXPECT_EQ(ct.choThoat(), 0);
}

TEST(DongLenh, BrowserLaunchedOrReportedMissing) {
#ifdef _WIN32
    GTEST_SKIP() << "stands in a shell script for xdg-open";
#else
    CoWeb cw;
    // A stand-in for the desktop's opener that records what it was asked.
    fs::path bin = cw.tam.duongDan() / "bin";
    fs::path ghi = cw.tam.duongDan() / "url.txt";
    ghiTep(bin / "xdg-open", "#!/bin/sh\necho \"$1\" > '" + ghi.string() + "'\n");
    ::chmod((bin / "xdg-open").c_str(), 0755);
    {
        ChuongTrinh ct(cw.tam.duongDan(), {"--port", "0", "--web-root", cw.web().string()}, {"PATH=" + bin.string()});
        int cong = ct.cong();
        ASSERT_GT(cong, 0);
        ASSERT_TRUE(choDen([&] { return docHetTep(ghi).find('\n') != std::string::npos; }));
        EXPECT_EQ(docHetTep(ghi), "http://127.0.0.1:" + std::to_string(cong) + "/\n");
        EXPECT_EQ(get(cong, "/api/trangthai").ma, 200);
        EXPECT_EQ(ct.ra().find("trình duyệt"), std::string::npos);
        ct.guiTinHieu(SIGTERM);
        EXPECT_EQ(ct.choThoat(), 0);
    }
    {
        fs::path rong = cw.tam.duongDan() / "rong";
        fs::create_directories(rong);
        ChuongTrinh ct(cw.tam.duongDan(), {"--port", "0", "--web-root", cw.web().string()}, {"PATH=" + rong.string()});
        int cong = ct.cong();
        ASSERT_TRUE(ct.choDongRa(KHONG_CO_TRINH_DUYET));
        EXPECT_EQ(ct.ra(), "PORT=" + std::to_string(cong) + "\nWEB: http://127.0.0.1:" + std::to_string(cong) + "/\n" +
                               KHONG_CO_TRINH_DUYET);
        EXPECT_EQ(get(cong, "/api/trangthai").ma, 200) << "serving goes on without a browser";
        ct.guiTinHieu(SIGTERM);
        EXPECT_EQ(ct.choThoat(), 0);
    }
#endif
}
