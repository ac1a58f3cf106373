// The only way the page talks to the program. Requests are strictly one after
// another: the server handles one connection at a time, so overlapping
// requests would only wait there, and a single queue keeps every reply newer
// than the one before it.

const HAN_CHO_MS = 20000; // a hint can hold the server; a dead server must not hold the queue

let hangDoi = Promise.resolve();
let soDangCho = 0;

/** Number of requests queued or in flight. */
export function soYeuCauDangCho() {
  return soDangCho;
}

/**
 * Sends GET /api/<lenh>?<thamSo> after every earlier request has finished.
 * Resolves with the parsed reply (the state document or an {ok:false,lyDo}
 * object); rejects only when the program cannot be reached.
 */
export function goiAPI(lenh, thamSo = {}) {
  soDangCho += 1;
  const truyVan = new URLSearchParams(thamSo).toString();
  const diaChi = `/api/${lenh}${truyVan ? `?${truyVan}` : ''}`;
  const traLoi = hangDoi.then(() => taiJSON(diaChi));
  const xong = () => { soDangCho -= 1; };
  hangDoi = traLoi.then(xong, xong);
  return traLoi;
}

async function taiJSON(diaChi) {
  const huy = new AbortController();
  const henGio = setTimeout(() => huy.abort(), HAN_CHO_MS);
  try {
    const phanHoi = await fetch(diaChi, { cache: 'no-store', signal: huy.signal });
    return JSON.parse(await phanHoi.text());
  } finally {
    clearTimeout(henGio);
  }
}
