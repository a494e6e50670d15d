#!/usr/bin/env python3
"""Draws the toolkit's system images (window buttons, button skins, borders, progress
bar, message-box icons) as PNG strips of equal frames. Run from anywhere; writes the
PNGs next to this script. Only the standard library is used."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling per axis


def hexrgb(text, alpha=255):
    text = text.lstrip('#')
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def shape(self, inside, color, x0=0, y0=0, x1=None, y1=None):
        """Composites `color` where inside(x, y) holds, anti-aliased by supersampling."""
        x1 = self.w if x1 is None else x1
        y1 = self.h if y1 is None else y1
        r, g, b, a = color
        for y in range(max(y0, 0), min(y1, self.h)):
            for x in range(max(x0, 0), min(x1, self.w)):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if not hits:
                    continue
                cover = hits / (SS * SS) * a / 255.0
                p = self.px[y * self.w + x]
                out_a = cover + p[3] * (1 - cover)
                for i, c in enumerate((r, g, b)):
                    p[i] = (c * cover + p[i] * p[3] * (1 - cover)) / out_a if out_a else 0
                p[3] = out_a

    def save(self, name):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)
            for x in range(self.w):
                p = self.px[y * self.w + x]
                raw += bytes((round(p[0]), round(p[1]), round(p[2]), round(p[3] * 255)))

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)

        png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b'')
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(png)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def round_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def segment(ax, ay, bx, by, half_width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2
    return inside


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def frame_outline(x0, y0, x1, y1, width=1.0):
    outer = rect(x0, y0, x1, y1)
    inner = rect(x0 + width, y0 + width, x1 - width, y1 - width)
    return lambda x, y: outer(x, y) and not inner(x, y)


def caption_button(name, glyph, close=False):
    fw, fh = 31, 24
    c = Canvas(fw * 4, fh)
    backs = [None, hexrgb('#E81123') if close else hexrgb('#E5E5E5'),
             hexrgb('#F1707A') if close else hexrgb('#CCCCCC'), None]
    inks = [hexrgb('#555555'), hexrgb('#FFFFFF') if close else hexrgb('#222222'),
            hexrgb('#FFFFFF') if close else hexrgb('#222222'), hexrgb('#BBBBBB')]
    for i in range(4):
        ox = i * fw
        if backs[i]:
            c.shape(rect(ox, 0, ox + fw, fh), backs[i], ox, 0, ox + fw, fh)
        cx, cy = ox + fw / 2, fh / 2
        for part in glyph(cx, cy):
            c.shape(part, inks[i], ox, 0, ox + fw, fh)
    c.save(name)


def glyph_close(cx, cy):
    return [segment(cx - 5, cy - 5, cx + 5, cy + 5, 0.7), segment(cx - 5, cy + 5, cx + 5, cy - 5, 0.7)]


def glyph_min(cx, cy):
    return [rect(cx - 5, cy, cx + 5, cy + 1)]


def glyph_max(cx, cy):
    return [frame_outline(cx - 5, cy - 5, cx + 5, cy + 5)]


def glyph_restore(cx, cy):
    back = frame_outline(cx - 3, cy - 6, cx + 6, cy + 3)
    front_box = rect(cx - 6, cy - 3, cx + 3, cy + 6)
    front = frame_outline(cx - 6, cy - 3, cx + 3, cy + 6)
    return [lambda x, y: back(x, y) and not front_box(x, y), front]


def button_skin(name, colours):
    fw, fh = 40, 26
    c = Canvas(fw * 4, fh)
    for i, colour in enumerate(colours):
        ox = i * fw
        c.shape(round_rect(ox + 0.5, 0.5, ox + fw - 0.5, fh - 0.5, 3), hexrgb(colour), ox, 0, ox + fw, fh)
    c.save(name)


def drop_button():
    fw = fh = 22
    c = Canvas(fw * 4, fh)
    for i, back in enumerate([None, '#E5E5E5', '#CCCCCC', None]):
        ox = i * fw
        if back:
            c.shape(round_rect(ox + 1, 1, ox + fw - 1, fh - 1, 2), hexrgb(back), ox, 0, ox + fw, fh)
        ink = hexrgb('#BBBBBB' if i == 3 else '#666666')
        cx, cy = ox + fw / 2, fh / 2

        def tri(x, y, cx=cx, cy=cy):
            return cy - 2 <= y <= cy + 2.5 and abs(x - cx) <= (cy + 2.5 - y) * 1.1
        c.shape(tri, ink, ox, 0, ox + fw, fh)
    c.save('sys_dropbtn.png')


def bordered(name, border, fill=None):
    c = Canvas(20, 20)
    if fill:
        c.shape(rect(0, 0, 20, 20), hexrgb(fill))
    c.shape(frame_outline(0, 0, 20, 20), hexrgb(border))
    c.save(name)


def progress():
    c = Canvas(40, 12)
    c.shape(rect(0, 0, 20, 12), hexrgb('#EEEEEE'), 0, 0, 20, 12)
    c.shape(frame_outline(0, 0, 20, 12), hexrgb('#CCCCCC'), 0, 0, 20, 12)
    c.shape(rect(20, 0, 40, 12), hexrgb('#5BA3EB'), 20, 0, 40, 12)
    c.shape(rect(20, 0, 40, 6), hexrgb('#FFFFFF', 60), 20, 0, 40, 12)
    c.save('sys_progress.png')


# 5 x 7 glyphs for the message-box icons, drawn 3 times as large.
GLYPHS = {
    'i': ['..#..', '.....', '.##..', '..#..', '..#..', '..#..', '.###.'],
    '?': ['.###.', '#...#', '....#', '..##.', '..#..', '.....', '..#..'],
    '!': ['..#..', '..#..', '..#..', '..#..', '..#..', '.....', '..#..'],
}


def glyph_cells(ox, oy, pattern, scale=3):
    cells = []
    for row, line in enumerate(pattern):
        for col, ch in enumerate(line):
            if ch == '#':
                cells.append(rect(ox + col * scale, oy + row * scale, ox + (col + 1) * scale, oy + (row + 1) * scale))
    return lambda x, y: any(cell(x, y) for cell in cells)


def message_icons():
    size = 32
    c = Canvas(size * 4, size)
    white = hexrgb('#FFFFFF')
    # 0 information, 1 question, 2 warning, 3 error
    c.shape(circle(16, 16, 14.5), hexrgb('#1E78D5'), 0, 0, 32, 32)
    c.shape(glyph_cells(16 - 7.5, 16 - 10.5, GLYPHS['i']), white, 0, 0, 32, 32)
    c.shape(circle(48, 16, 14.5), hexrgb('#1E78D5'), 32, 0, 64, 32)
    c.shape(glyph_cells(48 - 7.5, 16 - 10.5, GLYPHS['?']), white, 32, 0, 64, 32)

    def triangle(x, y):
        if not (3 <= y <= 29):
            return False
        half = (y - 3) / 26 * 14.5
        return abs(x - 80) <= half
    c.shape(triangle, hexrgb('#F5B400'), 64, 0, 96, 32)
    c.shape(glyph_cells(80 - 7.5, 9, GLYPHS['!']), hexrgb('#333333'), 64, 0, 96, 32)
    c.shape(circle(112, 16, 14.5), hexrgb('#D71D2B'), 96, 0, 128, 32)
    c.shape(segment(106, 10, 118, 22, 1.6), white, 96, 0, 128, 32)
    c.shape(segment(106, 22, 118, 10, 1.6), white, 96, 0, 128, 32)
    c.save('sys_msgbox_icon.png')


if __name__ == '__main__':
    caption_button('sys_btn_close.png', glyph_close, close=True)
    caption_button('sys_btn_minimize.png', glyph_min)
    caption_button('sys_btn_maximize.png', glyph_max)
    caption_button('sys_btn_restore.png', glyph_restore)
    button_skin('sys_btn_red.png', ['#D71D2B', '#E23A46', '#B51724', '#E8A0A6'])
    button_skin('sys_btn_green.png', ['#2DA94F', '#3CBF60', '#23883F', '#9ED7AE'])
    button_skin('sys_btn_def.png', ['#1E78D5', '#3A8CE0', '#1763B3', '#9DC3EC'])
    drop_button()
    bordered('sys_border.png', '#CCCCCC')
    bordered('sys_wnd_bkgnd.png', '#AAAAAA', '#FFFFFF')
    progress()
    message_icons()
