#pragma once
#include <string>
#include <vector>

// What one reply may look like. The server answers with one of a few exact
// forms; anything else, or a reply that carries the secret placed beside the
// web root, is a fault.
struct MongDoi {
    bool phaiTraLoi = false;  // an empty reply (closed unanswered) is a fault
    int ma = 0;               // the status it must have; 0 for any the server uses
    std::string than;         // the exact body it must have, when not empty
};

class KiemPhanHoi {
public:
    // `noiDungTep`: the bytes of every file in the web root; `biMat`: the
    // content of a file outside it.
    KiemPhanHoi(std::vector<std::string> noiDungTep, std::string biMat);

    // Empty when `tho` (every byte received) is acceptable, else why not.
    std::string kiem(const std::string& tho, const MongDoi& mongDoi) const;

    // The exact refusal bodies of the API, of an unknown command, of a method
    // other than GET and of a missing file.
    static const std::vector<std::string>& tuChoiAPI();
    static const char* const API_KHONG_TON_TAI;
    static const char* const CHI_HO_TRO_GET;
    static const char* const KHONG_TIM_THAY;
    static const char* const DA_LUU;

private:
    std::vector<std::string> noiDungTep_;
    std::string biMat_;

    std::string kiemDau(const std::string& tho, int& ma, std::string& loai, std::string& than) const;
    std::string kiemThan(int ma, const std::string& loai, const std::string& than) const;
    static std::string kiemJSON(const std::string& than);
};
