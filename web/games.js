// The played games: the list the program keeps of every game that ended or
// was replaced unfinished (newest first), and opening one (to review it or to
// analyse it) or deleting it. The program reads the files; the page shows
// them and asks before anything that cannot be taken back.

import { hoiXacNhan } from './xac_nhan.js';
import { thongBao } from './toast.js';
import { FEN_BAT_DAU } from './fen.js';

const $ = (id) => document.getElementById(id);

const KET_QUA = {
  '1-0': ['Đỏ thắng', 'do'], '0-1': ['Đen thắng', 'den'], '1/2-1/2': ['Hòa', 'hoa'], '*': ['Chưa xong', 'do-dang'],
};

/** "2026.12.08" as Vietnamese write it; anything else as it is. */
function ngayViet(ngay) {
  const m = /^(\d{4})\.(\d{2})\.(\d{2})$/.exec(ngay);
  return m ? `${m[3]}/${m[2]}/${m[1]}` : ngay || 'không rõ ngày';
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
export function ganVanDaChoi({ gui, xuLyTraLoi, choThayVan }) {
  const hop = $('hop-van-da-choi');

  function ve(traLoi) {
    const ds = $('ds-van-da-choi');
    ds.replaceChildren();
    const van = traLoi.van ?? [];
    $('ds-van-trong').hidden = van.length > 0;
    for (const muc of van) ds.append(dongVan(muc));
    const ghiChu = $('ghi-chu-van');
    ghiChu.replaceChildren(...(traLoi.ghiChu ?? []).map((g) => the('li', '', g)));
    ghiChu.hidden = !ghiChu.children.length;
  }

  function dongVan(muc) {
    const [chuKetQua, lop] = KET_QUA[muc.ketQua] ?? [muc.ketQua, 'do-dang'];
    const li = the('li', 'van');
    li.dataset.id = muc.id;
    const tin = the('div', 'tin-van');
    const dau = the('p', 'dong-dau-van');
    dau.append(the('span', `ket-qua-van ${lop}`, chuKetQua), the('span', 'ngay-van', ngayViet(muc.ngay)),
      the('span', 'dai-van', `${soNuocDu(muc)} nước`));
    // A handicap or a set-up position: the board did not start full.
    if (muc.fen && muc.fen.split(' ', 2).join(' ') !== FEN_BAT_DAU.split(' ', 2).join(' ')) {
      dau.append(the('span', 'the-co-rieng', 'thế cờ riêng'));
    }
    tin.append(dau, the('p', 'nguoi-van', `Đỏ: ${muc.do || '?'} — Đen: ${muc.den || '?'}`));
    if (muc.lyDo) tin.append(the('p', 'ly-do-van', muc.lyDo));
    const nut = the('div', 'nut-van');
    const them = (chu, lopNut, viec, nhan) => {
      const b = the('button', `nut nho ${lopNut}`, chu);
      b.type = 'button';
      b.setAttribute('aria-label', `${nhan} ván ${ngayViet(muc.ngay)}, ${chuKetQua}`);
      b.addEventListener('click', () => viec(muc));
      nut.append(b);
    };
    them('Mở', 'chinh nut-mo-van', mo, 'Mở');
    them('Xem', 'nut-xem-van', (m) => xem(m, false), 'Xem lại');
    them('Phân tích', 'nut-phan-tich-van', (m) => xem(m, true), 'Phân tích');
    them('Xóa', 'phu nut-xoa-van', xoa, 'Xóa');
    li.append(tin, nut);
    return li;
  }

  async function taiDanhSach() {
    const traLoi = await gui('vandachoi');
    if (!traLoi) return;
    if (traLoi.ok === false) {
      ve({ van: [], ghiChu: [traLoi.lyDo] });
      return;
    }
    ve(traLoi);
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

  async function xoa(muc) {
    const [chuKetQua] = KET_QUA[muc.ketQua] ?? [muc.ketQua];
    const dongY = await hoiXacNhan('Xóa ván này?',
      `Ván ngày ${ngayViet(muc.ngay)} (${chuKetQua}, ${soNuocDu(muc)} nước) sẽ bị xóa hẳn khỏi danh sách.`,
      'Xóa');
    if (!dongY) return;
    const traLoi = await gui('vandachoi', { xoa: muc.id });
    if (!traLoi) return;
    if (traLoi.ok === false) {
      thongBao(traLoi.lyDo, 'loi');
      await taiDanhSach();
      return;
    }
    ve(traLoi);
    thongBao('Đã xóa ván');
  }

  $('nut-van-da-choi').addEventListener('click', async () => {
    $('ds-van-da-choi').replaceChildren();
    $('ds-van-trong').hidden = true;
    $('ghi-chu-van').hidden = true;
    hop.showModal();
    await taiDanhSach();
  });
}
