#!/usr/bin/env bash
# Builds a release and starts the game; extra arguments go to the program
# (for example: ./run.sh --port 9000 --no-open).
set -euo pipefail
cd "$(dirname "$0")"

# The build needs cmake and a C++ compiler; the program itself only the
# standard library. Install them (Debian/Ubuntu) when missing.
source tools/cai_thieu.sh
can_lenh cmake cmake
can_lenh g++ g++
can_lenh make make
cai_thieu

cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
exec ./build-release/tavelin3d "$@"
