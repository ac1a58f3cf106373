// The player's choices, kept in the browser between visits: notation, sound,
// light or dark look, whether the board was turned by hand, whether the
// computer's judgement of the position stays hidden while playing it, and
// the rule set new and imported games are played under.

const KHOA = 'tavelin.caiDat';

export const MAC_DINH = Object.freeze({
  kyPhap: 'viet', // 'viet' | 'wxf' | 'iccs'
  amThanh: true,
  giaoDien: 'he-thong', // follow the system, or 'sang' / 'toi'
  latTay: false,
  anDanhGia: true, // no score bar, graph or analysis score while a human plays the computer
  luat: 'CHAU_A', // the Asian rules, or 'BA_LAN': a third repetition is a draw
});

const HOP_LE = {
  kyPhap: ['viet', 'wxf', 'iccs'],
  amThanh: [true, false],
  giaoDien: ['he-thong', 'sang', 'toi'],
  latTay: [true, false],
  anDanhGia: [true, false],
  luat: ['CHAU_A', 'BA_LAN'],
};

function khoLuu() {
  try {
    return window.localStorage;
  } catch {
    return null; // storage switched off: the choices last for this visit only
  }
}

/** The stored settings; anything missing or unknown takes its default. */
export function docCaiDat() {
  const cd = { ...MAC_DINH };
  let luu = {};
  try {
    luu = JSON.parse(khoLuu()?.getItem(KHOA) || '{}') || {};
  } catch {
    luu = {};
  }
  if (luu.kyPhap === 'toado') luu.kyPhap = 'iccs'; // the coordinates' earlier name
  for (const [k, ds] of Object.entries(HOP_LE)) if (ds.includes(luu[k])) cd[k] = luu[k];
  return cd;
}

export function ghiCaiDat(cd) {
  try {
    khoLuu()?.setItem(KHOA, JSON.stringify(cd));
  } catch {
    // a full or refused storage only means the choice is not remembered
  }
}

/** Puts the look on the page: the stylesheet reads data-giao-dien. */
export function apDungGiaoDien(giaoDien) {
  const toi = giaoDien === 'toi'
    || (giaoDien === 'he-thong' && !window.matchMedia('(prefers-color-scheme: light)').matches);
  document.documentElement.dataset.giaoDien = toi ? 'toi' : 'sang';
  document.querySelector('meta[name="theme-color"]')?.setAttribute('content', toi ? '#171b20' : '#efe9df');
}
