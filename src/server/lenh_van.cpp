// The game's commands: one per request, run under the game lock.
#include <memory>
#include <vector>

#include "fen.h"
#include "json_viet.h"
#include "nuoc_uci.h"
#include "pgn.h"
#include "phien_van.h"

namespace {

const char* const O_KHONG_HOP_LE = R"({"ok":false,"lyDo":"Ô không hợp lệ"})";
const char* const VAN_DA_KET_THUC = R"({"ok":false,"lyDo":"Ván đã kết thúc"})";
const char* const LUOT_CUA_MAY = R"({"ok":false,"lyDo":"Đang là lượt của máy"})";
const char* const HAY_CHON_QUAN = R"({"ok":false,"lyDo":"Hãy chọn một quân của bạn"})";
const char* const NUOC_KHONG_HOP_LE = R"({"ok":false,"lyDo":"Nước đi không hợp lệ"})";
const char* const KHONG_CO_NUOC_HUY = R"({"ok":false,"lyDo":"Không có nước nào để hủy"})";
const std::string DA_LUU = std::string(R"({"ok":true,"thongBao":"Đã lưu ván vào )") + TEN_TEP_LUU + "\"}";
const char* const LUU_THAT_BAI = R"({"ok":false,"lyDo":"Lưu ván thất bại"})";
const char* const KHONG_CO_VAN_LUU = R"({"ok":false,"lyDo":"Không tìm thấy ván đã lưu"})";
const char* const TEP_LUU_HONG = R"({"ok":false,"lyDo":"Tệp ván lưu không hợp lệ"})";
const char* const DANG_TAM_DUNG = R"({"ok":false,"lyDo":"Ván đang tạm dừng"})";
const char* const KHONG_CO_NGUOI_XIN_THUA = R"({"ok":false,"lyDo":"Không có người chơi để xin thua"})";
const char* const KHONG_CO_VAN_TRUOC = R"({"ok":false,"lyDo":"Không có ván nào để tiếp tục"})";
const char* const THOI_GIAN_QUA_DAI = R"({"ok":false,"lyDo":"Thời gian mỗi bên không được quá 24 giờ"})";
static_assert(GIAY_MOI_BEN_TOI_DA == 24 * 3600, "the refusal names the bound");
const char* const TANG_KHONG_HOP_LE =
    R"({"ok":false,"lyDo":"Số giây cộng thêm mỗi nước phải là số nguyên từ 0 đến 600"})";
static_assert(GIAY_TANG_TOI_DA == 600, "the refusal names the bound");

// The hint search's bounds (a fuzzing build shortens the time).
#ifndef TAVELIN_GOI_Y_MILI_GIAY
#define TAVELIN_GOI_Y_MILI_GIAY 500
#endif
constexpr int32_t GOI_Y_MILI_GIAY = TAVELIN_GOI_Y_MILI_GIAY;
constexpr int32_t GOI_Y_DO_SAU = 5;

std::string layChu(const ThamSo& thamSo, const std::string& ten, const std::string& macDinh) {
    auto it = thamSo.find(ten);
    return it == thamSo.end() ? macDinh : it->second;
}

CheDo cheDoTuChu(const std::string& s) {
    if (s == "1" || s == "NN" || s == "NGUOI_NGUOI") return NGUOI_NGUOI;
    if (s == "2" || s == "NM" || s == "NGUOI_MAY") return NGUOI_MAY;
    return MAY_MAY;
}

// A level by its name (or "3"); anything else is TRUNG_BINH.
DoKho doKhoTuChu(const std::string& s) {
    DoKho d = s == "3" ? CAO_THU : TRUNG_BINH;
    doKhoTuTen(s, d);
    return d;
}

// The refusal of a file whose move `chiSo` (0 = red's first) is illegal,
// numbered as the move list counts: full moves, and the side that moved.
std::string nuocSaiTrongTep(int32_t chiSo) {
    return R"({"ok":false,"lyDo":"Ván lưu có nước đi không hợp lệ (nước )" + std::to_string(chiSo / 2 + 1) +
           (chiSo % 2 == 0 ? ", Đỏ)\"}" : ", Đen)\"}");
}

Phe pheTuChu(const std::string& s) { return s == "2" || s == "DEN" ? DEN : DO; }

std::string theCoKhongHopLe(const std::string& lyDo) {
    return R"({"ok":false,"lyDo":)" + chuoiJSON("Thế cờ không hợp lệ: " + lyDo) + "}";
}

const char* const LUAT_KHONG_HOP_LE = R"x({"ok":false,"lyDo":"Luật chơi không hợp lệ (CHAU_A hoặc BA_LAN)"})x";

// The "luat" parameter: BA_LAN when absent; false for any other name.
bool docLuat(const ThamSo& thamSo, LuatChoi& luat) {
    luat = BA_LAN;
    const auto chu = thamSo.find("luat");
    return chu == thamSo.end() || luatTuTen(chu->second, luat);
}

// Why the "fen" parameter cannot be played ("" when it can, or is absent):
// checked before anything of the game changes.
std::string lyDoFENSai(const ThamSo& thamSo) {
    const auto fen = thamSo.find("fen");
    if (fen == thamSo.end()) return {};
    BanCo ban;
    Phe luot = DO;
    std::string lyDo;
    return docTheCo(fen->second, ban, luot, lyDo) ? std::string{} : theCoKhongHopLe(lyDo);
}

// The "tang" parameter: the seconds added after each move, 0 when absent;
// false for anything but whole seconds within the bound.
bool docTang(const ThamSo& thamSo, int& tang) {
    tang = 0;
    const auto chu = thamSo.find("tang");
    if (chu == thamSo.end()) return true;
    const std::string& s = chu->second;
    if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    tang = std::stoi(s);
    return tang <= GIAY_TANG_TOI_DA;
}

// Handicap items "side:name", comma-separated; items without ":" skipped.
void datChapTuChu(VanCo& van, const std::string& chap) {
    size_t dau = 0;
    while (dau <= chap.size()) {
        size_t cuoi = chap.find(',', dau);
        if (cuoi == std::string::npos) cuoi = chap.size();
        const std::string muc = chap.substr(dau, cuoi - dau);
        const size_t hai = muc.find(':');
        if (hai != std::string::npos) van.datChap(pheTuChu(muc.substr(0, hai)), muc.substr(hai + 1));
        dau = cuoi + 1;
    }
}

// The starting position of a new game: the set-up one ("fen", checked
// beforehand), which holds the whole board and so takes no handicap, or the
// usual one less the handicap ("chap").
void datViTriDau(VanCo& van, const ThamSo& thamSo) {
    if (const auto fen = thamSo.find("fen"); fen != thamSo.end()) {
        std::string lyDo;
        van.datTheCoDau(fen->second, lyDo);
    } else {
        datChapTuChu(van, layChu(thamSo, "chap", ""));
    }
}

// Adds `truong` (",\"key\":value...") to the end of a JSON object.
std::string themTruong(std::string taiLieu, const std::string& truong) {
    if (taiLieu.empty() || taiLieu.back() != '}') return taiLieu;
    taiLieu.pop_back();
    return taiLieu + truong + '}';
}

// The tags of the imported file ("the_Red", "the_Event"...): kept with the
// game, which is marked as not yet played on.
void datTheNhap(VanCo& van, const ThamSo& thamSo) {
    for (const char* ten : TEN_THE_GIU) {
        const auto it = thamSo.find(std::string("the_") + ten);
        if (it == thamSo.end()) continue;
        if (std::string g = giaTriTheSach(it->second); !laTheCuaTa(ten, g)) van.theNhap.emplace_back(ten, std::move(g));
    }
    van.nhapChuaDung = true;
}

}  // namespace

void PhienVan::danhThuc() {
    if (van.denLuotMay() && van.ketQua == DANG_CHOI && !van.tamDung) henMayChay(false);
}

std::string PhienVan::lenhVanMoi(const ThamSo& thamSo) {
    const CheDo cheDo = cheDoTuChu(layChu(thamSo, "cheDo", "NN"));
    const std::string chuDoKho = layChu(thamSo, "doKho", "TRUNG_BINH");
    const DoKho mucDo = doKhoTuChu(chuDoKho);
    const DoKho mucDen = doKhoTuChu(layChu(thamSo, "doKhoDen", chuDoKho));
    const Phe pheNguoi = pheTuChu(layChu(thamSo, "pheNguoi", "DO"));
    const int giay = laySo(thamSo, "giay", 600);
    // A longer clock could not be kept and read back.
    if (giay > GIAY_MOI_BEN_TOI_DA) return THOI_GIAN_QUA_DAI;
    int tang = 0;
    if (!docTang(thamSo, tang)) return TANG_KHONG_HOP_LE;
    LuatChoi luat = BA_LAN;
    if (!docLuat(thamSo, luat)) return LUAT_KHONG_HOP_LE;
    if (std::string loi = lyDoFENSai(thamSo); !loi.empty()) return loi;

    thayVan([&] {
        van.vanMoi(cheDo, mucDo, pheNguoi, giay);
        van.datDoKhoMay(DO, mucDo);
        van.datDoKhoMay(DEN, mucDen);
        van.datLuat(luat);
        van.datTang(tang);
        datViTriDau(van, thamSo);
        return std::string();
    });
    return kemHanhDong(trangThaiJSON(), "vanmoi");
}

std::string PhienVan::lenhNhapVan(const ThamSo& thamSo) {
    LuatChoi luat = BA_LAN;
    if (!docLuat(thamSo, luat)) return LUAT_KHONG_HOP_LE;
    if (std::string loi = lyDoFENSai(thamSo); !loi.empty()) return loi;
    // The moves are counted, and the first one read, before the game is
    // replaced: a list that is too long or holds no move is refused whole.
    const std::string chuNuoc = layChu(thamSo, "nuoc", "");
    std::vector<std::string> dsNuoc;
    for (size_t dau = 0; dau <= chuNuoc.size() && !chuNuoc.empty();) {
        size_t cuoi = chuNuoc.find(',', dau);
        if (cuoi == std::string::npos) cuoi = chuNuoc.size();
        if (dsNuoc.size() == TOI_DA_NUOC)
            return R"({"ok":false,"lyDo":"Ván nhập có quá nhiều nước đi (tối đa )" + std::to_string(TOI_DA_NUOC) +
                   ")\"}";
        dsNuoc.push_back(chuNuoc.substr(dau, cuoi - dau));
        dau = cuoi + 1;
    }
    NuocDi dauTien;
    if (dsNuoc.empty() || !uci::docNuoc(dsNuoc.front(), dauTien))
        return R"x({"ok":false,"lyDo":"Không có nước đi nào đọc được để nhập (dạng h2e2, cách nhau bởi dấu phẩy)"})x";

    int32_t daDi = 0, nuocSai = -1;
    thayVan([&] {
        van.vanMoi(NGUOI_NGUOI, TRUNG_BINH, DO, 0);
        van.datLuat(luat);
        datViTriDau(van, thamSo);
        // The players played on past any repetition or quiet-move ruling:
        // the first one is noted, and only the position reached is judged.
        van.boQuaPhanQuyet = true;
        for (const std::string& chu : dsNuoc) {
            NuocDi n;
            if (!uci::docNuoc(chu, n) || !van.thuDoNuoc(n)) {
                nuocSai = daDi;
                break;
            }
            ++daDi;
        }
        van.boQuaPhanQuyet = false;
        datTheNhap(van, thamSo);
        const KetQua truoc = van.ketQua;
        van.kiemTraKetThuc();
        if (van.ketQua != truoc) ++van.soLanDoi;
        return std::string();
    });
    std::string them = ",\"nhap\":{\"daDi\":" + std::to_string(daDi) + ",\"nuocSai\":" + std::to_string(nuocSai) + "}";
    // A ruling on the last move is the game's own result, not one passed over.
    if (const auto& pq = van.phanQuyetBoQua; pq.nuoc >= 0 && pq.nuoc < daDi - 1)
        them += ",\"quaPhanQuyet\":{\"nuoc\":" + std::to_string(pq.nuoc) + ",\"lyDo\":" + chuoiJSON(pq.lyDo) + "}";
    return themTruong(kemHanhDong(trangThaiJSON(), "nhapvan"), them);
}

std::string PhienVan::lenhCham(const ThamSo& thamSo) {
    // Unusable numbers read as absent (-1), which is off the board.
    const int hang = laySo(thamSo, "hang", -1);
    const int cot = laySo(thamSo, "cot", -1);
    if (hang < 0 || hang > 9 || cot < 0 || cot > 8) return O_KHONG_HOP_LE;
    if (van.ketQua != DANG_CHOI) return VAN_DA_KET_THUC;
    if (van.tamDung) return DANG_TAM_DUNG;
    if (van.denLuotMay()) return LUOT_CUA_MAY;

    QuanCo* quan = van.banCo.timQuan(hang, cot);
    QuanCo* chon = van.banCo.quanChon;
    const bool quanCuaLuot = quan && quan->phe == van.luot;
    if (!chon) {
        if (!quanCuaLuot) return HAY_CHON_QUAN;
        van.banCo.quanChon = quan;
        ++phienBan;
        return kemHanhDong(trangThaiJSON(), "chon");
    }
    if (quanCuaLuot) {
        van.banCo.quanChon = quan;
        ++phienBan;
        return kemHanhDong(trangThaiJSON(), "doiChon");
    }
    if (!van.thuDoNuoc(NuocDi{chon->hang, chon->cot, hang, cot})) return NUOC_KHONG_HOP_LE;
    // Played on from: an imported game is now the player's own.
    van.nhapChuaDung = false;
    ++phienBan;
    coGoiY = false;
    danhThuc();
    return kemHanhDong(trangThaiJSON(), "di");
}

std::string PhienVan::lenhBoChon() {
    if (van.banCo.quanChon) {
        van.banCo.quanChon = nullptr;
        ++phienBan;
    }
    return trangThaiJSON();
}

std::string PhienVan::lenhHuy() {
    if (!van.huyNuocDi()) return KHONG_CO_NUOC_HUY;
    ++phienBan;
    coThongKe = coGoiY = false;
    // Computers that play each other stop after an undo, clocks included,
    // until the player continues.
    if (van.cheDo == MAY_MAY)
        van.tamDungVan();
    else
        danhThuc();
    return kemHanhDong(trangThaiJSON(), "huy");
}

std::string PhienVan::lenhTiepTuc() {
    van.tiepTucVan();
    danhThuc();
    return kemHanhDong(trangThaiJSON(), "tieptuc");
}

std::string PhienVan::lenhTamDung() {
    const bool daDung = van.tamDung;
    if (!van.tamDungVan()) return VAN_DA_KET_THUC;
    if (!daDung) {
        // A search in progress (the computer's or a hint) is dropped, as
        // after an undo; the computer is scheduled again by "tieptuc".
        ++phienBan;
        henChay = false;
    }
    return kemHanhDong(trangThaiJSON(), "tamdung");
}

std::string PhienVan::lenhXinThua() {
    if (van.cheDo == MAY_MAY) return KHONG_CO_NGUOI_XIN_THUA;
    // Against the computer the human resigns whoever is to move; between two
    // humans, the side to move.
    const Phe phe = van.cheDo == NGUOI_MAY ? van.pheNguoi : van.luot;
    if (!van.xinThua(phe)) return VAN_DA_KET_THUC;
    van.nhapChuaDung = false;
    ++phienBan;
    coGoiY = false;
    henChay = false;
    return kemHanhDong(trangThaiJSON(), "xinthua");
}

std::string PhienVan::lenhKiemTraFEN(const ThamSo& thamSo) {
    BanCo ban;
    Phe luot = DO;
    std::string lyDo;
    if (!docTheCo(layChu(thamSo, "fen", ""), ban, luot, lyDo)) return theCoKhongHopLe(lyDo);
    return R"({"ok":true,"fen":)" + chuoiJSON(vietFEN(ban, luot)) + "}";
}

std::string PhienVan::lenhNuocHopLe(const ThamSo& thamSo) {
    BanCo ban;
    Phe luot = DO;
    std::string lyDo;
    if (!docTheCo(layChu(thamSo, "fen", ""), ban, luot, lyDo)) return theCoKhongHopLe(lyDo);
    const DanhSachNuoc ds = ban.nuocDiHopLe(luot);
    const bool chieu = ban.biChieu(luot);
    std::string ra = R"({"ok":true,"fen":)" + chuoiJSON(vietFEN(ban, luot)) + R"(,"nuoc":[)";
    for (size_t i = 0; i < ds.size(); ++i) ra += (i ? ",\"" : "\"") + uci::vietNuoc(ds[i]) + '"';
    ra += R"(],"chieu":)" + std::string(chieu ? "true" : "false");
    // A side without a move loses, in check or not, as the game judges it;
    // repetition needs the game's history, which a lone position lacks.
    const char* ben = luot == DO ? "Đỏ" : "Đen";
    std::string ketQua = "DANG_CHOI";
    std::string ketThuc;
    if (ds.empty()) {
        ketQua = luot == DO ? "DEN_THANG" : "DO_THANG";
        ketThuc = chieu ? std::string("Chiếu bí! ") + ben + " thua" : std::string(ben) + " hết nước đi";
    }
    return ra + R"(,"ketQua":)" + chuoiJSON(ketQua) + R"(,"lyDo":)" + chuoiJSON(ketThuc) + "}";
}

std::string PhienVan::lenhLuu() { return van.luuVan(TEN_TEP_LUU) ? DA_LUU : LUU_THAT_BAI; }

std::string PhienVan::lenhTai() {
    const std::string loi = thayVan([&]() -> std::string {
        const KetQuaTai kq = van.taiVan(TEN_TEP_LUU);
        switch (kq.loai) {
        case KetQuaTai::KHONG_CO: return KHONG_CO_VAN_LUU;
        case KetQuaTai::KHONG_HOP_LE: return TEP_LUU_HONG;
        case KetQuaTai::NUOC_SAI: return nuocSaiTrongTep(kq.nuocSai);
        case KetQuaTai::THE_CO_SAI:
            return R"({"ok":false,"lyDo":)" + chuoiJSON("Ván lưu có thế cờ không hợp lệ: " + kq.lyDo) + "}";
        case KetQuaTai::DA_TAI: break;
        }
        return {};
    });
    return loi.empty() ? kemHanhDong(trangThaiJSON(), "tai") : loi;
}

std::string PhienVan::lenhVanTruoc() {
    VanDaLuu vanTruoc;
    if (!docVanTruoc(vanTruoc)) return R"({"ok":true,"co":false})";
    return moTaVanTruoc(vanTruoc);
}

std::string PhienVan::lenhKhoiPhuc() {
    VanDaLuu vanTruoc;
    if (!docVanTruoc(vanTruoc)) return KHONG_CO_VAN_TRUOC;
    // A game with a clock comes back paused: no clock runs before the
    // player is back at the board.
    if (vanTruoc.giayCaiDat() > 0) vanTruoc.tamDung = true;
    const std::string loi =
        thayVan([&] { return van.napVan(vanTruoc) ? std::string() : std::string(KHONG_CO_VAN_TRUOC); });
    if (!loi.empty()) return loi;
    // The last run's game is the live one again, in its own file of the list
    // if it has one: listed when it ends or is replaced.
    vanTruocChuaGhi.reset();
    nhanIdVan(vanTruoc.idDanhSach);
    return kemHanhDong(trangThaiJSON(), "khoiphuc");
}

std::string PhienVan::lenhGoiY(std::unique_lock<std::mutex>& khoa) {
    if (van.ketQua != DANG_CHOI) return VAN_DA_KET_THUC;
    if (van.tamDung) return DANG_TAM_DUNG;
    if (van.denLuotMay()) return LUOT_CUA_MAY;
    std::unique_ptr<BanCo> banSao = van.banCo.saoChepTheCo();
    const std::vector<uint64_t> viTriTruoc(van.viTriTruoc().begin(), van.viTriTruoc().end());
    const Phe luot = van.luot;
    const uint64_t phienTruoc = phienBan;
    const bool chauA = van.luat == CHAU_A;
    van.datLuatChoMay(timKiemGoiY);

    // The search runs without the lock so the worker can go on meanwhile.
    khoa.unlock();
    TimKiem::ThongKe boQua;
    NuocDi nuoc;
    {
        const MayPhanTich::NhuongChoVan nhuong(mayPhanTich);
        if (chauA) {
            // Under the Asian rules the hint is the master search's, which
            // judges repetitions as the rules do, in the same time.
            TimKiem::GioiHan gh;
            gh.dung = &dungTimKiem;
            gh.miliGiay = GOI_Y_MILI_GIAY;
            timKiemGoiY.datGioiHan(gh);
            nuoc = timKiemGoiY.timNuocDi(*banSao, luot, CAO_THU, boQua, viTriTruoc);
            gh.miliGiay = 0;
            timKiemGoiY.datGioiHan(gh);
        } else {
            nuoc = timKiemGoiY.timNuocDiVoiThoiGian(*banSao, luot, GOI_Y_MILI_GIAY, GOI_Y_DO_SAU, boQua, viTriTruoc);
        }
    }
    khoa.lock();

    if (phienBan == phienTruoc) {
        goiY = nuoc;
        coGoiY = true;
    }
    return trangThaiJSON();
}
