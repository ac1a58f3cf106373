#include "yeu_cau_ngau_nhien.h"

#include <vector>

namespace {

using DongHo = std::chrono::steady_clock;

// Game-changing commands at most this often, across all clients.
constexpr int64_t KHOANG_PHA_MILI = 8000;

int64_t bayGioMili() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(DongHo::now().time_since_epoch()).count();
}

MongDoi traLoi(int ma, std::string than = {}) { return MongDoi{true, ma, std::move(than)}; }

}  // namespace

const char* tenLoai(Loai l) {
    static const char* const ten[] = {"api",  "bad-params", "unknown-api", "method",  "file",
                                      "path", "garbage",    "half",        "trickle", "closed"};
    return ten[static_cast<int>(l)];
}

std::string yeuCauGet(const std::string& dich) { return "GET " + dich + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"; }

TaoYeuCau::TaoYeuCau(uint64_t hat, const std::vector<TepWeb>& tep, std::string tuyetDoiBiMat,
                     std::atomic<int64_t>& lanPhaCuoi)
    : ngau_(hat), tep_(tep), tuyetDoiBiMat_(std::move(tuyetDoiBiMat)), lanPhaCuoi_(lanPhaCuoi) {}

YeuCauThu TaoYeuCau::tao() {
    // Weights per kind, in the order of Loai; slow kinds are rare because the
    // server serves one connection at a time.
    static const int trongSo[] = {40, 12, 6, 6, 10, 8, 6, 5, 2, 5};
    int r = so(0, 99);
    int k = 0;
    while (r >= trongSo[k]) r -= trongSo[k++];
    switch (static_cast<Loai>(k)) {
        case Loai::API: return api();
        case Loai::THAM_SO_XAU: return thamSoXau();
        case Loai::API_LA: return apiLa();
        case Loai::PHUONG_THUC: return phuongThuc();
        case Loai::TEP: return tepWeb();
        case Loai::DUONG_DAN: return duongDan();
        case Loai::RAC: return rac();
        case Loai::NUA_CHUNG: return nuaChung();
        case Loai::NHO_GIOT: return nhoGiot();
        default: return dongNgang();
    }
}

std::string TaoYeuCau::chuoiRac(size_t dai) {
    std::string s(dai, '\0');
    for (char& c : s) c = static_cast<char>(so(0, 255));
    return s;
}

bool TaoYeuCau::duocPha() {
    int64_t cuoi = lanPhaCuoi_.load();
    const int64_t bayGio = bayGioMili();
    return bayGio - cuoi >= KHOANG_PHA_MILI && lanPhaCuoi_.compare_exchange_strong(cuoi, bayGio);
}

YeuCauThu TaoYeuCau::api() {
    const int r = so(0, 99);
    std::string dich = "/api/trangthai";
    MongDoi md = traLoi(200);
    if (r < 35) {
    } else if (r < 42) {
        dich = "/api/bochon";
    } else if (r < 57) {
        dich = "/api/cham?hang=" + std::to_string(so(0, 9)) + "&cot=" + std::to_string(so(0, 8));
    } else if (r < 62) {
        dich = "/api/goiy";
    } else if (r < 75) {
        dich = "/api/luu";
        md.than = KiemPhanHoi::DA_LUU;
    } else if (r < 82) {
        dich = "/api/tieptuc";
    } else if (r < 85) {
        if (duocPha()) dich = "/api/tai";
    } else if (r < 88) {
        if (duocPha()) dich = "/api/huy";
    } else if (r < 91) {
        static const char* const giay[] = {"0", "0", "1", "3", "600"};
        static const char* const chap[] = {"", "DEN:Xe", "DO:Ma,DEN:Phao", "1:Xe,2:Xe"};
        if (duocPha())
            dich = std::string("/api/vanmoi?cheDo=MM&doKho=DE&giay=") + giay[so(0, 4)] + "&chap=" + chap[so(0, 3)];
    } else if (r < 94) {
        static const char* const lenh[] = {"/api/tamdung", "/api/xinthua", "/api/vantruoc", "/api/khoiphuc"};
        if (duocPha()) dich = lenh[so(0, 3)];
    } else if (r < 97) {
        // The analysis thread, started, switched, polled and stopped among the game's requests.
        static const char* const lenh[] = {
            "/api/phantich?fen=rnbakabnr%2F9%2F1c5c1%2Fp1p1p1p1p%2F9%2F9%2FP1P1P1P1P%2F1C5C1%2F9%2FRNBAKABNR+w&dong=",
            "/api/phantich?fen=4k4%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2FR8%2F3K4R+w&dong=",
            "/api/phantich?fen=4k4%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F4K4+w&dong=",
            "/api/phantich?dong=",
            "/api/phantich?dung=1&dong=",
            "/api/danhgiavan?fen=rnbakabnr%2F9%2F1c5c1%2Fp1p1p1p1p%2F9%2F9%2FP1P1P1P1P%2F1C5C1%2F9%2FRNBAKABNR+w"
            "&nuoc=h2e2,h9g7,h0g2&dong=",
            // The review board's questions: a lone position's moves, a kept game read.
            "/api/nuochople?fen=3k5%2F3R5%2F3R5%2F9%2F9%2F9%2F9%2F9%2F9%2F4K4+b&x=",
            "/api/nuochople?fen=4k4%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2F4K4+w&x=",
            "/api/nuochople?fen=4k4%2F9%2F9%2F9%2F9%2F9%2F9%2F9%2FR8%2F3K4R+w&x=",
            "/api/vandachoi?xem=",
        };
        dich = lenh[so(0, 9)] + std::to_string(so(0, 4));
    } else {
        dich = "/api/trangthai?x=1&&y";
    }
    return {Loai::API, CachGui::MOT_LAN, yeuCauGet(dich), md};
}

YeuCauThu TaoYeuCau::thamSoXau() {
    static const char* const xau[] = {"abc", "-1", "10", "9", "%ZZ", "1e99", "99999999999999999999999", "+3",
                                      "%20%204", "", "%00", "0x5", "4.5", "-0", "2147483648", "%2d1", "%"};
    auto motXau = [&] { return std::string(xau[so(0, 16)]); };
    std::string dich;
    switch (so(0, 6)) {
        case 0: dich = "/api/cham?hang=" + motXau() + "&cot=" + motXau(); break;
        case 1: dich = "/api/cham?hang=1&cot=" + std::string(static_cast<size_t>(so(100, 12000)), '9'); break;
        case 2: {
            dich = "/api/trangthai?";
            for (int i = so(100, 2500); i > 0; --i) dich += "a=1&";
            break;
        }
        case 3: {
            dich = "/api/bochon?";
            static const char hex[] = "0123456789abcdef";
            for (int i = so(1, 300); i > 0; --i) dich += std::string("%") + hex[so(0, 15)] + hex[so(0, 15)];
            dich += "=%ff";
            break;
        }
        case 4:
            if (duocPha()) {
                dich = "/api/vanmoi?cheDo=MM&doKho=DE&doKhoDen=DE&giay=" + motXau() + "&pheNguoi=" + motXau() +
                       "&chap=::,:,DO:,:Xe,DEN:Tuong,DO:Khong," + std::string(static_cast<size_t>(so(0, 3000)), ',') +
                       "&z=" + std::string(static_cast<size_t>(so(0, 5000)), 'z');
            } else {
                dich = "/api/tieptuc?giay=" + motXau();
            }
            break;
        case 5: dich = "/api/cham?hang=\xff\xfe&cot=\x80\x01\x7f"; break;
        default: dich = "/api/trangthai???&&&===&=&" + std::string(static_cast<size_t>(so(0, 200)), '='); break;
    }
    return {Loai::THAM_SO_XAU, CachGui::MOT_LAN, yeuCauGet(dich), traLoi(200)};
}

YeuCauThu TaoYeuCau::apiLa() {
    static const char* const ten[] = {"", "xyz", "TRANGTHAI", "trangthai/", "trangthai%00", "luu.json",
                                      "../api/trangthai", "goiY", "vanmoi/", " "};
    std::string lenh = ten[so(0, 9)];
    if (co(20)) {
        lenh.clear();
        for (int i = so(1, 300); i > 0; --i) lenh += static_cast<char>('a' + so(0, 25));
    }
    if (lenh == " ") lenh = "%20";
    return {Loai::API_LA, CachGui::MOT_LAN, yeuCauGet("/api/" + lenh),
            traLoi(404, KiemPhanHoi::API_KHONG_TON_TAI)};
}

YeuCauThu TaoYeuCau::phuongThuc() {
    static const char* const pt[] = {"POST", "PUT", "DELETE", "HEAD", "OPTIONS", "PATCH", "TRACE", "get", "Get", "GETT"};
    static const char* const dich[] = {"/api/luu", "/", "/index.html", "/api/vanmoi?cheDo=NN", "/../bi_mat.txt"};
    std::string du = std::string(pt[so(0, 9)]) + " " + dich[so(0, 4)] + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    du += co(50) ? "Content-Length: 5\r\n\r\nhello" : "\r\n";
    return {Loai::PHUONG_THUC, CachGui::MOT_LAN, du, traLoi(405, KiemPhanHoi::CHI_HO_TRO_GET)};
}

YeuCauThu TaoYeuCau::tepWeb() {
    const int r = so(0, 99);
    if (r < 60) {
        const TepWeb& t = tep_[static_cast<size_t>(so(0, static_cast<int>(tep_.size()) - 1))];
        const std::string dich = std::string(t.ten) == "index.html" && co(50) ? "/" : std::string("/") + t.ten;
        return {Loai::TEP, CachGui::MOT_LAN, yeuCauGet(dich), traLoi(200, t.noiDung)};
    }
    if (r < 85) {
        static const char* const thieu[] = {"/khong_co.html", "/sub", "/sub/", "/index.htm", "/INDEX.HTML",
                                            "/index.html/", "/api", "/%69ndex.html"};
        return {Loai::TEP, CachGui::MOT_LAN, yeuCauGet(thieu[so(0, 7)]), traLoi(404, KiemPhanHoi::KHONG_TIM_THAY)};
    }
    return {Loai::TEP, CachGui::MOT_LAN, yeuCauGet("/favicon.ico"), traLoi(204)};
}

YeuCauThu TaoYeuCau::duongDan() {
    static const char* const meo[] = {
        "/../bi_mat.txt", "/%2e%2e/bi_mat.txt", "/.%2e/bi_mat.txt", "/%252e%252e/bi_mat.txt",
        "/%c0%ae%c0%ae/bi_mat.txt", "/\xc0\xae\xc0\xae/bi_mat.txt", "/..\\bi_mat.txt", "/C:/bi_mat.txt",
        "/..%00/bi_mat.txt", "/sub/../../bi_mat.txt", "/api/../bi_mat.txt", "/..%2fbi_mat.txt"};
    const int r = so(0, 13);
    std::string dich;
    if (r < 12) dich = meo[r];
    else if (r == 12) dich = tuyetDoiBiMat_;
    else dich.append("/").append(static_cast<size_t>(so(256, 6000)), 'a').append("/../bi_mat.txt");
    return {Loai::DUONG_DAN, CachGui::MOT_LAN, yeuCauGet(dich), traLoi(404)};
}

YeuCauThu TaoYeuCau::rac() {
    YeuCauThu yc{Loai::RAC, CachGui::MOT_LAN, {}, MongDoi{}};
    switch (so(0, 3)) {
        case 0: yc.du = chuoiRac(static_cast<size_t>(so(0, 3000))); break;
        case 1: yc.du = chuoiRac(static_cast<size_t>(so(0, 3000))) + "\r\n\r\n"; break;
        case 2: {
            std::string s = "GET ";
            for (int i = so(0, 200); i > 0; --i) s += static_cast<char>(so(32, 126));
            yc.du = s + "\r\n\r\n";
            break;
        }
        default: yc.du = chuoiRac(20000); break;  // beyond the server's read cap
    }
    return yc;
}

YeuCauThu TaoYeuCau::nuaChung() {
    static const char* const dich[] = {"/api/trangthai", "/api/luu", "/index.html", "/api/cham?hang=9&cot=0"};
    const std::string du = yeuCauGet(dich[so(0, 3)]);
    YeuCauThu yc{Loai::NUA_CHUNG, co(50) ? CachGui::NUA_ROI_DONG_GUI : CachGui::NUA_ROI_CHO,
                 du.substr(0, static_cast<size_t>(so(1, static_cast<int>(du.size()) - 1))), MongDoi{}};
    // Once the request line is whole the server answers from it.
    yc.mongDoi.phaiTraLoi = yc.du.find("\r\n") != std::string::npos;
    return yc;
}

YeuCauThu TaoYeuCau::nhoGiot() {
    return {Loai::NHO_GIOT, CachGui::NHO_GIOT, yeuCauGet(co(50) ? "/api/trangthai" : "/index.html"), MongDoi{}};
}

YeuCauThu TaoYeuCau::dongNgang() {
    static const char* const dich[] = {"/api/trangthai", "/lon.bin", "/api/luu", "/"};
    const int r = so(0, 2);
    const CachGui cach = r == 0 ? CachGui::CHI_KET_NOI : r == 1 ? CachGui::KHONG_DOC : CachGui::DAT_LAI;
    return {Loai::DONG_NGANG, cach, yeuCauGet(dich[so(0, 3)]), MongDoi{}};
}
