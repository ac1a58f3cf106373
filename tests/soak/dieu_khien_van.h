#pragma once
#include <atomic>
#include <chrono>

#include "kiem_phan_hoi.h"
#include "so_lieu.h"

// Keeps a computer-against-computer game at the easy level playing until
// `het`: a new game when one ends or when a client's load or new game left
// something else, a resume after a client's undo, a save every few seconds
// and a load now and then. Faults when a reply is wrong or no computer move
// is seen for a minute while the game should be running.
void dieuKhienVan(int cong, std::chrono::steady_clock::time_point het, const KiemPhanHoi& kiem, SoLieu& sl);
