#pragma once
#include <atomic>
#include <filesystem>
#include <span>
#include <string>

#include "bang_lenh_api.h"
#include "may_chu_http.h"
#include "may_phan_tich.h"
#include "phien_van.h"

// The one object that puts the game on the network: the HTTP transport
// (MayChuHttp, served on the thread that calls chayMotVong), the routing of
// a request to a static file (dinh_tuyen.cpp) or to a command of the API
// (bang_lenh_api.cpp), the game session (PhienVan) and the analysis board's
// engine.
//
// Large (engines inline): allocate it on the heap.
class GiaoDienWeb {
public:
    explicit GiaoDienWeb(const std::string& thuMucWeb);
    ~GiaoDienWeb();
    GiaoDienWeb(const GiaoDienWeb&) = delete;
    GiaoDienWeb& operator=(const GiaoDienWeb&) = delete;

    // The game kept between runs, and the played games' folder: see PhienVan.
    void caiTuLuu(const std::filesystem::path& tep, bool ghi) { phien.caiTuLuu(tep, ghi); }
    void caiVanDaChoi(const std::filesystem::path& thuMuc) { phien.caiVanDaChoi(thuMuc); }

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
    bool dangTimNuoc() { return phien.dangTimNuoc(); }

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

private:
    std::string thuMucWeb;
    // The transport; what it is sent is answered by xuLyYeuCau.
    MayChuHttp mayChu;
    // Serving goes on until dung.
    std::atomic<bool> dangChay{true};
    // The analysis board's engine, with its own thread and lock; made before
    // the session, whose searches make way for it, and gone after it.
    MayPhanTich mayPhanTich;
    PhienVan phien{mayPhanTich};

    // Routing: status, content type and body for one parsed request.
    int chonPhanHoi(const std::string& phuongThuc, const std::string& duongDan, const std::string& truyVan,
                    std::string& loaiNoiDung, std::string& than);
};
