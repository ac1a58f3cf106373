// Files the game keeps (POSIX): replacing one by a rename, with or without
// waiting for the device, and reading one that may be anything at all.
// rename alone promises nothing about what a power cut leaves on disk, so
// the durable replace flushes the data before it and the directory after it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "nen_tang.h"

namespace nenTang {

namespace {

thread_local int loiCuoi = 0;

// Notes errno as the reason of the failure under way; always false.
bool ghiLoi() {
    loiCuoi = errno;
    return false;
}

bool ghiHet(int fd, const std::string& du) {
    size_t da = 0;
    while (da < du.size()) {
        const ssize_t n = ::write(fd, du.data() + da, du.size() - da);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return ghiLoi();
        da += static_cast<size_t>(n);
    }
    return true;
}

// A file of its own beside the target, under a name nobody has used: made
// here (O_EXCL), so a link, a FIFO or a leftover already there is never
// followed, opened or overwritten; the process id and a counter keep two
// programs, and two saves of one, apart.
int moTepTamMoi(const std::filesystem::path& dich, mode_t quyen, std::filesystem::path& tam) {
    static std::atomic<unsigned> dem{0};
    for (int lan = 0; lan < 64; ++lan) {
        tam = dich;
        tam += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(dem.fetch_add(1));
        const int fd = ::open(tam.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, quyen);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The new text in a fresh file beside the target, on the device when asked;
// false leaves no file.
bool ghiTepTam(const std::filesystem::path& dich, const std::string& vanBan, bool xuongThietBi, mode_t quyen,
               std::filesystem::path& tam) {
    const int fd = moTepTamMoi(dich, quyen, tam);
    if (fd < 0) return ghiLoi();
    bool ok = ghiHet(fd, vanBan) && (!xuongThietBi || ::fsync(fd) == 0 || ghiLoi());
    ok = (::close(fd) == 0 || ghiLoi()) && ok;
    if (!ok) ::unlink(tam.c_str());
    return ok;
}

bool doiTen(const std::filesystem::path& tam, const std::filesystem::path& dich) {
    if (std::rename(tam.c_str(), dich.c_str()) == 0) return true;
    ghiLoi();
    ::unlink(tam.c_str());
    return false;
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

LoiGhi loiGhiCuoi() {
    switch (loiCuoi) {
    case ENOSPC:
    case EDQUOT: return LoiGhi::DAY;
    case EACCES:
    case EPERM:
    case EROFS: return LoiGhi::KHONG_QUYEN;
    case ENOENT:
    case ENOTDIR: return LoiGhi::KHONG_CO;
    default: return LoiGhi::KHAC;
    }
}

bool ghiTepBenVung(const std::filesystem::path& dich, const std::string& vanBan) {
    loiCuoi = 0;
    if (!dich.has_filename()) return false;
    std::filesystem::path tam;
    // A game saved where the player chose: shared as any file of theirs is.
    if (!ghiTepTam(dich, vanBan, true, 0666, tam) || !doiTen(tam, dich)) return false;
    return dongBoThuMuc(dich.parent_path());
}

bool thayTep(const std::filesystem::path& dich, const std::string& vanBan, std::filesystem::path& conLai) {
    conLai.clear();
    loiCuoi = 0;
    if (!dich.has_filename()) return false;
    std::filesystem::path tam;
    // The program's own files, in its private folder: this user's alone.
    if (!ghiTepTam(dich, vanBan, false, 0600, tam)) return false;
    // Swapped rather than renamed over: ext4 pushes a file renamed over
    // another towards the disk inside the rename (milliseconds on a busy
    // disk). The swap leaves the old text beside, under the temporary name,
    // until the new one is on the device.
    if (::renameat2(AT_FDCWD, tam.c_str(), AT_FDCWD, dich.c_str(), RENAME_EXCHANGE) == 0) {
        conLai = tam;
        return true;
    }
    // Nothing to swap with yet, or a file system that cannot swap.
    if (errno != ENOENT && errno != EINVAL && errno != ENOSYS) {
        ghiLoi();
        ::unlink(tam.c_str());
        return false;
    }
    return doiTen(tam, dich);
}

bool dongBoTep(const std::filesystem::path& dich) {
    // Non-blocking and not through a link: whatever stands there now is
    // flushed only if it is the regular file we put there.
    const int fd = ::open(dich.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat tt {};
    const bool ok = ::fstat(fd, &tt) == 0 && S_ISREG(tt.st_mode) && ::fsync(fd) == 0;
    ::close(fd);
    return ok && dongBoThuMuc(dich.parent_path());
}

DocTep docTepThuong(const std::filesystem::path& p, size_t toiDa, std::string& noiDung) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer. What is opened
    // is then judged by its own status, so nothing can be swapped in between.
    const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return DocTep::KHONG_CO;
    struct stat tt {};
    DocTep kq = DocTep::KHONG_HOP_LE;
    if (::fstat(fd, &tt) != 0) {
        kq = DocTep::KHONG_CO;
    } else if (S_ISDIR(tt.st_mode)) {
        kq = DocTep::KHONG_CO;  // a folder holds no saved game
    } else if (S_ISREG(tt.st_mode) && static_cast<unsigned long long>(tt.st_size) <= toiDa) {
        // At most one byte past the bound: a file that grows meanwhile is
        // still refused, and never read without end.
        std::string du(toiDa + 1, '\0');
        size_t da = 0;
        bool ok = true;
        while (da < du.size()) {
            const ssize_t n = ::read(fd, du.data() + da, du.size() - da);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            da += static_cast<size_t>(n);
        }
        if (!ok) {
            kq = DocTep::KHONG_CO;
        } else if (da <= toiDa) {
            du.resize(da);
            noiDung = std::move(du);
            kq = DocTep::DUOC;
        }
    }
    ::close(fd);
    return kq;
}

}  // namespace nenTang
