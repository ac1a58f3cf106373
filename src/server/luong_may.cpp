// The worker thread that plays the computer's moves.
#include <algorithm>
#include <memory>
#include <vector>

#include "phien_van.h"

namespace {

// How often an idle worker looks again, bounding a missed wake-up or a stop.
constexpr auto NGU_KHI_RANH = std::chrono::milliseconds(200);
// Pause between two computer moves in computer-against-computer games, so
// that a person can follow them.
constexpr auto NGHI_GIUA_HAI_NUOC = std::chrono::milliseconds(400);

}  // namespace

void PhienVan::henMayChay(bool sauNay) {
    henChay = true;
    auto nghi = sauNay ? NGHI_GIUA_HAI_NUOC : std::chrono::milliseconds(0);
    // The pause runs on the next side's clock: when that clock is low, a
    // fiftieth of what is left at most, so that the pauses alone never use
    // it up.
    if (van.dongHo.bat) {
        const double phanNamMuoi = van.dongHo.giayConLai(van.luot) * 20.0;  // in milliseconds
        nghi = std::min(nghi, std::chrono::milliseconds(static_cast<int64_t>(phanNamMuoi)));
    }
    thoiDiemChay = std::chrono::steady_clock::now() + nghi;
    bienDieuKien.notify_all();
}

void PhienVan::vongLuongMay() {
    std::unique_lock<std::mutex> khoa(khoaVan);
    while (dangChay.load()) {
        if (!henChay || van.tamDung) {
            bienDieuKien.wait_for(khoa, NGU_KHI_RANH);
        } else if (std::chrono::steady_clock::now() < thoiDiemChay) {
            bienDieuKien.wait_until(khoa, thoiDiemChay);
        } else {
            henChay = false;
            if (van.ketQua == DANG_CHOI && van.denLuotMay()) chayMotNuocMay(khoa);
        }
    }
}

void PhienVan::chayMotNuocMay(std::unique_lock<std::mutex>& khoa) {
    dangNghi = true;
    const uint64_t phienTruoc = phienBan;
    const Phe luot = van.luot;
    const DoKho doKho = luot == DEN ? doKhoDen : doKhoDo;
    std::unique_ptr<BanCo> banSao = van.banCo.saoChepTheCo();
    const std::vector<uint64_t> viTriTruoc(van.viTriTruoc().begin(), van.viTriTruoc().end());
    const double giayConLai = van.dongHo.bat ? van.dongHo.giayConLai(luot) : -1.0;
    const double giayTang = van.dongHo.bat ? van.dongHo.congThem : 0.0;
    van.datLuatChoMay(timKiemMay);
    // A fixed level keeps its own time unless the clock cannot afford it
    // (the strength-first level budgets from the clock itself).
    const bool gioiHanDongHo = doKho != CAO_THU && giayConLai >= 0;
    if (gioiHanDongHo) {
        TimKiem::GioiHan gh;
        gh.dung = &dungTimKiem;
        gh.miliGiay = TimKiem::thoiGianCoDinhTheoDongHo(doKho, giayConLai, giayTang);
        timKiemMay.datGioiHan(gh);
    }

    // The only long operation, on private copies, without the lock: the
    // server keeps answering (and may make this result stale) meanwhile.
    khoa.unlock();
    TimKiem::ThongKe tk;
    NuocDi nuoc;
    {
        const MayPhanTich::NhuongChoVan nhuong(mayPhanTich);
        nuoc = timKiemMay.timNuocDi(*banSao, luot, doKho, tk, viTriTruoc, giayConLai, giayTang);
    }
    khoa.lock();
    if (gioiHanDongHo) {
        TimKiem::GioiHan gh;
        gh.dung = &dungTimKiem;
        timKiemMay.datGioiHan(gh);
    }
    dangNghi = false;
    if (!dangChay.load()) return;

    // Applied only to the game it was computed for.
    if (phienBan != phienTruoc || van.ketQua != DANG_CHOI || van.tamDung || !van.denLuotMay() || !van.thuDoNuoc(nuoc))
        return;
    thongKe = tk;
    coThongKe = true;
    coGoiY = false;
    luuVanDangChoi();
    if (van.ketQua == DANG_CHOI && van.cheDo == MAY_MAY && !van.tamDung) henMayChay(true);
}
