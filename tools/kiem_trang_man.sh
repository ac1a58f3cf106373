#!/usr/bin/env bash
# The manual pages say what the programs do: every option tavelin3d --help
# lists is in tavelin3d.6 and no other, and every UCI option tavelin-uci
# declares is in tavelin-uci.6 with its type, range or values, and default.
#   tools/kiem_trang_man.sh TAVELIN3D TAVELIN_UCI PACKAGING_DIR
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 TAVELIN3D TAVELIN_UCI PACKAGING_DIR" >&2; exit 2; }
chuong_trinh=$1 uci=$2 thu_muc=$3
sai=0
bao() { echo "$*" >&2; sai=1; }

# roff writes a minus as \- and may set words in fonts (\fB...\fP).
man_phang() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1"; }

tu_help=$("$chuong_trinh" --help | grep -oE -- '(^|[ [|])--?[a-z][a-z-]*' | sed 's/^[ [|]//' | sort -u)
tu_man=$(man_phang "$thu_muc/tavelin3d.6" | grep -oE -- '(^|[ [(])--?[a-z][a-z-]*' | sed 's/^[ [(]//' | sort -u)
[ -n "$tu_help" ] || bao "tavelin3d --help lists no option"
if [ "$tu_help" != "$tu_man" ]; then
  bao "tavelin3d.6 and tavelin3d --help name different options:"
  diff <(echo "$tu_help") <(echo "$tu_man") >&2 || true
fi

# "option name Hash type spin default 64 min 1 max 1024" is written in the
# page as "(spin, 1 to 1024, default 64)"; a combo as "(combo: A, B; default A)".
man_uci=$(man_phang "$thu_muc/tavelin-uci.6" | tr '\n' ' ' | sed -e 's/\.BR* //g' -e 's/  */ /g' -e 's/ \([,;)]\)/\1/g')
so_tuy_chon=0
# A name may hold blanks ("Move Overhead"): it runs up to " type ".
while read -r dong_tuy_chon; do
  ten=$(sed -E 's/^option name (.*) type .*/\1/' <<<"$dong_tuy_chon")
  read -r kieu _ mac_dinh con_lai <<<"$(sed -E 's/^option name .* type //' <<<"$dong_tuy_chon")"
  so_tuy_chon=$((so_tuy_chon + 1))
  case "$kieu" in
    spin)
      read -r _ nho _ lon <<<"$con_lai"
      mong="$ten (spin, $nho to $lon, default $mac_dinh)" ;;
    combo)
      mong="$ten (combo: $(sed -e 's/^var //' -e 's/ var /, /g' <<<"$con_lai"); default $mac_dinh)" ;;
    *) mong="$ten ($kieu" ;;
  esac
  grep -qF -- "$mong" <<<"$man_uci" || bao "tavelin-uci.6 lacks: $mong"
done < <(printf 'uci\nquit\n' | "$uci" | grep '^option name ')
[ "$so_tuy_chon" -gt 0 ] || bao "tavelin-uci declares no option"
exit "$sai"
