// The UCI (and UCCI) conversation on arbitrary lines: whatever arrives, the
// engine answers only in the protocols' forms, one line at a time, and a search it
// started ends when the conversation does (a hang is the fuzzer's time-out).
#include <cstddef>
#include <cstdint>
#include <string>

#include "kiem_json.h"
#include "phien_uci.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* du, size_t co) {
    const std::string vao(reinterpret_cast<const char*>(du), co);
    {
        PhienUCI phien([&](const std::string& dong) {
            static const char* const DAU[] = {"id ",  "option ",     "uciok", "ucciok", "readyok",
                                              "info ", "bestmove ", "nobestmove", "bye"};
            bool hopLe = false;
            for (const char* d : DAU) hopLe = hopLe || dong.rfind(d, 0) == 0;
            CHAC_CHAN(hopLe && dong.find('\n') == std::string::npos);
        });
        size_t dau = 0;
        while (dau <= vao.size()) {
            size_t cuoi = vao.find('\n', dau);
            if (cuoi == std::string::npos) cuoi = vao.size();
            const std::string dong = vao.substr(dau, cuoi - dau);
            if (!phien.xuLy(dong)) break;
            dau = cuoi + 1;
        }
    }
    return 0;
}
