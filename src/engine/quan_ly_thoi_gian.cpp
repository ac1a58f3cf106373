#include "quan_ly_thoi_gian.h"

#include <algorithm>
#include <cmath>

namespace quanLyThoiGian {

namespace {

// Without a time control the game is taken to last this many more moves of
// ours (a middlegame's worth: the clock is spent where it matters, and what
// is left at the end still pays for the endgame, where moves go fast).
constexpr double SO_NUOC_DU_KIEN = 32;

}  // namespace

NganSach tinh(const DongHo& d) {
    NganSach n;
    const double tang = std::max(0.0, d.msTang);
    const double tre = std::max(0.0, d.msTre);
    // What this move may spend without touching the pipes' share of it.
    const double conLai = std::max(0.0, d.msConLai - tre);
    const double soNuoc =
        d.soNuocToiKiem > 0 ? std::min<double>(static_cast<double>(d.soNuocToiKiem), 50) : SO_NUOC_DU_KIEN;
    // Each later move loses its overhead too, and a little is kept back for
    // a machine that stalls: neither may be thought away now.
    const double duTru = std::min(conLai * 0.05, 1000.0) + tre * std::min(soNuoc - 1, 10.0);
    const double coTheDung = std::max(0.0, conLai - duTru);
    // An even share, most of the increment (it comes back after the move);
    // with one move to the time control, all of what is left.
    const double phan = d.soNuocToiKiem == 1 ? coTheDung : coTheDung / soNuoc + 0.8 * tang;
    // The hard limit: a few shares for a move that needs them, never a big
    // bite of the clock (more of it just before a time control).
    const double phanToiDa = std::clamp(1.2 / soNuoc, 0.2, 0.9);
    n.msCung = std::min(phan * 4.0, std::max(coTheDung, conLai * 0.5) * phanToiDa);
    if (d.soNuocToiKiem == 1) n.msCung = std::min(conLai * 0.9, std::max(coTheDung, n.msCung));
    // Iterations started before the soft limit still run on past it, so it
    // stands below the share to spend the share on average.
    n.msMem = std::min(phan * 0.6, n.msCung);
    n.msCung = std::max(n.msCung, 1.0);
    n.msMem = std::max(n.msMem, 1.0);
    return n;
}

bool TheoDoi::dungSauVong(double msDaQua, uint32_t nuocTot, int32_t diem) {
    ++soVong_;
    doiGanDay_ *= 0.5;
    if (soVong_ > 1 && nuocTot != nuocTruoc_) {
        doiGanDay_ += 1.0;
        onDinh_ = 0;
    } else if (soVong_ > 1) {
        ++onDinh_;
    }
    nuocTruoc_ = nuocTot;
    // A fall of the score below the best of the last three iterations
    // (a slide counts, not only a sudden drop): something was found
    // against the move, and it takes time to answer.
    double roi = 0;
    if (soVong_ > 3)
        roi = std::clamp(static_cast<double>(std::max({diemTruoc_[0], diemTruoc_[1], diemTruoc_[2]}) - diem), 0.0,
                         150.0);
    diemTruoc_[2] = diemTruoc_[1];
    diemTruoc_[1] = diemTruoc_[0];
    diemTruoc_[0] = diem;
    const double heSoDoi = 1.0 + 0.7 * doiGanDay_;
    const double heSoOnDinh = std::clamp(1.25 - 0.075 * onDinh_, 0.6, 1.25);
    const double heSoDiem = 1.0 + 0.8 * roi / 150.0;
    const double heSo = std::clamp(heSoDoi * heSoOnDinh * heSoDiem, 0.4, 3.0);
    memHienTai_ = std::min(ngan_.msMem * heSo, ngan_.msCung);
    return msDaQua >= memHienTai_;
}

}  // namespace quanLyThoiGian
