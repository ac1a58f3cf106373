#pragma once
#include <string>
#include <vector>

#include "ban_co.h"

// Shared by the subcommands of tavelin-bench.
using DoiSo = std::vector<std::string>;

// Sets up the board from "--fen FEN" when present (default set-up otherwise).
// Prints a one-line error and returns false on a malformed FEN.
bool datViTriTuDoiSo(const DoiSo& doiSo, BanCo& ban, Phe& luot);
// The value after a flag, or empty.
std::string giaTriSau(const DoiSo& doiSo, const std::string& co);

int lenhPerft(const DoiSo& doiSo);
int lenhSearch(const DoiSo& doiSo);
int lenhBench(const DoiSo& doiSo);
int lenhLevels(const DoiSo& doiSo);
int lenhMatch(const DoiSo& doiSo);
int lenhTrongTai(const DoiSo& doiSo);
