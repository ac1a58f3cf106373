#!/usr/bin/env bash
# Runs every benchmark and appends the figures to bench/RESULTS.md:
#   perft 5 from the start (with fairy-stockfish beside it when installed),
#   tavelin-bench bench (the node-count signature) and levels,
#   an HTTP load test of the running program (wrk), idle and while the
#   computer searches at the hard level, and the program's peak memory;
#   resident memory idle and in a human-against-human game (bench/bo_nho.sh);
#   the latency of a move with the game kept after it against --no-autosave
#   (bench/do_tre_cham.py); the played-games list with 10,000 games, cold
#   and warm (bench/danh_sach_van.py).
#
#   bench/run.sh [--baseline REV] [LABEL] [BIN_DIR]
# LABEL names the run in RESULTS.md (default "current"). BIN_DIR holds a
# tavelin-bench and a tavelin3d to measure instead of building this tree
# (used to measure an older build beside the current one). PERFT_BIN, when
# set, names another tavelin-bench to use for perft alone.
#
# --baseline REV builds tavelin-bench from git revision REV (in
# build-baseline-REV/) and adds a side-by-side section: bench runs of the two
# builds taken in turns, so that the machine's load weighs on both alike
# (SIDE_BY_SIDE_ROUNDS pairs, default 3), a check that every per-position node
# count, move and score is the same, and the hard level's full-depth share of
# each build.
set -euo pipefail
cd "$(dirname "$0")/.."
GOC_SO_SANH=""
if [ "${1:-}" = "--baseline" ]; then
  GOC_SO_SANH="${2:?--baseline needs a git revision}"
  shift 2
fi
NHAN="${1:-current}"
BIN_DIR="${2:-}"
KET_QUA=bench/RESULTS.md

# Builds tavelin-bench of a git revision once; prints its path.
xayGoc() {
  local rev thu
  rev=$(git rev-parse --short "$1")
  thu="build-baseline-$rev"
  if [ ! -x "$thu/out/tools/tavelin-bench" ]; then
    rm -rf "$thu" && mkdir -p "$thu/src"
    git archive "$rev" | tar -x -C "$thu/src"
    cmake -S "$thu/src" -B "$thu/out" -DCMAKE_BUILD_TYPE=Release -DTAVELIN_TESTS=OFF >/dev/null
    cmake --build "$thu/out" -j"$(nproc)" --target tavelin-bench >/dev/null
  fi
  realpath "$thu/out/tools/tavelin-bench"
}

if [ -z "$BIN_DIR" ]; then
  cmake --preset release >/dev/null
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

if [ -n "$GOC_SO_SANH" ]; then
  echo "== side by side with $GOC_SO_SANH" >&2
  BENCH_GOC=$(xayGoc "$GOC_SO_SANH")
  vong="${SIDE_BY_SIDE_ROUNDS:-3}"
  # The bench's own total of search time, and the process's user CPU seconds.
  chay() { /usr/bin/time -f "%U" -o "$tam/time.txt" "$1" bench > "$2"; echo "$(awk '/^bench nodes/{print $5}' "$2") $(cat "$tam/time.txt")"; }
  {
    echo "### side by side: this build and $GOC_SO_SANH, bench in turns"
    echo
    echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    echo "| round | $GOC_SO_SANH ms | this build ms | ratio | $GOC_SO_SANH user s | this build user s | ratio |"
    echo "|---|---|---|---|---|---|---|"
    for v in $(seq "$vong"); do
      read -r msGoc uGoc < <(chay "$BENCH_GOC" "$tam/goc.txt")
      read -r msMoi uMoi < <(chay "$BENCH" "$tam/moi.txt")
      echo "| $v | $msGoc | $msMoi | $(awk -v a="$msMoi" -v b="$msGoc" 'BEGIN{printf "%.2f", a/b}') | $uGoc | $uMoi | $(awk -v a="$uMoi" -v b="$uGoc" 'BEGIN{printf "%.2f", a/b}') |"
    done
    echo
    # Everything but the times must match: nodes, move and score per position.
    boThoiGian() { sed -E 's/ ms +[0-9.]+ nps +[0-9]+//' "$1"; }
    if diff <(boThoiGian "$tam/goc.txt") <(boThoiGian "$tam/moi.txt") > /dev/null; then
      echo "Per-position nodes, moves and scores: identical ($(awk '/^bench nodes/{print $3}' "$tam/moi.txt") nodes)."
    else
      echo "Per-position nodes, moves and scores: DIFFERENT."
    fi
    echo
    "$BENCH_GOC" levels > "$tam/levels-goc.txt"
    echo "Full depth within the level's time, $GOC_SO_SANH then this build:"
    echo
    echo '```'
    grep '^levels' "$tam/levels-goc.txt"
    grep '^levels' "$tam/levels.txt"
    echo '```'
    echo
  } >> "$out"
fi

echo "== http" >&2
mkdir -p "$tam/chay"
( cd "$tam/chay" && exec "$CHUONG_TRINH" --serve --no-open --port 0 --web-root "$GOC/web" --data-dir "$tam/du_lieu" > "$tam/server.txt" 2>&1 ) &
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

echo "== move latency with and without autosave" >&2
if command -v python3 >/dev/null && "$CHUONG_TRINH" --help | grep -q -- --no-autosave; then
  {
    echo "### a move (\"cham\" that plays it), the game kept after it against --no-autosave (bench/do_tre_cham.py)"
    echo
    echo "The same human-against-human game with a clock on two copies of the program, each move on both in turns."
    echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    echo "| program | moves | median ms | p99 ms | mean ms |"
    echo "|---|---|---|---|---|"
    python3 bench/do_tre_cham.py "$CHUONG_TRINH" "$GOC/web" "${MOVE_LATENCY_MOVES:-2000}"
    echo
  } >> "$out"
fi

echo "== the played-games list with 10,000 games" >&2
if command -v python3 >/dev/null; then
  {
    echo "### the played-games list (\"vandachoi\") with 10,000 games (bench/danh_sach_van.py)"
    echo
    echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)."
    echo
    python3 bench/danh_sach_van.py "$CHUONG_TRINH" "$GOC/web" "${LIST_GAMES:-10000}"
    echo
  } >> "$out"
fi

[ -f "$KET_QUA" ] || printf '# Benchmark results\n\nWritten by bench/run.sh; newest run last.\n\n' > "$KET_QUA"
cat "$out" >> "$KET_QUA"
cat "$out"
