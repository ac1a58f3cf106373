// The notation module without a browser: reading the server's descriptions,
// rebuilding earlier positions, writing and reading moves in three notations.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import {
  docMoTa, cacViTri, viTriTuBanCo, vietNuoc, bienBan, docNuoc, oTheoKyPhap,
} from '../../web/notation.js';
import { tachVan } from '../../web/transfer.js';
import { tenNuoc } from '../../web/labels.js';

// The start position as the server lists it (kind codes of the state document).
const HANG_SAU = [0, 2, 3, 4, 5, 4, 3, 2, 0];
function banCoDau() {
  const ds = [];
  for (const [phe, sau, phao, tot] of [['DEN', 0, 2, 3], ['DO', 9, 7, 6]]) {
    HANG_SAU.forEach((loai, c) => ds.push({ h: sau, c, phe, loai }));
    ds.push({ h: phao, c: 1, phe, loai: 1 }, { h: phao, c: 7, phe, loai: 1 });
    for (const c of [0, 2, 4, 6, 8]) ds.push({ h: tot, c, phe, loai: 6 });
  }
  return ds;
}

/** A position from a few pieces: [h, c, phe, loai]. */
function viTri(...quan) {
  return viTriTuBanCo(quan.map(([h, c, phe, loai]) => ({ h, c, phe, loai })));
}

function nuoc(o, hd, cd, hc, cc) {
  return { hd, cd, hc, cc, ...o[hd * 9 + cd], an: o[hc * 9 + cc] };
}

/** Writes the move in the three notations and checks each reads back to it. */
function caBa(o, hd, cd, hc, cc) {
  const n = nuoc(o, hd, cd, hc, cc);
  const chu = ['viet', 'wxf', 'iccs'].map((k) => vietNuoc(o, n, k));
  for (const c of chu) assert.deepEqual(docNuoc(c, o, n.phe), { hd, cd, hc, cc }, c);
  return chu;
}

test('descriptions are read, and the game is walked back to its start', () => {
  assert.deepEqual(docMoTa('Phao đỏ 7b-7e ăn Ma đen'),
    { hd: 7, cd: 1, hc: 7, cc: 4, loai: 1, phe: 'DO', an: { loai: 2, phe: 'DEN' } });
  assert.equal(docMoTa('Phao đỏ 7b-7e').an, null);
  assert.equal(docMoTa('? 7b-7e').loai, -1);
  assert.equal(docMoTa('nonsense'), null);

  // Cannon takes the horse, then the black chariot takes the cannon back.
  const lichSu = ['Phao đỏ 7b-0b ăn Ma đen', 'Xe đen 0a-0b ăn Phao đỏ'];
  const now = banCoDau().filter((q) => !(q.h === 7 && q.c === 1) && !(q.h === 0 && q.c === 0));
  now.find((q) => q.h === 0 && q.c === 1).loai = 0;
  const vt = cacViTri(now, lichSu);
  assert.deepEqual(vt[0], viTriTuBanCo(banCoDau()));
  assert.deepEqual(vt[1][1], { phe: 'DO', loai: 1 });
  assert.equal(vt[1][0].loai, 0);
  assert.deepEqual(bienBan(now, lichSu, 'viet').map((m) => m.chu), ['Pháo 8 tiến 7', 'Xe 1 bình 2']);
  assert.deepEqual(bienBan(now, lichSu, 'iccs').map((m) => m.chu), ['b2-b9', 'a9-b9']);
});

test('opening moves of both sides, files counted from each side\'s right', () => {
  const o = viTriTuBanCo(banCoDau());
  assert.deepEqual(caBa(o, 7, 7, 7, 4), ['Pháo 2 bình 5', 'C2=5', 'h2-e2']);
  assert.deepEqual(caBa(o, 9, 1, 7, 2).slice(0, 2), ['Mã 8 tiến 7', 'H8+7']);
  assert.deepEqual(caBa(o, 9, 6, 7, 4).slice(0, 2), ['Tượng 3 tiến 5', 'E3+5']);
  assert.deepEqual(caBa(o, 9, 5, 8, 4).slice(0, 2), ['Sĩ 4 tiến 5', 'A4+5']);
  assert.deepEqual(caBa(o, 6, 2, 5, 2).slice(0, 2), ['Tốt 7 tiến 1', 'P7+1']);
  // Black: file 1 is column a, and forward is down the board.
  assert.deepEqual(caBa(o, 0, 7, 2, 6).slice(0, 2), ['Mã 8 tiến 7', 'H8+7']);
  assert.deepEqual(caBa(o, 0, 0, 2, 0).slice(0, 2), ['Xe 1 tiến 2', 'R1+2']);
  assert.deepEqual(caBa(o, 2, 1, 2, 4).slice(0, 2), ['Pháo 2 bình 5', 'C2=5']);
  assert.deepEqual(caBa(o, 0, 3, 1, 4).slice(0, 2), ['Sĩ 4 tiến 5', 'A4+5']);
  assert.deepEqual(caBa(o, 0, 4, 1, 4).slice(0, 2), ['Tướng 5 tiến 1', 'K5+1']);
  // Plies are named as the list numbers its rows: a full move and the side.
  assert.deepEqual([1, 2, 19, 20].map((k) => tenNuoc(k)), ['nước 1, Đỏ', 'nước 1, Đen', 'nước 10, Đỏ', 'nước 10, Đen']);
});

test('two chariots on one file are front and rear, for each side', () => {
  const o = viTri([5, 0, 'DO', 0], [8, 0, 'DO', 0], [2, 8, 'DEN', 0], [6, 8, 'DEN', 0]);
  assert.deepEqual(caBa(o, 5, 0, 4, 0).slice(0, 2), ['Xe trước tiến 1', '+R+1']);
  assert.deepEqual(caBa(o, 8, 0, 8, 3).slice(0, 2), ['Xe sau bình 6', '-R=6']);
  assert.deepEqual(caBa(o, 6, 8, 9, 8).slice(0, 2), ['Xe trước tiến 3', '+R+3']);
  assert.deepEqual(caBa(o, 2, 8, 0, 8).slice(0, 2), ['Xe sau thoái 2', '-R-2']);
  // The plain file is ambiguous when both chariots can go.
  assert.ok(docNuoc('Xe 9 tiến 1', o, 'DO').loi);
});

test('soldiers: three on a file, and doubled on two files', () => {
  const o = viTri([2, 4, 'DO', 6], [3, 4, 'DO', 6], [4, 4, 'DO', 6], [9, 4, 'DO', 5]);
  assert.deepEqual(caBa(o, 2, 4, 1, 4).slice(0, 2), ['Tốt trước tiến 1', '+P+1']);
  assert.deepEqual(caBa(o, 3, 4, 3, 3).slice(0, 2), ['Tốt giữa bình 6', 'P5=6']);
  assert.deepEqual(caBa(o, 4, 4, 4, 5).slice(0, 2), ['Tốt sau bình 4', '-P=4']);

  const hai = viTri([3, 2, 'DO', 6], [4, 2, 'DO', 6], [3, 6, 'DO', 6], [4, 6, 'DO', 6]);
  assert.deepEqual(caBa(hai, 3, 6, 2, 6).slice(0, 2), ['Tốt trước 3 tiến 1', '+P3+1']);
  assert.deepEqual(caBa(hai, 4, 2, 4, 1).slice(0, 2), ['Tốt sau 7 bình 8', '-P7=8']);
  assert.ok(docNuoc('Tốt trước tiến 1', hai, 'DO').loi, 'the file is needed');
});

test('advisors, elephants and the general share a word without diacritics', () => {
  const o = viTri([7, 4, 'DO', 3], [9, 2, 'DO', 3], [8, 4, 'DO', 4], [9, 4, 'DO', 5], [0, 4, 'DEN', 5]);
  assert.deepEqual(caBa(o, 8, 4, 9, 3).slice(0, 2), ['Sĩ 5 thoái 6', 'A5-6']);
  assert.deepEqual(caBa(o, 7, 4, 5, 6).slice(0, 2), ['Tượng 5 tiến 3', 'E5+3']);
  assert.deepEqual(docNuoc('Tuong 7 tien 5', o, 'DO'), { hd: 9, cd: 2, hc: 7, cc: 4 });
  // On file 5 stand both: the number tells the elephant from the general.
  assert.deepEqual(docNuoc('Tuong 5 thoai 7', o, 'DO'), { hd: 7, cd: 4, hc: 9, cc: 2 });
  assert.deepEqual(docNuoc('Tuong 5 tien 1', o, 'DO'), { hd: 9, cd: 4, hc: 8, cc: 4 });
  assert.deepEqual(docNuoc('k5+1', viTri([8, 4, 'DO', 5]), 'DO'), { hd: 8, cd: 4, hc: 7, cc: 4 });
  for (const sai of ['Xe 1 tiến', 'Mã 2 bình 3', 'H8+9', 'Sĩ 5 tiến 5', 'Pháo 0 bình 5', 'đi đi'])
    assert.ok(docNuoc(sai, o, 'DO').loi, sai);
});

test('the program\'s squares in coordinates are named as the board\'s edges show them', () => {
  const lyDo = 'Tốt đỏ ở i2 đứng sau hàng xuất phát của Tốt';
  for (const kieu of ['viet', 'wxf']) {
    assert.equal(oTheoKyPhap(lyDo, kieu), 'Tốt đỏ ở cột 1, hàng 3 (đếm từ phía Đỏ) đứng sau hàng xuất phát của Tốt');
  }
  assert.equal(oTheoKyPhap(lyDo, 'iccs'), lyDo);
  // Black counts files from its own right (red's left) and ranks from its own side.
  assert.equal(oTheoKyPhap('Sĩ đen ở a9 không đứng trên điểm của Sĩ', 'viet'),
    'Sĩ đen ở cột 1, hàng 1 (đếm từ phía Đen) không đứng trên điểm của Sĩ');
  assert.equal(oTheoKyPhap('Tướng đen ở e0 đứng ngoài cung', 'viet'),
    'Tướng đen ở cột 5, hàng 10 (đếm từ phía Đen) đứng ngoài cung');
  assert.equal(oTheoKyPhap('Tượng đỏ ở c9 không đứng trên điểm của Tượng', 'wxf'),
    'Tượng đỏ ở cột 7, hàng 10 (đếm từ phía Đỏ) không đứng trên điểm của Tượng');
  for (const khac of ['Đỏ thiếu Tướng', 'Hai Tướng đối mặt trên cùng một cột không có quân chắn', 'FEN sai: h2e2']) {
    assert.equal(oTheoKyPhap(khac, 'viet'), khac);
  }
});

test('a pasted game is split into moves of any notation, with its handicap', () => {
  const ket = tachVan([
    'Chấp: Đỏ chấp Xe, Mã; Đen chấp Tốt',
    '1. Pháo 2 bình 5 [7h-7e]   Mã 8 tiến 7 [0h-2g]',
    '2.H2+3 c8=5 3. Phao đỏ 9a-8a, Xe đen 0a-1a ăn Mã đỏ',
    'Kết quả: ván chưa kết thúc',
  ].join('\n'));
  assert.deepEqual(ket.chap, ['DO:Xe', 'DO:Ma', 'DEN:Tot']);
  assert.deepEqual(ket.nuoc, ['Pháo 2 bình 5', 'Mã 8 tiến 7', 'H2+3', 'c8=5', 'Phao đỏ 9a-8a',
    'Xe đen 0a-1a ăn Mã đỏ']);
  assert.equal(ket.khongDoc, null);
  const hong = tachVan('1. C2=5 H8+7 2. Ngựa nhảy lên  R1+1');
  assert.deepEqual(hong.nuoc, ['C2=5', 'H8+7']);
  assert.equal(hong.khongDoc, 'Ngựa nhảy lên');
});
