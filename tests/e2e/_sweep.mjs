import { startProgram, launchBrowser, newGame, playMove } from './support/harness.mjs';
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
    for (const nuoc of document.querySelectorAll('#lich-su .nuoc')) {
      const fs = parseFloat(getComputedStyle(nuoc).fontSize);
      if (nuoc.getBoundingClientRect().height > 2.2 * fs) faults.push(`move "${nuoc.textContent}" takes two lines`);
    }
    return faults;
  });
}


const prog = await startProgram();
const b = await launchBrowser({ viewport: { width: 1280, height: 800 } });
try {
  const page = b.context.pages()[0] || await b.context.newPage();
  await page.goto(prog.url);
  await page.waitForFunction(() => document.querySelectorAll('.quan').length > 0);
  await newGame(page, { cheDo: 'NN', giay: 600 });
  const moves = [[[7, 1], [7, 4]], [[0, 7], [2, 6]], [[9, 1], [7, 2]], [[3, 6], [4, 6]], [[9, 7], [7, 6]], [[0, 1], [2, 2]], [[9, 8], [8, 8]], [[0, 0], [1, 0]], [[8, 8], [8, 3]]];
  for (const [a, c] of moves) await playMove(page, a, c);
  for (const s of process.env.SIZES.split(',')) {
    const [w, h] = s.split('x').map(Number);
    await page.setViewportSize({ width: w, height: h });
    await page.waitForTimeout(300);
    const f = await layoutFaults(page);
    const bx = await page.locator('#ban-co').boundingBox();
    console.log(s, Math.round(bx.width) + 'x' + Math.round(bx.height), JSON.stringify(f));
    if (process.env.SHOT) await page.screenshot({ path: `/tmp/i28/sw-${s}.png` });
  }
} finally { await b.close(); await prog.stop(); }
