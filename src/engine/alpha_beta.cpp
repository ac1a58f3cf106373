// The tree below the root: negamax alpha-beta (fail-hard), quiescence and
// move ordering.
#include <algorithm>
#include <array>
#include <cstdint>

#include "danh_gia.h"
#include "tim_kiem.h"

namespace {

constexpr NuocDi KHONG_GOI_Y{-1, -1, -1, -1};

int oVuong(int hang, int cot) { return hang * BanCo::SO_COT + cot; }

int tangSatThu(int32_t tang) { return std::min(tang, TimKiem::SO_TANG_SAT_THU - 1); }

// The board generates pseudo-legal moves; a move may still leave the mover's
// general attacked, or (on a hand-built board) start from the wrong square.
bool nuocCuaPhe(const BanCo& ban, const NuocDi& n, Phe phe) {
    const QuanCo* q = ban.timQuan(n.hangDi, n.cotDi);
    return q != nullptr && q->phe == phe;
}

}  // namespace

TimKiem::BoChon& TimKiem::boChonTaiTang(int32_t tang) {
    while (dsTheoTang_.size() <= static_cast<size_t>(tang)) {
        dsTheoTang_.emplace_back().dsRieng.reserve(128);
    }
    BoChon& chon = dsTheoTang_[tang];
    chon.dsRieng.clear();
    return chon;
}

// Each move becomes one key: score, then its place in the list (earlier first
// among equal scores), then the move itself. Keys are distinct, so taking them
// from the highest down is exactly the stable sort by score.
bool TimKiem::BoChon::dongGoi(TimKiem& tk, const NuocDi& goiY, int32_t tang) {
    n = dsRieng.size();
    i = 0;
    if (n > 256) return false;
    const NuocDi* satThu = tk.nuocSatThu[tangSatThu(tang)];
    for (size_t j = 0; j < n; ++j) {
        const NuocDi& m = dsRieng[j];
        if ((static_cast<uint32_t>(m.hangDi | m.cotDi | m.hangDen | m.cotDen)) > 15) return false;
        khoa[j] = (static_cast<uint64_t>(static_cast<uint32_t>(tk.diemSapXep(m, goiY, satThu))) << 32) |
                  (static_cast<uint64_t>(255 - j) << 16) | (static_cast<uint64_t>(m.hangDi) << 12) |
                  (static_cast<uint64_t>(m.cotDi) << 8) | (static_cast<uint64_t>(m.hangDen) << 4) |
                  static_cast<uint64_t>(m.cotDen);
    }
    return true;
}

void TimKiem::BoChon::batDau(TimKiem& tk, const NuocDi& goiY, int32_t tang) {
    daDongGoi = dongGoi(tk, goiY, tang);
    if (daDongGoi) return;
    tk.sapXepNuocDi(dsRieng, goiY, tang);
    n = dsRieng.size();
    i = 0;
}

bool TimKiem::BoChon::tiep(NuocDi& ra) {
    if (i >= n) return false;
    if (!daDongGoi) {
        ra = dsRieng[i++];
        return true;
    }
    // Most nodes that cut off do so within their first few moves: pick those
    // one at a time, and sort the rest only when the node gets that far.
    constexpr size_t SO_CHON_TUNG_NUOC = 3;
    if (i < SO_CHON_TUNG_NUOC) {
        size_t tot = i;
        for (size_t j = i + 1; j < n; ++j)
            if (khoa[j] > khoa[tot]) tot = j;
        std::swap(khoa[i], khoa[tot]);
    } else if (i == SO_CHON_TUNG_NUOC) {
        for (size_t a = i + 1; a < n; ++a) {
            const uint64_t k = khoa[a];
            size_t j = a;
            for (; j > i && khoa[j - 1] < k; --j) khoa[j] = khoa[j - 1];
            khoa[j] = k;
        }
    }
    const uint64_t k = khoa[i++];
    ra = NuocDi{int32_t((k >> 12) & 15), int32_t((k >> 8) & 15), int32_t((k >> 4) & 15), int32_t(k & 15)};
    return true;
}

int32_t TimKiem::luongGia() const {
    if (!danhGiaTangDan_) return DanhGia::luongGia(*banCo, pheDangDi);
    // The same sum as DanhGia::luongGia, kept up to date by the moves.
    const int ta = pheDangDi == DO ? 0 : 1;
    const int32_t taThieu = std::max(0, 4 - phongThu_[ta]);
    const int32_t dichThieu = std::max(0, 4 - phongThu_[1 - ta]);
    return (ta == 0 ? diemDo_ : -diemDo_) + 12 * (dichThieu - taThieu);
}

bool TimKiem::hetThoiGian() const {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - thoiDiemBatDau);
    return static_cast<double>(ns.count()) / 1000000.0 >= thoiGianToiDa;
}

// Counts the node; false when the search must stop. The clock is read only
// every 1024 nodes.
bool TimKiem::demNut() {
    if (dungLai) return false;
    ++soNut;
    if (soNut % 1024 == 0 && hetThoiGian()) {
        dungLai = true;
        return false;
    }
    return true;
}

bool TimKiem::laLapLai() const {
    if (lichSuKhoa.size() < 2) return false;
    // The last key is the current position itself.
    for (size_t i = 0; i + 1 < lichSuKhoa.size(); ++i)
        if (lichSuKhoa[i] == khoaHienTai) return true;
    return false;
}

void TimKiem::ghiNhanNuocCat(const NuocDi& nuoc, int32_t doSau, int32_t tang) {
    NuocDi* satThu = nuocSatThu[tangSatThu(tang)];
    if (!(nuoc == satThu[0])) {
        satThu[1] = satThu[0];
        satThu[0] = nuoc;
    }
    // Saturates instead of overflowing: a search left running for hours at a
    // great depth could otherwise push a score past the int32 range.
    int32_t& diem = diemLichSu[pheDangDi][oVuong(nuoc.hangDi, nuoc.cotDi)][oVuong(nuoc.hangDen, nuoc.cotDen)];
    const int64_t moi = int64_t{diem} + int64_t{doSau} * doSau;
    diem = static_cast<int32_t>(std::min<int64_t>(moi, INT32_MAX));
}

// Makes a move of the side to move; false, with nothing changed, when the
// move is not the side's own or leaves its general attacked.
bool TimKiem::diThu(const NuocDi& n, bool biChieuNay, int32_t tang) {
    if (!nuocCuaPhe(*banCo, n, pheDangDi)) return false;
    const Phe nguoiDi = pheDangDi;
    // Out of check, most moves cannot expose the own general: no test needed.
    const bool canThuChieu = biChieuNay || !banCo->nuocChacChanAnToan(n, nguoiDi);
    // Below the root the side that just moved here is never in check, so the
    // child's in-check test can be settled from the move alone.
    ghiGoiYChieu(tang + 1, !banCo->nuocCoTheChieu(n, nguoiDi));
    apDungNuoc(n, khoaHienTai);
    if (canThuChieu && banCo->biChieu(nguoiDi)) {
        boNuocDi(n, khoaHienTai);
        return false;
    }
    return true;
}

int32_t TimKiem::alphaBeta(int32_t doSau, int32_t alpha, int32_t beta, int32_t tang) {
    if (!demNut()) return 0;

    NuocDi goiY = KHONG_GOI_Y;
    int32_t diemTT = 0, kieuTT = KIEU_TRONG;
    NuocDi nuocTT;
    if (docTT(khoaHienTai, doSau, diemTT, kieuTT, nuocTT, tang)) {
        if (kieuTT == KIEU_CHINH_XAC) return diemTT;
        if (kieuTT == KIEU_CAN_DUOI && diemTT >= beta) return diemTT;
        if (kieuTT == KIEU_CAN_TREN && diemTT <= alpha) return diemTT;
        goiY = nuocTT;
    }
    if (laLapLai()) return 0;
    if (doSau <= 0) return dungQuiescence ? quiescence(alpha, beta, tang) : luongGia();

    BoChon& chon = boChonTaiTang(tang);
    banCo->sinhNuocDi(pheDangDi, chon.dsRieng);
    if (chon.dsRieng.empty()) return tang - DIEM_CHIEU_HET;
    chon.batDau(*this, goiY, tang);
    const bool biChieuNay = dangBiChieu(tang);

    const int32_t alphaGoc = alpha;
    int32_t diemTot = -VO_CUC;
    NuocDi nuocTot{0, 0, 0, 0};
    bool coNuocHopLe = false;
    for (NuocDi n; chon.tiep(n);) {
        const bool laNuocAn = banCo->coQuanTai(n.hangDen, n.cotDen);
        if (!diThu(n, biChieuNay, tang)) continue;
        const int32_t diem = -alphaBeta(doSau - 1, -beta, -alpha, tang + 1);
        boNuocDi(n, khoaHienTai);
        if (dungLai) return 0;
        if (diem > diemTot) {
            diemTot = diem;
            nuocTot = n;
        }
        alpha = std::max(alpha, diem);
        coNuocHopLe = true;
        if (alpha >= beta) {
            if (!laNuocAn) ghiNhanNuocCat(n, doSau, tang);
            ghiTT(khoaHienTai, doSau, alpha, KIEU_CAN_DUOI, nuocTot, tang);
            return alpha;
        }
    }
    // No legal move loses, in check or not.
    if (!coNuocHopLe) return tang - DIEM_CHIEU_HET;
    ghiTT(khoaHienTai, doSau, alpha, alpha > alphaGoc ? KIEU_CHINH_XAC : KIEU_CAN_TREN, nuocTot, tang);
    return alpha;
}

int32_t TimKiem::quiescence(int32_t alpha, int32_t beta, int32_t tang) {
    if (!demNut()) return 0;
    // Only an endless chain of checks and evasions gets this far; see TANG_TOI_DA.
    if (tang >= TANG_TOI_DA) return luongGia();

    const bool biChieuNay = dangBiChieu(tang);
    if (!biChieuNay) {
        const int32_t dungYen = luongGia();
        alpha = std::max(alpha, dungYen);
        if (dungYen >= beta) return dungYen;
    }

    // Out of check only captures are searched; in check every evasion is.
    BoChon& chon = boChonTaiTang(tang);
    if (biChieuNay) banCo->sinhNuocDi(pheDangDi, chon.dsRieng);
    else banCo->sinhNuocAn(pheDangDi, chon.dsRieng);
    chon.batDau(*this, KHONG_GOI_Y, tang);

    bool coNuocHopLe = false;
    for (NuocDi n; chon.tiep(n);) {
        if (!diThu(n, biChieuNay, tang)) continue;
        const int32_t diem = -quiescence(-beta, -alpha, tang + 1);
        boNuocDi(n, khoaHienTai);
        if (dungLai) return 0;
        alpha = std::max(alpha, diem);
        coNuocHopLe = true;
        if (alpha >= beta) break;
    }
    if (biChieuNay && !coNuocHopLe) return tang - DIEM_CHIEU_HET;
    return alpha;
}

int32_t TimKiem::diemSapXep(const NuocDi& n, const NuocDi& goiY, const NuocDi* satThu) const {
    // Piece values for ordering (the pieces' giaTri), by kind code.
    static constexpr int32_t GIA_TRI[7] = {900, 450, 400, 200, 200, 10000, 100};
    if (goiY.hangDi >= 0 && n == goiY) return 10000000;
    const int maDi = banCo->maQuan(n.hangDi, n.cotDi);
    const int maAn = banCo->maQuan(n.hangDen, n.cotDen);
    if (maAn >= 0) return 1000000 + 16 * GIA_TRI[maAn & 7] - (maDi >= 0 ? GIA_TRI[maDi & 7] : 0);
    if (n == satThu[0]) return 900000;
    if (n == satThu[1]) return 890000;
    if (maDi >= 0) return diemLichSu[maDi >> 3][oVuong(n.hangDi, n.cotDi)][oVuong(n.hangDen, n.cotDen)];
    return 0;
}

void TimKiem::sapXepNuocDi(DanhSachNuoc& ds, const NuocDi& goiY, int32_t tang) const {
    const NuocDi* satThu = nuocSatThu[tangSatThu(tang)];
    auto diemSapXep = [&](const NuocDi& n) { return this->diemSapXep(n, goiY, satThu); };

    // A stable sort by score, highest first. Each score is packed with the
    // move's position (earlier moves win ties) into one 64-bit key; sorting
    // these distinct keys gives exactly the stable order. Lists are short and
    // mostly in order already, so an insertion sort does least work.
    const size_t n = ds.size();
    if (n > 256) {
        std::vector<std::pair<int32_t, NuocDi>> muc;
        for (const NuocDi& m : ds) muc.emplace_back(diemSapXep(m), m);
        std::stable_sort(muc.begin(), muc.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (size_t i = 0; i < n; ++i) ds[i] = muc[i].second;
        return;
    }
    uint64_t khoa[256];
    for (size_t i = 0; i < n; ++i) {
        const uint64_t k = (static_cast<uint64_t>(static_cast<uint32_t>(diemSapXep(ds[i]))) << 8) | (255 - i);
        size_t j = i;
        for (; j > 0 && khoa[j - 1] < k; --j) khoa[j] = khoa[j - 1];
        khoa[j] = k;
    }
    banSaoSapXep_.assign(ds.begin(), ds.end());
    for (size_t i = 0; i < n; ++i) ds[i] = banSaoSapXep_[255 - (khoa[i] & 255)];
}
