// Short, non-blocking messages at the bottom of the window.

const THOI_GIAN_HIEN_MS = 3200;
const TOI_DA = 3;

/**
 * Shows a message for a few seconds; loai 'loi' marks a refusal or an error.
 * Returns a function that takes the message away early.
 */
export function thongBao(noiDung, loai = 'tin') {
  const khu = document.getElementById('thong-bao');
  if (!khu || !noiDung) return () => {};
  const muc = document.createElement('div');
  muc.className = loai === 'loi' ? 'muc loi' : 'muc';
  muc.textContent = noiDung;
  khu.appendChild(muc);
  while (khu.children.length > TOI_DA) khu.firstElementChild.remove();
  const an = () => {
    muc.classList.add('an');
    setTimeout(() => muc.remove(), 320);
  };
  setTimeout(an, THOI_GIAN_HIEN_MS);
  return an;
}
