// The API's routing: the table of commands, and running one of them.
#include "bang_lenh_api.h"

#include <algorithm>

#include "giao_dien_web.h"

namespace {

bool luonKhoa(const ThamSo&) { return true; }
bool khongKhoa(const ThamSo&) { return false; }
// Listing and looking at one game read only the folder: the game and the
// computer go on meanwhile.
bool khiMoHoacXoa(const ThamSo& thamSo) { return thamSo.count("mo") || thamSo.count("xoa") || thamSo.count("giu"); }

}  // namespace

std::span<const LenhAPI> GiaoDienWeb::bangLenhAPI() {
    using Khoa = std::unique_lock<std::mutex>;
    static const LenhAPI BANG[] = {
        {"trangthai", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.trangThaiJSON(); }},
        {"vanmoi", luonKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.phien.lenhVanMoi(t); }},
        {"cham", luonKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.phien.lenhCham(t); }},
        {"bochon", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhBoChon(); }},
        {"huy", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhHuy(); }},
        {"tieptuc", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhTiepTuc(); }},
        {"luu", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhLuu(); }},
        {"tai", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhTai(); }},
        {"goiy", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa& k) { return w.phien.lenhGoiY(k); }},
        {"tamdung", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhTamDung(); }},
        {"xinthua", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhXinThua(); }},
        {"vantruoc", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhVanTruoc(); }},
        {"khoiphuc", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhKhoiPhuc(); }},
        // Judges a position alone: the game is not looked at.
        {"kiemtrafen", khongKhoa, [](GiaoDienWeb&, const ThamSo& t, Khoa&) { return PhienVan::lenhKiemTraFEN(t); }},
        {"nuochople", khongKhoa, [](GiaoDienWeb&, const ThamSo& t, Khoa&) { return PhienVan::lenhNuocHopLe(t); }},
        {"pgn", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.phien.lenhPGN(); }},
        {"vandachoi", khiMoHoacXoa,
         [](GiaoDienWeb& w, const ThamSo& t, Khoa& k) {
             if (k.owns_lock()) return w.phien.lenhVanDaChoi(t);
             if (const auto it = t.find("xem"); it != t.end()) return w.phien.xemVanJSON(it->second);
             return w.phien.danhSachVanJSON(t);
         }},
        {"phantich", khongKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.mayPhanTich.lenhPhanTich(t); }},
        {"danhgiavan", khongKhoa,
         [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.mayPhanTich.lenhDanhGiaVan(t); }},
        {"nhapvan", luonKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.phien.lenhNhapVan(t); }},
    };
    return BANG;
}

std::string GiaoDienWeb::xuLyAPI(const std::string& ten, const std::string& truyVan) {
    const auto bang = bangLenhAPI();
    const auto lenh = std::find_if(bang.begin(), bang.end(), [&](const LenhAPI& l) { return ten == l.ten; });
    if (lenh == bang.end()) return {};
    const ThamSo thamSo = tachThamSo(truyVan);
    if (!lenh->canKhoaVan(thamSo)) {
        std::unique_lock<std::mutex> khoaRong;
        return lenh->chay(*this, thamSo, khoaRong);
    }
    return phien.chayCoKhoa([&](std::unique_lock<std::mutex>& khoa) { return lenh->chay(*this, thamSo, khoa); });
}
