#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "kiem_phan_hoi.h"

// The kinds of request in the mix, for the figures.
enum class Loai {
    API,           // a known command with sensible parameters
    THAM_SO_XAU,   // a known command with bad, huge or hostile parameters
    API_LA,        // an unknown command
    PHUONG_THUC,   // a method other than GET
    TEP,           // a static file, present or missing
    DUONG_DAN,     // a traversal trick aimed at the secret
    RAC,           // random bytes
    NUA_CHUNG,     // a request cut short
    NHO_GIOT,      // a request sent a few bytes at a time
    DONG_NGANG,    // the client closes without reading
    SO_LOAI
};
const char* tenLoai(Loai l);

// How the bytes go out.
enum class CachGui {
    MOT_LAN,          // all at once, then read to the end
    NUA_ROI_DONG_GUI, // a prefix, then shut the sending side, then read
    NUA_ROI_CHO,      // a prefix, then read (the server's own time-out ends it)
    NHO_GIOT,         // a few bytes at a time with pauses, then read
    KHONG_DOC,        // all at once, then close without reading
    DAT_LAI,          // all at once, then reset the connection
    CHI_KET_NOI,      // connect and close at once
};

struct YeuCauThu {
    Loai loai = Loai::API;
    CachGui cach = CachGui::MOT_LAN;
    std::string du;
    MongDoi mongDoi;
};

// The web root the soak server gets: name and bytes of each file.
struct TepWeb {
    const char* ten;
    std::string noiDung;
};

// Draws requests. Commands that change the game (load, new game, undo) are
// rationed across all clients through `lanPhaCuoi`, so that the
// computer-against-computer game keeps playing between them.
class TaoYeuCau {
public:
    TaoYeuCau(uint64_t hat, const std::vector<TepWeb>& tep, std::string tuyetDoiBiMat,
              std::atomic<int64_t>& lanPhaCuoi);
    YeuCauThu tao();

private:
    std::mt19937_64 ngau_;
    const std::vector<TepWeb>& tep_;
    std::string tuyetDoiBiMat_;
    std::atomic<int64_t>& lanPhaCuoi_;

    int so(int nho, int lon) { return std::uniform_int_distribution<int>(nho, lon)(ngau_); }
    bool co(int phanTram) { return so(0, 99) < phanTram; }
    std::string chuoiRac(size_t dai);
    bool duocPha();

    YeuCauThu api();
    YeuCauThu thamSoXau();
    YeuCauThu apiLa();
    YeuCauThu phuongThuc();
    YeuCauThu tepWeb();
    YeuCauThu duongDan();
    YeuCauThu rac();
    YeuCauThu nuaChung();
    YeuCauThu nhoGiot();
    YeuCauThu dongNgang();
};

// "GET <dich> HTTP/1.1" with a Host line and the blank line.
std::string yeuCauGet(const std::string& dich);
