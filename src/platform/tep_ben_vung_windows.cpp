// Files the game keeps (Windows): replacing one by a move, with or without
// waiting for the device, and reading one that may be anything at all.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "nen_tang.h"

namespace nenTang {

namespace {

thread_local DWORD loiCuoi = 0;

// Notes the system's reason for the failure under way; always false.
bool ghiLoi() {
    loiCuoi = ::GetLastError();
    return false;
}

bool ghiHet(HANDLE h, const std::string& du) {
    size_t da = 0;
    while (da < du.size()) {
        const size_t con = du.size() - da;
        const DWORD phan = con > 0x40000000u ? 0x40000000u : static_cast<DWORD>(con);
        DWORD daGhi = 0;
        if (!::WriteFile(h, du.data() + da, phan, &daGhi, nullptr)) return ghiLoi();
        if (daGhi == 0) {
            loiCuoi = ERROR_DISK_FULL;
            return false;
        }
        da += daGhi;
    }
    return true;
}

// A file of its own beside the target, under a name nobody has used:
// CREATE_NEW fails on anything already there (a link, a device name's
// leftover, an earlier program's file), which is then never opened; the
// process id and a counter keep two programs, and two saves of one, apart.
HANDLE moTepTamMoi(const std::filesystem::path& dich, std::filesystem::path& tam) {
    static std::atomic<unsigned> dem{0};
    for (int lan = 0; lan < 64; ++lan) {
        tam = dich;
        tam += L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(dem.fetch_add(1));
        HANDLE h = ::CreateFileW(tam.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        const DWORD loi = ::GetLastError();
        if (loi != ERROR_FILE_EXISTS && loi != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// The new text in a fresh file beside the target, on the device when asked;
// false leaves no file. The bytes as given, LF line ends included: a saved
// game is the same file on every system.
bool ghiTepTam(const std::filesystem::path& dich, const std::string& du, bool xuongThietBi,
               std::filesystem::path& tam) {
    HANDLE h = moTepTamMoi(dich, tam);
    if (h == INVALID_HANDLE_VALUE) return ghiLoi();
    bool ok = ghiHet(h, du) && (!xuongThietBi || ::FlushFileBuffers(h) || ghiLoi());
    ok = (::CloseHandle(h) || ghiLoi()) && ok;
    if (!ok) ::DeleteFileW(tam.c_str());
    return ok;
}

bool doiTen(const std::filesystem::path& tam, const std::filesystem::path& dich, DWORD coThem) {
    if (::MoveFileExW(tam.c_str(), dich.c_str(), MOVEFILE_REPLACE_EXISTING | coThem)) return true;
    ghiLoi();
    ::DeleteFileW(tam.c_str());
    return false;
}

}  // namespace

LoiGhi loiGhiCuoi() {
    switch (loiCuoi) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return LoiGhi::DAY;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return LoiGhi::KHONG_QUYEN;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return LoiGhi::KHONG_CO;
    default: return LoiGhi::KHAC;
    }
}

bool ghiTepBenVung(const std::filesystem::path& dich, const std::string& vanBan) {
    loiCuoi = 0;
    if (!dich.has_filename()) return false;
    std::filesystem::path tam;
    // A move that returns only once it is on the device.
    return ghiTepTam(dich, vanBan, true, tam) && doiTen(tam, dich, MOVEFILE_WRITE_THROUGH);
}

bool thayTep(const std::filesystem::path& dich, const std::string& vanBan, std::filesystem::path& conLai) {
    conLai.clear();
    loiCuoi = 0;
    if (!dich.has_filename()) return false;
    std::filesystem::path tam;
    return ghiTepTam(dich, vanBan, false, tam) && doiTen(tam, dich, 0);
}

bool dongBoTep(const std::filesystem::path& dich) {
    // Shared in every way, so that the handle stands in nobody's way for
    // longer than the flush.
    HANDLE h = ::CreateFileW(dich.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = ::GetFileType(h) == FILE_TYPE_DISK && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    return ok;
}

DocTep docTepThuong(const std::filesystem::path& p, size_t toiDa, std::string& noiDung) {
    // A folder cannot be opened this way (no backup semantics): it holds no
    // saved game, like a missing file.
    HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return DocTep::KHONG_CO;
    DocTep kq = DocTep::KHONG_HOP_LE;
    LARGE_INTEGER co{};
    BY_HANDLE_FILE_INFORMATION tt{};
    // Only a file on a disk: a pipe or a device (NUL, CON, COM1) is refused
    // before a byte is read.
    if (::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &tt) &&
        !(tt.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ::GetFileSizeEx(h, &co) && co.QuadPart >= 0 &&
        static_cast<unsigned long long>(co.QuadPart) <= toiDa) {
        // At most one byte past the bound: a file that grows meanwhile is
        // still refused, and never read without end.
        std::string du(toiDa + 1, '\0');
        size_t da = 0;
        bool ok = true;
        while (da < du.size()) {
            DWORD n = 0;
            const DWORD phan = static_cast<DWORD>(std::min<size_t>(du.size() - da, 1u << 20));
            if (!::ReadFile(h, du.data() + da, phan, &n, nullptr)) {
                ok = false;
                break;
            }
            if (n == 0) break;
            da += n;
        }
        if (!ok) {
            kq = DocTep::KHONG_CO;
        } else if (da <= toiDa) {
            du.resize(da);
            noiDung = std::move(du);
            kq = DocTep::DUOC;
        }
    }
    ::CloseHandle(h);
    return kq;
}

}  // namespace nenTang
