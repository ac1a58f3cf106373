#include "kiem_tep_luu.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#include "van_co.h"

namespace {

std::vector<std::string> tachDong(const std::string& s) {
    std::vector<std::string> dong;
    size_t dau = 0;
    for (size_t i; (i = s.find('\n', dau)) != std::string::npos; dau = i + 1) dong.push_back(s.substr(dau, i - dau));
    return dong;
}

// "<khoa> <integer>" with the integer in [nho, lon], nothing else.
bool dongSo(const std::string& dong, const std::string& khoa, long long nho, long long lon, long long& giaTri) {
    if (dong.rfind(khoa + " ", 0) != 0) return false;
    std::istringstream vao(dong.substr(khoa.size() + 1));
    char thua;
    return (vao >> giaTri) && !(vao >> thua) && giaTri >= nho && giaTri <= lon;
}

bool dongChap(const std::string& dong) {
    return dong.size() > 2 && (dong[0] == '0' || dong[0] == '1') && dong[1] == ' ' &&
           dong.find(' ', 2) == std::string::npos;
}

bool dongNuoc(const std::string& dong) {
    std::istringstream vao(dong);
    int h1, c1, h2, c2;
    char thua;
    if (!(vao >> h1 >> c1 >> h2 >> c2) || (vao >> thua)) return false;
    return h1 >= 0 && h1 <= 9 && h2 >= 0 && h2 <= 9 && c1 >= 0 && c1 <= 8 && c2 >= 0 && c2 <= 8;
}

}  // namespace

bool tepLuuDayDu(const std::string& noiDung, std::string& lyDo, std::size_t& soNuoc) {
    if (noiDung.empty() || noiDung.back() != '\n') return (lyDo = "does not end with a line end"), false;
    const std::vector<std::string> d = tachDong(noiDung);
    size_t i = 0;
    auto con = [&](size_t n) { return i + n <= d.size(); };
    long long so = 0;
    if (!con(5) || d[0] != "TAVELIN1") return (lyDo = "header"), false;
    if (!dongSo(d[1], "chedo", 0, 2, so) || !dongSo(d[2], "dokho", 0, 3, so) || !dongSo(d[3], "pheng", 0, 1, so) ||
        !dongSo(d[4], "giaymoi", INT32_MIN, INT32_MAX, so))
        return (lyDo = "settings lines"), false;
    i = 5;
    if (!con(1) || !dongSo(d[i++], "chap", 0, 32, so) || !con(static_cast<size_t>(so)))
        return (lyDo = "handicap count"), false;
    for (long long k = 0; k < so; ++k)
        if (!dongChap(d[i++])) return (lyDo = "handicap line"), false;
    if (!con(1) || !dongSo(d[i++], "nuoc", 0, 20000, so) || !con(static_cast<size_t>(so)))
        return (lyDo = "move count"), false;
    soNuoc = static_cast<size_t>(so);
    for (long long k = 0; k < so; ++k)
        if (!dongNuoc(d[i++])) return (lyDo = "move line"), false;
    if (!con(2) || !dongSo(d[i++], "ketqua", 0, 3, so)) return (lyDo = "result line"), false;
    if (d[i++].rfind("lydo ", 0) != 0) return (lyDo = "reason line"), false;
    // This version's lines after the reason: black's time, the time control,
    // black's level, and a resignation's mark when there is one.
    if (!con(3) || !dongSo(d[i++], "giayden", 0, INT32_MAX, so) || !dongSo(d[i++], "giaymoiben", 0, INT32_MAX, so) ||
        !dongSo(d[i++], "dokhoden", 0, 3, so))
        return (lyDo = "clock and level lines"), false;
    if (con(1) && d[i] == "xinthua 1") ++i;
    if (i != d.size()) return (lyDo = "lines after the last"), false;
    return true;
}

bool taiDuocDayDu(const std::string& noiDung, std::size_t soNuoc, const std::filesystem::path& thuMuc,
                  std::string& lyDo) {
    const std::filesystem::path banSao = thuMuc / "ban_sao.save";
    std::ofstream(banSao, std::ios::binary | std::ios::trunc) << noiDung;
    VanCo van;
    if (!van.taiVan(banSao.string())) return (lyDo = "the game's reader refused it"), false;
    if (van.nuocDaDi.size() != soNuoc) return (lyDo = "the game's reader replayed a different move count"), false;
    return true;
}

bool tuKiemTepLuu(const std::filesystem::path& thuMuc, std::string& lyDo) {
    VanCo van;
    van.vanMoi(MAY_MAY, DE, DO, 0);
    van.datChap(DEN, "Xe");
    for (int i = 0; i < 4; ++i) van.thuDoNuoc(van.banCo.nuocDiHopLe(van.luot).front());
    const std::filesystem::path tep = thuMuc / "tu_kiem.save";
    if (!van.luuVan(tep.string())) return (lyDo = "could not save a sample game"), false;
    std::ifstream vao(tep, std::ios::binary);
    const std::string du((std::istreambuf_iterator<char>(vao)), std::istreambuf_iterator<char>());
    size_t soNuoc = 0;
    std::string boQua;
    if (!tepLuuDayDu(du, lyDo, soNuoc) || soNuoc != 4 || !taiDuocDayDu(du, soNuoc, thuMuc, lyDo))
        return (lyDo = "a complete sample save was refused: " + lyDo + "\n" + du), false;
    for (size_t n = 0; n < du.size(); ++n)
        if (tepLuuDayDu(du.substr(0, n), boQua, soNuoc))
            return (lyDo = "a save cut to " + std::to_string(n) + " bytes passed as complete"), false;
    return true;
}
