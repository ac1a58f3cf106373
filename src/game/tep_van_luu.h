#pragma once
#include <cstddef>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "nuoc_di.h"
#include "phe.h"

// What a saved-game file holds: the settings, the handicap and the moves.
// Everything else about a game is rebuilt by replaying the moves.
struct VanDaLuu {
    int cheDo = 0;
    int doKho = 1;
    int pheNguoi = 0;
    int giayMoi = 0;
    int ketQua = 0;
    std::vector<std::pair<Phe, std::string>> chap;
    std::vector<NuocDi> nuoc;
    std::string lyDo;
};

// Bounds of what a real game can hold. A file that claims more is not
// believed: the reader never loops or allocates beyond these.
inline constexpr std::size_t TOI_DA_CHAP = 32;      // every piece of the board
inline constexpr std::size_t TOI_DA_NUOC = 20000;   // far beyond any game played

// The file's text, line by line, beginning with "TAVELIN1".
std::string vietVanDaLuu(const VanDaLuu& van);

// Reads a saved game. False when the first line is not exactly "TAVELIN1"
// (a trailing carriage return is allowed, so CRLF files read as LF files).
// After that the reader is tolerant: keys in any order, unknown words
// skipped, and reading stops quietly at the end of the input or at the first
// value that is malformed or out of range (a move off the board, a mode, side
// or result that does not exist); what was read before it is kept.
bool docVanDaLuu(std::istream& vao, VanDaLuu& van);
