// Starts the real program and a real Chromium for one browser test, and gives
// the tests a few person-like actions (click a point, play a move, open the
// new-game dialog). Every wait is generous and none measures time.

import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const repo = path.resolve(here, '../../..');

export const BIN = path.resolve(process.env.TAVELIN_BIN || path.join(repo, 'build/tavelin3d'));
export const WEB_ROOT = path.join(repo, 'web');
export const SCREENSHOT_DIR = path.join(path.dirname(BIN), 'e2e-screenshots');
const CHROMIUM = process.env.TAVELIN_CHROMIUM || '/usr/bin/chromium';
const WAIT_MS = 30000;

/**
 * Runs the program on port 0 in a fresh working directory (or in `cwd`, to
 * start it again where an earlier run kept its game), its autosave in a
 * folder of that directory; resolves once it listens.
 */
export async function startProgram({ cwd = fs.mkdtempSync(path.join(os.tmpdir(), 'tavelin-e2e-')) } = {}) {
  const proc = spawn(BIN, ['--serve', '--no-open', '--port', '0', '--web-root', WEB_ROOT,
    '--data-dir', path.join(cwd, 'du-lieu')], {
    cwd, stdio: ['ignore', 'pipe', 'pipe'],
  });
  let out = '';
  let err = '';
  proc.stderr.on('data', (d) => { err += d; });
  const port = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`no PORT= line; stderr: ${err}`)), WAIT_MS);
    proc.stdout.on('data', (d) => {
      out += d;
      const m = /PORT=(\d+)/.exec(out);
      if (m) {
        clearTimeout(timer);
        resolve(Number(m[1]));
      }
    });
    proc.on('exit', (code) => reject(new Error(`program exited (${code}); stderr: ${err}`)));
    proc.on('error', reject);
  });
  // keep: the working directory stays, for a run started after this one.
  const stop = async ({ keep = false } = {}) => {
    if (proc.exitCode === null) {
      const exited = new Promise((r) => proc.once('exit', r));
      proc.kill('SIGTERM');
      const timer = setTimeout(() => proc.kill('SIGKILL'), 10000);
      await exited;
      clearTimeout(timer);
    }
    if (!keep) fs.rmSync(cwd, { recursive: true, force: true });
  };
  return { port, url: `http://127.0.0.1:${port}/`, cwd, stop };
}

/** Chromium from the system, headless, with a fresh profile. */
export async function launchBrowser(options = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tavelin-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    viewport: { width: 1280, height: 860 },
    ...options,
  });
  const close = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { context, close };
}

/**
 * The program plus a page on it, both closed after the test. The page's
 * console errors and uncaught exceptions are collected and checked at the end.
 */
export async function openGame(t, browserOptions = {}) {
  const program = await startProgram();
  let browser;
  try {
    browser = await launchBrowser(browserOptions);
  } catch (e) {
    await program.stop();
    throw e;
  }
  const errors = [];
  t.after(async () => {
    // Errors are taken before anything stops: a page whose program is gone
    // rightly complains about failed requests.
    const seen = [...errors];
    await browser.close();
    await program.stop();
    assert.deepEqual(seen, [], 'the page logged errors');
  });
  const page = browser.context.pages()[0] || await browser.context.newPage();
  page.setDefaultTimeout(WAIT_MS);
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(program.url);
  await page.waitForFunction(() => document.querySelectorAll('.quan').length > 0);
  return { page, program, errors };
}

/**
 * Watches the page's API requests: how many were sent, and the most that were
 * ever in flight at the same time.
 */
export function watchApi(page) {
  const seen = { sent: 0, inFlight: 0, maxInFlight: 0, names: [] };
  const isApi = (r) => new URL(r.url()).pathname.startsWith('/api/');
  // Only requests sent after watching began are counted out again: one
  // already on its way when it began would otherwise take the count below 0.
  const open = new Set();
  page.on('request', (r) => {
    if (!isApi(r)) return;
    seen.sent += 1;
    seen.names.push(new URL(r.url()).pathname.slice(5));
    open.add(r);
    seen.inFlight += 1;
    seen.maxInFlight = Math.max(seen.maxInFlight, seen.inFlight);
  });
  const done = (r) => { if (open.delete(r)) seen.inFlight -= 1; };
  page.on('requestfinished', done);
  page.on('requestfailed', done);
  return seen;
}

export function point(page, h, c) {
  return page.locator(`.diem[data-hang="${h}"][data-cot="${c}"]`);
}

export async function clickPoint(page, h, c) {
  await point(page, h, c).click();
}

/** The piece on a point as {loai, phe}, or null when the point is empty. */
export async function pieceAt(page, h, c) {
  return point(page, h, c).evaluate((g) => {
    const q = g.querySelector('.quan');
    return q ? { loai: Number(q.dataset.loai), phe: q.dataset.phe } : null;
  });
}

export async function historyTexts(page) {
  return page.locator('#lich-su .nuoc').allTextContents();
}

export async function waitForHistoryLength(page, n, timeout = WAIT_MS * 2) {
  await page.waitForFunction((k) => document.querySelectorAll('#lich-su .nuoc').length === k, n, { timeout });
}

/** Clicks a piece, waits until it shows as selected, clicks its destination, waits for the move. */
export async function playMove(page, [h1, c1], [h2, c2]) {
  const before = (await historyTexts(page)).length;
  await clickPoint(page, h1, c1);
  await page.locator(`.diem.dang-chon[data-hang="${h1}"][data-cot="${c1}"]`).waitFor();
  await clickPoint(page, h2, c2);
  // At least: the computer's reply may follow within one poll (40 ms), and
  // a busy machine can render both before the page is looked at again.
  await page.waitForFunction((k) => document.querySelectorAll('#lich-su .nuoc').length >= k, before + 1,
    { timeout: WAIT_MS * 2 });
}

/** The text of a message shown at the bottom of the window. */
export async function waitForMessage(page, text) {
  await page.locator('#thong-bao .muc', { hasText: text }).first().waitFor();
}

/**
 * Starts a new game through the dialog. settings: cheDo 'NN' | 'NM' | 'MM',
 * pheNguoi 'DO' | 'DEN', level (both computer sides), giay (seconds per side),
 * chap: list of ['DO' | 'DEN', kind code, count].
 */
export async function newGame(page, settings = {}) {
  await page.click('#nut-van-moi');
  const dialog = page.locator('#hop-van-moi');
  await dialog.waitFor();
  await dialog.locator(`input[name="cheDo"][value="${settings.cheDo || 'NN'}"]`).check();
  if (settings.pheNguoi) await dialog.locator(`input[name="pheNguoi"][value="${settings.pheNguoi}"]`).check();
  if (settings.level) {
    for (const name of ['doKhoMay', 'doKhoDo', 'doKhoDen']) {
      const select = dialog.locator(`select[name="${name}"]`);
      if (await select.isVisible()) await select.selectOption(settings.level);
    }
  }
  await dialog.locator('select[name="giay"]').selectOption(String(settings.giay ?? 0));
  for (const [phe, loai, count] of settings.chap || []) {
    await dialog.locator(`select[name="chap-${phe}-${loai}"]`).selectOption(String(count));
  }
  // An earlier game's "Ván mới đã bắt đầu" may still be showing: cleared, so
  // the wait below sees this game's own.
  await page.evaluate(() => document.querySelectorAll('#thong-bao .muc').forEach((m) => m.remove()));
  await dialog.locator('#nut-bat-dau').click();
  await dialog.waitFor({ state: 'hidden' });
  // An unfinished game with moves is replaced only once the player agrees.
  if (settings.replace) await answerConfirm(page, true);
  await waitForMessage(page, 'Ván mới đã bắt đầu');
}

/** Answers the page's yes/no dialog, which must be open or opening. */
export async function answerConfirm(page, yes) {
  await page.locator('#hop-xac-nhan[open]').waitFor();
  await page.click(yes ? '#nut-dong-y' : '#nut-khong');
  await page.locator('#hop-xac-nhan').waitFor({ state: 'hidden' });
}

/**
 * A finger pressed at (x1, y1) in the window, slid to (x2, y2) and lifted, as
 * real touch events through the DevTools protocol (the page needs touch emulation).
 */
export async function touchSlide(page, [x1, y1], [x2, y2]) {
  const cdp = await page.context().newCDPSession(page);
  const at = (x, y) => [{ x, y, radiusX: 6, radiusY: 6, force: 1, id: 1 }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: at(x1, y1) });
  for (let i = 1; i <= 10; i += 1) {
    await cdp.send('Input.dispatchTouchEvent',
      { type: 'touchMove', touchPoints: at(x1 + ((x2 - x1) * i) / 10, y1 + ((y2 - y1) * i) / 10) });
  }
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await cdp.detach();
}

/** A finger drag from one point of the board to another. */
export async function touchDrag(page, [h1, c1], [h2, c2]) {
  const centre = async (h, c) => {
    const b = await point(page, h, c).boundingBox();
    return [b.x + b.width / 2, b.y + b.height / 2];
  };
  await touchSlide(page, await centre(h1, c1), await centre(h2, c2));
}

export async function saveScreenshot(page, name) {
  fs.mkdirSync(SCREENSHOT_DIR, { recursive: true });
  await page.locator('#thong-bao .muc').first().waitFor({ state: 'detached' });
  await page.screenshot({ path: path.join(SCREENSHOT_DIR, name) });
}
