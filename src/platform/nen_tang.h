#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Every call into the operating system outside the standard library lives
// behind this namespace: sockets for the local HTTP server, the console, the
// arguments, the executable's directory and the browser launch. Porting the
// program to another system means writing another implementation of these
// functions and nothing else. No function here throws or prints.
//
// Two implementations meet these contracts: *_posix.cpp (Linux) and
// *_windows.cpp (Winsock 2, the wide command line, the Windows console);
// the build picks one set by the file suffix.
namespace nenTang {

// A socket handle wide enough for any system's native handle.
using Socket = uint64_t;
inline constexpr Socket SOCKET_LOI = ~Socket(0);

// Closes a socket; the invalid handle is ignored.
void dongSocket(Socket s);

// Opens a TCP listening socket on 127.0.0.1 (0 = any free port). A port that
// another socket holds makes this fail. On success the port actually bound
// is written to congDaMo; on failure congDaMo is left untouched.
Socket moCong(int cong, int& congDaMo);

// Waits up to `miliGiay` for the socket to become readable (for a listening
// socket: a connection is waiting).
bool coKetNoi(Socket s, int miliGiay);

// Accepts one connection; SOCKET_LOI on failure.
Socket chapNhan(Socket s);

// Receive and send time-outs in milliseconds, and small writes sent at once.
void datHanKetNoi(Socket s, int nhanMiliGiay, int guiMiliGiay);

// Byte count received; 0 when the peer closed, negative on error or time-out.
int64_t nhan(Socket s, char* boDem, uint64_t kichThuoc);

// Byte count sent, or a negative value. A peer that has gone away is an
// ordinary error here, never a signal that ends the process.
int64_t gui(Socket s, const char* du, uint64_t kichThuoc);

// The command-line arguments as UTF-8, program name first. On Linux they are
// argv as given; on Windows they come from the process's own wide command line
// (argv there is in the ANSI code page) and argc/argv serve only as a fall-back.
std::vector<std::string> thamSoUtf8(int argc, char** argv);

// The directory that holds the running executable.
std::filesystem::path thuMucThucThi();

// Lowers the calling thread's scheduling priority, for work done in the
// background that must leave the processor to the rest of the program
// whenever both want it. False when the system refused (nothing changed).
bool haUuTienLuongNay();

// Replaces the file `dich` by a text whose lines end in "\n", so that a
// crash of the machine right after a true result still finds it whole: the
// text goes into a file beside the target, is flushed to the device and
// renamed over the target, and the rename itself is flushed. The file beside
// it is created under a fresh name, never through a link or into a FIFO.
// The bytes are stored as given on every system (no CR LF on Windows), so a
// saved game is the same file wherever it was written. On false (nothing to
// write to, a failed write or flush, a failed rename) the target is as it
// was and nothing is left beside it.
bool ghiTepBenVung(const std::filesystem::path& dich, const std::string& vanBan);

// Replaces the file `dich` by `vanBan` without waiting for the device: the
// text goes into a fresh file beside the target and takes its place in one
// step, so the target is always one whole text or the other, whoever else
// writes it at the same time. The new file is in place when this returns
// true (a crash of the program from then on cannot lose it); dongBoTep puts
// it on the device. Where the system swaps the two files, the old text stays
// beside the target under the name given back in `conLai` (else empty): what
// a power cut leaves if the new text had not reached the device; the caller
// removes it after dongBoTep. On false the target is as it was and nothing
// is left beside it. The new file is readable by this user alone (0600 on
// Linux), as the program's own files are.
bool thayTep(const std::filesystem::path& dich, const std::string& vanBan, std::filesystem::path& conLai);

// Why the last ghiTepBenVung or thayTep of the calling thread that gave
// false failed, as far as the system said.
enum class LoiGhi {
    KHAC,        // anything else
    DAY,         // no room left on the device (or over the user's quota)
    KHONG_QUYEN, // not allowed, or a file system mounted read-only
    KHONG_CO,    // the folder is not there (or is not a folder)
};
LoiGhi loiGhiCuoi();

// Flushes the regular file `dich` and its directory entry to the device;
// false when there is no such file or the flush failed. Slow (milliseconds):
// for a background thread.
bool dongBoTep(const std::filesystem::path& dich);

// What reading a file the user may have put anything in gave.
enum class DocTep {
    DUOC,          // a regular file of at most the bound, read whole
    KHONG_CO,      // nothing there, a folder, or it cannot be read
    KHONG_HOP_LE,  // a FIFO, a device or anything else but a regular file, or too large
};

// Reads the file `p` (links followed) whole if it is a regular file of at
// most `toiDa` bytes. Never waits on a FIFO and never reads a device, so no
// file can hang the caller.
DocTep docTepThuong(const std::filesystem::path& p, size_t toiDa, std::string& noiDung);

// The per-user folder for the program's own data: $XDG_DATA_HOME/tavelin3d
// (an absolute XDG_DATA_HOME only), else ~/.local/share/tavelin3d on Linux;
// %LOCALAPPDATA%\tavelin3d on Windows. Created (taoThuMucRieng) when
// missing. Empty when there is none (no home, or it cannot be created).
std::filesystem::path thuMucDuLieu();

// Creates the folder `thuMuc`, and its missing parents, readable by this
// user alone where the system has such a notion (0700 on Linux; a profile
// folder on Windows is private already). A folder already there is left as
// it is. True when `thuMuc` is a folder afterwards.
bool taoThuMucRieng(const std::filesystem::path& thuMuc);

// When a file was last written, as a number that only orders files (finer
// than a second on every system, where the runtime's file times on Windows
// are whole seconds); 0 when it cannot be read.
int64_t thoiDiemGhiTep(const std::filesystem::path& tep);

// Uninitialised memory for one large table read at random places (the
// engine's transposition table), on the system's large pages where it grants
// them, so that fewer of those reads miss the address-translation cache.
// nullptr when memory is short. Given back by traBangLon only.
void* capBangLon(size_t kichThuoc);
void traBangLon(void* p);

// The web directory: exe/web, exe/../web or ./web, the first holding
// index.html; exe/web when none does.
std::filesystem::path timThuMucWeb();

// Asks the desktop to open the URL; true if the request was accepted.
// Never waits for the browser.
bool moTrinhDuyet(const std::string& diaChi);

// Makes the console speak UTF-8 where the system needs telling.
void cauHinhConsole();

// Sends the console's own stop requests to `xuLy` as well as the signals the
// caller installs it for: on Windows Ctrl+Break and closing the console window
// (and Ctrl+C, before the runtime sees it) call it with SIGINT or SIGTERM;
// after a close the process is given time to stop on its own. On POSIX the
// signals are the only stop requests and this does nothing.
void batYeuCauDung(void (*xuLy)(int));

}  // namespace nenTang
