#!/usr/bin/env bash
# Builds the libFuzzer targets (build-fuzz, clang) and runs each for a while:
#   tools/fuzz.sh [SECONDS] [TARGET...]
# SECONDS per target (default 30); TARGETs from fuzz_http, fuzz_van_luu, fuzz_pgn,
# fuzz_truy_van, fuzz_fen, fuzz_uci (default all). Each runs on a copy of its committed
# seed corpus, which therefore never grows by itself. Any crash, sanitizer
# report, leak or time-out fails the script; the input that caused it is kept
# in build-fuzz/fuzz-artifacts/<target>/. One line per target reports the
# number of executions.
set -euo pipefail
goc="$(cd "$(dirname "$0")/.." && pwd)"
giay="${1:-30}"
[ $# -gt 0 ] && shift
if ! [[ "$giay" =~ ^[0-9]+$ ]] || [ "$giay" -lt 1 ]; then
  echo "usage: tools/fuzz.sh [SECONDS] [TARGET...]" >&2
  exit 2
fi

tat_ca=(fuzz_http fuzz_van_luu fuzz_truy_van fuzz_fen fuzz_uci fuzz_pgn)
muc_tieu=("$@")
[ ${#muc_tieu[@]} -eq 0 ] && muc_tieu=("${tat_ca[@]}")
for t in "${muc_tieu[@]}"; do
  [[ " ${tat_ca[*]} " == *" $t "* ]] || { echo "unknown target: $t (one of: ${tat_ca[*]})" >&2; exit 2; }
done

# Longest input per target: a short HTTP session, saved game or game file, a query, a FEN,
# a short UCI conversation.
do_dai() {
  case "$1" in
    fuzz_http|fuzz_van_luu|fuzz_pgn) echo 4096 ;;
    fuzz_truy_van) echo 512 ;;
    fuzz_fen) echo 256 ;;
    fuzz_uci) echo 1024 ;;
  esac
}

cxx="${TAVELIN_FUZZ_CXX:-clang++}"
command -v "$cxx" >/dev/null 2>&1 || { echo "fuzz: $cxx not found (Debian: clang libclang-rt-14-dev)" >&2; exit 2; }
bd="$goc/build-fuzz"
cmake -S "$goc" -B "$bd" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVELIN_FUZZ=ON -DTAVELIN_TESTS=OFF >/dev/null
cmake --build "$bd" -j"$(nproc)" --target "${muc_tieu[@]}" >/dev/null

tam="$(mktemp -d "${TMPDIR:-/tmp}/tavelin-fuzz.XXXXXX")"
trap 'rm -rf "$tam"' EXIT
loi=0
for t in "${muc_tieu[@]}"; do
  viec="$tam/$t"
  giu="$bd/fuzz-artifacts/$t"
  mkdir -p "$viec/corpus" "$viec/tmp" "$giu"
  cp "$goc/tests/fuzz/corpus/$t/"* "$viec/corpus/"
  tu_dien=()
  [ -f "$goc/tests/fuzz/$t.dict" ] && tu_dien=(-dict="$goc/tests/fuzz/$t.dict")
  ma=0
  # The targets make their own working directories under TMPDIR.
  (cd "$viec" && TMPDIR="$viec/tmp" "$bd/tests/fuzz/$t" "${tu_dien[@]}" -max_total_time="$giay" \
     -max_len="$(do_dai "$t")" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
     -artifact_prefix="$giu/" "$viec/corpus" >"$viec/log" 2>&1) || ma=$?
  lan="$(sed -n 's/^stat::number_of_executed_units: *//p' "$viec/log" | tail -n1)"
  if [ "$ma" -eq 0 ]; then
    echo "$t: ok, ${lan:-?} executions in ${giay} s"
  else
    loi=1
    echo "$t: FAILED (exit $ma) after ${lan:-?} executions; input kept in $giu/"
    grep -a -E "ERROR|SUMMARY|broken|not JSON|Test unit written" "$viec/log" | head -n 20 | sed 's/^/    /'
    cp "$viec/log" "$giu/log.txt"
  fi
done
exit "$loi"
