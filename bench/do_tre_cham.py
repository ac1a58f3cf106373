#!/usr/bin/env python3
"""Latency of a move ("cham" that plays it) with the game kept after every
change against the same program with --no-autosave, side by side in one run.

    bench/do_tre_cham.py PROGRAM WEB_ROOT [MOVES]
    bench/do_tre_cham.py PROGRAM WEB_ROOT [MOVES] --goc EARLIER_PROGRAM

Two copies of the program serve the same human-against-human game with a
clock; each move is played on both, in turns (which one goes first alternates),
so that the machine's load weighs on both alike. Only the request that plays
the move is timed: connect, send, the whole answer. Prints one Markdown table
row per program: median, p99 and mean in milliseconds.

With --goc the second copy is an earlier build, both keeping their games,
and each game ends after 20 to 120 moves, by turns resigned (the game is
written to the list of played games) or replaced by a new one while
unfinished (written as well): those requests are timed apart, one more row
each per program.
"""
import json
import random
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import os


def hoi(cong, duong):
    """One request on its own connection (the server serves one per connection)."""
    t0 = time.perf_counter()
    s = socket.create_connection(("127.0.0.1", cong))
    s.sendall(f"GET {duong} HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n".encode())
    du = b""
    while True:
        k = s.recv(65536)
        if not k:
            break
        du += k
    s.close()
    t = time.perf_counter() - t0
    return json.loads(du.split(b"\r\n\r\n", 1)[1]), t


def chay(chuong_trinh, web, thu_muc, them):
    ra = open(os.path.join(thu_muc, "server.txt"), "w")
    p = subprocess.Popen([chuong_trinh, "--serve", "--port", "0", "--web-root", web] + them,
                         cwd=thu_muc, stdout=ra, stderr=subprocess.STDOUT)
    for _ in range(100):
        with open(os.path.join(thu_muc, "server.txt")) as f:
            dong = f.readline()
        if dong.startswith("PORT="):
            return p, int(dong[5:])
        time.sleep(0.05)
    p.kill()
    sys.exit("the program did not announce its port")


def main():
    thong_so = sys.argv[1:]
    goc = None
    if "--goc" in thong_so:
        i = thong_so.index("--goc")
        goc = os.path.abspath(thong_so[i + 1])
        del thong_so[i:i + 2]
    chuong_trinh, web = os.path.abspath(thong_so[0]), os.path.abspath(thong_so[1])
    so_nuoc = int(thong_so[2]) if len(thong_so) > 2 else 2000
    ngau_nhien = random.Random(19)
    with tempfile.TemporaryDirectory() as tam:
        os.makedirs(os.path.join(tam, "co"))
        os.makedirs(os.path.join(tam, "khong"))
        co, cong_co = chay(chuong_trinh, web, os.path.join(tam, "co"), ["--data-dir", os.path.join(tam, "co", "du_lieu")])
        if goc:
            khong, cong_khong = chay(goc, web, os.path.join(tam, "khong"),
                                     ["--data-dir", os.path.join(tam, "khong", "du_lieu")])
        else:
            khong, cong_khong = chay(chuong_trinh, web, os.path.join(tam, "khong"),
                                     ["--no-autosave", "--data-dir", os.path.join(tam, "khong", "du_lieu")])
        cong = {"co": cong_co, "khong": cong_khong}
        do_tre = {"co": [], "khong": []}
        ket_thuc = {"co": [], "khong": []}
        thay_van = {"co": [], "khong": []}
        try:
            def ca_hai(duong, do=None):
                thu_tu = ["co", "khong"] if len(do_tre["co"]) % 2 == 0 else ["khong", "co"]
                kq = {}
                for ten in thu_tu:
                    kq[ten], t = hoi(cong[ten], duong)
                    if do is not None:
                        do[ten].append(t)
                return kq["co"]

            s = ca_hai("/api/vanmoi?giay=600")
            dai = ngau_nhien.randint(20, 120)
            while len(do_tre["co"]) < so_nuoc:
                if goc and s["ketQua"] == "DANG_CHOI" and s["nuocThu"] >= dai:
                    if len(ket_thuc["co"]) <= len(thay_van["co"]):
                        s = ca_hai("/api/xinthua", ket_thuc)
                    else:
                        s = ca_hai("/api/vanmoi?giay=600", thay_van)
                        dai = ngau_nhien.randint(20, 120)
                if s["ketQua"] != "DANG_CHOI" or s["nuocThu"] >= 120:
                    s = ca_hai("/api/vanmoi?giay=600")
                    dai = ngau_nhien.randint(20, 120)
                quan = [q for q in s["banCo"] if q["phe"] == s["luot"]]
                ngau_nhien.shuffle(quan)
                for q in quan:
                    chon = ca_hai(f"/api/cham?hang={q['h']}&cot={q['c']}")
                    if chon.get("nuocDen"):
                        h, c = ngau_nhien.choice(chon["nuocDen"])
                        s = ca_hai(f"/api/cham?hang={h}&cot={c}", do_tre)
                        assert s.get("hanhDong") == "di", s
                        break
            kept = open(os.path.join(tam, "co", "du_lieu", "van_dang_choi.save")).read()
            assert kept.startswith("TAVELIN1\n"), "the game was not kept"
        finally:
            for p in (co, khong):
                p.terminate()
                p.wait()

    nhan = (("co", "this build"), ("khong", "earlier build")) if goc else (("co", "autosave"), ("khong", "--no-autosave"))
    bang = [("", do_tre)] + ([(" resigning", ket_thuc), (" replacing an unfinished game", thay_van)] if goc else [])
    for loai, so_do in bang:
        for ten, chu in nhan:
            d = sorted(so_do[ten])
            if not d:
                continue
            p99 = d[min(len(d) - 1, int(len(d) * 0.99))]
            print(f"| {chu}{loai} | {len(d)} | {statistics.median(d) * 1000:.3f} | {p99 * 1000:.3f} | "
                  f"{statistics.fmean(d) * 1000:.3f} |")


if __name__ == "__main__":
    main()
