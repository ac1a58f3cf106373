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

#include "bang_lenh_api.h"
#include "may_chu_http.h"
#include "nuoc_di.h"
#include "may_phan_tich.h"
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

// The one object that puts the game on the network: it owns the game, two
// search engines, the game lock, the worker thread that plays the computer's
// moves, the analysis thread and the HTTP transport (MayChuHttp, served on
// the thread that calls chayMotVong). A request is routed here
// (dinh_tuyen.cpp) to a static file or to a command of the API
// (bang_lenh_api.cpp).
//
// Large (engines inline): allocate it on the heap.
class GiaoDienWeb {
public:
    explicit GiaoDienWeb(const std::string& thuMucWeb);
    ~GiaoDienWeb();
    GiaoDienWeb(const GiaoDienWeb&) = delete;
    GiaoDienWeb& operator=(const GiaoDienWeb&) = delete;

    // The game kept between runs: read from `tep` by "vantruoc" and
    // "khoiphuc", and, when `ghi`, written there after every change of the
    // game. Without this call no game is kept. Called before serving.
    void caiTuLuu(const std::filesystem::path& tep, bool ghi);
    // The played games: every game that ends, and every unfinished one with
    // a move that another replaces, is kept as a file in `thuMuc` (made when
    // first needed). Without this call no game is kept. Called after
    // caiTuLuu, before serving.
    void caiVanDaChoi(const std::filesystem::path& thuMuc);

    // Opens (or re-opens) the listening port; 0 lets the system choose.
    bool moCong(int cong) { return mayChu.moCong(cong); }
    int congDaMo() const { return mayChu.congDaMo(); }
    bool moTrinhDuyet() const;
    // One serving step: waits up to `miliGiay` for a connection and serves it.
    bool chayMotVong(int miliGiay);
    // Stops serving, wakes the worker and stops the analysis; takes no lock
    // (safe from any thread).
    void dung();
    // dung, then waits for the worker and the analysis thread to end (after a search in progress,
    // whose move is dropped). The game stays readable afterwards.
    void dungVaCho();
    // Whether the worker is inside a search right now.
    bool dangTimNuoc();

    // Request handling, public so that each part can be driven on its own.
    // Everything after the socket read: the request's bytes in, the whole
    // response out (empty: close without an answer) and the log line to write
    // once it is sent (empty with an empty response).
    std::string xuLyYeuCau(const std::string& duLieu, std::string& dongLog);
    bool docTep(const std::string& duongDan, std::string& than, std::string& loaiNoiDung) const;
    // One API command's answer (empty: no such command).
    std::string xuLyAPI(const std::string& ten, const std::string& truyVan);
    // Every command of the API, the analysis's included (bang_lenh_api.cpp).
    static std::span<const LenhAPI> bangLenhAPI();
    // The state document; the caller holds khoaVan.
    std::string trangThaiJSON();

private:
    VanCo van;
    std::string thuMucWeb;
    // The transport; what it is sent is answered by xuLyYeuCau.
    MayChuHttp mayChu;

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

    // The played games (van_da_choi_api.cpp), and the live game's place
    // among them: its file's name (empty until first written), its date and
    // the text last written there, so that a game that ends, is undone and
    // ends again rewrites its own file, and only when it changed.
    VanDaChoi vanDaChoi;
    std::string idVan, ngayVan, pgnDaGhi;
    // The unfinished game the last run kept, listed once this run's game
    // takes its place in the kept file (unless it is continued).
    std::optional<VanDaLuu> vanTruocChuaGhi;

    std::atomic<bool> dangChay{false};
    // Raised by dung: the game's searches (the computer's, a hint) end at
    // their next clock test, their moves dropped.
    std::atomic<bool> dungTimKiem{false};
    std::condition_variable bienDieuKien;
    std::thread luongMay;
    TimKiem timKiemMay;
    TimKiem timKiemGoiY;
    // The analysis board's engine, with its own thread and lock.
    MayPhanTich mayPhanTich;

    // Routing: status, content type and body for one parsed request.
    int chonPhanHoi(const std::string& phuongThuc, const std::string& duongDan, const std::string& truyVan,
                    std::string& loaiNoiDung, std::string& than);

    // API commands (api.cpp); each runs with khoaVan held by xuLyAPI, except
    // goiY, which releases it while it searches, and those the table says
    // take no lock.
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

    // The played games (van_da_choi_api.cpp); khoaVan held unless said.
    std::string lenhPGN();
    std::string lenhVanDaChoi(const ThamSo& thamSo);
    // The list document; reads only the folder (no lock needed).
    std::string danhSachVanJSON() const;
    // The live game's text, dated as its file is (today when it has none).
    std::string pgnVanHienTai();
    // Once the kept file holds this run's game: the last run's is listed.
    void ghiVanTruocVaoDanhSach();
    // The live game is the listed game `id` (when there is such a file):
    // its date kept, its file rewritten at its next change.
    void nhanIdVan(const std::string& id);
    // Replaces the live game (thay_van.cpp): `napVanMoi` puts the new game
    // in `van`, or returns the refusal, which thayVan returns as it is. The
    // old game is listed if it had a move and had not ended, the new one
    // gets no file of its own yet, and the computer is woken if it moves first.
    std::string thayVan(const std::function<std::string()>& napVanMoi);

    // The worker (luong_may.cpp).
    void vongLuongMay();
    void henMayChay(bool sauNay);
    // One scheduled search: copy, search without the lock, apply if fresh.
    void chayMotNuocMay(std::unique_lock<std::mutex>& khoa);
};
