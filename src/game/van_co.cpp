#include "van_co.h"

#include "fen.h"
#include "mo_ta_nuoc.h"

VanCo::VanCo() { vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0); }

void VanCo::vanMoi(CheDo cheDoMoi, DoKho doKhoMoi, Phe pheNguoiMoi, int giayMoiBenMoi) {
    cheDo = cheDoMoi;
    doKho = doKhoMoi;
    pheNguoi = pheNguoiMoi;
    datDoKhoMay(DO, doKhoMoi);
    datDoKhoMay(DEN, doKhoMoi);
    chap.clear();
    fenDau.clear();
    theNhap.clear();
    nhapChuaDung = false;
    banCo.khoiTaoMacDinh();
    banCo.quanChon = nullptr;
    ketQua = DANG_CHOI;
    lyDo.clear();
    tamDung = false;
    daXinThua = xinThuaKhiTamDung = false;
    luat = BA_LAN;
    boQuaPhanQuyet = false;
    datLaiLichSu(DO);
    giayMoiBen = giayMoiBenMoi > 0 ? giayMoiBenMoi : 0;
    giayTang = 0;
    dongHo.caiDat(giayMoiBenMoi, 0.0);
    dongHo.batDauLuot(DO);
    ++soLanDoi;
}

// Empties the history and counts the position now on the board, luotDau to
// move, as reached once.
void VanCo::datLaiLichSu(Phe luotDau) {
    luot = luotDau;
    nuocThu = 0;
    nuocDaDi.clear();
    lichSu.clear();
    demViTri.clear();
    demViTri[khoaTheCo()] = 1;
    khoaTheoNuoc_.assign(1, khoaTheCo());
    soNuaNuocKhongAn = 0;
    chuKyTu = chuKyDen = -1;
    phanQuyetBoQua = {};
    batDauLaiKhoaCoTheLap();
}

void VanCo::batDauLaiKhoaCoTheLap() {
    khoaCoTheLap.assign(1, TimKiem::khoaViTri(banCo, luot));
    nuocCoTheLap_.clear();
}

void VanCo::datTang(int giay) {
    giayTang = dongHo.bat && giay > 0 ? giay : 0;
    dongHo.congThem = giayTang;
    ++soLanDoi;
}

void VanCo::datLuat(LuatChoi luatMoi) {
    luat = luatMoi;
    ++soLanDoi;
}

bool VanCo::datChap(Phe phe, const std::string& tenQuan) {
    const QuanCo* quan = banCo.timQuanTheoTen(phe, tenQuan);
    if (!quan) return false;
    banCo.boQuan(quan->hang, quan->cot);
    chap.emplace_back(phe, tenQuan);
    batDauLaiKhoaCoTheLap();
    ++soLanDoi;
    return true;
}

bool VanCo::datTheCoDau(const std::string& fen, std::string& lyDoSai) {
    BanCo ban;
    Phe luotDau = DO;
    if (!docTheCo(fen, ban, luotDau, lyDoSai)) return false;
    fenDau = vietFEN(ban, luotDau);
    chap.clear();
    khoiTaoLaiBanCo();
    datLaiLichSu(luotDau);
    ketQua = DANG_CHOI;
    lyDo.clear();
    daXinThua = xinThuaKhiTamDung = false;
    dongHo.caiDat(giayMoiBen, giayTang);
    // A position set up already lost (mate, or no move) is judged now, so
    // that nobody, the computer included, is asked for a move it lacks.
    kiemTraKetThuc();
    chayDongHo();
    ++soLanDoi;
    return true;
}

Phe VanCo::dungTheCoDau(BanCo& ban) const {
    if (!fenDau.empty()) {
        // Checked when it was set; read again the same way each time, so the
        // pieces keep one storage order through every replay.
        Phe luotDau = DO;
        std::string loi;
        if (docFEN(fenDau, ban, luotDau, loi)) return luotDau;
    }
    ban.khoiTaoMacDinh();
    for (const auto& [phe, ten] : chap) {
        const QuanCo* quan = ban.timQuanTheoTen(phe, ten);
        if (quan) ban.boQuan(quan->hang, quan->cot);
    }
    return DO;
}

std::string VanCo::fenBatDau() const {
    if (!fenDau.empty()) return fenDau;
    BanCo ban;
    const Phe luotDau = dungTheCoDau(ban);
    return vietFEN(ban, luotDau);
}

void VanCo::datDoKhoMay(Phe phe, DoKho muc) {
    NguoiChoiMay& may = phe == DO ? mayDo : mayDen;
    may.doKho = muc;
    may.timKiem.caiDatDoKho(muc);
    ++soLanDoi;
}

void VanCo::chayDongHo() {
    if (ketQua == DANG_CHOI && !tamDung) dongHo.batDauLuot(luot);
}

void VanCo::apDungNuoc(const NuocDi& nuoc) {
    std::string moTa = moTaNuoc(banCo, nuoc);
    const QuanCo* quanDi = banCo.timQuan(nuoc.hangDi, nuoc.cotDi);
    // Soldiers never step back, and captured pieces never return.
    const bool an = banCo.coQuanTai(nuoc.hangDen, nuoc.cotDen);
    const bool khongLuiDuoc = an ||
                              (quanDi != nullptr && quanDi->loai() == LOAI_TOT && nuoc.hangDen != nuoc.hangDi);
    // The board refuses a move from an empty square; the game still records
    // it, as it trusts its caller.
    banCo.thuNuocDi(nuoc);
    banCo.quanChon = nullptr;
    nuocDaDi.push_back(nuoc);
    lichSu.push_back(std::move(moTa));
    ++nuocThu;
    luot = pheDoiPhuong(luot);
    khoaTheoNuoc_.push_back(khoaTheCo());
    ++demViTri[khoaTheoNuoc_.back()];
    soNuaNuocKhongAn = an ? 0 : soNuaNuocKhongAn + 1;
    if (khongLuiDuoc) {
        khoaCoTheLap.clear();
        nuocCoTheLap_.clear();
    } else {
        nuocCoTheLap_.push_back(nuoc);
    }
    khoaCoTheLap.push_back(TimKiem::khoaViTri(banCo, luot));
}

bool VanCo::thuDoNuoc(const NuocDi& nuoc) {
    if (ketQua != DANG_CHOI) return false;
    // The flag is looked at before the move: a move that arrives after the
    // mover's time ran out is refused, however good it is.
    capNhatDongHo();
    if (ketQua != DANG_CHOI) return false;
    if (!laNuocHopLe(nuoc)) return false;
    dongHo.ketThucLuot(luot);
    apDungNuoc(nuoc);
    kiemTraKetThuc();
    // When the move ended the game the clock stands.
    chayDongHo();
    ++soLanDoi;
    return true;
}

bool VanCo::huyNuocDi() {
    if (daXinThua) {
        // Taking back a resignation: the same position, played on.
        daXinThua = false;
        ketQua = DANG_CHOI;
        lyDo.clear();
        tamDung = xinThuaKhiTamDung;
        chayDongHo();
        ++soLanDoi;
        return true;
    }
    if (nuocDaDi.empty()) return false;
    std::vector<NuocDi> giuLai = nuocDaDi;
    giuLai.pop_back();
    Phe luotSau = pheDoiPhuong(luot);
    // Against the computer an undo goes back to the human's own turn, so a
    // computer reply is taken back together with the move it answered.
    if (cheDo == NGUOI_MAY) {
        while (!giuLai.empty() && luotSau != pheNguoi) {
            giuLai.pop_back();
            luotSau = pheDoiPhuong(luotSau);
        }
    }
    // Each move taken back gives back the increment it earned; the time
    // spent on it stays spent.
    Phe nguoiDi = pheDoiPhuong(luot);
    for (size_t i = giuLai.size(); i < nuocDaDi.size(); ++i) {
        dongHo.traLaiCongThem(nguoiDi);
        nguoiDi = pheDoiPhuong(nguoiDi);
    }
    datLaiLichSu(khoiTaoLaiBanCo());
    for (const NuocDi& nuoc : giuLai) apDungNuoc(nuoc);
    ketQua = DANG_CHOI;
    lyDo.clear();
    chayDongHo();
    ++soLanDoi;
    return true;
}

bool VanCo::tamDungVan() {
    // A side whose time ran out before the pause has lost.
    capNhatDongHo();
    if (ketQua != DANG_CHOI) return false;
    if (tamDung) return true;
    dongHo.dungLuot(luot);
    tamDung = true;
    ++soLanDoi;
    return true;
}

void VanCo::tiepTucVan() {
    if (!tamDung) return;
    tamDung = false;
    chayDongHo();
    ++soLanDoi;
}

bool VanCo::xinThua(Phe phe) {
    capNhatDongHo();
    if (ketQua != DANG_CHOI) return false;
    // The clock stands as after a move that ends the game, but a
    // resignation is no move: it earns no increment.
    dongHo.dungLuot(luot);
    ketQua = phe == DO ? DEN_THANG : DO_THANG;
    lyDo = lyDoXinThua(phe);
    daXinThua = true;
    xinThuaKhiTamDung = tamDung;
    tamDung = false;
    ++soLanDoi;
    return true;
}

bool VanCo::denLuotMay() const {
    switch (cheDo) {
    case MAY_MAY: return true;
    case NGUOI_MAY: return luot != pheNguoi;
    default: return false;
    }
}

std::string VanCo::getMoTaCuoi() const { return lichSu.empty() ? std::string() : lichSu.back(); }

std::string VanCo::khoaTheCo() const { return khoaTheCo(banCo, luot); }

std::string VanCo::khoaTheCo(const BanCo& ban, Phe luotDi) { return ban.khoaViTri() + (luotDi == DO ? "|d" : "|n"); }

std::span<const uint64_t> VanCo::viTriTruoc() const {
    return std::span<const uint64_t>(khoaCoTheLap).first(khoaCoTheLap.size() - 1);
}

std::span<const NuocDi> VanCo::nuocTruoc() const { return nuocCoTheLap_; }

bool VanCo::laNuocHopLe(const NuocDi& nuoc) { return banCo.laNuocHopLe(luot, nuoc); }

NuocDi VanCo::mayChonNuoc(TimKiem::ThongKe& thongKe) {
    NguoiChoiMay& may = luot == DO ? mayDo : mayDen;
    // The engine searches the board it is given in place; a copy keeps the
    // game's own storage order untouched.
    auto banSao = banCo.saoChepTheCo();
    datLuatChoMay(may.timKiem);
    return may.chonNuocDi(*banSao, luot, thongKe, viTriTruoc());
}

Phe VanCo::khoiTaoLaiBanCo() {
    banCo.quanChon = nullptr;
    return dungTheCoDau(banCo);
}

bool VanCo::xuLyEnter() {
    if (ketQua != DANG_CHOI) return false;
    const int hang = banCo.hangConTro;
    const int cot = banCo.cotConTro;
    QuanCo* oDich = banCo.timQuan(hang, cot);
    const QuanCo* chon = banCo.quanChon;
    if (chon && (!oDich || oDich->phe != chon->phe))
        return thuDoNuoc(NuocDi{chon->hang, chon->cot, hang, cot});
    if (oDich && oDich->phe == luot) {
        banCo.quanChon = oDich;
        return true;
    }
    return false;
}
