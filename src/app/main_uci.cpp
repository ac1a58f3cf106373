// tavelin-uci: the engine for Xiangqi GUIs and scripts, speaking UCI on
// standard input and output.
#include <cstdio>
#include <iostream>
#include <string>

#include "phien_uci.h"

int main() {
    std::ios::sync_with_stdio(false);
    // Every line is flushed as it is written, under the session's lock; a
    // tie would also flush from the reading thread, racing the search's lines.
    std::cin.tie(nullptr);
    PhienUCI phien([](const std::string& dong) {
        std::cout << dong << '\n';
        std::cout.flush();
    });
    std::string dong;
    while (std::getline(std::cin, dong))
        if (!phien.xuLy(dong)) return 0;
    // The GUI closed the pipe: as "quit".
    phien.xuLy("quit");
    return 0;
}
