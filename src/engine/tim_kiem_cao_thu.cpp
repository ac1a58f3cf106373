// The CAO_THU search: the root driver (iterative deepening, aspiration
// windows, the time budget, the choice among near-best moves), the tree
// (principal-variation search with its pruning and reductions), the capture
// search, move ordering and the transposition table.
#include "tim_kiem_cao_thu.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "nen_tang.h"
#include "quan_ly_thoi_gian.h"
#include "quan_co.h"
#include "zobrist.h"

namespace {

constexpr int KIEU_CHINH_XAC = 1, KIEU_CAN_DUOI = 2, KIEU_CAN_TREN = 3;

// Values for exchanges and ordering: the general's is only "more than all".
int giaTri(int ma) { return ma >= 0 ? GIA_TRI_QUAN[ma & 7] : 0; }

struct DsNuoc {
    static constexpr int TOI_DA = 256;
    NuocGon nuoc[TOI_DA];
    int32_t diem[TOI_DA];
    int n = 0;
    void them(int di, int den) {
        if (n < TOI_DA) nuoc[n++] = NuocGon(di, den);
    }
    // The best-scored move from place i on, brought to place i.
    NuocGon lay(int i) {
        int tot = i;
        for (int j = i + 1; j < n; ++j)
            if (diem[j] > diem[tot]) tot = j;
        std::swap(nuoc[i], nuoc[tot]);
        std::swap(diem[i], diem[tot]);
        return nuoc[i];
    }
};

constexpr int32_t DIEM_TT = 30000000, DIEM_AN_TOT = 20000000, DIEM_SAT_THU_0 = 19000000,
                  DIEM_SAT_THU_1 = 18900000, DIEM_DAP = 18800000, DIEM_AN_XAU = -20000000;
constexpr int32_t LICH_SU_TOI_DA = 16384;

void capNhatLichSu(int32_t& h, int32_t thuong) {
    // Pulled towards the bound, so old successes fade as new ones come.
    h += thuong - h * std::abs(thuong) / LICH_SU_TOI_DA;
}

}  // namespace

// ---- Budget -----------------------------------------------------------------

TimKiemCaoThu::GioiHan TimKiemCaoThu::gioiHanTheoDongHo(double giayConLai, double giayTang) {
    GioiHan g;
    if (giayConLai < 0) {
        g.msCung = 2500;
        g.msMem = 1400;
        return g;
    }
    // The game's clock has no moves-to-go. Its increment comes back after
    // each move, so the time manager may spend most of it now, but never
    // past half of what the clock shows.
    quanLyThoiGian::DongHo d;
    d.msConLai = giayConLai * 1000.0;
    d.msTang = std::max(0.0, giayTang) * 1000.0;
    d.msTre = 50;
    const quanLyThoiGian::NganSach n = quanLyThoiGian::tinh(d);
    g.msCung = std::min({10000.0, n.msCung, std::max(1.0, d.msConLai / 2.0)});
    g.msMem = std::min({4000.0, n.msMem, g.msCung});
    g.coGian = true;
    return g;
}

// ---- Table ------------------------------------------------------------------

void TimKiemCaoThu::datThamSo(const ThamSo& t) {
    thamSo_ = t;
    // Late-move reductions by depth and by how many moves came before.
    for (int d = 0; d < 64; ++d)
        for (int m = 0; m < 64; ++m)
            giam_[d][m] = d == 0 || m == 0 ? 0
                                           : static_cast<int8_t>(0.7 + std::log(d) * std::log(m) * 100.0 / t.chiaGiam);
}

TimKiemCaoThu::TimKiemCaoThu() {
    datThamSo(ThamSo{});
    for (auto& s : satThu_) s[0] = s[1] = NuocGon{};
    for (auto& a : nuocDap_)
        for (auto& n : a) n = NuocGon{};
}
TimKiemCaoThu::~TimKiemCaoThu() = default;

void TimKiemCaoThu::TraBang::operator()(MucTT* p) const { nenTang::traBangLon(p); }

void TimKiemCaoThu::capBang() {
    if (bang_) return;
    void* p = nenTang::capBangLon(soNhom_ * SO_MUC_MOI_NHOM * sizeof(MucTT));
    if (p == nullptr) throw std::bad_alloc();
    bang_.reset(static_cast<MucTT*>(p));
    std::uninitialized_value_construct_n(bang_.get(), soNhom_ * SO_MUC_MOI_NHOM);
}

void TimKiemCaoThu::xoa() {
    if (bang_) std::fill_n(bang_.get(), soNhom_ * SO_MUC_MOI_NHOM, MucTT{});
    std::memset(lichSuDiem_, 0, sizeof lichSuDiem_);
    std::fill_n(lichSuTiep_.get(), SO_O_TIEP, 0);
    for (auto& s : satThu_) s[0] = s[1] = NuocGon{};
    for (auto& a : nuocDap_)
        for (auto& n : a) n = NuocGon{};
}

void TimKiemCaoThu::datCoBang(size_t mib) {
    const size_t nhomMoiMiB = (size_t{1} << 20) / (SO_MUC_MOI_NHOM * sizeof(MucTT));
    size_t soNhom = nhomMoiMiB;
    while (soNhom * 2 <= std::max<size_t>(mib, 1) * nhomMoiMiB) soNhom *= 2;
    if (soNhom == soNhom_) return;
    bang_.reset();
    soNhom_ = soNhom;
}

TimKiemCaoThu::MucTT* TimKiemCaoThu::doTT(uint64_t khoa, bool& thay) {
    MucTT* nhom = &bang_[(khoa & (soNhom_ - 1)) * SO_MUC_MOI_NHOM];
    for (size_t i = 0; i < SO_MUC_MOI_NHOM; ++i)
        if (nhom[i].khoa == khoa && (nhom[i].kieuTuoi & 3) != 0) {
            thay = true;
            return &nhom[i];
        }
    thay = false;
    return nullptr;
}

void TimKiemCaoThu::ghiTT(uint64_t khoa, int doSau, int diem, int kieu, NuocGon nuoc, int danhGia, int tang) {
    MucTT* nhom = &bang_[(khoa & (soNhom_ - 1)) * SO_MUC_MOI_NHOM];
    MucTT* chon = nullptr;
    int giaTriChon = INT_MAX;
    for (size_t i = 0; i < SO_MUC_MOI_NHOM; ++i) {
        MucTT& e = nhom[i];
        if (e.khoa == khoa || (e.kieuTuoi & 3) == 0) {
            chon = &e;
            break;
        }
        // The shallowest entry goes first; one from an earlier search counts as shallower.
        const int tuoi = (tuoi_ - (e.kieuTuoi >> 2)) & 63;
        const int g = e.doSau - 8 * tuoi;
        if (g < giaTriChon) {
            giaTriChon = g;
            chon = &e;
        }
    }
    if (chon->khoa == khoa && (chon->kieuTuoi & 3) != 0) {
        // A deeper result of the same position stays unless this one is exact.
        if (kieu != KIEU_CHINH_XAC && chon->doSau > doSau + 2 && (chon->kieuTuoi >> 2) == tuoi_) return;
        if (nuoc.goi == 0) nuoc.goi = chon->nuoc;
    }
    if (diem > NGUONG_CHIEU_HET) diem += tang;
    else if (diem < -NGUONG_CHIEU_HET) diem -= tang;
    chon->khoa = khoa;
    chon->nuoc = nuoc.goi;
    chon->diem = static_cast<int16_t>(diem);
    chon->danhGia = static_cast<int16_t>(std::clamp(danhGia, -VO_CUC, VO_CUC));
    chon->doSau = static_cast<int8_t>(std::clamp(doSau, 0, 127));
    chon->kieuTuoi = static_cast<uint8_t>(kieu | (tuoi_ << 2));
}

// ---- The line -----------------------------------------------------------------

void TimKiemCaoThu::lamNuoc(NuocGon n, TruocNuoc& t) {
    t.khoa = khoa_;
    t.tong = tong_;
    t.batDauLap = batDauLap_;
    const BangZobrist& z = bangZobrist();
    const int maDi = ban_.ma(n.di()), maAn = ban_.ma(n.den());
    const int di = nuocGon::o90(n.di()), den = nuocGon::o90(n.den());
    khoa_ ^= z.quan[maDi >> 3][maDi & 7][di] ^ z.quan[maDi >> 3][maDi & 7][den] ^ z.luot;
    tong_.them(maDi, di, -1);
    tong_.them(maDi, den, +1);
    if (maAn >= 0) {
        khoa_ ^= z.quan[maAn >> 3][maAn & 7][den];
        tong_.them(maAn, den, -1);
    }
    t.an = ban_.di(n);
    luot_ = pheDoiPhuong(luot_);
    lichSu_.push_back(khoa_);
    nuocLichSu_.push_back(n);
    ++loc_[oLoc(khoa_)];
    // No position before a capture can come back.
    if (maAn >= 0) batDauLap_ = lichSu_.size() - 1;
}

bool TimKiemCaoThu::lamNuocHopLe(NuocGon n, bool biChieu, TruocNuoc& t) {
    // Only a move that could expose the general (or any move out of check)
    // needs the test after it is made.
    const bool canThu = biChieu || !ban_.nuocChacChanAnToan(n, luot_);
    lamNuoc(n, t);
    const Phe nguoiDi = pheDoiPhuong(luot_);
    if (canThu && (biChieu ? ban_.biChieu(nguoiDi) : ban_.loTuongSauNuoc(n, nguoiDi, t.an))) {
        luiNuoc(n, t);
        return false;
    }
    return true;
}

void TimKiemCaoThu::luiNuoc(NuocGon n, const TruocNuoc& t) {
    --loc_[oLoc(khoa_)];
    lichSu_.pop_back();
    nuocLichSu_.pop_back();
    ban_.lui(n, t.an);
    luot_ = pheDoiPhuong(luot_);
    khoa_ = t.khoa;
    tong_ = t.tong;
    batDauLap_ = t.batDauLap;
}

void TimKiemCaoThu::lamNuocRong(TruocNuoc& t) {
    t.khoa = khoa_;
    t.batDauLap = batDauLap_;
    khoa_ ^= bangZobrist().luot;
    luot_ = pheDoiPhuong(luot_);
    lichSu_.push_back(khoa_);
    nuocLichSu_.push_back(NuocGon{});
    ++loc_[oLoc(khoa_)];
    // A line through a passed move is no game: its repetitions do not count.
    batDauLap_ = lichSu_.size() - 1;
}

void TimKiemCaoThu::luiNuocRong(const TruocNuoc& t) {
    --loc_[oLoc(khoa_)];
    lichSu_.pop_back();
    nuocLichSu_.pop_back();
    luot_ = pheDoiPhuong(luot_);
    khoa_ = t.khoa;
    batDauLap_ = t.batDauLap;
}

bool TimKiemCaoThu::laLapLai() const {
    if (loc_[oLoc(khoa_)] < 2) return false;
    for (size_t i = batDauLap_; i + 1 < lichSu_.size(); ++i)
        if (lichSu_[i] == khoa_) return true;
    return false;
}

int32_t TimKiemCaoThu::diemLapLai(int tang) {
    const int32_t hoa = luot_ == pheGoc_ ? diemHoa_ : -diemHoa_;
    if (gioiHan_.luatLap != CHAU_A) return hoa;
    size_t dau = batDauLap_;
    while (dau + 1 < lichSu_.size() && lichSu_[dau] != khoa_) ++dau;
    // A cycle that began among the game's positions needs the game's moves.
    if (dau + 1 >= lichSu_.size() || (dau < soViTriTruoc_ && !coNuocTruoc_)) return hoa;
    const int8_t kq = phanXuChuKyTu(dau);
    if (kq <= 0) return hoa;
    const Phe benPham = static_cast<Phe>(kq - 1);
    return benPham == luot_ ? -(DIEM_CHIEU_HET - tang) : DIEM_CHIEU_HET - tang;
}

int8_t TimKiemCaoThu::phanXuChuKyTu(size_t dau) {
    // The cycle is known by its first position and its moves.
    uint64_t khoa = lichSu_[dau];
    for (size_t i = dau + 1; i < lichSu_.size(); ++i) khoa = (khoa ^ nuocLichSu_[i].goi) * 0x9E3779B97F4A7C15ULL + i - dau;
    if (phanQuyetDaCo_.empty()) phanQuyetDaCo_.resize(4096);
    PhanQuyetDaCo& o = phanQuyetDaCo_[khoa & (phanQuyetDaCo_.size() - 1)];
    if (o.ketQua >= 0 && o.khoa == khoa) return o.ketQua;

    // The position the cycle began in: the pieces walked back along its
    // moves, none of which captured.
    std::array<int, 90> ma{};
    for (int i = 0; i < 90; ++i) ma[i] = ban_.ma(nuocGon::BANG90.raOVien[i]);
    std::vector<NuocDi> chuKy;
    for (size_t i = lichSu_.size() - 1; i > dau; --i) {
        const NuocGon n = nuocLichSu_[i];
        const int di = nuocGon::o90(n.di()), den = nuocGon::o90(n.den());
        ma[di] = ma[den];
        ma[den] = -1;
        chuKy.push_back(nuocGon::raNuocDi(n));
    }
    std::reverse(chuKy.begin(), chuKy.end());
    BanCo ban;
    ban.xoaHetQuan();
    for (int i = 0; i < 90; ++i)
        if (ma[i] >= 0) ban.themQuan(taoQuan(ma[i] & 7, i / 9, i % 9, static_cast<Phe>(ma[i] >> 3)));
    const PhanQuyetLap pq = phanXuChuKy(ban, luot_, chuKy);
    o.khoa = khoa;
    o.ketQua = pq.coBenThua() ? static_cast<int8_t>(1 + pq.benPham) : 0;
    return o.ketQua;
}

bool TimKiemCaoThu::chieuSau(NuocGon n, bool coTheChieu) const {
    return coTheChieu && ban_.chieuSauNuoc(n, luot_);
}

// ---- Ordering -------------------------------------------------------------------

// The material the side making capture n wins or loses when both sides go on
// taking on its destination, cheapest piece first, each free to stop.
int TimKiemCaoThu::see(NuocGon n) {
    const int den = n.den();
    int gain[40];
    NuocGon nuoc[40];
    int an[40];
    int k = 0, d = 0;
    gain[0] = giaTri(ban_.ma(den));
    int giaDangDung = giaTri(ban_.ma(n.di()));
    Phe phe = Phe(ban_.ma(n.di()) >> 3);
    nuoc[k] = n;
    an[k++] = ban_.di(n);
    // Most captures are answered by nothing: no exchange to play out.
    if (!ban_.biTanCongO(den, phe)) {
        ban_.lui(n, an[0]);
        return gain[0];
    }
    while (k < 38) {
        phe = pheDoiPhuong(phe);
        int tot = -1, giaTot = INT_MAX;
        auto tim = [&](int tu, int toi, int) {
            if (toi != den) return;
            const int g = giaTri(ban_.ma(tu));
            if (g < giaTot) {
                giaTot = g;
                tot = tu;
            }
        };
        ban_.sinhNuocAnTheoLoai(phe, tim);
        if (tot < 0) break;
        ++d;
        gain[d] = giaDangDung - gain[d - 1];
        if (std::max(-gain[d - 1], gain[d]) < 0) break;
        giaDangDung = giaTot;
        nuoc[k] = NuocGon(tot, den);
        an[k] = ban_.di(nuoc[k]);
        ++k;
    }
    while (k > 0) {
        --k;
        ban_.lui(nuoc[k], an[k]);
    }
    for (; d > 0; --d) gain[d - 1] = -std::max(-gain[d - 1], gain[d]);
    return gain[0];
}

// ---- Time -------------------------------------------------------------------------

double TimKiemCaoThu::msDaQua() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - batDau_).count();
}

void TimKiemCaoThu::kiemTraDung() {
    // The first iteration always ends (it takes a few hundred nodes): a move
    // chosen before it would be anyone's guess.
    if (daXongMotVong_ && gioiHan_.msCung > 0 && msDaQua() >= gioiHan_.msCung) dung_ = true;
    if (gioiHan_.soNut > 0 && soNut_ >= gioiHan_.soNut) dung_ = true;
    if (gioiHan_.dungNgoai != nullptr && gioiHan_.dungNgoai->load(std::memory_order_relaxed)) dung_ = true;
    if (gioiHan_.hanChotNgoai != nullptr &&
        std::chrono::steady_clock::now().time_since_epoch().count() >= gioiHan_.hanChotNgoai->load(std::memory_order_relaxed))
        dung_ = true;
}

// ---- The tree ---------------------------------------------------------------------

int32_t TimKiemCaoThu::pvs(int alpha, int beta, int doSau, int tang, bool biChieu, bool choNull) {
    if (doSau <= 0) return tinhLang(alpha, beta, tang, biChieu);
    const bool laPV = beta - alpha > 1;
    // The game's rule before anything the table remembers: a return to an
    // earlier position is a draw, however deep an entry says otherwise.
    if (laLapLai()) return diemLapLai(tang);
    alpha = std::max(alpha, -DIEM_CHIEU_HET + tang);
    beta = std::min(beta, DIEM_CHIEU_HET - tang - 1);
    if (alpha >= beta) return alpha;
    if (tang >= TANG_TOI_DA) return danhGia();
    if ((++soNut_ & 1023) == 0) kiemTraDung();
    if (dung_) return 0;
    doSauChon_ = std::max(doSauChon_, tang);

    bool thay = false;
    MucTT* e = doTT(khoa_, thay);
    NuocGon nuocTT{};
    int32_t tinh = 0;
    if (thay) {
        nuocTT.goi = e->nuoc;
        int d = e->diem;
        if (d > NGUONG_CHIEU_HET) d -= tang;
        else if (d < -NGUONG_CHIEU_HET) d += tang;
        const int kieu = e->kieuTuoi & 3;
        if (!laPV && e->doSau >= doSau &&
            (kieu == KIEU_CHINH_XAC || (kieu == KIEU_CAN_DUOI && d >= beta) || (kieu == KIEU_CAN_TREN && d <= alpha)))
            return d;
        tinh = e->danhGia;
    } else if (!biChieu) {
        tinh = danhGia();
    }

    // Improving: the static score is above the one two plies up (four,
    // when that one was in check; unknown near the root counts as improving).
    tinhTang_[tang] = biChieu ? KHONG_TINH : tinh;
    bool tienBo = true;
    if (biChieu) tienBo = false;
    else if (tang >= 2 && tinhTang_[tang - 2] != KHONG_TINH) tienBo = tinh > tinhTang_[tang - 2];
    else if (tang >= 4 && tinhTang_[tang - 4] != KHONG_TINH) tienBo = tinh > tinhTang_[tang - 4];

    const bool gioiHanThuong = std::abs(beta) < NGUONG_CHIEU_HET;
    if (!laPV && !biChieu && gioiHanThuong) {
        // Far above beta near the horizon: the opponent will not allow this.
        if (doSau <= 5 && tinh - thamSo_.bienTuongLai * (doSau - (tienBo ? 1 : 0)) >= beta) return tinh;
        // Passing still holds beta: a real move would hold it too. Not with
        // too little attacking material, where having to move can be the loss.
        if (choNull && thamSo_.nuocRong && doSau >= 2 && tinh >= beta && tong_.tanCong[luot_] >= 6) {
            const int r = 3 + doSau / 4 + std::min(3, (tinh - beta) / 200);
            TruocNuoc t;
            lamNuocRong(t);
            nuocVao_[tang + 1] = NuocGon{};
            maVao_[tang + 1] = -1;
            int v = -pvs(-beta, -beta + 1, doSau - 1 - r, tang + 1, false, false);
            luiNuocRong(t);
            if (dung_) return 0;
            if (v >= beta) {
                if (v >= NGUONG_CHIEU_HET) v = beta;
                // Deep down, confirm with a real search at the reduced depth.
                if (doSau < 10) return v;
                const int xacNhan = pvs(beta - 1, beta, doSau - 1 - r, tang, false, false);
                if (dung_) return 0;
                if (xacNhan >= beta) return v;
            }
        }
        // Hopelessly below alpha: only captures could save it.
        if (doSau <= 2 && tinh + 250 * doSau <= alpha) {
            const int v = tinhLang(alpha, alpha + 1, tang, false);
            if (v <= alpha) return v;
        }
    }
    // No move from the table: this node was not searched before, so a
    // shallower search is cheaper and ordered as well.
    if (nuocTT.goi == 0 && doSau >= 4) --doSau;

    DsNuoc ds;
    auto them = [&ds](int di, int den) { ds.them(di, den); };
    ban_.sinhNuocDi<false>(luot_, them);
    const NuocGon st0 = satThu_[tang][0], st1 = satThu_[tang][1];
    const NuocGon dap = maVao_[tang] >= 0 ? nuocDap_[maVao_[tang]][nuocGon::o90(nuocVao_[tang].den())] : NuocGon{};
    int32_t* const lsTiep = tiep(tang);
    for (int i = 0; i < ds.n; ++i) {
        const NuocGon n = ds.nuoc[i];
        const int maDi = ban_.ma(n.di()), maAn = ban_.ma(n.den());
        int32_t s;
        if (n == nuocTT) s = DIEM_TT;
        else if (maAn >= 0) {
            const int v = giaTri(maAn), a = giaTri(maDi);
            const int doi = a <= v ? v - a : see(n);
            s = (doi >= 0 ? DIEM_AN_TOT : DIEM_AN_XAU) + 16 * v - a / 16;
        } else if (n == st0) s = DIEM_SAT_THU_0;
        else if (n == st1) s = DIEM_SAT_THU_1;
        else if (n == dap) s = DIEM_DAP;
        else {
            const int o = nuocGon::o90(n.den());
            s = lichSuDiem_[maDi][o] + (lsTiep ? lsTiep[maDi * 90 + o] : 0);
        }
        ds.diem[i] = s;
    }

    const int alphaGoc = alpha;
    int32_t tot = -VO_CUC;
    NuocGon nuocTot{};
    int daThu = 0;
    NuocGon yenDaThu[64];
    int maYen[64];
    int soYen = 0;
    for (int i = 0; i < ds.n; ++i) {
        const NuocGon n = ds.lay(i);
        const int32_t diemXep = ds.diem[i];
        const int maDi = ban_.ma(n.di()), maAn = ban_.ma(n.den());
        const bool laAn = maAn >= 0;
        const bool coTheChieu = ban_.nuocCoTheChieu(n, luot_);
        const bool dacBiet = diemXep >= DIEM_DAP;  // table move, good capture, killer, counter
        if (tang > 0 && !biChieu && daThu > 0 && tot > -NGUONG_CHIEU_HET) {
            if (!laAn && !coTheChieu && !dacBiet) {
                // Late quiet moves near the horizon: most never matter.
                const int soCat = (laPV ? 5 : 3) + doSau * doSau;
                if (doSau <= 4 && daThu >= (tienBo ? soCat : soCat / 2 + 1)) continue;
                if (doSau <= 3 && tinh + 90 + 110 * doSau <= alpha) continue;
                if (doSau <= 2 && diemXep < -2000 * doSau) continue;
            }
            if (laAn && diemXep < 0 && doSau <= 4 && see(n) < -120 * doSau) continue;
        }
        // A check that only gives the piece away is not worth a deeper look.
        const bool chieuDangMoRong = coTheChieu && (thamSo_.moRongChieu == 1 || (thamSo_.moRongChieu == 2 && (laPV || see(n) >= 0)));
        TruocNuoc t;
        if (!lamNuocHopLe(n, biChieu, t)) continue;
        const bool chieu = chieuSau(n, coTheChieu);
        ++daThu;
        const int dSau = doSau - 1 + (chieu && chieuDangMoRong ? 1 : 0);
        nuocVao_[tang + 1] = n;
        maVao_[tang + 1] = maDi;
        int v;
        if (daThu == 1) {
            v = -pvs(-beta, -alpha, dSau, tang + 1, chieu, true);
        } else {
            int r = 0;
            if (doSau >= 3 && !laAn && !chieu && !biChieu) {
                r = giam_[std::min(doSau, 63)][std::min(daThu, 63)];
                if (laPV) --r;
                if (dacBiet) --r;
                if (!tienBo) ++r;
                if (diemXep < DIEM_DAP) r -= std::clamp(diemXep / 6000, -2, 2);
                r = std::clamp(r, 0, dSau - 1);
            }
            v = -pvs(-alpha - 1, -alpha, dSau - r, tang + 1, chieu, true);
            if (v > alpha && r > 0) v = -pvs(-alpha - 1, -alpha, dSau, tang + 1, chieu, true);
            if (v > alpha && v < beta) v = -pvs(-beta, -alpha, dSau, tang + 1, chieu, true);
        }
        luiNuoc(n, t);
        if (dung_) return 0;
        if (v > tot) {
            tot = v;
            if (v > alpha) {
                nuocTot = n;
                alpha = v;
                if (v >= beta) {
                    if (!laAn) {
                        if (!(satThu_[tang][0] == n)) {
                            satThu_[tang][1] = satThu_[tang][0];
                            satThu_[tang][0] = n;
                        }
                        if (maVao_[tang] >= 0) nuocDap_[maVao_[tang]][nuocGon::o90(nuocVao_[tang].den())] = n;
                        const int32_t thuong = std::min(doSau * doSau, 400);
                        capNhatLichSu(lichSuDiem_[maDi][nuocGon::o90(n.den())], thuong);
                        for (int j = 0; j < soYen; ++j)
                            capNhatLichSu(lichSuDiem_[maYen[j]][nuocGon::o90(yenDaThu[j].den())], -thuong);
                        if (lsTiep) {
                            capNhatLichSu(lsTiep[maDi * 90 + nuocGon::o90(n.den())], thuong);
                            for (int j = 0; j < soYen; ++j)
                                capNhatLichSu(lsTiep[maYen[j] * 90 + nuocGon::o90(yenDaThu[j].den())], -thuong);
                        }
                    }
                    ghiTT(khoa_, doSau, v, KIEU_CAN_DUOI, n, tinh, tang);
                    return v;
                }
            }
        }
        if (!laAn && soYen < 64) {
            yenDaThu[soYen] = n;
            maYen[soYen++] = maDi;
        }
    }
    // No legal move loses, in check or not.
    if (daThu == 0) return -DIEM_CHIEU_HET + tang;
    ghiTT(khoa_, doSau, tot, alpha > alphaGoc ? KIEU_CHINH_XAC : KIEU_CAN_TREN, nuocTot, tinh, tang);
    return tot;
}

int32_t TimKiemCaoThu::tinhLang(int alpha, int beta, int tang, bool biChieu) {
    if ((++soNut_ & 1023) == 0) kiemTraDung();
    if (dung_) return 0;
    doSauChon_ = std::max(doSauChon_, tang);
    if (tang >= TANG_TOI_DA) return danhGia();
    // The table answers here too (any depth will do), and keeps what this
    // search finds for the next visit; a line of the main window is searched.
    const bool laPV = beta - alpha > 1;
    bool thay = false;
    const MucTT* e = doTT(khoa_, thay);
    NuocGon nuocTT{};
    if (thay) {
        nuocTT.goi = e->nuoc;
        int d = e->diem;
        if (d > NGUONG_CHIEU_HET) d -= tang;
        else if (d < -NGUONG_CHIEU_HET) d += tang;
        const int kieu = e->kieuTuoi & 3;
        if (!laPV &&
            (kieu == KIEU_CHINH_XAC || (kieu == KIEU_CAN_DUOI && d >= beta) || (kieu == KIEU_CAN_TREN && d <= alpha)))
            return d;
    }
    const int alphaGoc = alpha;
    int32_t tot = -VO_CUC;
    int32_t tinh = 0;
    if (!biChieu) {
        // Far above beta on material alone: the finer terms will not bring it back.
        if (thamSo_.bienLuoi > 0) {
            const int32_t tho = DanhGiaCaoThu::danhGiaTho(tong_, luot_, thamSo_.trongSo);
            if (tho - thamSo_.bienLuoi >= beta) return tho;
        }
        tinh = tot = thay ? e->danhGia : danhGia();
        if (tot >= beta) {
            if (!thay) ghiTT(khoa_, 0, tot, KIEU_CAN_DUOI, NuocGon{}, tinh, tang);
            return tot;
        }
        alpha = std::max(alpha, tot);
    }
    DsNuoc ds;
    auto them = [&ds](int di, int den) { ds.them(di, den); };
    if (biChieu) ban_.sinhNuocDi<false>(luot_, them);
    else ban_.sinhNuocDi<true>(luot_, them);
    for (int i = 0; i < ds.n; ++i) {
        const NuocGon n = ds.nuoc[i];
        const int maAn = ban_.ma(n.den());
        ds.diem[i] = n == nuocTT ? DIEM_TT
                     : maAn >= 0 ? DIEM_AN_TOT + 16 * giaTri(maAn) - giaTri(ban_.ma(n.di())) / 16
                                 : lichSuDiem_[ban_.ma(n.di())][nuocGon::o90(n.den())];
    }
    bool coNuoc = false;
    NuocGon nuocTot{};
    for (int i = 0; i < ds.n; ++i) {
        const NuocGon n = ds.lay(i);
        const int maAn = ban_.ma(n.den());
        if (!biChieu) {
            const int v = giaTri(maAn);
            // A capture that cannot lift the score to alpha, or loses material.
            if ((maAn & 7) != LOAI_TUONG && tot + v + 150 <= alpha) continue;
            if (giaTri(ban_.ma(n.di())) > v && see(n) < 0) continue;
        }
        const bool coTheChieu = ban_.nuocCoTheChieu(n, luot_);
        TruocNuoc t;
        if (!lamNuocHopLe(n, biChieu, t)) continue;
        coNuoc = true;
        const bool chieu = chieuSau(n, coTheChieu);
        const int v = -tinhLang(-beta, -alpha, tang + 1, chieu);
        luiNuoc(n, t);
        if (dung_) return 0;
        if (v > tot) {
            tot = v;
            if (v > alpha) {
                alpha = v;
                nuocTot = n;
                if (v >= beta) break;
            }
        }
    }
    if (biChieu && !coNuoc) return -DIEM_CHIEU_HET + tang;
    // Never over what a real search left for this position.
    if (!thay || e->doSau <= 0)
        ghiTT(khoa_, 0, tot, tot >= beta ? KIEU_CAN_DUOI : alpha > alphaGoc ? KIEU_CHINH_XAC : KIEU_CAN_TREN, nuocTot,
              tinh, tang);
    return tot;
}

// ---- The root -------------------------------------------------------------------

std::vector<NuocDi> TimKiemCaoThu::layPV(NuocGon dau) {
    std::vector<NuocDi> pv;
    std::vector<std::pair<NuocGon, TruocNuoc>> daDi;
    NuocGon n = dau;
    while (n.goi != 0 && pv.size() < 64) {
        // Only a move the side to move really has, and that is legal.
        const int ma = ban_.ma(n.di());
        if (ma < 0 || (ma >> 3) != luot_) break;
        bool co = false;
        auto tim = [&](int di, int den) { co = co || NuocGon(di, den) == n; };
        ban_.sinhNuocDiCuaQuan(n.di(), luot_, tim);
        if (!co) break;
        TruocNuoc t;
        lamNuoc(n, t);
        if (ban_.biChieu(pheDoiPhuong(luot_)) || laLapLai()) {
            luiNuoc(n, t);
            break;
        }
        daDi.emplace_back(n, t);
        pv.push_back(nuocGon::raNuocDi(n));
        bool thay = false;
        const MucTT* e = doTT(khoa_, thay);
        n.goi = thay ? e->nuoc : 0;
    }
    for (auto it = daDi.rbegin(); it != daDi.rend(); ++it) luiNuoc(it->first, it->second);
    return pv;
}

TimKiemCaoThu::KetQua TimKiemCaoThu::tim(const BanCo& banCo, Phe phe, std::span<const uint64_t> viTriTruoc,
                                         const GioiHan& gioiHan) {
    gioiHan_ = gioiHan;
    soNut_ = 0;
    dung_ = false;
    daXongMotVong_ = false;
    doSauChon_ = 0;
    KetQua kq;
    if (!ban_.napTu(banCo)) return kq;
    // The table is made before the clock starts: on a busy system the first
    // touch of its pages can take a while, and no search should pay for it.
    capBang();
    batDau_ = std::chrono::steady_clock::now();
    tuoi_ = static_cast<uint8_t>((tuoi_ + 1) & 63);
    tong_ = DanhGiaCaoThu::tinhTong(ban_);
    luot_ = pheGoc_ = phe;
    const BangZobrist& z = bangZobrist();
    khoa_ = phe == DEN ? z.luot : 0;
    for (int o = 0; o < 90; ++o) {
        const int ma = ban_.ma(nuocGon::BANG90.raOVien[o]);
        if (ma >= 0) khoa_ ^= z.quan[ma >> 3][ma & 7][o];
    }
    lichSu_.assign(viTriTruoc.begin(), viTriTruoc.end());
    lichSu_.push_back(khoa_);
    soViTriTruoc_ = viTriTruoc.size();
    coNuocTruoc_ = gioiHan.nuocTruoc.size() == viTriTruoc.size();
    nuocLichSu_.assign(lichSu_.size(), NuocGon{});
    if (coNuocTruoc_)
        for (size_t i = 0; i < viTriTruoc.size(); ++i) nuocLichSu_[i + 1] = nuocGon::tuNuocDi(gioiHan.nuocTruoc[i]);
    batDauLap_ = 0;
    loc_.fill(0);
    for (const uint64_t k : lichSu_) ++loc_[oLoc(k)];
    for (auto& s : satThu_) s[0] = s[1] = NuocGon{};
    for (auto& a : lichSuDiem_)
        for (auto& h : a) h /= 2;
    nuocVao_[0] = NuocGon{};
    maVao_[0] = -1;

    // The legal moves, the table's first, then captures by value.
    struct MucGoc { NuocGon n; int32_t xep; };
    std::vector<MucGoc> goc;
    {
        bool thay = false;
        const MucTT* e = doTT(khoa_, thay);
        NuocGon tt;
        tt.goi = thay ? e->nuoc : 0;
        DsNuoc ds;
        auto them = [&ds](int di, int den) { ds.them(di, den); };
        ban_.sinhNuocDi<false>(luot_, them);
        for (int i = 0; i < ds.n; ++i) {
            const NuocGon n = ds.nuoc[i];
            const int maAn = ban_.ma(n.den());
            const int32_t xep = n == tt ? DIEM_TT : maAn >= 0 ? DIEM_AN_TOT + 16 * giaTri(maAn) : 0;
            TruocNuoc t;
            lamNuoc(n, t);
            const bool hopLe = !ban_.biChieu(pheDoiPhuong(luot_));
            luiNuoc(n, t);
            if (hopLe) goc.push_back({n, xep});
        }
        std::stable_sort(goc.begin(), goc.end(), [](const MucGoc& a, const MucGoc& b) { return a.xep > b.xep; });
        if (!gioiHan.chiNuoc.empty())
            std::erase_if(goc, [&](const MucGoc& m) {
                return std::find(gioiHan.chiNuoc.begin(), gioiHan.chiNuoc.end(), nuocGon::raNuocDi(m.n)) ==
                       gioiHan.chiNuoc.end();
            });
    }
    if (goc.empty()) return kq;
    kq.coNuoc = true;
    kq.nuoc = nuocGon::raNuocDi(goc[0].n);
    if (goc.size() == 1 && !gioiHan.timCaNuocDuyNhat) {
        kq.diem = danhGia();
        kq.giay = msDaQua() / 1000.0;
        return kq;
    }
    // A draw is a little worse than a position we lead in.
    diemHoa_ = -std::clamp(danhGia() / 4, 0, 40);

    const int bien = gioiHan.bienDaDang;
    std::vector<std::pair<NuocGon, int32_t>> ungVien, ungVienXong;
    // One pass over the root moves from place `tu` on (the lines before it
    // are already known); the best found is brought to place `tu`.
    auto timGoc = [&](int d, int alpha, int beta, size_t tu) {
        int32_t tot = -VO_CUC;
        if (tu == 0) ungVien.clear();
        for (size_t i = tu; i < goc.size(); ++i) {
            const NuocGon n = goc[i].n;
            const int maDi = ban_.ma(n.di());
            const bool coTheChieu = ban_.nuocCoTheChieu(n, luot_);
            TruocNuoc t;
            lamNuoc(n, t);
            const bool chieu = chieuSau(n, coTheChieu);
            nuocVao_[1] = n;
            maVao_[1] = maDi;
            const int dSau = d - 1 + (chieu ? 1 : 0);
            int v = -VO_CUC;
            if (i == tu) {
                v = -pvs(-beta, -alpha, dSau, 1, chieu, true);
                if (!dung_) ungVien.emplace_back(n, v);
            } else {
                int moc = alpha;
                // Not beside a mate score: a window below it would fall outside
                // the scores a node can return, and every move would fail low.
                if (bien > 0 && std::abs(alpha) < NGUONG_CHIEU_HET) {
                    // Close enough to the best to be played now and then?
                    const int thap = std::max(alpha - bien, -VO_CUC + 1);
                    v = -pvs(-thap - 1, -thap, dSau, 1, chieu, true);
                    // Only the window's edge is proven: a fail-high's own
                    // figure may come from a pruned node and overstate.
                    if (!dung_ && v > thap) ungVien.emplace_back(n, thap + 1);
                    moc = v > alpha ? alpha : VO_CUC;
                }
                if (moc < VO_CUC && !dung_) {
                    v = -pvs(-alpha - 1, -alpha, dSau, 1, chieu, true);
                    if (v > alpha && v < beta && !dung_) v = -pvs(-beta, -alpha, dSau, 1, chieu, true);
                }
            }
            luiNuoc(n, t);
            if (dung_) return tot;
            if (v > tot) {
                tot = v;
                if (v > alpha) {
                    alpha = v;
                    std::rotate(goc.begin() + static_cast<long>(tu), goc.begin() + static_cast<long>(i),
                                goc.begin() + static_cast<long>(i) + 1);
                    if (v >= beta) return tot;
                }
            }
        }
        return tot;
    };

    const int doSauToiDa = gioiHan.doSau > 0 ? std::min(gioiHan.doSau, TANG_TOI_DA - 20) : TANG_TOI_DA - 20;
    // The root's score for the line at place `tu`, with an aspiration window
    // around the last iteration's score of that line.
    auto timCuaSo = [&](int d, int32_t diemTruoc, size_t tu) {
        int delta = 30;
        int alpha = -VO_CUC, beta = VO_CUC;
        if (d >= 5 && std::abs(diemTruoc) < NGUONG_CHIEU_HET) {
            alpha = std::max(diemTruoc - delta, -VO_CUC);
            beta = std::min(diemTruoc + delta, VO_CUC);
        }
        int32_t v = 0;
        while (true) {
            v = timGoc(d, alpha, beta, tu);
            if (dung_) break;
            if (v <= alpha && alpha > -VO_CUC) {
                beta = (alpha + beta) / 2;
                alpha = std::max(v - delta, -VO_CUC);
            } else if (v >= beta && beta < VO_CUC) {
                beta = std::min(v + delta, VO_CUC);
            } else {
                break;
            }
            delta += delta / 2 + 10;
            if (delta > 600) alpha = -VO_CUC, beta = VO_CUC;
        }
        return v;
    };
    const size_t soDong = std::clamp<size_t>(static_cast<size_t>(std::max(gioiHan.soDong, 1)), 1, goc.size());
    // Each line's score in the last completed iteration (the first is diemTruoc).
    std::vector<int32_t> diemDong(soDong, 0);
    int32_t diemTruoc = 0;
    NuocGon daBao{};  // the first move of the last line reported
    quanLyThoiGian::TheoDoi theoDoi({gioiHan.msMem, gioiHan.msCung});
    for (int d = 1; d <= doSauToiDa; ++d) {
        const int32_t v = timCuaSo(d, diemTruoc, 0);
        std::vector<int32_t> diemMoi(soDong, v);
        for (size_t j = 1; j < soDong && !dung_; ++j) diemMoi[j] = timCuaSo(d, diemDong[j], j);
        // A stopped iteration still leaves its best-so-far first: each move
        // that replaced the previous best was searched to the end.
        kq.nuoc = nuocGon::raNuocDi(goc[0].n);
        if (dung_) {
            // The move played is the first of the last line shown: a stopped
            // iteration that changed the best move shows its line too.
            if (gioiHan.baoVongDung && baoVong && daXongMotVong_ && !(goc[0].n == daBao)) {
                ThongTinVong tt;
                tt.doSau = kq.doSau;
                tt.doSauChon = doSauChon_;
                // A pass stopped before its first move ended has no figure of its own.
                tt.diem = v > -VO_CUC ? v : diemTruoc;
                tt.soNut = soNut_;
                tt.giay = msDaQua() / 1000.0;
                tt.pv = layPV(goc[0].n);
                if (tt.pv.empty()) tt.pv.push_back(kq.nuoc);
                tt.dong.push_back({tt.diem, tt.pv});
                baoVong(tt);
            }
            break;
        }
        if (soDong > 1) {
            // A later pass can find a little more than an earlier one (the
            // table fills meanwhile): the lines are shown best first.
            std::vector<size_t> thuTu(soDong);
            for (size_t j = 0; j < soDong; ++j) thuTu[j] = j;
            std::stable_sort(thuTu.begin(), thuTu.end(), [&](size_t a, size_t b) { return diemMoi[a] > diemMoi[b]; });
            std::vector<MucGoc> dau;
            std::vector<int32_t> diemXep;
            for (const size_t j : thuTu) dau.push_back(goc[j]), diemXep.push_back(diemMoi[j]);
            std::copy(dau.begin(), dau.end(), goc.begin());
            diemMoi = diemXep;
            kq.nuoc = nuocGon::raNuocDi(goc[0].n);
        }
        daXongMotVong_ = true;
        kq.doSau = d;
        kq.diem = diemMoi[0];
        diemTruoc = diemMoi[0];
        diemDong = diemMoi;
        ungVienXong = ungVien;
        if (baoVong) {
            ThongTinVong tt;
            tt.doSau = d;
            tt.doSauChon = doSauChon_;
            tt.diem = diemMoi[0];
            tt.soNut = soNut_;
            tt.giay = msDaQua() / 1000.0;
            tt.pv = layPV(goc[0].n);
            daBao = goc[0].n;
            for (size_t j = 0; j < soDong; ++j) {
                tt.dong.push_back({diemMoi[j], j == 0 ? tt.pv : layPV(goc[j].n)});
                // The table's line stops before a repetition: the move itself
                // still starts it.
                if (tt.dong.back().pv.empty()) tt.dong.back().pv.push_back(nuocGon::raNuocDi(goc[j].n));
            }
            baoVong(tt);
        }
        if (gioiHan.msMem > 0) {
            if (gioiHan.coGian ? theoDoi.dungSauVong(msDaQua(), goc[0].n.goi, diemMoi[0]) : msDaQua() >= gioiHan.msMem)
                break;
        }
        // A mate found within the depth searched will not change (in every
        // line: the others still deepen beside a mate in the first).
        if (std::all_of(diemMoi.begin(), diemMoi.end(), [d](int32_t x) {
                return std::abs(x) >= NGUONG_CHIEU_HET && DIEM_CHIEU_HET - std::abs(x) <= d;
            }))
            break;
    }
    if (bien > 0 && kq.doSau > 0 && std::abs(kq.diem) < NGUONG_CHIEU_HET) {
        std::vector<NuocGon> chon;
        for (const auto& [n, v] : ungVienXong)
            if (v >= kq.diem - bien) chon.push_back(n);
        if (chon.size() > 1) {
            const size_t i = std::uniform_int_distribution<size_t>(0, chon.size() - 1)(ngauNhien_);
            kq.nuoc = nuocGon::raNuocDi(chon[i]);
        }
    }
    kq.soNut = soNut_;
    kq.giay = msDaQua() / 1000.0;
    kq.biDung = dung_;
    return kq;
}
