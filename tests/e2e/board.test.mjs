// Playing on the board by hand: the first page, selecting, moving, refusals,
// the keyboard and the flip button, in a human-against-human game.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import {
  openGame, point, clickPoint, pieceAt, historyTexts, playMove, waitForMessage, watchApi, touchDrag, touchSlide,
} from './support/harness.mjs';

const T = { timeout: 180000 };

test('the first page shows the full board, 32 pieces and every point', T, async (t) => {
  const { page } = await openGame(t);
  assert.equal(await page.locator('.diem').count(), 90);
  assert.equal(await page.locator('.quan').count(), 32);
  assert.equal(await page.locator('.quan[data-phe="DO"]').count(), 16);
  assert.equal(await page.locator('.quan[data-phe="DEN"]').count(), 16);
  // Corners and generals where the API puts them (row 0 is black's back rank).
  assert.deepEqual(await pieceAt(page, 9, 0), { loai: 0, phe: 'DO' });
  assert.deepEqual(await pieceAt(page, 0, 4), { loai: 5, phe: 'DEN' });
  assert.deepEqual(await pieceAt(page, 7, 1), { loai: 1, phe: 'DO' });
  assert.equal(await pieceAt(page, 5, 4), null);
  // Red is at the bottom of a human-against-human game.
  const red = await point(page, 9, 4).boundingBox();
  const black = await point(page, 0, 4).boundingBox();
  assert.ok(red.y > black.y);
  await assert.doesNotReject(page.locator('#trang-thai', { hasText: 'Lượt của Đỏ' }).waitFor());
  assert.equal(await page.locator('#lich-su .nuoc').count(), 0);
  assert.ok(await page.locator('#nut-tai').isDisabled(), 'nothing saved yet');
  assert.match(await point(page, 9, 0).getAttribute('aria-label'), /Xe đỏ/);

  // Nothing runs (no computer, no clock): the page asks only now and then.
  const api = watchApi(page);
  await page.waitForTimeout(3000);
  assert.ok(api.sent <= 3, `an idle page sent ${api.sent} requests in 3 s`);
});

test('selecting shows the destinations; clicking again or Escape deselects', T, async (t) => {
  const { page } = await openGame(t);
  await clickPoint(page, 9, 1); // red horse
  await page.locator('.diem.dang-chon[data-hang="9"][data-cot="1"]').waitFor();
  const dests = await page.locator('.diem.la-dich').evaluateAll(
    (els) => els.map((g) => `${g.dataset.hang},${g.dataset.cot}`).sort(),
  );
  assert.deepEqual(dests, ['7,0', '7,2']);

  await clickPoint(page, 9, 1); // the same piece again
  await page.locator('.diem.dang-chon').waitFor({ state: 'detached' });
  assert.equal(await page.locator('.diem.la-dich').count(), 0);

  await clickPoint(page, 7, 1); // red cannon: many destinations, one capture
  await page.locator('.diem.dang-chon[data-hang="7"][data-cot="1"]').waitFor();
  assert.ok(await page.locator('.diem.la-dich').count() > 5);
  assert.equal(await page.locator('.diem.la-dich.co-quan[data-hang="0"][data-cot="1"]').count(), 1);
  await page.keyboard.press('Escape');
  await page.locator('.diem.dang-chon').waitFor({ state: 'detached' });
});

test('a move is played, highlighted and listed; refusals show the server reason', T, async (t) => {
  const { page } = await openGame(t);
  await clickPoint(page, 5, 4); // nothing selected, empty point
  await waitForMessage(page, 'Hãy chọn một quân của bạn');

  await clickPoint(page, 9, 0);
  await page.locator('.diem.dang-chon[data-hang="9"][data-cot="0"]').waitFor();
  await clickPoint(page, 5, 5); // not a chariot move
  await waitForMessage(page, 'Nước đi không hợp lệ');
  assert.equal(await page.locator('.diem.dang-chon[data-hang="9"][data-cot="0"]').count(), 1,
    'a refused move keeps the selection');

  await clickPoint(page, 7, 0);
  await page.locator('#lich-su .nuoc').first().waitFor();
  assert.deepEqual(await historyTexts(page), ['Xe 9 tiến 2']);
  assert.equal(await pieceAt(page, 9, 0), null);
  assert.deepEqual(await pieceAt(page, 7, 0), { loai: 0, phe: 'DO' });
  assert.equal(await page.locator('.diem.cuoi-den[data-hang="7"][data-cot="0"]').count(), 1);
  assert.equal(await page.locator('.diem.cuoi-di[data-hang="9"][data-cot="0"]').count(), 1);
  await page.locator('#trang-thai', { hasText: 'Lượt của Đen' }).waitFor();

  await clickPoint(page, 7, 1); // a red piece on black's turn
  await waitForMessage(page, 'Hãy chọn một quân của bạn');

  // A capture: the black cannon on 2h jumps the red cannon on 7h onto the horse.
  await playMove(page, [2, 7], [9, 7]);
  const list = await historyTexts(page);
  assert.equal(list[1], 'Pháo 8 tiến 7');
  assert.deepEqual(await pieceAt(page, 9, 7), { loai: 1, phe: 'DEN' });
  assert.equal(await page.locator('#lich-su li').count(), 1, 'two plies make one numbered move');
  assert.match(await page.locator('#lich-su li .so').first().textContent(), /^1\.$/);
  assert.equal(await page.locator('#ben-tren .quan-an span').count() + await page.locator('#ben-duoi .quan-an span').count(), 1,
    'the captured horse is shown beside the player who took it');
});

test('the keyboard moves a cursor and plays; the flip button turns the board', T, async (t) => {
  const { page } = await openGame(t);
  await page.locator('#ban-co').focus();
  // The cursor starts on red's general; four steps left reach the chariot.
  for (let i = 0; i < 4; i += 1) await page.keyboard.press('ArrowLeft');
  await page.keyboard.press('Enter');
  await page.locator('.diem.dang-chon[data-hang="9"][data-cot="0"]').waitFor();
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press(' ');
  await page.locator('#lich-su .nuoc').first().waitFor();
  assert.deepEqual(await historyTexts(page), ['Xe 9 tiến 2']);

  const before = await point(page, 0, 4).boundingBox();
  await page.click('#nut-lat');
  await page.waitForFunction(
    (y) => document.querySelector('.diem[data-hang="0"][data-cot="4"]').getBoundingClientRect().y > y + 100,
    before.y,
  );
  const red = await point(page, 9, 4).boundingBox();
  const black = await point(page, 0, 4).boundingBox();
  assert.ok(black.y > red.y, 'black is at the bottom after the flip');
  assert.equal(await page.locator('#ben-duoi').getAttribute('data-phe'), 'DEN');
  // On the turned board the arrows still follow the screen: up goes toward red.
  await page.locator('#ban-co').focus();
  await page.keyboard.press('Enter'); // cursor is on 7a, the red chariot: black to move, refused
  await waitForMessage(page, 'Hãy chọn một quân của bạn');
  await page.keyboard.press('ArrowDown'); // toward black on the turned board: 6a, empty
  await page.keyboard.press('ArrowDown'); // 5a
  await page.keyboard.press('ArrowDown'); // 4a
  await page.keyboard.press('ArrowDown'); // 3a, black soldier
  await page.keyboard.press('Enter');
  await page.locator('.diem.dang-chon[data-hang="3"][data-cot="0"]').waitFor();
});

test('review: the list shows past positions, the keys step, and play can continue from one', T, async (t) => {
  const { page } = await openGame(t);
  await playMove(page, [7, 7], [7, 4]);
  await playMove(page, [0, 7], [2, 6]);
  await playMove(page, [7, 4], [3, 4]); // takes the middle soldier
  const board = page.locator('#ban-co');
  assert.deepEqual(await page.locator('#lich-su [data-ply]').evaluateAll((els) => els.map((e) => e.dataset.ply)),
    ['1', '2', '3']);

  const captured = () => page.locator('.quan-an span').count();
  assert.equal(await captured(), 1);
  await page.click('#lich-su [data-ply="1"]');
  await page.locator('#ban-co[data-xem-lai="1"]').waitFor();
  assert.deepEqual(await pieceAt(page, 3, 4), { loai: 6, phe: 'DEN' }, 'the captured soldier is back');
  assert.deepEqual(await pieceAt(page, 7, 4), { loai: 1, phe: 'DO' });
  assert.deepEqual(await pieceAt(page, 0, 7), { loai: 2, phe: 'DEN' });
  assert.equal(await captured(), 0, 'nothing was taken yet in the position shown');
  assert.equal(await page.locator('#dong-xem-lai').textContent(), 'Đang xem nước 1, Đỏ: Pháo 2 bình 5');

  await page.click('#nut-toi'); // the buttons under the board step as the arrow keys do
  assert.equal(await board.getAttribute('data-xem-lai'), '2');
  assert.equal(await page.locator('#dong-xem-lai').textContent(), 'Đang xem nước 1, Đen: Mã 8 tiến 7');
  assert.deepEqual(await pieceAt(page, 2, 6), { loai: 2, phe: 'DEN' });
  await page.keyboard.press('Home');
  assert.equal(await board.getAttribute('data-xem-lai'), '0');
  assert.deepEqual(await pieceAt(page, 7, 7), { loai: 1, phe: 'DO' });
  await clickPoint(page, 6, 4); // the board only shows a past position: nothing is sent
  await page.keyboard.press('End');
  assert.equal(await board.getAttribute('data-xem-lai'), null);
  assert.deepEqual(await pieceAt(page, 3, 4), { loai: 1, phe: 'DO' });
  assert.equal(await page.locator('.diem.dang-chon').count(), 0);

  await page.click('#nut-lui');
  await page.click('#nut-lui');
  assert.equal(await board.getAttribute('data-xem-lai'), '1');
  await page.click('#nut-di-tiep-tu-day');
  await page.waitForFunction(() => document.querySelectorAll('#lich-su .nuoc').length === 1);
  assert.equal(await board.getAttribute('data-xem-lai'), null);
  await page.locator('#trang-thai', { hasText: 'Lượt của Đen' }).waitFor();
  await waitForMessage(page, 'Đi tiếp từ nước 1, Đen');
});

/** Drags with the mouse from one point to another, in small steps. */
async function drag(page, [h1, c1], [h2, c2]) {
  const a = await point(page, h1, c1).boundingBox();
  const b = await point(page, h2, c2).boundingBox();
  await page.mouse.move(a.x + a.width / 2, a.y + a.height / 2);
  await page.mouse.down();
  await page.mouse.move(a.x + a.width / 2 + 15, a.y + a.height / 2 - 15, { steps: 3 });
  await page.locator('.diem.la-dich').first().waitFor(); // destinations show while dragging
  await page.mouse.move(b.x + b.width / 2, b.y + b.height / 2, { steps: 6 });
  await page.mouse.up();
}

test('drag and drop: a legal drop plays the move, any other drop puts the piece back', T, async (t) => {
  const { page } = await openGame(t);
  await drag(page, [9, 1], [5, 5]);
  await page.locator('.diem.dang-keo').waitFor({ state: 'detached' });
  assert.deepEqual(await pieceAt(page, 9, 1), { loai: 2, phe: 'DO' });
  assert.equal(await pieceAt(page, 5, 5), null);
  assert.equal(await point(page, 9, 1).locator('.quan').getAttribute('transform'), null, 'back on its point');
  assert.equal((await historyTexts(page)).length, 0);

  await drag(page, [9, 1], [7, 2]);
  await page.waitForFunction(() => document.querySelectorAll('#lich-su .nuoc').length === 1);
  assert.deepEqual(await historyTexts(page), ['Mã 8 tiến 7']);
  assert.deepEqual(await pieceAt(page, 7, 2), { loai: 2, phe: 'DO' });
});

test('on a phone a finger drags a piece without scrolling the page; elsewhere it scrolls', T, async (t) => {
  const { page } = await openGame(t, {
    viewport: { width: 375, height: 667 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true,
  });
  await page.evaluate(() => window.scrollTo(0, 40));
  const scrollY = () => page.evaluate(() => window.scrollY);
  const before = await scrollY();
  assert.ok(before > 0, 'the page can scroll at this size');
  await touchDrag(page, [9, 1], [7, 2]);
  await page.waitForFunction(() => document.querySelectorAll('#lich-su .nuoc').length === 1);
  assert.deepEqual(await historyTexts(page), ['Mã 8 tiến 7']);
  assert.equal(await scrollY(), before, 'the page stood still under the finger');

  // Below the board the same gesture scrolls the page.
  const card = await page.locator('.thanh-nhanh').boundingBox();
  await touchSlide(page, [card.x + 20, card.y + card.height / 2], [card.x + 20, card.y + card.height / 2 - 150]);
  await page.waitForFunction((y) => window.scrollY > y + 50, before);
});

test('the chosen notation and the sound switch survive a reload', T, async (t) => {
  const { page } = await openGame(t);
  // Count the tones the page makes (headless Chromium plays into nothing).
  await page.addInitScript(() => {
    window.soAm = 0;
    const goc = AudioContext.prototype.createOscillator;
    AudioContext.prototype.createOscillator = function dem() {
      window.soAm += 1;
      return goc.call(this);
    };
  });
  await page.selectOption('#chon-ky-phap', 'wxf');
  await page.click('#nut-am-thanh');
  assert.equal(await page.locator('#nut-am-thanh').getAttribute('aria-pressed'), 'false');
  await page.reload();
  await page.waitForFunction(() => document.querySelectorAll('.quan').length > 0);
  assert.equal(await page.locator('#chon-ky-phap').inputValue(), 'wxf');
  assert.equal(await page.locator('#nut-am-thanh').getAttribute('aria-pressed'), 'false');
  assert.equal(await page.locator('.toa-do text').first().textContent(), '1', 'the edges show files');

  await playMove(page, [9, 1], [7, 2]);
  assert.deepEqual(await historyTexts(page), ['H8+7']);
  assert.equal(await page.evaluate(() => window.soAm), 0, 'muted: no sound');
  await page.keyboard.press('m');
  await playMove(page, [0, 1], [2, 2]);
  assert.ok(await page.evaluate(() => window.soAm) > 0, 'a move makes a sound');
  await page.reload();
  await page.waitForFunction(() => document.querySelectorAll('#lich-su .nuoc').length === 2);
  assert.equal(await page.locator('#nut-am-thanh').getAttribute('aria-pressed'), 'true');
  assert.deepEqual(await historyTexts(page), ['H8+7', 'H2+3']);

  // The coordinates were once stored as 'toado': they come back as ICCS.
  await page.evaluate(() => localStorage.setItem('tavelin.caiDat', JSON.stringify({ kyPhap: 'toado' })));
  await page.reload();
  await page.waitForFunction(() => document.querySelectorAll('#lich-su .nuoc').length === 2);
  assert.equal(await page.locator('#chon-ky-phap').inputValue(), 'iccs');
  assert.deepEqual(await historyTexts(page), ['b0-c2', 'b9-c7']);
  assert.deepEqual(await page.locator('.toa-do text.hang').evaluateAll((ds) => ds.slice(0, 2).map((d) => d.textContent)),
    ['9', '9'], 'ranks counted from red\'s side');
  // The coordinates stand clear of the pieces on the outer files and ranks, inside the board, either way up.
  for (const way of ['red below', 'black below']) {
    assert.deepEqual(await labelsMeetingPieces(page), [], `coordinates, ${way}`);
    await page.keyboard.press('l');
  }
});

/** Edge labels whose box meets a piece's, or leaves the board's. */
async function labelsMeetingPieces(page) {
  return page.evaluate(() => {
    const ban = document.getElementById('ban-co').getBoundingClientRect();
    const pieces = [...document.querySelectorAll('#ban-co .quan')].map((q) => q.getBoundingClientRect());
    const meet = (a, b) => Math.min(a.right, b.right) > Math.max(a.left, b.left)
      && Math.min(a.bottom, b.bottom) > Math.max(a.top, b.top);
    const wrong = [];
    for (const t of document.querySelectorAll('#ban-co .toa-do text')) {
      const r = t.getBoundingClientRect();
      const inside = r.left >= ban.left && r.right <= ban.right && r.top >= ban.top && r.bottom <= ban.bottom;
      if (!inside || pieces.some((p) => meet(r, p))) wrong.push(`${t.textContent} at ${Math.round(r.left)},${Math.round(r.top)}`);
    }
    return wrong;
  });
}
