#!/usr/bin/env python3
"""Draws Lumvora's three pictures.

    background.jpg  342 x 203 window background: pale sky blue with a small
                    cluster of pale yellow petals in the lower right corner.
    lumvora.ico     48 x 48, 24-bit program icon: blue wireless-signal symbol.
    hand.cur        32 x 32, 16-colour pointing-hand cursor, hot spot (12, 1).

Only the standard library is used for drawing; ImageMagick's `convert` does
the JPEG encoding.  Run from anywhere:

    python3 src/resources/images/make_images.py

The output is the same on every run (no randomness, no time stamps).
"""

import math
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------------------
# Small helpers
# ---------------------------------------------------------------------------

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def to_bytes(c):
    return bytes(int(clamp(v, 0.0, 255.0) + 0.5) for v in c)


# ---------------------------------------------------------------------------
# background.jpg
# ---------------------------------------------------------------------------

BG_W, BG_H = 342, 203
SKY_TOP = (237, 246, 253)
SKY_BOTTOM = (223, 237, 250)

PETAL_EDGE = (253, 246, 204)     # light rim of a petal
PETAL_BODY = (250, 236, 170)     # the petal itself
PETAL_HEART = (240, 212, 120)    # deeper yellow near the flower's heart
PETAL_VEIN = (236, 210, 130)
PETAL_RIM = (226, 196, 118)      # the faint line that keeps a petal's shape
HEART_COLOUR = (222, 170, 72)
STAMEN_COLOUR = (196, 136, 50)


class Petal:
    """One petal, laid out along an axis from its base outwards.

    The outline is a rounded teardrop: narrow at the base, widest at about
    60 % of its length, with a soft round tip and a faint notch in it.
    """

    def __init__(self, bx, by, angle_deg, length, width, opacity=0.92):
        self.bx, self.by = bx, by
        a = math.radians(angle_deg)
        self.ux, self.uy = math.cos(a), math.sin(a)
        self.length = length
        self.width = width
        self.opacity = opacity
        reach = length + width
        self.box = (bx - reach, by - reach, bx + reach, by + reach)

    def half_width(self, t):
        if t <= 0.0 or t >= 1.0:
            return 0.0
        # swollen towards the tip, rounded off at the very end
        return self.width * 0.5 * (math.sin(math.pi * t ** 0.75) ** 0.6)

    def sample(self, x, y):
        """Returns (alpha, colour) of this petal at point (x, y)."""
        dx, dy = x - self.bx, y - self.by
        u = dx * self.ux + dy * self.uy          # along the petal
        v = -dx * self.uy + dy * self.ux         # across it
        t = u / self.length
        if t <= 0.0 or t >= 1.0:
            return 0.0, None
        # small notch in the tip, as on a cherry petal
        notch = 0.06 * self.length * math.exp(-(v / (0.12 * self.width)) ** 2)
        t_n = (u + notch * smoothstep(0.75, 1.0, t)) / self.length
        if t_n >= 1.0:
            return 0.0, None
        hw = self.half_width(t_n)
        if hw <= 0.0:
            return 0.0, None
        edge = hw - abs(v)                        # distance to the rim, px
        if edge <= -1.0:
            return 0.0, None
        alpha = smoothstep(-1.0, 1.6, edge) * self.opacity
        # colour: deep near the heart, light along the rim
        across = abs(v) / hw
        col = mix(PETAL_HEART, PETAL_BODY, smoothstep(0.0, 0.45, t))
        col = mix(col, PETAL_EDGE, smoothstep(0.55, 1.0, max(across, t * 0.9)) * 0.7)
        col = mix(col, PETAL_RIM, (1.0 - smoothstep(0.0, 1.5, edge)) * 0.4)
        # a faint middle vein in the inner half
        vein = math.exp(-(v / 0.9) ** 2) * (1.0 - smoothstep(0.25, 0.7, t)) * 0.45
        col = mix(col, PETAL_VEIN, vein)
        return alpha, col


class Disc:
    def __init__(self, cx, cy, r, colour, opacity=1.0, soft=0.9):
        self.cx, self.cy, self.r = cx, cy, r
        self.colour, self.opacity, self.soft = colour, opacity, soft
        self.box = (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2)

    def sample(self, x, y):
        d = self.r - math.hypot(x - self.cx, y - self.cy)
        if d <= -self.soft:
            return 0.0, None
        return smoothstep(-self.soft, self.soft, d) * self.opacity, self.colour


def blossom(cx, cy, size, turn, petals=5):
    """A five-petal blossom centred on (cx, cy); returns shapes, back first."""
    shapes = []
    for i in range(petals):
        a = turn + i * 360.0 / petals
        # petals slightly uneven in size so the flower looks less stamped
        k = 1.0 + 0.07 * math.sin(i * 2.1 + turn)
        shapes.append(Petal(cx, cy, a, size * k, size * 0.98 * k))
    shapes.append(Disc(cx, cy, size * 0.17, HEART_COLOUR, 0.9, 1.2))
    for i in range(7):
        a = math.radians(turn * 1.7 + i * 360.0 / 7)
        r = size * 0.25
        shapes.append(Disc(cx + r * math.cos(a), cy + r * math.sin(a),
                           max(0.8, size * 0.045), STAMEN_COLOUR, 0.75, 0.7))
    return shapes


def background_shapes():
    shapes = []
    # a loose petal drifting in towards the middle of the corner
    shapes.append(Petal(262, 150, -28, 15, 11, 0.70))
    shapes.append(Petal(285, 128, 200, 11, 8, 0.55))
    # small bud-like blossom behind, left
    shapes += blossom(276, 188, 17, 12)
    # big blossom, partly cut by the window's right edge
    shapes += blossom(318, 164, 29, -8)
    # a third one peeping in from the bottom edge
    shapes += blossom(337, 203, 20, 30)
    return shapes


def sky(y):
    t = y / (BG_H - 1)
    return mix(SKY_TOP, SKY_BOTTOM, t * t * (3 - 2 * t) * 0.6 + t * 0.4)


def render_background():
    ss = 4                                  # supersampling per axis
    shapes = background_shapes()
    rows = []
    for py in range(BG_H):
        row = bytearray()
        base = sky(py)
        # a whisper of warmth rising from the flowers' corner
        for px in range(BG_W):
            glow = math.exp(-(((px - 318) / 90.0) ** 2 + ((py - 175) / 70.0) ** 2))
            bg = mix(base, (248, 246, 232), glow * 0.35)
            live = [s for s in shapes
                    if s.box[0] <= px + 1 and px <= s.box[2]
                    and s.box[1] <= py + 1 and py <= s.box[3]]
            if not live:
                row += to_bytes(bg)
                continue
            acc = [0.0, 0.0, 0.0]
            for sy in range(ss):
                y = py + (sy + 0.5) / ss
                for sx in range(ss):
                    x = px + (sx + 0.5) / ss
                    c = bg
                    for s in live:
                        a, col = s.sample(x, y)
                        if a > 0.0:
                            c = mix(c, col, a)
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
            n = ss * ss
            row += to_bytes((acc[0] / n, acc[1] / n, acc[2] / n))
        rows.append(bytes(row))
    return rows


def write_jpeg(rows, width, height, path):
    fd, ppm = tempfile.mkstemp(suffix=".ppm")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (width, height))
            for r in rows:
                f.write(r)
        subprocess.run(["convert", ppm, "-strip", "-interlace", "None",
                        "-sampling-factor", "1x1", "-quality", "92",
                        "JPEG:" + path], check=True)
    finally:
        os.unlink(ppm)


# ---------------------------------------------------------------------------
# lumvora.ico
# ---------------------------------------------------------------------------

ICON = 48
# the signal's origin: dot centre and the centre of both arcs
ICON_CX, ICON_CY = 24.0, 37.0
DOT_R = 5.2
ARCS = ((14.5, 3.1), (25.0, 3.1))       # (middle radius, half thickness)
ARC_HALF_SPAN = math.radians(45.0)      # each arc is 90 degrees wide

FILL_TOP = (38, 138, 232)
FILL_BOTTOM = (0, 96, 196)
OUTLINE = (0, 62, 142)
OUTLINE_PX = 1.1


def wifi_distance(x, y):
    """Signed distance to the symbol (negative inside)."""
    dx, dy = x - ICON_CX, y - ICON_CY
    r = math.hypot(dx, dy)
    best = r - DOT_R
    ang = math.atan2(dx, -dy)            # 0 = straight up
    for mid, half in ARCS:
        if abs(ang) <= ARC_HALF_SPAN:
            d = abs(r - mid) - half
        else:
            # round caps at both ends
            s = math.copysign(ARC_HALF_SPAN, ang)
            ex = ICON_CX + mid * math.sin(s)
            ey = ICON_CY - mid * math.cos(s)
            d = math.hypot(x - ex, y - ey) - half
        best = min(best, d)
    return best


def render_icon():
    """Returns rows of (colour or None) for a 48x48 icon; None = transparent."""
    ss = 8
    out = []
    for py in range(ICON):
        row = []
        for px in range(ICON):
            inside = 0
            acc = [0.0, 0.0, 0.0]
            for sy in range(ss):
                y = py + (sy + 0.5) / ss
                for sx in range(ss):
                    x = px + (sx + 0.5) / ss
                    d = wifi_distance(x, y)
                    if d >= 0.0:
                        continue
                    inside += 1
                    # light from above: brighter at the top of the symbol
                    t = clamp((y - 10.0) / 32.0)
                    c = mix(FILL_TOP, FILL_BOTTOM, t)
                    # a thin darker rim, blended in softly
                    c = mix(c, OUTLINE, smoothstep(-OUTLINE_PX - 0.6, -OUTLINE_PX + 0.4, d))
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
            cover = inside / (ss * ss)
            if cover < 0.5:
                row.append(None)
                continue
            c = (acc[0] / inside, acc[1] / inside, acc[2] / inside)
            # soften the stair-steps of the silhouette a little with a
            # neutral grey that sits well on light and dark title bars
            c = mix(c, (150, 150, 150), (1.0 - cover) * 0.8)
            row.append(to_bytes(c))
        out.append(row)
    return out


def write_icon(pixels, path):
    w = h = ICON
    xor_stride = (w * 3 + 3) & ~3
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):             # bottom-up
        line = bytearray()
        bits = bytearray(and_stride)
        for x in range(w):
            c = pixels[y][x]
            if c is None:
                line += b"\0\0\0"
                bits[x >> 3] |= 0x80 >> (x & 7)
            else:
                line += bytes((c[2], c[1], c[0]))   # BGR
        line += b"\0" * (xor_stride - len(line))
        xor += line
        mask += bits
    image = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0,
                        len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


# ---------------------------------------------------------------------------
# hand.cur
# ---------------------------------------------------------------------------

HOTSPOT = (12, 1)

# '.' transparent, K black outline, W white, g light grey shading,
# B blue cuff, b darker blue, L light blue highlight on the cuff.
HAND = [
    "................................",
    "...........KKK..................",
    "..........KWWWK.................",
    "..........KWWgK.................",
    "..........KWWgK.................",
    "..........KWWgK.................",
    "..........KWWgK.................",
    "..........KWWgK.................",
    "..........KWWgKKKK..............",
    "..........KWWgKWWgKKKK..........",
    "..........KWWgKWWgKWWgKKK.......",
    "....KK....KWWWKWWWKWWWKWgK......",
    "...KWWK...KWWWKWWWKWWWKWWK......",
    "...KWWWK..KWWWgWWWgWWWgWWK......",
    "....KWWWK.KWWWWWWWWWWWWWWK......",
    "....KWWWWKKWWWWWWWWWWWWWWK......",
    ".....KWWWWgWWWWWWWWWWWWWgK......",
    ".....KWWWWWWWWWWWWWWWWWWgK......",
    "......KWWWWWWWWWWWWWWWWWgK......",
    "......KWWWWWWWWWWWWWWWWWgK......",
    ".......KWWWWWWWWWWWWWWWgK.......",
    "........KWWWWWWWWWWWWWWgK.......",
    "........KWWWWWWWWWWWWWWgK.......",
    ".......KKKKKKKKKKKKKKKKKKK......",
    ".......KLLLLLLLLLLLLLLLLLK......",
    ".......KBBBBBBBBBBBBBBBBBK......",
    ".......KbbbbbbbbbbbbbbbbbK......",
    ".......KKKKKKKKKKKKKKKKKKK......",
    "................................",
    "................................",
    "................................",
    "................................",
]

CURSOR_PALETTE = [
    ("K", (0, 0, 0)),
    ("W", (255, 255, 255)),
    ("g", (200, 200, 200)),
    ("B", (0, 102, 204)),
    ("b", (0, 66, 150)),
    ("L", (90, 160, 235)),
]


def write_cursor(grid, path):
    assert len(grid) == 32 and all(len(r) == 32 for r in grid), "hand grid must be 32x32"
    index = {ch: i for i, (ch, _) in enumerate(CURSOR_PALETTE)}
    palette = bytearray()
    for _, (r, g, b) in CURSOR_PALETTE:
        palette += bytes((b, g, r, 0))
    palette += b"\0" * (64 - len(palette))     # 16 entries in all
    w = h = 32
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):             # bottom-up
        nibbles = []
        bits = bytearray(4)
        for x, ch in enumerate(grid[y]):
            if ch == ".":
                nibbles.append(0)                  # black under a set mask bit
                bits[x >> 3] |= 0x80 >> (x & 7)
            else:
                nibbles.append(index[ch])
        for i in range(0, w, 2):
            xor.append((nibbles[i] << 4) | nibbles[i + 1])
        mask += bits
    image = (struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
             + bytes(palette) + xor + mask)
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w, h, 16, 0, HOTSPOT[0], HOTSPOT[1],
                        len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


# ---------------------------------------------------------------------------

def main():
    write_jpeg(render_background(), BG_W, BG_H, os.path.join(HERE, "background.jpg"))
    write_icon(render_icon(), os.path.join(HERE, "lumvora.ico"))
    write_cursor(HAND, os.path.join(HERE, "hand.cur"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
