// The review board beside the game in progress: a kept game looked at and
// analysed, variations grown on it by moving pieces (click and drag),
// promoted and deleted, the tree exported as PGN and imported back, the live
// game's own copy — and through all of it the game in progress, against a
// friend and against the computer, stays byte for byte what it was.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {
  openGame, playMove, newGame, answerConfirm, waitForMessage, waitForHistoryLength, historyTexts, pieceAt, point,
  saveScreenshot,
} from './support/harness.mjs';

const T = { timeout: 240000 };

/** Everything of the game in progress: its state document, its move list and its autosave file. */
async function snapshot(page, program) {
  const state = await page.evaluate(async () => (await fetch('/api/trangthai', { cache: 'no-store' })).text());
  const save = fs.readFileSync(path.join(program.cwd, 'du-lieu', 'van_dang_choi.save'));
  return { state, moves: await historyTexts(page), save };
}

async function openList(page) {
  await page.click('#nut-van-da-choi');
  await page.locator('#hop-van-da-choi[open]').waitFor();
  await page.locator('#ds-van-da-choi .van').first().waitFor();
  return page.locator('#ds-van-da-choi .van');
}

/** The tree as the panel shows it: one string per row, a variation's rows marked by their depth. */
async function treeRows(page) {
  return page.locator('#cay-bien').evaluate((hop) => [...hop.querySelectorAll('.hang-cay')].map((h) => {
    let sau = 0;
    for (let x = h.parentElement; x !== hop; x = x.parentElement) sau += x.classList.contains('bien-cay') ? 1 : 0;
    return `${'('.repeat(sau)}${[...h.children].map((e) => e.textContent).join(' ')}`;
  }));
}

async function shownMove(page) {
  return page.locator('#cay-bien .dang-xem').textContent();
}

async function drag(page, [h1, c1], [h2, c2]) {
  const a = await point(page, h1, c1).boundingBox();
  const b = await point(page, h2, c2).boundingBox();
  await page.mouse.move(a.x + a.width / 2, a.y + a.height / 2);
  await page.mouse.down();
  await page.mouse.move(b.x + b.width / 2, b.y + b.height / 2, { steps: 8 });
  await page.mouse.up();
}

/** Reviews the kept game on top of the list with variations, exports and reimports it, goes back. */
async function reviewKeptGame(page) {
  const rows = await openList(page);
  await rows.nth(0).locator('.nut-xem-van').click();
  await page.locator('#ban-xem').waitFor();
  assert.match(await page.locator('#tieu-de-ban-xem').textContent(), /^Ván đã chơi: Người – Người$/);
  // It opens on its first position; the arrows and ◀ ▶ step through it.
  assert.deepEqual(await pieceAt(page, 7, 7), { loai: 1, phe: 'DO' });
  await page.keyboard.press('ArrowRight');
  await page.waitForFunction(() => document.querySelector('#cay-bien .dang-xem'));
  assert.deepEqual(await pieceAt(page, 7, 4), { loai: 1, phe: 'DO' });
  await page.click('#nut-toi');
  assert.equal(await shownMove(page), 'Mã 8 tiến 7');
  await page.click('#nut-lui');
  assert.equal(await shownMove(page), 'Pháo 2 bình 5');
  assert.match(await page.locator('#trang-thai-ban-xem').textContent(), /Đen đi$/);

  // A variation: black's other horse, by clicks; red answers by a drag.
  await point(page, 0, 1).click();
  await page.locator('.diem.dang-chon[data-hang="0"][data-cot="1"]').waitFor();
  await page.locator('.diem.la-dich[data-hang="2"][data-cot="2"]').waitFor();
  await point(page, 2, 2).click();
  await page.waitForFunction(() => document.querySelector('#cay-bien .dang-xem')?.textContent === 'Mã 2 tiến 3');
  await page.locator('.diem.la-dich').first().waitFor({ state: 'detached' }).catch(() => {});
  await drag(page, [9, 1], [7, 2]);
  await page.waitForFunction(() => document.querySelector('#cay-bien .dang-xem')?.textContent === 'Mã 8 tiến 7');
  assert.deepEqual(await treeRows(page), ['1. Pháo 2 bình 5 Mã 8 tiến 7', '(1… Mã 2 tiến 3 2. Mã 8 tiến 7']);
  // An illegal destination changes nothing: a cannon cannot jump without a screen.
  await point(page, 2, 7).click();
  await point(page, 9, 7).click();
  assert.deepEqual(await treeRows(page), ['1. Pháo 2 bình 5 Mã 8 tiến 7', '(1… Mã 2 tiến 3 2. Mã 8 tiến 7']);

  // The engine follows the position shown.
  await page.click('#nut-phan-tich');
  await page.locator('#trang-thai-phan-tich', { hasText: /Độ sâu \d+ · Đen đi/ }).waitFor();
  assert.equal(await page.locator('#nguon-phan-tich').textContent(), 'Thế cờ trên bàn xem');
  await page.click('#nut-lui');
  await page.locator('#trang-thai-phan-tich', { hasText: /Độ sâu \d+ · Đỏ đi/ }).waitFor();

  // Promoted, the variation is the main line; the old one its variation.
  await page.click('#nut-nang-bien');
  assert.deepEqual(await treeRows(page), ['1. Pháo 2 bình 5 Mã 2 tiến 3', '(1… Mã 8 tiến 7', '2. Mã 8 tiến 7']);
  assert.equal(await page.locator('#nut-nang-bien').isDisabled(), true, 'the main line has nothing to promote');
  await page.setViewportSize({ width: 1280, height: 800 });
  await saveScreenshot(page, 'review-tree-desktop.png');

  // Exported with its variation, and imported back (looked at only) as the same tree.
  await page.click('#nut-xuat');
  await page.locator('#kieu-xuat').selectOption('pgn-iccs');
  await page.waitForFunction(() => document.querySelector('#chu-xuat').value.includes('[Format "ICCS"]'));
  const pgn = await page.locator('#chu-xuat').inputValue();
  assert.match(pgn, /\[Result "0-1"\]\n\[Format "ICCS"\]\n\n1\. h2e2 b9c7 \(1\.\.\. h9g7\) 2\. b0c2 \{Đỏ xin thua\} 0-1\n$/);
  await page.click('#hop-xuat button[type="submit"]');
  const rows1 = await treeRows(page);
  await page.click('#nut-ve-van-xem');
  await page.click('#nut-nhap');
  await page.fill('#chu-nhap', pgn);
  await page.click('#nut-xem-nhap');
  await waitForMessage(page, 'Đang xem ván nhập, cùng các nhánh biến');
  assert.deepEqual(await treeRows(page), rows1);

  // Deleting the variation leaves the main line.
  await page.locator('#cay-bien .bien-cay .nuoc-cay').first().click();
  await page.click('#nut-xoa-bien');
  assert.deepEqual(await treeRows(page), ['1. Pháo 2 bình 5 Mã 2 tiến 3 2. Mã 8 tiến 7']);
  assert.equal(await shownMove(page), 'Pháo 2 bình 5');
  await page.click('#nut-dong-phan-tich');

  // Back to the game in progress.
  await page.click('#nut-ve-van-xem');
  await page.locator('#ban-xem').waitFor({ state: 'hidden' });
}

test('review board: a kept game reviewed with variations beside a game in progress that stays unchanged', T,
  async (t) => {
    const { page, program } = await openGame(t);
    // A kept game: two moves, then red resigns.
    await playMove(page, [7, 7], [7, 4]);
    await playMove(page, [0, 7], [2, 6]);
    await page.click('#nut-xin-thua');
    await answerConfirm(page, true);
    await page.locator('#ket-thuc:not([hidden])').waitFor();

    // Against a friend, with a clock, paused: nothing of it may move meanwhile.
    await newGame(page, { cheDo: 'NN', giay: 600 });
    await playMove(page, [9, 7], [7, 6]);
    await playMove(page, [3, 2], [4, 2]);
    await page.click('#nut-tam-dung');
    await page.locator('#tam-dung-ban').waitFor();
    const before = await snapshot(page, program);
    await reviewKeptGame(page);
    await saveScreenshot(page, 'review-back-to-game.png');
    assert.deepEqual(await snapshot(page, program), before);
    await page.locator('#tam-dung-ban').waitFor();

    // The live game's copy in the analysis: a move tried on a past position
    // starts a variation; the game keeps its moves.
    await page.click('#nut-phan-tich');
    await page.click('#nut-lui');
    await page.locator('#dong-xem-lai', { hasText: 'nước 1, Đỏ' }).waitFor();
    await point(page, 0, 7).click();
    await page.locator('#ban-xem').waitFor();
    assert.equal(await page.locator('#tieu-de-ban-xem').textContent(), 'Bản sao của ván đang chơi');
    await point(page, 2, 6).click();
    await page.waitForFunction(() => document.querySelector('#cay-bien .dang-xem')?.textContent === 'Mã 8 tiến 7');
    assert.deepEqual(await treeRows(page), ['1. Mã 2 tiến 3 Tốt 3 tiến 1', '(1… Mã 8 tiến 7']);
    // A move of the game's list is found on the copy.
    await page.locator('#lich-su [data-ply="2"]').click();
    await page.waitForFunction(() => document.querySelector('#cay-bien .dang-xem')?.textContent === 'Tốt 3 tiến 1');
    assert.equal(await page.locator('#nut-di-thu').isDisabled(), true);
    await page.keyboard.press('Escape');
    await page.locator('#ban-xem').waitFor({ state: 'hidden' });
    await page.click('#nut-dong-phan-tich');
    assert.deepEqual(await snapshot(page, program), before);

    // A game imported with its variations: the game is its main line, the
    // review board opens on the whole tree.
    await page.click('#nut-nhap');
    await page.fill('#chu-nhap', '[Event "Biến"]\n\n1. h2e2 (1. b2e2 h9g7) 1... h9g7 2. h0g2 (2. b0c2 b9c7) *\n');
    await page.click('#nut-bat-dau-nhap');
    await answerConfirm(page, true);
    await page.locator('#ban-xem').waitFor();
    assert.equal(await page.locator('#tieu-de-ban-xem').textContent(), 'Ván nhập, cùng các nhánh biến');
    assert.deepEqual(await treeRows(page), ['1. Pháo 2 bình 5', '(1. Pháo 8 bình 5 Mã 8 tiến 7',
      '1… Mã 8 tiến 7 2. Mã 2 tiến 3', '(2. Mã 8 tiến 7 Mã 2 tiến 3']);
    assert.deepEqual(await historyTexts(page), ['Pháo 2 bình 5', 'Mã 8 tiến 7', 'Mã 2 tiến 3']);
  });

test('review board: the game against the computer stays unchanged while a kept game is analysed', T, async (t) => {
  const { page, program } = await openGame(t);
  await playMove(page, [7, 7], [7, 4]);
  await playMove(page, [0, 7], [2, 6]);
  await page.click('#nut-xin-thua');
  await answerConfirm(page, true);
  await page.locator('#ket-thuc:not([hidden])').waitFor();

  await newGame(page, { cheDo: 'NM', pheNguoi: 'DO', level: 'DE', giay: 600 });
  await playMove(page, [9, 1], [7, 2]);
  await waitForHistoryLength(page, 2); // the computer's reply
  await page.click('#nut-tam-dung');
  await page.locator('#tam-dung-ban').waitFor();
  const before = await snapshot(page, program);

  // "Phân tích" from the list: the review board with the engine on its position.
  const rows = await openList(page);
  await rows.nth(0).locator('.nut-phan-tich-van').click();
  await page.locator('#ban-xem').waitFor();
  await page.locator('#trang-thai-phan-tich', { hasText: /Độ sâu \d+ · Đỏ đi/ }).waitFor();
  await page.keyboard.press('End');
  await page.locator('#trang-thai-phan-tich', { hasText: /Độ sâu \d+ · Đỏ đi/ }).waitFor();
  assert.equal(await shownMove(page), 'Mã 8 tiến 7');
  // A line's move shown over the review board: Esc goes back to the board, not to the game.
  await page.locator('.dong-pt-0 .nut-nuoc-pt').first().click();
  await page.locator('#sao-phan-tich').waitFor();
  await page.keyboard.press('Escape');
  await page.locator('#sao-phan-tich').waitFor({ state: 'hidden' });
  assert.equal(await page.locator('#ban-xem').isVisible(), true);
  await page.setViewportSize({ width: 375, height: 667 });
  await saveScreenshot(page, 'review-tree-phone.png');
  await page.locator('#cay-bien').scrollIntoViewIfNeeded();
  await saveScreenshot(page, 'review-tree-phone-panel.png');
  await page.setViewportSize({ width: 667, height: 375 });
  await page.evaluate(() => window.scrollTo(0, 0));
  await saveScreenshot(page, 'review-tree-phone-sideways.png');
  await page.setViewportSize({ width: 1280, height: 800 });
  // The way back is also under the board, where a phone shows it first.
  assert.equal(await page.locator('#dong-xem-lai').textContent(), 'Bàn xem: Ván đã chơi: Người – Người');
  await page.click('#nut-ve-van');
  await page.locator('#ban-xem').waitFor({ state: 'hidden' });
  await page.click('#nut-dong-phan-tich');
  assert.deepEqual(await snapshot(page, program), before);
  assert.equal((await historyTexts(page)).length, 2);
});
