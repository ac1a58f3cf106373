// GiaoDienWeb: construction, destruction, serving and stopping.
#include "giao_dien_web.h"

GiaoDienWeb::GiaoDienWeb(const std::string& thuMuc)
    : thuMucWeb(thuMuc), mayChu([this](const std::string& duLieu, std::string& dongLog) {
          return xuLyYeuCau(duLieu, dongLog);
      }) {}

GiaoDienWeb::~GiaoDienWeb() { dungVaCho(); }

bool GiaoDienWeb::moTrinhDuyet() const {
    return nenTang::moTrinhDuyet("http://127.0.0.1:" + std::to_string(mayChu.congDaMo()) + "/");
}

bool GiaoDienWeb::chayMotVong(int miliGiay) {
    if (!dangChay.load() || !mayChu.dangMo()) return false;
    mayChu.phucVuMotKetNoi(miliGiay);
    return dangChay.load();
}

void GiaoDienWeb::dung() {
    dangChay.store(false);
    phien.dung();
    mayPhanTich.baoDung();
}

void GiaoDienWeb::dungVaCho() {
    dung();
    phien.dungVaCho();
    mayPhanTich.dungVaCho();
}
