#include "van_da_choi.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "nen_tang.h"
#include "tep_van_luu.h"
#include "utf8.h"

namespace fs = std::filesystem;

namespace {

const char* const DUOI = ".pgn";
// Entries of the folder looked at in one listing, whatever else lies there.
constexpr std::size_t TOI_DA_MUC_THU_MUC = 20000;

std::string chuoiTuDuongDan(const fs::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

std::string thoiDiemBayGio() {
    static std::mutex khoa;
    const std::time_t bayGio = std::time(nullptr);
    char du[32] = "van";
    std::lock_guard<std::mutex> k(khoa);
    if (const std::tm* t = std::localtime(&bayGio)) std::strftime(du, sizeof du, "%Y%m%d-%H%M%S", t);
    return du;
}

}  // namespace

VanDaChoi::~VanDaChoi() {
    if (!luong_.joinable()) return;
    {
        std::lock_guard<std::mutex> k(khoa_);
        dung_ = true;
    }
    coViec_.notify_all();
    luong_.join();
}

void VanDaChoi::batDau(const fs::path& thuMuc) {
    thuMuc_ = thuMuc;
    // What a program killed between a file's swap and its flush left beside
    // it: the older text, under a temporary name no list shows. Only those a
    // minute old: another program may be writing one right now.
    const auto han = fs::file_time_type::clock::now() - std::chrono::minutes(1);
    std::error_code loi;
    std::size_t dem = 0;
    for (fs::directory_iterator it(thuMuc_, loi), het; !loi && it != het && dem < TOI_DA_MUC_THU_MUC;
         it.increment(loi), ++dem) {
        std::error_code loiMuc;
        if (chuoiTuDuongDan(it->path().filename()).find(".pgn.tmp-") != std::string::npos &&
            it->is_regular_file(loiMuc) && !it->is_symlink(loiMuc) && it->last_write_time(loiMuc) < han)
            fs::remove(it->path(), loiMuc);
    }
}

bool VanDaChoi::idHopLe(const std::string& id) {
    if (id.empty() || id.size() > 64) return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

fs::path VanDaChoi::tepCua(const std::string& id) const { return thuMuc_ / (id + DUOI); }

std::string VanDaChoi::idMoi() {
    const std::string goc = thoiDiemBayGio();
    for (int so = 1;; ++so) {
        const std::string id = so == 1 ? goc : goc + "-" + std::to_string(so);
        std::error_code loi;
        if (daCap_.count(id) || fs::exists(fs::symlink_status(tepCua(id), loi))) continue;
        daCap_.insert(id);
        return id;
    }
}

bool VanDaChoi::ghi(const std::string& id, const std::string& vanBan) {
    if (!dangBat() || !idHopLe(id)) return false;
    const fs::path tep = tepCua(id);
    fs::path conLai;
    bool ok = nenTang::thayTep(tep, vanBan, conLai);
    if (!ok) {
        // The folder is made by the first game (or again, if it was removed).
        nenTang::taoThuMucRieng(thuMuc_);
        std::lock_guard<std::mutex> k(dangDongBo_);
        ok = nenTang::thayTep(tep, vanBan, conLai);
    }
    if (!ok) return false;
    {
        std::lock_guard<std::mutex> k(khoa_);
        choDongBo_.push_back(tep);
        if (!conLai.empty()) conLai_.push_back(std::move(conLai));
        if (!luong_.joinable()) luong_ = std::thread(&VanDaChoi::vongDongBo, this);
    }
    coViec_.notify_one();
    return true;
}

void VanDaChoi::vongDongBo() {
    std::unique_lock<std::mutex> k(khoa_);
    for (;;) {
        coViec_.wait(k, [this] { return !choDongBo_.empty() || dung_; });
        if (choDongBo_.empty()) return;
        std::vector<fs::path> tep, cu;
        tep.swap(choDongBo_);
        cu.swap(conLai_);
        k.unlock();
        std::sort(tep.begin(), tep.end());
        tep.erase(std::unique(tep.begin(), tep.end()), tep.end());
        {
            std::lock_guard<std::mutex> dangLam(dangDongBo_);
            for (const auto& p : tep) nenTang::dongBoTep(p);
        }
        // The texts swapped out go once the new ones are on the device.
        for (const auto& p : cu) {
            std::error_code loi;
            if (fs::is_regular_file(fs::symlink_status(p, loi))) fs::remove(p, loi);
        }
        k.lock();
    }
}

bool VanDaChoi::xoa(const std::string& id) {
    if (!dangBat() || !idHopLe(id)) return false;
    std::error_code loi;
    const fs::path tep = tepCua(id);
    if (!fs::is_regular_file(fs::symlink_status(tep, loi))) return false;
    std::lock_guard<std::mutex> k(dangDongBo_);
    return fs::remove(tep, loi);
}

std::string VanDaChoi::doc(const std::string& id, VanPGN& van) const {
    if (!dangBat() || !idHopLe(id)) return "Không có ván này trong danh sách";
    const fs::path tep = tepCua(id);
    std::error_code loiTep;
    // Never through a link: only the folder's own files are the list's.
    if (!fs::is_regular_file(fs::symlink_status(tep, loiTep))) return "Không có ván này trong danh sách";
    std::string noiDung;
    switch (nenTang::docTepThuong(tep, TOI_DA_BYTE_TEP, noiDung)) {
    case nenTang::DocTep::KHONG_CO: return "Không đọc được tệp";
    case nenTang::DocTep::KHONG_HOP_LE: return "Tệp quá lớn hoặc không phải tệp thường";
    case nenTang::DocTep::DUOC: break;
    }
    // A file that is not UTF-8 is read as GB18030, as the page's import does:
    // Chinese game files brought in by hand mostly are.
    if (!laUtf8HopLe(noiDung)) noiDung = gb18030SangUtf8(noiDung);
    std::string loi;
    if (!docPGN(noiDung, van, loi)) return "Tệp hỏng: " + loi;
    const int sai = nuocSaiPGN(van, loi);
    if (sai == -2) return "Tệp hỏng: " + loi;
    if (sai >= 0) return "Tệp có nước đi không hợp lệ (nước thứ " + std::to_string(sai + 1) + ")";
    return {};
}

std::vector<MucVanDaChoi> VanDaChoi::danhSach(std::vector<std::string>& ghiChu) const {
    std::vector<MucVanDaChoi> ds;
    if (!dangBat()) return ds;
    std::vector<std::pair<int64_t, std::string>> tep;
    std::error_code loi;
    std::size_t dem = 0;
    fs::directory_iterator it(thuMuc_, loi);
    const fs::directory_iterator het;
    for (; !loi && it != het && dem < TOI_DA_MUC_THU_MUC; it.increment(loi), ++dem) {
        const std::string ten = chuoiTuDuongDan(it->path().filename());
        // Files being written (".pgn.tmp-…") and anything else are not games.
        if (ten.size() <= 4 || ten.compare(ten.size() - 4, 4, DUOI) != 0) continue;
        const std::string id = ten.substr(0, ten.size() - 4);
        std::error_code loiMuc;
        if (!idHopLe(id)) {
            ghiChu.push_back("Bỏ qua tệp " + ten + ": tên tệp chỉ được có chữ không dấu, số, '-' và '_'");
        } else if (!fs::is_regular_file(it->symlink_status(loiMuc))) {
            ghiChu.push_back("Bỏ qua " + ten + ": không phải tệp thường");
        } else {
            tep.emplace_back(nenTang::thoiDiemGhiTep(it->path()), id);
        }
    }
    // A folder that large is read no further: the games past it are not lost,
    // but the player is told they are not shown.
    if (!loi && it != het)
        ghiChu.push_back("Thư mục có hơn " + std::to_string(TOI_DA_MUC_THU_MUC) + " mục: chỉ xét " +
                         std::to_string(TOI_DA_MUC_THU_MUC) + " mục đầu tiên, có thể thiếu ván");
    std::sort(tep.begin(), tep.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    if (tep.size() > TOI_DA_DANH_SACH) {
        ghiChu.push_back("Chỉ hiện " + std::to_string(TOI_DA_DANH_SACH) + " ván mới nhất trong " +
                         std::to_string(tep.size()) + " tệp");
        tep.resize(TOI_DA_DANH_SACH);
    }
    for (const auto& [thoiGian, id] : tep) {
        VanPGN van;
        const std::string lyDo = doc(id, van);
        if (!lyDo.empty()) {
            ghiChu.push_back("Bỏ qua tệp " + id + DUOI + ": " + lyDo);
            continue;
        }
        MucVanDaChoi muc;
        muc.id = id;
        muc.ngay = van.giaTri("Date");
        muc.tenDo = van.giaTri("Red");
        muc.tenDen = van.giaTri("Black");
        muc.ketQua = van.ketQua;
        muc.lyDo = van.lyDo;
        muc.fen = van.fen().empty() ? fenChuan() : van.fen();
        muc.soNuoc = van.nuoc.size();
        ds.push_back(std::move(muc));
    }
    return ds;
}
