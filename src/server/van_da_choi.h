#pragma once
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "pgn.h"

// The folder of played games inside the per-user data folder.
inline constexpr char TEN_THU_MUC_VAN_DA_CHOI[] = "van_da_choi";

// One game of the list, as its file tells it.
struct MucVanDaChoi {
    std::string id;  // the file's name without ".pgn"
    std::string ngay, tenDo, tenDen, ketQua, lyDo, fen;
    std::size_t soNuoc = 0;
    std::string thoiDiem;  // "YYYY.MM.DD HH:MM" when the name is one idMoi gives, else ""
    std::string suKien;    // the [Event] tag
    int mucDo = -1, mucDen = -1;  // a computer side's level (DoKho), -1 for a person
    int luat = 0;                 // LuatChoi
    // What the index keeps of the file: its size and write time, and why
    // it is not shown ("" when it is).
    int64_t kichThuoc = -1, thoiGianGhi = 0;
    std::string loi;
};

// What the list shows of the games: all when empty.
struct LocVanDaChoi {
    std::string ketQua;  // "1-0", "0-1", "1/2-1/2" or "*"
    int mucMay = -1;     // a computer side at this level (DoKho)
    std::string tim;     // in the players' names or the event, letters in either case
    bool khop(const MucVanDaChoi& m) const;
};

// The played games, one PGN file each. A file is put in place by a rename
// before the change is answered, so a killed program leaves either the old
// file or the new one; a thread of its own puts it on the device a moment
// later, so that no answer waits for the device. Nothing here takes the
// game lock: the owner serialises ghi, xoa and idMoi; danhSach and doc only
// read the folder and may run beside them.
class VanDaChoi {
public:
    VanDaChoi() = default;
    ~VanDaChoi();
    VanDaChoi(const VanDaChoi&) = delete;
    VanDaChoi& operator=(const VanDaChoi&) = delete;

    // Keeps the games in `thuMuc` (made by the first ghi), and removes what
    // an earlier program left there half done. Called once, before the
    // first use.
    void batDau(const std::filesystem::path& thuMuc);
    bool dangBat() const { return !thuMuc_.empty(); }

    // A name no file of the folder has and none given before: the local
    // date and time, numbered when taken.
    std::string idMoi();
    // Puts `vanBan` in place of the file of `id`; false when it cannot.
    bool ghi(const std::string& id, const std::string& vanBan);
    // Whether `id` names a plain file of the folder.
    bool coTep(const std::string& id) const;
    // Removes the file of `id`; false when there is none.
    bool xoa(const std::string& id);

    // The games newest first (by the time their file was written), at most
    // TOI_DA_DANH_SACH; a file that cannot be read as a legal game of ours
    // is left out with a note that names it.
    std::vector<MucVanDaChoi> danhSach(std::vector<std::string>& ghiChu) const {
        return danhSach(ghiChu, LocVanDaChoi{}, nullptr);
    }
    // Those `loc` lets through, newest first, at most TOI_DA_DANH_SACH;
    // `tong` (when given) counts all it lets through. The files are read
    // through an index kept beside them (TEN_CHI_MUC): a file whose size and
    // write time the index has is not read again; a file larger than
    // TOI_DA_BYTE_TEP is never read.
    // The server answers one request at a time, so one listing reads files
    // for at most MILI_GIAY_DOC_TOI_DA: the games past that are left out,
    // counted in `chuaDoc`, and read by the next listings (newest first).
    std::vector<MucVanDaChoi> danhSach(std::vector<std::string>& ghiChu, const LocVanDaChoi& loc,
                                       std::size_t* tong, std::size_t* chuaDoc = nullptr) const;
    static constexpr int MILI_GIAY_DOC_TOI_DA = 250;
    // One game of the folder, its moves legal in turn: "" when read, else
    // the reason in Vietnamese.
    std::string doc(const std::string& id, VanPGN& van) const;

    // Names the list can give: 1 to 64 letters, digits, '-' or '_'.
    static bool idHopLe(const std::string& id);
    static constexpr std::size_t TOI_DA_DANH_SACH = 500;
    static constexpr const char* TEN_CHI_MUC = ".chi_muc";

private:
    std::filesystem::path thuMuc_;
    std::set<std::string> daCap_;

    std::mutex khoa_;  // guards choDongBo_, conLai_ and dung_
    std::condition_variable coViec_;
    std::vector<std::filesystem::path> choDongBo_;
    std::vector<std::filesystem::path> conLai_;
    bool dung_ = false;
    // Held while a flush has a file open: on Windows an open file cannot be
    // replaced, so a rename that fails waits for the flush once.
    std::mutex dangDongBo_;
    std::thread luong_;

    // The index: what the last listing read of each file, by id (guarded
    // by khoaChiMuc_, which one listing holds throughout); loaded from the
    // file by the first listing, written back when a listing changed it.
    mutable std::mutex khoaChiMuc_;
    mutable std::map<std::string, MucVanDaChoi> chiMuc_;
    mutable bool daNapChiMuc_ = false;
    void napChiMuc() const;
    void ghiChiMuc() const;
    // The entry of one file, read from it.
    MucVanDaChoi docMuc(const std::string& id, int64_t kichThuoc, int64_t thoiGianGhi) const;

    std::filesystem::path tepCua(const std::string& id) const;
    void vongDongBo();
};
