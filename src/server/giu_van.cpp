// Keeping the game: the kept file read back and written after each change,
// with the played games' list, and a failure to keep said to the player.
#include <cstdio>

#include "phien_van.h"

bool PhienVan::docVanTruoc(VanDaLuu& vanTruoc) {
    if (tepTuLuu.empty()) return false;
    // A finished game, or one without a move, is nothing to go back to.
    return TuLuu::docVanDaGiu(tepTuLuu, vanTruoc) && vanTruoc.ketQua == DANG_CHOI && !vanTruoc.nuoc.empty() &&
           VanCo::nuocSaiDauTien(vanTruoc) < 0;
}

void PhienVan::luuVanDangChoi() {
    // A keeping that failed leaves soLanDoiDaLuu behind: every later
    // command (a change, or the page looking at the state) tries it all again.
    if (van.soLanDoi == soLanDoiDaLuu) return;
    std::string loi;
    const auto ghiDanhSach = [&](const std::string& id, const std::string& pgn) {
        if (vanDaChoi.ghi(id, pgn)) return true;
        if (loi.empty()) loi = lyDoKhongGhiDuoc();
        return false;
    };
    // Played games a failed write left waiting, oldest first.
    std::erase_if(vanChoGhi, [&](const auto& v) { return ghiDanhSach(v.first, v.second); });
    if (vanDaChoi.dangBat() && van.ketQua != DANG_CHOI && !van.nhapChuaDung) {
        if (idVan.empty()) {
            idVan = vanDaChoi.idMoi();
            ngayVan = ngayHomNay();
        }
        const std::string pgn = pgnVanHienTai();
        if (pgn != pgnDaGhi && ghiDanhSach(idVan, pgn)) pgnDaGhi = pgn;
    }
    if (tuLuu.dangBat()) {
        VanDaLuu luu = van.banLuu(true);
        // Only names this program makes (they begin with a digit): an older
        // reader skips the line's two words, and no such name is one of its keys.
        if (!idVan.empty() && idVan[0] >= '0' && idVan[0] <= '9') luu.idDanhSach = idVan;
        if (tuLuu.ghi(vietVanDaLuu(luu))) {
            ghiVanTruocVaoDanhSach();
            if (!vanChoGhi.empty() && loi.empty()) loi = lyDoKhongGhiDuoc();
        } else if (loi.empty()) {
            loi = lyDoKhongGhiDuoc();
        }
    }
    if (loi.empty()) soLanDoiDaLuu = van.soLanDoi;
    datLoiTuLuu(loi);
}

std::string PhienVan::lyDoKhongGhiDuoc() {
    std::string lyDo;
    switch (nenTang::loiGhiCuoi()) {
    case nenTang::LoiGhi::DAY: lyDo = "ổ đĩa đã đầy"; break;
    case nenTang::LoiGhi::KHONG_QUYEN: lyDo = "không được phép ghi vào thư mục dữ liệu"; break;
    case nenTang::LoiGhi::KHONG_CO: lyDo = "không tìm thấy thư mục dữ liệu"; break;
    case nenTang::LoiGhi::KHAC: lyDo = "ghi tệp thất bại"; break;
    }
    return "Không lưu được ván vào thư mục dữ liệu: " + lyDo + ". Hãy xuất ván để giữ lại.";
}

void PhienVan::datLoiTuLuu(const std::string& loi) {
    if (loi == loiTuLuu) return;
    // Said once on the console when it begins, and once when it is over.
    if (loiTuLuu.empty()) {
        // The folder as bytes: on Windows string() throws on a name the
        // ANSI code page lacks.
        const std::u8string thuMuc = tepTuLuu.parent_path().u8string();
        const std::string dong =
            loi + (thuMuc.empty() ? std::string() : " (" + std::string(thuMuc.begin(), thuMuc.end()) + ")") + "\n";
        std::fwrite(dong.data(), 1, dong.size(), stderr);
    } else if (loi.empty()) {
        const std::string dong = "Đã lưu được ván vào thư mục dữ liệu.\n";
        std::fwrite(dong.data(), 1, dong.size(), stderr);
    }
    std::fflush(stderr);
    loiTuLuu = loi;
}
