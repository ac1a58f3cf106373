// The played games through the page: a finished game and a replaced
// unfinished one are listed newest first; one opens (after the question that
// guards an unfinished game), one is analysed beside the game, one is deleted;
// and the export offers the game as PGN in ICCS and in WXF, each of which
// imports back as the same game.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import {
  openGame, playMove, newGame, answerConfirm, waitForMessage, waitForHistoryLength, historyTexts,
} from './support/harness.mjs';

const T = { timeout: 180000 };

async function openList(page) {
  await page.click('#nut-van-da-choi');
  await page.locator('#hop-van-da-choi[open]').waitFor();
  await page.waitForFunction(() => !document.querySelector('#ds-van-trong').hidden
    || document.querySelectorAll('#ds-van-da-choi .van').length > 0);
  return page.locator('#ds-van-da-choi .van');
}

test('played games: listed, exported, opened, analysed and deleted', T, async (t) => {
  const { page } = await openGame(t);
  await playMove(page, [7, 7], [7, 4]);
  await playMove(page, [0, 7], [2, 6]);

  // The game as PGN, in both movetexts, downloaded as a UTF-8 .pgn file.
  await page.click('#nut-xuat');
  await page.locator('#kieu-xuat').selectOption('pgn-iccs');
  await page.waitForFunction(() => document.querySelector('#chu-xuat').value.includes('[Format "ICCS"]'));
  const iccs = await page.locator('#chu-xuat').inputValue();
  assert.match(iccs, /\[Red "Người"\][\s\S]*\n\n1\. h2e2 h9g7 \*\n$/);
  await page.locator('#kieu-xuat').selectOption('pgn-wxf');
  await page.waitForFunction(() => document.querySelector('#chu-xuat').value.includes('[Format "WXF"]'));
  const wxf = await page.locator('#chu-xuat').inputValue();
  assert.match(wxf, /\n\n1\. C2=5 H8\+7 \*\n$/);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#nut-tai-tep')]);
  assert.match(download.suggestedFilename(), /-wxf\.pgn$/);
  assert.match(fs.readFileSync(await download.path(), 'utf8'), /\[Black "Người"\]/);
  await page.click('#hop-xuat button[type="submit"]');
  // Either file imported back is the same game.
  const moves = await historyTexts(page);
  for (const text of [iccs, wxf]) {
    await page.click('#nut-nhap');
    await page.fill('#chu-nhap', text);
    await page.click('#nut-bat-dau-nhap');
    await answerConfirm(page, true);
    await waitForMessage(page, 'Đã nhập ván tới nước 1, Đen');
    await page.locator('#thong-bao .muc').first().waitFor({ state: 'detached' });
    assert.deepEqual(await historyTexts(page), moves);
  }

  // Finished by a resignation, then a new game with a move replaced by another.
  await page.click('#nut-xin-thua');
  await answerConfirm(page, true);
  await page.locator('#ket-thuc:not([hidden])').waitFor();
  await newGame(page);
  await playMove(page, [6, 4], [5, 4]);
  await newGame(page, { replace: true });

  // The first import replaced a game played on the board: it is listed. The
  // second replaced the first, an import nobody played on from: not listed.
  let rows = await openList(page);
  assert.equal(await rows.count(), 3);
  assert.match(await rows.nth(0).textContent(), /Chưa xong.*1 nước/);
  assert.match(await rows.nth(1).textContent(), /Đen thắng.*1 nước.*Đỏ: Người — Đen: Người.*Đỏ xin thua/);
  await page.click('#hop-van-da-choi button[type="submit"]');

  // Opening the finished game asks first: the game on the board has a move.
  await playMove(page, [9, 1], [7, 2]);
  rows = await openList(page);
  await rows.nth(1).locator('.nut-mo-van').click();
  await answerConfirm(page, true);
  await waitForMessage(page, 'Đã mở ván đã chơi');
  await page.locator('#hop-van-da-choi').waitFor({ state: 'hidden' });
  await waitForHistoryLength(page, 2);
  await page.locator('#ket-thuc:not([hidden])').waitFor();

  // The replaced game joined the list; "Phân tích" shows it on the review
  // board, the engine on its first position, the game on the board unchanged.
  rows = await openList(page);
  assert.equal(await rows.count(), 4);
  await rows.nth(0).locator('.nut-phan-tich-van').click();
  await page.locator('#ban-xem').waitFor();
  await page.locator('#trang-thai-phan-tich', { hasText: /Độ sâu \d+ · Đỏ đi/ }).waitFor();
  assert.equal(await page.locator('.quan').count(), 32);
  await page.click('#nut-ve-van-xem');
  await page.click('#nut-dong-phan-tich');
  await waitForHistoryLength(page, 2);
  await page.locator('#ket-thuc:not([hidden])').waitFor();

  // Deleting asks, then the list has one game less.
  rows = await openList(page);
  await rows.nth(0).locator('.nut-xoa-van').click();
  await answerConfirm(page, true);
  await waitForMessage(page, 'Đã xóa ván');
  assert.equal(await rows.count(), 3);

  // Filters are the program's: a result, and a text in the players' names.
  await page.locator('#loc-ket-qua').selectOption('0-1');
  await page.waitForFunction(() => document.querySelectorAll('#ds-van-da-choi .van').length === 1);
  assert.match(await rows.nth(0).textContent(), /Đen thắng/);
  await page.locator('#loc-ket-qua').selectOption('');
  await page.fill('#loc-tim', 'không ai');
  await page.locator('#ds-van-trong:not([hidden])').waitFor();
  assert.equal(await page.locator('#ds-van-trong').textContent(), 'Không có ván nào khớp bộ lọc.');
  await page.fill('#loc-tim', '');
  await page.waitForFunction(() => document.querySelectorAll('#ds-van-da-choi .van').length === 3);
  // Each row tells when, to the minute, and under which rules.
  assert.match(await rows.nth(0).textContent(), /\d{2}\/\d{2}\/\d{4} \d{2}:\d{2}.*Luật/);

  // Several deleted at once, after one question.
  await rows.nth(0).locator('.chon-mot-van').check();
  await rows.nth(2).locator('.chon-mot-van').check();
  assert.equal(await page.locator('#nut-xoa-da-chon').textContent(), 'Xóa 2 ván đã chọn');
  await page.click('#nut-xoa-da-chon');
  await answerConfirm(page, true);
  await waitForMessage(page, 'Đã xóa 2 ván');
  await page.waitForFunction(() => document.querySelectorAll('#ds-van-da-choi .van').length === 1);
  assert.match(await rows.nth(0).textContent(), /Đen thắng/);
});

test('an imported game joins the list when kept, with the names of its file', T, async (t) => {
  const { page } = await openGame(t);
  await page.click('#nut-nhap');
  await page.fill('#chu-nhap', '[Event "Giải mùa xuân"]\n[Red "Hứa Văn A"]\n[Black "Lê B"]\n\n1. h2e2 h9g7 *\n');
  await page.click('#nut-bat-dau-nhap');
  await waitForMessage(page, 'Đã nhập ván tới nước 1, Đen');
  assert.equal(await page.locator('#ben-duoi .ten-nguoi-choi small').textContent(), 'Hứa Văn A');
  assert.match(await page.locator('#che-do').textContent(), /Giải mùa xuân/);
  let rows = await openList(page);
  assert.equal(await rows.count(), 0);
  await page.click('#nut-giu-van');
  await waitForMessage(page, 'Đã lưu vào Ván đã chơi');
  await page.waitForFunction(() => document.querySelectorAll('#ds-van-da-choi .van').length === 1);
  assert.ok(await page.locator('#giu-van-nhap').isHidden());
  assert.match(await rows.nth(0).textContent(), /Hứa Văn A.*Lê B.*Giải mùa xuân/);
});
