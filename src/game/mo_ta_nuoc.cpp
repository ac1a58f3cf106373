#include "mo_ta_nuoc.h"

namespace {

std::string tenVaPhe(const QuanCo& quan) { return quan.ten() + (quan.phe == DO ? " đỏ" : " đen"); }

std::string tenO(int hang, int cot) {
    // Squares off the board never reach a game, but a stray byte must not
    // reach a description either.
    const char chuCot = cot >= 0 && cot < BanCo::SO_COT ? static_cast<char>('a' + cot) : '?';
    std::string ten = std::to_string(hang);
    ten.push_back(chuCot);
    return ten;
}

}  // namespace

std::string moTaNuoc(const BanCo& ban, const NuocDi& nuoc) {
    const QuanCo* di = ban.timQuan(nuoc.hangDi, nuoc.cotDi);
    const QuanCo* den = ban.timQuan(nuoc.hangDen, nuoc.cotDen);
    std::string moTa = di ? tenVaPhe(*di) : "?";
    moTa.append(" ").append(tenO(nuoc.hangDi, nuoc.cotDi));
    moTa.append("-").append(tenO(nuoc.hangDen, nuoc.cotDen));
    if (den) moTa.append(" ăn ").append(tenVaPhe(*den));
    return moTa;
}
