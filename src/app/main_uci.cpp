// tavelin-uci: the engine for Xiangqi GUIs and scripts, speaking UCI on
// standard input and output.
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include "phien_uci.h"

namespace {

// No command comes near this (a game's whole move list is some 100 KB); a
// longer line is junk that must not take the memory it claims.
constexpr std::size_t DONG_TOI_DA = 1 << 20;

// One line of input, as std::getline reads it; `qua` when it was longer than
// DONG_TOI_DA, in which case the line holds its first DONG_TOI_DA bytes and
// the rest was read and dropped. False at the end of the input.
bool docDong(std::streambuf& vao, std::string& dong, bool& qua) {
    dong.clear();
    qua = false;
    bool coKyTu = false;
    for (int c; (c = vao.sbumpc()) != std::char_traits<char>::eof();) {
        coKyTu = true;
        if (c == '\n') break;
        if (dong.size() < DONG_TOI_DA) dong.push_back(static_cast<char>(c));
        else qua = true;
    }
    return coKyTu;
}

}  // namespace

int main() {
    std::ios::sync_with_stdio(false);
    // Every line is flushed as it is written, under the session's lock; a
    // tie would also flush from the reading thread, racing the search's lines.
    std::cin.tie(nullptr);
    // The session's lines and this loop's own one never interleave.
    std::mutex khoaRa;
    const auto viet = [&khoaRa](const std::string& dong) {
        std::lock_guard<std::mutex> khoa(khoaRa);
        std::cout << dong << '\n';
        std::cout.flush();
    };
    PhienUCI phien(viet);
    std::string dong;
    bool qua = false;
    while (docDong(*std::cin.rdbuf(), dong, qua)) {
        if (qua) {
            // Nothing of a line cut short is taken as a command.
            viet("info string dong dai qua " + std::to_string(DONG_TOI_DA) + " byte: bo qua ca dong");
            continue;
        }
        if (!phien.xuLy(dong)) return 0;
    }
    // The GUI closed the pipe: as "quit".
    phien.xuLy("quit");
    return 0;
}
