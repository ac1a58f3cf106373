// The PGN reader of the played games on arbitrary bytes, and what the
// program does with a file it accepted: its legality check, the game it
// becomes, and the file written back.
//
// Checked: a read file written again reads back with the same moves, tags
// and result; a file whose moves are all legal from its start loads into a
// game with exactly those moves.
#include <cstddef>
#include <cstdint>
#include <string>

#include "kiem_json.h"
#include "pgn.h"
#include "van_co.h"

namespace {
VanCo* van = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    van = new VanCo();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* du, size_t co) {
    const std::string vanBan(reinterpret_cast<const char*>(du), co);
    VanPGN pgn;
    std::string loi;
    if (!docPGN(vanBan, pgn, loi)) {
        CHAC_CHAN(!loi.empty());
        return 0;
    }
    VanPGN lai;
    CHAC_CHAN(docPGN(vietPGN(pgn), lai, loi));
    CHAC_CHAN(lai.nuoc == pgn.nuoc && lai.ketQua == pgn.ketQua && lai.the.size() == pgn.the.size());
    if (nuocSaiPGN(pgn, loi) != -1) return 0;
    const KetQuaTai kq = van->napVan(vanDaLuuTuPGN(pgn));
    CHAC_CHAN(kq);
    CHAC_CHAN(van->nuocDaDi == pgn.nuoc);
    return 0;
}
