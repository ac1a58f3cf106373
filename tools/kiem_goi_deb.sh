#!/usr/bin/env bash
# Builds the .deb and checks it as a Debian user meets it: lintian has nothing
# to say (no E: or W:), the package installs, the installed game serves its
# page and the engine answers, the manual pages are found, and removing the
# package leaves none of its files. The package is removed again however the
# check ends. Needs root or sudo (dpkg); run by ./test.sh when lintian is there.
#   tools/kiem_goi_deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."

loi() { echo "kiem_goi_deb: $*" >&2; exit 1; }
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

echo "== the .deb: building"
rm -f dist/tavelin3d_*.deb
nhat_ky=$(mktemp)
cmake --workflow --preset deb >"$nhat_ky" 2>&1 || { cat "$nhat_ky" >&2; rm -f "$nhat_ky"; loi "the package did not build"; }
rm -f "$nhat_ky"
goi=$(ls dist/tavelin3d_*_amd64.deb)
[ "$(echo "$goi" | wc -l)" -eq 1 ] || loi "expected one package in dist/: $goi"

echo "== lintian $goi"
bao=$(lintian "$goi" 2>&1 | grep -v '^running with root privileges' || true)
if grep -qE '^[EW]: ' <<<"$bao"; then
  echo "$bao" >&2
  loi "lintian reports errors or warnings"
fi
[ -z "$bao" ] || echo "$bao"

if command -v desktop-file-validate >/dev/null 2>&1; then
  tam_desktop=$(mktemp -d)
  dpkg-deb -x "$goi" "$tam_desktop"
  desktop-file-validate "$tam_desktop/usr/share/applications/tavelin3d.desktop" || loi "the desktop entry does not validate"
  rm -rf "$tam_desktop"
fi

# Installing over the player's own copy and then removing it would take their
# game away: check only on a machine without it.
if grep -q 'ok installed' <<<"$(dpkg-query -W -f='${Status}' tavelin3d 2>/dev/null)"; then
  echo "== install check skipped: tavelin3d is installed on this machine (remove it to run the check)"
  exit 0
fi

# Every file and link the package holds (directories may be shared with others).
mapfile -t tep < <(dpkg-deb -c "$goi" | awk '$1 !~ /^d/ {p = $6; sub(/^\./, "", p); print p}')

tam=$(mktemp -d)
may_chu=""
don_dep() {
  if [ -n "$may_chu" ]; then kill "$may_chu" 2>/dev/null || true; wait "$may_chu" 2>/dev/null || true; fi
  if grep -q 'ok installed' <<<"$(dpkg-query -W -f='${Status}' tavelin3d 2>/dev/null)"; then
    $sudo_cmd dpkg -r tavelin3d >/dev/null || true
  fi
  rm -rf "$tam"
}
trap don_dep EXIT

echo "== dpkg -i"
$sudo_cmd dpkg -i "$goi" >/dev/null

for p in /usr/games/tavelin3d /usr/games/tavelin-uci; do
  [ -x "$p" ] || loi "$p is not installed"
done
for p in tavelin3d tavelin-uci; do
  [ -f /usr/share/man/man6/$p.6.gz ] || loi "the manual page $p.6 is not installed"
  if command -v man >/dev/null 2>&1; then man -w 6 $p >/dev/null || loi "man 6 $p is not found"; fi
done
[ -f /usr/share/doc/tavelin3d/copyright ] || loi "no copyright file"
# Read whole before grep looks: grep -q stops at its match, and under
# pipefail the writer's SIGPIPE would fail the check at random.
troGiup=$(/usr/games/tavelin3d --help)
grep -q -- '--port' <<<"$troGiup" || loi "tavelin3d --help does not list its options"

echo "== the installed game serves its page"
# From another folder, so the page is found from the program's own place.
: >"$tam/ra.txt"
(cd "$tam" && exec /usr/games/tavelin3d --no-open --port 0 --data-dir "$tam/du_lieu" >"$tam/ra.txt" 2>&1) &
may_chu=$!
cong=""
for _ in $(seq 100); do
  cong=$(sed -n 's/^PORT=\([0-9]*\)$/\1/p' "$tam/ra.txt")
  [ -n "$cong" ] && break
  kill -0 "$may_chu" 2>/dev/null || { cat "$tam/ra.txt" >&2; loi "the program stopped at start"; }
  sleep 0.1
done
[ -n "$cong" ] || { cat "$tam/ra.txt" >&2; loi "the program printed no port"; }
trang=$(curl -fsS "http://127.0.0.1:$cong/") || loi "the page was not served"
grep -q '<title>' <<<"$trang" || loi "the page has no title: $trang"
curl -fsS -o /dev/null "http://127.0.0.1:$cong/app.js" || loi "the page's script was not served"
trang_thai=$(curl -fsS "http://127.0.0.1:$cong/api/trangthai") || loi "the game's state was not served"
grep -q '^{' <<<"$trang_thai" || loi "the game's state is not JSON: $trang_thai"
kill -TERM "$may_chu"
ket=0
wait "$may_chu" || ket=$?
may_chu=""
[ "$ket" -eq 0 ] || loi "the program ended with $ket after SIGTERM"

echo "== the installed engine answers"
printf 'uci\nisready\nposition startpos\ngo depth 3\n' | timeout 30 /usr/games/tavelin-uci >"$tam/uci.txt"
grep -q '^uciok$' "$tam/uci.txt" || loi "tavelin-uci did not answer uci"
grep -q '^bestmove ' "$tam/uci.txt" || loi "tavelin-uci gave no best move"

echo "== dpkg -r"
$sudo_cmd dpkg -r tavelin3d >/dev/null
if grep -q 'installed' <<<"$(dpkg-query -W -f='${Status}' tavelin3d 2>/dev/null)"; then
  loi "tavelin3d is still installed: $(dpkg-query -W -f='${Status}' tavelin3d)"
fi
for p in "${tep[@]}" /usr/lib/tavelin3d /usr/share/doc/tavelin3d; do
  if [ -e "$p" ] || [ -L "$p" ]; then loi "$p is left after removal"; fi
done
echo "== the .deb installs, serves its page and removes cleanly"
