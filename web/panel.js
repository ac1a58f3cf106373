// Everything around the board: the two player bars with their clocks, the
// status card, the end-of-game card, the move list and the computer's last
// search. All of it is read from the state document.

import {
  kyTuQuan, TEN_API_LOAI, SO_QUAN_BAN_DAU, TEN_PHE, PHE_KIA, TEN_DO_KHO, TEN_CHE_DO, KET_QUA, CHU,
} from './labels.js';
import { veDongHo } from './clock.js';

const $ = (id) => document.getElementById(id);

/** Whether the computer plays this side in the game of the state. */
export function mayCam(tt, phe) {
  if (tt.cheDo === 'MAY_MAY') return true;
  return tt.cheDo === 'NGUOI_MAY' && tt.pheNguoi !== phe;
}

function capDo(tt, phe) {
  return TEN_DO_KHO[phe === 'DO' ? tt.doKhoDo : tt.doKhoDen] ?? '';
}

/** Pieces of `phe` no longer on the board and not given up as handicap: captured. */
function quanBiAn(tt, phe) {
  const con = new Array(7).fill(0);
  for (const q of tt.banCo) if (q.phe === phe) con[q.loai] += 1;
  for (const chap of tt.chap) {
    const loai = TEN_API_LOAI.indexOf(chap.ten);
    if (chap.phe === phe && loai >= 0) con[loai] += 1;
  }
  const ketQua = [];
  for (const loai of [0, 1, 2, 3, 4, 6]) {
    for (let i = con[loai]; i < SO_QUAN_BAN_DAU[loai]; i += 1) ketQua.push(loai);
  }
  return ketQua;
}

export class BangThongTin {
  constructor() {
    this.thanh = { tren: $('ben-tren'), duoi: $('ben-duoi') };
    for (const el of Object.values(this.thanh)) {
      el.innerHTML = `<span class="dai-dien"></span>
        <div class="ten-nguoi-choi"><strong></strong><small></small></div>
        <div class="quan-an" aria-label="Quân đã ăn"></div>
        <div class="dong-ho" role="timer" hidden></div>`;
    }
    this.khoaLichSu = null;
    this.khoaKetThucDaAn = null;
  }

  /** Draws a state; lat = true means black is at the bottom. */
  ve(tt, lat, mocNhan) {
    this.tt = tt;
    this.mocNhan = mocNhan;
    this.lat = lat;
    this.veNguoiChoi(this.thanh.duoi, lat ? 'DEN' : 'DO');
    this.veNguoiChoi(this.thanh.tren, lat ? 'DO' : 'DEN');
    this.veTrangThai();
    this.veKetThuc();
    this.veLichSu();
    this.veThongKe();
    $('che-do').textContent = this.moTaCheDo();
    this.tichTac(mocNhan);
  }

  moTaCheDo() {
    const tt = this.tt;
    let chu = TEN_CHE_DO[tt.cheDo] ?? '';
    if (tt.dongHo.bat) chu += ` · ${Math.round(tt.dongHo.giayMoiBen / 60)} phút`;
    return chu;
  }

  veNguoiChoi(el, phe) {
    const tt = this.tt;
    el.dataset.phe = phe;
    const daiDien = el.querySelector('.dai-dien');
    daiDien.className = `dai-dien ${phe === 'DO' ? 'do' : 'den'}`;
    daiDien.textContent = kyTuQuan(phe, 5);
    el.querySelector('strong').textContent = TEN_PHE[phe];
    const vaiTro = el.querySelector('small');
    let chu = 'Người chơi';
    if (mayCam(tt, phe)) chu = `Máy · ${capDo(tt, phe)}`;
    else if (tt.cheDo === 'NGUOI_MAY') chu = 'Bạn';
    const denLuot = tt.ketQua === 'DANG_CHOI' && tt.luot === phe;
    const nghi = denLuot && mayCam(tt, phe) && tt.mayDangNghi && !tt.tamDungMay;
    vaiTro.textContent = nghi ? `${chu} · đang nghĩ` : chu;
    vaiTro.classList.toggle('dang-nghi', nghi);
    el.classList.toggle('dang-di', denLuot);
    const an = quanBiAn(tt, PHE_KIA[phe]);
    el.querySelector('.quan-an').innerHTML = an
      .map((loai) => `<span class="${phe === 'DO' ? 'den' : 'do'}">${kyTuQuan(PHE_KIA[phe], loai)}</span>`)
      .join('');
    el.querySelector('.dong-ho').setAttribute('aria-label', `Đồng hồ bên ${TEN_PHE[phe]}`);
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
    const nuoc = `Nước ${Math.floor(tt.nuocThu / 2) + 1}`;
    $('tam-dung').hidden = !(tt.tamDungMay && tt.ketQua === 'DANG_CHOI');
    if (tt.ketQua !== 'DANG_CHOI') {
      dong.textContent = `${KET_QUA[tt.ketQua] ?? ''} — ván đã kết thúc`;
      phu.textContent = tt.lyDo;
      return;
    }
    let chu;
    if (mayCam(tt, tt.luot)) {
      if (tt.tamDungMay) chu = CHU.tamDung;
      else chu = tt.cheDo === 'MAY_MAY' ? `Máy ${TEN_PHE[tt.luot]} đang nghĩ…` : CHU.mayNghi;
    } else if (tt.cheDo === 'NGUOI_MAY') {
      chu = `${CHU.denLuotBan} (${TEN_PHE[tt.luot]})`;
    } else {
      chu = `Lượt của ${TEN_PHE[tt.luot]}`;
    }
    dong.innerHTML = cham(tt.luot);
    dong.append(chu);
    dong.classList.toggle('dang-nghi', mayCam(tt, tt.luot) && tt.mayDangNghi && !tt.tamDungMay);
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
    const tt = this.tt;
    if (!tt.chap.length) return '';
    const theoPhe = (phe) => tt.chap.filter((c) => c.phe === phe)
      .map((c) => TEN_LOAI_VIET[c.ten] ?? c.ten).join(', ');
    const phan = ['DO', 'DEN'].filter((p) => theoPhe(p)).map((p) => `${TEN_PHE[p]} chấp ${theoPhe(p)}`);
    return ` · ${phan.join('; ')}`;
  }

  veKetThuc() {
    const tt = this.tt;
    const khung = $('ket-thuc');
    if (tt.ketQua === 'DANG_CHOI') {
      khung.hidden = true;
      this.khoaKetThucDaAn = null;
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

  veLichSu() {
    const ds = this.tt.lichSu;
    const khoa = ds.join('\n');
    if (khoa === this.khoaLichSu) return;
    this.khoaLichSu = khoa;
    const ol = $('lich-su');
    ol.replaceChildren();
    for (let i = 0; i < ds.length; i += 2) {
      const li = document.createElement('li');
      const so = document.createElement('span');
      so.className = 'so';
      so.textContent = `${i / 2 + 1}.`;
      li.append(so, this.oNuoc(ds, i, 'do'));
      if (i + 1 < ds.length) li.append(this.oNuoc(ds, i + 1, 'den'));
      ol.append(li);
    }
    $('lich-su-trong').hidden = ds.length > 0;
    ol.scrollTop = ol.scrollHeight;
  }

  oNuoc(ds, i, phe) {
    const span = document.createElement('span');
    span.className = `nuoc ${phe}${i === ds.length - 1 ? ' moi-nhat' : ''}`;
    span.textContent = ds[i];
    span.title = ds[i];
    return span;
  }

  veThongKe() {
    const tk = this.tt.thongKeMay;
    const dl = $('thong-ke');
    if (!tk.co) {
      dl.innerHTML = '<p class="trong">Máy chưa đi nước nào trong ván này.</p>';
      return;
    }
    const so = (n, le = 0) => n.toLocaleString('vi-VN', { minimumFractionDigits: le, maximumFractionDigits: le });
    const muc = [
      ['Độ sâu', so(tk.doSau)],
      ['Thời gian', `${so(tk.giay, 2)} giây`],
      ['Số nút', so(tk.soNut)],
      ['Điểm', moTaDiem(tk.diem)],
    ];
    dl.innerHTML = '';
    for (const [ten, giaTri] of muc) {
      const div = document.createElement('div');
      const dt = document.createElement('dt');
      const dd = document.createElement('dd');
      dt.textContent = ten;
      dd.textContent = giaTri;
      div.append(dt, dd);
      dl.append(div);
    }
  }
}

const TEN_LOAI_VIET = { Xe: 'Xe', Phao: 'Pháo', Ma: 'Mã', Voi: 'Tượng', Si: 'Sĩ', Tuong: 'Tướng', Tot: 'Tốt' };

/** The score of the computer's side; beyond ±880000 it announces a mate. */
function moTaDiem(diem) {
  if (Math.abs(diem) > 880000) {
    const con = 900000 - Math.abs(diem);
    return diem > 0 ? `Thắng sau ${con} nước` : `Thua sau ${con} nước`;
  }
  return diem > 0 ? `+${diem}` : String(diem).replace('-', '−');
}
