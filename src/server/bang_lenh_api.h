#pragma once
#include <mutex>
#include <span>
#include <string>

#include "phan_tich.h"

class GiaoDienWeb;

// One command of the API ("/api/<ten>"). The table of them
// (GiaoDienWeb::bangLenhAPI) is the only list of commands: a name not in it
// is answered 404, and what a command runs and under which lock is said
// beside its name, so that neither can be forgotten.
struct LenhAPI {
    const char* ten;
    // Whether, given these parameters, it runs under the game lock; such a
    // command is followed by keeping the game (and a failure to keep it is
    // added to the state document it answers). The others look at no part
    // of the game (analysis has its own thread and lock).
    bool (*canKhoaVan)(const ThamSo& thamSo);
    // The answer; `khoa` holds the game lock when canKhoaVan said so (a
    // command may release it while it searches), and owns nothing otherwise.
    std::string (*chay)(GiaoDienWeb& web, const ThamSo& thamSo, std::unique_lock<std::mutex>& khoa);
};
