// The two clocks. The server sends each side's remaining seconds with every
// state; between two states the side to move is counted down here, so the
// display runs smoothly without asking the server ten times a second.

const SAP_HET_GIAY = 30;

/** Remaining seconds of a side at the moment `bayGio` (performance.now()). */
export function giayConLai(tt, phe, mocNhan, bayGio) {
  const goc = phe === 'DO' ? tt.dongHo.do : tt.dongHo.den;
  if (!dangChay(tt, phe)) return goc;
  return Math.max(0, goc - (bayGio - mocNhan) / 1000);
}

/** Whether this side's clock is running: only the side to move, only in play, not paused. */
export function dangChay(tt, phe) {
  return tt.dongHo.bat && tt.ketQua === 'DANG_CHOI' && tt.luot === phe && !tt.tamDungMay;
}

/** "10:00", "0:42", and tenths in the last ten seconds ("0:07.3"). */
export function dinhDangGio(giay) {
  if (giay < 10) {
    const phanMuoi = Math.floor(giay * 10) / 10;
    return `0:0${phanMuoi.toFixed(1)}`;
  }
  const tron = Math.ceil(giay);
  return `${Math.floor(tron / 60)}:${String(tron % 60).padStart(2, '0')}`;
}

/** Writes a clock element: text plus the running and low-time marks. */
export function veDongHo(el, tt, phe, mocNhan, bayGio) {
  el.hidden = !tt.dongHo.bat;
  if (!tt.dongHo.bat) return;
  const giay = giayConLai(tt, phe, mocNhan, bayGio);
  const chu = dinhDangGio(giay);
  if (el.textContent !== chu) el.textContent = chu;
  el.classList.toggle('chay', dangChay(tt, phe));
  el.classList.toggle('sap-het', giay < SAP_HET_GIAY);
}
