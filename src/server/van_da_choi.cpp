#include "van_da_choi.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "nen_tang.h"
#include "tep_van_luu.h"
#include "utf8.h"
#include "van_co.h"

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

bool VanDaChoi::coTep(const std::string& id) const {
    std::error_code loi;
    return dangBat() && idHopLe(id) && fs::is_regular_file(fs::symlink_status(tepCua(id), loi));
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

namespace {

const char* const DAU_CHI_MUC = "TAVELIN-CHIMUC 1";
// An index is a few hundred bytes a game: one larger than this was not ours.
constexpr std::size_t TOI_DA_BYTE_CHI_MUC = 64u << 20;
constexpr std::size_t SO_TRUONG_CHI_MUC = 16;

// A value as one field of the index: no tab, no line end.
std::string truong(const std::string& s) {
    std::string ra = s;
    for (char& c : ra)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return ra;
}

bool docSoNguyen(const std::string& s, int64_t& so, int64_t nhoNhat, int64_t lonNhat) {
    if (s.empty() || s.size() > 20) return false;
    std::size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size()) return false;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9' || v > (INT64_MAX - 9) / 10) return false;
        v = v * 10 + (s[i] - '0');
    }
    so = s[0] == '-' ? -v : v;
    return so >= nhoNhat && so <= lonNhat;
}

bool laKetQuaPGN(const std::string& k) { return k == "1-0" || k == "0-1" || k == "1/2-1/2" || k == "*"; }

// One line of the index, or false when any field is not what a listing writes.
bool docDongChiMuc(const std::string& dong, MucVanDaChoi& m) {
    std::vector<std::string> t;
    std::size_t dau = 0;
    for (;;) {
        const std::size_t tab = dong.find('\t', dau);
        t.push_back(dong.substr(dau, tab == std::string::npos ? std::string::npos : tab - dau));
        if (tab == std::string::npos || t.size() > SO_TRUONG_CHI_MUC) break;
        dau = tab + 1;
    }
    if (t.size() != SO_TRUONG_CHI_MUC || !laUtf8HopLe(dong)) return false;
    int64_t soNuoc = 0, mucDo = 0, mucDen = 0, luat = 0;
    m.id = t[0];
    if (!VanDaChoi::idHopLe(m.id) || !docSoNguyen(t[1], m.kichThuoc, 0, INT64_MAX) ||
        !docSoNguyen(t[2], m.thoiGianGhi, INT64_MIN + 1, INT64_MAX) || !docSoNguyen(t[4], soNuoc, 0, TOI_DA_NUOC) ||
        !docSoNguyen(t[5], mucDo, -1, CAO_THU) || !docSoNguyen(t[6], mucDen, -1, CAO_THU) ||
        !docSoNguyen(t[7], luat, 0, CHAU_A))
        return false;
    m.loi = t[3];
    m.soNuoc = static_cast<std::size_t>(soNuoc);
    m.mucDo = static_cast<int>(mucDo);
    m.mucDen = static_cast<int>(mucDen);
    m.luat = static_cast<int>(luat);
    m.ketQua = t[8];
    m.ngay = t[9];
    m.thoiDiem = t[10];
    m.tenDo = t[11];
    m.tenDen = t[12];
    m.suKien = t[13];
    m.lyDo = t[14];
    m.fen = t[15];
    return m.loi.empty() ? laKetQuaPGN(m.ketQua) && !m.fen.empty() : true;
}

std::string dongChiMuc(const MucVanDaChoi& m) {
    std::string ra = m.id;
    for (const std::string& s :
         {std::to_string(m.kichThuoc), std::to_string(m.thoiGianGhi), truong(m.loi), std::to_string(m.soNuoc),
          std::to_string(m.mucDo), std::to_string(m.mucDen), std::to_string(m.luat), truong(m.ketQua),
          truong(m.ngay), truong(m.thoiDiem), truong(m.tenDo), truong(m.tenDen), truong(m.suKien),
          truong(m.lyDo), truong(m.fen)})
        ra += '\t' + s;
    return ra + '\n';
}

// "20261209-164828" (and "…-2") as "2026.12.09 16:48"; "" for any other name.
std::string thoiDiemTuId(const std::string& id) {
    if (id.size() < 15 || id[8] != '-' || (id.size() > 15 && id[15] != '-')) return {};
    for (std::size_t i = 0; i < 15; ++i)
        if (i != 8 && (id[i] < '0' || id[i] > '9')) return {};
    return id.substr(0, 4) + "." + id.substr(4, 2) + "." + id.substr(6, 2) + " " + id.substr(9, 2) + ":" +
           id.substr(11, 2);
}

// A letter's small form, for the letters Vietnamese and the other Latin
// scripts write (ASCII, Latin-1, Latin Extended-A, Ơ, Ư and the Vietnamese
// block); any other character as it is.
char32_t chuNho(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x1EA0 && c <= 0x1EF9)) && c % 2 == 0)
        return c + 1;
    if (c == 0x1A0 || c == 0x1AF) return c + 1;
    return c;
}

void themUtf8(std::string& ra, char32_t c) {
    if (c < 0x80) {
        ra += static_cast<char>(c);
    } else if (c < 0x800) {
        ra += static_cast<char>(0xC0 | (c >> 6));
        ra += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        ra += static_cast<char>(0xE0 | (c >> 12));
        ra += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        ra += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text with its letters small (chuNho), to search in either case. Only
// two- and three-byte characters change; the rest is copied as it is.
std::string chuThuong(const std::string& s) {
    std::string ra;
    ra.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t dai = c < 0x80 ? 1 : doDaiUtf8(s, i);
        if (dai == 1 || dai == 2 || dai == 3) {
            char32_t ma = dai == 1 ? c : dai == 2 ? (c & 0x1F) : (c & 0x0F);
            for (std::size_t k = 1; k < dai; ++k) ma = (ma << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            themUtf8(ra, chuNho(ma));
            i += dai;
        } else {
            const std::size_t n = dai ? dai : 1;
            ra.append(s, i, n);
            i += n;
        }
    }
    return ra;
}

}  // namespace

bool LocVanDaChoi::khop(const MucVanDaChoi& m) const {
    if (!ketQua.empty() && m.ketQua != ketQua) return false;
    if (mucMay >= 0 && m.mucDo != mucMay && m.mucDen != mucMay) return false;
    if (!tim.empty()) {
        const std::string can = chuThuong(tim);
        const auto co = [&](const std::string& s) { return chuThuong(s).find(can) != std::string::npos; };
        if (!co(m.tenDo) && !co(m.tenDen) && !co(m.suKien)) return false;
    }
    return true;
}

void VanDaChoi::napChiMuc() const {
    daNapChiMuc_ = true;
    std::string noiDung;
    const fs::path tep = thuMuc_ / TEN_CHI_MUC;
    std::error_code loi;
    if (!fs::is_regular_file(fs::symlink_status(tep, loi)) ||
        nenTang::docTepThuong(tep, TOI_DA_BYTE_CHI_MUC, noiDung) != nenTang::DocTep::DUOC)
        return;
    std::size_t dau = noiDung.find('\n');
    if (dau == std::string::npos || noiDung.compare(0, dau, DAU_CHI_MUC) != 0) return;
    // A line that does not read whole is left out: its file is read again.
    for (++dau; dau < noiDung.size();) {
        std::size_t cuoi = noiDung.find('\n', dau);
        if (cuoi == std::string::npos) break;  // cut short
        MucVanDaChoi m;
        if (docDongChiMuc(noiDung.substr(dau, cuoi - dau), m)) chiMuc_[m.id] = std::move(m);
        dau = cuoi + 1;
    }
}

void VanDaChoi::ghiChiMuc() const {
    std::string ra = std::string(DAU_CHI_MUC) + '\n';
    for (const auto& [id, m] : chiMuc_) ra += dongChiMuc(m);
    // Only a shortcut: a lost or half-written index is rebuilt, so it is not
    // flushed, and the old text swapped out goes at once.
    fs::path conLai;
    if (nenTang::thayTep(thuMuc_ / TEN_CHI_MUC, ra, conLai) && !conLai.empty()) {
        std::error_code loi;
        fs::remove(conLai, loi);
    }
}

MucVanDaChoi VanDaChoi::docMuc(const std::string& id, int64_t kichThuoc, int64_t thoiGianGhi) const {
    MucVanDaChoi muc;
    muc.id = id;
    muc.kichThuoc = kichThuoc;
    muc.thoiGianGhi = thoiGianGhi;
    // A file far larger than any game is not opened: it could only slow the list.
    if (kichThuoc > static_cast<int64_t>(TOI_DA_BYTE_TEP)) {
        muc.loi = "Tệp quá lớn hoặc không phải tệp thường";
        return muc;
    }
    VanPGN van;
    muc.loi = doc(id, van);
    if (!muc.loi.empty()) return muc;
    const VanDaLuu luu = vanDaLuuTuPGN(van);
    const auto mayCam = [&](Phe phe) {
        return luu.cheDo == MAY_MAY || (luu.cheDo == NGUOI_MAY && luu.pheNguoi != phe);
    };
    muc.ngay = van.giaTri("Date");
    muc.thoiDiem = thoiDiemTuId(id);
    muc.tenDo = van.giaTri("Red");
    muc.tenDen = van.giaTri("Black");
    muc.suKien = van.giaTri("Event");
    muc.mucDo = mayCam(DO) ? luu.doKho : -1;
    muc.mucDen = mayCam(DEN) ? (luu.doKhoDen >= 0 ? luu.doKhoDen : luu.doKho) : -1;
    muc.luat = luu.luat;
    muc.ketQua = van.ketQua;
    muc.lyDo = van.lyDo;
    muc.fen = van.fen().empty() ? fenChuan() : van.fen();
    muc.soNuoc = van.nuoc.size();
    return muc;
}

std::vector<MucVanDaChoi> VanDaChoi::danhSach(std::vector<std::string>& ghiChu, const LocVanDaChoi& loc,
                                              std::size_t* tong, std::size_t* chuaDoc) const {
    const auto hetGio = std::chrono::steady_clock::now() + std::chrono::milliseconds(MILI_GIAY_DOC_TOI_DA);
    std::vector<MucVanDaChoi> ds;
    if (tong) *tong = 0;
    if (chuaDoc) *chuaDoc = 0;
    if (!dangBat()) return ds;
    struct Tep {
        int64_t thoiGian, kichThuoc;
        std::string id;
    };
    std::vector<Tep> tep;
    std::error_code loi;
    std::size_t dem = 0;
    fs::directory_iterator it(thuMuc_, loi);
    const fs::directory_iterator het;
    for (; !loi && it != het && dem < TOI_DA_MUC_THU_MUC; it.increment(loi), ++dem) {
        const std::string ten = chuoiTuDuongDan(it->path().filename());
        // Files being written (".pgn.tmp-…"), the index and anything else are not games.
        if (ten.size() <= 4 || ten.compare(ten.size() - 4, 4, DUOI) != 0) continue;
        const std::string id = ten.substr(0, ten.size() - 4);
        std::error_code loiMuc;
        if (!idHopLe(id)) {
            ghiChu.push_back("Bỏ qua tệp " + ten + ": tên tệp chỉ được có chữ không dấu, số, '-' và '_'");
        } else if (!fs::is_regular_file(it->symlink_status(loiMuc))) {
            ghiChu.push_back("Bỏ qua " + ten + ": không phải tệp thường");
        } else {
            const auto kichThuoc = it->file_size(loiMuc);
            tep.push_back({nenTang::thoiDiemGhiTep(it->path()), loiMuc ? -1 : static_cast<int64_t>(kichThuoc), id});
        }
    }
    // A folder that large is read no further: the games past it are not lost,
    // but the player is told they are not shown.
    if (!loi && it != het)
        ghiChu.push_back("Thư mục có hơn " + std::to_string(TOI_DA_MUC_THU_MUC) + " mục: chỉ xét " +
                         std::to_string(TOI_DA_MUC_THU_MUC) + " mục đầu tiên, có thể thiếu ván");
    std::sort(tep.begin(), tep.end(), [](const Tep& a, const Tep& b) {
        return a.thoiGian != b.thoiGian ? a.thoiGian > b.thoiGian : a.id > b.id;
    });

    std::lock_guard<std::mutex> k(khoaChiMuc_);
    if (!daNapChiMuc_) napChiMuc();
    bool doi = false;
    std::map<std::string, MucVanDaChoi> conThay;
    std::size_t soKhop = 0, soChuaDoc = 0, soDaDoc = 0;
    for (const Tep& t : tep) {
        auto cu = chiMuc_.find(t.id);
        MucVanDaChoi muc;
        // The index is believed only for the very file it read.
        if (cu != chiMuc_.end() && t.kichThuoc >= 0 && cu->second.kichThuoc == t.kichThuoc &&
            cu->second.thoiGianGhi == t.thoiGian) {
            muc = std::move(cu->second);
        } else if (soDaDoc == 0 || std::chrono::steady_clock::now() < hetGio) {
            // At least one file each time: on a machine slow enough to spend
            // the whole budget before the first file, the list still fills.
            muc = docMuc(t.id, t.kichThuoc, t.thoiGian);
            ++soDaDoc;
            doi = true;
        } else {
            ++soChuaDoc;
            continue;
        }
        if (!muc.loi.empty()) {
            ghiChu.push_back("Bỏ qua tệp " + t.id + DUOI + ": " + muc.loi);
        } else if (loc.khop(muc)) {
            if (++soKhop <= TOI_DA_DANH_SACH) ds.push_back(muc);
        }
        conThay.emplace(t.id, std::move(muc));
    }
    // Entries of files gone are dropped with them.
    if (conThay.size() != chiMuc_.size()) doi = true;
    chiMuc_ = std::move(conThay);
    if (doi) ghiChiMuc();
    if (soKhop > TOI_DA_DANH_SACH)
        ghiChu.push_back("Chỉ hiện " + std::to_string(TOI_DA_DANH_SACH) + " ván mới nhất trong " +
                         std::to_string(soKhop) + " ván");
    if (soChuaDoc)
        ghiChu.push_back("Đang đọc các ván: còn " + std::to_string(soChuaDoc) + " tệp chưa đọc, danh sách sẽ đủ sau ít giây");
    if (tong) *tong = soKhop;
    if (chuaDoc) *chuaDoc = soChuaDoc;
    return ds;
}
