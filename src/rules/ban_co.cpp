#include "ban_co.h"

#include <algorithm>
#include <cstdlib>

BanCo::BanCo() { khoiTaoMacDinh(); }

BanCo::~BanCo() {
    // The log's captured pieces go first, then the pieces on the board.
    nhatKy.clear();
    dsQuan.clear();
}

void BanCo::khoiTaoMacDinh() {
    xoaHetQuan();
    static constexpr int HANG_SAU[9] = {LOAI_XE, LOAI_MA, LOAI_VOI, LOAI_SI, LOAI_TUONG,
                                        LOAI_SI, LOAI_VOI, LOAI_MA, LOAI_XE};
    for (Phe phe : {DEN, DO}) {
        const int hangSau = phe == DEN ? 0 : 9;
        const int hangPhao = phe == DEN ? 2 : 7;
        const int hangTot = phe == DEN ? 3 : 6;
        for (int c = 0; c < SO_COT; ++c) themQuan(taoQuan(HANG_SAU[c], hangSau, c, phe));
        themQuan(taoQuan(LOAI_PHAO, hangPhao, 1, phe));
        themQuan(taoQuan(LOAI_PHAO, hangPhao, 7, phe));
        for (int c = 0; c < SO_COT; c += 2) themQuan(taoQuan(LOAI_TOT, hangTot, c, phe));
    }
}

void BanCo::xoaHetQuan() {
    dsQuan.clear();
    quanChon = nullptr;
    xoaBoDem();
    boDemDung_ = true;
    tuong_[0] = tuong_[1] = nullptr;
}

void BanCo::themQuan(std::unique_ptr<QuanCo> quan) {
    if (!quan) return;
    QuanCo* q = quan.get();
    dsQuan.push_back(std::move(quan));
    if ((q->phe == DO || q->phe == DEN) && tuong_[q->phe] == nullptr && q->laTuong()) tuong_[q->phe] = q;
    if (!boDemDung_) return;
    // A piece off the board or on an occupied square cannot live in the
    // square view; fall back to scanning the list from now on.
    if (!trongBanCo(q->hang, q->cot) || oVuong_[q->hang * SO_COT + q->cot] != nullptr) {
        boDemDung_ = false;
        return;
    }
    datO(q->hang, q->cot, q);
}

std::unique_ptr<BanCo> BanCo::saoChepTheCo() const {
    auto moi = std::make_unique<BanCo>();
    moi->xoaHetQuan();
    for (const auto& q : dsQuan) moi->themQuan(q->saoChep());
    moi->hangConTro = hangConTro;
    moi->cotConTro = cotConTro;
    return moi;
}

bool BanCo::boQuan(int hang, int cot) {
    for (auto it = dsQuan.begin(); it != dsQuan.end(); ++it) {
        if ((*it)->hang == hang && (*it)->cot == cot) {
            const bool laTuong = it->get() == tuong_[0] || it->get() == tuong_[1];
            dsQuan.erase(it);
            if (boDemDung_) datO(hang, cot, nullptr);
            else lamMoiBoDem();
            if (laTuong) timLaiTuong();
            return true;
        }
    }
    return false;
}

QuanCo* BanCo::timQuanBangCachDuyet(int hang, int cot) const {
    for (const auto& q : dsQuan)
        if (q->hang == hang && q->cot == cot) return q.get();
    return nullptr;
}

void BanCo::lamMoiBoDem() {
    xoaBoDem();
    boDemDung_ = true;
    for (const auto& q : dsQuan) {
        if (!trongBanCo(q->hang, q->cot) || oVuong_[q->hang * SO_COT + q->cot] != nullptr) {
            boDemDung_ = false;
            return;
        }
        datO(q->hang, q->cot, q.get());
    }
}

QuanCo* BanCo::timQuanTheoTen(Phe phe, const std::string& ten) const {
    for (const auto& q : dsQuan)
        if (q->phe == phe && q->ten() == ten) return q.get();
    return nullptr;
}

int BanCo::demQuanGiua(int h1, int c1, int h2, int c2) const {
    // Only on-board squares can be occupied, so the walk is clipped to the
    // board: far-off coordinates cost nothing.
    auto dem = [this](bool theoHang, int coDinh, int64_t a, int64_t b) {
        const int64_t tu = std::max<int64_t>(std::min(a, b) + 1, 0);
        const int64_t den = std::min<int64_t>(std::max(a, b) - 1, theoHang ? SO_COT - 1 : SO_HANG - 1);
        int n = 0;
        for (int64_t i = tu; i <= den; ++i)
            if (theoHang ? coQuanTai(coDinh, int(i)) : coQuanTai(int(i), coDinh)) ++n;
        return n;
    };
    if (h1 == h2) return dem(true, h1, c1, c2);
    if (c1 == c2) return dem(false, c1, h1, h2);
    return -1;
}

bool BanCo::duongThangTrong(int h1, int c1, int h2, int c2) const {
    return demQuanGiua(h1, c1, h2, c2) == 0;
}

QuanCo* BanCo::timTuong(Phe phe) const {
    if (phe == DO || phe == DEN) return tuong_[phe];
    return nullptr;
}

void BanCo::sapLaiThuTu(const std::vector<size_t>& thuTuMoi) {
    if (thuTuMoi.size() != dsQuan.size()) return;
    std::vector<std::unique_ptr<QuanCo>> moi(dsQuan.size());
    for (size_t i = 0; i < thuTuMoi.size(); ++i) {
        const size_t cu = thuTuMoi[i];
        if (cu >= dsQuan.size() || !dsQuan[cu]) {
            // Not a permutation: put back what was taken and change nothing.
            for (size_t j = 0; j < i; ++j) dsQuan[thuTuMoi[j]] = std::move(moi[j]);
            return;
        }
        moi[i] = std::move(dsQuan[cu]);
    }
    dsQuan = std::move(moi);
    timLaiTuong();
}

void BanCo::timLaiTuong() {
    tuong_[0] = tuong_[1] = nullptr;
    for (const auto& q : dsQuan)
        if ((q->phe == DO || q->phe == DEN) && tuong_[q->phe] == nullptr && q->laTuong()) tuong_[q->phe] = q.get();
}
