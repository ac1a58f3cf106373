#pragma once
#include <cstddef>
#include <cstdint>

// The GB18030 tables (generated, bang_gb18030.cpp).

// Two-byte sequences: lead byte 0x81..0xFE, then 0x40..0x7E or 0x80..0xFE,
// in that order (190 a lead byte); U+FFFD where the pair means nothing.
extern const uint16_t BANG_GB18030_HAI_BYTE[126 * 190];

// Four-byte sequences within the basic plane, by their linear number
// ((((b1-0x81)*10 + b2-0x30)*126 + b3-0x81)*10 + b4-0x30): numbers from
// `dau` to before `het` stand for the code points from `maDau` on.
struct DoanGb18030 {
    uint32_t dau, het;
    uint16_t maDau;
};
extern const DoanGb18030 BANG_GB18030_BON_BYTE[];
extern const std::size_t SO_DOAN_GB18030;
