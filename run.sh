#!/usr/bin/env bash
# Builds a release and starts the game; extra arguments go to the program
# (for example: ./run.sh --port 9000 --no-open).
set -euo pipefail
cd "$(dirname "$0")"

# The build needs cmake and a C++ compiler; the program itself only the
# standard library. Install them (Debian/Ubuntu) when missing.
thieu=()
command -v cmake >/dev/null 2>&1 || thieu+=(cmake)
command -v g++ >/dev/null 2>&1 || thieu+=(g++)
command -v make >/dev/null 2>&1 || thieu+=(make)
if [ ${#thieu[@]} -gt 0 ]; then
  echo "== installing: ${thieu[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${thieu[@]}"
fi

cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
exec ./build-release/tavelin3d "$@"
