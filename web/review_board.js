// The review board: a game looked at beside the one in progress — a kept
// game, an imported one, or a copy of the live game — with a tree of
// variations the player grows by moving pieces on it. The board shows the
// position of the chosen node; its legal moves, check and end come from the
// server's "nuochople", which judges a lone position and never touches the
// game in progress. The game on the board goes on meanwhile and is one click
// ("Về ván đang chơi") away.

import { goiAPI } from './api.js';
import { CayBien } from './variation_tree.js';
import { docICCS } from './fen.js';
import { moTaNuoc } from './analysis.js';
import { TEN_PHE } from './labels.js';
import { thongBao } from './toast.js';

const $ = (id) => document.getElementById(id);
const TOI_DA_NHO = 500; // positions whose legal moves are remembered

function tenNuocCay(nut) {
  const k = CayBien.doSau(nut);
  const lech = CayBien.duong(nut)[0]?.cha.luot === 'DEN' ? 1 : 0;
  return `nước ${Math.floor((k - 1 + lech) / 2) + 1}, ${TEN_PHE[nut.n.phe]}`;
}

export class BanXem {
  /**
   * layKyPhap(): the notation; onDoi(): the board must be drawn again;
   * onMo(): the board is about to show a copy (the page drops its review);
   * onDong(): back to the game in progress.
   */
  constructor({ layKyPhap, onDoi, onMo, onDong }) {
    this.layKyPhap = layKyPhap;
    this.onDoi = onDoi;
    this.onMo = onMo;
    this.onDong = onDong;
    this.cay = null; // the tree shown, or null: the board follows the game
    this.nut = null;
    this.nguon = null; // 'van' (the live game's copy), 'danhSach', 'nhap', 'rieng'
    this.ten = '';
    this.the = {};
    this.ketQua = '*';
    this.lyDo = '';
    this.chon = null; // the selected square {h, c}
    this.cayVan = null; // the live game's tree, kept while its game goes on
    this.nho = new Map(); // FEN -> the server's answer (a promise while it comes)
    this.khoaVe = null;
    this.ganSuKien();
  }

  ganSuKien() {
    $('cay-bien').addEventListener('click', (e) => {
      const b = e.target.closest('[data-nut]');
      if (b && this.dsNut) this.den(this.dsNut[Number(b.dataset.nut)]);
    });
    $('nut-ve-van-xem').addEventListener('click', () => this.dong());
    $('nut-xoa-bien').addEventListener('click', () => this.xoaBien());
    $('nut-nang-bien').addEventListener('click', () => this.nangBien());
  }

  dangMo() {
    return this.cay !== null;
  }

  /** Shows a tree: {cay, nut (its start when absent), nguon, ten, the, ketQua, lyDo}. */
  mo({ cay, nut = null, nguon, ten, the = {}, ketQua = '*', lyDo = '' }) {
    this.onMo();
    this.cay = cay;
    this.nguon = nguon;
    this.ten = ten;
    this.the = the;
    this.ketQua = ketQua || '*';
    this.lyDo = lyDo || '';
    this.khoaVe = null;
    $('ban-xem').hidden = false;
    this.den(nut ?? cay.goc);
  }

  /**
   * A copy of the live game from `fenDau` with its moves (ICCS), at ply k:
   * the tree the game had before (with its variations) when its moves are
   * still the game's, else a new one. The game's line is the main line.
   */
  moTuVan(fenDau, cacNuoc, k, the) {
    let cay = this.cayVan;
    if (!cay || cay.fenDau !== new CayBien(fenDau).fenDau) cay = new CayBien(fenDau);
    let nut = cay.goc;
    for (const m of cacNuoc) nut = cay.them(nut, m) ?? nut;
    cay.nangLen(nut);
    this.cayVan = cay;
    this.mo({
      cay, nut: cay.tim(cacNuoc.slice(0, k)) ?? cay.goc, nguon: 'van', ten: 'Bản sao của ván đang chơi', the,
    });
  }

  /** A new game took the live one's place: its old tree goes. */
  boCayVan() {
    this.cayVan = null;
    if (this.nguon === 'van') this.dong();
  }

  dong() {
    if (!this.cay) return;
    this.cay = null;
    this.nut = null;
    this.chon = null;
    this.nguon = null;
    $('ban-xem').hidden = true;
    this.onDong();
  }

  /** The server's answer for a position: {nuoc, chieu, ketQua, lyDo}, or null when unreachable. */
  hoiNuoc(fen) {
    if (!this.nho.has(fen)) {
      if (this.nho.size >= TOI_DA_NHO) this.nho.clear();
      const p = goiAPI('nuochople', { fen }).then((r) => {
        const kq = r && r.ok ? r : null;
        this.nho.set(fen, kq);
        if (!kq) this.nho.delete(fen); // asked again later
        return kq;
      }, () => {
        this.nho.delete(fen);
        return null;
      });
      this.nho.set(fen, p);
    }
    return Promise.resolve(this.nho.get(fen));
  }

  /** The answer for the node shown, when it is in. */
  thongTin() {
    const kq = this.nut && this.nho.get(CayBien.fen(this.nut));
    return kq && !(kq instanceof Promise) ? kq : null;
  }

  den(nut) {
    if (!this.cay || !nut) return;
    this.nut = nut;
    this.chon = null;
    this.onDoi();
    this.ve();
    const fen = CayBien.fen(nut);
    this.hoiNuoc(fen).then(() => {
      if (this.nut === nut) {
        this.onDoi();
        this.ve();
      }
    });
  }

  lui() {
    if (this.nut && this.nut.cha) this.den(this.nut.cha);
  }

  toi() {
    if (this.nut && this.nut.con.length) this.den(this.nut.con[0]);
  }

  dau() {
    if (this.cay) this.den(this.cay.goc);
  }

  cuoi() {
    if (!this.nut) return;
    let x = this.nut;
    while (x.con.length) [x] = x.con;
    this.den(x);
  }

  xoaBien() {
    const dau = this.nut && CayBien.dauBien(this.nut);
    if (!dau) return;
    this.khoaVe = null;
    this.den(this.cay.xoa(dau));
    thongBao('Đã xóa nhánh');
  }

  nangBien() {
    if (!this.nut || !CayBien.dauBien(this.nut)) return;
    this.cay.nangLen(this.nut);
    this.khoaVe = null;
    this.ve();
    thongBao('Nhánh đã thành dòng chính');
  }

  /** Moves of the piece on (h, c) in the node shown: [[h, c], ...] of its destinations. */
  dichCua(h, c) {
    const tin = this.thongTin();
    if (!tin) return [];
    return tin.nuoc.map(docICCS).filter((m) => m.hd === h && m.cd === c).map((m) => [m.hc, m.cc]);
  }

  coQuanDi(h, c) {
    const q = this.nut && this.nut.o[h * 9 + c];
    return !!q && q.phe === this.nut.luot;
  }

  /** A point clicked: selects a piece of the side to move, or moves the selected one there. */
  async cham(h, c) {
    if (!this.cay) return;
    const ch = this.chon;
    if (ch && ch.h === h && ch.c === c) {
      this.chon = null;
    } else if (ch && this.dichCua(ch.h, ch.c).some(([hh, cc]) => hh === h && cc === c)) {
      this.di(ch, { h, c });
      return;
    } else if (this.coQuanDi(h, c)) {
      await this.hoiNuoc(CayBien.fen(this.nut));
      this.chon = { h, c };
    } else {
      this.chon = null;
    }
    this.onDoi();
  }

  coTheKeo(h, c) {
    return this.coQuanDi(h, c);
  }

  batDauKeo(h, c) {
    this.chon = { h, c };
    this.onDoi();
  }

  async tha(h, c, dich) {
    await this.hoiNuoc(CayBien.fen(this.nut));
    if (!dich || !this.dichCua(h, c).some(([hh, cc]) => hh === dich.h && cc === dich.c)) return;
    this.di({ h, c }, dich);
  }

  /** A legal move on the copy: the node's child by it, new or already there. */
  di(tu, den) {
    const iccs = `${'abcdefghi'[tu.c]}${9 - tu.h}${'abcdefghi'[den.c]}${9 - den.h}`;
    const con = this.cay.them(this.nut, iccs);
    if (!con) return;
    this.khoaVe = null;
    this.den(con);
  }

  /** The copy in the form of a state document, for the board. */
  theCoSao() {
    if (!this.cay) return null;
    const nut = this.nut;
    const banCo = [];
    nut.o.forEach((q, i) => { if (q) banCo.push({ h: Math.floor(i / 9), c: i % 9, ...q }); });
    const tin = this.thongTin();
    return {
      banCo,
      nuocDen: this.chon ? this.dichCua(this.chon.h, this.chon.c) : [],
      quanChon: this.chon,
      goiY: null,
      dangChieu: !!tin && tin.chieu,
      // The board animates a move only from the ply before it.
      nuocThu: CayBien.doSau(nut),
      luot: nut.luot,
      moTaCuoi: nut.n ? moTaNuoc(nut.n) : '',
      hetVan: !!tin && tin.ketQua !== 'DANG_CHOI',
    };
  }

  /** The tree as PGN with its variations, in ICCS or WXF. */
  pgn(kieu, the = this.the) {
    return this.cay.vietPGN(the, kieu, this.ketQua, this.lyDo);
  }

  ve() {
    if (!this.cay) return;
    const kieu = this.layKyPhap();
    const tin = this.thongTin();
    const nut = this.nut;
    let trangThai = nut.n ? `Sau ${tenNuocCay(nut)}: ${CayBien.chu(nut, kieu)}` : 'Thế cờ ban đầu';
    if (tin && tin.ketQua !== 'DANG_CHOI') trangThai += ` · ${tin.lyDo}`;
    else if (tin && tin.chieu) trangThai += ` · ${TEN_PHE[nut.luot]} đang bị chiếu`;
    else trangThai += ` · ${TEN_PHE[nut.luot]} đi`;
    $('tieu-de-ban-xem').textContent = this.ten;
    $('trang-thai-ban-xem').textContent = trangThai;
    const trongBien = !!CayBien.dauBien(nut);
    $('nut-xoa-bien').disabled = !trongBien;
    $('nut-nang-bien').disabled = !trongBien;

    // The tree is rebuilt only when it or the notation changed: stepping
    // moves the mark alone, so the button under the pointer stays.
    const khoa = `${kieu}\n${this.cay.vietNuoc('iccs')}`;
    if (khoa !== this.khoaVe) {
      this.khoaVe = khoa;
      this.veCay(kieu);
    }
    const hop = $('cay-bien');
    for (const b of hop.querySelectorAll('.dang-xem')) {
      b.classList.remove('dang-xem');
      b.removeAttribute('aria-current');
    }
    const k = this.dsNut.indexOf(nut);
    const b = k > 0 ? hop.querySelector(`[data-nut="${k}"]`) : null;
    if (b) {
      b.classList.add('dang-xem');
      b.setAttribute('aria-current', 'true');
      const tren = b.offsetTop; // the tree's box is the buttons' offset parent
      if (tren < hop.scrollTop || tren + b.offsetHeight > hop.scrollTop + hop.clientHeight) {
        hop.scrollTop = tren - hop.clientHeight / 2;
      }
    }
    $('cay-trong').hidden = this.cay.goc.con.length > 0;
  }

  /** The main line as running text, each variation a block of its own under the move it replaces. */
  veCay(kieu) {
    this.dsNut = [this.cay.goc];
    const lech = this.cay.goc.luot === 'DEN' ? 1 : 0;
    const the = (ten, lop, chu) => {
      const el = document.createElement(ten);
      el.className = lop;
      if (chu !== undefined) el.textContent = chu;
      return el;
    };
    const nutNuoc = (x, k, canSo, vao) => {
      const laDen = (k + lech) % 2 === 1;
      const so = Math.floor((k + lech) / 2) + 1;
      if (!laDen) vao.append(the('span', 'so-cay', `${so}.`));
      else if (canSo) vao.append(the('span', 'so-cay', `${so}…`));
      const b = the('button', `nuoc-cay ${x.n.phe === 'DO' ? 'do' : 'den'}`, CayBien.chu(x, kieu));
      b.type = 'button';
      b.dataset.nut = String(this.dsNut.length);
      this.dsNut.push(x);
      vao.append(b);
    };
    const dong = (tu, k, canSo, vao) => {
      let x = tu;
      let ply = k;
      let soLai = canSo;
      let hang = the('div', 'hang-cay');
      vao.append(hang);
      while (x.con.length) {
        const [chinh, ...khac] = x.con;
        nutNuoc(chinh, ply, soLai, hang);
        for (const b of khac) {
          const khoi = the('div', 'bien-cay');
          const dau = the('div', 'hang-cay');
          khoi.append(dau);
          nutNuoc(b, ply, true, dau);
          dong(b, ply + 1, false, khoi);
          vao.append(khoi);
        }
        soLai = khac.length > 0;
        if (khac.length && chinh.con.length) {
          hang = the('div', 'hang-cay');
          vao.append(hang);
        }
        x = chinh;
        ply += 1;
      }
    };
    const hop = $('cay-bien');
    hop.replaceChildren();
    dong(this.cay.goc, 0, true, hop);
    // A variation's own first row continues on the row its first move opened.
    for (const khoi of hop.querySelectorAll('.bien-cay')) {
      const [dau, sau] = khoi.children;
      if (sau && sau.classList.contains('hang-cay')) {
        dau.append(...sau.childNodes);
        sau.remove();
      }
    }
    for (const h of hop.querySelectorAll('.hang-cay')) if (!h.childNodes.length) h.remove();
  }
}
