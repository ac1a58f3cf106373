#!/bin/sh
# Runs a Windows program under wine for CTest and test discovery: no X server,
# no noise, arguments converted as UTF-8, and a wine prefix of the build's own
# (the nearest directory above the program holding CMakeCache.txt) unless
# WINEPREFIX is set.
if [ -z "${WINEPREFIX:-}" ]; then
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ "$d" != / ] && WINEPREFIX="$d/wine" && export WINEPREFIX
fi
unset DISPLAY
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL=C.UTF-8
# Two programs that both find no prefix would both try to create it and fail
# (parallel test discovery does that); the first one creates it under a lock.
p="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$p/system.reg" ]; then
  mkdir -p "$(dirname "$p")"
  (
    flock 9
    [ -f "$p/system.reg" ] || wine cmd /c exit >/dev/null 2>&1 || true
  ) 9>"$p.lock"
fi
exec wine "$@"
