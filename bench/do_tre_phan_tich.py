#!/usr/bin/env python3
"""What the analysis thread costs the game: a move's latency, the computer's
reply and a hint, each measured with no analysis and while the analysis
engine thinks without a bound on three lines (asked every 0.7 s, as the page
asks), the two conditions in turns so that the machine's load weighs on both.

    bench/do_tre_phan_tich.py PROGRAM WEB_ROOT [ROUNDS]

Per round and condition: 20 moves of a human-against-human game ("cham"
that plays the move: connect, send, the whole answer), 2 replies of the
computer at TRUNG_BINH and 1 each at KHO and CAO_THU (from the human's move answered to the
state that shows the reply, polled every 5 ms), and 2 hints. Prints one
Markdown table row per measure and condition: median, p90 and mean in ms;
then, for KHO and CAO_THU (whose replies fill a time budget), the computer's
nodes per second and the depth it reached.
"""
import json
import random
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import os

BAT_DAU = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR%20w"


def hoi(cong, duong):
    """One request on its own connection (the server serves one per connection);
    a connection closed without an answer (the server's read bound on a loaded
    machine) is tried again, and the retry's time counts."""
    t0 = time.perf_counter()
    for _ in range(5):
        du = hoi_mot(cong, duong)
        if b"\r\n\r\n" in du:
            return json.loads(du.split(b"\r\n\r\n", 1)[1]), time.perf_counter() - t0
    raise RuntimeError(f"no answer to {duong}")


def hoi_mot(cong, duong):
    s = socket.create_connection(("127.0.0.1", cong))
    s.sendall(f"GET {duong} HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n".encode())
    du = b""
    while True:
        k = s.recv(65536)
        if not k:
            break
        du += k
    s.close()
    return du


def nuoc_ngau_nhien(cong, s, ngau_nhien):
    """Plays a random legal move of the side to move; the answer and the timed request."""
    quan = [q for q in s["banCo"] if q["phe"] == s["luot"]]
    ngau_nhien.shuffle(quan)
    for q in quan:
        chon, _ = hoi(cong, f"/api/cham?hang={q['h']}&cot={q['c']}")
        if chon.get("nuocDen"):
            h, c = ngau_nhien.choice(chon["nuocDen"])
            s, t = hoi(cong, f"/api/cham?hang={h}&cot={c}")
            assert s.get("hanhDong") == "di", s
            return s, t
    raise AssertionError("no legal move")


def main():
    chuong_trinh, web = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    so_vong = int(sys.argv[3]) if len(sys.argv) > 3 else 6
    ngau_nhien = random.Random(21)
    do = {}
    nut = {}

    def ghi(ten, t):
        do.setdefault(ten, []).append(t)

    with tempfile.TemporaryDirectory() as tam:
        ra = open(os.path.join(tam, "server.txt"), "w")
        p = subprocess.Popen([chuong_trinh, "--serve", "--port", "0", "--web-root", web, "--no-autosave",
                              "--data-dir", os.path.join(tam, "du_lieu")], cwd=tam, stdout=ra, stderr=subprocess.STDOUT)
        cong = None
        for _ in range(200):
            with open(os.path.join(tam, "server.txt")) as f:
                dong = f.readline()
            if dong.startswith("PORT="):
                cong = int(dong[5:])
                break
            time.sleep(0.05)
        assert cong, "the program did not announce its port"
        dang_phan_tich = threading.Event()
        het = threading.Event()

        def hoi_phan_tich():
            while not het.is_set():
                if dang_phan_tich.is_set():
                    hoi(cong, f"/api/phantich?fen={BAT_DAU}&dong=3")
                het.wait(0.7)

        luong = threading.Thread(target=hoi_phan_tich)
        luong.start()
        try:
            for vong in range(so_vong):
                for co in ((False, True) if vong % 2 == 0 else (True, False)):
                    ten = "with analysis" if co else "without"
                    if co:
                        dang_phan_tich.set()
                        hoi(cong, f"/api/phantich?fen={BAT_DAU}&dong=3")
                        time.sleep(1.0)  # the analysis is deep in its search
                    else:
                        dang_phan_tich.clear()
                        hoi(cong, "/api/phantich?dung=1")
                        time.sleep(0.3)
                    s, _ = hoi(cong, "/api/vanmoi?cheDo=NN&giay=0")
                    for _ in range(20):
                        if s["ketQua"] != "DANG_CHOI":
                            s, _ = hoi(cong, "/api/vanmoi?cheDo=NN&giay=0")
                        s, t = nuoc_ngau_nhien(cong, s, ngau_nhien)
                        ghi(("move (cham)", ten), t)
                    for muc, lan in (("TRUNG_BINH", 2), ("KHO", 1), ("CAO_THU", 1)):
                        for _ in range(lan):
                            s, _ = hoi(cong, f"/api/vanmoi?cheDo=NM&pheNguoi=DO&doKho={muc}&giay=0")
                            # Two random plies first, so the computer is not in its opening book of one position.
                            s, _ = nuoc_ngau_nhien(cong, s, ngau_nhien)
                            while s["luot"] != "DO" or s["mayDangNghi"]:
                                s, _ = hoi(cong, "/api/trangthai")
                                time.sleep(0.005)
                            n = s["nuocThu"]
                            s, _ = nuoc_ngau_nhien(cong, s, ngau_nhien)
                            t0 = time.perf_counter()
                            while s["nuocThu"] < n + 2:
                                time.sleep(0.005)
                                s, _ = hoi(cong, "/api/trangthai")
                            ghi((f"computer's reply, {muc}", ten), time.perf_counter() - t0)
                            if muc != "TRUNG_BINH":
                                tk = s["thongKeMay"]
                                nut.setdefault((muc, ten), []).append((tk["soNut"], tk["giay"], tk["doSau"]))
                    s, _ = hoi(cong, "/api/vanmoi?cheDo=NN&giay=0")
                    for _ in range(2):
                        s, t = hoi(cong, "/api/goiy")
                        ghi(("hint (goiy)", ten), t)
                        s, _ = nuoc_ngau_nhien(cong, s, ngau_nhien)
        finally:
            het.set()
            luong.join()
            p.terminate()
            p.wait()

    for (muc, ten), d in do.items():
        d = sorted(d)
        p90 = d[min(len(d) - 1, int(len(d) * 0.9))]
        print(f"| {muc} | {ten} | {len(d)} | {statistics.median(d) * 1000:.1f} | {p90 * 1000:.1f} | "
              f"{statistics.fmean(d) * 1000:.1f} |")

    print()
    for (muc, ten), ds in nut.items():
        nps = sorted(n / max(g, 0.01) for n, g, _ in ds)
        print(f"| computer's search, {muc} | {ten} | {len(ds)} | {statistics.median(nps) / 1000:.0f} k nodes/s | "
              f"depth {statistics.median(d for _, _, d in ds):.1f} |")


if __name__ == "__main__":
    main()
