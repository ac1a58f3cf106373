#include "fen.h"

#include <cctype>
#include <sstream>

namespace {

int loaiTuChu(char ch) {
    switch (std::tolower(static_cast<unsigned char>(ch))) {
        case 'r': return LOAI_XE;
        case 'c': return LOAI_PHAO;
        case 'n': case 'h': return LOAI_MA;
        case 'b': case 'e': return LOAI_VOI;
        case 'a': return LOAI_SI;
        case 'k': return LOAI_TUONG;
        case 'p': return LOAI_TOT;
        default: return -1;
    }
}

bool docCacHang(const std::string& viTri, BanCo& ban, std::string& loi) {
    int hang = 0, cot = 0;
    for (char ch : viTri) {
        if (ch == '/') {
            if (cot != 9) { loi = "hang " + std::to_string(hang) + " khong du 9 cot"; return false; }
            if (++hang > 9) { loi = "qua 10 hang"; return false; }
            cot = 0;
        } else if (ch >= '1' && ch <= '9') {
            cot += ch - '0';
            if (cot > 9) { loi = "hang " + std::to_string(hang) + " qua 9 cot"; return false; }
        } else {
            const int loai = loaiTuChu(ch);
            if (loai < 0) { loi = std::string("ky tu la '") + ch + "'"; return false; }
            if (cot >= 9) { loi = "hang " + std::to_string(hang) + " qua 9 cot"; return false; }
            ban.themQuan(taoQuan(loai, hang, cot, std::isupper(static_cast<unsigned char>(ch)) ? DO : DEN));
            ++cot;
        }
    }
    if (hang != 9 || cot != 9) { loi = "can dung 10 hang, moi hang 9 cot"; return false; }
    return true;
}

}  // namespace

bool docFEN(const std::string& fen, BanCo& ban, Phe& luot, std::string& loi) {
    ban.xoaHetQuan();
    std::istringstream in(fen);
    std::string viTri, phe;
    in >> viTri >> phe;
    if (viTri.empty()) { loi = "FEN rong"; return false; }
    if (!docCacHang(viTri, ban, loi)) { ban.xoaHetQuan(); return false; }
    if (phe.empty() || phe == "w" || phe == "r") luot = DO;
    else if (phe == "b") luot = DEN;
    else { loi = "ben di phai la w, r hoac b"; ban.xoaHetQuan(); return false; }
    return true;
}

std::string vietFEN(const BanCo& ban, Phe luot) {
    static const char CHU[7] = {'r', 'c', 'n', 'b', 'a', 'k', 'p'};
    std::string s;
    for (int h = 0; h < 10; ++h) {
        int trong = 0;
        for (int c = 0; c < 9; ++c) {
            const QuanCo* q = ban.timQuan(h, c);
            if (q == nullptr) { ++trong; continue; }
            if (trong) s += char('0' + trong);
            trong = 0;
            const char ch = CHU[q->loai()];
            s += q->phe == DO ? char(std::toupper(ch)) : ch;
        }
        if (trong) s += char('0' + trong);
        if (h < 9) s += '/';
    }
    return s + (luot == DO ? " w" : " b");
}
