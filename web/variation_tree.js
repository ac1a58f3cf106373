// A game with its variations, as a tree of moves: every node is the position
// after its move, its first child the main line on, the others the
// alternatives to that child. Moves are ICCS coordinates ("h2e2"), written
// out in any notation the page knows, and the tree goes to PGN and back with
// its variations in parentheses. Whether a move is legal is the server's
// word: the tree only holds what it was given. No DOM here.

import { docFEN, vietFEN, FEN_BAT_DAU, docICCS, diTren, nuocICCS } from './fen.js';
import { vietNuoc, docNuoc } from './notation.js';
import { gopDongPGN } from './transfer.js';

const TOI_DA_NUT = 20000; // a pasted file cannot make the page hold more
const CHUAN = vietFEN(docFEN(FEN_BAT_DAU).o, 'DO');

function nutMoi(cha, nuoc, o, luot, n) {
  return { cha, nuoc, o, luot, n, con: [] };
}

export class CayBien {
  /** A tree from a start position (FEN), optionally with a main line of ICCS moves. */
  constructor(fenDau = FEN_BAT_DAU, dongChinh = []) {
    const d = docFEN(fenDau);
    if (d.loi) throw new Error(d.loi);
    this.fenDau = vietFEN(d.o, d.luot);
    this.goc = nutMoi(null, null, d.o, d.luot, null);
    this.soNut = 1;
    let nut = this.goc;
    for (const m of dongChinh) {
      const con = this.them(nut, m);
      if (!con) break;
      nut = con;
    }
  }

  /**
   * The child of `nut` by the move `iccs`: the one it has, else a new last
   * one. Null for a move whose first square holds no piece of the side to move.
   */
  them(nut, iccs) {
    const daCo = nut.con.find((c) => c.nuoc === iccs);
    if (daCo) return daCo;
    const m = docICCS(iccs);
    const quan = m && nut.o[m.hd * 9 + m.cd];
    if (!quan || quan.phe !== nut.luot || this.soNut >= TOI_DA_NUT) return null;
    const n = { ...m, loai: quan.loai, phe: quan.phe, an: nut.o[m.hc * 9 + m.cc] };
    const con = nutMoi(nut, nuocICCS(m), diTren(nut.o, n), nut.luot === 'DO' ? 'DEN' : 'DO', n);
    nut.con.push(con);
    this.soNut += 1;
    return con;
  }

  /** The nodes from the first move to `nut`. */
  static duong(nut) {
    const ds = [];
    for (let x = nut; x && x.cha; x = x.cha) ds.push(x);
    return ds.reverse();
  }

  /** Plies from the start to `nut`. */
  static doSau(nut) {
    let k = 0;
    for (let x = nut; x.cha; x = x.cha) k += 1;
    return k;
  }

  /** Whether `nut` lies on the main line (every node on its way a first child). */
  static laDongChinh(nut) {
    return CayBien.duong(nut).every((x) => x.cha.con[0] === x);
  }

  /** The first node of the variation `nut` is in (the main line: null). */
  static dauBien(nut) {
    let dau = null;
    for (let x = nut; x && x.cha; x = x.cha) if (x.cha.con[0] !== x) dau = x;
    return dau;
  }

  /** Takes `nut` and all after it away; the node to show instead (its parent). */
  xoa(nut) {
    if (!nut.cha) return nut;
    this.soNut -= CayBien.cacNut(nut).length;
    nut.cha.con = nut.cha.con.filter((c) => c !== nut);
    return nut.cha;
  }

  /** Makes the line through `nut` the main line: each node on its way becomes the first child. */
  nangLen(nut) {
    for (const x of CayBien.duong(nut)) {
      x.cha.con = [x, ...x.cha.con.filter((c) => c !== x)];
    }
  }

  /** The node at the end of a path of ICCS moves from the start, or null when the tree lacks it. */
  tim(cacNuoc) {
    let nut = this.goc;
    for (const m of cacNuoc) {
      nut = nut.con.find((c) => c.nuoc === m);
      if (!nut) return null;
    }
    return nut;
  }

  /** Whether any node has more than one child. */
  coBien() {
    return CayBien.cacNut(this.goc).some((x) => x.con.length > 1);
  }

  /** `nut` and every node after it, without recursion: a main line may be thousands of moves long. */
  static cacNut(nut) {
    const ds = [];
    const cho = [nut];
    while (cho.length) {
      const x = cho.pop();
      ds.push(x);
      cho.push(...x.con);
    }
    return ds;
  }

  /** The FEN of the position at `nut`. */
  static fen(nut) {
    return vietFEN(nut.o, nut.luot);
  }

  /** A move in notation `kieu` ('iccs' writes "h2e2", as PGN does). */
  static chu(nut, kieu) {
    return kieu === 'iccs' ? nut.nuoc : vietNuoc(nut.cha.o, nut.n, kieu);
  }

  /**
   * The moves as PGN movetext: numbered from the side that begins,
   * variations in parentheses after the move they replace
   * ("1. h2e2 (1. b2e2 h9g7) h9g7"), nested as deep as they go.
   */
  vietNuoc(kieu) {
    const lech = this.goc.luot === 'DEN' ? 1 : 0;
    const tu = [];
    const so = (k) => Math.floor((k + lech) / 2) + 1;
    const ghi = (nut, k, canSo) => {
      const laDen = (k + lech) % 2 === 1;
      if (!laDen) tu.push(`${so(k)}.`);
      else if (canSo) tu.push(`${so(k)}...`);
      tu.push(CayBien.chu(nut, kieu));
    };
    // Iterative on the main line of each level, recursive only into variations.
    const dong = (nut, k, canSo) => {
      let x = nut;
      let ply = k;
      let soLai = canSo;
      while (x.con.length) {
        const [chinh, ...khac] = x.con;
        ghi(chinh, ply, soLai);
        for (const b of khac) {
          tu.push('(');
          ghi(b, ply, true);
          dong(b, ply + 1, false);
          tu.push(')');
        }
        soLai = khac.length > 0;
        x = chinh;
        ply += 1;
      }
    };
    dong(this.goc, 0, true);
    return tu.join(' ').replace(/\( /g, '(').replace(/ \)/g, ')');
  }

  /**
   * The tree as a PGN game: `the` the tags (in their order; [FEN] and
   * [Format] written here), then the movetext in lines of at most 80
   * characters, the reason as a {comment}, the result.
   */
  vietPGN(the, kieu, ketQua = '*', lyDo = '') {
    const dsThe = Object.entries(the).filter(([k]) => !['FEN', 'Format', 'Result'].includes(k));
    dsThe.push(['Result', ketQua]);
    if (this.fenDau !== CHUAN) dsThe.push(['FEN', this.fenDau]);
    dsThe.push(['Format', kieu === 'wxf' ? 'WXF' : 'ICCS']);
    const dauDong = dsThe.map(([k, v]) => `[${k} "${String(v).replace(/[\\"]/g, '\\$&')}"]`);
    const tu = this.vietNuoc(kieu).split(' ').filter(Boolean);
    if (lyDo) tu.push(...`{${lyDo.replace(/[{}]/g, '')}}`.split(' '));
    tu.push(ketQua);
    return `${dauDong.join('\n')}\n\n${gopDongPGN(tu)}\n`;
  }

  /**
   * The tree of a game read by docCacVan (its `dong`: [{chu, bien: [dong]}]),
   * each written move read against its position. A move that cannot be read
   * ends its line there; {cay, boQua}: boQua counts the lines cut short.
   */
  static tuVan(van, fenDau) {
    const cay = new CayBien(fenDau);
    let boQua = 0;
    const doc = (nut, dong) => {
      let x = nut;
      for (const m of dong) {
        const truoc = x;
        const n = docNuoc(m.chu, x.o, x.luot, { he: van.he });
        const con = n.loi ? null : cay.them(x, nuocICCS(n));
        // The variations replace this move: they start where it starts.
        if (con) for (const b of m.bien) doc(truoc, b);
        if (!con) {
          boQua += 1;
          return;
        }
        x = con;
      }
    };
    doc(cay.goc, van.dong ?? van.nuoc.map((chu) => ({ chu, bien: [] })));
    return { cay, boQua };
  }

  /**
   * Drops every move the server does not allow: hoi(fen) resolves with its
   * legal moves there (ICCS) or null when it cannot say (the move stays).
   * The number of moves dropped (with what came after them).
   */
  async loc(hoi) {
    let bo = 0;
    const cho = [this.goc];
    while (cho.length) {
      const nut = cho.pop();
      if (!nut.con.length) continue;
      const hopLe = await hoi(CayBien.fen(nut));
      for (const c of [...nut.con]) {
        if (hopLe && !hopLe.includes(c.nuoc)) {
          this.xoa(c);
          bo += 1;
        } else {
          cho.push(c);
        }
      }
    }
    return bo;
  }
}
