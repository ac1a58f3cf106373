#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <utility>
#include <vector>

#include "nuoc_di.h"
#include "phe.h"

// What a saved-game file holds: the settings, the handicap and the moves.
// Everything else about a game is rebuilt by replaying the moves.
//
// The first lines are those every version has written; files of older
// versions end there. The optional ones after them keep what the older ones
// lost (black's clock, the time control and its increment, black's level)
// and, in the game kept between runs, the clocks to the millisecond and the
// pause. -1 (or false) means the line is absent; a reader then falls back on
// the old meaning: both clocks and the time control from "giaymoi", no
// increment, black at "dokho".
struct VanDaLuu {
    int cheDo = 0;
    int doKho = 1;
    int pheNguoi = 0;
    int giayMoi = 0;  // red's remaining whole seconds
    int ketQua = 0;
    std::vector<std::pair<Phe, std::string>> chap;
    std::vector<NuocDi> nuoc;
    std::string lyDo;

    int giayDen = -1;      // black's remaining whole seconds
    int giayMoiBen = -1;   // the time control
    int doKhoDen = -1;     // black's level
    bool xinThua = false;  // the result is a resignation (undo takes back only it)
    int64_t miliGiayDo = -1, miliGiayDen = -1;  // the clocks to the millisecond
    bool tamDung = false;
    std::string fen;  // a set-up start position; empty for the normal start
    int luat = 0;     // the rule set (LuatChoi); 0, the plain rule, when the line is absent
    // In the game kept between runs: the game's file among the played games
    // (its name), so that the game goes on in that one file.
    std::string idDanhSach;
    int tang = -1;  // seconds credited per move; absent (older files): none

    // The tags an imported game brought (cleaned by giaTriTheSach, names in
    // TEN_THE_GIU), in the file's order, and whether the player has yet to
    // play on from it: such a game joins the played games only when asked.
    std::vector<std::pair<std::string, std::string>> the;
    bool nhapChuaDung = false;

    // The time control the game was started with, as a reader takes it.
    int giayCaiDat() const { return giayMoiBen >= 0 ? giayMoiBen : giayMoi; }
};

// Bounds of what a real game can hold. A file that claims more is not
// believed: the reader never loops or allocates beyond these.
inline constexpr std::size_t TOI_DA_CHAP = 32;      // every piece of the board
inline constexpr std::size_t TOI_DA_NUOC = 20000;   // far beyond any game played
// The longest time control a game may have, per side: whatever a clock can
// hold is then far within what the reader takes back.
inline constexpr int GIAY_MOI_BEN_TOI_DA = 24 * 3600;
// The largest increment per move a game may have, in seconds.
inline constexpr int GIAY_TANG_TOI_DA = 600;
// No saved game comes near this size; a larger file is refused unread.
inline constexpr std::size_t TOI_DA_BYTE_TEP = 1 << 20;

// The tags a game keeps from the file it was imported from, in the order an
// export writes them.
inline constexpr const char* TEN_THE_GIU[] = {"Event", "Site", "Date", "Round", "Red", "Black", "Result"};
inline constexpr std::size_t DAI_GIA_TRI_THE_TOI_DA = 200;  // bytes
bool laTheGiu(const std::string& ten);
// A tag's value as it is kept: one line (controls become blanks, runs of
// blanks one), valid UTF-8 (a broken sequence becomes '?'), at most
// DAI_GIA_TRI_THE_TOI_DA bytes cut at a character's edge, trimmed.
std::string giaTriTheSach(const std::string& giaTri);

// The file's text, line by line, beginning with "TAVELIN1".
std::string vietVanDaLuu(const VanDaLuu& van);

// Reads a saved game. False when the first line is not exactly "TAVELIN1"
// (a trailing carriage return is allowed, so CRLF files read as LF files).
// After that the reader is tolerant: keys in any order, unknown words
// skipped. A single value that is malformed or out of range (a mode, side or
// result that does not exist, a clock beyond GIAY_MOI_BEN_TOI_DA's reach)
// counts as absent, and the lines after it are read as usual. A list (moves,
// handicap) that is malformed ends the reading; what was read before it is
// kept. A move with a square off the board also ends the reading, but is
// kept as the list's last entry, so that the loader can name it when it
// refuses the file.
bool docVanDaLuu(std::istream& vao, VanDaLuu& van);
