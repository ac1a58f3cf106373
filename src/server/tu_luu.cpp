#include "tu_luu.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "nen_tang.h"

namespace {

// Removes a file swapped out from beside the kept one: our own text, or a
// link someone had put in the file's place (the link goes, never what it
// points to). Anything else found there under that name is not ours.
void xoaBenCanh(const std::filesystem::path& p) {
    std::error_code loi;
    const auto tt = std::filesystem::symlink_status(p, loi);
    if (std::filesystem::is_regular_file(tt) || std::filesystem::is_symlink(tt)) std::filesystem::remove(p, loi);
}

// How long a change may wait in the system's cache before it is flushed,
// which bounds what a power cut can lose.
constexpr auto GOM_THAY_DOI = std::chrono::milliseconds(500);

}  // namespace

TuLuu::~TuLuu() {
    if (!luong_.joinable()) return;
    {
        std::lock_guard<std::mutex> k(khoa_);
        dung_ = true;
    }
    coViec_.notify_all();
    luong_.join();
}

void TuLuu::batDau(const std::filesystem::path& tep) {
    if (luong_.joinable()) return;
    tep_ = tep;
    // Before any change can be written, so that none is overwritten by it.
    khoiPhucTep();
    luong_ = std::thread(&TuLuu::vongDongBo, this);
}

bool TuLuu::ghi(const std::string& vanBan) {
    if (!luong_.joinable()) return false;
    if (vanBan == daGhi_) return true;
    std::filesystem::path conLai;
    bool ok = nenTang::thayTep(tep_, vanBan, conLai);
    if (!ok) {
        std::lock_guard<std::mutex> k(dangDongBo_);
        ok = nenTang::thayTep(tep_, vanBan, conLai);
    }
    if (!ok) return false;
    daGhi_ = vanBan;
    {
        std::lock_guard<std::mutex> k(khoa_);
        canDongBo_ = true;
        // The first text swapped out since the last flush is the one the
        // device holds: kept until a newer one is there. Those after it never
        // reached the device and are of no use after a power cut; the thread
        // removes them at once, so that quick changes do not pile files up.
        if (!conLai.empty()) (conLai_.empty() ? conLai_ : boNgay_).push_back(std::move(conLai));
    }
    coViec_.notify_one();
    return true;
}

void TuLuu::xoaBoNgay(std::unique_lock<std::mutex>& k) {
    while (!boNgay_.empty()) {
        std::vector<std::filesystem::path> xoa;
        xoa.swap(boNgay_);
        k.unlock();
        for (const auto& p : xoa) xoaBenCanh(p);
        k.lock();
    }
}

void TuLuu::vongDongBo() {
    donTepCu();
    std::unique_lock<std::mutex> k(khoa_);
    for (;;) {
        coViec_.wait(k, [this] { return canDongBo_ || !boNgay_.empty() || dung_; });
        xoaBoNgay(k);
        if (!canDongBo_) {
            if (dung_) return;
            continue;
        }
        // The changes of the next moment go to the device with this one:
        // a flush costs the device's time whatever it carries. A stop
        // flushes what is pending at once.
        const auto han = std::chrono::steady_clock::now() + GOM_THAY_DOI;
        while (!dung_ && coViec_.wait_until(k, han, [this] { return dung_ || !boNgay_.empty(); })) xoaBoNgay(k);
        xoaBoNgay(k);
        canDongBo_ = false;
        std::vector<std::filesystem::path> cu;
        cu.swap(conLai_);
        k.unlock();
        bool daXuong;
        {
            std::lock_guard<std::mutex> dangLam(dangDongBo_);
            daXuong = nenTang::dongBoTep(tep_);
        }
        // The older texts go only once a newer one is safe.
        if (daXuong)
            for (const auto& p : cu) xoaBenCanh(p);
        k.lock();
        if (!daXuong) conLai_.insert(conLai_.end(), cu.begin(), cu.end());
    }
}

namespace {

bool docMot(const std::filesystem::path& p, VanDaLuu& van) {
    std::string noiDung;
    if (nenTang::docTepThuong(p, TOI_DA_BYTE_TEP, noiDung) != nenTang::DocTep::DUOC) return false;
    std::istringstream vao(std::move(noiDung));
    return docVanDaLuu(vao, van);
}

// The texts left beside the file (swapped out, or written by a program that
// was killed before it could put them in place), newest first; with
// `lienKet`, the links swapped out of the file's place as well (dated now:
// a link's own time is not to be had here, and none is any program's work).
std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> tepBenCanh(
    const std::filesystem::path& tep, bool lienKet = false) {
    namespace fs = std::filesystem;
    const std::string dau = tep.filename().string() + ".tmp-";
    std::vector<std::pair<fs::file_time_type, fs::path>> ds;
    std::error_code loi;
    for (fs::directory_iterator it(tep.parent_path(), loi), het; !loi && it != het; it.increment(loi)) {
        std::error_code loiMuc;
        if (it->path().filename().string().rfind(dau, 0) != 0) continue;
        if (it->is_symlink(loiMuc)) {
            if (lienKet) ds.emplace_back(fs::file_time_type::min(), it->path());
        } else if (it->is_regular_file(loiMuc)) {
            ds.emplace_back(it->last_write_time(loiMuc), it->path());
        }
    }
    std::sort(ds.begin(), ds.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return ds;
}

}  // namespace

bool TuLuu::docVanDaGiu(const std::filesystem::path& tep, VanDaLuu& van) {
    if (docMot(tep, van)) return true;
    for (const auto& [thoiGian, p] : tepBenCanh(tep))
        if (docMot(p, van)) return true;
    return false;
}

void TuLuu::khoiPhucTep() {
    // A file a power cut left unreadable is replaced by the newest earlier
    // text that reads, so that those beside it can go without losing it.
    VanDaLuu van;
    if (docMot(tep_, van)) return;
    for (const auto& [thoiGian, p] : tepBenCanh(tep_)) {
        std::string noiDung;
        if (!docMot(p, van) || nenTang::docTepThuong(p, TOI_DA_BYTE_TEP, noiDung) != nenTang::DocTep::DUOC) continue;
        std::filesystem::path hong;
        if (nenTang::thayTep(tep_, noiDung, hong) && nenTang::dongBoTep(tep_) && !hong.empty()) xoaBenCanh(hong);
        return;
    }
}

void TuLuu::donTepCu() {
    // Only those a minute old: a second program may be writing one of its
    // own right now. The file itself reads whole by now (khoiPhucTep),
    // unless nothing beside it did either, or putting that in its place
    // failed: then a text that reads as a game is the only copy, and stays.
    VanDaLuu van;
    const bool tepDoc = docMot(tep_, van);
    const auto han = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1);
    for (const auto& [thoiGian, p] : tepBenCanh(tep_, true))
        if (thoiGian < han && (tepDoc || !docMot(p, van))) xoaBenCanh(p);
}
