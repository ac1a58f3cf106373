// The analysis panel on the real program: lines with scores and arrows for
// the position shown, a line's move played on a copy while the game stays,
// a position handed over by another part of the page (a mate found), and the
// evaluation graph, whose point shows its position.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openGame, playMove, pieceAt, historyTexts, saveScreenshot } from './support/harness.mjs';

const T = { timeout: 240000 };

test('analysis: lines, arrows, the copy, a mate handed over, the graph', T, async (t) => {
  const { page } = await openGame(t);
  await playMove(page, [7, 7], [7, 4]); // Pháo 2 bình 5: black to move

  await page.click('#nut-phan-tich');
  await page.locator('#phan-tich').waitFor();
  await page.locator('#chon-so-dong').selectOption('3');
  await page.waitForFunction(() => document.querySelectorAll('#dong-phan-tich .dong-pt').length === 3
    && document.querySelectorAll('.lop-phan-tich .mui-pt').length === 3);
  assert.equal(await page.locator('.lop-phan-tich .mui-pt-0').count(), 1, 'one best arrow');
  assert.match(await page.locator('#trang-thai-phan-tich').textContent(), /^Độ sâu \d+ · Đen đi$/);
  // Red's point of view, and black's moves in the notation of the list.
  assert.match(await page.locator('.dong-pt-0 .diem-pt').textContent(), /^[+−±]\d+\.\d\d$/);
  const dau = await page.locator('.dong-pt .nut-nuoc-pt:first-of-type').allTextContents();
  assert.equal(new Set(dau).size, 3, `three different first moves: ${dau}`);
  assert.match(await page.locator('.dong-pt-0 .so-pt').first().textContent(), /^1…$/);
  // Each arrow starts on a black piece: the first move of its line.
  for (const d of await page.locator('.lop-phan-tich .mui-pt').evaluateAll((gs) => gs.map((g) => g.dataset.nuoc))) {
    const [h, c] = d.split(',').map(Number);
    assert.equal((await pieceAt(page, h, c))?.phe, 'DEN', d);
  }
  await saveScreenshot(page, 'analysis-desktop.png');

  // Stopped, the lines stay; a move of the best one, on a copy: the game keeps its one move.
  await page.click('#nut-chay-phan-tich');
  await page.locator('#trang-thai-phan-tich', { hasText: 'Đã dừng ở độ sâu' }).waitFor();
  // The page draws the board after each state it asks for: unchanged lines are not rebuilt,
  // so a move being clicked stays in place.
  const nutDau = await page.locator('.dong-pt-0 .nut-nuoc-pt').first().elementHandle();
  await page.waitForResponse((r) => r.url().includes('/api/trangthai'));
  await page.evaluate(() => new Promise((r) => { requestAnimationFrame(() => setTimeout(r, 50)); }));
  assert.ok(await nutDau.evaluate((e) => e.isConnected), 'the lines were rebuilt');
  const nuoc = await page.locator('.lop-phan-tich .mui-pt-0').getAttribute('data-nuoc');
  const [hd, cd, hc, cc] = nuoc.split(',').map(Number);
  const quan = await pieceAt(page, hd, cd);
  await page.locator('.dong-pt-0 .nut-nuoc-pt').first().click();
  await page.locator('#sao-phan-tich').waitFor();
  assert.deepEqual(await pieceAt(page, hc, cc), quan);
  assert.equal(await pieceAt(page, hd, cd), null);
  assert.equal(await page.locator('.lop-phan-tich .mui-pt').count(), 0, 'no arrows over the copy');
  assert.equal((await historyTexts(page)).length, 1);
  await page.click('#nut-phan-tich-ve-van');
  await page.locator('#sao-phan-tich').waitFor({ state: 'hidden' });
  assert.deepEqual(await pieceAt(page, hd, cd), quan);

  // A position from elsewhere on the page (the analysis starts again): red mates in two.
  await page.evaluate(() => document.dispatchEvent(new CustomEvent('phantich:mo',
    { detail: { fen: '4k4/9/9/9/9/9/9/9/R8/3K4R w' } })));
  await page.locator('.dong-pt-0 .diem-pt', { hasText: 'Đỏ chiếu hết sau 2 nước' }).waitFor();
  assert.equal(await page.locator('.quan').count(), 4, 'the board shows that position');
  assert.equal(await page.locator('#nut-ve-the-phan-tich').isVisible(), false);

  // The setting is remembered; closing stops and leaves the game on the board.
  await page.reload();
  await page.waitForFunction(() => document.querySelectorAll('.quan').length > 0);
  assert.equal(await page.locator('#chon-so-dong').inputValue(), '3');
  assert.equal(await page.locator('#phan-tich').isVisible(), false);

  // The graph: every position scored, a point shows its position.
  await page.click('#nut-danh-gia');
  await page.waitForFunction(() => document.querySelectorAll('.do-thi-svg .diem-do-thi').length === 2);
  await page.locator('.do-thi-svg .diem-do-thi[data-ply="0"]').click();
  await page.locator('#dong-xem-lai', { hasText: 'Đang xem thế cờ ban đầu' }).waitFor();
  assert.deepEqual(await pieceAt(page, 7, 7), { loai: 1, phe: 'DO' });
});
