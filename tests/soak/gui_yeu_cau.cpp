#include "gui_yeu_cau.h"

#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "may_chu_thu.h"

namespace {

void datLai(int s) {
    // A zero linger turns the close into a reset.
    linger l{1, 0};
    ::setsockopt(s, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

void nhoGiot(int s, const std::string& du, std::mt19937_64& ngau) {
    std::uniform_int_distribution<size_t> khuc(1, 4);
    std::uniform_int_distribution<int> nghi(10, 60);
    for (size_t da = 0; da < du.size();) {
        const size_t n = std::min(khuc(ngau), du.size() - da);
        if (::send(s, du.data() + da, n, MSG_NOSIGNAL) <= 0) return;
        da += n;
        std::this_thread::sleep_for(std::chrono::milliseconds(nghi(ngau)));
    }
}

}  // namespace

std::string thucHien(int cong, const YeuCauThu& yc, std::mt19937_64& ngau) {
    const int s = thu::ketNoi(cong);
    if (s < 0) return {};
    std::string ra;
    switch (yc.cach) {
        case CachGui::CHI_KET_NOI: break;
        case CachGui::KHONG_DOC: thu::guiHet(s, yc.du); break;
        case CachGui::DAT_LAI:
            thu::guiHet(s, yc.du);
            datLai(s);
            break;
        case CachGui::NHO_GIOT:
            nhoGiot(s, yc.du, ngau);
            ra = thu::docDenKhiDong(s);
            break;
        case CachGui::NUA_ROI_DONG_GUI:
            thu::guiHet(s, yc.du);
            ::shutdown(s, SHUT_WR);
            ra = thu::docDenKhiDong(s);
            break;
        default:
            thu::guiHet(s, yc.du);
            ra = thu::docDenKhiDong(s);
            break;
    }
    ::close(s);
    return ra;
}
