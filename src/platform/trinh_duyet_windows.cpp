// Browser launch on Windows through the shell's "open" verb.
#include "nen_tang.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

namespace nenTang {

bool moTrinhDuyet(const std::string& diaChi) {
    // The UTF-8 text becomes the wide string the shell expects.
    const int can = ::MultiByteToWideChar(CP_UTF8, 0, diaChi.c_str(), -1, nullptr, 0);
    if (can <= 0) return false;
    std::wstring url(static_cast<size_t>(can), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, diaChi.c_str(), -1, url.data(), can);
    HINSTANCE kq = ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(kq) > 32;
}

}  // namespace nenTang
