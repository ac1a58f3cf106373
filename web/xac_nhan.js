// The one yes/no question of the page, asked before something that cannot be
// taken back (resigning, or replacing an unfinished game). A dialog of the
// page rather than the browser's confirm(): its words are Vietnamese and it
// looks like the rest of the page.

const $ = (id) => document.getElementById(id);

let dangHoi = null; // the answer of the question on screen

/** Asks; resolves true only when "dongY" was chosen (Esc or "Hủy" is a no). */
export function hoiXacNhan(tieuDe, noiDung, dongY = 'Đồng ý') {
  const hop = $('hop-xac-nhan');
  if (dangHoi) return Promise.resolve(false); // one question at a time
  $('tieu-de-xac-nhan').textContent = tieuDe;
  $('chu-xac-nhan').textContent = noiDung;
  $('nut-dong-y').textContent = dongY;
  hop.returnValue = '';
  dangHoi = new Promise((xong) => {
    hop.addEventListener('close', () => {
      dangHoi = null;
      xong(hop.returnValue === 'co');
    }, { once: true });
  });
  hop.showModal();
  $('nut-khong').focus(); // the safe answer is the one Enter gives
  return dangHoi;
}
