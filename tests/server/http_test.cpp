// The HTTP server of the real program: exact bytes, routing, static files,
// path safety and the log lines.
#include <gtest/gtest.h>

#include "giao_dien_web.h"
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

// Only this machine's own page (or a tool without these headers) drives the
// game: another site, or a foreign name resolving to us, gets a 403 that
// changes neither the game nor the saved file.
TEST(Http, RequestsFromOtherSitesAreRefusedAndChangeNothing) {
    MayChuThu mc;
    const std::string cong = std::to_string(mc.cong());
    ASSERT_EQ(mc.api("luu"), R"({"ok":true,"thongBao":"Đã lưu ván vào tavelin.save"})");
    const std::string tepLuu = thu::docHetTep(mc.thuMuc() / "tavelin.save");
    mc.api("cham?hang=9&cot=0");
    ASSERT_NE(mc.api("cham?hang=8&cot=0").find(R"("hanhDong":"di")"), std::string::npos);
    const std::string trangThai = mc.api("trangthai");

    auto hoi = [&](const std::string& dich, const std::string& dau) {
        return thu::tachPhanHoi(mc.tho("GET " + dich + " HTTP/1.1\r\n" + dau + "\r\n\r\n"));
    };
    const std::string mayKhac = R"({"ok":false,"lyDo":"Chỉ phục vụ trên chính máy này"})";
    const std::string trangKhac = R"({"ok":false,"lyDo":"Từ chối yêu cầu từ trang web khác"})";
    EXPECT_EQ(hoi("/api/luu", "Host: evil.example").tho,
              "HTTP/1.1 403 Forbidden\r\n" + dauDongMongDoi(JSON, mayKhac.size()) + mayKhac);
    EXPECT_TRUE(mc.chuongTrinh().choDongRa("[web] GET /api/luu -> 403\n"));

    const struct { const char* dau; const std::string& than; } tuChoi[] = {
        {"Host: evil.example", mayKhac},
        {"HOST: Evil.Example", mayKhac},
        {"Accept: */*\r\nhost: 127.0.0.1.evil.example", mayKhac},
        {"Sec-Fetch-Site: cross-site", trangKhac},
        {"sec-fetch-site: Same-Site", trangKhac},
        {"Origin: http://evil.example", trangKhac},
        {"Origin: null", trangKhac},
        {"Origin: https://127.0.0.1", trangKhac},
    };
    for (const auto& t : tuChoi) {
        for (const char* dich : {"/api/vanmoi?cheDo=MM", "/api/cham?hang=0&cot=0", "/api/luu", "/api/tai"}) {
            const auto ph = hoi(dich, t.dau);
            EXPECT_EQ(ph.ma, 403) << t.dau << " " << dich;
            EXPECT_EQ(ph.than, t.than) << t.dau << " " << dich;
        }
    }
    // Every command, whatever it is given: none may be left open by mistake.
    for (const LenhAPI& lenh : GiaoDienWeb::bangLenhAPI()) {
        for (const char* thamSo : {"", "?mo=x", "?xoa=x", "?fen=4k4%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F3K5%20w"}) {
            const std::string dich = std::string("/api/") + lenh.ten + thamSo;
            EXPECT_EQ(hoi(dich, "Sec-Fetch-Site: cross-site").than, trangKhac) << dich;
            EXPECT_EQ(hoi(dich, "Origin: http://evil.example").than, trangKhac) << dich;
            EXPECT_EQ(hoi(dich, "Host: evil.example").than, mayKhac) << dich;
        }
    }
    // Names built on the request: a rebinding name on our port, another
    // local server's page.
    EXPECT_EQ(hoi("/api/luu", "Host: evil.example:" + cong).ma, 403);
    EXPECT_EQ(hoi("/api/luu", "Host: 127.0.0.1\r\nOrigin: http://127.0.0.1:" + std::to_string(mc.cong() + 1)).ma, 403);
    EXPECT_EQ(hoi("/", "Host: evil.example").ma, 403);
    // An address long enough to push the fetch metadata past the read limit:
    // whatever it asks for, nothing of the game (nor any file) comes back.
    const std::string quaDai = R"({"ok":false,"lyDo":"Yêu cầu quá dài"})";
    for (const char* dich : {"/api/trangthai?x=", "/api/luu?x=", "/api/pgn?x=", "/index.html?x=", "/?x="}) {
        const auto ph = hoi(dich + std::string(16300, 'b'),
                            "Host: 127.0.0.1:" + cong + "\r\nOrigin: http://evil.example\r\nSec-Fetch-Site: cross-site");
        EXPECT_EQ(ph.tho, "HTTP/1.1 431 Request Header Fields Too Large\r\n" + dauDongMongDoi(JSON, quaDai.size()) + quaDai)
            << dich;
    }
    EXPECT_EQ(mc.api("trangthai"), trangThai);
    EXPECT_EQ(thu::docHetTep(mc.thuMuc() / "tavelin.save"), tepLuu);

    // This machine under each of its names, with or without the port, and the
    // page's own requests.
    for (const std::string& dau : std::vector<std::string>{"Host: 127.0.0.1", "Host: localhost:" + cong, "Host: LocalHost", "Host: [::1]", "Host: [::1]:" + cong,
          "Host: 127.0.0.1:" + cong + "\r\nSec-Fetch-Site: same-origin\r\nOrigin: http://127.0.0.1:" + cong,
          "Sec-Fetch-Site: none", "Origin: http://LOCALHOST:" + cong, "Accept: */*"}) {
        EXPECT_EQ(hoi("/api/trangthai", dau).than, trangThai) << dau;
    }
    EXPECT_EQ(hoi("/", "Sec-Fetch-Site: cross-site\r\nOrigin: http://evil.example").ma, 200);
}
