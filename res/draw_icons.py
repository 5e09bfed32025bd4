#!/usr/bin/env python3
"""Draws the program icon, the button pictures and the About dialog's pictures as .ico files (32-bit, alpha).

Run it after changing a picture, from anywhere:  python3 res/draw_icons.py
The .ico files are committed. Needs only Python 3's standard library and writes the same
bytes on every run. `--sheet DIR` also writes contact sheets (PNG, not committed) that show
every picture at every size, for looking at the result.

Each picture is described once in design units (16 for the tool buttons, 18 for the
separator, 32 for the program icon) and drawn anew for every pixel size, not scaled from
one bitmap: straight edges land on whole pixels and strokes are whole pixels wide, so they
stay sharp; only slanted and round edges get partial alpha.

Sizes: tool buttons 16, 20, 24, 32 (100, 125, 150, 200 %), because the buttons load their
picture at 16 pixels scaled to the dpi; the separator uses the same set on its 18-unit
design for the same reason. Program icon 16, 20, 24, 32, 48 and 256 (the last as PNG).
The About dialog's maker logo (120 x 23) and database badge (102 x 47) are wider than high:
icons may be, and an icon resource keeps the picture at every scale (100, 125, 150, 200 %)
with its alpha, which a bitmap resource would not.
Style: objects have one outline colour, one pixel wide up to 24 pixels and two at 32;
arrows, triangles and letters are solid; the words of the logo and badge are strokes with
round ends on a grid of 4 x 6 units per letter.
"""
import argparse
import math
import os
import struct
import zlib

EDGE = math.sqrt(0.5)  # a pixel whose centre lies farther than this from an edge is not cut by it
SAMPLES = 8            # per axis, for pixels that an edge cuts


class Rect:
    """Axis-parallel box in pixel coordinates, optionally with round corners of radius r."""

    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.hx, self.hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def sdf(self, x, y):
        qx, qy = abs(x - self.cx) - self.hx, abs(y - self.cy) - self.hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r

    def inside(self, x, y):
        if self.r == 0:
            return self.x0 <= x < self.x1 and self.y0 <= y < self.y1
        return self.sdf(x, y) < 0

    def edge(self, x, y):
        return abs(self.sdf(x, y))


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def bbox(self):
        return self.cx - self.r, self.cy - self.r, self.cx + self.r, self.cy + self.r

    def inside(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 < self.r * self.r

    def edge(self, x, y):
        return abs(math.hypot(x - self.cx, y - self.cy) - self.r)


class Stroke:
    """Straight line of width w with round ends (a capsule): the letters' strokes."""

    def __init__(self, x0, y0, x1, y1, w):
        self.x0, self.y0, self.x1, self.y1, self.h = x0, y0, x1, y1, w / 2

    def bbox(self):
        return (min(self.x0, self.x1) - self.h, min(self.y0, self.y1) - self.h,
                max(self.x0, self.x1) + self.h, max(self.y0, self.y1) + self.h)

    def distance(self, x, y):
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else min(1.0, max(0.0, ((x - self.x0) * dx + (y - self.y0) * dy) / length))
        return math.hypot(x - self.x0 - t * dx, y - self.y0 - t * dy)

    def inside(self, x, y):
        return self.distance(x, y) < self.h

    def edge(self, x, y):
        return abs(self.distance(x, y) - self.h)


class Poly:
    """Simple polygon (points in pixel coordinates, either orientation)."""

    def __init__(self, points):
        self.p = [(float(x), float(y)) for x, y in points]

    def bbox(self):
        xs, ys = [x for x, _ in self.p], [y for _, y in self.p]
        return min(xs), min(ys), max(xs), max(ys)

    def inside(self, x, y):
        result = False
        n = len(self.p)
        for i in range(n):
            (ax, ay), (bx, by) = self.p[i - 1], self.p[i]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result

    def edge(self, x, y):
        best = math.inf
        for i in range(len(self.p)):
            (ax, ay), (bx, by) = self.p[i - 1], self.p[i]
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
            t = min(1.0, max(0.0, t))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
        return best

    def inset(self, d):
        """The polygon with every edge moved d pixels inwards (outwards for negative d)."""
        n = len(self.p)
        lines = []
        for i in range(n):
            (ax, ay), (bx, by) = self.p[i], self.p[(i + 1) % n]
            length = math.hypot(bx - ax, by - ay)
            nx, ny = -(by - ay) / length, (bx - ax) / length
            mx, my = (ax + bx) / 2, (ay + by) / 2
            if not self.inside(mx + nx * 1e-3, my + ny * 1e-3):
                nx, ny = -nx, -ny
            lines.append(((ax + nx * d, ay + ny * d), (bx - ax, by - ay)))
        points = []
        for i in range(n):
            (px, py), (ux, uy) = lines[i - 1]
            (qx, qy), (vx, vy) = lines[i]
            cross = ux * vy - uy * vx
            if abs(cross) < 1e-9:
                points.append((qx, qy))
            else:
                t = ((qx - px) * vy - (qy - py) * vx) / cross
                points.append((px + t * ux, py + t * uy))
        return Poly(points)


class Canvas:
    """One picture at one pixel size; coordinates given to the drawing helpers are design units.

    Painting only records layers; render() then decides every sample point of a pixel through
    all layers at once. Painting layer after layer with coverage as alpha would let two shapes
    that share an edge leave a seam of partial alpha, or darken an edge painted twice.
    """

    def __init__(self, size, units, height=None):
        self.size = size  # the width; pictures are square unless a height is given
        self.height = size if height is None else height
        self.k = size / units
        self.layers = []  # (premultiplied colour or None to erase, shapes, minus, bbox)
        self.px = None  # premultiplied RGBA, 0..1, once rendered

    # Design units to pixels.
    def snap(self, u):
        """Pixel edge nearest to design coordinate u."""
        return math.floor(u * self.k + 0.5)

    def stroke(self, w=1.0):
        """Whole pixels for a stroke w units wide: 1 unit is 1 px up to 24 px, 2 px at 32."""
        return max(1, int(w * self.k + 0.25))

    def pt(self, x, y):
        return self.snap(x), self.snap(y)

    # Painting.
    def fill(self, colour, shapes, minus=()):
        """Paints the union of the shapes less the union of minus."""
        a = colour[3] / 255 if len(colour) == 4 else 1.0
        self._layer(tuple(v / 255 * a for v in colour[:3]) + (a,), shapes, minus)

    def erase(self, shapes):
        """Makes the shapes transparent again (a gap that sets one part off another)."""
        self._layer(None, shapes, ())

    def _layer(self, colour, shapes, minus):
        boxes = [s.bbox() for s in shapes]
        bbox = (min(bx[0] for bx in boxes), min(bx[1] for bx in boxes),
                max(bx[2] for bx in boxes), max(bx[3] for bx in boxes))
        self.layers.append((colour, list(shapes), list(minus), bbox))

    def render(self):
        n, rows = self.size, self.height
        self.px = [0.0] * (n * rows * 4)
        # Each sample point is taken twice, nudged both ways, so that a point lying exactly on an
        # edge (as on every 45 degree line through pixel corners) counts half: no bias to one side.
        steps = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
        nudges = ((1e-6, 3e-7), (-1e-6, -3e-7))
        grid = [(sx + dx, sy + dy) for sy in steps for sx in steps for dx, dy in nudges]
        weight = 1.0 / len(grid)
        for y in range(rows):
            for x in range(n):
                cx, cy = x + 0.5, y + 0.5
                here = [layer for layer in self.layers
                        if layer[3][0] - 1 < cx < layer[3][2] + 1 and layer[3][1] - 1 < cy < layer[3][3] + 1]
                if not here:
                    continue
                near = any(shape.edge(cx, cy) <= EDGE for layer in here for shape in layer[1] + layer[2])
                points = [(x + sx, y + sy) for sx, sy in grid] if near else [(cx, cy)]
                w = weight if near else 1.0
                total = [0.0, 0.0, 0.0, 0.0]
                for px, py in points:
                    r = g = b = a = 0.0
                    for colour, shapes, minus, _ in here:
                        if not any(sh.inside(px, py) for sh in shapes):
                            continue
                        if any(m.inside(px, py) for m in minus):
                            continue
                        if colour is None:
                            r = g = b = a = 0.0
                        else:
                            keep = 1.0 - colour[3]
                            r, g, b, a = (colour[0] + r * keep, colour[1] + g * keep, colour[2] + b * keep,
                                          colour[3] + a * keep)
                    total[0] += r * w
                    total[1] += g * w
                    total[2] += b * w
                    total[3] += a * w
                self.px[(y * n + x) * 4:(y * n + x) * 4 + 4] = total

    def rgba(self, x, y):
        """Straight (not premultiplied) 8-bit RGBA of one pixel."""
        i = (y * self.size + x) * 4
        a = self.px[i + 3]
        if a <= 0.0:
            return 0, 0, 0, 0
        return tuple(min(255, math.floor(self.px[i + c] / a * 255 + 0.5)) for c in range(3)) + (
            math.floor(a * 255 + 0.5),)

    # Design-unit helpers: snapped outer edges, whole-pixel strokes. The fill goes under the
    # whole shape and the outline over it, so no seam of partial alpha shows between the two.
    def outlined(self, outer, inner, fill, outline):
        if fill is not None:
            self.fill(fill, [outer])
        if outline is not None:
            self.fill(outline, [outer], [inner])
        return outer, inner

    def box(self, x0, y0, x1, y1, fill, outline=None, w=1.0, r=0.0):
        outer = Rect(*self.pt(x0, y0), *self.pt(x1, y1), r * self.k)
        s = self.stroke(w)
        inner = Rect(outer.x0 + s, outer.y0 + s, outer.x1 - s, outer.y1 - s, max(0.0, outer.r - s))
        return self.outlined(outer, inner, fill, outline)

    def polygon(self, points, fill, outline=None, w=1.0):
        outer = points if isinstance(points, Poly) else Poly([self.pt(x, y) for x, y in points])
        return self.outlined(outer, outer.inset(self.stroke(w)), fill, outline)

    def disc(self, cx, cy, r, fill, outline=None, w=1.0):
        left, right = self.snap(cx - r), self.snap(cx + r)
        top = self.snap(cy - r)
        radius = (right - left) / 2
        outer = Circle(left + radius, top + radius, radius)
        inner = Circle(outer.cx, outer.cy, radius - self.stroke(w))
        return self.outlined(outer, inner, fill, outline)


OUTLINE = (52, 60, 72)
WHITE = (255, 255, 255)
PAPER = (252, 252, 250)
FOLD = (214, 220, 228)
BLUE = (40, 110, 200)
STEEL = (200, 208, 218)
GREEN = (30, 150, 60)
RED = (205, 45, 45)
WOOD = (190, 135, 70)
TEXTGRAY = (150, 158, 170)


def hline(c, x0, x1, y, colour, w=1.0):
    c.fill(colour, [Rect(c.snap(x0), c.snap(y), c.snap(x1), c.snap(y) + c.stroke(w))])


def arrow_right(c, tail, tip, mid, shaft, head):
    """Arrow polygon in pixels: straight edges on whole pixels, 45 degree head, tip on the axis."""
    top = c.snap(mid - shaft / 2)
    bottom = top + max(1, math.floor(shaft * c.k + 0.5))
    axis = (top + bottom) / 2
    half = max(bottom - axis + 1, math.floor(head / 2 * c.k + 0.5))
    x0, x2 = c.snap(tail), c.snap(tip)
    x1 = x2 - half
    return Poly([(x0, top), (x1, top), (x1, axis - half), (x2, axis), (x1, axis + half), (x1, bottom),
                 (x0, bottom)])


def triangle(c, left, right, base, up):
    """Triangle with a horizontal base on whole pixels and 45 degree sides."""
    x0, x1, y = c.snap(left), c.snap(right), c.snap(base)
    x1 -= 1 - (x1 - x0) % 2  # an odd number of pixels puts the apex over a pixel's centre
    # Sides half a pixel outside the row ends, so that each row is nearly whole pixels, two
    # fewer than the row before.
    height = (x1 - x0 + 1) / 2
    return Poly([(x0 - 0.5, y), (x1 + 0.5, y), ((x0 + x1) / 2, y - height if up else y + height)])


def gap_and_fill(c, shape, colour, gap=1.0):
    """Solid shape set off from what lies under it by a transparent gap."""
    c.erase([shape.inset(-c.stroke(gap))])
    c.fill(colour, [shape])


def sheet(c):
    """Blank sheet with a folded corner."""
    left, top, right, bottom = c.snap(3), c.snap(1), c.snap(13), c.snap(15)
    f = c.snap(4)  # the fold, in pixels so that its diagonal runs at 45 degrees at every size
    s = c.stroke()
    outer, inner = c.polygon(Poly([(left, top), (right - f, top), (right, top + f), (right, bottom),
                                   (left, bottom)]), PAPER)
    c.fill(FOLD, [Poly([(right - f, top), (right, top + f), (right - f, top + f)])])
    c.fill(OUTLINE, [outer], [inner])
    c.fill(OUTLINE, [Rect(right - f - s, top, right - f, top + f),
                     Rect(right - f - s, top + f, right, top + f + s)])


def floppy(c):
    c.polygon([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)], BLUE, OUTLINE)
    # metal shutter with its slot
    c.box(4, 1, 12, 6, STEEL, OUTLINE)
    c.box(8, 1, 10, 5, OUTLINE)
    # label
    c.box(3, 8, 13, 15, PAPER, OUTLINE)
    for y in (10, 12):
        hline(c, 5, 11, y, TEXTGRAY)


def clipboard(c):
    c.box(1, 2, 12, 15, WOOD, OUTLINE)
    c.box(3, 4, 10, 13, PAPER)
    c.box(4, 1, 9, 4, STEEL, OUTLINE)
    for y in (6, 8, 10):
        hline(c, 4, 9, y, TEXTGRAY)
    # arrow leaving the board to the right
    gap_and_fill(c, arrow_right(c, 7, 16, 11.5, 3, 8), GREEN)


def separator(c):
    c.box(1, 7, 17, 11, STEEL, OUTLINE)


def letter_a(c, left, right, top, bottom, stem, bar, colour):
    """Capital A: two slanted legs meeting in a flat top, and a cross bar."""
    x0, x1, y0, y1 = c.snap(left), c.snap(right), c.snap(top), c.snap(bottom)
    w = max(1, math.floor(stem * c.k + 0.5))
    mid = (x0 + x1) / 2
    half = w / 2  # half the width of the flat top
    slope = (mid - half - x0) / (y1 - y0)  # horizontal run per pixel of height
    foot = w * math.sqrt(1 + slope * slope)  # horizontal width of a leg of stroke w
    left_leg = Poly([(x0, y1), (x0 + foot, y1), (mid + half, y0), (mid - half, y0)])
    right_leg = Poly([(x1, y1), (x1 - foot, y1), (mid - half, y0), (mid + half, y0)])
    by = c.snap(top + (bottom - top) * bar)
    cross = Rect(x0 + foot / 2, by, x1 - foot / 2, by + max(1, math.floor(stem * 0.8 * c.k + 0.5)))
    c.fill(colour, [left_leg, right_leg, cross])


def inc_font(c):
    letter_a(c, 0, 11, 4, 16, 2.2, 0.62, OUTLINE)
    c.fill(GREEN, [triangle(c, 8, 15, 5, True)])


def dec_font(c):
    letter_a(c, 1, 9, 8, 16, 1.6, 0.62, OUTLINE)
    c.fill(RED, [triangle(c, 8, 15, 1.5, False)])


def info(c):
    c.disc(8, 8, 8, BLUE, OUTLINE)
    # letter i on the disc's centre line: stem (with dot) an even number of pixels wide
    w = 2 * max(1, math.floor(c.k + 0.5))
    t = c.stroke()
    x = c.size / 2 - w / 2
    top, bottom = c.snap(6.5), c.snap(12.5)
    dot = top - t - 1  # the dot's lower edge
    c.fill(WHITE, [Rect(x, dot - w, x + w, dot),
                   Rect(x, top, x + w, bottom),  # stem
                   Rect(x - w / 2, top, x, top + t),  # serif
                   Rect(x - w / 2, bottom - t, x + w * 1.5, bottom)])  # foot


CONSOLE = (30, 40, 52)
LOGGREEN = (100, 225, 130)
TITLE = (70, 130, 210)
ORANGE = (245, 150, 30)


def program_icon(c):
    """A log window with lines of text and a datagram arrow coming in from the left."""
    _, inside = c.box(8, 3, 32, 29, CONSOLE, OUTLINE, w=1.25, r=2.5)
    c.fill(TITLE, [inside], [Rect(0, c.snap(9), c.size, c.size)])  # title bar
    for y, x1 in ((12, 28), (16, 25), (20, 29), (24, 24)):
        c.box(17, y, x1, y + 2, LOGGREEN)
    gap_and_fill(c, arrow_right(c, 0, 14, 20, 5, 12), ORANGE)


def monitor_pointer(c):
    """Remote support: a screen with a mouse pointer that somebody else moves."""
    c.box(1, 1, 15, 12, STEEL, OUTLINE)
    c.box(3, 3, 13, 10, BLUE)
    c.box(6, 12, 10, 14, STEEL)
    c.box(3, 14, 13, 15.5, OUTLINE)
    # the pointer: a white arrow head with its tail, pointing up and left
    x, y = c.snap(5.5), c.snap(3.5)
    n = c.snap(6)  # the head's height in pixels
    t = max(1.0, n / 5)  # half the tail's width
    head = Poly([(x, y), (x, y + n), (x + n * 0.7, y + n * 0.7)])
    d = math.sqrt(0.5)
    ax, ay = x + n * 0.3, y + n * 0.6  # the tail starts inside the head
    length = n * 0.45
    tail = Poly([(ax - t * d, ay + t * d), (ax + t * d, ay - t * d), (ax + t * d + length * 0.6, ay - t * d + length),
                 (ax - t * d + length * 0.6, ay + t * d + length)])
    c.fill(WHITE, [head, tail])


def drop_down(c):
    """The small down arrow of a button that opens a menu."""
    c.fill(OUTLINE, [triangle(c, 4, 12, 6, False)])


# Letters as strokes on a grid 4 units wide (I: 0) and 6 high, y downwards; round letters are
# polygons through their corners, which the round stroke ends soften.
_O = [(1.4, 0), (2.6, 0), (4, 1.4), (4, 4.6), (2.6, 6), (1.4, 6), (0, 4.6), (0, 1.4), (1.4, 0)]
_P = [(0, 6), (0, 0), (2.8, 0), (4, 1.2), (4, 2.3), (2.8, 3.5), (0, 3.5)]
LETTERS = {
    'A': (4, [[(0, 6), (2, 0), (4, 6)], [(0.8, 4), (3.2, 4)]]),
    'B': (4, [[(0, 0), (0, 6), (2.9, 6), (4, 4.9), (4, 4.1), (2.9, 3), (0, 3)],
              [(0, 0), (2.7, 0), (3.7, 0.9), (3.7, 2.1), (2.7, 3)]]),
    'D': (4, [[(0, 0), (0, 6), (2.4, 6), (4, 4.4), (4, 1.6), (2.4, 0), (0, 0)]]),
    'E': (3.6, [[(3.6, 0), (0, 0), (0, 6), (3.6, 6)], [(0, 3), (3, 3)]]),
    'F': (3.6, [[(3.6, 0), (0, 0), (0, 6)], [(0, 3), (3, 3)]]),
    'I': (0, [[(0, 0), (0, 6)]]),
    'K': (4, [[(0, 0), (0, 6)], [(4, 0), (0, 3.6)], [(1.5, 2.4), (4, 6)]]),
    'L': (3.6, [[(0, 0), (0, 6), (3.6, 6)]]),
    'O': (4, [_O]),
    'P': (4, [_P]),
    'Q': (4, [_O, [(2.6, 4.4), (4.2, 6.2)]]),
    'R': (4, [_P, [(2.2, 3.5), (4, 6)]]),
    'S': (4, [[(4, 0.9), (3.1, 0), (0.9, 0), (0, 0.9), (0, 2.1), (0.9, 3), (3.1, 3), (4, 3.9), (4, 5.1),
               (3.1, 6), (0.9, 6), (0, 5.1)]]),
    'T': (4, [[(0, 0), (4, 0)], [(2, 0), (2, 6)]]),
    'V': (4, [[(0, 0), (2, 6), (4, 0)]]),
    'W': (5, [[(0, 0), (1.25, 6), (2.5, 2), (3.75, 6), (5, 0)]]),
    'Y': (4, [[(0, 0), (2, 3), (4, 0)], [(2, 3), (2, 6)]]),
    'Z': (4, [[(0, 0), (4, 0), (0, 6), (4, 6)]]),
    ' ': (1, []),
}


def word(c, text, x, y, height, w, colour, gap=1.6):
    """Writes text in design units: x, y the top left of the first letter's grid, height the
    grid's height (6 units), w the stroke width; returns the x after the last letter."""
    u = height / 6
    for ch in text:
        width, lines = LETTERS[ch]
        strokes = []
        for line in lines:
            for (ax, ay), (bx, by) in zip(line, line[1:]):
                strokes.append(Stroke((x + ax * u) * c.k, (y + ay * u) * c.k, (x + bx * u) * c.k,
                                      (y + by * u) * c.k, w * c.k))
        if strokes:
            c.fill(colour, strokes)  # a layer per letter: each pixel looks only at its letter
        x += (width + gap) * u
    return x - gap * u


def logo(c):
    """The maker's logo: a blue tile with a Z, then the name."""
    c.box(0, 0, 23, 23, BLUE, r=4)
    word(c, 'Z', 7, 6, 11, 2.4, WHITE)
    word(c, 'ZEVRIK', 31, 4, 15, 2.6, OUTLINE)


FLAME = (235, 90, 30)
FLAME_CORE = (250, 190, 40)
BADGE_EDGE = (190, 196, 204)


def flame(c, cx, bottom, width, height, colour):
    """A flame: a round foot rising into a point that leans a little to the right."""
    r = width / 2
    tip = (cx + r * 0.35, bottom - height)
    side = [(cx + r * math.cos(a), bottom - r + r * math.sin(a)) for a in
            [math.radians(d) for d in range(-20, 201, 10)]]
    points = [c.pt(*tip)] + [(x * c.k, y * c.k) for x, y in side] + [c.pt(cx - r * 0.55, bottom - height * 0.55)]
    c.fill(colour, [Poly(points)])


def badge(c):
    """The badge offered to programs built on the Firebird database: powered by Firebird SQL."""
    c.box(0, 0, 102, 47, WHITE, BADGE_EDGE, r=3)
    flame(c, 16, 40, 20, 34, FLAME)
    flame(c, 16.5, 38, 10, 18, FLAME_CORE)
    word(c, 'POWERED BY', 32, 7, 5, 1.0, TEXTGRAY, gap=1.4)
    word(c, 'FIREBIRD', 32, 17, 11, 2.0, OUTLINE, gap=1.5)
    word(c, 'SQL', 32, 33, 7, 1.3, FLAME, gap=1.5)


def draw(picture, size, units, height=None):
    c = Canvas(size, units, height)
    picture(c)
    c.render()
    return c


def dib(cv):
    """Bitmap entry: 32-bit bottom-up BGRA rows, then the AND mask (1 = transparent)."""
    n, h = cv.size, cv.height
    rows = bytearray()
    mask = bytearray()
    mask_row = ((n + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(n):
            r, g, b, a = cv.rgba(x, y)
            rows += bytes((b, g, r, a))
            if a == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack('<IiiHHIIiiII', 40, n, h * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    return header + bytes(rows) + bytes(mask)


def png(width, height, rgba_rows):
    """PNG file bytes of 8-bit RGBA rows (each a bytes object of width * 4)."""
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + row for row in rgba_rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def png_entry(cv):
    rows = [b''.join(bytes(cv.rgba(x, y)) for x in range(cv.size)) for y in range(cv.height)]
    return png(cv.size, cv.height, rows)


def ico(canvases, path):
    """Writes all sizes into one .ico, largest first; 256 pixels and more as PNG."""
    canvases = sorted(canvases, key=lambda cv: -cv.size)
    images = [(cv.size, cv.height, png_entry(cv) if cv.size >= 256 else dib(cv)) for cv in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, h, data in images:
        out += struct.pack('<BBBBHHII', n % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


BUTTON_SIZES = (16, 20, 24, 32)
ICON_SIZES = (16, 20, 24, 32, 48, 256)
SCALES = (1.0, 1.25, 1.5, 2.0)
PICTURES = (  # file name, drawing, design units, sizes[, design height: wider than high, drawn at SCALES]
    ('Tavrino', program_icon, 32, ICON_SIZES),
    ('Clear', sheet, 16, BUTTON_SIZES),
    ('Save', floppy, 16, BUTTON_SIZES),
    ('Copy', clipboard, 16, BUTTON_SIZES),
    ('Separator', separator, 18, BUTTON_SIZES),
    ('IncFontSize', inc_font, 16, BUTTON_SIZES),
    ('DecFontSize', dec_font, 16, BUTTON_SIZES),
    ('Info', info, 16, BUTTON_SIZES),
    ('RemoteSupport', monitor_pointer, 16, BUTTON_SIZES),
    ('DropDown', drop_down, 16, BUTTON_SIZES),
    ('Logo', logo, 120, tuple(round(120 * k) for k in SCALES), 23),
    ('FirebirdBadge', badge, 102, tuple(round(102 * k) for k in SCALES), 47),
)


def contact_sheets(drawn, folder):
    """Every picture at every size: at its own size on three backgrounds, in the tool column at
    every scale, and enlarged 8 times."""

    def on(bg, rgba):
        r, g, b, a = rgba
        return tuple((v * a + w * (255 - a) + 127) // 255 for v, w in zip((r, g, b), bg)) + (255,)

    def write(name, width, height, cells):
        grid = [[(255, 255, 255, 255)] * width for _ in range(height)]
        for x0, y0, cv, zoom, bg in cells:
            for y in range(cv.height * zoom):
                for x in range(cv.size * zoom):
                    back = bg
                    if bg is None:  # checkerboard shows the alpha
                        back = (204, 204, 204) if ((x // 4 + y // 4) % 2) else (240, 240, 240)
                    grid[y0 + y][x0 + x] = on(back, cv.rgba(x // zoom, y // zoom))
        rows = [b''.join(bytes(p) for p in row) for row in grid]
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(png(width, height, rows))

    backgrounds = ((255, 255, 255), (240, 240, 240), (32, 32, 32))
    # Actual size, one row per picture: each size on white, button face and dark.
    cells, y = [], 4
    for name, canvases in drawn:
        x = 4
        for cv in canvases:
            if cv.size > 48 and cv.size == cv.height:
                continue
            for bg in backgrounds:
                cells.append((x, y, cv, 1, bg))
                x += cv.size + 2
            x += 10
        y += max(cv.height for cv in canvases if cv.size <= 48 or cv.size != cv.height) + 6
    width = max(c[0] + c[2].size * c[3] for c in cells) + 4
    write('sheet-actual.png', width, y, cells)
    # The tool column as the program lays it out, at 100, 125, 150 and 200 %: buttons of
    # 23 x 22 pixels (scaled) with the picture centred, on the button face colour.
    tops = {'Clear': 4, 'Save': 28, 'Copy': 52, 'Separator': 76, 'IncFontSize': 124, 'DecFontSize': 148,
            'Info': 272}
    cells, x, height = [], 4, 0
    for scale in (1.0, 1.25, 1.5, 2.0):
        column = round(31 * scale)
        for name, canvases in drawn:
            if name not in tops:
                continue
            cv = next(cv for cv in canvases if cv.size == round(16 * scale))
            bx, by = x + round(4 * scale), 4 + round(tops[name] * scale)
            bw, bh = round(23 * scale), round(22 * scale)
            cells.append((bx + (bw - cv.size) // 2, by + (bh - cv.size) // 2, cv, 1, (240, 240, 240)))
            height = max(height, by + bh + 4)
        x += column + 12
    write('toolbar.png', x, height, cells)

    # Enlarged 8 times (256 pixels as they are), one sheet per picture.
    for name, canvases in drawn:
        cells, x = [], 4
        for cv in canvases:
            zoom = 8 if cv.size <= 48 else 4 if cv.size != cv.height else 1
            cells.append((x, 4, cv, zoom, None))
            x += cv.size * zoom + 8
        write('sheet-%s.png' % name, x, max(c[2].height * c[3] for c in cells) + 8, cells)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--sheet', metavar='DIR', help='also write contact sheets (PNG) into DIR')
    args = parser.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))
    drawn = []
    for name, picture, units, sizes, *height in PICTURES:
        if height:
            canvases = [draw(picture, size, units, round(height[0] * size / units)) for size in sizes]
        else:
            canvases = [draw(picture, size, units) for size in sizes]
        ico(canvases, os.path.join(here, name + '.ico'))
        drawn.append((name, canvases))
    if args.sheet:
        contact_sheets(drawn, args.sheet)


if __name__ == '__main__':
    main()
