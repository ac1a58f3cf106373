// The pieces carry their traditional characters, drawn with whatever Chinese
// font the system has. A machine without one would show empty boxes, so the
// page checks once and falls back to the server's one-letter symbols.

function phongQuan() {
  const phong = getComputedStyle(document.documentElement).getPropertyValue('--phong-quan');
  return phong.trim() || 'serif';
}

function veThu(kyTu) {
  const c = document.createElement('canvas');
  c.width = 48;
  c.height = 48;
  const ctx = c.getContext('2d');
  if (!ctx) return null;
  ctx.font = `36px ${phongQuan()}`;
  ctx.textBaseline = 'middle';
  ctx.fillText(kyTu, 4, 24);
  return ctx.getImageData(0, 0, 48, 48).data.join(',');
}

/** True when the characters of the pieces have a glyph on this machine. */
export function coChuHan() {
  const han = veThu('帥將');
  // A private-use character has no glyph anywhere: it draws the "missing" box.
  const thieu = veThu('\uE000\uE001');
  if (han === null) return true;
  return han !== thieu;
}
