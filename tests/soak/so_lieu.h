#pragma once
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "yeu_cau_ngau_nhien.h"

// The run's figures and faults, shared by every thread.
struct SoLieu {
    static constexpr int SO_LOAI = static_cast<int>(Loai::SO_LOAI);
    std::array<std::atomic<uint64_t>, SO_LOAI> gui{};      // requests sent, by kind
    std::array<std::atomic<uint64_t>, SO_LOAI> coTraLoi{}; // of them answered
    std::array<std::atomic<uint64_t>, SO_LOAI> loi{};      // of them faulty
    std::atomic<uint64_t> dieuKhien{0};  // requests of the game driver
    std::atomic<uint64_t> nuocMay{0};    // computer moves seen played
    std::atomic<uint64_t> vanXong{0};    // games seen finished
    std::atomic<uint64_t> daLuu{0}, daTai{0};
    std::atomic<uint64_t> docTepLuu{0}, tepLuuDayDu{0}, taiKiem{0};
    std::atomic<uint64_t> tongLoi{0};

    // Records a fault; the first few are kept word for word.
    void baoLoi(const std::string& loi) {
        ++tongLoi;
        std::lock_guard<std::mutex> k(khoa_);
        if (dsLoi_.size() < 30) dsLoi_.push_back(loi);
    }
    std::vector<std::string> dsLoi() {
        std::lock_guard<std::mutex> k(khoa_);
        return dsLoi_;
    }

private:
    std::mutex khoa_;
    std::vector<std::string> dsLoi_;
};

// Printable start of a request or reply: control and high bytes as \xNN.
inline std::string inDuoc(const std::string& s, size_t toiDa = 160) {
    std::string ra;
    static const char hex[] = "0123456789abcdef";
    for (size_t i = 0; i < s.size() && i < toiDa; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 32 && c < 127) {
            ra += static_cast<char>(c);
        } else {
            ra += "\\x";
            ra += hex[c >> 4];
            ra += hex[c & 15];
        }
    }
    if (s.size() > toiDa) ra += "...(" + std::to_string(s.size()) + " bytes)";
    return ra;
}
