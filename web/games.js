// The played games: the list the program keeps of every game that ended or
// was replaced unfinished (newest first), filtered by the program, and
// opening one (to review it or to analyse it) or deleting some. The program
// reads the files; the page shows them and asks before anything that cannot
// be taken back. An imported game nobody played on from joins the list only
// when the player asks.

import { hoiXacNhan } from './xac_nhan.js';
import { thongBao } from './toast.js';
import { FEN_BAT_DAU } from './fen.js';
import { TEN_DO_KHO } from './labels.js';

const $ = (id) => document.getElementById(id);

const KET_QUA = {
  '1-0': ['Đỏ thắng', 'do'], '0-1': ['Đen thắng', 'den'], '1/2-1/2': ['Hòa', 'hoa'], '*': ['Chưa xong', 'do-dang'],
};

/** "2026.12.08" as Vietnamese write it; anything else as it is. */
function ngayViet(ngay) {
  const m = /^(\d{4})\.(\d{2})\.(\d{2})$/.exec(ngay);
  return m ? `${m[3]}/${m[2]}/${m[1]}` : ngay || 'không rõ ngày';
}

/** When the game was filed, to the minute, else the date its file gives. */
function thoiDiemViet(muc) {
  const m = /^(\d{4})\.(\d{2})\.(\d{2}) (\d{2}:\d{2})$/.exec(muc.thoiDiem ?? '');
  return m ? `${m[3]}/${m[2]}/${m[1]} ${m[4]}` : ngayViet(muc.ngay);
}

/** A side as the row names it: the player, with a computer's level. */
function tenBen(ten, muc) {
  if (muc && /^Máy\b/.test(ten ?? '')) return `Máy ${TEN_DO_KHO[muc] ?? muc}`;
  return ten || '?';
}

/** Full moves, numbered as the move list numbers them (a game begun by black starts at "1. …"). */
function soNuocDu(muc) {
  const denTruoc = / b\b/.test(muc.fen ?? '');
  return Math.ceil((muc.soNuoc + (denTruoc ? 1 : 0)) / 2);
}

function the(ten, lop, chu) {
  const el = document.createElement(ten);
  if (lop) el.className = lop;
  if (chu !== undefined) el.textContent = chu;
  return el;
}

/**
 * gui(lenh, thamSo): one command (null when unreachable); xuLyTraLoi(traLoi,
 * tinNhan): shows a reply, true for a state; choThayVan(viec): asks before an
 * unfinished game is replaced.
 */
export function ganVanDaChoi({ gui, xuLyTraLoi, choThayVan, layTrangThai = () => null }) {
  const hop = $('hop-van-da-choi');
  const daChon = new Set();
  let hienCo = []; // the ids the list shows

  function capNhatChon() {
    for (const o of document.querySelectorAll('#ds-van-da-choi .chon-mot-van')) o.checked = daChon.has(o.value);
    $('nut-xoa-da-chon').disabled = daChon.size === 0;
    $('nut-xoa-da-chon').textContent = daChon.size ? `Xóa ${daChon.size} ván đã chọn` : 'Xóa các ván đã chọn';
    const tatCa = $('chon-tat-ca');
    tatCa.checked = hienCo.length > 0 && hienCo.every((id) => daChon.has(id));
    tatCa.disabled = hienCo.length === 0;
  }

  function ve(traLoi) {
    const ds = $('ds-van-da-choi');
    ds.replaceChildren();
    const van = traLoi.van ?? [];
    hienCo = van.map((m) => m.id);
    // What is no longer shown is no longer chosen: a deletion names only rows seen.
    for (const id of [...daChon]) if (!hienCo.includes(id)) daChon.delete(id);
    $('ds-van-trong').hidden = van.length > 0;
    $('ds-van-trong').textContent = locDangBat() ? 'Không có ván nào khớp bộ lọc.' : 'Chưa có ván nào.';
    for (const muc of van) ds.append(dongVan(muc));
    const tong = traLoi.tong ?? van.length;
    $('dem-van').textContent = tong > van.length ? `Hiện ${van.length} trong ${tong} ván` : `${tong} ván`;
    const ghiChu = $('ghi-chu-van');
    ghiChu.replaceChildren(...(traLoi.ghiChu ?? []).map((g) => the('li', '', g)));
    ghiChu.hidden = !ghiChu.children.length;
    capNhatChon();
  }

  function dongVan(muc) {
    const [chuKetQua, lop] = KET_QUA[muc.ketQua] ?? [muc.ketQua, 'do-dang'];
    const li = the('li', 'van');
    li.dataset.id = muc.id;
    const chon = the('input', 'chon-mot-van');
    chon.type = 'checkbox';
    chon.value = muc.id;
    chon.setAttribute('aria-label', `Chọn ván ${thoiDiemViet(muc)}, ${chuKetQua}`);
    chon.addEventListener('change', () => {
      if (chon.checked) daChon.add(muc.id);
      else daChon.delete(muc.id);
      capNhatChon();
    });
    const tin = the('div', 'tin-van');
    const dau = the('p', 'dong-dau-van');
    dau.append(the('span', `ket-qua-van ${lop}`, chuKetQua), the('span', 'ngay-van', thoiDiemViet(muc)),
      the('span', 'dai-van', `${soNuocDu(muc)} nước`),
      the('span', 'luat-van', muc.luat === 'CHAU_A' ? 'Luật châu Á' : 'Luật ba lần'));
    // A handicap or a set-up position: the board did not start full.
    if (muc.fen && muc.fen.split(' ', 2).join(' ') !== FEN_BAT_DAU.split(' ', 2).join(' ')) {
      dau.append(the('span', 'the-co-rieng', 'thế cờ riêng'));
    }
    tin.append(dau, the('p', 'nguoi-van', `Đỏ: ${tenBen(muc.do, muc.mucDo)} — Đen: ${tenBen(muc.den, muc.mucDen)}`));
    if (muc.suKien && muc.suKien !== 'tavelin3d') tin.append(the('p', 'ly-do-van', muc.suKien));
    if (muc.lyDo) tin.append(the('p', 'ly-do-van', muc.lyDo));
    const nut = the('div', 'nut-van');
    const them = (chu, lopNut, viec, nhan) => {
      const b = the('button', `nut nho ${lopNut}`, chu);
      b.type = 'button';
      b.setAttribute('aria-label', `${nhan} ván ${thoiDiemViet(muc)}, ${chuKetQua}`);
      b.addEventListener('click', () => viec(muc));
      nut.append(b);
    };
    them('Mở', 'chinh nut-mo-van', mo, 'Mở');
    them('Xem', 'nut-xem-van', (m) => xem(m, false), 'Xem lại');
    them('Phân tích', 'nut-phan-tich-van', (m) => xem(m, true), 'Phân tích');
    them('Xóa', 'phu nut-xoa-van', xoa, 'Xóa');
    li.append(chon, tin, nut);
    return li;
  }

  function locDangBat() {
    return Boolean($('loc-ket-qua').value || $('loc-muc-may').value || $('loc-tim').value.trim());
  }

  function thamSoLoc() {
    const t = {};
    if ($('loc-ket-qua').value) t.ketQua = $('loc-ket-qua').value;
    if ($('loc-muc-may').value) t.mucMay = $('loc-muc-may').value;
    const tim = $('loc-tim').value.trim();
    if (tim) t.tim = tim;
    return t;
  }

  // Answers come back in order (one request at a time), but a filter
  // changed meanwhile makes an older answer stale.
  let lanTai = 0;
  async function taiDanhSach() {
    const lan = ++lanTai;
    const traLoi = await gui('vandachoi', thamSoLoc());
    if (!traLoi || lan !== lanTai) return;
    if (traLoi.ok === false) {
      ve({ van: [], ghiChu: [traLoi.lyDo] });
      return;
    }
    ve(traLoi);
    // The program reads a large folder a slice per answer: asked again until done.
    if (traLoi.chuaDoc > 0 && hop.open) setTimeout(() => { if (lan === lanTai && hop.open) taiDanhSach(); }, 150);
  }

  function veGiuVan() {
    $('giu-van-nhap').hidden = !layTrangThai()?.nhapChuaLuu;
  }

  // Opening replaces the live game (kept in the list if unfinished), to play on.
  async function mo(muc) {
    if (!(await choThayVan('Ván mở từ danh sách'))) return;
    const traLoi = await gui('vandachoi', { mo: muc.id });
    if (!xuLyTraLoi(traLoi, 'Đã mở ván đã chơi')) {
      await taiDanhSach();
      return;
    }
    hop.close();
  }

  // Looking at one, or analysing it, leaves the live game alone: the review
  // board shows it beside the game, from the file read as it is.
  async function xem(muc, phanTich) {
    const traLoi = await gui('vandachoi', { xem: muc.id });
    if (!traLoi) return;
    if (traLoi.ok === false) {
      thongBao(traLoi.lyDo, 'loi');
      await taiDanhSach();
      return;
    }
    hop.close();
    document.dispatchEvent(new CustomEvent('banxem:mo', { detail: { van: traLoi, phanTich } }));
  }

  // One request for all the games: the program checks every name first.
  async function xoaCac(ids, hoi, tinNhan) {
    const dongY = await hoiXacNhan(...hoi, 'Xóa');
    if (!dongY) return;
    const traLoi = await gui('vandachoi', { xoa: ids.join(',') });
    if (!traLoi) return;
    for (const id of ids) daChon.delete(id);
    // Said once the list shows it, so the message never sits over rows that are gone.
    await taiDanhSach();
    if (traLoi.ok === false) thongBao(traLoi.lyDo, 'loi');
    else thongBao(tinNhan);
  }

  function xoa(muc) {
    const [chuKetQua] = KET_QUA[muc.ketQua] ?? [muc.ketQua];
    return xoaCac([muc.id], ['Xóa ván này?',
      `Ván ${thoiDiemViet(muc)} (${chuKetQua}, ${soNuocDu(muc)} nước) sẽ bị xóa hẳn khỏi danh sách.`], 'Đã xóa ván');
  }

  $('nut-xoa-da-chon').addEventListener('click', () => {
    const ids = hienCo.filter((id) => daChon.has(id));
    if (!ids.length) return;
    return xoaCac(ids, [`Xóa ${ids.length} ván đã chọn?`, 'Các ván đã chọn sẽ bị xóa hẳn khỏi danh sách.'],
      `Đã xóa ${ids.length} ván`);
  });
  $('chon-tat-ca').addEventListener('change', (e) => {
    for (const id of hienCo) {
      if (e.target.checked) daChon.add(id);
      else daChon.delete(id);
    }
    capNhatChon();
  });
  $('loc-ket-qua').addEventListener('change', taiDanhSach);
  $('loc-muc-may').addEventListener('change', taiDanhSach);
  let henTim = 0;
  $('loc-tim').addEventListener('input', () => {
    clearTimeout(henTim);
    henTim = setTimeout(taiDanhSach, 250);
  });

  $('nut-giu-van').addEventListener('click', async () => {
    const traLoi = await gui('vandachoi', { giu: 1 });
    if (!xuLyTraLoi(traLoi, traLoi?.thongBao)) return;
    veGiuVan();
    await taiDanhSach();
  });

  $('nut-van-da-choi').addEventListener('click', async () => {
    $('ds-van-da-choi').replaceChildren();
    $('ds-van-trong').hidden = true;
    $('ghi-chu-van').hidden = true;
    daChon.clear();
    veGiuVan();
    hop.showModal();
    await taiDanhSach();
  });
}
