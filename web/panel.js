// Everything around the board: the two player bars with their clocks, the
// status card, the end-of-game card, the move list and the computer's last
// search. All of it is read from the state document.

import {
  kyTuQuan, TEN_API_LOAI, SO_QUAN_BAN_DAU, TEN_PHE, PHE_KIA, TEN_DO_KHO, TEN_CHE_DO, KET_QUA, CHU, soNuocDay,
} from './labels.js';
import { docFEN } from './fen.js';
import { veDongHo } from './clock.js';
import { moTaChap } from './transfer.js';

const $ = (id) => document.getElementById(id);

/** Whether the computer plays this side in the game of the state. */
export function mayCam(tt, phe) {
  if (tt.cheDo === 'MAY_MAY') return true;
  return tt.cheDo === 'NGUOI_MAY' && tt.pheNguoi !== phe;
}

function capDo(tt, phe) {
  return TEN_DO_KHO[phe === 'DO' ? tt.doKhoDo : tt.doKhoDen] ?? '';
}

/**
 * Pieces of `phe` no longer on the board shown (banCo: the live one, or a
 * past position in review) and not given up as handicap: captured.
 */
function quanBiAn(tt, banCo, phe) {
  // A set-up game began with the pieces of its position, not the full set.
  const dau = tt.fenDau ? docFEN(tt.fenDau).o : null;
  const goc = dau ? new Array(7).fill(0) : SO_QUAN_BAN_DAU;
  for (const q of dau ?? []) if (q && q.phe === phe) goc[q.loai] += 1;
  const con = new Array(7).fill(0);
  for (const q of banCo) if (q.phe === phe) con[q.loai] += 1;
  for (const chap of tt.chap) {
    const loai = TEN_API_LOAI.indexOf(chap.ten);
    if (chap.phe === phe && loai >= 0) con[loai] += 1;
  }
  const ketQua = [];
  for (const loai of [0, 1, 2, 3, 4, 6]) {
    for (let i = con[loai]; i < goc[loai]; i += 1) ketQua.push(loai);
  }
  return ketQua;
}

export class BangThongTin {
  /** onChonNuoc(ply): a move of the list was clicked. */
  constructor({ onChonNuoc }) {
    this.onChonNuoc = onChonNuoc;
    this.thanh = { tren: $('ben-tren'), duoi: $('ben-duoi') };
    for (const el of Object.values(this.thanh)) {
      el.innerHTML = `<span class="dai-dien"></span>
        <div class="ten-nguoi-choi"><strong></strong><small></small></div>
        <div class="quan-an" aria-label="Quân đã ăn"></div>
        <small class="tang-gio" hidden></small>
        <div class="dong-ho" role="timer" hidden></div>`;
    }
    this.khoaLichSu = null;
    this.khoaKetThucDaAn = null;
    $('lich-su').addEventListener('click', (e) => {
      const muc = e.target.closest('[data-ply]');
      if (muc) this.onChonNuoc(Number(muc.dataset.ply));
    });
    // The list shrinks when something appears under it (the evaluation graph
    // at the end of a game): the move it was showing is brought back into view.
    this.mucCuon = null;
    new ResizeObserver(() => cuonToi($('lich-su'), this.mucCuon)).observe($('lich-su'));
  }

  /**
   * Draws a state; lat = true means black is at the bottom. bienBan is the
   * move list in the chosen notation, xemLai the ply shown in review or null,
   * banCo the pieces on the board shown (the captures follow it).
   */
  ve(tt, lat, mocNhan, bienBan, xemLai, banCo = tt.banCo) {
    this.tt = tt;
    this.banCo = banCo;
    this.mocNhan = mocNhan;
    this.lat = lat;
    this.veNguoiChoi(this.thanh.duoi, lat ? 'DEN' : 'DO');
    this.veNguoiChoi(this.thanh.tren, lat ? 'DO' : 'DEN');
    this.veTrangThai();
    this.veKetThuc(xemLai !== null);
    this.veLichSu(bienBan, xemLai);
    this.veThongKe();
    $('che-do').textContent = this.moTaCheDo();
    document.title = this.tieuDe();
    this.tichTac(mocNhan);
  }

  /** The tab's title: whose turn it is, or the result. */
  tieuDe() {
    const tt = this.tt;
    if (tt.ketQua !== 'DANG_CHOI') return `${KET_QUA[tt.ketQua] ?? ''} · Cờ Tướng`;
    let ai = `Lượt ${TEN_PHE[tt.luot]}`;
    if (tt.tamDungMay) ai = 'Tạm dừng';
    else if (mayCam(tt, tt.luot)) ai = `Máy ${TEN_PHE[tt.luot]} nghĩ`;
    return `${ai} · Cờ Tướng`;
  }

  moTaCheDo() {
    const tt = this.tt;
    let chu = TEN_CHE_DO[tt.cheDo] ?? '';
    if (tt.dongHo.bat) chu += ` · ${Math.round(tt.dongHo.giayMoiBen / 60)} phút`;
    if (tt.dongHo.bat && tt.dongHo.tang) chu += ` + ${tt.dongHo.tang} giây`;
    if (tt.the?.Event) chu += ` · ${tt.the.Event}`;
    return chu;
  }

  veNguoiChoi(el, phe) {
    const tt = this.tt;
    el.dataset.phe = phe;
    const daiDien = el.querySelector('.dai-dien');
    daiDien.className = `dai-dien ${phe === 'DO' ? 'do' : 'den'}`;
    daiDien.textContent = kyTuQuan(phe, 5);
    el.querySelector('strong').textContent = TEN_PHE[phe];
    const vaiTro = el.querySelector('.ten-nguoi-choi small');
    let chu = 'Người chơi';
    if (mayCam(tt, phe)) chu = `Máy · ${capDo(tt, phe)}`;
    else if (tt.cheDo === 'NGUOI_MAY') chu = 'Bạn';
    // The player an imported game's file names.
    else if (tt.the?.[phe === 'DO' ? 'Red' : 'Black']) chu = tt.the[phe === 'DO' ? 'Red' : 'Black'];
    const denLuot = tt.ketQua === 'DANG_CHOI' && tt.luot === phe;
    const nghi = denLuot && mayCam(tt, phe) && tt.mayDangNghi && !tt.tamDungMay;
    vaiTro.textContent = nghi ? `${chu} · đang nghĩ` : chu;
    vaiTro.classList.toggle('dang-nghi', nghi);
    el.classList.toggle('dang-di', denLuot);
    const an = quanBiAn(tt, this.banCo, PHE_KIA[phe]);
    el.querySelector('.quan-an').innerHTML = an
      .map((loai) => `<span class="${phe === 'DO' ? 'den' : 'do'}">${kyTuQuan(PHE_KIA[phe], loai)}</span>`)
      .join('');
    el.querySelector('.dong-ho').setAttribute('aria-label', `Đồng hồ bên ${TEN_PHE[phe]}`);
    // The increment beside the clock it feeds: "+3".
    const tang = el.querySelector('.tang-gio');
    const giayTang = tt.dongHo.bat ? tt.dongHo.tang ?? 0 : 0;
    tang.hidden = !giayTang;
    tang.textContent = giayTang ? `+${giayTang}` : '';
    tang.title = giayTang ? `Cộng ${giayTang} giây sau mỗi nước` : '';
  }

  /** Called often: only the clocks change between two states. */
  tichTac(bayGio) {
    if (!this.tt) return;
    for (const el of Object.values(this.thanh)) {
      veDongHo(el.querySelector('.dong-ho'), this.tt, el.dataset.phe, this.mocNhan, bayGio);
    }
  }

  veTrangThai() {
    const tt = this.tt;
    const dong = $('trang-thai');
    const phu = $('phu-trang-thai');
    const cham = (phe) => `<span class="cham-phe ${phe === 'DO' ? 'do' : 'den'}"></span>`;
    const nuoc = `Nước ${soNuocDay(tt.nuocThu + 1)}`;
    const tamDung = tt.tamDungMay && tt.ketQua === 'DANG_CHOI';
    $('tam-dung').hidden = !tamDung;
    phu.hidden = tamDung; // the pause and its button take the second line's place
    dong.classList.toggle('dang-nghi', tt.ketQua === 'DANG_CHOI' && mayCam(tt, tt.luot)
      && tt.mayDangNghi && !tt.tamDungMay);
    if (tt.ketQua !== 'DANG_CHOI') {
      dong.textContent = `${KET_QUA[tt.ketQua] ?? ''} — ván đã kết thúc`;
      phu.textContent = tt.lyDo;
      return;
    }
    let chu;
    if (tt.tamDungMay) {
      chu = CHU.tamDung;
    } else if (mayCam(tt, tt.luot)) {
      chu = tt.cheDo === 'MAY_MAY' ? `Máy ${TEN_PHE[tt.luot]} đang nghĩ…` : CHU.mayNghi;
    } else if (tt.cheDo === 'NGUOI_MAY') {
      chu = `${CHU.denLuotBan} (${TEN_PHE[tt.luot]})`;
    } else {
      chu = `Lượt của ${TEN_PHE[tt.luot]}`;
    }
    dong.innerHTML = cham(tt.luot);
    dong.append(chu);
    phu.replaceChildren();
    if (tt.dangChieu) {
      const canhBao = document.createElement('span');
      canhBao.className = 'canh-bao';
      canhBao.textContent = `${CHU.chieuTuong} `;
      phu.append(canhBao);
    }
    phu.append(nuoc + this.moTaChap());
  }

  moTaChap() {
    const chu = moTaChap(this.tt.chap);
    return chu ? ` · ${chu}` : '';
  }

  /** The end-of-game card; never over a past position being reviewed. */
  veKetThuc(dangXemLai) {
    const tt = this.tt;
    const khung = $('ket-thuc');
    if (tt.ketQua === 'DANG_CHOI' || dangXemLai) {
      khung.hidden = true;
      if (!dangXemLai) this.khoaKetThucDaAn = null;
      return;
    }
    const khoa = `${tt.phienBan}/${tt.nuocThu}/${tt.ketQua}`;
    khung.hidden = this.khoaKetThucDaAn === khoa;
    const tieuDe = $('ket-qua');
    tieuDe.textContent = KET_QUA[tt.ketQua] ?? '';
    tieuDe.className = `tieu-de-ket-thuc ${tt.ketQua === 'DO_THANG' ? 'do' : ''} ${tt.ketQua === 'HOA' ? 'hoa' : ''}`;
    $('ly-do').textContent = tt.lyDo;
  }

  /** The end-of-game card can be put away to look at the final position. */
  anKetThuc() {
    if (!this.tt) return;
    this.khoaKetThucDaAn = `${this.tt.phienBan}/${this.tt.nuocThu}/${this.tt.ketQua}`;
    $('ket-thuc').hidden = true;
  }

  /** The move list, two plies a row; rebuilt only when its text changes. */
  veLichSu(ds, xemLai) {
    const ol = $('lich-su');
    const khoa = ds.map((m) => m.chu).join('\n');
    if (khoa !== this.khoaLichSu) {
      this.khoaLichSu = khoa;
      ol.replaceChildren();
      // Rows are full moves: a game begun by black has "…" in red's place on the first.
      const dau = ds.length && ds[0].phe === 'DEN' ? 1 : 0;
      for (let i = -dau; i < ds.length; i += 2) {
        const li = document.createElement('li');
        const so = document.createElement('span');
        so.className = 'so';
        so.textContent = `${(i + dau) / 2 + 1}.`;
        li.append(so);
        if (i < 0) {
          const trong = document.createElement('span');
          trong.className = 'nuoc-trong';
          trong.textContent = '…';
          li.append(trong);
        } else {
          li.append(this.oNuoc(ds[i], i === ds.length - 1));
        }
        if (i + 1 < ds.length) li.append(this.oNuoc(ds[i + 1], i + 1 === ds.length - 1));
        ol.append(li);
      }
      $('lich-su-trong').hidden = ds.length > 0;
    }
    this.veChuKy(ol);
    for (const el of ol.querySelectorAll('.dang-xem')) el.classList.remove('dang-xem');
    const xem = xemLai !== null ? ol.querySelector(`[data-ply="${xemLai}"]`) : null;
    if (xem) xem.classList.add('dang-xem');
    if (khoa !== this.khoaCuon || xemLai !== this.xemCuon) {
      this.khoaCuon = khoa;
      this.xemCuon = xemLai;
      this.mucCuon = xem || ol.lastElementChild;
      cuonToi(ol, this.mucCuon);
    }
  }

  /** The moves of the cycle a repetition ruling judged (lichSu indexes tu..den), marked in the list. */
  veChuKy(ol) {
    const ck = this.tt.chuKy;
    for (const el of ol.querySelectorAll('.nuoc')) {
      const k = Number(el.dataset.ply) - 1;
      const trong = !!ck && k >= ck.tu && k <= ck.den;
      el.classList.toggle('chu-ky', trong);
      if (trong) el.title = `Chu kỳ lặp lại: ${el.textContent}`;
      else el.title = `Xem thế cờ sau nước này (${el.textContent})`;
    }
    $('chu-thich-chu-ky').hidden = !ck;
  }

  oNuoc(m, moiNhat) {
    const nut = document.createElement('button');
    nut.type = 'button';
    nut.className = `nuoc ${m.phe === 'DO' ? 'do' : 'den'}${moiNhat ? ' moi-nhat' : ''}`;
    nut.dataset.ply = String(m.ply);
    nut.textContent = m.chu;
    nut.title = `Xem thế cờ sau nước này (${m.chu})`;
    return nut;
  }

  veThongKe() {
    const tt = this.tt;
    const tk = tt.thongKeMay;
    const dl = $('thong-ke');
    const phe = pheTimKiem(tt);
    const diemDo = tk.co && phe ? (phe === 'DO' ? tk.diem : -tk.diem) : null;
    $('thanh-diem').hidden = diemDo === null;
    if (diemDo !== null) veThanhDiem(diemDo);
    if (!tk.co) {
      dl.innerHTML = `<p class="trong">${chuKhongThongKe(tt)}</p>`;
      return;
    }
    const so = (n, le = 0) => n.toLocaleString('vi-VN', { minimumFractionDigits: le, maximumFractionDigits: le });
    const muc = [
      ['Độ sâu', so(tk.doSau)],
      ['Thời gian', `${so(tk.giay, 2)} giây`],
      ['Số nút', so(tk.soNut)],
      ['Điểm (Đỏ)', diemDo === null ? moTaDiem(tk.diem) : moTaDiem(diemDo), 'diem-may'],
    ];
    dl.innerHTML = '';
    for (const [ten, giaTri, lop] of muc) {
      const div = document.createElement('div');
      if (lop) div.className = lop;
      const dt = document.createElement('dt');
      const dd = document.createElement('dd');
      dt.textContent = ten;
      dd.textContent = giaTri;
      div.append(dt, dd);
      dl.append(div);
    }
  }
}

/** Scrolls a list so that one entry shows, without moving the page. */
function cuonToi(ol, muc) {
  requestAnimationFrame(() => {
    if (!muc || !muc.isConnected) return;
    const tren = muc.offsetTop - ol.offsetTop;
    const duoi = tren + muc.offsetHeight;
    if (duoi > ol.scrollTop + ol.clientHeight) ol.scrollTop = duoi - ol.clientHeight + 4;
    else if (tren < ol.scrollTop) ol.scrollTop = Math.max(0, tren - 4);
  });
}

/**
 * The side whose search the statistics describe: the computer in a game
 * against a human; in a computer game the side that moved last.
 */
function pheTimKiem(tt) {
  if (tt.cheDo === 'NGUOI_MAY') return PHE_KIA[tt.pheNguoi];
  if (tt.cheDo === 'MAY_MAY') return PHE_KIA[tt.luot];
  return null;
}

/** Why there are no statistics, saying "no search yet" only when it is so. */
function chuKhongThongKe(tt) {
  if (tt.cheDo === 'NGUOI_NGUOI') return 'Ván người với người: máy không chơi.';
  if (tt.nuocThu === 0) return 'Máy chưa đi nước nào trong ván này.';
  return 'Số liệu sẽ có sau nước tới của máy.';
}

// The computer's score scale: a mate in n plies scores ±(DIEM_CHIEU_HET − n),
// and any score beyond ±MAT_DIEM is a mate.
const DIEM_CHIEU_HET = 900000;
const MAT_DIEM = 880000;

/** A score from red's point of view; beyond ±MAT_DIEM it announces a mate. */
function moTaDiem(diem) {
  if (Math.abs(diem) > MAT_DIEM) {
    const nuoc = Math.ceil((DIEM_CHIEU_HET - Math.abs(diem)) / 2);
    return `${diem > 0 ? 'Đỏ' : 'Đen'} chiếu hết sau ${nuoc} nước`;
  }
  return diem > 0 ? `+${diem}` : String(diem).replace('-', '−');
}

/** The bar: red's share grows with red's score (a chariot ahead ≈ 90 %). */
function veThanhDiem(diem) {
  const ti = Math.abs(diem) > MAT_DIEM ? (diem > 0 ? 1 : 0) : 1 / (1 + Math.exp(-diem / 400));
  $('phan-do').style.width = `${(ti * 100).toFixed(1)}%`;
  $('thanh-diem').title = `Điểm theo phía Đỏ: ${moTaDiem(diem)}`;
}
