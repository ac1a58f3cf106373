// Browser launch on POSIX desktops through xdg-open, without ever waiting for
// the browser itself.
#include "nen_tang.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nenTang {

namespace {

// Full path of an executable named `ten` on PATH, or empty.
std::string timTrenPath(const std::string& ten) {
    const char* path = std::getenv("PATH");
    std::string ds = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t dau = 0;
    while (dau <= ds.size()) {
        size_t cuoi = ds.find(':', dau);
        if (cuoi == std::string::npos) cuoi = ds.size();
        std::string thuMuc = ds.substr(dau, cuoi - dau);
        std::string ung = (thuMuc.empty() ? std::string(".") : thuMuc) + "/" + ten;
        if (::access(ung.c_str(), X_OK) == 0) return ung;
        dau = cuoi + 1;
    }
    return {};
}

// Runs in the grandchild: detach from our terminal and pipes (a test or a
// shell reading our output must not wait for the browser), then exec.
// Only async-signal-safe calls: the parent has other threads.
[[noreturn]] void chayChauDaTach(const char* chuongTrinh, char* const thamSo[], int ongBao) {
    ::setsid();
    int rong = ::open("/dev/null", O_RDWR);
    if (rong >= 0) {
        ::dup2(rong, 0);
        ::dup2(rong, 1);
        ::dup2(rong, 2);
    }
    ::execv(chuongTrinh, thamSo);
    int ma = errno;
    (void)!::write(ongBao, &ma, sizeof ma);
    ::_exit(127);
}

}  // namespace

bool moTrinhDuyet(const std::string& diaChi) {
    std::string chuongTrinh = timTrenPath("xdg-open");
    if (chuongTrinh.empty()) return false;
    std::string ten = "xdg-open";
    std::string url = diaChi;
    char* thamSo[] = {ten.data(), url.data(), nullptr};

    // The pipe is close-on-exec: a successful exec closes it silently, a
    // failed one writes errno into it. That tells us whether the launch was
    // accepted without waiting for the browser.
    int ong[2];
    if (::pipe2(ong, O_CLOEXEC) != 0) return false;
    pid_t con = ::fork();
    if (con < 0) {
        ::close(ong[0]);
        ::close(ong[1]);
        return false;
    }
    if (con == 0) {
        // Double fork: the grandchild is adopted by init, so no zombie is left
        // behind and nobody has to wait for it.
        ::close(ong[0]);
        pid_t chau = ::fork();
        if (chau == 0) chayChauDaTach(chuongTrinh.c_str(), thamSo, ong[1]);
        ::_exit(chau < 0 ? 1 : 0);
    }
    ::close(ong[1]);
    int trangThai = 0;
    while (::waitpid(con, &trangThai, 0) < 0 && errno == EINTR) {
    }
    int ma = 0;
    ssize_t doc;
    while ((doc = ::read(ong[0], &ma, sizeof ma)) < 0 && errno == EINTR) {
    }
    ::close(ong[0]);
    bool conOk = WIFEXITED(trangThai) && WEXITSTATUS(trangThai) == 0;
    return conOk && doc == 0;
}

}  // namespace nenTang
