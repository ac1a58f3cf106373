#pragma once
// Temporary directories and whole-file reads and writes for the tests.
#include <stdlib.h>  // mkdtemp

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace thu {

namespace fs = std::filesystem;

inline std::string docHetTep(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline void ghiTep(const fs::path& p, const std::string& noiDung) {
    std::error_code loi;
    fs::create_directories(p.parent_path(), loi);
    std::ofstream(p, std::ios::binary) << noiDung;
}

// A fresh directory (under TMPDIR when set), removed with everything in it
// when the object goes.
class ThuMucTam {
public:
    ThuMucTam() {
#ifdef _WIN32
        // No mkdtemp: a random name that create_directory claims atomically.
        std::random_device ngauNhien;
        for (int lan = 0; lan < 100 && duongDan_.empty(); ++lan) {
            fs::path p = fs::temp_directory_path() / ("tavelin-thu-" + std::to_string(ngauNhien()));
            std::error_code loi;
            if (fs::create_directory(p, loi)) duongDan_ = p;
        }
        // No fall-back: a test without a directory of its own would write
        // into, and at its end remove, someone else's.
        if (duongDan_.empty()) std::abort();
#else
        std::string mau = (fs::temp_directory_path() / "tavelin-thu-XXXXXX").string();
        // No fall-back: a test without a directory of its own would write
        // into, and at its end remove, someone else's.
        if (!::mkdtemp(mau.data())) std::abort();
        duongDan_ = mau;
#endif
    }
    ~ThuMucTam() {
        std::error_code loi;
        fs::remove_all(duongDan_, loi);
    }
    ThuMucTam(const ThuMucTam&) = delete;
    ThuMucTam& operator=(const ThuMucTam&) = delete;

    const fs::path& duongDan() const { return duongDan_; }
    // The UTF-8 name of an entry inside it, as the game's file operations take it.
    std::string tep(const std::string& ten) const {
        const std::u8string u = (duongDan_ / std::u8string(ten.begin(), ten.end())).u8string();
        return std::string(u.begin(), u.end());
    }

private:
    fs::path duongDan_;
};

// For a whole process (the fuzz targets, since the game saves into the
// current directory): a fresh directory made the current one, removed at exit.
inline const ThuMucTam& vaoThuMucTam() {
    static const ThuMucTam tam;
    std::error_code loi;
    fs::current_path(tam.duongDan(), loi);
    if (loi) std::abort();
    return tam;
}

}  // namespace thu
