// Platform services that need only the standard library.
#include "nen_tang.h"

namespace nenTang {

std::filesystem::path timThuMucWeb() {
    namespace fs = std::filesystem;
    std::error_code loi;
    fs::path thuMuc = thuMucThucThi();
    const fs::path ungVien[] = {thuMuc / "web", thuMuc.parent_path() / "web", fs::current_path(loi) / "web"};
    for (const fs::path& p : ungVien) {
        if (fs::is_regular_file(p / "index.html", loi)) return p;
    }
    return ungVien[0];
}

}  // namespace nenTang
