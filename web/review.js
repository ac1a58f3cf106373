// Looking back at the game: which past position is shown (a ply count, 0 for
// the start), or null for the live game. The game goes on meanwhile; only
// the board and the banner follow this.

export class XemLai {
  /** soNuoc(): plies played in the live game; onDoi(): the shown position changed. */
  constructor({ soNuoc, onDoi }) {
    this.soNuoc = soNuoc;
    this.onDoi = onDoi;
    this.ply = null;
  }

  /** Shows the position after ply k; the latest one is the live game itself. */
  mo(k) {
    const n = this.soNuoc();
    const moi = k >= n ? null : Math.max(0, k);
    if (moi === this.ply) return;
    this.ply = moi;
    this.onDoi();
  }

  dong() {
    if (this.ply === null) return;
    this.ply = null;
    this.onDoi();
  }

  /** One move back; from the live game, the position before its last move. */
  lui() {
    if (this.ply === null) {
      if (this.soNuoc() > 0) this.mo(this.soNuoc() - 1);
    } else {
      this.mo(this.ply - 1);
    }
  }

  toi() {
    if (this.ply !== null) this.mo(this.ply + 1);
  }

  /** After an undo the shown ply may no longer exist: back to the live game. */
  chinh() {
    if (this.ply !== null && this.ply >= this.soNuoc()) this.ply = null;
  }
}
