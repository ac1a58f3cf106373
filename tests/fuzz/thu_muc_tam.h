#pragma once
// A private working directory for one fuzzing process: the game writes its
// saved file ("tavelin.save") into the current directory, so every target
// runs inside a fresh directory of its own, removed again at exit.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace thuMucTam {

inline std::string& duongDan() {
    static std::string d;
    return d;
}

inline void xoa() {
    std::error_code loi;
    std::filesystem::current_path("/", loi);
    if (!duongDan().empty()) std::filesystem::remove_all(duongDan(), loi);
}

// Creates the directory, enters it and returns its path; aborts on failure
// (a target without its directory would write into the caller's).
inline std::string vao() {
    const char* goc = std::getenv("TMPDIR");
    std::string mau = std::string(goc && *goc ? goc : "/tmp") + "/tavelin-fuzz-XXXXXX";
    if (!mkdtemp(mau.data())) std::abort();
    duongDan() = mau;
    std::error_code loi;
    std::filesystem::current_path(mau, loi);
    if (loi) std::abort();
    std::atexit(xoa);
    return mau;
}

}  // namespace thuMucTam
