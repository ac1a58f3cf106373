// Text helpers of the server: URL decoding, query splitting, integer
// parameters, JSON escaping, the request line and the response bytes.
#include <gtest/gtest.h>

#include "http_tho.h"
#include "json_viet.h"
#include "phan_tich.h"
#include "utf8.h"

TEST(GiaiMaURL, PlusPercentAndBrokenEscapes) {
    EXPECT_EQ(giaiMaURL("a+b"), "a b");
    EXPECT_EQ(giaiMaURL("%41%62%2f"), "Ab/");
    EXPECT_EQ(giaiMaURL("NGUOI%5FMAY"), "NGUOI_MAY");
    EXPECT_EQ(giaiMaURL("%C3%B4"), "\xC3\xB4");
    EXPECT_EQ(giaiMaURL("%00x"), std::string("\0x", 2));
    // A "%" without two hex digits is kept and decoding resumes after it.
    EXPECT_EQ(giaiMaURL("100%"), "100%");
    EXPECT_EQ(giaiMaURL("%4"), "%4");
    EXPECT_EQ(giaiMaURL("%G1"), "%G1");
    EXPECT_EQ(giaiMaURL("%%41"), "%A");
    EXPECT_EQ(giaiMaURL(""), "");
}

TEST(TachThamSo, ItemsDecodedLaterWinsEmptySkipped) {
    ThamSo ts = tachThamSo("a=1&&b&c=x%3Dy&a=2&d%5F=+v+&=z");
    EXPECT_EQ(ts.at("a"), "2");
    EXPECT_EQ(ts.at("b"), "");
    EXPECT_EQ(ts.at("c"), "x=y");
    EXPECT_EQ(ts.at("d_"), " v ");
    EXPECT_EQ(ts.at(""), "z");
    EXPECT_EQ(ts.size(), 5u);
    EXPECT_TRUE(tachThamSo("").empty());
    EXPECT_EQ(tachThamSo("k=a=b").at("k"), "a=b");
}

TEST(LaySo, ReadsLikeStoiButUnusableMeansAbsent) {
    ThamSo ts = {{"a", "  -7xyz"}, {"b", "+12"}, {"c", "abc"}, {"d", ""}, {"e", "2147483647"},
                 {"f", "2147483648"}, {"g", "-2147483648"}, {"h", "-2147483649"},
                 {"i", "99999999999999999999999999999999"}, {"j", "-"}};
    EXPECT_EQ(laySo(ts, "a", 5), -7);
    EXPECT_EQ(laySo(ts, "b", 5), 12);
    EXPECT_EQ(laySo(ts, "c", 5), 5);
    EXPECT_EQ(laySo(ts, "d", 5), 5);
    EXPECT_EQ(laySo(ts, "e", 5), 2147483647);
    EXPECT_EQ(laySo(ts, "f", 5), 5);
    EXPECT_EQ(laySo(ts, "g", 5), -2147483647 - 1);
    EXPECT_EQ(laySo(ts, "h", 5), 5);
    EXPECT_EQ(laySo(ts, "i", 5), 5);
    EXPECT_EQ(laySo(ts, "j", 5), 5);
    EXPECT_EQ(laySo(ts, "missing", -1), -1);
    // The saturating reader keeps the sign of huge values and never wraps.
    EXPECT_EQ(docSoBaoHoa("99999999999999999999999"), 1000000000000000LL);
    EXPECT_EQ(docSoBaoHoa("-99999999999999999999999"), -1000000000000000LL);
    EXPECT_EQ(docSoBaoHoa(" 70000"), 70000);
    EXPECT_FALSE(docSoBaoHoa("x1").has_value());
}

TEST(ChuoiJSON, EscapesControlsQuotesBackslashAndBrokenUtf8) {
    EXPECT_EQ(chuoiJSON(std::string("a\"b\\c\td\x01" "e\n\r", 11)), "\"a\\\"b\\\\c\\td\\u0001e\\n\\r\"");
    EXPECT_EQ(chuoiJSON(std::string("\0\x1f\x7f/", 4)), "\"\\u0000\\u001f\x7f/\"");
    EXPECT_EQ(chuoiJSON("Ván đã kết thúc"), "\"Ván đã kết thúc\"");
    EXPECT_EQ(chuoiJSON(""), "\"\"");
    // Broken UTF-8 (a stray continuation byte, a cut sequence, an overlong
    // "/", a surrogate, a lone 0xFF) becomes U+FFFD byte by byte; whole
    // sequences of every length around it stay as they are.
    EXPECT_EQ(chuoiJSON("a\x80" "b"), "\"a\xEF\xBF\xBD" "b\"");
    EXPECT_EQ(chuoiJSON("\xE1\xBA"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(chuoiJSON("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(chuoiJSON("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(chuoiJSON("\xFF\xC3\xA1\xE1\xBA\xBF\xF0\x9F\x98\x80"),
              "\"\xEF\xBF\xBD\xC3\xA1\xE1\xBA\xBF\xF0\x9F\x98\x80\"");
}

TEST(KemHanhDong, InsertsBeforeTheLastBraceOnly) {
    EXPECT_EQ(kemHanhDong("{\"ok\":true}", "di"), "{\"ok\":true,\"hanhDong\":\"di\"}");
    EXPECT_EQ(kemHanhDong("", "di"), "");
    EXPECT_EQ(kemHanhDong("[1]", "di"), "[1]");
    EXPECT_EQ(kemHanhDong("{} ", "di"), "{} ");
}

TEST(SoHaiLe, AlwaysTwoDecimals) {
    EXPECT_EQ(soHaiLe(600.0), "600.00");
    EXPECT_EQ(soHaiLe(0.529), "0.53");
    EXPECT_EQ(soHaiLe(0.0), "0.00");
}

TEST(TachYeuCau, RequestLineMethodPathQuery) {
    auto yc = tachYeuCau("GET /api/cham?hang=9&cot=0 HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(yc);
    EXPECT_EQ(yc->phuongThuc, "GET");
    EXPECT_EQ(yc->duongDan, "/api/cham");
    EXPECT_EQ(yc->truyVan, "hang=9&cot=0");

    // Header names in lower case, values without the blanks around them; the
    // header ends at the blank line, or where the read was cut short.
    yc = tachYeuCau("GET / HTTP/1.1\r\nHOST:\t 127.0.0.1 \r\nno colon\r\nOrigin:\r\n\r\nSec-Fetch-Site: x\r\n");
    ASSERT_TRUE(yc);
    ASSERT_EQ(yc->dauDong.size(), 2u);
    EXPECT_EQ(yc->dauDong[0].ten, "host");
    EXPECT_EQ(yc->dauDong[0].giaTri, "127.0.0.1");
    EXPECT_EQ(yc->dauDong[1].ten, "origin");
    EXPECT_EQ(yc->dauDong[1].giaTri, "");
    yc = tachYeuCau("GET / HTTP/1.1\r\nA: 1\r\nHost: 127.0.");
    ASSERT_TRUE(yc);
    EXPECT_EQ(yc->dauDong.size(), 1u);

    yc = tachYeuCau("GET /a?b?c\r\n");  // no version: target runs to the line's end
    ASSERT_TRUE(yc);
    EXPECT_EQ(yc->duongDan, "/a");
    EXPECT_EQ(yc->truyVan, "b?c");

    yc = tachYeuCau("get  x\r\n");  // empty target between two spaces
    ASSERT_TRUE(yc);
    EXPECT_EQ(yc->phuongThuc, "get");
    EXPECT_EQ(yc->duongDan, "");

    EXPECT_FALSE(tachYeuCau("GET / HTTP/1.1\n\n"));  // no CR LF
    EXPECT_FALSE(tachYeuCau("GARBAGE\r\n\r\n"));      // no space
    EXPECT_FALSE(tachYeuCau(""));
}

TEST(TaoPhanHoi, StatusLineSixHeadersThenBody) {
    EXPECT_EQ(taoPhanHoi(204, "application/json; charset=utf-8", ""),
              "HTTP/1.1 204 No Content\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: 0\r\n"
              "Cache-Control: no-store\r\nAccess-Control-Allow-Origin: *\r\nConnection: close\r\n\r\n");
    std::string r = taoPhanHoi(405, "x", "ôk");
    EXPECT_EQ(r.substr(0, r.find("\r\n")), "HTTP/1.1 405 Method Not Allowed");
    EXPECT_NE(r.find("Content-Length: 3\r\n"), std::string::npos);
    EXPECT_EQ(r.substr(r.size() - 3), "ôk");
    EXPECT_STREQ(chuStatus(200), "OK");
    EXPECT_STREQ(chuStatus(404), "Not Found");
}

TEST(LoaiNoiDung, ExtensionTableIsCaseSensitive) {
    EXPECT_EQ(loaiNoiDungTheoTen("web/a.jpeg"), "image/jpeg");
    EXPECT_EQ(loaiNoiDungTheoTen("web/a.woff2"), "font/woff2");
    EXPECT_EQ(loaiNoiDungTheoTen("web/STYLE.CSS"), "application/octet-stream");
    EXPECT_EQ(loaiNoiDungTheoTen("web/README"), "application/octet-stream");
    EXPECT_EQ(loaiNoiDungTheoTen("web/a."), "application/octet-stream");
    // The last dot of the whole name counts, web root included.
    EXPECT_EQ(loaiNoiDungTheoTen("my.web/LICENSE"), "application/octet-stream");
}

TEST(DuongDanAnToan, RefusesTraversalAndOddBytes) {
    EXPECT_TRUE(duongDanAnToan("/index.html"));
    EXPECT_TRUE(duongDanAnToan("/a/b.c.js"));
    EXPECT_FALSE(duongDanAnToan(""));
    EXPECT_FALSE(duongDanAnToan("index.html"));
    EXPECT_FALSE(duongDanAnToan("/../etc/passwd"));
    EXPECT_FALSE(duongDanAnToan("/a..b"));
    EXPECT_FALSE(duongDanAnToan("/a\\b"));
    EXPECT_FALSE(duongDanAnToan("/c:/x"));
    EXPECT_FALSE(duongDanAnToan(std::string("/a\0b", 4)));
    // Not UTF-8 (a lone byte, an overlong dot): never a file name.
    EXPECT_FALSE(duongDanAnToan("/\xff.txt"));
    EXPECT_FALSE(duongDanAnToan("/\xc0\xae.js"));
    EXPECT_TRUE(duongDanAnToan("/th\xc6\xb0.txt"));
}

TEST(Gb18030, TwoAndFourByteFormsBeyondTheBasicPlaneAndBrokenBytes) {
    EXPECT_EQ(gb18030SangUtf8("ab \xba\xec\xb7\xbd"), "ab 红方");
    EXPECT_EQ(gb18030SangUtf8("\xa2\xe3"), "€");
    EXPECT_EQ(gb18030SangUtf8("\x81\x30\x8d\x33\x81\x35\xfe\x35"), "Đạ");
    EXPECT_EQ(gb18030SangUtf8("\x95\x32\x82\x36"), "𠀀");
    // A lead byte without its follower, a byte no sequence starts with, and
    // a four-byte form cut short each stand for one U+FFFD.
    EXPECT_EQ(gb18030SangUtf8("\xba"), "\uFFFD");
    EXPECT_EQ(gb18030SangUtf8("\xff" "a"), "\uFFFD" "a");
    EXPECT_EQ(gb18030SangUtf8("\x81\x30" "x"), "\uFFFD" "0x");
}
