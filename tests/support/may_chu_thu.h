#pragma once
// Test helper: runs the real tavelin3d binary in a temporary directory and
// speaks raw HTTP to it over loopback sockets. Header-only so that any test
// program can include it.
//
// Nothing here asserts on elapsed time: waits poll with generous limits and
// only fail a test when something never happens.
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "thu_muc_tam.h"

#ifndef TAVELIN3D_EXE
#error "TAVELIN3D_EXE must name the program under test"
#endif

namespace thu {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Polls `dieuKien` every 20 ms until it holds or `han` passes.
inline bool choDen(const std::function<bool()>& dieuKien, std::chrono::milliseconds han = 30s) {
    auto het = std::chrono::steady_clock::now() + han;
    while (!dieuKien()) {
        if (std::chrono::steady_clock::now() > het) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A parsed HTTP response; `tho` keeps every byte as received.
struct PhanHoi {
    std::string tho;
    int ma = 0;
    std::vector<std::string> dauDong;  // header lines, in order, without CR LF
    std::string than;
    bool coPhanHoi() const { return !tho.empty(); }
};

inline PhanHoi tachPhanHoi(const std::string& tho) {
    PhanHoi ph;
    ph.tho = tho;
    size_t hetDau = tho.find("\r\n\r\n");
    if (hetDau == std::string::npos) return ph;
    std::istringstream dau(tho.substr(0, hetDau));
    std::string dong;
    bool dauTien = true;
    while (std::getline(dau, dong)) {
        if (!dong.empty() && dong.back() == '\r') dong.pop_back();
        if (dauTien) {
            if (dong.size() >= 12) ph.ma = std::atoi(dong.substr(9, 3).c_str());
            dauTien = false;
        } else {
            ph.dauDong.push_back(dong);
        }
    }
    ph.than = tho.substr(hetDau + 4);
    return ph;
}

#ifdef _WIN32
// Winsock must be started once before the first client socket.
inline bool mangThu() {
    static const bool sanSang = [] {
        WSADATA d{};
        return ::WSAStartup(MAKEWORD(2, 2), &d) == 0;
    }();
    return sanSang;
}
// Client sockets are handed around as int, as on POSIX; Windows socket
// handles fit in 32 bits.
inline SOCKET sk(int s) { return static_cast<SOCKET>(s); }
#endif

// Closes a client socket.
inline void dongKetNoi(int s) {
#ifdef _WIN32
    ::closesocket(sk(s));
#else
    ::close(s);
#endif
}

// One send: the byte count, or <= 0. Never raises SIGPIPE.
inline long guiMot(int s, const char* du, size_t n) {
#ifdef _WIN32
    return ::send(sk(s), du, static_cast<int>(n), 0);
#else
    return static_cast<long>(::send(s, du, n, MSG_NOSIGNAL));
#endif
}

// One receive (or, with `du`, until `n` bytes came): the byte count, 0 at
// the end of the stream, < 0 on error or time-out.
inline long nhanMot(int s, char* boDem, size_t n, bool du = false) {
#ifdef _WIN32
    return ::recv(sk(s), boDem, static_cast<int>(n), du ? MSG_WAITALL : 0);
#else
    return static_cast<long>(::recv(s, boDem, n, du ? MSG_WAITALL : 0));
#endif
}

// Closes with a reset (RST) instead of the graceful end of stream.
inline void dongBangReset(int s) {
    linger l{1, 0};
    ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    dongKetNoi(s);
}

// A client socket connected to 127.0.0.1:cong, or -1.
inline int ketNoi(int cong) {
#ifdef _WIN32
    if (!mangThu()) return -1;
    SOCKET w = ::socket(AF_INET, SOCK_STREAM, 0);
    if (w == INVALID_SOCKET) return -1;
    const int s = static_cast<int>(w);
#else
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
#endif
    sockaddr_in dc{};
    dc.sin_family = AF_INET;
    dc.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    dc.sin_port = htons(static_cast<uint16_t>(cong));
    if (::connect(s, reinterpret_cast<sockaddr*>(&dc), sizeof dc) != 0) {
        dongKetNoi(s);
        return -1;
    }
    // A stuck server fails the test instead of hanging it.
#ifdef _WIN32
    DWORD han = 30000;
#else
    timeval han{30, 0};
#endif
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&han), sizeof han);
    return s;
}

inline void guiHet(int s, const std::string& du) {
    size_t da = 0;
    while (da < du.size()) {
        long n = guiMot(s, du.data() + da, du.size() - da);
        if (n <= 0) return;
        da += static_cast<size_t>(n);
    }
}

// Everything the server sends until it closes the connection.
inline std::string docDenKhiDong(int s) {
    std::string ra;
    char buf[8192];
    long n;
    while ((n = nhanMot(s, buf, sizeof buf)) > 0) ra.append(buf, static_cast<size_t>(n));
    return ra;
}

// Sends raw bytes as one request and returns the raw answer.
inline std::string hoiTho(int cong, const std::string& yeuCau) {
    int s = ketNoi(cong);
    if (s < 0) return {};
    guiHet(s, yeuCau);
    std::string ra = docDenKhiDong(s);
    dongKetNoi(s);
    return ra;
}

inline PhanHoi get(int cong, const std::string& dich) {
    return tachPhanHoi(hoiTho(cong, "GET " + dich + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
}

// The result of a run that was waited for.
struct KetQuaChay {
    int maThoat = -1;  // -1 if it did not exit on its own in time
    std::string ra, loi;
};

// One running tavelin3d, in its own temporary working directory, with its
// standard output and error captured in files there.
#ifdef _WIN32
// UTF-8 to UTF-16, for the wide Windows calls.
inline std::wstring rong(const std::string& utf8) {
    const int can = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring ra(static_cast<size_t>(can), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), ra.data(), can);
    return ra;
}

// One argument quoted so that the child's CommandLineToArgvW gives it back.
inline std::wstring trichDan(const std::wstring& a) {
    std::wstring ra = L"\"";
    size_t gach = 0;
    for (wchar_t c : a) {
        if (c == L'\\') {
            ++gach;
            continue;
        }
        ra.append(c == L'"' ? 2 * gach + 1 : gach, L'\\');
        gach = 0;
        ra += c;
    }
    ra.append(2 * gach, L'\\');
    return ra + L"\"";
}

// The program's path as the build wrote it; a Linux path under wine is on Z:.
inline fs::path duongDanChuongTrinh(const std::string& p) {
    return fs::path(rong(!p.empty() && p[0] == '/' ? "Z:" + p : p));
}

// A file handle the child inherits as its standard output or error.
inline HANDLE moTepKeThua(const fs::path& p) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return ::CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

// One running tavelin3d, in its own temporary working directory, with its
// standard output and error captured in files there.
class ChuongTrinh {
public:
    // Starts the binary with `thamSo` in `thuMucLamViec`; `doiMoiTruong`
    // entries ("NAME=value") replace or add environment variables. The
    // per-user data folder is thuMucLamViec/du_lieu/tavelin3d unless they
    // say otherwise: no test touches the home of whoever runs it.
    ChuongTrinh(const fs::path& thuMucLamViec, const std::vector<std::string>& thamSo,
                std::vector<std::string> doiMoiTruong = {})
        : thuMuc_(thuMucLamViec) {
        const std::u8string duLieu = (thuMucLamViec / "du_lieu").u8string();
        for (const char* bien : {"XDG_DATA_HOME", "LOCALAPPDATA"}) {
            bool daCo = false;
            for (const auto& d : doiMoiTruong) daCo = daCo || d.substr(0, d.find('=')) == bien;
            if (!daCo) doiMoiTruong.push_back(std::string(bien) + "=" + std::string(duLieu.begin(), duLieu.end()));
        }
#ifdef _WIN32
        batDau(thamSo, doiMoiTruong);
#else
        std::vector<std::string> moiTruong = doiMoiTruong;
        for (char** e = environ; *e; ++e) {
            std::string bien = *e;
            bool biThay = false;
            for (const auto& d : doiMoiTruong) biThay = biThay || bien.substr(0, bien.find('=')) == d.substr(0, d.find('='));
            if (!biThay) moiTruong.push_back(bien);
        }
        std::vector<char*> envp;
        for (auto& e : moiTruong) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> args = {TAVELIN3D_EXE};
        args.insert(args.end(), thamSo.begin(), thamSo.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string ra = (thuMuc_ / "stdout.txt").string(), loi = (thuMuc_ / "stderr.txt").string();
        std::string cwd = thuMuc_.string();
        // Opened (emptied) here, before the child exists, so that nothing
        // left by an earlier run in the same directory is ever read.
        int fdRa = ::open(ra.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        int fdLoi = ::open(loi.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        pid_ = ::fork();
        if (pid_ == 0) {
            int rong = ::open("/dev/null", O_RDONLY);
            ::dup2(rong, 0);
            ::dup2(fdRa, 1);
            ::dup2(fdLoi, 2);
            if (::chdir(cwd.c_str()) != 0) ::_exit(126);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(fdRa);
        ::close(fdLoi);
#endif
    }
    ~ChuongTrinh() {
#ifdef _WIN32
        if (tienTrinh_.hProcess && maThoat_ == CHUA_THOAT) {
            ::TerminateProcess(tienTrinh_.hProcess, 137);
            ::WaitForSingleObject(tienTrinh_.hProcess, INFINITE);
        }
        if (tienTrinh_.hProcess) ::CloseHandle(tienTrinh_.hProcess);
        if (tienTrinh_.hThread) ::CloseHandle(tienTrinh_.hThread);
#else
        if (pid_ > 0 && maThoat_ == CHUA_THOAT) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
#endif
    }
    ChuongTrinh(const ChuongTrinh&) = delete;
    ChuongTrinh& operator=(const ChuongTrinh&) = delete;

    std::string ra() const { return docHetTep(thuMuc_ / "stdout.txt"); }
    std::string loi() const { return docHetTep(thuMuc_ / "stderr.txt"); }

    // The port announced on the "PORT=" line, or 0 if none came in time.
    int cong(std::chrono::milliseconds han = 30s) {
        if (cong_) return cong_;
        choDen([&] { return ra().find('\n') != std::string::npos || daThoat(); }, han);
        std::string r = ra();
        if (r.rfind("PORT=", 0) == 0) cong_ = std::atoi(r.c_str() + 5);
        return cong_;
    }

    // True once the process has ended (its exit code is then kept).
    bool daThoat() {
        if (maThoat_ != CHUA_THOAT) return true;
#ifdef _WIN32
        DWORD ma = 0;
        if (!tienTrinh_.hProcess || ::WaitForSingleObject(tienTrinh_.hProcess, 0) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(tienTrinh_.hProcess, &ma))
            return false;
        maThoat_ = static_cast<int>(ma);
#else
        int tt = 0;
        if (::waitpid(pid_, &tt, WNOHANG) != pid_) return false;
        maThoat_ = WIFEXITED(tt) ? WEXITSTATUS(tt) : 128 + WTERMSIG(tt);
#endif
        return true;
    }

    // Waits for the process to end; -1 if it is still running after `han`.
    int choThoat(std::chrono::milliseconds han = 30s) {
        return choDen([&] { return daThoat(); }, han) ? maThoat_ : -1;
    }

#ifdef _WIN32
    // Windows has no signals: every stop request becomes Ctrl+C on the
    // child's own console (wine cannot send Ctrl+Break to one process).
    void guiTinHieu(int) {
        // Attaching to the child's console puts this program on it too, so
        // this program ignores the event while it is sent.
        ::FreeConsole();
        if (!::AttachConsole(tienTrinh_.dwProcessId)) return;
        ::SetConsoleCtrlHandler(nullptr, TRUE);
        ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        ::FreeConsole();
        // Delivery is asynchronous; leave the handler off until it has been.
        choDen([&] { return daThoat(); }, 2s);
        ::SetConsoleCtrlHandler(nullptr, FALSE);
    }
#else
    void guiTinHieu(int tinHieu) { ::kill(pid_, tinHieu); }
    pid_t pid() const { return pid_; }
#endif

    // Ends the program at once, as a crash or a power switch would: no
    // handler runs (SIGKILL; TerminateProcess on Windows).
    void giet() {
#ifdef _WIN32
        ::TerminateProcess(tienTrinh_.hProcess, 137);
        ::WaitForSingleObject(tienTrinh_.hProcess, INFINITE);
#else
        ::kill(pid_, SIGKILL);
#endif
        choThoat();
    }

    // Waits until standard output holds `doan`.
    bool choDongRa(const std::string& doan, std::chrono::milliseconds han = 30s) {
        return choDen([&] { return ra().find(doan) != std::string::npos; }, han);
    }

private:
    static constexpr int CHUA_THOAT = -1000;
#ifdef _WIN32
    void batDau(const std::vector<std::string>& thamSo, const std::vector<std::string>& doiMoiTruong) {
        const fs::path exe = duongDanChuongTrinh(TAVELIN3D_EXE);
        std::wstring dong = trichDan(exe.wstring());
        for (const auto& a : thamSo) dong += L" " + trichDan(rong(a));
        // The environment block: the changed variables, then every other one.
        std::wstring khoi;
        for (const auto& d : doiMoiTruong) khoi += rong(d) + L'\0';
        wchar_t* goc = ::GetEnvironmentStringsW();
        for (const wchar_t* e = goc; e && *e; e += std::wcslen(e) + 1) {
            std::wstring bien = e;
            bool biThay = false;
            for (const auto& d : doiMoiTruong) {
                biThay = biThay || _wcsicmp(bien.substr(0, bien.find(L'=')).c_str(), rong(d.substr(0, d.find('='))).c_str()) == 0;
            }
            if (!biThay) khoi += bien + L'\0';
        }
        if (goc) ::FreeEnvironmentStringsW(goc);
        khoi += L'\0';
        // Opened (emptied) before the child exists, so that nothing left by
        // an earlier run in the same directory is ever read.
        HANDLE ra = moTepKeThua(thuMuc_ / "stdout.txt"), loi = moTepKeThua(thuMuc_ / "stderr.txt");
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE vao = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = vao;
        si.hStdOutput = ra;
        si.hStdError = loi;
        // A console of its own, so that Ctrl+C and Ctrl+Break can be sent to
        // it alone.
        ::CreateProcessW(exe.c_str(), dong.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT,
                         khoi.data(), thuMuc_.c_str(), &si, &tienTrinh_);
        for (HANDLE h : {ra, loi, vao}) ::CloseHandle(h);
    }

    PROCESS_INFORMATION tienTrinh_{};
#endif
    fs::path thuMuc_;
#ifndef _WIN32
    pid_t pid_ = -1;
#endif
    int cong_ = 0;
    int maThoat_ = CHUA_THOAT;
};

// Runs the binary to its end (or kills it after `han`).
inline KetQuaChay chayDenHet(const fs::path& thuMuc, const std::vector<std::string>& thamSo,
                             std::chrono::milliseconds han = 30s) {
    ChuongTrinh ct(thuMuc, thamSo);
    KetQuaChay kq;
    kq.maThoat = ct.choThoat(han);
    kq.ra = ct.ra();
    kq.loi = ct.loi();
    return kq;
}

// A served game: a temporary directory holding web/ with a small index.html
// and the binary started there with --serve --port 0 --web-root web.
class MayChuThu {
public:
    static constexpr const char* INDEX = "<!DOCTYPE html><title>thu</title>\n";

    explicit MayChuThu(std::vector<std::string> themThamSo = {}) {
        ghiTep(web() / "index.html", INDEX);
        std::vector<std::string> ts = {"--serve", "--port", "0", "--web-root", web().string()};
        ts.insert(ts.end(), themThamSo.begin(), themThamSo.end());
        ct_ = std::make_unique<ChuongTrinh>(tam_.duongDan(), ts);
        cong_ = ct_->cong();
    }

    int cong() const { return cong_; }
    fs::path thuMuc() const { return tam_.duongDan(); }
    // The game kept between runs, in the default per-user data folder.
    fs::path tepTuLuu() const { return tam_.duongDan() / "du_lieu" / "tavelin3d" / "van_dang_choi.save"; }
    fs::path web() const { return tam_.duongDan() / "web"; }
    ChuongTrinh& chuongTrinh() { return *ct_; }
    PhanHoi get(const std::string& dich) const { return thu::get(cong_, dich); }
    std::string tho(const std::string& yeuCau) const { return hoiTho(cong_, yeuCau); }
    // The body of GET /api/<lenh>.
    std::string api(const std::string& lenh) const { return get("/api/" + lenh).than; }

private:
    ThuMucTam tam_;  // declared first: removed after the program has ended
    std::unique_ptr<ChuongTrinh> ct_;
    int cong_ = 0;
};

}  // namespace thu
