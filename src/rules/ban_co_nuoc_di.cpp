#include <algorithm>
#include <cstdlib>

#include "ban_co.h"
#include "sinh_o_dem.h"

void BanCo::xoaKhoiDanhSach(const QuanCo* quan, std::unique_ptr<QuanCo>& giu) {
    for (auto it = dsQuan.begin(); it != dsQuan.end(); ++it) {
        if (it->get() == quan) {
            giu = std::move(*it);
            dsQuan.erase(it);
            return;
        }
    }
}

bool BanCo::thuNuocDi(const NuocDi& nuoc) {
    if (dsQuan.empty()) return false;
    QuanCo* quanDi = timQuan(nuoc.hangDi, nuoc.cotDi);
    if (quanDi == nullptr) return false;

    BuocThayDoi buoc{nuoc, nullptr};
    if (QuanCo* biAn = timQuan(nuoc.hangDen, nuoc.cotDen)) {
        const bool anTuong = biAn == tuong_[0] || biAn == tuong_[1];
        xoaKhoiDanhSach(biAn, buoc.quanBiAn);
        if (anTuong) timLaiTuong();
    }
    quanDi->hang = nuoc.hangDen;
    quanDi->cot = nuoc.cotDen;
    nhatKy.push_back(std::move(buoc));

    const bool nuocThuong = trongBanCo(nuoc.hangDen, nuoc.cotDen) &&
                            (nuoc.hangDi != nuoc.hangDen || nuoc.cotDi != nuoc.cotDen);
    if (boDemDung_ && nuocThuong) {
        datO(nuoc.hangDi, nuoc.cotDi, nullptr);
        datO(nuoc.hangDen, nuoc.cotDen, quanDi);
    } else {
        lamMoiBoDem();
    }
    return true;
}

void BanCo::luiNuocDi() {
    if (nhatKy.empty()) return;
    BuocThayDoi buoc = std::move(nhatKy.back());
    nhatKy.pop_back();
    const NuocDi& n = buoc.nuoc;

    QuanCo* quanDi = timQuan(n.hangDen, n.cotDen);
    if (quanDi != nullptr) {
        quanDi->hang = n.hangDi;
        quanDi->cot = n.cotDi;
    }
    QuanCo* traLai = buoc.quanBiAn.get();
    if (traLai != nullptr) {
        traLai->hang = n.hangDen;
        traLai->cot = n.cotDen;
        // A captured piece comes back at the end of the storage order.
        dsQuan.push_back(std::move(buoc.quanBiAn));
        if (traLai->laTuong() && (traLai->phe == DO || traLai->phe == DEN) && tuong_[traLai->phe] == nullptr)
            tuong_[traLai->phe] = traLai;
    }

    const bool nuocThuong = quanDi != nullptr && trongBanCo(n.hangDi, n.cotDi) &&
                            (n.hangDi != n.hangDen || n.cotDi != n.cotDen) &&
                            oVuong_[n.hangDi * SO_COT + n.cotDi] == nullptr;
    if (boDemDung_ && nuocThuong) {
        datO(n.hangDen, n.cotDen, traLai);
        datO(n.hangDi, n.cotDi, quanDi);
    } else {
        lamMoiBoDem();
    }
}

bool BanCo::biTanCongBangCachHoi(const QuanCo& tuong) const {
    for (const auto& q : dsQuan)
        if (q->phe != tuong.phe && q->kiemTraNuocDi(*this, tuong.hang, tuong.cot)) return true;
    return false;
}

bool BanCo::biTanCongNhanh(const QuanCo& tuong) const {
    return oDem::biTanCong(maO_.data(), oDem::chiSo(tuong.hang, tuong.cot), tuong.phe);
}

// When the own general is not attacked, a quiet move of another piece can
// only expose it by leaving or entering the general's row or column (chariot,
// cannon screen, facing generals) or by leaving a diagonal neighbour of the
// general (horse leg, elephant eye). Any other quiet move keeps it safe.
bool BanCo::nuocCoTheLoTuong(const NuocDi& n, const QuanCo& tuong) const {
    if (n.hangDi == tuong.hang && n.cotDi == tuong.cot) return true;
    if (n.hangDi == tuong.hang || n.cotDi == tuong.cot) return true;
    if (n.hangDen == tuong.hang || n.cotDen == tuong.cot) return true;
    return std::abs(n.hangDi - tuong.hang) == 1 && std::abs(n.cotDi - tuong.cot) == 1;
}

bool BanCo::biChieu(Phe phe) const {
    const QuanCo* tuong = timTuong(phe);
    if (tuong == nullptr) return false;
    if (boDemDung_) return biTanCongNhanh(*tuong);
    return biTanCongBangCachHoi(*tuong);
}

bool BanCo::biChieuTheoDinhNghia(Phe phe) const {
    const QuanCo* tuong = timTuong(phe);
    return tuong != nullptr && biTanCongBangCachHoi(*tuong);
}

bool BanCo::laNuocHopLe(Phe phe, const NuocDi& nuoc) {
    const DanhSachNuoc hopLe = nuocDiHopLe(phe);
    return std::find(hopLe.begin(), hopLe.end(), nuoc) != hopLe.end();
}

DanhSachNuoc BanCo::nuocDiHopLe(Phe phe) {
    DanhSachNuoc ds;
    if (dsQuan.empty()) return ds;
    sinhNuocDi(phe, ds);
    const QuanCo* tuong = timTuong(phe);
    if (tuong == nullptr) return ds;
    const bool coTheBoQua = boDemDung_ && !biTanCongNhanh(*tuong);
    size_t giu = 0;
    for (size_t i = 0; i < ds.size(); ++i) {
        const NuocDi n = ds[i];
        // Captures are always tried on the board: the trial capture and its
        // undo move the victim to the end of the storage order, and that
        // reordering is part of this function's observable effect.
        const bool anQuan = coQuanTai(n.hangDen, n.cotDen);
        bool hopLe = true;
        if (anQuan || !coTheBoQua || nuocCoTheLoTuong(n, *tuong)) {
            thuNuocDi(n);
            hopLe = !biChieu(phe);
            luiNuocDi();
        }
        if (hopLe) ds[giu++] = n;
    }
    ds.resize(giu);
    return ds;
}

std::string BanCo::khoaViTri() const {
    std::vector<std::string> muc;
    muc.reserve(dsQuan.size());
    for (const auto& q : dsQuan)
        muc.push_back(q->ve() + (q->phe == DO ? "d" : "n") + std::to_string(q->hang) + "," + std::to_string(q->cot));
    std::sort(muc.begin(), muc.end());
    std::string khoa;
    khoa.reserve(muc.size() * 6);
    for (const auto& m : muc) khoa += m + ";";
    return khoa;
}
