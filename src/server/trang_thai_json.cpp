// The game-state document: every key, always, in a fixed order, no spaces.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "phien_van.h"
#include "json_viet.h"

namespace {

const char* tenPhe(Phe p) { return p == DO ? "DO" : "DEN"; }

const char* tenCheDo(CheDo c) {
    if (c == NGUOI_NGUOI) return "NGUOI_NGUOI";
    if (c == NGUOI_MAY) return "NGUOI_MAY";
    return "MAY_MAY";
}

const char* tenKetQua(KetQua k) {
    if (k == DANG_CHOI) return "DANG_CHOI";
    if (k == DO_THANG) return "DO_THANG";
    if (k == DEN_THANG) return "DEN_THANG";
    return "HOA";
}

std::string chuBool(bool b) { return b ? "true" : "false"; }

// Only a game under the Asian rules names its rule set, the cycle a
// repetition ruling judged (indexes of its first and last moves in
// lichSu), and the moves of the side to move that would lose by the rules.
std::string jsonLuatChauA(VanCo& van) {
    std::string ra = ",\"luat\":\"CHAU_A\"";
    if (van.chuKyTu >= 0)
        ra += ",\"chuKy\":{\"tu\":" + std::to_string(van.chuKyTu) + ",\"den\":" + std::to_string(van.chuKyDen) + "}";
    ra += ",\"nuocPhamLuat\":[";
    bool dau = true;
    for (const auto& [n, viPham] : van.nuocPhamLuatLap()) {
        if (!dau) ra += ",";
        dau = false;
        ra += "{\"hd\":" + std::to_string(n.hangDi) + ",\"cd\":" + std::to_string(n.cotDi) + ",\"hc\":" +
              std::to_string(n.hangDen) + ",\"cc\":" + std::to_string(n.cotDen) + ",\"loai\":\"" +
              (viPham == ViPham::CHIEU_DAI ? "CHIEU_DAI" : "DUOI_DAI") + "\"}";
    }
    return ra + "]";
}

std::string jsonChap(const VanCo& van) {
    std::string ra = "[";
    for (size_t i = 0; i < van.chap.size(); ++i) {
        if (i) ra += ',';
        ra += std::string("{\"phe\":\"") + tenPhe(van.chap[i].first) + "\",\"ten\":" + chuoiJSON(van.chap[i].second) + "}";
    }
    return ra + "]";
}

std::string jsonBanCo(const BanCo& ban) {
    std::string ra = "[";
    for (size_t i = 0; i < ban.dsQuan.size(); ++i) {
        const QuanCo& q = *ban.dsQuan[i];
        if (i) ra += ',';
        ra += "{\"h\":" + std::to_string(q.hang) + ",\"c\":" + std::to_string(q.cot) + ",\"phe\":\"" + tenPhe(q.phe) +
              "\",\"loai\":" + std::to_string(q.loai()) + ",\"ten\":" + chuoiJSON(q.ten()) + ",\"ve\":" + chuoiJSON(q.ve()) +
              "}";
    }
    return ra + "]";
}

// "quanChon" and "nuocDen": the selected piece and its legal destinations.
std::string jsonQuanChon(VanCo& van) {
    const QuanCo* chon = van.banCo.quanChon;
    if (!chon) return ",\"quanChon\":null,\"nuocDen\":[]";
    const int h = chon->hang, c = chon->cot;
    std::string ra = ",\"quanChon\":{\"h\":" + std::to_string(h) + ",\"c\":" + std::to_string(c) + "},\"nuocDen\":[";
    bool dau = true;
    for (const NuocDi& n : van.banCo.nuocDiHopLe(van.luot)) {
        if (n.hangDi != h || n.cotDi != c) continue;
        if (!dau) ra += ',';
        dau = false;
        ra += '[';
        ra += std::to_string(n.hangDen);
        ra += ',';
        ra += std::to_string(n.cotDen);
        ra += ']';
    }
    return ra + "]";
}

std::string jsonLichSu(const VanCo& van) {
    std::string ra = "[";
    for (size_t i = 0; i < van.lichSu.size(); ++i) {
        if (i) ra += ',';
        ra += chuoiJSON(van.lichSu[i]);
    }
    return ra + "]";
}

// Whether the saved game can be opened for reading now. On Linux a directory
// of that name also "opens" as a stream, yet can never be loaded.
bool coTepLuu() {
    std::error_code loi;
    if (!std::filesystem::is_regular_file(TEN_TEP_LUU, loi)) return false;
    std::ifstream tep(TEN_TEP_LUU, std::ios::binary);
    return static_cast<bool>(tep);
}

// The clock's increment, only when the game has one.
std::string jsonTang(int giay) { return giay > 0 ? ",\"tang\":" + std::to_string(giay) : std::string(); }
// The tags an imported game keeps ("the"), and whether it waits to be
// listed ("nhapChuaLuu"): only such games have them.
std::string jsonTheNhap(const VanCo& van) {
    std::string s;
    if (!van.theNhap.empty()) {
        s += ",\"the\":{";
        for (std::size_t i = 0; i < van.theNhap.size(); ++i) {
            if (i) s += ',';
            s += chuoiJSON(van.theNhap[i].first);
            s += ':';
            s += chuoiJSON(van.theNhap[i].second);
        }
        s += "}";
    }
    if (van.nhapChuaDung) s += ",\"nhapChuaLuu\":true";
    return s;
}

}  // namespace

std::string PhienVan::trangThaiJSON() {
    // First, so that a side whose time ran out between requests has lost
    // before anything is read.
    van.capNhatDongHo();
    std::string s = "{\"ok\":true";
    s += ",\"phienBan\":" + std::to_string(phienBan);
    s += std::string(",\"cheDo\":\"") + tenCheDo(van.cheDo) + "\"";
    s += std::string(",\"doKhoDo\":\"") + tenDoKho(doKhoDo) + "\"";
    s += std::string(",\"doKhoDen\":\"") + tenDoKho(doKhoDen) + "\"";
    s += std::string(",\"pheNguoi\":\"") + tenPhe(van.pheNguoi) + "\"";
    s += std::string(",\"luot\":\"") + tenPhe(van.luot) + "\"";
    s += ",\"nuocThu\":" + std::to_string(van.nuocThu);
    s += ",\"coBanLuu\":" + chuBool(coTepLuu());
    s += std::string(",\"ketQua\":\"") + tenKetQua(van.ketQua) + "\"";
    s += ",\"lyDo\":" + chuoiJSON(van.lyDo);
    s += ",\"chap\":" + jsonChap(van);
    s += ",\"banCo\":" + jsonBanCo(van.banCo);
    s += jsonQuanChon(van);
    s += ",\"mayDangNghi\":" + chuBool(henChay || dangNghi);
    s += ",\"tamDungMay\":" + chuBool(van.tamDung);
    s += ",\"dangChieu\":" + chuBool(van.banCo.biChieu(van.luot));
    if (coThongKe) {
        s += ",\"thongKeMay\":{\"co\":true,\"doSau\":" + std::to_string(thongKe.doSau) + ",\"giay\":" +
             soHaiLe(thongKe.giay) + ",\"soNut\":" + std::to_string(thongKe.soNut) + ",\"diem\":" +
             std::to_string(thongKe.diem) + "}";
    } else {
        s += ",\"thongKeMay\":{\"co\":false,\"doSau\":0,\"giay\":0,\"soNut\":0,\"diem\":0}";
    }
    s += ",\"moTaCuoi\":" + chuoiJSON(van.getMoTaCuoi());
    s += ",\"lichSu\":" + jsonLichSu(van);
    if (coGoiY) {
        s += ",\"goiY\":{\"hd\":" + std::to_string(goiY.hangDi) + ",\"cd\":" + std::to_string(goiY.cotDi) +
             ",\"hc\":" + std::to_string(goiY.hangDen) + ",\"cc\":" + std::to_string(goiY.cotDen) + "}";
    } else {
        s += ",\"goiY\":null";
    }
    s += ",\"dongHo\":{\"bat\":" + chuBool(van.dongHo.bat) + ",\"giayMoiBen\":" + std::to_string(van.giayMoiBen) +
         ",\"do\":" + soHaiLe(van.dongHo.giayConLai(DO)) + ",\"den\":" + soHaiLe(van.dongHo.giayConLai(DEN)) +
         jsonTang(van.giayTang) + "}";
    // Only a game from a set-up position has it: the page replays past
    // positions and numbers the moves from there.
    if (!van.fenDau.empty()) s += ",\"fenDau\":" + chuoiJSON(van.fenDau);
    if (van.luat == CHAU_A) s += jsonLuatChauA(van);
    s += jsonTheNhap(van);
    return s + "}";
}

std::string PhienVan::moTaVanTruoc(const VanDaLuu& v) {
    const DoKho doKhoDen = static_cast<DoKho>(v.doKhoDen >= 0 ? v.doKhoDen : v.doKho);
    return "{\"ok\":true,\"co\":true,\"soNuoc\":" + std::to_string(v.nuoc.size()) + ",\"cheDo\":\"" +
           tenCheDo(static_cast<CheDo>(v.cheDo)) + "\",\"doKhoDo\":\"" + tenDoKho(static_cast<DoKho>(v.doKho)) +
           "\",\"doKhoDen\":\"" + tenDoKho(doKhoDen) + "\",\"pheNguoi\":\"" + tenPhe(static_cast<Phe>(v.pheNguoi)) +
           "\",\"giayMoiBen\":" + std::to_string(std::max(0, v.giayCaiDat())) +
           jsonTang(v.giayCaiDat() > 0 ? v.tang : 0) + "}";
}
