"""The shell's own images for the 240x320 set: the start-up logo, the menu arrows, the pause
button, the bar behind the selected menu item and the gallery's button.

Shapes are drawn at four times the size and reduced, so edges are smooth; gradients are
dithered before the reduction to RGB565. Sprites drawn with the colour key get a one-pixel dark
rim (the key allows no partial transparency); the pause button is drawn without the key, so it
is opaque all over.
"""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import raster
from .fonts import DEJAVU

S = raster.SS

LOGO_SIZE = (228, 220)
ARROW_SIZE = (22, 12)
PAUSE_SIZE = (22, 22)
SELECTED_SIZE = (172, 17)
BUTTON_SIZE = (76, 24)


def _mask(size, draw):
    """Coverage at the result size of a shape drawn by draw(context) at S x the size."""
    image, context = raster.blank_mask(*size)
    draw(context)
    return raster.reduce_mask(image)


def _big_mask(size, draw):
    """The same shape kept at S x the size, 0..1, for compositing at that size."""
    image, context = raster.blank_mask(*size)
    draw(context)
    return np.asarray(image, dtype=np.float64) / 255.0


def _reduce_rgb(rgb):
    h, w = rgb.shape[0] // S, rgb.shape[1] // S
    return rgb[: h * S, : w * S].reshape(h, S, w, S, 3).mean(axis=(1, 3))


def _over(base, colour, alpha):
    """Paints colour (an RGB triple or an image) over base with coverage alpha."""
    return raster.lerp(base, np.broadcast_to(np.asarray(colour, float), base.shape), alpha)


def _ridge(rng, width, base, rough, count):
    """A mountain skyline: heights over width by midpoint displacement, smoothed a little."""
    points = np.array([base, base], dtype=np.float64)
    spread = rough
    while len(points) < count:
        mids = (points[:-1] + points[1:]) / 2 + rng.normal(0, spread, len(points) - 1)
        merged = np.empty(len(points) * 2 - 1)
        merged[0::2], merged[1::2] = points, mids
        points = merged
        spread *= 0.55
    xs = np.linspace(0, width, len(points))
    return list(zip(xs, points))


def _path(rng, points, rough):
    """A jagged line through the given points (result pixels): each leg is split in steps of
    about two pixels, each step displaced across the leg."""
    out = [points[0]]
    for (x0, y0), (x1, y1) in zip(points[:-1], points[1:]):
        n = max(2, int(np.hypot(x1 - x0, y1 - y0) / 2))
        nx, ny = -(y1 - y0), x1 - x0
        norm = np.hypot(nx, ny)
        offsets = np.cumsum(rng.normal(0, rough * 0.5, n))
        offsets -= np.linspace(0, offsets[-1], n)  # end on the next point
        for i in range(1, n + 1):
            t = i / n
            o = offsets[i - 1] if i < n else 0.0
            out.append((x0 + (x1 - x0) * t + o * nx / norm, y0 + (y1 - y0) * t + o * ny / norm))
    return out


def _value_noise(rng, h, w, cell):
    """Smooth noise -1..1: random values on a coarse grid, interpolated (cell in pixels)."""
    gh, gw = int(h / cell) + 2, int(w / cell) + 2
    grid = Image.fromarray((rng.uniform(0, 255, (gh, gw))).astype(np.uint8), "L")
    big = grid.resize((int(gw * cell), int(gh * cell)), Image.BICUBIC)
    return np.asarray(big, float)[:h, :w] / 127.5 - 1


def _text_mask(size, text, face, px, centre, tracking=0.0):
    """Coverage of a line of text, drawn at S x and reduced; centre is the result-size
    (x, baseline) of the line's middle."""
    font = ImageFont.truetype(os.path.join(DEJAVU, face), int(px * S))
    image, context = raster.blank_mask(*size)
    widths = [font.getlength(c) for c in text]
    total = sum(widths) + tracking * S * (len(text) - 1)
    x = centre[0] * S - total / 2
    for ch, w in zip(text, widths):
        context.text((x, centre[1] * S), ch, font=font, fill=255, anchor="ls")
        x += w + tracking * S
    return raster.reduce_mask(image)


def _rounded(size, box, radius, **style):
    """Coverage of a rounded rectangle given in result pixels (left, top, right, bottom)."""
    return _mask(size, lambda d: d.rounded_rectangle([v * S for v in box], radius * S,
                                                     fill=None if "outline" in style else 255,
                                                     **style))


def _polygon(size, points):
    """Coverage at S x the size of a polygon given in result pixels."""
    return _big_mask(size, lambda d: d.polygon([(x * S, y * S) for x, y in points], fill=255))


def _halo(mask, offsets, gain):
    """A rim around a coverage mask: its maximum over the given shifts, strengthened."""
    grown = np.maximum.reduce([np.roll(np.roll(mask, dy, 0), dx, 1) for dy, dx in offsets])
    return np.clip(grown * gain, 0, 1)


HORIZON = 150  # the lake shore, in logo pixels


def _sky(rng):
    """Night sky with a warm glow along the horizon, stars and a moon with a halo."""
    w, h = LOGO_SIZE
    W, H = w * S, h * S
    t = np.linspace(0, 1, HORIZON * S)[:, None]
    sky = raster.lerp(raster.NIGHT_DARK, raster.NIGHT_LIGHT, t ** 1.3)
    sky = raster.lerp(sky, (0x7a, 0x4a, 0x6a), 0.55 * np.exp(-((1 - t) / 0.12) ** 2))
    rgb = np.zeros((H, W, 3))
    rgb[: HORIZON * S] = sky
    # Stars of varied brightness; the brightest get a small cross.
    stars = Image.new("L", (W, H), 0)
    sd = ImageDraw.Draw(stars)
    for _ in range(170):
        x, y = rng.uniform(4, w - 4) * S, rng.uniform(4, HORIZON - 20) * S
        b = rng.uniform(0.25, 1.0) ** 2
        r = (0.45 + 0.5 * b) * S
        sd.ellipse((x - r, y - r, x + r, y + r), fill=int(255 * b))
        if b > 0.7:
            sd.line((x - 3 * r, y, x + 3 * r, y), fill=int(120 * b), width=2)
            sd.line((x, y - 3 * r, x, y + 3 * r), fill=int(120 * b), width=2)
    fade = 1 - np.linspace(0, 1, H)[:, None] * 0.8
    rgb = _over(rgb, (0xE8, 0xF0, 0xFF), np.asarray(stars, float) / 255.0 * fade)
    mx, my, mr = 186 * S, 78 * S, 8 * S
    yy, xx = np.mgrid[0:H, 0:W]
    dist = np.hypot(xx - mx, yy - my)
    rgb = _over(rgb, (0x9f, 0xb8, 0xff), 0.35 * np.exp(-((dist / (mr * 3.2)) ** 2)))
    moon = np.clip((mr - dist) / S + 0.5, 0, 1)
    lit = np.clip((np.hypot(xx - mx - 3.5 * S, yy - my + 2 * S) - mr * 0.95) / (2 * S), 0, 1)
    return _over(rgb, raster.lerp((0x8a, 0x96, 0xc8), (0xFF, 0xF6, 0xDE), lit), moon)


def _mountains(rng, rgb):
    """A hazy far range, then the horn: a steep peak lit from the moon side, snow on top."""
    W, H = LOGO_SIZE[0] * S, LOGO_SIZE[1] * S
    yy, xx = np.mgrid[0:H, 0:W]
    far = _ridge(rng, W, (HORIZON - 34) * S, 16 * S, 65)
    far_mask = _big_mask(LOGO_SIZE, lambda d: d.polygon(
        far + [(W, HORIZON * S), (0, HORIZON * S)], fill=255))
    far_col = raster.lerp((0x3c, 0x4c, 0x8c), (0x24, 0x30, 0x62), np.linspace(0, 1, H)[:, None])
    rgb = _over(rgb, far_col * np.ones((1, W, 1)), far_mask)
    summit = (121, 62)
    left = _path(rng, [(14, HORIZON), (52, 122), (84, 96), (104, 76), summit], 1.4)
    right = _path(rng, [summit, (134, 82), (152, 102), (176, 122), (214, HORIZON)], 1.4)
    ridge = _path(rng, [summit, (124, 86), (120, 108), (132, 130), (128, HORIZON)], 1.6)
    peak = _polygon(LOGO_SIZE, left + right[1:])
    lit = _polygon(LOGO_SIZE, ridge + right[::-1][1:-1])
    depth = np.clip((yy / S - summit[1]) / (HORIZON - summit[1]), 0, 1)
    grain = _value_noise(rng, H, W, 10 * S) * 0.75 + _value_noise(rng, H, W, 3 * S) * 0.25
    strata = np.sin((xx * 0.35 - yy * 0.9) / (2.2 * S) + grain * 2.5)
    snow = np.clip((0.4 + 0.1 * grain + 0.04 * strata - depth) / 0.12, 0, 1)
    shaded = raster.lerp((0x44, 0x52, 0x8e), (0x16, 0x1e, 0x46), depth ** 0.7)
    shaded = raster.lerp(shaded, (0x8a, 0x9a, 0xd0), 0.75 * snow)
    shaded *= (0.95 + 0.05 * strata)[..., None]
    sunny = raster.lerp((0xb8, 0xc8, 0xf4), (0x30, 0x40, 0x80), depth ** 0.75)
    sunny = raster.lerp(sunny, (0xF4, 0xF6, 0xFF), 0.9 * snow)
    sunny *= (0.95 + 0.05 * strata * (1 - snow))[..., None]
    rgb = _over(rgb, shaded, peak)
    return _over(rgb, sunny, lit * peak)


def _shore(rng, rgb):
    """Rolling hills with a moonlit crest, then a line of spruces along the shore."""
    w = LOGO_SIZE[0]
    W, H = w * S, LOGO_SIZE[1] * S
    yy = np.mgrid[0:H, 0:W][0]
    hills = _ridge(rng, W, (HORIZON - 14) * S, 7 * S, 65)
    hill_mask = _big_mask(LOGO_SIZE, lambda d: d.polygon(hills + [(W, H), (0, H)], fill=255))
    hill_col = raster.lerp((0x22, 0x2c, 0x60), (0x12, 0x18, 0x3c),
                           np.clip((yy / S - HORIZON + 20) / 20, 0, 1))
    rgb = _over(rgb, hill_col, hill_mask)
    crest = np.clip(hill_mask - np.roll(hill_mask, S, axis=0), 0, 1)
    rgb = _over(rgb, (0x70, 0x84, 0xc8), 0.45 * crest)
    trees = Image.new("L", (W, H), 0)
    td = ImageDraw.Draw(trees)
    shore = _ridge(rng, W, (HORIZON - 3) * S, 3 * S, 65)
    td.polygon(shore + [(W, (HORIZON + 2) * S), (0, (HORIZON + 2) * S)], fill=255)
    x = 0.0
    while x < w:
        ground = np.interp(x * S, [p[0] for p in shore], [p[1] for p in shore])
        # Taller trees toward the sides, so the peak stays clear in the middle.
        side = abs(x - w / 2) / (w / 2)
        tall = rng.uniform(3, 6) + 7 * side ** 1.5
        half = tall * rng.uniform(0.28, 0.36)
        td.polygon([((x - half) * S, ground), (x * S, ground - tall * S),
                    ((x + half) * S, ground)], fill=255)
        x += rng.uniform(1.6, 3.4)
    return _over(rgb, (0x08, 0x0b, 0x1c), np.asarray(trees, float) / 255.0)


def _lake(rgb):
    """Below the shore: everything above mirrored, darkened and broken by ripples."""
    H = rgb.shape[0]
    top = (HORIZON + 2) * S
    mirror = rgb[top - 1 :: -1][: H - top]
    depth = np.linspace(0, 1, H - top)[:, None, None]
    ripples = 0.5 + 0.5 * np.sin(np.arange(H - top)[:, None, None] ** 1.35 / (1.1 * S))
    reflected = mirror * (0.55 - 0.25 * depth) * (0.8 + 0.2 * ripples)
    water = raster.lerp((0x10, 0x18, 0x3a), (0x08, 0x0c, 0x1e), depth[..., 0] ** 0.8)
    rgb[top:] = reflected + water * 0.6
    rgb[top : top + S] = raster.lerp(rgb[top : top + S], (0x70, 0x84, 0xc8), 0.5)
    return rgb


def _titles(frame):
    """The name in amber with a dark rim, and a cool subtitle under it."""
    w, h = LOGO_SIZE
    bold = "DejaVuSans-Bold.ttf"
    title = _text_mask(LOGO_SIZE, "PALLASTERHORN", bold, 20, (w / 2, 34), 0.4)
    rim = _halo(title, [(dy, dx) for dy in (-1, 0, 1, 2) for dx in (-1, 0, 1)], 1.6)
    rows = np.clip((np.arange(h)[:, None] - 19.0) / 15.0, 0, 1)
    gold = raster.lerp((0xFF, 0xF0, 0xC0), (0xFF, 0x94, 0x24), rows ** 0.9) * np.ones((1, w, 1))
    frame = _over(frame, raster.OUTLINE, rim)
    frame = _over(frame, gold, title)
    sub = _text_mask(LOGO_SIZE, "ARCADE  COLLECTION", bold, 8, (w / 2, 48), 1.5)
    sub_rim = _halo(sub, [(dy, dx) for dy in (-1, 0, 1) for dx in (-1, 0, 1)], 1.5)
    frame = _over(frame, raster.OUTLINE, 0.8 * sub_rim)
    return _over(frame, raster.CYAN, sub)


def logo():
    """Title art: a horned peak under a night sky over a still lake, and the game's name, on
    a card with rounded corners that sits on the white start-up screen."""
    w, h = LOGO_SIZE
    rng = np.random.default_rng(1404)
    rgb = _sky(rng)
    rgb = _mountains(rng, rgb)
    rgb = _shore(rng, rgb)
    frame = _titles(_reduce_rgb(_lake(rgb)))
    # The card's edge: dark outside, a faint cool line inside; corners blend into white.
    r = 14
    card = _rounded(LOGO_SIZE, (0, 0, w - 1 / S, h - 1 / S), r)
    inner = _rounded(LOGO_SIZE, (1, 1, w - 1 - 1 / S, h - 1 - 1 / S), r - 1)
    inner2 = _rounded(LOGO_SIZE, (2, 2, w - 2 - 1 / S, h - 2 - 1 / S), r - 2)
    frame = _over(frame, (0x5f, 0x78, 0xc0), np.clip(inner - inner2, 0, 1) * 0.6)
    frame = _over(frame, raster.OUTLINE, np.clip(card - inner, 0, 1))
    frame = _over(np.full_like(frame, 255.0), frame, card)
    return raster.compose(frame, card > 0.02, dither=True)


def arrow(up):
    """A swept arrowhead in the warm accent, light at the top, for the menu's scroll hints."""
    w, h = ARROW_SIZE
    head = [(1.5, h - 2), (w / 2, 1.5), (w - 1.5, h - 2), (w / 2, h - 4.5)]
    coverage = _mask(ARROW_SIZE, lambda d: d.polygon([(x * S, y * S) for x, y in head], fill=255))
    if not up:
        coverage = coverage[::-1]
    fill = raster.vertical_gradient(h, w, (0xFF, 0xE2, 0xA0), (0xF0, 0x8A, 0x20))
    return raster.outlined(fill, coverage, dither=True)


def pause():
    """A rounded night-blue button with two bars; opaque everywhere (drawn without the key),
    its corners in the outline colour, which reads as the dark sky of the games."""
    w, h = PAUSE_SIZE
    body = _rounded(PAUSE_SIZE, (0.5, 0.5, w - 0.5, h - 0.5), 5)
    face = _rounded(PAUSE_SIZE, (1.5, 1.5, w - 1.5, h - 1.5), 4)
    bars = (_rounded(PAUSE_SIZE, (6.5, 5.5, 9.5, h - 5.5), 1)
            + _rounded(PAUSE_SIZE, (w - 9.5, 5.5, w - 6.5, h - 5.5), 1))
    base = np.broadcast_to(np.array(raster.OUTLINE, float), (h, w, 3))
    rgb = _over(base, raster.CYAN, body)
    inside = raster.vertical_gradient(h, w, raster.NIGHT_LIGHT, raster.NIGHT_DARK)
    gloss = np.clip(1 - np.arange(h)[:, None] / (h * 0.45), 0, 1) * 0.25
    inside = raster.lerp(inside, (0x9a, 0xb4, 0xff), gloss)
    rgb = _over(rgb, inside, face)
    shadow = np.roll(np.roll(bars, 1, 0), 1, 1)
    rgb = _over(rgb, raster.OUTLINE, 0.7 * shadow * face)
    rgb = _over(rgb, raster.vertical_gradient(h, w, (0xFF, 0xFF, 0xFF), (0xD8, 0xD2, 0xC2)), bars)
    return raster.to565(rgb, dither=True)


def selected():
    """The bar behind the selected menu item: a dark violet-blue pill, a cool gloss line and a
    small amber mark at each end, so the warm highlighted text stands out on it."""
    w, h = SELECTED_SIZE
    pill = _rounded(SELECTED_SIZE, (0.5, 0.5, w - 0.5, h - 0.5), h / 2 - 0.5)
    body = raster.vertical_gradient(h, w, (0x4a, 0x50, 0xa8), (0x1c, 0x20, 0x5a), 0.8)
    x = np.abs(np.arange(w) - (w - 1) / 2) / (w / 2)
    body = raster.lerp(body, (0x10, 0x14, 0x3a), np.broadcast_to(0.35 * x[None, :] ** 3, (h, w)))
    gloss = _rounded(SELECTED_SIZE, (7, 1.6, w - 7, 3.2), 0.8)
    body = raster.lerp(body, (0xa8, 0xc8, 0xff), 0.45 * gloss)
    cy = h / 2
    diamonds = [[(cx - 3, cy), (cx, cy - 3), (cx + 3, cy), (cx, cy + 3)] for cx in (8, w - 8)]
    marks = _mask(SELECTED_SIZE, lambda d: [
        d.polygon([(x * S, y * S) for x, y in points], fill=255) for points in diamonds])
    body = raster.lerp(body, raster.AMBER, marks)
    return raster.outlined(body, pill, dither=True)


def button():
    """The gallery's button: a tab with rounded top corners that sits on the bottom edge."""
    w, h = BUTTON_SIZE
    tab = _rounded(BUTTON_SIZE, (0.5, 0.5, w - 0.5, h + 8), 7)
    body = raster.vertical_gradient(h, w, raster.NIGHT_LIGHT, raster.NIGHT_DARK)
    rim = _rounded(BUTTON_SIZE, (1.5, 1.5, w - 1.5, h + 8), 6, outline=255, width=S)
    body = raster.lerp(body, raster.CYAN, 0.85 * rim)
    gloss = np.clip(1 - np.arange(h)[:, None] / (h * 0.5), 0, 1) * 0.18
    body = raster.lerp(body, (0xb0, 0xc8, 0xff), np.broadcast_to(gloss, (h, w)) * (1 - rim))
    return raster.outlined(body, tab, dither=True)


IMAGES = {
    "/graphics/logo.png": logo,
    "/graphics/arrowUp.png": lambda: arrow(True),
    "/graphics/arrowDown.png": lambda: arrow(False),
    "/graphics/pause.png": pause,
    "/graphics/selected.png": selected,
    "/graphics/button.png": button,
}


def produce(entries):
    for name, make in IMAGES.items():
        entries[name] = raster.png_bytes(make())
