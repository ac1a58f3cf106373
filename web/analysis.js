// The analysis panel: the program's analysis engine thinks on the position
// shown (the live game, a reviewed move, or a position handed over with the
// "phantich:mo" event) and the panel shows its best lines — score from red's
// side, depth, the moves in the chosen notation — with an arrow on the board
// for each line's first move. A move of a line clicked is played, with the
// line before it, on a copy shown on the board: the game itself never changes.
// The server stops analysing when it is no longer asked, so the panel asks
// while it is open and running.

import { goiAPI } from './api.js';
import { docFEN, vietFEN, docICCS, diTren } from './fen.js';
import { vietNuoc } from './notation.js';
import { TEN_API_LOAI, CHU_COT, TEN_PHE } from './labels.js';

const HOI_MS = 700;
const SO_NUOC_HIEN = 10; // plies of a line shown: deeper ones change too often to read
const KHOA_LUU = 'tavelin.phanTich';

const $ = (id) => document.getElementById(id);

/** A line's score as red sees it: "+0.45", or who mates and in how many moves. */
export function chuDiem(dong) {
  if (dong.chieuHet !== null && dong.chieuHet !== undefined) {
    const ai = dong.chieuHet > 0 ? 'Đỏ' : 'Đen';
    return `${ai} chiếu hết sau ${Math.abs(dong.chieuHet)} nước`;
  }
  const d = dong.diem / 100;
  return `${d > 0 ? '+' : d < 0 ? '−' : '±'}${Math.abs(d).toFixed(2)}`;
}

/**
 * The moves of a line read against its position: [{n, chu, o, luot}] — the
 * move with its piece, its text in the notation, and the position after it.
 * Stops at a move whose square is empty (a line for another position).
 */
export function docDong(o, luot, dsNuoc, kieu) {
  const ra = [];
  let vt = o;
  let phe = luot;
  for (const chu of dsNuoc) {
    const m = docICCS(chu);
    const quan = m && vt[m.hd * 9 + m.cd];
    if (!quan || quan.phe !== phe) break;
    const n = { ...m, loai: quan.loai, phe: quan.phe, an: vt[m.hc * 9 + m.cc] };
    const text = vietNuoc(vt, n, kieu);
    vt = diTren(vt, n);
    phe = phe === 'DO' ? 'DEN' : 'DO';
    ra.push({ n, chu: text, o: vt, luot: phe });
  }
  return ra;
}

/** A move in the server's own words, so that the board marks it as the last one. */
export function moTaNuoc(n) {
  const phe = n.phe === 'DEN' ? 'đen' : 'đỏ';
  return `${TEN_API_LOAI[n.loai]} ${phe} ${n.hd}${CHU_COT[n.cd]}-${n.hc}${CHU_COT[n.cc]}`;
}

function docSoDong() {
  try {
    const k = Number(JSON.parse(window.localStorage.getItem(KHOA_LUU) || '{}').soDong);
    return [1, 2, 3].includes(k) ? k : 2;
  } catch {
    return 2;
  }
}

export class PhanTich {
  /**
   * banCo: the board (arrows); layTheCoVan(): {o, luot, hetVan} of the game's
   * position shown (live or reviewed; hetVan: the finished game's last one); layKyPhap(): the notation; onDoi(): the board
   * must be drawn again; onVeVan(): back to the live game (review closed);
   * layNguon(): what the position shown is, when not the game's (or null).
   */
  constructor({
    banCo, layTheCoVan, layKyPhap, onDoi, onVeVan, layNguon = () => null,
  }) {
    this.banCo = banCo;
    this.layNguon = layNguon;
    this.layTheCoVan = layTheCoVan;
    this.layKyPhap = layKyPhap;
    this.onDoi = onDoi;
    this.onVeVan = onVeVan;
    this.mo = false;
    this.chay = false;
    this.soDong = docSoDong();
    this.goc = null; // a position of its own ({o, luot, fen}), or null: the game's
    this.xem = null; // the copy shown: {o, luot, moTa, chu}, or null
    this.ketQua = null;
    this.henGio = null;
    this.the = $('phan-tich');
    this.ganSuKien();
    document.addEventListener('phantich:mo', (e) => this.moViTri(e.detail && e.detail.fen));
  }

  ganSuKien() {
    $('nut-phan-tich').addEventListener('click', () => (this.mo ? this.dong() : this.batDau()));
    $('nut-dong-phan-tich').addEventListener('click', () => this.dong());
    $('nut-chay-phan-tich').addEventListener('click', () => (this.chay ? this.dung() : this.tiepTuc()));
    const chon = $('chon-so-dong');
    chon.value = String(this.soDong);
    chon.addEventListener('change', () => {
      this.soDong = Number(chon.value);
      try {
        window.localStorage.setItem(KHOA_LUU, JSON.stringify({ soDong: this.soDong }));
      } catch {
        // not remembered: the choice lasts for this visit
      }
      this.hoiNgay();
    });
    $('dong-phan-tich').addEventListener('click', (e) => {
      const el = e.target.closest('[data-dong]');
      if (el) this.xemNuoc(Number(el.dataset.dong), Number(el.dataset.nuoc));
    });
    $('nut-phan-tich-the-nay').addEventListener('click', () => {
      if (!this.xem) return;
      const { o, luot } = this.xem;
      this.goc = { o, luot, fen: vietFEN(o, luot) };
      this.xem = null;
      this.ketQua = null;
      this.doi();
    });
    $('nut-ve-the-phan-tich').addEventListener('click', () => {
      this.xem = null;
      this.doi();
    });
    $('nut-phan-tich-ve-van').addEventListener('click', () => this.veVan());
  }

  /** Whether the board shows a copy (a line's position or one handed over) rather than the game. */
  dangHienSao() {
    return this.mo && (this.xem !== null || this.goc !== null);
  }

  /** The copy the board shows, in the form of a state document, or null for the game. */
  theCoSao() {
    if (!this.dangHienSao()) return null;
    const v = this.xem ?? { ...this.goc, moTa: '' };
    const banCo = [];
    v.o.forEach((q, i) => { if (q) banCo.push({ h: Math.floor(i / 9), c: i % 9, ...q }); });
    return {
      banCo, nuocDen: [], quanChon: null, goiY: null, dangChieu: false, nuocThu: -10, luot: v.luot, moTaCuoi: v.moTa,
    };
  }

  /** The position analysed: its own, or the game's shown. */
  viTri() {
    if (this.goc) return this.goc;
    const { o, luot, luat } = this.layTheCoVan();
    return { o, luot, luat, fen: vietFEN(o, luot) };
  }

  /** Opens the panel on a position given as FEN (another part of the page asks). */
  moViTri(fen) {
    const d = fen ? docFEN(fen) : null;
    if (d && !d.loi) this.goc = { o: d.o, luot: d.luot, fen: vietFEN(d.o, d.luot) };
    this.xem = null;
    this.ketQua = null;
    this.batDau();
  }

  batDau() {
    this.mo = true;
    this.the.hidden = false;
    $('nut-phan-tich').setAttribute('aria-pressed', 'true');
    // No scrolling: on a phone the board (with its arrows) stays in sight, the lines below it.
    this.tiepTuc();
  }

  tiepTuc() {
    this.chay = true;
    this.doi();
  }

  dung() {
    this.chay = false;
    clearTimeout(this.henGio);
    goiAPI('phantich', { dung: 1 }).catch(() => {});
    this.ve();
  }

  dong() {
    if (!this.mo) return;
    if (this.chay) this.dung();
    this.mo = false;
    this.chay = false;
    this.the.hidden = true;
    $('nut-phan-tich').setAttribute('aria-pressed', 'false');
    this.goc = null;
    this.xem = null;
    this.ketQua = null;
    this.banCo.veMuiTenPhanTich([]);
    this.khoaVe = null;
    this.onDoi();
  }

  /** Drops the copy (the page's review moved): the board follows the game again. */
  boSao() {
    if (!this.xem && !this.goc) return;
    this.xem = null;
    this.goc = null;
    this.ketQua = null;
  }

  veVan() {
    this.goc = null;
    this.xem = null;
    this.ketQua = null;
    this.onVeVan();
    this.doi();
  }

  /** The position or the settings changed: redraw, and ask at once. */
  doi() {
    this.onDoi();
    this.hoiNgay();
  }

  /** The game's state or review moved on (called by the page after each drawing). */
  theoVan() {
    if (!this.mo || this.goc) return;
    const fen = this.viTri().fen;
    if (this.ketQua && this.ketQua.fen !== fen) this.hoiNgay();
    else this.ve();
  }

  hoiNgay() {
    if (!this.mo) return;
    this.ve();
    if (!this.chay) return;
    clearTimeout(this.henGio);
    this.henGio = setTimeout(() => this.hoi(), 0);
  }

  async hoi() {
    if (!this.mo || !this.chay) return;
    const { fen, luat } = this.viTri();
    let r = null;
    try {
      // A position of its own is judged by the Asian rules (the server's default).
      r = await goiAPI('phantich', luat ? { fen, dong: this.soDong, luat } : { fen, dong: this.soDong });
    } catch {
      r = null; // the page's own polling reports a lost connection
    }
    if (!this.mo || !this.chay) return;
    if (r && r.ok === false) this.ketQua = { fen, loi: r.lyDo, dong: [], doSau: 0 };
    else if (r && r.ok) this.ketQua = r;
    this.ve();
    clearTimeout(this.henGio);
    this.henGio = setTimeout(() => this.hoi(), document.hidden ? HOI_MS * 4 : HOI_MS);
  }

  /** The lines of the last answer read against the position analysed ([] when they are for another). */
  cacDong() {
    const vt = this.viTri();
    const kq = this.ketQua;
    if (!kq || kq.loi || kq.fen !== vt.fen) return [];
    const kieu = this.layKyPhap();
    return kq.dong.map((d) => ({ ...d, cacNuoc: docDong(vt.o, vt.luot, d.nuoc.slice(0, SO_NUOC_HIEN), kieu) }));
  }

  xemNuoc(dong, i) {
    const d = this.cacDong()[dong];
    const m = d && d.cacNuoc[i];
    if (!m) return;
    this.xem = { o: m.o, luot: m.luot, moTa: moTaNuoc(m.n), chu: `dòng ${dong + 1}, ${m.chu}` };
    this.onDoi();
    this.ve();
  }

  ve() {
    if (!this.mo) return;
    const vt = this.viTri();
    const kq = this.ketQua;
    const dsDong = this.cacDong();
    const nut = $('nut-chay-phan-tich');
    nut.textContent = this.chay ? 'Dừng' : 'Tiếp tục';
    nut.setAttribute('aria-pressed', String(!this.chay));
    let trangThai;
    if (kq && kq.loi && kq.fen === vt.fen) trangThai = kq.loi;
    else if (!dsDong.length && !this.goc && this.layTheCoVan().hetVan) trangThai = 'Ván đã kết thúc.';
    else if (!dsDong.length) trangThai = this.chay ? 'Đang suy nghĩ…' : 'Đã dừng.';
    else trangThai = `${this.chay ? 'Độ sâu' : 'Đã dừng ở độ sâu'} ${kq.doSau} · ${TEN_PHE[vt.luot]} đi`;
    // The page draws often (every 40 ms while the computer thinks): the
    // lines are rebuilt only when they change, so a move under the pointer
    // stays the button that is clicked.
    const khoa = JSON.stringify([vt.fen, trangThai, this.chay, !!this.goc, this.xem && this.xem.chu, this.dangHienSao(),
      this.layNguon(),
      dsDong.map((d) => [chuDiem(d), d.cacNuoc.map((m) => m.chu)])]);
    if (khoa === this.khoaVe) return;
    this.khoaVe = khoa;
    $('trang-thai-phan-tich').textContent = trangThai;
    $('nguon-phan-tich').textContent = this.goc ? 'Thế cờ riêng' : (this.layNguon() ?? 'Thế cờ đang xem của ván');

    const ds = $('dong-phan-tich');
    ds.replaceChildren();
    dsDong.forEach((d, j) => {
      const li = document.createElement('li');
      li.className = `dong-pt dong-pt-${j}`;
      const diem = document.createElement('span');
      diem.className = `diem-pt ${d.diem > 0 ? 'do' : d.diem < 0 ? 'den' : ''}`;
      diem.textContent = chuDiem(d);
      li.append(diem);
      const nuoc = document.createElement('span');
      nuoc.className = 'nuoc-pt';
      let soNuoc = 1;
      d.cacNuoc.forEach((m, i) => {
        if (m.n.phe === 'DO' || i === 0) {
          const so = document.createElement('span');
          so.className = 'so-pt';
          so.textContent = m.n.phe === 'DO' ? `${soNuoc}.` : `${soNuoc}…`;
          nuoc.append(so);
        }
        if (m.n.phe === 'DEN') soNuoc += 1;
        const b = document.createElement('button');
        b.type = 'button';
        b.className = 'nut-nuoc-pt';
        b.dataset.dong = String(j);
        b.dataset.nuoc = String(i);
        b.textContent = m.chu;
        b.title = 'Xem thế cờ sau nước này (ván không đổi)';
        nuoc.append(b);
      });
      li.append(nuoc);
      ds.append(li);
    });

    // The copy on the board: what it is, and the ways back.
    const sao = $('sao-phan-tich');
    sao.hidden = !this.dangHienSao();
    $('chu-sao-phan-tich').textContent = this.xem ? `Bản phân tích: sau ${this.xem.chu}` : 'Thế cờ phân tích riêng';
    $('nut-phan-tich-the-nay').hidden = !this.xem;
    $('nut-ve-the-phan-tich').hidden = !this.xem;

    // Arrows only over the position the lines belong to.
    const muiTen = this.xem ? [] : dsDong.map((d) => d.cacNuoc[0]?.n).filter(Boolean);
    this.banCo.veMuiTenPhanTich(muiTen);
  }
}
