#!/usr/bin/env python3
"""Regenerates VakoQuit's icons and toolbar strip.

    python3 tools/art/make_art.py          (run from anywhere)

Writes res/icons/main.ico, res/icons/quit.ico, res/icons/run.ico and the
toolbar strips res/toolbar16.bmp, toolbar20.bmp, toolbar24.bmp and
toolbar32.bmp, one for each display scale the program picks from.  The build consumes the committed outputs; this script
is the source they came from, so edit here and re-run rather than
touching the binaries by hand.

Only the standard library is used so the artwork can be rebuilt on any
machine with Python 3.  Everything is drawn from geometric shapes that
are point-sampled on a sub-pixel grid, which gives anti-aliased edges
without an imaging library.  No randomness and no timestamps are
involved, so the output is byte-for-byte reproducible.
"""

import math
import os
import struct

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# ---------------------------------------------------------------------------
# Shapes: predicates inside(x, y) -> bool, in whatever coordinates the
# caller draws in (unit square for icons, 16-pixel grid for glyphs).
# ---------------------------------------------------------------------------


def circle(cx, cy, r):
    rr = r * r
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= rr


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    def f(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return f


def polygon(pts):
    pts = list(pts)
    n = len(pts)

    def f(x, y):
        inside = False
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                if x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    inside = not inside
            j = i
        return inside
    return f


def capsule(x0, y0, x1, y1, r):
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    rr = r * r

    def f(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / ll if ll else 0.0
        t = min(1.0, max(0.0, t))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= rr
    return f


def arc(cx, cy, r, half_width, gap_deg):
    """A ring of radius r with a gap of gap_deg centred straight up and
    round caps, i.e. the curved part of the power symbol."""
    half_gap = math.radians(gap_deg) / 2.0
    # Angle measured from "up", clockwise, so the gap test is symmetric.
    ends = []
    for s in (-1, 1):
        a = s * half_gap
        ends.append(circle(cx + r * math.sin(a), cy - r * math.cos(a), half_width))
    r0, r1 = (r - half_width) ** 2, (r + half_width) ** 2

    def f(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        if r0 <= d <= r1 and abs(math.atan2(x - cx, -(y - cy))) >= half_gap:
            return True
        return ends[0](x, y) or ends[1](x, y)
    return f


def regular(cx, cy, r, n, rot_deg):
    return polygon([(cx + r * math.cos(math.radians(rot_deg + 360.0 * k / n)),
                     cy + r * math.sin(math.radians(rot_deg + 360.0 * k / n)))
                    for k in range(n)])


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def diff(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def inter(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def shift(s, dx, dy):
    return lambda x, y: s(x - dx, y - dy)


def dilate(s, d, n=16):
    """Grow a shape by d in every direction.  Outlines are made by drawing
    the grown shape dark and the original on top, which keeps every
    glyph's border the same weight regardless of its geometry."""
    offs = [(0.0, 0.0)] + [(d * math.cos(2 * math.pi * k / n), d * math.sin(2 * math.pi * k / n))
                          for k in range(n)]
    return lambda x, y: any(s(x + ox, y + oy) for ox, oy in offs)


def arrow(x0, y0, x1, y1, shaft, head_w, head_len):
    """Arrow polygon from (x0,y0) with its tip at (x1,y1)."""
    dx, dy = x1 - x0, y1 - y0
    ln = math.hypot(dx, dy)
    ux, uy = dx / ln, dy / ln
    nx, ny = -uy, ux
    bx, by = x1 - ux * head_len, y1 - uy * head_len
    s, h = shaft / 2.0, head_w / 2.0
    return polygon([
        (x0 + nx * s, y0 + ny * s), (bx + nx * s, by + ny * s), (bx + nx * h, by + ny * h),
        (x1, y1),
        (bx - nx * h, by - ny * h), (bx - nx * s, by - ny * s), (x0 - nx * s, y0 - ny * s),
    ])


# ---------------------------------------------------------------------------
# Paints: either an (r, g, b[, a]) tuple or a function of (x, y).
# ---------------------------------------------------------------------------


def _mix(c0, c1, t):
    t = min(1.0, max(0.0, t))
    c0 = tuple(c0) + (255,) * (4 - len(c0))
    c1 = tuple(c1) + (255,) * (4 - len(c1))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def linear(x0, y0, x1, y1, c0, c1):
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    return lambda x, y: _mix(c0, c1, ((x - x0) * dx + (y - y0) * dy) / ll)


def radial(cx, cy, r, c0, c1):
    return lambda x, y: _mix(c0, c1, math.hypot(x - cx, y - cy) / r)


# ---------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats in 0..1, composited with "over".
# ---------------------------------------------------------------------------


class Canvas:
    def __init__(self, w, h, unit=1.0, ss=8, hard=False):
        self.w, self.h, self.unit, self.ss = w, h, float(unit), ss
        # Hard mode snaps each pixel to in-or-out.  At 16x16 soft edges
        # between two colours just read as blur; classic toolbar glyphs are
        # crisp pixel art, so the strip is drawn this way.
        self.hard = hard
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]
        self._offs = [(i + 0.5) / ss for i in range(ss)]

    def fill(self, shape, paint, opacity=1.0, hard=None):
        hard = self.hard if hard is None else hard
        u = self.unit
        total = self.ss * self.ss
        offs = self._offs
        for py in range(self.h):
            for px in range(self.w):
                hits = 0
                for oy in offs:
                    y = (py + oy) / u
                    for ox in offs:
                        if shape((px + ox) / u, y):
                            hits += 1
                if hard:
                    hits = total if hits * 2 >= total else 0
                if not hits:
                    continue
                c = paint((px + 0.5) / u, (py + 0.5) / u) if callable(paint) else paint
                a = hits / total * opacity * ((c[3] if len(c) > 3 else 255) / 255.0)
                if a <= 0:
                    continue
                d = self.px[py * self.w + px]
                k = 1.0 - a
                d[0] = c[0] / 255.0 * a + d[0] * k
                d[1] = c[1] / 255.0 * a + d[1] * k
                d[2] = c[2] / 255.0 * a + d[2] * k
                d[3] = a + d[3] * k

    def outlined(self, shape, paint, line, width=1.0):
        self.fill(dilate(shape, width), line)
        self.fill(shape, paint)

    def straight_rgba(self):
        """Rows top-down of (r, g, b, a) bytes with straight alpha."""
        out = []
        for py in range(self.h):
            row = []
            for px in range(self.w):
                r, g, b, a = self.px[py * self.w + px]
                A = int(round(a * 255))
                if A <= 0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append(tuple(min(255, int(round(v / a * 255))) for v in (r, g, b)) + (A,))
            out.append(row)
        return out


# ---------------------------------------------------------------------------
# Icons (drawn in the unit square, rendered once per size).
# ---------------------------------------------------------------------------

WHITE = (255, 255, 255)


def _px(size, n):
    """n pixels expressed in unit coordinates."""
    return n / float(size)


def glossy_button(cv, size, body, rim, light, dark, symbol):
    """Shared look of the three program icons: a soft drop shadow, a dark
    rim, a body shaded light-top-left to dark-bottom-right, a white
    symbol with a faint shadow of its own, and a highlight on top."""
    p = lambda n: _px(size, n)
    if size >= 32:
        for k in range(4):
            cv.fill(shift(dilate(body(0.0), p(0.5 * k), 12), 0, p(1.2)), (0, 0, 0), 0.10)
    cv.fill(body(0.0), rim)
    inner = body(max(p(1.0), 0.035))
    cv.fill(inner, radial(0.30, 0.25, 0.80, light, dark))
    gloss = inter(inner, ellipse(0.5, 0.30, 0.36, 0.22))
    cv.fill(gloss, linear(0, 0.08, 0, 0.52, (255, 255, 255, 150), (255, 255, 255, 0)))
    # The symbol goes over the gloss so it stays pure white; at 16 px its
    # drop shadow would only smear it.
    if size >= 32:
        cv.fill(shift(symbol, 0, p(size / 32.0)), (0, 0, 0), 0.30)
    cv.fill(symbol, WHITE)


def round_body(inset):
    return circle(0.5, 0.5, 0.47 - inset)


def octagon_body(inset):
    # Circumradius shrinks by inset / cos(pi/8) to move each edge by inset.
    return regular(0.5, 0.5, 0.49 - inset / math.cos(math.pi / 8), 8, 22.5)


def draw_main(size):
    cv = Canvas(size, size, unit=size, ss=8)
    hw = max(_px(size, 1.0), 0.055)
    sym = union(arc(0.5, 0.53, 0.215, hw, 80),
                capsule(0.5, 0.22, 0.5, 0.50, hw))
    glossy_button(cv, size, round_body, (110, 10, 10), (250, 95, 80), (175, 15, 15), sym)
    return cv


def draw_quit(size):
    cv = Canvas(size, size, unit=size, ss=8)
    hw = max(_px(size, 1.1), 0.065)
    a = 0.19
    sym = union(capsule(0.5 - a, 0.5 - a, 0.5 + a, 0.5 + a, hw),
                capsule(0.5 + a, 0.5 - a, 0.5 - a, 0.5 + a, hw))
    glossy_button(cv, size, octagon_body, (105, 5, 5), (245, 80, 70), (170, 10, 10), sym)
    return cv


def draw_run(size):
    cv = Canvas(size, size, unit=size, ss=8)
    # Nudged right of centre so the triangle looks optically centred.
    if size <= 16:
        sym = polygon([(0.34, 0.22), (0.34, 0.78), (0.80, 0.50)])
    else:
        # Slightly rounded corners; a needle-sharp tip looks harsh when large.
        sym = dilate(polygon([(0.40, 0.30), (0.40, 0.70), (0.72, 0.50)]), 0.025, 24)
    glossy_button(cv, size, round_body, (15, 85, 20), (120, 220, 100), (25, 140, 35), sym)
    return cv


def draw_target(size):
    """The test programs' icon (tools/targets): a plain application, a window on a
    blue tile, so that lists of running programs show a real icon for them."""
    cv = Canvas(size, size, unit=size, ss=8)
    cv.fill(rrect(0.06, 0.06, 0.94, 0.94, 0.16), (20, 60, 140))
    cv.fill(rrect(0.06 + _px(size, 1), 0.06 + _px(size, 1), 0.94 - _px(size, 1),
                  0.94 - _px(size, 1), 0.14), radial(0.3, 0.25, 0.9, (110, 170, 250), (40, 95, 200)))
    cv.fill(rect(0.22, 0.28, 0.78, 0.74), WHITE)
    cv.fill(rect(0.22, 0.28, 0.78, 0.40), (250, 200, 60))
    return cv


def write_ico(path, canvases):
    images = []
    for cv in canvases:
        w, h = cv.w, cv.h
        rows = cv.straight_rgba()
        xor = bytearray()
        for row in reversed(rows):  # DIBs are bottom-up
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            line = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                # Only fully transparent pixels are masked out; that way a
                # mask-only renderer shows no XOR garbage from the fringe.
                if a == 0:
                    line[x >> 3] |= 0x80 >> (x & 7)
            mask += line
        hdr = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((w, h, hdr + bytes(xor) + bytes(mask)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        out += struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------------------
# Toolbar glyphs (drawn directly on the 16x16 pixel grid).
# ---------------------------------------------------------------------------

MAGENTA = (255, 0, 255)

INK = (40, 40, 40)
FRAME = (64, 64, 64)
TITLE = (40, 90, 200)
PAPER = (255, 255, 255)
RED, RED_DK = (225, 35, 30), (120, 0, 0)
GREEN, GREEN_DK = (40, 175, 50), (0, 85, 0)
BLUE, BLUE_DK = (60, 120, 220), (0, 40, 120)
GREY = (192, 192, 192)


def g_window(cv, x0, y0, x1, y1):
    cv.fill(rect(x0, y0, x1, y1), FRAME)
    cv.fill(rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3), TITLE)
    cv.fill(rect(x0 + 1, y0 + 3, x1 - 1, y1 - 1), PAPER)


def g_round_button(cv, light, dark, rim, symbol):
    cv.fill(circle(8, 8, 7.4), rim)
    cv.fill(circle(8, 8, 6.4), radial(5.5, 4.5, 11, light, dark))
    cv.fill(symbol, WHITE)


def glyph_quit_all(cv):
    sym = union(arc(8, 8.5, 3.6, 0.8, 100), rect(7, 3, 9, 8))
    g_round_button(cv, (255, 110, 95), (185, 15, 15), RED_DK, sym)


def glyph_start_all(cv):
    sym = polygon([(5.6, 3.6), (5.6, 12.4), (12.6, 8.0)])
    g_round_button(cv, (130, 225, 110), (25, 140, 35), GREEN_DK, sym)


def badge_x(cv):
    # Laid out pixel by pixel: two 2-pixel diagonals.  Drawn as round
    # strokes, the arms merge into a blob at this size.
    arms = [rect(7 + k, 8 + k, 9 + k, 9 + k) for k in range(7)]
    arms += [rect(13 - k, 8 + k, 15 - k, 9 + k) for k in range(7)]
    cv.outlined(union(*arms), RED, RED_DK, 1.0)


def glyph_quit_one(cv):
    g_window(cv, 0, 1, 13, 12)
    badge_x(cv)


def glyph_start_one(cv):
    g_window(cv, 0, 1, 13, 12)
    cv.outlined(polygon([(9.0, 7.5), (9.0, 14.5), (14.6, 11.0)]), GREEN, GREEN_DK, 1.0)


def glyph_add(cv):
    g_window(cv, 0, 1, 13, 12)
    plus = union(rect(10, 7, 12, 15), rect(7, 10, 15, 12))
    cv.outlined(plus, GREEN, GREEN_DK, 1.0)


def glyph_delete(cv):
    # A waste bin rather than another red X, so it can't be mistaken for
    # "quit the selected app" at a glance.
    body = polygon([(3.5, 5), (12.5, 5), (11.5, 15), (4.5, 15)])
    cv.outlined(body, linear(3, 0, 13, 0, (205, 212, 222), (140, 150, 165)), INK)
    for x in (6, 8, 10):
        cv.fill(rect(x, 7, x + 1, 13), (95, 105, 120))
    cv.outlined(rect(2, 3, 14, 4), (170, 178, 190), INK)
    cv.fill(rect(6, 1, 10, 2), INK)
    cv.fill(rect(6, 1, 7, 3), INK)
    cv.fill(rect(9, 1, 10, 3), INK)


def glyph_exit(cv):
    cv.fill(rect(1, 1, 10, 16), INK)
    cv.fill(rect(2, 2, 9, 16), (40, 40, 60))
    # Door swung open towards the viewer, hinged on the left post.
    door = polygon([(2, 2), (7, 3.5), (7, 16), (2, 16)])
    cv.fill(door, linear(2, 0, 7, 0, (200, 130, 60), (150, 85, 30)))
    cv.fill(rect(5.6, 9, 6.6, 10.5), (250, 220, 80))
    cv.outlined(arrow(7.2, 8.5, 15.2, 8.5, 2.2, 6.2, 3.6), GREEN, GREEN_DK, 1.0)


def glyph_import(cv):
    back = polygon([(1, 3), (6, 3), (7, 5), (14, 5), (14, 14), (1, 14)])
    cv.outlined(back, (225, 170, 40), (120, 80, 0))
    front = polygon([(3.5, 8), (15, 8), (13, 14), (1, 14)])
    cv.outlined(front, linear(0, 8, 0, 14, (255, 225, 110), (240, 190, 60)), (120, 80, 0))
    # Axis-aligned head: a diagonal arrowhead turns to mush at this size,
    # a right-angled one stays crisp.
    head = polygon([(14, 2), (14, 8.5), (7.5, 2)])
    shaft = polygon([(4.6, 12.0), (10.6, 6.0), (12.0, 7.4), (6.0, 13.4)])
    cv.outlined(union(head, shaft), BLUE, BLUE_DK, 1.0)


def glyph_properties(cv):
    sheet = polygon([(2.5, 0.5), (10.5, 0.5), (13.5, 3.5), (13.5, 15.5), (2.5, 15.5)])
    cv.fill(sheet, INK)
    cv.fill(polygon([(3.5, 1.5), (10, 1.5), (12.5, 4), (12.5, 14.5), (3.5, 14.5)]), PAPER)
    cv.fill(polygon([(10, 1.5), (10, 4), (12.5, 4)]), (180, 180, 180))
    for y, x1 in ((5, 9), (7, 11), (9, 11), (11, 10), (13, 11)):
        cv.fill(rect(5, y, 6, y + 1), BLUE_DK)
        cv.fill(rect(7, y, x1, y + 1), (110, 110, 110))
    cv.fill(rect(5, 2, 9, 4), BLUE)


def glyph_options(cv):
    teeth, tip, root, hole = 8, 6.9, 4.7, 2.6
    half = math.pi / teeth * 0.5

    def gear(x, y):
        dx, dy = x - 8.0, y - 8.0
        r = math.hypot(dx, dy)
        if r < hole:
            return False
        if r <= root:
            return True
        if r > tip:
            return False
        a = (math.atan2(dy, dx) + math.pi / teeth / 2) % (2 * math.pi / teeth)
        return abs(a - math.pi / teeth) <= half + 0.12 * (tip - r) / (tip - root)
    cv.outlined(gear, radial(5.5, 5, 10, (215, 220, 228), (120, 128, 140)), INK, 1.0)


def glyph_about(cv):
    cv.fill(circle(8, 8, 7.4), BLUE_DK)
    cv.fill(circle(8, 8, 6.4), radial(5.5, 4.5, 11, (120, 170, 250), (30, 80, 190)))
    cv.fill(rect(7, 3, 9, 5), WHITE)
    cv.fill(union(rect(7, 6, 9, 12), rect(6, 6, 7, 7), rect(6, 11, 10, 12)), WHITE)


def icon_square(cv, x, y, n):
    cv.fill(rect(x, y, x + n, y + n), BLUE_DK)
    if n > 2:
        cv.fill(rect(x + 1, y + 1, x + n - 1, y + n - 1), linear(x, y, x + n, y + n, (150, 195, 255), BLUE))


def glyph_large_icons(cv):
    for y in (1, 9):
        for x in (1, 9):
            icon_square(cv, x, y, 6)


def glyph_small_icons(cv):
    for y in (1, 6, 11):
        for x in (1, 6, 11):
            icon_square(cv, x, y, 4)


def glyph_list(cv):
    for x in (0, 9):
        for y in (1, 5, 9, 13):
            icon_square(cv, x, y, 3)
            cv.fill(rect(x + 4, y + 1, x + 7, y + 2), INK)


def glyph_details(cv):
    cv.fill(rect(0, 0, 16, 4), FRAME)
    cv.fill(rect(1, 1, 15, 3), GREY)
    cv.fill(rect(8, 1, 9, 3), FRAME)
    for y in (5, 9, 13):
        icon_square(cv, 1, y, 3)
        cv.fill(rect(5, y + 1, 8, y + 2), INK)
        cv.fill(rect(10, y + 1, 15, y + 2), INK)


def glyph_status_bar(cv):
    cv.fill(rect(0, 1, 16, 15), FRAME)
    cv.fill(rect(1, 2, 15, 4), TITLE)
    cv.fill(rect(1, 4, 15, 10), PAPER)
    cv.fill(rect(1, 10, 15, 11), FRAME)
    cv.fill(rect(1, 11, 15, 14), GREY)
    cv.fill(rect(2, 12, 9, 13), (110, 110, 110))
    cv.fill(rect(10, 11, 11, 14), (128, 128, 128))
    cv.fill(rect(11, 11, 12, 14), WHITE)


def glyph_add_running(cv):
    # The window of a program that runs (the start triangle inside it) taken into
    # the list: the add command's plus on it.
    g_window(cv, 0, 1, 13, 12)
    cv.outlined(polygon([(2.6, 4.6), (2.6, 10.4), (7.4, 7.5)]), GREEN, GREEN_DK, 1.0)
    plus = union(rect(10, 7, 12, 15), rect(7, 10, 15, 12))
    cv.outlined(plus, BLUE, BLUE_DK, 1.0)


GLYPHS = [
    glyph_quit_all,     # 0
    glyph_start_all,    # 1
    glyph_quit_one,     # 2
    glyph_start_one,    # 3
    glyph_add,          # 4
    glyph_delete,       # 5
    glyph_exit,         # 6
    glyph_import,       # 7
    glyph_properties,   # 8
    glyph_options,      # 9
    glyph_about,        # 10
    glyph_large_icons,  # 11
    glyph_small_icons,  # 12
    glyph_list,         # 13
    glyph_details,      # 14
    glyph_status_bar,   # 15
    glyph_add_running,  # 16
]


# The glyphs' sizes: 16 at 100 %, 20 at 125 %, 24 at 150 %, 32 at 200 %.
TOOLBAR_SIZES = (16, 20, 24, 32)


def toolbar_pixels(size):
    """One strip `size` pixels high, the 16-pixel grid of the glyphs drawn
    at that scale.  Toolbars mask on a single key colour, so edge pixels
    are either kept solid or dropped: blending them into the magenta would
    leave a pink fringe on the toolbar."""
    strip = [[MAGENTA] * (size * len(GLYPHS)) for _ in range(size)]
    for i, draw in enumerate(GLYPHS):
        cv = Canvas(size, size, unit=size / 16.0, ss=8, hard=True)
        draw(cv)
        for y, row in enumerate(cv.straight_rgba()):
            for x, (r, g, b, a) in enumerate(row):
                if a < 128:
                    continue
                if (r, g, b) == MAGENTA:
                    r = 254
                strip[y][i * size + x] = (r, g, b)
    return strip


def write_bmp24(path, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + bytes(data))


def main():
    icons = os.path.join(ROOT, "res", "icons")
    os.makedirs(icons, exist_ok=True)
    # 16, 20, 24 and 32 are the small icon from 100 % to 200 %; 32 and 48 the large one
    # at 100 % and 150 %.
    sizes = (16, 20, 24, 32, 48)
    write_ico(os.path.join(icons, "main.ico"), [draw_main(s) for s in sizes])
    write_ico(os.path.join(icons, "quit.ico"), [draw_quit(s) for s in sizes])
    write_ico(os.path.join(icons, "run.ico"), [draw_run(s) for s in sizes])
    write_ico(os.path.join(ROOT, "tools", "targets", "quit", "quit_target.ico"),
              [draw_target(s) for s in (16, 32)])
    for size in TOOLBAR_SIZES:
        write_bmp24(os.path.join(ROOT, "res", "toolbar%d.bmp" % size), toolbar_pixels(size))


if __name__ == "__main__":
    main()
