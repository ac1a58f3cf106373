// The dialogs of the game as text: the export (copy or download, as our own
// text or as PGN) and the import (paste a move list or open a game file; a
// file of several games asks which). What the import does with the game is
// the caller's: it is given one game of docCacVan.

import { xuatVan, pgnWXF } from './transfer.js';
import { docTep, docCacVan, moTaVan } from './pgn.js';
import { thongBao } from './toast.js';
import { CHU } from './labels.js';

const $ = (id) => document.getElementById(id);

let tenTep = ''; // the download's name, for the text shown

/**
 * layTrangThai(): the latest state; layKieu(): the notation; layPGN(): the
 * program's {ok, pgn, tenTep} for the game (null when unreachable);
 * onNhap(van): replay one game; onXem(van): look at it without replacing
 * the game; coBanXem(): whether the review board is open, and
 * layPGNCay(kieu): its tree as {pgn, tenTep}, variations included.
 */
export function ganHopVanBan({
  layTrangThai, layKieu, layPGN, onNhap, onXem, coBanXem, layPGNCay,
}) {
  const dien = async () => {
    const tt = layTrangThai();
    if (!tt) return;
    const kieu = $('kieu-xuat').value;
    $('nut-tai-tep').textContent = kieu === 'van-ban' ? 'Tải về (.txt)' : 'Tải về (.pgn)';
    $('nguon-xuat').hidden = !coBanXem();
    const cay = kieu !== 'van-ban' && coBanXem() ? await layPGNCay(kieu === 'pgn-wxf' ? 'wxf' : 'iccs') : null;
    if (cay) {
      $('chu-xuat').value = cay.pgn;
      tenTep = cay.tenTep;
    } else if (kieu === 'van-ban') {
      $('chu-xuat').value = xuatVan(tt, layKieu());
      tenTep = `van-co-tuong-${new Date().toISOString().slice(0, 10)}.txt`;
    } else {
      const traLoi = await layPGN();
      if (!traLoi || traLoi.ok === false) {
        thongBao(traLoi ? traLoi.lyDo : 'Không lấy được PGN của ván', 'loi');
        return;
      }
      // The moves as the page writes them, of the state the text was made from.
      const ttMoi = layTrangThai();
      $('chu-xuat').value = kieu === 'pgn-wxf' ? pgnWXF(traLoi.pgn, ttMoi) : traLoi.pgn;
      tenTep = kieu === 'pgn-wxf' ? traLoi.tenTep.replace(/\.pgn$/, '-wxf.pgn') : traLoi.tenTep;
    }
    $('chu-xuat').scrollTop = 0;
  };
  $('nut-xuat').addEventListener('click', () => {
    if (!layTrangThai()) return;
    $('hop-xuat').showModal();
    dien();
  });
  $('kieu-xuat').addEventListener('change', dien);
  $('nut-sao-chep').addEventListener('click', saoChep);
  $('nut-tai-tep').addEventListener('click', taiTep);
  $('nut-nhap').addEventListener('click', () => $('hop-nhap').showModal());
  $('nut-huy-nhap').addEventListener('click', () => $('hop-nhap').close());
  $('tep-nhap').addEventListener('change', moTep);
  $('form-nhap').addEventListener('submit', (e) => {
    e.preventDefault();
    $('hop-nhap').close();
    chonVan(docCacVan($('chu-nhap').value), e.submitter?.id === 'nut-xem-nhap' ? onXem : onNhap);
  });
}

/** An opened file's text goes into the box, to be looked at before importing. */
async function moTep() {
  const tep = $('tep-nhap').files[0];
  if (!tep) return;
  try {
    $('chu-nhap').value = docTep(new Uint8Array(await tep.arrayBuffer()));
    $('chu-nhap').scrollTop = 0;
  } catch {
    thongBao(`Không đọc được tệp ${tep.name}`, 'loi');
  }
  $('tep-nhap').value = ''; // the same file may be opened again
}

/** One game goes straight to the import; of several, the player picks one. */
function chonVan(cacVan, onNhap) {
  if (cacVan.length === 1) {
    onNhap(cacVan[0]);
    return;
  }
  $('chu-chon-van').textContent = `Văn bản có ${cacVan.length} ván.`;
  $('ds-van-nhap').replaceChildren(...cacVan.map((van, k) => {
    const li = document.createElement('li');
    const nut = document.createElement('button');
    nut.type = 'button';
    nut.textContent = moTaVan(van, k);
    nut.addEventListener('click', () => {
      $('hop-chon-van').close();
      onNhap(van);
    });
    li.append(nut);
    return li;
  }));
  $('hop-chon-van').showModal();
  $('ds-van-nhap').scrollTop = 0;
}

async function saoChep() {
  const chu = $('chu-xuat').value;
  try {
    await navigator.clipboard.writeText(chu);
  } catch {
    // No clipboard permission (e.g. not a secure context): the old way.
    $('chu-xuat').select();
    document.execCommand('copy');
  }
  thongBao(CHU.daSaoChep);
}

function taiTep() {
  const pgn = tenTep.endsWith('.pgn');
  const loai = pgn ? 'application/x-chess-pgn;charset=utf-8' : 'text/plain;charset=utf-8';
  // A Blob of a string is UTF-8.
  const url = URL.createObjectURL(new Blob([$('chu-xuat').value], { type: loai }));
  const a = document.createElement('a');
  a.href = url;
  a.download = tenTep;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}
