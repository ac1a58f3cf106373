#pragma once
#include <array>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nuoc_di.h"
#include "o_dem.h"
#include "phe.h"
#include "quan_co.h"

// The board: an ordered list of owned pieces. The storage order is observable
// (it fixes move-generation order, name lookups and the order of pieces in the
// state document), so every operation keeps it exactly.
//
// Beside the list the board keeps a square-indexed view of it, updated in step
// with every change, so that square lookups need no scan. The view only answers
// for "the first piece in storage order on a square"; if pieces were ever
// stacked on one square or placed off the board (possible only through
// themQuan), the view is switched off and every lookup scans the list instead.
class BanCo {
public:
    struct BuocThayDoi {
        NuocDi nuoc;
        std::unique_ptr<QuanCo> quanBiAn;
    };

    static constexpr int SO_HANG = 10;
    static constexpr int SO_COT = 9;
    static constexpr int SO_O = SO_HANG * SO_COT;

    std::vector<std::unique_ptr<QuanCo>> dsQuan;
    QuanCo* quanChon = nullptr;
    int32_t hangConTro = 9;
    int32_t cotConTro = 0;
    std::vector<BuocThayDoi> nhatKy;

    BanCo();
    ~BanCo();
    BanCo(const BanCo&) = delete;
    BanCo& operator=(const BanCo&) = delete;

    // Set-up, lookups and copying.
    void khoiTaoMacDinh();
    void xoaHetQuan();
    void themQuan(std::unique_ptr<QuanCo> quan);
    std::unique_ptr<BanCo> saoChepTheCo() const;
    bool boQuan(int hang, int cot);
    QuanCo* timQuan(int hang, int cot) const {
        if (!trongBanCo(hang, cot)) return nullptr;
        if (boDemDung_) return oVuong_[hang * SO_COT + cot];
        return timQuanBangCachDuyet(hang, cot);
    }
    QuanCo* timQuanTheoTen(Phe phe, const std::string& ten) const;
    static bool trongBanCo(int hang, int cot) { return hang >= 0 && hang < SO_HANG && cot >= 0 && cot < SO_COT; }
    bool coQuanTai(int hang, int cot) const { return timQuan(hang, cot) != nullptr; }
    bool duongThangTrong(int h1, int c1, int h2, int c2) const;
    int demQuanGiua(int h1, int c1, int h2, int c2) const;
    QuanCo* timTuong(Phe phe) const;
    // Reorders the pieces: the one at dsQuan[thuTuMoi[i]] becomes the i-th.
    // Lets a search that moved its own copy of the pieces hand back the
    // storage order its captures and undos left. Ignored unless thuTuMoi is a
    // permutation of the indices.
    void sapLaiThuTu(const std::vector<size_t>& thuTuMoi);

    // Moves, check, legality and the position key.
    bool thuNuocDi(const NuocDi& nuoc);
    void luiNuocDi();
    void sinhNuocDi(Phe phe, DanhSachNuoc& ds) const;
    // Exactly the moves of sinhNuocDi that land on an occupied square, in the
    // same order.
    void sinhNuocAn(Phe phe, DanhSachNuoc& ds) const;
    bool biChieu(Phe phe) const;
    // The same question asked the slow, literal way: every enemy piece is asked
    // whether it may move onto the general. Kept as the reference for biChieu.
    bool biChieuTheoDinhNghia(Phe phe) const;
    DanhSachNuoc nuocDiHopLe(Phe phe);
    // Whether `nuoc` is among nuocDiHopLe(phe) (which it runs, with its
    // effect on the storage order).
    bool laNuocHopLe(Phe phe, const NuocDi& nuoc);
    std::string khoaViTri() const;

    // Compact answers for the search's hot path. A piece's code is
    // loai | phe << 3; -1 stands for an empty square.
    int maQuan(int hang, int cot) const {
        if (!trongBanCo(hang, cot)) return -1;
        if (boDemDung_) return maO_[oDem::chiSo(hang, cot)];
        const QuanCo* q = timQuanBangCachDuyet(hang, cot);
        return q ? q->loai() | (q->phe << 3) : -1;
    }
    // Whether the square view is in use (no stacked or off-board pieces).
    bool coBangO() const { return boDemDung_; }
    int maCuaQuan(const QuanCo& q) const {
        return boDemDung_ ? maO_[oDem::chiSo(q.hang, q.cot)] : q.loai() | (q.phe << 3);
    }
    // For a side whose general is not attacked now: true when the move (not
    // yet made) certainly leaves it unattacked, so no check test is needed.
    bool nuocChacChanAnToan(const NuocDi& n, Phe phe) const {
        const QuanCo* tuong = timTuong(phe);
        return boDemDung_ && tuong != nullptr && !nuocCoTheLoTuong(n, *tuong);
    }

    // For a move (not yet made) of side benDi, in a position where the other
    // side's general is not attacked: false when the move certainly does not
    // attack it. A move can only give check from near the general or from its
    // row or column, or by uncovering a line, a horse leg or an elephant eye
    // next to it.
    bool nuocCoTheChieu(const NuocDi& n, Phe benDi) const {
        const QuanCo* tuong = timTuong(pheDoiPhuong(benDi));
        if (!boDemDung_ || tuong == nullptr) return true;
        auto gan = [tuong](int h, int c) {
            return h == tuong->hang || c == tuong->cot || (std::abs(h - tuong->hang) <= 2 && std::abs(c - tuong->cot) <= 2);
        };
        return gan(n.hangDi, n.cotDi) || gan(n.hangDen, n.cotDen);
    }

    // Console view.
    void ve() const;
    void diChuyenConTro(int buocHang, int buocCot);
    std::string veThanhChuoi() const;

private:
    // Square-indexed view of dsQuan (first piece in storage order per square).
    std::array<QuanCo*, SO_O> oVuong_{};
    // Kind and side of the piece on each square (loai | phe << 3), -1 when
    // empty, a wall value around the board: lets generation and the check test
    // work without virtual calls or bounds tests.
    std::array<int8_t, oDem::SO_O> maO_{};
    bool boDemDung_ = true;
    // First general of each side in storage order, kept in step with dsQuan.
    QuanCo* tuong_[2] = {nullptr, nullptr};

    QuanCo* timQuanBangCachDuyet(int hang, int cot) const;
    void lamMoiBoDem();
    void datO(int hang, int cot, QuanCo* quan) {
        oVuong_[hang * SO_COT + cot] = quan;
        maO_[oDem::chiSo(hang, cot)] = quan ? int8_t(quan->loai() | (quan->phe << 3)) : oDem::TRONG;
    }
    void xoaBoDem() {
        oVuong_.fill(nullptr);
        for (int i = 0; i < oDem::SO_O; ++i) {
            const int h = oDem::HINH.hang[i], c = oDem::HINH.cot[i];
            maO_[i] = trongBanCo(h, c) ? oDem::TRONG : oDem::TUONG_BIEN;
        }
    }
    bool nuocCoTheLoTuong(const NuocDi& n, const QuanCo& tuong) const;
    void timLaiTuong();
    void xoaKhoiDanhSach(const QuanCo* quan, std::unique_ptr<QuanCo>& giu);
    bool biTanCongNhanh(const QuanCo& tuong) const;
    bool biTanCongBangCachHoi(const QuanCo& tuong) const;
};
