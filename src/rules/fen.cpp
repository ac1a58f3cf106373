#include "fen.h"

#include <cctype>
#include <sstream>

namespace {

int loaiTuChu(char ch) {
    switch (std::tolower(static_cast<unsigned char>(ch))) {
        case 'r': return LOAI_XE;
        case 'c': return LOAI_PHAO;
        case 'n': case 'h': return LOAI_MA;
        case 'b': case 'e': return LOAI_VOI;
        case 'a': return LOAI_SI;
        case 'k': return LOAI_TUONG;
        case 'p': return LOAI_TOT;
        default: return -1;
    }
}

bool docCacHang(const std::string& viTri, BanCo& ban, std::string& loi) {
    int hang = 0, cot = 0;
    for (char ch : viTri) {
        if (ch == '/') {
            if (cot != 9) { loi = "hàng thứ " + std::to_string(hang + 1) + " có ít hơn 9 cột"; return false; }
            if (++hang > 9) { loi = "có hơn 10 hàng"; return false; }
            cot = 0;
        } else if (ch >= '1' && ch <= '9') {
            cot += ch - '0';
            if (cot > 9) { loi = "hàng thứ " + std::to_string(hang + 1) + " có hơn 9 cột"; return false; }
        } else {
            const int loai = loaiTuChu(ch);
            if (loai < 0) {
                // Only a printable ASCII character is echoed: the reason goes
                // into JSON answers and must stay valid UTF-8.
                const bool inDuoc = ch > ' ' && ch < 127;
                loi = inDuoc ? std::string("ký tự lạ '") + ch + "'" : std::string("ký tự lạ");
                return false;
            }
            if (cot >= 9) { loi = "hàng thứ " + std::to_string(hang + 1) + " có hơn 9 cột"; return false; }
            ban.themQuan(taoQuan(loai, hang, cot, std::isupper(static_cast<unsigned char>(ch)) ? DO : DEN));
            ++cot;
        }
    }
    if (hang != 9) { loi = "chỉ có " + std::to_string(hang + 1) + " hàng (cần 10)"; return false; }
    if (cot != 9) { loi = "hàng thứ 10 có ít hơn 9 cột"; return false; }
    return true;
}

}  // namespace

bool docFEN(const std::string& fen, BanCo& ban, Phe& luot, std::string& loi) {
    ban.xoaHetQuan();
    std::istringstream in(fen);
    std::string viTri, phe;
    in >> viTri >> phe;
    if (viTri.empty()) { loi = "FEN trống"; return false; }
    if (!docCacHang(viTri, ban, loi)) { ban.xoaHetQuan(); return false; }
    if (phe.empty() || phe == "w" || phe == "r") luot = DO;
    else if (phe == "b") luot = DEN;
    else { loi = "bên đi phải là w, r hoặc b"; ban.xoaHetQuan(); return false; }
    return true;
}

std::string vietFEN(const BanCo& ban, Phe luot) {
    static const char CHU[7] = {'r', 'c', 'n', 'b', 'a', 'k', 'p'};
    std::string s;
    for (int h = 0; h < 10; ++h) {
        int trong = 0;
        for (int c = 0; c < 9; ++c) {
            const QuanCo* q = ban.timQuan(h, c);
            if (q == nullptr) { ++trong; continue; }
            if (trong) s += char('0' + trong);
            trong = 0;
            const char ch = CHU[q->loai()];
            s += q->phe == DO ? char(std::toupper(ch)) : ch;
        }
        if (trong) s += char('0' + trong);
        if (h < 9) s += '/';
    }
    return s + (luot == DO ? " w" : " b");
}

namespace {

const char* const TEN_LOAI[7] = {"Xe", "Pháo", "Mã", "Tượng", "Sĩ", "Tướng", "Tốt"};
constexpr int TOI_DA_LOAI[7] = {2, 2, 2, 2, 2, 1, 5};

std::string tenBen(Phe phe) { return phe == DO ? "Đỏ" : "Đen"; }
std::string tenBenThuong(Phe phe) { return phe == DO ? "đỏ" : "đen"; }

// What is wrong with a piece standing where it does, "" when nothing.
// r counts the rows from the piece's own back rank.
std::string lyDoChoDung(const QuanCo& q) {
    const int r = q.phe == DO ? 9 - q.hang : q.hang;
    const int c = q.cot;
    const std::string quan = std::string(TEN_LOAI[q.loai()]) + " " + tenBenThuong(q.phe) + " ở " + tenOICCS(q.hang, q.cot);
    switch (q.loai()) {
    case LOAI_TUONG:
        if (r > 2 || c < 3 || c > 5) return quan + " đứng ngoài cung";
        return {};
    case LOAI_SI:
        if (r > 2 || c < 3 || c > 5 || (r == 1) != (c == 4)) return quan + " không đứng trên điểm của Sĩ";
        return {};
    case LOAI_VOI:
        if (!((r == 0 || r == 4) ? c == 2 || c == 6 : r == 2 && c % 4 == 0))
            return quan + " không đứng trên điểm của Tượng";
        return {};
    case LOAI_TOT:
        if (r < 3) return quan + " đứng sau hàng xuất phát của Tốt";
        // Before the river a soldier only goes straight on: it stays on the
        // file it started on.
        if (r < 5 && c % 2 != 0) return quan + " chưa qua sông mà đứng ngoài cột xuất phát của Tốt";
        return {};
    default: return {};
    }
}

}  // namespace

std::string lyDoKhongChoiDuoc(const BanCo& ban, Phe luot) {
    if (!ban.coBangO()) return "Có quân đứng chồng lên nhau hoặc ngoài bàn cờ";
    int dem[2][7] = {};
    for (const auto& q : ban.dsQuan) ++dem[q->phe][q->loai()];
    for (Phe phe : {DO, DEN})
        for (int k = 0; k < 7; ++k)
            if (dem[phe][k] > TOI_DA_LOAI[k])
                return tenBen(phe) + " có " + std::to_string(dem[phe][k]) + " " + TEN_LOAI[k] + " (mỗi bên nhiều nhất " +
                       std::to_string(TOI_DA_LOAI[k]) + ")";
    for (Phe phe : {DO, DEN})
        if (dem[phe][LOAI_TUONG] == 0) return tenBen(phe) + " thiếu Tướng";
    for (const auto& q : ban.dsQuan)
        if (std::string lyDo = lyDoChoDung(*q); !lyDo.empty()) return lyDo;
    const QuanCo* tuongDo = ban.timTuong(DO);
    const QuanCo* tuongDen = ban.timTuong(DEN);
    if (tuongDo->cot == tuongDen->cot && ban.demQuanGiua(tuongDo->hang, tuongDo->cot, tuongDen->hang, tuongDen->cot) == 0)
        return "Hai Tướng đối mặt trên cùng một cột không có quân chắn";
    const Phe benKia = pheDoiPhuong(luot);
    if (ban.biChieu(benKia)) return tenBen(benKia) + " đang bị chiếu khi không đến lượt đi";
    return {};
}

bool docTheCo(const std::string& fen, BanCo& ban, Phe& luot, std::string& lyDo) {
    if (!docFEN(fen, ban, luot, lyDo)) {
        lyDo = "FEN sai: " + lyDo;
        return false;
    }
    lyDo = lyDoKhongChoiDuoc(ban, luot);
    if (lyDo.empty()) return true;
    ban.xoaHetQuan();
    return false;
}
