#pragma once
// How long the CAO_THU search thinks about one move. From a clock (a GUI's
// wtime/btime/winc/binc/movestogo, UCCI's time/increment/movestogo, the
// game's own clock) it makes two limits: a soft one, after which no new
// iteration starts, and a hard one, at which the search stops whatever it is
// doing. Between iterations the soft one stretches while the best move keeps
// changing or the score falls, and shrinks while one move stands out.
// A fixed time a move (movetime) is used whole: nothing saved there is ever
// spent later.
#include <cstdint>

namespace quanLyThoiGian {

// What the clock says at the start of the move, in milliseconds.
struct DongHo {
    double msConLai = -1;   // on our clock (negative: no clock)
    double msTang = 0;      // added after each of our moves
    int64_t soNuocToiKiem = 0;  // our moves until the next time control (0: none, the rest of the game)
    double msTre = 0;       // lost around each move (pipes, the GUI): never thought with
};

struct NganSach {
    double msMem = 0;   // the soft limit, before stretching
    double msCung = 0;  // the hard limit: never passed
};

// The limits of one move; a clock without time left still gets a few ms.
NganSach tinh(const DongHo& d);

// Follows the iterations of one search and says when to stop.
class TheoDoi {
public:
    explicit TheoDoi(NganSach n) : ngan_(n) {}
    // After a completed iteration: its best move (any code that tells
    // moves apart) and its score. True: stop now, the rest is not worth
    // starting.
    bool dungSauVong(double msDaQua, uint32_t nuocTot, int32_t diem);
    // The soft limit as the last iteration left it (for tests and reports).
    double msMemHienTai() const { return memHienTai_; }

private:
    NganSach ngan_;
    int soVong_ = 0;
    uint32_t nuocTruoc_ = 0;
    int onDinh_ = 0;         // iterations in a row that kept the best move
    double doiGanDay_ = 0;   // recent changes of the best move, fading
    int32_t diemTruoc_[3] = {0, 0, 0};  // the scores of the last three iterations, latest first
    double memHienTai_ = 0;
};

}  // namespace quanLyThoiGian
