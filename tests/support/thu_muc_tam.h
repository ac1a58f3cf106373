#pragma once
// Temporary directories and whole-file reads and writes for the tests.
#include <stdlib.h>  // mkdtemp

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
        std::string mau = (fs::temp_directory_path() / "tavelin-thu-XXXXXX").string();
        // No fall-back: a test without a directory of its own would write
        // into, and at its end remove, someone else's.
        if (!::mkdtemp(mau.data())) std::abort();
        duongDan_ = mau;
    }
    ~ThuMucTam() {
        std::error_code loi;
        fs::remove_all(duongDan_, loi);
    }
    ThuMucTam(const ThuMucTam&) = delete;
    ThuMucTam& operator=(const ThuMucTam&) = delete;

    const fs::path& duongDan() const { return duongDan_; }
    // The UTF-8 name of an entry inside it, as the game's file operations take it.
    std::string tep(const std::string& ten) const { return (duongDan_ / ten).string(); }

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
