#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "nuoc_di.h"
#include "phe.h"

class BanCo;

// Kind codes shared by evaluation, hashing and the state document.
enum LoaiQuan : int32_t { LOAI_XE = 0, LOAI_PHAO, LOAI_MA, LOAI_VOI, LOAI_SI, LOAI_TUONG, LOAI_TOT };

// The pieces' values by kind code, a soldier worth 100: each piece's giaTri,
// the engine's material (which counts the general as 0) and its capture order.
inline constexpr int32_t GIA_TRI_QUAN[7] = {900, 450, 400, 200, 200, 10000, 100};

// A piece knows only where it stands and whose it is; everything else is an
// answer of its concrete kind.
class QuanCo {
public:
    int32_t hang;
    int32_t cot;
    Phe phe;

    QuanCo(int32_t h, int32_t c, Phe p) : hang(h), cot(c), phe(p) {}
    virtual ~QuanCo() = default;

    // Pseudo-legal: the rule of the kind only, never whether the own general
    // is left attacked.
    virtual bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const = 0;
    virtual void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const = 0;
    virtual std::string ve() const = 0;
    virtual std::string ten() const = 0;
    virtual int giaTri() const = 0;
    virtual int loai() const = 0;
    virtual bool laTuong() const { return false; }
    virtual std::unique_ptr<QuanCo> saoChep() const = 0;

protected:
    QuanCo(const QuanCo&) = default;
    QuanCo& operator=(const QuanCo&) = default;
};

class Xe final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
};

class Phao final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
};

class Ma final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
};

class Voi final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
};

class Si final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
    static bool trongCung(int hang, int cot, Phe phe);
};

class Tuong final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
    bool laTuong() const override { return true; }
};

class Tot final : public QuanCo {
public:
    using QuanCo::QuanCo;
    bool kiemTraNuocDi(const BanCo& ban, int hang, int cot) const override;
    void sinhNuocDi(const BanCo& ban, DanhSachNuoc& ds) const override;
    std::string ve() const override;
    std::string ten() const override;
    int giaTri() const override;
    int loai() const override;
    std::unique_ptr<QuanCo> saoChep() const override;
    bool quaSong() const;
};

// Builds a piece of the given kind code (0..6); null for any other code.
std::unique_ptr<QuanCo> taoQuan(int loai, int32_t hang, int32_t cot, Phe phe);
