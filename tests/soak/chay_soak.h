#pragma once
#include <cstdint>

struct TuyChonSoak {
    int giay = 120;
    int soKhach = 4;
    uint64_t hat = 1;
    int gioiHanRssMiB = 16;
};

// The whole run: 0 when everything held, 1 on a fault (reported on stderr).
int chaySoak(const TuyChonSoak& tc);
