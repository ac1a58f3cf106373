#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "do_kho.h"
#include "nuoc_uci.h"
#include "tim_kiem.h"
#include "van_co.h"

// One conversation with a Xiangqi GUI, a line at a time, and the engine's
// answers through `viet` (one line per call, from the reading thread or the
// search thread, never both at once).
//
// Two dialects: UCI as Xiangqi GUIs and adapters send it ("position" may be
// left out: "fen <FEN> moves ..." and "startpos ..." stand alone), and UCCI,
// chosen by a first "ucci" (options set without "name"/"value", "banmoves",
// times in seconds or milliseconds, "nobestmove", "bye").
//
// The search runs on a thread of its own, so that "stop", "ponderhit",
// "isready" and "quit" are answered while it thinks; every "go" ends with one
// "bestmove" (for "infinite" and "ponder", only after "stop" or "ponderhit"),
// and the move played is the first move of the last line shown. A command
// that is malformed, illegal or untimely is answered with an "info string"
// saying why, and changes nothing.
class PhienUCI {
public:
    explicit PhienUCI(std::function<void(const std::string&)> viet);
    ~PhienUCI();
    PhienUCI(const PhienUCI&) = delete;
    PhienUCI& operator=(const PhienUCI&) = delete;

    // False once the conversation is over ("quit").
    bool xuLy(const std::string& dong);

    // The settings a search is given. Hash sizes the strength-first level's
    // table; the fixed levels keep theirs. Every level searches on one thread.
    struct CauHinh {
        DoKho doKho = CAO_THU;
        int hashMB = 64;
        int soDong = 1;          // MultiPV (CAO_THU)
        bool ponder = false;     // the GUI may send "go ponder"
        bool daDang = false;     // Variety: CAO_THU's varied opening choice
        int64_t treMs = 30;      // Move Overhead: the pipes' share of each move
        bool miliGiayUCCI = false;  // UCCI "usemillisec"
        bool batch = false;      // UCCI "batch": accepted; input is read while thinking either way
        LuatChoi luat = CHAU_A;  // Repetition: how the game's repetitions are judged
    };

    // What one "go" asks, in either dialect. Times in milliseconds.
    struct LenhGo {
        bool ponder = false, voHan = false;
        int64_t doSau = 0, soNut = 0, chieuHet = 0, miliGiay = -1;
        int64_t conLai = -1, tang = 0, soNuocToiKiem = 0;
        std::vector<NuocDi> chiNuoc;  // searchmoves (empty: all)
    };

private:
    std::function<void(const std::string&)> viet_;
    std::mutex khoaViet_;
    void noi(const std::string& dong);
    void baoLoi(const std::string& loi) { noi("info string " + loi); }

    bool ucci_ = false;
    CauHinh cauHinh_;
    uci::TheCo theCo_;
    // The same position as a game, moves and all: what judging a
    // repetition by the Asian rules needs (rulings are only noted, never
    // end it, since the GUI adjudicates).
    std::unique_ptr<VanCo> van_;
    static std::unique_ptr<VanCo> vanTu(const std::string& fen, const std::vector<NuocDi>& nuoc);
    std::vector<NuocDi> nuocCam_;  // UCCI banmoves: left out of the next search
    std::unique_ptr<TimKiem> timKiem_;

    // The options, as the GUI sees them. Adding one is adding an entry: its
    // names, its declaration in each dialect and what setting it does (an
    // empty answer, or why the value is refused).
    struct TuyChon {
        std::string ten;      // UCI name ("" when UCCI only)
        std::string tenUcci;  // UCCI name ("" when UCI only)
        std::string khaiBao;  // after "type": "spin default 64 min 1 max 1024"
        std::function<std::string(const std::string& giaTri)> dat;
    };
    std::vector<TuyChon> tuyChon_;
    void taoTuyChon();

    // The table of the strength-first level, made when the GUI sets it up
    // (Hash, Level, ucinewgame, isready), never inside a timed search.
    void chuanBiBang();

    // The search thread and what it shares with the reading thread.
    std::thread luong_;
    std::atomic<bool> dangTim_{false};
    std::atomic<bool> dung_{false};
    // The answer is held until "stop" (infinite) or "ponderhit" / "stop" (ponder).
    std::atomic<bool> giuLai_{false};
    std::atomic<bool> dangPonder_{false};
    // A pondering CAO_THU search runs without a clock until "ponderhit" sets
    // this instant (steady_clock ticks) to now plus msSauPonder_.
    std::atomic<int64_t> hanChot_{INT64_MAX};
    double msSauPonder_ = 0;
    std::mutex khoaCho_;
    std::condition_variable cho_;
    void dungTim();
    void thaCho();

    void lenhUci(bool ucci);
    void lenhSetOption(const std::vector<std::string>& tu);
    void lenhPosition(const std::vector<std::string>& tu, size_t dau);
    void lenhGoUci(const std::vector<std::string>& tu);
    void lenhGoUcci(const std::vector<std::string>& tu);
    void lenhBanMoves(const std::vector<std::string>& tu);
    void batDauTim(LenhGo lg);
    void traLoiKhongNuoc();
    std::string dongInfo(const TimKiem::BaoCaoVong& b, size_t dong, int32_t diem, const std::vector<NuocDi>& pv) const;
};
