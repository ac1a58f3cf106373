#!/usr/bin/env python3
"""Time of the played-games list ("vandachoi") with many games in the folder.

    bench/danh_sach_van.py PROGRAM WEB_ROOT [GAMES]

Fills a fresh data folder with GAMES (default 10000) game files of 13 to 92
moves each, plus one crafted 50 MB file, then times the list request:

  cold      a program without an index: each answer reads files for at most
            250 ms, the request repeated until every file is read
  warm      the same program asked again: the index in memory, files only stat'ed
  restart   a new program on the same folder: the index read from its file
  changed   after 100 files are rewritten: those read again, the rest from the index
  filtered  a result filter and a text search (warm)

"warm" and "filtered" are the median of 3 requests; "restart" and "changed"
are measured once (their second run is no longer cold). Prints
one Markdown table row per case, in milliseconds.
"""
import json
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

# Legal from the normal start: the pawns, horses and rooks come out, then
# the two horses go back and forth (a repetition is no concern of the list).
MO_DAU = "c3c4 c6c5 g3g4 g6g5 b0c2 b9c7 h0g2 h9g7 a0a1 a9a8 i0i1 i9i8".split()
QUA_LAI = "c2b0 c7b9 b0c2 b9c7".split()
KET_QUA = ["1-0", "0-1", "1/2-1/2", "*"]
TEN = ["Người", "Máy (Dễ)", "Máy (Trung bình)", "Máy (Khó)", "Máy (Cao thủ)", "Nguyễn Văn An", "Trần Thị Bình"]


def hoi(cong, duong):
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
    return json.loads(du.split(b"\r\n\r\n", 1)[1]), (time.perf_counter() - t0) * 1000


def chay(chuong_trinh, web, thu_muc):
    nhat_ky = os.path.join(thu_muc, "server.txt")
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(thu_muc, "data"))
    p = subprocess.Popen([chuong_trinh, "--serve", "--port", "0", "--web-root", web], cwd=thu_muc, env=env,
                         stdout=open(nhat_ky, "w"), stderr=subprocess.STDOUT)
    for _ in range(200):
        with open(nhat_ky) as f:
            dong = f.readline()
        if dong.startswith("PORT="):
            return p, int(dong[5:])
        time.sleep(0.05)
    p.kill()
    sys.exit("the program did not announce its port")


def van(i):
    nuoc = MO_DAU + QUA_LAI * (i % 21)
    nuoc = nuoc[: len(nuoc) - (i % 2)]
    ket = KET_QUA[i % 4]
    dong = []
    for k in range(0, len(nuoc), 2):
        dong.append(f"{k // 2 + 1}. " + " ".join(nuoc[k:k + 2]))
    return (f'[Event "tavelin3d"]\n[Site "?"]\n[Date "2026.01.{i % 28 + 1:02d}"]\n[Round "?"]\n'
            f'[Red "{TEN[i % len(TEN)]}"]\n[Black "{TEN[(i * 3 + 1) % len(TEN)]}"]\n[Result "{ket}"]\n'
            f'[Variant "xiangqi"]\n[Format "ICCS"]\n\n' + "\n".join(dong) + f" {ket}\n")


def dung(p):
    p.terminate()
    p.wait(10)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    chuong_trinh, web = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    so_van = int(sys.argv[3]) if len(sys.argv) > 3 else 10000
    thu_muc = tempfile.mkdtemp(prefix="tavelin-ds-")
    try:
        ds = os.path.join(thu_muc, "data", "tavelin3d", "van_da_choi")
        os.makedirs(ds, mode=0o700)
        for i in range(so_van):
            with open(os.path.join(ds, f"2026{i // 86400 % 12 + 1:02d}01-{i % 1000000:06d}.pgn"), "w") as f:
                f.write(van(i))
        # A crafted huge file: skipped by its size, never read.
        with open(os.path.join(ds, "lon.pgn"), "wb") as f:
            f.truncate(50 << 20)
        hang = []

        def do(nhan, duong, lan=1):
            ts, tl = [], None
            for _ in range(lan):
                tl, t = hoi(cong, duong)
                ts.append(t)
            assert tl.get("ok"), tl
            hang.append((nhan, statistics.median(ts), tl.get("tong"), len(tl["van"])))

        p, cong = chay(chuong_trinh, web, thu_muc)
        # Cold: each answer reads files for a bounded time, the page asks
        # again until none is left unread.
        lan, lau_nhat, tong_ms = 0, 0.0, 0.0
        while True:
            tl, t = hoi(cong, "/api/vandachoi")
            lan += 1
            lau_nhat, tong_ms = max(lau_nhat, t), tong_ms + t
            if not tl.get("chuaDoc"):
                break
        hang.append((f"cold (no index): slowest of {lan} requests", lau_nhat, tl.get("tong"), len(tl["van"])))
        hang.append((f"cold (no index): all {lan} requests", tong_ms, tl.get("tong"), len(tl["van"])))
        do("warm", "/api/vandachoi", 3)
        dung(p)
        p, cong = chay(chuong_trinh, web, thu_muc)
        do("restart (index file)", "/api/vandachoi")
        ten = sorted(os.listdir(ds))[:100]
        for t in ten:
            if t.endswith(".pgn") and t != "lon.pgn":
                with open(os.path.join(ds, t), "a") as f:
                    f.write("\n")
        do("100 files changed", "/api/vandachoi")
        do("filtered (1-0, \"an\")", "/api/vandachoi?ketQua=1-0&tim=an", 3)
        dung(p)
        chi_muc = os.path.join(ds, ".chi_muc")
        co = f"index {os.path.getsize(chi_muc) // 1024} KB" if os.path.exists(chi_muc) else "no index"
        print(f"{so_van} games, {co}\n")
        print("| case | ms | games matching | rows sent |")
        print("|---|---:|---:|---:|")
        for nhan, t, tong, so in hang:
            print(f"| {nhan} | {t:.1f} | {tong} | {so} |")
    finally:
        shutil.rmtree(thu_muc, ignore_errors=True)


if __name__ == "__main__":
    main()
