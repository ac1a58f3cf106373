#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "gio_gia.h"
#include "tep_van_luu.h"
#include "thu_muc_tam.h"
#include "van_co.h"

namespace fs = std::filesystem;

// The C library's fsync, replaced for this test program so that a failing
// device can be played; otherwise it does the real system call.
bool g_fsyncHong = false;

#ifndef _WIN32
extern "C" int fsync(int fd) {
    if (g_fsyncHong) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}
#endif

namespace {

using thu::docHetTep;
using thu::ghiTep;
using thu::ThuMucTam;

std::size_t soTep(const ThuMucTam& thuMuc) {
    return std::distance(fs::directory_iterator(thuMuc.duongDan()), fs::directory_iterator());
}

// A fresh game as every version writes it; older versions stop there.
const char* const VAN_MOI_LF = "TAVELIN1\nchedo 0\ndokho 1\npheng 0\ngiaymoi 0\nchap 0\nnuoc 0\nketqua 0\nlydo \n";
// What they lost: black's time, the time control and black's level.
const char* const DONG_THEM_VAN_MOI = "giayden 0\ngiaymoiben 0\ndokhoden 1\n";

const NuocDi CHIEU_BI_NHANH[] = {{7, 1, 5, 1}, {0, 2, 2, 0}, {5, 1, 5, 6}, {0, 3, 1, 4}, {5, 6, 0, 6}};

// Loads a file text into a game that has already been moved away from the
// start, so that a load which changed nothing would show.
bool taiTuChuoi(VanCo& van, const ThuMucTam& thuMuc, const std::string& noiDung) {
    const std::string ten = thuMuc.tep("van.save");
    ghiTep(ten, noiDung);
    return static_cast<bool>(van.taiVan(ten));
}

// The reader alone, for inputs larger than a file may be.
VanDaLuu docChuoi(const std::string& noiDung) {
    std::istringstream vao(noiDung);
    VanDaLuu van;
    EXPECT_TRUE(docVanDaLuu(vao, van));
    return van;
}

}  // namespace

TEST(LuuVan, FreshGameWritesTheExactLinesAndLoadsBack) {
    ThuMucTam thuMuc;
    const std::string ten = thuMuc.tep("tavelin.save");
    VanCo van;
    ASSERT_TRUE(van.luuVan(ten));
    EXPECT_EQ(docHetTep(ten), std::string(VAN_MOI_LF) + DONG_THEM_VAN_MOI);
    EXPECT_EQ(soTep(thuMuc), 1u);  // nothing left beside it
    // A Vietnamese file name is the same file on every system.
    ASSERT_TRUE(van.luuVan(thuMuc.tep("v\xc3\xa1n c\xe1\xbb\x9d.save")));
    EXPECT_TRUE(van.taiVan(thuMuc.tep("v\xc3\xa1n c\xe1\xbb\x9d.save")));

    VanCo khac;
    khac.vanMoi(MAY_MAY, KHO, DEN, 90);
    ASSERT_TRUE(khac.datChap(DO, "Ma"));
    ASSERT_TRUE(khac.thuDoNuoc({9, 0, 8, 0}));
    ASSERT_TRUE(khac.taiVan(ten));
    EXPECT_EQ(khac.cheDo, NGUOI_NGUOI);
    EXPECT_EQ(khac.doKho, TRUNG_BINH);
    EXPECT_EQ(khac.mayDen.doKho, TRUNG_BINH);
    EXPECT_EQ(khac.pheNguoi, DO);
    EXPECT_EQ(khac.giayMoiBen, 0);
    EXPECT_FALSE(khac.dongHo.bat);
    EXPECT_TRUE(khac.chap.empty());
    EXPECT_EQ(khac.nuocThu, 0);
    EXPECT_EQ(khac.khoaTheCo(), van.khoaTheCo());
    EXPECT_EQ(khac.demViTri, van.demViTri);
    EXPECT_EQ(khac.ketQua, DANG_CHOI);
    EXPECT_EQ(khac.lyDo, "");
}

TEST(LuuVan, CheckmatedGameWithHandicapRoundTrips) {
    ThuMucTam thuMuc;
    const std::string ten = thuMuc.tep("tavelin.save");
    VanCo van;
    van.vanMoi(NGUOI_MAY, KHO, DEN, 0);
    ASSERT_TRUE(van.datChap(DO, "Xe"));
    ASSERT_TRUE(van.datChap(DEN, "Tot"));
    for (const NuocDi& n : CHIEU_BI_NHANH) ASSERT_TRUE(van.thuDoNuoc(n));
    ASSERT_EQ(van.ketQua, DO_THANG);
    ASSERT_TRUE(van.luuVan(ten));
    EXPECT_EQ(docHetTep(ten),
              "TAVELIN1\nchedo 1\ndokho 2\npheng 1\ngiaymoi 0\nchap 2\n0 Xe\n1 Tot\nnuoc 5\n"
              "7 1 5 1\n0 2 2 0\n5 1 5 6\n0 3 1 4\n5 6 0 6\nketqua 1\nlydo Chiếu bí! Đen thua\n"
              "giayden 0\ngiaymoiben 0\ndokhoden 2\n");

    VanCo khac;
    ASSERT_TRUE(khac.taiVan(ten));
    EXPECT_EQ(khac.ketQua, DO_THANG);
    EXPECT_EQ(khac.lyDo, "Chiếu bí! Đen thua");
    EXPECT_EQ(khac.lichSu, van.lichSu);
    EXPECT_EQ(khac.nuocDaDi, van.nuocDaDi);
    EXPECT_EQ(khac.demViTri, van.demViTri);
    EXPECT_EQ(khac.khoaTheCo(), van.khoaTheCo());
    EXPECT_EQ(khac.chap, van.chap);
    EXPECT_EQ(khac.luot, DEN);
    EXPECT_FALSE(khac.thuDoNuoc({0, 4, 0, 3}));
    // A finished game's clock stands after loading, as it did when saved.
    EXPECT_FALSE(khac.dongHo.dangDemGio);
}

TEST(LuuVan, BothClocksTimeControlAndLevelsRoundTrip) {
    ThuMucTam thuMuc;
    const std::string ten = thuMuc.tep("tavelin.save");
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(MAY_MAY, DE, DO, 600);
    van.datDoKhoMay(DEN, CAO_THU);
    gioGia::troi(10.7);
    ASSERT_TRUE(van.luuVan(ten));
    // Red's line as always: the running turn included, cut to whole seconds.
    EXPECT_NE(docHetTep(ten).find("\ngiaymoi 589\n"), std::string::npos);
    // Saving changes nothing; red's turn keeps running.
    EXPECT_TRUE(van.dongHo.dangDemGio);
    EXPECT_EQ(van.dongHo.pheDangChay, DO);

    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    gioGia::troi(0.1);
    ASSERT_TRUE(van.thuDoNuoc({0, 1, 2, 2}));
    gioGia::troi(3.0);
    ASSERT_TRUE(van.luuVan(ten));
    EXPECT_NE(docHetTep(ten).find("\ngiayden 599\ngiaymoiben 600\ndokhoden 3\n"), std::string::npos);
    VanCo khac;
    khac.dongHo.datNguonGio(&gioGia::doc);
    ASSERT_TRUE(khac.taiVan(ten));
    EXPECT_EQ(khac.giayMoiBen, 600);
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DO), 586.0);
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DEN), 599.0);
    EXPECT_EQ(khac.doKho, DE);
    EXPECT_EQ(khac.mayDo.doKho, DE);
    EXPECT_EQ(khac.mayDen.doKho, CAO_THU);
    EXPECT_TRUE(khac.dongHo.dangDemGio);
    EXPECT_EQ(khac.dongHo.pheDangChay, DO);
    gioGia::troi(9.0);
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DO), 577.0);

    // A file of an older version: both sides get red's time, which becomes
    // the time control, and both computers the one level.
    ASSERT_TRUE(taiTuChuoi(khac, thuMuc, "TAVELIN1\nchedo 2\ndokho 0\ngiaymoi 589\n"));
    EXPECT_EQ(khac.giayMoiBen, 589);
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DEN), 589.0);
    EXPECT_EQ(khac.mayDen.doKho, DE);
}

TEST(LuuVan, ReaderIsTolerantOfOrderWordsAndLineEnds) {
    ThuMucTam thuMuc;
    VanCo mau;
    ASSERT_TRUE(mau.datChap(DO, "Ma"));
    ASSERT_TRUE(mau.thuDoNuoc({9, 7, 7, 6}));
    ASSERT_TRUE(mau.thuDoNuoc({0, 1, 2, 2}));

    // Moves before the handicap, unknown words, repeated keys (last wins).
    VanCo van;
    ASSERT_TRUE(taiTuChuoi(van, thuMuc,
                           "TAVELIN1\nxin chao\nchedo 2\nnuoc 1\n9 7 7 6\nketqua 3\nmoi 5\ndokho 0\n"
                           "nuoc 1\n0 1 2 2\nchap 1\n0 Ma\nchedo 1\npheng 1\nketqua 0\n"));
    EXPECT_EQ(van.cheDo, NGUOI_MAY);
    EXPECT_EQ(van.doKho, DE);
    EXPECT_EQ(van.pheNguoi, DEN);
    EXPECT_EQ(van.ketQua, DANG_CHOI);
    EXPECT_EQ(van.khoaTheCo(), mau.khoaTheCo());
    EXPECT_EQ(van.lichSu, mau.lichSu);
    EXPECT_EQ(van.demViTri, mau.demViTri);
    EXPECT_TRUE(van.dongHo.dangDemGio);

    // CRLF line ends read exactly as LF ones, the reason text included.
    const std::string lf = "TAVELIN1\nchedo 1\ndokho 2\npheng 1\ngiaymoi 0\nchap 1\n0 Ma\nnuoc 2\n"
                           "9 7 7 6\n0 1 2 2\nketqua 3\nlydo Thế cờ lặp lại 3 lần\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    VanCo quaLF, quaCRLF;
    ASSERT_TRUE(taiTuChuoi(quaLF, thuMuc, lf));
    ASSERT_TRUE(taiTuChuoi(quaCRLF, thuMuc, crlf));
    EXPECT_EQ(quaCRLF.lyDo, "Thế cờ lặp lại 3 lần");
    EXPECT_EQ(quaCRLF.lyDo, quaLF.lyDo);
    EXPECT_EQ(quaCRLF.ketQua, HOA);
    EXPECT_EQ(quaCRLF.lichSu, quaLF.lichSu);
    EXPECT_EQ(quaCRLF.khoaTheCo(), mau.khoaTheCo());
    EXPECT_EQ(quaCRLF.cheDo, NGUOI_MAY);
    ASSERT_TRUE(taiTuChuoi(quaCRLF, thuMuc, "TAVELIN1\r\nlydo \r\n"));
    EXPECT_EQ(quaCRLF.lyDo, "");
    // A Ctrl-Z is a byte like any other, not the end of the file.
    ASSERT_TRUE(taiTuChuoi(quaCRLF, thuMuc, "TAVELIN1\nlydo a\x1a b\nketqua 3\n"));
    EXPECT_EQ(quaCRLF.lyDo, "a\x1a b");
    EXPECT_EQ(quaCRLF.ketQua, HOA);

    // A handicap piece that is not there is ignored.
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\nchap 2\n0 Vua\n1 Phao\nnuoc 1\n9 1 7 2\n"));
    ASSERT_EQ(van.chap.size(), 1u);
    EXPECT_EQ(van.chap[0].second, "Phao");
    EXPECT_EQ(van.luot, DEN);
}

TEST(LuuVan, ImportedTagsAndTheUntouchedMarkRoundTripCleaned) {
    ThuMucTam thuMuc;
    const std::string ten = thuMuc.tep("tavelin.save");
    VanCo van;
    ASSERT_TRUE(van.thuDoNuoc({7, 7, 7, 4}));
    // Values as a foreign file may hold them: blanks and words that are keys
    // of the file, a line break, a broken UTF-8 sequence, a '%', no end.
    van.theNhap = {{"Red", "Nguyễn  Văn\tAn"},
                   {"Black", "nuoc 1\nchedo 2"},
                   {"Event", "Giải \xC3 100%"},
                   {"Site", std::string(1000, 'x') + "ế"}};
    van.nhapChuaDung = true;
    ASSERT_TRUE(van.luuVan(ten));
    VanCo khac;
    ASSERT_TRUE(khac.taiVan(ten));
    ASSERT_EQ(khac.theNhap.size(), 4u) << docHetTep(ten);
    EXPECT_EQ(khac.theNhap[0], (std::pair<std::string, std::string>{"Red", "Nguyễn Văn An"}));
    EXPECT_EQ(khac.theNhap[1].second, "nuoc 1 chedo 2");
    EXPECT_EQ(khac.theNhap[2].second, "Giải ? 100%");
    EXPECT_EQ(khac.theNhap[3].second, std::string(DAI_GIA_TRI_THE_TOI_DA, 'x'));
    EXPECT_TRUE(khac.nhapChuaDung);
    // The values never read as keys: the game is the one saved.
    EXPECT_EQ(khac.cheDo, NGUOI_NGUOI);
    EXPECT_EQ(khac.nuocDaDi, van.nuocDaDi);
    // A new game is nobody's import.
    khac.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
    EXPECT_TRUE(khac.theNhap.empty());
    EXPECT_FALSE(khac.nhapChuaDung);

    // Other tags, and lines without a value, are not kept; a file without
    // the lines loads as before.
    const VanDaLuu doc = docChuoi(std::string(VAN_MOI_LF) + "the Annotator =x\nthe Red\nthe Black =\nthe Red =A%20B\n");
    ASSERT_EQ(doc.the.size(), 1u);
    EXPECT_EQ(doc.the[0].second, "A B");
    EXPECT_FALSE(doc.nhapChuaDung);
    EXPECT_TRUE(docChuoi(VAN_MOI_LF).the.empty());
}

TEST(LuuVan, MalformedValueCountsAsAbsentAndTheLinesAfterItStillCount) {
    ThuMucTam thuMuc;
    VanCo van;
    // A bad value counts as 0, the rest of its line is dropped, and what
    // follows is read as usual.
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\npheng 1\nchedo x2 1\ndokho 2\nnuoc 1\n9 7 7 6\n"));
    EXPECT_EQ(van.pheNguoi, DEN);
    EXPECT_EQ(van.cheDo, NGUOI_NGUOI);
    EXPECT_EQ(van.doKho, KHO);
    EXPECT_EQ(van.nuocThu, 1);

    // A clock beyond what any game can hold is no clock; the set-up start,
    // the pause and the list name after it are all still read.
    const std::string fen = "4k4/9/9/9/9/9/9/9/4A4/4K4 w";
    VanDaLuu luu = docChuoi("TAVELIN1\ngiaymoi 99999999\ngiaymoiben 100000\nmiligiaydo 99999999000\n"
                            "miligiayden 5000\ntamdung 1\nfen " + fen + "\nvandachoi 2026-01-01\n");
    EXPECT_EQ(luu.giayCaiDat(), 0);
    EXPECT_EQ(luu.miliGiayDo, -1);
    EXPECT_EQ(luu.miliGiayDen, 5000);
    EXPECT_TRUE(luu.tamDung);
    EXPECT_EQ(luu.fen, fen);
    EXPECT_EQ(luu.idDanhSach, "2026-01-01");
    // The longest time control there is goes and comes back whole.
    VanCo dai;
    dai.vanMoi(NGUOI_NGUOI, DE, DO, GIAY_MOI_BEN_TOI_DA);
    ASSERT_TRUE(dai.thuDoNuoc({9, 1, 7, 2}));
    luu = docChuoi(vietVanDaLuu(dai.banLuu(true)) + "tamdung 1\n");
    EXPECT_EQ(luu.giayCaiDat(), GIAY_MOI_BEN_TOI_DA);
    EXPECT_GT(luu.miliGiayDo, 0);
    EXPECT_EQ(luu.nuoc.size(), 1u);
    EXPECT_TRUE(luu.tamDung);

    // A truncated file: the number after the last key is missing.
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\ngiaymoi 45\nnuoc 1\n9 7 7 6\nketqua"));
    EXPECT_EQ(van.giayMoiBen, 45);
    EXPECT_EQ(van.nuocThu, 1);
    EXPECT_EQ(van.ketQua, DANG_CHOI);

    // A move cut short is dropped whole, and so is one with a bad number.
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\nnuoc 2\n9 7 7 6\n0 1"));
    EXPECT_EQ(van.nuocThu, 1);
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\nnuoc 2\n9 7 7 6\n0 1 z 2\nketqua 1\n"));
    EXPECT_EQ(van.nuocThu, 1);
    EXPECT_EQ(van.ketQua, DANG_CHOI);

    // Values with no meaning are malformed too: no mode 7, no side 2, no result 9.
    for (const char* xau : {"chedo 7", "pheng 2", "ketqua 9", "pheng -1"}) {
        ASSERT_TRUE(taiTuChuoi(van, thuMuc, std::string("TAVELIN1\ngiaymoi 30\n") + xau + "\ndokho 0\n")) << xau;
        EXPECT_EQ(van.cheDo, NGUOI_NGUOI) << xau;
        EXPECT_EQ(van.pheNguoi, DO) << xau;
        EXPECT_EQ(van.ketQua, DANG_CHOI) << xau;
        EXPECT_EQ(van.giayMoiBen, 30) << xau;
        EXPECT_EQ(van.doKho, DE) << xau;
    }
}

TEST(LuuVan, IllegalOrOffBoardMoveRefusesTheFileAndLeavesTheGame) {
    ThuMucTam thuMuc;
    VanCo van;
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    const std::string khoa = van.khoaTheCo();
    const std::pair<std::string, int32_t> ca[] = {
        {"9 0 0 4\n0 0 9 4\n", 0},           // chariots onto the generals
        {"9 1 7 2\n5 5 4 5\n0 1 2 2\n", 1},  // from an empty square
        {"9 1 7 2\n0 1 2 2\n0 7 2 6\n", 2},  // black twice
        {"9 1 7 2\n9 7 10 6\n0 1 2 2\n", 1}, {"9 1 7 2\n9 7 7 9\n", 1},
        {"9 1 7 2\n-1 0 0 0\n", 1},         {"9 1 7 2\n0 -1 0 0\n", 1},
        {"9 1 7 2\n9 7 7 2147483647\n", 1},
    };
    for (const auto& [nuoc, sai] : ca) {
        const std::string ten = thuMuc.tep("van.save");
        ghiTep(ten, "TAVELIN1\nnuoc 3\n" + nuoc + "ketqua 2\n");
        const KetQuaTai kq = van.taiVan(ten);
        EXPECT_EQ(kq.loai, KetQuaTai::NUOC_SAI) << nuoc;
        EXPECT_EQ(kq.nuocSai, sai) << nuoc;
        EXPECT_EQ(van.khoaTheCo(), khoa) << nuoc;
        EXPECT_EQ(van.nuocThu, 1) << nuoc;
        EXPECT_EQ(van.ketQua, DANG_CHOI) << nuoc;
    }
    // Larger than a saved game can be: refused unread.
    ghiTep(thuMuc.tep("lon.save"), "TAVELIN1\n" + std::string(TOI_DA_BYTE_TEP, 'x'));
    EXPECT_EQ(van.taiVan(thuMuc.tep("lon.save")).loai, KetQuaTai::KHONG_HOP_LE);
    EXPECT_EQ(van.nuocThu, 1);
}

TEST(LuuVan, HostileCountsAreBoundedByTheInput) {
    ThuMucTam thuMuc;
    VanCo van;
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\nnuoc 4000000000\n9 1 7 2\n0 1 2 2\n"));
    EXPECT_EQ(van.nuocThu, 2);
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\nchap 4000000000\n0 Xe\n"));
    EXPECT_EQ(van.chap.size(), 1u);
    ASSERT_TRUE(taiTuChuoi(van, thuMuc, "TAVELIN1\nnuoc 99999999999999999999999\n9 1 7 2\n"));
    EXPECT_EQ(van.nuocThu, 0);

    // One word of a megabyte is read in small pieces and skipped.
    EXPECT_EQ(docChuoi("TAVELIN1\n" + std::string(1 << 20, 'x') + " pheng 1\n").pheNguoi, 1);

    // No list grows past what a game can hold, however many entries follow.
    std::string nhieu = "TAVELIN1\nnuoc 4000000000\n";
    for (std::size_t i = 0; i < TOI_DA_NUOC + 3; ++i) nhieu += "5 5 4 5\n";
    nhieu += "pheng 1\n";
    const VanDaLuu daDoc = docChuoi(nhieu);
    EXPECT_EQ(daDoc.nuoc.size(), TOI_DA_NUOC);
    EXPECT_EQ(daDoc.pheNguoi, 1);  // the extra entries were skipped as words
}

TEST(LuuVan, LoadRefusesAnythingButTheMagicAndLeavesTheGame) {
    ThuMucTam thuMuc;
    VanCo van;
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    const std::string khoa = van.khoaTheCo();
    // The last one passes: a first line without its newline is still a line.
    for (const char* xau : {"", "tavelin1\nnuoc 0\n", "TAVELIN12\n", "TAVELIN1 \n", " TAVELIN1\n",
                            "TAVELIN1\r\r\n", "TAVELIN1\rX\n", "TAVELIN\n", "TAVELIN1"}) {
        const bool dung = std::string(xau) == "TAVELIN1";
        EXPECT_EQ(taiTuChuoi(van, thuMuc, xau), dung) << xau;
        if (!dung) {
            EXPECT_EQ(van.khoaTheCo(), khoa) << xau;
        }
    }
    VanCo khac;
    ASSERT_TRUE(khac.thuDoNuoc({9, 1, 7, 2}));
    EXPECT_FALSE(khac.taiVan(thuMuc.tep("khong-co.save")));
    EXPECT_FALSE(khac.taiVan(thuMuc.tep("")));  // a directory
    EXPECT_EQ(khac.nuocThu, 1);
}

TEST(LuuVan, FailedSaveLeavesThePreviousFileIntact) {
    ThuMucTam thuMuc;
    VanCo van;
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));

    // Nowhere to write: a missing directory, or a regular file in the way.
    ghiTep(thuMuc.tep("la-tep"), "x");
    EXPECT_FALSE(van.luuVan(thuMuc.tep("khong-co/tavelin.save")));
    EXPECT_FALSE(van.luuVan(thuMuc.tep("la-tep/tavelin.save")));
    EXPECT_FALSE(van.luuVan(""));
    EXPECT_EQ(soTep(thuMuc), 1u);

    // A write that fails half-way: the file-size limit holds for root too.
    const std::string ten = thuMuc.tep("tavelin.save");
    ghiTep(ten, VAN_MOI_LF);
#ifndef _WIN32  // Windows has neither a file-size limit to set nor fsync to replace
    rlimit cu{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &cu), 0);
    rlimit nho = cu;
    nho.rlim_cur = 20;
    const auto xuLyCu = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &nho), 0);
    const bool ketQua = van.luuVan(ten);
    setrlimit(RLIMIT_FSIZE, &cu);
    signal(SIGXFSZ, xuLyCu);
    EXPECT_FALSE(ketQua);
    EXPECT_EQ(docHetTep(ten), VAN_MOI_LF);
    EXPECT_EQ(soTep(thuMuc), 2u);  // no half-written file left beside it

    // The data cannot be flushed to the device: not saved, though every write worked.
    g_fsyncHong = true;
    const bool daLuu = van.luuVan(ten);
    g_fsyncHong = false;
    EXPECT_FALSE(daLuu);
    EXPECT_EQ(docHetTep(ten), VAN_MOI_LF);
#endif
    EXPECT_EQ(soTep(thuMuc), 2u);

    // The target is a directory: the rename fails, the directory stays.
    fs::create_directory(thuMuc.tep("thu-muc"));
    ghiTep(thuMuc.tep("thu-muc/a"), "a");
    EXPECT_FALSE(van.luuVan(thuMuc.tep("thu-muc")));
    EXPECT_EQ(docHetTep(thuMuc.tep("thu-muc/a")), "a");
    EXPECT_EQ(soTep(thuMuc), 3u);

    // And a save that works replaces the old file whole.
    ASSERT_TRUE(van.luuVan(ten));
    EXPECT_NE(docHetTep(ten).find("nuoc 1\n9 1 7 2\n"), std::string::npos);
    EXPECT_EQ(soTep(thuMuc), 3u);
}

// The increment has a line of its own, written only when the game has one:
// it comes back with the clocks as they stood (increments earned included)
// and goes on working, an undo after the load included. A bad value is
// refused alone; older files have no increment.
TEST(LuuVan, IncrementRoundTripsAndABadOneIsRefusedAlone) {
    ThuMucTam thuMuc;
    const std::string ten = thuMuc.tep("tavelin.save");
    VanCo van;
    van.dongHo.datNguonGio(&gioGia::doc);
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 180);
    van.datTang(2);
    gioGia::troi(10.0);
    ASSERT_TRUE(van.thuDoNuoc({9, 1, 7, 2}));
    ASSERT_TRUE(van.luuVan(ten));
    EXPECT_NE(docHetTep(ten).find("\ntang 2\n"), std::string::npos);
    VanCo khac;
    khac.dongHo.datNguonGio(&gioGia::doc);
    ASSERT_TRUE(khac.taiVan(ten));
    EXPECT_EQ(khac.giayTang, 2);
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DO), 172.0);
    gioGia::troi(1.0);
    ASSERT_TRUE(khac.thuDoNuoc({0, 1, 2, 2}));
    EXPECT_DOUBLE_EQ(khac.dongHo.conLai[1], 181.0);
    ASSERT_TRUE(khac.huyNuocDi());
    ASSERT_TRUE(khac.huyNuocDi());
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DO), 170.0);
    EXPECT_DOUBLE_EQ(khac.dongHo.giayConLai(DEN), 179.0);
    // The game kept between runs too.
    EXPECT_EQ(docChuoi(vietVanDaLuu(khac.banLuu(true))).tang, 2);

    // No increment, no line; a file without one has none.
    van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 180);
    EXPECT_EQ(vietVanDaLuu(van.banLuu(true)).find("tang"), std::string::npos);
    ASSERT_TRUE(taiTuChuoi(khac, thuMuc, "TAVELIN1\ngiaymoi 180\ngiaymoiben 180\n"));
    EXPECT_EQ(khac.giayTang, 0);
    EXPECT_EQ(khac.dongHo.congThem, 0.0);

    for (const char* xau : {"tang 601", "tang -2", "tang x", "tang 2.5"}) {
        ASSERT_TRUE(taiTuChuoi(khac, thuMuc, std::string("TAVELIN1\ngiaymoi 60\ngiaymoiben 60\n") + xau +
                                                 "\nluat 1\ndokhoden 2\n"))
            << xau;
        EXPECT_EQ(khac.giayTang, 0) << xau;
        EXPECT_EQ(khac.giayMoiBen, 60) << xau;
        EXPECT_EQ(khac.luat, CHAU_A) << xau;
        EXPECT_EQ(khac.mayDen.doKho, KHO) << xau;
    }
}
