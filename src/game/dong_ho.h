#pragma once
#include <chrono>
#include <string>

#include "phe.h"

// The chess clock of one game: an optional budget per side that runs down only
// while that side is to move. Time comes from the monotonic clock, so changes
// of the wall-clock time never touch a game.
class DongHo {
public:
    using ThoiDiem = std::chrono::steady_clock::time_point;
    // Where "now" comes from. The steady clock in the program; tests hand in a
    // clock of their own so that no figure depends on the machine's speed.
    using NguonGio = ThoiDiem (*)();

    bool bat = false;
    double conLai[2] = {0.0, 0.0};
    double congThem = 0.0;
    ThoiDiem batDau{};
    bool dangDemGio = false;
    Phe pheDangChay = DO;

    DongHo() = default;
    explicit DongHo(NguonGio nguon) : nguonGio_(nguon) {}

    void datNguonGio(NguonGio nguon) { nguonGio_ = nguon; }

    void caiDat(int giayMoiBen, double tang);
    void batDauLuot(Phe phe);
    void ketThucLuot(Phe phe);
    double giayConLai(Phe phe) const;
    double giayDaDungTrongLuot() const;
    bool hetGio(Phe phe) const;
    std::string hienThi(Phe phe) const;

private:
    static ThoiDiem gioThat() { return std::chrono::steady_clock::now(); }
    static int chiSo(Phe phe) { return phe == DO ? 0 : 1; }

    NguonGio nguonGio_ = &gioThat;
};
