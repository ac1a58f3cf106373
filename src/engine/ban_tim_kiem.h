#pragma once
// The search's own board: bytes only, so that a node's make, undo, move
// generation and check test touch a few hundred bytes and call nothing.
//
// It stands for a BanCo whose square view is in use (no stacked or off-board
// pieces, every side DO or DEN) and follows it exactly, the storage order
// included: a captured piece leaves its side's list and comes back at the end
// of it, as BanCo's undo puts it at the end of dsQuan. After the search,
// traLaiThuTu gives the BanCo the storage order the same moves made on it
// would have left.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "ban_co.h"
#include "o_dem.h"
#include "sinh_o_dem.h"

// A move inside the search: origin and destination as square-view indices
// (oDem::chiSo). {0, 0} lies on the wall and is never generated.
// Kept in one 16-bit word, so that comparing two is one step.
struct NuocGon {
    uint16_t goi = 0;  // origin << 8 | destination
    constexpr NuocGon() = default;
    constexpr NuocGon(int di, int den) : goi(static_cast<uint16_t>(di << 8 | den)) {}
    constexpr int di() const { return goi >> 8; }
    constexpr int den() const { return goi & 0xFF; }
    bool operator==(const NuocGon&) const = default;
};

namespace nuocGon {

// Row * 9 + column of a square-view index on the board (0 on the wall).
struct BangChiSo90 {
    std::array<uint8_t, oDem::SO_O> tuOVien{};
    std::array<uint8_t, 90> raOVien{};
    constexpr BangChiSo90() {
        for (int h = 0; h < 10; ++h)
            for (int c = 0; c < 9; ++c) {
                tuOVien[oDem::chiSo(h, c)] = uint8_t(h * 9 + c);
                raOVien[h * 9 + c] = uint8_t(oDem::chiSo(h, c));
            }
    }
};
inline constexpr BangChiSo90 BANG90{};

inline int o90(int o) { return BANG90.tuOVien[o]; }
inline NuocDi raNuocDi(NuocGon n) {
    return NuocDi{oDem::HINH.hang[n.di()], oDem::HINH.cot[n.di()], oDem::HINH.hang[n.den()], oDem::HINH.cot[n.den()]};
}
// A move with an end off the board has no compact form: it becomes {0, 0},
// which equals no generated move.
inline NuocGon tuNuocDi(const NuocDi& n) {
    if (!BanCo::trongBanCo(n.hangDi, n.cotDi) || !BanCo::trongBanCo(n.hangDen, n.cotDen)) return NuocGon{};
    return NuocGon(oDem::chiSo(n.hangDi, n.cotDi), oDem::chiSo(n.hangDen, n.cotDen));
}

}  // namespace nuocGon

class BanTimKiem {
public:
    static constexpr int KHONG = -1;  // no piece slot
    // An undo puts back every square exactly (one piece per square).
    static constexpr bool LUI_KHOI_PHUC_HET = true;

    // False (and nothing usable) when the board's square view is off or a
    // piece has a side other than DO or DEN.
    bool napTu(const BanCo& ban);
    // Reorders ban.dsQuan the way this board's captures and undos reordered
    // its lists since napTu. The pieces must stand where they stood then.
    void traLaiThuTu(BanCo& ban) const;

    int ma(int o) const { return o_[o]; }
    // Hands them(di, den) the moves BanCo::sinhNuocDi (CHI_AN: sinhNuocAn)
    // would list, in the same order.
    template <bool CHI_AN, class Them>
    void sinhNuocDi(Phe phe, Them& them) const {
        sinhNuocDiTheo<CHI_AN>(dsPhe_[phe].data(), soQuan_[phe], phe, them);
    }
    // The same, for the pieces of a list chepDanhSach took earlier: captures
    // and undos since then may have reordered the side's own list, but not
    // where its pieces stand once every move is taken back.
    template <bool CHI_AN, class Them>
    void sinhNuocDiTheo(const uint8_t* ds, int soQuan, Phe phe, Them& them) const {
        for (int j = 0; j < soQuan; ++j) {
            const int q = ds[j];
            if constexpr (CHI_AN) sinhAnCuaQuan(viTri_[q], maQuan_[q], phe, them);
            else oDem::sinhQuan<false, true>(o_.data(), viTri_[q], maQuan_[q] & 7, phe, them);
        }
    }
    // The captures sinhNuocDi<true> lists, kind by kind instead of in storage
    // order (no dispatch on the kind per piece): them(di, den, thuTu) gets
    // with each a number that orders them as sinhNuocDi<true> would (the
    // piece's place in its side's list, then the capture's among the piece's).
    template <class Them>
    void sinhNuocAnTheoLoai(Phe phe, Them& them) const {
        sinhAnLoai<LOAI_XE>(phe, them);
        sinhAnLoai<LOAI_PHAO>(phe, them);
        sinhAnLoai<LOAI_MA>(phe, them);
        sinhAnLoai<LOAI_VOI>(phe, them);
        sinhAnLoai<LOAI_SI>(phe, them);
        sinhAnLoai<LOAI_TUONG>(phe, them);
        sinhAnLoai<LOAI_TOT>(phe, them);
    }
    // The moves of the piece on square o alone, in sinhNuocDi's order.
    template <class Them>
    void sinhNuocDiCuaQuan(int o, Phe phe, Them& them) const {
        oDem::sinhQuan<false, true>(o_.data(), o, o_[o] & 7, phe, them);
    }
    static constexpr int SO_QUAN_TOI_DA = BanCo::SO_O;
    // f(square, code) for every piece on the board, red's first.
    template <class F>
    void moiQuan(F&& f) const {
        for (int phe = 0; phe < 2; ++phe)
            for (int j = 0; j < soQuan_[phe]; ++j) {
                const int q = dsPhe_[phe][j];
                f(static_cast<int>(viTri_[q]), static_cast<int>(maQuan_[q]));
            }
    }
    // Copies side phe's list in storage order into ra; returns its length.
    int chepDanhSach(Phe phe, uint8_t* ra) const {
        std::copy_n(dsPhe_[phe].data(), soQuan_[phe], ra);
        return soQuan_[phe];
    }

    // Makes a move; returns the captured piece's slot (KHONG for none), which
    // the undo needs back.
    int di(NuocGon n) {
        const int an = o_[n.den()] >= 0 ? oQuan_[n.den()] : KHONG;
        if (an != KHONG) boKhoiDanhSach(an);
        const uint8_t q = oQuan_[n.di()];
        o_[n.den()] = o_[n.di()];
        oQuan_[n.den()] = q;
        o_[n.di()] = oDem::TRONG;
        viTri_[q] = n.den();
        doiCo(n.di());
        if (an == KHONG) doiCo(n.den());
        return an;
    }
    void lui(NuocGon n, int an) {
        const uint8_t q = oQuan_[n.den()];
        o_[n.di()] = o_[n.den()];
        oQuan_[n.di()] = q;
        viTri_[q] = n.di();
        doiCo(n.di());
        if (an == KHONG) {
            o_[n.den()] = oDem::TRONG;
            doiCo(n.den());
            return;
        }
        o_[n.den()] = maQuan_[an];
        oQuan_[n.den()] = uint8_t(an);
        viTri_[an] = n.den();
        traVaoCuoi(an);
    }

    // BanCo::biChieu, nuocChacChanAnToan and nuocCoTheChieu for this board,
    // and two narrower forms of biChieu for the moment just after a move.
    bool biChieu(Phe phe) const {
        if (tuong_[phe] == KHONG) return false;
        const int k = viTri_[tuong_[phe]];
        const int benDich = pheDoiPhuong(phe) << 3;
        for (const int huong : oDem::HUONG)
            if (tanCongTheoDuong(k, huong, benDich)) return true;
        return oDem::biTanCongGan(o_.data(), k, phe);
    }
    // Whether square o is attacked by the side other than phe, by the check
    // test's geometry (an enemy general in open line along the column counts).
    bool biTanCongO(int o, Phe phe) const { return oDem::biTanCong(o_.data(), o, phe); }
    // biChieu(phe) just after side phe's move n (biAn: what di returned),
    // when phe's general was not attacked before it: only the lines through
    // the squares the move changed, and the horse legs or elephant eye it
    // freed, can have opened an attack.
    bool loTuongSauNuoc(NuocGon n, Phe phe, int biAn) const;
    // biChieu(phe) just after the other side's move n, when phe's general was
    // not attacked before it: the lines through the move's squares, and the
    // near attacks when the move ends near the general or frees one of its
    // diagonal neighbours.
    bool chieuSauNuoc(NuocGon n, Phe phe) const;
    // What a quiet move of a piece other than the general must do to lift
    // the attacks on side phe's general (on square k): the moved piece is never
    // an attacker, so it can only block a line (stepping between the general
    // and a chariot, cannon or general), a horse's leg or an elephant's eye,
    // or take a cannon's screen away.
    struct ChanChieu {
        int k = -1;                     // the general's square; -1: no general
        bool khongChanDuoc = false;     // an attack no such move can block
        int8_t xa[4] = {0, 0, 0, 0};    // per line (oDem::HUONG): k + t * step blocks for 0 < t < xa
        int16_t man[4] = {-1, -1, -1, -1};  // per line: our piece screening a cannon, or -1
        uint8_t cheo = 0;               // bit i: neighbour k + oDem::CHEO[i] is a leg or an eye
    };
    ChanChieu chanChieu(Phe phe) const;
    // False only for a quiet move n, not of the general, that leaves an
    // attack described by c in place.
    static bool yenCoTheCanChieu(const ChanChieu& c, NuocGon n) {
        using oDem::HINH;
        if (c.k < 0 || n.di() == c.k) return true;
        if (c.khongChanDuoc) return false;
        for (int i = 0; i < 4; ++i)
            if (c.man[i] == n.di()) return true;
        const int dh = HINH.hang[n.den()] - HINH.hang[c.k], dc = HINH.cot[n.den()] - HINH.cot[c.k];
        if (dc == 0) return dh < 0 ? -dh < c.xa[0] : dh < c.xa[1];
        if (dh == 0) return dc < 0 ? -dc < c.xa[2] : dc < c.xa[3];
        if ((dh != 1 && dh != -1) || (dc != 1 && dc != -1)) return false;
        return (c.cheo >> ((dh > 0) * 2 + (dc > 0))) & 1;
    }
    bool nuocChacChanAnToan(NuocGon n, Phe phe) const {
        return tuong_[phe] != KHONG && !nuocCoTheLoTuong(n, viTri_[tuong_[phe]]);
    }
    bool nuocCoTheChieu(NuocGon n, Phe benDi) const {
        const int t = tuong_[pheDoiPhuong(benDi)];
        if (t == KHONG) return true;
        const int th = oDem::HINH.hang[viTri_[t]], tc = oDem::HINH.cot[viTri_[t]];
        auto gan = [th, tc](int o) {
            const int h = oDem::HINH.hang[o], c = oDem::HINH.cot[o];
            return h == th || c == tc || (h - th + 2u <= 4u && c - tc + 2u <= 4u);
        };
        return gan(n.di()) || gan(n.den());
    }

private:
    std::array<int8_t, oDem::SO_O> o_{};       // piece code per square, as BanCo's view
    // The occupied squares again, as bits: of each row (bit c for column c)
    // and of each column (bit h for row h), so that a capture along a line
    // finds its target without walking the empty squares before it.
    std::array<uint16_t, 10> hangCo_{};
    std::array<uint16_t, 9> cotCo_{};
    // oDem::biTanCongTheoHuong read from the bits: the first and second
    // pieces met from square k in direction huong, without the walk.
    bool tanCongTheoDuong(int k, int huong, int benDich) const;
    // Attacks on square k along the lines from k through di and, when xetDen,
    // through den: the lines a move between those squares can have opened.
    bool tanCongQuaDuong(int k, int di, int den, bool xetDen, int benDich) const;
    void doiCo(int o) {
        const int h = oDem::HINH.hang[o], c = oDem::HINH.cot[o];
        hangCo_[h] ^= static_cast<uint16_t>(1u << c);
        cotCo_[c] ^= static_cast<uint16_t>(1u << h);
    }
    // The captures oDem::sinhQuan<true> lists for a piece of kind LOAI, in
    // its order; chariots, cannons and the general's flying capture read the bits.
    template <int LOAI, class Them>
    void sinhAnQuan(int o, Phe phe, Them& them) const;
    template <class Them>
    void sinhAnCuaQuan(int o, int ma, Phe phe, Them& them) const {
        switch (ma & 7) {
            case LOAI_XE: sinhAnQuan<LOAI_XE>(o, phe, them); break;
            case LOAI_PHAO: sinhAnQuan<LOAI_PHAO>(o, phe, them); break;
            case LOAI_TUONG: sinhAnQuan<LOAI_TUONG>(o, phe, them); break;
            default: oDem::sinhQuan<true, true>(o_.data(), o, ma & 7, phe, them); break;
        }
    }
    template <int LOAI, class Them>
    void sinhAnLoai(Phe phe, Them& them) const {
        const int ma = LOAI | (phe << 3);
        const uint8_t* ds = dsLoai_[ma].data();
        for (int j = 0, n = soLoai_[ma]; j < n; ++j) {
            const int q = ds[j];
            int thuTu = oTrongDs_[q] << 4;  // no piece has more than 8 captures
            auto themThuTu = [&](int di, int den) { them(di, den, thuTu++); };
            sinhAnQuan<LOAI>(viTri_[q], phe, themThuTu);
        }
    }
    std::array<uint8_t, oDem::SO_O> oQuan_{};  // slot of the piece on a square
    // Per slot (a piece's index in dsQuan at napTu): square and code.
    std::array<uint8_t, SO_QUAN_TOI_DA> viTri_{};
    std::array<int8_t, SO_QUAN_TOI_DA> maQuan_{};
    // Each side's slots in storage order.
    std::array<std::array<uint8_t, SO_QUAN_TOI_DA>, 2> dsPhe_{};
    std::array<int, 2> soQuan_{};
    std::array<uint8_t, SO_QUAN_TOI_DA> oTrongDs_{};  // a slot's place in its side's list
    // The slots on the board of each piece code, in no particular order.
    std::array<std::array<uint8_t, SO_QUAN_TOI_DA>, 16> dsLoai_{};
    std::array<uint8_t, 16> soLoai_{};
    std::array<uint8_t, SO_QUAN_TOI_DA> oTrongLoai_{};  // a slot's place in its code's list
    void themVaoLoai(int q) {
        const int ma = maQuan_[q];
        oTrongLoai_[q] = soLoai_[ma];
        dsLoai_[ma][soLoai_[ma]++] = static_cast<uint8_t>(q);
    }
    void boKhoiLoai(int q) {
        const int ma = maQuan_[q];
        const uint8_t cuoi = dsLoai_[ma][--soLoai_[ma]];
        dsLoai_[ma][oTrongLoai_[q]] = cuoi;
        oTrongLoai_[cuoi] = oTrongLoai_[q];
    }
    // Sort key of each slot's place in the storage order: its index at napTu,
    // then a fresh, larger number each time a capture is undone.
    std::array<uint64_t, SO_QUAN_TOI_DA> thuTu_{};
    uint64_t soLanTra_ = 0;
    // First general of each side in storage order, as BanCo keeps it.
    std::array<int, 2> tuong_{KHONG, KHONG};
    int soQuanNap_ = 0;

    void boKhoiDanhSach(int q) {
        const Phe phe = Phe(maQuan_[q] >> 3);
        uint8_t* ds = dsPhe_[phe].data();
        const int n = soQuan_[phe];
        for (int j = oTrongDs_[q]; j + 1 < n; ++j) {
            ds[j] = ds[j + 1];
            oTrongDs_[ds[j]] = static_cast<uint8_t>(j);
        }
        soQuan_[phe] = n - 1;
        boKhoiLoai(q);
        if (tuong_[phe] == q) timLaiTuong(phe);
    }
    void traVaoCuoi(int q) {
        const Phe phe = Phe(maQuan_[q] >> 3);
        oTrongDs_[q] = static_cast<uint8_t>(soQuan_[phe]);
        dsPhe_[phe][soQuan_[phe]++] = static_cast<uint8_t>(q);
        thuTu_[q] = soLanTra_++;
        themVaoLoai(q);
        if (tuong_[phe] == KHONG && (maQuan_[q] & 7) == LOAI_TUONG) tuong_[phe] = q;
    }
    void timLaiTuong(Phe phe);
    // BanCo::nuocCoTheLoTuong on square-view indices, with one more certainty: a
    // capture leaves its destination occupied as it was, so unlike a quiet move it
    // cannot put a screen in front of a cannon by entering the general's line.
    bool nuocCoTheLoTuong(NuocGon n, int tuong) const {
        const int th = oDem::HINH.hang[tuong], tc = oDem::HINH.cot[tuong];
        const int hDi = oDem::HINH.hang[n.di()], cDi = oDem::HINH.cot[n.di()];
        if (hDi == th || cDi == tc) return true;
        if (o_[n.den()] == oDem::TRONG && (oDem::HINH.hang[n.den()] == th || oDem::HINH.cot[n.den()] == tc)) return true;
        return (hDi - th == 1 || th - hDi == 1) && (cDi - tc == 1 || tc - cDi == 1);
    }
};

namespace oDem {

// The nearest occupied square to place p of a line, given the line's bits
// (bit i: its square i): below p and above p; -1 for none.
inline int coGanDuoi(unsigned bits, int p) {
    const unsigned m = bits & ((1u << p) - 1);
    return m ? std::bit_width(m) - 1 : -1;
}
inline int coGanTren(unsigned bits, int p) {
    const unsigned m = bits >> (p + 1);
    return m ? p + 1 + std::countr_zero(m) : -1;
}
// The second nearest: what a cannon on place p could capture.
inline int coThuHaiDuoi(unsigned bits, int p) {
    const int mot = coGanDuoi(bits, p);
    return mot > 0 ? coGanDuoi(bits, mot) : -1;
}
inline int coThuHaiTren(unsigned bits, int p) {
    const int mot = coGanTren(bits, p);
    return mot >= 0 ? coGanTren(bits, mot) : -1;
}

}  // namespace oDem

inline bool BanTimKiem::tanCongTheoDuong(int k, int huong, int benDich) const {
    using namespace oDem;
    const int h = HINH.hang[k], c = HINH.cot[k];
    const bool doc = huong == LEN || huong == XUONG;
    const unsigned bits = doc ? cotCo_[c] : hangCo_[h];
    const int p = doc ? h : c;
    const bool lui = huong == LEN || huong == TRAI;  // towards lower rows or columns
    const int buoc = doc ? RONG : 1;
    const int mot = lui ? coGanDuoi(bits, p) : coGanTren(bits, p);
    if (mot < 0) return false;
    const int maMot = o_[k + (mot - p) * buoc];
    if (maMot == (LOAI_XE | benDich) || (doc && maMot == (LOAI_TUONG | benDich))) return true;
    const int hai = lui ? coGanDuoi(bits, mot) : coGanTren(bits, mot);
    return hai >= 0 && o_[k + (hai - p) * buoc] == (LOAI_PHAO | benDich);
}

template <int LOAI, class Them>
void BanTimKiem::sinhAnQuan(int o, Phe phe, Them& them) const {
    using namespace oDem;
    const int h = HINH.hang[o], c = HINH.cot[o];
    // A square found on a line holds a piece: it is taken unless it is our own.
    auto an = [&](int den) {
        if (pheCua(o_[den]) != phe) them(o, den);
    };
    // In sinhXe's and sinhPhao's order of lines: up, down, left, right.
    auto theoDuong = [&](auto timDuoi, auto timTren) {
        if (const int r = timDuoi(cotCo_[c], h); r >= 0) an(o + (r - h) * RONG);
        if (const int r = timTren(cotCo_[c], h); r >= 0) an(o + (r - h) * RONG);
        if (const int k = timDuoi(hangCo_[h], c); k >= 0) an(o + (k - c));
        if (const int k = timTren(hangCo_[h], c); k >= 0) an(o + (k - c));
    };
    if constexpr (LOAI == LOAI_XE) {
        theoDuong(coGanDuoi, coGanTren);
    } else if constexpr (LOAI == LOAI_PHAO) {
        theoDuong(coThuHaiDuoi, coThuHaiTren);
    } else if constexpr (LOAI == LOAI_TUONG) {
        // As sinhTuong<true>, the flying capture up and down the column found
        // from the bits.
        sinhBuocTuong<true, true>(o_.data(), o, phe, them);
        const int tuongDich = LOAI_TUONG | (pheDoiPhuong(phe) << 3);
        for (const int r : {coGanDuoi(cotCo_[c], h), coGanTren(cotCo_[c], h)})
            if (r >= 0 && o_[o + (r - h) * RONG] == tuongDich) them(o, o + (r - h) * RONG);
    } else {
        sinhQuan<true, true>(o_.data(), o, LOAI, phe, them);
    }
}
