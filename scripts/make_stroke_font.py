#!/usr/bin/env python3
"""Writes src/model/TStrokeFont.cpp: the strokes of every character copper text can hold.

The letters, digits and signs of ASCII are the Hershey Roman Simplex font as Debian's
hershey-fonts-data installs it (rowmans.jhf); the rest of Windows-1252 is composed here from those
strokes: a base letter with a diacritic drawn above or below it, ligatures from two letters side by
side, signs from simple lines and arcs. The table is generated once and committed, so a board's
copper never depends on an installed package.

    scripts/make_stroke_font.py [/usr/share/hershey-fonts/rowmans.jhf] > src/model/TStrokeFont.cpp

Coordinates are the font's: x to the right, y downwards, the baseline at y = 9, capitals' tops at
y = -12, small letters' tops at y = -5; every glyph is kept in the font's own encoding, two
characters for its left and right bounds, then two a point, ' R' lifting the pen.
"""
import math
import sys

BASELINE, CAP, XHEIGHT = 9, -12, -5


class Glyph:
    def __init__(self, left, right, lines):
        self.left, self.right = left, right
        self.lines = [list(l) for l in lines if l]

    def copy(self):
        return Glyph(self.left, self.right, self.lines)

    def moved(self, dx, dy):
        return Glyph(self.left + dx, self.right + dx,
                     [[(x + dx, y + dy) for x, y in l] for l in self.lines])

    def scaled(self, k, cx=0, cy=BASELINE):
        """Smaller copies for superscripts and fractions, about (cx, cy), on whole units."""
        def s(x, y):
            return (round(cx + (x - cx) * k), round(cy + (y - cy) * k))
        return Glyph(round(self.left * k), round(self.right * k),
                     [dedupe([s(x, y) for x, y in l]) for l in self.lines])

    def plus(self, *lines):
        return Glyph(self.left, self.right, self.lines + [list(l) for l in lines])

    def xmid(self):
        xs = [x for l in self.lines for x, _ in l]
        return (min(xs) + max(xs)) / 2 if xs else 0

    def top(self):
        return min(y for l in self.lines for _, y in l)


def dedupe(points):
    out = []
    for p in points:
        if not out or out[-1] != p:
            out.append(p)
    return out


def read_jhf(path):
    glyphs = []
    text = open(path, encoding="ascii").read().splitlines()
    # A long glyph may go on over several lines: its point count says how far it reaches.
    i = 0
    while i < len(text):
        line = text[i]
        count = int(line[5:8])
        body = line[8:]
        while len(body) < 2 * count:
            i += 1
            body += text[i]
        i += 1
        left, right = ord(body[0]) - 82, ord(body[1]) - 82
        lines, cur = [], []
        for k in range(2, 2 * count, 2):
            pair = body[k:k + 2]
            if pair == " R":
                lines.append(cur)
                cur = []
            else:
                cur.append((ord(pair[0]) - 82, ord(pair[1]) - 82))
        lines.append(cur)
        glyphs.append(Glyph(left, right, lines))
    return glyphs


def arc(cx, cy, rx, ry, a0, a1, steps):
    """Points on an ellipse from angle a0 to a1 (degrees, 0 to the right, 90 downwards)."""
    return dedupe([(round(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * t / steps))),
                    round(cy + ry * math.sin(math.radians(a0 + (a1 - a0) * t / steps))))
                   for t in range(steps + 1)])


def dot(x, y):
    """The font's own dot: a small diamond the stroke fills."""
    return [(x, y - 1), (x - 1, y), (x, y + 1), (x + 1, y), (x, y - 1)]


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/hershey-fonts/rowmans.jhf"
    font = read_jhf(path)
    g = {}
    for code in range(32, 127):
        g[code] = font[code - 32]
    degree = font[95]

    def c(ch):
        return g[ord(ch)].copy()

    # Diacritics around x = 0, TOP being the top of the letter they sit on.
    def acute(top):
        return [[(-1, top - 2), (2, top - 5)]]

    def grave(top):
        return [[(1, top - 2), (-2, top - 5)]]

    def circumflex(top):
        return [[(-3, top - 2), (0, top - 5), (3, top - 2)]]

    def caron(top):
        return [[(-3, top - 5), (0, top - 2), (3, top - 5)]]

    def tilde(top):
        return [[(-4, top - 2), (-3, top - 4), (-1, top - 4), (1, top - 3), (3, top - 3),
                 (4, top - 5)]]

    def diaeresis(top):
        return [dot(-3, top - 3), dot(3, top - 3)]

    def ring(top):
        return [arc(0, top - 4, 2, 2, 0, 360, 8)]

    def cedilla(_):
        return [[(0, BASELINE), (0, BASELINE + 2), (2, BASELINE + 3), (2, BASELINE + 5),
                 (0, BASELINE + 6), (-2, BASELINE + 6)]]

    def accented(base, mark, top=None):
        b = base.copy()
        x = round(b.xmid())
        t = b.top() if top is None else top
        return b.plus(*[[(px + x, py) for px, py in l] for l in mark(t)])

    def standalone(mark, top, left=-5, right=5):
        return Glyph(left, right, mark(top))

    dotless_i = Glyph(g[ord('i')].left, g[ord('i')].right, [g[ord('i')].lines[1]])

    def join(a, b, overlap):
        """Two glyphs side by side, B starting OVERLAP units inside A."""
        shift = a.right - b.left - overlap
        m = b.moved(shift, 0)
        return Glyph(a.left, m.right, a.lines + m.lines)

    def rotated(base, cy):
        """Turned half round about its middle and the height CY: the Spanish marks."""
        mid = (base.left + base.right) / 2
        return Glyph(base.left, base.right,
                     [[(round(2 * mid - x), 2 * cy - y) for x, y in l] for l in base.lines])

    def small(base, dx, dy, k=0.5):
        """A superscript or fraction figure: half size, its baseline raised to the capitals'
        middle, moved DX."""
        return base.scaled(k).moved(dx, dy - 10)

    # Quotes: the comma's shape, high for the apostrophe-like ones, turned for the opening ones.
    comma = c(',')
    high_comma = comma.moved(0, -19)  # its dot at the capitals' top
    open_comma = rotated(high_comma, -12 + 1)
    quote_right = Glyph(-4, 4, high_comma.lines)
    quote_left = Glyph(-4, 4, open_comma.lines)
    low_comma = Glyph(-4, 4, comma.lines)

    def double(q):
        return Glyph(q.left - 2, q.right + 2, q.moved(-2, 0).lines + q.moved(2, 0).lines)

    def chevron(x, d):
        return [(x + 2 * d, -5 + 1), (x - 2 * d, -1 + 1), (x + 2 * d, 3 + 1)]

    circle = lambda cx, cy, r, n=16: arc(cx, cy, r, r, 0, 360, n)

    up = {}
    up[0x80] = Glyph(-10, 11, c('C').lines + [[(-10, -3), (3, -3)], [(-10, 1), (2, 1)]])
    up[0x82] = low_comma
    up[0x83] = Glyph(-7, 7, [[(6, -11), (5, -12), (3, -12), (1, -11), (0, -8), (-2, 12),
                               (-3, 15), (-5, 16), (-7, 15)], [(-3, -5), (4, -5)]])
    up[0x84] = double(low_comma)
    up[0x85] = Glyph(-11, 11, [dot(x, 8) for x in (-6, 0, 6)])
    up[0x86] = Glyph(-6, 6, [[(0, -12), (0, 12)], [(-4, -6), (4, -6)]])
    up[0x87] = Glyph(-6, 6, [[(0, -12), (0, 12)], [(-4, -6), (4, -6)], [(-4, 5), (4, 5)]])
    up[0x88] = standalone(circumflex, -12 + 2)
    up[0x89] = Glyph(g[ord('%')].left, g[ord('%')].right + 8,
                     g[ord('%')].lines + [circle(13, 7, 2, 8)])
    up[0x8A] = accented(c('S'), caron, CAP)
    up[0x8B] = Glyph(-4, 4, [chevron(0, 1)])
    up[0x8C] = join(c('O'), c('E'), 9)
    up[0x8E] = accented(c('Z'), caron, CAP)
    up[0x91] = quote_left
    up[0x92] = quote_right
    up[0x93] = double(quote_left)
    up[0x94] = double(quote_right)
    up[0x95] = Glyph(-5, 5, [circle(0, -1, 2, 8), circle(0, -1, 1, 4), [(0, -1)]])
    up[0x96] = Glyph(-7, 7, [[(-6, 0), (6, 0)]])
    up[0x97] = Glyph(-12, 12, [[(-11, 0), (11, 0)]])
    up[0x98] = standalone(tilde, -12 + 2)
    up[0x99] = Glyph(-10, 12, small(c('T'), -5, 0).lines + small(c('M'), 6, 0).lines)
    up[0x9A] = accented(c('s'), caron, XHEIGHT)
    up[0x9B] = Glyph(-4, 4, [chevron(0, -1)])
    up[0x9C] = join(c('o'), c('e'), 7)
    up[0x9E] = accented(c('z'), caron, XHEIGHT)
    up[0x9F] = accented(c('Y'), diaeresis, CAP)
    up[0xA0] = c(' ')
    up[0xA1] = rotated(c('!'), -4)
    up[0xA2] = c('c').plus([(1, -9), (1, 13)])
    up[0xA3] = Glyph(-8, 8, [[(5, -10), (4, -11), (2, -12), (0, -12), (-2, -11), (-3, -9),
                               (-3, 6), (-4, 8), (-6, 9), (6, 9)], [(-6, -1), (2, -1)]])
    up[0xA4] = Glyph(-8, 8, [circle(0, -1, 4, 12), [(-3, -4), (-6, -7)], [(3, -4), (6, -7)],
                             [(-3, 2), (-6, 5)], [(3, 2), (6, 5)]])
    up[0xA5] = c('Y').plus([(-5, 0), (5, 0)], [(-5, 4), (5, 4)])
    up[0xA6] = Glyph(-4, 4, [[(0, -16), (0, -3)], [(0, 3), (0, 16)]])
    up[0xA7] = Glyph(-7, 7, c('s').moved(0, -8).lines + c('s').moved(0, 2).lines)
    up[0xA8] = standalone(diaeresis, -12 + 2)
    up[0xA9] = Glyph(-13, 13, [circle(0, -1, 11, 24)] + c('C').scaled(0.5, 0, -1).lines)
    up[0xAA] = Glyph(-6, 6, small(c('a'), 0, -2, 0.7).lines + [[(-4, -3), (4, -3)]])
    up[0xAB] = Glyph(-6, 6, [chevron(-2, 1), chevron(2, 1)])
    up[0xAC] = Glyph(-10, 10, [[(-8, -2), (8, -2), (8, 3)]])
    up[0xAD] = c('-')
    up[0xAE] = Glyph(-13, 13, [circle(0, -1, 11, 24)] + c('R').scaled(0.5, 0, -1).lines)
    up[0xAF] = Glyph(-5, 5, [[(-4, -13), (4, -13)]])
    up[0xB0] = degree
    up[0xB1] = Glyph(g[ord('+')].left, g[ord('+')].right,
                     [[(0, -9), (0, 5)], [(-9, -2), (9, -2)], [(-9, 9), (9, 9)]])
    up[0xB2] = Glyph(-5, 5, small(c('2'), 0, 0).lines)
    up[0xB3] = Glyph(-5, 5, small(c('3'), 0, 0).lines)
    up[0xB4] = standalone(acute, -12 + 2)
    up[0xB5] = c('u').plus([(-5, 9), (-5, 16)])
    up[0xB6] = Glyph(-8, 8, [[(1, -12), (1, 9)], [(5, -12), (5, 9)],
                             [(6, -12), (-2, -12), (-4, -11), (-5, -9), (-5, -7), (-4, -5),
                              (-2, -4), (1, -4)]])
    up[0xB7] = Glyph(-4, 4, [dot(0, -1)])
    up[0xB8] = standalone(cedilla, 0)
    up[0xB9] = Glyph(-5, 5, small(c('1'), 0, 0).lines)
    up[0xBA] = Glyph(-6, 6, small(c('o'), 0, -2, 0.7).lines + [[(-4, -3), (4, -3)]])
    up[0xBB] = Glyph(-6, 6, [chevron(-2, -1), chevron(2, -1)])

    def fraction(top, bottom):
        return Glyph(-12, 12, small(c(top), -6, 0).lines + small(c(bottom), 6, 11).lines +
                     [[(6, -12), (-6, 9)]])

    up[0xBC] = fraction('1', '4')
    up[0xBD] = fraction('1', '2')
    up[0xBE] = fraction('3', '4')
    up[0xBF] = rotated(c('?'), -2)

    marks = {'grave': grave, 'acute': acute, 'circ': circumflex, 'tilde': tilde,
             'uml': diaeresis, 'ring': ring}
    # The Latin-1 letters: base letter and mark, capitals from 0xC0, small letters 0x20 above.
    latin = {0xC0: 'A grave', 0xC1: 'A acute', 0xC2: 'A circ', 0xC3: 'A tilde', 0xC4: 'A uml',
             0xC5: 'A ring', 0xC8: 'E grave', 0xC9: 'E acute', 0xCA: 'E circ', 0xCB: 'E uml',
             0xCC: 'I grave', 0xCD: 'I acute', 0xCE: 'I circ', 0xCF: 'I uml', 0xD1: 'N tilde',
             0xD2: 'O grave', 0xD3: 'O acute', 0xD4: 'O circ', 0xD5: 'O tilde', 0xD6: 'O uml',
             0xD9: 'U grave', 0xDA: 'U acute', 0xDB: 'U circ', 0xDC: 'U uml', 0xDD: 'Y acute'}
    for code, letter in latin.items():
        base, mark = letter.split()
        up[code] = accented(c(base), marks[mark], CAP)
        small_base = dotless_i if base == 'I' else c(base.lower())
        up[code + 0x20] = accented(small_base, marks[mark], XHEIGHT)
    up[0xFF] = accented(c('y'), diaeresis, XHEIGHT)
    up[0xC7] = accented(c('C'), cedilla)
    up[0xE7] = accented(c('c'), cedilla)
    up[0xC6] = Glyph(-12, 12, [[(-11, 9), (1, -12), (10, -12)], [(1, -12), (1, 9), (10, 9)],
                               [(1, -2), (8, -2)], [(-6, 2), (1, 2)]])
    up[0xE6] = join(c('a'), c('e'), 6)
    up[0xD0] = c('D').plus([(-10, -2), (-4, -2)])
    up[0xF0] = c('o').plus([(7, 1), (6, -5), (4, -9), (1, -12), (-2, -13)], [(-1, -8), (7, -11)])
    up[0xD7] = Glyph(-8, 8, [[(-5, -5), (5, 5)], [(5, -5), (-5, 5)]])
    up[0xF7] = Glyph(g[ord('-')].left, g[ord('-')].right,
                     g[ord('-')].lines + [dot(0, -6), dot(0, 6)])
    up[0xD8] = c('O').plus([(8, -14), (-8, 11)])
    up[0xF8] = c('o').plus([(6, -7), (-6, 11)])
    up[0xDE] = Glyph(-7, 8, [[(-6, -12), (-6, 9)],
                             [(-6, -7), (3, -7), (6, -6), (7, -5), (8, -3), (8, 0), (7, 2),
                              (6, 3), (3, 4), (-6, 4)]])
    up[0xFE] = c('p').plus([(-6, -12), (-6, -5)])
    up[0xDF] = Glyph(-8, 9, [[(-5, 9), (-5, -7), (-4, -10), (-2, -12), (1, -12), (3, -11),
                              (4, -9), (4, -7), (3, -5), (0, -4)],
                             [(0, -4), (3, -3), (5, -1), (6, 1), (6, 5), (5, 7), (3, 9), (0, 9),
                              (-2, 8)]])
    g.update(up)

    unassigned = {0x81, 0x8D, 0x8F, 0x90, 0x9D}
    missing = [code for code in range(32, 256)
               if code != 127 and code not in unassigned and code not in g]
    if missing:
        sys.exit("no strokes for " + ", ".join(hex(m) for m in missing))

    out = sys.stdout
    out.write(HEADER)
    for code in range(256):
        glyph = g.get(code)
        if glyph is None or code < 32 or code == 127 or code in unassigned:
            out.write("    nullptr,\n")
            continue
        out.write('    "%s",  // 0x%02X\n' % (encode(glyph), code))
    out.write("};\n// clang-format on\n\n}  // namespace\n")
    out.write(FOOTER)


def encode(glyph):
    def ch(v):
        if not -50 <= v <= 44:
            sys.exit("coordinate %d out of the font's range" % v)
        c = chr(v + 82)
        return "\\" + c if c in '"\\' else c
    body = ch(glyph.left) + ch(glyph.right)
    body += " R".join("".join(ch(x) + ch(y) for x, y in l) for l in glyph.lines)
    return body


HEADER = """\
// Generated by scripts/make_stroke_font.py from rowmans.jhf (Debian's hershey-fonts-data); do not
// edit by hand.
//
// The letters, digits and signs of ASCII are the Hershey Roman Simplex font; the other
// characters are composed from its strokes by the script. The font's notice, which must travel
// with the font data:
//
//   The Hershey Fonts were originally created by Dr. A. V. Hershey while working at the U. S.
//   National Bureau of Standards.
//   The format of the Font data in this distribution was originally created by
//     James Hurt
//     Cognition, Inc.
//     900 Technology Park Drive
//     Billerica, MA 01821
//     (mit-eddie!ci-dandelion!hurt)
//
// This distribution of the Hershey Fonts may be used by anyone for any purpose, commercial or
// otherwise, providing that the acknowledgements above are distributed with the font data, and
// that the font data may be converted into any other format *EXCEPT* the format distributed by
// the U.S. NTIS.

#include "TStrokeFont.h"

namespace {

// One string a Windows-1252 code, in the font's own encoding: every character stands for a
// number, its code less 'R'; the first two are the glyph's left and right bounds, then two a
// point (x right, y down, the baseline at 9), " R" lifting the pen. Null where a code has no
// character copper text can hold.
// clang-format off
const char* const Glyphs[256] = {
"""

FOOTER = """
const char* StrokeGlyph(unsigned char code) { return Glyphs[code]; }
"""

if __name__ == "__main__":
    main()
