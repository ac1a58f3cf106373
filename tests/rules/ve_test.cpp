#include <gtest/gtest.h>

#include "ho_tro_ban_co.h"

namespace {

const std::string DO_ = "\x1b[91m", DEN_ = "\x1b[94m", HET = "\x1b[0m";

std::string hangQuan(const std::string& mau, const char* kyHieu, int khungO = -1, const char* khung = "{}") {
    std::string s;
    for (int c = 0; c < 9; ++c) {
        if (c) s += "-";
        s += mau + (c == khungO ? std::string(1, khung[0]) : " ") + kyHieu[c] + (c == khungO ? std::string(1, khung[1]) : " ") + HET;
    }
    return s;
}

std::string hangTrong() { return " + - + - + - + - + - + - + - + - + "; }

std::string hangVoiHaiQuan(const std::string& mau, char kyHieu) {
    std::string s;
    for (int c = 0; c < 9; ++c) {
        if (c) s += "-";
        s += (c == 1 || c == 7) ? mau + " " + kyHieu + " " + HET : std::string(" + ");
    }
    return s;
}

std::string hangTot(const std::string& mau) {
    std::string s;
    for (int c = 0; c < 9; ++c) {
        if (c) s += "-";
        s += (c % 2 == 0) ? mau + " B " + HET : std::string(" + ");
    }
    return s;
}

}  // namespace

TEST(VeBanCo, DefaultBoardByteForByte) {
    BanCo ban;
    std::string mong = "     a   b   c   d   e   f   g   h   i   \n";
    mong += "0   " + hangQuan(DEN_, "XMVSTSVMX") + "\n";
    mong += "1   " + hangTrong() + "\n";
    mong += "2   " + hangVoiHaiQuan(DEN_, 'P') + "\n";
    mong += "3   " + hangTot(DEN_) + "\n";
    mong += "4   " + hangTrong() + "\n";
    mong += "    ------ SÔNG ------\n";
    mong += "5   " + hangTrong() + "\n";
    mong += "6   " + hangTot(DO_) + "\n";
    mong += "7   " + hangVoiHaiQuan(DO_, 'P') + "\n";
    mong += "8   " + hangTrong() + "\n";
    mong += "9   " + hangQuan(DO_, "XMVSTSVMX", 0) + "\n";
    EXPECT_EQ(ban.veThanhChuoi(), mong);

    testing::internal::CaptureStdout();
    ban.ve();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), mong);
}

TEST(VeBanCo, CursorClampsAndSelectionWinsOverCursor) {
    BanCo ban;
    ban.diChuyenConTro(-20, 20);
    EXPECT_EQ(ban.hangConTro, 0);
    EXPECT_EQ(ban.cotConTro, 8);
    ban.diChuyenConTro(2000000000, -2000000000);
    EXPECT_EQ(ban.hangConTro, 9);
    EXPECT_EQ(ban.cotConTro, 0);

    ban.quanChon = ban.timQuan(9, 0);
    const std::string s = ban.veThanhChuoi();
    EXPECT_NE(s.find("9   " + hangQuan(DO_, "XMVSTSVMX", 0, "[]") + "\n"), std::string::npos);
    // An empty square under the cursor.
    ban.quanChon = nullptr;
    ban.diChuyenConTro(-5, 0);
    EXPECT_NE(ban.veThanhChuoi().find("4   {+}- + "), std::string::npos);
}
