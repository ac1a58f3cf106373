// Short sounds for a move, a capture, a check and the end of a game, made on
// the spot with Web Audio: no sound files. Browsers only allow sound after the
// user has touched the page, so the audio context is created lazily.

let ctx = null;

function amThanh() {
  if (!ctx) {
    const AC = window.AudioContext || window.webkitAudioContext;
    if (!AC) return null;
    ctx = new AC();
  }
  if (ctx.state === 'suspended') ctx.resume().catch(() => {});
  return ctx;
}

/** One tone: frequency, start offset and length in seconds, loudness, wave. */
function not(ac, tan, bd, dai, to = 0.18, song = 'sine') {
  const osc = ac.createOscillator();
  const gain = ac.createGain();
  osc.type = song;
  osc.frequency.value = tan;
  const t = ac.currentTime + bd;
  gain.gain.setValueAtTime(0.0001, t);
  gain.gain.exponentialRampToValueAtTime(to, t + 0.01);
  gain.gain.exponentialRampToValueAtTime(0.0001, t + dai);
  osc.connect(gain).connect(ac.destination);
  osc.start(t);
  osc.stop(t + dai + 0.02);
}

const AM = {
  di: (ac) => not(ac, 520, 0, 0.09, 0.2, 'triangle'),
  an: (ac) => { not(ac, 300, 0, 0.12, 0.25, 'square'); not(ac, 180, 0.05, 0.16, 0.2, 'triangle'); },
  chieu: (ac) => { not(ac, 880, 0, 0.1, 0.16); not(ac, 880, 0.14, 0.12, 0.16); },
  ketThuc: (ac) => [523, 659, 784, 1047].forEach((f, i) => not(ac, f, i * 0.12, 0.22, 0.14)),
};

/** Plays 'di', 'an', 'chieu' or 'ketThuc'; silently nothing where audio is missing. */
export function phatAm(loai) {
  const ac = amThanh();
  if (ac && AM[loai]) AM[loai](ac);
}

/** The one sound that fits a new position: the end, a check, a capture or a move. */
export function chonAm({ ketThuc, chieu, an }) {
  if (ketThuc) return 'ketThuc';
  if (chieu) return 'chieu';
  return an ? 'an' : 'di';
}
