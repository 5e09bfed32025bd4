#!/usr/bin/env python3
"""Draws the program icon and the tool button pictures as .ico files (32-bit, alpha).

Run it after changing a picture; the .ico files are committed. Needs only Python 3.
"""
import struct


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def set(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c if len(c) == 4 else c + (255,)

    def rect(self, x0, y0, x1, y1, c):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c):
        for y in range(self.size):
            for x in range(self.size):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def pattern(self, x0, y0, rows, c):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == '#':
                    self.set(x0 + dx, y0 + dy, c)


OUTLINE = (64, 64, 64)
WHITE = (255, 255, 255)
BLUE = (30, 90, 180)
DARKBLUE = (20, 50, 110)
GREEN = (30, 150, 60)
BROWN = (150, 100, 50)
GRAY = (150, 150, 150)
BLACK = (20, 20, 20)


def sheet():
    c = Canvas(16)
    c.rect(3, 1, 12, 14, WHITE)
    c.frame(3, 1, 12, 14, OUTLINE)
    # folded corner
    c.rect(10, 1, 12, 3, (0, 0, 0, 0))
    c.line(9, 1, 12, 4, OUTLINE)
    c.line(9, 1, 9, 4, OUTLINE)
    c.line(9, 4, 12, 4, OUTLINE)
    return c


def floppy():
    c = Canvas(16)
    c.rect(1, 1, 14, 14, BLUE)
    c.frame(1, 1, 14, 14, DARKBLUE)
    c.rect(4, 2, 11, 6, WHITE)          # label
    c.line(5, 3, 10, 3, GRAY)
    c.line(5, 5, 10, 5, GRAY)
    c.rect(4, 9, 11, 14, (200, 200, 200))  # shutter
    c.rect(8, 10, 9, 13, DARKBLUE)
    return c


def clipboard():
    c = Canvas(16)
    c.rect(2, 2, 11, 15, BROWN)
    c.rect(3, 4, 10, 14, WHITE)
    c.rect(5, 1, 8, 3, GRAY)
    c.frame(5, 1, 8, 3, OUTLINE)
    for y in (6, 8, 10):
        c.line(4, y, 8, y, GRAY)
    # arrow to the right
    c.rect(9, 10, 12, 11, GREEN)
    c.pattern(12, 7, ["#", "##", "###", "####", "###", "##", "#"], GREEN)
    return c


def separator():
    c = Canvas(18)
    c.rect(1, 8, 16, 9, OUTLINE)
    c.line(1, 10, 16, 10, GRAY)
    return c


LETTER_A_LARGE = [
    "...##...",
    "...##...",
    "..####..",
    "..#..#..",
    ".##..##.",
    ".######.",
    "##....##",
    "##....##",
    "##....##",
]
LETTER_A_SMALL = [
    "..#..",
    ".#.#.",
    "#...#",
    "#####",
    "#...#",
    "#...#",
]


def inc_font():
    c = Canvas(16)
    c.pattern(0, 6, LETTER_A_LARGE, BLACK)
    c.pattern(9, 1, ["...#...", "..###..", ".#####.", "#######"], GREEN)
    return c


def dec_font():
    c = Canvas(16)
    c.pattern(1, 9, LETTER_A_SMALL, BLACK)
    c.pattern(8, 2, ["#######", ".#####.", "..###..", "...#..."], (200, 40, 40))
    return c


def info():
    c = Canvas(16)
    c.disc(8, 8, 7.5, BLUE)
    c.rect(7, 3, 8, 4, WHITE)
    c.rect(7, 6, 8, 12, WHITE)
    c.line(6, 6, 7, 6, WHITE)
    c.line(6, 12, 9, 12, WHITE)
    return c


def program_icon(size):
    c = Canvas(size)
    s = size / 16.0
    edge = max(1, round(s))
    c.rect(0, round(1 * s), size - 1, size - 1 - round(1 * s), (25, 35, 45))
    c.frame(0, round(1 * s), size - 1, size - 1 - round(1 * s), (90, 110, 130))
    # log lines of different lengths
    for i, length in enumerate((9, 6, 11, 7)):
        y = round((4 + i * 2.5) * s)
        c.rect(round(2 * s), y, round((2 + length) * s), y + edge - 1, (90, 220, 120))
    # incoming datagram: an arrow at the right edge
    y = round(11.5 * s)
    c.rect(round(10 * s), y, round(13 * s), y + edge - 1, (250, 200, 60))
    for k in range(round(3 * s)):
        c.line(round(13 * s) - k, y - k, round(13 * s) - k, y + edge - 1 + k, (250, 200, 60))
    return c


def ico(canvases, path):
    images = []
    for cv in canvases:
        n = cv.size
        rows = b''
        for y in range(n - 1, -1, -1):  # bottom-up
            for x in range(n):
                r, g, b, a = cv.px[y][x]
                rows += bytes((b, g, r, a))
        mask_row = ((n + 31) // 32) * 4
        mask = b''
        for y in range(n - 1, -1, -1):
            row = bytearray(mask_row)
            for x in range(n):
                if cv.px[y][x][3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(row)
        header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
        images.append((n, header + rows + mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in images:
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    ico([program_icon(16), program_icon(32), program_icon(48)], os.path.join(here, 'Tavrino.ico'))
    for name, draw in (('Clear', sheet), ('Save', floppy), ('Copy', clipboard), ('Separator', separator),
                       ('IncFontSize', inc_font), ('DecFontSize', dec_font), ('Info', info)):
        ico([draw()], os.path.join(here, name + '.ico'))
