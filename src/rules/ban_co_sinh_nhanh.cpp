// Move generation from the square view (sinh_o_dem.h): the same moves in the
// same order as asking each piece (QuanCo::sinhNuocDi), without a virtual call
// per candidate square. Used whenever the square view is trustworthy.
#include "ban_co.h"
#include "sinh_o_dem.h"

namespace {

template <bool CHI_AN>
void sinhTheoBang(const int8_t* ma, const std::vector<std::unique_ptr<QuanCo>>& dsQuan, Phe phe, DanhSachNuoc& ds) {
    auto them = [&ds](int di, int den) {
        ds.push_back({oDem::HINH.hang[di], oDem::HINH.cot[di], oDem::HINH.hang[den], oDem::HINH.cot[den]});
    };
    for (const auto& q : dsQuan) {
        if (q->phe != phe) continue;
        const int o = oDem::chiSo(q->hang, q->cot);
        oDem::sinhQuan<CHI_AN>(ma, o, ma[o] & 7, phe, them);
    }
}

}  // namespace

void BanCo::sinhNuocDi(Phe phe, DanhSachNuoc& ds) const {
    if (boDemDung_) return sinhTheoBang<false>(maO_.data(), dsQuan, phe, ds);
    for (const auto& q : dsQuan)
        if (q->phe == phe) q->sinhNuocDi(*this, ds);
}

void BanCo::sinhNuocAn(Phe phe, DanhSachNuoc& ds) const {
    if (boDemDung_) return sinhTheoBang<true>(maO_.data(), dsQuan, phe, ds);
    const size_t dau = ds.size();
    sinhNuocDi(phe, ds);
    size_t giu = dau;
    for (size_t i = dau; i < ds.size(); ++i)
        if (coQuanTai(ds[i].hangDen, ds[i].cotDen)) ds[giu++] = ds[i];
    ds.resize(giu);
}
