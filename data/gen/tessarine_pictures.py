"""The brick-breaker's two full-screen pictures, painted like the gallery's.

/tesk/splash.jpg: a wall of jewel bricks hanging in a violet nebula, a ball flying up from the
paddle; shown while the game loads and, heavily shaded, behind its menus.
/tesk/gameover.jpg: the wall fallen to rubble under a dying red sky, embers rising; the
game-over text is written over its quiet middle.

Both are also drawn at twice the size for the large screens' sets (`splash_large`,
`gameover_large`).
"""

import numpy as np

from gen.paint import (H, W, add_light, disc, fbm, glow, over, pixel_grid, rgb, smoothstep,
                       sphere_normals, stars, vertical_gradient)
from gen.pictures import _seed, encode_jpeg
from gen.scenery import nebula

JEWEL_FACES = {
    "ruby": ("#ff8c9c", "#d41c3c", "#5a0418"),
    "amber": ("#ffe08a", "#f0a018", "#6a3a00"),
    "emerald": ("#9cffb8", "#18b85a", "#004a22"),
    "sapphire": ("#a8d0ff", "#2464dc", "#081c5c"),
    "amethyst": ("#e0b0ff", "#9440d8", "#36105c"),
}
ORDER = ("ruby", "amber", "emerald", "sapphire", "amethyst")


def box_cover(x0, y0, x1, y1, h=H, w=W):
    """Exact coverage of each pixel by an axis-aligned box."""
    ys, xs = pixel_grid(h, w)
    cx = np.clip(np.minimum(xs + 0.5, x1) - np.maximum(xs - 0.5, x0), 0.0, 1.0)
    cy = np.clip(np.minimum(ys + 0.5, y1) - np.maximum(ys - 0.5, y0), 0.0, 1.0)
    return (cx * cy).astype(np.float32)


def jewel_brick(img, x, y, w, h, jewel, light=1.0, s=1.0):
    """A large brick: bevelled edges light on top and left, dark below and right. s is the
    picture's scale against 240x320, for its edges, bevels and highlight."""
    ph, pw = img.shape[:2]
    top, face, bottom = (rgb(c) * light for c in JEWEL_FACES[jewel])
    ys, _ = pixel_grid(ph, pw)
    t = np.clip((ys - y) / h, 0.0, 1.0)[..., None]
    grad = top * (1 - t) * 0.35 + face * 0.65 + bottom * t * 0.6

    def box(x0, y0, x1, y1):
        return box_cover(x0, y0, x1, y1, ph, pw)

    e, b = 1.0 * s, 1.5 * s
    over(img, rgb("#0a0410"), box(x - e, y - e, x + w + e, y + h + e))
    over(img, grad, box(x, y, x + w, y + h))
    over(img, top, box(x, y, x + w, y + b))
    over(img, top * 0.8 + face * 0.2, box(x, y, x + b, y + h))
    over(img, bottom, box(x, y + h - b, x + w, y + h))
    over(img, bottom * 0.8 + face * 0.2, box(x + w - b, y, x + w, y + h))
    over(img, face * 0.6 + top * 0.4, box(x + 4 * s, y + 3.5 * s, x + w - 4 * s, y + h - 3.5 * s))
    add_light(img, rgb("#ffffff"), glow(x + w * 0.3, y + h * 0.3, 2.5 * s, ph, pw) * 0.35 * light)


def splash(rng, s=1):
    """The splash at s times 240x320 (1 or 2). The gas is painted at 240x320 and enlarged,
    being soft; the stars, bricks, ball and paddle are drawn at the picture's own size."""
    img = vertical_gradient([(0.0, "#090418"), (0.5, "#1c0a3a"), (1.0, "#0a0620")])
    dens = nebula(img, rng, [(0.0, "#200840"), (0.5, "#8020a0"), (0.8, "#e060c0"),
                             (1.0, "#ffd0f0")], cells=2.2, strength=1.0, warp=40,
                  centre=(120, 120, 150), dust=0.6)
    nebula(img, rng, [(0.0, "#001020"), (0.6, "#2060c0"), (1.0, "#a0d0ff")], cells=3,
           strength=0.5, warp=25, centre=(40, 250, 120), dust=0.3)
    if s != 1:
        img = _enlarged(img, s)
        dens = _enlarged(dens, s)
    ph, pw = img.shape[:2]
    stars(img, rng, 800 * s, 0.9, region=1.0 - 0.6 * dens, big=6 * s)
    # The wall: an arch of bricks, nine columns, rows shortening towards the top.
    bw, bh, gap = 24, 11, 2
    for row in range(7):
        inset = abs(3 - row) if row < 3 else 0
        count = 9 - 2 * inset
        x0 = (W - count * (bw + gap) + gap) / 2
        for c in range(count):
            jewel = ORDER[(row + c) % len(ORDER)]
            if row == 6 and c in (3, 4, 5):
                continue  # the breach the ball has made
            jewel_brick(img, (x0 + c * (bw + gap)) * s, (46 + row * (bh + gap)) * s, bw * s,
                        bh * s, jewel, s=s)
    # Ball, its trail and the paddle.
    ys, xs = pixel_grid(ph, pw)
    ys, xs = ys / s, xs / s
    bx, by = 128.0, 168.0
    along = np.clip(ys - by, 0.0, None)
    trail = np.exp(-along / 60.0) * np.exp(
        -((xs - bx - along * 0.12) ** 2) / (2.0 + along * 0.05)) * (ys > by)
    add_light(img, rgb("#a0c8ff"), trail.astype(np.float32) * 0.7)
    add_light(img, rgb("#e0f0ff"), glow(bx * s, by * s, 9.0 * s, ph, pw) * 0.6)
    nx, ny, nz = sphere_normals(bx * s, by * s, 6.0 * s, ph, pw)
    shade = np.clip(-0.5 * nx - 0.6 * ny + 0.7 * nz, 0, 1)[..., None]
    over(img, rgb("#3a4a66") * (1 - shade) + rgb("#ffffff") * shade,
         disc(bx * s, by * s, 6.0 * s, ph, pw))
    px, py, pwid, pht = 92.0, 250.0, 56.0, 8.0

    def box(x0, y0, x1, y1):
        return box_cover(x0 * s, y0 * s, x1 * s, y1 * s, ph, pw)

    over(img, rgb("#1c2028"), box(px - 1, py - 1, px + pwid + 1, py + pht + 1))
    t = np.clip((ys - py) / pht, 0, 1)[..., None]
    over(img, rgb("#f4f8fc") * (1 - t) + rgb("#48505c") * t, box(px, py, px + pwid, py + pht))
    over(img, rgb("#d41c3c"), box(px, py, px + 7, py + pht))
    over(img, rgb("#d41c3c"), box(px + pwid - 7, py, px + pwid, py + pht))
    over(img, rgb("#3070e0"), box(px + pwid / 2 - 6, py + 3, px + pwid / 2 + 6, py + 5))
    add_light(img, rgb("#6090ff"), glow((px + pwid / 2) * s, (py + pht + 3) * s, 8.0 * s, ph,
                                        pw) * 0.5)
    return img


def _enlarged(field, s):
    """A soft field (h, w[, 3]) at s times its size (Lanczos)."""
    from PIL import Image

    h, w = field.shape[:2]
    chans = field[..., None] if field.ndim == 2 else field
    out = np.stack([np.asarray(Image.fromarray(np.ascontiguousarray(chans[..., c]), "F")
                               .resize((w * s, h * s), Image.LANCZOS))
                    for c in range(chans.shape[2])], -1).astype(np.float32)
    return out[..., 0] if field.ndim == 2 else out


def splash_large():
    """The splash drawn at 480x640 for the large screens' sets, float RGB 0..1."""
    img = splash(np.random.default_rng(_seed("tesk", "splash")), s=2)
    return np.clip(img, 0.0, 1.0).astype(np.float32)


def gameover(rng, s=1):
    """The game-over picture at s times 240x320 (1 or 2): the sky and smoke painted at
    240x320 and enlarged, the stars, rubble and embers drawn at the picture's own size."""
    sky = vertical_gradient([(0.0, "#040208"), (0.45, "#1a0610"), (0.72, "#5a1018"),
                             (0.8, "#2a0a10"), (1.0, "#0a0406")])
    img = sky if s == 1 else _enlarged(sky, s)
    ph, pw = img.shape[:2]
    stars(img, rng, 250 * s, 0.6, region=np.linspace(1, 0, ph)[:, None].repeat(pw, 1) ** 2)
    ys, xs = pixel_grid()
    smoke = fbm(rng, 3.0, 5) * smoothstep(260, 120, ys)
    if s != 1:
        smoke = _enlarged(smoke.astype(np.float32), s)
    over(img, rgb("#2a1a20"), (smoke * 0.5).astype(np.float32))
    # Rubble: fallen bricks piled on the ground, dimmed, lit from the glow behind.
    ground = 262.0
    over(img, rgb("#0c0608"), box_cover(0, ground * s, pw, ph, ph, pw))
    for i in range(70):
        w, h = float(rng.integers(14, 26)), float(rng.integers(7, 11))
        x = float(rng.normal(W / 2, 70))
        pile = 22 * np.exp(-((x - W / 2) / 80.0) ** 2) + 10 * np.exp(-((x - 40) / 30.0) ** 2)
        y = ground - rng.random() * pile - h * 0.4 + i * 0.25
        jewel_brick(img, (x - w / 2) * s, y * s, w * s, h * s, ORDER[int(rng.integers(0, 5))],
                    light=0.35 + 0.3 * rng.random(), s=s)
    # Embers drifting up from the rubble.
    embers = np.zeros_like(img)
    sub = np.random.default_rng(int(rng.integers(1 << 31)))
    ys2, _ = pixel_grid(ph, pw)
    stars(embers, sub, 220 * s, 1.2, region=smoothstep(100, 260, ys2 / s), tint_spread=0.0)
    img += embers * rgb("#ff8030")
    add_light(img, rgb("#ff5020"),
              glow(W / 2 * s, (ground + 4) * s, 90.0 * s, ph, pw, power=1.5) * 0.25)
    return np.clip(img, 0.0, 1.0)


def gameover_large():
    """The game-over picture drawn at 480x640 for the large screens' sets, float RGB 0..1."""
    img = gameover(np.random.default_rng(_seed("tesk", "gameover")), s=2)
    return img.astype(np.float32)


def produce_files():
    out = {}
    for name, scene in (("splash", splash), ("gameover", gameover)):
        img = scene(np.random.default_rng(_seed("tesk", name)))
        data, _ = encode_jpeg(np.clip(img, 0.0, 1.0), _seed("tesk", name, "jpeg"))
        out["/tesk/%s.jpg" % name] = data
    return out


def preview(folder):
    import io
    import os

    from PIL import Image
    os.makedirs(folder, exist_ok=True)
    for name, data in produce_files().items():
        Image.open(io.BytesIO(data)).save(os.path.join(folder, os.path.basename(name)[:-4]
                                                       + "_1x.png"))


if __name__ == "__main__":
    preview("/tmp/preview/tesk")
