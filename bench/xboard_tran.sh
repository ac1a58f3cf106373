#!/usr/bin/env bash
# A match in a real Xiangqi GUI: Debian's xboard (under Xvfb) runs tavelin-uci
# through the uci2wb adapter against an XBoard-protocol engine, writes the
# games as PGN, and checks that every game was played to its end with legal
# moves: no illegal move, no time forfeit, no crash, no refusal from our
# engine in the adapter's log.
#
#   bench/xboard_tran.sh                       4 games at 60 s + 1 s against sjaakii
#   GAMES=2 TC=0:20 INC=0.2 bench/xboard_tran.sh
#   OPPONENT=fairy-stockfish bench/xboard_tran.sh     (in its own XBoard mode)
#   PROTOCOL=ucci bench/xboard_tran.sh                 (uci2wb speaks UCCI to us)
#   LEVEL=KHO bench/xboard_tran.sh                     (the engine's Level option)
#   PONDER=1 bench/xboard_tran.sh                      (xboard's pondering on: go ponder / ponderhit)
#
# Pondering is off by default: uci2wb 4.1 (Debian's) now and then loses the opponent's
# move after a ponder miss (its log shows the stop, an empty command, and the
# pondered position sent again), and the engine, pondering a position that
# never came, loses on time.
#
# Colours alternate game by game. TAVELIN_UCI names the program (default: the
# release build, built here). Output in OUT (default bench/xboard-out/):
# games.pgn, xboard-debug.txt and summary.txt; the exit status is 0 only when
# every game finished cleanly.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

GAMES=${GAMES:-4}
TC=${TC:-1}          # xboard -tc: minutes, or m:ss
INC=${INC:-1}        # seconds per move
OPPONENT=${OPPONENT:-sjaakii}
PROTOCOL=${PROTOCOL:-uci}
LEVEL=${LEVEL:-CAO_THU}
PONDER=${PONDER:-0}
OUT=${OUT:-$ROOT/bench/xboard-out}

for p in /usr/games/xboard /usr/games/uci2wb /usr/bin/xvfb-run; do
  [ -x "$p" ] || { echo "missing $p (apt-get install xboard uci2wb xvfb)" >&2; exit 2; }
done
if [ -z "${TAVELIN_UCI:-}" ]; then
  cmake --preset release >/dev/null && cmake --build build-release -j2 --target tavelin-uci >/dev/null || exit 2
  TAVELIN_UCI=$ROOT/build-release/tavelin-uci
fi
TAVELIN_UCI=$(readlink -f "$TAVELIN_UCI")

case "$OPPONENT" in
  sjaakii) SCP=/usr/games/sjaakii ;;
  # Fairy-Stockfish speaks XBoard protocol itself (through uci2wb its
  # variant list reaches xboard cut short and it plays chess moves).
  fairy-stockfish) SCP=/usr/games/fairy-stockfish ;;
  *) echo "OPPONENT must be sjaakii or fairy-stockfish" >&2; exit 2 ;;
esac
case "$PROTOCOL" in
  uci) FLAG=-c ;;
  ucci) FLAG=-x ;;
  *) echo "PROTOCOL must be uci or ucci" >&2; exit 2 ;;
esac

mkdir -p "$OUT"
PGN=$OUT/games.pgn
DEBUG=$OUT/xboard-debug.txt
SUMMARY=$OUT/summary.txt
rm -f "$PGN" "$DEBUG" "$SUMMARY"
# The engine's options as the adapter hands them on (xboard's -firstOptions).
FIRST_OPTIONS="Level=$LEVEL"

# Seconds a game can last at most: both clocks, 150 moves of increments, and slack.
tc_seconds() {
  local t=$1
  if [[ $t == *:* ]]; then echo $(( ${t%%:*} * 60 + 10#${t##*:} )); else echo $(( t * 60 )); fi
}
LIMIT=$(( GAMES * ( 2 * $(tc_seconds "$TC") + 300 * ${INC%%.*} + 60 ) + 60 ))

# Its own process group, so that the GUI, the adapters and the engines all
# end with it.
setsid xvfb-run -a /usr/games/xboard -variant xiangqi \
  -fcp "/usr/games/uci2wb debug $FLAG $TAVELIN_UCI" -firstOptions "$FIRST_OPTIONS" \
  -scp "$SCP" \
  -mm -mg "$GAMES" -tc "$TC" -inc "$INC" -autoCallFlag true \
  -ponderNextMove "$([ "$PONDER" = 1 ] && echo true || echo false)" \
  -sgf "$PGN" -debug -nameOfDebugFile "$DEBUG" \
  >"$OUT/xboard-stdout.txt" 2>&1 &
XB=$!
trap 'kill -- -$XB 2>/dev/null' EXIT

start=$(date +%s)
while :; do
  done_games=$(grep -c '^\[Result "\(1-0\|0-1\|1/2-1/2\|\*\)"\]' "$PGN" 2>/dev/null)
  [ "${done_games:-0}" -ge "$GAMES" ] && break
  kill -0 "$XB" 2>/dev/null || break
  if [ $(( $(date +%s) - start )) -gt "$LIMIT" ]; then echo "timed out after ${LIMIT}s" >>"$SUMMARY"; break; fi
  sleep 2
done
sleep 2
kill -- -"$XB" 2>/dev/null
wait "$XB" 2>/dev/null
trap - EXIT

# The games, one line each: who had red, the result, how it ended.
python3 - "$PGN" "$DEBUG" "$GAMES" "$OPPONENT" "$PROTOCOL" "$TC" "$INC" "$LEVEL" "$PONDER" >>"$SUMMARY" <<'EOF'
import re, sys
pgn, debug, games, opponent, protocol, tc, inc, level, ponder = sys.argv[1:]
text = open(pgn, encoding="utf-8", errors="replace").read() if __import__("os").path.exists(pgn) else ""
blocks = [b for b in re.split(r"\n(?=\[Event )", text) if b.strip()]
bad_words = re.compile(r"illegal|forfeit|on time|crash|exited|disconnect|terminated|"
                       r"false .*claim|no response|unknown", re.I)
score = 0.0
problems = []
print(f"xboard -variant xiangqi: tavelin-uci ({protocol.upper()}, Level {level}) vs {opponent}, "
      f"{games} games at {tc} min + {inc} s, pondering {'on' if ponder == '1' else 'off'}")
for i, b in enumerate(blocks, 1):
    tag = lambda k: (re.search(rf'^\[{k} "([^"]*)"\]', b, re.M) or [None, "?"])[1]
    white, result = tag("White"), tag("Result")
    ours_red = white.startswith("tavelin")
    ending = re.findall(r"\{([^{}]*)\}\s*(?:1-0|0-1|1/2-1/2|\*)\s*$", b.strip())
    ending = ending[-1].strip() if ending else ""
    moves = len(re.findall(r"(?<![\d.])\d+\.(?!\d)", re.sub(r"\{[^{}]*\}", "", b.split("\n\n", 1)[-1])))
    pts = {"1-0": 1.0, "0-1": 0.0, "1/2-1/2": 0.5}.get(result)
    if pts is not None:
        score += pts if ours_red else 1 - pts
    flag = ""
    if result == "*" or pts is None or bad_words.search(ending):
        flag = "  <-- PROBLEM"
        problems.append(f"game {i}: {result} {ending}")
    print(f"game {i}: tavelin {'red ' if ours_red else 'black'} {result:8} {moves:3} moves  {ending}{flag}")
if len(blocks) < int(games):
    problems.append(f"only {len(blocks)} of {games} games finished")
# What the adapter heard from our engine: a refusal means a command it did not take.
try:
    log = open(debug, encoding="utf-8", errors="replace").read().splitlines()
except OSError:
    log = []
refusals = [l for l in log if "engine said: info string" in l and "bang bam" not in l and "<first" in l]
illegal = [l for l in log if re.search(r"illegal move", l, re.I)]
for l in refusals[:10]:
    problems.append("engine refused: " + l.split("info string", 1)[1].strip())
for l in illegal[:10]:
    problems.append("xboard: " + l.strip())
print(f"tavelin score: {score:g} / {len(blocks)}")
print("clean: every game played to its end with legal moves" if not problems else "PROBLEMS:")
for p in problems:
    print("  " + p)
sys.exit(1 if problems else 0)
EOF
status=$?
cat "$SUMMARY"
exit $status
