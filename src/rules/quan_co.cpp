#include "quan_co.h"

#include <cstdlib>

#include "ban_co.h"

namespace {

// Destination rule shared by every kind: the target is empty or holds an enemy.
bool dichHopLe(const BanCo& ban, int hang, int cot, Phe phe) {
    const QuanCo* q = ban.timQuan(hang, cot);
    return q == nullptr || q->phe != phe;
}

bool motToaDoDoi(int dh, int dc) { return (dh == 0) != (dc == 0); }

void themNeuHopLe(const QuanCo& quan, const BanCo& ban, int dh, int dc, DanhSachNuoc& ds) {
    const int h = quan.hang + dh;
    const int c = quan.cot + dc;
    if (quan.kiemTraNuocDi(ban, h, c)) ds.push_back({quan.hang, quan.cot, h, c});
}

constexpr int HUONG[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

}  // namespace

std::unique_ptr<QuanCo> taoQuan(int loai, int32_t hang, int32_t cot, Phe phe) {
    switch (loai) {
        case LOAI_XE: return std::make_unique<Xe>(hang, cot, phe);
        case LOAI_PHAO: return std::make_unique<Phao>(hang, cot, phe);
        case LOAI_MA: return std::make_unique<Ma>(hang, cot, phe);
        case LOAI_VOI: return std::make_unique<Voi>(hang, cot, phe);
        case LOAI_SI: return std::make_unique<Si>(hang, cot, phe);
        case LOAI_TUONG: return std::make_unique<Tuong>(hang, cot, phe);
        case LOAI_TOT: return std::make_unique<Tot>(hang, cot, phe);
        default: return nullptr;
    }
}

// ---- Xe (chariot) -------------------------------------------------------

bool Xe::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    if (!motToaDoDoi(h - hang, c - cot)) return false;
    return dichHopLe(ban, h, c, phe) && ban.duongThangTrong(hang, cot, h, c);
}

void Xe::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    for (const auto& huong : HUONG) {
        for (int k = 1;; ++k) {
            const int h = hang + huong[0] * k;
            const int c = cot + huong[1] * k;
            if (!BanCo::trongBanCo(h, c)) break;
            const QuanCo* q = ban.timQuan(h, c);
            if (q == nullptr) {
                ds.push_back({hang, cot, h, c});
                continue;
            }
            if (q->phe != phe) ds.push_back({hang, cot, h, c});
            break;
        }
    }
}

std::string Xe::ve() const { return "X"; }
std::string Xe::ten() const { return "Xe"; }
int Xe::giaTri() const { return GIA_TRI_QUAN[LOAI_XE]; }
int Xe::loai() const { return LOAI_XE; }
std::unique_ptr<QuanCo> Xe::saoChep() const { return std::make_unique<Xe>(*this); }

// ---- Phao (cannon) ------------------------------------------------------

bool Phao::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    if (!motToaDoDoi(h - hang, c - cot)) return false;
    const int giua = ban.demQuanGiua(hang, cot, h, c);
    const QuanCo* dich = ban.timQuan(h, c);
    if (dich != nullptr) return giua == 1 && dich->phe != phe;
    return giua == 0;
}

void Phao::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    for (const auto& huong : HUONG) {
        bool quaManChan = false;
        for (int k = 1;; ++k) {
            const int h = hang + huong[0] * k;
            const int c = cot + huong[1] * k;
            if (!BanCo::trongBanCo(h, c)) break;
            const QuanCo* q = ban.timQuan(h, c);
            if (!quaManChan) {
                if (q == nullptr) ds.push_back({hang, cot, h, c});
                else quaManChan = true;
                continue;
            }
            if (q == nullptr) continue;
            if (q->phe != phe) ds.push_back({hang, cot, h, c});
            break;
        }
    }
}

std::string Phao::ve() const { return "P"; }
std::string Phao::ten() const { return "Phao"; }
int Phao::giaTri() const { return GIA_TRI_QUAN[LOAI_PHAO]; }
int Phao::loai() const { return LOAI_PHAO; }
std::unique_ptr<QuanCo> Phao::saoChep() const { return std::make_unique<Phao>(*this); }

// ---- Ma (horse) ---------------------------------------------------------

bool Ma::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    const int dh = h - hang;
    const int dc = c - cot;
    bool chanTrong;
    if (std::abs(dh) == 2 && std::abs(dc) == 1) chanTrong = !ban.coQuanTai(hang + dh / 2, cot);
    else if (std::abs(dh) == 1 && std::abs(dc) == 2) chanTrong = !ban.coQuanTai(hang, cot + dc / 2);
    else return false;
    return chanTrong && dichHopLe(ban, h, c, phe);
}

void Ma::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    static constexpr int BUOC[8][2] = {{-2, -1}, {-2, 1}, {-1, -2}, {-1, 2},
                                       {1, -2},  {1, 2},  {2, -1},  {2, 1}};
    for (const auto& b : BUOC) themNeuHopLe(*this, ban, b[0], b[1], ds);
}

std::string Ma::ve() const { return "M"; }
std::string Ma::ten() const { return "Ma"; }
int Ma::giaTri() const { return GIA_TRI_QUAN[LOAI_MA]; }
int Ma::loai() const { return LOAI_MA; }
std::unique_ptr<QuanCo> Ma::saoChep() const { return std::make_unique<Ma>(*this); }

// ---- Voi (elephant) -----------------------------------------------------

bool Voi::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    if (std::abs(h - hang) != 2 || std::abs(c - cot) != 2) return false;
    const bool bienNha = phe == DO ? h >= 5 : h <= 4;
    if (!bienNha) return false;
    if (!dichHopLe(ban, h, c, phe)) return false;
    return !ban.coQuanTai((hang + h) / 2, (cot + c) / 2);
}

void Voi::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    static constexpr int BUOC[4][2] = {{-2, -2}, {-2, 2}, {2, -2}, {2, 2}};
    for (const auto& b : BUOC) themNeuHopLe(*this, ban, b[0], b[1], ds);
}

std::string Voi::ve() const { return "V"; }
std::string Voi::ten() const { return "Voi"; }
int Voi::giaTri() const { return GIA_TRI_QUAN[LOAI_VOI]; }
int Voi::loai() const { return LOAI_VOI; }
std::unique_ptr<QuanCo> Voi::saoChep() const { return std::make_unique<Voi>(*this); }

// ---- Si (advisor) -------------------------------------------------------

bool Si::trongCung(int hang, int cot, Phe phe) {
    if (cot < 3 || cot > 5) return false;
    return phe == DO ? hang >= 7 && hang <= 9 : hang >= 0 && hang <= 2;
}

bool Si::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    if (!trongCung(h, c, phe)) return false;
    if (std::abs(h - hang) != 1 || std::abs(c - cot) != 1) return false;
    return dichHopLe(ban, h, c, phe);
}

void Si::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    static constexpr int BUOC[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (const auto& b : BUOC) themNeuHopLe(*this, ban, b[0], b[1], ds);
}

std::string Si::ve() const { return "S"; }
std::string Si::ten() const { return "Si"; }
int Si::giaTri() const { return GIA_TRI_QUAN[LOAI_SI]; }
int Si::loai() const { return LOAI_SI; }
std::unique_ptr<QuanCo> Si::saoChep() const { return std::make_unique<Si>(*this); }

// ---- Tuong (general) ----------------------------------------------------

bool Tuong::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    const QuanCo* dich = ban.timQuan(h, c);
    // The flying capture: two generals on an open column see each other.
    if (c == cot && h != hang && dich != nullptr && dich->laTuong() && dich->phe != phe &&
        ban.duongThangTrong(hang, cot, h, c)) {
        return true;
    }
    if (h == hang && c == cot) return false;
    if (!Si::trongCung(h, c, phe)) return false;
    if (std::abs(h - hang) + std::abs(c - cot) != 1) return false;
    return dich == nullptr || dich->phe != phe;
}

void Tuong::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    for (const auto& huong : HUONG) themNeuHopLe(*this, ban, huong[0], huong[1], ds);
    for (int buoc : {-1, 1}) {
        for (int h = hang + buoc; h >= 0 && h < BanCo::SO_HANG; h += buoc) {
            const QuanCo* q = ban.timQuan(h, cot);
            if (q == nullptr) continue;
            if (q->laTuong() && q->phe != phe) ds.push_back({hang, cot, h, cot});
            break;
        }
    }
}

std::string Tuong::ve() const { return "T"; }
std::string Tuong::ten() const { return "Tuong"; }
int Tuong::giaTri() const { return GIA_TRI_QUAN[LOAI_TUONG]; }
int Tuong::loai() const { return LOAI_TUONG; }
std::unique_ptr<QuanCo> Tuong::saoChep() const { return std::make_unique<Tuong>(*this); }

// ---- Tot (soldier) ------------------------------------------------------

bool Tot::quaSong() const { return phe == DO ? hang <= 4 : hang >= 5; }

bool Tot::kiemTraNuocDi(const BanCo& ban, int h, int c) const {
    if (!BanCo::trongBanCo(h, c)) return false;
    if (!dichHopLe(ban, h, c, phe)) return false;
    const int f = phe == DO ? -1 : 1;
    if (h == hang + f && c == cot) return true;
    return quaSong() && h == hang && std::abs(c - cot) == 1;
}

void Tot::sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const {
    themNeuHopLe(*this, ban, phe == DO ? -1 : 1, 0, ds);
    if (quaSong()) {
        themNeuHopLe(*this, ban, 0, -1, ds);
        themNeuHopLe(*this, ban, 0, 1, ds);
    }
}

std::string Tot::ve() const { return "B"; }
std::string Tot::ten() const { return "Tot"; }
int Tot::giaTri() const { return GIA_TRI_QUAN[LOAI_TOT]; }
int Tot::loai() const { return LOAI_TOT; }
std::unique_ptr<QuanCo> Tot::saoChep() const { return std::make_unique<Tot>(*this); }
