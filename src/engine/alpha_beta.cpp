// The tree below the root: make/unmake with the key and the evaluation kept
// up to date, the transposition table, negamax alpha-beta, quiescence and
// move ordering.
// What a node returns: after its moves, its alpha raised by their scores, so
// never less than the alpha it was given; a cutoff returns the score of the
// move that made it, which may lie above beta. The early returns give their
// own values, wherever they lie against the window: a table entry's score, a
// stand-pat at or above beta, the repetition's 0, a mate's score.
// Written once for any board B with the search board's interface
// (ban_tim_kiem.h): the driver searches the search board when it can stand
// for the BanCo, else a BanCoBoc; the public entry points here drive the
// parts one by one on banCo itself.
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <type_traits>

#include "ban_co_boc.h"
#include "danh_gia.h"
#include "tim_kiem.h"

namespace {

constexpr NuocGon KHONG_GOI_Y{};

// The board generates pseudo-legal moves; a move may still leave the mover's
// general attacked, or (on a hand-built board) start from the wrong square.
template <class B>
bool nuocCuaPhe(const B& ban, NuocGon n, Phe phe) {
    const int m = ban.ma(n.di());
    return m >= 0 && (m >> 3) == phe;
}

}  // namespace

// ---- Make and unmake -------------------------------------------------------

// The XORs of one move, read from the board as it stands before the move (or
// again after it has been taken back): XOR is its own inverse.
// huong is +1 when the move is being made and -1 when it has just been taken
// back; the key part is the same both ways.
template <class B>
void TimKiem::xorNuoc(const B& ban, NuocGon n, int huong) {
    const int maDi = ban.ma(n.di());
    if (maDi >= 0) {
        const int maAn = ban.ma(n.den());
        const int di = nuocGon::o90(n.di()), den = nuocGon::o90(n.den());
        khoaHienTai ^= zobrist[maDi >> 3][maDi & 7][di];
        if (maAn >= 0) khoaHienTai ^= zobrist[maAn >> 3][maAn & 7][den];
        khoaHienTai ^= zobrist[maDi >> 3][maDi & 7][den];
        if (danhGiaTangDan_) {
            const int dauDi = (maDi >> 3) == DO ? huong : -huong;
            diemDo_ += dauDi * (DanhGia::diemMa(maDi, den) - DanhGia::diemMa(maDi, di));
            if (maAn >= 0) {
                diemDo_ -= ((maAn >> 3) == DO ? huong : -huong) * DanhGia::diemMa(maAn, den);
                if ((maAn & 7) == LOAI_VOI || (maAn & 7) == LOAI_SI) phongThu_[maAn >> 3] -= huong;
            }
        }
    }
    khoaHienTai ^= zobristLuot;
}

template <class B>
TimKiem::TruocNuoc TimKiem::batDauNuoc(const B& ban, NuocGon n, bool conDocTT) {
    TruocNuoc truoc{khoaHienTai, diemDo_, {phongThu_[0], phongThu_[1]}, BanTimKiem::KHONG};
    xorNuoc(ban, n, +1);
    // An alpha-beta child probes this slot first thing; start fetching it now.
    // A capture-search child never reads the table: fetching would only push
    // useful lines out of the cache.
    if (conDocTT) __builtin_prefetch(&bangTT[khoaHienTai & matNaTT]);
    return truoc;
}

template <class B>
void TimKiem::datNuoc(B& ban, NuocGon n, TruocNuoc& truoc) {
    truoc.biAn = ban.di(n);
    pheDangDi = pheDoiPhuong(pheDangDi);
    lichSuKhoa.push_back(khoaHienTai);
}

template <class B>
TimKiem::TruocNuoc TimKiem::diNuoc(B& ban, NuocGon n, bool conDocTT) {
    TruocNuoc truoc = batDauNuoc(ban, n, conDocTT);
    datNuoc(ban, n, truoc);
    return truoc;
}

template <class B>
void TimKiem::luiNuoc(B& ban, NuocGon n, const TruocNuoc& truoc) {
    if (!lichSuKhoa.empty()) lichSuKhoa.pop_back();
    ban.lui(n, truoc.biAn);
    pheDangDi = pheDoiPhuong(pheDangDi);
    if constexpr (B::LUI_KHOI_PHUC_HET) {
        // The board is exactly as before the move: so are the key and the sums.
        khoaHienTai = truoc.khoa;
        diemDo_ = truoc.diemDo;
        phongThu_[0] = truoc.phongThu[0];
        phongThu_[1] = truoc.phongThu[1];
    } else {
        xorNuoc(ban, n, -1);
    }
}

// The key argument is khoaHienTai in every caller; these two drive banCo.
void TimKiem::apDungNuoc(const NuocDi& nuoc, uint64_t&) {
    BanCoBoc ban(*banCo);
    diNuoc(ban, nuocGon::tuNuocDi(nuoc), true);
}

void TimKiem::boNuocDi(const NuocDi& nuoc, uint64_t&) {
    BanCoBoc ban(*banCo);
    luiNuoc(ban, nuocGon::tuNuocDi(nuoc), TruocNuoc{});
}

// Makes a move of the side to move; false, with nothing changed, when the
// move is not the side's own or leaves its general attacked.
template <class B>
bool TimKiem::diThu(B& ban, NuocGon n, bool biChieuNay, int32_t tang, TruocNuoc& truoc, bool conDocTT) {
    if (!nuocCuaPhe(ban, n, pheDangDi)) return false;
    const Phe nguoiDi = pheDangDi;
    truoc = batDauNuoc(ban, n, conDocTT);
    // Out of check, most moves cannot expose the own general: no test needed.
    const bool canThuChieu = biChieuNay || !ban.nuocChacChanAnToan(n, nguoiDi);
    ghiGoiYChieu(tang + 1, n, ban.nuocCoTheChieu(n, nguoiDi) ? THEO_NUOC : CHAC_KHONG);
    datNuoc(ban, n, truoc);
    if (canThuChieu && (biChieuNay ? ban.biChieu(nguoiDi) : ban.loTuongSauNuoc(n, nguoiDi, truoc.biAn))) {
        luiNuoc(ban, n, truoc);
        return false;
    }
    return true;
}

// ---- The transposition table ----------------------------------------------
// Here, beside the search, so that its probes and stores are inlined.

void TimKiem::ghiTT(uint64_t khoa, int32_t doSau, int32_t diem, int32_t kieu, const NuocDi& nuoc, int32_t tang) {
    if (!dungTT) return;
    MucTT& e = bangTT[khoa & matNaTT];
    // A deeper entry of another position is worth more than this one.
    if (e.kieu() != KIEU_TRONG && !e.cungKhoa(khoa) && e.doSau > doSau) return;
    // Mate scores are stored as a distance from this node, not from the root.
    if (diem > NGUONG_CHIEU_HET) diem += tang;
    else if (diem < -NGUONG_CHIEU_HET) diem -= tang;
    e.ghi(khoa, kieu, nuoc);
    e.diem = diem;
    e.doSau = doSau;
}

bool TimKiem::docTT(uint64_t khoa, int32_t doSau, int32_t& diem, int32_t& kieu, NuocDi& nuoc, int32_t tang) const {
    if (!dungTT) return false;
    const MucTT& e = bangTT[khoa & matNaTT];
    if (e.kieu() == KIEU_TRONG || !e.cungKhoa(khoa) || e.doSau < doSau) return false;
    diem = e.diem;
    if (diem >= NGUONG_CHIEU_HET + 1) diem -= tang;
    else if (diem <= -(NGUONG_CHIEU_HET + 1)) diem += tang;
    kieu = e.kieu();
    nuoc = e.nuocDi();
    return true;
}

void TimKiem::quenTT(uint64_t khoa) {
    MucTT& e = bangTT[khoa & matNaTT];
    if (e.kieu() != KIEU_TRONG && e.cungKhoa(khoa)) e = MucTT{};
}

// ---- Move ordering ---------------------------------------------------------

inline TimKiem::BoChon& TimKiem::boChonTaiTang(int32_t tang) {
    if (dsTheoTang_.size() <= static_cast<size_t>(tang)) [[unlikely]]
        while (dsTheoTang_.size() <= static_cast<size_t>(tang)) dsTheoTang_.push_back(std::make_unique<BoChon>());
    return *dsTheoTang_[tang];
}

namespace {

// A capture's ordering score by the pieces' values: the most valuable victim
// first, then the cheapest attacker (maDi -1: no piece on the origin).
int32_t diemAn(int maDi, int maAn) {
    return 1000000 + 16 * GIA_TRI_QUAN[maAn & 7] - (maDi >= 0 ? GIA_TRI_QUAN[maDi & 7] : 0);
}
// The two killers' ordering scores, below every capture's.
constexpr int32_t DIEM_SAT_THU[2] = {900000, 890000};
// The lowest score diemAn gives: the cheapest victim taken by the dearest piece.
constexpr int32_t DIEM_AN_THAP_NHAT =
    1000000 + 16 * *std::min_element(std::begin(GIA_TRI_QUAN), std::end(GIA_TRI_QUAN)) -
    *std::max_element(std::begin(GIA_TRI_QUAN), std::end(GIA_TRI_QUAN));

}  // namespace

template <class B>
int32_t TimKiem::diemSapXep(const B& ban, NuocGon n, NuocGon goiY, const NuocGon* satThu) const {
    if (n == goiY) return 10000000;
    const int maDi = ban.ma(n.di());
    const int maAn = ban.ma(n.den());
    if (maAn >= 0) return diemAn(maDi, maAn);
    return diemYen(maDi, n, satThu);
}

// A quiet move's score (maDi: the moving piece's code, or -1 for none): the
// killers, then the history.
inline int32_t TimKiem::diemYen(int maDi, NuocGon n, const NuocGon* satThu) const {
    if (n == satThu[0]) return DIEM_SAT_THU[0];
    if (n == satThu[1]) return DIEM_SAT_THU[1];
    if (maDi >= 0) return diemLichSu[maDi >> 3][nuocGon::o90(n.di())][nuocGon::o90(n.den())];
    return 0;
}

namespace {

// The killers of a ply in compact form (none: a move never generated).
std::array<NuocGon, 2> satThuGon(const NuocDi* satThu) {
    return {nuocGon::tuNuocDi(satThu[0]), nuocGon::tuNuocDi(satThu[1])};
}

}  // namespace

template <class B>
void TimKiem::sapXepOnDinh(const B& ban, NuocGon* ds, size_t n, NuocGon goiY, int32_t tang) const {
    const auto satThu = satThuGon(nuocSatThu[tangSatThu(tang)]);
    std::vector<std::pair<int32_t, NuocGon>> muc;
    muc.reserve(n);
    for (size_t i = 0; i < n; ++i) muc.emplace_back(diemSapXep(ban, ds[i], goiY, satThu.data()), ds[i]);
    std::stable_sort(muc.begin(), muc.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; i < n; ++i) ds[i] = muc[i].second;
}

void TimKiem::sapXepNuocDi(DanhSachNuoc& ds, const NuocDi& goiY, int32_t tang) const {
    std::vector<NuocGon> gon;
    for (const NuocDi& m : ds) gon.push_back(nuocGon::tuNuocDi(m));
    const BanCoBoc ban(*banCo);
    sapXepOnDinh(ban, gon.data(), gon.size(), nuocGon::tuNuocDi(goiY), tang);
    for (size_t i = 0; i < ds.size(); ++i) ds[i] = nuocGon::raNuocDi(gon[i]);
}

// Each move becomes one key as it is generated: score, then its place in the
// list (earlier first among equal scores; a generator that lists in another
// order hands over a number ordered as that place), then the move itself. Keys are
// distinct, so taking them from the highest down is exactly the stable sort
// by score. Longer lists (only on hand-built boards) are listed again and
// sorted outright.
template <bool CO_THU_TU, class Sinh, class Diem>
void TimKiem::BoChon::xep(Sinh&& sinh, Diem&& diem) {
    size_t j = 0;
    // thuTu: the move's place in the list (or a number ordered alike), lower first.
    auto themKhoa = [&](int di, int den, int thuTu) {
        if (j < 256) {
            const NuocGon m(di, den);
            khoa[j] = (static_cast<uint64_t>(static_cast<uint32_t>(diem(m))) << 32) |
                      (static_cast<uint64_t>(0xFFFF - thuTu) << 16) | m.goi;
        }
        ++j;
    };
    auto themTheoLuot = [&](int di, int den) { themKhoa(di, den, static_cast<int>(j)); };
    if constexpr (CO_THU_TU) sinh(themKhoa);
    else sinh(themTheoLuot);
    n = j;
    i = 0;
    conDotYen = false;
    daDongGoi = n <= 256;
    if (daDongGoi) return;
    struct Muc { int32_t diem; int thuTu; NuocGon nuoc; };
    std::vector<Muc> muc;
    muc.reserve(n);
    auto ghi = [&](int di, int den, int thuTu) { muc.push_back({diem(NuocGon(di, den)), thuTu, NuocGon(di, den)}); };
    auto ghiTheoLuot = [&](int di, int den) { ghi(di, den, static_cast<int>(muc.size())); };
    if constexpr (CO_THU_TU) sinh(ghi);
    else sinh(ghiTheoLuot);
    std::sort(muc.begin(), muc.end(),
              [](const Muc& a, const Muc& b) { return a.diem != b.diem ? a.diem > b.diem : a.thuTu < b.thuTu; });
    ds.resize(n);
    for (size_t k = 0; k < n; ++k) ds[k] = muc[k].nuoc;
}

template <bool CHI_AN, class B>
void TimKiem::BoChon::nap(const TimKiem& tk, B& ban, NuocGon goiY, int32_t tang) {
    std::array<NuocGon, 2> satThu{};
    if (!CHI_AN) satThu = satThuGon(tk.nuocSatThu[tangSatThu(tang)]);
    const Phe phe = tk.pheDangDi;
    auto diem = [&](NuocGon m) {
        // Out of check the capture search has no hint, and every move
        // captures: diemSapXep's capture score.
        return CHI_AN ? diemAn(ban.ma(m.di()), ban.ma(m.den())) : tk.diemSapXep(ban, m, goiY, satThu.data());
    };
    if constexpr (CHI_AN && std::is_same_v<B, BanTimKiem>)
        xep<true>([&](auto& them) { ban.sinhNuocAnTheoLoai(phe, them); }, diem);
    else
        xep<false>([&](auto& them) { ban.template sinhNuocDi<CHI_AN>(phe, them); }, diem);
}

void TimKiem::BoChon::napDotDau(const TimKiem& tk, const BanTimKiem& ban, NuocGon goiY, int32_t tang, bool biChieu) {
    const Phe phe = tk.pheDangDi;
    soQuanDau_ = ban.chepDanhSach(phe, dsQuanDau_);
    chanChieu_ = biChieu ? ban.chanChieu(phe) : BanTimKiem::ChanChieu{};
    // A quiet hint is listed only if its piece would list it.
    bool goiYYen = false;
    if (ban.ma(goiY.den()) == oDem::TRONG && nuocCuaPhe(ban, goiY, phe)) {
        auto tim = [&](int di, int den) { goiYYen = goiYYen || NuocGon(di, den) == goiY; };
        ban.sinhNuocDiCuaQuan(goiY.di(), phe, tim);
    }
    const auto satThu = satThuGon(tk.nuocSatThu[tangSatThu(tang)]);
    xep<true>(
        [&](auto& them) {
            ban.sinhNuocAnTheoLoai(phe, them);
            if (goiYYen) them(goiY.di(), goiY.den(), 0);  // alone at its score
        },
        [&](NuocGon m) { return tk.diemSapXep(ban, m, goiY, satThu.data()); });
    conDotYen = true;
}

void TimKiem::BoChon::napDotYen(const TimKiem& tk, const BanTimKiem& ban, NuocGon goiY, int32_t tang) {
    const Phe phe = tk.pheDangDi;
    const auto satThu = satThuGon(tk.nuocSatThu[tangSatThu(tang)]);
    xep<false>(
        [&](auto& them) {
            auto yen = [&](int di, int den) {
                if (ban.ma(den) != oDem::TRONG || NuocGon(di, den) == goiY) return;
                // In check, a quiet move that cannot lift it would only be
                // made and taken back (with nothing else changed).
                if (!BanTimKiem::yenCoTheCanChieu(chanChieu_, NuocGon(di, den))) return;
                them(di, den);
            };
            ban.sinhNuocDiTheo<false>(dsQuanDau_, soQuanDau_, phe, yen);
        },
        // diemSapXep for a quiet move of phe's other than the hint.
        [&](NuocGon m) { return tk.diemYen(ban.ma(m.di()), m, satThu.data()); });
}

// Every move of the side to move, in two rounds when that gives the same
// order: only for a node whose children cannot change the killers or history
// (they are capture searches), and while every history score stays below
// every capture's.
template <class B>
void TimKiem::napNhieuDot(BoChon& chon, B& ban, NuocGon goiY, int32_t tang, bool biChieu) const {
    if constexpr (std::is_same_v<B, BanTimKiem>) {
        if (diemLichSuLonNhat_ < DIEM_AN_THAP_NHAT) {
            chon.napDotDau(*this, ban, goiY, tang, biChieu);
            if (chon.n == 0) chon.napDotYen(*this, ban, goiY, tang);
            return;
        }
    }
    chon.nap<false>(*this, ban, goiY, tang);
}

template <class B>
bool TimKiem::nuocTiep(BoChon& chon, const B& ban, NuocGon goiY, int32_t tang, NuocGon& ra) const {
    if (chon.tiep(ra)) return true;
    if constexpr (std::is_same_v<B, BanTimKiem>) {
        if (chon.conDotYen) {
            chon.napDotYen(*this, ban, goiY, tang);
            return chon.tiep(ra);
        }
    }
    return false;
}

bool TimKiem::BoChon::tiep(NuocGon& ra) {
    if (i >= n) return false;
    if (!daDongGoi) {
        ra = ds[i++];
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
    ra.goi = static_cast<uint16_t>(k);
    return true;
}

// ---- Evaluation, time, repetition, killers and history ---------------------

int32_t TimKiem::luongGia() const {
    if (!danhGiaTangDan_) return DanhGia::luongGia(*banCo, pheDangDi);
    // The same sum as DanhGia::luongGia, kept up to date by the moves.
    const int ta = pheDangDi == DO ? 0 : 1;
    return (ta == 0 ? diemDo_ : -diemDo_) + DanhGia::diemPhongThu(phongThu_[ta], phongThu_[1 - ta]);
}

[[gnu::noinline]] bool TimKiem::hetThoiGian() const {
    if (gioiHan_.dung != nullptr && gioiHan_.dung->load(std::memory_order_relaxed)) return true;
    if (gioiHan_.soNut > 0 && soNut >= gioiHan_.soNut) return true;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - thoiDiemBatDau);
    return static_cast<double>(ns.count()) / 1000000.0 >= thoiGianToiDa;
}

// Counts the node; false when the search must stop. The clock is read only
// every 1024 nodes.
inline bool TimKiem::demNut() {
    if (dungLai) return false;
    ++soNut;
    if (soNut % 1024 == 0 && hetThoiGian()) [[unlikely]] {
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

void TimKiem::ghiNhanNuocCat(NuocGon nuocGon, int32_t doSau, int32_t tang) {
    const NuocDi nuoc = nuocGon::raNuocDi(nuocGon);
    NuocDi* satThu = nuocSatThu[tangSatThu(tang)];
    if (!(nuoc == satThu[0])) {
        satThu[1] = satThu[0];
        satThu[0] = nuoc;
    }
    // Saturates instead of overflowing: a search left running for hours at a
    // great depth could otherwise push a score past the int32 range.
    int32_t& diem = diemLichSu[pheDangDi][nuocGon::o90(nuocGon.di())][nuocGon::o90(nuocGon.den())];
    const int64_t moi = int64_t{diem} + int64_t{doSau} * doSau;
    diem = static_cast<int32_t>(std::min<int64_t>(moi, INT32_MAX));
    diemLichSuLonNhat_ = std::max(diemLichSuLonNhat_, diem);
}

// ---- The searches ----------------------------------------------------------

template <class B>
int32_t TimKiem::alphaBetaTren(B& ban, int32_t doSau, int32_t alpha, int32_t beta, int32_t tang) {
    if (!demNut()) return 0;

    // The table slot is usually still on its way from memory: first the work
    // that does not depend on it (both tests only read the board and the line;
    // at the horizon the capture search takes the check test over).
    const bool lapLai = laLapLai();
    const bool biChieuNay = dangBiChieu(ban, tang);
    NuocGon goiY = KHONG_GOI_Y;
    int32_t diemTT = 0, kieuTT = KIEU_TRONG;
    NuocDi nuocTT;
    if (docTT(khoaHienTai, doSau, diemTT, kieuTT, nuocTT, tang)) {
        if (kieuTT == KIEU_CHINH_XAC) return diemTT;
        if (kieuTT == KIEU_CAN_DUOI && diemTT >= beta) return diemTT;
        if (kieuTT == KIEU_CAN_TREN && diemTT <= alpha) return diemTT;
        goiY = nuocGon::tuNuocDi(nuocTT);
    }
    if (lapLai) return 0;
    if (doSau <= 0) return dungQuiescence ? quiescenceTren(ban, alpha, beta, tang, biChieuNay) : luongGia();

    BoChon& chon = boChonTaiTang(tang);
    // One ply from the horizon the children touch neither killers nor
    // history, so the quiet moves rank the same after the captures have been
    // searched: most such nodes cut off before needing them.
    if (doSau == 1) napNhieuDot(chon, ban, goiY, tang, biChieuNay);
    else chon.nap<false>(*this, ban, goiY, tang);
    if (chon.n == 0) return tang - DIEM_CHIEU_HET;

    const int32_t alphaGoc = alpha;
    int32_t diemTot = -VO_CUC;
    NuocGon nuocTot = nuocGon::tuNuocDi(NuocDi{0, 0, 0, 0});
    bool coNuocHopLe = false;
    for (NuocGon n; nuocTiep(chon, ban, goiY, tang, n);) {
        const bool laNuocAn = ban.ma(n.den()) >= 0;
        TruocNuoc truoc;
        if (!diThu(ban, n, biChieuNay, tang, truoc, true)) continue;
        const int32_t diem = -alphaBetaTren(ban, doSau - 1, -beta, -alpha, tang + 1);
        luiNuoc(ban, n, truoc);
        if (dungLai) return 0;
        if (diem > diemTot) {
            diemTot = diem;
            nuocTot = n;
        }
        alpha = std::max(alpha, diem);
        coNuocHopLe = true;
        if (alpha >= beta) {
            if (!laNuocAn) ghiNhanNuocCat(n, doSau, tang);
            ghiTT(khoaHienTai, doSau, alpha, KIEU_CAN_DUOI, nuocGon::raNuocDi(nuocTot), tang);
            return alpha;
        }
    }
    // No legal move loses, in check or not.
    if (!coNuocHopLe) return tang - DIEM_CHIEU_HET;
    ghiTT(khoaHienTai, doSau, alpha, alpha > alphaGoc ? KIEU_CHINH_XAC : KIEU_CAN_TREN, nuocGon::raNuocDi(nuocTot),
          tang);
    return alpha;
}

template <class B>
int32_t TimKiem::quiescenceTren(B& ban, int32_t alpha, int32_t beta, int32_t tang, bool biChieuNay) {
    if (!demNut()) return 0;
    tangSauNhat_ = std::max(tangSauNhat_, tang);
    // Only an endless chain of checks and evasions gets this far; see TANG_TOI_DA.
    if (tang >= TANG_TOI_DA) return luongGia();
    if (!biChieuNay) {
        const int32_t dungYen = luongGia();
        alpha = std::max(alpha, dungYen);
        if (dungYen >= beta) return dungYen;
    }

    // Out of check only captures are searched; in check every evasion is.
    BoChon& chon = boChonTaiTang(tang);
    if (!biChieuNay) chon.nap<true>(*this, ban, KHONG_GOI_Y, tang);
    else napNhieuDot(chon, ban, KHONG_GOI_Y, tang, true);

    bool coNuocHopLe = false;
    for (NuocGon n; nuocTiep(chon, ban, KHONG_GOI_Y, tang, n);) {
        TruocNuoc truoc;
        if (!diThu(ban, n, biChieuNay, tang, truoc, false)) continue;
        const int32_t diem = -quiescenceTren(ban, -beta, -alpha, tang + 1, dangBiChieu(ban, tang + 1));
        luiNuoc(ban, n, truoc);
        if (dungLai) return 0;
        alpha = std::max(alpha, diem);
        coNuocHopLe = true;
        if (alpha >= beta) break;
    }
    if (biChieuNay && !coNuocHopLe) return tang - DIEM_CHIEU_HET;
    return alpha;
}

// One root move searched to doSau below it: its score for the root's side.
template <class B>
int32_t TimKiem::timNuocGoc(B& ban, NuocGon n, int32_t doSau, int32_t alpha) {
    // The root position may come from anywhere: its children test check themselves.
    ghiGoiYChieu(1, n, KHONG_BIET);
    const TruocNuoc truoc = diNuoc(ban, n, true);
    const int32_t v = -alphaBetaTren(ban, doSau, -VO_CUC, -alpha, 1);
    luiNuoc(ban, n, truoc);
    return v;
}

template int32_t TimKiem::timNuocGoc(BanTimKiem&, NuocGon, int32_t, int32_t);
template int32_t TimKiem::timNuocGoc(BanCoBoc&, NuocGon, int32_t, int32_t);

int32_t TimKiem::alphaBeta(int32_t doSau, int32_t alpha, int32_t beta, int32_t tang) {
    BanCoBoc ban(*banCo);
    return alphaBetaTren(ban, doSau, alpha, beta, tang);
}

int32_t TimKiem::quiescence(int32_t alpha, int32_t beta, int32_t tang) {
    BanCoBoc ban(*banCo);
    return quiescenceTren(ban, alpha, beta, tang, dangBiChieu(ban, tang));
}
