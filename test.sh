#!/usr/bin/env bash
# Installs what the tests need (when missing), builds, and runs every test:
# the C++ unit and integration tests through CTest, a soak of the real server,
# the browser tests, the Windows build's CTest suite under wine, then the
# reliability runs: the suites under ASan+UBSan and TSan, a short run of
# every fuzzer, and the .deb checked with lintian, installed, run and removed.
#   ./test.sh           everything (what CI runs)
#   ./test.sh --quick   CTest and the browser tests only, while working
set -euo pipefail
cd "$(dirname "$0")"
nhanh=0
case "${1:-}" in
  "") ;;
  --quick) nhanh=1 ;;
  *) echo "usage: ./test.sh [--quick]" >&2; exit 2 ;;
esac

# What the tests need: a command that must exist, or a Debian package.
source tools/cai_thieu.sh
can_lenh cmake cmake
can_lenh g++ g++
can_lenh make make
can_goi libgtest-dev
can_goi nlohmann-json3-dev
if [ "$nhanh" -eq 0 ]; then
  # The fuzzers need clang with its libFuzzer and sanitizer runtimes.
  can_lenh clang++ clang
  can_goi libclang-rt-14-dev
  # The Windows build: the cross compiler with std::thread, and wine to run it.
  can_lenh x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
  can_lenh wine wine
  can_goi wine64
  # The .deb's check: lintian, the desktop entry's validator, curl for the page.
  can_lenh lintian lintian
  can_lenh desktop-file-validate desktop-file-utils
  can_lenh curl curl
fi
if [ -f tests/e2e/package.json ]; then
  [ -x /usr/bin/chromium ] || thieu+=(chromium)
  can_goi fonts-arphic-ukai
  # Node may come from another package than Debian's (npm is then bundled).
  if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then thieu+=(nodejs npm); fi
fi
cai_thieu

cmake --preset dev
cmake --build --preset dev -j"$(nproc)"
ctest --preset dev -j"$(nproc)" --output-on-failure

if [ "$nhanh" -eq 0 ]; then
  echo "== soak: the real server under hostile clients while the computer plays itself"
  ./build/tests/soak/tavelin-soak --seconds 120 --clients 4
fi

if [ -d tests/web ]; then
  echo "== the page's own modules under node (no browser)"
  node --test tests/web/
fi

if [ -f tests/e2e/package.json ]; then
  (cd tests/e2e && { { [ -d node_modules/playwright-core ] && [ -d node_modules/axe-core ]; } || npm ci --no-audit --no-fund; })
  TAVELIN_BIN="$PWD/build/tavelin3d" node --test --test-concurrency=1 tests/e2e/
fi

if [ "$nhanh" -eq 0 ]; then
  echo "== Windows: cross-built with mingw-w64, the same CTest suite under wine"
  cmake --preset windows
  cmake --build --preset windows -j"$(nproc)"
  ket=0
  ctest --preset windows -j"$(nproc)" --output-on-failure || ket=$?
  # wine leaves its server running for a while; stop it with the build's prefix.
  WINEPREFIX="$PWD/build-windows/wine" wineserver -k 2>/dev/null || true
  [ "$ket" -eq 0 ] || exit "$ket"
fi

if [ "$nhanh" -eq 0 ]; then
  echo "== sanitizers"
  tools/sanitize.sh all
  echo "== fuzzing, 30 s per target"
  tools/fuzz.sh 30
  if command -v lintian >/dev/null 2>&1; then
    echo "== the .deb: lintian, install, run, remove"
    tools/kiem_goi_deb.sh
  fi
fi
echo "== all tests passed"
