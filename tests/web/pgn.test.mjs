// Game files from elsewhere, read move by move: public PGN files in ICCS,
// WXF and Chinese (one of them GB18030), the tandem forms of each notation,
// and the parts of a PGN file that are not moves.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { docTep, docCacVan, moTaVan } from '../../web/pgn.js';
import { docNuoc } from '../../web/notation.js';
import { theCoDau, tenNuocThu } from '../../web/import.js';
import { CayBien } from '../../web/variation_tree.js';
import {
  docFEN, vietFEN, FEN_BAT_DAU, diTren, nuocICCS,
} from '../../web/fen.js';

const MAU = path.join(path.dirname(fileURLToPath(import.meta.url)), 'van_mau');

/** Every move of a game read against its position in turn: the ICCS moves and the last FEN. */
function choi(van) {
  let { o, luot } = docFEN(van.fen || FEN_BAT_DAU);
  const iccs = [];
  for (const chu of van.nuoc) {
    const n = docNuoc(chu, o, luot, { he: van.he });
    assert.equal(n.loi, undefined, `${van.the.Event || ''} ${iccs.length + 1}: "${chu}"`);
    iccs.push(nuocICCS(n));
    o = diTren(o, n);
    luot = luot === 'DO' ? 'DEN' : 'DO';
  }
  return { iccs, fen: vietFEN(o, luot) };
}

function tep(ten) {
  return docCacVan(docTep(fs.readFileSync(path.join(MAU, ten))));
}

test('one collection in ICCS, in full-width WXF and in Chinese (GB18030) reads as the same moves', () => {
  const gbk = fs.readFileSync(path.join(MAU, 'xqdb_trung.gb18030.pgn'));
  assert.throws(() => new TextDecoder('utf-8', { fatal: true }).decode(gbk), 'not UTF-8');
  const [iccs, wxf, trung] = ['xqdb_iccs.pgn', 'xqdb_wxf.pgn', 'xqdb_trung.gb18030.pgn'].map(tep);
  assert.deepEqual([iccs.length, wxf.length, trung.length], [15, 15, 15]);
  for (let k = 0; k < 15; k += 1) {
    for (const v of [iccs[k], wxf[k], trung[k]]) assert.equal(v.khongDoc, null);
    assert.equal(trung[k].the.Red, iccs[k].the.Red);
    const moi = [iccs[k], wxf[k], trung[k]].map((v) => choi(v).iccs);
    assert.ok(moi[0].length > 40);
    assert.deepEqual(moi[1], moi[2], `game ${k + 1}: WXF and Chinese`);
    // One ply where the ICCS file moves the front soldier while both written
    // files name the rear one ("后兵进一", "-P+1"): a fault of that file.
    const khac = moi[0].flatMap((m, i) => (m === moi[1][i] ? [] : [[k, i, m, moi[1][i]]]));
    assert.deepEqual(khac, k === 1 ? [[1, 70, 'e5e6', 'e3e4']] : [], `game ${k + 1}: ICCS`);
  }
  assert.equal(moTaVan(iccs[0], 0), '1. ZHAO GuoRong – KE YongQing · 64 nước');
  // The tandem forms of these games, and where they landed.
  assert.deepEqual([wxf[0].nuoc[91], wxf[1].nuoc[70], wxf[5].nuoc[64], wxf[9].nuoc[23]],
    ['+P+1', '-P+1', '+H+3', '+C-2']);
  assert.deepEqual([choi(wxf[0]).iccs[91], choi(wxf[5]).iccs[64], choi(wxf[9]).iccs[23]],
    ['g2g1', 'h5g7', 'f3f5']); // as the ICCS file has them
});

test('Chinese files: front and rear pieces, a set-up start, comments, soldiers numbered across files', () => {
  // Vertical move list, full-width digits, 前炮/后炮; every move accepted by
  // fairy-stockfish, which gives the same last position.
  const [hoa] = tep('cchess_test2.pgn');
  assert.equal(hoa.ketQua, '1/2-1/2');
  assert.equal(hoa.nuoc.length, 102);
  assert.equal(choi(hoa).fen, '1r4b2/3P1k3/4baN2/Rc7/1c7/2p5P/9/5A3/9/2BAK4 w');

  const [chap] = tep('hbsxcjp_nx.pgn');
  assert.equal(chap.fen, 'rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/9/1C5C1/9/RN2K2NR r - - 0 1');
  assert.equal(chap.the.Black, '聂卫平');
  assert.equal(chap.nuoc.length, 75);
  assert.equal(choi(chap).fen, '2R6/5k2C/n8/p1p5p/6b2/6p2/9/9/9/4K4 b');

  // "一兵" .. "五兵": soldiers on several files counted file by file from the
  // mover's right, front to back on each (CRLF lines).
  const [tot] = tep('hbsxcjp_bing.pgn');
  assert.equal(tot.nuoc.length, 129);
  assert.equal(choi(tot).fen, 'rnbaka1P1/7P1/1c5P1/7P1/7P1/2p6/2p6/2p1C4/2p1A4/RNp1KABNR b');
});

/** A position from rows of FEN and the side to move. */
function the(fen) {
  return docFEN(fen);
}

function doc(chu, fen, he) {
  const { o, luot } = the(fen);
  const n = docNuoc(chu, o, luot, { he });
  return n.loi ? n.loi : nuocICCS(n);
}

test('tandem and ambiguous forms of WXF, Chinese and Vietnamese short notation', () => {
  // Two red chariots on file 9 (column a), three red soldiers on file 5, two on file 7.
  const chong = '4k4/9/9/4P4/R1P1P4/2P1P4/R8/9/9/4K4 w';
  assert.equal(doc('R+.8', chong), 'a5b5');
  assert.equal(doc('C--1', '4k4/9/9/9/9/9/C8/9/C8/4K4 w'), 'a1a0');
  assert.equal(doc('+R+1', chong), 'a5a6');
  assert.equal(doc('前车平八', chong), 'a5b5');
  assert.equal(doc('後車進一', chong), 'a3a4');
  assert.equal(doc('P+.6', chong), 'không rõ quân nào đi'); // two files with several
  assert.equal(doc('5+.6', chong), 'e6d6');
  assert.equal(doc('P5.6', chong), 'e5d5'); // the middle one of three
  assert.equal(doc('中兵平六', chong), 'e5d5');
  assert.equal(doc('5-.6', chong), 'e4d4');
  assert.equal(doc('7+.6', chong), 'c5d5');
  assert.equal(doc('55.4', chong), 'e5f5');
  assert.equal(doc('15.6', chong), 'e6d6'); // the first soldier on file 5
  // Five on one file, front to back (the official WXF forms).
  const nam = '4k1P2/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w';
  assert.deepEqual(['++.4', 'P+.4', 'P3.4', 'P-.4', '--.4', '三兵平四'].map((c) => doc(c, nam)),
    ['g9f9', 'g8f8', 'g7f7', 'g6f6', 'g5f5', 'g7f7']);
  // Soldiers numbered across files from the mover's right: file 5 first.
  assert.equal(doc('一兵进一', chong), 'e6e7');
  assert.equal(doc('四兵平八', chong), 'c5b5');
  assert.equal(doc('Tốt giữa bình 6', chong), 'e5d5');
  // Black in lower case, Chinese with Arabic or full-width numerals.
  const den = '4k4/9/1c5c1/9/9/9/9/9/9/4K4 b';
  assert.equal(doc('c2.5', den), 'b7e7');
  assert.equal(doc('炮２平５', den), 'b7e7');
  assert.equal(doc('砲8進2', den), 'h7h5');
  // Vietnamese short forms against the start position.
  assert.equal(doc('P2-5', FEN_BAT_DAU), 'h2e2');
  assert.equal(doc('M8.7', FEN_BAT_DAU), 'b0c2');
  assert.equal(doc('X1.1', FEN_BAT_DAU), 'i0i1');
  assert.equal(doc('X1/1', '4k4/9/9/9/9/9/9/8R/9/4K4 w'), 'i2i1');
  assert.equal(doc('Xs-2', '4k4/9/9/9/9/9/8R/8R/9/4K4 w'), 'i2h2');
  // "C7.1": a cannon going sideways in WXF, a soldier going up in Vietnamese.
  const ca = '4k4/9/9/9/9/9/2P6/2C6/9/4K4 w';
  assert.equal(doc('C7.1', ca), 'không rõ quân nào đi');
  assert.equal(doc('C7.1', ca, 'wxf'), 'c2i2');
  assert.equal(doc('C7.1', ca, 'vn'), 'c3c4');
});

test('a PGN text: several games, tags, comments, variations, NAGs, numbering, results, an unreadable move', () => {
  const ds = docCacVan([
    '[Game "Chinese Chess"]', '[Red "Hồ"]', '[Black "Lý"]', '[Date "2024.01.02"]', '[Result "0-1"]',
    '[Format "WXF"]', '',
    '1. C2.5 {centre} H8+7 $1 (1... C8.5 2. H2+3) 2. H2+3', '2... R9.8 ; a remark: solid', '0-1', '',
    '[Event "Không ai đọc"]', '[FEN "4k4/9/9/9/9/9/9/9/9/4K4 b"]',
    '1... k5+1 2. Ngựa nhảy 3. K5.4 *',
  ].join('\r\n'));
  assert.equal(ds.length, 2);
  assert.deepEqual(ds[0].nuoc, ['C2.5', 'H8+7', 'H2+3', 'R9.8']);
  assert.deepEqual([ds[0].ketQua, ds[0].he, ds[0].the.Red], ['0-1', 'wxf', 'Hồ']);
  assert.equal(moTaVan(ds[0], 0), '1. Hồ – Lý · 2024.01.02 · 0-1 · 2 nước');
  assert.deepEqual(choi(ds[0]).iccs, ['h2e2', 'h9g7', 'h0g2', 'i9h9']);
  assert.equal(ds[1].fen, '4k4/9/9/9/9/9/9/9/9/4K4 b');
  assert.deepEqual(ds[1].nuoc, ['k5+1']);
  assert.equal(ds[1].khongDoc, 'Ngựa nhảy');
  assert.deepEqual(choi(ds[1]).iccs, ['e9e8']);
  // Where the import starts the game, and how it names a move of a game black begins.
  assert.deepEqual(theCoDau(ds[1]), { fen: '4k4/9/9/9/9/9/9/9/9/4K4 b' });
  assert.deepEqual(theCoDau({ fen: `${FEN_BAT_DAU.split(' ')[0]} r - - 0 1` }), {});
  assert.deepEqual([0, 1, 2].map((k) => tenNuocThu(k, 'DEN')), ['nước 1, Đen', 'nước 2, Đỏ', 'nước 2, Đen']);
});

test("the page's text export of a set-up game begun by black numbers it '1. …' and reads back", async () => {
  const { xuatVan } = await import('../../web/transfer.js');
  const tt = {
    fenDau: '3k1n3/9/9/9/9/9/9/9/9/4KN3 b',
    chap: [],
    banCo: [
      { h: 0, c: 3, phe: 'DEN', loai: 5 }, { h: 0, c: 5, phe: 'DEN', loai: 2 },
      { h: 9, c: 4, phe: 'DO', loai: 5 }, { h: 7, c: 6, phe: 'DO', loai: 2 },
    ],
    lichSu: ['Ma đen 0f-2g', 'Ma đỏ 9f-7g', 'Ma đen 2g-0f'],
    ketQua: 'DANG_CHOI',
    lyDo: '',
  };
  const chu = xuatVan(tt, 'viet');
  assert.match(chu, /\n1\. …   Mã 6 tiến 7 \[f9-g7\]\n2\. Mã 4 tiến 3 \[f0-g2\]   Mã 7 thoái 6 \[g7-f9\]\n/);
  const [van] = docCacVan(chu);
  assert.equal(van.fen, tt.fenDau);
  assert.deepEqual(van.nuoc, ['Mã 6 tiến 7', 'Mã 4 tiến 3', 'Mã 7 thoái 6']);
});

test('variations: nested ones read as a tree, written back as nested PGN, and read again the same', () => {
  const [van] = docCacVan([
    '[Event "Biến"]', '[Red "Hồ"]', '',
    '1. h2e2 (1. b2e2 h9g7 (1... b9c7 2. h0g2 1-0)) 1... h9g7 {a (note)} 2. h0g2',
    '(2. b0c2 Ngựa nhảy i9h9) (2. b2b9) i9h9 0-1',
  ].join('\n'));
  // The main line and the game's result are what they were; an unreadable
  // move ends only its variation, a variation's own result is not the game's.
  assert.deepEqual(van.nuoc, ['h2e2', 'h9g7', 'h0g2', 'i9h9']);
  assert.deepEqual([van.ketQua, van.khongDoc], ['0-1', null]);
  assert.deepEqual(van.dong[0].bien.map((b) => b.map((m) => m.chu)), [['b2e2', 'h9g7']]);
  assert.deepEqual(van.dong[0].bien[0][1].bien[0].map((m) => m.chu), ['b9c7', 'h0g2']);
  assert.deepEqual(van.dong[2].bien.map((b) => b.map((m) => m.chu)), [['b0c2'], ['b2b9']]);

  const { cay, boQua } = CayBien.tuVan(van);
  assert.equal(boQua, 0);
  const iccs = '1. h2e2 (1. b2e2 h9g7 (1... b9c7 2. h0g2)) 1... h9g7 2. h0g2 (2. b0c2) (2. b2b9) 2... i9h9';
  assert.equal(cay.vietNuoc('iccs'), iccs);
  assert.equal(cay.vietNuoc('wxf'), '1. C2=5 (1. C8=5 H8+7 (1... H2+3 2. H2+3)) 1... H8+7 2. H2+3 (2. H8+7) '
    + '(2. C8+7) 2... R9=8');
  // Both movetexts come back as the same tree, tags and result with them.
  for (const kieu of ['iccs', 'wxf']) {
    const pgn = cay.vietPGN(van.the, kieu, '0-1', 'Đỏ xin thua');
    assert.ok(pgn.split('\n').every((d) => [...d].length <= 80), pgn);
    const [lai] = docCacVan(pgn);
    assert.deepEqual([lai.the.Red, lai.the.Format, lai.ketQua], ['Hồ', kieu.toUpperCase(), '0-1']);
    assert.equal(CayBien.tuVan(lai).cay.vietNuoc('iccs'), iccs, kieu);
  }

  // A game black begins numbers its first move "1..."; its [FEN] is written and read back.
  const fen = '3k1n3/9/9/9/9/9/9/9/9/4KN3 b';
  const den = new CayBien(fen, ['f9g7', 'f0g2']);
  den.them(den.goc, 'd9d8');
  assert.equal(den.vietNuoc('iccs'), '1... f9g7 (1... d9d8) 2. f0g2');
  const [lai] = docCacVan(den.vietPGN({}, 'iccs'));
  assert.equal(lai.fen, fen);
  assert.equal(CayBien.tuVan(lai, lai.fen).cay.vietNuoc('iccs'), '1... f9g7 (1... d9d8) 2. f0g2');
});

test('variation tree: a move made twice is one node; promote and delete; moves the server refuses are dropped', async () => {
  const cay = new CayBien(FEN_BAT_DAU, ['h2e2', 'h9g7', 'h0g2']);
  const dau = cay.goc.con[0];
  assert.equal(cay.them(dau, 'h9g7'), dau.con[0], 'the same move again is the node already there');
  assert.equal(cay.them(dau, 'e2e6'), null, 'a red piece, black to move');
  cay.them(dau, 'a9a8');
  const b = cay.them(dau, 'b9c7');
  const sau = cay.them(b, 'b0c2');
  cay.them(b, 'h0g2');
  assert.equal(cay.soNut, 8);
  assert.equal(CayBien.dauBien(sau), b);
  assert.equal(CayBien.laDongChinh(sau), false);

  // Promoting a node deep in a variation makes its whole way the main line.
  cay.nangLen(sau);
  assert.equal(cay.vietNuoc('iccs'), '1. h2e2 b9c7 (1... h9g7 2. h0g2) (1... a9a8) 2. b0c2 (2. h0g2)');
  assert.equal(CayBien.laDongChinh(sau), true);
  // Deleting takes the node and all after it, and shows its parent.
  assert.equal(cay.xoa(dau.con[1]), dau);
  assert.equal(cay.vietNuoc('iccs'), '1. h2e2 b9c7 (1... a9a8) 2. b0c2 (2. h0g2)');
  assert.equal(cay.soNut, 6);

  // The server's word on each position: a move it does not list goes, with its line.
  const hoi = async (f) => (f === CayBien.fen(dau) ? ['b9c7', 'h9g7'] : null);
  assert.equal(await cay.loc(hoi), 1);
  assert.equal(cay.vietNuoc('iccs'), '1. h2e2 b9c7 2. b0c2 (2. h0g2)');
  assert.equal(cay.tim(['h2e2', 'b9c7', 'h0g2']), cay.goc.con[0].con[0].con[1]);
  assert.equal(cay.tim(['h2e2', 'a9a8']), null);
});
