#!/usr/bin/env python3
"""Draws the pictures of the internal skin "Topaz" and writes its options text.

Run it after changing the look; it rewrites skin/topaz/topaz/* and skin/topaz/resources/*.png,
which are committed. Everything is computed here: no picture comes from elsewhere.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)  # holes

# The look: light neutral surfaces, near-black text, one accent.
SURFACE = (0xF4, 0xF5, 0xF7)
WINDOW = (0xFF, 0xFF, 0xFF)
TEXT = (0x16, 0x18, 0x1C)
ACCENT = (0x1A, 0x4C, 0x99)
ACCENT_TEXT = (0xFE, 0xFE, 0xFE)  # white; pure white would read as "no colour"
HOT = (0xE3, 0xEB, 0xF7)
PRESSED = (0xC9, 0xD8, 0xEE)
FRAME = (0x70, 0x77, 0x80)
FRAME_HOT = ACCENT
BAR = (0xE6, 0xE8, 0xEC)
INACTIVE_TEXT = (0x7A, 0x7E, 0x86)  # an inactive window's caption


def tcolor(rgb):
    """A skin colour value: red in the low byte."""
    r, g, b = rgb
    return r | g << 8 | b << 16


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(y0, 0), min(y1, self.h)):
            for x in range(max(x0, 0), min(x1, self.w)):
                self.px[y][x] = c

    def frame(self, x0, y0, x1, y1, c, width=1):
        self.rect(x0, y0, x1, y0 + width, c)
        self.rect(x0, y1 - width, x1, y1, c)
        self.rect(x0, y0, x0 + width, y1, c)
        self.rect(x1 - width, y0, x1, y1, c)

    def line(self, x0, y0, x1, y1, c, width=2):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i // steps
            y = y0 + (y1 - y0) * i // steps
            self.rect(x, y, x + width, y + width, c)

    def bmp24(self):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r))
            data += line + bytes(row - len(line))
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835,
                           0, 0)
        return header + info + bytes(data)


def png32(w, h, pixel):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw += bytes(pixel(x, y))
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    ihdr = struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def soft(w, h, rgb, margin, peak):
    """A glow or shadow: alpha rises towards an inner rectangle `margin` pixels in."""
    def pixel(x, y):
        dx = max(margin - x, x - (w - 1 - margin), 0)
        dy = max(margin - y, y - (h - 1 - margin), 0)
        d = (dx * dx + dy * dy) ** 0.5
        a = 0 if d >= margin else int(peak * (1 - d / margin) ** 2)
        return (*rgb, a)
    return pixel


def ring(w, h, rgb, edge, peak, inner=2):
    """A halo: alpha peaks on the rectangle `edge` pixels in, where the control's edge lies, and
    fades to nothing at the picture's edge outside and `inner` pixels inside; the centre, over
    the control, stays clear."""
    def pixel(x, y):
        dx = max(edge - x, x - (w - 1 - edge), 0)
        dy = max(edge - y, y - (h - 1 - edge), 0)
        if dx or dy:
            d = (dx * dx + dy * dy) ** 0.5
            a = 0 if d >= edge else int(peak * (1 - d / edge))
        else:
            inside = min(x - edge, w - 1 - edge - x, y - edge, h - 1 - edge - y)
            a = int(peak * max(0.0, 1 - (inside + 1) / (inner + 1)))
        return (*rgb, a)
    return pixel


def field(v):
    return '%04d' % v


def border(x, y, w, h, widths, count, stretch=0):
    """A border mask cut from the master bitmap: `count` states of w x h side by side.
    `widths` is one width for all sides or (left, top, right, bottom); the borders hold the
    drawn rings exactly, since their pieces are copied key colour and all."""
    sides = widths if isinstance(widths, tuple) else (widths,) * 4
    return '^' + '^'.join([field(x), field(y), field(x + w * count), field(y + h)] +
                          [field(v) for v in sides] + [str(count), '0', str(stretch), '0'])


def glyph(x, y, w, h, count):
    return '@' + '@'.join([field(x), field(y), field(x + w * count), field(y + h), str(count),
                           '0'])


def texture(x, y, w, h):
    return '~' + '~'.join([field(x), field(y), field(x + w), field(y + h), '00'])


master = Canvas(512, 96, KEY)
values = {}
x_at = 0


def states(w, h, row_y, painter, count=3):
    """Draws `count` states of w x h at the next free place of the row; answers their x."""
    global x_at
    x = x_at
    for s in range(count):
        painter(x + s * w, row_y, w, h, s)
    x_at += w * count
    return x


# Row 0: frames of 12 x 12, three states (normal, hot, pressed).
def frame_painter(fill_centre):
    def paint(x, y, w, h, s):
        colour = (FRAME, FRAME_HOT, FRAME_HOT)[s]
        master.frame(x, y, x + w, y + h, colour)
        inner = (SURFACE, HOT, PRESSED)[s]
        if fill_centre:
            master.frame(x + 1, y + 1, x + w - 1, y + h - 1, inner)
    return paint


x_at = 0
values['FRAME'] = border(states(12, 12, 0, frame_painter(True)), 0, 12, 12, 2, 3)
values['EDITFRAME'] = border(states(12, 12, 0, frame_painter(False)), 0, 12, 12, 1, 3)
values['FLATFRAME'] = border(states(12, 12, 0, frame_painter(True)), 0, 12, 12, 2, 3, 2)


def tab_painter(x, y, w, h, s):
    master.frame(x, y, x + w, y + h, FRAME if s == 0 else FRAME_HOT)
    master.rect(x + 1, y + 1, x + w - 1, y + 3, (BAR, HOT, ACCENT)[s])


values['TABFRAME'] = border(states(12, 12, 0, tab_painter), 0, 12, 12, (1, 3, 1, 1), 3)


def scroll_painter(x, y, w, h, s):
    master.frame(x, y, x + w, y + h, (FRAME, FRAME_HOT, FRAME_HOT)[s])
    master.rect(x + 1, y + 1, x + w - 1, y + h - 1, (BAR, HOT, PRESSED)[s])


values['SCROLLFRAME'] = border(states(12, 12, 0, scroll_painter), 0, 12, 12, 2, 3)

# Row 16: check boxes, radio buttons and the small checks, 16 x 16, three states.
CHECKS = ['BOXCHECKED', 'BOXUNCHECKED', 'BOXGRAYED', 'RADIOCHECKED', 'RADIOUNCHECKED',
          'RADIOGRAYED']


def tick(x, y, size, colour):
    # A check mark: down to the lower third, then up to the top right.
    a, b = size // 4, size * 3 // 4
    master.line(x + a - 1, y + size // 2 - 1, x + size // 2 - 2, y + b - 2, colour)
    master.line(x + size // 2 - 2, y + b - 2, x + b, y + a - 1, colour)


def box_painter(kind):
    def paint(x, y, w, h, s):
        radio = kind.startswith('RADIO')
        edge = (FRAME, ACCENT, ACCENT)[s]
        # Geometry from the box's own size: the small check-list boxes are 12 x 12.
        far = w - 2  # the last row and column of the box's edge
        mid = (w - 1) / 2
        outer, inner = (w / 2 - 1) ** 2, (w / 2 - 2) ** 2
        for yy in range(h):
            for xx in range(w):
                cx, cy = xx - mid, yy - mid
                d = cx * cx + cy * cy
                inside = (d <= outer) if radio else (1 <= xx <= far and 1 <= yy <= far)
                ring = (d >= inner) if radio else (xx in (1, far) or yy in (1, far))
                if not inside:
                    continue
                master.px[y + yy][x + xx] = edge if ring else (WINDOW, HOT, PRESSED)[s]
        q = w * 5 // 16  # the dot's and the grey square's inset
        if kind.endswith('CHECKED') and not kind.endswith('UNCHECKED'):
            if radio:
                for yy in range(q, w - q):
                    for xx in range(q, w - q):
                        if (xx - mid) ** 2 + (yy - mid) ** 2 <= 7 * (w / 16) ** 2:
                            master.px[y + yy][x + xx] = ACCENT
            else:
                tick(x, y, w, ACCENT)
        if kind.endswith('GRAYED'):
            master.rect(x + q, y + q, x + w - q, y + w - q, FRAME)
    return paint


x_at = 0
for name in CHECKS:
    values[name] = glyph(states(16, 16, 16, box_painter(name)), 16, 16, 16, 3)
for name in ['SMALLCHECKED', 'SMALLUNCHECKED', 'SMALLGRAYED']:
    values[name] = glyph(states(12, 12, 16, box_painter('BOX' + name[5:])), 16, 12, 12, 3)

# Row 36: title-bar icons, 16 x 16, three states; small ones 12 x 12.
def icon_painter(shape, size):
    def paint(x, y, w, h, s):
        back = (KEY, HOT, PRESSED)[s]
        if shape == 'CLOSE' and s:
            back = ((0xC4, 0x2B, 0x1C), (0x9E, 0x1F, 0x12))[s - 1]
        master.rect(x, y, x + w, y + h, back)
        ink = ACCENT_TEXT if shape == 'CLOSE' and s else TEXT
        m = size // 4
        if shape == 'CLOSE':
            for i in range(m, size - m):
                master.rect(x + i, y + i, x + i + 1, y + i + 2, ink)
                master.rect(x + size - 1 - i, y + i, x + size - i, y + i + 2, ink)
        elif shape == 'MAX':
            master.frame(x + m, y + m, x + size - m, y + size - m, ink)
            master.rect(x + m, y + m, x + size - m, y + m + 2, ink)
        elif shape == 'MIN':
            master.rect(x + m, y + size - m - 2, x + size - m, y + size - m, ink)
        elif shape == 'NORM':
            master.frame(x + m + 2, y + m, x + size - m, y + size - m - 2, ink)
            master.frame(x + m, y + m + 2, x + size - m - 2, y + size - m, ink)
        elif shape == 'HELP':
            c = size // 2
            master.rect(c - 1 + x, y + size - m - 2, c + 1 + x, y + size - m, ink)  # the dot
            master.rect(x + c - 1, y + c, x + c + 1, y + size - m - 3, ink)  # the stem
            master.rect(x + m, y + m - 1, x + size - m, y + m + 1, ink)  # the hook
            master.rect(x + size - m - 2, y + m - 1, x + size - m, y + c, ink)
            master.rect(x + c - 1, y + c - 1, x + size - m, y + c + 1, ink)
    return paint


x_at = 0
for shape in ['CLOSE', 'MAX', 'MIN', 'NORM', 'HELP']:
    values['BICON' + shape] = glyph(states(16, 16, 36, icon_painter(shape, 16)), 36, 16, 16, 3)
values['BICLOSEALONE'] = values['BICONCLOSE']
for shape in ['CLOSE', 'MAX', 'MIN', 'NORM', 'HELP']:
    values['SICON' + shape] = glyph(states(12, 12, 36, icon_painter(shape, 12)), 36, 12, 12, 3)

# Row 56: small glyphs (arrows, grip, check mark), 12 x 12.
def arrow_painter(direction):
    def paint(x, y, w, h, s):
        ink = (TEXT, ACCENT, ACCENT)[s]
        for i in range(4):
            a, b = 6 - i - 1, 6 + i
            if direction == 'DOWN':
                master.rect(x + a, y + 4 + (3 - i), x + b, y + 5 + (3 - i), ink)
            elif direction == 'UP':
                master.rect(x + a, y + 4 + i, x + b, y + 5 + i, ink)
            elif direction == 'RIGHT':
                master.rect(x + 4 + (3 - i), y + a, x + 5 + (3 - i), y + b, ink)
            else:
                master.rect(x + 4 + i, y + a, x + 5 + i, y + b, ink)
    return paint


x_at = 0
for d in ['UP', 'DOWN', 'LEFT', 'RIGHT']:
    values['ARROW' + d] = glyph(states(12, 12, 56, arrow_painter(d)), 56, 12, 12, 3)


def grip_painter(x, y, w, h, s):
    for i in range(3):
        for j in range(3 - i):
            master.rect(x + 9 - j * 3, y + 9 - i * 3, x + 11 - j * 3, y + 11 - i * 3, FRAME)


values['GRIPIMAGE'] = glyph(states(12, 12, 56, grip_painter, 1), 56, 12, 12, 1)


def check_painter(x, y, w, h, s):
    tick(x, y, w, TEXT)


values['CHECK'] = glyph(states(12, 12, 56, check_painter, 1), 56, 12, 12, 1)

# Row 72: textures of 16 x 16: a fine stripe for bars, the scroll track, the progress fill.
def stripes(x, y, a, b):
    for yy in range(16):
        master.rect(x, y + yy, x + 16, y + yy + 1, a if yy % 4 else b)


x_at = 0
stripes(0, 72, BAR, (0xDD, 0xE0, 0xE5))
values['BARTEXTURE'] = texture(0, 72, 16, 16)
master.rect(16, 72, 32, 88, (0xEC, 0xEE, 0xF1))
values['TRACK'] = texture(16, 72, 16, 16)
master.rect(32, 72, 48, 88, HOT)
values['TRACKHOT'] = texture(32, 72, 16, 16)
master.rect(48, 72, 64, 88, ACCENT)
values['PROGRESSFILL'] = texture(48, 72, 16, 16)

# The corner image of forms: a small accent notch, own picture.
corner = Canvas(8, 8, KEY)
corner.rect(0, 0, 8, 2, ACCENT)
corner.rect(0, 0, 2, 8, ACCENT)

# The group box frame as its own picture, its mask half below (black: keep, white: hole).
GROUP_W, GROUP_H = 12, 12
groups = Canvas(GROUP_W * 3, GROUP_H * 2, (0, 0, 0))
for s in range(3):
    x = s * GROUP_W
    groups.rect(x, 0, x + GROUP_W, GROUP_H, KEY)
    groups.frame(x, 0, x + GROUP_W, GROUP_H, (FRAME, FRAME_HOT, FRAME_HOT)[s])
    groups.rect(x + 1, GROUP_H + 1, x + GROUP_W - 1, 2 * GROUP_H - 1, (255, 255, 255))

TEXT_KEYS = {}


def colours(color, font, hot, hotfont, transparency=0, hottransparency=None):
    return {'COLOR': tcolor(color), 'FONTCOLOR': tcolor(font), 'HOTCOLOR': tcolor(hot),
            'HOTFONTCOLOR': tcolor(hotfont), 'TRANSPARENCY': transparency,
            'HOTTRANSPARENCY': transparency if hottransparency is None else hottransparency}


plain = colours(SURFACE, TEXT, SURFACE, TEXT)
button = colours(SURFACE, TEXT, HOT, TEXT)
accent = colours(SURFACE, TEXT, ACCENT, ACCENT_TEXT)
filled = colours(ACCENT, ACCENT_TEXT, ACCENT, ACCENT_TEXT)
window = colours(WINDOW, TEXT, WINDOW, TEXT)
clear = colours(SURFACE, TEXT, SURFACE, TEXT, 100)

GRADIENT = '%d;%d;100;0;0' % (tcolor((0xFA, 0xFB, 0xFC)), tcolor((0xE9, 0xEC, 0xF0)))

sections = [
    ('FORM', plain, {'BORDERSMASK': values['FRAME'], 'TITLEBAR': 'FORMTITLE',
                     'IMGTOPLEFT': '!CORNER.BMP!1!0!2'}),
    ('FORMTITLE', plain, {'GRADIENTPERCENT': 100, 'GRADIENTDATA': GRADIENT,
                          'HOTGRADIENTPERCENT': 100, 'HOTGRADIENTDATA': GRADIENT}),
    ('DIALOG', plain, {'BORDERSMASK': values['FRAME']}),
    # The caption's plate lets the title's gradient through: text, not a box.
    # Its normal state is an inactive window's caption, its hot state an active one's.
    ('CAPTION', colours(SURFACE, INACTIVE_TEXT, SURFACE, TEXT, 100), {}),
    ('MAINMENU', plain, {}),
    ('MENUITEM', accent, {}),
    ('MENULINE', plain, {}),
    ('ICOLINE', colours(BAR, TEXT, BAR, TEXT), {}),
    ('HINT', colours((0xFF, 0xFD, 0xE8), TEXT, (0xFF, 0xFD, 0xE8), TEXT),
     {'BORDERSMASK': values['EDITFRAME']}),
    # The calendar's step buttons: flat, the title showing through until the mouse comes.
    ('WEBBUTTON', colours(SURFACE, TEXT, HOT, TEXT, 100, 0),
     {'BORDERSMASK': values['FLATFRAME']}),
    # The buttons and the check box fade between their looks (the reader takes TRUE for on).
    ('BUTTON', button, {'BORDERSMASK': values['FRAME'], 'GLOW': 1, 'GLOWMARGIN': 6,
                        'GLOW0': '!BTNGLOW.PNG!1!0!3', 'FADINGENABLED': 'TRUE'}),
    ('SPEEDBUTTON', button, {'BORDERSMASK': values['FLATFRAME'],
                             'GLOW0': '!SPDGLOW.PNG!1!0!3', 'FADINGENABLED': 'TRUE'}),
    ('SPEEDBUTTON_SMALL', button, {'BORDERSMASK': values['FLATFRAME'], 'FADINGENABLED': 'TRUE'}),
    # Flat: the bar shows through a tool button until the mouse comes.
    ('TOOLBUTTON', colours(SURFACE, TEXT, HOT, TEXT, 100, 0), {'BORDERSMASK': values['FLATFRAME'],
                                                              'FADINGENABLED': 'TRUE'}),
    ('UPDOWNBTN', button, {'BORDERSMASK': values['SCROLLFRAME']}),
    ('COLHEADER', button, {'BORDERSMASK': values['SCROLLFRAME'], 'GRADIENTPERCENT': 100,
                           'GRADIENTDATA': GRADIENT}),
    ('EDIT', window, {'BORDERSMASK': values['EDITFRAME']}),
    ('COMBOBOX', window, {'BORDERSMASK': values['EDITFRAME'],
                          'GLYPHMASK': values['ARROWDOWN']}),
    ('COMBOBTN', button, {'BORDERSMASK': values['SCROLLFRAME'], 'PATTERN': values['TRACK'],
                          'HOTPATTERN': values['TRACKHOT']}),
    ('CHECKBOX', clear, {'FADINGENABLED': 'TRUE'}),
    ('RADIOBUTTON', clear, {}),
    ('PANEL', plain, {'BORDERSMASK': values['EDITFRAME']}),
    ('PANEL_LOW', colours(BAR, TEXT, BAR, TEXT), {'BORDERSMASK': values['EDITFRAME']}),
    ('GROUPBOX', clear, {'BORDERSMASK': '!GROUP.BMP!3!1!0!0002!0002!0002!0002'}),
    ('BAR', colours(BAR, TEXT, BAR, TEXT), {'PATTERN': values['BARTEXTURE']}),
    ('BARTITLE', plain, {'GRADIENTPERCENT': 100, 'GRADIENTDATA': GRADIENT}),
    ('TOOLBAR', colours(BAR, TEXT, BAR, TEXT), {}),
    ('DRAGBAR', colours(BAR, TEXT, BAR, TEXT), {}),
    ('SPLITTER', colours(BAR, TEXT, HOT, TEXT), {}),
    ('STATUSBAR', colours(BAR, TEXT, BAR, TEXT), {'BORDERSMASK': values['EDITFRAME']}),
    ('DIVIDER', colours(SURFACE, TEXT, SURFACE, TEXT, 40), {}),
    ('GAUGE', window, {'BORDERSMASK': values['EDITFRAME']}),
    # The fill is the accent in every state: in the surface colour it would not show.
    ('PROGRESSH', filled, {'PATTERN': values['PROGRESSFILL']}),
    ('PROGRESSV', filled, {'PATTERN': values['PROGRESSFILL']}),
    ('TRACKBAR', clear, {}),
    ('PAGECONTROL', plain, {'BORDERSMASK': values['EDITFRAME']}),
    ('TABSHEET', plain, {}),
    ('TABTOP', button, {'BORDERSMASK': values['TABFRAME']}),
    ('TABBOTTOM', button, {'BORDERSMASK': values['TABFRAME']}),
    ('TABLEFT', button, {'BORDERSMASK': values['TABFRAME']}),
    ('TABRIGHT', button, {'BORDERSMASK': values['TABFRAME']}),
]
for name, arrow in [('SCROLLBTNTOP', 'UP'), ('SCROLLBTNBOTTOM', 'DOWN'),
                    ('SCROLLBTNLEFT', 'LEFT'), ('SCROLLBTNRIGHT', 'RIGHT')]:
    sections.append((name, button, {'BORDERSMASK': values['SCROLLFRAME'],
                                    'PATTERN': values['TRACK'], 'HOTPATTERN': values['TRACKHOT'],
                                    'GLYPHMASK': values['ARROW' + arrow]}))
for name in ['SCROLLSLIDERH', 'SCROLLSLIDERV']:
    sections.append((name, button, {'BORDERSMASK': values['SCROLLFRAME'],
                                    'PATTERN': values['TRACK'], 'HOTPATTERN': values['TRACKHOT'],
                                    'GLYPHMASK': values['GRIPIMAGE']}))
for name in ['SCROLLBAR1H', 'SCROLLBAR1V', 'SCROLLBAR2H', 'SCROLLBAR2V']:
    sections.append((name, colours(BAR, TEXT, BAR, TEXT),
                     {'BORDERSMASK': values['EDITFRAME'], 'PATTERN': values['TRACK'],
                      'HOTPATTERN': values['TRACKHOT']}))

GLOBAL = [
    ('MASTERBITMAP', 'MASTER.BMP'), ('VERSION', '6.5'), ('AUTHOR', 'Tessary'),
    ('DESCRIPTION', 'Calm, light and clear'), ('BORDERWIDTH', 4), ('TITLEHEIGHT', 24),
    ('MAXHEIGHT', 22), ('FORMOFFSET', 0), ('CENTEROFFSET', 0), ('BORDERMODE', 0),
    ('SHADOW1COLOR', 0), ('SHADOW1OFFSET', 0), ('SHADOW1BLUR', -1),
    ('SHADOW1TRANSPARENCY', 0), ('BORDERCOLOR', tcolor(FRAME)), ('BISPACE', 2),
    ('BIVALIGN', 0), ('BIRIGHT', 4), ('BILEFT', 4), ('BITOP', 4), ('BIKEEPHUE', 2),
    ('BICONCLOSEGLOW', 1), ('BICONCLOSEGLOWMARGIN', 6), ('BICONMAXGLOW', 1),
    ('BICONMAXGLOWMARGIN', 6), ('BICONMINGLOW', 1), ('BICONMINGLOWMARGIN', 6),
    ('COLOR', tcolor(SURFACE)), ('FONTCOLOR', tcolor(TEXT)), ('HOTCOLOR', tcolor(ACCENT)),
]
GLOBAL_IMAGES = ['BOXCHECKED', 'BOXUNCHECKED', 'BOXGRAYED', 'RADIOCHECKED', 'RADIOUNCHECKED',
                 'RADIOGRAYED', 'SMALLCHECKED', 'SMALLUNCHECKED', 'SMALLGRAYED', 'CHECK',
                 'GRIPIMAGE', 'BICONCLOSE', 'BICLOSEALONE', 'BICONMAX', 'BICONMIN', 'BICONNORM',
                 'BICONHELP', 'SICONCLOSE', 'SICONMAX', 'SICONMIN', 'SICONNORM', 'SICONHELP']
TITLE_BUTTON = border(0, 0, 12, 12, 2, 3)  # the frame of a plain title button


def options():
    lines = ['; Topaz: the program\'s own skin, written by skin/topaz/make_topaz.py.', '',
             '[GLOBALINFO]']
    lines += ['%s=%s' % kv for kv in GLOBAL]
    lines += ['%s=%s' % (name, values[name]) for name in GLOBAL_IMAGES]
    lines.append('TITLEBUTTON=' + TITLE_BUTTON)
    for shape in ['CLOSE', 'MAX', 'MIN']:
        lines.append('BICON%sGLOW0=!%sGLOW.PNG!1!0!3' % (shape, shape))
    for name, cols, extra in sections:
        lines += ['', '[%s]' % name]
        lines += ['%s=%s' % kv for kv in cols.items()]
        lines += ['%s=%s' % kv for kv in extra.items()]
    return '\r\n'.join(lines) + '\r\n'


def write(path, data):
    with open(os.path.join(HERE, path), 'wb') as f:
        f.write(data)


write('topaz/Options.dat', options().encode('ascii'))
write('topaz/MASTER.BMP', master.bmp24())
write('topaz/CORNER.BMP', corner.bmp24())
write('topaz/GROUP.BMP', groups.bmp24())
accent_rgb = ACCENT
for shape in ['CLOSE', 'MAX', 'MIN']:
    rgb = (0xC4, 0x2B, 0x1C) if shape == 'CLOSE' else accent_rgb
    write('topaz/%sGLOW.PNG' % shape, png32(28, 28, soft(28, 28, rgb, 6, 160)))
# The glow's borders are a third of the picture (10) and GLOWMARGIN (6) of them lie under the
# button: the halo's peak sits 4 pixels in, on the button's edge, and the rest stays clear.
write('topaz/BTNGLOW.PNG', png32(32, 32, ring(32, 32, accent_rgb, 4, 150)))
write('topaz/SPDGLOW.PNG', png32(24, 24, soft(24, 24, accent_rgb, 5, 110)))


def button_glyph(index):
    """The default glyph `index` of the buttons inside edits: three 16 x 16 states side by side
    (normal, hot one shade bluer, pressed one pixel lower and to the right), transparent around:
    0 a folder, 1 an arrow down, 2 a calendar, 3 an ellipsis, 4 a calculator."""
    px = [[None] * 48 for _ in range(16)]
    for s in range(3):
        d = 1 if s == 2 else 0
        ink = (0x00, 0x40, 0x80) if s == 1 else (0, 0, 0)

        def box(l, t, r, b, rgb):
            for y in range(t + d, b + d):
                for x in range(l + d, r + d):
                    px[y][16 * s + x] = rgb
        if index == 0:
            box(2, 3, 7, 5, ink)
            box(2, 5, 14, 13, ink)
            box(3, 6, 13, 12, (0xF0, 0xC0, 0x40))
        elif index == 1:
            for i in range(4):
                box(4 + i, 6 + i, 11 - i, 7 + i, ink)
        elif index == 2:
            box(2, 2, 14, 14, ink)
            box(3, 3, 13, 6, (0xC0, 0x20, 0x20))
            box(3, 6, 13, 13, (0xFF, 0xFF, 0xFF))
            for row in range(3):
                for col in range(4):
                    x = 4 + col * 2 + col // 2
                    box(x, 7 + row * 2, x + 1, 8 + row * 2, ink)
        elif index == 3:
            for i in range(3):
                box(3 + i * 4, 10, 5 + i * 4, 12, ink)
        else:
            box(3, 1, 13, 15, ink)
            box(4, 2, 12, 5, (0xC0, 0xE0, 0xC0))
            for row in range(3):
                for col in range(3):
                    box(4 + col * 3, 6 + row * 3, 6 + col * 3, 8 + row * 3, (0xC0, 0xC0, 0xC0))
    return png32(48, 16, lambda x, y: (*px[y][x], 255) if px[y][x] else (0, 0, 0, 0))


for i, name in enumerate(['SF', 'SR', 'SD', 'SE', 'SC']):
    write('resources/%s.png' % name, button_glyph(i))



def gauge_light(x, y):
    """The light that runs along a gauge's fill: white, brightest in its middle column and row,
    fading to nothing at its ends and edges."""
    w, h = 64, 16
    along = 1 - abs(2 * x / (w - 1) - 1)
    across = 1 - abs(2 * y / (h - 1) - 1)
    return (255, 255, 255, int(150 * along ** 1.5 * (0.4 + 0.6 * across)))


write('resources/ACGL.png', png32(64, 16, gauge_light))
write('resources/acSHDA.png', png32(40, 40, soft(40, 40, (0, 0, 0), 12, 110)))
write('resources/acSHDI.png', png32(40, 40, soft(40, 40, (0, 0, 0), 12, 60)))


HINT_FILL = (0xFF, 0xFD, 0xE8)


def balloon(x, y):
    """The built-in hint balloon, 40 x 40: a rounded body from (3, 3) to (32, 32) whose tail
    points at the top-left corner (the point the hint belongs to), a soft shadow down and right.
    Everything that must not stretch stays within the borders 7 (left, top) and 15 (right,
    bottom); the text goes inside the margins 11, 7, 15, 14."""
    def body(px, py):
        if 3 <= px < 32 and 3 <= py < 32:
            cx = min(max(px, 7), 28)
            cy = min(max(py, 7), 28)
            return (px - cx) ** 2 + (py - cy) ** 2 <= 16
        return False

    def tail(px, py):
        # The triangle (0, 0), (8, 4), (4, 8): right of its two long sides, short of the body.
        return 2 * py >= px and 2 * px >= py and px + py <= 12

    def inside(px, py):
        return body(px, py) or tail(px, py)

    def eroded(px, py):
        return all(inside(px + dx, py + dy) for dx, dy in
                   ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)))

    samples = [(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4)]
    a = sum(inside(sx, sy) for sx, sy in samples) / 16
    e = sum(eroded(sx, sy) for sx, sy in samples) / 16
    shadow = sum(body(sx - 3, sy - 3) for sx, sy in samples) / 16 * 0.28
    out_a = a + shadow * (1 - a)
    if out_a <= 0:
        return (0, 0, 0, 0)
    rgb = [(HINT_FILL[k] * e + FRAME[k] * (a - e)) / a if a > 0 else 0 for k in range(3)]
    rgb = [round(c * a / out_a) for c in rgb]
    return (*rgb, round(out_a * 255))


write('resources/ACHINT.png', png32(40, 40, balloon))
