// The two dialogs of the game as text: the export (copy or download) and the
// import (paste a move list). What the import does with the moves is the
// caller's: it is given the pasted text already split by tachVan.

import { xuatVan, tachVan } from './transfer.js';
import { thongBao } from './toast.js';
import { CHU } from './labels.js';

const $ = (id) => document.getElementById(id);

/** layTrangThai(): the latest state; layKieu(): the notation; onNhap(van): replay it. */
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
  $('form-nhap').addEventListener('submit', (e) => {
    e.preventDefault();
    $('hop-nhap').close();
    onNhap(tachVan($('chu-nhap').value));
  });
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
