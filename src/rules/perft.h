#pragma once
#include <cstdint>

#include "ban_co.h"

// The number of leaves of the legal-move tree `doSau` plies deep (1 at depth
// 0): the signature of the rules, compared against counts from other engines.
// The board is left exactly as it was.
uint64_t perft(BanCo& ban, Phe luot, int doSau);
