"""The formation shooter's sprites: one atlas, its animation list and two pictures.

Entries (graphics set of the 240x320 configuration, animation list beside the game's files):
  /graphics/qvga/corv/all.png, all.txt  the atlas sheet and its piece list
  /corv/anim.txt                        animations: name=piece;piece;...
  /graphics/qvga/corv/splash.jpg        loading screen and menu background
  /graphics/qvga/corv/gameover.jpg      background after the last ship is lost

Pieces the game asks for by name:
  ship.png                 the player ship (its size sets the ship's hit box and place)
  bullet.png               alien shots, and the shot waiting on the ship's nose
  life.png, level.png      status-line marks: one per spare ship, one per level
  planet_1..4.png          planets drifting down behind the formation
  fly<k>_<n>.png           alien kind k = 1..8, all 16 x 16: n = 1 facing up, 2, 3 and 4 turned
                           22.5, 45 and 67.5 degrees clockwise from up, 5 facing up with its
                           wings (claws, fins) in the other beat; the game turns these by
                           quarter turns for the other twelve directions
Animations (frames are pieces of the same atlas):
  mainship                 the ship's exhaust, drawn under it
  explosion_ship           the player ship blowing up
  bullet                   the player's shot in flight (same size as bullet.png)
  explosion_enemy          an alien blowing up

Run as `python3 -m gen.corvantine_art --preview DIR` (from data/) for contact sheets.
"""

import math
import os
import sys

import numpy as np
from PIL import Image

from gen import space_sprites as ss
from gen.space_sprites import Fine, col, mix

SET = "/graphics/qvga"
ATLAS = "/corv/all"
ANIM_NAME = "/corv/anim.txt"
ALIEN = 16
SHIP_W, SHIP_H = 19, 17
BULLET_W, BULLET_H = 3, 7
FLAME_W, FLAME_H = 7, 5
BOOM = 28
POP = 18
PLANETS = {1: 30, 2: 40, 3: 24, 4: 48}

HEAT = [(0.0, "#300604"), (0.22, "#7a1208"), (0.45, "#d4400e"), (0.65, "#ff9a1e"),
        (0.82, "#ffe258"), (1.0, "#ffffff")]

# One dominant hue per kind: (name, body colour, accent colour).
KINDS = {
    1: ("bee", "#ffd028", "#1c1408"),
    2: ("moth", "#b478ff", "#ffe6a0"),
    3: ("crab", "#f03c30", "#ffd0b0"),
    4: ("dart", "#30dcd4", "#f4fff8"),
    5: ("beetle", "#3cc84c", "#c8ff7a"),
    6: ("squid", "#ff78b4", "#fff0f6"),
    7: ("manta", "#4c64ff", "#a8f0ff"),
    8: ("wasp", "#ff8a18", "#2a1406"),
}


def outline_of(hue):
    return mix(hue, "#000000", 0.82)


# --- Aliens -------------------------------------------------------------------------------------
# Each look paints one creature in the local frame (u towards the head, v to its right) on a
# 16 x 16 canvas; beat 1 is the other wing position of the flapping frames.


def _bee(f, hue, accent, beat):
    wing = col("#e8f8ff")
    for side in (1, -1):
        tilt = (12 if beat else 62) * side
        f.paint(f.ellipse(0.9 if beat else 0.2, (4.2 if beat else 3.4) * side, 2.1,
                          4.0 if beat else 3.1, turn=tilt), wing, 0.9)
    f.paint(f.ellipse(-3.2, 0.0, 3.7, 2.9), f.toplit(hue, 0.5))
    stripes = (np.abs(np.sin((f.u + 3.0) * 1.35)) > 0.55) & (f.u < -0.8)
    f.paint(stripes * f.ellipse(-3.2, 0.0, 3.7, 2.9), col(accent))
    f.paint(f.ellipse(1.3, 0.0, 1.8, 2.1), f.toplit(mix(hue, "#7a4a00", 0.45), 0.4))
    f.paint(f.ellipse(4.2, 0.0, 1.9, 2.3), f.toplit(accent, 0.8))
    f.paint(f.line([(-6.6, 0.0), (-7.4, 0.0)], 0.9), col(accent))
    return [(4.9, 1.2, "#ffffff"), (4.9, -1.2, "#ffffff")]


def _moth(f, hue, accent, beat):
    span = 5.6 if beat else 7.2
    for side in (1, -1):
        fore = [(2.2, 0.6 * side), (3.4, span * side), (-0.6, (span + 0.3) * side),
                (-1.2, 0.9 * side)]
        f.paint(f.poly(fore), f.toplit(hue, 0.5))
        hind = [(-1.0, 0.8 * side), (-1.4, (span - 1.2) * side), (-5.4, (span - 2.8) * side),
                (-4.0, 0.6 * side)]
        f.paint(f.poly(hind), f.toplit(mix(hue, "#000000", 0.3), 0.5))
        f.paint(f.ellipse(1.0, (span - 2.6) * side, 1.1, 1.1), col(accent))
        f.paint(f.line([(3.2, 0.5 * side), (6.4, 2.2 * side)], 0.7), col(accent))
    f.paint(f.ellipse(-0.6, 0.0, 4.4, 1.3), f.toplit(mix(hue, "#fff0c8", 0.4), 0.5))
    f.paint(f.ellipse(3.0, 0.0, 1.3, 1.4), f.toplit(mix(hue, "#fff0c8", 0.5), 0.5))
    return [(3.4, 0.8, "#ff3030"), (3.4, -0.8, "#ff3030")]


def _crab(f, hue, accent, beat):
    dark = mix(hue, "#000000", 0.45)
    for side in (1, -1):
        for k, u in enumerate((0.8, -1.4, -3.4)):
            f.paint(f.line([(u, 3.0 * side), (u - 1.0 - 0.4 * k, 6.9 * side)], 1.0), dark)
        f.paint(f.line([(1.5, 3.4 * side), (4.0, 4.6 * side)], 1.2), dark)
        gap = 0.0 if beat else 0.9
        f.paint(f.ellipse(5.4, 4.5 * side, 1.9, 1.5, turn=(-20 - 25 * gap) * side),
                f.toplit(hue, 0.5))
        f.paint(f.ellipse(5.6, (3.1 - gap) * side, 1.6, 0.85, turn=(25 + 30 * gap) * side),
                f.toplit(hue, 0.5))
    f.paint(f.ellipse(-0.6, 0.0, 3.6, 4.6), f.toplit(hue, 0.6))
    f.light(f.ellipse(0.6, -1.0, 1.4, 2.2), "#ffffff", 0.3)
    f.paint(f.line([(-2.8, -2.4), (-1.6, 0.0), (-2.8, 2.4)], 0.6), col(dark))
    return [(2.9, 1.3, accent), (2.9, -1.3, accent)]


def _dart(f, hue, accent, beat):
    sweep = 6.6 if beat else 7.1
    wings = f.mirror([(7.2, 0.0), (2.0, 1.6), (-4.0, sweep), (-6.6, sweep), (-4.4, 1.8),
                      (-6.2, 0.0)])
    f.paint(f.poly(wings), f.toplit(hue, 0.6))
    f.paint(f.poly(f.mirror([(6.4, 0.0), (1.0, 1.2), (-5.0, 1.0), (-5.6, 0.0)])),
            f.toplit(mix(hue, "#ffffff", 0.35), 0.5))
    f.paint(f.ellipse(1.8, 0.0, 1.9, 0.85), col(mix(hue, "#000000", 0.55)))
    f.paint(f.ellipse(-6.4, 0.0, 1.0 if beat else 1.4, 1.3), col("#fff2a0"))
    return [(2.4, 0.0, accent)]


def _beetle(f, hue, accent, beat):
    leg = mix(hue, "#000000", 0.3)
    for side in (1, -1):
        for k, u in enumerate((2.0, -0.4, -2.8)):
            lift = (0.7 if beat else -0.7) * (1 if k % 2 else -1)
            f.paint(f.line([(u, 2.6 * side), (u + lift + 0.4 * (1 - k), 6.9 * side)], 1.0),
                    leg)
        f.paint(f.line([(4.8, 0.9 * side), (6.9, 2.4 * side)], 0.8), leg)
    if beat:
        for side in (1, -1):
            f.paint(f.ellipse(-2.2, 3.2 * side, 4.4, 1.8, turn=-18 * side), col("#e0f4ff"),
                    0.85)
    spread = 0.5 if beat else 0.0
    for side in (1, -1):
        f.paint(f.ellipse(-1.6, (1.75 + spread) * side, 4.6, 2.05, turn=10 * spread * side),
                f.toplit(hue, 0.7))
    f.paint(f.line([(2.8, 0.0), (-6.0, 0.0)], 0.55 + spread), col(mix(hue, "#000000", 0.6)))
    f.light(f.ellipse(-0.4, -1.9 - spread, 2.4, 0.7), "#ffffff", 0.5)
    f.paint(f.ellipse(2.9, 0.0, 1.4, 2.7), f.toplit(mix(hue, "#000000", 0.35), 0.5))
    f.paint(f.ellipse(4.7, 0.0, 1.2, 1.6), col(mix(hue, "#000000", 0.6)))
    return [(5.0, 0.9, accent), (5.0, -0.9, accent)]


def _squid(f, hue, accent, beat):
    dark = mix(hue, "#000000", 0.4)
    phase = math.pi if beat else 0.0
    for k, v0 in enumerate((-2.2, -0.8, 0.8, 2.2)):
        pts = [(-1.0 - 0.9 * i, v0 * (1 + 0.12 * i) + 0.8 * math.sin(i * 1.2 + phase + k))
               for i in range(7)]
        f.paint(f.line(pts, 1.05), dark)
    f.paint(f.ellipse(2.2, 0.0, 4.4, 3.1), f.toplit(hue, 0.6))
    fin = f.mirror([(7.0, 0.0), (5.0, 3.4 if beat else 4.2), (3.6, 2.4)])
    f.paint(f.poly(fin), f.toplit(mix(hue, "#ffffff", 0.25), 0.5))
    f.light(f.ellipse(3.4, -1.2, 1.6, 0.9), "#ffffff", 0.35)
    return [(0.6, 1.5, "#202040"), (0.6, -1.5, "#202040")]


def _manta(f, hue, accent, beat):
    tip = 6.2 if beat else 7.3
    lift = -1.6 if beat else -0.4
    body = f.mirror([(5.2, 0.0), (4.4, 1.6), (1.6, 4.2), (lift, tip), (-2.2, tip - 0.6),
                     (-1.6, 3.0), (-3.6, 1.2), (-3.8, 0.0)])
    f.paint(f.poly(body), f.toplit(hue, 0.6))
    f.paint(f.line([(-3.4, 0.0), (-7.4, 0.0)], 0.9), col(mix(hue, "#000000", 0.4)))
    for side in (1, -1):
        f.paint(f.ellipse(5.2, 1.7 * side, 1.3, 0.65, turn=30 * side), col(mix(hue, "#000000",
                                                                               0.35)))
        f.paint(f.line([(0.6, 2.2 * side), (-0.8, 5.0 * side)], 0.6), col(accent), 0.55)
    f.light(f.ellipse(1.4, 0.0, 2.4, 1.2), "#ffffff", 0.3)
    return [(3.2, 1.3, accent), (3.2, -1.3, accent)]


def _wasp(f, hue, accent, beat):
    wing = col("#f0f4ff")
    for side in (1, -1):
        back = (125 if beat else 150) * side
        f.paint(f.ellipse(-0.4, 3.0 * side, 3.7, 1.4, turn=back), wing, 0.85)
    abdomen = f.poly(f.mirror([(-1.6, 0.0), (-2.0, 2.1), (-4.6, 2.0), (-7.4, 0.0)]))
    f.paint(abdomen, f.toplit(hue, 0.5))
    bands = (np.abs(np.sin((f.u + 2.0) * 1.9)) > 0.6) & (f.u < -2.2)
    f.paint(bands * abdomen, col(accent))
    f.paint(f.ellipse(0.6, 0.0, 2.2, 1.7), f.toplit(mix(hue, "#5a2a00", 0.4), 0.4))
    f.paint(f.ellipse(3.8, 0.0, 1.8, 2.3), f.toplit(hue, 0.5))
    for side in (1, -1):
        f.paint(f.line([(5.0, 0.9 * side), (6.8, 0.3 * side)], 0.8), col(accent))
    return [(4.2, 1.4, "#3a1a00"), (4.2, -1.4, "#3a1a00")]


LOOKS = {"bee": _bee, "moth": _moth, "crab": _crab, "dart": _dart, "beetle": _beetle,
         "squid": _squid, "manta": _manta, "wasp": _wasp}


def alien(kind, angle, beat=0, size=ALIEN):
    """Alien kind k with its head at angle (degrees counterclockwise from right)."""
    name, hue, accent = KINDS[kind]
    k = size / ALIEN
    f = Fine(size, size)
    f.frame(size / 2.0, size / 2.0, angle)
    if k != 1.0:
        f.u, f.v = f.u / k, f.v / k
        to_screen = f.to_screen
        f.to_screen = lambda u, v: to_screen(u * k, v * k)
        f.scale = k
    eyes = LOOKS[name](f, hue, accent, beat)
    p = f.finish()
    for u, v, c in eyes:
        x, y = f.to_screen(u, v)
        xi, yi = int(math.floor(x)), int(math.floor(y))
        if 0 <= xi < size and 0 <= yi < size and p.opaque[yi, xi]:
            p.put(xi, yi, c)
    return p.outline(outline_of(hue))


# --- Player ship, shots, marks ----------------------------------------------------------------


def player_ship(w=SHIP_W, h=SHIP_H):
    f = Fine(w, h)
    k = w / SHIP_W
    f.frame(w / 2.0, h / 2.0 + 0.2 * k, 90.0)

    def pts(points):
        return f.mirror([(u * k, v * k) for u, v in points])

    hull = pts([(8.3, 0.0), (5.5, 1.3), (0.5, 2.2), (-3.0, 8.6), (-6.4, 8.6), (-5.4, 3.0),
                (-7.6, 2.2), (-7.6, 0.0)])
    f.paint(f.poly(hull), f.toplit("#dce2ea", 0.45))
    for side in (1, -1):
        tip = [(-2.2, 6.6 * side), (-3.0, 8.6 * side), (-6.4, 8.6 * side), (-5.9, 6.4 * side)]
        f.paint(f.poly([(u * k, v * k) for u, v in tip]), f.toplit("#e0262a", 0.4))
        f.paint(f.line([(u * k, v * k) for u, v in ((-0.5, 2.6 * side), (-4.8, 3.0 * side))],
                       0.8 * k), col("#b01820"))
        f.paint(f.ellipse(-7.2 * k, 1.3 * side * k, 0.8 * k, 0.9 * k), col("#343a46"))
    f.paint(f.poly(pts([(8.3, 0.0), (6.6, 0.8), (5.9, 0.0)])), col("#e0262a"))
    cu = 2.6 * k
    cx, cy = f.to_screen(cu, 0.0)
    f.paint(f.ellipse(cu, 0.0, 2.4 * k, 1.3 * k), f.sphere(cx, cy, 2.6 * k, "#2a4aa8",
                                                           ambient=0.5, shine=1.0))
    return f.finish().outline("#1a1e28")


def flame(i):
    """Exhaust under the ship, flickering over three frames."""
    f = Fine(FLAME_W, FLAME_H)
    length = (4.6, 3.6, 4.2)[i]
    for x in (1.9, 5.1):
        f.paint(f.oval(x, 0.0, 1.25, length), ss.ramp(np.clip(1.0 - f.ys / length, 0, 1),
                                                        [(0.0, "#d4400e"), (0.5, "#ffb030"),
                                                         (1.0, "#fff8d0")]))
    return f.finish(0.4)


def bullet(player):
    """A glowing pellet: the aliens' hot yellow, the player's cyan (two flicker frames)."""
    f = Fine(BULLET_W, BULLET_H)
    if player is None:
        edge, core = "#ff7a1a", "#fff0a0"
    else:
        edge, core = ("#28a8ff", "#e8ffff") if player == 0 else ("#60d0ff", "#ffffff")
    f.paint(f.oval(1.5, 3.5, 1.5, 3.5), col(edge))
    f.paint(f.oval(1.5, 3.2, 0.8, 2.4), col(core))
    return f.finish(0.4)


def life_mark():
    return player_ship(9, 8)


def level_mark():
    """A small red pennant on a silver pole."""
    f = Fine(7, 9)
    f.paint(f.poly([(0.6, 0.2), (1.8, 0.2), (1.8, 9.0), (0.6, 9.0)], local=False),
            f.toplit("#c8ced8", 0.4))
    f.paint(f.poly([(1.8, 0.6), (6.8, 2.6), (1.8, 4.8)], local=False), f.toplit("#f03028", 0.5))
    return f.finish().outline("#1a1e28", outside=False)


def burst(size, t, seed, ring=True):
    """A round blast at time t (0..1): white core, yellow then orange fire, cooling to dark red
    wisps, with a few flying sparks."""
    f = Fine(size, size)
    c = size / 2.0
    rng = np.random.default_rng(seed)
    dx, dy = f.xs - c, f.ys - c
    r = np.sqrt(dx * dx + dy * dy) / (c - 0.5)
    ang = np.arctan2(dy, dx)
    lobes = sum(rng.uniform(0.04, 0.1) * np.cos(k * ang + rng.uniform(0, 6.3))
                for k in (3, 5, 7))
    grow = 0.35 + 0.65 * min(1.0, t * 1.6)
    edge = grow * (0.86 + lobes)
    heat = (1.0 - 0.85 * t) * (1.1 - 0.7 * (r / np.maximum(edge, 1e-3)) ** 2) + 0.6 * lobes
    hole = (t > 0.5) & (r < (t - 0.5) * 1.5 * grow + 0.25 * lobes)
    cover = (r <= edge) & ~hole
    f.paint(cover.astype(np.float32), ss.ramp(np.clip(heat, 0, 1), HEAT))
    if ring and 0.15 < t < 0.8:
        band = np.abs(r - (0.3 + 0.75 * t)) < 0.05
        f.paint(band.astype(np.float32), ss.ramp(np.full_like(r, 0.75 - 0.6 * t), HEAT), 0.9)
    p = f.finish()
    if t > 0.2:
        for i in range(6):
            a = rng.uniform(0, 2 * math.pi)
            d = (0.55 + 0.45 * t) * (c - 1)
            x, y = int(c + math.cos(a) * d), int(c + math.sin(a) * d)
            p.put(x, y, ss.ramp(np.array([0.9 - 0.6 * t]), HEAT)[0])
    return p


def planet_piece(n):
    """A small shaded planet (planet 2 wears a ring)."""
    from gen.paint import H, W
    from gen.scenery import planet, rings
    d = PLANETS[n]
    rng = np.random.default_rng(400 + n)
    looks = {
        1: ([(0.0, "#6a3a24"), (0.5, "#c07a4a"), (1.0, "#f0c890")], "#ffb080", 5),
        2: ([(0.0, "#30506a"), (0.5, "#7aa8c0"), (1.0, "#d8eef4")], "#a0e0ff", 7),
        3: ([(0.0, "#3a2a5a"), (0.5, "#8a6ac0"), (1.0, "#e0c8ff")], "#c0a0ff", 4),
        4: ([(0.0, "#5a4420"), (0.5, "#c8a050"), (1.0, "#fff0c0")], "#ffe0a0", 10),
    }
    stops, atmo, bands = looks[n]
    img = np.zeros((H, W, 3), np.float32)
    cx, cy, r = W / 2.0, H / 2.0, d / 2.0 - 0.6
    light = (-0.65, -0.5, 0.55)
    ring = None
    if n == 2:
        ring = dict(inner=r * 1.35, outer=r * 2.0, tilt=0.3, angle=-0.35,
                    stops=[(0.0, "#8a8070"), (0.5, "#e8dcc0"), (1.0, "#8a8090")], light=light,
                    planet_r=r)
        rings(img, rng, cx, cy, front=False, **ring)
    cov = planet(img, rng, cx, cy, r, stops, light=light, bands=bands, atmosphere=atmo,
                 atmo_strength=0.35)
    mask = cov >= 0.5
    if ring:
        rings(img, rng, cx, cy, front=True, **ring)
        mask |= img.max(axis=-1) > 0.08
    img *= 0.72
    ys, xs = np.nonzero(mask)
    y0, y1, x0, x1 = ys.min(), ys.max() + 1, xs.min(), xs.max() + 1
    rgb8 = np.clip(np.round(img[y0:y1, x0:x1] * 255), 0, 255).astype(np.uint8)
    return ss.Pix(rgb8, mask[y0:y1, x0:x1])


# --- The atlas -----------------------------------------------------------------------------------


_cache = {}

# Direction pieces: n = 1..4 turned clockwise from up by 0, 22.5, 45, 67.5 degrees.
TURNS = {1: 0.0, 2: 22.5, 3: 45.0, 4: 67.5}


def build():
    """({piece name: Pix}, {animation name: [piece names]})."""
    if "built" in _cache:
        return _cache["built"]
    pieces, anims = {}, {}
    for kind in KINDS:
        for n, turn in TURNS.items():
            pieces["fly%d_%d.png" % (kind, n)] = alien(kind, 90.0 - turn)
        pieces["fly%d_5.png" % kind] = alien(kind, 90.0, beat=1)
    pieces["ship.png"] = player_ship()
    pieces["bullet.png"] = bullet(None)
    pieces["life.png"] = life_mark()
    pieces["level.png"] = level_mark()
    for n in PLANETS:
        pieces["planet_%d.png" % n] = planet_piece(n)
    anims["mainship"] = []
    for i in range(3):
        pieces["flame%d.png" % (i + 1)] = flame(i)
        anims["mainship"].append("flame%d.png" % (i + 1))
    anims["bullet"] = []
    for i in range(2):
        pieces["shot%d.png" % (i + 1)] = bullet(i)
        anims["bullet"].append("shot%d.png" % (i + 1))
    anims["explosion_ship"] = []
    for i in range(8):
        pieces["boom%d.png" % (i + 1)] = burst(BOOM, i / 7.0, 70 + i)
        anims["explosion_ship"].append("boom%d.png" % (i + 1))
    anims["explosion_enemy"] = []
    for i in range(6):
        pieces["pop%d.png" % (i + 1)] = burst(POP, i / 5.0, 90 + i, ring=False)
        anims["explosion_enemy"].append("pop%d.png" % (i + 1))
    _cache["built"] = (pieces, anims)
    return _cache["built"]


def drawn_at(sizes):
    """The pieces whose drawings take a size (aliens, the ship and its life mark, the
    explosions), drawn anew at sizes {piece name: (w, h)}; {piece name: Pix}. A set smaller
    than the qvga set takes these instead of shrinking the finished pixels, so that outlines
    and eyes stay one sharp pixel. Pieces of another shape than their drawing are left out."""
    out = {}

    def square(name):
        w, h = sizes.get(name, (0, 0))
        return w if w == h and w > 0 else 0

    for kind in KINDS:
        looks = [(n, 90.0 - turn, 0) for n, turn in TURNS.items()] + [(5, 90.0, 1)]
        for n, angle, beat in looks:
            name = "fly%d_%d.png" % (kind, n)
            if square(name):
                out[name] = alien(kind, angle, beat, size=square(name))
    for name in ("ship.png", "life.png"):
        if name in sizes:
            out[name] = player_ship(*sizes[name])
    for i in range(8):
        name = "boom%d.png" % (i + 1)
        if square(name):
            out[name] = burst(square(name), i / 7.0, 70 + i)
    for i in range(6):
        name = "pop%d.png" % (i + 1)
        if square(name):
            out[name] = burst(square(name), i / 5.0, 90 + i, ring=False)
    return out


def formation_frames(kind):
    """The pieces of kind k's formation animation, as the game lists them."""
    tail = ["_1.png", "_5.png"] * 4 + ["_1.png", "_3.png", "_1.png_dn", "_3.png_dn",
                                       "_1.png_lv", "_3.png_lv", "_1.png_up", "_3.png_up"]
    return ["fly%d%s" % (kind, t) for t in tail]


def direction_names(kind):
    """The 16 direction pieces of kind k by sprite index."""
    names = []
    for suffix in ("_lv", "_up", "", "_dn"):
        names += ["fly%d_%d.png%s" % (kind, n, suffix) for n in range(1, 5)]
    return names


def atlas():
    if "atlas" not in _cache:
        pieces, _ = build()
        sheet, places = ss.pack(pieces)
        _cache["atlas"] = (sheet, places, ss.atlas_text(places))
    return _cache["atlas"]


def produce(entries):
    sheet, _, text = atlas()
    _, anims = build()
    entries[SET + ATLAS + ".png"] = ss.png_bytes(sheet)
    entries[SET + ATLAS + ".txt"] = text
    entries[ANIM_NAME] = ss.anim_text(anims)
    from gen import space_pictures
    entries[SET + "/corv/splash.jpg"] = space_pictures.corv_splash()
    entries[SET + "/corv/gameover.jpg"] = space_pictures.corv_gameover()


# --- Previews ------------------------------------------------------------------------------------


def write_previews(folder):
    os.makedirs(folder, exist_ok=True)
    pieces, anims = build()
    sheet, places, _ = atlas()
    img = Image.fromarray(sheet, "RGB")
    img.save(os.path.join(folder, "corv_atlas_1x.png"))
    img.resize((sheet.shape[1] * 3, sheet.shape[0] * 3), Image.NEAREST).save(
        os.path.join(folder, "corv_atlas_3x.png"))
    # Every kind in all 16 directions, as the game turns them.
    rows = []
    for kind in KINDS:
        row = np.full((20, 16 * 20, 3), 24, np.uint8)
        for i, name in enumerate(direction_names(kind)):
            ss.blit(row, sheet, places, name, i * 20 + 2, 2)
        rows.append(row)
    dirs = np.concatenate(rows, 0)
    for scale in (1, 3):
        Image.fromarray(dirs.repeat(scale, 0).repeat(scale, 1)).save(
            os.path.join(folder, "corv_aliens_%dx.png" % scale))
    others = sorted(n for n in pieces if not n.startswith("fly"))
    for scale in (1, 3):
        ss.board(pieces, others, scale, columns=12).save(
            os.path.join(folder, "corv_pieces_%dx.png" % scale))
    print("%d pieces, sheet %dx%d, %d animations" % (len(pieces), sheet.shape[1],
                                                     sheet.shape[0], len(anims)))


if __name__ == "__main__":
    sys.exit(ss.preview_main(write_previews, "Writes contact sheets of the sprites."))
