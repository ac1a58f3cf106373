#!/usr/bin/env bash
# Installs what the tests need (when missing), builds, and runs every test:
# the C++ unit and integration tests through CTest, then the browser tests.
set -euo pipefail
cd "$(dirname "$0")"

goi=(cmake g++ make libgtest-dev nlohmann-json3-dev)
if [ -d tests/e2e ] && [ -f tests/e2e/package.json ]; then goi+=(chromium nodejs npm fonts-arphic-ukai); fi
thieu=()
for p in "${goi[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || thieu+=("$p"); done
if [ ${#thieu[@]} -gt 0 ]; then
  echo "== installing: ${thieu[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${thieu[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

if [ -f tests/e2e/package.json ]; then
  (cd tests/e2e && { [ -d node_modules/playwright-core ] || npm ci --no-audit --no-fund; })
  TAVELIN_BIN="$PWD/build/tavelin3d" node --test --test-concurrency=1 tests/e2e/
fi
