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
    // The side moved: the running turn is charged and, if time was left
    // when it ended, the increment credited.
    void ketThucLuot(Phe phe);
    // The turn stops without a move (a pause, a resignation): charged, with
    // no increment, so that stopping and going on earns nothing.
    void dungLuot(Phe phe);
    // A move of `phe` taken back: the increment it earned goes with it.
    void traLaiCongThem(Phe phe);
    double giayConLai(Phe phe) const;
    double giayDaDungTrongLuot() const;
    bool hetGio(Phe phe) const;
    std::string hienThi(Phe phe) const;

private:
    static ThoiDiem gioThat() { return std::chrono::steady_clock::now(); }
    static int chiSo(Phe phe) { return phe == DO ? 0 : 1; }
    void tinhLuot(Phe phe, bool congTang);

    NguonGio nguonGio_ = &gioThat;
};
