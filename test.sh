#!/usr/bin/env bash
# Installs what the tests need (when missing), builds, and runs every test:
# the C++ unit and integration tests through CTest, then the browser tests.
set -euo pipefail
cd "$(dirname "$0")"

# What the tests need: a command that must exist, or a Debian package.
thieu=()
can_lenh() { command -v "$1" >/dev/null 2>&1 || thieu+=("$2"); }
can_goi() { dpkg -s "$1" >/dev/null 2>&1 || thieu+=("$1"); }
can_lenh cmake cmake
can_lenh g++ g++
can_lenh make make
can_goi libgtest-dev
can_goi nlohmann-json3-dev
if [ -f tests/e2e/package.json ]; then
  [ -x /usr/bin/chromium ] || thieu+=(chromium)
  can_goi fonts-arphic-ukai
  # Node may come from another package than Debian's (npm is then bundled).
  if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then thieu+=(nodejs npm); fi
fi
if [ ${#thieu[@]} -gt 0 ]; then
  echo "== installing: ${thieu[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${thieu[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

if [ -f tests/e2e/package.json ]; then
  (cd tests/e2e && { [ -d node_modules/playwright-core ] || npm ci --no-audit --no-fund; })
  TAVELIN_BIN="$PWD/build/tavelin3d" node --test --test-concurrency=1 tests/e2e/
fi
