#include "luat_lap.h"

#include <array>
#include <memory>

namespace {

// What a piece counts for when the rules weigh a capture: the chariot above
// the horse and the cannon (equal to each other), above the advisor, the
// elephant and a soldier across the river.
int hangQuan(int loai) {
    if (loai == LOAI_XE) return 3;
    if (loai == LOAI_PHAO || loai == LOAI_MA) return 2;
    return 1;
}

bool laTotChuaQuaSong(const QuanCo& q) {
    const auto* tot = dynamic_cast<const Tot*>(&q);
    return tot != nullptr && !tot->quaSong();
}

// Whether `ben` may make the capture n on `ban` without leaving its general
// attacked. The board is the same afterwards.
bool anHopLe(BanCo& ban, Phe ben, const NuocDi& n) {
    if (!ban.thuNuocDi(n)) return false;
    const bool hopLe = !ban.biChieu(ben);
    ban.luiNuocDi();
    return hopLe;
}

// Whether `ben` can legally take whatever stands on (hang, cot).
bool coTheAnTai(BanCo& ban, Phe ben, int hang, int cot) {
    DanhSachNuoc an;
    ban.sinhNuocAn(ben, an);
    for (const NuocDi& n : an)
        if (n.hangDen == hang && n.cotDen == cot && anHopLe(ban, ben, n)) return true;
    return false;
}

// After `ben` takes with n: can the other side take the taker back?
bool duocBaoVe(BanCo& ban, Phe ben, const NuocDi& n) {
    if (!ban.thuNuocDi(n)) return false;
    const bool co = coTheAnTai(ban, pheDoiPhuong(ben), n.hangDen, n.cotDen);
    ban.luiNuocDi();
    return co;
}

const char* tenBen(Phe p) { return p == DO ? "Đỏ" : "Đen"; }

// What one side's moves of the cycle add up to.
struct CacNuocMotBen {
    bool coNuoc = false;
    bool deuChieu = true;       // every move gave check
    bool deuChieuHoacDuoi = true;  // every move that did not check chased
    int soNuocDuoi = 0;
    // Pieces (by their number at the cycle's start) chased by every chasing move.
    uint64_t chungThap = ~uint64_t{0}, chungCao = ~uint64_t{0};

    bool chieuDai() const { return coNuoc && deuChieu; }
    bool duoiDai() const { return deuChieuHoacDuoi && soNuocDuoi > 0 && (chungThap | chungCao) != 0; }
};

}  // namespace

const char* tenLuat(LuatChoi luat) { return luat == CHAU_A ? "CHAU_A" : "BA_LAN"; }

bool luatTuTen(const std::string& ten, LuatChoi& luat) {
    if (ten == "CHAU_A") luat = CHAU_A;
    else if (ten == "BA_LAN") luat = BA_LAN;
    else return false;
    return true;
}

std::string PhanQuyetLap::lyDo() const {
    if (viPham == ViPham::CHIEU_DAI) return std::string(tenBen(benPham)) + " chiếu dai, xử thua";
    if (viPham == ViPham::DUOI_DAI) return std::string(tenBen(benPham)) + " đuổi dai, xử thua";
    return LY_DO_LAP_LAI;
}

TapO quanCoTheBiDuoi(BanCo& ban, Phe ben) {
    TapO ra;
    DanhSachNuoc an;
    ban.sinhNuocAn(ben, an);
    for (const NuocDi& n : an) {
        const QuanCo* ke = ban.timQuan(n.hangDi, n.cotDi);
        const QuanCo* muc = ban.timQuan(n.hangDen, n.cotDen);
        if (ke == nullptr || muc == nullptr) continue;
        // The general and the soldiers may threaten as they like.
        if (ke->loai() == LOAI_TUONG || ke->loai() == LOAI_TOT) continue;
        // A threat on the general is a check, judged as such.
        if (muc->loai() == LOAI_TUONG || laTotChuaQuaSong(*muc)) continue;
        // A pinned taker threatens nothing.
        if (!anHopLe(ban, ben, n)) continue;
        const int hangKe = hangQuan(ke->loai()), hangMuc = hangQuan(muc->loai());
        const bool xeTruocMaPhao =
            muc->loai() == LOAI_XE && (ke->loai() == LOAI_MA || ke->loai() == LOAI_PHAO);
        const bool loi = xeTruocMaPhao || hangMuc > hangKe || !duocBaoVe(ban, ben, n);
        if (!loi) continue;
        // Equal pieces facing each other: an offer to exchange, not a chase.
        if (hangMuc == hangKe && !xeTruocMaPhao) {
            const NuocDi nguoc{n.hangDen, n.cotDen, n.hangDi, n.cotDi};
            if (muc->kiemTraNuocDi(ban, n.hangDi, n.cotDi) && anHopLe(ban, pheDoiPhuong(ben), nguoc)) continue;
        }
        ra.them(n.hangDen * BanCo::SO_COT + n.cotDen);
    }
    return ra;
}

PhanQuyetLap phanXuChuKy(const BanCo& banDau, Phe luotDau, std::span<const NuocDi> chuKy) {
    const std::unique_ptr<BanCo> ban = banDau.saoChepTheCo();
    // Each piece keeps the number of the square it started the cycle on, so
    // that a chased piece is known again wherever it has fled to.
    std::array<int, BanCo::SO_O> soHieu{};
    for (int o = 0; o < BanCo::SO_O; ++o) soHieu[o] = o;
    std::array<CacNuocMotBen, 2> ben{};
    Phe luot = luotDau;
    for (const NuocDi& n : chuKy) {
        const TapO truoc = quanCoTheBiDuoi(*ban, luot);
        if (!ban->thuNuocDi(n)) break;
        const int di = n.hangDi * BanCo::SO_COT + n.cotDi, den = n.hangDen * BanCo::SO_COT + n.cotDen;
        soHieu[den] = soHieu[di];
        CacNuocMotBen& b = ben[luot];
        b.coNuoc = true;
        const bool chieu = ban->biChieu(pheDoiPhuong(luot));
        // As if the opponent passed: what the mover threatens now that it
        // could not before. Pieces of the opponent did not move meanwhile.
        const TapO sau = quanCoTheBiDuoi(*ban, luot);
        uint64_t moiThap = 0, moiCao = 0;
        for (int o = 0; o < BanCo::SO_O; ++o) {
            if (!sau.co(o) || truoc.co(o)) continue;
            const int so = soHieu[o];
            (so < 64 ? moiThap : moiCao) |= uint64_t{1} << (so & 63);
        }
        if (!chieu) {
            b.deuChieu = false;
            if ((moiThap | moiCao) == 0) {
                b.deuChieuHoacDuoi = false;
            } else {
                ++b.soNuocDuoi;
                b.chungThap &= moiThap;
                b.chungCao &= moiCao;
            }
        }
        luot = pheDoiPhuong(luot);
    }

    PhanQuyetLap kq;
    const bool chieuDo = ben[DO].chieuDai(), chieuDen = ben[DEN].chieuDai();
    if (chieuDo != chieuDen) {
        kq.viPham = ViPham::CHIEU_DAI;
        kq.benPham = chieuDo ? DO : DEN;
        return kq;
    }
    if (chieuDo) return kq;  // both checked on every move
    const bool duoiDo = ben[DO].duoiDai(), duoiDen = ben[DEN].duoiDai();
    if (duoiDo != duoiDen) {
        kq.viPham = ViPham::DUOI_DAI;
        kq.benPham = duoiDo ? DO : DEN;
    }
    return kq;
}
