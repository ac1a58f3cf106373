// Memory for a large table on large pages (Linux: transparent huge pages,
// granted on request where the system is set to "madvise").
#include <sys/mman.h>

#include <cstdlib>

#include "nen_tang.h"

namespace nenTang {

void* capBangLon(size_t kichThuoc) {
    constexpr size_t TRANG_LON = size_t{2} << 20;  // the x86-64 large page
    const size_t tron = (kichThuoc + TRANG_LON - 1) / TRANG_LON * TRANG_LON;
    void* p = std::aligned_alloc(TRANG_LON, tron);
    if (p == nullptr) return nullptr;
#ifdef MADV_HUGEPAGE
    // Only a request: refused, the table works as well on small pages.
    ::madvise(p, tron, MADV_HUGEPAGE);
#endif
    return p;
}

void traBangLon(void* p) { std::free(p); }

}  // namespace nenTang
