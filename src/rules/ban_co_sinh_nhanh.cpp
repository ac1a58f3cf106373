// Move generation from the square view: the same moves in the same order as
// asking each piece (QuanCo::sinhNuocDi), without a virtual call per
// candidate square. Used whenever the square view is trustworthy.
//
// Every generator is also built in a captures-only form (CHI_AN), which lists
// exactly the moves of the full list that land on an occupied square, in the
// same order: the capture search asks for nothing else.
#include <cstdlib>

#include "ban_co.h"

namespace {

using namespace oDem;
using BangMa = std::array<int8_t, oDem::SO_O>;

constexpr int HUONG[4] = {LEN, XUONG, TRAI, PHAI};

inline int pheCua(int ma) { return ma >> 3; }
inline void them(DanhSachNuoc& ds, int h, int c, int den) { ds.push_back({h, c, HINH.hang[den], HINH.cot[den]}); }
// On the board and empty or held by the other side; CHI_AN also wants it occupied.
template <bool CHI_AN>
inline bool denDuoc(const BangMa& ma, int den, Phe phe) {
    const int m = ma[den];
    if (m == TRONG) return !CHI_AN;
    return m != TUONG_BIEN && pheCua(m) != phe;
}

template <bool CHI_AN>
void sinhXe(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    for (const int huong : HUONG) {
        int i = o + huong;
        for (; ma[i] == TRONG; i += huong)
            if (!CHI_AN) them(ds, h, c, i);
        if (ma[i] != TUONG_BIEN && pheCua(ma[i]) != phe) them(ds, h, c, i);
    }
}

template <bool CHI_AN>
void sinhPhao(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    for (const int huong : HUONG) {
        int i = o + huong;
        for (; ma[i] == TRONG; i += huong)
            if (!CHI_AN) them(ds, h, c, i);
        if (ma[i] == TUONG_BIEN) continue;
        // ma[i] is the screen; the next piece beyond it may be taken.
        for (i += huong; ma[i] == TRONG;) i += huong;
        if (ma[i] != TUONG_BIEN && pheCua(ma[i]) != phe) them(ds, h, c, i);
    }
}

template <bool CHI_AN>
void sinhMa(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    // In the pieces' order: (-2,-1) (-2,+1) (-1,-2) (-1,+2) (+1,-2) (+1,+2) (+2,-1) (+2,+1).
    struct Buoc { int den, chan; };
    static constexpr Buoc BUOC[8] = {{-2 * RONG - 1, -RONG}, {-2 * RONG + 1, -RONG}, {-RONG - 2, -1}, {-RONG + 2, 1},
                                     {RONG - 2, -1},         {RONG + 2, 1},          {2 * RONG - 1, RONG}, {2 * RONG + 1, RONG}};
    for (const auto& b : BUOC)
        if (ma[o + b.chan] == TRONG && denDuoc<CHI_AN>(ma, o + b.den, phe)) them(ds, h, c, o + b.den);
}

template <bool CHI_AN>
void sinhVoi(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    static constexpr int CHEO[4] = {-RONG - 1, -RONG + 1, RONG - 1, RONG + 1};
    for (const int d : CHEO) {
        const int den = o + 2 * d;
        if (HINH.benNha[phe][den] && denDuoc<CHI_AN>(ma, den, phe) && ma[o + d] == TRONG) them(ds, h, c, den);
    }
}

template <bool CHI_AN>
void sinhSi(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    static constexpr int CHEO[4] = {-RONG - 1, -RONG + 1, RONG - 1, RONG + 1};
    for (const int d : CHEO)
        if (HINH.trongCung[phe][o + d] && denDuoc<CHI_AN>(ma, o + d, phe)) them(ds, h, c, o + d);
}

template <bool CHI_AN>
void sinhTuong(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    const int tuongDich = LOAI_TUONG | (pheDoiPhuong(phe) << 3);
    for (const int d : HUONG) {
        // A step onto the enemy general on the own column is the flying
        // capture at distance one, allowed even outside the palace.
        const bool bay = (d == LEN || d == XUONG) && ma[o + d] == tuongDich;
        if (bay || (HINH.trongCung[phe][o + d] && denDuoc<CHI_AN>(ma, o + d, phe))) them(ds, h, c, o + d);
    }
    for (const int d : {LEN, XUONG}) {
        int i = o + d;
        while (ma[i] == TRONG) i += d;
        if (ma[i] == tuongDich) them(ds, h, c, i);
    }
}

template <bool CHI_AN>
void sinhTot(const BangMa& ma, int o, int h, int c, Phe phe, DanhSachNuoc& ds) {
    const int tien = o + (phe == DO ? LEN : XUONG);
    if (denDuoc<CHI_AN>(ma, tien, phe)) them(ds, h, c, tien);
    if (HINH.benNha[phe][o]) return;  // not across the river yet
    if (denDuoc<CHI_AN>(ma, o + TRAI, phe)) them(ds, h, c, o + TRAI);
    if (denDuoc<CHI_AN>(ma, o + PHAI, phe)) them(ds, h, c, o + PHAI);
}

template <bool CHI_AN>
void sinhTheoBang(const BangMa& ma, const std::vector<std::unique_ptr<QuanCo>>& dsQuan, Phe phe, DanhSachNuoc& ds) {
    for (const auto& q : dsQuan) {
        if (q->phe != phe) continue;
        const int h = q->hang, c = q->cot, o = chiSo(h, c);
        switch (ma[o] & 7) {
            case LOAI_XE: sinhXe<CHI_AN>(ma, o, h, c, phe, ds); break;
            case LOAI_PHAO: sinhPhao<CHI_AN>(ma, o, h, c, phe, ds); break;
            case LOAI_MA: sinhMa<CHI_AN>(ma, o, h, c, phe, ds); break;
            case LOAI_VOI: sinhVoi<CHI_AN>(ma, o, h, c, phe, ds); break;
            case LOAI_SI: sinhSi<CHI_AN>(ma, o, h, c, phe, ds); break;
            case LOAI_TUONG: sinhTuong<CHI_AN>(ma, o, h, c, phe, ds); break;
            default: sinhTot<CHI_AN>(ma, o, h, c, phe, ds); break;
        }
    }
}

}  // namespace

void BanCo::sinhNuocDi(Phe phe, DanhSachNuoc& ds) const {
    if (boDemDung_) return sinhTheoBang<false>(maO_, dsQuan, phe, ds);
    for (const auto& q : dsQuan)
        if (q->phe == phe) q->sinhNuocDi(*this, ds);
}

void BanCo::sinhNuocAn(Phe phe, DanhSachNuoc& ds) const {
    if (boDemDung_) return sinhTheoBang<true>(maO_, dsQuan, phe, ds);
    const size_t dau = ds.size();
    sinhNuocDi(phe, ds);
    size_t giu = dau;
    for (size_t i = dau; i < ds.size(); ++i)
        if (coQuanTai(ds[i].hangDen, ds[i].cotDen)) ds[giu++] = ds[i];
    ds.resize(giu);
}
