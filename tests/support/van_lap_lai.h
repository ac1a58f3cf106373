#pragma once
// A game played by the engine against itself at depth 3, black without a
// chariot and a cannon. Red, about 18 soldiers ahead, ends up shuffling its
// chariot between (1,0) and (0,0) while black's general steps to and fro.
// After these 38 plies the move red's search prefers at every depth when it
// knows only the line returns to a position the game has reached twice, so
// the game would end in a draw on repetition.
#include "nuoc_di.h"

namespace vanLapLai {

inline const char* const CHAP = "DEN:Xe,DEN:Phao";
inline constexpr NuocDi NUOC[] = {
    {7, 1, 3, 1}, {2, 7, 3, 7}, {7, 7, 4, 7}, {0, 1, 2, 2}, {6, 0, 5, 0}, {2, 2, 1, 0}, {3, 1, 4, 1}, {1, 0, 2, 2},
    {5, 0, 4, 0}, {3, 0, 4, 0}, {9, 0, 4, 0}, {3, 6, 4, 6}, {4, 1, 3, 1}, {0, 2, 2, 4}, {4, 0, 2, 0}, {3, 7, 2, 7},
    {9, 1, 7, 2}, {2, 7, 2, 5}, {7, 2, 8, 4}, {0, 7, 2, 6}, {4, 7, 3, 7}, {3, 2, 4, 2}, {3, 7, 3, 6}, {2, 2, 4, 3},
    {3, 1, 0, 1}, {0, 3, 1, 4}, {2, 0, 0, 0}, {0, 8, 1, 8}, {0, 1, 0, 5}, {1, 4, 0, 3}, {0, 5, 0, 3}, {0, 4, 1, 4},
    {0, 0, 1, 0}, {1, 4, 0, 4}, {1, 0, 0, 0}, {0, 4, 1, 4}, {0, 0, 1, 0}, {1, 4, 0, 4}};
// Red's best move without the game's history, and (from depth 3) with it.
inline constexpr NuocDi LAP_LAI{1, 0, 0, 0};
inline constexpr NuocDi KHI_BIET_LICH_SU{0, 3, 1, 3};

}  // namespace vanLapLai
