// The API's routing: the table of commands, and running one of them.
#include "bang_lenh_api.h"

#include <algorithm>

#include "giao_dien_web.h"
#include "json_viet.h"

namespace {

bool luonKhoa(const ThamSo&) { return true; }
bool khongKhoa(const ThamSo&) { return false; }
// Listing reads only the folder: the game and the computer go on meanwhile.
bool khiMoHoacXoa(const ThamSo& thamSo) { return thamSo.count("mo") || thamSo.count("xoa"); }

}  // namespace

std::span<const LenhAPI> GiaoDienWeb::bangLenhAPI() {
    using Khoa = std::unique_lock<std::mutex>;
    static const LenhAPI BANG[] = {
        {"trangthai", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.trangThaiJSON(); }},
        {"vanmoi", luonKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.lenhVanMoi(t); }},
        {"cham", luonKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.lenhCham(t); }},
        {"bochon", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhBoChon(); }},
        {"huy", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhHuy(); }},
        {"tieptuc", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhTiepTuc(); }},
        {"luu", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhLuu(); }},
        {"tai", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhTai(); }},
        {"goiy", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa& k) { return w.lenhGoiY(k); }},
        {"tamdung", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhTamDung(); }},
        {"xinthua", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhXinThua(); }},
        {"vantruoc", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhVanTruoc(); }},
        {"khoiphuc", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhKhoiPhuc(); }},
        // Judges a position alone: the game is not looked at.
        {"kiemtrafen", khongKhoa, [](GiaoDienWeb&, const ThamSo& t, Khoa&) { return lenhKiemTraFEN(t); }},
        {"pgn", luonKhoa, [](GiaoDienWeb& w, const ThamSo&, Khoa&) { return w.lenhPGN(); }},
        {"vandachoi", khiMoHoacXoa,
         [](GiaoDienWeb& w, const ThamSo& t, Khoa& k) {
             return k.owns_lock() ? w.lenhVanDaChoi(t) : w.danhSachVanJSON();
         }},
        {"phantich", khongKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.mayPhanTich.lenhPhanTich(t); }},
        {"danhgiavan", khongKhoa,
         [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.mayPhanTich.lenhDanhGiaVan(t); }},
        {"nhapvan", luonKhoa, [](GiaoDienWeb& w, const ThamSo& t, Khoa&) { return w.lenhNhapVan(t); }},
    };
    return BANG;
}

std::string GiaoDienWeb::xuLyAPI(const std::string& ten, const std::string& truyVan) {
    const auto bang = bangLenhAPI();
    const auto lenh = std::find_if(bang.begin(), bang.end(), [&](const LenhAPI& l) { return ten == l.ten; });
    if (lenh == bang.end()) return {};
    const ThamSo thamSo = tachThamSo(truyVan);
    std::unique_lock<std::mutex> khoa;
    if (!lenh->canKhoaVan(thamSo)) return lenh->chay(*this, thamSo, khoa);

    khoa = std::unique_lock<std::mutex>(khoaVan);
    std::string traLoi = lenh->chay(*this, thamSo, khoa);
    // Before the answer leaves: a change the player has seen is kept.
    luuVanDangChoi();
    // A state document says when keeping fails, whichever command made it.
    if (!loiTuLuu.empty() && traLoi.rfind(R"({"ok":true,"phienBan":)", 0) == 0)
        traLoi.insert(traLoi.size() - 1, R"(,"loiTuLuu":)" + chuoiJSON(loiTuLuu));
    return traLoi;
}
