#pragma once
#include <cstddef>
#include <string>

// Length of the well-formed UTF-8 sequence of two or more bytes starting at
// `i` (no overlong forms, no surrogates, nothing above U+10FFFF), or 0 when
// there is none (an ASCII byte included).
size_t doDaiUtf8(const std::string& s, size_t i);

// True when every byte is ASCII or part of a well-formed UTF-8 sequence.
bool laUtf8HopLe(const std::string& s);

// A text in GB18030 (the encoding most Chinese game files are in) as UTF-8;
// a byte or sequence that means nothing there becomes U+FFFD.
std::string gb18030SangUtf8(const std::string& s);
