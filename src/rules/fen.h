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
