#pragma once
#include <string>

// The one JSON string escaper: quotes, backslash and control bytes escaped,
// every other byte copied as it is, except that bytes which are not part of
// well-formed UTF-8 each become U+FFFD, so the document stays valid JSON.
std::string chuoiJSON(const std::string& vao);

// Appends `,"hanhDong":"<action>"` inside the document's closing brace; a text
// that is empty or does not end in "}" comes back unchanged.
std::string kemHanhDong(std::string taiLieu, const std::string& hanhDong);

// A number with exactly two decimals and a point ("600.00", "0.53").
std::string soHaiLe(double giaTri);
