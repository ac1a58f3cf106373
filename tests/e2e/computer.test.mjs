// Games against the computer (at the easy level but once, to keep the suite
// short): it answers, undo takes back both plies, a hint is drawn, the human
// can play black, and a computer-against-computer game can be paused.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import {
  openGame, point, pieceAt, historyTexts, playMove, waitForHistoryLength, waitForMessage, newGame, watchApi,
  answerConfirm,
} from './support/harness.mjs';

const T = { timeout: 240000 };

test('the computer answers; undo takes back both plies; a hint is drawn', T, async (t) => {
  const { page } = await openGame(t);
  await newGame(page, { cheDo: 'NM', pheNguoi: 'DO', level: 'DE' });
  await page.locator('#ben-tren small', { hasText: 'Máy · Dễ' }).waitFor();
  await page.locator('#ben-duoi small', { hasText: 'Bạn' }).waitFor();

  await playMove(page, [7, 7], [7, 4]); // central cannon
  await waitForHistoryLength(page, 2); // the computer's reply
  const [mine, reply] = await historyTexts(page);
  assert.equal(mine, 'Pháo 2 bình 5');
  assert.ok(reply);
  assert.equal(await page.locator('#lich-su .nuoc.den').count(), 1, 'the reply is a black move');
  await page.locator('#trang-thai', { hasText: 'Đến lượt bạn' }).waitFor();
  // The computer's last search is shown: depth, time, nodes and score.
  await page.locator('#thong-ke dt', { hasText: 'Độ sâu' }).waitFor();
  assert.equal(await page.locator('#thong-ke dd').count(), 4);
  assert.ok(Number((await page.locator('#thong-ke dd').first().textContent())) >= 1);

  await page.click('#nut-huy');
  await waitForHistoryLength(page, 0);
  assert.deepEqual(await pieceAt(page, 7, 7), { loai: 1, phe: 'DO' });
  assert.equal(await page.locator('.quan').count(), 32);
  assert.ok(await page.locator('#nut-huy').isDisabled(), 'nothing left to undo');

  await page.click('#nut-goi-y');
  const message = page.locator('#thong-bao .muc', { hasText: 'Gợi ý: ' }).first();
  await message.waitFor();
  await page.locator('.lop-goi-y .mui-goi-y').waitFor({ state: 'attached' });
  // The hint is written as the move list writes moves: "Gợi ý: Mã 8 tiến 7".
  assert.match(await message.textContent(), /^Gợi ý: (Xe|Pháo|Mã|Tượng|Sĩ|Tướng|Tốt) \d (tiến|thoái|bình) \d$/);

  // Resigning asks first, ends the game for the computer, and undo takes it back.
  await point(page, 7, 7).click(); // (the reply may come before the move alone is seen)
  await page.locator('.diem.dang-chon[data-hang="7"][data-cot="7"]').waitFor();
  await point(page, 7, 4).click();
  await waitForHistoryLength(page, 2);
  await page.click('#nut-xin-thua');
  await answerConfirm(page, false);
  assert.equal(await page.locator('#ket-thuc').isVisible(), false);
  await page.click('#nut-xin-thua');
  await answerConfirm(page, true);
  await page.locator('#ket-qua', { hasText: 'Đen thắng' }).waitFor();
  assert.equal(await page.locator('#ly-do').textContent(), 'Đỏ xin thua');
  await page.click('#nut-huy');
  await page.locator('#trang-thai', { hasText: 'Đến lượt bạn' }).waitFor();
  assert.equal((await historyTexts(page)).length, 2, 'only the resignation was taken back');
});

test('playing black (against the strongest level) puts black at the bottom and the computer opens', T, async (t) => {
  const { page } = await openGame(t);
  await newGame(page, { cheDo: 'NM', pheNguoi: 'DEN', level: 'CAO_THU' });
  await page.locator('#ben-tren small', { hasText: 'Máy · Cao thủ' }).waitFor();
  const red = await point(page, 9, 4).boundingBox();
  const black = await point(page, 0, 4).boundingBox();
  assert.ok(black.y > red.y, 'the human side is at the bottom');
  assert.equal(await page.locator('#ben-duoi').getAttribute('data-phe'), 'DEN');

  await waitForHistoryLength(page, 1); // the computer moves first, as red
  assert.equal(await page.locator('#lich-su .nuoc.do').count(), 1);
  await page.locator('#thong-ke dt', { hasText: 'Số nút' }).waitFor(); // its search, as for the other levels
  await page.locator('#trang-thai', { hasText: 'Đến lượt bạn' }).waitFor();
  await playMove(page, [0, 1], [2, 2]);
  await waitForHistoryLength(page, 3);
});

test('a computer-against-computer game plays on, pauses after undo and resumes', T, async (t) => {
  const { page } = await openGame(t);
  const api = watchApi(page);
  await newGame(page, { cheDo: 'MM', level: 'DE' });
  await page.waitForFunction(() => document.querySelectorAll('#lich-su .nuoc').length >= 2, null,
    { timeout: 60000 });
  assert.equal(await page.locator('#tam-dung').isVisible(), false);

  // Reviewing the first move while the computers play on: the list grows, the board stays.
  await page.click('#lich-su [data-ply="1"]');
  const shown = await page.locator('.quan').evaluateAll((els) => els.map((q) => q.closest('.diem').id).sort());
  const seen = (await historyTexts(page)).length;
  await page.waitForFunction((k) => document.querySelectorAll('#lich-su .nuoc').length > k + 1, seen,
    { timeout: 60000 });
  assert.equal(await page.locator('#ban-co').getAttribute('data-xem-lai'), '1');
  assert.deepEqual(await page.locator('.quan').evaluateAll((els) => els.map((q) => q.closest('.diem').id).sort()),
    shown);
  await page.click('#nut-ve-van');

  await page.click('#nut-huy');
  await page.locator('#tam-dung').waitFor();
  await page.locator('#trang-thai', { hasText: 'tạm dừng' }).waitFor();
  const paused = (await historyTexts(page)).length;
  // Nothing is played while paused (waiting longer can only make this surer).
  await page.waitForTimeout(1500);
  assert.equal((await historyTexts(page)).length, paused);

  await page.click('#nut-tiep-tuc');
  await waitForMessage(page, 'Máy chơi tiếp');
  await page.locator('#tam-dung').waitFor({ state: 'hidden' });
  await page.waitForFunction((k) => document.querySelectorAll('#lich-su .nuoc').length > k, paused,
    { timeout: 60000 });
  // The page kept asking while the computers played, but never two requests at once.
  assert.ok(api.names.filter((n) => n === 'trangthai').length >= 2);
  assert.equal(api.maxInFlight, 1);
});
