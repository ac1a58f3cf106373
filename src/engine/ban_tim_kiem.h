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
#include <array>
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
        const uint8_t* ds = dsPhe_[phe].data();
        for (int j = 0; j < soQuan_[phe]; ++j) {
            const int q = ds[j];
            oDem::sinhQuan<CHI_AN>(o_.data(), viTri_[q], maQuan_[q] & 7, phe, them);
        }
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
        return an;
    }
    void lui(NuocGon n, int an) {
        const uint8_t q = oQuan_[n.den()];
        o_[n.di()] = o_[n.den()];
        oQuan_[n.di()] = q;
        viTri_[q] = n.di();
        if (an == KHONG) {
            o_[n.den()] = oDem::TRONG;
            return;
        }
        o_[n.den()] = maQuan_[an];
        oQuan_[n.den()] = uint8_t(an);
        viTri_[an] = n.den();
        traVaoCuoi(an);
    }

    // BanCo::biChieu, nuocChacChanAnToan and nuocCoTheChieu for this board,
    // and two narrower forms of biChieu for the moment just after a move.
    bool biChieu(Phe phe) const { return tuong_[phe] != KHONG && oDem::biTanCong(o_.data(), viTri_[tuong_[phe]], phe); }
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
    static constexpr int SO_QUAN_TOI_DA = BanCo::SO_O;

    std::array<int8_t, oDem::SO_O> o_{};       // piece code per square, as BanCo's view
    std::array<uint8_t, oDem::SO_O> oQuan_{};  // slot of the piece on a square
    // Per slot (a piece's index in dsQuan at napTu): square and code.
    std::array<uint8_t, SO_QUAN_TOI_DA> viTri_{};
    std::array<int8_t, SO_QUAN_TOI_DA> maQuan_{};
    // Each side's slots in storage order.
    std::array<std::array<uint8_t, SO_QUAN_TOI_DA>, 2> dsPhe_{};
    std::array<int, 2> soQuan_{};
    std::array<uint8_t, SO_QUAN_TOI_DA> oTrongDs_{};  // a slot's place in its side's list
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
        if (tuong_[phe] == q) timLaiTuong(phe);
    }
    void traVaoCuoi(int q) {
        const Phe phe = Phe(maQuan_[q] >> 3);
        oTrongDs_[q] = static_cast<uint8_t>(soQuan_[phe]);
        dsPhe_[phe][soQuan_[phe]++] = static_cast<uint8_t>(q);
        thuTu_[q] = soLanTra_++;
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
