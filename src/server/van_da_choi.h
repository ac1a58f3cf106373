#pragma once
#include <condition_variable>
#include <cstddef>
#include <filesystem>
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
    // Removes the file of `id`; false when there is none.
    bool xoa(const std::string& id);

    // The games newest first (by the time their file was written), at most
    // TOI_DA_DANH_SACH; a file that cannot be read as a legal game of ours
    // is left out with a note that names it.
    std::vector<MucVanDaChoi> danhSach(std::vector<std::string>& ghiChu) const;
    // One game of the folder, its moves legal in turn: "" when read, else
    // the reason in Vietnamese.
    std::string doc(const std::string& id, VanPGN& van) const;

    // Names the list can give: 1 to 64 letters, digits, '-' or '_'.
    static bool idHopLe(const std::string& id);
    static constexpr std::size_t TOI_DA_DANH_SACH = 500;

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

    std::filesystem::path tepCua(const std::string& id) const;
    void vongDongBo();
};
