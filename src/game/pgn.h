#pragma once
#include <string>
#include <utility>
#include <vector>

#include "luat_lap.h"
#include "nuoc_di.h"
#include "tep_van_luu.h"

// The [Rules] tag of a game played under the Asian rules (a plain game has none).
inline constexpr const char* TEN_THE_LUAT_CHAU_A = "Asian";

// A Xiangqi game in the PGN form the Xiangqi world exchanges: tags, then the
// moves in ICCS coordinates (files a..i from red's left, ranks 0..9 from
// red's side: "h2e2" is red's central cannon), the reason of the result as a
// comment and the result.
struct VanPGN {
    // Every tag in the file's order, [FEN] included.
    std::vector<std::pair<std::string, std::string>> the;
    std::vector<NuocDi> nuoc;
    std::string ketQua = "*";  // "1-0", "0-1", "1/2-1/2" or "*"
    std::string lyDo;          // the comment just before the result, if any

    // A tag's value, empty when the file has none.
    std::string giaTri(const std::string& ten) const;
    // The [FEN] tag: empty for a game from the normal start.
    std::string fen() const { return giaTri("FEN"); }
};

// The normal start position, red to move, as the FEN writer spells it.
std::string fenChuan();

// The first position of a kept game (set up, or its handicap taken off the
// normal start), as FEN.
std::string fenDauCua(const VanDaLuu& van);

// The file of a game (as the game keeps it) played on `ngay` ("YYYY.MM.DD").
// [FEN] is written only when the game did not start from the normal
// position.
VanPGN pgnCuaVan(const VanDaLuu& van, const std::string& ngay);

// The text: one tag a line, a blank line, the movetext in lines of at most
// 80 characters, the reason as {comment} before the result. UTF-8.
std::string vietPGN(const VanPGN& van);

// Reads the first game of a PGN text with ICCS moves ("h2e2" or "H2-E2").
// Never reads past the text, and keeps at most TOI_DA_NUOC moves. False,
// with a Vietnamese reason, for a text that is not such a game (no tags and
// no moves, another movetext, a token it cannot read); moves are checked
// only for their squares, not for legality.
bool docPGN(const std::string& vanBan, VanPGN& van, std::string& loi);

// Replays the moves from the game's first position: -1 when each is legal
// in turn, else the index of the first that is not (0 = the first move);
// -2 when [FEN] gives no position to play (loi says why).
int nuocSaiPGN(const VanPGN& van, std::string& loi);

// What the game keeps of a read game: the players back from [Red] and
// [Black] (a computer's level from "Máy (Khó)", anyone else a person), the
// time control from [TimeControl], the start ([FEN]: a handicap as one,
// anything else as a set-up position), the result and its reason.
VanDaLuu vanDaLuuTuPGN(const VanPGN& van);

// Whether a tag says only what the program writes by itself ("?", its
// event, a person or computer of its own): such a tag is not kept with a game.
bool laTheCuaTa(const std::string& ten, const std::string& giaTri);

// Today's date as the [Date] tag writes it.
std::string ngayHomNay();
