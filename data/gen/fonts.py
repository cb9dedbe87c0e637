"""The seven bitmap fonts of the shell and the games, rendered from the DejaVu faces.

A font is a folder /graphics/fonts/<name> with up to ten pages. Page n is a strip image
font_<n>.png holding its glyphs side by side (each glyph exactly as wide as its advance, the
key colour around it) and a descriptor font_<n> in big-endian data-stream form:

    int8 count N, then N times: glyph (16-bit length + modified UTF-8), int8 advance

The game places glyph j at the sum of the advances before it, so the strip has no gaps. Glyph 0
of page 0 is the space: the game advances by its width without drawing it. Fonts 0 to 5 are
drawn upper-cased by the game, so they hold capitals only; "small" keeps both cases.
"""

import os
import struct

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import raster

DEJAVU = "/usr/share/fonts/truetype/dejavu"
FOLDER = "/graphics/fonts/"
MAX_PAGES = 10
INK = 0.12  # coverage below this is neither face nor rim

_ASCII = "".join(chr(c) for c in range(0x21, 0x7F))
CAPS = " " + "".join(c for c in _ASCII if not c.islower())
SMALL = " " + _ASCII
DIGITS = " 0123456789-"
# Capitals-only fonts also hold the lower-case umlauts, drawn as capitals: without a UTF-8
# locale the game upper-cases ASCII only, and the text must still find its letters. The sharp s
# stays itself when upper-cased.
GERMAN_CAPS = "\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc\u00df"
GERMAN = "\u00c4\u00d6\u00dc\u00e4\u00f6\u00fc\u00df"

# Small print also names the arrow keys by their arrows.
ARROWS = "\u2190\u2191\u2192\u2193"
# What a character is drawn as, where the capital form reads better in a capitals-only font.
CAPITAL_FORMS = {"\u00df": "\u1e9e"}


class FontStyle:
    def __init__(self, name, face, size, pages, top, bottom, upper=True, max_height=None,
                 shadow=False, min_cell=4, squeeze=None):
        self.name = name
        self.face = face
        self.size = size
        self.pages = pages
        self.top = top  # face colour at the top of the glyph cell
        self.bottom = bottom  # and at the bottom
        self.upper = upper
        self.max_height = max_height
        self.shadow = shadow  # a shadow below right instead of a rim all round (small print)
        self.min_cell = min_cell
        self.squeeze = squeeze  # horizontal scale of a face drawn at 4x (None: hinted 1x)


WARM_TOP, WARM_BOTTOM = (0xFF, 0xE0, 0x9A), (0xFF, 0x9E, 0x2C)
COOL_TOP, COOL_BOTTOM = (0xE6, 0xFA, 0xFF), (0x5F, 0xC8, 0xFF)
TEXT_TOP, TEXT_BOTTOM = (0xFF, 0xFD, 0xF6), (0xDE, 0xD8, 0xC8)

# Index order is the game's font table order.
FONTS = [
    FontStyle("menu", "DejaVuSans-Bold.ttf", 10, [CAPS, GERMAN_CAPS], TEXT_TOP, TEXT_BOTTOM,
             max_height=16, squeeze=0.8),
    FontStyle("menusel", "DejaVuSans-Bold.ttf", 10, [CAPS, GERMAN_CAPS], WARM_TOP, WARM_BOTTOM,
             max_height=16, squeeze=0.8),
    FontStyle("hud0", "DejaVuSans-Bold.ttf", 9, [CAPS, GERMAN_CAPS], TEXT_TOP, TEXT_BOTTOM,
             squeeze=0.85),
    FontStyle("hud1", "DejaVuSans-Bold.ttf", 13, [CAPS, GERMAN_CAPS], COOL_TOP, COOL_BOTTOM,
             squeeze=0.85),
    FontStyle("num0", "DejaVuSans-Bold.ttf", 11, [DIGITS], WARM_TOP, WARM_BOTTOM),
    FontStyle("num1", "DejaVuSans-Bold.ttf", 11, [DIGITS], COOL_TOP, COOL_BOTTOM),
    FontStyle("small", "DejaVuSans.ttf", 10, [SMALL, GERMAN + ARROWS], TEXT_TOP, TEXT_BOTTOM,
             upper=False, shadow=True, min_cell=3),
]


def _coverage(font, text, width, height, origin_x, baseline, squeeze=None):
    """Glyph coverage 0..1; with squeeze, drawn at 4x by a 4x font and narrowed while reduced."""
    if squeeze is None:
        image = Image.new("L", (width, height), 0)
        ImageDraw.Draw(image).text((origin_x, baseline), text, font=font, fill=255, anchor="ls")
        return np.asarray(image, dtype=np.float64) / 255.0
    s = raster.SS
    big = Image.new("L", (int(width * s / squeeze), height * s), 0)
    ImageDraw.Draw(big).text((origin_x * s / squeeze, baseline * s), text, font=font, fill=255,
                             anchor="ls")
    return np.asarray(big.resize((width, height), Image.BOX), dtype=np.float64) / 255.0


def render_font(style):
    """Pages of (glyphs, advances, strip pixels) for one font."""
    font = ImageFont.truetype(os.path.join(DEJAVU, style.face), style.size)
    drawing_font = font
    if style.squeeze:
        drawing_font = ImageFont.truetype(os.path.join(DEJAVU, style.face), style.size * raster.SS)
    ascent, descent = font.getmetrics()
    pad = 4
    canvas_h = ascent + descent + 2 * pad
    baseline = ascent + pad
    shapes = []  # per page: list of (char, coverage cropped to its cell horizontally)
    rows = np.zeros(canvas_h, dtype=bool)
    for chars in style.pages:
        page = []
        for ch in chars:
            drawn = ch
            if style.upper:
                drawn = CAPITAL_FORMS.get(ch, ch.upper() if len(ch.upper()) == 1 else ch)
            if drawn != ch and not font.getmask(drawn).getbbox():
                drawn = ch
            advance = int(round(font.getlength(drawn) * (style.squeeze or 1)))
            canvas_w = advance + 3 * pad
            cov = _coverage(drawing_font, drawn, canvas_w, canvas_h, pad, baseline, style.squeeze)
            ink = np.nonzero(cov.max(axis=0) > INK)[0]
            if ch == " " or len(ink) == 0:
                page.append((ch, None, max(2, advance)))
                continue
            rows |= cov.max(axis=1) > INK
            left, right = ink[0], ink[-1] + 1
            # One rim column either side of the ink: the rims of neighbours make the spacing.
            # Narrow glyphs ("I", "1", ".") keep some of the face's own spacing.
            cell_left, cell_right = (left, right + 1) if style.shadow else (left - 1, right + 1)
            short = style.min_cell - (cell_right - cell_left)
            if short > 0:
                cell_left -= short // 2
                cell_right += short - short // 2
            page.append((ch, cov[:, cell_left:cell_right], cell_right - cell_left))
        shapes.append(page)
    ink_rows = np.nonzero(rows)[0]
    # One rim row above the ink (none for a shadow) and one below.
    top, bottom = ink_rows[0] - (0 if style.shadow else 1), ink_rows[-1] + 2
    height = bottom - top
    pages = []
    for page in shapes:
        width = sum(w for _, _, w in page)
        coverage = np.zeros((height, width))
        x = 0
        for _, cov, w in page:
            if cov is not None:
                coverage[:, x : x + w] = cov[top:bottom]
            x += w
        fill = raster.vertical_gradient(height, width, style.top, style.bottom)
        if style.shadow:
            strip = raster.shadowed(fill, coverage, threshold=INK)
        else:
            strip = raster.outlined(fill, coverage, threshold=INK)
        pages.append(("".join(c for c, _, _ in page), [w for _, _, w in page], strip))
    return pages


def modified_utf8(text):
    """The data-stream form of a string: 16-bit big-endian byte count, then modified UTF-8
    (U+0000 as two bytes, characters beyond the basic plane as two three-byte surrogates)."""
    units = text.encode("utf-16-be")
    out = bytearray()
    for i in range(0, len(units), 2):
        c = (units[i] << 8) | units[i + 1]
        if 0 < c < 0x80:
            out.append(c)
        elif c < 0x800:
            out += bytes([0xC0 | (c >> 6), 0x80 | (c & 0x3F)])
        else:
            out += bytes([0xE0 | (c >> 12), 0x80 | ((c >> 6) & 0x3F), 0x80 | (c & 0x3F)])
    if len(out) > 0xFFFF:
        raise ValueError("string too long for a data stream")
    return struct.pack(">H", len(out)) + bytes(out)


def descriptor(glyphs, advances):
    if len(glyphs) > 127:
        raise ValueError("a page holds at most 127 glyphs")
    out = bytearray(struct.pack(">b", len(glyphs)))
    for ch, advance in zip(glyphs, advances):
        if not 0 < advance < 128:
            raise ValueError("advance %d of %r out of range" % (advance, ch))
        out += modified_utf8(ch) + struct.pack(">b", advance)
    return bytes(out)


def produce(entries):
    for style in FONTS:
        pages = render_font(style)
        if len(pages) > MAX_PAGES:
            raise ValueError("%s: more than %d pages" % (style.name, MAX_PAGES))
        for n, (glyphs, advances, strip) in enumerate(pages):
            if style.max_height and strip.shape[0] > style.max_height:
                raise ValueError("%s: %d pixels high" % (style.name, strip.shape[0]))
            base = "%s%s/font_%d" % (FOLDER, style.name, n)
            entries[base + ".png"] = raster.png_bytes(strip)
            entries[base] = descriptor(glyphs, advances)


def probes(entries):
    """Pages the game asks for after a font's last one: the strip and the descriptor (the
    datarules tool adds the names the loaders try for them)."""
    names = set()
    for style in FONTS:
        for n in range(MAX_PAGES):
            base = "%s%s/font_%d" % (FOLDER, style.name, n)
            if base not in entries:
                names.update((base, base + ".png"))
    return names
