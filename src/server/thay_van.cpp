// Replacing the live game: the one way a new, loaded, continued, imported or
// listed game takes the old one's place.
#include "phien_van.h"

std::string PhienVan::thayVan(const std::function<std::string()>& napVanMoi) {
    // What to list of the old game is taken before it goes, and written only
    // once the new game is there.
    std::string idCu, pgnCu;
    // An imported game nobody played on from is the file it came from: not ours to list.
    if (vanDaChoi.dangBat() && van.ketQua == DANG_CHOI && !van.nuocDaDi.empty() && !van.nhapChuaDung) {
        if (idVan.empty()) {
            idVan = vanDaChoi.idMoi();
            ngayVan = ngayHomNay();
        }
        idCu = idVan;
        pgnCu = pgnVanHienTai();
    }
    if (std::string loi = napVanMoi(); !loi.empty()) return loi;

    // Not lost when it cannot be written now: tried again with each change.
    if (!pgnCu.empty() && pgnCu != pgnDaGhi && !vanDaChoi.ghi(idCu, pgnCu)) vanChoGhi.emplace_back(idCu, pgnCu);
    idVan.clear();
    ngayVan.clear();
    pgnDaGhi.clear();

    doKhoDo = van.doKho;
    doKhoDen = van.mayDen.doKho;
    // Searches, statistics and a hint of the old game are dropped with it.
    ++phienBan;
    coThongKe = coGoiY = false;
    henChay = false;
    danhThuc();
    return {};
}
