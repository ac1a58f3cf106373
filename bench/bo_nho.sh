#!/usr/bin/env bash
# Resident memory (VmRSS) of the program: idle after start, and after a
# human-against-human game of 40 plies played through the API.
#   bench/bo_nho.sh [PROGRAM]      (default build-release/tavelin3d)
# Prints one Markdown table row: | program | idle | human vs human |
set -euo pipefail
GOC=$(cd "$(dirname "$0")/.." && pwd)
CHUONG_TRINH=$(realpath "${1:-$GOC/build-release/tavelin3d}")
tam=$(mktemp -d)
pid=
donDep() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$tam"; }
trap donDep EXIT

( cd "$tam" && exec "$CHUONG_TRINH" --serve --no-open --port 0 --web-root "$GOC/web" --data-dir "$tam/du_lieu" > "$tam/server.txt" 2>&1 ) &
pid=$!
for _ in $(seq 50); do grep -q '^PORT=' "$tam/server.txt" 2>/dev/null && break; sleep 0.1; done
url="http://127.0.0.1:$(grep -m1 '^PORT=' "$tam/server.txt" | cut -d= -f2)"
rss() { awk '/VmRSS/{printf "%.1f MiB", $2/1024}' "/proc/$pid/status"; }

curl -s "$url/api/trangthai" > /dev/null
sleep 1
nhan=$(rss)
# A real opening, each move as two clicks: the piece, then its destination.
for n in 7,1,7,4 2,7,2,4 9,1,7,2 0,7,2,6 7,7,3,7 2,1,6,1 6,0,5,0 0,1,2,2 9,7,7,6 0,8,0,7 \
         9,8,9,7 3,2,4,2 9,7,4,7 2,2,1,4 9,0,9,1 0,0,0,1 7,2,8,4 3,6,4,6 4,7,9,7 0,1,5,1 \
         6,8,5,8 2,6,4,5 7,4,3,4 6,1,6,4 8,4,7,2 6,4,6,3 3,4,3,8 4,5,6,4 7,6,8,4 5,1,9,1 \
         7,2,9,1 6,4,8,5 8,4,6,3 8,5,9,7 6,3,4,2 1,4,2,2 4,2,2,3 0,4,1,4 3,7,3,2 0,7,3,7; do
  IFS=, read -r hd cd hc cc <<< "$n"
  curl -s "$url/api/cham?hang=$hd&cot=$cd" > /dev/null
  curl -s "$url/api/cham?hang=$hc&cot=$cc" | grep -q '"hanhDong":"di"' || { echo "move $n refused" >&2; exit 1; }
done
sleep 1
echo "| $(basename "$(dirname "$CHUONG_TRINH")")/$(basename "$CHUONG_TRINH") | $nhan | $(rss) |"
