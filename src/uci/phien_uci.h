#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "do_kho.h"
#include "nuoc_uci.h"
#include "tim_kiem.h"

// One UCI conversation: the commands of a Xiangqi GUI, a line at a time, and
// the engine's answers through `viet` (one line per call, from the reading
// thread or the search thread, never both at once).
//
// The search runs on a thread of its own, so that "stop", "isready" and
// "quit" are answered while it thinks; every "go" ends with a "bestmove".
// A command that is malformed, illegal or untimely is answered with an
// "info string" saying why, and changes nothing.
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
        int soLuong = 1;
    };

private:
    std::function<void(const std::string&)> viet_;
    std::mutex khoaViet_;
    void noi(const std::string& dong);
    void baoLoi(const std::string& loi) { noi("info string " + loi); }

    CauHinh cauHinh_;
    uci::TheCo theCo_;
    std::unique_ptr<TimKiem> timKiem_;

    // The search thread and what it shares with the reading thread.
    std::thread luong_;
    std::atomic<bool> dangTim_{false};
    std::atomic<bool> dung_{false};
    std::mutex khoaCho_;
    std::condition_variable cho_;
    void dungTim();

    void lenhSetOption(const std::vector<std::string>& tu);
    void lenhPosition(const std::vector<std::string>& tu);
    void lenhGo(const std::vector<std::string>& tu);
};
