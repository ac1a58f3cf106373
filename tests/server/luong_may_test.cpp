// The computer-move worker through the real program: the computer's first
// move, stale searches, computer-against-computer with pause and resume, and
// stopping while a search runs.
#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>

#include "may_chu_thu.h"

using json = nlohmann::json;
using thu::MayChuThu;
using namespace std::chrono_literals;

namespace {

json trangThai(const MayChuThu& mc) { return json::parse(mc.api("trangthai")); }

}  // namespace

TEST(LuongMay, ComputerPlaysRedAtOnceAndHumanTurnFollows) {
    MayChuThu mc;
    json s = json::parse(mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=DE"));
    EXPECT_EQ(s["mayDangNghi"], true);
    EXPECT_EQ(s["luot"], "DO");
    const uint64_t phien = s["phienBan"];
    ASSERT_TRUE(thu::choDen([&] { return trangThai(mc)["nuocThu"] == 1; }));
    s = trangThai(mc);
    EXPECT_EQ(s["luot"], "DEN");
    EXPECT_EQ(s["phienBan"], phien) << "the worker never changes the version";
    EXPECT_EQ(s["thongKeMay"]["co"], true);
    EXPECT_EQ(s["mayDangNghi"], false);
    EXPECT_EQ(s["lichSu"].size(), 1u);

    // The human (black) answers; the computer then plays again.
    json chon = json::parse(mc.api("cham?hang=0&cot=0"));
    ASSERT_EQ(chon["hanhDong"], "chon");
    json di = json::parse(mc.api("cham?hang=1&cot=0"));
    ASSERT_EQ(di["hanhDong"], "di");
    EXPECT_EQ(di["luot"], "DO");
    EXPECT_EQ(di["mayDangNghi"], true) << "the wake-up comes before the reply is built";
    ASSERT_TRUE(thu::choDen([&] { return trangThai(mc)["nuocThu"] == 3; }));

    // Undo outside computer-against-computer hands the move back to the
    // computer when it is then to move.
    s = json::parse(mc.api("huy"));
    EXPECT_EQ(s["hanhDong"], "huy");
    EXPECT_EQ(s["tamDungMay"], false);
    EXPECT_EQ(s["thongKeMay"]["co"], false);
}

TEST(LuongMay, StaleSearchNeverLandsInANewGame) {
    MayChuThu mc;
    // The hard level searches for seconds; a new game arrives meanwhile.
    mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=KHO");
    json s = json::parse(mc.api("vanmoi?cheDo=NN&giay=0"));
    ASSERT_EQ(s["cheDo"], "NGUOI_NGUOI");
    // Wait for the old search to end, then make sure its move was dropped.
    ASSERT_TRUE(thu::choDen([&] { return trangThai(mc)["mayDangNghi"] == false; }));
    std::this_thread::sleep_for(300ms);
    s = trangThai(mc);
    EXPECT_EQ(s["nuocThu"], 0);
    EXPECT_EQ(s["lichSu"].size(), 0u);
    EXPECT_EQ(s["thongKeMay"]["co"], false);
    EXPECT_EQ(json::parse(mc.api("cham?hang=9&cot=0"))["hanhDong"], "chon") << "red is still the human's to move";
}

TEST(LuongMay, ComputerAgainstComputerAdvancesPausesOnUndoAndResumes) {
    MayChuThu mc;
    json s = json::parse(mc.api("vanmoi?cheDo=MM&doKho=DE&giay=600"));
    EXPECT_EQ(s["mayDangNghi"], true);
    ASSERT_TRUE(thu::choDen([&] { return trangThai(mc)["nuocThu"] >= 3; }));

    s = json::parse(mc.api("huy"));
    EXPECT_EQ(s["hanhDong"], "huy");
    EXPECT_EQ(s["tamDungMay"], true);
    // A search that was running when the undo came is dropped (the version
    // changed), and nothing is started while paused, however long we wait;
    // neither clock runs meanwhile.
    const int daChoi = s["nuocThu"];
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(trangThai(mc)["nuocThu"], daChoi);
    EXPECT_EQ(trangThai(mc)["tamDungMay"], true);
    EXPECT_EQ(trangThai(mc)["dongHo"], s["dongHo"]);

    s = json::parse(mc.api("tieptuc"));
    EXPECT_EQ(s["hanhDong"], "tieptuc");
    EXPECT_EQ(s["tamDungMay"], false);
    EXPECT_EQ(s["mayDangNghi"], true);
    ASSERT_TRUE(thu::choDen([&] { return trangThai(mc)["nuocThu"] >= daChoi + 2; }));
    // Both sides are the computer's: the human can neither click nor ask.
    EXPECT_EQ(mc.api("cham?hang=9&cot=0"), R"({"ok":false,"lyDo":"Đang là lượt của máy"})");
    EXPECT_EQ(mc.api("goiy"), R"({"ok":false,"lyDo":"Đang là lượt của máy"})");
}

// On a short clock with an increment the hard level, which would take
// 2.5 s a move, thinks only what its clock can afford and never loses on
// time.
TEST(LuongMay, ShortClockWithAnIncrementIsNeverLostOnTime) {
    MayChuThu mc;
    mc.api("vanmoi?cheDo=MM&doKho=KHO&giay=3&tang=1");
    json s;
    ASSERT_TRUE(thu::choDen([&] {
        s = trangThai(mc);
        return s["nuocThu"] >= 8 || s["ketQua"] != "DANG_CHOI";
    }, 60s));
    EXPECT_EQ(s["ketQua"], "DANG_CHOI") << s["lyDo"];
}

TEST(LuongMay, StopDuringASearchExitsCleanly) {
    MayChuThu mc;
    mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=KHO");
    mc.chuongTrinh().guiTinHieu(SIGTERM);
    EXPECT_EQ(mc.chuongTrinh().choThoat(), 0);
}
