"""The brick-breaker's sprites, its atlas, its animation list and its two full-screen pictures.

Entries (graphics set of the 240x320 configuration, see gen.pictures):
  /graphics/qvga/tesk/all.png, all.txt  the atlas: one sheet and its piece list
  /graphics/qvga/tesk/splash.jpg        loading screen and menu background
  /graphics/qvga/tesk/gameover.jpg      background of the game-over message
  /tesk/anim.txt                        animations: name=piece;piece;...

Geometry the game derives from the pieces: a brick cell is b_flash.png plus one pixel (20 x 10),
so eleven columns span 220 pixels between the 10-pixel walls; the top border is wall tile 1
turned a quarter (10 high), and wall tile 4 is as high, so the field starts at y = 10.

Run as `python3 -m gen.tessarine_art --preview DIR` (from data/) for contact sheets.
"""

import os
import sys

import numpy as np
from PIL import Image

from gen import sprite
from gen.sprite import Fine, Pix, hexrgb, mix

SET = "/graphics/qvga"
ATLAS = "/tesk/all"
ANIM_NAME = "/tesk/anim.txt"
BRICK_W, BRICK_H = 19, 9
WALL_W, WALL_H, CAP_H = 10, 16, 10

# Jewel colours: (light, base, dark, outline).
JEWELS = {
    "ruby": ("#ff8c9c", "#d41c3c", "#7a0820", "#3a0010"),
    "amber": ("#ffe08a", "#f0a018", "#9a5800", "#4a2400"),
    "emerald": ("#9cffb8", "#18b85a", "#006630", "#00301a"),
    "sapphire": ("#a8d0ff", "#2464dc", "#0c2c84", "#06143e"),
    "amethyst": ("#e0b0ff", "#9440d8", "#501c88", "#260a44"),
    "rose": ("#ffb0dc", "#e02c98", "#7c0c52", "#3c0026"),
    "metal": ("#e8ecf0", "#9aa2ae", "#525a66", "#22262e"),
    "crystal": ("#ffffff", "#c8e6f4", "#7aa0bc", "#2a4050"),
    "bomb": ("#ffb0d0", "#e8386e", "#7a0a30", "#2a0412"),
}


def _u8(colour):
    return tuple(int(round(v * 255)) for v in hexrgb(colour))


# --- Bricks ---------------------------------------------------------------------------------


def brick_body(jewel, dim=0.0):
    """A faceted jewel brick: light top edge, darker bottom edge, 1-pixel outline."""
    light, base, dark, deep = JEWELS[jewel]
    if dim:
        light, base, dark = (mix(c, "#000000", dim) for c in (light, base, dark))
        light, base, dark = (tuple(int(v * 255) for v in c) for c in (light, base, dark))
    f = Fine(BRICK_W, BRICK_H)
    f.paint(f.rect(0, 0, BRICK_W, BRICK_H, r=1.3),
            f.vgrad([(0.0, mix(base, light, 0.45)), (0.5, hexrgb(base)), (1.0, hexrgb(dark))]))
    # The table of the cut: a lighter plate with darker lower facets.
    f.paint(f.rect(3, 2, BRICK_W - 3, BRICK_H - 2, r=0.6),
            f.vgrad([(0.0, mix(base, light, 0.6)), (1.0, mix(base, dark, 0.25))], 2, 7), 0.8)
    f.light(f.ellipse(6.0, 2.4, 4.0, 1.1), "#ffffff", 0.35)
    p = f.finish()
    w, h = p.size
    p.rgb[1, 2:-2] = _u8(light)
    p.rgb[2:-2, 1] = _u8(mix(base, light, 0.5))
    p.rgb[h - 2, 2:-2] = _u8(dark)
    p.rgb[2:-2, w - 2] = _u8(mix(base, dark, 0.6))
    p.outline(_u8(deep))
    return p


def _pips(p, count, colour, shade):
    """Small round studs along the middle: how many hits a brick still takes."""
    xs = {1: [9], 2: [6, 12], 3: [4, 9, 14]}[count]
    for x in xs:
        p.stamp(["##", "##"], x, 3, _u8(colour), shadow=_u8(shade))


CRACKS = [
    [(4, 1), (5, 2), (5, 3), (6, 4), (7, 4), (8, 5), (8, 6), (9, 7)],
    [(13, 1), (13, 2), (12, 3), (12, 4), (13, 5), (14, 6), (15, 7)],
    [(8, 5), (9, 4), (10, 4), (11, 3)],
    [(2, 6), (3, 5), (4, 5)],
]


def _cracks(p, n, colour):
    for crack in CRACKS[:n]:
        p.plot(crack, _u8(colour))


def glyph_brick(jewel, glyph, colour, shadow):
    p = brick_body(jewel)
    x = (BRICK_W - len(glyph[0])) // 2
    p.stamp(glyph, x, 2, _u8(colour), shadow=_u8(shadow))
    return p


SWIRL = [".##.#", "#..##", "#...#", "#...#", ".###."]
BOLT = ["..##", ".##.", "####", ".##.", "##.."]
BOMB = ["..#..", ".###.", "#####", "#####", ".###."]


def metal_brick():
    light, base, dark, deep = JEWELS["metal"]
    f = Fine(BRICK_W, BRICK_H)
    f.paint(f.rect(0, 0, BRICK_W, BRICK_H, r=0.8),
            f.vgrad([(0.0, light), (0.3, base), (1.0, dark)]))
    # Brushed steel: faint horizontal streaks.
    rng = np.random.default_rng(5)
    streak = np.repeat(rng.random((BRICK_H * sprite.SS, 1)), BRICK_W * sprite.SS, 1)
    f.light((streak > 0.7).astype(np.float32), "#ffffff", 0.08)
    p = f.finish()
    w, h = p.size
    p.rgb[1, 1:-1] = _u8(light)
    p.rgb[h - 2, 1:-1] = _u8(dark)
    p.rgb[4, 4:-4] = _u8(mix(base, dark, 0.7))
    p.rgb[5, 4:-4] = _u8(mix(base, light, 0.5))
    for x, y in ((2, 2), (w - 3, 2), (2, h - 3), (w - 3, h - 3)):
        p.plot([(x, y)], _u8("#f8fafc"))
        p.plot([(x + 1, y + 1)], _u8("#3a4048"))
    p.outline(_u8(deep))
    return p


def bomb_brick():
    p = brick_body("bomb")
    # Hazard hatching along the ends, the bomb in the middle with a lit fuse.
    for y in range(2, BRICK_H - 2):
        for x in list(range(2, 5)) + list(range(BRICK_W - 5, BRICK_W - 2)):
            if (x + y) % 3 == 0:
                p.plot([(x, y)], _u8("#3a0818"))
    p.stamp(BOMB, 7, 3, _u8("#101014"), shadow=None)
    p.plot([(8, 5), (8, 4)], _u8("#9aa0b0"))
    p.plot([(10, 2), (11, 1)], _u8("#c8a060"))
    p.plot([(12, 1)], _u8("#fff060"))
    p.plot([(12, 0)], _u8("#ff9020"))
    p.outline(_u8(JEWELS["bomb"][3]))
    return p


def crystal_core():
    """The five-hit brick once its four facet plates are gone: pale crystal, cracked."""
    p = brick_body("crystal")
    _cracks(p, 3, "#5a7890")
    return p


def facet_plate(i):
    """One quarter plate of the five-hit brick (9 x 4), laid over the core while it lasts: a
    small cut gem, its facets lit from the top left."""
    f = Fine(9, 4)
    plate = f.rect(0.5, 0.2, 8.6, 3.9, r=0.9)
    f.paint(plate, f.vgrad([(0.0, "#f4fcff"), (1.0, "#7ac0e8")], 0.2, 3.9))
    f.paint(plate * f.poly([(8.6, 0.2), (8.6, 3.9), (4.5, 3.9)]), "#4a90c8")
    f.paint(plate * f.poly([(0.5, 0.2), (4.5, 0.2), (0.5, 3.9)]), "#ffffff", 0.8)
    p = f.finish()
    # Keep the brick's own outline visible: plates stay one pixel inside the cell's edge.
    if i in (0, 2):
        p.opaque[:, 0] = False
    if i in (0, 3):
        p.opaque[0, :] = False
    if i in (1, 2):
        p.opaque[-1, :] = False
    # A dark seam only where the plate meets the core below and to the right.
    o = p.opaque
    below = o & ~np.pad(o, ((0, 1), (0, 0)))[1:, :]
    right = o & ~np.pad(o, ((0, 0), (0, 1)))[:, 1:]
    p.rgb[below | right] = _u8("#3a78a8")
    return p


def flash_brick():
    f = Fine(BRICK_W, BRICK_H)
    f.paint(f.rect(0, 0, BRICK_W, BRICK_H, r=1.3),
            f.vgrad([(0.0, "#ffffff"), (1.0, "#d8e0ff")]))
    p = f.finish()
    p.outline(_u8("#a0a8c8"))
    return p


def bricks():
    out = {
        "b_flash.png": flash_brick(),
        "b3_0.png": glyph_brick("amber", SWIRL, "#fff4c8", "#7a4000"),
        "b4.png": glyph_brick("sapphire", BOLT, "#ffffff", "#061850"),
        "b5.png": metal_brick(),
        "b6.png": brick_body("ruby"),
        "b8_0.png": bomb_brick(),
        "b9_0.png": crystal_core(),
    }
    g = brick_body("emerald")
    # The emerald cut: a chamfered inner step.
    g.plot([(3, 2), (BRICK_W - 4, 2), (3, BRICK_H - 3), (BRICK_W - 4, BRICK_H - 3)],
           _u8("#0c7a3a"))
    g.plot([(x, 4) for x in range(5, BRICK_W - 5)], _u8("#c8ffd8"))
    out["b7.png"] = g
    for left in (2, 1):
        p = brick_body("amethyst", dim=0.0 if left == 2 else 0.15)
        _pips(p, left, "#f4e0ff", "#3a0c66")
        if left == 1:
            _cracks(p, 2, "#2a0848")
        out["b1_%d.png" % (2 - left)] = p
    for left in (3, 2, 1):
        p = brick_body("rose", dim=(3 - left) * 0.1)
        _pips(p, left, "#ffe0f4", "#5a0038")
        _cracks(p, 3 - left + (1 if left == 1 else 0), "#3c0026")
        out["b2_%d.png" % (3 - left)] = p
    for i in range(4):
        out["b9_p%d.png" % i] = facet_plate(i)
    return out


# --- Walls ----------------------------------------------------------------------------------


def wall_tile(kind):
    """Left wall pieces, inner (playing-field) face on the right. Tile 1 also makes the top
    border, turned a quarter clockwise so that face points down."""
    h = CAP_H if kind == 4 else WALL_H
    light, base, dark, deep = JEWELS["metal"]
    f = Fine(WALL_W, h)
    xs = f.xs / WALL_W
    ramp = np.clip(xs, 0, 1)[..., None]
    steel = hexrgb("#3a404a") * (1 - ramp) + hexrgb("#b4bcc8") * ramp
    f.paint(f.rect(0, 0, WALL_W, h), steel)
    f.light(f.rect(WALL_W - 3, 0, WALL_W - 1, h), "#ffffff", 0.18)
    if kind == 3:
        f.paint(f.ellipse(5.0, 8.0, 2.6, 3.2), f.vgrad([(0, "#c0e0ff"), (0.5, "#2c6ce0"),
                                                        (1, "#0a2470")], 5, 11))
        f.light(f.ellipse(4.2, 6.6, 1.0, 1.0), "#ffffff", 0.6)
    if kind == 4:
        f.paint(f.ellipse(5.0, 5.0, 3.2, 3.2), f.vgrad([(0, "#ffb0b8"), (0.5, "#d41c3c"),
                                                        (1, "#600818")], 2, 8))
        f.light(f.ellipse(4.0, 3.8, 1.1, 1.0), "#ffffff", 0.6)
    p = f.finish()
    p.rgb[:, WALL_W - 1] = _u8("#f0f4f8")
    p.rgb[:, 0] = _u8(deep)
    if kind in (1, 2, 3):
        p.rgb[0, 1:WALL_W - 1] = _u8("#d8dce4")
        p.rgb[h - 1, 1:WALL_W - 1] = _u8("#2a2e36")
    if kind == 1:
        p.rgb[2:h - 2, 4] = _u8("#2a2e36")
        p.rgb[2:h - 2, 5] = _u8("#cfd6de")
    if kind == 2:
        for y in (4, 11):
            p.plot([(4, y), (5, y)], _u8("#f4f6f8"))
            p.plot([(4, y + 1), (5, y + 1)], _u8("#30343c"))
    if kind == 4:
        p.rgb[0, :] = _u8("#d8dce4")
        p.rgb[h - 1, :] = _u8("#2a2e36")
        p.rgb[:, 0] = _u8(deep)
        p.rgb[:, WALL_W - 1] = _u8("#f0f4f8")
    return p


# --- Paddle ---------------------------------------------------------------------------------

PADDLE_H = 6
PADDLE_WIDTHS = {"small": 20, "normal": 30, "big": 42}


def paddle(w, shimmer=0.0):
    f = Fine(w, PADDLE_H)
    body = f.rect(0, 0, w, PADDLE_H, r=2.7)
    f.paint(body, f.vgrad([(0.0, "#f4f8fc"), (0.35, "#b0b8c4"), (1.0, "#48505c")]))
    caps = body * (f.rect(0, 0, 4.5, PADDLE_H) + f.rect(w - 4.5, 0, w, PADDLE_H))
    f.paint(caps, f.vgrad([(0, "#ffa0b0"), (0.45, "#d41c3c"), (1, "#6a0818")]))
    f.paint(f.rect(w / 2 - 3, 1.8, w / 2 + 3, 4.2, r=1.0),
            f.vgrad([(0, "#c0e0ff"), (1, "#1c4cc0")], 1.8, 4.2))
    if shimmer:
        f.light(body * np.exp(-((f.xs - w * 0.5) ** 2) / (w * 0.5) ** 2), "#ffffff",
                0.5 * shimmer)
    p = f.finish()
    p.outline(_u8("#1c2028"))
    return p


def engine(w, h, hot):
    f = Fine(w, h)
    f.paint(f.poly([(0, 0), (w, 0), (w - 2.5, h), (2.5, h)]),
            f.vgrad([(0, "#6a727e"), (1, "#2a2e36")]))
    nozzle = "#ffb040" if hot else "#60b0ff"
    f.paint(f.rect(w / 2 - w * 0.25, h - 1.6, w / 2 + w * 0.25, h, r=0.7), nozzle)
    p = f.finish()
    p.outline(_u8("#14181e"))
    p.rgb[p.size[1] - 1, p.size[0] // 2 - 1 : p.size[0] // 2 + 1] = _u8(
        "#fff0c0" if hot else "#e0f0ff")
    return p


def guns(t=1.0):
    """The gun pair laid over a normal paddle; t below 1 retracts the barrels."""
    w = PADDLE_WIDTHS["normal"]
    f = Fine(w, PADDLE_H)
    for cx in (4.0, w - 4.0):
        f.paint(f.rect(cx - 2.5, PADDLE_H - 5.5 * t - 0.5, cx + 2.5, PADDLE_H, r=1.0),
                f.vgrad([(0, "#ffd0a0"), (0.4, "#c05010"), (1, "#502008")]))
        f.paint(f.rect(cx - 0.8, PADDLE_H - 5.5 * t - 0.5, cx + 0.8, PADDLE_H - 2.5 * t),
                "#fff4d0")
    p = f.finish()
    p.outline(_u8("#200c04"))
    return p


def morph_frames(widths):
    """Paddle frames by width; the inner frames shimmer. Morphs that pass through the same
    width share the piece."""
    out, names = {}, []
    for i, w in enumerate(widths):
        shimmer = i not in (0, len(widths) - 1)
        name = "pad%d%s.png" % (w, "s" if shimmer else "")
        out[name] = paddle(w, 1.0 if shimmer else 0.0)
        names.append(name)
    return out, names


def spark_band(w, h, t, colour):
    """Electric crackle under the paddle while the guns unfold (t from 0 to 1)."""
    f = Fine(w, h)
    rng = np.random.default_rng(int(t * 100) + 7)
    reach = w / 2 * (0.3 + 0.7 * t)
    pts = []
    for i in range(9):
        x = w / 2 + (i - 4) / 4.0 * reach
        pts.append((x, 0.5 + rng.random() * (h - 1)))
    f.paint(f.line(pts, 1.0), colour)
    f.paint(f.ellipse(w / 2, 0.6, reach * 0.4, 1.2), "#e0f0ff")
    return f.finish()


def flame(t):
    """Exhaust blown to the left (the paddle moving right): a flickering tongue."""
    w, h = 10, 4
    f = Fine(w, h)
    length = 7.0 + 3.0 * t
    f.paint(f.poly([(w, 0.3), (w, h - 0.3), (w - length, h / 2 + 0.4 * (t - 0.5))]),
            (np.stack([np.full(f.xs.shape, 1.0), np.clip(f.xs / w, 0.3, 1.0) * 0.85,
                       np.clip(f.xs / w - 0.5, 0.0, 1.0) * 0.8], -1)).astype(np.float32))
    f.light(f.ellipse(w - 1.5, h / 2, 2.5, 1.0), "#ffffff", 0.6)
    return f.finish()


def casing(i):
    """Frame i of the left gun's flash: the muzzle burst, then the spent case thrown left."""
    w, h = 12, 8
    f = Fine(w, h)
    if i < 2:
        r = 3.0 - i
        f.paint(f.ellipse(10.0, 1.5, r, r * 0.9), "#fff060")
        f.paint(f.ellipse(10.0, 1.5, r * 0.5, r * 0.5), "#ffffff")
    cx, cy = [(9.0, 3.5), (7.0, 2.5), (5.0, 2.0), (3.0, 2.5), (1.5, 4.0)][i]
    f.paint(f.rect(cx - 1.0, cy - 0.6, cx + 1.0, cy + 0.6), "#e8b840")
    p = f.finish()
    if not p.opaque.any():
        p.plot([(int(cx), int(cy))], _u8("#e8b840"))
    return p


def glue(i, n):
    w, h = 32, 8
    f = Fine(w, h)
    span = 6.0 + (w - 6.0) * (i + 1) / n
    f.paint(f.rect(w / 2 - span / 2, 1.5, w / 2 + span / 2, 5.5, r=1.6),
            f.vgrad([(0, "#e0ffb8"), (0.5, "#70e028"), (1, "#2a7010")], 1.5, 5.5))
    rng = np.random.default_rng(31)
    for k in range(5):
        x = w / 2 + (rng.random() - 0.5) * span * 0.9
        drop = (i + 1) / n * (1.5 + rng.random() * 1.5)
        f.paint(f.ellipse(x, 5.0 + drop * 0.5, 0.9, 0.5 + drop * 0.6), "#4aa818")
    f.light(f.rect(w / 2 - span / 2 + 1, 2.2, w / 2 + span / 2 - 1, 2.9), "#ffffff", 0.4)
    p = f.finish()
    p.outline(_u8("#1a4a08"))
    return p


def gate(t):
    """The hatch in the top border: t 0 closed, 1 fully open."""
    w, h = 24, CAP_H
    f = Fine(w, h)
    f.paint(f.rect(0, 0, w, h), f.vgrad([(0, "#8a929e"), (0.5, "#5a626e"), (1, "#3a404a")]))
    gap = (w - 6) * t
    if gap > 0.3:
        f.paint(f.rect(w / 2 - gap / 2, 1.5, w / 2 + gap / 2, h), "#12041c")
        f.light(f.ellipse(w / 2, h, gap / 2, h * 0.8) * f.rect(w / 2 - gap / 2, 1.5,
                w / 2 + gap / 2, h), "#c040ff", 0.8)
    # The two sliding leaves with warning stripes.
    for side in (-1, 1):
        x0 = w / 2 + side * gap / 2
        x1 = w / 2 + side * (w / 2 - 1)
        lo, hi = min(x0, x1), max(x0, x1)
        leaf = f.rect(lo, 1.5, hi, h - 0.5)
        stripes = ((np.floor((f.xs + f.ys) / 2.5) % 2) == 0).astype(np.float32)
        f.paint(leaf, "#6a727e")
        f.paint(leaf * stripes, "#e8b020", 0.85)
    p = f.finish()
    p.rgb[0, :] = _u8("#d8dce4")
    p.rgb[h - 1, :] = _u8("#f0f4f8")
    p.outline(_u8("#22262e"))
    return p


# --- Balls, shots, icon ---------------------------------------------------------------------


def ball(d, colours, seed=0, flicker=0.0):
    f = Fine(d, d)
    c = d / 2.0
    yy, xx = f.ys - c, f.xs - c
    r = c - 0.1
    nz = np.sqrt(np.clip(1 - (xx * xx + yy * yy) / (r * r), 0, 1))
    lit = np.clip((-0.5 * xx - 0.6 * yy) / r * 0.6 + nz * 0.7, 0, 1)
    if flicker:
        # Flames: a few bright tongues round the rim that move from frame to frame.
        angle = np.arctan2(yy, xx)
        rng = np.random.default_rng(seed)
        phase = rng.random() * 2 * np.pi
        tongues = 0.5 + 0.5 * np.cos(5 * angle + phase) * np.cos(2 * angle - phase)
        rim = np.clip(np.hypot(xx, yy) / r, 0, 1) ** 2
        lit = np.clip(lit * (1 - flicker) + flicker * (0.4 + 0.6 * tongues) * (0.5 + rim),
                      0, 1)
    pos = np.array([p for p, _ in colours], np.float32)
    cols = np.stack([hexrgb(col) for _, col in colours])
    field = np.stack([np.interp(lit, pos, cols[:, i]) for i in range(3)], -1)
    f.paint(f.ellipse(c, c, r), field.astype(np.float32))
    f.light(f.ellipse(c - d * 0.17, c - d * 0.19, d * 0.14), "#ffffff", 0.8)
    return f.finish()


STEEL_BALL = [(0.0, "#3a4a66"), (0.5, "#aab8cc"), (0.85, "#e8f0ff"), (1.0, "#ffffff")]
FIRE_BALL = [(0.0, "#a01800"), (0.4, "#ff5a00"), (0.75, "#ffc020"), (1.0, "#fff8d0")]
BALL_SIZES = {"Small": 5, "": 7, "Big": 11}


def bullet():
    f = Fine(3, 7)
    f.paint(f.rect(0, 0, 3, 7, r=1.4), f.vgrad([(0, "#ffffff"), (0.4, "#fff080"),
                                                (1, "#ff7010")]))
    return f.finish()


def enemy_bomb():
    f = Fine(5, 7)
    f.paint(f.poly([(2.5, 0), (4.6, 4), (2.5, 7), (0.4, 4)]), "#5a0c1a")
    f.paint(f.ellipse(2.5, 4.5, 2.4, 2.4), f.vgrad([(0, "#ff6040"), (1, "#60081a")], 2, 7))
    f.light(f.ellipse(2.2, 4.0, 0.9, 0.9), "#fff080", 1.0)
    p = f.finish()
    p.outline(_u8("#200408"))
    return p


def life_icon():
    f = Fine(13, 8)
    f.paint(f.rect(0, 5, 13, 8, r=1.4), f.vgrad([(0, "#f4f8fc"), (1, "#48505c")], 5, 8))
    f.paint(f.rect(0, 5, 2.5, 8) * f.rect(0, 5, 13, 8, r=1.4), "#d41c3c")
    f.paint(f.rect(10.5, 5, 13, 8) * f.rect(0, 5, 13, 8, r=1.4), "#d41c3c")
    p = f.finish()
    b = ball(5, STEEL_BALL)
    p.rgb[0:5, 4:9][b.opaque] = b.rgb[b.opaque]
    p.opaque[0:5, 4:9] |= b.opaque
    p.outline(_u8("#1c2028"))
    return p


def life_icon_small():
    """The life icon for the small screens (10 x 6): a paddle two pixels high under a ball
    of three, with the paddle's red ends and no outline on the ball, which would hide it."""
    f = Fine(10, 6)
    body = f.rect(0, 3, 10, 6, r=0.8)
    f.paint(body, f.vgrad([(0, "#f4f8fc"), (1, "#48505c")], 3, 6))
    f.paint(f.rect(0, 3, 2, 6) * body, "#d41c3c")
    f.paint(f.rect(8, 3, 10, 6) * body, "#d41c3c")
    p = f.finish()
    p.outline(_u8("#1c2028"))
    b = ball(3, STEEL_BALL)
    p.rgb[0:3, 3:6][b.opaque] = b.rgb[b.opaque]
    p.opaque[0:3, 3:6] |= b.opaque
    return p


# --- Enemies --------------------------------------------------------------------------------


def swallower(i, n=11):
    """A green blob that opens a wide mouth (it catches balls); n pixels square."""
    k = n / 11.0
    f = Fine(n, n)
    f.paint(f.ellipse(5.5 * k, 5.8 * k, 5.2 * k, 5.0 * k),
            f.vgrad([(0, "#c8ff80"), (0.5, "#50c020"), (1, "#1a5a08")]))
    open_ = [0.3, 0.7, 1.0, 0.7][i]
    f.paint(f.ellipse(5.5 * k, 7.3 * k, 3.6 * k, (0.6 + 2.0 * open_) * k), "#3a0410")
    f.paint(f.ellipse(5.5 * k, (7.3 + 1.2 * open_) * k, 1.6 * k, (0.5 + 0.8 * open_) * k),
            "#e04060")
    for ex in (3.5, 7.5):
        f.paint(f.ellipse(ex * k, 3.2 * k, max(1.5 * k, 1.2), max(1.5 * k, 1.2)), "#ffffff")
        f.paint(f.ellipse((ex + 0.3) * k, 3.4 * k, max(0.7 * k, 0.6), max(0.7 * k, 0.6)),
                "#101010")
    p = f.finish()
    p.outline(_u8("#0c2a04"))
    return p


def bomber(i):
    """An orange spiked mine with one eye; its spikes turn."""
    f = Fine(11, 11)
    a0 = i * np.pi / 8
    pts = []
    for k in range(16):
        a = a0 + k * np.pi / 8
        r = 5.4 if k % 2 == 0 else 3.4
        pts.append((5.5 + r * np.cos(a), 5.5 + r * np.sin(a)))
    f.paint(f.poly(pts), f.vgrad([(0, "#ffd080"), (0.5, "#f06010"), (1, "#801800")]))
    f.paint(f.ellipse(5.5, 5.5, 2.2, 2.2), "#ffffff")
    f.paint(f.ellipse(5.5 + [0, 0.6, 0, -0.6][i], 5.5, 1.0, 1.2), "#200404")
    p = f.finish()
    p.outline(_u8("#3a0800"))
    return p


def jelly(i, n=11):
    """A blue jelly with waving tentacles; n pixels square."""
    k = n / 11.0
    f = Fine(n, n)
    f.paint(f.ellipse(5.5 * k, 4.6 * k, 4.8 * k, 4.0 * k) * f.rect(0, 0, n, 6.2 * k),
            f.vgrad([(0, "#d0f0ff"), (0.5, "#40a0ff"), (1, "#1040b0")], 0.5 * k, 6.2 * k))
    phase = i * np.pi / 2
    # Four tentacles, three when there is no room for four apart.
    feet = (2.0, 4.3, 6.7, 9.0) if n >= 10 else (2.3, 5.5, 8.7)
    for j, x in enumerate(feet):
        sway = 0.9 * np.sin(phase + j * 1.3)
        f.paint(f.line([(x * k, 5.8 * k), ((x + sway) * k, 8.0 * k),
                        ((x - sway * 0.6) * k, 10.5 * k)], max(1.0 * k, 0.8)), "#6ab8ff")
    f.paint(f.ellipse(3.9 * k, 3.6 * k, max(0.9 * k, 0.8), max(1.1 * k, 0.9)), "#ffffff")
    f.paint(f.ellipse(7.1 * k, 3.6 * k, max(0.9 * k, 0.8), max(1.1 * k, 0.9)), "#ffffff")
    p = f.finish()
    p.plot([(int(4 * k), int(4 * k)), (int(round(7 * k)), int(4 * k))], _u8("#081838"))
    p.outline(_u8("#081c50"))
    return p


MONSTERS = (swallower, bomber, jelly)


def small_pieces(scale):
    """Pieces drawn anew for a set whose sprites are scale times the 240x320 ones (below 1),
    where scaling the finished sprites down would blur their outlines and eyes: the swallower,
    the jelly and the life icon, by their names in the atlas. (The mine keeps its scaled
    sprite: drawn that small, its spikes fill in.)"""
    n = int(round(11 * scale))
    pieces = {}
    for j, look in ((0, swallower), (2, jelly)):
        for i in range(4):
            pieces["monst%d_%d.png" % (j, i)] = look(i, n)
    if (int(round(13 * scale)), int(round(8 * scale))) == (10, 6):
        pieces["lifeIcon.png"] = life_icon_small()
    return pieces


# --- Brick animations -----------------------------------------------------------------------


def dissolve(i, n):
    """The regenerating brick folding away: it flattens and throws sparks."""
    base = bricks_cache()["b3_0.png"]
    keep = (BRICK_H * (n - i)) / n
    p = Pix(np.zeros_like(base.rgb), np.zeros_like(base.opaque))
    top = int(round((BRICK_H - keep) / 2))
    rows = max(1, int(round(keep)))
    src = np.linspace(0, BRICK_H - 1, rows).round().astype(int)
    p.rgb[top : top + rows] = base.rgb[src]
    p.opaque[top : top + rows] = base.opaque[src]
    rng = np.random.default_rng(40 + i)
    for _ in range(3 + i):
        x, y = int(rng.integers(0, BRICK_W)), int(rng.integers(0, BRICK_H))
        p.plot([(x, y)], _u8("#fff4b0"))
    if i == n - 1:
        p.opaque[:] = False
        p.plot([(4, 4), (9, 3), (14, 5), (17, 4)], _u8("#ffe080"))
    return p


def glint(i):
    """A light sweeping across the crystal brick."""
    f = Fine(BRICK_W, BRICK_H)
    pos = -3.0 + i * 6.0
    band = np.abs((f.xs - pos) + (f.ys - 4.5) * 0.8) < 1.0
    f.paint(band.astype(np.float32) * f.rect(1, 1, BRICK_W - 1, BRICK_H - 1), "#ffffff")
    star = f.rect(pos + 3.5, 3.5, pos + 4.5, 5.5) + f.rect(pos + 3, 4, pos + 5, 5)
    f.paint(np.clip(star, 0, 1) * f.rect(1, 1, BRICK_W - 1, BRICK_H - 1), "#e0fbff")
    p = f.finish()
    if not p.opaque.any():
        p.plot([(BRICK_W - 2, 1)], _u8("#ffffff"))
    return p


def blast(i, n):
    d = 27
    f = Fine(d, d)
    t = (i + 1) / n
    c = d / 2.0
    if t < 0.7:
        r = 3 + 9 * t / 0.7
        rr = np.hypot(f.xs - c, f.ys - c) / r
        col = np.stack([np.ones_like(rr), np.clip(1.1 - rr * 0.8, 0.2, 1.0),
                        np.clip(0.8 - rr, 0.0, 1.0)], -1).astype(np.float32)
        f.paint(f.ellipse(c, c, r), col)
        rng = np.random.default_rng(60 + i)
        for _ in range(8):
            a = rng.random() * 2 * np.pi
            f.paint(f.line([(c, c), (c + np.cos(a) * r * 1.2, c + np.sin(a) * r * 1.2)], 0.8),
                    "#fff8c0")
    else:
        # Smoke: a few grey puffs that thin out pixel by pixel as they spread.
        rng = np.random.default_rng(70 + i)
        spread = 6 + 5 * (t - 0.7) / 0.3
        for k in range(6):
            a = k * np.pi / 3 + rng.random() * 0.5
            f.paint(f.ellipse(c + np.cos(a) * spread * 0.6, c + np.sin(a) * spread * 0.6,
                              spread * 0.55), mix("#8a7a78", "#4a3a3c", rng.random()))
        f.paint(f.ellipse(c, c, spread * 0.35), "#ff9040", 1.0 - t)
        p = f.finish()
        thin = np.random.default_rng(80 + i).random(p.opaque.shape) < (t - 0.6) * 1.2
        p.opaque &= ~thin
        return p
    return f.finish()


# --- Bonus capsules -------------------------------------------------------------------------

SYMBOLS = {
    1: [".#...#.", ".#...#.", "###.###", "###.###", "###.###"],   # guns
    2: ["...#...", "...#...", "..###..", ".#####.", "..###.."],   # glue drop
    3: ["#.....#", "##...##", "###.###", "##...##", "#.....#"],   # paddle shrinks
    4: ["..#.#..", ".##.##.", "###.###", ".##.##.", "..#.#.."],   # paddle grows
    5: ["#..#...", ".#..#..", "..#..#.", ".#..#..", "#..#..."],   # faster
    6: ["..#....", "..##.#.", ".#####.", ".#####.", "..###.."],   # fire
    7: [".##.##.", "#######", "#######", ".#####.", "...#..."],   # extra life
    8: ["..###..", ".#####.", ".#####.", ".#####.", "..###.."],   # bigger balls
    9: ["#.....#", ".#...#.", "...#...", ".#...#.", "#.....#"],   # smaller balls
    10: ["#######", ".#...#.", "..#.#..", ".#...#.", "#######"],  # slower
    11: ["..##...", "..##...", ".......", "##...##", "##...##"],  # more balls
    12: ["....##.", "..###..", ".#####.", "..###..", ".##...."],  # turbo
}
GOOD_BLUE, GOOD_GREEN, BAD_RED, BAD_ORANGE = "sapphire", "emerald", "ruby", "amber"
BONUS_COLOURS = {1: GOOD_BLUE, 2: GOOD_GREEN, 3: BAD_RED, 4: GOOD_GREEN, 5: BAD_ORANGE,
                 6: GOOD_BLUE, 7: GOOD_GREEN, 8: GOOD_BLUE, 9: BAD_RED, 10: GOOD_BLUE,
                 11: GOOD_GREEN, 12: GOOD_BLUE}
CAPSULE_W, CAPSULE_H, CAPSULE_FRAMES = 17, 9, 4


def capsule(kind, frame):
    light, base, dark, deep = JEWELS[BONUS_COLOURS[kind]]
    f = Fine(CAPSULE_W, CAPSULE_H)
    body = f.rect(0, 0, CAPSULE_W, CAPSULE_H, r=4.2)
    # Light only along the top edge, so that the white symbol keeps its contrast.
    f.paint(body, f.vgrad([(0, light), (0.2, base), (0.7, base), (1, dark)]))
    # A light band rolls down the capsule as it turns.
    band_y = [1.5, 3.5, 5.5, 7.5][frame]
    f.light(body * np.exp(-((f.ys - band_y) ** 2) / 0.8), "#ffffff", 0.18)
    p = f.finish()
    p.outline(_u8(deep))
    p.stamp(SYMBOLS[kind], (CAPSULE_W - 7) // 2, 2, (255, 255, 255), shadow=_u8(deep))
    return p


# --- Putting it together --------------------------------------------------------------------

_cache = {}


def bricks_cache():
    if "bricks" not in _cache:
        _cache["bricks"] = bricks()
    return _cache["bricks"]


def build():
    """All pieces (name -> Pix) and the animation list (name -> [piece names])."""
    if "built" in _cache:
        return _cache["built"]
    pieces, anims = dict(bricks_cache()), {}

    for k in (1, 2, 3, 4):
        pieces["t%d_L.png" % k] = wall_tile(k)

    def add(prefix, frames):
        names = []
        for i, p in enumerate(frames):
            name = "%s%d.png" % (prefix, i)
            pieces[name] = p
            names.append(name)
        return names

    anims["b3dis"] = add("b3d", [dissolve(i, 5) for i in range(5)])
    anims["b3app"] = list(reversed(anims["b3dis"]))
    anims["iskra"] = add("glint", [glint(i) for i in range(5)])
    anims["detonation"] = add("blast", [blast(i, 7) for i in range(7)])

    n, s, b = (PADDLE_WIDTHS[k] for k in ("normal", "small", "big"))
    for name, widths in (("small", [n, 27, 24, 22, s]), ("desmall", [s, 22, 24, 27, n]),
                         ("bigger", [n, 33, 36, 39, b]), ("debigger", [b, 39, 36, 33, n])):
        frames, names = morph_frames(widths)
        pieces.update(frames)
        anims[name] = names
    anims["armed"] = add("arm", [spark_band(30, 4, t, "#a0d8ff") for t in (0, .25, .5, .75, 1)])
    anims["dearmed"] = add("guns", [guns(t) for t in (1.0, 0.75, 0.5, 0.25)])
    engines = [engine(14, 4, False), engine(16, 4, True), engine(18, 5, True),
               engine(20, 5, True)]
    anims["turbo"] = add("eng", engines)
    anims["deturbo"] = [anims["turbo"][i] for i in (3, 2, 1, 0)]
    anims["flames"] = add("flame", [flame(t) for t in (0.0, 0.6, 0.3, 1.0)])
    anims["flames2"] = [name + "_mr" for name in anims["flames"]]
    anims["gilzLeft1"] = add("gilz", [casing(i) for i in range(5)])
    anims["gilzRight1"] = [name + "_mr" for name in anims["gilzLeft1"]]
    anims["Clue"] = add("glue", [glue(i, 6) for i in range(6)])
    opening = [0.0, 0.3, 0.65, 1.0, 1.0, 1.0, 0.65, 0.3, 0.0]
    gate_frames = add("gate", [gate(t) for t in (0.0, 0.3, 0.65, 1.0)])
    anims["exit"] = [gate_frames[[0.0, 0.3, 0.65, 1.0].index(t)] for t in opening]

    for size, d in BALL_SIZES.items():
        pieces["ball%s.png" % (size or "1")] = ball(d, STEEL_BALL)
        anims["ballFire" + size] = add("fire%s" % (size or "N"),
                                       [ball(d, FIRE_BALL, seed=i, flicker=0.6)
                                        for i in range(3)])
    pieces["bullet.png"] = bullet()
    pieces["bomba-monstr_0.png"] = enemy_bomb()
    pieces["lifeIcon.png"] = life_icon()

    for k, look in enumerate(MONSTERS):
        anims["monst%d" % k] = add("monst%d_" % k, [look(i) for i in range(4)])
    for kind in range(1, 13):
        anims["tesk_bon%d" % kind] = add("bon%d_" % kind,
                                         [capsule(kind, i) for i in range(CAPSULE_FRAMES)])
    _cache["built"] = (pieces, anims)
    return _cache["built"]


def atlas():
    """(sheet rgb8, places, piece list text)."""
    pieces, _ = build()
    sheet, places = sprite.pack(pieces)
    text = "".join("%s;%d;%d;%d;%d\r\n" % ((name,) + places[name]) for name in sorted(places))
    return sheet, places, text.encode("ascii")


def anim_text():
    _, anims = build()
    return "".join("%s=%s\r\n" % (name, ";".join(frames))
                   for name, frames in sorted(anims.items())).encode("ascii")


def produce(entries):
    sheet, _, text = atlas()
    entries[SET + ATLAS + ".png"] = sprite.png_bytes(sheet)
    entries[SET + ATLAS + ".txt"] = text
    entries[ANIM_NAME] = anim_text()
    from gen import tessarine_pictures
    for name, data in tessarine_pictures.produce_files().items():
        entries[SET + name] = data


# --- Previews -------------------------------------------------------------------------------


def write_previews(folder):
    os.makedirs(folder, exist_ok=True)
    pieces, anims = build()
    sheet, _, _ = atlas()
    img = Image.fromarray(sheet, "RGB")
    img.save(os.path.join(folder, "atlas_1x.png"))
    img.resize((sheet.shape[1] * 3, sheet.shape[0] * 3), Image.NEAREST).save(
        os.path.join(folder, "atlas_3x.png"))
    names = sorted(pieces)
    for scale in (1, 3):
        sprite.board(pieces, names, scale, 12, 48).save(os.path.join(folder, "pieces_%dx.png" % scale))
    print("%d pieces, sheet %dx%d, %d animations" % (len(pieces), sheet.shape[1],
                                                     sheet.shape[0], len(anims)))


if __name__ == "__main__":
    sys.exit(sprite.preview_main(write_previews, "Writes contact sheets of the sprites."))
