#pragma once
#include <cstddef>
#include <filesystem>
#include <string>

// Whether the bytes of a saved game are one complete file as the program
// writes it: every line present and well-formed, the move list as long as it
// says, the reason line last and ended. A file cut anywhere fails, although
// the program's own tolerant reader would load most such prefixes.
// On failure `lyDo` says what is wrong; on success `soNuoc` is the move count.
bool tepLuuDayDu(const std::string& noiDung, std::string& lyDo, std::size_t& soNuoc);

// Loads the bytes through the game's own reader (from a private copy in
// `thuMuc`) and checks that every move listed was replayed.
bool taiDuocDayDu(const std::string& noiDung, std::size_t soNuoc, const std::filesystem::path& thuMuc,
                  std::string& lyDo);

// Makes sure the completeness check is worth running: a real save must pass,
// every proper prefix of it must fail. False with `lyDo` otherwise.
bool tuKiemTepLuu(const std::filesystem::path& thuMuc, std::string& lyDo);
