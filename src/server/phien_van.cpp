// PhienVan: construction, settings, the locked run of a command, stopping.
#include "phien_van.h"

#include "json_viet.h"

PhienVan::PhienVan(MayPhanTich& mayPhanTichMoi) : mayPhanTich(mayPhanTichMoi) {
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
    luongMay = std::thread(&PhienVan::vongLuongMay, this);
}

PhienVan::~PhienVan() { dungVaCho(); }

void PhienVan::caiTuLuu(const std::filesystem::path& tep, bool ghi) {
    std::lock_guard<std::mutex> khoa(khoaVan);
    tepTuLuu = tep;
    if (ghi && !tep.empty()) tuLuu.batDau(tep);
}

void PhienVan::caiVanDaChoi(const std::filesystem::path& thuMuc) {
    std::lock_guard<std::mutex> khoa(khoaVan);
    if (thuMuc.empty()) return;
    vanDaChoi.batDau(thuMuc);
    // The kept game is replaced only where this run keeps its own.
    VanDaLuu vanTruoc;
    if (tuLuu.dangBat() && docVanTruoc(vanTruoc)) vanTruocChuaGhi = std::move(vanTruoc);
}

std::string PhienVan::chayCoKhoa(const std::function<std::string(std::unique_lock<std::mutex>&)>& lenh) {
    std::unique_lock<std::mutex> khoa(khoaVan);
    std::string traLoi = lenh(khoa);
    // Before the answer leaves: a change the player has seen is kept.
    luuVanDangChoi();
    // A state document says when keeping fails, whichever command made it.
    if (!loiTuLuu.empty() && traLoi.rfind(R"({"ok":true,"phienBan":)", 0) == 0)
        traLoi.insert(traLoi.size() - 1, R"(,"loiTuLuu":)" + chuoiJSON(loiTuLuu));
    return traLoi;
}

void PhienVan::dung() {
    dangChay.store(false);
    dungTimKiem.store(true);
    bienDieuKien.notify_all();
}

void PhienVan::dungVaCho() {
    dung();
    // Waits for a search in progress; its result is dropped.
    if (luongMay.joinable()) luongMay.join();
}

bool PhienVan::dangTimNuoc() {
    std::lock_guard<std::mutex> khoa(khoaVan);
    return dangNghi;
}
