// One short message at a time, on its own line of the status card: a newer
// message replaces the older one, and nothing floats over the board or a clock.

const THOI_GIAN_HIEN_MS = 4000;
const THOI_GIAN_LOI_MS = 7000;

let henGio = null;

/**
 * Shows a message for a few seconds; loai 'loi' marks a refusal or an error.
 * Returns a function that takes this message away early (a no-op once a
 * newer one has replaced it).
 */
export function thongBao(noiDung, loai = 'tin') {
  const khu = document.getElementById('thong-bao');
  if (!khu || !noiDung) return () => {};
  const muc = document.createElement('div');
  muc.className = loai === 'loi' ? 'muc loi' : 'muc';
  muc.textContent = noiDung;
  muc.title = noiDung;
  khu.replaceChildren(muc);
  clearTimeout(henGio);
  const an = () => {
    if (muc.isConnected) muc.remove();
  };
  henGio = setTimeout(an, loai === 'loi' ? THOI_GIAN_LOI_MS : THOI_GIAN_HIEN_MS);
  return an;
}
