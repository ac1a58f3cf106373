#pragma once
// A BanCo behind the search board's interface (ban_tim_kiem.h): the search
// runs on it when the search board cannot stand for the BanCo (stacked or
// off-board pieces, only ever set up by hand), and when the search's parts are
// driven one by one on a BanCo. Slower, and exactly the BanCo's answers.
#include "ban_co.h"
#include "ban_tim_kiem.h"

class BanCoBoc {
public:
    explicit BanCoBoc(BanCo& ban) : ban_(ban) {}
    // With stacked pieces an undo may bring a different piece forward, so the
    // key is worked back from the board, not restored.
    static constexpr bool LUI_KHOI_PHUC_HET = false;

    int ma(int o) const { return ban_.maQuan(oDem::HINH.hang[o], oDem::HINH.cot[o]); }
    // A move from off the board (a hand-placed piece there) is dropped: the
    // search would skip it anyway, as no piece of the side stands there.
    template <bool CHI_AN, class Them>
    void sinhNuocDi(Phe phe, Them& them) {
        nhap_.clear();
        if (CHI_AN) ban_.sinhNuocAn(phe, nhap_);
        else ban_.sinhNuocDi(phe, nhap_);
        for (const NuocDi& m : nhap_)
            if (BanCo::trongBanCo(m.hangDi, m.cotDi)) them(oDem::chiSo(m.hangDi, m.cotDi), oDem::chiSo(m.hangDen, m.cotDen));
    }
    int di(NuocGon n) {
        ban_.thuNuocDi(nuocGon::raNuocDi(n));
        return BanTimKiem::KHONG;
    }
    void lui(NuocGon, int) { ban_.luiNuocDi(); }
    bool biChieu(Phe phe) const { return ban_.biChieu(phe); }
    bool loTuongSauNuoc(NuocGon, Phe phe, int) const { return ban_.biChieu(phe); }
    bool chieuSauNuoc(NuocGon, Phe phe) const { return ban_.biChieu(phe); }
    bool nuocChacChanAnToan(NuocGon n, Phe phe) const { return ban_.nuocChacChanAnToan(nuocGon::raNuocDi(n), phe); }
    bool nuocCoTheChieu(NuocGon n, Phe benDi) const { return ban_.nuocCoTheChieu(nuocGon::raNuocDi(n), benDi); }

private:
    BanCo& ban_;
    DanhSachNuoc nhap_;
};
