#include "dong_ho.h"

#include <gtest/gtest.h>

#include "gio_gia.h"

TEST(DongHo, OffClockNeverRunsOut) {
    for (int giay : {0, -5}) {
        DongHo dh(&gioGia::doc);
        dh.caiDat(giay, 0.0);
        dh.batDauLuot(DO);
        gioGia::troi(100000.0);
        EXPECT_FALSE(dh.bat);
        EXPECT_FALSE(dh.hetGio(DO));
        EXPECT_FALSE(dh.hetGio(DEN));
        EXPECT_EQ(dh.giayConLai(DO), 0.0);
        EXPECT_EQ(dh.giayConLai(DEN), 0.0);
        EXPECT_EQ(dh.hienThi(DO), "--:--");
        // Turns are still started and stopped, harmlessly.
        EXPECT_TRUE(dh.dangDemGio);
        dh.ketThucLuot(DO);
        EXPECT_FALSE(dh.dangDemGio);
        EXPECT_EQ(dh.conLai[0], 0.0);
    }
}

TEST(DongHo, OnlyTheRunningSideIsCharged) {
    DongHo dh(&gioGia::doc);
    dh.caiDat(600, 0.0);
    EXPECT_FALSE(dh.dangDemGio);
    dh.batDauLuot(DO);
    gioGia::troi(2.5);
    EXPECT_DOUBLE_EQ(dh.giayConLai(DO), 597.5);
    EXPECT_DOUBLE_EQ(dh.giayConLai(DEN), 600.0);
    EXPECT_DOUBLE_EQ(dh.giayDaDungTrongLuot(), 2.5);
    // Reading never writes: the stored time moves only when the turn ends.
    EXPECT_DOUBLE_EQ(dh.conLai[0], 600.0);

    dh.ketThucLuot(DO);
    EXPECT_DOUBLE_EQ(dh.conLai[0], 597.5);
    EXPECT_EQ(dh.giayDaDungTrongLuot(), 0.0);
    gioGia::troi(30.0);
    EXPECT_DOUBLE_EQ(dh.giayConLai(DO), 597.5);

    // Ending a turn that is not the running one charges nobody, yet idles the clock.
    dh.batDauLuot(DEN);
    gioGia::troi(4.0);
    dh.ketThucLuot(DO);
    EXPECT_FALSE(dh.dangDemGio);
    EXPECT_DOUBLE_EQ(dh.conLai[0], 597.5);
    EXPECT_DOUBLE_EQ(dh.conLai[1], 600.0);
}

TEST(DongHo, RestartingATurnDropsTheFirstOne) {
    DongHo dh(&gioGia::doc);
    dh.caiDat(100, 0.0);
    dh.batDauLuot(DEN);
    gioGia::troi(40.0);
    dh.batDauLuot(DEN);
    gioGia::troi(5.0);
    dh.ketThucLuot(DEN);
    EXPECT_DOUBLE_EQ(dh.conLai[1], 95.0);
}

TEST(DongHo, ZeroIsOutOfTimeAndNeverBelow) {
    DongHo dh(&gioGia::doc);
    dh.caiDat(10, 0.0);
    dh.batDauLuot(DO);
    gioGia::troi(9.5);
    EXPECT_FALSE(dh.hetGio(DO));
    gioGia::troi(0.5);
    EXPECT_TRUE(dh.hetGio(DO));
    EXPECT_FALSE(dh.hetGio(DEN));
    gioGia::troi(50.0);
    EXPECT_EQ(dh.giayConLai(DO), 0.0);
    dh.ketThucLuot(DO);
    EXPECT_EQ(dh.conLai[0], 0.0);
    EXPECT_TRUE(dh.hetGio(DO));
    EXPECT_EQ(dh.hienThi(DO), "00:00");
}

TEST(DongHo, DisplayRoundsUp) {
    DongHo dh(&gioGia::doc);
    dh.caiDat(6000, 0.0);
    EXPECT_EQ(dh.hienThi(DO), "100:00");  // minutes are not capped
    dh.caiDat(62, 0.0);
    dh.batDauLuot(DO);
    gioGia::troi(1.0);
    EXPECT_EQ(dh.hienThi(DO), "01:01");
    gioGia::troi(60.6);  // 0.4 s left
    EXPECT_EQ(dh.hienThi(DO), "00:01");
    EXPECT_EQ(dh.hienThi(DEN), "01:02");
}

// The increment is earned by a move made in time, and only by that: a pause
// or a resignation stops the turn without it, a move after the flag fell
// gets nothing, and a move taken back gives its increment back.
TEST(DongHo, IncrementIsEarnedOnlyByAMoveInTime) {
    DongHo dh(&gioGia::doc);
    dh.caiDat(60, 5.0);
    dh.batDauLuot(DO);
    gioGia::troi(10.0);
    dh.ketThucLuot(DO);
    EXPECT_DOUBLE_EQ(dh.conLai[0], 55.0);

    dh.batDauLuot(DEN);
    gioGia::troi(2.0);
    dh.dungLuot(DEN);
    EXPECT_DOUBLE_EQ(dh.conLai[1], 58.0);
    EXPECT_FALSE(dh.dangDemGio);

    dh.batDauLuot(DEN);
    gioGia::troi(58.5);
    dh.ketThucLuot(DEN);
    EXPECT_EQ(dh.conLai[1], 0.0);
    EXPECT_TRUE(dh.hetGio(DEN));

    dh.traLaiCongThem(DO);
    EXPECT_DOUBLE_EQ(dh.conLai[0], 50.0);
    for (int i = 0; i < 20; ++i) dh.traLaiCongThem(DO);
    EXPECT_EQ(dh.conLai[0], 0.0);
}
