#include <algorithm>
#include <iostream>

#include "ban_co.h"

std::string BanCo::veThanhChuoi() const {
    std::string s = "     ";
    for (int c = 0; c < SO_COT; ++c) {
        s += char('a' + c);
        s += "   ";
    }
    s += "\n";
    for (int h = 0; h < SO_HANG; ++h) {
        s += std::to_string(h) + "   ";
        for (int c = 0; c < SO_COT; ++c) {
            if (c > 0) s += "-";
            const bool conTro = h == hangConTro && c == cotConTro;
            const QuanCo* q = timQuan(h, c);
            if (q == nullptr) {
                s += conTro ? "{+}" : " + ";
                continue;
            }
            // The selection mark wins over the cursor mark.
            const char* khung = q == quanChon ? "[]" : conTro ? "{}" : "  ";
            s += q->phe == DO ? "\x1b[91m" : "\x1b[94m";
            s += khung[0];
            s += q->ve();
            s += khung[1];
            s += "\x1b[0m";
        }
        s += "\n";
        if (h == 4) s += "    ------ SÔNG ------\n";
    }
    return s;
}

void BanCo::ve() const { std::cout << veThanhChuoi(); }

void BanCo::diChuyenConTro(int buocHang, int buocCot) {
    hangConTro = int32_t(std::clamp<int64_t>(int64_t(hangConTro) + buocHang, 0, SO_HANG - 1));
    cotConTro = int32_t(std::clamp<int64_t>(int64_t(cotConTro) + buocCot, 0, SO_COT - 1));
}
