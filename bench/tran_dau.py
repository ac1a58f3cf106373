"""Matches: two UCI engines, or Fairy-Stockfish against the real tavelin3d server.

  tran_dau.py uci    --a "CMD" --go-a "go ..." [--opt-a Name=Value ...]
                     --b "CMD" --go-b "go ..." [--opt-b Name=Value ...] [common]
  tran_dau.py server --level DE|TRUNG_BINH|KHO --tavelin3d PATH
                     --b "CMD" --go-b "go ..." [--opt-b ...] [common]
  common: --tc SECONDS+INCREMENT (a clock for both uci engines instead of
          their go commands) --games N (default: two per opening) --openings bench/khai_cuoc.txt
          --concurrency 2 --referee build/tools/tavelin-bench --label TEXT --log FILE --judge-depth D
          --rules CHAU_A|BA_LAN

Engine A (ours: a UCI engine, or the server's computer) plays each opening
once with red and once with black against engine B. An engine that offers
UCI_Variant (Fairy-Stockfish) is set to xiangqi and spoken to with ranks 1-10;
every other engine with ranks 0-9. The rules are judged by our own game
(tavelin-bench referee in uci mode, the server's game in server mode), by the
Asian rules unless --rules BA_LAN (perpetual check and perpetual chase lose,
120 plies without a capture draw; under BA_LAN a third repetition draws and
so do 120 plies without a capture). Each of our engines is told the same
rule set (the UCI option Repetition). Prints each game, how it ended, then
A's score, an
Elo estimate with its 95 % margin, and, for every draw by threefold
repetition, A's material lead at that moment (chariot 9, cannon 4.5, horse 4,
advisor and elephant 2, soldier 1).
"""
import argparse
import http.client
import json
import math
import os
import shlex
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
from concurrent.futures import ThreadPoolExecutor

KHONG_AN_TOI_DA = 120
LUAT = "CHAU_A"  # the rule set the referee judges by (--rules)
NUOC_TOI_DA = 400
GIA = {0: 9, 1: 4.5, 2: 4, 3: 2, 4: 2, 5: 0, 6: 1}


class DongCo:
    """One UCI engine process."""

    def __init__(self, lenh, tuy_chon):
        self.p = subprocess.Popen(shlex.split(lenh), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.gui("uci")
        dong = self.cho("uciok")
        self.mot_den_muoi = any("UCI_Variant" in d for d in dong)
        if self.mot_den_muoi:
            self.gui("setoption name UCI_Variant value xiangqi")
        if any(d.startswith("option name Repetition ") for d in dong):
            self.gui("setoption name Repetition value %s" % LUAT)
        for t in tuy_chon:
            ten, _, gia_tri = t.partition("=")
            self.gui("setoption name %s value %s" % (ten, gia_tri))

    def gui(self, dong):
        self.p.stdin.write(dong + "\n")
        self.p.stdin.flush()

    def cho(self, dau):
        dong = []
        while True:
            d = self.p.stdout.readline()
            if not d:
                raise RuntimeError("engine closed its output")
            dong.append(d.strip())
            if d.startswith(dau):
                return dong

    def doi(self, nuoc, vao):
        """Our 0-9 ranks to the engine's, or back (vao: from the engine)."""
        if not self.mot_den_muoi or len(nuoc) < 4:
            return nuoc
        import re
        phan = re.fullmatch(r"([a-i])(\d+)([a-i])(\d+)", nuoc)
        if not phan:
            return nuoc
        d = -1 if vao else 1
        return "%s%d%s%d" % (phan[1], int(phan[2]) + d, phan[3], int(phan[4]) + d)

    def diem(self, cac_nuoc, lenh_go):
        """The engine's score (centipawns; a mate as +-100000) for the side to move."""
        ds = " ".join(self.doi(n, False) for n in cac_nuoc)
        self.gui("position startpos" + (" moves " + ds if ds else ""))
        self.gui(lenh_go)
        diem = 0
        for d in self.cho("bestmove"):
            tu = d.split()
            if "score" in tu:
                k = tu.index("score")
                diem = int(tu[k + 2]) if tu[k + 1] == "cp" else (100000 if int(tu[k + 2]) > 0 else -100000)
        return diem

    def moi_van(self):
        self.gui("ucinewgame")
        self.gui("isready")
        self.cho("readyok")

    def nuoc(self, cac_nuoc, lenh_go):
        ds = " ".join(self.doi(n, False) for n in cac_nuoc)
        self.gui("position startpos" + (" moves " + ds if ds else ""))
        self.gui(lenh_go)
        return self.doi(self.cho("bestmove")[-1].split()[1], True)

    def dong(self):
        try:
            self.gui("quit")
            self.p.wait(timeout=5)
        except Exception:
            self.p.kill()


class TrongTai:
    """Our rules core (tavelin-bench referee)."""

    def __init__(self, lenh):
        self.p = subprocess.Popen([lenh, "referee", "--no-capture", str(KHONG_AN_TOI_DA), "--max-plies",
                                   str(NUOC_TOI_DA), "--rules", LUAT], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  text=True, bufsize=1)

    def hoi(self, dong):
        self.p.stdin.write(dong + "\n")
        self.p.stdin.flush()
        return self.p.stdout.readline().strip()


def doc_khai_cuoc(ten):
    ds = []
    for d in open(ten, encoding="utf-8"):
        d = d.split("#")[0].split()
        if d:
            ds.append(d)
    return ds


def van_uci(tham_so, khai_cuoc, a_do):
    """One game between A and B; returns (A's score, reason, A's lead at the end, moves)."""
    a = DongCo(tham_so.a, tham_so.opt_a)
    b = DongCo(tham_so.b, tham_so.opt_b)
    tt = TrongTai(tham_so.referee)
    try:
        a.moi_van()
        b.moi_van()
        tt.hoi("new")
        cac_nuoc, ket = [], None
        # With --tc each engine has a clock (ms, red's first), measured here
        # from "go" to "bestmove"; the least either had left is kept.
        gio, tang, it_nhat = None, 0, None
        if tham_so.tc:
            giay, _, t = tham_so.tc.partition("+")
            gio, tang = [float(giay) * 1000] * 2, float(t or 0) * 1000
            it_nhat = list(gio)
        for i in range(10 ** 6):
            do_di = i % 2 == 0
            la_a = do_di == a_do
            if i < len(khai_cuoc):
                n = khai_cuoc[i]
            elif gio:
                lenh = "go wtime %d btime %d winc %d binc %d" % (gio[0], gio[1], tang, tang)
                t0 = time.monotonic()
                n = (a if la_a else b).nuoc(cac_nuoc, lenh)
                k = 0 if do_di else 1
                gio[k] -= (time.monotonic() - t0) * 1000
                it_nhat[k] = min(it_nhat[k], gio[k])
                if gio[k] < 0:
                    ket = ("0-1" if do_di else "1-0", "time")
                    break
                gio[k] += tang
            else:
                n = (a if la_a else b).nuoc(cac_nuoc, tham_so.go_a if la_a else tham_so.go_b)
            tl = tt.hoi("move " + n)
            cac_nuoc.append(n)
            if tl == "illegal":
                ket = ("0-1" if do_di else "1-0", "illegal " + n)
            elif tl.startswith("end"):
                ket = tuple(tl.split()[1:3])
            if ket:
                break
        do, den = map(float, tt.hoi("material").split())
        hon = (do - den) if a_do else (den - do)
        diem = {"1-0": 1.0, "0-1": 0.0}.get(ket[0], 0.5)
        dong_ho = None
        if gio:
            ka, kb = (0, 1) if a_do else (1, 0)
            dong_ho = (gio[ka] / 1000, it_nhat[ka] / 1000, gio[kb] / 1000, it_nhat[kb] / 1000)
        return (diem if a_do else 1 - diem), ket[1], hon, cac_nuoc, dong_ho
    finally:
        a.dong()
        b.dong()
        tt.p.kill()


class MayChu:
    """The real tavelin3d server, in a folder of its own (its saved game goes there)."""

    def __init__(self, chuong_trinh):
        self.thu_muc = tempfile.mkdtemp(prefix="tran_dau_")
        web = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web")
        self.p = subprocess.Popen([chuong_trinh, "--serve", "--no-open", "--port", "0", "--web-root", web],
                                  cwd=self.thu_muc, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                  bufsize=1)
        while True:
            d = self.p.stdout.readline()
            if not d:
                raise RuntimeError("tavelin3d did not start")
            if d.startswith("PORT="):
                self.cong = int(d[5:])
                break
        threading.Thread(target=lambda: [None for _ in self.p.stdout], daemon=True).start()

    def api(self, lenh, thu_lai=True):
        """One command; the state ("trangthai") is asked again if the server drops the connection."""
        for lan in range(10):
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/api/%s" % (self.cong, lenh), timeout=60) as r:
                    return json.loads(r.read().decode("utf-8"))
            except (OSError, http.client.HTTPException):
                if not thu_lai or lan == 9:
                    raise
                time.sleep(0.2)

    def dong(self):
        self.p.terminate()
        try:
            self.p.wait(timeout=10)
        except Exception:
            self.p.kill()


def o_uci(h, c):
    return "%s%d" % ("abcdefghi"[c], 9 - h)


def nuoc_sang_o(n):
    return 9 - int(n[1]), "abcdefghi".index(n[0]), 9 - int(n[3]), "abcdefghi".index(n[2])


def nuoc_tu_hai_ban(truoc, sau, phe):
    """The move that turned one board of the state document into the next."""
    tr = {(q["h"], q["c"]): q for q in truoc}
    sa = {(q["h"], q["c"]): q for q in sau}
    di = [o for o, q in tr.items() if q["phe"] == phe and o not in sa]
    den = [o for o, q in sa.items() if q["phe"] == phe and (o not in tr or tr[o]["phe"] != phe)]
    if len(di) != 1 or len(den) != 1:
        raise RuntimeError("cannot tell the computer's move")
    return o_uci(*di[0]) + o_uci(*den[0])


def van_may_chu(tham_so, may_chu, khai_cuoc, a_do):
    """One game of B against the server's computer (A) at the level asked for."""
    b = DongCo(tham_so.b, tham_so.opt_b)
    try:
        b.moi_van()
        muc = {"DE": 0, "TRUNG_BINH": 1, "KHO": 2, "CAO_THU": 3}[tham_so.level]
        pheng = 1 if a_do else 0
        dong = ["TAVELIN1", "chedo 1", "dokho %d" % muc, "pheng %d" % pheng, "giaymoi 0", "chap 0",
                "nuoc %d" % len(khai_cuoc)]
        dong += ["%d %d %d %d" % nuoc_sang_o(n) for n in khai_cuoc]
        dong += ["ketqua 0", "lydo "]
        if LUAT == "CHAU_A":
            dong.append("luat 1")
        with open(os.path.join(may_chu.thu_muc, "tavelin.save"), "w", encoding="utf-8") as f:
            f.write("\n".join(dong) + "\n")
        s = may_chu.api("tai")
        cac_nuoc = list(khai_cuoc)
        phe_b = "DEN" if a_do else "DO"
        phe_a = "DO" if a_do else "DEN"
        khong_an, ly_do = 0, None
        while s["ketQua"] == "DANG_CHOI":
            if len(cac_nuoc) >= NUOC_TOI_DA:
                ly_do = "max-plies"
                break
            if khong_an >= KHONG_AN_TOI_DA:
                ly_do = "no-capture"
                break
            truoc = s
            if s["luot"] == phe_b:
                n = b.nuoc(cac_nuoc, tham_so.go_b)
                hd, cd, hc, cc = nuoc_sang_o(n)
                for lan in range(3):
                    try:
                        may_chu.api("bochon", False)
                        may_chu.api("cham?hang=%d&cot=%d" % (hd, cd), False)
                        s = may_chu.api("cham?hang=%d&cot=%d" % (hc, cc), False)
                        da_di = s.get("hanhDong") == "di"
                        break
                    except (OSError, http.client.HTTPException):
                        # Dropped: whether the move was played shows in the state.
                        time.sleep(0.2)
                        s = may_chu.api("trangthai")
                        da_di = s["nuocThu"] > truoc["nuocThu"]
                        if da_di:
                            break
                if not da_di:
                    ly_do = "illegal " + n
                    s = dict(truoc, ketQua="DEN_THANG" if phe_b == "DO" else "DO_THANG")
                    break
                # The board after this move, whatever the computer has done since.
                ban = [q for q in truoc["banCo"] if (q["h"], q["c"]) != (hc, cc)]
                ban = [dict(q, h=hc, c=cc) if (q["h"], q["c"]) == (hd, cd) else q for q in ban]
                s = dict(s, banCo=ban, nuocThu=truoc["nuocThu"] + 1, luot=phe_a, ketQua="DANG_CHOI") \
                    if s["nuocThu"] > truoc["nuocThu"] + 1 else s
            else:
                while True:
                    s = may_chu.api("trangthai")
                    if s["nuocThu"] != truoc["nuocThu"] or s["ketQua"] != "DANG_CHOI":
                        break
                    time.sleep(0.05)
                if s["nuocThu"] == truoc["nuocThu"]:
                    break
                n = nuoc_tu_hai_ban(truoc["banCo"], s["banCo"], phe_a)
            cac_nuoc.append(n)
            khong_an = 0 if len(s["banCo"]) < len(truoc["banCo"]) else khong_an + 1
        vc = {"DO": 0.0, "DEN": 0.0}
        for q in s["banCo"]:
            vc[q["phe"]] += GIA[q["loai"]]
        hon = vc[phe_a] - vc[phe_b]
        if ly_do is None:
            ly_do = next((v for k, v in (("lặp lại", "repetition"), ("Chiếu bí", "mate"), ("hết nước", "no-move"),
                                         ("thời gian", "time"), ("chiếu dai", "perpetual-check"),
                                         ("đuổi dai", "perpetual-chase"), ("60 nước", "no-capture"))
                          if k in s["lyDo"]), s["lyDo"])
        kq = s["ketQua"]
        diem = 0.5 if kq not in ("DO_THANG", "DEN_THANG") else (1.0 if kq == phe_a + "_THANG" else 0.0)
        return diem, ly_do, hon, cac_nuoc
    finally:
        b.dong()


def elo(diem):
    """Elo estimate and the half-width of its 95 % interval from per-game scores."""
    n = len(diem)
    s = sum(diem) / n
    sd = math.sqrt(sum((x - s) ** 2 for x in diem) / n / n)

    def e(p):
        p = min(max(p, 1e-6), 1 - 1e-6)
        return -400 * math.log10(1 / p - 1)

    return e(s), (e(s + 1.96 * sd) - e(s - 1.96 * sd)) / 2


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("mode", choices=["uci", "server"])
    ap.add_argument("--a")
    ap.add_argument("--go-a", default="go")
    ap.add_argument("--opt-a", action="append", default=[])
    ap.add_argument("--b", default="/usr/games/fairy-stockfish")
    ap.add_argument("--go-b", default="go depth 5")
    ap.add_argument("--opt-b", action="append", default=[])
    ap.add_argument("--level", default="TRUNG_BINH")
    ap.add_argument("--tavelin3d", default="build/tavelin3d")
    ap.add_argument("--referee", default="build/tools/tavelin-bench")
    ap.add_argument("--openings", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "khai_cuoc.txt"))
    ap.add_argument("--games", type=int, default=0)
    ap.add_argument("--tc", default="", help="uci mode: a clock, SECONDS+INCREMENT, for both engines")
    ap.add_argument("--concurrency", type=int, default=2)
    ap.add_argument("--label", default="")
    ap.add_argument("--judge-depth", type=int, default=0,
                    help="engine B scores, at this depth, each repetition with A 3 or more ahead")
    ap.add_argument("--log", help="one JSON line per game (moves, result) appended to this file")
    ap.add_argument("--rules", choices=["CHAU_A", "BA_LAN"], default="CHAU_A",
                    help="the rule set the referee judges by (default: the Asian rules)")
    ts = ap.parse_args()
    global LUAT
    LUAT = ts.rules
    khai = doc_khai_cuoc(ts.openings)
    so_van = ts.games or 2 * len(khai)
    viec = [(khai[(i // 2) % len(khai)], i % 2 == 0) for i in range(so_van)]

    may_chu_ranh = []
    khoa = threading.Lock()
    if ts.mode == "server":
        may_chu_ranh = [MayChu(ts.tavelin3d) for _ in range(ts.concurrency)]

    def chay(i):
        kc, a_do = viec[i]
        if ts.mode == "uci":
            kq = van_uci(ts, kc, a_do)
        else:
            with khoa:
                mc = may_chu_ranh.pop()
            try:
                kq = van_may_chu(ts, mc, kc, a_do)
            finally:
                with khoa:
                    may_chu_ranh.append(mc)
        with khoa:
            if ts.log:
                with open(ts.log, "a", encoding="utf-8") as f:
                    f.write(json.dumps({"game": i + 1, "a_red": a_do, "score": kq[0], "reason": kq[1],
                                        "lead": kq[2], "moves": kq[3]}) + "\n")
            print("game %2d  A %-5s %-4s %-12s plies %3d  A's lead %+5.1f  opening %s" % (
                i + 1, "red" if a_do else "black", {1.0: "win", 0.5: "draw", 0.0: "loss"}[kq[0]], kq[1],
                len(kq[3]), kq[2], " ".join(kc)) + (
                "  clocks A %.1f s (least %.1f) B %.1f s (least %.1f)" % kq[4] if len(kq) > 4 and kq[4] else ""),
                flush=True)
        return kq

    try:
        with ThreadPoolExecutor(ts.concurrency) as ex:
            kq = list(ex.map(chay, range(so_van)))
    finally:
        for mc in may_chu_ranh:
            mc.dong()
    # A repetition with A ahead in material may still have saved a lost game
    # (A under a mating attack): the judge scores the position before A's
    # last move for A.
    phan_xu = {}
    if ts.judge_depth:
        tt = DongCo(ts.b, [])
        for i, k in enumerate(kq):
            if k[1] == "repetition" and k[2] >= 3:
                a_do = viec[i][1]
                cuoi = max(j for j in range(len(k[3])) if (j % 2 == 0) == a_do)
                phan_xu[i] = tt.diem(k[3][:cuoi], "go depth %d" % ts.judge_depth)
        tt.dong()
    diem = [k[0] for k in kq]
    t, h, th = diem.count(1.0), diem.count(0.5), diem.count(0.0)
    e, bien = elo(diem)
    chu_elo = "Elo %+.0f +- %.0f (95 %%)" % (e, bien) if 0 < sum(diem) < len(diem) else "Elo unbounded (every game one way)"
    cach = {}
    for i, k in enumerate(kq):
        ai = "A" if k[0] == 0.0 and k[1] in ("perpetual-check", "perpetual-chase") else ""
        ten = k[1].split()[0] + (" (A lost)" if ai else "")
        cach[ten] = cach.get(ten, 0) + 1
    print("how the games ended (%s): %s" % (LUAT, ", ".join("%s %d" % kv for kv in sorted(cach.items()))))
    lap = [k[2] for k in kq if k[1] == "repetition"]
    print("%s: %d games, A +%d =%d -%d, score %.1f/%d (%.1f %%), %s" % (
        ts.label or ts.mode, len(diem), t, h, th, sum(diem), len(diem), 100 * sum(diem) / len(diem), chu_elo))
    print("threefold repetitions: %d; with A 3 or more ahead: %d (leads: %s)" % (
        len(lap), sum(1 for x in lap if x >= 3), ", ".join("%+.1f" % x for x in lap) or "-"))
    if ts.judge_depth:
        print("judged at depth %d before A's last move, for A: %s" % (ts.judge_depth, ", ".join(
            "game %d %s" % (i + 1, ("mate" if v > 0 else "mated") if abs(v) == 100000 else "%+d cp" % v)
            for i, v in sorted(phan_xu.items())) or "-"))


if __name__ == "__main__":
    main()
