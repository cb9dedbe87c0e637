"""The space-rock game's sprites: one atlas, and its loading picture.

Entries (graphics set of the 240x320 configuration):
  /graphics/qvga/mirf/all.png, all.txt  the atlas sheet and its piece list
  /graphics/qvga/mirf/splash.jpg        loading screen and menu background

Pieces, by the names the game asks for (the suffixes _up, _lv and _dn are turned copies the
game makes itself, so only the first quarter of each turning thing is drawn):
  spaceship1..4          the ship, nose at 22.5, 45, 67.5 and 90 degrees counterclockwise
                         from pointing right; all four the same square size
  bb1..4                 the ship's shots, same four directions
  rocket0..3             saucer rockets: 0 points up, 1, 2 and 3 at the slopes 3:2, 1:1, 2:3
  a<size><variant><f>    rocks, sizes 1 large, 2 medium, 3 small; variants 1..3 (3 only for
                         small rocks). Where size + variant is a multiple of 3 the rock spins
                         through 15 frames (f = 0..14); the others hold 4 frames (f = 0..3)
                         of a quarter turn that the turned copies continue
  ufo1<f>, ufo2<f>       the two small saucers, 15 frames of lights running round the rim
  ufo3                   the big saucer; ufo3_blink0/1 its lights, drawn over it (same size);
                         ufo3_damaged1..3 scorch marks placed at fixed corners of it
  wave<s>_<f>            explosion flashes s = 1..3, f = 1..7: the upper-left quarter of the
                         flash, its centre at the piece's lower-right corner
  bp0..4                 spark, then the fading trail and engine puff
  p1..p13                a tumbling piece of debris cooling from yellow to dark red
  lifePanel, scorePanel  the head-up display plates in the top corners

Run as `python3 -m gen.mirrowfen_art --preview DIR` (from data/) for contact sheets.
"""

import math
import os
import sys

import numpy as np
from PIL import Image

from gen import space_sprites as ss
from gen.space_sprites import Fine, Pix, col, mix

SET = "/graphics/qvga"
ATLAS = "/mirf/all"
SHIP = 22
SHOT = 7
ROCKET = 11
ROCK_SIZES = {1: 32, 2: 22, 3: 14}
ROCK_KINDS = [(1, 1), (1, 2), (2, 1), (2, 2), (3, 1), (3, 2), (3, 3)]
UFO3 = (44, 34)
WAVE_SIZES = (4, 6, 8, 10, 12, 13, 14)
DEBRIS_FRAMES = 13
PANEL_H = 18
LIFE_PANEL_W, SCORE_PANEL_W = 44, 66

HULL_OUTLINE = "#161c2a"
ROCK_OUTLINE = "#140e0a"

# Grey-brown rock faces: (shadow, base, lit).
ROCK_TONES = {
    1: ("#2a221c", "#7a6a5a", "#c4b49c"),
    2: ("#262220", "#6e6660", "#b8b0a6"),
    3: ("#2e2218", "#86705a", "#d0b890"),
}

# Heat from cold to white hot, for flashes, sparks and debris.
HEAT = [(0.0, "#300604"), (0.22, "#7a1208"), (0.45, "#d4400e"), (0.65, "#ff9a1e"),
        (0.82, "#ffe258"), (1.0, "#ffffff")]


def spinning(size, variant):
    """Rocks whose size and variant add up to a multiple of 3 spin through 15 drawn frames."""
    return (size + variant) % 3 == 0


def rock_frames(size, variant):
    return 15 if spinning(size, variant) else 4


# --- Ship, shots and rockets -----------------------------------------------------------------


def ship(angle, size=SHIP):
    f = Fine(size, size)
    k = size / SHIP
    f.frame(size / 2.0, size / 2.0, angle)

    def pts(points):
        return f.mirror([(u * k, v * k) for u, v in points])

    hull = pts([(9.4, 0.0), (6.5, 1.3), (2.0, 2.6), (-1.5, 3.4), (-4.6, 8.3), (-7.6, 8.6),
                (-7.0, 4.0), (-8.6, 2.6), (-8.2, 0.0)])
    f.paint(f.poly(hull), f.toplit("#dfe6ee", 0.45))
    # Wing panels a shade darker, a red-free silver; the spine a touch brighter.
    for side in (1, -1):
        panel = [(-1.8, 3.9 * side), (-4.5, 7.6 * side), (-6.9, 7.7 * side),
                 (-6.3, 3.9 * side)]
        f.paint(f.poly([(u * k, v * k) for u, v in panel]), f.toplit("#8e9aaa", 0.4))
        f.paint(f.ellipse(-8.0 * k, 2.2 * side * k, 1.0 * k, 1.2 * k), col("#3a4250"))
    f.light(f.ellipse(1.0 * k, 0.0, 6.5 * k, 0.7 * k), "#ffffff", 0.25)
    # Cockpit: cyan glass with a glint towards the light.
    cu, ru, rv = 2.4 * k, 2.8 * k, 1.55 * k
    canopy = f.ellipse(cu, 0.0, ru, rv)
    cx, cy = f.to_screen(cu, 0.0)
    f.paint(canopy, f.sphere(cx, cy, max(ru, rv) * 1.1, "#5fd3ff", ambient=0.45, shine=0.9))
    p = f.finish()
    return p.outline(HULL_OUTLINE)


def shot(angle):
    f = Fine(SHOT, SHOT).frame(SHOT / 2.0, SHOT / 2.0, angle)
    f.paint(f.ellipse(0.0, 0.0, 3.2, 1.35), col("#2aa8ff"))
    f.paint(f.ellipse(0.4, 0.0, 2.4, 0.8), col("#bff4ff"))
    f.paint(f.ellipse(1.0, 0.0, 1.1, 0.55), col("#ffffff"))
    return f.finish(0.4)


def rocket(angle):
    f = Fine(ROCKET, ROCKET).frame(ROCKET / 2.0, ROCKET / 2.0, angle)
    f.paint(f.ellipse(-4.0, 0.0, 1.6, 1.1), col("#ffc040"))
    f.paint(f.ellipse(-3.8, 0.0, 0.9, 0.6), col("#fff2b0"))
    fins = f.mirror([(-1.2, 1.2), (-3.4, 2.7), (-3.6, 1.0)])
    f.paint(f.poly(fins), f.toplit("#7a1c14", 0.4))
    f.paint(f.poly(f.mirror([(3.3, 0.0), (2.0, 1.35), (-3.0, 1.35), (-3.2, 0.0)])),
            f.toplit("#d8402c", 0.5))
    f.paint(f.poly(f.mirror([(4.6, 0.0), (3.3, 0.0), (2.0, 1.35), (3.2, 0.6)])),
            f.toplit("#f2f0ec", 0.3))
    f.paint(f.poly(f.mirror([(4.6, 0.0), (3.2, 0.6), (2.0, 1.35), (2.0, 0.0)])),
            f.toplit("#f2f0ec", 0.3))
    p = f.finish(0.45)
    return p.outline("#2a0806")


# --- Rocks --------------------------------------------------------------------------------------


def _rock_plan(size, variant):
    """Outline harmonics and craters of one rock, fixed by its size and variant."""
    rng = np.random.default_rng(1000 + size * 10 + variant)
    harmonics = [(k, rng.uniform(0.03, 0.09) * (1.3 if k < 4 else 0.8),
                  rng.uniform(0, 2 * math.pi)) for k in (2, 3, 4, 5, 7)]
    count = {1: 5, 2: 3, 3: 2}[size]
    craters = [(rng.uniform(0, 2 * math.pi), rng.uniform(0.15, 0.62),
                rng.uniform(0.13, 0.24)) for _ in range(count)]
    ridges = [(rng.uniform(1.5, 4.0), rng.uniform(1.5, 4.0), rng.uniform(0, 6.3))
              for _ in range(4)]
    return harmonics, craters, ridges


def rock(size, variant, turn_deg, px=None, front=False):
    """A rock of size class and variant turned by turn_deg; px overrides the sprite size (for
    pictures). front moves the light towards the viewer, for rocks the game turns by quarter
    turns, so the turned copies do not show the light jumping about."""
    n = px or ROCK_SIZES[size]
    f = Fine(n, n)
    c = n / 2.0
    R = c - 1.3 * max(1.0, n / 32.0)
    harmonics, craters, ridges = _rock_plan(size, variant)
    turn = math.radians(turn_deg)
    dx, dy = f.xs - c, f.ys - c
    theta = np.arctan2(-dy, dx) - turn
    wobble = sum(a * np.cos(k * theta + ph) for k, a, ph in harmonics)
    peak = sum(a for _, a, _ in harmonics)
    radius = R * (1.0 + wobble) / (1.0 + peak)
    dist = np.sqrt(dx * dx + dy * dy)
    cover = (dist <= radius).astype(np.float32)
    # Normals of a lumpy ball: distance against the local radius.
    nx, ny = dx / (radius * 1.08), dy / (radius * 1.08)
    nz = np.sqrt(np.clip(1.0 - nx * nx - ny * ny, 0.0, 1.0))
    light = np.array([-0.25, -0.3, 0.92]) if front else ss.LIGHT
    light = light / np.linalg.norm(light)
    ndl = np.clip(nx * light[0] + ny * light[1] + nz * light[2], 0.0, 1.0)
    # Surface grain that turns with the rock.
    lu = dist * np.cos(theta)
    lv = dist * np.sin(theta)
    grain = sum(np.sin(lu * a / R * 3.0 + lv * b / R * 3.0 + ph) for a, b, ph in ridges) / 4.0
    shade = (0.1 + 0.72 * ndl if front else 0.18 + 0.82 * ndl) + 0.07 * grain
    for ang, rf, cr in craters:
        a = ang + turn
        ccx, ccy = c + math.cos(a) * rf * R, c - math.sin(a) * rf * R
        rc = max(cr * R, 1.3)
        qx, qy = (f.xs - ccx) / rc, (f.ys - ccy) / rc
        inside = (qx * qx + qy * qy) <= 1.0
        # The wall nearest the light is in shadow, the far wall catches it.
        facing = (qx * light[0] + qy * light[1]) / math.hypot(light[0], light[1])
        shade = np.where(inside, shade * 0.62 - 0.18 * np.clip(facing, 0, 1)
                         + 0.22 * np.clip(-facing, 0, 1), shade)
        rim = ((qx * qx + qy * qy) > 1.0) & ((qx * qx + qy * qy) <= 1.6)
        shade = np.where(rim, shade + 0.06 * np.clip(facing, 0, 1), shade)
    dark, base, lit = ROCK_TONES[variant]
    colour = ss.ramp(np.clip(shade, 0.0, 1.1),
                     [(0.0, "#120c08"), (0.25, dark), (0.62, base), (1.0, lit), (1.1, "#f4ead8")])
    f.paint(cover, colour)
    p = f.finish()
    return p.outline(ROCK_OUTLINE)


# --- Saucers ----------------------------------------------------------------------------------


UFO_LOOKS = {
    1: dict(size=(20, 12), dome="#5fd3ff", hull="#b8c2cc", lights=("#ff4040", "#ffe040",
                                                                      "#40ff70")),
    2: dict(size=(26, 15), dome="#ffb347", hull="#a8a4b4", lights=("#40b0ff", "#ff60d0",
                                                                     "#ffffff")),
}


def _metal(f, cover, cx, cy, rx, ry, tint):
    """Brushed metal: bright band above the middle, darker rim below, light from the left."""
    t = np.clip((f.ys - (cy - ry)) / (2 * ry), 0.0, 1.0)
    side = np.clip((f.xs - (cx - rx)) / (2 * rx), 0.0, 1.0)
    band = ss.ramp(t, [(0.0, mix(tint, "#ffffff", 0.55)), (0.35, col(tint)),
                       (0.55, mix(tint, "#ffffff", 0.25)), (1.0, mix(tint, "#000000", 0.6))])
    f.paint(cover, band * (1.1 - 0.3 * side)[..., None])


def ufo(kind, frame):
    look = UFO_LOOKS[kind]
    w, h = look["size"]
    f = Fine(w, h)
    cx, cy = w / 2.0, h * 0.62
    rx, ry = w / 2.0 - 1.2, h * 0.24
    # Dome, then the disc over its lower part, then the belly.
    dr = w * 0.2
    f.paint(f.disc(cx, cy - ry * 0.4, dr), f.sphere(cx, cy - ry * 0.5, dr, look["dome"],
                                                   ambient=0.45, shine=0.9))
    belly = ((f.xs - cx) / (rx * 0.5)) ** 2 + ((f.ys - (cy + ry * 0.7)) / (ry * 0.9)) ** 2 <= 1
    f.paint(belly.astype(np.float32), col(mix(look["hull"], "#000000", 0.5)))
    disc = ((f.xs - cx) / rx) ** 2 + ((f.ys - cy) / ry) ** 2 <= 1
    _metal(f, disc.astype(np.float32), cx, cy, rx, ry, look["hull"])
    # Six lights on the rim, three colours, one colour step round in 15 frames.
    lights, n = look["lights"], 6
    for i in range(n):
        a = 2 * math.pi * (i + frame * 3.0 / 15.0) / n
        if math.sin(a) < -0.05:
            continue
        lx, ly = cx + math.cos(a) * rx * 0.82, cy + math.sin(a) * ry * 0.45
        f.paint(f.disc(lx, ly, 0.95 + 0.35 * math.sin(a)), col(lights[i % 3]))
    p = f.finish()
    return p.outline(HULL_OUTLINE)


UFO3_LIGHTS = [(7.5, 20.5), (14.0, 22.5), (22.0, 23.2), (30.0, 22.5), (36.5, 20.5)]


def _ufo3_body():
    w, h = UFO3
    f = Fine(w, h)
    cx = w / 2.0
    # Lower hull with a glowing port, the wide disc, the dome.
    hull = [(11, 24), (33, 24), (29, 31.5), (15, 31.5)]
    f.paint(f.poly(hull, local=False), f.toplit("#5a5f70", 0.3))
    f.paint(f.disc(cx, 30.5, 2.6), f.sphere(cx, 30.0, 2.8, "#ff7a3a", ambient=0.6, shine=0.8))
    disc = ((f.xs - cx) / 21.0) ** 2 + ((f.ys - 20.0) / 6.2) ** 2 <= 1
    _metal(f, disc.astype(np.float32), cx, 20.0, 21.0, 6.2, "#a7b0bc")
    groove = (np.abs(((f.xs - cx) / 21.0) ** 2 + ((f.ys - 19.0) / 4.2) ** 2 - 1.0) < 0.06)
    f.paint(groove.astype(np.float32) * disc, col("#4a5060"))
    dome = ((f.xs - cx) / 11.0) ** 2 + ((f.ys - 13.5) / 10.5) ** 2 <= 1
    dome &= f.ys <= 17.5
    f.paint(dome.astype(np.float32), f.sphere(cx - 1.0, 12.0, 11.5, "#58c070", ambient=0.35,
                                              shine=1.0))
    ribs = dome & (np.abs(np.sin((f.xs - cx) / 11.0 * 2.6)) < 0.08)
    f.paint(ribs.astype(np.float32), col("#2e6a3a"), 0.6)
    for x, y in UFO3_LIGHTS:
        f.paint(f.disc(x, y, 1.25), col("#5a2828"))
    return f.finish().outline(HULL_OUTLINE)


def ufo3_blink(phase):
    """The big saucer's lights alone: every other one lit, alternating with the phase."""
    w, h = UFO3
    f = Fine(w, h)
    for i, (x, y) in enumerate(UFO3_LIGHTS):
        on = (i % 2) == phase
        colour = "#ff5050" if on else "#ffd040"
        f.paint(f.disc(x, y, 1.35 if on else 1.1), col(colour))
        if on:
            f.paint(f.disc(x - 0.3, y - 0.3, 0.6), col("#fff0e0"))
    return f.finish(0.4)


def ufo3_damage(n):
    """A burnt hole with glowing cracks: n = 1 on the rim's left, 2 on the dome, 3 below."""
    w, h = 9, 7
    rng = np.random.default_rng(300 + n)
    f = Fine(w, h)
    pts = []
    for i in range(9):
        a = 2 * math.pi * i / 9
        r = rng.uniform(0.65, 1.0)
        pts.append((w / 2 + math.cos(a) * r * 4.2, h / 2 + math.sin(a) * r * 3.2))
    f.paint(f.poly(pts, local=False), col("#2a201c"))
    f.paint(f.disc(w / 2 - 0.3, h / 2 + 0.2, 1.5), col("#0c0806"))
    for i in range(3):
        a = rng.uniform(0, 2 * math.pi)
        f.paint(f.line([(w / 2, h / 2), (w / 2 + math.cos(a) * 3.8, h / 2 + math.sin(a) * 2.9)],
                       0.6, local=False) * (f.a > 0), col("#ff8a2a"))
    p = f.finish(0.45)
    p.put(int(w / 2 + 1), int(h / 2 - 1), "#ffe070")
    return p


# --- Explosions, sparks and debris --------------------------------------------------------------


def _noise2(f, seed, scale):
    rng = np.random.default_rng(seed)
    out = np.zeros_like(f.xs)
    for _ in range(5):
        a, b, ph = rng.uniform(-1, 1), rng.uniform(-1, 1), rng.uniform(0, 6.3)
        out += np.sin((f.xs * a + f.ys * b) * scale + ph)
    return out / 5.0


def wave(s, i):
    """Explosion flash set s, frame i (0..6): the upper-left quarter, centre at the corner."""
    q = WAVE_SIZES[i]
    t = i / 6.0
    f = Fine(q, q)
    dx, dy = f.xs - q, f.ys - q
    r = np.sqrt(dx * dx + dy * dy) / q
    ang = np.arctan2(dy, dx)
    noise = _noise2(f, 50 + s * 7 + i, 1.3)
    if s == 1:
        # A fireball: hot core cooling outward and over time, the edge ragged, the middle
        # tearing open as it burns out.
        edge = 0.93 + 0.08 * noise
        heat = (1.0 - 0.8 * t) * (1.05 - 0.55 * r * r) + 0.08 * noise
        cover = (r <= edge) & ~((t > 0.55) & (r < (t - 0.45) * 1.2 + 0.1 * noise))
    elif s == 2:
        # A shock ring that thins as it spreads.
        width = 0.55 - 0.38 * t
        cover = (r <= 0.97 + 0.04 * noise) & (r >= 0.97 - width)
        heat = (1.0 - 0.75 * t) * (0.65 + 0.35 * (r - (0.97 - width)) / width) + 0.05 * noise
    else:
        # A star burst of eight rays round a core (two rays in each quarter).
        rays = np.abs(np.cos(ang * 4.0)) ** 6
        cover = r <= (0.35 + 0.62 * rays) * (1.0 - 0.15 * t)
        heat = (1.0 - 0.7 * t) * (1.05 - 0.6 * r) + 0.05 * noise
    f.paint(cover.astype(np.float32), ss.ramp(np.clip(heat, 0.0, 1.0), HEAT))
    return f.finish()


def spark(i):
    """bp0 a white spark; bp1..bp4 the trail it leaves, smaller and cooler."""
    if i == 0:
        p = Pix(np.zeros((5, 5, 3), np.uint8), np.zeros((5, 5), bool))
        for x, y in ((2, 0), (2, 4), (0, 2), (4, 2)):
            p.put(x, y, "#ffb030")
        for x, y in ((2, 1), (2, 3), (1, 2), (3, 2)):
            p.put(x, y, "#ffe888")
        p.put(2, 2, "#ffffff")
        return p
    n = (4, 3, 3, 2)[i - 1]
    heat = (0.85, 0.68, 0.5, 0.3)[i - 1]
    f = Fine(n, n)
    f.paint(f.disc(n / 2.0, n / 2.0, n / 2.0 - 0.1), ss.ramp(
        np.clip(heat + 0.12 - 0.25 * np.hypot(f.xs - n / 2, f.ys - n / 2) / n, 0, 1), HEAT))
    return f.finish(0.4)


def debris(i):
    """A chunk of rock flung out of a blast, tumbling and cooling over 13 frames."""
    t = i / (DEBRIS_FRAMES - 1)
    n = 6 if t < 0.35 else (5 if t < 0.75 else 4)
    f = Fine(n, n)
    f.frame(n / 2.0, n / 2.0, 40.0 * i)
    size = (n / 2.0 - 0.6) * (1.0 - 0.3 * t)
    chunk = [(size, 0.2 * size), (0.3 * size, size), (-0.8 * size, 0.55 * size),
             (-size * 0.9, -0.5 * size), (0.1 * size, -0.95 * size)]
    rockc = f.toplit("#7a6450", 0.5)
    glow = ss.ramp(np.clip(0.85 - t * 0.9, 0, 1) * np.ones_like(f.xs), HEAT)
    body = rockc * (0.2 + 0.6 * t) + glow * (0.8 - 0.6 * t)
    f.paint(f.poly(chunk), body)
    return f.finish(0.45)


# --- Head-up display plates ---------------------------------------------------------------------


def panel(w, round_right):
    """A dark blue plate hanging from the top edge, its free lower corner rounded, with a cyan
    rim along the edges that face the screen."""
    h = PANEL_H
    f = Fine(w, h)
    r = 6.0
    # A rounded box reaching past the screen's edges, so that only the free corner is round.
    x0, x1 = (-r, w) if round_right else (0, w + r)
    f.paint(f.rounded(x0, -r, x1, h, r), ss.ramp(np.clip(f.ys / h, 0, 1),
                                                  [(0.0, "#1c2a5a"), (1.0, "#0c1230")]))
    p = f.finish()
    edge = p.edge()
    edge[0, :] = False
    edge[:, 0 if round_right else -1] = False
    p.rgb[edge] = ss.u8("#5fd3ff")
    return p


def life_panel():
    p = panel(LIFE_PANEL_W, round_right=True)
    icon = ship(90.0, 14)
    return p.over(icon, 3, 2)


def score_panel():
    """The score plate, with a small amber star at its left end."""
    p = panel(SCORE_PANEL_W, round_right=False)
    f = Fine(9, 9)
    star = [(4.5 + math.cos(math.radians(90 + 45 * i)) * (4.3 if i % 2 == 0 else 1.6),
             4.5 - math.sin(math.radians(90 + 45 * i)) * (4.3 if i % 2 == 0 else 1.6))
            for i in range(8)]
    f.paint(f.poly(star, local=False), f.toplit("#ffb347", 0.6))
    return p.over(f.finish(), 5, 4)


# --- The atlas -------------------------------------------------------------------------------


_cache = {}


def build():
    """{piece name: Pix} of the whole atlas."""
    if "pieces" in _cache:
        return _cache["pieces"]
    pieces = {}
    for s in range(1, 5):
        pieces["spaceship%d" % s] = ship(22.5 * s)
        pieces["bb%d" % s] = shot(22.5 * s)
    slopes = {0: 90.0, 1: math.degrees(math.atan2(3, 2)), 2: 45.0,
              3: math.degrees(math.atan2(2, 3))}
    for i, a in slopes.items():
        pieces["rocket%d" % i] = rocket(a)
    for size, variant in ROCK_KINDS:
        frames = rock_frames(size, variant)
        step = 360.0 / 15 if frames == 15 else 22.5
        for fr in range(frames):
            pieces["a%d%d%d" % (size, variant, fr)] = rock(size, variant, step * fr,
                                                           front=frames == 4)
    for kind in (1, 2):
        for fr in range(15):
            pieces["ufo%d%d" % (kind, fr)] = ufo(kind, fr)
    pieces["ufo3"] = _ufo3_body()
    for ph in (0, 1):
        pieces["ufo3_blink%d" % ph] = ufo3_blink(ph)
    for n in (1, 2, 3):
        pieces["ufo3_damaged%d" % n] = ufo3_damage(n)
    for s in (1, 2, 3):
        for i in range(7):
            pieces["wave%d_%d" % (s, i + 1)] = wave(s, i)
    for i in range(5):
        pieces["bp%d" % i] = spark(i)
    for i in range(DEBRIS_FRAMES):
        pieces["p%d" % (i + 1)] = debris(i)
    pieces["lifePanel"] = life_panel()
    pieces["scorePanel"] = score_panel()
    _cache["pieces"] = pieces
    return pieces


def atlas():
    """(sheet rgb8, places, piece list text)."""
    if "atlas" not in _cache:
        sheet, places = ss.pack(build())
        _cache["atlas"] = (sheet, places, ss.atlas_text(places))
    return _cache["atlas"]


def produce(entries):
    sheet, _, text = atlas()
    entries[SET + ATLAS + ".png"] = ss.png_bytes(sheet)
    entries[SET + ATLAS + ".txt"] = text
    from gen import space_pictures
    entries[SET + "/mirf/splash.jpg"] = space_pictures.mirf_splash()


# --- Previews ------------------------------------------------------------------------------


def write_previews(folder):
    os.makedirs(folder, exist_ok=True)
    pieces = build()
    sheet, places, _ = atlas()
    img = Image.fromarray(sheet, "RGB")
    img.save(os.path.join(folder, "mirf_atlas_1x.png"))
    img.resize((sheet.shape[1] * 3, sheet.shape[0] * 3), Image.NEAREST).save(
        os.path.join(folder, "mirf_atlas_3x.png"))
    groups = {
        "ships": ["spaceship%d" % s for s in range(1, 5)] + ["bb%d" % s for s in range(1, 5)]
        + ["rocket%d" % i for i in range(4)],
        "rocks": sorted(n for n in pieces if n[0] == "a" and n[1].isdigit()),
        "ufos": sorted(n for n in pieces if n.startswith("ufo")),
        "effects": sorted(n for n in pieces if n.startswith(("wave", "bp", "p")) and
                          n not in ("lifePanel",)),
    }
    for name, names in groups.items():
        for scale in (1, 3):
            ss.board(pieces, names, scale).save(
                os.path.join(folder, "mirf_%s_%dx.png" % (name, scale)))
    # The flashes as the game puts them together from four quarters round one point.
    strip = np.empty((3 * 34, 7 * 34, 3), np.uint8)
    strip[...] = (24, 28, 48)
    for s in (1, 2, 3):
        for i in range(7):
            name = "wave%d_%d" % (s, i + 1)
            w = places[name][2]
            x, y = i * 34 + 17, (s - 1) * 34 + 17
            for suffix, qx, qy in (("_up", x - w, y), ("", x - w, y - w), ("_dn", x, y - w),
                                   ("_lv", x, y)):
                ss.blit(strip, sheet, places, name + suffix, qx, qy)
    Image.fromarray(strip.repeat(3, 0).repeat(3, 1)).save(
        os.path.join(folder, "mirf_flashes_3x.png"))
    print("%d pieces, sheet %dx%d" % (len(pieces), sheet.shape[1], sheet.shape[0]))


if __name__ == "__main__":
    sys.exit(ss.preview_main(write_previews, "Writes contact sheets of the sprites."))
