#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "luat_lap.h"

#include "phan_tich.h"

class TimKiemCaoThu;

// The analysis board's engine: a thread of its own with a CAO_THU search of
// its own (its table made by the first search), so that the game, its
// computer opponent and hints never wait for it. It thinks without a bound on
// one position and keeps the best lines of each completed depth; when no
// position is asked for, it scores the positions of a game one by one for the
// evaluation graph. Either stops when nobody asked for it for a few seconds.
//
// Every call only copies a request in or a prepared answer out under its own
// lock (never the game's); the thread starts with the first request.
class MayPhanTich {
public:
    MayPhanTich();
    ~MayPhanTich();
    MayPhanTich(const MayPhanTich&) = delete;
    MayPhanTich& operator=(const MayPhanTich&) = delete;

    // "phantich": fen=F&dong=K[&luat=L] starts (or switches to) F with K
    // lines judged by rule set L (the Asian rules unless BA_LAN),
    // no fen answers the latest lines, dung=1 stops. The JSON answer.
    std::string lenhPhanTich(const ThamSo& thamSo);
    // "danhgiavan": fen=F0&nuoc=m1,m2,... has each position of that game
    // scored in the background; the JSON answer holds the scores known so far.
    std::string lenhDanhGiaVan(const ThamSo& thamSo);

    // The game's own searches (the computer's move, a hint) come first: while
    // one runs, the analysis waits, and a search of its own in progress stops
    // to go on (from its table) once the game's is over.
    void batDauTimCuaVan();
    void xongTimCuaVan();
    struct NhuongChoVan {
        MayPhanTich& m;
        explicit NhuongChoVan(MayPhanTich& may) : m(may) { m.batDauTimCuaVan(); }
        ~NhuongChoVan() { m.xongTimCuaVan(); }
        NhuongChoVan(const NhuongChoVan&) = delete;
        NhuongChoVan& operator=(const NhuongChoVan&) = delete;
    };

    // Stops any search and the thread soon; takes no lock (safe from any thread).
    void baoDung();
    // baoDung, then waits for the thread. No search starts afterwards.
    void dungVaCho();

    // How long the thread goes on without a request.
    static constexpr auto THOI_GIAN_CHO = std::chrono::seconds(5);
    // One position of the graph: this depth, or less if the time runs out first.
    static constexpr int DO_SAU_DO_THI = 10;
    static constexpr double MS_DO_THI = 300;

private:
    struct Dong {
        std::vector<std::string> nuoc;  // ICCS
        int32_t diem = 0;               // red's point of view
        int32_t chieuHet = 0;           // moves to mate, signed for red; 0: none
    };
    struct DiemViTri {
        int32_t diem = 0;
        int32_t chieuHet = 0;
    };

    std::atomic<bool> tat_{false};
    std::mutex khoa_;  // guards everything below up to luong_
    std::condition_variable coViec_;
    // The position analysed: its normalised FEN, lines asked, and a number
    // that changes with each new request, so stale results are dropped.
    std::string fen_;
    LuatChoi luat_ = CHAU_A;
    int soDong_ = 1;
    uint64_t phien_ = 0;
    bool canTim_ = false;  // asked, not yet searched (or stopped before its end)
    bool dangTim_ = false;
    bool xong_ = false;    // its search ended by itself (a mate, or the deepest depth)
    int timCuaVan_ = 0;    // the game's searches running now
    std::chrono::steady_clock::time_point hoiCuoi_;
    int32_t doSau_ = 0;
    std::vector<Dong> dong_;
    // The graph: the game's positions (FEN) and the scores found, by FEN.
    std::vector<std::string> viTriDoThi_;
    std::chrono::steady_clock::time_point hoiDoThiCuoi_;
    std::map<std::string, DiemViTri> diemDaBiet_;
    std::thread luong_;

    // The search's stop, and when an idle analysis ends (another request moves it).
    std::atomic<bool> dungTim_{false};
    std::atomic<int64_t> hanChot_{0};
    std::unique_ptr<TimKiemCaoThu> may_;  // the thread's only

    void batLuong();  // khoa_ held
    void vong();
    // On the thread, without khoa_: one analysis until it is stopped (false)
    // or ends by itself (true), publishing each depth's lines.
    bool timPhanTich(const std::string& fen, int soDong, LuatChoi luat, uint64_t phien);
    // One graph position's score; false when stopped early.
    bool danhGiaMot(const std::string& fen, DiemViTri& d);
    std::string traLoi() const;  // khoa_ held
    void hoi();                  // khoa_ held: a request came
};
