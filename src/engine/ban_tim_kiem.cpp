// The search board: loading from a BanCo and handing its storage order back,
// and the piece lists.
#include "ban_tim_kiem.h"

#include <algorithm>
#include <numeric>

#include "sinh_o_dem.h"

using namespace oDem;

bool BanTimKiem::napTu(const BanCo& ban) {
    const size_t n = ban.dsQuan.size();
    if (!ban.coBangO() || n > SO_QUAN_TOI_DA) return false;
    for (int i = 0; i < SO_O; ++i) o_[i] = BanCo::trongBanCo(HINH.hang[i], HINH.cot[i]) ? TRONG : TUONG_BIEN;
    soQuan_ = {0, 0};
    tuong_ = {KHONG, KHONG};
    hangCo_ = {};
    cotCo_ = {};
    soLoai_ = {};
    for (size_t i = 0; i < n; ++i) {
        const QuanCo& q = *ban.dsQuan[i];
        if (q.phe != DO && q.phe != DEN) return false;
        const int o = chiSo(q.hang, q.cot);
        o_[o] = static_cast<int8_t>(ban.maCuaQuan(q));
        oQuan_[o] = static_cast<uint8_t>(i);
        doiCo(o);
        viTri_[i] = static_cast<uint8_t>(o);
        maQuan_[i] = o_[o];
        oTrongDs_[i] = static_cast<uint8_t>(soQuan_[q.phe]);
        dsPhe_[q.phe][soQuan_[q.phe]++] = static_cast<uint8_t>(i);
        thuTu_[i] = i;
        themVaoLoai(static_cast<int>(i));
        if (tuong_[q.phe] == KHONG && (maQuan_[i] & 7) == LOAI_TUONG) tuong_[q.phe] = static_cast<int>(i);
    }
    soQuanNap_ = static_cast<int>(n);
    soLanTra_ = n;
    return true;
}

void BanTimKiem::traLaiThuTu(BanCo& ban) const {
    if (soLanTra_ == static_cast<uint64_t>(soQuanNap_)) return;  // nothing was captured and put back
    std::vector<size_t> thuTuMoi(static_cast<size_t>(soQuanNap_));
    std::iota(thuTuMoi.begin(), thuTuMoi.end(), size_t{0});
    std::sort(thuTuMoi.begin(), thuTuMoi.end(), [this](size_t a, size_t b) { return thuTu_[a] < thuTu_[b]; });
    ban.sapLaiThuTu(thuTuMoi);
}

void BanTimKiem::timLaiTuong(Phe phe) {
    tuong_[phe] = KHONG;
    for (int j = 0; j < soQuan_[phe]; ++j) {
        const int q = dsPhe_[phe][j];
        if ((maQuan_[q] & 7) == LOAI_TUONG) {
            tuong_[phe] = q;
            return;
        }
    }
}

namespace {

// The step from square k towards square o on the same row or column.
int huongToi(int k, int o) {
    if (HINH.cot[o] == HINH.cot[k]) return HINH.hang[o] < HINH.hang[k] ? LEN : XUONG;
    return HINH.cot[o] < HINH.cot[k] ? TRAI : PHAI;
}

bool cungDuong(int k, int o) { return HINH.hang[o] == HINH.hang[k] || HINH.cot[o] == HINH.cot[k]; }

}  // namespace

bool BanTimKiem::tanCongQuaDuong(int k, int di, int den, bool xetDen, int benDich) const {
    int huongDi = 0;
    if (cungDuong(k, di)) {
        huongDi = huongToi(k, di);
        if (tanCongTheoDuong(k, huongDi, benDich)) return true;
    }
    if (!xetDen || !cungDuong(k, den)) return false;
    const int huongDen = huongToi(k, den);
    return huongDen != huongDi && tanCongTheoDuong(k, huongDen, benDich);
}

bool BanTimKiem::loTuongSauNuoc(NuocGon n, Phe phe, int biAn) const {
    if (tuong_[phe] == KHONG) return false;
    const int k = viTri_[tuong_[phe]];
    if (k == n.den()) return biChieu(phe);  // the general itself moved
    const int benDich = pheDoiPhuong(phe) << 3;
    const int di = n.di(), den = n.den();
    // A capture leaves its destination occupied as before; a quiet move may
    // have put a screen in front of a cannon.
    if (tanCongQuaDuong(k, di, den, biAn == KHONG, benDich)) return true;
    const int dh = HINH.hang[di] - HINH.hang[k], dc = HINH.cot[di] - HINH.cot[k];
    if ((dh != 1 && dh != -1) || (dc != 1 && dc != -1)) return false;
    // The origin was a diagonal neighbour: a horse's leg or an elephant's eye.
    const int maDich = LOAI_MA | benDich;
    if (o_[k + 2 * dh * RONG + dc] == maDich || o_[k + dh * RONG + 2 * dc] == maDich) return true;
    return HINH.benNha[pheDoiPhuong(phe)][k] && o_[k + 2 * (dh * RONG + dc)] == (LOAI_VOI | benDich);
}

bool BanTimKiem::chieuSauNuoc(NuocGon n, Phe phe) const {
    if (tuong_[phe] == KHONG) return false;
    const int k = viTri_[tuong_[phe]];
    const int benDich = pheDoiPhuong(phe) << 3;
    const int di = n.di(), den = n.den();
    // The moved piece attacks along a line from den, or screens for a cannon.
    if (tanCongQuaDuong(k, di, den, true, benDich)) return true;
    const int dhDen = HINH.hang[den] - HINH.hang[k], dcDen = HINH.cot[den] - HINH.cot[k];
    const int dhDi = HINH.hang[di] - HINH.hang[k], dcDi = HINH.cot[di] - HINH.cot[k];
    const bool ganDen = dhDen >= -2 && dhDen <= 2 && dcDen >= -2 && dcDen <= 2;
    const bool cheoDi = (dhDi == 1 || dhDi == -1) && (dcDi == 1 || dcDi == -1);
    return (ganDen || cheoDi) && biTanCongGan(o_.data(), k, phe);
}

BanTimKiem::ChanChieu BanTimKiem::chanChieu(Phe phe) const {
    ChanChieu c;
    if (tuong_[phe] == KHONG) return c;
    const int k = c.k = viTri_[tuong_[phe]];
    const Phe dich = pheDoiPhuong(phe);
    const int benDich = dich << 3;
    for (int i = 0; i < 4; ++i) {
        const int d = HUONG[i];
        int t = 1;
        while (o_[k + t * d] == TRONG) ++t;
        const int mot = o_[k + t * d];
        if (mot == TUONG_BIEN) continue;
        if (mot == (LOAI_XE | benDich) || ((d == LEN || d == XUONG) && mot == (LOAI_TUONG | benDich))) {
            c.xa[i] = static_cast<int8_t>(t);
            continue;
        }
        int u = t + 1;
        while (o_[k + u * d] == TRONG) ++u;
        if (o_[k + u * d] != (LOAI_PHAO | benDich)) continue;
        c.xa[i] = static_cast<int8_t>(u);
        if (pheCua(mot) == phe) c.man[i] = static_cast<int16_t>(k + t * d);
    }
    // The near attacks, as biTanCongGan finds them.
    auto bitCheo = [](int d) { return 1u << ((d > 0) * 2 + (d == -RONG + 1 || d == RONG + 1)); };
    for (const auto& m : TAN_CONG_MA)
        if (o_[k + m.ma] == (LOAI_MA | benDich) && o_[k + m.chan] == TRONG) c.cheo |= bitCheo(m.chan);
    if (HINH.benNha[dich][k]) {
        for (const int d : CHEO)
            if (o_[k + 2 * d] == (LOAI_VOI | benDich) && o_[k + d] == TRONG) c.cheo |= bitCheo(d);
    }
    if (HINH.trongCung[dich][k]) {
        for (const int d : CHEO)
            if (o_[k + d] == (LOAI_SI | benDich)) c.khongChanDuoc = true;
        for (const int d : HUONG)
            if (o_[k + d] == (LOAI_TUONG | benDich)) c.khongChanDuoc = true;
    }
    const int totDich = LOAI_TOT | benDich;
    if (o_[k + (dich == DO ? XUONG : LEN)] == totDich) c.khongChanDuoc = true;
    if (!HINH.benNha[dich][k] && (o_[k + TRAI] == totDich || o_[k + PHAI] == totDich)) c.khongChanDuoc = true;
    return c;
}
