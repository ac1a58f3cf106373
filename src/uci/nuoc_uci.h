#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ban_co.h"
#include "nuoc_di.h"
#include "phe.h"

// The coordinates of Xiangqi UCI engines: files a..i from red's left, ranks
// 0..9 from red's side ("h2e2" is the red cannon's central move). On our
// board row 0 is black's back rank, so rank = 9 - hang and file = cot.
namespace uci {

inline const char* const FEN_BAT_DAU = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

std::string vietNuoc(const NuocDi& n);
// False unless the text is exactly four characters naming two squares.
bool docNuoc(const std::string& s, NuocDi& n);

// A position and the game that led to it, as a UCI "position" command gives
// them: the board, the side to move, and the keys (TimKiem::khoaViTri) of
// the positions since the last capture or soldier's step forward, the
// current one last: no earlier position can come back.
struct TheCo {
    std::unique_ptr<BanCo> ban = std::make_unique<BanCo>();
    Phe luot = DO;
    std::vector<uint64_t> khoaCoTheLap;
    int32_t nuocKhongAn = 0;  // plies since the last capture

    // The start position.
    void batDau();
    // A FEN whose position a game could be played from (docTheCo, the test
    // every set-up game passes). On false, loi says why and the position is
    // unchanged.
    bool datFEN(const std::string& fen, std::string& loi);
    // Plays a legal move of the side to move; false (nothing changed) otherwise.
    bool di(const NuocDi& n);
    // The positions before the current one, for the search.
    std::vector<uint64_t> viTriTruoc() const {
        return {khoaCoTheLap.begin(), khoaCoTheLap.end() - 1};
    }
};

}  // namespace uci
