#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ban_co.h"
#include "dong_ho.h"
#include "nguoi_choi.h"
#include "nuoc_di.h"
#include "phe.h"
#include "tim_kiem.h"

// Who plays which side.
enum CheDo : int32_t { NGUOI_NGUOI = 0, NGUOI_MAY = 1, MAY_MAY = 2 };

// The result of a game; DANG_CHOI while it goes on.
enum KetQua : int32_t { DANG_CHOI = 0, DO_THANG = 1, DEN_THANG = 2, HOA = 3 };

// One game from the first move to the result. Every move, human or computer,
// enters through thuDoNuoc; undo and loading rebuild the game by replaying its
// moves from the start position (no snapshots are kept).
//
// No locks here: the owner serialises every call and every read of the public
// members.
class VanCo {
public:
    BanCo banCo;
    Phe luot = DO;
    CheDo cheDo = NGUOI_NGUOI;
    DoKho doKho = TRUNG_BINH;
    Phe pheNguoi = DO;
    DongHo dongHo;
    int32_t giayMoiBen = 0;
    KetQua ketQua = DANG_CHOI;
    std::string lyDo;
    int32_t nuocThu = 0;
    std::vector<NuocDi> nuocDaDi;
    std::vector<std::string> lichSu;
    std::map<std::string, int32_t> demViTri;
    // The engine's keys (TimKiem::khoaViTri) of the positions since the last
    // move that cannot be taken back (a capture or a soldier's step forward)
    // or handicap piece removed, the current one last. No position before
    // such a change can come back, so a search need not know it.
    std::vector<uint64_t> khoaCoTheLap;
    std::vector<std::pair<Phe, std::string>> chap;
    NguoiChoiMay mayDo{TRUNG_BINH};
    NguoiChoiMay mayDen{TRUNG_BINH};

    VanCo();
    VanCo(const VanCo&) = delete;
    VanCo& operator=(const VanCo&) = delete;

    // Game flow.
    void vanMoi(CheDo cheDoMoi, DoKho doKhoMoi, Phe pheNguoiMoi, int giayMoiBenMoi);
    bool datChap(Phe phe, const std::string& tenQuan);
    void datDoKhoMay(Phe phe, DoKho muc);
    void apDungNuoc(const NuocDi& nuoc);
    bool thuDoNuoc(const NuocDi& nuoc);
    bool huyNuocDi();
    bool denLuotMay() const;
    std::string getMoTaCuoi() const;
    std::string khoaTheCo() const;
    // The positions before the current one that may still come back: the
    // history a search of the current position is given.
    std::span<const uint64_t> viTriTruoc() const;

    // End of game.
    void kiemTraKetThuc();
    void capNhatDongHo();

    // Saved-game file (UTF-8 file names). luuVan is true only once the file
    // is on the device; on false the previous file is untouched.
    bool luuVan(const std::string& tenTep) const;
    bool taiVan(const std::string& tenTep);

    // Small helpers of a console front end.
    bool laNuocHopLe(const NuocDi& nuoc);
    NuocDi mayChonNuoc(TimKiem::ThongKe& thongKe);
    void khoiTaoLaiBanCo();
    bool xuLyEnter();

private:
    void datLaiLichSu();
    void batDauLaiKhoaCoTheLap();
};
