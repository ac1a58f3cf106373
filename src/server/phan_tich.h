#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

// Small text parsers shared by the HTTP server, the API and the command line.

// Decoded query parameters, ordered by name; names and values are bytes.
using ThamSo = std::map<std::string, std::string>;

// URL decoding: "+" is a space, "%hh" one byte; a "%" without two hex digits
// after it stays a literal "%". No UTF-8 validation.
std::string giaiMaURL(const std::string& vao);

// Splits a raw query at "&" into decoded name/value pairs; a later name wins,
// an item without "=" has the empty value, empty items are skipped.
ThamSo tachThamSo(const std::string& truyVan);

// Reads a base-10 integer the way the C conversions do (leading white space,
// optional sign, digits, anything after ignored), saturating instead of
// overflowing: nothing when there are no digits, else the value pinned to
// +-10^15 (far outside every range the program accepts).
std::optional<int64_t> docSoBaoHoa(const std::string& chu);

// Reads a base-10 integer the way the C conversions do (leading white space,
// optional sign, digits, anything after ignored), without their overflow:
// nothing when there are no digits or the value leaves the int32 range.
std::optional<int32_t> docSoNguyen(const std::string& chu);

// An integer parameter: `macDinh` when absent or unusable (not a number, or
// out of range), so that hostile input behaves like a missing parameter.
int laySo(const ThamSo& thamSo, const std::string& ten, int macDinh);
