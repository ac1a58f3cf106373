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

namespace {

// Whether a piece of that kind and side may stand on (hang, cot) at all.
// Seen from red: rows counted from red's back rank.
bool dungDuoc(int loai, Phe phe, int hang, int cot) {
    const int r = phe == DO ? 9 - hang : hang;  // 0 on the own back rank
    const bool trongCung = r <= 2 && cot >= 3 && cot <= 5;
    switch (loai) {
        case LOAI_TUONG: return trongCung;
        case LOAI_SI: return trongCung && (r == 1) == (cot == 4);
        case LOAI_VOI: return (r == 0 || r == 4) ? cot % 4 == 2 : r == 2 && cot % 4 == 0;
        case LOAI_TOT: return r >= 5 || (r >= 3 && cot % 2 == 0);
        default: return true;
    }
}

}  // namespace

void TheCo::batDau() {
    std::string loi;
    datFEN(FEN_BAT_DAU, loi);
}

bool TheCo::datFEN(const std::string& fen, std::string& loi) {
    auto moi = std::make_unique<BanCo>();
    Phe luotMoi = DO;
    if (!docFEN(fen, *moi, luotMoi, loi)) return false;
    static const int TOI_DA[7] = {2, 2, 2, 2, 2, 1, 5};
    static const char* const TEN[7] = {"xe", "phao", "ma", "tuong (voi)", "si", "tuong", "tot"};
    int dem[2][7] = {};
    for (const auto& q : moi->dsQuan) {
        const int k = q->loai();
        if (++dem[q->phe][k] > TOI_DA[k]) {
            loi = std::string("qua nhieu quan ") + TEN[k];
            return false;
        }
        if (!dungDuoc(k, q->phe, q->hang, q->cot)) {
            loi = std::string("quan ") + TEN[k] + " khong the dung o " + vietNuoc({q->hang, q->cot, 0, 0}).substr(0, 2);
            return false;
        }
    }
    if (dem[DO][LOAI_TUONG] != 1 || dem[DEN][LOAI_TUONG] != 1) {
        loi = "moi ben can dung mot tuong";
        return false;
    }
    if (moi->biChieu(pheDoiPhuong(luotMoi))) {
        loi = "ben khong di dang bi chieu";
        return false;
    }
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
