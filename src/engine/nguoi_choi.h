#pragma once
#include <string>

#include "ban_co.h"
#include "nuoc_di.h"
#include "phe.h"
#include "tim_kiem.h"

// A player chooses moves for a side on a board.
class NguoiChoi {
public:
    virtual ~NguoiChoi() = default;
    virtual NuocDi chonNuocDi(BanCo& ban, Phe phe) = 0;
    virtual bool laMay() const = 0;
    virtual std::string ten() const = 0;
};

// The computer player: one engine of its own, kept (with its transposition
// table) for the player's whole life, and the level it plays at.
class NguoiChoiMay : public NguoiChoi {
public:
    TimKiem timKiem;
    DoKho doKho;

    explicit NguoiChoiMay(DoKho doKho);

    // Searches `ban` in place (see TimKiem); pass a copy if it must stay untouched.
    NuocDi chonNuocDi(BanCo& ban, Phe phe) override;
    // viTriTruoc: the game's earlier positions (see TimKiem::timNuocDi).
    NuocDi chonNuocDi(BanCo& ban, Phe phe, TimKiem::ThongKe& thongKe, std::span<const uint64_t> viTriTruoc = {});
    bool laMay() const override { return true; }
    std::string ten() const override;
    // "Dễ", "Trung bình", "Khó" or "Cao thủ" ("Khó" for every unknown value).
    static std::string ten(DoKho doKho);
};
