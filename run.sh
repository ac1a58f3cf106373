#!/usr/bin/env bash
# Builds a release and starts the game; extra arguments go to the program
# (for example: ./run.sh --port 9000 --no-open).
set -euo pipefail
cd "$(dirname "$0")"
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTAVELIN_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target tavelin3d
exec ./build-release/tavelin3d "$@"
