#pragma once
#include <string>

#include "ban_co.h"
#include "nuoc_di.h"

// A move in words, read from the board before the move is made, for example
// "Phao đỏ 7b-7e ăn Ma đen". Rows are printed as stored (0 is black's back
// rank), columns as letters a..i; "?" stands for an empty from-square.
std::string moTaNuoc(const BanCo& ban, const NuocDi& nuoc);
