// The HTTP transport: accepting a connection, reading its request, sending
// the answer.
#include "may_chu_http.h"

#include <chrono>
#include <cstdio>
#include <utility>

#include "http_tho.h"

namespace {

constexpr int NHAN_MILI_GIAY = 150;
constexpr int GUI_MILI_GIAY = 3000;
constexpr size_t KICH_THUOC_KHUC = 4096;
// The per-receive time-out alone lets a client that trickles one byte every
// 100 ms hold the single-threaded server for minutes; the whole read gets
// this bound on top of it.
constexpr auto HAN_DOC_TOAN_BO = std::chrono::seconds(3);

}  // namespace

MayChuHttp::MayChuHttp(XuLyYeuCau xuLyMoi) : xuLy(std::move(xuLyMoi)) {}

MayChuHttp::~MayChuHttp() { nenTang::dongSocket(socketNghe); }

bool MayChuHttp::moCong(int congMoi) {
    nenTang::dongSocket(socketNghe);
    socketNghe = nenTang::moCong(congMoi, cong);
    return socketNghe != nenTang::SOCKET_LOI;
}

void MayChuHttp::phucVuMotKetNoi(int miliGiay) {
    if (socketNghe == nenTang::SOCKET_LOI || !nenTang::coKetNoi(socketNghe, miliGiay)) return;
    nenTang::Socket ketNoi = nenTang::chapNhan(socketNghe);
    if (ketNoi == nenTang::SOCKET_LOI) return;
    phucVuKetNoi(ketNoi);
    nenTang::dongSocket(ketNoi);
}

std::string MayChuHttp::docYeuCau(nenTang::Socket ketNoi) {
    std::string duLieu;
    char khuc[KICH_THUOC_KHUC];
    auto han = std::chrono::steady_clock::now() + HAN_DOC_TOAN_BO;
    while (duLieu.find("\r\n\r\n") == std::string::npos && duLieu.size() < GIOI_HAN_YEU_CAU &&
           std::chrono::steady_clock::now() < han) {
        int64_t n = nenTang::nhan(ketNoi, khuc, sizeof khuc);
        if (n <= 0) break;
        duLieu.append(khuc, static_cast<size_t>(n));
    }
    return duLieu;
}

void MayChuHttp::phucVuKetNoi(nenTang::Socket ketNoi) {
    nenTang::datHanKetNoi(ketNoi, NHAN_MILI_GIAY, GUI_MILI_GIAY);
    std::string dongLog;
    std::string phanHoi = xuLy(docYeuCau(ketNoi), dongLog);
    if (phanHoi.empty()) return;

    size_t daGui = 0;
    while (daGui < phanHoi.size()) {
        int64_t n = nenTang::gui(ketNoi, phanHoi.data() + daGui, phanHoi.size() - daGui);
        if (n <= 0) break;
        daGui += static_cast<size_t>(n);
    }
    // Written as bytes: a path may hold anything, even a zero byte.
    std::fwrite(dongLog.data(), 1, dongLog.size(), stdout);
    std::fflush(stdout);
}
