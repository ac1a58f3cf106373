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

using BangMa = std::array<int8_t, BanCo::SO_O>;

constexpr int HUONG[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

inline bool trong(int h, int c) { return BanCo::trongBanCo(h, c); }
inline int maO(const BangMa& ma, int h, int c) { return ma[h * BanCo::SO_COT + c]; }
inline int pheCua(int ma) { return ma >> 3; }
// Empty or held by the other side.
template <bool CHI_AN = false>
inline bool denDuoc(const BangMa& ma, int h, int c, Phe phe) {
    const int m = maO(ma, h, c);
    return m < 0 ? !CHI_AN : pheCua(m) != phe;
}

template <bool CHI_AN>
void sinhXe(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    for (const auto& huong : HUONG) {
        for (int hh = h + huong[0], cc = c + huong[1]; trong(hh, cc); hh += huong[0], cc += huong[1]) {
            const int m = maO(ma, hh, cc);
            if (m < 0) {
                if (!CHI_AN) ds.push_back({h, c, hh, cc});
                continue;
            }
            if (pheCua(m) != phe) ds.push_back({h, c, hh, cc});
            break;
        }
    }
}

template <bool CHI_AN>
void sinhPhao(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    for (const auto& huong : HUONG) {
        int hh = h + huong[0], cc = c + huong[1];
        for (; trong(hh, cc) && maO(ma, hh, cc) < 0; hh += huong[0], cc += huong[1])
            if (!CHI_AN) ds.push_back({h, c, hh, cc});
        if (!trong(hh, cc)) continue;
        // (hh, cc) is the screen; the next piece beyond it may be taken.
        for (hh += huong[0], cc += huong[1]; trong(hh, cc); hh += huong[0], cc += huong[1]) {
            const int m = maO(ma, hh, cc);
            if (m < 0) continue;
            if (pheCua(m) != phe) ds.push_back({h, c, hh, cc});
            break;
        }
    }
}

template <bool CHI_AN>
void sinhMa(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    static constexpr int BUOC[8][2] = {{-2, -1}, {-2, 1}, {-1, -2}, {-1, 2}, {1, -2}, {1, 2}, {2, -1}, {2, 1}};
    for (const auto& b : BUOC) {
        const int hh = h + b[0], cc = c + b[1];
        if (!trong(hh, cc)) continue;
        const int chanH = std::abs(b[0]) == 2 ? h + b[0] / 2 : h;
        const int chanC = std::abs(b[0]) == 2 ? c : c + b[1] / 2;
        if (maO(ma, chanH, chanC) < 0 && denDuoc<CHI_AN>(ma, hh, cc, phe)) ds.push_back({h, c, hh, cc});
    }
}

template <bool CHI_AN>
void sinhVoi(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    static constexpr int BUOC[4][2] = {{-2, -2}, {-2, 2}, {2, -2}, {2, 2}};
    for (const auto& b : BUOC) {
        const int hh = h + b[0], cc = c + b[1];
        if (!trong(hh, cc) || !(phe == DO ? hh >= 5 : hh <= 4)) continue;
        if (denDuoc<CHI_AN>(ma, hh, cc, phe) && maO(ma, h + b[0] / 2, c + b[1] / 2) < 0) ds.push_back({h, c, hh, cc});
    }
}

template <bool CHI_AN>
void sinhSi(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    static constexpr int BUOC[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (const auto& b : BUOC) {
        const int hh = h + b[0], cc = c + b[1];
        if (trong(hh, cc) && Si::trongCung(hh, cc, phe) && denDuoc<CHI_AN>(ma, hh, cc, phe)) ds.push_back({h, c, hh, cc});
    }
}

template <bool CHI_AN>
void sinhTuong(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    const int tuongDich = LOAI_TUONG | (pheDoiPhuong(phe) << 3);
    for (const auto& b : HUONG) {
        const int hh = h + b[0], cc = c + b[1];
        if (!trong(hh, cc)) continue;
        // A step onto the enemy general on the own column is the flying
        // capture at distance one, allowed even outside the palace.
        const bool bay = b[1] == 0 && maO(ma, hh, cc) == tuongDich;
        if (bay || (Si::trongCung(hh, cc, phe) && denDuoc<CHI_AN>(ma, hh, cc, phe))) ds.push_back({h, c, hh, cc});
    }
    for (int buoc : {-1, 1}) {
        for (int hh = h + buoc; hh >= 0 && hh < BanCo::SO_HANG; hh += buoc) {
            const int m = maO(ma, hh, c);
            if (m < 0) continue;
            if (m == tuongDich) ds.push_back({h, c, hh, c});
            break;
        }
    }
}

template <bool CHI_AN>
void sinhTot(const BangMa& ma, int h, int c, Phe phe, DanhSachNuoc& ds) {
    const int tien = phe == DO ? h - 1 : h + 1;
    if (trong(tien, c) && denDuoc<CHI_AN>(ma, tien, c, phe)) ds.push_back({h, c, tien, c});
    if (!(phe == DO ? h <= 4 : h >= 5)) return;
    for (int cc : {c - 1, c + 1})
        if (trong(h, cc) && denDuoc<CHI_AN>(ma, h, cc, phe)) ds.push_back({h, c, h, cc});
}

template <bool CHI_AN>
void sinhTheoBang(const BangMa& ma, const std::vector<std::unique_ptr<QuanCo>>& dsQuan, Phe phe, DanhSachNuoc& ds) {
    for (const auto& q : dsQuan) {
        if (q->phe != phe) continue;
        const int h = q->hang, c = q->cot;
        switch (ma[h * BanCo::SO_COT + c] & 7) {
            case LOAI_XE: sinhXe<CHI_AN>(ma, h, c, phe, ds); break;
            case LOAI_PHAO: sinhPhao<CHI_AN>(ma, h, c, phe, ds); break;
            case LOAI_MA: sinhMa<CHI_AN>(ma, h, c, phe, ds); break;
            case LOAI_VOI: sinhVoi<CHI_AN>(ma, h, c, phe, ds); break;
            case LOAI_SI: sinhSi<CHI_AN>(ma, h, c, phe, ds); break;
            case LOAI_TUONG: sinhTuong<CHI_AN>(ma, h, c, phe, ds); break;
            default: sinhTot<CHI_AN>(ma, h, c, phe, ds); break;
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
