// A small helper to build SVG (or HTML) elements with attributes.

export const NS = 'http://www.w3.org/2000/svg';

/** Creates an SVG element with the given attributes, appended to cha when given. */
export function tao(ten, thuocTinh = {}, cha = null) {
  const el = document.createElementNS(NS, ten);
  for (const [k, v] of Object.entries(thuocTinh)) el.setAttribute(k, String(v));
  if (cha) cha.appendChild(el);
  return el;
}
