#include <algorithm>
#include <cstdlib>

#include "ban_co.h"

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

void BanCo::sinhNuocDi(Phe phe, DanhSachNuoc& ds) const {
    for (const auto& q : dsQuan)
        if (q->phe == phe) q->sinhNuocDi(*this, ds);
}

bool BanCo::biTanCongBangCachHoi(const QuanCo& tuong) const {
    for (const auto& q : dsQuan)
        if (q->phe != tuong.phe && q->kiemTraNuocDi(*this, tuong.hang, tuong.cot)) return true;
    return false;
}

// Looks outward from the general for every shape of attack the seven rules
// allow, instead of asking each enemy piece. Exact for any position the square
// view can hold, including generals outside their palace.
bool BanCo::biTanCongNhanh(const QuanCo& tuong) const {
    const int h = tuong.hang, c = tuong.cot;
    const Phe ta = tuong.phe;
    auto laDich = [&](int hh, int cc, int loai) {
        const QuanCo* q = timQuan(hh, cc);
        return q != nullptr && q->phe != ta && q->loai() == loai;
    };

    // Lines: chariot (first piece met), cannon (second piece met), and the
    // flying general along the column (first piece met).
    static constexpr int HUONG[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& huong : HUONG) {
        int daGap = 0;
        for (int hh = h + huong[0], cc = c + huong[1]; trongBanCo(hh, cc); hh += huong[0], cc += huong[1]) {
            const QuanCo* q = timQuan(hh, cc);
            if (q == nullptr) continue;
            ++daGap;
            if (daGap == 1) {
                if (q->phe != ta) {
                    if (q->loai() == LOAI_XE) return true;
                    if (huong[1] == 0 && q->laTuong()) return true;
                }
                continue;
            }
            if (q->phe != ta && q->loai() == LOAI_PHAO) return true;
            break;
        }
    }

    // Horse: the leg is the square next to the horse on its long side.
    static constexpr int MA[8][2] = {{-2, -1}, {-2, 1}, {-1, -2}, {-1, 2}, {1, -2}, {1, 2}, {2, -1}, {2, 1}};
    for (const auto& b : MA) {
        const int mh = h - b[0], mc = c - b[1];
        if (!laDich(mh, mc, LOAI_MA)) continue;
        const int chanH = std::abs(b[0]) == 2 ? mh + b[0] / 2 : mh;
        const int chanC = std::abs(b[0]) == 2 ? mc : mc + b[1] / 2;
        if (!coQuanTai(chanH, chanC)) return true;
    }

    const Phe dich = pheDoiPhuong(ta);
    // Elephant: only on its own half, with an empty eye.
    if (dich == DO ? h >= 5 : h <= 4) {
        static constexpr int VOI[4][2] = {{-2, -2}, {-2, 2}, {2, -2}, {2, 2}};
        for (const auto& b : VOI)
            if (laDich(h + b[0], c + b[1], LOAI_VOI) && !coQuanTai(h + b[0] / 2, c + b[1] / 2)) return true;
    }
    // Advisor and the enemy general's palace step: the target must be in the
    // enemy's palace.
    if (Si::trongCung(h, c, dich)) {
        static constexpr int SI[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
        for (const auto& b : SI)
            if (laDich(h + b[0], c + b[1], LOAI_SI)) return true;
        for (const auto& b : HUONG) {
            const QuanCo* q = timQuan(h + b[0], c + b[1]);
            if (q != nullptr && q->phe != ta && q->laTuong()) return true;
        }
    }
    // Soldier: straight ahead of it, or beside it once it has crossed.
    const int tien = dich == DO ? -1 : 1;
    if (laDich(h - tien, c, LOAI_TOT)) return true;
    const bool daQuaSong = dich == DO ? h <= 4 : h >= 5;
    if (daQuaSong && (laDich(h, c - 1, LOAI_TOT) || laDich(h, c + 1, LOAI_TOT))) return true;
    return false;
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

DanhSachNuoc BanCo::nuocDiHopLe(Phe phe) {
    DanhSachNuoc ketQua;
    if (dsQuan.empty()) return ketQua;
    DanhSachNuoc thu;
    sinhNuocDi(phe, thu);
    ketQua.reserve(thu.size());
    for (const NuocDi& n : thu) {
        thuNuocDi(n);
        const bool biAn = biChieu(phe);
        luiNuocDi();
        if (!biAn) ketQua.push_back(n);
    }
    return ketQua;
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
