// Zobrist keys and the incremental evaluation's start.
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <random>

#include "danh_gia.h"
#include "nen_tang.h"
#include "tim_kiem.h"
#include "zobrist.h"

namespace {

int oVuong(int hang, int cot) { return hang * BanCo::SO_COT + cot; }

// Pieces off the board or of an unknown kind have no key; the rules never
// produce them, but a hand-built board might.
bool coKhoa(const QuanCo& q, int hang, int cot) {
    return BanCo::trongBanCo(hang, cot) && q.loai() >= 0 && q.loai() < 7 && (q.phe == DO || q.phe == DEN);
}

}  // namespace

// Fixed seed: every engine in every run has the same keys, so keys computed
// by one engine (or by khoaViTri) mean the same to every other.
const BangZobrist& bangZobrist() {
    static const BangZobrist bang = [] {
        BangZobrist b{};
        std::mt19937_64 sinh(20260716);
        for (auto& phe : b.quan)
            for (auto& loai : phe)
                for (auto& o : loai) o = sinh();
        b.luot = sinh();
        return b;
    }();
    return bang;
}

void TimKiem::khoiTaoZobrist() {
    const BangZobrist& bang = bangZobrist();
    std::memcpy(zobrist, bang.quan, sizeof zobrist);
    zobristLuot = bang.luot;
}

uint64_t TimKiem::khoaViTri(const BanCo& ban, Phe luot) {
    const BangZobrist& bang = bangZobrist();
    uint64_t khoa = 0;
    for (const auto& q : ban.dsQuan)
        if (coKhoa(*q, q->hang, q->cot)) khoa ^= bang.quan[q->phe][q->loai()][oVuong(q->hang, q->cot)];
    if (luot == DEN) khoa ^= bang.luot;
    return khoa;
}

// On large pages where the system grants them: the probes land at random
// across 4 MiB, and with small pages most would also miss the address cache.
void TimKiem::capBangTT() {
    if (bangTT) return;
    void* p = nenTang::capBangLon(SO_MUC_TT * sizeof(MucTT));
    if (p == nullptr) throw std::bad_alloc();
    bangTT.reset(static_cast<MucTT*>(p));
    std::uninitialized_value_construct_n(bangTT.get(), SO_MUC_TT);
}

void TimKiem::TraBangTT::operator()(MucTT* p) const {
    static_assert(std::is_trivially_destructible_v<MucTT>, "entries are given back without destruction");
    nenTang::traBangLon(p);
}

void TimKiem::batDanhGiaTangDan() {
    danhGiaTangDan_ = false;
    if (banCo == nullptr || !banCo->coBangO()) return;
    diemDo_ = 0;
    phongThu_[0] = phongThu_[1] = 0;
    for (const auto& q : banCo->dsQuan) {
        if (q->phe != DO && q->phe != DEN) return;
        const int ma = banCo->maCuaQuan(*q);
        const int32_t s = DanhGia::diemMa(ma, oVuong(q->hang, q->cot));
        diemDo_ += q->phe == DO ? s : -s;
        if ((ma & 7) == LOAI_VOI || (ma & 7) == LOAI_SI) ++phongThu_[q->phe];
    }
    danhGiaTangDan_ = true;
}
