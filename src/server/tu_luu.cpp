#include "tu_luu.h"

#include "nen_tang.h"

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
    luong_ = std::thread(&TuLuu::vongDongBo, this);
}

bool TuLuu::ghi(const std::string& vanBan) {
    if (!luong_.joinable()) return false;
    if (vanBan == daGhi_) return true;
    bool ok = nenTang::thayTep(tep_, vanBan);
    if (!ok) {
        std::lock_guard<std::mutex> k(dangDongBo_);
        ok = nenTang::thayTep(tep_, vanBan);
    }
    if (!ok) return false;
    daGhi_ = vanBan;
    {
        std::lock_guard<std::mutex> k(khoa_);
        canDongBo_ = true;
    }
    coViec_.notify_one();
    return true;
}

void TuLuu::vongDongBo() {
    std::unique_lock<std::mutex> k(khoa_);
    for (;;) {
        coViec_.wait(k, [this] { return canDongBo_ || dung_; });
        // A stop flushes what is still pending first.
        if (!canDongBo_) return;
        canDongBo_ = false;
        k.unlock();
        {
            std::lock_guard<std::mutex> dangLam(dangDongBo_);
            nenTang::dongBoTep(tep_);
        }
        k.lock();
    }
}
