// The board: an SVG drawing of the grid, the 90 points and the pieces, and the
// input on it (click, drag and keyboard). It knows nothing of the rules: it
// draws the position it is given and reports which point was activated.

import { kyTuQuan, dungChuHan, CHU_COT, tenO, tenQuan, LOAI_TUONG } from './labels.js';
import { docMoTa, soCot } from './notation.js';
import { tao, NS } from './svg.js';
import { KeoTha } from './drag.js';

const S = 60; // distance between two lines
const LE_X = 44; // margins around the grid: the sides are narrow so that the
const LE_Y = 56; // points get as much of a phone's width as possible
const RONG = LE_X * 2 + 8 * S; // 568 × 652: the stylesheet's --ti-le
const CAO = LE_Y * 2 + 9 * S;
const BAN_KINH = 27;
// With coordinates the rank numbers stand beside the outer files, where the
// narrow sides leave no room: the drawing grows by these margins (608 × 668,
// the stylesheet's .nhan-iccs), the grid staying where it is.
const THEM_X = 20;
const THEM_Y = 8;

const DIEM_HOA = [[2, 1], [2, 7], [7, 1], [7, 7],
  [3, 0], [3, 2], [3, 4], [3, 6], [3, 8], [6, 0], [6, 2], [6, 4], [6, 6], [6, 8]];

export class BanCoSVG {
  /**
   * onCham(h, c): a point was clicked or chosen with the keyboard;
   * coTheKeo(h, c): whether a press there may start a drag;
   * onBatDauKeo(h, c) and onTha(h, c, dich): a drag started, and ended over
   * the point dich ({h, c}, or null outside the grid). tienTo starts the
   * points' ids, so that a second board on the page has ids of its own.
   */
  constructor(khung, {
    onCham, coTheKeo, onBatDauKeo, onTha, tienTo = 'o',
  }) {
    this.khung = khung;
    this.tienTo = tienTo;
    this.onCham = onCham;
    this.coTheKeo = coTheKeo;
    this.onBatDauKeo = onBatDauKeo;
    this.onTha = onTha;
    this.lat = false;
    this.nhanSo = true; // edges show the files 1..9 of the notation, else letters and rows
    this.boQuaClick = false; // set by a drop, for the click the browser sends after it
    this.conTro = { h: 9, c: 4 };
    this.nuocThuTruoc = null;
    this.svg = tao('svg', {
      viewBox: `0 0 ${RONG} ${CAO}`, class: 'ban-co-svg', role: 'group', xmlns: NS,
    }, khung);
    this.veNen();
    this.datKhung();
    this.lopToaDo = tao('g', { class: 'toa-do', 'aria-hidden': 'true' }, this.svg);
    this.lopDiem = tao('g', { class: 'lop-diem' }, this.svg);
    this.lopGoiY = tao('g', { class: 'lop-goi-y', 'aria-hidden': 'true' }, this.svg);
    this.lopPhanTich = tao('g', { class: 'lop-phan-tich', 'aria-hidden': 'true' }, this.svg);
    this.muiTenPhanTich = [];
    this.oConTro = this.veConTro();
    this.diem = [];
    for (let h = 0; h < 10; h += 1) {
      for (let c = 0; c < 9; c += 1) this.diem.push(this.taoDiem(h, c));
    }
    this.datViTri();
    this.ganSuKien();
  }

  /** Board coordinates to drawing coordinates, with the orientation applied. */
  toaDo(h, c) {
    const hh = this.lat ? 9 - h : h;
    const cc = this.lat ? 8 - c : c;
    return [LE_X + cc * S, LE_Y + hh * S];
  }

  veNen() {
    const defs = tao('defs', {}, this.svg);
    defs.innerHTML = `
      <linearGradient id="go" x1="0" y1="0" x2="1" y2="1">
        <stop offset="0" stop-color="#f3d59f"/><stop offset="0.55" stop-color="#e6bd7c"/>
        <stop offset="1" stop-color="#d6a561"/></linearGradient>
      <filter id="van-go" x="0" y="0" width="100%" height="100%">
        <feTurbulence type="fractalNoise" baseFrequency="0.012 0.22" numOctaves="3" seed="7"/>
        <feColorMatrix values="0 0 0 0 0.42  0 0 0 0 0.25  0 0 0 0 0.1  0 0 0 0.9 -0.28"/>
        <feComposite in2="SourceGraphic" operator="in"/></filter>
      <radialGradient id="than-quan" cx="0.42" cy="0.36" r="0.7">
        <stop offset="0" stop-color="#fffaf0"/><stop offset="0.6" stop-color="#f4e3bd"/>
        <stop offset="1" stop-color="#d9bb82"/></radialGradient>
      <marker id="mui-ten" viewBox="0 0 10 10" refX="5" refY="5" markerWidth="3.2"
        markerHeight="3.2" orient="auto-start-reverse">
        <path d="M0 0 L10 5 L0 10 z" class="mui-ten"/></marker>`;
    this.matGo = [
      tao('rect', { rx: 14, class: 'mat-go' }, this.svg),
      tao('rect', { rx: 14, class: 'van-go' }, this.svg),
    ];
    const luoi = tao('g', { class: 'luoi', 'aria-hidden': 'true' }, this.svg);
    const duong = (x1, y1, x2, y2) => tao('line', { x1, y1, x2, y2 }, luoi);
    const X = (c) => LE_X + c * S;
    const Y = (h) => LE_Y + h * S;
    for (let h = 0; h < 10; h += 1) duong(X(0), Y(h), X(8), Y(h));
    for (let c = 1; c < 8; c += 1) {
      duong(X(c), Y(0), X(c), Y(4));
      duong(X(c), Y(5), X(c), Y(9));
    }
    duong(X(0), Y(0), X(0), Y(9));
    duong(X(8), Y(0), X(8), Y(9));
    for (const [h0, h1] of [[0, 2], [7, 9]]) {
      duong(X(3), Y(h0), X(5), Y(h1));
      duong(X(5), Y(h0), X(3), Y(h1));
    }
    tao('rect', { x: X(0) - 7, y: Y(0) - 7, width: 8 * S + 14, height: 9 * S + 14, class: 'vien' }, luoi);
    for (const [h, c] of DIEM_HOA) this.veHoa(luoi, X(c), Y(h), c);
    const song = tao('g', { class: 'song' }, this.svg);
    const ySong = LE_Y + 4.5 * S;
    tao('text', { x: X(2), y: ySong }, song).textContent = 'SỞ HÀ';
    tao('text', { x: X(6), y: ySong }, song).textContent = 'HÁN GIỚI';
  }

  /** The small corner marks that show where cannons and soldiers start. */
  veHoa(cha, x, y, c) {
    const d = 5;
    const l = 10;
    for (const sx of [-1, 1]) {
      if ((c === 0 && sx < 0) || (c === 8 && sx > 0)) continue;
      for (const sy of [-1, 1]) {
        const x0 = x + sx * d;
        const y0 = y + sy * d;
        tao('path', { d: `M${x0 + sx * l} ${y0} H${x0} V${y0 + sy * l}`, class: 'hoa' }, cha);
      }
    }
  }

  veConTro() {
    const g = tao('g', { class: 'con-tro', 'aria-hidden': 'true' }, this.svg);
    const r = S / 2 - 2;
    const l = 9;
    for (const sx of [-1, 1]) {
      for (const sy of [-1, 1]) {
        tao('path', { d: `M${sx * r} ${sy * (r - l)} V${sy * r} H${sx * (r - l)}` }, g);
      }
    }
    return g;
  }

  taoDiem(h, c) {
    const g = tao('g', {
      class: 'diem', 'data-hang': h, 'data-cot': c, role: 'button', id: `${this.tienTo}-${h}-${c}`,
    }, this.lopDiem);
    // The whole cell answers a press, not only the circle that lights up.
    tao('rect', { x: -S / 2, y: -S / 2, width: S, height: S, class: 'o-cham' }, g);
    tao('circle', { r: S / 2 - 1, class: 'vung' }, g);
    tao('circle', { r: 15, class: 'dau-cu' }, g);
    tao('circle', { r: 8, class: 'cham-dich' }, g);
    return g;
  }

  datViTri() {
    for (const g of this.diem) {
      const [x, y] = this.toaDo(+g.dataset.hang, +g.dataset.cot);
      g.setAttribute('transform', `translate(${x} ${y})`);
    }
    this.veNhan();
    this.veConTroTai();
    if (this.lopPhanTich) this.veMuiTenPhanTich(this.muiTenPhanTich);
  }

  /** The drawing's extent and its wood: wider and taller with coordinates at the edges. */
  datKhung() {
    const dx = this.nhanSo ? 0 : THEM_X;
    const dy = this.nhanSo ? 0 : THEM_Y;
    this.svg.setAttribute('viewBox', `${-dx} ${-dy} ${RONG + 2 * dx} ${CAO + 2 * dy}`);
    for (const r of this.matGo) {
      for (const [k, v] of Object.entries({ x: 4 - dx, y: 4 - dy, width: RONG - 8 + 2 * dx, height: CAO - 8 + 2 * dy })) {
        r.setAttribute(k, v);
      }
    }
    this.khung.classList.toggle('nhan-iccs', !this.nhanSo);
  }

  /**
   * The edge labels. With a player's notation: each side's files 1..9 from
   * its own right, on its own edge. With coordinates: ICCS files and ranks,
   * in the wider margins, clear of the pieces on the outer files and ranks.
   */
  veNhan() {
    this.lopToaDo.replaceChildren();
    this.lopToaDo.classList.toggle('so-cot', this.nhanSo);
    const phe = this.lat ? { tren: 'DO', duoi: 'DEN' } : { tren: 'DEN', duoi: 'DO' };
    for (let i = 0; i < 9; i += 1) {
      const c = this.lat ? 8 - i : i;
      const x = LE_X + i * S;
      const tren = this.nhanSo ? String(soCot(phe.tren, c)) : CHU_COT[c];
      const duoi = this.nhanSo ? String(soCot(phe.duoi, c)) : CHU_COT[c];
      const lech = this.nhanSo ? 39 : 44;
      tao('text', { x, y: LE_Y - lech, 'data-phe': phe.tren }, this.lopToaDo).textContent = tren;
      tao('text', { x, y: CAO - LE_Y + lech, 'data-phe': phe.duoi }, this.lopToaDo).textContent = duoi;
    }
    if (this.nhanSo) return;
    for (let i = 0; i < 10; i += 1) {
      const h = this.lat ? 9 - i : i;
      const y = LE_Y + i * S;
      tao('text', { x: -3, y, class: 'hang' }, this.lopToaDo).textContent = String(9 - h);
      tao('text', { x: RONG + 3, y, class: 'hang' }, this.lopToaDo).textContent = String(9 - h);
    }
  }

  /** Switches the edge labels between file numbers and coordinates. */
  datNhan(nhanSo) {
    if (nhanSo === this.nhanSo) return;
    this.nhanSo = nhanSo;
    this.datKhung();
    this.veNhan();
  }

  ganSuKien() {
    this.lopDiem.addEventListener('click', (e) => {
      const g = e.target.closest('.diem');
      if (!g || this.boQuaClick) return;
      this.conTro = { h: +g.dataset.hang, c: +g.dataset.cot };
      this.veConTroTai();
      this.onCham(this.conTro.h, this.conTro.c);
    });
    this.khung.addEventListener('pointerdown', () => this.khung.classList.remove('ban-phim'));
    this.khung.addEventListener('focus', () => {
      if (this.khung.matches(':focus-visible')) this.khung.classList.add('ban-phim');
    });
    this.khung.addEventListener('keydown', (e) => this.xuLyPhim(e));
    this.keoTha = new KeoTha(this);
  }

  /** The point of the grid nearest to a drawing position, or null outside it. */
  diemGanNhat(p) {
    const i = Math.round((p.x - LE_X) / S);
    const j = Math.round((p.y - LE_Y) / S);
    if (i < 0 || i > 8 || j < 0 || j > 9) return null;
    return this.lat ? { h: 9 - j, c: 8 - i } : { h: j, c: i };
  }

  xuLyPhim(e) {
    const huong = { ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1] }[e.key];
    if (huong) {
      // Arrows follow the screen, so they are reversed when the board is turned.
      const k = this.lat ? -1 : 1;
      this.conTro = {
        h: Math.min(9, Math.max(0, this.conTro.h + k * huong[0])),
        c: Math.min(8, Math.max(0, this.conTro.c + k * huong[1])),
      };
    } else if (e.key === 'Enter' || e.key === ' ') {
      this.onCham(this.conTro.h, this.conTro.c);
    } else {
      return;
    }
    e.preventDefault();
    this.khung.classList.add('ban-phim');
    this.veConTroTai();
  }

  veConTroTai() {
    const [x, y] = this.toaDo(this.conTro.h, this.conTro.c);
    this.oConTro.setAttribute('transform', `translate(${x} ${y})`);
    this.khung.setAttribute('aria-activedescendant', `${this.tienTo}-${this.conTro.h}-${this.conTro.c}`);
  }

  /**
   * Draws a position in the form of the state document (banCo, nuocDen,
   * quanChon, moTaCuoi, dangChieu, luot, goiY, nuocThu); lat = true puts red
   * at the top.
   */
  ve(tt, lat) {
    if (lat !== this.lat) {
      this.lat = lat;
      this.datViTri();
    }
    const theoO = new Map(tt.banCo.map((q) => [q.h * 9 + q.c, q]));
    const dich = new Set(tt.nuocDen.map(([h, c]) => h * 9 + c));
    const chon = tt.quanChon ? tt.quanChon.h * 9 + tt.quanChon.c : -1;
    const cuoi = docMoTa(tt.moTaCuoi);
    const tuong = tt.dangChieu ? tt.banCo.find((q) => q.loai === LOAI_TUONG && q.phe === tt.luot) : null;
    const oChieu = tuong ? tuong.h * 9 + tuong.c : -1;
    for (let i = 0; i < 90; i += 1) {
      const quan = theoO.get(i) || null;
      this.capNhatQuan(this.diem[i], quan);
      this.capNhatDiem(this.diem[i], quan, {
        chon: i === chon,
        dich: dich.has(i),
        cuoiDi: !!cuoi && i === cuoi.hd * 9 + cuoi.cd,
        cuoiDen: !!cuoi && i === cuoi.hc * 9 + cuoi.cc,
        chieu: i === oChieu,
      });
    }
    this.veGoiY(tt.goiY);
    this.hoatCanh(tt, cuoi);
    this.svg.classList.toggle('co-chon', chon >= 0);
  }

  capNhatQuan(g, quan) {
    const khoa = quan ? `${quan.phe}${quan.loai}` : '';
    if (g.dataset.khoa === khoa) return;
    g.dataset.khoa = khoa;
    g.querySelector('.quan')?.remove();
    if (quan) g.appendChild(this.taoQuan(quan));
  }

  taoQuan(quan) {
    const phe = quan.phe === 'DEN' ? 'DEN' : 'DO';
    const g = document.createElementNS(NS, 'g');
    g.setAttribute('class', `quan ${phe === 'DO' ? 'do' : 'den'}`);
    g.setAttribute('data-loai', String(quan.loai));
    g.setAttribute('data-phe', phe);
    tao('circle', { r: BAN_KINH, cx: 1.5, cy: 3, class: 'bong' }, g);
    const than = tao('g', { class: 'than' }, g);
    tao('circle', { r: BAN_KINH, class: 'mat' }, than);
    tao('circle', { r: BAN_KINH - 4.5, class: 'vanh' }, than);
    const chu = tao('text', { class: dungChuHan() ? 'chu' : 'chu chu-la-tinh', y: 1 }, than);
    chu.textContent = kyTuQuan(phe, quan.loai) ?? quan.ve;
    return g;
  }

  capNhatDiem(g, quan, co) {
    g.classList.toggle('co-quan', !!quan);
    g.classList.toggle('dang-chon', co.chon);
    g.classList.toggle('la-dich', co.dich);
    g.classList.toggle('cuoi-di', co.cuoiDi);
    g.classList.toggle('cuoi-den', co.cuoiDen);
    g.classList.toggle('bi-chieu', co.chieu);
    let nhan = `Ô ${tenO(+g.dataset.hang, +g.dataset.cot)}: ${quan ? tenQuan(quan) : 'trống'}`;
    if (co.chon) nhan += ', đang chọn';
    if (co.dich) nhan += ', có thể đi tới';
    if (co.chieu) nhan += ', đang bị chiếu';
    g.setAttribute('aria-label', nhan);
    g.setAttribute('aria-pressed', co.chon ? 'true' : 'false');
  }

  veGoiY(goiY) {
    this.lopGoiY.replaceChildren();
    if (!goiY) return;
    const [x1, y1] = this.toaDo(goiY.hd, goiY.cd);
    const [x2, y2] = this.toaDo(goiY.hc, goiY.cc);
    const dai = Math.hypot(x2 - x1, y2 - y1) || 1;
    const ux = (x2 - x1) / dai;
    const uy = (y2 - y1) / dai;
    tao('circle', { cx: x1, cy: y1, r: BAN_KINH + 3, class: 'goi-y-di' }, this.lopGoiY);
    tao('line', {
      x1: x1 + ux * 16, y1: y1 + uy * 16, x2: x2 - ux * 14, y2: y2 - uy * 14,
      class: 'mui-goi-y', 'marker-end': 'url(#mui-ten)',
    }, this.lopGoiY);
  }

  /**
   * The analysis's arrows, one per line's first move ({hd, cd, hc, cc}),
   * best first: the first the boldest. They stay until replaced.
   */
  veMuiTenPhanTich(ds) {
    this.muiTenPhanTich = ds;
    this.lopPhanTich.replaceChildren();
    // Drawn from the weakest up, so the best lies on top.
    for (let i = ds.length - 1; i >= 0; i -= 1) {
      const n = ds[i];
      const [x1, y1] = this.toaDo(n.hd, n.cd);
      const [x2, y2] = this.toaDo(n.hc, n.cc);
      const dai = Math.hypot(x2 - x1, y2 - y1) || 1;
      const ux = (x2 - x1) / dai;
      const uy = (y2 - y1) / dai;
      const rong = i === 0 ? 11 : 7;
      const mui = i === 0 ? 26 : 20;
      const g = tao('g', { class: `mui-pt mui-pt-${i}`, 'data-nuoc': `${n.hd},${n.cd},${n.hc},${n.cc}` }, this.lopPhanTich);
      const xd = x2 - ux * 8;
      const yd = y2 - uy * 8;
      tao('line', {
        x1: x1 + ux * 14, y1: y1 + uy * 14, x2: xd - ux * (mui - 4), y2: yd - uy * (mui - 4), 'stroke-width': rong,
      }, g);
      const bx = xd - ux * mui;
      const by = yd - uy * mui;
      const w = rong * 1.35;
      tao('polygon', { points: `${xd},${yd} ${bx - uy * w},${by + ux * w} ${bx + uy * w},${by - ux * w}` }, g);
    }
  }

  /** Slides the piece of a freshly played move from its old point. */
  hoatCanh(tt, cuoi) {
    const truoc = this.nuocThuTruoc;
    this.nuocThuTruoc = tt.nuocThu;
    // A piece dropped by hand is already where it goes: no slide for that move.
    const vuaTha = this.vuaTha && tt.nuocThu !== truoc;
    if (tt.nuocThu !== truoc) this.vuaTha = false;
    if (!cuoi || truoc === null || tt.nuocThu !== truoc + 1 || vuaTha) return;
    const g = this.diem[cuoi.hc * 9 + cuoi.cc];
    const quan = g.querySelector('.quan');
    if (!quan || typeof quan.animate !== 'function') return;
    const [x1, y1] = this.toaDo(cuoi.hd, cuoi.cd);
    const [x2, y2] = this.toaDo(cuoi.hc, cuoi.cc);
    this.lopDiem.appendChild(g); // on top of the pieces it passes over
    quan.animate(
      [{ transform: `translate(${x1 - x2}px, ${y1 - y2}px)` }, { transform: 'translate(0px, 0px)' }],
      { duration: 240, easing: 'cubic-bezier(.2,.7,.2,1)' },
    );
  }
}
