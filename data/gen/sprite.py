"""Small sprites for the games' atlases: shapes painted four times finer and reduced, then
finished pixel by pixel (outlines, edge light, symbols), and packed onto one sheet.

A `Fine` canvas holds colour and coverage on a grid SS times finer than the sprite; its shapes
take coordinates in sprite pixels. `Fine.finish` box-filters it down to a `Pix`: 8-bit colour
and an opaque mask (coverage of at least one half). Transparent pixels are written in the
colour key; opaque ones are kept off it, also after reduction to RGB565.
"""

import argparse
import io

import numpy as np
from PIL import Image, ImageDraw

SS = 4
KEY = (255, 0, 255)
# When above 1, `Fine.finish` also keeps the shapes reduced to HI times the sprite's size (a
# divisor of SS), and a snapshot of the sprite as finished, for the large screens' sets.
HI = 1


def hexrgb(colour):
    """'#rrggbb' or an (r, g, b) tuple of 0..255 as a float 0..1 colour; an array is taken
    as a float colour already."""
    if isinstance(colour, np.ndarray):
        return colour.astype(np.float32)
    if isinstance(colour, str):
        v = int(colour.lstrip("#"), 16)
        colour = ((v >> 16) & 255, (v >> 8) & 255, v & 255)
    return np.asarray(colour, np.float32) / 255.0


def mix(a, b, t):
    return hexrgb(a) * (1.0 - t) + hexrgb(b) * t


class Fine:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.rgb = np.zeros((h * SS, w * SS, 3), np.float32)
        self.a = np.zeros((h * SS, w * SS), np.float32)
        ys, xs = np.mgrid[0 : h * SS, 0 : w * SS].astype(np.float32)
        self.ys, self.xs = (ys + 0.5) / SS, (xs + 0.5) / SS

    # Coverage masks (fine grid, 0 or 1 per sample).
    def rect(self, x0, y0, x1, y1, r=0.0):
        """Box from (x0, y0) to (x1, y1) (exclusive corner), corners rounded by r."""
        if r <= 0:
            return ((self.xs >= x0) & (self.xs < x1) & (self.ys >= y0)
                    & (self.ys < y1)).astype(np.float32)
        cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
        dx = np.maximum(np.abs(self.xs - cx) - hx, 0.0)
        dy = np.maximum(np.abs(self.ys - cy) - hy, 0.0)
        return (dx * dx + dy * dy <= r * r).astype(np.float32)

    def ellipse(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry
        return (((self.xs - cx) / rx) ** 2 + ((self.ys - cy) / ry) ** 2 <= 1.0).astype(
            np.float32)

    def poly(self, points):
        img = Image.new("L", (self.w * SS, self.h * SS), 0)
        ImageDraw.Draw(img).polygon([(x * SS, y * SS) for x, y in points], fill=255)
        return np.asarray(img, np.float32) / 255.0

    def line(self, points, width):
        img = Image.new("L", (self.w * SS, self.h * SS), 0)
        ImageDraw.Draw(img).line([(x * SS, y * SS) for x, y in points], fill=255,
                                 width=max(1, int(round(width * SS))), joint="curve")
        return np.asarray(img, np.float32) / 255.0

    # Colour fields.
    def vgrad(self, stops, y0=None, y1=None):
        """Colour by height: stops [(0..1, colour), ...] from y0 to y1 (default the sprite)."""
        y0 = 0.0 if y0 is None else y0
        y1 = float(self.h) if y1 is None else y1
        t = np.clip((self.ys - y0) / max(1e-6, y1 - y0), 0.0, 1.0)
        pos = np.array([p for p, _ in stops], np.float32)
        cols = np.stack([hexrgb(c) for _, c in stops])
        return np.stack([np.interp(t, pos, cols[:, i]) for i in range(3)], -1).astype(
            np.float32)

    def paint(self, cover, colour, alpha=1.0):
        c = (cover * alpha)[..., None]
        colour = hexrgb(colour) if isinstance(colour, (str, tuple)) else colour
        self.rgb = self.rgb * (1.0 - c) + colour * c
        self.a = self.a * (1.0 - c[..., 0]) + c[..., 0]

    def light(self, cover, colour, amount=1.0):
        """Adds light where there is paint already (highlights, glows) without widening it."""
        colour = hexrgb(colour) if isinstance(colour, (str, tuple)) else colour
        self.rgb = self.rgb + colour * (cover * amount * (self.a > 0))[..., None]

    def reduced(self, cut=0.5, kind=None):
        """The canvas box-filtered to the sprite's size, as a `kind` (default Pix) opaque where
        the coverage reaches cut."""
        shape = (self.h, SS, self.w, SS)
        a = self.a.reshape(shape).mean(axis=(1, 3))
        pre = (self.rgb * self.a[..., None]).reshape(shape + (3,)).mean(axis=(1, 3))
        rgb = pre / np.maximum(a, 1e-6)[..., None]
        return (kind or Pix)(np.clip(np.round(rgb * 255.0), 0, 255).astype(np.uint8), a >= cut)

    def finish(self):
        p = self.reduced()
        if HI > 1:
            p.keep_large(self.rgb, self.a, HI, 0.5)
        return p


class Pix:
    """A finished sprite: rgb (h, w, 3) uint8 and opaque (h, w) bool."""

    def __init__(self, rgb, opaque):
        self.rgb = np.array(rgb, np.uint8)
        self.opaque = np.array(opaque, bool)

    @property
    def size(self):
        return self.rgb.shape[1], self.rgb.shape[0]

    def keep_large(self, fine_rgb, fine_a, hi, cut):
        """Keeps the fine canvas reduced to hi times the size, and the sprite as it is now, so
        that the pixels finished by hand afterwards can be told from the drawn shapes."""
        self.large = large_pix(fine_rgb, fine_a, hi, cut)
        self.drawn = (self.rgb.copy(), self.opaque.copy())

    def copy(self):
        return Pix(self.rgb, self.opaque)

    def edge(self):
        """Opaque pixels with a transparent (or outside) 4-neighbour."""
        o = np.pad(self.opaque, 1)
        inner = o[1:-1, 1:-1] & o[:-2, 1:-1] & o[2:, 1:-1] & o[1:-1, :-2] & o[1:-1, 2:]
        return self.opaque & ~inner

    def set(self, mask, colour):
        self.rgb[mask] = np.asarray(colour, np.uint8)
        self.opaque |= mask

    def outline(self, colour):
        self.rgb[self.edge()] = np.asarray(colour, np.uint8)

    def plot(self, points, colour):
        for x, y in points:
            if 0 <= x < self.rgb.shape[1] and 0 <= y < self.rgb.shape[0]:
                self.rgb[y, x] = colour
                self.opaque[y, x] = True

    def stamp(self, bitmap, x, y, colour, shadow=None):
        """Pixel art: rows of '#' drawn at (x, y); shadow, when given, one pixel down-right."""
        pts = [(x + c, y + r) for r, row in enumerate(bitmap) for c, ch in enumerate(row)
               if ch == "#"]
        if shadow is not None:
            self.plot([(px + 1, py + 1) for px, py in pts], shadow)
        self.plot(pts, colour)

    def final(self):
        """RGB8 with every value exact in RGB565, transparent pixels in the key, and no
        opaque pixel that reads back as the key."""
        rgb = self.rgb.astype(np.uint16)
        r, g, b = rgb[..., 0] >> 3, rgb[..., 1] >> 2, rgb[..., 2] >> 3
        keyed = (r == 31) & (g == 0) & (b == 31)
        g = np.where(keyed, 1, g)
        out = np.stack([r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2], -1).astype(np.uint8)
        out[~self.opaque] = KEY
        return out


def large_pix(fine_rgb, fine_a, hi, cut):
    """A fine canvas reduced to hi times the sprite's size, as a Pix."""
    f = SS // hi
    h, w = fine_a.shape[0] // f, fine_a.shape[1] // f
    a = fine_a.reshape(h, f, w, f).mean(axis=(1, 3))
    pre = (fine_rgb * fine_a[..., None]).reshape(h, f, w, f, 3).mean(axis=(1, 3))
    rgb = pre / np.maximum(a, 1e-6)[..., None]
    return Pix(np.clip(np.round(rgb * 255.0), 0, 255).astype(np.uint8), a >= cut)


def mirrored(p):
    return Pix(p.rgb[:, ::-1], p.opaque[:, ::-1])


def pack(pieces, width=256, gap=1):
    """Shelf-packs named Pix pieces onto one sheet; returns (sheet rgb8, {name: (x, y, w, h)}).
    Pieces go tallest first, then by name, so the same pieces give the same sheet."""
    order = sorted(pieces, key=lambda n: (-pieces[n].size[1], -pieces[n].size[0], n))
    places, x, y, shelf = {}, 0, 0, 0
    for name in order:
        w, h = pieces[name].size
        if w > width:
            raise ValueError("%s is wider than the sheet" % name)
        if x + w > width:
            x, y, shelf = 0, y + shelf + gap, 0
        places[name] = (x, y, w, h)
        x += w + gap
        shelf = max(shelf, h)
    height = y + shelf
    sheet = np.empty((height, width, 3), np.uint8)
    sheet[...] = KEY
    for name, (x, y, w, h) in places.items():
        sheet[y : y + h, x : x + w] = pieces[name].final()
    return sheet, places


def png_bytes(rgb8):
    """PNG file of an (h, w, 3) uint8 array at the highest compression."""
    buf = io.BytesIO()
    Image.fromarray(rgb8, "RGB").save(buf, "PNG", compress_level=9)
    return buf.getvalue()


def board(pieces, names, scale, columns=16, back=(24, 28, 48)):
    """The named pieces in a grid over a plain field, enlarged by scale."""
    cw = max(pieces[n].size[0] for n in names) + 4
    ch = max(pieces[n].size[1] for n in names) + 4
    rows = (len(names) + columns - 1) // columns
    out = np.empty((rows * ch, min(columns, len(names)) * cw, 3), np.uint8)
    out[...] = back
    for i, name in enumerate(names):
        p = pieces[name]
        r, c = divmod(i, columns)
        y, x = r * ch + 2, c * cw + 2
        w, h = p.size
        region = out[y : y + h, x : x + w]
        region[p.opaque] = p.final()[p.opaque]
    return Image.fromarray(out.repeat(scale, 0).repeat(scale, 1), "RGB")


def preview_main(write_previews, description):
    """The command line of a producer's previews: --preview FOLDER."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--preview", required=True)
    args = parser.parse_args()
    write_previews(args.preview)
    return 0
