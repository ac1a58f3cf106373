#include "dong_ho.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

void DongHo::caiDat(int giayMoiBen, double tang) {
    bat = giayMoiBen > 0;
    const double giay = giayMoiBen > 0 ? static_cast<double>(giayMoiBen) : 0.0;
    conLai[0] = conLai[1] = giay;
    congThem = tang;
    dangDemGio = false;
}

void DongHo::batDauLuot(Phe phe) {
    // A turn already running is replaced without being charged.
    pheDangChay = phe;
    batDau = nguonGio_();
    dangDemGio = true;
}

void DongHo::ketThucLuot(Phe phe) { tinhLuot(phe, true); }

void DongHo::dungLuot(Phe phe) { tinhLuot(phe, false); }

void DongHo::tinhLuot(Phe phe, bool congTang) {
    if (bat && dangDemGio && chiSo(phe) == chiSo(pheDangChay)) {
        double& giay = conLai[chiSo(phe)];
        const double sau = giay - giayDaDungTrongLuot();
        // A flag that fell before the move stays down: no increment lifts it.
        giay = sau > 0.0 ? sau + (congTang ? congThem : 0.0) : 0.0;
    }
    dangDemGio = false;
}

void DongHo::traLaiCongThem(Phe phe) {
    if (!bat) return;
    double& giay = conLai[chiSo(phe)];
    giay = std::max(0.0, giay - congThem);
}

double DongHo::giayDaDungTrongLuot() const {
    if (!dangDemGio) return 0.0;
    const auto nano = std::chrono::duration_cast<std::chrono::nanoseconds>(nguonGio_() - batDau).count();
    return static_cast<double>(nano) / 1000000000.0;
}

double DongHo::giayConLai(Phe phe) const {
    double giay = conLai[chiSo(phe)];
    if (dangDemGio && chiSo(phe) == chiSo(pheDangChay)) giay -= giayDaDungTrongLuot();
    return std::max(0.0, giay);
}

bool DongHo::hetGio(Phe phe) const { return bat && giayConLai(phe) <= 0.0; }

std::string DongHo::hienThi(Phe phe) const {
    if (!bat) return "--:--";
    // Rounded up: a side is shown as out of time only when it really is.
    const double tran = std::ceil(giayConLai(phe));
    const long long giay = tran > 0.0 ? static_cast<long long>(tran) : 0;
    char dem[32];
    std::snprintf(dem, sizeof dem, "%02lld:%02lld", giay / 60, giay % 60);
    return dem;
}
