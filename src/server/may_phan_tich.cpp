// The analysis board's engine thread: requests in, lines and graph scores out.
#include "may_phan_tich.h"

#include <algorithm>
#include <cstdlib>

#include "fen.h"
#include "json_viet.h"
#include "nen_tang.h"
#include "nuoc_uci.h"
#include "tim_kiem_cao_thu.h"

namespace {

// How often an idle thread looks again (a missed wake-up, the idle bound).
constexpr auto NGU_KHI_RANH = std::chrono::milliseconds(250);
// Beyond this many scored positions the graph's memory starts again.
constexpr size_t TOI_DA_DIEM_DA_BIET = 20000;

std::string layChu(const ThamSo& thamSo, const std::string& ten) {
    auto it = thamSo.find(ten);
    return it == thamSo.end() ? std::string() : it->second;
}

std::string tuChoi(const std::string& lyDo) { return R"({"ok":false,"lyDo":)" + chuoiJSON(lyDo) + "}"; }

// The position of a FEN a game could be played from, judged by the one test
// every set-up game passes (docTheCo, through TheCo, which also keeps the
// keys a replay of moves needs); lyDo names what is wrong otherwise, in the
// words "vanmoi" and "kiemtrafen" use.
bool docViTri(const std::string& fen, uci::TheCo& tc, std::string& lyDo) {
    if (fen.empty()) {
        lyDo = "Thiếu thế cờ (fen)";
        return false;
    }
    std::string loi;
    if (!tc.datFEN(fen, loi)) {
        lyDo = "Thế cờ không hợp lệ: " + loi;
        return false;
    }
    return true;
}

// A search score for the side to move, as red sees it, and the moves to
// mate it announces (signed for red; 0 when none).
void theoBenDo(int32_t diem, Phe luot, int32_t& diemDo, int32_t& chieuHet) {
    const int32_t dau = luot == DO ? 1 : -1;
    diemDo = diem * dau;
    chieuHet = 0;
    if (std::abs(diem) > TimKiemCaoThu::NGUONG_CHIEU_HET) {
        const int32_t soTang = TimKiemCaoThu::DIEM_CHIEU_HET - std::abs(diem);
        if (soTang > 0) chieuHet = (diem > 0 ? 1 : -1) * dau * ((soTang + 1) / 2);
    }
}

std::string soHoacNull(int32_t chieuHet) { return chieuHet == 0 ? "null" : std::to_string(chieuHet); }

}  // namespace

MayPhanTich::MayPhanTich() = default;

MayPhanTich::~MayPhanTich() { dungVaCho(); }

void MayPhanTich::baoDung() {
    tat_.store(true);
    dungTim_.store(true);
    coViec_.notify_all();
}

void MayPhanTich::dungVaCho() {
    baoDung();
    std::thread luong;
    {
        std::lock_guard<std::mutex> khoa(khoa_);
        luong = std::move(luong_);
    }
    if (luong.joinable()) luong.join();
}

void MayPhanTich::batDauTimCuaVan() {
    std::lock_guard<std::mutex> khoa(khoa_);
    ++timCuaVan_;
    // An analysis goes on afterwards; a graph position is scored again.
    if (dangTim_) canTim_ = true;
    dungTim_.store(true);
}

void MayPhanTich::xongTimCuaVan() {
    std::lock_guard<std::mutex> khoa(khoa_);
    --timCuaVan_;
    coViec_.notify_all();
}

void MayPhanTich::batLuong() {
    if (!luong_.joinable() && !tat_.load()) luong_ = std::thread(&MayPhanTich::vong, this);
}

void MayPhanTich::hoi() {
    hoiCuoi_ = std::chrono::steady_clock::now();
    hanChot_.store((hoiCuoi_ + THOI_GIAN_CHO).time_since_epoch().count());
}

std::string MayPhanTich::traLoi() const {
    std::string s = R"({"ok":true,"fen":)" + (fen_.empty() ? std::string("null") : chuoiJSON(fen_)) +
                    ",\"doSau\":" + std::to_string(doSau_) + ",\"dong\":[";
    for (size_t i = 0; i < dong_.size(); ++i) {
        const Dong& d = dong_[i];
        s += i ? ",{\"nuoc\":[" : "{\"nuoc\":[";
        for (size_t j = 0; j < d.nuoc.size(); ++j) s += (j ? ",\"" : "\"") + d.nuoc[j] + "\"";
        s += "],\"diem\":" + std::to_string(d.diem) + ",\"chieuHet\":" + soHoacNull(d.chieuHet) + "}";
    }
    return s + "]}";
}

std::string MayPhanTich::lenhPhanTich(const ThamSo& thamSo) {
    if (layChu(thamSo, "dung") == "1") {
        std::lock_guard<std::mutex> khoa(khoa_);
        canTim_ = false;
        dungTim_.store(true);
        return traLoi();
    }
    const bool coFen = thamSo.count("fen") > 0;
    std::string fen;
    if (coFen) {
        uci::TheCo tc;
        std::string lyDo;
        if (!docViTri(layChu(thamSo, "fen"), tc, lyDo)) return tuChoi(lyDo);
        fen = vietFEN(*tc.ban, tc.luot);
    }
    const int soDong = std::clamp(laySo(thamSo, "dong", 1), 1, 3);
    // Lines are judged by the rules of the game they come from; a position
    // on its own by the Asian rules.
    LuatChoi luat = CHAU_A;
    if (thamSo.count("luat") && !luatTuTen(layChu(thamSo, "luat"), luat))
        return tuChoi("Luật chơi không hợp lệ (CHAU_A hoặc BA_LAN)");

    std::lock_guard<std::mutex> khoa(khoa_);
    hoi();
    if (coFen) {
        if (fen != fen_ || soDong != soDong_ || luat != luat_) {
            fen_ = fen;
            soDong_ = soDong;
            luat_ = luat;
            ++phien_;
            doSau_ = 0;
            dong_.clear();
            xong_ = false;
            canTim_ = true;
            // A search of the position before ends at its next check.
            dungTim_.store(true);
        } else if (!dangTim_ && !xong_) {
            // Stopped (asked to, or idle): it goes on from what its table holds.
            canTim_ = true;
        }
        batLuong();
        coViec_.notify_all();
    }
    return traLoi();
}

std::string MayPhanTich::lenhDanhGiaVan(const ThamSo& thamSo) {
    uci::TheCo tc;
    std::string lyDo;
    if (!docViTri(layChu(thamSo, "fen"), tc, lyDo)) return tuChoi(lyDo);
    std::vector<std::string> viTri{vietFEN(*tc.ban, tc.luot)};
    const std::string dsNuoc = layChu(thamSo, "nuoc");
    size_t dau = 0;
    while (dau < dsNuoc.size()) {
        size_t cuoi = dsNuoc.find(',', dau);
        if (cuoi == std::string::npos) cuoi = dsNuoc.size();
        const std::string chu = dsNuoc.substr(dau, cuoi - dau);
        NuocDi n;
        if (!uci::docNuoc(chu, n) || !tc.di(n))
            return tuChoi("Nước đi không hợp lệ: " + chu + " (nước thứ " + std::to_string(viTri.size()) + ")");
        viTri.push_back(vietFEN(*tc.ban, tc.luot));
        dau = cuoi + 1;
    }

    std::lock_guard<std::mutex> khoa(khoa_);
    hoiDoThiCuoi_ = std::chrono::steady_clock::now();
    std::string diem = "[", chieuHet = "[";
    bool xong = true;
    for (size_t i = 0; i < viTri.size(); ++i) {
        if (i > 0) diem += ',', chieuHet += ',';
        auto it = diemDaBiet_.find(viTri[i]);
        if (it == diemDaBiet_.end()) {
            xong = false;
            diem += "null";
            chieuHet += "null";
        } else {
            diem += std::to_string(it->second.diem);
            chieuHet += soHoacNull(it->second.chieuHet);
        }
    }
    viTriDoThi_ = std::move(viTri);
    if (!xong) {
        batLuong();
        coViec_.notify_all();
    }
    return R"({"ok":true,"diem":)" + diem + "],\"chieuHet\":" + chieuHet + "],\"xong\":" + (xong ? "true" : "false") +
           "}";
}

void MayPhanTich::vong() {
    // Analysis takes what processor time the game leaves: on a machine with
    // few cores the computer opponent and hints keep their speed.
    nenTang::haUuTienLuongNay();
    std::unique_lock<std::mutex> khoa(khoa_);
    while (!tat_.load()) {
        const auto bayGio = std::chrono::steady_clock::now();
        if (timCuaVan_ > 0) {
            coViec_.wait_for(khoa, NGU_KHI_RANH);
            continue;
        }
        if (canTim_ && bayGio - hoiCuoi_ < THOI_GIAN_CHO) {
            canTim_ = false;
            dangTim_ = true;
            dungTim_.store(false);
            const std::string fen = fen_;
            const int soDong = soDong_;
            const LuatChoi luat = luat_;
            const uint64_t phien = phien_;
            khoa.unlock();
            const bool xong = timPhanTich(fen, soDong, luat, phien);
            khoa.lock();
            dangTim_ = false;
            if (phien == phien_) xong_ = xong;
            continue;
        }
        // The graph, while its page asks and no position is analysed.
        if (!canTim_ && bayGio - hoiDoThiCuoi_ < THOI_GIAN_CHO) {
            auto it = std::find_if(viTriDoThi_.begin(), viTriDoThi_.end(),
                                   [&](const std::string& f) { return diemDaBiet_.count(f) == 0; });
            if (it != viTriDoThi_.end()) {
                const std::string fen = *it;
                dungTim_.store(false);
                khoa.unlock();
                DiemViTri d;
                const bool duoc = danhGiaMot(fen, d);
                khoa.lock();
                if (duoc) {
                    if (diemDaBiet_.size() >= TOI_DA_DIEM_DA_BIET) diemDaBiet_.clear();
                    diemDaBiet_[fen] = d;
                }
                continue;
            }
        }
        coViec_.wait_for(khoa, NGU_KHI_RANH);
    }
}

bool MayPhanTich::timPhanTich(const std::string& fen, int soDong, LuatChoi luat, uint64_t phien) {
    uci::TheCo tc;
    std::string loi;
    if (!tc.datFEN(fen, loi)) return true;
    if (!may_) may_ = std::make_unique<TimKiemCaoThu>();
    const Phe luot = tc.luot;
    may_->baoVong = [&](const TimKiemCaoThu::ThongTinVong& t) {
        // Made ready here, so that a request only copies it.
        std::vector<Dong> dong;
        for (const auto& d : t.dong) {
            Dong moi;
            for (const NuocDi& n : d.pv) moi.nuoc.push_back(uci::vietNuoc(n));
            theoBenDo(d.diem, luot, moi.diem, moi.chieuHet);
            dong.push_back(std::move(moi));
        }
        std::lock_guard<std::mutex> khoa(khoa_);
        if (phien != phien_) return;
        doSau_ = t.doSau;
        dong_ = std::move(dong);
    };
    TimKiemCaoThu::GioiHan gh;
    gh.soDong = soDong;
    gh.timCaNuocDuyNhat = true;
    gh.dungNgoai = &dungTim_;
    gh.hanChotNgoai = &hanChot_;
    gh.luatLap = luat;
    const TimKiemCaoThu::KetQua kq = may_->tim(*tc.ban, luot, {}, gh);
    may_->baoVong = nullptr;
    return !kq.biDung;
}

bool MayPhanTich::danhGiaMot(const std::string& fen, DiemViTri& d) {
    uci::TheCo tc;
    std::string loi;
    if (!tc.datFEN(fen, loi)) return false;
    if (!may_) may_ = std::make_unique<TimKiemCaoThu>();
    TimKiemCaoThu::GioiHan gh;
    gh.doSau = DO_SAU_DO_THI;
    gh.msMem = MS_DO_THI / 2;
    gh.msCung = MS_DO_THI;
    gh.timCaNuocDuyNhat = true;
    gh.dungNgoai = &dungTim_;
    const TimKiemCaoThu::KetQua kq = may_->tim(*tc.ban, tc.luot, {}, gh);
    // Cut short for an analysis (or the end): scored again later.
    if (dungTim_.load()) return false;
    theoBenDo(kq.coNuoc ? kq.diem : -TimKiemCaoThu::DIEM_CHIEU_HET, tc.luot, d.diem, d.chieuHet);
    return true;
}
