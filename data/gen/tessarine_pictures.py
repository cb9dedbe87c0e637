"""The brick-breaker's two full-screen pictures, painted like the gallery's.

/tesk/splash.jpg: a wall of jewel bricks hanging in a violet nebula, a ball flying up from the
paddle; shown while the game loads and, heavily shaded, behind its menus.
/tesk/gameover.jpg: the wall fallen to rubble under a dying red sky, embers rising; the
game-over text is written over its quiet middle.
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


def box_cover(x0, y0, x1, y1):
    """Exact coverage of each pixel by an axis-aligned box."""
    ys, xs = pixel_grid()
    cx = np.clip(np.minimum(xs + 0.5, x1) - np.maximum(xs - 0.5, x0), 0.0, 1.0)
    cy = np.clip(np.minimum(ys + 0.5, y1) - np.maximum(ys - 0.5, y0), 0.0, 1.0)
    return (cx * cy).astype(np.float32)


def jewel_brick(img, x, y, w, h, jewel, light=1.0):
    """A large brick: bevelled edges light on top and left, dark below and right."""
    top, face, bottom = (rgb(c) * light for c in JEWEL_FACES[jewel])
    ys, _ = pixel_grid()
    t = np.clip((ys - y) / h, 0.0, 1.0)[..., None]
    grad = top * (1 - t) * 0.35 + face * 0.65 + bottom * t * 0.6
    over(img, rgb("#0a0410"), box_cover(x - 1, y - 1, x + w + 1, y + h + 1))
    over(img, grad, box_cover(x, y, x + w, y + h))
    over(img, top, box_cover(x, y, x + w, y + 1.5))
    over(img, top * 0.8 + face * 0.2, box_cover(x, y, x + 1.5, y + h))
    over(img, bottom, box_cover(x, y + h - 1.5, x + w, y + h))
    over(img, bottom * 0.8 + face * 0.2, box_cover(x + w - 1.5, y, x + w, y + h))
    over(img, face * 0.6 + top * 0.4, box_cover(x + 4, y + 3.5, x + w - 4, y + h - 3.5))
    add_light(img, rgb("#ffffff"), glow(x + w * 0.3, y + h * 0.3, 2.5) * 0.35 * light)


def splash(rng):
    img = vertical_gradient([(0.0, "#090418"), (0.5, "#1c0a3a"), (1.0, "#0a0620")])
    dens = nebula(img, rng, [(0.0, "#200840"), (0.5, "#8020a0"), (0.8, "#e060c0"),
                             (1.0, "#ffd0f0")], cells=2.2, strength=1.0, warp=40,
                  centre=(120, 120, 150), dust=0.6)
    nebula(img, rng, [(0.0, "#001020"), (0.6, "#2060c0"), (1.0, "#a0d0ff")], cells=3,
           strength=0.5, warp=25, centre=(40, 250, 120), dust=0.3)
    stars(img, rng, 800, 0.9, region=1.0 - 0.6 * dens, big=6)
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
            jewel_brick(img, x0 + c * (bw + gap), 46 + row * (bh + gap), bw, bh, jewel)
    # Ball, its trail and the paddle.
    ys, xs = pixel_grid()
    bx, by = 128.0, 168.0
    along = np.clip(ys - by, 0.0, None)
    trail = np.exp(-along / 60.0) * np.exp(
        -((xs - bx - along * 0.12) ** 2) / (2.0 + along * 0.05)) * (ys > by)
    add_light(img, rgb("#a0c8ff"), trail.astype(np.float32) * 0.7)
    add_light(img, rgb("#e0f0ff"), glow(bx, by, 9.0) * 0.6)
    nx, ny, nz = sphere_normals(bx, by, 6.0)
    shade = np.clip(-0.5 * nx - 0.6 * ny + 0.7 * nz, 0, 1)[..., None]
    over(img, rgb("#3a4a66") * (1 - shade) + rgb("#ffffff") * shade, disc(bx, by, 6.0))
    px, py, pw, ph = 92.0, 250.0, 56.0, 8.0
    over(img, rgb("#1c2028"), box_cover(px - 1, py - 1, px + pw + 1, py + ph + 1))
    t = np.clip((ys - py) / ph, 0, 1)[..., None]
    over(img, rgb("#f4f8fc") * (1 - t) + rgb("#48505c") * t, box_cover(px, py, px + pw, py + ph))
    over(img, rgb("#d41c3c"), box_cover(px, py, px + 7, py + ph))
    over(img, rgb("#d41c3c"), box_cover(px + pw - 7, py, px + pw, py + ph))
    over(img, rgb("#3070e0"), box_cover(px + pw / 2 - 6, py + 3, px + pw / 2 + 6, py + 5))
    add_light(img, rgb("#6090ff"), glow(px + pw / 2, py + ph + 3, 8.0) * 0.5)
    return img


def gameover(rng):
    img = vertical_gradient([(0.0, "#040208"), (0.45, "#1a0610"), (0.72, "#5a1018"),
                             (0.8, "#2a0a10"), (1.0, "#0a0406")])
    stars(img, rng, 250, 0.6, region=np.linspace(1, 0, H)[:, None].repeat(W, 1) ** 2)
    ys, xs = pixel_grid()
    smoke = fbm(rng, 3.0, 5) * smoothstep(260, 120, ys)
    over(img, rgb("#2a1a20"), (smoke * 0.5).astype(np.float32))
    # Rubble: fallen bricks piled on the ground, dimmed, lit from the glow behind.
    ground = 262.0
    over(img, rgb("#0c0608"), box_cover(0, ground, W, H))
    for i in range(70):
        w, h = float(rng.integers(14, 26)), float(rng.integers(7, 11))
        x = float(rng.normal(W / 2, 70))
        pile = 22 * np.exp(-((x - W / 2) / 80.0) ** 2) + 10 * np.exp(-((x - 40) / 30.0) ** 2)
        y = ground - rng.random() * pile - h * 0.4 + i * 0.25
        jewel_brick(img, x - w / 2, y, w, h, ORDER[int(rng.integers(0, 5))],
                    light=0.35 + 0.3 * rng.random())
    # Embers drifting up from the rubble.
    embers = np.zeros_like(img)
    sub = np.random.default_rng(int(rng.integers(1 << 31)))
    stars(embers, sub, 220, 1.2, region=smoothstep(100, 260, ys), tint_spread=0.0)
    img += embers * rgb("#ff8030")
    add_light(img, rgb("#ff5020"), glow(W / 2, ground + 4, 90.0, power=1.5) * 0.25)
    return np.clip(img, 0.0, 1.0)


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
