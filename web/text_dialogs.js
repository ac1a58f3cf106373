// The dialogs of the game as text: the export (copy or download) and the
// import (paste a move list or open a game file; a file of several games
// asks which). What the import does with the game is the caller's: it is
// given one game of docCacVan.

import { xuatVan } from './transfer.js';
import { docTep, docCacVan, moTaVan } from './pgn.js';
import { thongBao } from './toast.js';
import { CHU } from './labels.js';

const $ = (id) => document.getElementById(id);

/** layTrangThai(): the latest state; layKieu(): the notation; onNhap(van): replay one game. */
export function ganHopVanBan({ layTrangThai, layKieu, onNhap }) {
  $('nut-xuat').addEventListener('click', () => {
    const tt = layTrangThai();
    if (!tt) return;
    $('chu-xuat').value = xuatVan(tt, layKieu());
    $('hop-xuat').showModal();
    $('chu-xuat').scrollTop = 0;
  });
  $('nut-sao-chep').addEventListener('click', saoChep);
  $('nut-tai-tep').addEventListener('click', taiTep);
  $('nut-nhap').addEventListener('click', () => $('hop-nhap').showModal());
  $('nut-huy-nhap').addEventListener('click', () => $('hop-nhap').close());
  $('tep-nhap').addEventListener('change', moTep);
  $('form-nhap').addEventListener('submit', (e) => {
    e.preventDefault();
    $('hop-nhap').close();
    chonVan(docCacVan($('chu-nhap').value), onNhap);
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
  const url = URL.createObjectURL(new Blob([$('chu-xuat').value], { type: 'text/plain;charset=utf-8' }));
  const a = document.createElement('a');
  a.href = url;
  a.download = `van-co-tuong-${new Date().toISOString().slice(0, 10)}.txt`;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}
