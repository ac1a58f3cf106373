// The saved-game reader on arbitrary bytes, and what the program does next
// with whatever it accepted: the load command's state document, an undo
// (which replays the loaded moves again) and a short search on the loaded
// position.
//
// Checked: the load command succeeds exactly when the reader accepts the
// file, its answers are JSON, the search leaves the board as it found it and
// plays one of the legal moves (or the agreed "none" move when there is no
// legal move).
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "giao_dien_web.h"
#include "kiem_json.h"
#include "thu_muc_tam.h"
#include "tim_kiem.h"
#include "van_co.h"

namespace {

GiaoDienWeb* web = nullptr;
VanCo* van = nullptr;
TimKiem* timKiem = nullptr;
const char* const TEP = "tavelin.save";

void kiemTimKiem(BanCo& ban, Phe luot) {
    const std::string truoc = ban.khoaViTri();
    const DanhSachNuoc hopLe = ban.nuocDiHopLe(luot);
    CHAC_CHAN(ban.khoaViTri() == truoc);

    TimKiem::ThongKe tk;
    const NuocDi nuoc = timKiem->timNuocDiVoiThoiGian(ban, luot, 200, 2, tk);
    CHAC_CHAN(ban.khoaViTri() == truoc);
    if (hopLe.empty()) {
        CHAC_CHAN(nuoc == (NuocDi{0, 0, 0, 0}));
        return;
    }
    bool thay = false;
    for (const NuocDi& n : hopLe) thay = thay || n == nuoc;
    CHAC_CHAN(thay);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    thu::vaoThuMucTam();
    web = new GiaoDienWeb("khong_co_goc_web");
    // No worker: a loaded computer game must not start searches at its
    // own (possibly hard) level behind the fuzzer's back.
    web->dung();
    van = new VanCo();
    timKiem = new TimKiem();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* du, size_t co) {
    {
        std::ofstream ra(TEP, std::ios::binary | std::ios::trunc);
        ra.write(reinterpret_cast<const char*>(du), static_cast<std::streamsize>(co));
    }
    const bool docDuoc = static_cast<bool>(van->taiVan(TEP));

    const std::string tai = web->xuLyAPI("tai", "");
    CHAC_CHAN(kiemJson::hopLe(tai));
    CHAC_CHAN((tai.rfind("{\"ok\":true,", 0) == 0) == docDuoc);
    if (!docDuoc) return 0;
    CHAC_CHAN(kiemJson::hopLe(web->xuLyAPI("huy", "")));
    CHAC_CHAN(kiemJson::hopLe(web->xuLyAPI("trangthai", "")));

    std::unique_ptr<BanCo> banSao = van->banCo.saoChepTheCo();
    kiemTimKiem(*banSao, van->luot);
    return 0;
}
