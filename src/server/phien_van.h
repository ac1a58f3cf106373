#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "may_phan_tich.h"
#include "nen_tang.h"
#include "nuoc_di.h"
#include "phan_tich.h"
#include "tim_kiem.h"
#include "tu_luu.h"
#include "van_co.h"
#include "van_da_choi.h"

// The one saved game, in the working directory: saved and loaded by the API,
// its presence reported in the state document.
inline constexpr char TEN_TEP_LUU[] = "tavelin.save";
// The game kept between runs, in the per-user data folder.
inline constexpr char TEN_TEP_TU_LUU[] = "van_dang_choi.save";

// The game session: the live game and all that goes with it (the
// settings, the hint, the statistics, the game kept between runs and the
// played games), its lock, and the worker thread that plays the computer's
// moves. The API's commands that touch the game are its operations.
class PhienVan {
public:
    // The game's searches make way for `mayPhanTich`'s, which must outlive
    // the session.
    explicit PhienVan(MayPhanTich& mayPhanTich);
    ~PhienVan();
    PhienVan(const PhienVan&) = delete;
    PhienVan& operator=(const PhienVan&) = delete;

    // The game kept between runs: read from `tep` by "vantruoc" and
    // "khoiphuc", and, when `ghi`, written there after every change of the
    // game. Without this call no game is kept. Called before serving.
    void caiTuLuu(const std::filesystem::path& tep, bool ghi);
    // The played games: every game that ends, and every unfinished one with
    // a move that another replaces, is kept as a file in `thuMuc` (made when
    // first needed); an imported game only once played on from, or when
    // "vandachoi?giu" asks. Without this call no game is kept. Called after
    // caiTuLuu, before serving.
    void caiVanDaChoi(const std::filesystem::path& thuMuc);

    // Wakes the worker to stop and drops the game's searches; takes no lock
    // (safe from any thread).
    void dung();
    // dung, then waits for the worker to end (after a search in progress,
    // whose move is dropped). The game stays readable afterwards.
    void dungVaCho();
    // Whether the worker is inside a search right now.
    bool dangTimNuoc();

    // Runs `lenh` with the game lock held (a command may release it while it
    // searches), then keeps the game; a state document it answers says when
    // keeping fails.
    std::string chayCoKhoa(const std::function<std::string(std::unique_lock<std::mutex>&)>& lenh);
    // The state document; the caller holds khoaVan.
    std::string trangThaiJSON();

    // API commands (lenh_van.cpp); each runs with khoaVan held (chayCoKhoa),
    // except lenhKiemTraFEN, which looks at no game. goiY releases the lock
    // while it searches.
    std::string lenhVanMoi(const ThamSo& thamSo);
    // A recorded game replayed as a new human-against-human game without a
    // clock: "nuoc" lists its moves in ICCS ("h2e2,h9g7"), played in turn up
    // to the first refused one; rulings the players played through are
    // passed over, and only the last position is judged.
    std::string lenhNhapVan(const ThamSo& thamSo);
    std::string lenhCham(const ThamSo& thamSo);
    std::string lenhBoChon();
    std::string lenhHuy();
    std::string lenhTiepTuc();
    std::string lenhLuu();
    std::string lenhTai();
    std::string lenhGoiY(std::unique_lock<std::mutex>& khoa);
    std::string lenhTamDung();
    std::string lenhXinThua();
    std::string lenhVanTruoc();
    std::string lenhKhoiPhuc();
    static std::string lenhKiemTraFEN(const ThamSo& thamSo);
    // The legal moves of a lone position (ICCS), check and whether it ends
    // the game: the analysis board plays on copies through it.
    static std::string lenhNuocHopLe(const ThamSo& thamSo);
    // The played games (lenh_van_da_choi.cpp); khoaVan held unless said.
    std::string lenhPGN();
    // "vandachoi": "mo" opens a listed game, "xoa" deletes the listed games
    // it names (comma-separated; one bad name and none goes), "giu" lists the
    // live game now (an imported one, which is listed only when asked).
    std::string lenhVanDaChoi(const ThamSo& thamSo);
    // The list document, filtered by "ketQua", "mucMay" and "tim"; reads
    // only the folder (no lock needed).
    std::string danhSachVanJSON(const ThamSo& thamSo) const;
    // One listed game to look at (its start, moves, result and tags); reads
    // only its file: the live game is neither looked at nor changed.
    std::string xemVanJSON(const std::string& id) const;

private:
    VanCo van;

    // khoaVan guards the game and every member from phienBan to soLanDoiDaLuu.
    std::mutex khoaVan;
    uint64_t phienBan = 1;
    DoKho doKhoDo = TRUNG_BINH;
    DoKho doKhoDen = TRUNG_BINH;
    bool dangNghi = false;
    bool henChay = false;
    std::chrono::steady_clock::time_point thoiDiemChay;
    TimKiem::ThongKe thongKe{};
    bool coThongKe = false;
    bool coGoiY = false;
    NuocDi goiY{};

    std::filesystem::path tepTuLuu;
    TuLuu tuLuu;
    uint64_t soLanDoiDaLuu = 0;
    // Why the game could not be kept at the last try ("" when it was): put
    // in every state document meanwhile.
    std::string loiTuLuu;
    // Played games (id, text) whose file could not be written yet.
    std::vector<std::pair<std::string, std::string>> vanChoGhi;

    // The played games (lenh_van_da_choi.cpp), and the live game's place
    // among them: its file's name (empty until first written), its date and
    // the text last written there, so that a game that ends, is undone and
    // ends again rewrites its own file, and only when it changed.
    VanDaChoi vanDaChoi;
    std::string idVan, ngayVan, pgnDaGhi;
    // The unfinished game the last run kept, listed once this run's game
    // takes its place in the kept file (unless it is continued).
    std::optional<VanDaLuu> vanTruocChuaGhi;

    // The worker runs until dung.
    std::atomic<bool> dangChay{false};
    // Raised by dung: the game's searches (the computer's, a hint) end at
    // their next clock test, their moves dropped.
    std::atomic<bool> dungTimKiem{false};
    std::condition_variable bienDieuKien;
    std::thread luongMay;
    TimKiem timKiemMay;
    TimKiem timKiemGoiY;
    // The analysis board's engine: the game's searches make way for it.
    MayPhanTich& mayPhanTich;

    // Keeping the game (giu_van.cpp).
    // The kept game, if there is an unfinished one with a move, all legal.
    bool docVanTruoc(VanDaLuu& van);
    // Keeps the game (when it changed since it was last kept whole): the
    // kept file, a finished game's file in the list (written, or rewritten
    // when it changed), and the played games waiting in vanChoGhi; khoaVan
    // held. What fails is tried again at the next change.
    void luuVanDangChoi();
    // Why the write that just failed did, for the player.
    static std::string lyDoKhongGhiDuoc();
    // Notes whether keeping fails now (empty: it does not).
    void datLoiTuLuu(const std::string& loi);
    // The "vantruoc" answer for a kept game: its size and settings, named
    // as in the state document.
    static std::string moTaVanTruoc(const VanDaLuu& van);
    // Schedules the computer at once if it is to move in a running game.
    void danhThuc();

    // The live game's text, dated as its file is (today when it has none).
    std::string pgnVanHienTai();
    std::string xoaVanDaChoi(const std::string& danhSachId);
    std::string giuVanNhap();
    // Once the kept file holds this run's game: the last run's is listed.
    void ghiVanTruocVaoDanhSach();
    // The live game is the listed game `id` (when there is such a file):
    // its date kept, its file rewritten at its next change.
    void nhanIdVan(const std::string& id);
    // Replaces the live game (thay_van.cpp): `napVanMoi` puts the new game
    // in `van`, or returns the refusal, which thayVan returns as it is. The
    // old game is listed if it had a move, had not ended and is not an
    // import nobody played on from, the new one
    // gets no file of its own yet, and the computer is woken if it moves first.
    std::string thayVan(const std::function<std::string()>& napVanMoi);

    // The worker (luong_may.cpp).
    void vongLuongMay();
    void henMayChay(bool sauNay);
    // One scheduled search: copy, search without the lock, apply if fresh.
    void chayMotNuocMay(std::unique_lock<std::mutex>& khoa);
};
