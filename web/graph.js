// The game's evaluation graph: red's score after each move, from the
// program's analysis engine, which scores the positions one by one in the
// background (after the game ends, or when asked). A point clicked shows
// its position through the page's review.

import { goiAPI } from './api.js';
import { tao, NS } from './svg.js';
import { chuDiem } from './analysis.js';

const HOI_MS = 1000;
const RONG = 320;
const CAO = 90;
const TRAN = 600; // scores beyond ±6 pawns (and mates) sit on the edge

const $ = (id) => document.getElementById(id);

export class DoThi {
  /** onChon(k): the position after k moves was chosen. */
  constructor({ onChon }) {
    this.onChon = onChon;
    this.khoa = null; // the game asked for: its start and moves
    this.bat = false; // asked for (or the game is over)
    this.diem = [];
    this.chieuHet = [];
    this.xong = false;
    this.dangXem = null;
    this.henGio = null;
    this.svg = tao('svg', {
      viewBox: `0 0 ${RONG} ${CAO}`, class: 'do-thi-svg', xmlns: NS, role: 'group',
      'aria-label': 'Biểu đồ đánh giá ván (điểm của Đỏ sau mỗi nước)',
    }, $('do-thi'));
    $('nut-danh-gia').addEventListener('click', () => {
      this.bat = true;
      this.hoiNgay();
    });
    this.svg.addEventListener('click', (e) => {
      const d = e.target.closest('[data-ply]');
      if (d) this.onChon(Number(d.dataset.ply));
    });
  }

  /**
   * The game shown changed: fen0 its first position, nuoc its moves (ICCS),
   * ketThuc whether it is over (then it is scored without being asked),
   * dangXem the ply in review or null.
   */
  capNhat(fen0, nuoc, ketThuc, dangXem) {
    const khoa = fen0 ? `${fen0}|${nuoc.join(',')}` : null;
    if (khoa === this.khoa && dangXem === this.dangXem && (!ketThuc || this.bat)) return;
    if (khoa !== this.khoa) {
      // Another game starts unasked; the same one a move on (or back) goes on.
      const cu = this.nuoc || [];
      const ngan = Math.min(cu.length, nuoc.length);
      const cungVan = this.khoa !== null && fen0 === this.fen0 && cu.slice(0, ngan).every((m, i) => m === nuoc[i]);
      if (!cungVan) {
        this.bat = false;
        this.diem = [];
        this.chieuHet = [];
      }
      this.khoa = khoa;
      this.xong = false;
    }
    this.fen0 = fen0;
    this.nuoc = nuoc;
    this.dangXem = dangXem;
    if (ketThuc && fen0) this.bat = true;
    if (this.bat && !this.xong) this.hoiNgay();
    this.ve();
  }

  hoiNgay() {
    clearTimeout(this.henGio);
    this.henGio = setTimeout(() => this.hoi(), 0);
  }

  async hoi() {
    if (!this.bat || !this.fen0) return;
    const khoa = this.khoa;
    let r = null;
    try {
      r = await goiAPI('danhgiavan', { fen: this.fen0, nuoc: this.nuoc.join(',') });
    } catch {
      r = null;
    }
    if (khoa !== this.khoa) return;
    if (r && r.ok) {
      this.diem = r.diem;
      this.chieuHet = r.chieuHet;
      this.xong = r.xong;
    }
    this.ve();
    if (!this.xong) this.henGio = setTimeout(() => this.hoi(), document.hidden ? HOI_MS * 4 : HOI_MS);
  }

  ve() {
    const n = this.nuoc ? this.nuoc.length : 0;
    $('nut-danh-gia').hidden = this.bat || n === 0;
    $('do-thi').hidden = !this.bat || n === 0;
    const co = this.diem.filter((d) => d !== null).length;
    $('chu-do-thi').textContent = !this.bat || n === 0 ? ''
      : this.xong ? 'Điểm của Đỏ sau mỗi nước' : `Đang đánh giá… ${co}/${n + 1} thế cờ`;
    this.svg.replaceChildren();
    if (!this.bat || n === 0) return;
    const x = (k) => 6 + (k * (RONG - 12)) / Math.max(n, 1);
    const y = (k) => {
      const d = this.chieuHet[k] !== null && this.chieuHet[k] !== undefined
        ? Math.sign(this.chieuHet[k]) * TRAN : Math.max(-TRAN, Math.min(TRAN, this.diem[k]));
      return CAO / 2 - (d / TRAN) * (CAO / 2 - 6);
    };
    tao('rect', { x: 0, y: CAO / 2, width: RONG, height: CAO / 2, class: 'nua-den' }, this.svg);
    tao('line', { x1: 0, y1: CAO / 2, x2: RONG, y2: CAO / 2, class: 'truc' }, this.svg);
    if (this.dangXem !== null && this.dangXem !== undefined) {
      tao('line', { x1: x(this.dangXem), y1: 0, x2: x(this.dangXem), y2: CAO, class: 'dang-xem' }, this.svg);
    }
    let duong = '';
    for (let k = 0; k <= n; k += 1) {
      if (this.diem[k] === null || this.diem[k] === undefined) continue;
      duong += `${duong ? 'L' : 'M'}${x(k).toFixed(1)} ${y(k).toFixed(1)}`;
    }
    if (duong) tao('path', { d: duong, class: 'duong-diem' }, this.svg);
    for (let k = 0; k <= n; k += 1) {
      if (this.diem[k] === null || this.diem[k] === undefined) continue;
      const g = tao('g', { class: 'diem-do-thi', 'data-ply': k, role: 'button' }, this.svg);
      const chu = chuDiem({ diem: this.diem[k], chieuHet: this.chieuHet[k] });
      g.setAttribute('aria-label', k === 0 ? `Thế cờ ban đầu: ${chu}` : `Sau nước thứ ${k}: ${chu}`);
      tao('title', {}, g).textContent = k === 0 ? `Ban đầu: ${chu}` : `Nước ${k}: ${chu}`;
      // A wide target: a phone's finger, not the dot, picks the move.
      tao('rect', {
        x: x(k) - (RONG - 12) / Math.max(n, 1) / 2, y: 0, width: Math.max((RONG - 12) / Math.max(n, 1), 4), height: CAO,
        class: 'vung-diem',
      }, g);
      tao('circle', { cx: x(k), cy: y(k), r: 2.6 }, g);
    }
  }
}
