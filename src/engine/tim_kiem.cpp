// The engine's construction, its levels and the root driver: iterative
// deepening over the legal moves with the root ordering, the early stop on a
// found win and the easy level's random choice.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

#include "ban_co_boc.h"
#include "danh_gia.h"
#include "tim_kiem.h"
#include "tim_kiem_cao_thu.h"

namespace {

constexpr NuocDi NUOC_TRONG{-1, -1, -1, -1};

}  // namespace

TimKiem::TimKiem() {
    khoiTaoZobrist();
    matNaTT = SO_MUC_TT - 1;
    xoaSatThuVaLichSu();
    khoaHienTai = 0;
}

void TimKiem::xoaSatThuVaLichSu() {
    for (auto& tang : nuocSatThu) tang[0] = tang[1] = NUOC_TRONG;
    for (auto& phe : diemLichSu)
        for (auto& tu : phe) std::fill(std::begin(tu), std::end(tu), 0);
    diemLichSuLonNhat_ = 0;
}

void TimKiem::caiDatDoKho(DoKho doKho) {
    const ThamSoDoKho& t = thamSoDoKho(doKho);
    doSauToiDa = t.doSauToiDa;
    thoiGianToiDa = t.thoiGianToiDa;
    dungTT = t.dungTT;
    dungQuiescence = t.dungQuiescence;
    bienNgauNhien = t.bienNgauNhien;
    tiLeNgauNhien = t.tiLeNgauNhien;
}

void TimKiem::XoaCaoThu::operator()(TimKiemCaoThu* p) const { delete p; }

TimKiemCaoThu& TimKiem::caoThu() {
    if (!caoThu_) {
        caoThu_.reset(new TimKiemCaoThu());
        // Two games against the level differ unless a seed was set.
        caoThu_->datHatGiong(coHatGiongCaoThu_ ? hatGiongCaoThu_ : std::random_device{}());
    }
    return *caoThu_;
}

void TimKiem::vanMoi() {
    if (bangTT) std::fill_n(bangTT.get(), matNaTT + 1, MucTT{});
    xoaSatThuVaLichSu();
    ngauNhien.seed(2026);
    if (caoThu_) caoThu_->xoa();
}

void TimKiem::datHatGiongCaoThu(uint64_t hatGiong) {
    hatGiongCaoThu_ = hatGiong;
    coHatGiongCaoThu_ = true;
    if (caoThu_) caoThu_->datHatGiong(hatGiong);
}

// How many plies of a game count as its opening, where CAO_THU varies its
// choice among moves within BIEN_DA_DANG points of the best.
constexpr size_t SO_NUOC_DA_DANG = 12;
constexpr int32_t BIEN_DA_DANG = 10;
constexpr size_t SO_QUAN_DAU = 32;

namespace {

// A CAO_THU score in the scale every level reports (mates: DIEM_CHIEU_HET less the plies).
int32_t diemTheoThangChung(int32_t diem, int32_t diemChieuHet) {
    if (std::abs(diem) <= TimKiemCaoThu::NGUONG_CHIEU_HET) return diem;
    const int32_t soTang = TimKiemCaoThu::DIEM_CHIEU_HET - std::abs(diem);
    return (diem > 0 ? 1 : -1) * (diemChieuHet - soTang);
}

}  // namespace

NuocDi TimKiem::timCaoThu(BanCo& ban, Phe phe, ThongKe& thongKe, std::span<const uint64_t> viTriTruoc,
                          double giayConLai, double giayTang) {
    TimKiemCaoThu::GioiHan gioiHan = TimKiemCaoThu::gioiHanTheoDongHo(giayConLai, giayTang);
    // The game hands over only the positions since its last capture: the
    // opening is a short history with every piece still on the board.
    if (gioiHan_.daDang && viTriTruoc.size() < SO_NUOC_DA_DANG && ban.dsQuan.size() == SO_QUAN_DAU)
        gioiHan.bienDaDang = BIEN_DA_DANG;
    // What a caller outside the game adds (datGioiHan) replaces the budget.
    if (gioiHan_.doSau > 0) gioiHan.doSau = gioiHan_.doSau;
    const bool voHan = gioiHan_.miliGiay == std::numeric_limits<double>::infinity();
    if (voHan) {
        gioiHan.msCung = gioiHan.msMem = 0;
        gioiHan.coGian = false;
    } else if (gioiHan_.dongHo.msConLai >= 0) {
        const quanLyThoiGian::NganSach n = quanLyThoiGian::tinh(gioiHan_.dongHo);
        gioiHan.msCung = n.msCung;
        gioiHan.msMem = n.msMem;
        gioiHan.coGian = true;
    } else if (gioiHan_.miliGiay > 0) {
        // A time a move: none of it can be saved for later, so all of it
        // is thought with (the search stops at the limit mid-iteration and
        // keeps that iteration's best so far).
        gioiHan.msCung = gioiHan.msMem = gioiHan_.miliGiay;
        gioiHan.coGian = false;
    }
    gioiHan.soNut = gioiHan_.soNut;
    gioiHan.dungNgoai = gioiHan_.dung;
    gioiHan.luatLap = luatLap_;
    gioiHan.nuocTruoc = nuocTruoc_;
    gioiHan.hanChotNgoai = gioiHan_.hanChot;
    gioiHan.soDong = std::max(gioiHan_.soDong, 1);
    gioiHan.chiNuoc = gioiHan_.chiNuoc;
    gioiHan.baoVongDung = true;
    TimKiemCaoThu& may = caoThu();
    if (gioiHan_.baoCao) {
        may.baoVong = [this](const TimKiemCaoThu::ThongTinVong& t) {
            BaoCaoVong b{t.doSau, t.doSauChon, diemTheoThangChung(t.diem, DIEM_CHIEU_HET), t.soNut, t.giay, t.pv, {}};
            if (t.dong.size() > 1)
                for (const auto& d : t.dong) b.cacDong.emplace_back(diemTheoThangChung(d.diem, DIEM_CHIEU_HET), d.pv);
            gioiHan_.baoCao(b);
        };
    } else {
        may.baoVong = nullptr;
    }
    const TimKiemCaoThu::KetQua kq = may.tim(ban, phe, viTriTruoc, gioiHan);
    may.baoVong = nullptr;
    if (!kq.coNuoc) {
        // A board the byte board cannot hold (hand-built) is searched as KHO;
        // a position without a legal move is answered as KHO answers it.
        caiDatDoKho(KHO);
        banCo = &ban;
        pheMay = pheDangDi = phe;
        return timVoiThamSoHienTai(thongKe, viTriTruoc);
    }
    thongKe.soNut = kq.soNut;
    thongKe.doSau = kq.doSau;
    thongKe.giay = kq.giay;
    thongKe.diem = diemTheoThangChung(kq.diem, DIEM_CHIEU_HET);
    thongKe.biDung = kq.biDung;
    thongKe.nuocDi = kq.nuoc;
    return kq.nuoc;
}

NuocDi TimKiem::timNuocDi(BanCo& ban, Phe phe, DoKho doKho, ThongKe& thongKe, std::span<const uint64_t> viTriTruoc,
                          double giayConLai, double giayTang) {
    if (doKho == CAO_THU) return timCaoThu(ban, phe, thongKe, viTriTruoc, giayConLai, giayTang);
    caiDatDoKho(doKho);
    if (gioiHan_.doSau > 0) doSauToiDa = gioiHan_.doSau;
    if (gioiHan_.miliGiay > 0) thoiGianToiDa = gioiHan_.miliGiay;
    banCo = &ban;
    pheMay = pheDangDi = phe;
    return timVoiThamSoHienTai(thongKe, viTriTruoc);
}

double TimKiem::thoiGianCoDinhTheoDongHo(DoKho doKho, double giayConLai, double giayTang) {
    const double cuaMuc = thamSoDoKho(doKho).thoiGianToiDa;
    if (giayConLai < 0) return cuaMuc;
    // The hard limit the strength-first level would take: never more than
    // half of what is left, less a reserve for the delays around a move.
    return std::min(cuaMuc, TimKiemCaoThu::gioiHanTheoDongHo(giayConLai, giayTang).msCung);
}

NuocDi TimKiem::timNuocDiVoiThoiGian(BanCo& ban, Phe phe, int32_t ms, int32_t doSau, ThongKe& thongKe,
                                     std::span<const uint64_t> viTriTruoc) {
    dungTT = true;
    dungQuiescence = true;
    bienNgauNhien = 0;
    tiLeNgauNhien = 0;
    doSauToiDa = doSau;
    thoiGianToiDa = ms > 0 ? static_cast<double>(ms) : 1.0;
    banCo = &ban;
    pheMay = pheDangDi = phe;
    return timVoiThamSoHienTai(thongKe, viTriTruoc);
}

// In `tiLeNgauNhien` percent of the searches, any root move within
// `bienNgauNhien` of the best score may be played instead (the best included).
NuocDi TimKiem::chonNgauNhien(const DanhSachGoc& dsGoc, int32_t diemTot, NuocDi ketQua) {
    if (bienNgauNhien <= 0 || tiLeNgauNhien <= 0 || dsGoc.empty()) return ketQua;
    if (std::uniform_int_distribution<int32_t>(1, 100)(ngauNhien) > tiLeNgauNhien) return ketQua;
    std::vector<NuocDi> ungVien;
    for (const auto& [diem, nuoc] : dsGoc)
        if (diem >= diemTot - bienNgauNhien) ungVien.push_back(nuoc);
    if (ungVien.empty()) return ketQua;
    const uint64_t chiSo = std::uniform_int_distribution<uint64_t>(0, ungVien.size() - 1)(ngauNhien);
    return ungVien[chiSo];
}

// Leaves out the root moves that would lose the game by its rules, unless
// no other move is left.
void TimKiem::boNuocCam(DanhSachNuoc& hopLe) const {
    if (luatLap_ != CHAU_A || nuocCam_.empty()) return;
    DanhSachNuoc con;
    for (const NuocDi& n : hopLe)
        if (std::find(nuocCam_.begin(), nuocCam_.end(), n) == nuocCam_.end()) con.push_back(n);
    if (!con.empty()) hopLe = std::move(con);
}

// Resets what each search starts afresh and hands the search the line so far:
// the game's earlier positions, then the root.
void TimKiem::batDauTimKiem(std::span<const uint64_t> viTriTruoc) {
    soNut = 0;
    tangSauNhat_ = 0;
    dungLai = false;
    doSauDaXong = 0;
    thoiDiemBatDau = std::chrono::steady_clock::now();
    xoaSatThuVaLichSu();
    std::fill(std::begin(nuocVao_), std::end(nuocVao_), NuocVao{});
    capBangTT();
    khoaHienTai = banCo != nullptr ? khoaViTri(*banCo, pheDangDi) : 0;
    // The repetition test sees the game's positions and the line's alike.
    // Room for any ordinary line, so pushes do not reallocate mid-search; the
    // iteration depth is the caller's and unbounded, hence the cap.
    lichSuKhoa.clear();
    lichSuKhoa.reserve(viTriTruoc.size() + static_cast<size_t>(std::clamp(doSauToiDa, 0, 64)) + TANG_TOI_DA + 2);
    lichSuKhoa.assign(viTriTruoc.begin(), viTriTruoc.end());
    lichSuKhoa.push_back(khoaHienTai);
    // The table outlives the search, and the game's own positions are the
    // ones earlier searches stored deepest: left there, an entry would answer
    // for a return to one of them before the repetition test could score it
    // as the draw it is. No node stores them again (each of them is a
    // repetition), so forgetting them once here is enough, and costs the
    // nodes nothing. A search without the game's history keeps them.
    if (!viTriTruoc.empty())
        for (const uint64_t khoa : lichSuKhoa) quenTT(khoa);
}

// One iteration: every root move in the current order searched to d plies,
// each with the window above the best score so far. A stopped iteration is
// thrown away whole (false, goc untouched); a completed one becomes the
// result and orders the next.
template <class B>
bool TimKiem::motVongGoc(B& ban, int32_t d, KetQuaGoc& goc) {
    int32_t alpha = -VO_CUC;
    int32_t diemVong = -VO_CUC;
    NuocDi nuocVong = goc.ds.front().second;
    DanhSachGoc dsMoi;
    dsMoi.reserve(goc.ds.size());
    for (const auto& muc : goc.ds) {
        const NuocDi& m = muc.second;
        const int32_t v = timNuocGoc(ban, nuocGon::tuNuocDi(m), d - 1, alpha);
        if (dungLai) return false;
        dsMoi.emplace_back(v, m);
        if (v > diemVong) {
            diemVong = v;
            nuocVong = m;
        }
        alpha = std::max(alpha, v);
    }
    goc.ketQua = nuocVong;
    doSauDaXong = d;
    std::stable_sort(dsMoi.begin(), dsMoi.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    goc.ds = std::move(dsMoi);
    goc.diemTot = diemVong;
    return true;
}

void TimKiem::ghiThongKe(ThongKe& thongKe, std::chrono::steady_clock::duration daQua, const KetQuaGoc& goc) const {
    thongKe.soNut = soNut;
    thongKe.doSau = doSauDaXong;
    thongKe.giay = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(daQua).count()) / 1000000000.0;
    thongKe.diem = goc.diemTot;
    thongKe.biDung = dungLai;
    thongKe.nuocDi = goc.ketQua;
}

NuocDi TimKiem::timVoiThamSoHienTai(ThongKe& thongKe, std::span<const uint64_t> viTriTruoc) {
    batDauTimKiem(viTriTruoc);

    // Without a board there is nothing to move: answered as no legal move.
    DanhSachNuoc hopLe = banCo != nullptr ? banCo->nuocDiHopLe(pheMay) : DanhSachNuoc{};
    if (!gioiHan_.chiNuoc.empty())
        std::erase_if(hopLe, [this](const NuocDi& n) {
            return std::find(gioiHan_.chiNuoc.begin(), gioiHan_.chiNuoc.end(), n) == gioiHan_.chiNuoc.end();
        });
    boNuocCam(hopLe);
    if (hopLe.empty()) {
        thongKe = ThongKe{0, 0, 0.0, -DIEM_CHIEU_HET, false, NuocDi{0, 0, 0, 0}};
        return NuocDi{0, 0, 0, 0};
    }
    if (hopLe.size() == 1) {
        thongKe = ThongKe{0, 0, 0.0, luongGia(), false, hopLe[0]};
        return hopLe[0];
    }

    KetQuaGoc goc;
    goc.ketQua = hopLe[0];
    goc.ds.reserve(hopLe.size());
    for (const NuocDi& n : hopLe) goc.ds.emplace_back(0, n);

    batDanhGiaTangDan();
    // The search board stands for banCo whenever the incremental evaluation
    // can (both need the square view and sides DO and DEN only).
    const bool banNhanh = danhGiaTangDan_ && banTimKiem_.napTu(*banCo);
    BanCoBoc banCham(*banCo);
    for (int32_t d = 1; doSauToiDa >= 1 && !dungLai; ++d) {
        if (!(banNhanh ? motVongGoc(banTimKiem_, d, goc) : motVongGoc(banCham, d, goc))) break;
        if (gioiHan_.baoCao) {
            const double giay = std::chrono::duration<double>(std::chrono::steady_clock::now() - thoiDiemBatDau).count();
            gioiHan_.baoCao(BaoCaoVong{d, std::max(d, tangSauNhat_), goc.diemTot, soNut, giay, duongChinh(goc.ketQua), {}});
        }
        if (goc.diemTot >= NGUONG_CHIEU_HET || d >= doSauToiDa) break;
    }
    const auto daQua = std::chrono::steady_clock::now() - thoiDiemBatDau;
    danhGiaTangDan_ = false;
    if (banNhanh) banTimKiem_.traLaiThuTu(*banCo);

    goc.ketQua = chonNgauNhien(goc.ds, goc.diemTot, goc.ketQua);
    ghiThongKe(thongKe, daQua, goc);
    return goc.ketQua;
}

// The iteration's best move, then the moves the table holds for the
// positions that follow, while they are legal and the line does not return
// to a position it has already seen. The search has taken every move back,
// so banCo stands at the root.
std::vector<NuocDi> TimKiem::duongChinh(const NuocDi& dau) const {
    std::vector<NuocDi> duong{dau};
    if (!dungTT || !bangTT) return duong;
    auto ban = banCo->saoChepTheCo();
    Phe phe = pheMay;
    std::vector<uint64_t> daThay{khoaViTri(*ban, phe)};
    for (NuocDi n = dau; duong.size() < 64;) {
        ban->thuNuocDi(n);
        phe = pheDoiPhuong(phe);
        const uint64_t khoa = khoaViTri(*ban, phe);
        if (std::find(daThay.begin(), daThay.end(), khoa) != daThay.end()) break;
        daThay.push_back(khoa);
        const MucTT& e = bangTT[khoa & matNaTT];
        if (e.kieu() == KIEU_TRONG || !e.cungKhoa(khoa)) break;
        n = e.nuocDi();
        if (!ban->laNuocHopLe(phe, n)) break;
        duong.push_back(n);
    }
    return duong;
}
