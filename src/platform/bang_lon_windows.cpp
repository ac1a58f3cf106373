// Memory for a large table (Windows): ordinary pages, since large pages there
// need a privilege the game does not ask for.
#include <cstdlib>

#include "nen_tang.h"

namespace nenTang {

void* capBangLon(size_t kichThuoc) { return std::malloc(kichThuoc); }

void traBangLon(void* p) { std::free(p); }

}  // namespace nenTang
