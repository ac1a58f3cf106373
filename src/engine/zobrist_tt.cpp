// Zobrist keys, the make/unmake wrappers that keep them and the
// transposition table.
#include <random>

#include "tim_kiem.h"

namespace {

int oVuong(int hang, int cot) { return hang * BanCo::SO_COT + cot; }

// Pieces off the board or of an unknown kind have no key; the rules never
// produce them, but a hand-built board might.
bool coKhoa(const QuanCo& q, int hang, int cot) {
    return BanCo::trongBanCo(hang, cot) && q.loai() >= 0 && q.loai() < 7 && (q.phe == DO || q.phe == DEN);
}

}  // namespace

void TimKiem::khoiTaoZobrist() {
    // Fixed seed: every engine in every run has the same keys.
    std::mt19937_64 sinh(20260716);
    for (auto& phe : zobrist)
        for (auto& loai : phe)
            for (auto& o : loai) o = sinh();
    zobristLuot = sinh();
}

uint64_t TimKiem::tinhKhoa(const BanCo& ban, Phe luot) const {
    uint64_t khoa = 0;
    for (const auto& q : ban.dsQuan)
        if (coKhoa(*q, q->hang, q->cot)) khoa ^= zobrist[q->phe][q->loai()][oVuong(q->hang, q->cot)];
    if (luot == DEN) khoa ^= zobristLuot;
    return khoa;
}

// The XORs of one move, read from the board as it stands before the move (or
// again after it has been taken back): XOR is its own inverse.
void TimKiem::xorNuoc(const NuocDi& nuoc, uint64_t& khoa) const {
    const QuanCo* quanDi = banCo->timQuan(nuoc.hangDi, nuoc.cotDi);
    if (quanDi != nullptr) {
        const QuanCo* biAn = banCo->timQuan(nuoc.hangDen, nuoc.cotDen);
        if (coKhoa(*quanDi, nuoc.hangDi, nuoc.cotDi))
            khoa ^= zobrist[quanDi->phe][quanDi->loai()][oVuong(nuoc.hangDi, nuoc.cotDi)];
        if (biAn != nullptr && coKhoa(*biAn, nuoc.hangDen, nuoc.cotDen))
            khoa ^= zobrist[biAn->phe][biAn->loai()][oVuong(nuoc.hangDen, nuoc.cotDen)];
        if (coKhoa(*quanDi, nuoc.hangDen, nuoc.cotDen))
            khoa ^= zobrist[quanDi->phe][quanDi->loai()][oVuong(nuoc.hangDen, nuoc.cotDen)];
    }
    khoa ^= zobristLuot;
}

void TimKiem::apDungNuoc(const NuocDi& nuoc, uint64_t& khoa) {
    xorNuoc(nuoc, khoa);
    banCo->thuNuocDi(nuoc);
    pheDangDi = pheDoiPhuong(pheDangDi);
    lichSuKhoa.push_back(khoa);
}

void TimKiem::boNuocDi(const NuocDi& nuoc, uint64_t& khoa) {
    if (!lichSuKhoa.empty()) lichSuKhoa.pop_back();
    banCo->luiNuocDi();
    pheDangDi = pheDoiPhuong(pheDangDi);
    xorNuoc(nuoc, khoa);
}

void TimKiem::ghiTT(uint64_t khoa, int32_t doSau, int32_t diem, int32_t kieu, const NuocDi& nuoc, int32_t tang) {
    if (!dungTT) return;
    MucTT& e = bangTT[khoa & matNaTT];
    // A deeper entry of another position is worth more than this one.
    if (e.kieu != KIEU_TRONG && e.khoa != khoa && e.doSau > doSau) return;
    // Mate scores are stored as a distance from this node, not from the root.
    if (diem > NGUONG_CHIEU_HET) diem += tang;
    else if (diem < -NGUONG_CHIEU_HET) diem -= tang;
    e.khoa = khoa;
    e.diem = diem;
    e.doSau = doSau;
    e.kieu = kieu;
    e.nuocDi = nuoc;
}

bool TimKiem::docTT(uint64_t khoa, int32_t doSau, int32_t& diem, int32_t& kieu, NuocDi& nuoc, int32_t tang) const {
    if (!dungTT) return false;
    const MucTT& e = bangTT[khoa & matNaTT];
    if (e.kieu == KIEU_TRONG || e.khoa != khoa || e.doSau < doSau) return false;
    diem = e.diem;
    if (diem >= NGUONG_CHIEU_HET + 1) diem -= tang;
    else if (diem <= -(NGUONG_CHIEU_HET + 1)) diem += tang;
    kieu = e.kieu;
    nuoc = e.nuocDi;
    return true;
}
