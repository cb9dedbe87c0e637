"""Drawing kit for the two space games' sprites.

Shapes are decided on a grid SS times finer than the sprite and reduced, so that edges come out
clean; a sprite is then finished pixel by pixel (outline, highlights). Shapes that turn (ships,
rockets, aliens) are given in a local frame: u runs along the nose, v to the right of it, both
in sprite pixels, so the same drawing serves every direction. Light stays in screen space
(from the upper left) whichever way a shape points.

A finished `Pix` keeps 8-bit colour and an opaque mask; `Pix.final` turns it into colours that
are exact in RGB565, with transparent pixels in the colour key and no opaque pixel on it.
"""

import math

import numpy as np
from PIL import Image, ImageDraw

from gen import sprite
from gen.sprite import KEY, SS, board, mix, pack, png_bytes, preview_main  # noqa: F401

# When above 1, `Fine.finish` also keeps the shapes at HI times the size (see gen.sprite).
HI = 1
LIGHT = np.array([-0.55, -0.6, 0.58], np.float32) / np.linalg.norm([-0.55, -0.6, 0.58])


# '#rrggbb', an (r, g, b) of 0..255, or an array already 0..1, as a float colour.
col = sprite.hexrgb


def u8(c):
    return tuple(int(round(v * 255)) for v in np.clip(col(c), 0.0, 1.0))


def ramp(values, stops):
    """Colour field from values through stops [(value, colour), ...] in rising order."""
    pos = np.array([p for p, _ in stops], np.float32)
    cols = np.stack([col(c) for _, c in stops])
    return np.stack([np.interp(values, pos, cols[:, i]) for i in range(3)], -1).astype(
        np.float32)


def direction(angle):
    """Nose and right-hand side unit vectors (screen, y down) of an angle in degrees counted
    counterclockwise from pointing right."""
    a = math.radians(angle)
    return (math.cos(a), -math.sin(a)), (math.sin(a), math.cos(a))


class Fine(sprite.Fine):
    """Colour and coverage of a w x h sprite on the fine grid, with a local frame that turns."""

    def __init__(self, w, h):
        super().__init__(w, h)
        self.scale = 1.0
        self.frame(w / 2.0, h / 2.0, 90.0)

    def frame(self, cx, cy, angle):
        """Sets the local frame: origin (cx, cy), nose at angle."""
        self.cx, self.cy, self.angle = cx, cy, angle
        (dx, dy), (sx, sy) = direction(angle)
        self.d, self.s = (dx, dy), (sx, sy)
        rx, ry = self.xs - cx, self.ys - cy
        self.u = rx * dx + ry * dy
        self.v = rx * sx + ry * sy
        return self

    def to_screen(self, u, v):
        return (self.cx + u * self.d[0] + v * self.s[0], self.cy + u * self.d[1] + v * self.s[1])

    # Coverage masks (0 or 1 per fine sample).
    def ellipse(self, u, v, ru, rv=None, turn=0.0):
        """Local ellipse centred at (u, v) with radii along the nose and the side, turned by
        `turn` degrees (counterclockwise seen with the nose up)."""
        rv = ru if rv is None else rv
        a = math.radians(turn)
        pu, pv = self.u - u, self.v - v
        qu = pu * math.cos(a) + pv * math.sin(a)
        qv = -pu * math.sin(a) + pv * math.cos(a)
        return ((qu / ru) ** 2 + (qv / rv) ** 2 <= 1.0).astype(np.float32)

    def disc(self, x, y, r):
        """Screen-space disc."""
        return ((self.xs - x) ** 2 + (self.ys - y) ** 2 <= r * r).astype(np.float32)

    def oval(self, x, y, rx, ry):
        """Screen-space ellipse with upright axes."""
        return (((self.xs - x) / rx) ** 2 + ((self.ys - y) / ry) ** 2 <= 1.0).astype(
            np.float32)

    def rounded(self, x0, y0, x1, y1, r):
        """Screen-space box from (x0, y0) to (x1, y1) with corners rounded by r."""
        cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        dx = np.maximum(np.abs(self.xs - cx) - ((x1 - x0) / 2.0 - r), 0.0)
        dy = np.maximum(np.abs(self.ys - cy) - ((y1 - y0) / 2.0 - r), 0.0)
        return (dx * dx + dy * dy <= r * r).astype(np.float32)

    def poly(self, points, local=True):
        pts = [self.to_screen(u, v) if local else (u, v) for u, v in points]
        img = Image.new("L", (self.w * SS, self.h * SS), 0)
        ImageDraw.Draw(img).polygon([(x * SS, y * SS) for x, y in pts], fill=255)
        return np.asarray(img, np.float32) / 255.0

    def line(self, points, width, local=True):
        pts = [self.to_screen(u, v) if local else (u, v) for u, v in points]
        img = Image.new("L", (self.w * SS, self.h * SS), 0)
        ImageDraw.Draw(img).line([(x * SS, y * SS) for x, y in pts], fill=255,
                                 width=max(1, int(round(width * self.scale * SS))),
                                 joint="curve")
        return np.asarray(img, np.float32) / 255.0

    def mirror(self, points):
        """A local polygon and its mirror across the nose line, as one outline."""
        return list(points) + [(u, -v) for u, v in reversed(points)]

    # Colour fields.
    def toplit(self, colour, amount=0.35, radius=None):
        """A colour brighter towards the upper left and darker to the lower right."""
        r = radius or max(self.w, self.h) / 2.0
        t = np.clip(-((self.xs - self.w / 2.0) + (self.ys - self.h / 2.0)) / (2.0 * r),
                    -1.0, 1.0)
        return col(colour) * (1.0 + amount * t)[..., None]

    def sphere(self, x, y, r, colour, ambient=0.3, shine=0.0, light=LIGHT):
        """A ball lit from the upper left: diffuse light plus an optional glint."""
        nx, ny = (self.xs - x) / r, (self.ys - y) / r
        nz = np.sqrt(np.clip(1.0 - nx * nx - ny * ny, 0.0, 1.0))
        ndl = np.clip(nx * light[0] + ny * light[1] + nz * light[2], 0.0, 1.0)
        out = col(colour) * (ambient + (1.0 - ambient) * ndl)[..., None]
        if shine:
            out = out + shine * (ndl**24)[..., None]
        return out

    def finish(self, cut=0.5):
        p = self.reduced(cut, Pix)
        if HI > 1:
            p.keep_large(self.rgb, self.a, HI, cut)
        return p


class Pix(sprite.Pix):
    """A finished sprite: rgb (h, w, 3) uint8 and opaque (h, w) bool."""

    def ring(self, diagonal=False):
        """Transparent pixels next to an opaque one (4-neighbours, or 8 with diagonal)."""
        o = np.pad(self.opaque, 1)
        near = o[:-2, 1:-1] | o[2:, 1:-1] | o[1:-1, :-2] | o[1:-1, 2:]
        if diagonal:
            near |= o[:-2, :-2] | o[:-2, 2:] | o[2:, :-2] | o[2:, 2:]
        return near & ~self.opaque

    def outline(self, colour, outside=True):
        """A dark one-pixel rim: around the shape, or on its own edge pixels."""
        mask = self.ring() if outside else self.edge()
        self.rgb[mask] = u8(colour)
        self.opaque |= mask
        return self

    def put(self, x, y, colour):
        if 0 <= x < self.rgb.shape[1] and 0 <= y < self.rgb.shape[0]:
            self.rgb[y, x] = u8(colour)
            self.opaque[y, x] = True

    def over(self, other, x=0, y=0):
        """Pastes the opaque pixels of another sprite at (x, y)."""
        h, w = other.rgb.shape[:2]
        region = (slice(y, y + h), slice(x, x + w))
        self.rgb[region][other.opaque] = other.rgb[other.opaque]
        self.opaque[region] |= other.opaque
        return self

def atlas_text(places):
    """The piece list: name;x;y;w;h, one a line, CR LF."""
    return "".join("%s;%d;%d;%d;%d\r\n" % ((n,) + places[n]) for n in sorted(places)).encode(
        "ascii")


def anim_text(anims):
    """The animation list: name=piece;piece;..., one a line, CR LF."""
    return "".join("%s=%s\r\n" % (n, ";".join(anims[n])) for n in sorted(anims)).encode(
        "ascii")


# --- Contact sheets ---------------------------------------------------------------------------


def turned(sheet, places, name):
    """A piece as the game shows it with a name suffix: _mr mirrored, _lv half turn, _dn a
    quarter turn clockwise, _up a quarter turn counterclockwise; plus its opaque mask."""
    suffix = name[-3:] if name[-3:] in ("_mr", "_lv", "_dn", "_up") else ""
    base = name[: -len(suffix)] if suffix else name
    x, y, w, h = places[base]
    img = sheet[y : y + h, x : x + w]
    img = {"": img, "_mr": img[:, ::-1], "_lv": img[::-1, ::-1],
           "_dn": np.rot90(img, -1), "_up": np.rot90(img, 1)}[suffix]
    img = np.ascontiguousarray(img)
    return img, ~np.all(img == np.array(KEY, np.uint8), axis=-1)


def blit(screen, sheet, places, name, x, y):
    """Draws a piece (with its suffix) with its top-left corner at (x, y), clipped."""
    img, opaque = turned(sheet, places, name)
    h, w = img.shape[:2]
    H, W = screen.shape[:2]
    x0, y0, x1, y1 = max(0, x), max(0, y), min(W, x + w), min(H, y + h)
    if x1 <= x0 or y1 <= y0:
        return
    sub = (slice(y0 - y, y1 - y), slice(x0 - x, x1 - x))
    m = opaque[sub]
    screen[y0:y1, x0:x1][m] = img[sub][m]
