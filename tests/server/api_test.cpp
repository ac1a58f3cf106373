// The game API through the real program: state document, every command and
// its refusals, parameter mapping, save and load, the hint and the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <set>
#include <thread>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <nlohmann/json.hpp>

#include "giao_dien_web.h"
#include "may_chu_thu.h"
#include "nuoc_uci.h"
#include "van_da_choi.h"
#include "van_lap_lai.h"
#include "thu_muc_tam.h"
#include <map>

using json = nlohmann::ordered_json;
using thu::MayChuThu;

namespace {

json J(const std::string& than) { return json::parse(than); }

// Pieces by square: the storage order legitimately differs between a played
// and a replayed game (trial captures put pieces back at the end).
std::vector<std::string> theoO(const json& banCo) {
    std::vector<std::string> ds;
    for (const auto& q : banCo) ds.push_back(q.dump());
    std::sort(ds.begin(), ds.end());
    return ds;
}

std::string tuChoi(const std::string& lyDo) { return R"({"ok":false,"lyDo":")" + lyDo + "\"}"; }

}  // namespace

TEST(Api, InitialStateDocumentKeysAndValues) {
    MayChuThu mc;
    std::string than = mc.api("trangthai");
    json s = J(than);
    std::vector<std::string> khoa;
    for (auto& [k, v] : s.items()) khoa.push_back(k);
    EXPECT_EQ(khoa, (std::vector<std::string>{"ok", "phienBan", "cheDo", "doKhoDo", "doKhoDen", "pheNguoi", "luot",
                                              "nuocThu", "coBanLuu", "ketQua", "lyDo", "chap", "banCo", "quanChon",
                                              "nuocDen", "mayDangNghi", "tamDungMay", "dangChieu", "thongKeMay",
                                              "moTaCuoi", "lichSu", "goiY", "dongHo"}));
    EXPECT_EQ(than.find(' '), std::string::npos) << "no white space anywhere";
    EXPECT_EQ(s["phienBan"], 1);
    EXPECT_EQ(s["cheDo"], "NGUOI_NGUOI");
    EXPECT_EQ(s["doKhoDo"], "TRUNG_BINH");
    EXPECT_EQ(s["luot"], "DO");
    EXPECT_EQ(s["coBanLuu"], false);
    EXPECT_EQ(s["banCo"].size(), 32u);
    EXPECT_EQ(s["banCo"][0].dump(), R"({"h":0,"c":0,"phe":"DEN","loai":0,"ten":"Xe","ve":"X"})");
    EXPECT_NE(than.find(R"("quanChon":null,"nuocDen":[],"mayDangNghi":false,"tamDungMay":false,"dangChieu":false,)"
                        R"("thongKeMay":{"co":false,"doSau":0,"giay":0,"soNut":0,"diem":0},"moTaCuoi":"","lichSu":[],)"
                        R"("goiY":null,"dongHo":{"bat":false,"giayMoiBen":0,"do":0.00,"den":0.00}})"),
              std::string::npos);
}

TEST(Api, ClickSelectMoveAndRefusals) {
    MayChuThu mc;
    json s = J(mc.api("cham?hang=9&cot=0"));
    EXPECT_EQ(s["hanhDong"], "chon");
    EXPECT_EQ(s["quanChon"].dump(), R"({"h":9,"c":0})");
    EXPECT_EQ(s["nuocDen"].dump(), "[[8,0],[7,0]]");
    EXPECT_EQ(s["phienBan"], 2);

    EXPECT_EQ(mc.api("cham?hang=5&cot=0"), tuChoi("Nước đi không hợp lệ"));
    EXPECT_EQ(J(mc.api("trangthai"))["quanChon"].dump(), R"({"h":9,"c":0})") << "a refused move keeps the selection";

    s = J(mc.api("cham?hang=9&cot=1"));
    EXPECT_EQ(s["hanhDong"], "doiChon");
    EXPECT_EQ(s["quanChon"].dump(), R"({"h":9,"c":1})");

    s = J(mc.api("bochon"));
    EXPECT_FALSE(s.contains("hanhDong"));
    EXPECT_TRUE(s["quanChon"].is_null());
    uint64_t phien = s["phienBan"];
    EXPECT_EQ(J(mc.api("bochon"))["phienBan"], phien) << "nothing to clear: version unchanged";

    EXPECT_EQ(mc.api("cham?hang=0&cot=0"), tuChoi("Hãy chọn một quân của bạn"));
    EXPECT_EQ(mc.api("cham?hang=5&cot=4"), tuChoi("Hãy chọn một quân của bạn"));

    mc.api("cham?hang=9&cot=0");
    s = J(mc.api("cham?hang=8&cot=0"));
    EXPECT_EQ(s["hanhDong"], "di");
    EXPECT_EQ(s["luot"], "DEN");
    EXPECT_TRUE(s["quanChon"].is_null());
    EXPECT_EQ(s["lichSu"].dump(), R"(["Xe đỏ 9a-8a"])");
    EXPECT_EQ(s["moTaCuoi"], "Xe đỏ 9a-8a");

    // Off-board, missing and unusable coordinates never reach the board.
    for (const char* q : {"hang=10&cot=0", "hang=0&cot=9", "hang=-1&cot=0", "", "hang=0", "hang=abc&cot=0",
                          "hang=4294967296&cot=0", "hang=99999999999999999999&cot=1", "hang=0&cot=-2147483649",
                          "hang=%2B&cot=%20"}) {
        EXPECT_EQ(mc.api(std::string("cham?") + q), tuChoi("Ô không hợp lệ")) << q;
    }
    // Leading white space, a sign and trailing junk read like the C conversion.
    EXPECT_EQ(J(mc.api("cham?hang=+0x&cot=%200abc"))["hanhDong"], "chon");
}

TEST(Api, NewGameParameterMapping) {
    MayChuThu mc;
    json s = J(mc.api("vanmoi"));
    EXPECT_EQ(s["hanhDong"], "vanmoi");
    EXPECT_EQ(s["cheDo"], "NGUOI_NGUOI");
    EXPECT_EQ(s["doKhoDo"], "TRUNG_BINH");
    EXPECT_EQ(s["dongHo"]["bat"], true);
    EXPECT_EQ(s["dongHo"]["giayMoiBen"], 600);
    EXPECT_EQ(s["phienBan"], 2);

    s = J(mc.api("vanmoi?doKho=KHO"));
    EXPECT_EQ(s["doKhoDo"], "KHO");
    EXPECT_EQ(s["doKhoDen"], "KHO");
    // The fourth level by name or number; the other digits keep their old meaning.
    s = J(mc.api("vanmoi?doKho=3&doKhoDen=CAO_THU"));
    EXPECT_EQ(s["doKhoDo"], "CAO_THU");
    EXPECT_EQ(s["doKhoDen"], "CAO_THU");
    s = J(mc.api("vanmoi?doKho=2&doKhoDen=0"));
    EXPECT_EQ(s["doKhoDo"], "TRUNG_BINH");
    EXPECT_EQ(s["doKhoDen"], "TRUNG_BINH");
    s = J(mc.api("vanmoi?doKho=DE&doKhoDen=KHO&cheDo=NGUOI%5FMAY&giay=0"));
    EXPECT_EQ(s["doKhoDo"], "DE");
    EXPECT_EQ(s["doKhoDen"], "KHO");
    EXPECT_EQ(s["cheDo"], "NGUOI_MAY");
    EXPECT_EQ(s["pheNguoi"], "DO");
    EXPECT_EQ(s["dongHo"]["bat"], false);
    EXPECT_EQ(s["mayDangNghi"], false) << "the human (red) moves first";

    // Unusable seconds read as absent: 600.
    for (const char* g : {"abc", "99999999999999", "-99999999999999"}) {
        s = J(mc.api(std::string("vanmoi?giay=") + g));
        EXPECT_EQ(s["dongHo"]["giayMoiBen"], 600) << g;
    }
    EXPECT_EQ(J(mc.api("vanmoi?giay=-5"))["dongHo"]["giayMoiBen"], 0);

    s = J(mc.api("vanmoi?chap=1:Xe,2:Ma,Phao,DEN:Tot,DO:Khong"));
    EXPECT_EQ(s["chap"].dump(), R"([{"phe":"DO","ten":"Xe"},{"phe":"DEN","ten":"Ma"},{"phe":"DEN","ten":"Tot"}])");
    EXPECT_EQ(s["banCo"].size(), 29u);
    EXPECT_EQ(s["banCo"][0].dump(), R"({"h":0,"c":0,"phe":"DEN","loai":0,"ten":"Xe","ve":"X"})");
    EXPECT_EQ(s["banCo"][1]["ten"], "Voi") << "black's first horse (0,1) was removed";

    for (const char* c : {"MAY_MAY", "3", "MM", ""}) {
        s = J(mc.api(std::string("vanmoi?cheDo=") + c + "&pheNguoi=DEN"));
        EXPECT_EQ(s["cheDo"], "MAY_MAY") << c;
        mc.api("huy");  // keeps the computers from playing on between cases
    }
}

TEST(Api, UndoSaveLoadAndUnknownNames) {
    MayChuThu mc;
    EXPECT_EQ(mc.api("huy"), tuChoi("Không có nước nào để hủy"));
    EXPECT_EQ(mc.api("tai"), tuChoi("Không tìm thấy ván đã lưu"));
    EXPECT_EQ(J(mc.api("trangthai"))["phienBan"], 1) << "a failed load changes nothing";

    mc.api("vanmoi?giay=0&chap=2:Xe");
    mc.api("cham?hang=7&cot=1");
    mc.api("cham?hang=7&cot=4");
    mc.api("cham?hang=0&cot=1");
    json daDi = J(mc.api("cham?hang=2&cot=2"));
    ASSERT_EQ(daDi["nuocThu"], 2);

    EXPECT_EQ(mc.api("luu"), R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})");
    EXPECT_TRUE(thu::fs::exists(mc.thuMuc() / "tavelin.save"));
    EXPECT_EQ(J(mc.api("trangthai"))["coBanLuu"], true);

    json s = J(mc.api("huy"));
    EXPECT_EQ(s["hanhDong"], "huy");
    EXPECT_EQ(s["nuocThu"], 1);
    EXPECT_EQ(s["tamDungMay"], false);
    // The undo is kept before it is answered: the kept game lost its move too.
    EXPECT_NE(thu::docHetTep(mc.tepTuLuu()).find("\nnuoc 1\n7 1 7 4\n"), std::string::npos)
        << thu::docHetTep(mc.tepTuLuu());

    mc.api("vanmoi");
    s = J(mc.api("tai"));
    EXPECT_EQ(s["hanhDong"], "tai");
    EXPECT_EQ(s["lichSu"], daDi["lichSu"]);
    EXPECT_EQ(theoO(s["banCo"]), theoO(daDi["banCo"])) << "same pieces on the same squares";
    EXPECT_EQ(s["chap"], daDi["chap"]);
    EXPECT_EQ(s["luot"], "DO");

    thu::fs::remove(mc.thuMuc() / "tavelin.save");
    EXPECT_EQ(J(mc.api("trangthai"))["coBanLuu"], false);
    // A directory in the file's place makes saving fail, reported as such.
    thu::fs::create_directory(mc.thuMuc() / "tavelin.save");
    EXPECT_EQ(mc.api("luu"), tuChoi("Lưu ván thất bại"));
    EXPECT_EQ(J(mc.api("trangthai"))["coBanLuu"], false) << "a directory is no saved game";
    EXPECT_EQ(mc.api("tai"), tuChoi("Không tìm thấy ván đã lưu"));
    thu::fs::remove(mc.thuMuc() / "tavelin.save");

    // Both clocks (to the second, as the file keeps them), the time control
    // and each computer's level come back.
    mc.api("vanmoi?cheDo=MM&doKho=DE&doKhoDen=CAO_THU&giay=300");
    json luc = J(mc.api("tamdung"));
    ASSERT_EQ(mc.api("luu"), R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})");
    mc.api("vanmoi?giay=60");
    s = J(mc.api("tai"));
    EXPECT_EQ(s["doKhoDo"], "DE");
    EXPECT_EQ(s["doKhoDen"], "CAO_THU");
    EXPECT_EQ(s["dongHo"]["giayMoiBen"], 300);
    EXPECT_NEAR(s["dongHo"]["do"].get<double>(), std::floor(luc["dongHo"]["do"].get<double>()), 1.0);
    EXPECT_NEAR(s["dongHo"]["den"].get<double>(), std::floor(luc["dongHo"]["den"].get<double>()), 1.0);
    mc.api("tamdung");

    EXPECT_EQ(mc.get("/api/TrangThai").ma, 404);
}

TEST(Api, PauseStopsTheClocksAndResignationIsUndone) {
    MayChuThu mc;
    mc.api("vanmoi?giay=600");
    mc.api("cham?hang=9&cot=1");
    mc.api("cham?hang=7&cot=2");
    json s = J(mc.api("tamdung"));
    EXPECT_EQ(s["hanhDong"], "tamdung");
    EXPECT_EQ(s["tamDungMay"], true);
    const double den = s["dongHo"]["den"], doDo = s["dongHo"]["do"];
    EXPECT_NE(thu::docHetTep(mc.tepTuLuu()).find("\ntamdung 1\n"), std::string::npos) << "the pause is kept too";
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    s = J(mc.api("trangthai"));
    EXPECT_EQ(s["dongHo"]["den"], den);
    EXPECT_EQ(s["dongHo"]["do"], doDo);
    EXPECT_EQ(mc.api("cham?hang=0&cot=1"), tuChoi("Ván đang tạm dừng"));
    EXPECT_EQ(mc.api("goiy"), tuChoi("Ván đang tạm dừng"));
    s = J(mc.api("tieptuc"));
    EXPECT_EQ(s["tamDungMay"], false);
    ASSERT_TRUE(thu::choDen([&] { return J(mc.api("trangthai"))["dongHo"]["den"] < den - 0.2; }));

    // Between humans the side to move resigns; an undo takes back only that.
    s = J(mc.api("xinthua"));
    EXPECT_EQ(s["ketQua"], "DO_THANG");
    EXPECT_EQ(s["lyDo"], "Đen xin thua");
    EXPECT_EQ(mc.api("tamdung"), tuChoi("Ván đã kết thúc"));
    EXPECT_EQ(mc.api("xinthua"), tuChoi("Ván đã kết thúc"));
    s = J(mc.api("huy"));
    EXPECT_EQ(s["ketQua"], "DANG_CHOI");
    EXPECT_EQ(s["nuocThu"], 1);
    EXPECT_EQ(s["luot"], "DEN");
    // Resigned while paused: the undo brings the pause back, clocks standing.
    mc.api("tamdung");
    mc.api("xinthua");
    s = J(mc.api("huy"));
    EXPECT_EQ(s["ketQua"], "DANG_CHOI");
    EXPECT_EQ(s["tamDungMay"], true);
    const double denDung = s["dongHo"]["den"];
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(J(mc.api("trangthai"))["dongHo"]["den"], denDung);
    EXPECT_EQ(mc.api("cham?hang=0&cot=1"), tuChoi("Ván đang tạm dừng"));
    mc.api("tieptuc");
    // Against the computer the human resigns whoever is to move.
    s = J(mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=DE&giay=0"));
    EXPECT_EQ(J(mc.api("xinthua"))["lyDo"], "Đen xin thua");
    mc.api("vanmoi?cheDo=MM&giay=0");
    EXPECT_EQ(mc.api("xinthua"), tuChoi("Không có người chơi để xin thua"));
}

#ifndef _WIN32
TEST(Api, SpecialFilesBesideTheSaveNeitherHangNorAreWrittenThrough) {
    MayChuThu mc;
    const thu::fs::path luu = mc.thuMuc() / "tavelin.save";
    // Read: a device or a FIFO is refused at once, and the game stays.
    mc.api("cham?hang=9&cot=1");
    mc.api("cham?hang=7&cot=2");
    thu::fs::create_symlink("/dev/zero", luu);
    EXPECT_EQ(mc.api("tai"), tuChoi("Tệp ván lưu không hợp lệ"));
    thu::fs::remove(luu);
    ASSERT_EQ(::mkfifo(luu.c_str(), 0600), 0);
    EXPECT_EQ(mc.api("tai"), tuChoi("Tệp ván lưu không hợp lệ"));
    thu::fs::remove(luu);
    EXPECT_EQ(J(mc.api("trangthai"))["nuocThu"], 1);

    // Write: no link or FIFO beside the file is followed or opened, not even
    // one at the very name this program would pick next.
    const thu::fs::path nanNhan = mc.thuMuc() / "nan_nhan.txt";
    thu::ghiTep(nanNhan, "giu nguyen");
    thu::fs::create_symlink(nanNhan, mc.thuMuc() / "tavelin.save.tmp");
    thu::fs::create_symlink(nanNhan, mc.thuMuc() / ("tavelin.save.tmp-" + std::to_string(mc.chuongTrinh().pid()) + "-0"));
    EXPECT_EQ(mc.api("luu"), R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})");
    EXPECT_EQ(thu::docHetTep(nanNhan), "giu nguyen");
    thu::fs::remove(mc.thuMuc() / "tavelin.save.tmp");
    ASSERT_EQ(::mkfifo((mc.thuMuc() / "tavelin.save.tmp").c_str(), 0600), 0);
    EXPECT_EQ(mc.api("luu"), R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})");
    EXPECT_EQ(J(mc.api("tai"))["nuocThu"], 1);

    mc.chuongTrinh().guiTinHieu(SIGTERM);
    EXPECT_EQ(mc.chuongTrinh().choThoat(), 0);
}
#endif

TEST(Api, HintAndClockRunningOut) {
    MayChuThu mc;
    json s = J(mc.api("goiy"));
    ASSERT_TRUE(s["goiY"].is_object());
    EXPECT_FALSE(s.contains("hanhDong"));
    EXPECT_EQ(s["phienBan"], 1) << "a hint never changes the version";
    // The hint is a legal move of red: select its piece and it is a destination.
    json g = s["goiY"];
    json chon = J(mc.api("cham?hang=" + g["hd"].dump() + "&cot=" + g["cd"].dump()));
    ASSERT_EQ(chon["hanhDong"], "chon");
    bool coDich = false;
    for (auto& d : chon["nuocDen"]) coDich = coDich || (d[0] == g["hc"] && d[1] == g["cc"]);
    EXPECT_TRUE(coDich) << g.dump();
    EXPECT_TRUE(J(mc.api("cham?hang=" + g["hc"].dump() + "&cot=" + g["cc"].dump()))["goiY"].is_null())
        << "a played move clears the hint";

    // The hint knows the game's earlier positions: it does not walk a won
    // game into the third repetition.
    ASSERT_EQ(J(mc.api(std::string("vanmoi?chap=") + vanLapLai::CHAP))["chap"].size(), 2u);
    for (const NuocDi& n : vanLapLai::NUOC) {
        mc.api("cham?hang=" + std::to_string(n.hangDi) + "&cot=" + std::to_string(n.cotDi));
        ASSERT_EQ(J(mc.api("cham?hang=" + std::to_string(n.hangDen) + "&cot=" + std::to_string(n.cotDen)))["hanhDong"],
                  "di");
    }
    const json h = J(mc.api("goiy"))["goiY"];
    ASSERT_TRUE(h.is_object());
    const NuocDi lap = vanLapLai::LAP_LAI;
    EXPECT_FALSE(h["hd"] == lap.hangDi && h["cd"] == lap.cotDi && h["hc"] == lap.hangDen && h["cc"] == lap.cotDen)
        << h.dump();

    // One second per side: red's time runs out with nobody asking, and the
    // next document of any command shows it.
    EXPECT_NE(mc.api("vanmoi?giay=1").find(R"("dongHo":{"bat":true,"giayMoiBen":1,"do":)"), std::string::npos);
    ASSERT_TRUE(thu::choDen([&] { return J(mc.api("trangthai"))["ketQua"] == "DEN_THANG"; }));
    s = J(mc.api("trangthai"));
    EXPECT_FALSE(s["lyDo"].get<std::string>().empty());
    EXPECT_EQ(s["dongHo"]["do"], 0.0);
    EXPECT_EQ(mc.api("cham?hang=9&cot=0"), tuChoi("Ván đã kết thúc"));
    EXPECT_EQ(mc.api("goiy"), tuChoi("Ván đã kết thúc"));
}

TEST(Api, PlayedGamesAreListedOpenedAndDeleted) {
    MayChuThu mc;
    const thu::fs::path thuMuc = mc.tepTuLuu().parent_path() / "van_da_choi";
    EXPECT_EQ(mc.api("vandachoi"), R"({"ok":true,"van":[],"tong":0,"ghiChu":[]})");
    auto ds = [&] { return J(mc.api("vandachoi")); };

    // A game that ends is listed; ended again after an undo, it is the same entry.
    mc.api("cham?hang=7&cot=7");
    mc.api("cham?hang=7&cot=4");
    ASSERT_EQ(J(mc.api("xinthua"))["ketQua"], "DO_THANG");
    json d = ds();
    ASSERT_EQ(d["van"].size(), 1u) << d;
    const std::string id = d["van"][0]["id"];
    EXPECT_EQ(d["van"][0]["ketQua"], "1-0");
    EXPECT_EQ(d["van"][0]["lyDo"], "Đen xin thua");
    EXPECT_EQ(d["van"][0]["soNuoc"], 1);
    EXPECT_EQ(d["van"][0]["do"], "Người");
    mc.api("huy");
    mc.api("cham?hang=0&cot=7");
    mc.api("cham?hang=2&cot=6");
    ASSERT_EQ(J(mc.api("xinthua"))["ketQua"], "DEN_THANG");
    d = ds();
    ASSERT_EQ(d["van"].size(), 1u) << d;
    EXPECT_EQ(d["van"][0]["id"], id);
    EXPECT_EQ(d["van"][0]["ketQua"], "0-1");
    EXPECT_EQ(d["van"][0]["soNuoc"], 2);
    // The live game as a file, as the list keeps it.
    json pgn = J(mc.api("pgn"));
    EXPECT_EQ(pgn["pgn"], thu::docHetTep(thuMuc / (id + ".pgn")));
    EXPECT_EQ(pgn["tenTep"], "tavelin3d-" + id + ".pgn");
#ifndef _WIN32
    // Games and players' names are this user's alone: folders and files private.
    const auto quyen = [](const thu::fs::path& p) {
        struct stat tt {};
        return ::stat(p.c_str(), &tt) == 0 ? (tt.st_mode & 0777) : 0777u;
    };
    EXPECT_EQ(quyen(mc.tepTuLuu().parent_path()), 0700u);
    EXPECT_EQ(quyen(thuMuc), 0700u);
    EXPECT_EQ(quyen(mc.tepTuLuu()), 0600u);
    EXPECT_EQ(quyen(thuMuc / (id + ".pgn")), 0600u);
#endif

    // An unfinished game with a move is listed when another replaces it; one
    // without a move is not.
    mc.api("vanmoi?cheDo=NM&pheNguoi=DEN&doKho=DE&giay=0");
    ASSERT_TRUE(thu::choDen([&] { return J(mc.api("trangthai"))["nuocThu"] == 1; }));
    mc.api("vanmoi?giay=0");
    mc.api("vanmoi?giay=0");
    d = ds();
    ASSERT_EQ(d["van"].size(), 2u) << d;
    EXPECT_EQ(d["van"][0]["ketQua"], "*") << "newest first";
    EXPECT_EQ(d["van"][0]["do"], "Máy (Dễ)");
    EXPECT_EQ(d["van"][0]["den"], "Người");
    EXPECT_EQ(d["van"][1]["id"], id);

    // Damaged and foreign files are skipped with a note that names them;
    // what is not a game file at all is not looked at.
    thu::ghiTep(thuMuc / "hong.pgn", "[Event \"x\"]\n1. h2e2 {\n");
    thu::ghiTep(thuMuc / "sai.pgn", "1. h2e2 h9g7 2. h2h9 *\n");
    thu::ghiTep(thuMuc / "khong-phai.txt", "x");
    // A Chinese file in GB18030 (two- and four-byte characters) reads as the page's import reads it.
    thu::ghiTep(thuMuc / "gb.pgn", "[Red \"\xba\xec\xb7\xbd\"]\n[Black \"\x81\x30\x8d\x33\x81\x35\xfe\x35t \xba\xda\"]\n"
                                   "1. h2e2 h9g7 *\n");
    thu::fs::create_directory(thuMuc / "thu_muc.pgn");
    d = ds();
    ASSERT_EQ(d["van"].size(), 3u) << d;
    EXPECT_EQ(d["van"][0]["do"], "红方");
    EXPECT_EQ(d["van"][0]["den"], "Đạt 黑");
    EXPECT_EQ(d["van"][0]["soNuoc"], 2);
    thu::fs::remove(thuMuc / "gb.pgn");
    d = ds();
    EXPECT_EQ(d["van"].size(), 2u);
    const std::string ghiChu = d["ghiChu"].dump();
    EXPECT_EQ(d["ghiChu"].size(), 3u) << ghiChu;
    for (const char* ten : {"hong.pgn", "sai.pgn", "thu_muc.pgn"}) EXPECT_NE(ghiChu.find(ten), std::string::npos) << ten;

    // Only the list's names open or go; the live game stays meanwhile.
    mc.api("cham?hang=7&cot=1");
    mc.api("cham?hang=7&cot=4");
    for (const char* xau : {"../van_dang_choi.save", "..%2Fx", "sai", "hong", "", "khong-phai", "thu_muc",
                            "%2Fetc%2Fpasswd", "a.pgn"}) {
        EXPECT_EQ(J(mc.api(std::string("vandachoi?mo=") + xau))["ok"], false) << xau;
        EXPECT_EQ(J(mc.api(std::string("vandachoi?xoa=") + xau + "x"))["ok"], false) << xau;
    }
    EXPECT_EQ(J(mc.api("trangthai"))["nuocThu"], 1);
    EXPECT_TRUE(thu::fs::exists(mc.tepTuLuu()));

    // Looking at a listed game reads its file and nothing else: the live
    // game, its state and its autosave stay as they were.
    {
        const std::string truoc = mc.api("trangthai");
        const std::string tepTruoc = thu::docHetTep(mc.tepTuLuu());
        const std::string dsTruoc = mc.api("vandachoi");
        json x = J(mc.api("vandachoi?xem=" + id));
        EXPECT_EQ(x["fen"], "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
        EXPECT_EQ(x["nuoc"], json::array({"h2e2", "h9g7"}));
        EXPECT_EQ(x["ketQua"], "0-1");
        EXPECT_EQ(x["lyDo"], "Đỏ xin thua");
        EXPECT_EQ(x["the"]["Red"], "Người");
        for (const char* xau : {"../van_dang_choi.save", "sai", "hong", ""})
            EXPECT_EQ(J(mc.api(std::string("vandachoi?xem=") + xau))["ok"], false) << xau;
        EXPECT_EQ(mc.api("trangthai"), truoc);
        EXPECT_EQ(thu::docHetTep(mc.tepTuLuu()), tepTruoc);
        EXPECT_EQ(mc.api("vandachoi"), dsTruoc);
    }

    // Opening a finished game brings it back finished, with its reason; the
    // unfinished game it replaces joins the list.
    json s = J(mc.api("vandachoi?mo=" + id));
    EXPECT_EQ(s["hanhDong"], "mo");
    EXPECT_EQ(s["ketQua"], "DEN_THANG");
    EXPECT_EQ(s["lyDo"], "Đỏ xin thua");
    EXPECT_EQ(s["nuocThu"], 2);
    EXPECT_EQ(ds()["van"].size(), 3u);
    // Undone and ended otherwise, it is still its own entry.
    mc.api("huy");
    mc.api("cham?hang=9&cot=7");
    mc.api("cham?hang=7&cot=6");
    mc.api("xinthua");
    d = ds();
    ASSERT_EQ(d["van"].size(), 3u);
    EXPECT_EQ(d["van"][0]["id"], id);
    EXPECT_EQ(d["van"][0]["soNuoc"], 3);

    d = J(mc.api("vandachoi?xoa=" + id));
    EXPECT_EQ(d["van"].size(), 2u);
    EXPECT_FALSE(thu::fs::exists(thuMuc / (id + ".pgn")));
    EXPECT_EQ(J(mc.api("vandachoi?xoa=" + id))["ok"], false);
    EXPECT_EQ(J(mc.api("vandachoi?mo=" + id))["lyDo"], "Không có ván này trong danh sách");

    // A game from a set-up position keeps its start through the list.
    mc.api("vanmoi?giay=0&fen=3k5%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F4K4+b");
    mc.api("cham?hang=0&cot=3");
    mc.api("cham?hang=1&cot=3");
    mc.api("xinthua");
    d = ds();
    EXPECT_EQ(d["van"][0]["fen"], "3k5/9/9/9/9/9/9/9/9/4K4 b");
    s = J(mc.api("vandachoi?mo=" + d["van"][0]["id"].get<std::string>()));
    EXPECT_EQ(s["fenDau"], "3k5/9/9/9/9/9/9/9/9/4K4 b");
    EXPECT_EQ(s["nuocThu"], 1);
    EXPECT_EQ(s["ketQua"], "DEN_THANG");

    // A folder too large to read whole says so under the list.
    for (int i = 0; i < 20000; ++i) std::ofstream(thuMuc / ("rac-" + std::to_string(i) + ".txt"));
    d = ds();
    EXPECT_FALSE(d["van"].empty());
    EXPECT_NE(d["ghiChu"].dump().find("Thư mục có hơn 20000 mục"), std::string::npos) << d["ghiChu"];
}

TEST(Api, ImportedGameIsListedOnlyOncePlayedOnOrKept) {
    MayChuThu mc;
    auto ds = [&] { return J(mc.api("vandachoi"))["van"]; };
    const std::string the = "&the_Red=Nguy%E1%BB%85n%20A&the_Black=B%0Ab&the_Event=Gi%E1%BA%A3i&the_Result=1-0"
                            "&the_Annotator=x&the_Site=%3F";
    // The file's tags come with the game, cleaned; ours and others are not kept.
    json s = J(mc.api("nhapvan?nuoc=h2e2,h9g7" + the));
    EXPECT_EQ(s["the"].dump(), R"({"Event":"Giải","Red":"Nguyễn A","Black":"B b","Result":"1-0"})");
    EXPECT_EQ(s["nhapChuaLuu"], true);
    // The export writes them back, the file's result standing while untouched.
    const std::string pgn = J(mc.api("pgn"))["pgn"];
    EXPECT_EQ(pgn.substr(0, pgn.find("[Variant")),
              "[Event \"Giải\"]\n[Site \"?\"]\n[Date \"" + pgn.substr(pgn.find("[Date \"") + 7, 10) +
                  "\"]\n[Round \"?\"]\n[Red \"Nguyễn A\"]\n[Black \"B b\"]\n[Result \"1-0\"]\n");

    // Importing over an untouched import, or a new game over one, lists nothing.
    mc.api("nhapvan?nuoc=h2e2" + the);
    mc.api("vanmoi?giay=0");
    mc.api("nhapvan?nuoc=h2e2,h9g7" + the);
    EXPECT_TRUE(ds().empty());
    // Played on from, it is the player's game: listed when replaced, with its tags.
    mc.api("cham?hang=9&cot=7");
    s = J(mc.api("cham?hang=7&cot=6"));
    EXPECT_FALSE(s.contains("nhapChuaLuu"));
    mc.api("nhapvan?nuoc=h2e2" + the);
    json d = ds();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0]["do"], "Nguyễn A");
    EXPECT_EQ(d[0]["suKien"], "Giải");
    EXPECT_EQ(d[0]["ketQua"], "*");
    EXPECT_EQ(d[0]["soNuoc"], 3);
    // An imported game that ends in mate is not listed by itself either; a
    // resignation from an imported game is.
    ASSERT_EQ(J(mc.api("nhapvan?nuoc=b2b4,c9a7,b4g4,d9e8,g4g9"))["ketQua"], "DO_THANG");
    mc.api("nhapvan?nuoc=h2e2,h9g7");
    EXPECT_EQ(ds().size(), 1u);
    mc.api("xinthua");
    EXPECT_EQ(ds().size(), 2u);

    // Kept on request, at once, and only once.
    mc.api("nhapvan?nuoc=c3c4,c6c5" + the);
    s = J(mc.api("vandachoi?giu=1"));
    EXPECT_EQ(s["hanhDong"], "giu");
    EXPECT_EQ(s["thongBao"], "Đã lưu vào Ván đã chơi");
    EXPECT_FALSE(s.contains("nhapChuaLuu"));
    d = ds();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0]["soNuoc"], 2);
    EXPECT_EQ(d[0]["den"], "B b");
    EXPECT_EQ(J(mc.api("vandachoi?giu=1"))["lyDo"], "Ván này đã có trong danh sách");
    mc.api("vanmoi?giay=0");
    EXPECT_EQ(ds().size(), 3u);
    EXPECT_EQ(J(mc.api("vandachoi?giu=1"))["lyDo"], "Ván chưa có nước đi nào để lưu");
}

TEST(Api, PlayedGamesListFiltersDeletesSeveralAndKeepsAnIndex) {
    MayChuThu mc;
    const thu::fs::path thuMuc = mc.tepTuLuu().parent_path() / "van_da_choi";
    thu::fs::create_directories(thuMuc);
    const auto van = [](const std::string& red, const std::string& black, const std::string& kq,
                        const std::string& them = "") {
        return "[Event \"Giải\"]\n[Red \"" + red + "\"]\n[Black \"" + black + "\"]\n[Result \"" + kq + "\"]\n" +
               them + "\n1. h2e2 h9g7 " + kq + "\n";
    };
    thu::ghiTep(thuMuc / "20260101-101500.pgn", van("Người", "Máy (Khó)", "1-0"));
    thu::ghiTep(thuMuc / "20260102-111600.pgn", van("Máy (Dễ)", "Người", "0-1", "[Rules \"Asian\"]\n"));
    thu::ghiTep(thuMuc / "cu.pgn", van("Trần An", "Lê Bình", "1/2-1/2"));
    auto ds = [&](const std::string& loc = "") { return J(mc.api("vandachoi" + loc)); };
    json d = ds();
    ASSERT_EQ(d["van"].size(), 3u) << d;
    EXPECT_EQ(d["tong"], 3);
    for (const auto& m : d["van"]) {
        if (m["id"] == "20260101-101500") {
            EXPECT_EQ(m["thoiDiem"], "2026.01.01 10:15");
            EXPECT_EQ(m["mucDo"], nullptr);
            EXPECT_EQ(m["mucDen"], "KHO");
            EXPECT_EQ(m["luat"], "BA_LAN");
        } else if (m["id"] == "20260102-111600") {
            EXPECT_EQ(m["mucDo"], "DE");
            EXPECT_EQ(m["luat"], "CHAU_A");
        } else {
            EXPECT_EQ(m["thoiDiem"], "") << "a name not of ours tells no time";
        }
    }
    const auto ids = [](const json& d) {
        std::set<std::string> ra;
        for (const auto& m : d["van"]) ra.insert(m["id"].get<std::string>());
        return ra;
    };
    using Ids = std::set<std::string>;
    EXPECT_EQ(ids(ds("?ketQua=1-0")), Ids{"20260101-101500"});
    EXPECT_EQ(ids(ds("?ketQua=1%2F2-1%2F2")), Ids{"cu"});
    EXPECT_EQ(ids(ds("?mucMay=DE")), Ids{"20260102-111600"});
    EXPECT_EQ(ids(ds("?mucMay=KHO&ketQua=0-1")), Ids{});
    EXPECT_EQ(ids(ds("?tim=l%C3%AA%20b")), Ids{"cu"});
    EXPECT_EQ(ids(ds("?tim=L%C3%AA%20B")), Ids{"cu"});
    EXPECT_EQ(ids(ds("?tim=L%C3%8A%20B%C3%8CNH")), Ids{"cu"});  // "LÊ BÌNH"
    EXPECT_EQ(ids(ds("?tim=TR%E1%BA%A6N")), Ids{"cu"});         // "TRẦN"
    EXPECT_EQ(ids(ds("?tim=tr")), Ids{"cu"});
    EXPECT_EQ(ids(ds("?tim=gi%E1%BA%A3i")).size(), 3u);
    EXPECT_EQ(ds("?ketQua=2-0")["ok"], false);
    EXPECT_EQ(ds("?mucMay=RAT_KHO")["ok"], false);

    // A file changed since the index read it is read again.
    thu::ghiTep(thuMuc / "cu.pgn", van("Trần An", "Lê Bình", "0-1") + "\n");
    EXPECT_EQ(ids(ds("?ketQua=0-1")), (Ids{"20260102-111600", "cu"}));
    // A huge file is skipped by its size, unread.
    { std::ofstream(thuMuc / "lon.pgn", std::ios::binary).seekp((2 << 20) - 1).put('x'); }
    d = ds();
    EXPECT_EQ(d["van"].size(), 3u);
    EXPECT_NE(d["ghiChu"].dump().find("lon.pgn"), std::string::npos) << d["ghiChu"];

    // Several at once; one bad or missing name and none goes.
    for (const char* xau : {"cu,..%2Fvan_dang_choi.save", "cu,khong-co", "cu,", "cu,lon.pgn", ",cu"}) {
        EXPECT_EQ(J(mc.api(std::string("vandachoi?xoa=") + xau))["ok"], false) << xau;
        EXPECT_EQ(ds()["van"].size(), 3u) << xau;
    }
    EXPECT_EQ(J(mc.api("vandachoi?xoa=cu%2Ckhong-co"))["lyDo"], "Không có ván này trong danh sách: khong-co");
    EXPECT_TRUE(thu::fs::exists(mc.tepTuLuu().parent_path()));
    d = J(mc.api("vandachoi?xoa=cu,20260101-101500,cu,lon"));
    EXPECT_EQ(ids(d), Ids{"20260102-111600"});
    EXPECT_FALSE(thu::fs::exists(thuMuc / "cu.pgn"));
    EXPECT_FALSE(thu::fs::exists(thuMuc / "lon.pgn"));
}

// The list's index across runs: what the file says is used only for the
// very file it read, a damaged index is rebuilt, and a game never shows as
// another's.
TEST(VanDaChoi, IndexIsBelievedOnlyForTheFileItReadAndRebuiltWhenDamaged) {
    thu::ThuMucTam tam;
    const thu::fs::path thuMuc = tam.duongDan() / "van_da_choi";
    thu::fs::create_directories(thuMuc);
    const auto van = [](const std::string& red) {
        return "[Red \"" + red + "\"]\n[Black \"B\"]\n\n1. h2e2 h9g7 *\n";
    };
    thu::ghiTep(thuMuc / "a.pgn", van("An"));
    thu::ghiTep(thuMuc / "b.pgn", van("Bình"));
    const auto tenDo = [&] {
        VanDaChoi ds;  // a new program each time: the index only from its file
        ds.batDau(thuMuc);
        // A slow machine (a sanitizer's build) may need several listings to
        // read every file; each one reads at least one.
        std::vector<std::string> ghiChu;
        std::vector<MucVanDaChoi> muc;
        std::size_t tong = 0, chuaDoc = 0;
        for (int lan = 0; lan < 4; ++lan) {
            ghiChu.clear();
            muc = ds.danhSach(ghiChu, LocVanDaChoi{}, &tong, &chuaDoc);
            if (chuaDoc == 0) break;
        }
        std::map<std::string, std::string> ra;
        for (const auto& m : muc) ra[m.id] = m.tenDo;
        EXPECT_TRUE(ghiChu.empty()) << ghiChu.front();
        return ra;
    };
    using Ten = std::map<std::string, std::string>;
    EXPECT_EQ(tenDo(), (Ten{{"a", "An"}, {"b", "Bình"}}));
    const thu::fs::path chiMuc = thuMuc / VanDaChoi::TEN_CHI_MUC;
    const std::string tot = thu::docHetTep(chiMuc);
    ASSERT_NE(tot.find("\tAn\t"), std::string::npos) << tot;
    // Its file replaced (another size), a game is read again; a file gone leaves the index.
    thu::ghiTep(thuMuc / "a.pgn", van("Anh"));
    thu::fs::remove(thuMuc / "b.pgn");
    EXPECT_EQ(tenDo(), (Ten{{"a", "Anh"}}));
    EXPECT_EQ(thu::docHetTep(chiMuc).find("Bình"), std::string::npos);
    // Damaged every way: each file is read again and the index written anew.
    thu::ghiTep(thuMuc / "b.pgn", van("Bình"));
    std::string khongTab = tot;
    std::replace(khongTab.begin(), khongTab.end(), '\t', ' ');
    const std::string mot = tot.substr(0, tot.find('\n') + 1);
    for (const std::string& hong : {khongTab, std::string("\xff\xfe\t\t\n"), tot.substr(0, tot.size() - 5), mot + "b\t1\tx\n",
                                     mot + "a\t-5\t0\t\t2\t-1\t-1\t0\t*\t\t\tGiả\t\t\t\tfen\n"}) {
        thu::ghiTep(chiMuc, hong);
        EXPECT_EQ(tenDo(), (Ten{{"a", "Anh"}, {"b", "Bình"}})) << hong;
        EXPECT_NE(thu::docHetTep(chiMuc).find("\tAnh\t"), std::string::npos);
    }
    // An index that is not a plain file is not read (nor written through).
    thu::fs::remove(chiMuc);
    thu::fs::create_directory(chiMuc);
    EXPECT_EQ(tenDo(), (Ten{{"a", "Anh"}, {"b", "Bình"}}));
}

namespace {

// A FEN as the page sends it: "/" and the blank encoded.
std::string maHoaFEN(const std::string& fen) {
    std::string ra;
    for (char ch : fen) ra += ch == '/' ? std::string("%2F") : ch == ' ' ? std::string("+") : std::string(1, ch);
    return ra;
}

}  // namespace

// A clock longer than the kept file can hold back is refused before
// anything changes; the longest there is is kept, and the game comes back
// from it with its set-up position.
TEST(Api, TimeControlBeyondTheBoundIsRefusedAndTheLongestIsKept) {
    thu::ThuMucTam duLieu;
    const std::vector<std::string> thamSo = {"--data-dir", duLieu.duongDan().string()};
    auto mcCu = std::make_unique<MayChuThu>(thamSo);
    MayChuThu& mc = *mcCu;
    const std::string fen = "3k1n3/9/9/9/9/9/9/9/9/4KN3 b";
    const std::string truoc = mc.api("trangthai");
    for (const char* giay : {"99999999", "86401"})
        EXPECT_EQ(mc.api(std::string("vanmoi?giay=") + giay + "&fen=" + maHoaFEN(fen)),
                  tuChoi("Thời gian mỗi bên không được quá 24 giờ")) << giay;
    EXPECT_EQ(mc.api("trangthai"), truoc);
    EXPECT_EQ(J(mc.api("vanmoi?giay=86400&fen=" + maHoaFEN(fen)))["dongHo"]["giayMoiBen"], 86400);
    mc.api("cham?hang=0&cot=5");
    ASSERT_EQ(J(mc.api("cham?hang=2&cot=6"))["hanhDong"], "di");
    mcCu.reset();
    MayChuThu sau(thamSo);
    json co = J(sau.api("vantruoc"));
    EXPECT_EQ(co["co"], true) << co;
    EXPECT_EQ(co["soNuoc"], 1);
    json s = J(sau.api("khoiphuc"));
    EXPECT_EQ(s["fenDau"], fen);
    EXPECT_EQ(s["nuocThu"], 1);
    EXPECT_EQ(s["dongHo"]["giayMoiBen"], 86400);
}

// The increment per move: refused clearly outside whole seconds 0..600
// (nothing changes), in the state only when set, and kept with the game
// between runs and in its PGN.
TEST(Api, IncrementIsRefusedClearlyAndKeptWithTheGame) {
    thu::ThuMucTam duLieu;
    const std::vector<std::string> thamSo = {"--data-dir", duLieu.duongDan().string()};
    auto mcCu = std::make_unique<MayChuThu>(thamSo);
    MayChuThu& mc = *mcCu;
    const std::string truoc = mc.api("trangthai");
    for (const char* tang : {"601", "-1", "abc", "", "2.5", "1e2", "0600"})
        EXPECT_EQ(mc.api(std::string("vanmoi?giay=180&tang=") + tang),
                  tuChoi("Số giây cộng thêm mỗi nước phải là số nguyên từ 0 đến 600"))
            << tang;
    EXPECT_EQ(mc.api("trangthai"), truoc);
    EXPECT_FALSE(J(mc.api("vanmoi?giay=180"))["dongHo"].contains("tang"));
    EXPECT_FALSE(J(mc.api("vanmoi?giay=0&tang=5"))["dongHo"].contains("tang"));
    EXPECT_FALSE(J(mc.api("vanmoi?giay=180&tang=0"))["dongHo"].contains("tang"));
    EXPECT_EQ(J(mc.api("vanmoi?giay=180&tang=600"))["dongHo"]["tang"], 600);
    json s = J(mc.api("vanmoi?giay=180&tang=2"));
    EXPECT_EQ(s["dongHo"]["tang"], 2);
    mc.api("cham?hang=9&cot=1");
    s = J(mc.api("cham?hang=7&cot=2"));
    ASSERT_EQ(s["hanhDong"], "di");
    EXPECT_GT(s["dongHo"]["do"].get<double>(), 180.0);
    EXPECT_NE(J(mc.api("pgn"))["pgn"].get<std::string>().find("[TimeControl \"180+2\"]"), std::string::npos);
    mcCu.reset();
    MayChuThu sau(thamSo);
    EXPECT_EQ(J(sau.api("vantruoc"))["tang"], 2);
    s = J(sau.api("khoiphuc"));
    EXPECT_EQ(s["dongHo"]["tang"], 2);
    EXPECT_GT(s["dongHo"]["do"].get<double>(), 180.0);
}

TEST(Api, GameFromASetUpPosition) {
    MayChuThu mc;
    // Refused with the reason, before anything changes; the check alone
    // normalises what it accepts.
    EXPECT_EQ(mc.api("vanmoi?fen=" + maHoaFEN("4k4/9/9/9/9/9/9/9/9/4K4 w")),
              tuChoi("Thế cờ không hợp lệ: Hai Tướng đối mặt trên cùng một cột không có quân chắn"));
    EXPECT_EQ(mc.api("vanmoi?fen=9%2Fk"), tuChoi("Thế cờ không hợp lệ: FEN sai: chỉ có 2 hàng (cần 10)"));
    EXPECT_EQ(J(mc.api("trangthai"))["phienBan"], 1);
    EXPECT_EQ(mc.api("kiemtrafen?fen=" + maHoaFEN("3k1n3/9/9/9/9/9/9/9/9/4KH3 b - - 0 1")),
              R"({"ok":true,"fen":"3k1n3/9/9/9/9/9/9/9/9/4KN3 b"})");

    // The legal moves of a lone position, its check and its end, the game untouched.
    const std::string truoc = mc.api("trangthai");
    json hl = J(mc.api("nuochople?fen=" + maHoaFEN("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w")));
    EXPECT_EQ(hl["nuoc"].size(), 44u);
    EXPECT_NE(std::find(hl["nuoc"].begin(), hl["nuoc"].end(), "h2e2"), hl["nuoc"].end());
    EXPECT_EQ(hl["chieu"], false);
    EXPECT_EQ(hl["ketQua"], "DANG_CHOI");
    // In check, the general may not stay on the file nor face the other one;
    // a mated side has no move and loses.
    hl = J(mc.api("nuochople?fen=" + maHoaFEN("4k4/9/9/9/9/9/9/4R4/9/3K5 b")));
    EXPECT_EQ(hl["chieu"], true);
    EXPECT_EQ(hl["nuoc"], json::array({"e9f9"}));
    hl = J(mc.api("nuochople?fen=" + maHoaFEN("3k5/3R5/3R5/9/9/9/9/9/9/4K4 b")));
    EXPECT_EQ(hl["nuoc"].size(), 0u);
    EXPECT_EQ(hl["ketQua"], "DO_THANG");
    EXPECT_EQ(hl["lyDo"], "Chiếu bí! Đen thua");
    hl = J(mc.api("nuochople?fen=" + maHoaFEN("3k5/9/9/9/9/9/9/9/9/4K4 r")));
    EXPECT_EQ(hl["fen"], "3k5/9/9/9/9/9/9/9/9/4K4 w");
    EXPECT_EQ(mc.api("nuochople?fen=" + maHoaFEN("4k4/9/9/9/9/9/9/9/9/4K4 w")),
              tuChoi("Thế cờ không hợp lệ: Hai Tướng đối mặt trên cùng một cột không có quân chắn"));
    EXPECT_EQ(J(mc.api("nuochople"))["ok"], false);
    EXPECT_EQ(mc.api("trangthai"), truoc);

    // Black moves first; the horses go out and back, the handicap is ignored.
    const std::string fen = "3k1n3/9/9/9/9/9/9/9/9/4KN3 b";
    json dau = J(mc.api("vanmoi?giay=0&chap=DO:Xe&fen=" + maHoaFEN(fen)));
    EXPECT_EQ(dau["luot"], "DEN");
    EXPECT_EQ(dau["fenDau"], fen);
    EXPECT_EQ(dau["chap"].size(), 0u);
    EXPECT_EQ(dau["banCo"].size(), 4u);
    auto di = [&](int hd, int cd, int hc, int cc) {
        mc.api("cham?hang=" + std::to_string(hd) + "&cot=" + std::to_string(cd));
        return J(mc.api("cham?hang=" + std::to_string(hc) + "&cot=" + std::to_string(cc)));
    };
    auto vong = [&] {
        di(0, 5, 2, 6);
        di(9, 5, 7, 6);
        di(2, 6, 0, 5);
        return di(7, 6, 9, 5);
    };
    EXPECT_EQ(di(0, 5, 2, 6)["lichSu"][0], "Ma đen 0f-2g");
    json s = J(mc.api("huy"));
    EXPECT_EQ(s["nuocThu"], 0);
    EXPECT_EQ(s["luot"], "DEN") << "undo goes back to the set-up position, its side to move";
    EXPECT_EQ(theoO(s["banCo"]), theoO(dau["banCo"]));

    // Saved with the position, loaded back over a normal game; the game kept
    // between runs keeps it too.
    di(0, 5, 2, 6);
    json daDi = di(9, 5, 7, 6);
    ASSERT_EQ(mc.api("luu"), R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})");
    EXPECT_NE(thu::docHetTep(mc.thuMuc() / "tavelin.save").find("\nfen " + fen + "\n"), std::string::npos);
    EXPECT_NE(thu::docHetTep(mc.tepTuLuu()).find("\nfen " + fen + "\n"), std::string::npos);
    mc.api("vanmoi");
    s = J(mc.api("tai"));
    EXPECT_EQ(s["lichSu"], daDi["lichSu"]);
    EXPECT_EQ(theoO(s["banCo"]), theoO(daDi["banCo"]));
    EXPECT_EQ(s["fenDau"], fen);
    // The set-up position comes back a second and a third time: a draw.
    di(2, 6, 0, 5);
    s = di(7, 6, 9, 5);
    EXPECT_EQ(s["ketQua"], "DANG_CHOI");
    s = vong();
    EXPECT_EQ(s["ketQua"], "HOA");
    EXPECT_EQ(s["lyDo"], "Thế cờ lặp lại 3 lần");

    // A file whose position cannot be played is refused like one with an
    // illegal move, and the game stays.
    thu::ghiTep(mc.thuMuc() / "tavelin.save", "TAVELIN1\nchedo 0\nnuoc 0\nfen 4k4/9/9/9/9/9/9/9/9/4K4 w\n");
    EXPECT_EQ(mc.api("tai"), tuChoi("Ván lưu có thế cờ không hợp lệ: Hai Tướng đối mặt trên cùng một cột không có quân chắn"));
    EXPECT_EQ(J(mc.api("trangthai"))["ketQua"], "HOA");

    // Red is mated in the position: the game says so at once, and neither
    // computer is asked for a move it does not have.
    s = J(mc.api("vanmoi?cheDo=MM&doKho=DE&fen=" + maHoaFEN("3k5/9/9/9/4r4/5r3/9/9/9/4K4 w")));
    EXPECT_EQ(s["ketQua"], "DEN_THANG");
    EXPECT_EQ(s["lyDo"], "Chiếu bí! Đỏ thua");
    EXPECT_EQ(s["mayDangNghi"], false);
    // Against the computer with its side to move, it moves first.
    mc.api("vanmoi?cheDo=NM&doKho=DE&pheNguoi=DO&giay=0&fen=" + maHoaFEN(fen));
    EXPECT_TRUE(thu::choDen([&] { return J(mc.api("trangthai"))["nuocThu"] == 1; }));
    EXPECT_EQ(J(mc.api("trangthai"))["luot"], "DO");
}

// The analysis board's commands on their own thread: the best lines of a
// position (legal, distinct, best first), a mate in two for either side with
// its count and sign, refusals that leave the analysis alone, and the stop.
TEST(Api, AnalysisLinesMatesRefusalsAndStop) {
    MayChuThu mc;
    const std::string batDau = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";
    json a = J(mc.api("phantich?fen=" + maHoaFEN(batDau) + "&dong=3"));
    EXPECT_EQ(a["ok"], true);
    EXPECT_EQ(a["fen"], batDau);
    ASSERT_TRUE(thu::choDen([&] { return J(mc.api("phantich"))["doSau"] >= 4; }));
    a = J(mc.api("phantich"));
    ASSERT_EQ(a["dong"].size(), 3u);
    std::set<std::string> dau;
    for (size_t j = 0; j < 3; ++j) {
        const json& d = a["dong"][j];
        if (j > 0) {
            EXPECT_LE(d["diem"], a["dong"][j - 1]["diem"]) << "red to move: best first";
        }
        EXPECT_TRUE(d["chieuHet"].is_null());
        dau.insert(d["nuoc"][0].get<std::string>());
        uci::TheCo tc;
        std::string loi;
        ASSERT_TRUE(tc.datFEN(batDau, loi));
        for (const auto& n : d["nuoc"]) {
            NuocDi nd;
            ASSERT_TRUE(uci::docNuoc(n.get<std::string>(), nd)) << n;
            EXPECT_TRUE(tc.di(nd)) << a.dump();
        }
    }
    EXPECT_EQ(dau.size(), 3u);

    // Refused without touching the analysis in progress.
    for (const char* sai : {"fen=xyz", "fen=4k4/9/9/9/9/9/9/9/9/9%20w", "fen="}) {
        a = J(mc.api(std::string("phantich?") + sai));
        EXPECT_EQ(a["ok"], false) << sai;
        EXPECT_FALSE(a["lyDo"].get<std::string>().empty());
    }
    EXPECT_EQ(J(mc.api("phantich"))["fen"], batDau);

    const std::pair<const char*, int> chieuHet[] = {{"4k4/9/9/9/9/9/9/9/R8/3K4R w", 2},
                                                    {"3k4r/r8/9/9/9/9/9/9/9/4K4 b", -2}};
    for (const auto& [fen, n] : chieuHet) {
        SCOPED_TRACE(fen);
        mc.api("phantich?dong=1&fen=" + maHoaFEN(fen));
        ASSERT_TRUE(thu::choDen([&] { return !J(mc.api("phantich"))["dong"].empty(); }));
        ASSERT_TRUE(thu::choDen([&] { return J(mc.api("phantich"))["dong"][0]["chieuHet"] == n; }))
            << mc.api("phantich");
        a = J(mc.api("phantich"));
        EXPECT_EQ(a["dong"][0]["diem"] > 0, n > 0);
        EXPECT_EQ(a["dong"][0]["nuoc"].size(), 3u);
    }

    // Stopped: the lines stay as they were.
    mc.api("phantich?dong=2&fen=" + maHoaFEN(batDau));
    ASSERT_TRUE(thu::choDen([&] { return J(mc.api("phantich"))["doSau"] >= 3; }));
    mc.api("phantich?dung=1");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string dung = mc.api("phantich");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(mc.api("phantich"), dung);

    // The graph: every position of the game scored, red's view; a wrong move refused.
    ASSERT_TRUE(thu::choDen([&] {
        return J(mc.api("danhgiavan?fen=" + maHoaFEN(batDau) + "&nuoc=h2e2,h9g7,h0g2"))["xong"] == true;
    }));
    a = J(mc.api("danhgiavan?fen=" + maHoaFEN(batDau) + "&nuoc=h2e2,h9g7,h0g2"));
    ASSERT_EQ(a["diem"].size(), 4u);
    for (const auto& d : a["diem"]) EXPECT_TRUE(d.is_number_integer());
    EXPECT_EQ(J(mc.api("danhgiavan?fen=" + maHoaFEN(batDau) + "&nuoc=h2e2,h2e2"))["ok"], false);
}

TEST(Api, ImportPlaysARecordedGameThroughTheRulingsItsPlayersPassed) {
    MayChuThu mc;
    const std::string fen = "fen=" + maHoaFEN("4k4/9/7R1/9/9/9/9/9/9/3K5 w");
    // Red checks on every move; its ninth move brings the position back a
    // third time (red loses by the Asian rules, a draw by the plain one), and
    // the players went on until the chariot left.
    const std::string chieuDai = "h7h9,e9e8,h9h8,e8e9,h8h9,e9e8,h9h8,e8e9,h8h9";
    for (const auto& [luat, lyDo] : {std::pair{"CHAU_A", "Đỏ chiếu dai, xử thua"},
                                     std::pair{"BA_LAN", "Thế cờ lặp lại 3 lần"}}) {
        json s = J(mc.api("nhapvan?luat=" + std::string(luat) + "&" + fen + "&nuoc=" + chieuDai + ",e9e8,h9a9"));
        EXPECT_EQ(s["hanhDong"], "nhapvan") << luat;
        EXPECT_EQ(s["nhap"].dump(), R"({"daDi":11,"nuocSai":-1})") << luat;
        EXPECT_EQ(s["quaPhanQuyet"].dump(), std::string(R"({"nuoc":8,"lyDo":")") + lyDo + "\"}") << luat;
        EXPECT_EQ(s["ketQua"], "DANG_CHOI") << luat;
        EXPECT_EQ(s["lichSu"].size(), 11u) << luat;
        EXPECT_EQ(s["cheDo"], "NGUOI_NGUOI");
        EXPECT_EQ(s["dongHo"]["bat"], false);
        EXPECT_FALSE(s.contains("chuKy")) << luat;
    }
    // Played on from there, the game is judged again as usual.
    EXPECT_EQ(J(mc.api("cham?hang=1&cot=4"))["hanhDong"], "chon");

    // A ruling on the last move is the game's result, not one passed over.
    json s = J(mc.api("nhapvan?luat=CHAU_A&" + fen + "&nuoc=" + chieuDai));
    EXPECT_EQ(s["nhap"].dump(), R"({"daDi":9,"nuocSai":-1})");
    EXPECT_FALSE(s.contains("quaPhanQuyet"));
    EXPECT_EQ(s["ketQua"], "DEN_THANG");
    EXPECT_EQ(s["lyDo"], "Đỏ chiếu dai, xử thua");
    EXPECT_EQ(s["chuKy"].dump(), R"({"tu":1,"den":8})");
    s = J(mc.api("nhapvan?" + fen + "&nuoc=" + chieuDai));
    EXPECT_EQ(s["ketQua"], "HOA") << "the plain rule by default";
    EXPECT_EQ(s["lyDo"], "Thế cờ lặp lại 3 lần");

    // The first illegal or unreadable move stops the game there, its index said.
    s = J(mc.api("nhapvan?luat=CHAU_A&" + fen + "&nuoc=h7h9,e9e7,e9e8"));
    EXPECT_EQ(s["nhap"].dump(), R"({"daDi":1,"nuocSai":1})");
    EXPECT_EQ(s["lichSu"].size(), 1u);
    EXPECT_EQ(s["luat"], "CHAU_A");
    EXPECT_EQ(J(mc.api("nhapvan?nuoc=h2e2,h9g7,x,b0c2"))["nhap"].dump(), R"({"daDi":2,"nuocSai":2})");
    // A move after a mate is refused too: the game is over there.
    s = J(mc.api("nhapvan?fen=" + maHoaFEN("3k5/1R7/9/9/9/9/9/9/9/R3K4 w") + "&nuoc=a0a9,d9e9"));
    EXPECT_EQ(s["nhap"].dump(), R"({"daDi":1,"nuocSai":1})");
    EXPECT_EQ(s["ketQua"], "DO_THANG");

    // Refusals leave the game as it was.
    const json truoc = J(mc.api("trangthai"));
    EXPECT_EQ(mc.api("nhapvan?luat=XYZ&nuoc=h2e2"), tuChoi("Luật chơi không hợp lệ (CHAU_A hoặc BA_LAN)"));
    const std::string khongCoNuoc =
        tuChoi("Không có nước đi nào đọc được để nhập (dạng h2e2, cách nhau bởi dấu phẩy)");
    EXPECT_EQ(mc.api("nhapvan?luat=CHAU_A"), khongCoNuoc);
    EXPECT_EQ(mc.api("nhapvan?nuoc="), khongCoNuoc);
    EXPECT_EQ(mc.api("nhapvan?nuoc=%E1%BB%9D,h2e2"), khongCoNuoc);
    EXPECT_EQ(mc.api("nhapvan?nuoc=h2e2&fen=9%2Fk"), tuChoi("Thế cờ không hợp lệ: FEN sai: chỉ có 2 hàng (cần 10)"));
    EXPECT_EQ(J(mc.api("trangthai")), truoc);

    // At most as many moves as a saved game holds (more than a request can
    // carry, so asked without the network).
    auto web = std::make_unique<GiaoDienWeb>(thu::fs::temp_directory_path().string());
    std::string dai = "h2e2";
    for (size_t i = 1; i <= TOI_DA_NUOC; ++i) dai += i % 2 ? ",e2h2" : ",h2e2";
    EXPECT_EQ(web->xuLyAPI("nhapvan", "nuoc=" + dai), tuChoi("Ván nhập có quá nhiều nước đi (tối đa 20000)"));
    EXPECT_EQ(json::parse(web->xuLyAPI("trangthai", ""))["nuocThu"], 0);
}
