#pragma once
// The strength-first search of the CAO_THU level: principal-variation search
// with aspiration windows, null-move pruning, late-move reductions, check
// extensions, static exchange evaluation, killer / history / counter-move
// ordering, a depth-preferred transposition table and iterative deepening
// under a time budget. It plays on the byte board (ban_tim_kiem.h), whose move
// generation and check test are the ones the fixed levels use.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <vector>

#include "ban_co.h"
#include "ban_tim_kiem.h"
#include "danh_gia_cao_thu.h"
#include "luat_lap.h"
#include "nuoc_di.h"
#include "phe.h"

class TimKiemCaoThu {
public:
    static constexpr int32_t DIEM_CHIEU_HET = 30000;   // mate at the root; mate in n plies: +-(30000 - n)
    static constexpr int32_t NGUONG_CHIEU_HET = 29000; // beyond this a score is a mate
    static constexpr int32_t VO_CUC = 32000;
    static constexpr int TANG_TOI_DA = 120;

    // What bounds one search. Zero or negative: no bound of that kind.
    struct GioiHan {
        double msMem = 0;      // no new iteration starts after this
        // A clock's budget: msMem stretches and shrinks with how settled the
        // best move and its score are (quan_ly_thoi_gian.h), up to msCung.
        bool coGian = false;
        double msCung = 0;     // the search stops here whatever it is doing
        int32_t doSau = 0;     // deepest iteration
        int64_t soNut = 0;     // node budget (checked as the clock is)
        // Choose among the moves within this many points of the best (0: the best).
        int32_t bienDaDang = 0;
        const std::atomic<bool>* dungNgoai = nullptr;  // set by another thread to stop
        // A steady_clock instant (ticks since its epoch) the search stops at;
        // another thread may move it while the search runs.
        const std::atomic<int64_t>* hanChotNgoai = nullptr;
        // Analysis: this many best root moves, each searched to the full
        // depth with its own line (1: only the best, as a game needs).
        int32_t soDong = 1;
        // Analysis: a position with a single legal move is searched too
        // (a game just plays it), so that its line and score are known.
        bool timCaNuocDuyNhat = false;
        // The rule a return to an earlier position is judged by. Under the
        // Asian rules the cycle is ruled on inside the search: a forbidden
        // one loses for the side that made it, as a mate would; nuocTruoc
        // holds the moves between the positions of viTriTruoc and the root
        // (as many as there are positions), without which a cycle that
        // began before the root counts as a draw.
        LuatChoi luatLap = BA_LAN;
        std::span<const NuocDi> nuocTruoc{};
        // Only these root moves are searched (empty: every legal move).
        std::vector<NuocDi> chiNuoc;
        // Play: a stopped iteration that changed the best move reports its
        // line too (one line), so that the move played starts the last line
        // reported.
        bool baoVongDung = false;
    };
    // The budget of one move in the game: without a clock (giayConLai < 0)
    // up to 2.5 s; with one, the time manager's share of what is left
    // (at most 4 s soft, 10 s hard: the player waits), which cannot run
    // the clock out. An increment (seconds credited after each move) adds
    // most of itself to the share, never past half of what is left.
    static GioiHan gioiHanTheoDongHo(double giayConLai, double giayTang = 0.0);

    struct ThongTinVong {  // reported after each completed iteration
        int32_t doSau = 0, doSauChon = 0;
        int32_t diem = 0;
        int64_t soNut = 0;
        double giay = 0;
        std::vector<NuocDi> pv;
        // The best root moves, best first (soDong of them, or fewer when the
        // position has fewer legal moves): each one's score for the side to
        // move and its line, starting with that move.
        struct Dong {
            int32_t diem = 0;
            std::vector<NuocDi> pv;
        };
        std::vector<Dong> dong;
    };
    // Called after each completed iteration: how an analysis reads the lines
    // found so far (from the searching thread; copy what is needed).
    std::function<void(const ThongTinVong&)> baoVong;

    struct KetQua {
        NuocDi nuoc{0, 0, 0, 0};
        int32_t doSau = 0;
        int32_t diem = 0;
        int64_t soNut = 0;
        double giay = 0;
        bool biDung = false;  // a bound other than depth ended it
        bool coNuoc = false;  // false: no legal move, or the board cannot be searched here
    };

    TimKiemCaoThu();
    ~TimKiemCaoThu();
    TimKiemCaoThu(const TimKiemCaoThu&) = delete;
    TimKiemCaoThu& operator=(const TimKiemCaoThu&) = delete;

    // Searches the position (not changed) with `phe` to move; viTriTruoc: the
    // keys (TimKiem::khoaViTri) of the game's earlier positions, oldest first.
    // A line that returns to one of them, or to an earlier position of its
    // own, is a draw.
    KetQua tim(const BanCo& ban, Phe phe, std::span<const uint64_t> viTriTruoc, const GioiHan& gioiHan);
    // Weights and switches a tool may change to measure them against each other.
    struct ThamSo {
        DanhGiaCaoThu::TrongSo trongSo;
        bool nuocRong = true;     // null-move pruning
        int32_t chiaGiam = 220;   // late-move reductions: log(depth) * log(moves) * 100 / chiaGiam
        int32_t bienTuongLai = 85;  // static pruning margin per ply
        int32_t bienLuoi = 250;     // capture search: stand pat on material alone this far above beta (0: never)
        int32_t moRongChieu = 1;    // checks extended: 0 none, 1 all, 2 those not losing the piece (and on the main line)
    };
    void datThamSo(const ThamSo& t);
    const ThamSo& thamSo() const { return thamSo_; }

    // The random choice among near-best moves; a fixed seed repeats it.
    void datHatGiong(uint64_t hatGiong) { ngauNhien_.seed(hatGiong); }
    // Forgets the table, history and killers (a new game).
    void xoa();
    // The table's size in MiB (at least 1), rounded down to a power of two;
    // a new size drops the table, which the next search allocates afresh.
    void datCoBang(size_t mib);
    // Makes the table now if it is not made yet (true: it was made now), so
    // that a GUI can have it made before it starts a clock.
    bool capBangNgay() {
        if (bang_) return false;
        capBang();
        return true;
    }

private:
    struct MucTT {
        uint64_t khoa = 0;
        uint16_t nuoc = 0;
        int16_t diem = 0;
        int16_t danhGia = 0;
        int8_t doSau = 0;
        uint8_t kieuTuoi = 0;  // bits 0-1: bound (0 none, 1 exact, 2 lower, 3 upper); 2-7: the search's age
    };
    static_assert(sizeof(MucTT) == 16);
    static constexpr size_t SO_MUC_MOI_NHOM = 4;
    static constexpr size_t SO_NHOM_MAC_DINH = size_t{1} << 20;  // 64 MiB
    size_t soNhom_ = SO_NHOM_MAC_DINH;  // a power of two
    struct TraBang {
        void operator()(MucTT* p) const;
    };
    std::unique_ptr<MucTT[], TraBang> bang_;
    uint8_t tuoi_ = 0;
    void capBang();
    MucTT* doTT(uint64_t khoa, bool& thay);
    void ghiTT(uint64_t khoa, int doSau, int diem, int kieu, NuocGon nuoc, int danhGia, int tang);

    // The line being searched.
    BanTimKiem ban_;
    DanhGiaCaoThu::Tong tong_;
    uint64_t khoa_ = 0;
    Phe luot_ = DO;
    Phe pheGoc_ = DO;
    // Keys of the game's positions, then the line's; a capture or a null move
    // starts a stretch no earlier position can return in.
    std::vector<uint64_t> lichSu_;
    size_t batDauLap_ = 0;
    std::array<uint16_t, 4096> loc_{};  // how many keys of lichSu_ fall in each bucket
    static int oLoc(uint64_t k) { return static_cast<int>(k >> 52); }
    int32_t diemHoa_ = 0;  // the draw's score for the root's side

    struct TruocNuoc {
        uint64_t khoa;
        DanhGiaCaoThu::Tong tong;
        size_t batDauLap;
        int an;
    };
    void lamNuoc(NuocGon n, TruocNuoc& t);
    void luiNuoc(NuocGon n, const TruocNuoc& t);
    // Makes the move; false (the move taken back) when it leaves its own
    // general attacked.
    bool lamNuocHopLe(NuocGon n, bool biChieu, TruocNuoc& t);
    void lamNuocRong(TruocNuoc& t);
    void luiNuocRong(const TruocNuoc& t);
    bool laLapLai() const;
    // The score of a return to an earlier position for the side to move at
    // ply `tang`: the draw's, or under the Asian rules the ruling's.
    int32_t diemLapLai(int tang);
    // The move into each position of lichSu_ ({} for the first, a passed
    // move, or a game move not handed over).
    std::vector<NuocGon> nuocLichSu_;
    size_t soViTriTruoc_ = 0;  // how many of lichSu_ are the game's
    bool coNuocTruoc_ = false;  // the game's moves were handed over
    // Rulings already made, by the cycle they judged (a cycle's ruling never
    // changes, so they outlive the search).
    struct PhanQuyetDaCo {
        uint64_t khoa = 0;
        int8_t ketQua = -1;  // -1 empty, 0 draw, 1 + the side that broke the rules
    };
    std::vector<PhanQuyetDaCo> phanQuyetDaCo_;
    int8_t phanXuChuKyTu(size_t dau);
    int32_t danhGia() const { return DanhGiaCaoThu::danhGia(ban_, tong_, luot_, thamSo_.trongSo); }
    ThamSo thamSo_;
    int8_t giam_[64][64];  // late-move reductions by depth and move number

    // Ordering.
    NuocGon satThu_[TANG_TOI_DA + 8][2];
    int32_t lichSuDiem_[16][90] = {};
    // The same by the move before: how well a move (piece code, destination)
    // did as the answer to the opponent's (its piece code and destination).
    static constexpr size_t SO_O_TIEP = size_t{16} * 90 * 16 * 90;
    std::unique_ptr<int32_t[]> lichSuTiep_{new int32_t[SO_O_TIEP]()};
    int32_t* tiep(int tang) {
        if (maVao_[tang] < 0) return nullptr;
        const size_t truoc = static_cast<size_t>(maVao_[tang]) * 90 + nuocGon::o90(nuocVao_[tang].den());
        return &lichSuTiep_[truoc * 16 * 90];
    }
    NuocGon nuocDap_[16][90];  // the reply that refuted a move, by its piece code and destination
    NuocGon nuocVao_[TANG_TOI_DA + 8];  // the move into each ply
    int maVao_[TANG_TOI_DA + 8] = {};   // and the code of the piece it moved
    // The static score of each ply's position (KHONG_TINH in check): a side
    // whose score rose since its last move is pruned less and reduced less.
    static constexpr int32_t KHONG_TINH = INT32_MIN / 2;
    int32_t tinhTang_[TANG_TOI_DA + 8] = {};
    int see(NuocGon n);

    // Time and counting.
    GioiHan gioiHan_;
    std::chrono::steady_clock::time_point batDau_;
    int64_t soNut_ = 0;
    bool dung_ = false;
    bool daXongMotVong_ = false;
    int doSauChon_ = 0;
    double msDaQua() const;
    void kiemTraDung();

    int32_t pvs(int alpha, int beta, int doSau, int tang, bool biChieu, bool choNull);
    int32_t tinhLang(int alpha, int beta, int tang, bool biChieu);
    // Whether side `luot_` just moved n into a position where the other side is in check.
    bool chieuSau(NuocGon n, bool coTheChieu) const;

    std::mt19937_64 ngauNhien_{20260716};
    std::vector<NuocDi> layPV(NuocGon dau);
};
