// The played games through the API: the live game as PGN, the list, opening
// and deleting a listed game; and keeping each game in the list.
#include "phien_van.h"
#include "json_viet.h"
#include "nuoc_uci.h"
#include "pgn.h"

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

std::string PhienVan::danhSachVanJSON() const {
    std::vector<std::string> ghiChu;
    const std::vector<MucVanDaChoi> ds = vanDaChoi.danhSach(ghiChu);
    std::string ra = R"({"ok":true,"van":[)";
    for (size_t i = 0; i < ds.size(); ++i) {
        const MucVanDaChoi& m = ds[i];
        if (i) ra += ',';
        ra += R"({"id":)" + chuoiJSON(m.id) + R"(,"ngay":)" + chuoiJSON(m.ngay) + R"(,"do":)" + chuoiJSON(m.tenDo) +
              R"(,"den":)" + chuoiJSON(m.tenDen) + R"(,"ketQua":)" + chuoiJSON(m.ketQua) + R"(,"lyDo":)" +
              chuoiJSON(m.lyDo) + R"(,"soNuoc":)" + std::to_string(m.soNuoc) + R"(,"fen":)" + chuoiJSON(m.fen) + "}";
    }
    ra += R"(],"ghiChu":[)";
    for (size_t i = 0; i < ghiChu.size(); ++i) {
        if (i) ra += ',';
        ra += chuoiJSON(ghiChu[i]);
    }
    return ra + "]}";
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
    if (const auto it = thamSo.find("xoa"); it != thamSo.end()) {
        if (!VanDaChoi::idHopLe(it->second) || !vanDaChoi.xoa(it->second))
            return tuChoi("Không có ván này trong danh sách");
        // The live game's file is gone: a later end of it makes a new one.
        if (it->second == idVan) idVan.clear();
        return danhSachVanJSON();
    }
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
