#pragma once
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tep_van_luu.h"

// The game kept between runs: one file, replaced whole by a rename each time
// the game changes, before the change is answered, so that what a player
// was shown survives the program being killed. Putting the file on the
// device takes milliseconds, which no answer waits for: a thread of its own
// flushes the newest file half a second after a change, the changes of that
// half second with one flush.
class TuLuu {
public:
    TuLuu() = default;
    ~TuLuu();
    TuLuu(const TuLuu&) = delete;
    TuLuu& operator=(const TuLuu&) = delete;

    // Starts keeping the game in `tep` (called once, before the first ghi).
    void batDau(const std::filesystem::path& tep);
    bool dangBat() const { return luong_.joinable(); }
    // Puts `vanBan` in place of the file; false (the old file stays) when it
    // cannot. A text equal to the last one written is not written again.
    bool ghi(const std::string& vanBan);

    // The kept text: the file's, or, when a power cut left it unreadable,
    // the newest earlier text still beside it that reads as a game.
    static bool docVanDaGiu(const std::filesystem::path& tep, VanDaLuu& van);

private:
    std::filesystem::path tep_;
    std::string daGhi_;

    std::mutex khoa_;  // guards canDongBo_, conLai_, boNgay_ and dung_
    std::condition_variable coViec_;
    bool canDongBo_ = false;
    // Earlier texts left beside the file, removed once a newer one is on
    // the device.
    std::vector<std::filesystem::path> conLai_;
    // Later ones, which never reached the device: removed at once.
    std::vector<std::filesystem::path> boNgay_;
    bool dung_ = false;
    // Held while a flush has the file open: on Windows a file that is open
    // cannot be replaced, so a rename that fails waits for the flush once.
    std::mutex dangDongBo_;
    std::thread luong_;

    void vongDongBo();
    // Removes boNgay_'s files (khoa_ held, released meanwhile).
    void xoaBoNgay(std::unique_lock<std::mutex>& k);
    // Puts the newest readable text left beside an unreadable file in its
    // place (at the start, before any write).
    void khoiPhucTep();
    // Removes what earlier runs left beside the file.
    void donTepCu();
};
