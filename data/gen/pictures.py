"""The pictures of the gallery and the games' backgrounds, with the list that composes them.

The list "/img/all.txt" of the graphics set holds one line per picture, CR LF ended. Column 0
is a group digit, the payload starts at column 4. Consecutive lines with the same digit form
a group: its first line names the background ("/img/" + name + ".jpg"), each further line an
overlay "name;x;y" ("/img/dress/" + name + ".png" drawn at x, y on the background). Picture t
of a group shows the background and the overlays of the lines after t, so the group's first
picture is the most veiled and its last one the clear scene. Overlays are painted over the
very pixels they will lie on, with the colour key (255, 0, 255) where they leave the picture
alone, so their soft edges need no alpha blending on the handheld.

Line ranges follow how the games use the list: lines 0-13 are the brick-breaker's levels,
lines 14-18 the space-rock game's, lines 19-23 the formation shooter's.

Run as `python3 -m gen.pictures --preview DIR` (from data/, with DATARULES naming the datarules
tool) to write contact sheets.
"""

import io
import os
import sys

import numpy as np
from PIL import Image

from gen import rules, scenes, sprite
from gen.paint import H, W
from gen.sprite import png_bytes as encode_png

# The graphics set of the 240x320 screen configuration.
GRAPHICS_SET = "qvga"
LIST_NAME = "/img/all.txt"
KEY = (255, 0, 255)

# (background name, scene, [(overlay name, veil, arguments), ...]) in list order; the first
# overlay of a group is the one on top, which the first unlock clears.
GROUPS = [
    ("dawnlake", scenes.dawn_lake, [
        ("dawnfog", scenes.valley_fog, dict(top=176, bottom=330, colour="#f4d8d0")),
        ("dawnhaze", scenes.haze_band, dict(centre=156, thickness=22, colour="#ffe4d4",
                                                   density=0.85)),
    ]),
    ("fjord", scenes.moon_fjord, [
        ("fjordfrost", scenes.frost, dict(reach=60.0)),
    ]),
    ("aurora", scenes.aurora_peaks, []),
    ("mesa", scenes.desert_mesa, [
        ("mesadust", scenes.dust_cloud, dict(colour="#e8a078", density=0.85, cells=2.0,
                                             threshold=0.5)),
    ]),
    ("forest", scenes.forest_lake, []),
    ("valley", scenes.river_valley, [
        ("valleymist", scenes.valley_fog, dict(top=160, bottom=330, colour="#f0f4f8",
                                               density=0.8)),
    ]),
    ("dunes", scenes.twin_moon_dunes, []),
    ("volcano", scenes.volcano, [
        ("volcanoash", scenes.dust_cloud, dict(colour="#4a3a40", density=0.9, cells=2.5,
                                               threshold=0.47, glow_colour="#802818")),
    ]),
    ("nebula", scenes.emission_nebula, [
        ("nebuladust", scenes.dust_cloud, dict(colour="#3a1a30", density=0.85, cells=2.2,
                                               threshold=0.5, glow_colour="#a03050")),
    ]),
    ("ringworld", scenes.ringed_world, []),
    ("galaxy", scenes.spiral_galaxy, [
        ("galaxyveil", scenes.space_veil, dict(colour="#9a7ae0", density=0.9)),
    ]),
    ("bluelimb", scenes.blue_planet_limb, [
        ("limbcloud", scenes.dust_cloud, dict(colour="#4a6898", density=0.8, cells=2.0,
                                              threshold=0.44, glow_colour="#7aa0e0",
                                              above=200.0)),
    ]),
    ("giant", scenes.gas_giant, []),
    ("cluster", scenes.star_cluster, [
        ("clusterhaze", scenes.space_veil, dict(colour="#5ac8b0", density=0.85)),
    ]),
]

# Overlay pixels where the veil covers less than this keep the picture beneath.
ALPHA_CUT = 0.03
JPEG_QUALITY = 90


def list_lines():
    """The list's lines in order, as written."""
    lines = []
    for index, (name, _, overlays) in enumerate(GROUPS):
        digit = str((index + 1) % 10)
        lines.append("%s = %s" % (digit, name))
        for overlay in overlays:
            lines.append("%s + %s;%d;%d" % ((digit,) + _overlay_places()[overlay[0]]))
    return lines


def _seed(*parts):
    value = 0x5A17
    for p in parts:
        for ch in str(p):
            value = (value * 131 + ord(ch)) % (1 << 31)
    return value


def dither_to_565(img, seed):
    """Float RGB in 0..1 -> uint8 RGB holding exactly representable RGB565 values, with an
    ordered dither so gradients do not band."""
    bayer = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]],
                     np.float32)
    h, w = img.shape[:2]
    shift = np.random.default_rng(seed).integers(0, 4, 2)
    threshold = (np.roll(np.tile(bayer, (h // 4 + 1, w // 4 + 1))[:h, :w], shift, (0, 1))
                 + 0.5) / 16.0
    out = np.empty((h, w, 3), np.uint8)
    for c, levels in enumerate((31, 63, 31)):
        q = np.floor(np.clip(img[..., c], 0.0, 1.0) * levels + threshold)
        q = np.clip(q, 0, levels).astype(np.uint16)
        out[..., c] = (q << 3 | q >> 2) if levels == 31 else (q << 2 | q >> 4)
    return out


def guard_key(rgb8):
    """Keeps opaque pixels well away from the colour key: green at least 16 where red and
    blue are high, so neither JPEG error nor RGB565 truncation can turn them into it."""
    hot = (rgb8[..., 0] >= 200) & (rgb8[..., 2] >= 200)
    rgb8[..., 1] = np.where(hot, np.maximum(rgb8[..., 1], 16), rgb8[..., 1])
    return rgb8


def to_565(rgb8):
    r, g, b = (rgb8[..., i].astype(np.uint16) for i in range(3))
    return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)


def encode_jpeg(img, seed):
    """Baseline JPEG of a float picture, noise-dithered for RGB565 and free of the key."""
    rng = np.random.default_rng(seed)
    noise = rng.random(img.shape, dtype=np.float32) + rng.random(img.shape, dtype=np.float32)
    # One and a half RGB565 steps of triangular noise: JPEG smooths some of it away, and what
    # is left still breaks the bands that truncation to 5 and 6 bits would draw in gradients.
    step = np.array([12.0, 6.0, 12.0], np.float32)
    rgb8 = np.clip(np.round(img * 255.0 + (noise - 1.0) * step), 0, 255).astype(np.uint8)
    guard_key(rgb8)
    for _ in range(4):
        buf = io.BytesIO()
        Image.fromarray(rgb8, "RGB").save(buf, "JPEG", quality=JPEG_QUALITY, subsampling=0,
                                          optimize=True, progressive=False)
        data = buf.getvalue()
        decoded = np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))
        keyed = to_565(decoded) == 0xF81F
        if not keyed.any():
            return data, decoded
        rgb8[keyed] = np.maximum(rgb8[keyed], np.array([0, 40, 0], np.uint8))
    raise RuntimeError("picture keeps decoding to the colour key")


_cache = {}


def _overlay_places():
    return _render()["places"]


def _render():
    """Paints every background and overlay once per process (they are costly)."""
    if "files" in _cache:
        return _cache
    files, places, clean = {}, {}, {}
    for name, scene, overlays in GROUPS:
        img = scene(np.random.default_rng(_seed(name)))
        data, decoded = encode_jpeg(img, _seed(name, "jpeg"))
        files["/img/%s.jpg" % name] = data
        clean[name] = decoded
        # The overlays are drawn from the group's last line up to its second: each one is
        # painted over the background with all overlays below it already in place.
        below = decoded.astype(np.float32) / 255.0
        base = img
        for oname, veil, args in reversed(overlays):
            alpha, colour = veil(np.random.default_rng(_seed(name, oname)), base, **args)
            stack = below * (1.0 - alpha[..., None]) + colour * alpha[..., None]
            rgb8 = guard_key(dither_to_565(stack, _seed(oname)))
            mask = alpha >= ALPHA_CUT
            rows, cols = np.nonzero(mask.any(axis=1))[0], np.nonzero(mask.any(axis=0))[0]
            if rows.size == 0:
                raise RuntimeError("overlay %s covers nothing" % oname)
            y0, y1, x0, x1 = rows[0], rows[-1] + 1, cols[0], cols[-1] + 1
            piece = np.where(mask[..., None], rgb8, np.array(KEY, np.uint8))[y0:y1, x0:x1]
            files["/img/dress/%s.png" % oname] = encode_png(np.ascontiguousarray(piece))
            places[oname] = (oname, int(x0), int(y0))
            below = np.where(mask[..., None], rgb8.astype(np.float32) / 255.0, below)
    _cache.update(files=files, places=places, clean=clean)
    return _cache


def list_text():
    return "".join(line + "\r\n" for line in list_lines()).encode("ascii")


def produce_pictures(entries):
    """Adds the pictures, their overlays and the list to the archive entries."""
    prefix = "/graphics/" + GRAPHICS_SET
    for name, data in _render()["files"].items():
        entries[prefix + name] = data
    entries[prefix + LIST_NAME] = list_text()


# --- Reading the list back the way the game does -------------------------------------------


def find_image(entries, name):
    """The stored entry for a graphics name, with the set's fallback to the common folder."""
    for folder in (GRAPHICS_SET, "common"):
        key = "/graphics/%s%s" % (folder, name)
        if key in entries:
            return entries[key]
    raise KeyError(name)


def decode_565(data):
    """An image file as the handheld shows it: RGB565 expanded back to 8 bits, and the mask
    of its colour-key pixels."""
    rgb8 = np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))
    v = to_565(rgb8)
    r, g, b = (v >> 11) & 31, (v >> 5) & 63, v & 31
    out = np.stack([r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2], -1).astype(np.uint8)
    return out, v == 0xF81F


def compose(entries, n, screen=(W, H), fill=(255, 255, 255)):
    """Picture n on a blank (white) screen, composed from the stored list and files as the
    game plans it."""
    plan = rules.picture_plan(find_image(entries, LIST_NAME), n)
    sw, sh = screen
    out = np.empty((sh, sw, 3), np.uint8)
    out[...] = fill
    if plan is None:
        return out
    background, overlays = plan
    bg, _ = decode_565(find_image(entries, "/img/%s.jpg" % background))
    bh, bw = bg.shape[:2]
    ox, oy = (sw - bw) // 2, (sh - bh) // 2
    _paste(out, bg, None, ox, oy)
    for name, x, y in overlays:
        piece, keyed = decode_565(find_image(entries, "/img/dress/%s.png" % name))
        _paste(out, piece, ~keyed, x + ox, y + oy)
    return out


def _paste(out, piece, opaque, x, y):
    h, w = piece.shape[:2]
    sx0, sy0 = max(0, -x), max(0, -y)
    dx0, dy0 = max(0, x), max(0, y)
    dx1, dy1 = min(out.shape[1], x + w), min(out.shape[0], y + h)
    if dx1 <= dx0 or dy1 <= dy0:
        return
    src = piece[sy0 : sy0 + dy1 - dy0, sx0 : sx0 + dx1 - dx0]
    dst = out[dy0:dy1, dx0:dx1]
    if opaque is None:
        dst[...] = src
    else:
        m = opaque[sy0 : sy0 + dy1 - dy0, sx0 : sx0 + dx1 - dx0]
        dst[m] = src[m]


# --- Contact sheets ------------------------------------------------------------------------


def darken(rgb8, level):
    """The games' shading: black drawn over the picture with alpha |level|."""
    return (rgb8.astype(np.float32) * (1.0 - abs(level) / 255.0)).astype(np.uint8)


def _sheet(images, columns, gap=4, scale=1):
    h, w = images[0].shape[0] * scale, images[0].shape[1] * scale
    rows = (len(images) + columns - 1) // columns
    sheet = np.full((rows * (h + gap) + gap, columns * (w + gap) + gap, 3), 40, np.uint8)
    for i, im in enumerate(images):
        r, c = divmod(i, columns)
        big = im.repeat(scale, 0).repeat(scale, 1)
        sheet[gap + r * (h + gap) : gap + r * (h + gap) + h,
              gap + c * (w + gap) : gap + c * (w + gap) + w] = big
    return Image.fromarray(sheet, "RGB")


def write_previews(folder):
    entries = {}
    produce_pictures(entries)
    os.makedirs(folder, exist_ok=True)
    shown = [compose(entries, n) for n in range(1, 25)]
    _sheet(shown, 8).save(os.path.join(folder, "all_1x.png"))
    dark = [darken(im, -100 if i < 14 else -180) for i, im in enumerate(shown)]
    _sheet(dark, 8).save(os.path.join(folder, "all_darkened_1x.png"))
    clean = [decode_565(find_image(entries, "/img/%s.jpg" % g[0]))[0] for g in GROUPS]
    _sheet(clean, 7).save(os.path.join(folder, "backgrounds_1x.png"))
    for i, im in enumerate(shown):
        _sheet([im, dark[i]], 2, scale=2).save(os.path.join(folder, "pic%02d_2x.png" % i))
    sizes = sorted(((len(d), k) for k, d in entries.items()), reverse=True)
    print("%d entries, %d bytes; largest %s (%d)" % (len(entries), sum(s for s, _ in sizes),
                                                     sizes[0][1], sizes[0][0]))


if __name__ == "__main__":
    sys.exit(sprite.preview_main(write_previews, "Writes contact sheets of the pictures."))
