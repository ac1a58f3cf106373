// Request handling without a socket: the bytes the server would send and the
// log line it would write, for requests it answers and requests it drops.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "giao_dien_web.h"

TEST(XuLyYeuCau, AnswerLogLineAndDroppedRequests) {
    namespace fs = std::filesystem;
    const fs::path goc = fs::temp_directory_path() / ("tavelin-xlyc-" + std::to_string(::getpid()));
    fs::create_directories(goc);
    std::ofstream(goc / "index.html") << "<p>hi</p>";
    auto web = std::make_unique<GiaoDienWeb>(goc.string());

    std::string dongLog = "stale";
    EXPECT_EQ(web->xuLyYeuCau("GET / HTTP/1.1\r\nHost: 127.0.0.1:8765\r\n\r\n", dongLog),
              "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 9\r\n"
              "Cache-Control: no-store\r\nAccess-Control-Allow-Origin: *\r\nConnection: close\r\n\r\n<p>hi</p>");
    EXPECT_EQ(dongLog, "[web] GET / -> 200\n");

    // The log line keeps the path's bytes as they came, a zero byte included.
    const std::string voiSoKhong("GET /a\0b HTTP/1.1\r\n\r\n", 21);
    EXPECT_EQ(web->xuLyYeuCau(voiSoKhong, dongLog).substr(0, 22), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(dongLog, std::string("[web] GET /a\0b -> 404\n", 22));

    // No line end, or no space before it: closed without an answer or a log line.
    for (const std::string yc : {"", "GET / HTTP/1.1", "GET\r\n\r\n", "\r\n GET /"}) {
        EXPECT_EQ(web->xuLyYeuCau(yc, dongLog), "") << yc;
        EXPECT_EQ(dongLog, "") << yc;
    }
    web.reset();
    fs::remove_all(goc);
}
