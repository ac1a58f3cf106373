#pragma once
// Move generation and the check test on the square view (o_dem.h), shared by
// the board (BanCo) and the search's own board: one piece's moves, in the
// order asking the piece itself would list them, handed to them(di, den) as
// square-view indices.
//
// Every generator also has a captures-only form (CHI_AN), which lists exactly
// the moves of the full list that land on an occupied square, in the same
// order: the capture search asks for nothing else.
#include <cstdint>

#include "o_dem.h"
#include "phe.h"
#include "quan_co.h"

namespace oDem {

inline constexpr int HUONG[4] = {LEN, XUONG, TRAI, PHAI};
inline constexpr int CHEO[4] = {-RONG - 1, -RONG + 1, RONG - 1, RONG + 1};

inline int pheCua(int ma) { return ma >> 3; }
// Code m is a piece of the side other than phe. HAI_PHE: the caller's view
// holds pieces of DO and DEN only, so the other side's codes are one block of
// eight and one comparison (no branch to mispredict) tells.
template <bool HAI_PHE>
inline bool cuaBenKia(int m, Phe phe) {
    if constexpr (HAI_PHE) return static_cast<unsigned>((m ^ (phe << 3)) - 8) < 8u;
    else return m != TRONG && m != TUONG_BIEN && pheCua(m) != phe;
}
// On the board and empty or held by the other side; CHI_AN also wants it occupied.
template <bool CHI_AN, bool HAI_PHE = false>
inline bool denDuoc(const int8_t* ma, int den, Phe phe) {
    const int m = ma[den];
    if (!CHI_AN && m == TRONG) return true;
    return cuaBenKia<HAI_PHE>(m, phe);
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhXe(const int8_t* ma, int o, Phe phe, Them& them) {
    for (const int huong : HUONG) {
        int i = o + huong;
        for (; ma[i] == TRONG; i += huong)
            if (!CHI_AN) them(o, i);
        if (cuaBenKia<HAI_PHE>(ma[i], phe)) them(o, i);
    }
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhPhao(const int8_t* ma, int o, Phe phe, Them& them) {
    for (const int huong : HUONG) {
        int i = o + huong;
        for (; ma[i] == TRONG; i += huong)
            if (!CHI_AN) them(o, i);
        if (ma[i] == TUONG_BIEN) continue;
        // ma[i] is the screen; the next piece beyond it may be taken.
        for (i += huong; ma[i] == TRONG;) i += huong;
        if (cuaBenKia<HAI_PHE>(ma[i], phe)) them(o, i);
    }
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhMa(const int8_t* ma, int o, Phe phe, Them& them) {
    // In the pieces' order: (-2,-1) (-2,+1) (-1,-2) (-1,+2) (+1,-2) (+1,+2) (+2,-1) (+2,+1).
    struct Buoc { int den, chan; };
    static constexpr Buoc BUOC[8] = {{-2 * RONG - 1, -RONG}, {-2 * RONG + 1, -RONG}, {-RONG - 2, -1}, {-RONG + 2, 1},
                                     {RONG - 2, -1},         {RONG + 2, 1},          {2 * RONG - 1, RONG}, {2 * RONG + 1, RONG}};
    for (const auto& b : BUOC)
        if (ma[o + b.chan] == TRONG && denDuoc<CHI_AN, HAI_PHE>(ma, o + b.den, phe)) them(o, o + b.den);
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhVoi(const int8_t* ma, int o, Phe phe, Them& them) {
    for (const int d : CHEO) {
        const int den = o + 2 * d;
        if (denDuoc<CHI_AN, HAI_PHE>(ma, den, phe) && HINH.benNha[phe][den] && ma[o + d] == TRONG) them(o, den);
    }
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhSi(const int8_t* ma, int o, Phe phe, Them& them) {
    for (const int d : CHEO)
        if (denDuoc<CHI_AN, HAI_PHE>(ma, o + d, phe) && HINH.trongCung[phe][o + d]) them(o, o + d);
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhBuocTuong(const int8_t* ma, int o, Phe phe, Them& them) {
    const int tuongDich = LOAI_TUONG | (pheDoiPhuong(phe) << 3);
    for (const int d : HUONG) {
        // A step onto the enemy general on the own column is the flying
        // capture at distance one, allowed even outside the palace.
        const bool bay = (d == LEN || d == XUONG) && ma[o + d] == tuongDich;
        if (bay || (HINH.trongCung[phe][o + d] && denDuoc<CHI_AN, HAI_PHE>(ma, o + d, phe))) them(o, o + d);
    }
}

// The palace steps, then the flying capture up and down the column.
template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhTuong(const int8_t* ma, int o, Phe phe, Them& them) {
    sinhBuocTuong<CHI_AN, HAI_PHE>(ma, o, phe, them);
    const int tuongDich = LOAI_TUONG | (pheDoiPhuong(phe) << 3);
    for (const int d : {LEN, XUONG}) {
        int i = o + d;
        while (ma[i] == TRONG) i += d;
        if (ma[i] == tuongDich) them(o, i);
    }
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhTot(const int8_t* ma, int o, Phe phe, Them& them) {
    const int tien = o + (phe == DO ? LEN : XUONG);
    if (denDuoc<CHI_AN, HAI_PHE>(ma, tien, phe)) them(o, tien);
    if (HINH.benNha[phe][o]) return;  // not across the river yet
    if (denDuoc<CHI_AN, HAI_PHE>(ma, o + TRAI, phe)) them(o, o + TRAI);
    if (denDuoc<CHI_AN, HAI_PHE>(ma, o + PHAI, phe)) them(o, o + PHAI);
}

template <bool CHI_AN, bool HAI_PHE = false, class Them>
inline void sinhQuan(const int8_t* ma, int o, int loai, Phe phe, Them& them) {
    switch (loai) {
        case LOAI_XE: sinhXe<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
        case LOAI_PHAO: sinhPhao<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
        case LOAI_MA: sinhMa<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
        case LOAI_VOI: sinhVoi<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
        case LOAI_SI: sinhSi<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
        case LOAI_TUONG: sinhTuong<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
        default: sinhTot<CHI_AN, HAI_PHE>(ma, o, phe, them); break;
    }
}

// Attacks along a line from square k in direction huong by the side whose
// codes carry benDich: chariot (first piece met), cannon (second piece met),
// and the flying general along the column (first piece met).
inline bool biTanCongTheoHuong(const int8_t* ma, int k, int huong, int benDich) {
    int i = k + huong;
    while (ma[i] == TRONG) i += huong;
    if (ma[i] == TUONG_BIEN) return false;
    if (ma[i] == (LOAI_XE | benDich)) return true;
    if ((huong == LEN || huong == XUONG) && ma[i] == (LOAI_TUONG | benDich)) return true;
    for (i += huong; ma[i] == TRONG;) i += huong;
    return ma[i] == (LOAI_PHAO | benDich);
}

// Every attack on the general of side phe on square k that does not run
// along a line: horse, elephant, advisor, the general's palace step, soldier.
// Where a horse attacking square k stands (offset ma from k), and its leg:
// the square next to the horse on its long side, which is always a diagonal
// neighbour of k.
struct TanCongMa { int ma, chan; };
inline constexpr TanCongMa TAN_CONG_MA[8] = {
    {2 * RONG + 1, RONG + 1}, {2 * RONG - 1, RONG - 1}, {RONG + 2, RONG + 1}, {RONG - 2, RONG - 1},
    {-RONG + 2, -RONG + 1}, {-RONG - 2, -RONG - 1}, {-2 * RONG + 1, -RONG + 1}, {-2 * RONG - 1, -RONG - 1}};

inline bool biTanCongGan(const int8_t* ma, int k, Phe phe) {
    const Phe dich = pheDoiPhuong(phe);
    const int benDich = dich << 3;

    const int maDich = LOAI_MA | benDich;
    for (const auto& t : TAN_CONG_MA)
        if (ma[k + t.ma] == maDich && ma[k + t.chan] == TRONG) return true;

    // Elephant: only on its own half, with an empty eye.
    if (HINH.benNha[dich][k]) {
        for (const int d : CHEO)
            if (ma[k + 2 * d] == (LOAI_VOI | benDich) && ma[k + d] == TRONG) return true;
    }
    // Advisor and the enemy general's palace step: the target must be in the
    // enemy's palace.
    if (HINH.trongCung[dich][k]) {
        for (const int d : CHEO)
            if (ma[k + d] == (LOAI_SI | benDich)) return true;
        for (const int d : HUONG)
            if (ma[k + d] == (LOAI_TUONG | benDich)) return true;
    }
    // Soldier: straight ahead of it, or beside it once it has crossed.
    const int totDich = LOAI_TOT | benDich;
    if (ma[k + (dich == DO ? XUONG : LEN)] == totDich) return true;
    const bool daQuaSong = !HINH.benNha[dich][k];
    return daQuaSong && (ma[k + TRAI] == totDich || ma[k + PHAI] == totDich);
}

// Whether the general of side phe on square k is attacked. Looks outward
// from the general for every shape of attack the seven rules allow, instead of
// asking each enemy piece; exact for generals outside their palace too.
inline bool biTanCong(const int8_t* ma, int k, Phe phe) {
    const int benDich = pheDoiPhuong(phe) << 3;
    for (const int huong : HUONG)
        if (biTanCongTheoHuong(ma, k, huong, benDich)) return true;
    return biTanCongGan(ma, k, phe);
}

}  // namespace oDem
