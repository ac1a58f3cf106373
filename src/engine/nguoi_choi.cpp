#include "nguoi_choi.h"

NguoiChoiMay::NguoiChoiMay(DoKho doKho) : doKho(doKho) {
    timKiem.caiDatDoKho(doKho);
}

NuocDi NguoiChoiMay::chonNuocDi(BanCo& ban, Phe phe) {
    TimKiem::ThongKe boQua;
    return timKiem.timNuocDi(ban, phe, doKho, boQua);
}

NuocDi NguoiChoiMay::chonNuocDi(BanCo& ban, Phe phe, TimKiem::ThongKe& thongKe,
                                std::span<const uint64_t> viTriTruoc) {
    return timKiem.timNuocDi(ban, phe, doKho, thongKe, viTriTruoc);
}

std::string NguoiChoiMay::ten(DoKho doKho) { return tenDoKhoViet(doKho); }

std::string NguoiChoiMay::ten() const {
    return "May (" + ten(doKho) + ")";
}
