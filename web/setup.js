// Setting up a position: a board of its own in a dialog, a tray of both
// sides' pieces to drag (mouse, pen or finger) or to choose and then place
// with a click, the side to move, and the position as FEN. Whether the
// position can be played is asked of the program as it changes, and its
// reason shown; a playable one can be played (the new-game dialog, opened
// with it) or analysed (the "phantich:mo" event).

import { BanCoSVG } from './board.js';
import { goiAPI } from './api.js';
import { docFEN, vietFEN, FEN_BAT_DAU } from './fen.js';
import { oTheoKyPhap } from './notation.js';
import { TEN_LOAI, TEN_PHE, SO_QUAN_BAN_DAU } from './labels.js';
import { thongBao } from './toast.js';

const $ = (id) => document.getElementById(id);
const LOAI_KHAY = [5, 4, 3, 2, 0, 1, 6]; // general, advisor, elephant, horse, chariot, cannon, soldier
const NGUONG_KEO_PX = 6; // as on the game's board: less is a click
const CHO_KIEM_MS = 120; // a burst of changes is checked once

/**
 * Wires the "Bày cờ" button. layTheCo(): the position shown ({banCo, luot});
 * onChoi(fen): play from it; layKyPhap(): the notation, which the board's
 * edges and the program's reasons follow.
 */
export function ganBayCo({ layTheCo, onChoi, layKyPhap = () => 'viet' }) {
  const bay = new BayCo(onChoi, layKyPhap);
  $('nut-bay-co').addEventListener('click', () => bay.mo(layTheCo()));
}

/** The editor's board and tray frames, emptied and rid of their listeners. */
function lamMoiKhung() {
  for (const id of ['ban-bay-co', 'khay-quan']) {
    const cu = $(id);
    cu.replaceWith(cu.cloneNode(false));
  }
}

class BayCo {
  constructor(onChoi, layKyPhap) {
    this.onChoi = onChoi;
    this.layKyPhap = layKyPhap;
    this.hop = $('hop-bay-co');
    this.form = this.hop.querySelector('form');
    this.o = new Array(90).fill(null);
    this.luot = 'DO';
    this.chon = null; // the tray's piece {phe, loai} that a click on an empty point places
    this.fenHopLe = null; // the program's FEN of the position, once it has said it can be played
    this.lanKiem = 0;
    this.henKiem = null;
    this.boQuaClickKhay = false;
    this.ban = null;
    this.ganSuKien();
  }

  /**
   * The board and the tray exist only while the dialog is open: the page then
   * holds one board, its points and pieces, as everything else expects. Each
   * opening builds them in fresh elements, so no listener is added twice.
   */
  dung() {
    lamMoiKhung();
    this.ban = new BanCoSVG($('ban-bay-co'), {
      onCham: (h, c) => this.cham(h, c),
      coTheKeo: (h, c) => !!this.o[h * 9 + c],
      onBatDauKeo: () => {},
      onTha: (h, c, dich) => this.doiCho(h, c, dich),
      tienTo: 'bay',
    });
    this.ban.datNhan(this.layKyPhap() !== 'iccs');
    this.taoKhay();
    $('khay-quan').addEventListener('click', (e) => {
      const nut = e.target.closest('.quan-khay');
      if (!nut || nut.disabled || this.boQuaClickKhay) return;
      this.chonKhay(nut);
    });
    this.ganKeoKhay();
  }

  go() {
    clearTimeout(this.henKiem);
    this.lanKiem += 1;
    this.ban = null;
    lamMoiKhung();
  }

  mo(theCo) {
    this.dung();
    this.o = new Array(90).fill(null);
    for (const q of theCo?.banCo ?? []) this.o[q.h * 9 + q.c] = { phe: q.phe === 'DEN' ? 'DEN' : 'DO', loai: q.loai };
    this.luot = theCo?.luot === 'DEN' ? 'DEN' : 'DO';
    this.chon = null;
    this.doi();
    this.hop.showModal();
  }

  // ---------- the tray ----------

  taoKhay() {
    const khay = $('khay-quan');
    this.nutKhay = [];
    for (const phe of ['DO', 'DEN']) {
      const hang = document.createElement('div');
      hang.className = 'hang-khay';
      hang.setAttribute('role', 'group');
      hang.setAttribute('aria-label', `Quân ${TEN_PHE[phe]}`);
      for (const loai of LOAI_KHAY) {
        const nut = document.createElement('button');
        nut.type = 'button';
        nut.className = 'quan-khay';
        nut.dataset.phe = phe;
        nut.dataset.loai = String(loai);
        const hinh = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
        hinh.setAttribute('viewBox', '-31 -31 64 64');
        hinh.setAttribute('aria-hidden', 'true');
        hinh.appendChild(this.ban.taoQuan({ phe, loai }));
        const so = document.createElement('span');
        so.className = 'so-con';
        nut.append(hinh, so);
        hang.append(nut);
        this.nutKhay.push(nut);
      }
      khay.append(hang);
    }
  }

  /** Pieces of that kind the side may still place. */
  conLai(phe, loai) {
    let co = 0;
    for (const q of this.o) if (q && q.phe === phe && q.loai === loai) co += 1;
    return SO_QUAN_BAN_DAU[loai] - co;
  }

  veKhay() {
    for (const nut of this.nutKhay) {
      const { phe } = nut.dataset;
      const loai = Number(nut.dataset.loai);
      const con = this.conLai(phe, loai);
      const chon = !!this.chon && this.chon.phe === phe && this.chon.loai === loai;
      nut.querySelector('.so-con').textContent = String(Math.max(0, con));
      nut.disabled = con <= 0;
      nut.setAttribute('aria-pressed', String(chon));
      nut.setAttribute('aria-label', `${TEN_LOAI[loai]} ${TEN_PHE[phe].toLowerCase()}, còn ${Math.max(0, con)}`);
      nut.title = `${TEN_LOAI[loai]} ${TEN_PHE[phe].toLowerCase()}: kéo vào bàn, hoặc bấm rồi bấm điểm trống`;
    }
  }

  /** A tray piece clicked: chosen for placing, or let go when it already was. */
  chonKhay(nut) {
    const phe = nut.dataset.phe;
    const loai = Number(nut.dataset.loai);
    const daChon = this.chon && this.chon.phe === phe && this.chon.loai === loai;
    this.chon = daChon ? null : { phe, loai };
    this.veKhay();
  }

  // ---------- the board ----------

  /** A point clicked (or Enter on it): a piece there goes; an empty one gets the chosen piece. */
  cham(h, c) {
    const i = h * 9 + c;
    if (this.o[i]) {
      this.o[i] = null;
    } else if (this.chon && this.conLai(this.chon.phe, this.chon.loai) > 0) {
      this.o[i] = { ...this.chon };
      if (this.conLai(this.chon.phe, this.chon.loai) <= 0) this.chon = null;
    } else {
      return;
    }
    this.doi();
  }

  /** A piece of the board dragged: to another point (replacing what stood there), or off the board. */
  doiCho(h, c, dich) {
    const i = h * 9 + c;
    const q = this.o[i];
    if (!q) return;
    if (dich && dich.h * 9 + dich.c === i) return;
    this.o[i] = null;
    if (dich) this.o[dich.h * 9 + dich.c] = q;
    this.doi();
  }

  /** A tray piece dropped on the board at a client position. */
  thaTuKhay(q, x, y) {
    if (!this.ban) return;
    const m = this.ban.svg.getScreenCTM();
    if (!m) return;
    const diem = this.ban.diemGanNhat(new DOMPoint(x, y).matrixTransform(m.inverse()));
    const r = this.ban.svg.getBoundingClientRect();
    if (!diem || x < r.left || x > r.right || y < r.top || y > r.bottom) return;
    if (this.conLai(q.phe, q.loai) <= 0) return;
    this.o[diem.h * 9 + diem.c] = { ...q };
    this.doi();
  }

  // ---------- the position as a whole ----------

  /** After any change: redraw, write the FEN, and have the program judge it. */
  doi({ vietLaiFEN = true } = {}) {
    if (!this.ban) return;
    const banCo = [];
    this.o.forEach((q, i) => { if (q) banCo.push({ h: Math.floor(i / 9), c: i % 9, ...q }); });
    this.ban.ve({
      banCo, nuocDen: [], quanChon: null, goiY: null, dangChieu: false, moTaCuoi: '', nuocThu: 0, luot: this.luot,
    }, false);
    this.form.elements.luotBay.value = this.luot;
    if (vietLaiFEN) $('o-fen').value = vietFEN(this.o, this.luot);
    this.veKhay();
    this.kiem(vietFEN(this.o, this.luot));
  }

  kiem(fen) {
    this.fenHopLe = null;
    this.veHopLe(null, 'Đang kiểm tra…');
    clearTimeout(this.henKiem);
    const lan = ++this.lanKiem;
    this.henKiem = setTimeout(async () => {
      let traLoi = null;
      try {
        traLoi = await goiAPI('kiemtrafen', { fen });
      } catch {
        traLoi = null;
      }
      if (lan !== this.lanKiem) return; // a later change is being checked
      if (!traLoi) this.veHopLe(false, 'Không kiểm tra được: mất kết nối với chương trình');
      else if (traLoi.ok) {
        this.fenHopLe = traLoi.fen;
        this.veHopLe(true, 'Thế cờ hợp lệ, có thể chơi hoặc phân tích.');
      } else {
        // The program names squares in coordinates; the board may show file numbers.
        this.veHopLe(false, oTheoKyPhap(traLoi.lyDo, this.layKyPhap()));
      }
    }, CHO_KIEM_MS);
  }

  veHopLe(hopLe, chu) {
    const el = $('trang-thai-fen');
    el.textContent = chu;
    el.classList.toggle('hop-le', hopLe === true);
    el.classList.toggle('khong-hop-le', hopLe === false);
    $('nut-choi-the-co').disabled = !hopLe;
    $('nut-phan-tich-the-co').disabled = !hopLe;
  }

  /** A FEN typed or pasted into the box: the board follows when it can be read. */
  docHopFEN() {
    const doc = docFEN($('o-fen').value);
    if (doc.loi) {
      clearTimeout(this.henKiem);
      this.lanKiem += 1;
      this.fenHopLe = null;
      this.veHopLe(false, doc.loi);
      return;
    }
    this.o = doc.o;
    this.luot = doc.luot;
    this.doi({ vietLaiFEN: false });
  }

  async chepFEN() {
    const fen = $('o-fen').value;
    try {
      await navigator.clipboard.writeText(fen);
    } catch {
      $('o-fen').select();
      if (!document.execCommand('copy')) {
        thongBao('Không sao chép được: hãy chọn FEN và sao chép bằng Ctrl+C', 'loi');
        return;
      }
    }
    thongBao('Đã sao chép FEN');
  }

  async danFEN() {
    try {
      const chu = await navigator.clipboard.readText();
      $('o-fen').value = chu.trim();
      this.docHopFEN();
    } catch {
      $('o-fen').focus();
      $('o-fen').select();
      thongBao('Hãy dán FEN vào ô bằng Ctrl+V (trên điện thoại: giữ tay trên ô rồi chọn Dán)', 'loi');
    }
  }

  // ---------- wiring ----------

  ganSuKien() {
    // Enter in the FEN box must not close the dialog.
    this.form.addEventListener('submit', (e) => e.preventDefault());
    this.hop.addEventListener('close', () => this.go());
    for (const r of this.form.querySelectorAll('input[name="luotBay"]')) {
      r.addEventListener('change', () => {
        this.luot = r.value === 'DEN' ? 'DEN' : 'DO';
        this.doi();
      });
    }
    $('nut-xoa-ban').addEventListener('click', () => {
      this.o = new Array(90).fill(null);
      this.doi();
    });
    $('nut-the-dau').addEventListener('click', () => {
      const dau = docFEN(FEN_BAT_DAU);
      this.o = dau.o;
      this.luot = dau.luot;
      this.doi();
    });
    $('o-fen').addEventListener('input', () => this.docHopFEN());
    $('nut-chep-fen').addEventListener('click', () => this.chepFEN());
    $('nut-dan-fen').addEventListener('click', () => this.danFEN());
    $('nut-dong-bay-co').addEventListener('click', () => this.hop.close());
    $('nut-choi-the-co').addEventListener('click', () => {
      if (!this.fenHopLe) return;
      const fen = this.fenHopLe;
      this.hop.close();
      this.onChoi(fen);
    });
    $('nut-phan-tich-the-co').addEventListener('click', () => {
      if (!this.fenHopLe) return;
      const fen = this.fenHopLe;
      this.hop.close();
      document.dispatchEvent(new CustomEvent('phantich:mo', { detail: { fen } }));
    });
  }

  /**
   * Dragging from the tray: a copy of the piece follows the pointer; dropped
   * on the board, it is placed. The pointer soon leaves the tray, so its
   * moves are followed on the whole document until it is lifted.
   */
  ganKeoKhay() {
    const khay = $('khay-quan');
    khay.addEventListener('pointerdown', (e) => {
      const nut = e.target.closest('.quan-khay');
      if (!nut || nut.disabled || !e.isPrimary || e.button !== 0) return;
      const keo = {
        nut, id: e.pointerId, x0: e.clientX, y0: e.clientY, bong: null,
        q: { phe: nut.dataset.phe, loai: Number(nut.dataset.loai) },
      };
      const di = (ev) => {
        if (ev.pointerId !== keo.id) return;
        if (!keo.bong) {
          if (Math.hypot(ev.clientX - keo.x0, ev.clientY - keo.y0) < NGUONG_KEO_PX) return;
          keo.bong = keo.nut.querySelector('svg').cloneNode(true);
          keo.bong.classList.add('bong-keo');
          // The size of a piece on the board, so that the drop point is plain to see.
          const co = Math.max(30, (this.ban.svg.getBoundingClientRect().width / 568) * 60);
          keo.bong.style.width = `${co}px`;
          keo.bong.style.height = `${co}px`;
          this.hop.append(keo.bong);
        }
        keo.bong.style.left = `${ev.clientX}px`;
        keo.bong.style.top = `${ev.clientY}px`;
      };
      const ket = (ev, tha) => {
        if (ev.pointerId !== keo.id) return;
        document.removeEventListener('pointermove', di);
        document.removeEventListener('pointerup', len);
        document.removeEventListener('pointercancel', huy);
        if (!keo.bong) return; // a plain press: the click chooses the piece
        keo.bong.remove();
        this.boQuaClickKhay = true;
        setTimeout(() => { this.boQuaClickKhay = false; }, 0);
        if (tha) this.thaTuKhay(keo.q, ev.clientX, ev.clientY);
      };
      const len = (ev) => ket(ev, true);
      const huy = (ev) => ket(ev, false);
      document.addEventListener('pointermove', di);
      document.addEventListener('pointerup', len);
      document.addEventListener('pointercancel', huy);
    });
  }
}
