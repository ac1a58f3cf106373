#pragma once
// The position keys every search shares: a game keeps the keys of its
// positions (TimKiem::khoaViTri) and hands them to whichever search plays
// next, so all of them must hash alike.
#include <cstdint>

struct BangZobrist {
    uint64_t quan[2][7][90];  // side, kind, row * 9 + column
    uint64_t luot;            // black to move
};

const BangZobrist& bangZobrist();
