// The HTTP server of the real program: exact bytes, routing, static files,
// path safety and the log lines.
#include <gtest/gtest.h>

#include "may_chu_thu.h"

using thu::MayChuThu;

namespace {

const std::string JSON = "application/json; charset=utf-8";

std::string dauDongMongDoi(const std::string& loai, size_t dai) {
    return "Content-Type: " + loai + "\r\nContent-Length: " + std::to_string(dai) +
           "\r\nCache-Control: no-store\r\nAccess-Control-Allow-Origin: *\r\nConnection: close\r\n\r\n";
}

}  // namespace

TEST(Http, IndexFileExactBytesAndLogLine) {
    MayChuThu mc;
    ASSERT_GT(mc.cong(), 0);
    std::string tho = mc.tho("GET / HTTP/1.1\r\n\r\n");
    std::string index = MayChuThu::INDEX;
    EXPECT_EQ(tho, "HTTP/1.1 200 OK\r\n" + dauDongMongDoi("text/html; charset=utf-8", index.size()) + index);
    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] GET / -> 200\n"));

    // The query plays no part for files and stays out of the log.
    thu::ghiTep(mc.web() / "app.js", "let a = 1;");
    auto ph = mc.get("/app.js?v=3");
    EXPECT_EQ(ph.ma, 200);
    EXPECT_EQ(ph.than, "let a = 1;");
    EXPECT_EQ(ph.dauDong[0], "Content-Type: text/javascript; charset=utf-8");
    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] GET /app.js -> 200\n"));
    std::string ra = mc.chuongTrinh().ra();
    EXPECT_EQ(ra.rfind("PORT=", 0), 0u);
    EXPECT_NE(ra.find("\nWEB: http://127.0.0.1:" + std::to_string(mc.cong()) + "/\n"), std::string::npos);
}

TEST(Http, MethodApiAndFaviconStatuses) {
    MayChuThu mc;
    std::string than405 = R"({"ok":false,"lyDo":"Chỉ hỗ trợ GET"})";
    EXPECT_EQ(mc.tho("POST /api/trangthai HTTP/1.1\r\n\r\n"),
              "HTTP/1.1 405 Method Not Allowed\r\n" + dauDongMongDoi(JSON, than405.size()) + than405);
    EXPECT_EQ(mc.tho("get / HTTP/1.1\r\n\r\n").substr(0, 12), "HTTP/1.1 405");

    std::string than404 = R"({"ok":false,"lyDo":"API không tồn tại"})";
    for (const char* dich : {"/api/", "/api/khongco", "/api/Trangthai", "/api/trangthai%20"}) {
        auto ph = mc.get(dich);
        EXPECT_EQ(ph.tho, "HTTP/1.1 404 Not Found\r\n" + dauDongMongDoi(JSON, than404.size()) + than404) << dich;
    }
    // "/api" without its slash is a file path, not the API.
    EXPECT_EQ(mc.get("/api").dauDong[0], "Content-Type: text/plain; charset=utf-8");

    thu::ghiTep(mc.web() / "favicon.ico", "ICON");
    EXPECT_EQ(mc.get("/favicon.ico").tho, "HTTP/1.1 204 No Content\r\n" + dauDongMongDoi(JSON, 0));

    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] POST /api/trangthai -> 405\n"));
    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] get / -> 405\n"));
    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] GET /api/khongco -> 404\n"));
    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] GET /favicon.ico -> 204\n"));
}

TEST(Http, StaticFilesTypesAndPathSafety) {
    MayChuThu mc;
    thu::ghiTep(mc.web() / "STYLE.CSS", "body{}");
    thu::ghiTep(mc.web() / "rong.json", "");
    thu::ghiTep(mc.web() / "a%41.txt", "percent");
    thu::ghiTep(mc.web() / "sub" / "x.svg", "<svg/>");
    thu::ghiTep(mc.thuMuc() / "bi_mat.txt", "secret");

    auto ph = mc.get("/STYLE.CSS");
    EXPECT_EQ(ph.ma, 200);
    EXPECT_EQ(ph.dauDong[0], "Content-Type: application/octet-stream");

    ph = mc.get("/rong.json");
    EXPECT_EQ(ph.tho, "HTTP/1.1 200 OK\r\n" + dauDongMongDoi(JSON, 0));

    EXPECT_EQ(mc.get("/a%41.txt").than, "percent") << "paths are used exactly as sent";
    EXPECT_EQ(mc.get("/aA.txt").ma, 404);
    EXPECT_EQ(mc.get("/sub/x.svg").dauDong[0], "Content-Type: image/svg+xml");

    std::string than404 = "Không tìm thấy tài nguyên";
    std::string mongDoi404 = "HTTP/1.1 404 Not Found\r\n" + dauDongMongDoi("text/plain; charset=utf-8", than404.size()) +
                             than404;
    for (const char* dich : {"/../bi_mat.txt", "/sub/../index.html", "/sub\\x.svg", "/C:/x", "/khong_co.html",
                             "/sub", "relative", "/%2e%2e/bi_mat.txt"}) {
        EXPECT_EQ(mc.get(dich).tho, mongDoi404) << dich;
    }
    // A zero byte in the path is refused as well (and never truncates the name).
    EXPECT_EQ(thu::tachPhanHoi(mc.tho(std::string("GET /index.html\0.x HTTP/1.1\r\n\r\n", 32))).ma, 404);
}
