#include "dieu_khien_van.h"

#include <nlohmann/json.hpp>
#include <thread>

#include "may_chu_thu.h"

namespace {

using DongHo = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto MOI_LAN_XEM = 250ms;
constexpr auto MOI_LAN_LUU = 3s;
constexpr auto MOI_LAN_TAI = 11s;
constexpr auto KHONG_NUOC_TOI_DA = 60s;
const char* const VAN_MOI = "/api/vanmoi?cheDo=MM&doKho=DE&giay=0";

class DieuKhien {
public:
    DieuKhien(int cong, const KiemPhanHoi& kiem, SoLieu& sl) : cong_(cong), kiem_(kiem), sl_(sl) {}

    // One checked API call; the parsed body, or null after a fault.
    nlohmann::json goi(const std::string& dich, const std::string& thanMongDoi = {}) {
        ++sl_.dieuKhien;
        const std::string tho = thu::hoiTho(cong_, yeuCauGet(dich));
        const std::string loi = kiem_.kiem(tho, MongDoi{true, 200, thanMongDoi});
        if (!loi.empty()) {
            sl_.baoLoi("game driver " + dich + ": " + loi + " | " + inDuoc(tho));
            return nullptr;
        }
        return nlohmann::json::parse(thu::tachPhanHoi(tho).than);
    }

    void motBuoc(DongHo::time_point bayGio) {
        nlohmann::json s = goi("/api/trangthai");
        if (s.is_null()) return;
        demNuoc(s, bayGio);
        if (s["ketQua"] != "DANG_CHOI") {
            ++sl_.vanXong;
            goi(VAN_MOI);
        } else if (s["cheDo"] != "MAY_MAY" || s["doKhoDo"] != "DE" || s["doKhoDen"] != "DE") {
            goi(VAN_MOI);
        } else if (s["tamDungMay"] == true) {
            goi("/api/tieptuc");
        }
        if (bayGio >= luuTiep_) {
            if (!goi("/api/luu", KiemPhanHoi::DA_LUU).is_null()) ++sl_.daLuu;
            luuTiep_ = bayGio + MOI_LAN_LUU;
        }
        if (bayGio >= taiTiep_) {
            nlohmann::json t = goi("/api/tai");
            if (!t.is_null() && t["ok"] != true) sl_.baoLoi("game driver: load refused after a save");
            if (!t.is_null()) ++sl_.daTai;
            taiTiep_ = bayGio + MOI_LAN_TAI;
        }
    }

    void batDau(DongHo::time_point bayGio) {
        goi(VAN_MOI);
        nuocCuoi_ = bayGio;
        luuTiep_ = bayGio + MOI_LAN_LUU;
        taiTiep_ = bayGio + MOI_LAN_TAI;
    }

private:
    int cong_;
    const KiemPhanHoi& kiem_;
    SoLieu& sl_;
    uint64_t phien_ = 0;
    int64_t nuocThu_ = 0;
    bool daBaoDung_ = false;
    DongHo::time_point nuocCuoi_, luuTiep_, taiTiep_;

    // Moves are counted within one game version: a load, new game or undo in
    // between changes the version and starts the count afresh.
    void demNuoc(const nlohmann::json& s, DongHo::time_point bayGio) {
        const uint64_t phien = s["phienBan"];
        const int64_t nuoc = s["nuocThu"];
        if (phien == phien_ && nuoc > nuocThu_) {
            sl_.nuocMay += static_cast<uint64_t>(nuoc - nuocThu_);
            nuocCuoi_ = bayGio;
        }
        // A finished game or a paused one is not expected to move.
        const bool nenChay = s["ketQua"] == "DANG_CHOI" && s["tamDungMay"] == false;
        if (!nenChay) nuocCuoi_ = bayGio;
        if (bayGio - nuocCuoi_ > KHONG_NUOC_TOI_DA && !daBaoDung_) {
            sl_.baoLoi("the computer made no move for a minute in a running game");
            daBaoDung_ = true;
        }
        phien_ = phien;
        nuocThu_ = nuoc;
    }
};

}  // namespace

void dieuKhienVan(int cong, DongHo::time_point het, const KiemPhanHoi& kiem, SoLieu& sl) {
    DieuKhien dk(cong, kiem, sl);
    dk.batDau(DongHo::now());
    while (DongHo::now() < het) {
        dk.motBuoc(DongHo::now());
        std::this_thread::sleep_for(MOI_LAN_XEM);
    }
}
