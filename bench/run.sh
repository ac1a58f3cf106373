#!/usr/bin/env bash
# Runs every benchmark and appends the figures to bench/RESULTS.md:
#   perft 5 from the start (with fairy-stockfish beside it when installed),
#   tavelin-bench bench (the node-count signature) and levels,
#   an HTTP load test of the running program (wrk), idle and while the
#   computer searches at the hard level, and the program's peak memory;
#   resident memory idle and in a human-against-human game (bench/bo_nho.sh).
#
#   bench/run.sh [LABEL] [BIN_DIR]
# LABEL names the run in RESULTS.md (default "current"). BIN_DIR holds a
# tavelin-bench and a tavelin3d to measure instead of building this tree
# (used to measure an older build beside the current one). PERFT_BIN, when
# set, names another tavelin-bench to use for perft alone.
set -euo pipefail
cd "$(dirname "$0")/.."
NHAN="${1:-current}"
BIN_DIR="${2:-}"
KET_QUA=bench/RESULTS.md

if [ -z "$BIN_DIR" ]; then
  cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTAVELIN_TESTS=OFF >/dev/null
  cmake --build build-release -j"$(nproc)" --target tavelin3d tavelin-bench >/dev/null
  BENCH=build-release/tools/tavelin-bench
  CHUONG_TRINH=build-release/tavelin3d
else
  BENCH="$BIN_DIR/tavelin-bench"
  CHUONG_TRINH="$BIN_DIR/tavelin3d"
fi
command -v wrk >/dev/null || echo "wrk is missing: apt-get install wrk" >&2
BENCH=$(realpath "$BENCH")
CHUONG_TRINH=$(realpath "$CHUONG_TRINH")
GOC=$PWD

tam=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tam"' EXIT
out="$tam/out.md"

{
  echo "## $NHAN — $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo
  echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/{print $2}') GiB; load before the run: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo "Build: $( [ -n "$BIN_DIR" ] && echo "$BIN_DIR" || echo "$(git rev-parse --short HEAD) (Release)")"
  echo
} > "$out"

echo "== perft 5" >&2
perft=$("${PERFT_BIN:-$BENCH}" perft 5 | tail -1)
fsf=""
if [ -x /usr/games/fairy-stockfish ] && command -v python3 >/dev/null; then
  fsf=$(python3 bench/fsf_perft.py 5)
fi
{
  echo "### perft 5 from the start"
  echo
  echo "| program | leaves | ms |"
  echo "|---|---|---|"
  echo "| tavelin-bench${PERFT_BIN:+ ($PERFT_BIN)} | $(echo "$perft" | awk '{print $4}') | $(echo "$perft" | awk '{print $6}') |"
  [ -n "$fsf" ] && echo "| fairy-stockfish (go perft 5) | $(echo "$fsf" | awk '{print $1}') | $(echo "$fsf" | awk '{print $2}') |"
  echo
} >> "$out"

echo "== bench" >&2
"$BENCH" bench > "$tam/bench.txt"
{
  echo "### bench (26 positions, depth 6)"
  echo
  echo '```'
  cat "$tam/bench.txt"
  echo '```'
  echo
} >> "$out"

echo "== levels" >&2
"$BENCH" levels > "$tam/levels.txt"
{
  echo "### levels (same suite, each level as the game plays it)"
  echo
  echo '```'
  cat "$tam/levels.txt"
  echo '```'
  echo
} >> "$out"

echo "== memory" >&2
{
  echo "### resident memory (VmRSS, bench/bo_nho.sh)"
  echo
  echo "| program | idle | human vs human, 40 plies |"
  echo "|---|---|---|"
  bench/bo_nho.sh "$CHUONG_TRINH"
  echo
} >> "$out"

echo "== http" >&2
mkdir -p "$tam/chay"
( cd "$tam/chay" && exec "$CHUONG_TRINH" --serve --no-open --port 0 --web-root "$GOC/web" > "$tam/server.txt" 2>&1 ) &
pid=$!
for _ in $(seq 50); do grep -q '^PORT=' "$tam/server.txt" 2>/dev/null && break; sleep 0.1; done
port=$(grep -m1 '^PORT=' "$tam/server.txt" | cut -d= -f2)
url="http://127.0.0.1:$port"
tai() { wrk -t"$1" -c"$2" -d"$3" --latency -H 'Connection: close' "$4" 2>&1; }
tomTat() { awk '/Requests\/sec/{r=$2} / 50%/{p50=$2} / 99%/{p99=$2} END{printf "| %s | %s | %s |", r, p50, p99}'; }
{
  echo "### HTTP on loopback (wrk, one request per connection)"
  echo
  echo "| load | requests/s | p50 | p99 |"
  echo "|---|---|---|---|"
  echo "| /api/trangthai, 2 threads × 8 connections, idle game $(tai 2 8 10s "$url/api/trangthai" | tomTat)"
  echo "| /index.html, 2 threads × 8 connections $(tai 2 8 10s "$url/index.html" | tomTat)"
  # Computer against computer at the hard level: the worker searches all the time.
  curl -s "$url/api/vanmoi?cheDo=MM&doKho=KHO&giay=0" > /dev/null
  sleep 1
  echo "| /api/trangthai, 1 thread × 2 connections, computer searching at KHO $(tai 1 2 10s "$url/api/trangthai" | tomTat)"
  echo "| /api/trangthai, 2 threads × 8 connections, computer searching at KHO $(tai 2 8 10s "$url/api/trangthai" | tomTat)"
  echo
  echo "Peak memory of the program (VmHWM): $(awk '/VmHWM/{printf "%.1f MiB", $2/1024}' /proc/$pid/status)."
  echo
} >> "$out"
kill "$pid" 2>/dev/null || true

[ -f "$KET_QUA" ] || printf '# Benchmark results\n\nWritten by bench/run.sh; newest run last.\n\n' > "$KET_QUA"
cat "$out" >> "$KET_QUA"
cat "$out"
