// Setting up a position on the page: built in the editor (a piece dragged
// from the tray, others placed with two clicks), refused with its reason,
// mended, then played from, black first, the move list numbering it so;
// then handed to the analysis.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openGame, pieceAt, waitForMessage, playMove } from './support/harness.mjs';

const T = { timeout: 180000 };

const trayPiece = (page, phe, loai) => page.locator(`#khay-quan .quan-khay[data-phe="${phe}"][data-loai="${loai}"]`);
const editorPoint = (page, h, c) => page.locator(`#ban-bay-co .diem[data-hang="${h}"][data-cot="${c}"]`);

async function centre(locator) {
  const b = await locator.boundingBox();
  return [b.x + b.width / 2, b.y + b.height / 2];
}

/** A mouse drag from a tray piece to a point of the editor's board. */
async function dragFromTray(page, phe, loai, h, c) {
  const [x1, y1] = await centre(trayPiece(page, phe, loai));
  const [x2, y2] = await centre(editorPoint(page, h, c));
  await page.mouse.move(x1, y1);
  await page.mouse.down();
  for (let i = 1; i <= 8; i += 1) await page.mouse.move(x1 + ((x2 - x1) * i) / 8, y1 + ((y2 - y1) * i) / 8);
  await page.mouse.up();
}

/** Chooses a tray piece, then clicks an empty point of the editor's board. */
async function place(page, phe, loai, h, c) {
  await trayPiece(page, phe, loai).click();
  await editorPoint(page, h, c).click();
}

test('with coordinates the editor\'s edges and its reasons name squares in them', T, async (t) => {
  const { page } = await openGame(t);
  await page.selectOption('#chon-ky-phap', 'iccs');
  await page.click('#nut-bay-co');
  await page.locator('#hop-bay-co[open]').waitFor();
  await page.click('#nut-xoa-ban');
  await place(page, 'DO', 5, 9, 4);
  await place(page, 'DEN', 5, 0, 3);
  await place(page, 'DO', 6, 7, 8);
  await page.locator('#trang-thai-fen', { hasText: 'Tốt đỏ ở i2 đứng sau hàng xuất phát của Tốt' }).waitFor();
  const edges = await page.locator('#ban-bay-co .toa-do text').allTextContents();
  assert.deepEqual(edges.slice(0, 2), ['a', 'a']);
  assert.ok(edges.includes('9') && edges.includes('0'), 'ranks too');
});

test('a position built in the editor is refused with its reason, mended, played black first and analysed', T, async (t) => {
  const { page } = await openGame(t);
  await page.click('#nut-bay-co');
  await page.locator('#hop-bay-co[open]').waitFor();
  await page.click('#nut-xoa-ban');
  await page.locator('#trang-thai-fen', { hasText: 'thiếu Tướng' }).waitFor();

  await dragFromTray(page, 'DO', 5, 9, 4);
  await editorPoint(page, 9, 4).locator('.quan[data-phe="DO"][data-loai="5"]').waitFor();
  assert.ok(await trayPiece(page, 'DO', 5).isDisabled(), 'one general a side: none left in the tray');
  await place(page, 'DEN', 5, 0, 4);
  await place(page, 'DO', 0, 8, 0);
  const status = (text) => page.locator('#trang-thai-fen', { hasText: text }).waitFor();
  await status('Thế cờ không hợp lệ: Hai Tướng đối mặt');
  assert.ok(await page.locator('#nut-choi-the-co').isDisabled());
  // A square in the program's reason is named as the editor's edges show it: by file number.
  await place(page, 'DO', 6, 7, 8);
  await status('Tốt đỏ ở cột 1, hàng 3 (đếm từ phía Đỏ) đứng sau hàng xuất phát của Tốt');
  const edges = () => page.locator('#ban-bay-co .toa-do text').allTextContents();
  assert.deepEqual((await edges()).slice(0, 2), ['1', '9'], 'black\'s file 1 above red\'s file 9');
  await editorPoint(page, 7, 8).click();
  await status('Hai Tướng đối mặt');

  // Clicking the black general takes it off; put back beside the file, black to move.
  await editorPoint(page, 0, 4).click();
  await place(page, 'DEN', 5, 0, 3);
  await page.locator('#hop-bay-co input[name="luotBay"][value="DEN"]').check({ force: true });
  await status('Thế cờ hợp lệ');
  assert.equal(await page.inputValue('#o-fen'), '3k5/9/9/9/9/9/9/9/R8/4K4 b');

  await page.click('#nut-choi-the-co');
  const dialog = page.locator('#hop-van-moi');
  await dialog.waitFor();
  assert.ok(await dialog.locator('#bang-chap').isHidden(), 'no handicap with a set-up position');
  await dialog.locator('input[name="cheDo"][value="NN"]').check({ force: true });
  await dialog.locator('select[name="giay"]').selectOption('0');
  await dialog.locator('#nut-bat-dau').click();
  await waitForMessage(page, 'Ván mới đã bắt đầu');
  assert.equal(await page.locator('#ban-co .quan').count(), 3);
  assert.deepEqual(await pieceAt(page, 8, 0), { loai: 0, phe: 'DO' });
  await page.locator('#trang-thai', { hasText: 'Lượt của Đen' }).waitFor();

  await playMove(page, [0, 3], [1, 3]);
  await playMove(page, [8, 0], [8, 2]);
  const rows = page.locator('#lich-su li');
  assert.equal(await rows.count(), 2);
  assert.equal(await rows.nth(0).locator('.so').textContent(), '1.');
  assert.equal(await rows.nth(0).locator('.nuoc-trong').textContent(), '…');
  assert.match(await rows.nth(0).locator('.nuoc.den').textContent(), /Tướng/);
  assert.equal(await rows.nth(1).locator('.so').textContent(), '2.');
  assert.match(await rows.nth(1).locator('.nuoc.do').textContent(), /Xe/);
  await page.locator('#phu-trang-thai', { hasText: 'Nước 2' }).waitFor();

  // The editor opens on the position shown; "Phân tích" hands it to the analysis.
  await page.click('#nut-bay-co');
  assert.equal(await page.inputValue('#o-fen'), '9/3k5/9/9/9/9/9/9/2R6/4K4 b');
  await status('Thế cờ hợp lệ');
  await page.click('#nut-phan-tich-the-co');
  await page.locator('#hop-bay-co').waitFor({ state: 'hidden' });
  await page.locator('#phan-tich').waitFor();
  await page.locator('#dong-phan-tich li').first().waitFor();
});
