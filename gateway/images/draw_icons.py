#!/usr/bin/env python3
"""Draws the program's pictures that the icon theme lacks, in the theme's palette: import and
export, the four row and column icons, the six signal levels, and the program's own icon (an
ICO file of 16 and 32 pixels). Run it from this folder; it writes the files beside it. Standard
library only."""
import struct
import zlib

# The theme's palette.
GREEN, GREEN_DARK = (0x8A, 0xE2, 0x34), (0x4E, 0x9A, 0x06)
RED, RED_DARK = (0xEF, 0x29, 0x29), (0xA4, 0x00, 0x00)
ORANGE, ORANGE_DARK = (0xFC, 0xAF, 0x3E), (0xCE, 0x5C, 0x00)
GREY_LIGHT, GREY, GREY_DARK = (0xEE, 0xEE, 0xEC), (0xBA, 0xBD, 0xB6), (0x88, 0x8A, 0x85)
WHITE = (0xFF, 0xFF, 0xFF)
SIZE = 16


def write_png(path, px):
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in px)

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))

    open(path, 'wb').write(b'\x89PNG\r\n\x1a\n' +
                           chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0)) +
                           chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def blank():
    return [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]


def rect(x0, y0, x1, y1):
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def paint(px, cells, colour):
    for x, y in cells:
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = colour + (255,)


def outlined(px, shape, fill, edge):
    """The shape in `fill` with a one-pixel rim of `edge` around it, as the theme draws."""
    rim = {(x + dx, y + dy) for x, y in shape for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))}
    paint(px, rim - shape, edge)
    paint(px, shape, fill)


def table(px, mark=None, colour=None):
    """A table of a heading and three rows by three columns in the top left; `mark` ('row' or
    'col' with an index) is filled with `colour`."""
    paint(px, rect(0, 0, 12, 12), GREY_DARK)
    paint(px, rect(1, 1, 11, 11), WHITE)
    paint(px, rect(1, 1, 11, 2), GREY)  # the heading
    for x in (4, 8):
        paint(px, rect(x, 1, x, 11), GREY)
    for y in (3, 6, 9):
        paint(px, rect(1, y, 11, y), GREY)
    if not mark:
        return
    kind, index = mark
    if kind == 'row':
        y0 = (4, 7, 10)[index]
        paint(px, rect(1, y0, 11, y0 + 1), colour)
    else:
        x0 = (1, 5, 9)[index]
        paint(px, rect(x0, 4, x0 + 2, 11), colour)


def plus(px):
    outlined(px, rect(11, 9, 12, 14) | rect(9, 11, 14, 12), GREEN, GREEN_DARK)


def minus(px):
    outlined(px, rect(9, 11, 14, 12), RED, RED_DARK)


def arrow(px, down):
    """A green arrow in the bottom right corner, pointing into the table or out of it."""
    shape = rect(11, 7, 12, 10) if down else rect(11, 11, 12, 14)
    for i in range(4):  # the head's rows, widest first
        y = 11 + i if down else 10 - i
        shape |= rect(8 + i, y, 15 - i, y)
    outlined(px, shape, GREEN, GREEN_DARK)


def signal(level):
    """Five bars of growing height; `level` of them filled, red at 1, orange at 2, green above."""
    px = blank()
    fill, edge = {1: (RED, RED_DARK), 2: (ORANGE, ORANGE_DARK)}.get(level, (GREEN, GREEN_DARK))
    for i in range(5):
        x, height = 1 + 3 * i, 3 + 2 * i
        bar = rect(x, 14 - height + 1, x + 1, 14)
        if i < level:
            outlined(px, bar - rect(x, 14, x + 1, 14), fill, edge)
            paint(px, rect(x - 1, 15, x + 2, 15), edge)
        else:
            outlined(px, bar - rect(x, 14, x + 1, 14), GREY_LIGHT, GREY)
            paint(px, rect(x - 1, 15, x + 2, 15), GREY)
    return px


def program_icon(size):
    """An envelope with the signal bars over its top right corner, drawn on a grid of 16 scaled
    to `size`; the rims stay one pixel wide."""
    k = size // 16
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def put(cells, colour):
        for x, y in cells:
            if 0 <= x < size and 0 <= y < size:
                px[y][x] = colour + (255,)

    def box(x0, y0, x1, y1, fill, edge):
        """Grid cells x0..x1, y0..y1 filled, with a one-pixel rim."""
        inner = rect(x0 * k, y0 * k, (x1 + 1) * k - 1, (y1 + 1) * k - 1)
        rim = inner - rect(x0 * k + 1, y0 * k + 1, (x1 + 1) * k - 2, (y1 + 1) * k - 2)
        put(inner, fill)
        put(rim, edge)

    box(0, 5, 12, 15, WHITE, GREY_DARK)
    # The flap: two lines from the top corners meeting in the middle.
    left, right, top = 1, 12 * k + k - 2, 5 * k + 1
    depth = (right - left) // 2
    for i in range(depth + 1):
        put({(left + i, top + i * 5 * k // depth), (right - i, top + i * 5 * k // depth)}, GREY)
    for i, height in enumerate((3, 5, 7)):  # the signal bars, solid at 16 pixels
        x = 8 + 3 * i
        box(x, 8 - height, x + 1, 8, GREEN, GREEN_DARK)
    return px


def write_ico(path, images):
    """A 32-bit ICO file of square RGBA images, each stored as a bitmap with its AND mask."""
    entries, bodies = b'', b''
    offset = 6 + 16 * len(images)
    for px in images:
        n = len(px)
        colour = b''.join(bytes((b, g, r, a)) for row in reversed(px) for r, g, b, a in row)
        stride = (n + 31) // 32 * 4
        mask = b''
        for row in reversed(px):
            bits = 0
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits |= 1 << (stride * 8 - 1 - x)
            mask += bits.to_bytes(stride, 'big')
        header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(colour) + len(mask),
                             0, 0, 0, 0)
        body = header + colour + mask
        entries += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(body), offset)
        bodies += body
        offset += len(body)
    open(path, 'wb').write(struct.pack('<HHH', 0, 1, len(images)) + entries + bodies)


def main():
    for name, mark, colour, badge in (('add_row', ('row', 2), GREEN, plus),
                                      ('delete_row', ('row', 1), RED, minus),
                                      ('add_column', ('col', 2), GREEN, plus),
                                      ('delete_column', ('col', 1), RED, minus)):
        px = blank()
        table(px, mark, colour)
        badge(px)
        write_png(name + '.png', px)
    for name, down in (('import', True), ('export', False)):
        px = blank()
        table(px)
        arrow(px, down)
        write_png(name + '.png', px)
    for level in range(6):
        write_png('signal_%d.png' % level, signal(level))
    write_ico('program.ico', [program_icon(16), program_icon(32)])


if __name__ == '__main__':
    main()
