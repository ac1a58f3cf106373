// GiaoDienWeb: construction, destruction, serving and stopping.
#include "giao_dien_web.h"

GiaoDienWeb::GiaoDienWeb(const std::string& thuMuc)
    : thuMucWeb(thuMuc), mayChu([this](const std::string& duLieu, std::string& dongLog) {
          return xuLyYeuCau(duLieu, dongLog);
      }) {
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

GiaoDienWeb::~GiaoDienWeb() { dungVaCho(); }

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

bool GiaoDienWeb::moTrinhDuyet() const {
    return nenTang::moTrinhDuyet("http://127.0.0.1:" + std::to_string(mayChu.congDaMo()) + "/");
}

bool GiaoDienWeb::chayMotVong(int miliGiay) {
    if (!dangChay.load() || !mayChu.dangMo()) return false;
    mayChu.phucVuMotKetNoi(miliGiay);
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
