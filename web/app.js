// The page's controller: holds the latest state document, sends the user's
// actions, and asks for new states — often while the computer thinks or a
// clock runs, rarely otherwise. The server decides everything about the game.

import { goiAPI, soYeuCauDangCho } from './api.js';
import { BanCoSVG } from './board.js';
import { BangThongTin, mayCam } from './panel.js';
import { HopVanMoi } from './newgame.js';
import { thongBao } from './toast.js';
import { CHU, tenO, tenQuan, kyTuQuan } from './labels.js';

const HOI_NHANH_MS = 300;
const HOI_CHAM_MS = 2500;
const HOI_KHI_AN_MS = 5000;

const $ = (id) => document.getElementById(id);

let tt = null; // the latest state document
let mocNhan = 0; // performance.now() when it arrived
let latTay = false; // the user turned the board by hand
let henGio = null;
let matKetNoi = false;

const banCo = new BanCoSVG($('ban-co'), { onCham: cham });
const bang = new BangThongTin();
const hopVanMoi = new HopVanMoi($('hop-van-moi'), batDauVanMoi);

/** Sends one command; null when the program cannot be reached. */
async function gui(lenh, thamSo) {
  try {
    const traLoi = await goiAPI(lenh, thamSo);
    if (matKetNoi) {
      matKetNoi = false;
      document.body.classList.remove('mat-ket-noi');
    }
    return traLoi;
  } catch {
    if (!matKetNoi) thongBao(CHU.matKetNoi, 'loi');
    matKetNoi = true;
    $('trang-thai').textContent = CHU.matKetNoi;
    henHoi(HOI_CHAM_MS);
    return null;
  }
}

/** Shows a reply: a refusal as a message, a state by drawing it. True for a state. */
function xuLyTraLoi(traLoi, tinNhan) {
  if (!traLoi) return false;
  if (traLoi.ok === false) {
    thongBao(traLoi.lyDo, 'loi');
    return false;
  }
  if (!Array.isArray(traLoi.banCo)) return false;
  nhanTrangThai(traLoi);
  if (tinNhan) thongBao(tinNhan);
  return true;
}

function nhanTrangThai(moi) {
  tt = moi;
  mocNhan = performance.now();
  if (moi.hanhDong === 'vanmoi' || moi.hanhDong === 'tai') latTay = false;
  veLai();
  henHoi(khoangHoi());
}

/** Red at the bottom, unless the human plays black; the flip button turns it. */
function latBanCo() {
  const denODuoi = tt.cheDo === 'NGUOI_MAY' && tt.pheNguoi === 'DEN';
  return denODuoi !== latTay;
}

function veLai() {
  const lat = latBanCo();
  banCo.ve(tt, lat);
  bang.ve(tt, lat, mocNhan);
  capNhatNut();
}

function capNhatNut() {
  const dangChoi = tt.ketQua === 'DANG_CHOI';
  $('nut-tai').disabled = !tt.coBanLuu;
  $('nut-huy').disabled = tt.nuocThu === 0;
  $('nut-goi-y').disabled = !dangChoi || mayCam(tt, tt.luot);
}

// ---------- polling ----------

function khoangHoi() {
  if (!tt) return HOI_CHAM_MS;
  if (document.hidden) return HOI_KHI_AN_MS;
  const dangChoi = tt.ketQua === 'DANG_CHOI';
  const mayChay = tt.mayDangNghi && !tt.tamDungMay;
  return dangChoi && (mayChay || tt.dongHo.bat) ? HOI_NHANH_MS : HOI_CHAM_MS;
}

function henHoi(ms) {
  clearTimeout(henGio);
  henGio = setTimeout(hoiTrangThai, ms);
}

async function hoiTrangThai() {
  // A command on its way brings a fresh state back anyway.
  if (soYeuCauDangCho() > 0) {
    henHoi(HOI_NHANH_MS);
    return;
  }
  if (!xuLyTraLoi(await gui('trangthai'))) henHoi(HOI_CHAM_MS);
}

// ---------- actions ----------

async function cham(hang, cot) {
  if (!tt) return;
  const q = tt.quanChon;
  if (q && q.h === hang && q.c === cot) {
    xuLyTraLoi(await gui('bochon'));
    return;
  }
  xuLyTraLoi(await gui('cham', { hang, cot }));
}

async function boChon() {
  if (tt && tt.quanChon) xuLyTraLoi(await gui('bochon'));
}

async function batDauVanMoi(thamSo) {
  xuLyTraLoi(await gui('vanmoi', thamSo), CHU.vanMoi);
}

async function huyNuoc() {
  xuLyTraLoi(await gui('huy'), CHU.daHuy);
}

async function goiY() {
  const nut = $('nut-goi-y');
  nut.disabled = true;
  const xongTim = thongBao(CHU.dangGoiY);
  const traLoi = await gui('goiy');
  xongTim();
  if (xuLyTraLoi(traLoi)) {
    const g = traLoi.goiY;
    const quan = g && traLoi.banCo.find((p) => p.h === g.hd && p.c === g.cd);
    if (g && quan) thongBao(`${CHU.goiY}${tenQuan(quan)} ${tenO(g.hd, g.cd)} → ${tenO(g.hc, g.cc)}`);
    else thongBao(CHU.khongCoGoiY, 'loi');
  } else if (tt) {
    capNhatNut();
  }
}

async function luuVan() {
  const traLoi = await gui('luu');
  if (!traLoi) return;
  if (traLoi.ok === false) {
    thongBao(traLoi.lyDo, 'loi');
    return;
  }
  thongBao(traLoi.thongBao);
  xuLyTraLoi(await gui('trangthai')); // "coBanLuu" has changed
}

async function taiVan() {
  xuLyTraLoi(await gui('tai'), CHU.daTai);
}

async function tiepTuc() {
  xuLyTraLoi(await gui('tieptuc'), CHU.daTiepTuc);
}

function latTheoNguoiDung() {
  latTay = !latTay;
  if (tt) veLai();
}

// ---------- wiring ----------

function dangGoChu(el) {
  return el && (el.tagName === 'INPUT' || el.tagName === 'SELECT' || el.tagName === 'TEXTAREA');
}

function ganSuKien() {
  $('nut-van-moi').addEventListener('click', () => hopVanMoi.mo(tt));
  $('nut-choi-lai').addEventListener('click', () => hopVanMoi.mo(tt));
  $('nut-an-ket-thuc').addEventListener('click', () => bang.anKetThuc());
  $('nut-lat').addEventListener('click', latTheoNguoiDung);
  $('nut-huy').addEventListener('click', huyNuoc);
  $('nut-goi-y').addEventListener('click', goiY);
  $('nut-luu').addEventListener('click', luuVan);
  $('nut-tai').addEventListener('click', taiVan);
  $('nut-tiep-tuc').addEventListener('click', tiepTuc);
  document.addEventListener('keydown', (e) => {
    if (hopVanMoi.hop.open || dangGoChu(e.target) || e.ctrlKey || e.metaKey || e.altKey) return;
    const phim = e.key.toLowerCase();
    if (e.key === 'Escape') boChon();
    else if (phim === 'u' && !$('nut-huy').disabled) huyNuoc();
    else if (phim === 'g' && !$('nut-goi-y').disabled) goiY();
    else if (phim === 'l') latTheoNguoiDung();
  });
  document.addEventListener('visibilitychange', () => { if (!document.hidden) henHoi(0); });
  setInterval(() => bang.tichTac(performance.now()), 100);
}

ganSuKien();
document.querySelector('.logo').textContent = kyTuQuan('DO', 5);
hoiTrangThai();
