#include "danh_gia_cao_thu.h"

#include <algorithm>
#include <cstdlib>

#include "quan_co.h"
#include "sinh_o_dem.h"

namespace DanhGiaCaoThu {

namespace {

// r: rows from the opponent's back rank (0) to the own one (9); c: column
// seen from the own side (symmetric terms only use |c - 4|).
struct GiaTri { int32_t giua, cuoi; };

GiaTri diemXe(int r, int c) {
    const int dc = std::abs(c - 4);
    int32_t g = 900, e = 1000;
    if (r <= 4) g += 15;                   // across the river
    if (r == 1 || r == 2) g += 15;         // on the ranks in front of the palace
    if (r == 9 && (dc == 4)) g -= 10;      // an undeveloped corner chariot
    if (dc == 3) g += 5;                   // the palace's side files
    return {g, e};
}

GiaTri diemPhao(int r, int c) {
    const int dc = std::abs(c - 4);
    int32_t g = 470, e = 420;
    if (dc == 0) g += 25;                  // the central cannon
    if (r == 0) g += 10;                   // behind the opponent's lines
    if (r >= 1 && r <= 3 && dc <= 1) g += 10;
    if (r == 9 && dc == 4) g -= 10;
    e += dc == 0 ? 10 : 0;
    return {g, e};
}

GiaTri diemMa(int r, int c) {
    const int dc = std::abs(c - 4);
    int32_t g = 400, e = 440;
    int32_t t = 0;
    if (dc == 4) t -= 25;                  // on the edge it reaches half its squares
    if (r == 9) t -= 15;                   // still at home
    if (r <= 4) t += 20;                   // across the river
    if (r >= 1 && r <= 3 && dc <= 2) t += 25;   // around the opponent's palace
    if (r == 0) t -= 10;                   // on the back rank it has few squares
    if (r >= 5 && r <= 6 && dc <= 2) t += 8;    // the central squares of the own half
    return {g + t, e + t};
}

GiaTri diemTot(int r, int c) {
    const int dc = std::abs(c - 4);
    if (r >= 5) {
        // At home: the central soldier and those ready to cross are worth a little more.
        int32_t t = 0;
        if (r == 5) t += 5;
        if (dc == 0) t += 5;
        return {100 + t, 110 + t};
    }
    // Across the river it moves sideways too; most dangerous near the palace,
    // nearly useless on the last rank.
    static constexpr int32_t TIEN[5] = {30, 85, 95, 80, 60};  // by r
    int32_t t = TIEN[r];
    if (dc <= 1 && r >= 1 && r <= 3) t += 20;
    if (dc == 4) t -= 15;
    return {100 + t, 130 + t + (r >= 1 ? 20 : 0)};
}

GiaTri diemSi(int r, int c) {
    const int32_t t = (r == 8 && c == 4) ? 10 : 0;
    return {200 + t, 180 + t};
}

GiaTri diemVoi(int r, int c) {
    const int32_t t = (r == 7 && c == 4) ? 10 : (r == 5 ? -5 : 0);
    return {200 + t, 180 + t};
}

// The general's place in the middle game is weighed at the leaf (TrongSo).
GiaTri diemTuong(int r, int) {
    return {0, r == 7 ? -10 : 0};
}

GiaTri diemQuan(int loai, Phe phe, int hang, int cot) {
    const int r = phe == DO ? hang : 9 - hang;
    const int c = phe == DO ? cot : 8 - cot;
    switch (loai) {
        case LOAI_XE: return diemXe(r, c);
        case LOAI_PHAO: return diemPhao(r, c);
        case LOAI_MA: return diemMa(r, c);
        case LOAI_VOI: return diemVoi(r, c);
        case LOAI_SI: return diemSi(r, c);
        case LOAI_TUONG: return diemTuong(r, c);
        default: return diemTot(r, c);
    }
}

}  // namespace

int32_t phaLoai(int loai) {
    return loai == LOAI_XE ? 6 : (loai == LOAI_MA || loai == LOAI_PHAO) ? 3 : 0;
}

const BangDiem& bangDiem() {
    static const BangDiem bang = [] {
        BangDiem b;
        for (int phe = 0; phe < 2; ++phe)
            for (int loai = 0; loai < 7; ++loai)
                for (int o = 0; o < 90; ++o) {
                    const GiaTri v = diemQuan(loai, Phe(phe), o / 9, o % 9);
                    b.giua[loai | phe << 3][o] = v.giua;
                    b.cuoi[loai | phe << 3][o] = v.cuoi;
                }
        return b;
    }();
    return bang;
}

void Tong::them(int ma, int o90, int dau) {
    static const BangDiem& b = bangDiem();
    const int phe = ma >> 3, loai = ma & 7;
    const int dauDo = phe == DO ? dau : -dau;
    giua += dauDo * b.giua[ma][o90];
    cuoi += dauDo * b.cuoi[ma][o90];
    const int p = phaLoai(loai);
    pha += dau * p;
    tanCong[phe] += dau * p;
    if (loai == LOAI_SI || loai == LOAI_VOI) phongThu[phe] += dau;
}

Tong tinhTong(const BanTimKiem& ban) {
    Tong t;
    for (int o = 0; o < 90; ++o) {
        const int ma = ban.ma(nuocGon::BANG90.raOVien[o]);
        if (ma >= 0) t.them(ma, o, +1);
    }
    return t;
}

namespace {

struct DemNuoc {
    int n = 0;
    void operator()(int, int) { ++n; }
};

}  // namespace

int32_t danhGiaTho(const Tong& tong, Phe luot, const TrongSo& w) {
    const int32_t pha = std::min(tong.pha, PHA_TOI_DA);
    const int32_t diem = (tong.giua * pha + tong.cuoi * (PHA_TOI_DA - pha)) / PHA_TOI_DA;
    return (luot == DO ? diem : -diem) + w.luotDi;
}

int32_t danhGia(const BanTimKiem& ban, const Tong& tong, Phe luot, const TrongSo& w) {
    using namespace oDem;
    const int32_t pha = std::min(tong.pha, PHA_TOI_DA);
    int32_t diem = (tong.giua * pha + tong.cuoi * (PHA_TOI_DA - pha)) / PHA_TOI_DA;

    // One walk over the board: mobility, the generals, the attackers.
    int tuong[2] = {-1, -1};
    int phao[2][4];
    int soPhao[2] = {0, 0};
    int32_t donVi[2] = {0, 0};  // attack units aimed at the opponent's palace
    int32_t vay[2] = {0, 0};    // attackers already around it (its four nearest rows, central files)
    int32_t linhHoat[2] = {0, 0};
    ban.moiQuan([&](int o, int ma) {
        const Phe phe = Phe(ma >> 3);
        const int loai = ma & 7;
        const int r = phe == DO ? HINH.hang[o] : 9 - HINH.hang[o];
        if (r <= 3 && HINH.cot[o] >= 2 && HINH.cot[o] <= 6) {
            static constexpr int32_t DON_VI_VAY[7] = {4, 2, 3, 0, 0, 0, 1};
            vay[phe] += DON_VI_VAY[loai];
        }
        switch (loai) {
            case LOAI_XE: {
                DemNuoc d;
                ban.sinhNuocDiCuaQuan(o, phe, d);
                linhHoat[phe] += w.linhHoatXe * (d.n - 7);
                donVi[phe] += r <= 4 ? 3 : 2;
                break;
            }
            case LOAI_MA: {
                DemNuoc d;
                ban.sinhNuocDiCuaQuan(o, phe, d);
                linhHoat[phe] += w.linhHoatMa * (d.n - 3) - (d.n == 0 ? 2 * w.linhHoatMa : 0);
                if (r <= 4) donVi[phe] += 2;
                break;
            }
            case LOAI_PHAO: {
                DemNuoc d;
                ban.sinhNuocDiCuaQuan(o, phe, d);
                linhHoat[phe] += w.linhHoatPhao * (d.n - 7);
                donVi[phe] += 1;
                if (soPhao[phe] < 4) phao[phe][soPhao[phe]++] = o;
                break;
            }
            case LOAI_TOT:
                if (r <= 2) donVi[phe] += 1;
                break;
            case LOAI_TUONG:
                tuong[phe] = o;
                break;
            default: break;
        }
    });
    diem += linhHoat[DO] - linhHoat[DEN];

    // Safety: attackers against missing advisors and elephants, and the
    // cannons lined up with the general.
    for (int phe = 0; phe < 2; ++phe) {
        const int dich = 1 - phe;
        const int32_t thieu = 4 - std::min(4, tong.phongThu[dich]);
        int32_t nguyHiem = donVi[phe] * thieu * w.anToan;
        // Several attackers at the palace together are worth more than apart.
        nguyHiem += w.vayCung * vay[phe] * vay[phe] * (2 + thieu) / 16;
        if (tuong[dich] >= 0) {
            const int k = tuong[dich];
            for (int i = 0; i < soPhao[phe]; ++i) {
                const int p = phao[phe][i];
                if (HINH.cot[p] != HINH.cot[k]) continue;
                const int buoc = HINH.hang[p] < HINH.hang[k] ? RONG : -RONG;
                int giua = 0;
                for (int x = p + buoc; x != k; x += buoc)
                    if (ban.ma(x) != TRONG) ++giua;
                if (giua == 0) nguyHiem += w.phaoKhongMan;       // nothing between: a screen dropped in checks
                else if (giua == 2) nguyHiem += w.phaoHaiMan;  // one piece away from a check
            }
            // A general driven off its home square is easier to mate.
            const int hang = dich == DO ? HINH.hang[k] : 9 - HINH.hang[k];
            nguyHiem += (w.tuongLen * std::max(0, 9 - hang) + (HINH.cot[k] != 4 ? w.tuongLech : 0)) * pha / PHA_TOI_DA;
        }
        diem += phe == DO ? nguyHiem : -nguyHiem;
    }
    const int32_t theoLuot = luot == DO ? diem : -diem;
    return theoLuot + w.luotDi;
}

}  // namespace DanhGiaCaoThu
