#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "ban_co.h"
#include "nuoc_di.h"
#include "phe.h"

// The rule sets a game may be played under. BA_LAN: the third occurrence of
// a position is a draw, whatever was played. CHAU_A (the Asian rules): the
// third occurrence is judged by what each side did meanwhile — the side that
// checked or chased on every move loses — and 120 plies without a capture
// draw the game.
enum LuatChoi : int32_t { BA_LAN = 0, CHAU_A = 1 };

// The name a game's rule set has in the API, the PGN tag and the UCI option.
const char* tenLuat(LuatChoi luat);
// The rule set of a name; false for any other text.
bool luatTuTen(const std::string& ten, LuatChoi& luat);

// Under the Asian rules: this many plies in a row without a capture draw.
inline constexpr int32_t SO_NUA_NUOC_KHONG_AN_HOA = 120;
inline constexpr const char* LY_DO_LAP_LAI = "Thế cờ lặp lại 3 lần";
inline constexpr const char* LY_DO_60_NUOC = "60 nước không ăn quân";

// What one side did on every one of its moves of a repeated cycle.
enum class ViPham : int32_t { KHONG = 0, CHIEU_DAI, DUOI_DAI };

// The ruling on a cycle of moves that brought a position back.
struct PhanQuyetLap {
    ViPham viPham = ViPham::KHONG;  // KHONG: a draw (nobody, or both, broke the rules)
    Phe benPham = DO;               // with a violation: the side that loses
    // "Đỏ chiếu dai, xử thua", "Đen đuổi dai, xử thua"..., or LY_DO_LAP_LAI.
    std::string lyDo() const;
    bool coBenThua() const { return viPham != ViPham::KHONG; }
};

// Judges the cycle `chuKy`, played from `banDau` with `luotDau` to move and
// ending on the same position, by the Asian rules' chapter on repetition:
// - a side all of whose moves give check, against one whose moves do not
//   all give check, loses (both checking every move: a draw);
// - otherwise a side every move of which chases (checks may stand between
//   the chases) and whose chases all threaten one same piece loses, unless
//   the other side does the same (a draw);
// - anything else is a draw.
// banDau is not changed (the moves are replayed on a copy).
PhanQuyetLap phanXuChuKy(const BanCo& banDau, Phe luotDau, std::span<const NuocDi> chuKy);

// The squares of the opponent's pieces that `ben`, to move on `ban`, could
// capture to win material as the rules count a chase: a legal capture by a
// piece other than the general or a soldier, of a piece that is not a
// general nor a soldier still on its own side of the river, that is
// unprotected, or a chariot taken by a horse or a cannon, or worth more
// than its taker; a mere offer to exchange equal pieces (the target can
// take its attacker back at once) is not one. One bit per square
// (row * 9 + column). `ban` is the same afterwards.
struct TapO {
    uint64_t thap = 0, cao = 0;
    void them(int o) { (o < 64 ? thap : cao) |= uint64_t{1} << (o & 63); }
    bool co(int o) const { return ((o < 64 ? thap : cao) >> (o & 63)) & 1; }
    bool rong() const { return thap == 0 && cao == 0; }
};
TapO quanCoTheBiDuoi(BanCo& ban, Phe ben);
