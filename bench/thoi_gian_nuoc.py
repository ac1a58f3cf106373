"""How much of its time a UCI engine uses: the wall time from each "go" to its
"bestmove", over the bench positions (tools/bo_vi_tri_bench.h).

  thoi_gian_nuoc.py [--engine build/tavelin-uci] [--go "go movetime 250" ...]
                    [--positions 20] [--opt Name=Value ...]

Each --go is run on every position (a fresh "position fen" each time, one
engine process for all); prints, per command, the median, min and max of the
answer times in ms, and how many answers came after the movetime itself.
"""
import argparse
import os
import re
import shlex
import statistics
import subprocess
import time

GOC = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def cac_fen(n):
    with open(os.path.join(GOC, "tools", "bo_vi_tri_bench.h"), encoding="utf-8") as f:
        fen = re.findall(r'"([^"]*/[^"]*/[^"]*)"', f.read())
    return fen[:n]


class DongCo:
    def __init__(self, lenh, tuy_chon):
        self.p = subprocess.Popen(shlex.split(lenh), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.gui("uci")
        self.cho("uciok")
        for t in tuy_chon:
            ten, _, gia_tri = t.partition("=")
            self.gui("setoption name %s value %s" % (ten, gia_tri))

    def gui(self, dong):
        self.p.stdin.write(dong + "\n")
        self.p.stdin.flush()

    def cho(self, dau):
        while True:
            d = self.p.stdout.readline()
            if not d:
                raise RuntimeError("engine closed its output")
            if d.startswith(dau):
                return d

    def dong(self):
        self.gui("quit")
        self.p.wait(timeout=10)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", default=os.path.join(GOC, "build", "tavelin-uci"))
    ap.add_argument("--go", action="append", default=[])
    ap.add_argument("--positions", type=int, default=20)
    ap.add_argument("--opt", action="append", default=[])
    a = ap.parse_args()
    lenh_go = a.go or ["go movetime 250", "go movetime 1000"]
    fen = cac_fen(a.positions)
    may = DongCo(a.engine, a.opt)
    print("%d positions, engine %s, load %.1f" % (len(fen), a.engine, os.getloadavg()[0]))
    for go in lenh_go:
        m = re.search(r"movetime (\d+)", go)
        han = int(m.group(1)) if m else None
        ms = []
        for f in fen:
            may.gui("ucinewgame")
            may.gui("position fen %s" % f)
            may.gui("isready")
            may.cho("readyok")
            t0 = time.monotonic()
            may.gui(go)
            may.cho("bestmove")
            ms.append((time.monotonic() - t0) * 1000.0)
        qua = sum(1 for x in ms if han is not None and x > han)
        print("%-24s median %7.1f ms  min %7.1f  max %7.1f%s" %
              (go, statistics.median(ms), min(ms), max(ms),
               "  over movetime: %d/%d" % (qua, len(ms)) if han is not None else ""))
    may.dong()


if __name__ == "__main__":
    main()
