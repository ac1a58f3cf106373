// The page's controller: holds the latest state document, sends the user's
// actions, and asks for new states — often while the computer thinks or a
// clock runs, rarely otherwise. The server decides everything about the game;
// the page only adds presentation: notation, reviewing past positions,
// dragging, sounds, and the game as text.

import { goiAPI, soYeuCauDangCho } from './api.js';
import { BanCoSVG } from './board.js';
import { BangThongTin, mayCam } from './panel.js';
import { HopVanMoi, tenDongHo } from './newgame.js';
import { thongBao } from './toast.js';
import {
  CHU, TEN_PHE, TEN_CHE_DO, TEN_DO_KHO, kyTuQuan, tenNuoc, benDiTruoc, datBenDiTruoc, benCuaNuoc,
} from './labels.js';
import { ganBayCo } from './setup.js';
import { bienBan, cacViTri, vietNuoc, viTriTuBanCo } from './notation.js';
import { docCaiDat, ghiCaiDat, apDungGiaoDien } from './settings.js';
import { phatAm, chonAm } from './sound.js';
import { ganHopVanBan } from './text_dialogs.js';
import { ganVanDaChoi } from './games.js';
import { XemLai } from './review.js';
import { nhapVan } from './import.js';
import { hoiXacNhan } from './xac_nhan.js';
import { PhanTich } from './analysis.js';
import { DoThi } from './graph.js';
import { vietFEN, nuocICCS, FEN_BAT_DAU } from './fen.js';
import { BanXem } from './review_board.js';
import { CayBien } from './variation_tree.js';
import { docCacVan } from './pgn.js';
import { theCoDau } from './import.js';

const HOI_MAY_MS = 40; // while the computer thinks: its move shows within ~0.1 s
const HOI_NHANH_MS = 300; // while a clock runs
const HOI_CHAM_MS = 2500;
const HOI_KHI_AN_MS = 5000;

const $ = (id) => document.getElementById(id);

let tt = null; // the latest state document
let mocNhan = 0; // performance.now() when it arrived
let henGio = null;
let matKetNoi = false;
let dangNhap = false; // an import is replaying moves
let choChon = Promise.resolve(); // the selection a drag started, until its reply is in
let vanTruoc = null; // the unfinished game the program kept from an earlier run, while it may be offered
const cd = docCaiDat();
let ds = { khoa: null, bienBan: [], viTri: [] }; // the move list of the latest state

const banCo = new BanCoSVG($('ban-co'), {
  onCham: cham, coTheKeo, onBatDauKeo: batDauKeo, onTha: tha,
});
const bang = new BangThongTin({ onChonNuoc: chonNuoc });
const hopVanMoi = new HopVanMoi($('hop-van-moi'), batDauVanMoi, {
  lay: () => cd.luat,
  dat: (luat) => datCaiDat({ luat }),
});
const xemLai = new XemLai({
  soNuoc: () => (tt ? tt.lichSu.length : 0),
  onDoi: () => { phanTich.boSao(); veLai(); },
});
const phanTich = new PhanTich({
  banCo,
  layTheCoVan: () => {
    const h = theCoVan();
    if (banXem.dangMo()) {
      // A lone position on the review board: the Asian rules, the server's
      // default, unless it is a copy of the live game.
      const cuaVan = banXem.nguon === 'van' && tt;
      return {
        o: viTriTuBanCo(h.banCo), luot: h.luot, hetVan: h.hetVan, luat: cuaVan ? luatCuaVan() : undefined,
      };
    }
    return {
      o: viTriTuBanCo(h.banCo),
      luot: h.luot,
      hetVan: !!tt && tt.ketQua !== 'DANG_CHOI' && xemLai.ply === null,
      // The game's lines are judged by its own rule set.
      luat: luatCuaVan(),
    };
  },
  layKyPhap: () => cd.kyPhap,
  onDoi: () => veLai(),
  onVeVan: () => { banXem.dong(); xemLai.dong(); },
  layNguon: () => (banXem.dangMo() ? 'Thế cờ trên bàn xem' : null),
});
const banXem = new BanXem({
  layKyPhap: () => cd.kyPhap,
  onDoi: () => { phanTich.boSao(); veLai(); },
  onMo: () => xemLai.dong(),
  onDong: () => { phanTich.boSao(); veLai(); },
});
const doThi = new DoThi({ onChon: (k) => xemNuocVan(k) });

function luatCuaVan() {
  return tt && tt.luat === 'CHAU_A' ? 'CHAU_A' : 'BA_LAN';
}

/** Sends one command; null when the program cannot be reached. */
async function gui(lenh, thamSo) {
  try {
    const traLoi = await goiAPI(lenh, thamSo);
    if (matKetNoi) {
      matKetNoi = false;
      document.body.classList.remove('mat-ket-noi');
      thongBao(CHU.daKetNoiLai);
      if (tt) capNhatNut();
      hoiVanTruoc(); // the program may have been restarted with a game kept
    }
    return traLoi;
  } catch {
    if (!matKetNoi) thongBao(CHU.matKetNoi, 'loi');
    matKetNoi = true;
    document.body.classList.add('mat-ket-noi');
    $('trang-thai').textContent = CHU.matKetNoiNgan;
    if (tt) capNhatNut();
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
  const cu = tt;
  tt = moi;
  mocNhan = performance.now();
  datBenDiTruoc(benDiTruoc(tt));
  const vanKhac = ['vanmoi', 'nhapvan', 'tai', 'khoiphuc', 'mo'].includes(moi.hanhDong);
  if (vanKhac) {
    datCaiDat({ latTay: false });
    xemLai.dong();
    banXem.boCayVan();
  }
  // Any move of the game now being played replaces the kept one.
  if (vanKhac || moi.nuocThu > 0) vanTruoc = null;
  xemLai.chinh();
  tinhBienBan();
  veLai();
  if (vanKhac) dauBanCoVaoTam();
  baoNuocMoi(cu, moi);
  henHoi(khoangHoi());
}

function tinhBienBan() {
  const khoa = `${cd.kyPhap}\n${tt.lichSu.join('\n')}`;
  if (khoa === ds.khoa) return;
  const viTri = cacViTri(tt.banCo, tt.lichSu);
  ds = { khoa, bienBan: bienBan(tt.banCo, tt.lichSu, cd.kyPhap, viTri), viTri };
}

/** A move just played, by anyone: its sound, and its notation read aloud. */
function baoNuocMoi(cu, moi) {
  if (!cu || dangNhap) return;
  const n = moi.lichSu.length;
  const moiDi = n > 0 && (n > cu.lichSu.length || (n === cu.lichSu.length && moi.moTaCuoi !== cu.moTaCuoi))
    && moi.hanhDong !== 'tai' && moi.hanhDong !== 'mo' && moi.hanhDong !== 'huy';
  const vuaHet = moi.ketQua !== 'DANG_CHOI' && cu.ketQua === 'DANG_CHOI';
  if (!moiDi && !vuaHet) return;
  if (moiDi) {
    const m = ds.bienBan[n - 1];
    let chu = `${TEN_PHE[m.phe]}: ${m.chu}.`;
    if (moi.dangChieu && moi.ketQua === 'DANG_CHOI') chu += ` ${CHU.chieuTuong}`;
    $('doc-nuoc').textContent = vuaHet ? `${chu} ${$('trang-thai').textContent}` : chu;
  }
  if (cd.amThanh) phatAm(chonAm({ ketThuc: vuaHet, chieu: moi.dangChieu, an: moiDi && !!ds.bienBan[n - 1].nuoc?.an }));
}

/** Red at the bottom, unless the human plays black; the flip button turns it. */
function latBanCo() {
  const denODuoi = tt.cheDo === 'NGUOI_MAY' && tt.pheNguoi === 'DEN';
  return denODuoi !== cd.latTay;
}

/** What the board shows: an analysis copy, else the game's position shown. */
function theCoHien() {
  return phanTich.theCoSao() ?? theCoVan();
}

/** The game's position shown: the live state, a past position during review, or the review board's. */
function theCoVan() {
  if (banXem.dangMo()) return banXem.theCoSao();
  const k = xemLai.ply;
  if (k === null || !ds.viTri[k]) return tt;
  const banCoCu = [];
  ds.viTri[k].forEach((q, i) => { if (q) banCoCu.push({ h: Math.floor(i / 9), c: i % 9, ...q }); });
  return {
    banCo: banCoCu, nuocDen: [], quanChon: null, goiY: null, dangChieu: false, nuocThu: k,
    luot: benCuaNuoc(k + 1), moTaCuoi: k > 0 ? tt.lichSu[k - 1] : '',
  };
}

function veLai() {
  if (!tt) return;
  const lat = latBanCo();
  banCo.datNhan(cd.kyPhap !== 'iccs');
  const hien = theCoHien();
  banCo.ve(hien, lat);
  const k = xemLai.ply;
  const khung = $('ban-co');
  if (k === null) khung.removeAttribute('data-xem-lai');
  else khung.dataset.xemLai = String(k);
  // A finger on the board drags a piece instead of scrolling the page, but
  // only while a piece can be dragged: otherwise the board scrolls like the rest.
  khung.classList.toggle('co-the-keo', coTheDiQuan() || (banXem.dangMo() && !phanTich.dangHienSao()));
  khung.classList.toggle('ban-xem', banXem.dangMo());
  const tamDung = tt.tamDungMay && tt.ketQua === 'DANG_CHOI' && !banXem.dangMo();
  khung.classList.toggle('dang-tam-dung', tamDung);
  $('tam-dung-ban').hidden = !tamDung || k !== null;
  veVanTruoc(k);
  veLoiLuu();
  bang.ve(tt, lat, mocNhan, ds.bienBan, k, hien.banCo);
  // The game's end card stays off the review board: its position is another.
  if (banXem.dangMo()) $('ket-thuc').hidden = true;
  banXem.ve();
  veXemLai(k);
  capNhatNut();
  phanTich.theoVan();
  veDoThi();
  // The stylesheet hides the score bar, the graph and the analysis's scores meanwhile.
  document.body.classList.toggle('an-danh-gia', anDanhGia());
}

/** Whether the computer's judgement stays hidden: a human is playing it, and the game goes on. */
function anDanhGia() {
  return cd.anDanhGia && tt.cheDo === 'NGUOI_MAY' && tt.ketQua === 'DANG_CHOI';
}

/** The evaluation graph follows the game: its first position and its moves in coordinates. */
function veDoThi() {
  const nuoc = ds.bienBan.map((m) => (m.nuoc ? nuocICCS(m.nuoc) : null));
  const dau = tt.fenDau ?? (ds.viTri[0] ? vietFEN(ds.viTri[0], 'DO') : null);
  const docDuoc = !nuoc.includes(null) && !!dau;
  doThi.capNhat(docDuoc ? dau : null, docDuoc ? nuoc : [], tt.ketQua !== 'DANG_CHOI', xemLai.ply);
}

/** Whether a human may move a piece on the board now. */
function coTheDiQuan() {
  return !!tt && !dangNhap && !matKetNoi && xemLai.ply === null && !phanTich.dangHienSao() && !banXem.dangMo()
    && tt.ketQua === 'DANG_CHOI'
    && !tt.tamDungMay && !mayCam(tt, tt.luot);
}

/**
 * The board, its two player bars and the buttons under it, brought into the
 * window if they are not: under the header while it stays at the top (the
 * bars above and below the board), else from the board's top (the bars
 * beside it, in a short wide window).
 */
function dauBanCoVaoTam() {
  const tren = Math.min(...['ben-tren', 'ban-co'].map((id) => $(id).getBoundingClientRect().top));
  const duoi = Math.max(...['ben-duoi', 'ban-co'].map((id) => $(id).getBoundingClientRect().bottom),
    document.querySelector('.thanh-nhanh').getBoundingClientRect().bottom);
  const dauTrang = document.querySelector('.dau-trang');
  const dau = getComputedStyle(dauTrang).position === 'sticky' ? dauTrang.getBoundingClientRect().bottom : 0;
  if (tren < dau || duoi > window.innerHeight) window.scrollBy(0, tren - dau - 4);
}

function veXemLai(k) {
  // The review board says so under the board too (on a phone its panel is
  // further down), with the way back to the game.
  if (banXem.dangMo()) {
    $('xem-lai').hidden = false;
    $('dong-xem-lai').textContent = `Bàn xem: ${banXem.ten}`;
    $('nut-di-tiep-tu-day').hidden = true;
    return;
  }
  $('xem-lai').hidden = k === null;
  if (k === null) return;
  const m = ds.bienBan[k - 1];
  $('dong-xem-lai').textContent = k === 0
    ? 'Đang xem thế cờ ban đầu'
    : `Đang xem ${tenNuoc(k, m.phe)}: ${m.chu}`;
  $('nut-di-tiep-tu-day').hidden = !coTheDiTiepTu(k);
}

/** A move of the list was clicked: its position, with the board brought into view. */
function chonNuoc(ply) {
  xemNuocVan(ply);
  dauBanCoVaoTam();
}

/**
 * A position of the game asked for (its move list, its graph): on the
 * review board when it shows a copy of the game with that move, else in
 * the game's own review, the review board closed.
 */
function xemNuocVan(ply) {
  if (banXem.dangMo() && banXem.nguon === 'van') {
    const nut = banXem.cay.tim(ds.bienBan.slice(0, ply).map((m) => (m.nuoc ? nuocICCS(m.nuoc) : '')));
    if (nut) {
      banXem.den(nut);
      return;
    }
  }
  banXem.dong();
  xemLai.mo(ply);
}

/** Undo can bring the game back to ply k: in a game against the computer only to the human's turn. */
function coTheDiTiepTu(k) {
  if (k >= tt.lichSu.length) return false;
  if (tt.cheDo !== 'NGUOI_MAY') return true;
  return benCuaNuoc(k + 1) === tt.pheNguoi;
}

function capNhatNut() {
  const dangChoi = tt.ketQua === 'DANG_CHOI';
  const tat = matKetNoi || dangNhap;
  $('nut-tai').disabled = tat || !tt.coBanLuu;
  $('nut-huy').disabled = tat || tt.nuocThu === 0;
  $('nut-goi-y').disabled = tat || !dangChoi || mayCam(tt, tt.luot) || xemLai.ply !== null || tt.tamDungMay
    || banXem.dangMo();
  for (const id of ['nut-luu', 'nut-van-moi', 'nut-choi-lai', 'nut-nhap', 'nut-tiep-tuc', 'nut-di-tiep-tu-day',
    'nut-khoi-phuc', 'nut-van-da-choi']) {
    $(id).disabled = tat;
  }
  $('nut-di-thu').disabled = banXem.dangMo();
  if (banXem.dangMo()) {
    $('nut-lui').disabled = !banXem.nut.cha;
    $('nut-toi').disabled = !banXem.nut.con.length;
  } else {
    $('nut-lui').disabled = tt.lichSu.length === 0 || xemLai.ply === 0;
    $('nut-toi').disabled = xemLai.ply === null;
  }
  // A pause where there is something to stop: a clock, or computers playing each other.
  const tamDung = $('nut-tam-dung');
  tamDung.hidden = !dangChoi || !(tt.dongHo.bat || tt.cheDo === 'MAY_MAY');
  tamDung.disabled = tat;
  tamDung.classList.toggle('dang-dung', !!tt.tamDungMay);
  tamDung.querySelector('span').textContent = tt.tamDungMay ? 'Tiếp tục' : 'Tạm dừng';
  tamDung.setAttribute('aria-pressed', String(!!tt.tamDungMay));
  $('nut-xin-thua').hidden = tt.cheDo === 'MAY_MAY';
  $('nut-xin-thua').disabled = tat || !dangChoi;
}

// ---------- polling ----------

function khoangHoi() {
  if (!tt) return HOI_CHAM_MS;
  if (document.hidden) return HOI_KHI_AN_MS;
  if (tt.ketQua !== 'DANG_CHOI' || tt.tamDungMay) return HOI_CHAM_MS;
  if (tt.mayDangNghi && !tt.tamDungMay) return HOI_MAY_MS;
  return tt.dongHo.bat ? HOI_NHANH_MS : HOI_CHAM_MS;
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
  if (!xuLyTraLoi(await gui('trangthai'))) henHoi(matKetNoi ? HOI_CHAM_MS : khoangHoi());
}

// ---------- actions ----------

async function cham(hang, cot) {
  if (!tt || dangNhap) return;
  if (moBanXemNeuDiThu(hang, cot)) {
    await banXem.cham(hang, cot);
    return;
  }
  if (xemLai.ply !== null || phanTich.dangHienSao()) return; // a past position or a copy is only looked at
  const q = tt.quanChon;
  if (q && q.h === hang && q.c === cot) {
    xuLyTraLoi(await gui('bochon'));
    return;
  }
  if (q && !(await choDiNuocPham({ hd: q.h, cd: q.c, hc: hang, cc: cot }))) return;
  xuLyTraLoi(await gui('cham', { hang, cot }));
}

const CANH_BAO_NUOC_PHAM = {
  CHIEU_DAI: 'Nước này lặp lại chiếu dai, bạn sẽ bị xử thua. Vẫn đi?',
  DUOI_DAI: 'Nước này lặp lại đuổi dai, bạn sẽ bị xử thua. Vẫn đi?',
};

/**
 * A move that completes a cycle the mover loses by (the server lists them
 * in nuocPhamLuat) is played only once the player says so; otherwise the
 * piece stays selected where it is.
 */
async function choDiNuocPham(n) {
  const pham = (tt.nuocPhamLuat ?? []).find((p) => p.hd === n.hd && p.cd === n.cd && p.hc === n.hc && p.cc === n.cc);
  if (!pham) return true;
  return hoiXacNhan('Nước phạm luật lặp lại', CANH_BAO_NUOC_PHAM[pham.loai] ?? CANH_BAO_NUOC_PHAM.CHIEU_DAI, 'Vẫn đi');
}

/** A press may become a drag on a piece of the side to move, on a human's turn. */
function coTheKeo(h, c) {
  if (banXem.dangMo()) return !phanTich.dangHienSao() && banXem.coTheKeo(h, c);
  if (coTheDiThu(h, c)) return true;
  if (!coTheDiQuan()) return false;
  return tt.banCo.some((q) => q.h === h && q.c === c && q.phe === tt.luot);
}

/**
 * In the analysis, a piece moved where the game cannot be played (a past
 * position, a finished game, the other side's turn, a position of its own)
 * starts a variation on a copy instead: the game is not touched.
 */
function coTheDiThu(h, c) {
  if (!tt || !phanTich.mo || banXem.dangMo() || coTheDiQuan() || phanTich.xem) return false;
  const hien = theCoHien();
  return hien.banCo.some((q) => q.h === h && q.c === c && q.phe === hien.luot);
}

/** Opens the review board for a move tried on the board; true when the board now takes the input. */
function moBanXemNeuDiThu(h, c) {
  if (banXem.dangMo()) return !phanTich.dangHienSao();
  if (!coTheDiThu(h, c)) return false;
  moDiThu();
  return banXem.dangMo();
}

/** The review board on the position shown: a copy of the game (with its moves), or the analysis's own position. */
function moDiThu() {
  if (!tt) return;
  if (phanTich.mo && phanTich.goc) {
    const { fen } = phanTich.goc;
    banXem.mo({ cay: new CayBien(fen), nguon: 'rieng', ten: 'Thế cờ phân tích riêng' });
    return;
  }
  const nuoc = ds.bienBan.map((m) => (m.nuoc ? nuocICCS(m.nuoc) : null));
  const dau = tt.fenDau ?? (ds.viTri[0] ? vietFEN(ds.viTri[0], benDiTruoc(tt)) : FEN_BAT_DAU);
  if (nuoc.includes(null)) return;
  banXem.moTuVan(dau, nuoc, xemLai.ply ?? nuoc.length, {});
}

function batDauKeo(h, c) {
  if (moBanXemNeuDiThu(h, c)) {
    banXem.batDauKeo(h, c);
    return;
  }
  const q = tt.quanChon;
  if (q && q.h === h && q.c === c) return;
  choChon = gui('cham', { hang: h, cot: c }).then((r) => { xuLyTraLoi(r); });
}

async function tha(h, c, dich) {
  if (banXem.dangMo()) {
    await banXem.tha(h, c, dich);
    return;
  }
  await choChon; // the destinations of the dragged piece must be known
  if (!dich || !tt.quanChon || tt.quanChon.h !== h || tt.quanChon.c !== c) return;
  if (!tt.nuocDen.some(([hh, cc]) => hh === dich.h && cc === dich.c)) return; // back to its point
  if (!(await choDiNuocPham({ hd: h, cd: c, hc: dich.h, cc: dich.c }))) return;
  banCo.vuaTha = true;
  xuLyTraLoi(await gui('cham', { hang: dich.h, cot: dich.c }));
}

async function boChon() {
  if (tt && tt.quanChon) xuLyTraLoi(await gui('bochon'));
}

/** An unfinished game with moves is not replaced without asking. */
async function choThayVan(viec) {
  if (!tt || tt.ketQua !== 'DANG_CHOI' || tt.lichSu.length === 0) return true;
  return hoiXacNhan('Bỏ ván đang chơi?',
    `Ván đang chơi chưa xong (đã đi tới ${tenNuoc(tt.lichSu.length)}). `
      + `${viec} sẽ thay nó; ván này được cất vào “Ván đã chơi”.`,
    'Bỏ ván này');
}

async function batDauVanMoi(thamSo, { ngauNhien = false } = {}) {
  if (!(await choThayVan('Ván mới'))) return;
  // A colour drawn at random is named at once.
  const chu = ngauNhien ? `${CHU.vanMoi}: bạn cầm ${TEN_PHE[thamSo.pheNguoi]}` : CHU.vanMoi;
  xuLyTraLoi(await gui('vanmoi', thamSo), chu);
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
    const o = viTriTuBanCo(traLoi.banCo);
    const quan = g && o[g.hd * 9 + g.cd];
    if (g && quan) {
      const n = { ...g, ...quan, an: o[g.hc * 9 + g.cc] };
      thongBao(`${CHU.goiY}${vietNuoc(o, n, cd.kyPhap)}`);
    } else {
      thongBao(CHU.khongCoGoiY, 'loi');
    }
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
  // Said once, with the state that knows of the file ("coBanLuu").
  if (!xuLyTraLoi(await gui('trangthai'), traLoi.thongBao)) thongBao(traLoi.thongBao);
}

async function taiVan() {
  if (!(await choThayVan('Ván tải từ tavelin.save'))) return;
  xuLyTraLoi(await gui('tai'), CHU.daTai);
}

async function tiepTuc() {
  const mayChoi = tt && tt.cheDo === 'MAY_MAY';
  xuLyTraLoi(await gui('tieptuc'), mayChoi ? CHU.daTiepTuc : CHU.choiTiep);
}

async function tamDungHayTiepTuc() {
  if (!tt) return;
  if (tt.tamDungMay) await tiepTuc();
  else xuLyTraLoi(await gui('tamdung'), CHU.daTamDung);
}

async function xinThua() {
  if (!tt || tt.ketQua !== 'DANG_CHOI' || tt.cheDo === 'MAY_MAY') return;
  const ai = tt.cheDo === 'NGUOI_MAY' ? `Bạn (${TEN_PHE[tt.pheNguoi]})` : `${TEN_PHE[tt.luot]} (bên đang đi)`;
  const dongY = await hoiXacNhan('Xin thua?', `${ai} chịu thua, ván kết thúc. Có thể hủy nước để lấy lại.`,
    'Xin thua');
  if (!dongY) return;
  xuLyTraLoi(await gui('xinthua'));
}

// ---------- the game kept from an earlier run ----------

/** Asks the program whether it kept an unfinished game; offered while the game shown has no move. */
async function hoiVanTruoc() {
  const traLoi = await gui('vantruoc');
  // A kept game without a move is nothing to go back to (it may be the very game shown).
  vanTruoc = traLoi && traLoi.ok && traLoi.co && traLoi.soNuoc > 0 ? traLoi : null;
  if (tt) veLai();
}

function moTaVanTruoc(v) {
  const phan = [TEN_CHE_DO[v.cheDo] ?? ''];
  const cap = (d) => TEN_DO_KHO[d] ?? '';
  if (v.cheDo === 'NGUOI_MAY') {
    const may = v.pheNguoi === 'DEN' ? v.doKhoDo : v.doKhoDen;
    phan.push(`bạn cầm ${TEN_PHE[v.pheNguoi] ?? 'Đỏ'}, máy ${cap(may)}`);
  } else if (v.cheDo === 'MAY_MAY') {
    phan.push(`Đỏ ${cap(v.doKhoDo)}, Đen ${cap(v.doKhoDen)}`);
  }
  if (v.giayMoiBen > 0) phan.push(`đồng hồ ${tenDongHo(v.giayMoiBen, v.tang)}`);
  phan.push(`đã đi tới ${tenNuoc(v.soNuoc)}`);
  return `${phan.join(', ')}.`;
}

function veVanTruoc(k) {
  const hien = !!vanTruoc && tt.nuocThu === 0 && k === null;
  $('van-truoc').hidden = !hien;
  if (hien) $('mo-ta-van-truoc').textContent = moTaVanTruoc(vanTruoc);
}

/** The program cannot keep the game on disk: the reason, until it can again. */
function veLoiLuu() {
  const loi = tt.loiTuLuu ?? '';
  $('loi-luu').hidden = !loi;
  if ($('chu-loi-luu').textContent !== loi) $('chu-loi-luu').textContent = loi;
}

async function khoiPhuc() {
  if (!(await choThayVan('Ván trước'))) return;
  const traLoi = await gui('khoiphuc');
  if (traLoi && traLoi.ok === false) vanTruoc = null; // nothing left to offer
  xuLyTraLoi(traLoi, CHU.daKhoiPhuc);
  if (tt) veLai();
}

/** Continue from the reviewed move: undo through the server until the game is there. */
async function diTiepTuDay() {
  const k = xemLai.ply;
  if (k === null || !tt) return;
  while (tt.nuocThu > k) {
    const truoc = tt.nuocThu;
    if (!xuLyTraLoi(await gui('huy')) || tt.nuocThu >= truoc) break;
  }
  xemLai.dong();
  if (tt.nuocThu === k) thongBao(`Đi tiếp từ ${tenNuoc(k + 1, tt.luot)}`);
}

function latTheoNguoiDung() {
  datCaiDat({ latTay: !cd.latTay });
}

function datCaiDat(doi) {
  Object.assign(cd, doi);
  ghiCaiDat(cd);
  apDungCaiDat();
}

function apDungCaiDat() {
  apDungGiaoDien(cd.giaoDien);
  // The board's proportions follow its edge labels (coordinates need wider margins).
  document.documentElement.dataset.kyPhap = cd.kyPhap;
  $('nut-am-thanh').setAttribute('aria-pressed', String(cd.amThanh));
  $('nut-am-thanh').classList.toggle('tat', !cd.amThanh);
  $('chon-ky-phap').value = cd.kyPhap;
  if (tt) {
    tinhBienBan();
    veLai();
  }
}

// ---------- importing a game ----------

/** Replays a pasted game; the buttons rest meanwhile. */
async function nhap(van) {
  if (!(await choThayVan('Ván nhập'))) return;
  dangNhap = true;
  xemLai.dong();
  $('loi-nhap').hidden = true;
  if (tt) capNhatNut();
  try {
    const ket = await nhapVan(van, { gui, xuLyTraLoi, layTrangThai: () => tt, luat: cd.luat });
    // Its variations stay with the game: the review board opens on them.
    if (tt && tt.hanhDong === 'nhapvan' && (van.dong ?? []).some((m) => m.bien.length)) await giuBienNhap(van);
    if (ket.loi) {
      // Where an import stopped is read at leisure: it stays until closed.
      $('chu-loi-nhap').textContent = ket.chu;
      $('loi-nhap').hidden = false;
      $('loi-nhap').scrollIntoView({ block: 'nearest' }); // below the board on a phone
    } else {
      thongBao(ket.chu);
    }
  } finally {
    dangNhap = false;
    if (tt) veLai();
  }
}

// ---------- the review board: kept and imported games, variations ----------

/** The live game's first position as FEN (a handicap taken off, a set-up one as it was). */
function fenDauVan() {
  return tt.fenDau ?? (ds.viTri[0] ? vietFEN(ds.viTri[0], benDiTruoc(tt)) : FEN_BAT_DAU);
}

/** The server's legal moves of a position, for the tree's check of moves read from a file. */
async function nuocHopLe(fen) {
  return (await banXem.hoiNuoc(fen))?.nuoc ?? null;
}

/** An imported game's variations, grafted on the game just imported, shown on the review board. */
async function giuBienNhap(van) {
  const { cay } = CayBien.tuVan(van, fenDauVan());
  await cay.loc(nuocHopLe);
  if (!cay.coBien()) return;
  banXem.cayVan = cay;
  const nuoc = ds.bienBan.map((m) => (m.nuoc ? nuocICCS(m.nuoc) : null));
  if (nuoc.includes(null)) return;
  banXem.moTuVan(fenDauVan(), nuoc, nuoc.length, {});
  banXem.ten = 'Ván nhập, cùng các nhánh biến';
  banXem.ve();
}

/** A kept game ({van: the server's "vandachoi xem" answer, phanTich}) on the review board. */
function xemVanDaChoi({ van, phanTich: moPhanTich }) {
  let cay;
  try {
    cay = new CayBien(van.fen, van.nuoc);
  } catch {
    thongBao('Không mở được ván này', 'loi');
    return;
  }
  const t = van.the ?? {};
  banXem.mo({
    cay, nguon: 'danhSach', ten: `Ván đã chơi: ${t.Red || '?'} – ${t.Black || '?'}`, the: t,
    ketQua: van.ketQua, lyDo: van.lyDo,
  });
  if (moPhanTich && !phanTich.mo) phanTich.batDau();
  thongBao('Đang xem ván đã chơi; ván đang chơi giữ nguyên');
}

/** An imported game looked at without replacing the live one, with its variations. */
async function xemVanNhap(van) {
  const dau = theCoDau(van);
  if (dau.loi) {
    thongBao(dau.loi, 'loi');
    return;
  }
  if (van.chap.length && !dau.fen) {
    thongBao('Ván chấp quân chỉ mở được bằng “Nhập”', 'loi');
    return;
  }
  const { cay, boQua } = CayBien.tuVan(van, dau.fen ?? FEN_BAT_DAU);
  const bo = await cay.loc(nuocHopLe) + boQua + (van.khongDoc ? 1 : 0);
  const t = van.the;
  const ten = t.Red || t.Black ? `${t.Red || '?'} – ${t.Black || '?'}` : (t.Event || 'không tên');
  banXem.mo({
    cay, nguon: 'nhap', ten: `Ván nhập: ${ten}`, the: t, ketQua: van.ketQua || t.Result || '*',
  });
  thongBao(`Đang xem ván nhập${cay.coBien() ? ', cùng các nhánh biến' : ''}; ván đang chơi giữ nguyên`
    + `${bo ? `. Bỏ qua ${bo} chỗ không đọc được hoặc nước không hợp lệ (cùng các nước sau chúng)` : ''}`, bo ? 'loi' : undefined);
}

/** The review board's tree as PGN ('iccs' or 'wxf'): {pgn, tenTep}, or null when it is not open. */
async function pgnBanXem(kieu) {
  if (!banXem.dangMo()) return null;
  let { the, ketQua, lyDo } = banXem;
  if (banXem.nguon === 'van') {
    // A copy of the live game carries the game's own tags.
    const r = await gui('pgn');
    if (r && r.ok) {
      const [v] = docCacVan(r.pgn);
      the = v.the;
      ketQua = v.ketQua || '*';
      lyDo = /\{([^}]*)\}\s*\S+\s*$/.exec(r.pgn)?.[1].replace(/\s+/g, ' ').trim() ?? '';
    }
  }
  if (!banXem.dangMo()) return null;
  return {
    pgn: banXem.cay.vietPGN(the, kieu, ketQua, lyDo),
    tenTep: `tavelin3d-nhanh-bien${kieu === 'wxf' ? '-wxf' : ''}.pgn`,
  };
}

// ---------- wiring ----------

function dangGoChu(el) {
  return el && (el.tagName === 'INPUT' || el.tagName === 'SELECT' || el.tagName === 'TEXTAREA');
}

function coHopThoaiMo() {
  return [...document.querySelectorAll('dialog')].some((d) => d.open);
}

function phimXemLai(e) {
  const veBanCo = e.target === $('ban-co') && xemLai.ply === null && !banXem.dangMo();
  if (veBanCo) return false; // the arrows move the board's cursor
  if (banXem.dangMo()) {
    if (e.key === 'ArrowLeft') banXem.lui();
    else if (e.key === 'ArrowRight') banXem.toi();
    else if (e.key === 'Home') banXem.dau();
    else if (e.key === 'End') banXem.cuoi();
    else return false;
    e.preventDefault();
    return true;
  }
  if (e.key === 'ArrowLeft') xemLai.lui();
  else if (e.key === 'ArrowRight') xemLai.toi();
  else if (e.key === 'Home') xemLai.mo(0);
  else if (e.key === 'End') xemLai.dong();
  else return false;
  e.preventDefault();
  return true;
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
  $('nut-tam-dung').addEventListener('click', tamDungHayTiepTuc);
  $('nut-xin-thua').addEventListener('click', xinThua);
  $('nut-lui').addEventListener('click', () => (banXem.dangMo() ? banXem.lui() : xemLai.lui()));
  $('nut-toi').addEventListener('click', () => (banXem.dangMo() ? banXem.toi() : xemLai.toi()));
  $('nut-di-thu').addEventListener('click', () => {
    if (banXem.dangMo()) return;
    moDiThu();
    if (banXem.dangMo()) thongBao('Đi thử các quân trên bàn cờ: ván đang chơi không đổi');
  });
  document.addEventListener('banxem:mo', (e) => xemVanDaChoi(e.detail));
  $('nut-khoi-phuc').addEventListener('click', khoiPhuc);
  // The export dialog the toolbar opens: copy or download the game meanwhile.
  $('nut-xuat-loi-luu').addEventListener('click', () => $('nut-xuat').click());
  $('nut-bo-qua').addEventListener('click', () => { vanTruoc = null; if (tt) veLai(); });
  $('nut-dong-loi-nhap').addEventListener('click', () => { $('loi-nhap').hidden = true; });
  $('nut-ve-van').addEventListener('click', () => { banXem.dong(); xemLai.dong(); });
  $('nut-di-tiep-tu-day').addEventListener('click', diTiepTuDay);
  ganHopVanBan({
    layTrangThai: () => tt, layKieu: () => cd.kyPhap, layPGN: () => gui('pgn'), onNhap: nhap, onXem: xemVanNhap,
    layPGNCay: pgnBanXem, coBanXem: () => banXem.dangMo(),
  });
  ganVanDaChoi({ gui, xuLyTraLoi, choThayVan, layTrangThai: () => tt });
  ganBayCo({
    layTheCo: () => (tt ? theCoHien() : null), onChoi: (fen) => hopVanMoi.mo(tt, fen), layKyPhap: () => cd.kyPhap,
  });
  $('nut-am-thanh').addEventListener('click', () => datCaiDat({ amThanh: !cd.amThanh }));
  $('chon-ky-phap').addEventListener('change', (e) => datCaiDat({ kyPhap: e.target.value }));
  $('nut-cai-dat').addEventListener('click', () => {
    const f = $('form-cai-dat').elements;
    f.kyPhap.value = cd.kyPhap;
    f.giaoDien.value = cd.giaoDien;
    f.amThanh.checked = cd.amThanh;
    f.anDanhGia.checked = cd.anDanhGia;
    $('hop-cai-dat').showModal();
  });
  $('form-cai-dat').addEventListener('change', () => {
    const f = $('form-cai-dat').elements;
    datCaiDat({
      kyPhap: f.kyPhap.value, giaoDien: f.giaoDien.value, amThanh: f.amThanh.checked, anDanhGia: f.anDanhGia.checked,
    });
  });
  window.matchMedia('(prefers-color-scheme: light)').addEventListener('change', () => apDungGiaoDien(cd.giaoDien));
  document.addEventListener('keydown', (e) => {
    if (coHopThoaiMo() || dangGoChu(e.target) || e.ctrlKey || e.metaKey || e.altKey) return;
    if (phimXemLai(e)) return;
    const phim = e.key.toLowerCase();
    if (e.key === 'Escape' && phanTich.dangHienSao() && banXem.dangMo()) {
      phanTich.boSao(); // a line's position over the review board: back to the board's
      veLai();
    } else if (e.key === 'Escape' && phanTich.dangHienSao()) phanTich.veVan();
    else if (e.key === 'Escape' && banXem.dangMo()) banXem.dong();
    else if (e.key === 'Escape') (xemLai.ply !== null ? xemLai.dong() : boChon());
    else if (phim === 'u' && !$('nut-huy').disabled) huyNuoc();
    else if (phim === 'g' && !$('nut-goi-y').disabled) goiY();
    else if (phim === 'p' && !$('nut-tam-dung').hidden && !$('nut-tam-dung').disabled) tamDungHayTiepTuc();
    else if (phim === 'l') latTheoNguoiDung();
    else if (phim === 'm') datCaiDat({ amThanh: !cd.amThanh });
  });
  document.addEventListener('visibilitychange', () => { if (!document.hidden) henHoi(0); });
  setInterval(() => bang.tichTac(performance.now()), 100);
}

ganSuKien();
apDungCaiDat();
document.querySelector('.logo').textContent = kyTuQuan('DO', 5);
hoiTrangThai().then(hoiVanTruoc);
