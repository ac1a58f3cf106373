// Durable replacement of a file (POSIX): fsync before the rename, and fsync
// of the directory after it, since rename alone promises nothing about what
// a power cut leaves on disk.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "nen_tang.h"

namespace nenTang {

namespace {

bool ghiHet(int fd, const std::string& du) {
    size_t da = 0;
    while (da < du.size()) {
        const ssize_t n = ::write(fd, du.data() + da, du.size() - da);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        da += static_cast<size_t>(n);
    }
    return true;
}

// The new text in a file of its own, on the device; false leaves no file.
bool ghiTepTam(const std::filesystem::path& tam, const std::string& vanBan) {
    const int fd = ::open(tam.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = ghiHet(fd, vanBan) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(tam.c_str());
    return ok;
}

// Puts the renamed directory entry on the device. A directory we may not
// open, or a file system that cannot sync one, leaves nothing more to do:
// the data is already safe and at worst the old file comes back.
bool dongBoThuMuc(const std::filesystem::path& thuMuc) {
    const int fd = ::open(thuMuc.empty() ? "." : thuMuc.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

}  // namespace

bool ghiTepBenVung(const std::filesystem::path& dich, const std::string& vanBan) {
    if (!dich.has_filename()) return false;
    std::filesystem::path tam = dich;
    tam += ".tmp";
    if (!ghiTepTam(tam, vanBan)) return false;
    if (std::rename(tam.c_str(), dich.c_str()) != 0) {
        ::unlink(tam.c_str());
        return false;
    }
    return dongBoThuMuc(dich.parent_path());
}

}  // namespace nenTang
