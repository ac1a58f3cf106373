#include <filesystem>
#include <fstream>

#include "nen_tang.h"
#include "tep_van_luu.h"
#include "van_co.h"

namespace {

std::filesystem::path duongDanUtf8(const std::string& ten) {
    return std::filesystem::path(std::u8string(ten.begin(), ten.end()));
}

}  // namespace

bool VanCo::luuVan(const std::string& tenTep) const {
    VanDaLuu van;
    van.cheDo = cheDo;
    van.doKho = doKho;
    van.pheNguoi = pheNguoi;
    // Red's time as it stands now, running turn included, cut to whole seconds.
    van.giayMoi = static_cast<int>(dongHo.giayConLai(DO));
    van.ketQua = ketQua;
    van.chap = chap;
    van.nuoc = nuocDaDi;
    van.lyDo = lyDo;
    // Written beside the old file, flushed to the device and renamed into
    // place: a failed save or a power cut leaves the previous game whole.
    return nenTang::ghiTepBenVung(duongDanUtf8(tenTep), vietVanDaLuu(van));
}

bool VanCo::taiVan(const std::string& tenTep) {
    VanDaLuu van;
    {
        std::ifstream vao(duongDanUtf8(tenTep));
        if (!vao || !docVanDaLuu(vao, van)) return false;
    }
    vanMoi(static_cast<CheDo>(van.cheDo), static_cast<DoKho>(van.doKho), static_cast<Phe>(van.pheNguoi), van.giayMoi);
    for (const auto& [phe, ten] : van.chap) datChap(phe, ten);
    for (const NuocDi& nuoc : van.nuoc) apDungNuoc(nuoc);
    ketQua = static_cast<KetQua>(van.ketQua);
    lyDo = van.lyDo;
    if (ketQua == DANG_CHOI) {
        dongHo.batDauLuot(luot);
    } else {
        // A finished game's clock stands, as it does after the move that
        // ended it; no time is charged.
        dongHo.dangDemGio = false;
    }
    return true;
}
