// The played games through the API: the live game as PGN, the list, opening
// and deleting a listed game; and keeping each game in the list.
#include "phien_van.h"
#include "json_viet.h"
#include "nuoc_uci.h"
#include "pgn.h"
#include "utf8.h"

#include <algorithm>

namespace {

std::string tuChoi(const std::string& lyDo) { return R"({"ok":false,"lyDo":)" + chuoiJSON(lyDo) + "}"; }

const char* const KHONG_CO_THU_MUC = "Không có thư mục dữ liệu để giữ các ván đã chơi";

}  // namespace

std::string PhienVan::pgnVanHienTai() {
    return vietPGN(pgnCuaVan(van.banLuu(false), ngayVan.empty() ? ngayHomNay() : ngayVan));
}

std::string PhienVan::lenhPGN() {
    std::string ten = idVan;
    if (ten.empty()) {
        ten = ngayHomNay();
        for (char& c : ten)
            if (c == '.') c = '-';
    }
    return R"({"ok":true,"pgn":)" + chuoiJSON(pgnVanHienTai()) + R"(,"tenTep":)" + chuoiJSON("tavelin3d-" + ten + ".pgn") +
           "}";
}

void PhienVan::ghiVanTruocVaoDanhSach() {
    if (!vanDaChoi.dangBat() || !vanTruocChuaGhi) return;
    const VanDaLuu truoc = std::move(*vanTruocChuaGhi);
    vanTruocChuaGhi.reset();
    if (truoc.nhapChuaDung) return;
    // In its own file when it had one (its date kept), else in a new one.
    VanPGN cu;
    const bool coTep = VanDaChoi::idHopLe(truoc.idDanhSach) && vanDaChoi.doc(truoc.idDanhSach, cu).empty();
    const std::string ngay = coTep && !cu.giaTri("Date").empty() ? cu.giaTri("Date") : ngayHomNay();
    const std::string id = VanDaChoi::idHopLe(truoc.idDanhSach) ? truoc.idDanhSach : vanDaChoi.idMoi();
    const std::string pgn = vietPGN(pgnCuaVan(truoc, ngay));
    if (!vanDaChoi.ghi(id, pgn)) vanChoGhi.emplace_back(id, pgn);
}

void PhienVan::nhanIdVan(const std::string& id) {
    if (!vanDaChoi.dangBat() || !VanDaChoi::idHopLe(id)) return;
    VanPGN cu;
    idVan = id;
    ngayVan = vanDaChoi.doc(id, cu).empty() ? cu.giaTri("Date") : std::string();
    pgnDaGhi.clear();
}

std::string PhienVan::danhSachVanJSON(const ThamSo& thamSo) const {
    LocVanDaChoi loc;
    if (const auto it = thamSo.find("ketQua"); it != thamSo.end() && !it->second.empty()) {
        if (it->second != "1-0" && it->second != "0-1" && it->second != "1/2-1/2" && it->second != "*")
            return tuChoi("Bộ lọc kết quả không hợp lệ (1-0, 0-1, 1/2-1/2 hoặc *)");
        loc.ketQua = it->second;
    }
    if (const auto it = thamSo.find("mucMay"); it != thamSo.end() && !it->second.empty()) {
        DoKho d = TRUNG_BINH;
        if (!doKhoTuTen(it->second, d)) return tuChoi("Bộ lọc mức máy không hợp lệ (DE, TRUNG_BINH, KHO hoặc CAO_THU)");
        loc.mucMay = d;
    }
    if (const auto it = thamSo.find("tim"); it != thamSo.end()) {
        if (it->second.size() > 200 || !laUtf8HopLe(it->second)) return tuChoi("Chữ cần tìm không hợp lệ");
        loc.tim = it->second;
    }
    std::vector<std::string> ghiChu;
    std::size_t tong = 0, chuaDoc = 0;
    const std::vector<MucVanDaChoi> ds = vanDaChoi.danhSach(ghiChu, loc, &tong, &chuaDoc);
    const auto muc = [](int d) { return d >= 0 ? chuoiJSON(tenDoKho(static_cast<DoKho>(d))) : std::string("null"); };
    std::string ra = R"({"ok":true,"van":[)";
    for (size_t i = 0; i < ds.size(); ++i) {
        const MucVanDaChoi& m = ds[i];
        if (i) ra += ',';
        ra += R"({"id":)" + chuoiJSON(m.id) + R"(,"ngay":)" + chuoiJSON(m.ngay) + R"(,"thoiDiem":)" +
              chuoiJSON(m.thoiDiem) + R"(,"do":)" + chuoiJSON(m.tenDo) + R"(,"den":)" + chuoiJSON(m.tenDen) +
              R"(,"suKien":)" + chuoiJSON(m.suKien) + R"(,"mucDo":)" + muc(m.mucDo) + R"(,"mucDen":)" +
              muc(m.mucDen) + R"(,"luat":)" + chuoiJSON(tenLuat(static_cast<LuatChoi>(m.luat))) + R"(,"ketQua":)" +
              chuoiJSON(m.ketQua) + R"(,"lyDo":)" + chuoiJSON(m.lyDo) + R"(,"soNuoc":)" + std::to_string(m.soNuoc) +
              R"(,"fen":)" + chuoiJSON(m.fen) + "}";
    }
    ra += R"(],"tong":)" + std::to_string(tong);
    // Files this answer had no time to read: the page asks again.
    if (chuaDoc) ra += R"(,"chuaDoc":)" + std::to_string(chuaDoc);
    ra += R"(,"ghiChu":[)";
    for (size_t i = 0; i < ghiChu.size(); ++i) {
        if (i) ra += ',';
        ra += chuoiJSON(ghiChu[i]);
    }
    return ra + "]}";
}

std::string PhienVan::xoaVanDaChoi(const std::string& danhSachId) {
    // Every name is checked before any file goes: a list with one bad name
    // deletes nothing.
    std::vector<std::string> ids;
    for (std::size_t dau = 0; dau <= danhSachId.size();) {
        std::size_t cuoi = danhSachId.find(',', dau);
        if (cuoi == std::string::npos) cuoi = danhSachId.size();
        std::string id = danhSachId.substr(dau, cuoi - dau);
        dau = cuoi + 1;
        if (std::find(ids.begin(), ids.end(), id) != ids.end()) continue;
        if (ids.size() == VanDaChoi::TOI_DA_DANH_SACH)
            return tuChoi("Xóa tối đa " + std::to_string(VanDaChoi::TOI_DA_DANH_SACH) + " ván mỗi lần");
        if (!VanDaChoi::idHopLe(id)) {
            // Named as far as it can be shown: short, and only if it is text.
            if (id.empty()) return tuChoi("Thiếu tên ván cần xóa");
            std::string ten = id.substr(0, 40);
            if (!laUtf8HopLe(ten)) return tuChoi("Tên ván không hợp lệ");
            if (id.size() > 40) ten += "…";
            return tuChoi("Tên ván không hợp lệ: " + ten);
        }
        if (!vanDaChoi.coTep(id)) return tuChoi("Không có ván này trong danh sách: " + id);
        ids.push_back(std::move(id));
    }
    std::size_t khongXoaDuoc = 0;
    for (const std::string& id : ids) {
        if (!vanDaChoi.xoa(id)) {
            ++khongXoaDuoc;
            continue;
        }
        // The live game's file is gone: a later end of it makes a new one.
        if (id == idVan) idVan.clear();
    }
    if (khongXoaDuoc) return tuChoi("Không xóa được " + std::to_string(khongXoaDuoc) + " ván");
    return danhSachVanJSON({});
}

std::string PhienVan::giuVanNhap() {
    if (van.nuocDaDi.empty()) return tuChoi("Ván chưa có nước đi nào để lưu");
    if (!idVan.empty() && !van.nhapChuaDung) return tuChoi("Ván này đã có trong danh sách");
    van.nhapChuaDung = false;
    ++van.soLanDoi;
    idVan = vanDaChoi.idMoi();
    ngayVan = ngayHomNay();
    const std::string pgn = pgnVanHienTai();
    // Not lost when it cannot be written now: tried again with each change.
    if (!vanDaChoi.ghi(idVan, pgn)) vanChoGhi.emplace_back(idVan, pgn);
    pgnDaGhi = pgn;
    std::string ra = kemHanhDong(trangThaiJSON(), "giu");
    ra.pop_back();
    return ra + R"(,"thongBao":"Đã lưu vào Ván đã chơi"})";
}

std::string PhienVan::xemVanJSON(const std::string& id) const {
    VanPGN pgn;
    if (const std::string loi = vanDaChoi.doc(id, pgn); !loi.empty()) return tuChoi(loi);
    // The first position as the game was played from it (a handicap taken off
    // the normal start): what the moves are read against.
    std::string ra = R"({"ok":true,"id":)" + chuoiJSON(id) + R"(,"fen":)" + chuoiJSON(fenDauCua(vanDaLuuTuPGN(pgn))) +
                     R"(,"nuoc":[)";
    for (size_t i = 0; i < pgn.nuoc.size(); ++i) ra += (i ? ",\"" : "\"") + uci::vietNuoc(pgn.nuoc[i]) + '"';
    ra += R"(],"ketQua":)" + chuoiJSON(pgn.ketQua) + R"(,"lyDo":)" + chuoiJSON(pgn.lyDo) + R"(,"the":{)";
    for (size_t i = 0; i < pgn.the.size(); ++i)
        ra += (i ? "," : "") + chuoiJSON(pgn.the[i].first) + ":" + chuoiJSON(pgn.the[i].second);
    return ra + "}}";
}

std::string PhienVan::lenhVanDaChoi(const ThamSo& thamSo) {
    if (!vanDaChoi.dangBat()) return tuChoi(KHONG_CO_THU_MUC);
    if (const auto it = thamSo.find("xoa"); it != thamSo.end()) return xoaVanDaChoi(it->second);
    if (thamSo.count("giu")) return giuVanNhap();
    const std::string id = thamSo.at("mo");
    VanPGN pgn;
    if (const std::string loi = vanDaChoi.doc(id, pgn); !loi.empty()) return tuChoi(loi);
    VanDaLuu luu = vanDaLuuTuPGN(pgn);
    // An unfinished game with a clock comes back paused, as a kept one does.
    if (luu.ketQua == DANG_CHOI && luu.giayCaiDat() > 0) luu.tamDung = true;
    const std::string loi = thayVan([&] {
        const KetQuaTai kq = van.napVan(luu);
        if (kq) return std::string();
        return tuChoi(kq.loai == KetQuaTai::THE_CO_SAI ? "Thế cờ đầu không hợp lệ: " + kq.lyDo
                                                         : std::string("Tệp có nước đi không hợp lệ"));
    });
    if (!loi.empty()) return loi;
    // The game is that file's again: a change rewrites it, and only a change.
    nhanIdVan(id);
    pgnDaGhi = pgnVanHienTai();
    return kemHanhDong(trangThaiJSON(), "mo");
}
