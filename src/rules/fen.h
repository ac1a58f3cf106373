#pragma once
#include <string>

#include "ban_co.h"

// Reads the usual engine FEN of Xiangqi onto an empty board: ten ranks from
// black's back rank (row 0) to red's (row 9), files 0..8, digits for empty
// runs, upper case red, lower case black; then the side to move ("w" or "r"
// red, "b" black; red when absent). Later fields are ignored. Pieces are
// appended in reading order. On a malformed FEN the board is left empty,
// loi says why, and the result is false.
bool docFEN(const std::string& fen, BanCo& ban, Phe& luot, std::string& loi);

// The same position written back as FEN (side "w" or "b").
std::string vietFEN(const BanCo& ban, Phe luot);

// Why a position could not come up in a game, in Vietnamese words a player
// reads ("" when it could): each side exactly one general, inside its palace;
// no more pieces of a kind than a side owns; advisors and elephants only on
// their own points; soldiers never behind their starting rank, nor before the
// river off the files they start on; the generals not facing each other on an
// open file; the side not to move not in check. Every game, the API and the
// UCI front end judge set-up positions with this one test.
std::string lyDoKhongChoiDuoc(const BanCo& ban, Phe luot);

// docFEN followed by lyDoKhongChoiDuoc: true with the position on the board,
// or false with the board empty and lyDo saying, in Vietnamese, what is wrong.
bool docTheCo(const std::string& fen, BanCo& ban, Phe& luot, std::string& lyDo);
