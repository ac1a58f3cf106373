// POSIX implementation of the platform services (Linux).
#include "nen_tang.h"

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/syscall.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nenTang {

namespace {

// A handle we may hand to the socket calls: non-negative and within int.
bool laFdHopLe(Socket s) { return s != SOCKET_LOI && s <= static_cast<Socket>(INT_MAX); }

int fd(Socket s) { return static_cast<int>(s); }

timeval thoiGian(int miliGiay) {
    if (miliGiay < 0) miliGiay = 0;
    timeval tv{};
    tv.tv_sec = miliGiay / 1000;
    tv.tv_usec = (miliGiay % 1000) * 1000;
    return tv;
}

// The byte count one call may move, as the contract caps it.
size_t gioiHan(uint64_t kichThuoc) {
    return static_cast<size_t>(kichThuoc > 2147483647ULL ? 2147483647ULL : kichThuoc);
}

}  // namespace

void dongSocket(Socket s) {
    if (laFdHopLe(s)) ::close(fd(s));
}

Socket moCong(int cong, int& congDaMo) {
    // Taken as unsigned, so negative ports are rejected along with > 65535.
    if (static_cast<unsigned>(cong) > 65535u) return SOCKET_LOI;
    // Close-on-exec keeps the listening socket out of the browser we launch,
    // which would otherwise keep the port busy after we exit.
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return SOCKET_LOI;
    // SO_REUSEADDR lets a restarted program take its port back while the
    // connections it closed last wait out TIME_WAIT, so an open page finds it
    // again. Linux still refuses the bind while any other socket listens on
    // the port, or holds it without this option.
    int mot = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &mot, sizeof mot);
    sockaddr_in dc{};
    dc.sin_family = AF_INET;
    dc.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    dc.sin_port = htons(static_cast<uint16_t>(cong));
    socklen_t dai = sizeof dc;
    if (::bind(s, reinterpret_cast<sockaddr*>(&dc), sizeof dc) != 0 || ::listen(s, 16) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&dc), &dai) != 0) {
        ::close(s);
        return SOCKET_LOI;
    }
    congDaMo = ntohs(dc.sin_port);
    return static_cast<Socket>(s);
}

bool coKetNoi(Socket s, int miliGiay) {
    // select cannot watch a descriptor beyond FD_SETSIZE; report "nothing".
    if (!laFdHopLe(s) || fd(s) >= FD_SETSIZE) return false;
    fd_set doc;
    FD_ZERO(&doc);
    FD_SET(fd(s), &doc);
    timeval tv = thoiGian(miliGiay);
    return ::select(fd(s) + 1, &doc, nullptr, nullptr, &tv) > 0;
}

Socket chapNhan(Socket s) {
    if (!laFdHopLe(s)) return SOCKET_LOI;
    int c = ::accept4(fd(s), nullptr, nullptr, SOCK_CLOEXEC);
    return c < 0 ? SOCKET_LOI : static_cast<Socket>(c);
}

void datHanKetNoi(Socket s, int nhanMiliGiay, int guiMiliGiay) {
    if (!laFdHopLe(s)) return;
    timeval tvNhan = thoiGian(nhanMiliGiay);
    timeval tvGui = thoiGian(guiMiliGiay);
    int mot = 1;
    ::setsockopt(fd(s), SOL_SOCKET, SO_RCVTIMEO, &tvNhan, sizeof tvNhan);
    ::setsockopt(fd(s), SOL_SOCKET, SO_SNDTIMEO, &tvGui, sizeof tvGui);
    ::setsockopt(fd(s), IPPROTO_TCP, TCP_NODELAY, &mot, sizeof mot);
}

int64_t nhan(Socket s, char* boDem, uint64_t kichThuoc) {
    if (!laFdHopLe(s)) return -1;
    return ::recv(fd(s), boDem, gioiHan(kichThuoc), 0);
}

int64_t gui(Socket s, const char* du, uint64_t kichThuoc) {
    if (!laFdHopLe(s)) return -1;
    // MSG_NOSIGNAL: writing to a closed peer must not raise SIGPIPE, whose
    // default action would end the whole server.
    return ::send(fd(s), du, gioiHan(kichThuoc), MSG_NOSIGNAL);
}

std::vector<std::string> thamSoUtf8(int argc, char** argv) {
    // Linux hands the arguments over as bytes; they are taken as UTF-8.
    std::vector<std::string> ds;
    for (int i = 0; i < argc; ++i) ds.emplace_back(argv[i] ? argv[i] : "");
    return ds;
}

std::filesystem::path thuMucThucThi() {
    std::error_code loi;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", loi);
    if (loi || exe.empty()) return std::filesystem::current_path(loi);
    return exe.parent_path();
}

std::filesystem::path thuMucDuLieu() {
    namespace fs = std::filesystem;
    fs::path goc;
    // A relative XDG_DATA_HOME is to be ignored, as if it were not set.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        goc = xdg;
    } else if (const char* nha = std::getenv("HOME"); nha && nha[0] == '/') {
        goc = fs::path(nha) / ".local" / "share";
    } else {
        return {};
    }
    const fs::path thuMuc = goc / "tavelin3d";
    return taoThuMucRieng(thuMuc) ? thuMuc : fs::path();
}

bool taoThuMucRieng(const std::filesystem::path& thuMuc) {
    namespace fs = std::filesystem;
    std::error_code loi;
    if (fs::is_directory(thuMuc, loi)) return true;
    const fs::path cha = thuMuc.parent_path();
    if (!cha.empty() && cha != thuMuc && !taoThuMucRieng(cha)) return false;
    // Games and their players' names are nobody else's business.
    if (::mkdir(thuMuc.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return fs::is_directory(thuMuc, loi);
}

void cauHinhConsole() {
    // Terminals here already speak UTF-8 and escape sequences.
}

void batYeuCauDung(void (*)(int)) {
    // SIGINT and SIGTERM, installed by the caller, are all there is.
}

int64_t thoiDiemGhiTep(const std::filesystem::path& tep) {
    std::error_code loi;
    const auto t = std::filesystem::last_write_time(tep, loi);
    return loi ? 0 : static_cast<int64_t>(t.time_since_epoch().count());
}

bool haUuTienLuongNay() {
    // On Linux a nice value belongs to a thread (its own id), not to the process.
    const id_t luong = static_cast<id_t>(::syscall(SYS_gettid));
    return ::setpriority(PRIO_PROCESS, luong, 10) == 0;
}

}  // namespace nenTang
