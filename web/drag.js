// Dragging a piece on the board with pointer events (mouse, pen and touch
// alike): the piece follows the pointer from its point, and a drop reports
// the nearest point of the grid. A press that hardly moves stays a click.

const NGUONG_KEO_PX = 6; // a press that moves less than this is a click

export class KeoTha {
  constructor(ban) {
    this.ban = ban;
    this.keo = null;
    this.gan();
  }

  gan() {
    this.ban.svg.addEventListener('pointerdown', (e) => {
      const g = e.target.closest('.diem');
      if (!g || !e.isPrimary || e.button !== 0) return;
      const h = +g.dataset.hang;
      const c = +g.dataset.cot;
      if (!this.ban.coTheKeo(h, c)) return;
      this.keo = { h, c, g, x0: e.clientX, y0: e.clientY, id: e.pointerId, dangKeo: false };
    });
    this.ban.svg.addEventListener('pointermove', (e) => this.diKeo(e));
    this.ban.svg.addEventListener('pointerup', (e) => this.thaKeo(e, true));
    this.ban.svg.addEventListener('pointercancel', (e) => this.thaKeo(e, false));
  }

  diKeo(e) {
    const k = this.keo;
    if (!k || e.pointerId !== k.id) return;
    if (!k.dangKeo) {
      if (Math.hypot(e.clientX - k.x0, e.clientY - k.y0) < NGUONG_KEO_PX) return;
      k.dangKeo = true;
      this.ban.svg.setPointerCapture(e.pointerId);
      this.ban.lopDiem.appendChild(k.g); // above the pieces it passes over
      k.g.classList.add('dang-keo');
      this.ban.khung.classList.add('dang-keo');
      this.ban.onBatDauKeo(k.h, k.c);
    }
    const quan = k.g.querySelector('.quan');
    const p = this.diemSVG(e);
    const [x0, y0] = this.ban.toaDo(k.h, k.c);
    if (quan) quan.setAttribute('transform', `translate(${p.x - x0} ${p.y - y0})`);
  }

  thaKeo(e, tha) {
    const k = this.keo;
    if (!k || e.pointerId !== k.id) return;
    this.keo = null;
    if (!k.dangKeo) return; // a plain press: the click that follows handles it
    k.g.querySelector('.quan')?.removeAttribute('transform');
    k.g.classList.remove('dang-keo');
    this.ban.khung.classList.remove('dang-keo');
    // The click that the browser may send after the drop is not a second choice.
    this.ban.boQuaClick = true;
    setTimeout(() => { this.ban.boQuaClick = false; }, 0);
    if (tha) this.ban.onTha(k.h, k.c, this.ban.diemGanNhat(this.diemSVG(e)));
  }

  /** A pointer event's position in the drawing's own units. */
  diemSVG(e) {
    const m = this.ban.svg.getScreenCTM();
    const p = new DOMPoint(e.clientX, e.clientY);
    return m ? p.matrixTransform(m.inverse()) : p;
  }
}
