#pragma once
#include <string>

// The one JSON string escaper: quotes, backslash and control bytes escaped,
// every byte from 32 up (UTF-8 included) copied as it is.
std::string chuoiJSON(const std::string& vao);

// Appends `,"hanhDong":"<action>"` inside the document's closing brace; a text
// that is empty or does not end in "}" comes back unchanged.
std::string kemHanhDong(std::string taiLieu, const std::string& hanhDong);

// A number with exactly two decimals and a point ("600.00", "0.53").
std::string soHaiLe(double giaTri);
