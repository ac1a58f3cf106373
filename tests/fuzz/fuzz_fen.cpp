// The bench tool's FEN reader on arbitrary bytes, then the move generator on
// every board it accepts.
//
// Checked: a refused FEN leaves an empty board and a reason; an accepted one
// writes back to a FEN that reads to the same board and writes identically;
// the generators agree with each other and with the slow check test, and no
// generation, trial move or undo changes the position.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>

#include "ban_co.h"
#include "fen.h"
#include "kiem_json.h"

namespace {

// As a set: trial captures put the victim back at the end of the storage
// order, which changes the generation order but not the moves.
DanhSachNuoc sapXep(DanhSachNuoc ds) {
    std::sort(ds.begin(), ds.end(), [](const NuocDi& a, const NuocDi& b) {
        return std::tie(a.hangDi, a.cotDi, a.hangDen, a.cotDen) < std::tie(b.hangDi, b.cotDi, b.hangDen, b.cotDen);
    });
    return ds;
}

bool coTuong(const BanCo& ban, Phe phe) { return ban.timTuong(phe) != nullptr; }

void kiemNuocDi(BanCo& ban, Phe luot) {
    const std::string truoc = ban.khoaViTri();
    CHAC_CHAN(ban.biChieu(luot) == ban.biChieuTheoDinhNghia(luot));

    DanhSachNuoc tatCa, an;
    ban.sinhNuocDi(luot, tatCa);
    ban.sinhNuocAn(luot, an);
    DanhSachNuoc anTheoLoc;
    for (const NuocDi& n : tatCa) {
        CHAC_CHAN(BanCo::trongBanCo(n.hangDen, n.cotDen));
        const QuanCo* di = ban.timQuan(n.hangDi, n.cotDi);
        CHAC_CHAN(di != nullptr && di->phe == luot);
        const QuanCo* den = ban.timQuan(n.hangDen, n.cotDen);
        CHAC_CHAN(den == nullptr || den->phe != luot);
        if (den) anTheoLoc.push_back(n);
    }
    CHAC_CHAN(an == anTheoLoc);

    // Legal: the generated moves after which the mover's general (if any)
    // is not attacked by the literal test.
    DanhSachNuoc monDoi;
    for (const NuocDi& n : tatCa) {
        CHAC_CHAN(ban.thuNuocDi(n));
        const bool hopLe = !coTuong(ban, luot) || !ban.biChieuTheoDinhNghia(luot);
        CHAC_CHAN(ban.biChieu(luot) == ban.biChieuTheoDinhNghia(luot));
        ban.luiNuocDi();
        CHAC_CHAN(ban.khoaViTri() == truoc);
        if (hopLe) monDoi.push_back(n);
    }
    CHAC_CHAN(sapXep(ban.nuocDiHopLe(luot)) == sapXep(monDoi));
    CHAC_CHAN(ban.khoaViTri() == truoc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* du, size_t co) {
    const std::string fen(reinterpret_cast<const char*>(du), co);
    BanCo ban;
    Phe luot = DO;
    std::string loi;
    if (!docFEN(fen, ban, luot, loi)) {
        CHAC_CHAN(ban.dsQuan.empty() && !loi.empty());
        return 0;
    }
    CHAC_CHAN(ban.dsQuan.size() <= static_cast<size_t>(BanCo::SO_O));
    const std::string viet = vietFEN(ban, luot);
    BanCo lai;
    Phe luotLai = DEN;
    CHAC_CHAN(docFEN(viet, lai, luotLai, loi));
    CHAC_CHAN(luotLai == luot && lai.khoaViTri() == ban.khoaViTri() && vietFEN(lai, luotLai) == viet);

    // The playability test answers for any board that reads, and the reader
    // that applies it agrees.
    const bool choiDuoc = lyDoKhongChoiDuoc(ban, luot).empty();
    BanCo theCo;
    std::string lyDo;
    CHAC_CHAN(docTheCo(fen, theCo, luotLai, lyDo) == choiDuoc && lyDo.empty() == choiDuoc);

    kiemNuocDi(ban, luot);
    kiemNuocDi(ban, pheDoiPhuong(luot));
    return 0;
}
