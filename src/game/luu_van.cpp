#include <filesystem>
#include <fstream>
#include <optional>

#include "nen_tang.h"
#include "tep_van_luu.h"
#include "van_co.h"

namespace {

// A name that is not UTF-8 cannot become a path on Windows (the conversion
// throws); it names no file we could save to or load from.
std::optional<std::filesystem::path> duongDanUtf8(const std::string& ten) {
    try {
        return std::filesystem::path(std::u8string(ten.begin(), ten.end()));
    } catch (const std::exception&) {
        return std::nullopt;
    }
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
    const auto dich = duongDanUtf8(tenTep);
    return dich && nenTang::ghiTepBenVung(*dich, vietVanDaLuu(van));
}

bool VanCo::taiVan(const std::string& tenTep) {
    VanDaLuu van;
    {
        // Binary, so that Windows neither folds CR LF nor stops at a Ctrl-Z;
        // the reader accepts either line end itself.
        const auto nguon = duongDanUtf8(tenTep);
        if (!nguon) return false;
        std::ifstream vao(*nguon, std::ios::binary);
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
