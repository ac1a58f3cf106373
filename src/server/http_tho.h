#pragma once
#include <optional>
#include <string>

// The parts of the HTTP exchange that need no socket: splitting the request
// line, the response bytes and the content-type table.

struct YeuCau {
    std::string phuongThuc;  // method, case as sent
    std::string duongDan;    // path before "?", not decoded
    std::string truyVan;     // query after the first "?", not decoded
};

// Parses what arrived: nothing when there is no CR LF or the request line has
// no space (such a connection is closed without an answer).
std::optional<YeuCau> tachYeuCau(const std::string& duLieu);

// Status text for the four codes the server uses.
const char* chuStatus(int ma);

// The whole response: status line, the six fixed header lines, the body.
std::string taoPhanHoi(int ma, const std::string& loaiNoiDung, const std::string& than);

// Content type from everything after the last "." of a file name.
std::string loaiNoiDungTheoTen(const std::string& tenTep);

// Path safety for static files: false for paths that are empty, relative, or
// hold "..", a backslash, a colon or a zero byte.
bool duongDanAnToan(const std::string& duongDan);
