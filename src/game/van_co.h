#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ban_co.h"
#include "luat_lap.h"
#include "dong_ho.h"
#include "nguoi_choi.h"
#include "nuoc_di.h"
#include "phe.h"
#include "tep_van_luu.h"
#include "tim_kiem.h"

// Who plays which side.
enum CheDo : int32_t { NGUOI_NGUOI = 0, NGUOI_MAY = 1, MAY_MAY = 2 };

// The result of a game; DANG_CHOI while it goes on.
enum KetQua : int32_t { DANG_CHOI = 0, DO_THANG = 1, DEN_THANG = 2, HOA = 3 };

// How loading a saved game went.
struct KetQuaTai {
    enum Loai : int32_t {
        DA_TAI,        // the game was replaced
        KHONG_CO,      // no saved game there (or it cannot be read, or no "TAVELIN1")
        KHONG_HOP_LE,  // not a regular file, or larger than a saved game can be
        NUOC_SAI,      // a stored move is not legal where it stands
        THE_CO_SAI,    // the stored start position cannot be played (lyDo says why)
    };
    Loai loai = DA_TAI;
    int32_t nuocSai = -1;  // with NUOC_SAI: the refused move's index (0 = the first move)
    std::string lyDo{};    // with THE_CO_SAI
    explicit operator bool() const { return loai == DA_TAI; }
};

// One game from the first move to the result. Every move, human or computer,
// enters through thuDoNuoc; undo and loading rebuild the game by replaying its
// moves from the start position (no snapshots are kept): the normal one less
// the handicap pieces, or a position set up by the player (fenDau), which
// may have black to move.
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
    // Seconds credited to a side after each of its moves (0: none, and
    // always 0 without a clock). Set by datTang after vanMoi.
    int32_t giayTang = 0;
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
    // The set-up start position as FEN (vietFEN's form); empty for a game
    // from the normal start, with or without handicap.
    std::string fenDau;
    // Paused: no clock runs and no move is made until tiepTucVan.
    bool tamDung = false;
    // The tags of the file the game was imported from (VanDaLuu::the), and
    // whether the player has yet to play on from it; vanMoi clears both.
    std::vector<std::pair<std::string, std::string>> theNhap;
    bool nhapChuaDung = false;
    // The result is a resignation, which an undo takes back alone.
    bool daXinThua = false;
    // The game was paused when resigned: taking the resignation back
    // brings the pause back with it (no clock or computer starts).
    bool xinThuaKhiTamDung = false;
    // Counts every change of what a saved game holds (moves, undo, settings,
    // result, pause), so that the owner knows when to keep the game again.
    uint64_t soLanDoi = 0;
    // The rule set: BA_LAN unless the game asks for the Asian rules (datLuat).
    LuatChoi luat = BA_LAN;
    // Plies since the last capture, or since the first position.
    int32_t soNuaNuocKhongAn = 0;
    // With a result reached by a repetition under the Asian rules: the
    // indexes (in nuocDaDi) of the cycle's first and last moves; -1 otherwise.
    int32_t chuKyTu = -1, chuKyDen = -1;
    // Replaying a recorded game: the repetition and quiet-move rulings are
    // only noted (the players played on), never ended the game.
    bool boQuaPhanQuyet = false;
    struct PhanQuyetBoQua {
        int32_t nuoc = -1;  // index in nuocDaDi of the move the ruling fell on; -1: none
        std::string lyDo;
    } phanQuyetBoQua;
    NguoiChoiMay mayDo{TRUNG_BINH};
    NguoiChoiMay mayDen{TRUNG_BINH};

    VanCo();
    VanCo(const VanCo&) = delete;
    VanCo& operator=(const VanCo&) = delete;

    // Game flow.
    void vanMoi(CheDo cheDoMoi, DoKho doKhoMoi, Phe pheNguoiMoi, int giayMoiBenMoi);
    bool datChap(Phe phe, const std::string& tenQuan);
    // After vanMoi: the increment of the game's clock (ignored without one).
    void datTang(int giay);
    // After vanMoi: the rule set the game is judged by.
    void datLuat(LuatChoi luatMoi);
    // After vanMoi: the game starts from this position instead, with its
    // side to move (a handicap is dropped). A position that is already over
    // (mate, no move) ends the game at once. On false lyDo says why the FEN
    // cannot be played and the game is untouched.
    bool datTheCoDau(const std::string& fen, std::string& lyDo);
    // The FEN of the game's first position, whatever it is (normal, handicap
    // or set up), side to move included.
    std::string fenBatDau() const;
    void datDoKhoMay(Phe phe, DoKho muc);
    void apDungNuoc(const NuocDi& nuoc);
    bool thuDoNuoc(const NuocDi& nuoc);
    bool huyNuocDi();
    bool denLuotMay() const;
    std::string getMoTaCuoi() const;
    std::string khoaTheCo() const;
    // The same key for a position `luotDi` reaches on `ban`.
    static std::string khoaTheCo(const BanCo& ban, Phe luotDi);
    // The positions before the current one that may still come back: the
    // history a search of the current position is given.
    std::span<const uint64_t> viTriTruoc() const;

    // Pause: the running turn is charged and the clocks stand; false when
    // the game is over (also by a time-out noticed here). Pausing a paused
    // game changes nothing. tiepTucVan starts the side to move's clock again.
    bool tamDungVan();
    void tiepTucVan();
    // The side gives the game up: the other side wins. False when the game
    // is already over.
    bool xinThua(Phe phe);
    // The reason a resignation by `phe` gives the game ("Đỏ xin thua"),
    // which a game file read back is matched against.
    static std::string lyDoXinThua(Phe phe) { return std::string(phe == DO ? "Đỏ" : "Đen") + " xin thua"; }

    // End of game.
    void kiemTraKetThuc();
    // Under the Asian rules: the legal moves of the side to move that would
    // bring a position back for the third time in a cycle that side loses
    // by (empty under the plain rule). What the page warns of, and what no
    // computer plays while it has another move.
    struct NuocPham {
        NuocDi nuoc;
        ViPham viPham;
    };
    std::vector<NuocPham> nuocPhamLuatLap();
    // The moves between the positions of viTriTruoc and the current one
    // (viTriTruoc().size() of them, the last one leading here): what a
    // search needs to judge a cycle that began before its root.
    std::span<const NuocDi> nuocTruoc() const;
    // Hands an engine the game's rule on repetitions (and what it needs to
    // apply it) before it searches the current position for the side to move.
    void datLuatChoMay(TimKiem& timKiem);
    void capNhatDongHo();

    // Saved-game file (UTF-8 file names). luuVan is true only once the file
    // is on the device; on false the previous file is untouched. taiVan
    // replaces the game only with a file whose every move is legal in turn;
    // otherwise the game is untouched.
    bool luuVan(const std::string& tenTep) const;
    KetQuaTai taiVan(const std::string& tenTep);
    // What a saved game holds of this one; `chinhXac` adds the clocks to the
    // millisecond and the pause (the game kept between runs).
    VanDaLuu banLuu(bool chinhXac) const;
    // Replaces the game by a read one, after checking its moves (NUOC_SAI
    // names the first illegal one; the game is then untouched).
    KetQuaTai napVan(const VanDaLuu& van);
    // The index of the first stored move that is not legal where it stands
    // (a square off the board included), or -1 when all are. A stored start
    // position that cannot be played counts as refusing the first move.
    static int32_t nuocSaiDauTien(const VanDaLuu& van);
    // Why the stored start position cannot be played, "" when it can (or
    // when the file has none).
    static std::string lyDoTheCoDauSai(const VanDaLuu& van);

    // Small helpers of a console front end.
    bool laNuocHopLe(const NuocDi& nuoc);
    NuocDi mayChonNuoc(TimKiem::ThongKe& thongKe);
    // Puts the first position back on the board; returns its side to move.
    Phe khoiTaoLaiBanCo();
    bool xuLyEnter();

private:
    // Puts the game's first position on a board; returns its side to move.
    Phe dungTheCoDau(BanCo& ban) const;
    void datLaiLichSu(Phe luotDau);
    void batDauLaiKhoaCoTheLap();
    // Starts the side to move's turn on the clock, unless paused or over.
    void chayDongHo();
    // The ruling on the cycle that brings back the position `khoa` (already
    // reached twice) if `them` (empty, or one move) is played now, and the
    // index in nuocDaDi of the cycle's first move.
    PhanQuyetLap phanXuLap(const std::string& khoa, std::span<const NuocDi> them, int32_t& tu) const;
    void phanXuLapVaGhi();
    // A loaded game that a repetition ended under the Asian rules: finds
    // the cycle again (the file keeps only the result).
    void timLaiChuKy();
    // The key (khoaTheCo) after each ply, the first position's first.
    std::vector<std::string> khoaTheoNuoc_;
    // The moves between the positions of khoaCoTheLap.
    std::vector<NuocDi> nuocCoTheLap_;
};
