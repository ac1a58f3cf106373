// Short, non-blocking messages at the bottom of the window.

const THOI_GIAN_HIEN_MS = 3200;
const TOI_DA = 3;

/** Shows a message for a few seconds; loai 'loi' marks a refusal or an error. */
export function thongBao(noiDung, loai = 'tin') {
  const khu = document.getElementById('thong-bao');
  if (!khu || !noiDung) return;
  const muc = document.createElement('div');
  muc.className = loai === 'loi' ? 'muc loi' : 'muc';
  muc.textContent = noiDung;
  khu.appendChild(muc);
  while (khu.children.length > TOI_DA) khu.firstElementChild.remove();
  setTimeout(() => {
    muc.classList.add('an');
    setTimeout(() => muc.remove(), 320);
  }, THOI_GIAN_HIEN_MS);
}
