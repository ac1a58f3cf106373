// Windows implementation of the platform services: Winsock 2, the wide
// command line, the module path, the console and its stop events.
#include "nen_tang.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace nenTang {

namespace {

// Winsock is started once per process, on the first port attempt, and cleaned
// up at exit only if it started.
struct Mang {
    WSADATA duLieu{};
    bool sanSang = false;
    Mang() { sanSang = ::WSAStartup(MAKEWORD(2, 2), &duLieu) == 0; }
    ~Mang() {
        if (sanSang) ::WSACleanup();
    }
    Mang(const Mang&) = delete;
    Mang& operator=(const Mang&) = delete;
};

bool mangSanSang() {
    static Mang mang;  // thread-safe initialisation
    return mang.sanSang;
}

SOCKET sk(Socket s) { return static_cast<SOCKET>(s); }

int gioiHan(uint64_t kichThuoc) {
    return static_cast<int>(kichThuoc > 2147483647ULL ? 2147483647ULL : kichThuoc);
}

std::string utf8(const wchar_t* rong) {
    const int can = ::WideCharToMultiByte(CP_UTF8, 0, rong, -1, nullptr, 0, nullptr, nullptr);
    if (can <= 0) return {};
    std::string ra(static_cast<size_t>(can), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, rong, -1, ra.data(), can, nullptr, nullptr);
    ra.pop_back();  // the terminating zero
    return ra;
}

}  // namespace

void dongSocket(Socket s) {
    if (s != SOCKET_LOI) ::closesocket(sk(s));
}

Socket moCong(int cong, int& congDaMo) {
    if (!mangSanSang() || static_cast<unsigned>(cong) > 65535u) return SOCKET_LOI;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) return SOCKET_LOI;
    // Without it Windows lets a second socket bind a port already in use.
    BOOL doc = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&doc), sizeof doc);
    // Not inherited by the browser we launch, which would keep the port busy.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    sockaddr_in dc{};
    dc.sin_family = AF_INET;
    dc.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    dc.sin_port = htons(static_cast<u_short>(cong));
    int dai = sizeof dc;
    if (::bind(s, reinterpret_cast<sockaddr*>(&dc), sizeof dc) != 0 || ::listen(s, 16) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&dc), &dai) != 0) {
        ::closesocket(s);
        return SOCKET_LOI;
    }
    congDaMo = ntohs(dc.sin_port);
    return static_cast<Socket>(s);
}

bool coKetNoi(Socket s, int miliGiay) {
    if (s == SOCKET_LOI) return false;
    if (miliGiay < 0) miliGiay = 0;
    fd_set doc;
    FD_ZERO(&doc);
    FD_SET(sk(s), &doc);
    timeval tv{};
    tv.tv_sec = miliGiay / 1000;
    tv.tv_usec = (miliGiay % 1000) * 1000;
    return ::select(0, &doc, nullptr, nullptr, &tv) > 0;
}

Socket chapNhan(Socket s) {
    if (s == SOCKET_LOI) return SOCKET_LOI;
    SOCKET c = ::accept(sk(s), nullptr, nullptr);
    return c == INVALID_SOCKET ? SOCKET_LOI : static_cast<Socket>(c);
}

void datHanKetNoi(Socket s, int nhanMiliGiay, int guiMiliGiay) {
    if (s == SOCKET_LOI) return;
    // Winsock takes the time-outs as a DWORD of milliseconds.
    DWORD nhanMs = nhanMiliGiay < 0 ? 0 : static_cast<DWORD>(nhanMiliGiay);
    DWORD guiMs = guiMiliGiay < 0 ? 0 : static_cast<DWORD>(guiMiliGiay);
    BOOL mot = TRUE;
    ::setsockopt(sk(s), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&nhanMs), sizeof nhanMs);
    ::setsockopt(sk(s), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&guiMs), sizeof guiMs);
    ::setsockopt(sk(s), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&mot), sizeof mot);
}

int64_t nhan(Socket s, char* boDem, uint64_t kichThuoc) {
    if (s == SOCKET_LOI) return -1;
    return ::recv(sk(s), boDem, gioiHan(kichThuoc), 0);
}

int64_t gui(Socket s, const char* du, uint64_t kichThuoc) {
    if (s == SOCKET_LOI) return -1;
    // Windows has no SIGPIPE: a vanished peer is just an error return.
    return ::send(sk(s), du, gioiHan(kichThuoc), 0);
}

std::vector<std::string> thamSoUtf8(int argc, char** argv) {
    // The narrow argv holds the arguments in the ANSI code page, which loses
    // every letter outside it; the wide command line keeps them all.
    int soLuong = 0;
    LPWSTR* rong = ::CommandLineToArgvW(::GetCommandLineW(), &soLuong);
    std::vector<std::string> ds;
    if (!rong) {
        for (int i = 0; i < argc; ++i) ds.emplace_back(argv[i] ? argv[i] : "");
        return ds;
    }
    for (int i = 0; i < soLuong; ++i) ds.push_back(utf8(rong[i]));
    ::LocalFree(rong);
    return ds;
}

std::filesystem::path thuMucThucThi() {
    // 32768 wide characters is the longest path Windows can hand back.
    std::wstring duong(32768, L'\0');
    const DWORD dai = ::GetModuleFileNameW(nullptr, duong.data(), static_cast<DWORD>(duong.size()));
    if (dai == 0 || dai > 32767) {
        std::error_code loi;
        return std::filesystem::current_path(loi);
    }
    duong.resize(dai);
    return std::filesystem::path(duong).parent_path();
}

std::filesystem::path thuMucDuLieu() {
    namespace fs = std::filesystem;
    const DWORD can = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (can == 0) return {};
    std::wstring goc(can, L'\0');
    const DWORD dai = ::GetEnvironmentVariableW(L"LOCALAPPDATA", goc.data(), can);
    if (dai == 0 || dai >= can) return {};
    goc.resize(dai);
    const fs::path p(goc);
    if (!p.is_absolute()) return {};
    const fs::path thuMuc = p / L"tavelin3d";
    return taoThuMucRieng(thuMuc) ? thuMuc : fs::path();
}

bool taoThuMucRieng(const std::filesystem::path& thuMuc) {
    // Under the user's profile a new folder inherits its private access list.
    std::error_code loi;
    std::filesystem::create_directories(thuMuc, loi);
    return std::filesystem::is_directory(thuMuc, loi);
}

void cauHinhConsole() {
    // The program's output is UTF-8 with LF line ends, the same bytes as on
    // Linux; text mode would turn each LF into CR LF on the way out.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::SetConsoleCP(CP_UTF8);
    ::SetConsoleOutputCP(CP_UTF8);
    HANDLE ra = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD cheDo = 0;
    // Fails when the output is redirected; there is no terminal to configure.
    if (ra != INVALID_HANDLE_VALUE && ::GetConsoleMode(ra, &cheDo)) {
        ::SetConsoleMode(ra, cheDo | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

namespace {

std::atomic<void (*)(int)> g_xuLyDung{nullptr};

// Runs on a thread the system creates for the event.
BOOL WINAPI khiConsoleBao(DWORD suKien) {
    void (*xuLy)(int) = g_xuLyDung.load();
    if (!xuLy) return FALSE;
    switch (suKien) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            xuLy(SIGINT);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            // The process ends as soon as this handler returns, so it waits
            // here while the main thread stops the server and exits; Windows
            // allows a few seconds before it ends the process anyway.
            xuLy(SIGTERM);
            ::Sleep(INFINITE);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void batYeuCauDung(void (*xuLy)(int)) {
    g_xuLyDung.store(xuLy);
    ::SetConsoleCtrlHandler(khiConsoleBao, TRUE);
}

int64_t thoiDiemGhiTep(const std::filesystem::path& tep) {
    WIN32_FILE_ATTRIBUTE_DATA thuocTinh;
    if (!::GetFileAttributesExW(tep.c_str(), GetFileExInfoStandard, &thuocTinh)) return 0;
    return static_cast<int64_t>((static_cast<uint64_t>(thuocTinh.ftLastWriteTime.dwHighDateTime) << 32) |
                                thuocTinh.ftLastWriteTime.dwLowDateTime);
}

bool haUuTienLuongNay() { return ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL) != 0; }

}  // namespace nenTang
