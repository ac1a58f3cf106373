"""Times fairy-stockfish's own perft (variant xiangqi) as a reference.

Usage: fsf_perft.py DEPTH [FEN]   -> prints "LEAVES MS"
"""
import subprocess
import sys
import time

depth = sys.argv[1]
fen = sys.argv[2] if len(sys.argv) > 2 else None
p = subprocess.Popen(["/usr/games/fairy-stockfish"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)


def send(line):
    p.stdin.write(line + "\n")
    p.stdin.flush()


send("setoption name UCI_Variant value xiangqi")
send("position fen %s" % fen if fen else "position startpos")
send("isready")
while p.stdout.readline().strip() != "readyok":
    pass
start = time.monotonic()
send("go perft %s" % depth)
for line in p.stdout:
    if line.startswith("Nodes searched"):
        print(line.split(":")[1].strip(), int((time.monotonic() - start) * 1000))
        break
send("quit")
p.wait()
