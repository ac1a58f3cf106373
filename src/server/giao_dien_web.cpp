// GiaoDienWeb: construction, destruction and the serving loop.
#include "giao_dien_web.h"

GiaoDienWeb::GiaoDienWeb(const std::string& thuMuc) : thuMucWeb(thuMuc) {
    thoiDiemChay = std::chrono::steady_clock::now();
    // The fresh game of the start is no change: the game kept by the last
    // run stays until this one changes.
    soLanDoiDaLuu = van.soLanDoi;
    dangChay.store(true);
    TimKiem::GioiHan gioiHan;
    gioiHan.dung = &dungTimKiem;
    timKiemMay.datGioiHan(gioiHan);
    timKiemGoiY.datGioiHan(gioiHan);
    // Started last: the worker reads every member above.
    luongMay = std::thread(&GiaoDienWeb::vongLuongMay, this);
}

GiaoDienWeb::~GiaoDienWeb() {
    dungVaCho();
    nenTang::dongSocket(socketNghe);
    socketNghe = nenTang::SOCKET_LOI;
}

void GiaoDienWeb::caiTuLuu(const std::filesystem::path& tep, bool ghi) {
    std::lock_guard<std::mutex> khoa(khoaVan);
    tepTuLuu = tep;
    if (ghi && !tep.empty()) tuLuu.batDau(tep);
}

void GiaoDienWeb::caiVanDaChoi(const std::filesystem::path& thuMuc) {
    std::lock_guard<std::mutex> khoa(khoaVan);
    if (thuMuc.empty()) return;
    vanDaChoi.batDau(thuMuc);
    // The kept game is replaced only where this run keeps its own.
    VanDaLuu vanTruoc;
    if (tuLuu.dangBat() && docVanTruoc(vanTruoc)) vanTruocChuaGhi = std::move(vanTruoc);
}

bool GiaoDienWeb::moCong(int congMoi) {
    nenTang::dongSocket(socketNghe);
    socketNghe = nenTang::moCong(congMoi, cong);
    return socketNghe != nenTang::SOCKET_LOI;
}

bool GiaoDienWeb::moTrinhDuyet() const {
    return nenTang::moTrinhDuyet("http://127.0.0.1:" + std::to_string(cong) + "/");
}

bool GiaoDienWeb::chayMotVong(int miliGiay) {
    if (!dangChay.load() || socketNghe == nenTang::SOCKET_LOI) return false;
    if (!nenTang::coKetNoi(socketNghe, miliGiay)) return dangChay.load();
    nenTang::Socket ketNoi = nenTang::chapNhan(socketNghe);
    if (ketNoi == nenTang::SOCKET_LOI) return dangChay.load();
    phucVuKetNoi(ketNoi);
    nenTang::dongSocket(ketNoi);
    return dangChay.load();
}

bool GiaoDienWeb::chay() {
    while (dangChay.load() && socketNghe != nenTang::SOCKET_LOI) {
        if (!nenTang::coKetNoi(socketNghe, 500)) continue;
        nenTang::Socket ketNoi = nenTang::chapNhan(socketNghe);
        if (ketNoi == nenTang::SOCKET_LOI) continue;
        phucVuKetNoi(ketNoi);
        nenTang::dongSocket(ketNoi);
    }
    return dangChay.load();
}

void GiaoDienWeb::dung() {
    dangChay.store(false);
    dungTimKiem.store(true);
    bienDieuKien.notify_all();
    mayPhanTich.baoDung();
}

void GiaoDienWeb::dungVaCho() {
    dung();
    // Waits for a search in progress; its result is dropped.
    if (luongMay.joinable()) luongMay.join();
    mayPhanTich.dungVaCho();
}

bool GiaoDienWeb::dangTimNuoc() {
    std::lock_guard<std::mutex> khoa(khoaVan);
    return dangNghi;
}
