#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "ban_co.h"
#include "ban_tim_kiem.h"
#include "do_kho.h"
#include "luat_lap.h"
#include "nuoc_di.h"
#include "phe.h"
#include "quan_ly_thoi_gian.h"

// The search engine: iterative deepening over the root moves, negamax
// alpha-beta with a transposition table, quiescence, killers and history.
//
// The board is searched in place: moves are made and taken back on it, so the
// same pieces stand on the same squares afterwards, but a captured piece that
// is put back moves to the end of the storage order.
//
// Callers see the levels and the two search entry points; the tests reach
// the search's parts through their probe, DoTimKiem.
class TimKiemCaoThu;

class TimKiem {
public:
    // Statistics of one search.
    struct ThongKe {
        int64_t soNut = 0;   // calls of alphaBeta and quiescence that passed their stop test
        int32_t doSau = 0;   // deepest completed iteration (0 if none)
        double giay = 0.0;   // seconds from the start of the search to the end of deepening
        int32_t diem = 0;    // best root score of the deepest completed iteration
        bool biDung = false; // the time limit stopped the search
        NuocDi nuocDi;       // the move returned
    };

    TimKiem();
    TimKiem(const TimKiem&) = delete;
    TimKiem& operator=(const TimKiem&) = delete;
    TimKiem(TimKiem&&) = default;
    TimKiem& operator=(TimKiem&&) = default;

    // Sets the search parameters from the level table (do_kho.h).
    void caiDatDoKho(DoKho doKho);
    void caiThamSo(DoKho doKho) { caiDatDoKho(doKho); }

    // The searches; timNuocDi plays at a level, timNuocDiVoiThoiGian to a
    // depth within a time in milliseconds (at least 1).
    // viTriTruoc: the keys (khoaViTri) of the game's positions before the one
    // searched, oldest first. A line that returns to any of them scores 0, as
    // one that returns to a position of the line itself does, so a winning
    // side does not walk into a repetition the game would score as a draw.
    // giayConLai: the time left on the searching side's clock in seconds,
    // for a level that budgets from it; negative when the game has no clock.
    // giayTang: the seconds that clock gains after each move.
    NuocDi timNuocDi(BanCo& ban, Phe phe, DoKho doKho, ThongKe& thongKe, std::span<const uint64_t> viTriTruoc = {},
                     double giayConLai = -1.0, double giayTang = 0.0);
    // How long a fixed level may think, in milliseconds, on a clock showing
    // giayConLai (negative: no clock) and gaining giayTang a move: the
    // level's own time, unless that clock could not afford it.
    static double thoiGianCoDinhTheoDongHo(DoKho doKho, double giayConLai, double giayTang);
    NuocDi timNuocDiVoiThoiGian(BanCo& ban, Phe phe, int32_t ms, int32_t doSau, ThongKe& thongKe,
                                std::span<const uint64_t> viTriTruoc = {});

    // The CAO_THU search's random choice among near-best opening moves; a
    // fixed seed repeats the same games (tests, the bench).
    void datHatGiongCaoThu(uint64_t hatGiong);
    // The CAO_THU search itself (created on first use), for tools that drive
    // it with their own bounds.
    TimKiemCaoThu& caoThu();

    // The engine's key of a position with `luot` to move; the same in every
    // engine, so a game can keep its positions' keys for later searches.
    static uint64_t khoaViTri(const BanCo& ban, Phe luot);

    // What a caller driving the engine from outside the game (the UCI
    // engine) may add to a level's limits: doSau and miliGiay replace the
    // level's in timNuocDi; the stop, the node budget and the report hold for
    // every search. The defaults add nothing: the levels search exactly as
    // in the game.
    struct BaoCaoVong {
        int32_t doSau = 0;         // the iteration just completed
        int32_t tangSauNhat = 0;   // the deepest ply any node reached so far
        int32_t diem = 0;          // its best score, for the side that searched
        int64_t soNut = 0;
        double giay = 0.0;
        std::vector<NuocDi> duongChinh;  // its best move, then the table's replies
        // CAO_THU with soDong > 1: every root line, best first, each with its
        // score (the first is diem and duongChinh).
        std::vector<std::pair<int32_t, std::vector<NuocDi>>> cacDong;
    };
    struct GioiHan {
        int32_t doSau = 0;         // deepest iteration instead of the level's (0: the level's)
        double miliGiay = 0.0;     // time instead of the level's (0: the level's; infinity: none)
        // CAO_THU: a clock (msConLai >= 0) the time manager budgets the move
        // from, instead of a finite miliGiay, which CAO_THU uses whole.
        quanLyThoiGian::DongHo dongHo;
        int64_t soNut = 0;         // stop once about this many nodes are counted (0: no budget)
        // Raised by another thread: the search stops at its next clock test.
        const std::atomic<bool>* dung = nullptr;
        std::function<void(const BaoCaoVong&)> baoCao;  // after each completed iteration
        // Only these root moves are searched (empty: all); each must be legal.
        std::vector<NuocDi> chiNuoc;
        // CAO_THU: this many best root lines, each searched in full (1: the game's one).
        int32_t soDong = 1;
        // CAO_THU: its random choice among near-best opening moves (off: the
        // best move every time, so the same position and limits repeat).
        bool daDang = true;
        // CAO_THU: a steady_clock instant (ticks since its epoch) the search
        // stops at, which another thread may set while it runs (null: none).
        const std::atomic<int64_t>* hanChot = nullptr;
    };
    void datGioiHan(GioiHan gioiHan) { gioiHan_ = std::move(gioiHan); }
    // The rule the game's repetitions are judged by, for the searches that
    // follow. Under the Asian rules the fixed levels keep their search and
    // only leave out the root moves in nuocCam (those that would lose the
    // game by the rules; all of them are searched when nothing else is
    // left), while CAO_THU rules on cycles inside its search; nuocTruoc:
    // the moves between the positions of viTriTruoc and the root.
    void datLuatLap(LuatChoi luat, std::vector<NuocDi> nuocTruoc = {}, std::vector<NuocDi> nuocCam = {}) {
        luatLap_ = luat;
        nuocTruoc_ = std::move(nuocTruoc);
        nuocCam_ = std::move(nuocCam);
    }
    // A new game: every level's table, killers, history and random choice as
    // a fresh engine has them (the CAO_THU table is emptied where it stands,
    // not given back), so a search after it repeats one by a fresh engine.
    void vanMoi();

private:
    friend struct DoTimKiem;

    // One transposition-table entry, 16 bytes so that four share a cache line.
    // An entry only ever holds keys whose low bits are its slot number, so
    // those bits need not be stored: the low 16 bits of `khoaGoi` carry the
    // bound kind (0 empty, 1 exact, 2 lower bound, 3 upper bound) and the move
    // (origin and destination as row * 9 + column, 7 bits each) instead.
    struct MucTT {
        uint64_t khoaGoi = 0;
        int32_t diem = 0;
        int32_t doSau = 0;

        static constexpr uint64_t BIT_THAP = 0xFFFF;
        int32_t kieu() const { return static_cast<int32_t>(khoaGoi & 3); }
        bool cungKhoa(uint64_t khoa) const { return ((khoaGoi ^ khoa) & ~BIT_THAP) == 0; }
        NuocDi nuocDi() const {
            const int di = static_cast<int>((khoaGoi >> 9) & 127), den = static_cast<int>((khoaGoi >> 2) & 127);
            return NuocDi{di / 9, di % 9, den / 9, den % 9};
        }
        // The move must lie on the board, as every move the search stores does.
        void ghi(uint64_t khoa, int32_t kieuMoi, const NuocDi& n) {
            const uint64_t di = static_cast<uint64_t>(n.hangDi * 9 + n.cotDi) & 127;
            const uint64_t den = static_cast<uint64_t>(n.hangDen * 9 + n.cotDen) & 127;
            khoaGoi = (khoa & ~BIT_THAP) | di << 9 | den << 2 | static_cast<uint64_t>(kieuMoi & 3);
        }
    };

    static constexpr int32_t VO_CUC = 1000000;
    static constexpr int32_t DIEM_CHIEU_HET = 900000;
    static constexpr int32_t NGUONG_CHIEU_HET = 880000;
    static constexpr int32_t KIEU_TRONG = 0, KIEU_CHINH_XAC = 1, KIEU_CAN_DUOI = 2, KIEU_CAN_TREN = 3;
    static constexpr size_t SO_MUC_TT = size_t{1} << 18;
    static_assert(SO_MUC_TT > MucTT::BIT_THAP, "the slot number must cover the bits an entry reuses");
    static constexpr int SO_TANG_SAT_THU = 64;
    // Plies beyond the last killer slot share it.
    static int tangSatThu(int32_t tang) { return tang < SO_TANG_SAT_THU - 1 ? tang : SO_TANG_SAT_THU - 1; }
    // Quiescence gives up (returns the bare evaluation) at this ply, so that an
    // endless chain of checks and evasions cannot exhaust the thread's stack.
    static constexpr int32_t TANG_TOI_DA = 400;

    // The strength-first search of CAO_THU, with its own table: made by the
    // first CAO_THU search, so the other levels never pay for it.
    struct XoaCaoThu {
        void operator()(TimKiemCaoThu* p) const;
    };
    std::unique_ptr<TimKiemCaoThu, XoaCaoThu> caoThu_;
    uint64_t hatGiongCaoThu_ = 0;
    bool coHatGiongCaoThu_ = false;
    NuocDi timCaoThu(BanCo& ban, Phe phe, ThongKe& thongKe, std::span<const uint64_t> viTriTruoc, double giayConLai,
                     double giayTang);

    // Search parameters (set from the level table by caiDatDoKho).
    int32_t doSauToiDa = 4;
    double thoiGianToiDa = 500.0;
    bool dungTT = true;
    bool dungQuiescence = true;
    int32_t bienNgauNhien = 0;
    int32_t tiLeNgauNhien = 0;

    // State of the current search.
    BanCo* banCo = nullptr;
    Phe pheMay = DO;
    Phe pheDangDi = DO;
    int64_t soNut = 0;
    bool dungLai = false;
    std::chrono::steady_clock::time_point thoiDiemBatDau{};
    int32_t doSauDaXong = 0;
    std::mt19937 ngauNhien{2026};
    std::vector<uint64_t> lichSuKhoa;

    // Hashing and the transposition table.
    uint64_t zobrist[2][7][90] = {};
    uint64_t zobristLuot = 0;
    uint64_t khoaHienTai = 0;
    struct TraBangTT {
        void operator()(MucTT* p) const;
    };
    std::unique_ptr<MucTT[], TraBangTT> bangTT;
    uint64_t matNaTT = SO_MUC_TT - 1;

    // Move ordering.
    NuocDi nuocSatThu[SO_TANG_SAT_THU][2];
    int32_t diemLichSu[2][90][90] = {};
    int32_t diemLichSuLonNhat_ = 0;  // the highest of diemLichSu since it was cleared

    // The search with the parameters currently set, in three parts: the
    // set-up, the iterations, the statistics.
    NuocDi timVoiThamSoHienTai(ThongKe& thongKe, std::span<const uint64_t> viTriTruoc = {});
    // The root moves with their scores, best first after each iteration.
    using DanhSachGoc = std::vector<std::pair<int32_t, NuocDi>>;
    struct KetQuaGoc {
        DanhSachGoc ds;
        NuocDi ketQua;        // the best move of the last completed iteration
        int32_t diemTot = 0;  // and its score
    };
    void batDauTimKiem(std::span<const uint64_t> viTriTruoc);
    template <class B>
    bool motVongGoc(B& ban, int32_t d, KetQuaGoc& goc);
    void ghiThongKe(ThongKe& thongKe, std::chrono::steady_clock::duration daQua, const KetQuaGoc& goc) const;

    // Hashing, make/unmake and the table.
    void khoiTaoZobrist();
    // The table is allocated by the first search, so engines that never
    // search (the game's own computer players) cost no table.
    void capBangTT();
    void apDungNuoc(const NuocDi& nuoc, uint64_t& khoa);
    void boNuocDi(const NuocDi& nuoc, uint64_t& khoa);
    void ghiTT(uint64_t khoa, int32_t doSau, int32_t diem, int32_t kieu, const NuocDi& nuoc, int32_t tang);
    bool docTT(uint64_t khoa, int32_t doSau, int32_t& diem, int32_t& kieu, NuocDi& nuoc, int32_t tang) const;
    // Empties the entry of this position, if the table holds one.
    void quenTT(uint64_t khoa);

    // The tree search below the root.
    int32_t alphaBeta(int32_t doSau, int32_t alpha, int32_t beta, int32_t tang);
    int32_t quiescence(int32_t alpha, int32_t beta, int32_t tang);
    void sapXepNuocDi(DanhSachNuoc& ds, const NuocDi& goiY, int32_t tang) const;
    int32_t luongGia() const;
    bool hetThoiGian() const;
    // A node's moves, handed out in the order sapXepNuocDi would give them.
    struct BoChon {
        std::vector<NuocGon> ds;
        size_t n = 0, i = 0;
        uint64_t khoa[256];
        bool daDongGoi = false;
        // Lists the side to move's moves (CHI_AN: captures only) and ranks them.
        template <bool CHI_AN, class B>
        void nap(const TimKiem& tk, B& ban, NuocGon goiY, int32_t tang);
        // The same list in two rounds, for a node whose quiet moves cannot
        // change rank while its first moves are searched: first the hint and
        // the captures (which outrank every quiet move while the history
        // scores stay below every capture's), then, only when those leave
        // the node open, the other quiet moves.
        bool conDotYen = false;
        // biChieu: the side to move is in check, and the node searches only
        // what it can make: the quiet round leaves out the quiet moves that
        // cannot lift the check.
        void napDotDau(const TimKiem& tk, const BanTimKiem& ban, NuocGon goiY, int32_t tang, bool biChieu);
        void napDotYen(const TimKiem& tk, const BanTimKiem& ban, NuocGon goiY, int32_t tang);
        bool tiep(NuocGon& ra);

    private:
        // The side's pieces in storage order when the first round was listed:
        // the quiet round walks them in that order.
        int soQuanDau_ = 0;
        BanTimKiem::ChanChieu chanChieu_;  // in check: what a quiet move must do to lift it
        uint8_t dsQuanDau_[BanTimKiem::SO_QUAN_TOI_DA];
        // Ranks the moves sinh(them) hands over by diem(move).
        // CO_THU_TU: sinh hands over (di, den, thuTu) instead of the moves in order.
        template <bool CO_THU_TU, class Sinh, class Diem>
        void xep(Sinh&& sinh, Diem&& diem);
    };
    template <class B>
    void napNhieuDot(BoChon& chon, B& ban, NuocGon goiY, int32_t tang, bool biChieu) const;
    // The next move of a node, listing the quiet round when its turn comes.
    template <class B>
    bool nuocTiep(BoChon& chon, const B& ban, NuocGon goiY, int32_t tang, NuocGon& ra) const;
    // One reusable move list per ply, so a node allocates nothing; each on
    // its own, so that growing the table never moves a list a shallower node
    // is still walking.
    std::vector<std::unique_ptr<BoChon>> dsTheoTang_;
    BoChon& boChonTaiTang(int32_t tang);
    // The search's own board, used whenever it can stand for banCo.
    BanTimKiem banTimKiem_;

    // The search on a board B: BanTimKiem, or BanCoBoc around banCo.
    template <class B>
    int32_t alphaBetaTren(B& ban, int32_t doSau, int32_t alpha, int32_t beta, int32_t tang);
    template <class B>
    int32_t quiescenceTren(B& ban, int32_t alpha, int32_t beta, int32_t tang, bool biChieuNay);
    template <class B>
    int32_t timNuocGoc(B& ban, NuocGon n, int32_t doSau, int32_t alpha);
    // What a move's undo needs back: the key and the evaluation sums before
    // it, and the captured piece's slot on the search board.
    struct TruocNuoc {
        uint64_t khoa = 0;
        int32_t diemDo = 0;
        int32_t phongThu[2] = {0, 0};
        int biAn = BanTimKiem::KHONG;
    };
    template <class B>
    bool diThu(B& ban, NuocGon n, bool biChieuNay, int32_t tang, TruocNuoc& truoc, bool conDocTT);
    template <class B>
    TruocNuoc diNuoc(B& ban, NuocGon n, bool conDocTT);
    // diNuoc in two halves: the key and sums (and the child's table slot
    // fetched), then the board; the fetch starts as early as it can.
    template <class B>
    TruocNuoc batDauNuoc(const B& ban, NuocGon n, bool conDocTT);
    template <class B>
    void datNuoc(B& ban, NuocGon n, TruocNuoc& truoc);
    template <class B>
    void luiNuoc(B& ban, NuocGon n, const TruocNuoc& truoc);
    template <class B>
    void xorNuoc(const B& ban, NuocGon n, int huong);
    template <class B>
    int32_t diemSapXep(const B& ban, NuocGon n, NuocGon goiY, const NuocGon* satThu) const;
    int32_t diemYen(int maDi, NuocGon n, const NuocGon* satThu) const;
    // Stable sort by diemSapXep, highest first.
    template <class B>
    void sapXepOnDinh(const B& ban, NuocGon* ds, size_t n, NuocGon goiY, int32_t tang) const;
    void ghiNhanNuocCat(NuocGon nuoc, int32_t doSau, int32_t tang);

    // Set by a node for its child: what the move into the child tells about
    // the child's in-check test. Below the root the side that just moved here
    // is never in check, so the move alone may settle it (CHAC_KHONG), or the
    // test need only look at what the move changed (THEO_NUOC); anything
    // unknown is tested in full.
    enum GoiYChieu : uint8_t { KHONG_BIET, CHAC_KHONG, THEO_NUOC };
    struct NuocVao {
        NuocGon nuoc;
        GoiYChieu goiY = KHONG_BIET;
    };
    static constexpr int32_t SO_TANG_GOI_Y_CHIEU = 512;
    NuocVao nuocVao_[SO_TANG_GOI_Y_CHIEU] = {};
    void ghiGoiYChieu(int32_t tangCon, NuocGon nuoc, GoiYChieu goiY) {
        if (tangCon >= 0 && tangCon < SO_TANG_GOI_Y_CHIEU) nuocVao_[tangCon] = NuocVao{nuoc, goiY};
    }
    // Read once per node and cleared, so a stale hint can never reach a node
    // that was entered some other way.
    template <class B>
    bool dangBiChieu(const B& ban, int32_t tang) {
        if (tang < 0 || tang >= SO_TANG_GOI_Y_CHIEU) return ban.biChieu(pheDangDi);
        const NuocVao vao = nuocVao_[tang];
        nuocVao_[tang].goiY = KHONG_BIET;
        if (vao.goiY == CHAC_KHONG) return false;
        if (vao.goiY == THEO_NUOC) return ban.chieuSauNuoc(vao.nuoc, pheDangDi);
        return ban.biChieu(pheDangDi);
    }

    void boNuocCam(DanhSachNuoc& hopLe) const;
    GioiHan gioiHan_;
    LuatChoi luatLap_ = BA_LAN;
    std::vector<NuocDi> nuocTruoc_;
    std::vector<NuocDi> nuocCam_;
    int32_t tangSauNhat_ = 0;  // the deepest ply a capture search reached
    std::vector<NuocDi> duongChinh(const NuocDi& dau) const;

    bool demNut();
    void xoaSatThuVaLichSu();
    bool laLapLai() const;

    // The evaluation kept up to date move by move during the deepening loop,
    // so that a leaf costs a few additions instead of a walk over the pieces.
    // Off only for boards without a trustworthy square view.
    bool danhGiaTangDan_ = false;
    int32_t diemDo_ = 0;             // material and position, red minus black
    int32_t phongThu_[2] = {0, 0};   // advisors plus elephants per side
    void batDanhGiaTangDan();
    NuocDi chonNgauNhien(const DanhSachGoc& dsGoc, int32_t diemTot, NuocDi ketQua);
};
