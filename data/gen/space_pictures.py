"""Full-screen pictures of the two space games, painted like the gallery's, with their own
sprites drawn large into them.

/mirf/splash.jpg: a rock field in a teal nebula, the silver ship firing at the largest rock;
shown while the space-rock game loads and, shaded, behind its menus.
/corv/splash.jpg: a wedge of aliens diving out of a violet nebula over a planet's rim at the
player's ship; the formation shooter's loading screen and menu background.
/corv/gameover.jpg: the planet burning under a red sky with the swarm passing overhead; loaded
behind the shooter's game-over message.
"""

import numpy as np

from gen.paint import H, W, add_light, glow, over, pixel_grid, stars, vertical_gradient
from gen.pictures import _seed, encode_jpeg
from gen.scenery import nebula, planet


def place(img, pix, cx, cy, dim=1.0):
    """Draws a sprite painted at twice the size, reduced with its coverage, centred at
    (cx, cy)."""
    a = pix.opaque.astype(np.float32)
    rgb = pix.rgb.astype(np.float32) / 255.0 * dim
    h, w = a.shape
    h2, w2 = h // 2, w // 2
    a = a[: h2 * 2, : w2 * 2].reshape(h2, 2, w2, 2).mean(axis=(1, 3))
    pre = (rgb * pix.opaque[..., None])[: h2 * 2, : w2 * 2].reshape(h2, 2, w2, 2, 3).mean(
        axis=(1, 3))
    colour = pre / np.maximum(a, 1e-6)[..., None]
    x0, y0 = int(round(cx - w2 / 2.0)), int(round(cy - h2 / 2.0))
    ys0, xs0 = max(0, -y0), max(0, -x0)
    ys1, xs1 = min(h2, H - y0), min(w2, W - x0)
    if ys1 <= ys0 or xs1 <= xs0:
        return
    region = img[y0 + ys0 : y0 + ys1, x0 + xs0 : x0 + xs1]
    over(region, colour[ys0:ys1, xs0:xs1], a[ys0:ys1, xs0:xs1])


def beam(img, x0, y0, x1, y1, colour, width=1.2, strength=1.0):
    """A glowing straight streak of light."""
    ys, xs = pixel_grid()
    dx, dy = x1 - x0, y1 - y0
    length = max(1e-3, (dx * dx + dy * dy) ** 0.5)
    t = np.clip(((xs - x0) * dx + (ys - y0) * dy) / (length * length), 0.0, 1.0)
    d = np.hypot(xs - (x0 + t * dx), ys - (y0 + t * dy))
    add_light(img, np.asarray(colour, np.float32), (np.exp(-(d / width) ** 2) * strength
                                                    ).astype(np.float32))


def mirf_splash_image():
    from gen.mirrowfen_art import rock, ship
    rng = np.random.default_rng(_seed("mirf", "splash"))
    img = vertical_gradient([(0.0, "#03050e"), (0.6, "#071020"), (1.0, "#0a0a18")])
    dens = nebula(img, rng, [(0.0, "#021a24"), (0.45, "#0e6a78"), (0.8, "#4ad0c8"),
                             (1.0, "#d8fff4")], cells=2.3, strength=0.9, warp=40,
                  centre=(150, 120, 150), dust=0.6)
    nebula(img, rng, [(0.0, "#100420"), (0.6, "#5a2a8a"), (1.0, "#c0a0ff")], cells=3,
           strength=0.35, warp=25, centre=(40, 250, 100), dust=0.3)
    stars(img, rng, 900, 0.9, region=1.0 - 0.5 * dens, big=6)
    for size, variant, turn, x, y, dim in ((3, 2, 40, 30, 60, 0.55), (2, 2, 10, 205, 250, 0.7),
                                           (3, 3, 200, 60, 205, 0.65), (2, 1, 120, 40, 120,
                                                                          0.8)):
        place(img, rock(size, variant, turn, px=2 * {2: 34, 3: 20}[size]), x, y, dim)
    place(img, rock(1, 1, 25, px=180), 165, 95)
    # The ship low on the left, firing up at the big rock; its shots and a hit.
    sx, sy = 78, 238
    add_light(img, np.array([0.4, 0.9, 1.0], np.float32), glow(sx - 12, sy + 14, 10) * 0.5)
    place(img, ship(52.0, 96), sx, sy)
    for k, (ax, ay) in enumerate(((102, 206), (118, 184), (134, 162))):
        beam(img, ax, ay, ax + 7, ay - 9, (0.4, 0.9, 1.0), 1.0, 1.4 - 0.3 * k)
    add_light(img, np.array([1.0, 0.75, 0.35], np.float32), glow(146, 138, 6, power=1.6) * 1.4)
    add_light(img, np.array([1.0, 1.0, 0.9], np.float32), glow(146, 138, 2.2) * 1.2)
    return np.clip(img, 0.0, 1.0)


def _aliens_wedge(img, rows, dim=1.0, angle=270.0):
    from gen.corvantine_art import alien
    for kind, x, y, beat in rows:
        place(img, alien(kind, angle, beat, size=48), x, y, dim)


def corv_splash_image():
    from gen.corvantine_art import player_ship
    rng = np.random.default_rng(_seed("corv", "splash"))
    img = vertical_gradient([(0.0, "#04030e"), (0.7, "#0a0820"), (1.0, "#120c26")])
    dens = nebula(img, rng, [(0.0, "#140628"), (0.45, "#5a1e9a"), (0.8, "#d060d0"),
                             (1.0, "#ffe0ff")], cells=2.4, strength=0.85, warp=40,
                  centre=(120, 90, 140), dust=0.6)
    stars(img, rng, 800, 0.85, region=1.0 - 0.5 * dens, big=5)
    planet(img, rng, 120, 560, 300, [(0.0, "#0a1a3a"), (0.5, "#2a5a9a"), (1.0, "#8ac0ff")],
           light=(0.2, -0.9, 0.4), bands=7, atmosphere="#7ac8ff", atmo_strength=0.7)
    wedge = [(1, 120, 60, 0), (4, 88, 88, 1), (4, 152, 88, 0), (3, 58, 116, 0),
             (5, 120, 112, 1), (3, 182, 116, 1), (2, 30, 146, 1), (6, 92, 140, 0),
             (6, 148, 140, 1), (2, 210, 146, 0)]
    _aliens_wedge(img, wedge)
    sx, sy = 120, 272
    beam(img, sx, sy - 16, sx, 170, (0.4, 0.85, 1.0), 1.0, 1.2)
    add_light(img, np.array([1.0, 0.6, 0.2], np.float32), glow(sx, sy + 13, 5) * 0.8)
    place(img, player_ship(76, 68), sx, sy)
    return np.clip(img, 0.0, 1.0)


def corv_gameover_image():
    rng = np.random.default_rng(_seed("corv", "gameover"))
    img = vertical_gradient([(0.0, "#08020a"), (0.55, "#2a0608"), (1.0, "#5a1408")])
    nebula(img, rng, [(0.0, "#1a0204"), (0.5, "#8a1a10"), (0.85, "#ff7a30"),
                      (1.0, "#ffe0a0")], cells=2.2, strength=0.7, warp=45,
           centre=(120, 230, 160), dust=0.7)
    stars(img, rng, 350, 0.6, big=2)
    cov = planet(img, rng, 120, 610, 330, [(0.0, "#1a0604"), (0.5, "#5a1a0c"),
                                           (1.0, "#a04018")],
                 light=(0.0, -0.8, 0.6), bands=5, atmosphere="#ff6a2a", atmo_strength=0.9)
    ys, xs = pixel_grid()
    fires = np.zeros((H, W), np.float32)
    for _ in range(26):
        fx, fy = rng.uniform(0, W), rng.uniform(292, 320)
        fires += glow(fx, fy, rng.uniform(2.0, 5.0), power=1.5) * rng.uniform(0.4, 1.0)
    add_light(img, np.array([1.0, 0.5, 0.15], np.float32), fires * cov)
    # Smoke columns rising from the fires.
    for x in (40, 118, 190):
        smoke = glow(x, 250, 26, power=1.4) * np.clip((300 - ys) / 120.0, 0, 1)
        over(img, np.array([0.06, 0.03, 0.03], np.float32), (smoke * 0.6).astype(np.float32))
    # The swarm passing overhead, dark against the glow.
    swarm = [(8, 50, 40, 0), (8, 84, 30, 1), (7, 150, 56, 0), (2, 196, 36, 1),
             (4, 118, 24, 0)]
    _aliens_wedge(img, swarm, dim=0.45, angle=250.0)
    return np.clip(img, 0.0, 1.0)


_cache = {}


def _jpeg(name, paint):
    if name not in _cache:
        _cache[name] = encode_jpeg(paint(), _seed(name, "jpeg"))[0]
    return _cache[name]


def mirf_splash():
    return _jpeg("mirf_splash", mirf_splash_image)


def corv_splash():
    return _jpeg("corv_splash", corv_splash_image)


def corv_gameover():
    return _jpeg("corv_gameover", corv_gameover_image)


# --- Previews: the pictures, and a frame of each game made up from the stored entries -----------


def _mock_mirf(entries):
    from gen import mirrowfen_art as ma
    from gen import space_sprites as ss
    from gen.pictures import compose, darken
    sheet, places, _ = ma.atlas()
    screen = darken(compose(entries, 15), -180)
    rng = np.random.default_rng(5)
    for i, colour in enumerate(((175, 175, 175), (0, 175, 255), (0, 0, 255))):
        for _ in range(50):
            screen[rng.integers(0, H), rng.integers(0, W)] = colour

    def centred(name, x, y):
        x0, y0, w, h = places[name[:-3] if name[-3:] in ("_up", "_dn", "_lv")
                              else name]
        if name[-3:] in ("_up", "_dn"):
            w, h = h, w
        ss.blit(screen, sheet, places, name, x - w // 2, y - h // 2)

    for name, x, y in (("a113", 50, 70), ("a126", 180, 110), ("a221_up", 70, 210),
                       ("a222_lv", 200, 240), ("a330", 120, 60), ("a312", 30, 150),
                       ("a331_dn", 160, 280), ("ufo17", 190, 40), ("ufo212", 60, 280),
                       ("ufo3", 150, 180), ("ufo3_blink1", 150, 180), ("rocket2", 130, 200),
                       ("spaceship2_up", 120, 160), ("bb2_up", 108, 146), ("bb2_up", 97, 135)):
        centred(name, x, y)
    bx, by = 150 - 22, 180 - 17
    ss.blit(screen, sheet, places, "ufo3_damaged1", bx + 2, by + 15)
    ss.blit(screen, sheet, places, "ufo3_damaged3", bx + 17, by + 27)
    # A flash at (60, 120) as the game draws it, from its four quarters, with its debris.
    w = places["wave1_4"][2]
    for name, x, y in (("wave1_4_up", 60 - w, 120), ("wave1_4", 60 - w, 120 - w),
                       ("wave1_4_dn", 60, 120 - w), ("wave1_4_lv", 60, 120)):
        ss.blit(screen, sheet, places, name, x, y)
    for name, x, y in (("p3", 48, 112), ("p5", 72, 130), ("bp0", 66, 104), ("bp2", 52, 132)):
        centred(name, x, y)
    ss.blit(screen, sheet, places, "lifePanel", 0, 0)
    sw = places["scorePanel"][2]
    ss.blit(screen, sheet, places, "scorePanel", W - sw, 0)
    return screen


def _mock_corv(entries):
    from gen import corvantine_art as ca
    from gen import space_sprites as ss
    from gen.pictures import compose, darken
    sheet, places, _ = ca.atlas()
    screen = darken(compose(entries, 20), -180)
    rng = np.random.default_rng(6)
    for colour in ((0, 0, 255), (0, 255, 255), (223, 223, 223)):
        for _ in range(50):
            screen[rng.integers(0, H), rng.integers(0, W)] = colour
    ss.blit(screen, sheet, places, "planet_2.png", 150, 40)
    wa = places["fly1_1.png"][2]
    counts, m, g = (2, 4, 5, 6, 6), 5 * (4 + wa) + 4, 10
    level = 1
    for r in range(4, -1, -1):
        kind = ((level - r - 2) & 7) + 1
        c = counts[r]
        xs = []
        x = (W + wa + g) // 2 if r else (W - 2 * wa) // 2
        for _ in range(c - c // 2):
            xs.append(x)
            x += wa + g if r else 2 * wa
        x = W // 2 - g // 2 - wa // 2 if r else (4 * (g + wa)) // 4 + W // 2
        for _ in range(c // 2):
            xs.append(x)
            x -= wa + g if r else (4 * (wa + g)) // 2
        for i, x in enumerate(xs):
            name = "fly%d_%s.png" % (kind, "5" if (i + r) % 2 else "1")
            ss.blit(screen, sheet, places, name, x - wa // 2, m - wa // 2)
        m -= wa + 4
    # Two divers, an alien shot, the ship with its exhaust, its shot in flight, status marks.
    ss.blit(screen, sheet, places, "fly3_2.png_lv", 80, 180)
    ss.blit(screen, sheet, places, "fly6_3.png_dn", 170, 200)
    ss.blit(screen, sheet, places, "pop3.png", 150, 120)
    sw, sh = places["ship.png"][2:]
    fh = places["flame1.png"][3]
    top = H - fh - sh
    sx = 110
    ss.blit(screen, sheet, places, "ship.png", sx - sw // 2, top)
    ss.blit(screen, sheet, places, "flame2.png", sx - places["flame1.png"][2] // 2, top + sh)
    ss.blit(screen, sheet, places, "bullet.png", 86, 230)
    ss.blit(screen, sheet, places, "shot1.png", sx - 1, 200)
    lw, lh = places["level.png"][2:]
    for i in range(3):
        ss.blit(screen, sheet, places, "level.png", W - lw * (i + 1), 0)
    fw = places["life.png"][2]
    for i in range(4):
        ss.blit(screen, sheet, places, "life.png", W - fw * (i + 1), lh)
    return screen


def write_previews(folder):
    import os
    from PIL import Image
    from gen import corvantine_art, mirrowfen_art
    from gen.pictures import darken, decode_565, produce_pictures
    os.makedirs(folder, exist_ok=True)
    entries = {}
    produce_pictures(entries)
    mirrowfen_art.produce(entries)
    corvantine_art.produce(entries)
    shots = []
    for name in ("mirf/splash", "corv/splash", "corv/gameover"):
        rgb8, _ = decode_565(entries["/graphics/qvga/%s.jpg" % name])
        shots.append(rgb8)
        shots.append(darken(rgb8, -161))
    sheet = np.concatenate([np.pad(s, ((0, 0), (0, 4), (0, 0))) for s in shots], 1)
    Image.fromarray(sheet).save(os.path.join(folder, "pictures_1x.png"))
    for name, mock in (("mirf", _mock_mirf), ("corv", _mock_corv)):
        frame = mock(entries)
        Image.fromarray(frame).save(os.path.join(folder, "%s_mockup_1x.png" % name))
        Image.fromarray(frame.repeat(3, 0).repeat(3, 1)).save(
            os.path.join(folder, "%s_mockup_3x.png" % name))


if __name__ == "__main__":
    import sys
    write_previews(sys.argv[1] if len(sys.argv) > 1 else "/tmp/preview/space")
