#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The parts of the HTTP exchange that need no socket: splitting the request
// line, the response bytes and the content-type table.

// One header line: the name in lower case (names are case-insensitive), the
// value without the blanks around it.
struct DauDong {
    std::string ten;
    std::string giaTri;
};

// A request is read until its blank line, or until this many bytes (or more:
// the last read may overshoot) have arrived.
inline constexpr size_t GIOI_HAN_YEU_CAU = 16384;

struct YeuCau {
    std::string phuongThuc;  // method, case as sent
    std::string duongDan;    // path before "?", not decoded
    std::string truyVan;     // query after the first "?", not decoded
    std::vector<DauDong> dauDong;  // in order; a line without a colon is skipped
    bool catNgan = false;  // the size limit came before the blank line
};

// Parses what arrived: nothing when there is no CR LF or the request line has
// no space (such a connection is closed without an answer). The header lines
// are the whole lines up to the blank line, or up to the last line end when
// the read was cut short.
std::optional<YeuCau> tachYeuCau(const std::string& duLieu);

// Status text for the six codes the server uses.
const char* chuStatus(int ma);

// The whole response: status line, the six fixed header lines, the body.
std::string taoPhanHoi(int ma, const std::string& loaiNoiDung, const std::string& than);

// Content type from everything after the last "." of a file name.
std::string loaiNoiDungTheoTen(const std::string& tenTep);

// Path safety for static files: false for paths that are empty, relative, or
// hold "..", a backslash, a colon, a zero byte or bytes that are not UTF-8.
bool duongDanAnToan(const std::string& duongDan);
