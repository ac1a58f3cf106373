#pragma once
#include <cstdint>
#include <random>
#include <string>

#include "yeu_cau_ngau_nhien.h"

// Sends one request the way it asks for and returns every byte the server
// sent back (empty when nothing was read or nothing was to be read).
std::string thucHien(int cong, const YeuCauThu& yc, std::mt19937_64& ngau);
