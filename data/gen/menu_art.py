"""The main menu's art for the 240x320 graphics set: the backdrop "/menu/back.jpg" (also behind
the language and sound questions) and the atlas "/menu/small_icons" with the five icons, their
selected forms and the five title tabs that slide in at the bottom right.

Icons are badges with a symbol of what they start, shaded from the top and outlined in the dark
outline colour, drawn at four times the size and reduced. Layers are kept as premultiplied RGBA
at that size; the reduction blends partly covered rim pixels into the outline colour, since the
colour key allows no partial transparency.
"""

import io
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from . import raster, shell_images
from .fonts import DEJAVU

S = raster.SS
# Pieces come out OUT times their size; S must then be OUT times the supersampling (the large
# screens' sets draw the icons and tabs with S = 8, OUT = 2).
OUT = 1
SCREEN = (240, 320)
GRAPHICS = "/graphics/qvga"
BACKDROP = "/menu/back.jpg"
ATLAS = "/menu/small_icons"
ICON = (32, 32)
TAB = (150, 40)
ENTRIES = ("tesk", "mirf", "corv", "gallery", "exit")
TAB_NAMES = {"tesk": "logoTesk.png", "mirf": "logoMirf.png", "corv": "logoCorv.png",
             "gallery": "logoGallery.png", "exit": "logoExit.png"}
TITLES = {"tesk": "Tessarine", "mirf": "Mirrowfen", "corv": "Corvantine", "gallery": "Gallery",
          "exit": "Exit"}
# Each entry's accent: the line under its title and the tint of its badge when selected.
ACCENTS = {"tesk": (0xFF, 0x8A, 0x3C), "mirf": raster.CYAN, "corv": (0x7C, 0xE8, 0x6A),
           "gallery": (0xC8, 0x9C, 0xFF), "exit": (0xFF, 0x6A, 0x5A)}
JPEG_QUALITY = 92

RUBY, AMBER, EMERALD, SAPPHIRE = (0xE0, 0x30, 0x48), (0xFF, 0xB3, 0x47), (0x30, 0xC0, 0x70), \
    (0x40, 0x80, 0xF0)
SILVER, STEEL = (0xE4, 0xE8, 0xF0), (0x8C, 0x96, 0xAC)


class Layers:
    """A premultiplied RGBA canvas at S x the result size; shapes are painted over it, each
    optionally with a one-pixel dark rim (its coverage grown by S pixels) under it."""

    def __init__(self, size):
        self.w, self.h = size
        self.rgb = np.zeros((self.h * S, self.w * S, 3))
        self.alpha = np.zeros((self.h * S, self.w * S))

    def coverage(self, draw):
        image = Image.new("L", (self.w * S, self.h * S), 0)
        draw(ImageDraw.Draw(image), S)
        return image

    def paint(self, draw, fill, rim=True, shade=0.35, rim_width=1.0):
        """Paints the shape draw(context, scale) in fill (an RGB triple or an image at S x);
        shade darkens it from its top to its bottom by that fraction."""
        image = self.coverage(draw)
        a = np.asarray(image, float) / 255.0
        if rim:
            grow = int(round(rim_width * S)) * 2 + 1
            if OUT > 1:
                halo = _grown(np.asarray(image, float), grow) / 255.0
            else:
                halo = np.asarray(image.filter(ImageFilter.MaxFilter(grow)), float) / 255.0
            self._over(raster.OUTLINE, halo)
        colour = np.broadcast_to(np.asarray(fill, float), self.rgb.shape)
        if shade:
            rows = np.nonzero(a.max(axis=1) > 0)[0]
            if len(rows):
                t = np.clip((np.arange(self.rgb.shape[0]) - rows[0]) / max(rows[-1] - rows[0], 1),
                            0, 1)
                colour = colour * (1 + shade * 0.4 - shade * t)[:, None, None]
        self._over(colour, a)
        return a

    def _over(self, colour, a):
        colour = np.broadcast_to(np.asarray(colour, float), self.rgb.shape)
        self.rgb = self.rgb * (1 - a[..., None]) + colour * a[..., None]
        self.alpha = self.alpha * (1 - a) + a

    def glow(self, colour, a, strength):
        self._over(colour, np.clip(a * strength, 0, 1))

    def reduce(self, threshold=0.5):
        """RGB with the key where less than threshold is covered."""
        h, w, f = self.h * OUT, self.w * OUT, S // OUT
        alpha = self.alpha.reshape(h, f, w, f).mean(axis=(1, 3))
        rgb = (self.rgb * self.alpha[..., None]).reshape(h, f, w, f, 3).mean(axis=(1, 3))
        rgb = rgb / np.maximum(alpha, 1e-6)[..., None]
        # Partly covered pixels lean toward the outline colour rather than the key.
        rgb = raster.lerp(np.broadcast_to(np.array(raster.OUTLINE, float), rgb.shape), rgb,
                          np.clip(alpha / max(threshold, 1e-6), 0, 1) ** 0.5)
        return raster.compose(rgb, alpha >= threshold, dither=True)


def _grown(a, size):
    """Square maximum filter of odd size, done as two passes of shifted maxima (the rank
    filter's cost grows with the square of the size, which the large pieces feel)."""
    r = size // 2
    for axis in (0, 1):
        padded = np.pad(a, [(r, r) if ax == axis else (0, 0) for ax in (0, 1)], mode="edge")
        out = a.copy()
        for d in range(size):
            out = np.maximum(out, np.take(padded, range(d, d + a.shape[axis]), axis=axis))
        a = out
    return a


def _box(x0, y0, x1, y1):
    return lambda d, s: d.rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], fill=255)


def _round_box(x0, y0, x1, y1, r):
    return lambda d, s: d.rounded_rectangle([x0 * s, y0 * s, x1 * s - 1, y1 * s - 1], r * s,
                                            fill=255)


def _ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return lambda d, s: d.ellipse([(cx - rx) * s, (cy - ry) * s, (cx + rx) * s, (cy + ry) * s],
                                  fill=255)


def _poly(points):
    return lambda d, s: d.polygon([(x * s, y * s) for x, y in points], fill=255)


def _badge(layers, selected, accent):
    """The rounded tile every icon stands on: night blue, a cool rim, a soft gloss; when
    selected, lighter, tinted with the entry's accent and rimmed in amber."""
    w, h = ICON
    top, bottom = ((0x4C, 0x5C, 0xB0), (0x1E, 0x26, 0x66)) if selected else \
        (raster.NIGHT_LIGHT, raster.NIGHT_DARK)
    grad = raster.vertical_gradient(h * S, w * S, top, bottom)
    if selected:
        grad = raster.lerp(grad, accent, 0.18)
    layers.paint(_round_box(1, 1, w - 1, h - 1, 7), grad, shade=0)
    rim = raster.AMBER if selected else (0x5F, 0x8C, 0xD8)
    ring = layers.coverage(lambda d, s: d.rounded_rectangle(
        [1.5 * s, 1.5 * s, (w - 1.5) * s - 1, (h - 1.5) * s - 1], 6.5 * s, outline=255,
        width=S if not selected else int(1.5 * S)))
    layers.glow(rim, np.asarray(ring, float) / 255.0, 0.9)
    gloss = layers.coverage(_round_box(3, 3, w - 3, 12, 5))
    layers.glow((0xC8, 0xD8, 0xFF), np.asarray(gloss, float) / 255.0, 0.10)


def _bricks(layers):
    colours = [[RUBY, AMBER, RUBY], [SAPPHIRE, EMERALD, SAPPHIRE]]
    for row, line in enumerate(colours):
        for col, colour in enumerate(line):
            x, y = 5 + col * 7.5, 6 + row * 5
            layers.paint(_box(x, y, x + 7, y + 4.5), colour, rim_width=0.75)
    layers.paint(_ellipse(19.5, 19, 2.6), SILVER, shade=0.5)
    layers.paint(_round_box(8, 24, 24, 27.5, 1.6), raster.lerp(SILVER, STEEL, 0.3), shade=0.6)
    layers.paint(_box(9, 24.2, 11, 27.3), RUBY, rim=False, shade=0)
    layers.paint(_box(21, 24.2, 23, 27.3), RUBY, rim=False, shade=0)


def _rock(layers):
    rock = [(5, 12), (9, 6), (15, 5), (20, 8), (22, 14), (19, 19), (12, 21), (6, 18)]
    layers.paint(_poly(rock), (0x9A, 0x86, 0x70), shade=0.7)
    for cx, cy, r in ((11, 10, 2.2), (16, 15, 1.8), (9, 16, 1.3)):
        layers.paint(_ellipse(cx, cy, r), (0x5E, 0x50, 0x44), rim=False, shade=0)
        layers.paint(_ellipse(cx + 0.5, cy + 0.5, r * 0.6), (0x7A, 0x6A, 0x5A), rim=False,
                     shade=0)
    layers.paint(_poly([(27.5, 17.5), (25.5, 28), (23.5, 26.5), (19.5, 25)]), SILVER, shade=0.5)
    layers.paint(_ellipse(24.2, 23.2, 1.2), raster.CYAN, rim=False, shade=0)
    layers.paint(_ellipse(18, 13, 1.2), (0xFF, 0xF0, 0xA0), rim_width=0.5, shade=0)


def _alien(layers):
    green, dark = (0x6C, 0xE0, 0x5A), (0x2C, 0x80, 0x30)
    # Wings, body and head of a beetle-like invader with two feelers.
    layers.paint(_poly([(16, 9), (5, 5), (4, 11), (9, 15)]), (0x9C, 0x7C, 0xF0), shade=0.5)
    layers.paint(_poly([(16, 9), (27, 5), (28, 11), (23, 15)]), (0x9C, 0x7C, 0xF0), shade=0.5)
    layers.paint(_ellipse(16, 11, 4.5, 6), green, shade=0.6)
    layers.paint(lambda d, s: [d.line([(14 * s, 6 * s), (11 * s, 2.5 * s)], fill=255, width=S),
                               d.line([(18 * s, 6 * s), (21 * s, 2.5 * s)], fill=255, width=S)],
                 green, rim_width=0.5, shade=0)
    layers.paint(_ellipse(14.3, 10, 1.1), (0xFF, 0xF4, 0xC0), rim=False, shade=0)
    layers.paint(_ellipse(17.7, 10, 1.1), (0xFF, 0xF4, 0xC0), rim=False, shade=0)
    layers.paint(_box(15.2, 14, 16.8, 17), dark, rim=False, shade=0)
    # The player's shot and ship.
    layers.paint(_box(15.3, 18.5, 16.7, 21.5), (0xFF, 0xE8, 0x70), rim_width=0.5, shade=0)
    layers.paint(_poly([(16, 21.5), (21.5, 28.5), (16, 27), (10.5, 28.5)]), SILVER, shade=0.5)
    layers.paint(_poly([(16, 24), (17.5, 27.2), (14.5, 27.2)]), RUBY, rim=False, shade=0)


def _frame(layers):
    gold = (0xF0, 0xB8, 0x50)
    layers.paint(_box(5, 7, 27, 25), gold, shade=0.6)
    sky = raster.vertical_gradient(32 * S, 32 * S, (0x30, 0x48, 0xA0), (0x70, 0x58, 0xA8))
    layers.paint(_box(7.5, 9.5, 24.5, 22.5), sky, rim_width=0.5, shade=0)
    layers.paint(_ellipse(20.5, 13, 1.8), (0xFF, 0xF4, 0xD8), rim=False, shade=0)
    layers.paint(_poly([(7.5, 22.5), (12.5, 14), (15.5, 18), (18, 15.5), (24.5, 22.5)]),
                 (0xD0, 0xDC, 0xF8), rim=False, shade=0.8)


def _power(layers):
    red = (0xFF, 0x70, 0x58)
    ring = lambda d, s: d.arc([8 * s, 8 * s, 24 * s, 24 * s], -55, 235, fill=255,  # noqa: E731
                              width=int(3 * S))
    layers.paint(ring, red, shade=0.5)
    layers.paint(_round_box(14.5, 5, 17.5, 16.5, 1.4), red, shade=0.3)


SYMBOLS = {"tesk": _bricks, "mirf": _rock, "corv": _alien, "gallery": _frame, "exit": _power}


def icon(entry, selected):
    layers = Layers(ICON)
    _badge(layers, selected, ACCENTS[entry])
    SYMBOLS[entry](layers)
    return layers.reduce()


def _font(face, px):
    return ImageFont.truetype(os.path.join(DEJAVU, face), int(px * S))


def title_tab(entry):
    """A tab whose left corners are rounded and whose right and bottom edges meet the screen's:
    the entry's name in warm capitals over a line in its accent colour."""
    w, h = TAB
    layers = Layers(TAB)
    body = raster.vertical_gradient(h * S, w * S, (0x2E, 0x3A, 0x7C), raster.NIGHT_DARK)
    layers.paint(lambda d, s: d.rounded_rectangle([1 * s, 1 * s, (w + 12) * s, (h + 12) * s],
                                                  10 * s, fill=255), body, shade=0)
    edge = layers.coverage(lambda d, s: d.rounded_rectangle(
        [2 * s, 2 * s, (w + 12) * s, (h + 12) * s], 9 * s, outline=255, width=S))
    layers.glow((0x5F, 0x8C, 0xD8), np.asarray(edge, float) / 255.0, 0.9)
    font = _font("DejaVuSans-Bold.ttf", 16)
    text = TITLES[entry].upper()
    tracking = 1.0 * S
    widths = [font.getlength(c) for c in text]
    total = sum(widths) + tracking * (len(text) - 1)
    centre = w / 2 + 6
    x0 = centre * S - total / 2
    baseline = 24 * S

    def letters(d, s):
        x = x0
        for ch, cw in zip(text, widths):
            d.text((x, baseline), ch, font=font, fill=255, anchor="ls")
            x += cw + tracking

    warm = raster.vertical_gradient(h * S, w * S, (0xFF, 0xF2, 0xC8), (0xFF, 0x98, 0x28))
    layers.paint(letters, warm, shade=0)
    accent = ACCENTS[entry]
    half = total / S / 2
    layers.paint(_round_box(centre - half, 29, centre + half, 31.5, 1.2), accent,
                 rim_width=0.75, shade=0.3)
    layers.paint(_poly([(6, 20), (10, 16), (14, 20), (10, 24)]), accent, rim_width=0.75)
    return layers.reduce()


def backdrop(large=False):
    """Night over the lakeside: a violet glow on the horizon, stars, an aurora, the horned peak
    right of the middle and its reflection; the left column where the icons stand and the
    bottom right corner where the titles slide in stay calm."""
    w, h = SCREEN
    W, H = w * S // 2, h * S // 2  # drawn at 2x: the picture is blurred by JPEG anyway
    rng = np.random.default_rng(2011)
    yy, xx = np.mgrid[0:H, 0:W] / (S / 2)
    horizon = 236
    t = np.clip(yy / horizon, 0, 1)
    rgb = raster.lerp(raster.NIGHT_DARK, (0x30, 0x3C, 0x80), t ** 1.6)
    rgb = raster.lerp(rgb, (0x80, 0x50, 0x80), 0.55 * np.exp(-((horizon - yy) / 22.0) ** 2))
    # Aurora: two curtains that waver across the upper sky, cyan below fading into violet.
    for base, amp, phase, strength in ((92, 14, 0.4, 0.55), (120, 10, 2.1, 0.35)):
        centre = base + amp * np.sin(xx / 37.0 + phase) + 5 * np.sin(xx / 11.0 + phase * 3)
        d = yy - centre
        curtain = np.where(d < 0, np.exp(-(d / 26.0) ** 2), np.exp(-(d / 4.0) ** 2))
        rays = 0.65 + 0.35 * np.sin(xx / 2.3 + 3 * np.sin(xx / 17.0 + phase))
        colour = raster.lerp((0x50, 0xE0, 0xC8), (0x90, 0x60, 0xE0),
                             np.clip(-d / 30.0, 0, 1))
        rgb = raster.lerp(rgb, colour, np.clip(curtain * rays * strength * (0.4 + xx / w), 0, 1))
    stars = Image.new("L", (W, H), 0)
    sd = ImageDraw.Draw(stars)
    for _ in range(190):
        x, y = rng.uniform(2, w - 2), rng.uniform(2, horizon - 30)
        b = rng.uniform(0.2, 1.0) ** 2
        r = (0.35 + 0.45 * b) * S / 2
        sd.ellipse((x * S / 2 - r, y * S / 2 - r, x * S / 2 + r, y * S / 2 + r), fill=int(255 * b))
    rgb = raster.lerp(rgb, (0xEE, 0xF2, 0xFF), np.asarray(stars, float) / 255.0)
    # Far range, then the horn with a lit flank and snow, then the dark shore.
    scale = S / 2
    far = shell_images._ridge(rng, W, (horizon - 40) * scale, 18 * scale, 65)
    mask = _mask_at(W, H, far + [(W, horizon * scale), (0, horizon * scale)])
    far_col = raster.lerp((0x44, 0x50, 0x96), (0x24, 0x2C, 0x64), np.clip((yy - 180) / 60, 0, 1))
    rgb = raster.lerp(rgb, far_col, mask)
    summit = (150, 128)
    left = shell_images._path(rng, [(60, horizon), (100, 196), (124, 160), summit], 1.3)
    right = shell_images._path(rng, [summit, (166, 150), (186, 176), (228, horizon)], 1.3)
    ridge = shell_images._path(rng, [summit, (154, 160), (150, 190), (160, horizon)], 1.5)
    peak = _mask_at(W, H, [(x * scale, y * scale) for x, y in left + right[1:]])
    lit = _mask_at(W, H, [(x * scale, y * scale) for x, y in ridge + right[::-1][1:-1]])
    depth = np.clip((yy - summit[1]) / (horizon - summit[1]), 0, 1)
    grain = shell_images._value_noise(rng, H, W, 8 * scale)
    snow = np.clip((0.35 + 0.12 * grain - depth) / 0.1, 0, 1)
    shaded = raster.lerp((0x40, 0x4C, 0x8C), (0x18, 0x1E, 0x48), depth ** 0.7)
    shaded = raster.lerp(shaded, (0x8C, 0x9C, 0xD4), 0.75 * snow)
    sunny = raster.lerp((0xA8, 0xB8, 0xEC), (0x30, 0x3C, 0x7C), depth ** 0.7)
    sunny = raster.lerp(sunny, (0xF0, 0xF4, 0xFF), 0.9 * snow)
    rgb = raster.lerp(rgb, shaded, peak)
    rgb = raster.lerp(rgb, sunny, lit * peak)
    hills = shell_images._ridge(rng, W, (horizon - 8) * scale, 6 * scale, 65)
    rgb = raster.lerp(rgb, (0x14, 0x1A, 0x40), _mask_at(W, H, hills + [(W, H), (0, H)]))
    # The lake: the sky and the peak mirrored, darker, broken by ripples.
    top = (horizon + 2) * S // 2
    mirror = rgb[top - 1 :: -1][: H - top]
    d = np.linspace(0, 1, H - top)[:, None, None]
    ripples = 0.75 + 0.25 * np.sin(np.arange(H - top)[:, None, None] ** 1.3 / 1.7)
    water = raster.lerp((0x12, 0x1A, 0x40), (0x08, 0x0C, 0x20), d[..., 0])
    rgb[top:] = mirror * (0.5 - 0.25 * d) * ripples + water * 0.6
    rgb[top : top + 2] = raster.lerp(rgb[top : top + 2], (0x70, 0x80, 0xC0), 0.4)
    # Keep the icon column and the title corner quiet: a soft darkening.
    calm = np.clip(1 - xx / 52.0, 0, 1) ** 1.5 * 0.35
    rgb = rgb * (1 - calm[..., None])
    if large:
        # The large screens take the drawing at 2x as it is.
        return _titled(rgb, 2)
    small = rgb.reshape(h, 2, w, 2, 3).mean(axis=(1, 3))
    return _titled(small)


def _mask_at(W, H, points):
    image = Image.new("L", (W, H), 0)
    ImageDraw.Draw(image).polygon(points, fill=255)
    return np.asarray(image, float) / 255.0


def title_masks(k=1):
    """Coverage of the collection's name and of its dark rim on a picture k times the screen's
    size. The name is centred, and narrow enough that the darkened band the start-up questions
    lay over the middle two thirds of the screen covers it whole, rim and all."""
    w, h = SCREEN[0] * k, SCREEN[1] * k
    mask = shell_images._text_mask((w, h), "PALLASTERHORN", "DejaVuSans-Bold.ttf", 15 * k,
                                   (SCREEN[0] / 2 * k, 36 * k), 0.5 * k)
    rim = shell_images._halo(mask, [(dy, dx) for dy in range(-k, 2 * k + 1)
                                    for dx in range(-k, k + 1)], 1.6)
    return mask, rim


def _titled(rgb, k=1):
    """The collection's name at the top, warm letters with a dark rim (on a picture k times
    the screen's size)."""
    w, h = SCREEN[0] * k, SCREEN[1] * k
    mask, rim = title_masks(k)
    rows = np.clip((np.arange(h) - 22 * k) / (16.0 * k), 0, 1)[:, None]
    warm = raster.lerp((0xFF, 0xF4, 0xD0), (0xFF, 0x94, 0x24), rows * np.ones((1, w)))
    rgb = raster.lerp(rgb, raster.OUTLINE, rim)
    return raster.lerp(rgb, warm, mask)


def jpeg_bytes(rgb, seed):
    """Baseline 3-component JPEG; triangular noise of about one RGB565 step keeps gradients
    from banding after the game truncates the decoded pixels, and no pixel may decode to the
    colour key."""
    rng = np.random.default_rng(seed)
    noise = rng.random(rgb.shape) - rng.random(rgb.shape)
    pixels = np.clip(np.round(rgb + noise * np.array([8.0, 4.0, 8.0])), 0, 255).astype(np.uint8)
    hot = (pixels[..., 0] >= 200) & (pixels[..., 2] >= 200)
    pixels[..., 1] = np.where(hot, np.maximum(pixels[..., 1], 24), pixels[..., 1])
    buffer = io.BytesIO()
    Image.fromarray(pixels, "RGB").save(buffer, "JPEG", quality=JPEG_QUALITY, subsampling=0,
                                        progressive=False, optimize=True)
    data = buffer.getvalue()
    decoded = np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))
    if np.any(raster.decode565(decoded) == 0xF81F):
        raise ValueError("the backdrop decodes to the colour key")
    return data


def atlas():
    """The sheet and its list: icons in the first row, selected icons in the second, the title
    tabs below, one under the other. Returns (pixels, [(name, x, y, w, h)])."""
    iw, ih = ICON
    tw, th = TAB
    width = max(len(ENTRIES) * iw, tw)
    sheet = np.empty((2 * ih + len(ENTRIES) * th, width, 3), np.uint8)
    sheet[:] = raster.KEY
    pieces = []
    for i, entry in enumerate(ENTRIES):
        for row, selected in enumerate((False, True)):
            name = entry + ("_s" if selected else "") + ".png"
            x, y = i * iw, row * ih
            sheet[y : y + ih, x : x + iw] = icon(entry, selected)
            pieces.append((name, x, y, iw, ih))
        y = 2 * ih + i * th
        sheet[y : y + th, 0:tw] = title_tab(entry)
        pieces.append((TAB_NAMES[entry], 0, y, tw, th))
    return sheet, pieces


def atlas_list(pieces):
    return "".join("%s;%d;%d;%d;%d\r\n" % p for p in pieces).encode("ascii")


def produce(entries):
    entries[GRAPHICS + BACKDROP] = jpeg_bytes(backdrop(), 2011)
    sheet, pieces = atlas()
    entries[GRAPHICS + ATLAS + ".png"] = raster.png_bytes(sheet)
    entries[GRAPHICS + ATLAS + ".txt"] = atlas_list(pieces)
