#!/usr/bin/env bash
# One match from one command: builds the release programs, then runs
# bench/tran_dau.py with them (its arguments follow; see its --help).
#   bench/tran_dau.sh server --level TRUNG_BINH --go-b "go depth 5" --games 24 --judge-depth 14
#   bench/tran_dau.sh uci --a build-release/tavelin-uci --opt-a Level=KHO --go-a "go movetime 2500" --go-b "go depth 8"
# Two games at a time at most (the machine has two cores).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build build-release -j2 --target tavelin3d tavelin-uci tavelin-bench >/dev/null
exec python3 bench/tran_dau.py "$1" --tavelin3d build-release/tavelin3d --referee build-release/tools/tavelin-bench \
  --concurrency 2 "${@:2}"
