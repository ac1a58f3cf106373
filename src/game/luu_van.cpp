#include <filesystem>
#include <fstream>
#include <system_error>

#include "tep_van_luu.h"
#include "van_co.h"

namespace {

std::filesystem::path duongDanUtf8(const std::string& ten) {
    return std::filesystem::path(std::u8string(ten.begin(), ten.end()));
}

// Replaces the file only once the new text is completely on disk: it is
// written to a file beside the target and renamed over it, so a failed save
// leaves the previous one exactly as it was.
bool ghiThayThe(const std::filesystem::path& dich, const std::string& noiDung) {
    std::filesystem::path tam = dich;
    tam += ".tmp";
    std::error_code loi;
    {
        std::ofstream ra(tam, std::ios::out | std::ios::trunc);
        if (!ra) return false;
        ra.write(noiDung.data(), static_cast<std::streamsize>(noiDung.size()));
        ra.flush();
        ra.close();
        if (ra.fail()) {
            std::filesystem::remove(tam, loi);
            return false;
        }
    }
    std::filesystem::rename(tam, dich, loi);
    if (loi) {
        std::filesystem::remove(tam, loi);
        return false;
    }
    return true;
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
    return ghiThayThe(duongDanUtf8(tenTep), vietVanDaLuu(van));
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
