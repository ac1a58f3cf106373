#include "nuoc_uci.h"

#include "fen.h"
#include "tim_kiem.h"

namespace uci {

std::string vietNuoc(const NuocDi& n) {
    return {char('a' + n.cotDi), char('0' + 9 - n.hangDi), char('a' + n.cotDen), char('0' + 9 - n.hangDen)};
}

bool docNuoc(const std::string& s, NuocDi& n) {
    if (s.size() != 4) return false;
    auto o = [&](int i, int32_t& hang, int32_t& cot) {
        if (s[i] < 'a' || s[i] > 'i' || s[i + 1] < '0' || s[i + 1] > '9') return false;
        cot = s[i] - 'a';
        hang = 9 - (s[i + 1] - '0');
        return true;
    };
    NuocDi m;
    if (!o(0, m.hangDi, m.cotDi) || !o(2, m.hangDen, m.cotDen)) return false;
    n = m;
    return true;
}

void TheCo::batDau() {
    std::string loi;
    datFEN(FEN_BAT_DAU, loi);
}

bool TheCo::datFEN(const std::string& fen, std::string& loi) {
    auto moi = std::make_unique<BanCo>();
    Phe luotMoi = DO;
    if (!docTheCo(fen, *moi, luotMoi, loi)) return false;
    ban = std::move(moi);
    luot = luotMoi;
    khoaCoTheLap.assign(1, TimKiem::khoaViTri(*ban, luot));
    nuocKhongAn = 0;
    return true;
}

bool TheCo::di(const NuocDi& n) {
    bool hopLe = false;
    for (const NuocDi& m : ban->nuocDiHopLe(luot)) hopLe = hopLe || m == n;
    if (!hopLe) return false;
    const bool an = ban->coQuanTai(n.hangDen, n.cotDen);
    const QuanCo* q = ban->timQuan(n.hangDi, n.cotDi);
    // Soldiers never step back, and captured pieces never return.
    const bool khongLuiDuoc = an || (q->loai() == LOAI_TOT && n.hangDen != n.hangDi);
    ban->thuNuocDi(n);
    // The board's undo log is of no use here; a long game would only grow it.
    ban->nhatKy.clear();
    luot = pheDoiPhuong(luot);
    nuocKhongAn = an ? 0 : nuocKhongAn + 1;
    if (khongLuiDuoc) khoaCoTheLap.clear();
    khoaCoTheLap.push_back(TimKiem::khoaViTri(*ban, luot));
    return true;
}

}  // namespace uci
