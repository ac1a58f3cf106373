#include <cmath>
#include <filesystem>
#include <optional>
#include <sstream>

#include "fen.h"
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

// Remaining time as the file's whole seconds: cut toward zero.
int giayNguyen(double giay) { return static_cast<int>(giay); }

int64_t miliGiay(double giay) { return static_cast<int64_t>(std::llround(giay * 1000.0)); }

}  // namespace

VanDaLuu VanCo::banLuu(bool chinhXac) const {
    VanDaLuu van;
    van.cheDo = cheDo;
    van.doKho = doKho;
    van.pheNguoi = pheNguoi;
    // Each side's time as it stands now, running turn included.
    van.giayMoi = giayNguyen(dongHo.giayConLai(DO));
    van.giayDen = giayNguyen(dongHo.giayConLai(DEN));
    van.giayMoiBen = giayMoiBen;
    if (giayTang > 0) van.tang = giayTang;
    van.doKhoDen = mayDen.doKho;
    van.ketQua = ketQua;
    van.chap = chap;
    van.fen = fenDau;
    van.luat = luat;
    van.nuoc = nuocDaDi;
    van.lyDo = lyDo;
    van.xinThua = daXinThua;
    van.the = theNhap;
    van.nhapChuaDung = nhapChuaDung;
    if (chinhXac) {
        van.miliGiayDo = miliGiay(dongHo.giayConLai(DO));
        van.miliGiayDen = miliGiay(dongHo.giayConLai(DEN));
        van.tamDung = tamDung;
    }
    return van;
}

bool VanCo::luuVan(const std::string& tenTep) const {
    // Written beside the old file under a fresh name, flushed to the device
    // and renamed into place: a failed save or a power cut leaves the
    // previous game whole.
    const auto dich = duongDanUtf8(tenTep);
    return dich && nenTang::ghiTepBenVung(*dich, vietVanDaLuu(banLuu(false)));
}

std::string VanCo::lyDoTheCoDauSai(const VanDaLuu& van) {
    if (van.fen.empty()) return {};
    BanCo ban;
    Phe luotDau = DO;
    std::string lyDo;
    return docTheCo(van.fen, ban, luotDau, lyDo) ? std::string() : lyDo;
}

int32_t VanCo::nuocSaiDauTien(const VanDaLuu& van) {
    BanCo ban;
    Phe luotDi = DO;
    if (!van.fen.empty()) {
        std::string lyDo;
        if (!docTheCo(van.fen, ban, luotDi, lyDo)) return 0;
    } else {
        ban.khoiTaoMacDinh();
        for (const auto& [phe, ten] : van.chap) {
            const QuanCo* quan = ban.timQuanTheoTen(phe, ten);
            if (quan) ban.boQuan(quan->hang, quan->cot);
        }
    }
    for (size_t i = 0; i < van.nuoc.size(); ++i) {
        const NuocDi& nuoc = van.nuoc[i];
        const bool hopLe = BanCo::trongBanCo(nuoc.hangDi, nuoc.cotDi) &&
                           BanCo::trongBanCo(nuoc.hangDen, nuoc.cotDen) && ban.laNuocHopLe(luotDi, nuoc);
        if (!hopLe) return static_cast<int32_t>(i);
        ban.thuNuocDi(nuoc);
        luotDi = pheDoiPhuong(luotDi);
    }
    return -1;
}

KetQuaTai VanCo::napVan(const VanDaLuu& van) {
    if (std::string lyDoSai = lyDoTheCoDauSai(van); !lyDoSai.empty()) {
        KetQuaTai kq{KetQuaTai::THE_CO_SAI};
        kq.lyDo = std::move(lyDoSai);
        return kq;
    }
    if (const int32_t sai = nuocSaiDauTien(van); sai >= 0) return KetQuaTai{KetQuaTai::NUOC_SAI, sai};
    vanMoi(static_cast<CheDo>(van.cheDo), static_cast<DoKho>(van.doKho), static_cast<Phe>(van.pheNguoi),
           van.giayCaiDat());
    if (van.doKhoDen >= 0) datDoKhoMay(DEN, static_cast<DoKho>(van.doKhoDen));
    datTang(van.tang);
    datLuat(static_cast<LuatChoi>(van.luat));
    std::string khongDung;
    // A set-up position holds the whole board: a handicap has no place there.
    if (!van.fen.empty()) datTheCoDau(van.fen, khongDung);
    else
        for (const auto& [phe, ten] : van.chap) datChap(phe, ten);
    for (const NuocDi& nuoc : van.nuoc) apDungNuoc(nuoc);
    theNhap = van.the;
    nhapChuaDung = van.nhapChuaDung;
    // A file that knows the time control knows each side's clock; an older
    // one gives both red's.
    if (dongHo.bat && van.giayMoiBen >= 0) {
        dongHo.conLai[0] = van.miliGiayDo >= 0 ? static_cast<double>(van.miliGiayDo) / 1000.0 : van.giayMoi;
        dongHo.conLai[1] = van.miliGiayDen >= 0   ? static_cast<double>(van.miliGiayDen) / 1000.0
                           : van.giayDen >= 0 ? van.giayDen
                                              : van.giayMoi;
    }
    ketQua = static_cast<KetQua>(van.ketQua);
    lyDo = van.lyDo;
    timLaiChuKy();
    daXinThua = van.xinThua && ketQua != DANG_CHOI;
    xinThuaKhiTamDung = false;
    tamDung = van.tamDung && ketQua == DANG_CHOI;
    // A finished or paused game's clock stands, as it does after the move
    // that ended it; no time is charged.
    dongHo.dangDemGio = false;
    chayDongHo();
    ++soLanDoi;
    return {};
}

KetQuaTai VanCo::taiVan(const std::string& tenTep) {
    const auto nguon = duongDanUtf8(tenTep);
    if (!nguon) return KetQuaTai{KetQuaTai::KHONG_CO};
    // Read whole and bounded by the platform, which refuses a FIFO, a device
    // or anything too large before it could hang or flood us; the reader
    // accepts either line end itself, and a Ctrl-Z is an ordinary byte.
    std::string noiDung;
    switch (nenTang::docTepThuong(*nguon, TOI_DA_BYTE_TEP, noiDung)) {
    case nenTang::DocTep::KHONG_CO: return KetQuaTai{KetQuaTai::KHONG_CO};
    case nenTang::DocTep::KHONG_HOP_LE: return KetQuaTai{KetQuaTai::KHONG_HOP_LE};
    case nenTang::DocTep::DUOC: break;
    }
    std::istringstream vao(std::move(noiDung));
    VanDaLuu van;
    if (!docVanDaLuu(vao, van)) return KetQuaTai{KetQuaTai::KHONG_CO};
    return napVan(van);
}
