// The page at desktop and phone size, with a real game in progress. Each test
// leaves a screenshot under the build folder (e2e-screenshots/) to look at.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import {
  openGame, point, pieceAt, historyTexts, waitForHistoryLength, newGame, saveScreenshot, playMove, answerConfirm,
  waitForMessage,
} from './support/harness.mjs';

const AXE = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

const T = { timeout: 240000 };

/**
 * Plays the first of the candidate moves that the server offers: the
 * computer's replies are not known in advance, so a planned move may be gone.
 */
async function playOneOf(page, candidates) {
  for (const [[h1, c1], [h2, c2]] of candidates) {
    const piece = await pieceAt(page, h1, c1);
    if (!piece || piece.phe !== 'DO') continue;
    await point(page, h1, c1).click();
    await page.locator(`.diem.dang-chon[data-hang="${h1}"][data-cot="${c1}"]`).waitFor();
    const legal = await page.locator(`.diem.la-dich[data-hang="${h2}"][data-cot="${c2}"]`).count();
    if (!legal) continue;
    const before = (await historyTexts(page)).length;
    await point(page, h2, c2).click();
    // The computer may answer before the page is looked at again.
    await page.waitForFunction((k) => document.querySelectorAll('#lich-su .nuoc').length > k, before);
    return true;
  }
  return false;
}

/** The board's box must lie inside the window, and nothing may scroll sideways. */
async function assertBoardFits(page, width, height) {
  const box = await page.locator('#ban-co').boundingBox();
  assert.ok(box.x >= 0 && box.y >= 0, `board starts inside the window: ${JSON.stringify(box)}`);
  assert.ok(box.x + box.width <= width + 0.5, `board fits the width: ${JSON.stringify(box)}`);
  assert.ok(box.y + box.height <= height + 0.5, `board fits the height: ${JSON.stringify(box)}`);
  assert.ok(box.width > width * 0.8 || box.height > height * 0.5, 'the board uses the space it has');
  const corners = await Promise.all([[0, 0], [0, 8], [9, 0], [9, 8]].map(([h, c]) => point(page, h, c).boundingBox()));
  for (const p of corners) assert.ok(p.x >= 0 && p.x + p.width <= width && p.y + p.height <= height);
  const sideways = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  assert.ok(sideways <= 0, 'no horizontal scrolling');
}

test('desktop: a game against the computer in progress', T, async (t) => {
  const { page } = await openGame(t, { viewport: { width: 1280, height: 860 } });
  await newGame(page, { cheDo: 'NM', pheNguoi: 'DO', level: 'DE', giay: 600 });
  const plan = [
    [[[7, 7], [7, 4]], [[7, 1], [7, 4]]],
    [[[9, 7], [7, 6]], [[9, 1], [7, 2]]],
    [[[9, 8], [8, 8]], [[9, 0], [8, 0]]],
    [[[6, 6], [5, 6]], [[6, 2], [5, 2]]],
    [[[8, 8], [8, 3]], [[8, 0], [8, 5]], [[9, 6], [7, 4]]],
  ];
  let played = 0;
  for (const candidates of plan) {
    if (await playOneOf(page, candidates)) {
      played += 1;
      await waitForHistoryLength(page, played * 2); // the computer's reply
    }
  }
  assert.ok(played >= 3, 'most of the plan could be played');
  await assertBoardFits(page, 1280, 860);
  assert.ok(await page.locator('#nut-lui').isVisible() && await page.locator('#nut-toi').isVisible(),
    'the review steps are buttons at this size too');
  assert.ok(await page.locator('#thong-ke dd').count() === 4);
  // Show a selection with its destinations in the picture: the first red
  // piece that has some (there may be a check to answer).
  const red = await page.locator('.diem:has(.quan[data-phe="DO"])').evaluateAll(
    (els) => els.map((g) => [Number(g.dataset.hang), Number(g.dataset.cot)]),
  );
  let best = { count: -1 };
  for (const [h, c] of red) {
    await point(page, h, c).click();
    await page.locator(`.diem.dang-chon[data-hang="${h}"][data-cot="${c}"]`).waitFor();
    const count = await page.locator('.diem.la-dich').count();
    if (count > best.count) best = { h, c, count };
    if (count >= 3) break;
  }
  if (!(await point(page, best.h, best.c).getAttribute('class')).includes('dang-chon')) {
    await point(page, best.h, best.c).click();
    await page.locator(`.diem.dang-chon[data-hang="${best.h}"][data-cot="${best.c}"]`).waitFor();
  }
  assert.ok(best.count >= 1, 'red has a legal move');
  // Its last reply was announced.
  assert.match(await page.locator('#doc-nuoc').textContent(), /^Đen: /);
  await saveScreenshot(page, 'desktop-mid-game.png');
  await showReviewAndExport(page, 'desktop');

  // While the game against the computer goes on, its judgement is hidden (a
  // setting, on at first): no score bar, score figure, graph or analysis score.
  await page.click('#nut-phan-tich');
  await page.locator('#dong-phan-tich .dong-pt').first().waitFor();
  const judgement = ['#thanh-diem', '#thong-ke .diem-may', '#nut-danh-gia', '#dong-phan-tich .diem-pt >> nth=0'];
  const shown = async () => Promise.all(judgement.map((sel) => page.locator(sel).isVisible()));
  assert.deepEqual(await shown(), [false, false, false, false]);
  assert.equal(await page.locator('#thong-ke dd').count(), 4, 'the other figures stay');
  // Switched off, the computer's score shows from red's side, with its bar.
  await setHideJudgement(page, false);
  assert.deepEqual(await shown(), [true, true, true, true]);
  assert.match(await page.locator('#thong-ke .diem-may dd').textContent(), /^[+−]?\d+$|chiếu hết/);
  await setHideJudgement(page, true);
  assert.deepEqual(await shown(), [false, false, false, false]);
  // Once the game is over everything shows, the graph of the game included.
  await page.click('#nut-xin-thua');
  await answerConfirm(page, true);
  await page.locator('#ket-qua', { hasText: 'Đen thắng' }).waitFor();
  await page.locator('#do-thi').waitFor();
  assert.ok(await page.locator('#thanh-diem').isVisible() && await page.locator('#thong-ke .diem-may').isVisible());
  await page.locator('#dong-phan-tich .diem-pt').first().waitFor();
});

/** Turns the setting that hides the computer's judgement during a game against it on or off. */
async function setHideJudgement(page, on) {
  await page.click('#nut-cai-dat');
  await page.locator('#form-cai-dat input[name="anDanhGia"]').setChecked(on);
  await page.click('#form-cai-dat button[type="submit"]');
  await page.waitForFunction((o) => JSON.parse(localStorage.getItem('tavelin.caiDat')).anDanhGia === o, on);
}

/** Screenshots of a past position under review and of the exported text. */
async function showReviewAndExport(page, size) {
  await page.click('#lich-su [data-ply="3"]');
  await page.locator('#ban-co[data-xem-lai="3"]').waitFor();
  await saveScreenshot(page, `${size}-review.png`);
  await page.keyboard.press('End');
  await page.click('#nut-xuat');
  assert.match(await page.locator('#chu-xuat').inputValue(), /^1\. \S.* \[[a-i]\d-[a-i]\d\]/m);
  await saveScreenshot(page, `${size}-export.png`);
  await page.click('#hop-xuat button[type="submit"]');
}

test('phone: the whole board is visible and playable by touch', T, async (t) => {
  const { page } = await openGame(t, {
    viewport: { width: 375, height: 667 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true,
  });
  await assertBoardFits(page, 375, 667);
  const moves = [[[7, 1], [7, 4]], [[0, 7], [2, 6]], [[9, 1], [7, 2]], [[3, 6], [4, 6]],
    [[7, 4], [3, 4]], [[0, 0], [1, 0]]];
  for (const [[h1, c1], [h2, c2]] of moves) {
    const before = (await historyTexts(page)).length;
    await point(page, h1, c1).tap();
    await page.locator(`.diem.dang-chon[data-hang="${h1}"][data-cot="${c1}"]`).waitFor();
    await point(page, h2, c2).tap();
    await waitForHistoryLength(page, before + 1);
  }
  assert.equal(await page.locator('.quan').count(), 31, 'the cannon took a soldier');
  await assertBoardFits(page, 375, 667);
  // Each point answers a press over its whole cell, however narrow the phone.
  const cell = await point(page, 5, 4).locator('.o-cham').boundingBox();
  assert.ok(cell.width >= 37, `touch cell ${cell.width} px`);
  await saveScreenshot(page, 'phone-mid-game.png');
  await showReviewAndExport(page, 'phone');

  // The new-game dialog fits the phone too.
  await page.click('#nut-van-moi');
  const dialog = await page.locator('#hop-van-moi').boundingBox();
  assert.ok(dialog.x >= 0 && dialog.x + dialog.width <= 375);
  await saveScreenshot(page, 'phone-new-game.png');
  await page.click('#nut-dong-hop');

  // Started from the bottom of the page, a new game brings its board into view,
  // with the buttons used during play right under it.
  await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
  await newGame(page, { cheDo: 'NM', pheNguoi: 'DO', level: 'DE', giay: 600, replace: true });
  const header = await page.locator('.dau-trang').boundingBox();
  assert.ok((await page.locator('#ben-tren').boundingBox()).y >= header.y + header.height - 0.5,
    'the board is not under the header');
  for (const id of ['#ban-co', '#nut-lui', '#nut-toi', '#nut-huy', '#nut-goi-y', '#nut-tam-dung']) {
    const box = await page.locator(id).boundingBox();
    assert.ok(box && box.y >= 0 && box.y + box.height <= 667 + 0.5, `${id} in view: ${JSON.stringify(box)}`);
  }
  // The pause covers the board and stops the clock.
  await page.locator('#nut-tam-dung').tap();
  await page.locator('#tam-dung-ban').waitFor();
  assert.doesNotMatch(await page.locator('#ben-duoi .dong-ho').getAttribute('class'), /\bchay\b/);
  await saveScreenshot(page, 'phone-paused.png');
  await page.locator('#nut-tiep-tuc').tap();
  await page.locator('#tam-dung-ban').waitFor({ state: 'hidden' });
  await page.waitForFunction(() => document.querySelector('#ben-duoi .dong-ho').classList.contains('chay'));
});

/**
 * What is wrong with the page as laid out now, from the boxes of its
 * elements: controls (buttons, selects, inputs) that overlap, a button whose
 * words run past its edge, sideways scrolling, a move-list row on more than
 * one line. A control counts only where it is visible: inside the window's
 * page, not hidden, and clipped by any scrolling box around it.
 */
async function layoutFaults(page) {
  return page.evaluate(() => {
    const faults = [];
    const name = (el) => el.id ? `#${el.id}` : `${el.tagName.toLowerCase()}.${[...el.classList].join('.')}`
      + (el.textContent.trim() ? ` "${el.textContent.trim().slice(0, 20)}"` : '');
    /** The part of the element's box that can be seen, or null. */
    const seen = (el) => {
      if (!el.checkVisibility({ visibilityProperty: true, opacityProperty: true })) return null;
      if (el.closest('dialog:not([open])')) return null;
      let r = el.getBoundingClientRect();
      let { left, top, right, bottom } = r;
      for (let a = el.parentElement; a; a = a.parentElement) {
        const s = getComputedStyle(a);
        if (s.overflowX === 'visible' && s.overflowY === 'visible') continue;
        const c = a.getBoundingClientRect();
        left = Math.max(left, c.left);
        top = Math.max(top, c.top);
        right = Math.min(right, c.right);
        bottom = Math.min(bottom, c.bottom);
      }
      return right - left > 1 && bottom - top > 1 ? { left, top, right, bottom } : null;
    };
    const controls = [...document.querySelectorAll('button, select, input, textarea')]
      .map((el) => ({ el, r: seen(el) })).filter((c) => c.r);
    for (let i = 0; i < controls.length; i += 1) {
      for (let j = i + 1; j < controls.length; j += 1) {
        const a = controls[i].r;
        const b = controls[j].r;
        const w = Math.min(a.right, b.right) - Math.max(a.left, b.left);
        const h = Math.min(a.bottom, b.bottom) - Math.max(a.top, b.top);
        if (w > 0.5 && h > 0.5) faults.push(`${name(controls[i].el)} overlaps ${name(controls[j].el)}`);
      }
    }
    for (const { el } of controls) {
      if (el.tagName === 'BUTTON' && el.scrollWidth > el.clientWidth + 1) {
        faults.push(`${name(el)}: text ${el.scrollWidth} px in ${el.clientWidth} px`);
      }
    }
    const sideways = document.documentElement.scrollWidth - window.innerWidth;
    if (sideways > 0) faults.push(`the page scrolls sideways by ${sideways} px`);
    // One line of text is about 1.45 times the font size, with a few pixels of padding around it.
    for (const row of document.querySelectorAll('#lich-su li')) {
      const fs = parseFloat(getComputedStyle(row).fontSize);
      if (row.getBoundingClientRect().height > 2.4 * fs) faults.push(`row "${row.textContent}" takes two lines`);
    }
    return faults;
  });
}

/** The board's box: inside the window, its shorter side at least `least` px. */
async function assertBoardSize(page, width, height, least) {
  const box = await page.locator('#ban-co').boundingBox();
  assert.ok(box.x >= 0 && box.x + box.width <= width + 0.5, `board inside the width: ${JSON.stringify(box)}`);
  assert.ok(box.y >= 0 && box.y + box.height <= height + 0.5, `board inside the height: ${JSON.stringify(box)}`);
  assert.ok(Math.min(box.width, box.height) >= least, `board ${box.width}×${box.height} at ${width}×${height}`);
}

test('every window size: the board as large as it fits, nothing overlapping, overflowing or sideways', T, async (t) => {
  const { page } = await openGame(t, { viewport: { width: 1280, height: 800 } });
  await newGame(page, { cheDo: 'NN', giay: 600 });
  // Moves with long names in the list ("Pháo 8 bình 5", "Mã 2 tiến 3"…).
  const moves = [[[7, 1], [7, 4]], [[0, 7], [2, 6]], [[9, 1], [7, 2]], [[3, 6], [4, 6]],
    [[9, 7], [7, 6]], [[0, 1], [2, 2]], [[9, 8], [8, 8]], [[0, 0], [1, 0]], [[8, 8], [8, 3]]];
  for (const [a, b] of moves) await playMove(page, a, b);
  await page.waitForFunction(() => document.querySelector('.dong-ho.chay') !== null);
  assert.ok(await page.locator('#nut-tam-dung').isVisible(), 'a clock brings the pause button');
  const sizes = [[375, 667, 360], [667, 375, 300], [768, 1024, 600], [1280, 800, 480], [1920, 1080, 700]];
  for (const [width, height, least] of sizes) {
    await page.setViewportSize({ width, height });
    await page.waitForFunction(([w, h]) => window.innerWidth === w && window.innerHeight === h, [width, height]);
    await page.evaluate(() => new Promise((r) => {
      window.scrollTo(0, 0); // as the page opens at this size
      requestAnimationFrame(() => requestAnimationFrame(r));
    }));
    await assertBoardSize(page, width, height, least);
    assert.deepEqual(await layoutFaults(page), [], `at ${width}×${height}`);
    await saveScreenshot(page, `size-${width}x${height}.png`);
  }
  // The review board with a variation, beside the analysis, at every size.
  await page.setViewportSize({ width: 1280, height: 800 });
  await page.click('#nut-phan-tich');
  await page.click('#nut-di-thu');
  await page.locator('#ban-xem').waitFor();
  await page.click('#nut-lui');
  await point(page, 9, 0).click();
  await page.locator('.diem.la-dich[data-hang="8"][data-cot="0"]').waitFor();
  await point(page, 8, 0).click();
  await page.locator('#cay-bien .bien-cay').waitFor();
  for (const [width, height] of sizes) {
    await page.setViewportSize({ width, height });
    await page.waitForFunction(([w, h]) => window.innerWidth === w && window.innerHeight === h, [width, height]);
    await page.evaluate(() => new Promise((r) => {
      window.scrollTo(0, 0);
      requestAnimationFrame(() => requestAnimationFrame(r));
    }));
    assert.deepEqual(await layoutFaults(page), [], `review board, at ${width}×${height}`);
    await saveScreenshot(page, `review-${width}x${height}.png`);
  }
  await page.click('#nut-ve-van-xem');
  await page.click('#nut-dong-phan-tich');
  // On its side, a phone shows the clocks, the status, the latest move and
  // the buttons under the board without scrolling.
  await page.setViewportSize({ width: 667, height: 375 });
  await page.evaluate(() => window.scrollTo(0, 0));
  for (const sel of ['#ben-tren .dong-ho', '#ben-duoi .dong-ho', '#trang-thai', '#lich-su .moi-nhat', '#nut-huy',
    '#nut-tam-dung', '#nut-van-moi']) {
    const box = await page.locator(sel).boundingBox();
    assert.ok(box && box.y >= 0 && box.y + box.height <= 375 + 0.5, `${sel} in view: ${JSON.stringify(box)}`);
  }
  // Paused, the button's word changes and still fits.
  await page.click('#nut-tam-dung');
  await page.locator('#nut-tam-dung.dang-dung').waitFor();
  for (const [width, height] of [[375, 667], [667, 375], [1280, 800]]) {
    await page.setViewportSize({ width, height });
    await page.waitForFunction(([w, h]) => window.innerWidth === w && window.innerHeight === h, [width, height]);
    assert.deepEqual(await layoutFaults(page), [], `paused, at ${width}×${height}`);
  }
  // On its side, the game saved and loaded again with the buttons below
  // the board's height: the whole board and the bars beside it come into view.
  await page.setViewportSize({ width: 667, height: 375 });
  await page.click('#nut-luu');
  await waitForMessage(page, 'Đã lưu');
  await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
  await page.click('#nut-tai');
  await answerConfirm(page, true);
  await waitForMessage(page, 'Đã tải ván');
  for (const sel of ['#ban-co', '#ben-tren', '#ben-duoi', '#nut-huy']) {
    const box = await page.locator(sel).boundingBox();
    assert.ok(box.y >= 0 && box.y + box.height <= 375 + 0.5, `${sel} in view: ${JSON.stringify(box)}`);
  }
});

test('when a game ends and its graph opens under the move list, the last move stays in view', T, async (t) => {
  const { page } = await openGame(t, { viewport: { width: 1280, height: 800 } });
  await page.click('#nut-nhap');
  await page.fill('#chu-nhap', '1. h2e2 h9g7 2. h0g2 i9h9 3. c3c4 g6g5 4. b0c2 b9c7 5. i0i1 c9e7 6. i1f1 h7h5 '
    + '7. c2d4 c6c5 8. d4c6 c5c4 9. f1c1 b7b9 10. c1c4 b9c9 11. b2c2 a9b9 12. g3g4 b9b5 13. g4g5 b5g5 '
    + '14. a0b0 e7c5 15. b0b6 h5h6 16. c4h4 g7h5 17. h4d4 c9c6');
  await page.click('#nut-bat-dau-nhap');
  await waitForHistoryLength(page, 34);
  const lastInView = (what) => page.waitForFunction(() => {
    const ol = document.getElementById('lich-su').getBoundingClientRect();
    const m = document.querySelector('#lich-su .moi-nhat').getBoundingClientRect();
    return m.top >= ol.top - 0.5 && m.bottom <= ol.bottom + 0.5;
  }).catch(() => assert.fail(what));
  await page.waitForFunction(() => {
    const ol = document.getElementById('lich-su');
    return ol.scrollHeight > ol.clientHeight && ol.scrollTop > 0;
  });
  await lastInView('the list follows the game');
  await page.click('#nut-xin-thua');
  await answerConfirm(page, true);
  await page.locator('#do-thi').waitFor();
  await lastInView('the last move is still in view above the graph');
  await saveScreenshot(page, 'desktop-graph-at-end.png');
});

/** Chooses the light or dark look through the settings dialog. */
async function setLook(page, look) {
  await page.click('#nut-cai-dat');
  await page.selectOption('#form-cai-dat select[name="giaoDien"]', look);
  await page.click('#form-cai-dat button[type="submit"]');
  await page.waitForFunction((l) => document.documentElement.dataset.giaoDien === l, look);
}

/** axe-core's colour-contrast rule (WCAG AA) over the page as it is, in both looks. */
async function assertContrast(page, what) {
  if (!(await page.evaluate(() => !!window.axe))) await page.addScriptTag({ content: AXE });
  for (const look of ['sang', 'toi']) {
    await setLook(page, look);
    await page.waitForTimeout(400); // colour transitions end
    const found = await page.evaluate(async () => {
      const r = await window.axe.run(document, { runOnly: ['color-contrast'] });
      return r.violations.flatMap((v) => v.nodes.map((n) => `${n.target.join(' ')}: ${n.any[0]?.message}`));
    });
    assert.deepEqual(found, [], `${what}, ${look === 'sang' ? 'light' : 'dark'} look`);
  }
}

test('text contrast meets WCAG AA in both looks: check, result and lost connection', T, async (t) => {
  const { page, errors } = await openGame(t);
  await assertContrast(page, 'the first page');
  // A soldier takes the central soldier and uncovers the cannon's check.
  const moves = [[[7, 7], [7, 4]], [[0, 0], [1, 0]], [[6, 4], [5, 4]], [[1, 0], [0, 0]],
    [[5, 4], [4, 4]], [[0, 0], [1, 0]], [[4, 4], [3, 4]]];
  for (const [a, b] of moves) await playMove(page, a, b);
  await page.locator('#phu-trang-thai .canh-bao').waitFor();
  await assertContrast(page, 'a check');

  // The review board's tree, a variation marked apart and the move shown.
  await page.click('#nut-phan-tich');
  await page.click('#nut-di-thu');
  await page.click('#nut-lui');
  await point(page, 9, 1).click();
  await page.locator('.diem.la-dich[data-hang="7"][data-cot="2"]').waitFor();
  await point(page, 7, 2).click();
  await page.locator('#cay-bien .bien-cay .dang-xem').waitFor();
  await page.click('#nut-chay-phan-tich');
  await assertContrast(page, 'the review board');
  await page.click('#nut-ve-van-xem');
  await page.click('#nut-dong-phan-tich');

  await page.click('#nut-xin-thua'); // black, to move, resigns
  await answerConfirm(page, true);
  await page.locator('#ket-qua', { hasText: 'Đỏ thắng' }).waitFor();
  assert.equal(await page.locator('#ly-do').textContent(), 'Đen xin thua');
  await assertContrast(page, 'the result');

  await page.route('**/api/**', (r) => r.abort());
  await page.locator('#trang-thai', { hasText: 'Mất kết nối' }).waitFor();
  await assertContrast(page, 'a lost connection');
  errors.length = 0; // the refused requests are logged, as they should be
});
