// Stopping while the computer searches: the program ends with exit code 0
// once that search is over, its move never lands and no thread outlives the
// server object. Killed outright, the program loses no move it has shown:
// the next one offers the game back.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>
#include <nlohmann/json.hpp>

#include "giao_dien_web.h"
#include "may_chu_thu.h"
#include "pgn.h"
#include "tu_luu.h"

using json = nlohmann::json;
using namespace thu;

namespace {

// Threads of this process, from the kernel's own list. A thread just joined
// may stay in it a moment longer (the join returns when the thread has left
// its memory, before the kernel drops it): counts after a join are waited for.
size_t soLuong() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& t : fs::directory_iterator("/proc/self/task")) ++n;
    return n;
}

}  // namespace

TEST(TatMay, SignalDuringAHardSearchEndsWithZero) {
    for (int tinHieu : {SIGTERM, SIGINT}) {
        MayChuThu mc;
        // The computer plays red at the hard level: it starts thinking at once,
        // and a search from the opening runs to its time limit.
        json s = json::parse(mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=KHO"));
        ASSERT_EQ(s["mayDangNghi"], true);
        // And the analysis thinks without a bound meanwhile.
        ASSERT_EQ(json::parse(mc.api("phantich?dong=3&fen=rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR%20w"))["ok"], true);
        // A client that has half-sent a request keeps the serving thread busy
        // as well when the signal comes.
        int treo = ketNoi(mc.cong());
        ASSERT_GE(treo, 0);
        guiHet(treo, "GET /api/trangthai HTTP/1.1\r\n");
        mc.chuongTrinh().guiTinHieu(tinHieu);
        EXPECT_EQ(mc.chuongTrinh().choThoat(60s), 0) << tinHieu;
        EXPECT_EQ(mc.chuongTrinh().loi(), "");
        dongKetNoi(treo);
    }
}

// The master level thinks for seconds with a long clock; a stop ends that
// search at once, as it does the analysis's, instead of waiting for it.
TEST(TatMay, SignalEndsTheMasterSearchAtOnce) {
    MayChuThu mc;
    json s = json::parse(mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=CAO_THU&giay=7200"));
    ASSERT_EQ(s["mayDangNghi"], true);
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(json::parse(mc.api("trangthai"))["nuocThu"], 0) << "still thinking";
    mc.chuongTrinh().guiTinHieu(SIGTERM);
    // The search alone has seconds left to run (its soft limit is 4 s).
    EXPECT_EQ(mc.chuongTrinh().choThoat(3s), 0);
}

TEST(TatMay, StopDuringAHardSearchDropsItsMoveAndJoinsTheWorker) {
#ifdef _WIN32
    GTEST_SKIP() << "counts threads through /proc";
#endif
    // The thread sanitizer's runtime starts a helper thread of its own with
    // the first thread the program creates: let that happen before counting.
    std::thread([] {}).join();
    const size_t truoc = soLuong();
    {
        auto web = std::make_unique<GiaoDienWeb>(fs::temp_directory_path().string());
        EXPECT_EQ(soLuong(), truoc + 1) << "one worker";
        web->xuLyAPI("vanmoi", "cheDo=NM&pheNguoi=DEN&doKho=KHO");
        ASSERT_TRUE(choDen([&] { return web->dangTimNuoc(); }));
        // The opening search runs to its 2.5 s limit: the stop lands inside it.
        web->dungVaCho();
        EXPECT_TRUE(choDen([&] { return soLuong() == truoc; })) << soLuong();
        EXPECT_FALSE(web->dangTimNuoc());

        json s = json::parse(web->xuLyAPI("trangthai", ""));
        EXPECT_EQ(s["nuocThu"], 0);
        EXPECT_EQ(s["luot"], "DO");
        EXPECT_TRUE(s["lichSu"].empty());
        EXPECT_EQ(s["thongKeMay"]["co"], false);
        EXPECT_EQ(s["mayDangNghi"], false) << "the worker had taken the scheduled move";
    }
    EXPECT_EQ(soLuong(), truoc);
}

// The analysis thread ends with the server, in the middle of a search without
// a bound, and a request served after the stop starts no thread again.
TEST(TatMay, StopDuringAnAnalysisJoinsItsThread) {
#ifdef _WIN32
    GTEST_SKIP() << "counts threads through /proc";
#endif
    std::thread([] {}).join();
    const size_t truoc = soLuong();
    const std::string lenh = "dong=2&fen=rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR%20w";
    {
        auto web = std::make_unique<GiaoDienWeb>(fs::temp_directory_path().string());
        EXPECT_EQ(json::parse(web->xuLyAPI("phantich", lenh))["ok"], true);
        EXPECT_EQ(soLuong(), truoc + 2) << "the worker and the analysis";
        ASSERT_TRUE(choDen([&] { return json::parse(web->xuLyAPI("phantich", ""))["doSau"] >= 2; }));
        web->dungVaCho();
        EXPECT_TRUE(choDen([&] { return soLuong() == truoc; })) << soLuong();
        const json a = json::parse(web->xuLyAPI("phantich", "dong=1&fen=4k4/9/9/9/9/9/9/9/R8/3K4R%20w"));
        EXPECT_EQ(a["ok"], true);
        EXPECT_EQ(soLuong(), truoc);
    }
    EXPECT_EQ(soLuong(), truoc);
}

TEST(TatMay, KilledMidTimedGameComesBackPausedWithBothClocks) {
    ThuMucTam duLieu;
    const std::vector<std::string> thamSo = {"--data-dir", duLieu.duongDan().string()};
    json truoc;
    {
        MayChuThu mc(thamSo);
        mc.api("vanmoi?giay=600");
        for (const char* o : {"hang=9&cot=1", "hang=7&cot=2", "hang=0&cot=1", "hang=2&cot=2", "hang=9&cot=7"})
            mc.api(std::string("cham?") + o);
        std::this_thread::sleep_for(300ms);
        truoc = json::parse(mc.api("cham?hang=7&cot=6"));
        ASSERT_EQ(truoc["hanhDong"], "di");
        // Killed right after the answer: nothing runs at exit.
        mc.chuongTrinh().giet();
    }
    std::this_thread::sleep_for(1s);  // the time it was stopped must not count

    MayChuThu mc(thamSo);
    json s = json::parse(mc.api("trangthai"));
    EXPECT_EQ(s["phienBan"], 1) << "the program still starts with a fresh game";
    EXPECT_EQ(s["nuocThu"], 0);
    json co = json::parse(mc.api("vantruoc"));
    EXPECT_EQ(co["co"], true);
    EXPECT_EQ(co["soNuoc"], 3);
    EXPECT_EQ(co["cheDo"], "NGUOI_NGUOI");
    EXPECT_EQ(co["giayMoiBen"], 600);

    s = json::parse(mc.api("khoiphuc"));
    EXPECT_EQ(s["hanhDong"], "khoiphuc");
    EXPECT_EQ(s["lichSu"], truoc["lichSu"]);
    EXPECT_EQ(s["luot"], "DEN");
    EXPECT_EQ(s["tamDungMay"], true);
    EXPECT_EQ(s["dongHo"]["giayMoiBen"], 600);
    const double doTruoc = truoc["dongHo"]["do"], denTruoc = truoc["dongHo"]["den"];
    const double doSau = s["dongHo"]["do"], denSau = s["dongHo"]["den"];
    EXPECT_LT(doTruoc, 599.8) << "red's thinking time was charged";
    EXPECT_NEAR(doSau, doTruoc, 0.011);
    EXPECT_NEAR(denSau, denTruoc, 0.011);
    // Paused: neither clock runs until the player continues.
    std::this_thread::sleep_for(1200ms);
    s = json::parse(mc.api("trangthai"));
    EXPECT_EQ(s["dongHo"]["do"], doSau);
    EXPECT_EQ(s["dongHo"]["den"], denSau);
    mc.api("tieptuc");
    ASSERT_TRUE(choDen([&] { return json::parse(mc.api("trangthai"))["dongHo"]["den"] < denSau - 0.2; }));
    EXPECT_EQ(json::parse(mc.api("trangthai"))["dongHo"]["do"], doSau);
}

TEST(TatMay, PlayedGamesSurviveAKillAndAGameKeepsItsOneFileAcrossRuns) {
    ThuMucTam duLieu;
    const std::vector<std::string> thamSo = {"--data-dir", duLieu.duongDan().string()};
    const fs::path thuMuc = duLieu.duongDan() / "van_da_choi";
    {
        // Ended (listed), then taken back, and the program killed.
        MayChuThu mc(thamSo);
        mc.api("cham?hang=7&cot=7");
        mc.api("cham?hang=7&cot=4");
        mc.api("xinthua");
        ASSERT_EQ(json::parse(mc.api("huy"))["ketQua"], "DANG_CHOI");
        mc.chuongTrinh().giet();
    }
    // The finished game's file is whole, and nothing else lies there.
    std::vector<fs::path> tep;
    for (const auto& muc : fs::directory_iterator(thuMuc)) tep.push_back(muc.path());
    ASSERT_EQ(tep.size(), 1u);
    EXPECT_EQ(tep[0].extension(), ".pgn");
    VanPGN van;
    std::string loi;
    ASSERT_TRUE(docPGN(docHetTep(tep[0]), van, loi)) << loi;
    EXPECT_EQ(van.ketQua, "1-0");
    EXPECT_EQ(van.nuoc.size(), 1u);
    const std::string id = tep[0].stem().string();
    // What a program killed between a swap and its flush leaves beside a file
    // goes with the next start, once a minute old.
    ghiTep(thuMuc / (id + ".pgn.tmp-1-0"), "[Event \"cu\"]\n");
    fs::last_write_time(thuMuc / (id + ".pgn.tmp-1-0"), fs::file_time_type::clock::now() - std::chrono::minutes(2));
    ghiTep(thuMuc / (id + ".pgn.tmp-1-1"), "[Event \"moi\"]\n");
    {
        // Continued in the next run and ended otherwise: still that one file.
        MayChuThu mc(thamSo);
        EXPECT_FALSE(fs::exists(thuMuc / (id + ".pgn.tmp-1-0")));
        EXPECT_TRUE(fs::exists(thuMuc / (id + ".pgn.tmp-1-1"))) << "a fresh one may be another program's";
        ASSERT_EQ(json::parse(mc.api("khoiphuc"))["nuocThu"], 1);
        mc.api("cham?hang=0&cot=7");
        mc.api("cham?hang=2&cot=6");
        mc.api("xinthua");
        json ds = json::parse(mc.api("vandachoi"));
        ASSERT_EQ(ds["van"].size(), 1u) << ds;
        EXPECT_EQ(ds["van"][0]["id"], id);
        EXPECT_EQ(ds["van"][0]["ketQua"], "0-1");
        EXPECT_EQ(ds["van"][0]["soNuoc"], 2);
        // A new game with a move, under way when the program is killed.
        mc.api("vanmoi?giay=0");
        mc.api("cham?hang=7&cot=1");
        ASSERT_EQ(json::parse(mc.api("cham?hang=7&cot=4"))["hanhDong"], "di");
        mc.chuongTrinh().giet();
    }
    // The next run lists it once its own game takes its place in the kept file.
    MayChuThu mc(thamSo);
    EXPECT_EQ(json::parse(mc.api("vandachoi"))["van"].size(), 1u);
    mc.api("vanmoi?giay=0");
    const json ds = json::parse(mc.api("vandachoi"));
    ASSERT_EQ(ds["van"].size(), 2u) << ds;
    EXPECT_EQ(ds["van"][0]["ketQua"], "*");
    EXPECT_EQ(ds["van"][0]["soNuoc"], 1);
    // An imported game nobody played on from, under way when killed: the
    // next run gives it back with its tags, still not listed, and lists
    // nothing when another takes its place.
    mc.api("nhapvan?nuoc=h2e2,h9g7&the_Red=A%20B");
    mc.chuongTrinh().giet();
    for (const bool tiepTuc : {true, false}) {
        MayChuThu lai(thamSo);
        if (tiepTuc) {
            const json s = json::parse(lai.api("khoiphuc"));
            EXPECT_EQ(s["the"]["Red"], "A B");
            EXPECT_EQ(s["nhapChuaLuu"], true);
        }
        lai.api("vanmoi?giay=0");
        EXPECT_EQ(json::parse(lai.api("vandachoi"))["van"].size(), 2u) << tiepTuc;
        if (tiepTuc) lai.api("nhapvan?nuoc=h2e2,h9g7&the_Red=A%20B");
        lai.chuongTrinh().giet();
    }
}

#ifndef _WIN32
// A data folder that cannot be written (here: a file put in its place, which
// stops root as well as anyone) loses nothing: the state document says so
// meanwhile, the console once, and each change tries again; once the folder
// is back, the next change keeps everything at once, the played games too.
TEST(TatMay, KeepingThatFailsIsSaidAndDoneOnceTheFolderIsBack) {
    ThuMucTam goc;
    const fs::path duLieu = goc.duongDan() / "du_lieu";
    fs::create_directory(duLieu);
    MayChuThu mc({"--data-dir", duLieu.string()});
    mc.api("cham?hang=9&cot=1");
    ASSERT_EQ(json::parse(mc.api("cham?hang=7&cot=2"))["hanhDong"], "di");
    EXPECT_EQ(mc.api("trangthai").find("loiTuLuu"), std::string::npos) << "absent while all is kept";

    fs::rename(duLieu, goc.duongDan() / "cat_di");
    ghiTep(duLieu, "not a folder");
    // An unfinished game replaced, then a game played to its end.
    json s = json::parse(mc.api("cham?hang=0&cot=1"));
    ASSERT_EQ(s["hanhDong"], "chon");
    s = json::parse(mc.api("cham?hang=2&cot=2"));
    ASSERT_EQ(s["hanhDong"], "di");
    const std::string loi = s.value("loiTuLuu", "");
    EXPECT_NE(loi.find("Không lưu được ván"), std::string::npos) << s.dump().substr(0, 80);
    mc.api("vanmoi?giay=0");
    mc.api("cham?hang=7&cot=7");
    mc.api("cham?hang=7&cot=4");
    s = json::parse(mc.api("xinthua"));
    EXPECT_EQ(s["ketQua"], "DO_THANG");
    EXPECT_EQ(s.value("loiTuLuu", ""), loi);
    EXPECT_EQ(json::parse(mc.api("trangthai")).value("loiTuLuu", ""), loi);
    const std::string ra = mc.chuongTrinh().loi();
    EXPECT_NE(ra.find(loi), std::string::npos);
    EXPECT_EQ(ra.find(loi), ra.rfind(loi)) << "said once";

    fs::remove(duLieu);
    fs::rename(goc.duongDan() / "cat_di", duLieu);
    s = json::parse(mc.api("bochon"));
    EXPECT_FALSE(s.contains("loiTuLuu")) << s.dump().substr(0, 80);
    VanDaLuu van;
    std::istringstream vao(docHetTep(duLieu / "van_dang_choi.save"));
    ASSERT_TRUE(docVanDaLuu(vao, van));
    EXPECT_EQ(van.nuoc.size(), 1u);
    EXPECT_EQ(van.ketQua, DO_THANG);
    const json ds = json::parse(mc.api("vandachoi"));
    ASSERT_EQ(ds["van"].size(), 2u) << ds;
    EXPECT_EQ(ds["van"][0]["ketQua"], "1-0");
    EXPECT_EQ(ds["van"][1]["ketQua"], "*");
    EXPECT_EQ(ds["van"][1]["soNuoc"], 2);
}

// Nothing stays beside the kept file for good: what a killed or cut-off
// write left goes at the next start, the newest game among it first put in
// place of a file left unreadable; a link put in the file's place goes once
// swapped out, and what it points to is never touched.
TEST(TatMay, NothingIsLeftBesideTheKeptFileForGood) {
    ThuMucTam duLieu;
    const std::vector<std::string> thamSo = {"--data-dir", duLieu.duongDan().string()};
    const fs::path tep = duLieu.duongDan() / "van_dang_choi.save";
    const auto benCanh = [&] {
        std::vector<std::string> ds;
        for (const auto& muc : fs::directory_iterator(duLieu.duongDan()))
            if (muc.path().filename().string().rfind("van_dang_choi.save.tmp-", 0) == 0)
                ds.push_back(muc.path().filename().string());
        return ds;
    };
    ghiTep(tep, "");
    ghiTep(duLieu.duongDan() / "van_dang_choi.save.tmp-7-0", "TAVELIN1\nnuoc 2\n9 1 7 2\n0 1 2 2\n");
    ghiTep(duLieu.duongDan() / "van_dang_choi.save.tmp-7-1", "TAVELIN");
    for (const char* ten : {"van_dang_choi.save.tmp-7-0", "van_dang_choi.save.tmp-7-1"})
        fs::last_write_time(duLieu.duongDan() / ten, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    {
        MayChuThu mc(thamSo);
        EXPECT_EQ(json::parse(mc.api("vantruoc"))["soNuoc"], 2);
        EXPECT_TRUE(choDen([&] { return benCanh().empty(); }, 10s)) << benCanh().size();
        VanDaLuu van;
        std::istringstream vao(docHetTep(tep));
        ASSERT_TRUE(docVanDaLuu(vao, van));
        EXPECT_EQ(van.nuoc.size(), 2u);
    }
    const fs::path dich = duLieu.duongDan() / "dich.txt";
    ghiTep(dich, "giu nguyen");
    fs::remove(tep);
    fs::create_symlink(dich, tep);
    MayChuThu mc(thamSo);
    mc.api("vanmoi?giay=0");
    mc.api("cham?hang=9&cot=1");
    ASSERT_EQ(json::parse(mc.api("cham?hang=7&cot=2"))["hanhDong"], "di");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(tep)));
    EXPECT_TRUE(choDen([&] { return benCanh().empty(); }, 10s)) << benCanh().size();
    EXPECT_EQ(docHetTep(dich), "giu nguyen");
}
#endif

TEST(TatMay, KeptFileLeftUnreadableByAPowerCutFallsBackToTheNewestEarlierText) {
    ThuMucTam tam;
    const fs::path tep = tam.duongDan() / "van_dang_choi.save";
    const auto bayGio = fs::file_time_type::clock::now();
    // What a power cut can leave of a file that had not reached the device,
    // and the earlier texts beside it, newest not a game.
    ghiTep(tep, "");
    const std::pair<const char*, const char*> benCanh[] = {
        {"van_dang_choi.save.tmp-7-0", "TAVELIN1\nnuoc 1\n9 1 7 2\n"},
        {"van_dang_choi.save.tmp-7-1", "TAVELIN1\nnuoc 2\n9 1 7 2\n0 1 2 2\n"},
        {"van_dang_choi.save.tmp-7-2", "TAVELIN"},
    };
    for (size_t i = 0; i < 3; ++i) {
        ghiTep(tam.duongDan() / benCanh[i].first, benCanh[i].second);
        fs::last_write_time(tam.duongDan() / benCanh[i].first, bayGio - std::chrono::seconds(30 - 10 * i));
    }
    VanDaLuu van;
    ASSERT_TRUE(TuLuu::docVanDaGiu(tep, van));
    EXPECT_EQ(van.nuoc.size(), 2u);
    // A whole file is read as it stands.
    ghiTep(tep, "TAVELIN1\nnuoc 0\n");
    ASSERT_TRUE(TuLuu::docVanDaGiu(tep, van));
    EXPECT_TRUE(van.nuoc.empty());
}
