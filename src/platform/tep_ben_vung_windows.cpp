// Durable replacement of a file (Windows): FlushFileBuffers before the move,
// and a move that returns only once it is on the device.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "nen_tang.h"

namespace nenTang {

namespace {

bool ghiHet(HANDLE h, const std::string& du) {
    size_t da = 0;
    while (da < du.size()) {
        const size_t con = du.size() - da;
        const DWORD phan = con > 0x40000000u ? 0x40000000u : static_cast<DWORD>(con);
        DWORD daGhi = 0;
        if (!::WriteFile(h, du.data() + da, phan, &daGhi, nullptr) || daGhi == 0) return false;
        da += daGhi;
    }
    return true;
}

// The new text in a file of its own, on the device; false leaves no file.
bool ghiTepTam(const std::filesystem::path& tam, const std::string& du) {
    HANDLE h = ::CreateFileW(tam.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = ghiHet(h, du) && ::FlushFileBuffers(h);
    ok = ::CloseHandle(h) && ok;
    if (!ok) ::DeleteFileW(tam.c_str());
    return ok;
}

}  // namespace

bool ghiTepBenVung(const std::filesystem::path& dich, const std::string& vanBan) {
    if (!dich.has_filename()) return false;
    std::filesystem::path tam = dich;
    tam += L".tmp";
    // The bytes as given, LF line ends included: a saved game is the same file
    // on every system.
    if (!ghiTepTam(tam, vanBan)) return false;
    if (!::MoveFileExW(tam.c_str(), dich.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(tam.c_str());
        return false;
    }
    return true;
}

}  // namespace nenTang
