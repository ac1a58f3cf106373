#include <algorithm>

#include "van_co.h"

namespace {

const char* tenPhe(Phe phe) { return phe == DO ? "Đỏ" : "Đen"; }

// The side to move is the one that loses.
KetQua benThuaLa(Phe phe) { return phe == DO ? DEN_THANG : DO_THANG; }

}  // namespace

void VanCo::kiemTraKetThuc() {
    if (ketQua != DANG_CHOI) return;
    const auto it = demViTri.find(khoaTheCo());
    const bool lanThuBa = it != demViTri.end() && it->second >= 3;
    if (luat == BA_LAN) {
        // Repetition is judged first: a mate that also repeats a position
        // for the third time is a draw.
        if (lanThuBa && boQuaPhanQuyet) {
            if (phanQuyetBoQua.nuoc < 0) phanQuyetBoQua = {static_cast<int32_t>(nuocDaDi.size()) - 1, LY_DO_LAP_LAI};
        } else if (lanThuBa) {
            ketQua = HOA;
            lyDo = LY_DO_LAP_LAI;
            return;
        }
    }
    if (banCo.nuocDiHopLe(luot).empty()) {
        // No legal move loses whether in check or not; there is no stalemate draw.
        if (banCo.biChieu(luot)) lyDo = std::string("Chiếu bí! ") + tenPhe(luot) + " thua";
        else lyDo = std::string(tenPhe(luot)) + " hết nước đi";
        ketQua = benThuaLa(luot);
        return;
    }
    if (luat == BA_LAN) return;
    if (lanThuBa) {
        phanXuLapVaGhi();
        return;
    }
    if (soNuaNuocKhongAn >= SO_NUA_NUOC_KHONG_AN_HOA) {
        if (boQuaPhanQuyet) {
            if (phanQuyetBoQua.nuoc < 0) phanQuyetBoQua = {static_cast<int32_t>(nuocDaDi.size()) - 1, LY_DO_60_NUOC};
            return;
        }
        ketQua = HOA;
        lyDo = LY_DO_60_NUOC;
    }
}

PhanQuyetLap VanCo::phanXuLap(const std::string& khoa, std::span<const NuocDi> them, int32_t& tu) const {
    // The cycle runs from the position's first occurrence to now.
    const auto dau = std::find(khoaTheoNuoc_.begin(), khoaTheoNuoc_.end(), khoa);
    tu = static_cast<int32_t>(dau - khoaTheoNuoc_.begin());
    BanCo ban;
    Phe luotTu = dungTheCoDau(ban);
    for (int32_t i = 0; i < tu && i < static_cast<int32_t>(nuocDaDi.size()); ++i) {
        ban.thuNuocDi(nuocDaDi[i]);
        luotTu = pheDoiPhuong(luotTu);
    }
    std::vector<NuocDi> chuKy(nuocDaDi.begin() + std::min<size_t>(tu, nuocDaDi.size()), nuocDaDi.end());
    chuKy.insert(chuKy.end(), them.begin(), them.end());
    return phanXuChuKy(ban, luotTu, chuKy);
}

void VanCo::phanXuLapVaGhi() {
    int32_t tu = 0;
    const PhanQuyetLap pq = phanXuLap(khoaTheCo(), {}, tu);
    if (boQuaPhanQuyet) {
        if (phanQuyetBoQua.nuoc < 0) phanQuyetBoQua = {static_cast<int32_t>(nuocDaDi.size()) - 1, pq.lyDo()};
        return;
    }
    ketQua = !pq.coBenThua() ? HOA : pq.benPham == DO ? DEN_THANG : DO_THANG;
    lyDo = pq.lyDo();
    chuKyTu = tu;
    chuKyDen = static_cast<int32_t>(nuocDaDi.size()) - 1;
}

void VanCo::timLaiChuKy() {
    chuKyTu = chuKyDen = -1;
    if (luat != CHAU_A || ketQua == DANG_CHOI || daXinThua || nuocDaDi.empty()) return;
    const auto it = demViTri.find(khoaTheCo());
    if (it == demViTri.end() || it->second < 3) return;
    int32_t tu = 0;
    const PhanQuyetLap pq = phanXuLap(khoaTheCo(), {}, tu);
    if (pq.lyDo() != lyDo) return;
    chuKyTu = tu;
    chuKyDen = static_cast<int32_t>(nuocDaDi.size()) - 1;
}

std::vector<VanCo::NuocPham> VanCo::nuocPhamLuatLap() {
    std::vector<NuocPham> ra;
    if (luat != CHAU_A || ketQua != DANG_CHOI) return ra;
    for (const NuocDi& n : banCo.nuocDiHopLe(luot)) {
        // A capture never brings a position back (and taking it back would
        // reorder the pieces).
        if (banCo.coQuanTai(n.hangDen, n.cotDen)) continue;
        banCo.thuNuocDi(n);
        const std::string khoa = khoaTheCo(banCo, pheDoiPhuong(luot));
        banCo.luiNuocDi();
        const auto it = demViTri.find(khoa);
        if (it == demViTri.end() || it->second < 2) continue;
        int32_t tu = 0;
        const NuocDi them[] = {n};
        const PhanQuyetLap pq = phanXuLap(khoa, them, tu);
        if (pq.coBenThua() && pq.benPham == luot) ra.push_back({n, pq.viPham});
    }
    return ra;
}

void VanCo::capNhatDongHo() {
    if (ketQua != DANG_CHOI) return;
    if (!dongHo.hetGio(luot)) return;
    ketQua = benThuaLa(luot);
    lyDo = std::string(tenPhe(luot)) + " hết thời gian";
    ++soLanDoi;
}

void VanCo::datLuatChoMay(TimKiem& timKiem) {
    std::vector<NuocDi> cam;
    for (const NuocPham& p : nuocPhamLuatLap()) cam.push_back(p.nuoc);
    timKiem.datLuatLap(luat, std::vector<NuocDi>(nuocCoTheLap_.begin(), nuocCoTheLap_.end()), std::move(cam));
}
