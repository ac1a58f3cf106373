// Static files never reach outside the web root: traversal tricks in every
// spelling we know of are refused, and no answer ever carries the bytes of a
// file placed beside the root.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "may_chu_thu.h"

using namespace thu;

namespace {

const std::string BI_MAT = "bi-mat-ngoai-goc-web-7f3a";

// Traversal spellings, each aimed at bi_mat.txt one level above the root
// (or, through "sub", two levels).
std::vector<std::string> cacMeo(const fs::path& tepBiMat) {
    const std::string tuyetDoi = tepBiMat.string();
    std::vector<std::string> v = {
        // dot-dot, raw
        "/../bi_mat.txt", "/../../bi_mat.txt", "/./../bi_mat.txt", "/sub/../../bi_mat.txt", "/..", "/sub/..",
        "/.../bi_mat.txt", "/..../bi_mat.txt",
        // percent-encoded, single and double, either case, mixed with raw dots
        "/%2e%2e/bi_mat.txt", "/%2E%2E/bi_mat.txt", "/.%2e/bi_mat.txt", "/%2e./bi_mat.txt", "/..%2fbi_mat.txt",
        "/%2e%2e%2fbi_mat.txt", "/%2e%2e%5cbi_mat.txt", "/%252e%252e/bi_mat.txt", "/%252e%252e%252fbi_mat.txt",
        "/sub/%2e%2e/%2e%2e/bi_mat.txt",
        // overlong UTF-8 forms of "." "/" and "\", encoded and raw
        "/%c0%ae%c0%ae/bi_mat.txt", "/%c0%ae%c0%ae%c0%afbi_mat.txt", "/%e0%80%ae%e0%80%ae/bi_mat.txt",
        "/%c1%9c..%c1%9cbi_mat.txt", "/\xc0\xae\xc0\xae/bi_mat.txt", "/..\xc0\xaf" "bi_mat.txt",
        "/\xe0\x80\xae\xe0\x80\xae/bi_mat.txt",
        // backslashes and colons
        "/..\\bi_mat.txt", "/\\..\\bi_mat.txt", "/sub\\..\\..\\bi_mat.txt", "/C:/bi_mat.txt", "/C:\\bi_mat.txt",
        "/file:" + tuyetDoi, "/bi_mat.txt::$DATA",
        // NUL, encoded (the raw byte is sent separately below)
        "/..%00/bi_mat.txt", "/../bi_mat.txt%00.html", "/index.html%00/../../bi_mat.txt",
        // absolute paths, with one or two slashes, and targets without a slash
        tuyetDoi, "/" + tuyetDoi, "bi_mat.txt", "../bi_mat.txt", "http://127.0.0.1/../bi_mat.txt", "*",
        // the API prefix and the query do not open a way either
        "/api/../bi_mat.txt", "/api/..%2fbi_mat.txt", "/favicon.ico/../bi_mat.txt",
        // very long: deep nesting back out, a name past the system's limit
        "/" + std::string(4000, 'a') + "/../bi_mat.txt", "/" + std::string(5000, 'x'),
    };
    std::string sau = "/";
    for (int i = 0; i < 1500; ++i) sau += "d/";
    for (int i = 0; i < 1501; ++i) sau += "../";
    v.push_back(sau + "bi_mat.txt");
    return v;
}

}  // namespace

TEST(DuongDan, NoTraversalTrickReadsOutsideTheWebRoot) {
    MayChuThu mc;
    const fs::path biMat = mc.thuMuc() / "bi_mat.txt";
    ghiTep(biMat, BI_MAT);
    ghiTep(mc.web() / "sub" / "x.txt", "x");
    // The check itself can see the secret when it is served.
    ghiTep(mc.web() / "ban_sao.txt", BI_MAT);
    ASSERT_EQ(mc.get("/ban_sao.txt").than, BI_MAT);

    for (const std::string& dich : cacMeo(biMat)) {
        PhanHoi ph = mc.get(dich);
        EXPECT_EQ(ph.ma, 404) << dich.substr(0, 80);
        EXPECT_EQ(ph.tho.find(BI_MAT), std::string::npos) << dich.substr(0, 80);
    }
    // A query is never part of the file name.
    EXPECT_EQ(mc.get("/index.html?/../bi_mat.txt").than, MayChuThu::INDEX);

    // Raw zero bytes, wherever they stand.
    for (std::string dich : {std::string("/../bi_mat.txt\0.html", 21), std::string("/index.html\0/../bi_mat.txt", 26),
                             std::string("/\0../bi_mat.txt", 16)}) {
        PhanHoi ph = tachPhanHoi(mc.tho("GET " + dich + " HTTP/1.1\r\n\r\n"));
        EXPECT_EQ(ph.ma, 404);
        EXPECT_EQ(ph.tho.find(BI_MAT), std::string::npos);
    }
    // A request line beyond the read cap is closed unanswered.
    EXPECT_EQ(mc.tho("GET /" + std::string(20000, '.') + "/bi_mat.txt HTTP/1.1\r\n\r\n"), "");
    EXPECT_EQ(mc.get("/api/trangthai").ma, 200);
}

TEST(DuongDan, LinksPlacedInTheRootByItsOwnerAreFollowed) {
    // Whoever can put a link into the web root can put any file there: a link
    // is the owner's choice (shared assets are often linked in), while a
    // client can only name paths inside the root. Directories never list.
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows";
#endif
    MayChuThu mc;
    ghiTep(mc.thuMuc() / "chung" / "thu_vien.js", "chung");
    fs::create_symlink(mc.thuMuc() / "chung" / "thu_vien.js", mc.web() / "thu_vien.js");
    fs::create_directory_symlink(mc.thuMuc() / "chung", mc.web() / "chung");
    fs::create_symlink(mc.thuMuc() / "khong_co", mc.web() / "gay.txt");
    EXPECT_EQ(mc.get("/thu_vien.js").than, "chung");
    EXPECT_EQ(mc.get("/chung/thu_vien.js").than, "chung");
    EXPECT_EQ(mc.get("/chung").ma, 404);
    EXPECT_EQ(mc.get("/chung/").ma, 404);
    EXPECT_EQ(mc.get("/gay.txt").ma, 404);
}
