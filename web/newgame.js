// The "Ván mới" dialog: mode, sides (or a colour drawn at random), levels,
// clock (time per side and increment per move, or a preset of both),
// handicap and rule set, turned into the parameters of the "vanmoi"
// command. Opened with a set-up position, it starts the game from there
// instead (no handicap then). The rule set is the player's remembered
// choice, not the last game's.

import { kyTuQuan, TEN_LOAI, TEN_API_LOAI, SO_QUAN_BAN_DAU } from './labels.js';

const LOAI_CHAP = [0, 1, 2, 3, 4, 6]; // every kind but the general
const MA_CHE_DO = { NGUOI_NGUOI: 'NN', NGUOI_MAY: 'NM', MAY_MAY: 'MM' };

/** A time control as the page names it: "5 phút + 3 giây mỗi nước", "10 phút". */
export function tenDongHo(giay, tang = 0) {
  return tang > 0 ? `${tenThoiGian(giay)} + ${tang} giây mỗi nước` : tenThoiGian(giay);
}

/** Chooses `giaTri` in a select, offering it once by its exact length when the list lacks it. */
function chonGiaTri(chon, giaTri, ten) {
  for (const o of [...chon.options]) if (o.dataset.them) o.remove();
  if (![...chon.options].some((o) => o.value === giaTri)) {
    const o = new Option(ten, giaTri);
    o.dataset.them = '1';
    chon.add(o);
  }
  chon.value = giaTri;
}

/** "10 phút", "9 phút 52 giây", "45 giây". */
export function tenThoiGian(giay) {
  const phut = Math.floor(giay / 60);
  const le = giay % 60;
  if (!phut) return `${le} giây`;
  return le ? `${phut} phút ${le} giây` : `${phut} phút`;
}

export class HopVanMoi {
  /** luat: {lay, dat}, the remembered rule set ('CHAU_A' | 'BA_LAN'). */
  constructor(hop, onBatDau, luat) {
    this.hop = hop;
    this.form = hop.querySelector('form');
    this.onBatDau = onBatDau;
    this.luat = luat;
    this.fen = null;
    // The colour was left to chance last time: offered so again.
    this.ngauNhien = false;
    this.nhomCapDo = this.form.querySelector('#nhom-cap-do');
    this.nutNhanh = [...this.form.querySelectorAll('.chon-nhanh button')];
    for (const nut of this.nutNhanh) {
      nut.addEventListener('click', () => {
        this.form.elements.giay.value = nut.dataset.giay;
        this.form.elements.tang.value = nut.dataset.tang;
        this.capNhatHienThi();
      });
    }
    this.nhomChap = this.form.querySelector('#bang-chap').closest('fieldset');
    this.ghiChuTheCo = document.createElement('p');
    this.ghiChuTheCo.className = 'giai-thich ghi-chu-the-co';
    this.ghiChuTheCo.hidden = true;
    this.nhomChap.before(this.ghiChuTheCo);
    this.taoBangChap();
    this.form.addEventListener('change', () => this.capNhatHienThi());
    this.form.addEventListener('submit', (e) => {
      e.preventDefault();
      this.hop.close();
      this.luat.dat(this.form.elements.luat.value);
      this.ngauNhien = this.form.elements.pheNguoi.value === 'NGAU_NHIEN';
      const p = this.thamSo();
      this.onBatDau(p, { ngauNhien: this.form.elements.cheDo.value === 'NM' && this.ngauNhien });
    });
    hop.querySelector('#nut-dong-hop').addEventListener('click', () => this.hop.close());
    // A click on the backdrop (outside the form) closes the dialog too.
    hop.addEventListener('click', (e) => { if (e.target === hop) hop.close(); });
  }

  taoBangChap() {
    const bang = this.form.querySelector('#bang-chap');
    bang.innerHTML = '<span></span><span class="tieu-de">Đỏ chấp</span><span class="tieu-de">Đen chấp</span>';
    for (const loai of LOAI_CHAP) {
      const ten = document.createElement('span');
      ten.className = 'loai';
      ten.innerHTML = `<span aria-hidden="true">${kyTuQuan('DEN', loai)}</span>`;
      ten.append(TEN_LOAI[loai]);
      bang.append(ten);
      for (const phe of ['DO', 'DEN']) {
        const chon = document.createElement('select');
        chon.name = `chap-${phe}-${loai}`;
        chon.setAttribute('aria-label', `${phe === 'DO' ? 'Đỏ' : 'Đen'} chấp ${TEN_LOAI[loai]}`);
        for (let n = 0; n <= SO_QUAN_BAN_DAU[loai]; n += 1) chon.add(new Option(String(n), String(n)));
        bang.append(chon);
      }
    }
  }

  /** Opens the dialog with the settings of the game being played; with a FEN, to play from that position. */
  mo(tt, fen = null) {
    this.fen = fen;
    if (tt) this.dienTu(tt);
    this.form.elements.luat.value = this.luat.lay();
    const denTruoc = !!fen && / b$/.test(fen.trim());
    this.nhomChap.hidden = !!fen;
    this.ghiChuTheCo.hidden = !fen;
    this.ghiChuTheCo.textContent = fen
      ? `Ván bắt đầu từ thế cờ đã bày, ${denTruoc ? 'Đen' : 'Đỏ'} đi trước.` : '';
    const [nhanDo, nhanDen] = this.form.querySelectorAll('input[name="pheNguoi"] + span');
    nhanDo.textContent = denTruoc ? 'Đỏ' : 'Đỏ (đi trước)';
    nhanDen.textContent = denTruoc ? 'Đen (đi trước)' : 'Đen';
    this.capNhatHienThi();
    this.hop.showModal();
  }

  dienTu(tt) {
    const f = this.form.elements;
    f.cheDo.value = MA_CHE_DO[tt.cheDo] ?? 'NN';
    f.pheNguoi.value = this.ngauNhien ? 'NGAU_NHIEN' : tt.pheNguoi;
    f.doKhoMay.value = tt.pheNguoi === 'DO' ? tt.doKhoDen : tt.doKhoDo;
    f.doKhoDo.value = tt.doKhoDo;
    f.doKhoDen.value = tt.doKhoDen;
    // A time not in the list (from an older saved game) is offered once, by
    // its exact length, so that no two entries read alike.
    const giay = tt.dongHo.bat ? tt.dongHo.giayMoiBen : 0;
    const tang = tt.dongHo.bat ? (tt.dongHo.tang ?? 0) : 0;
    chonGiaTri(f.giay, String(giay), tenThoiGian(giay));
    chonGiaTri(f.tang, String(tang), `${tang} giây`);
    for (const loai of LOAI_CHAP) {
      for (const phe of ['DO', 'DEN']) {
        const n = tt.chap.filter((c) => c.phe === phe && c.ten === TEN_API_LOAI[loai]).length;
        f[`chap-${phe}-${loai}`].value = String(n);
      }
    }
  }

  capNhatHienThi() {
    const f = this.form.elements;
    const cheDo = f.cheDo.value;
    for (const el of this.form.querySelectorAll('[data-khi]')) el.hidden = el.dataset.khi !== cheDo;
    this.nhomCapDo.hidden = cheDo === 'NN';
    // No clock, nothing to add after a move.
    const coDongHo = f.giay.value !== '0';
    f.tang.disabled = !coDongHo;
    for (const nut of this.nutNhanh) {
      const chon = nut.dataset.giay === f.giay.value && (!coDongHo || nut.dataset.tang === f.tang.value);
      nut.setAttribute('aria-pressed', String(chon));
    }
  }

  /** The "vanmoi" query parameters for what the dialog shows. */
  thamSo() {
    const f = this.form.elements;
    const cheDo = f.cheDo.value;
    const p = { cheDo, giay: f.giay.value, luat: f.luat.value };
    if (f.giay.value !== '0' && f.tang.value !== '0') p.tang = f.tang.value;
    if (cheDo === 'NM') {
      const phe = f.pheNguoi.value;
      p.pheNguoi = phe === 'NGAU_NHIEN' ? (Math.random() < 0.5 ? 'DO' : 'DEN') : phe;
      p.doKho = f.doKhoMay.value;
      p.doKhoDen = f.doKhoMay.value;
    } else if (cheDo === 'MM') {
      p.doKho = f.doKhoDo.value;
      p.doKhoDen = f.doKhoDen.value;
    }
    if (this.fen) {
      p.fen = this.fen;
      return p;
    }
    const chap = [];
    for (const phe of ['DO', 'DEN']) {
      for (const loai of LOAI_CHAP) {
        const n = Number(f[`chap-${phe}-${loai}`].value);
        for (let i = 0; i < n; i += 1) chap.push(`${phe}:${TEN_API_LOAI[loai]}`);
      }
    }
    if (chap.length) p.chap = chap.join(',');
    return p;
  }
}
