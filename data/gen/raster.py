"""Drawing helpers shared by the image producers: the shell palette, supersampled shapes, and
the reduction to what the handheld shows (RGB565 with the magenta colour key).

The game's PNG decoder ignores alpha and keeps the top 5/6/5 bits of each channel, and treats
(255, 0, 255) as transparent. So every image is written as plain RGB: transparent pixels are
exactly the key, opaque pixels are snapped to RGB565 values that can never turn into the key.
"""

import io

import numpy as np
from PIL import Image, ImageDraw

KEY = (255, 0, 255)
SS = 4  # supersampling factor for shapes

# Shell palette (art direction): night blue, warm and cool accents, text and outline.
NIGHT_DARK = (0x10, 0x18, 0x3A)
NIGHT_LIGHT = (0x26, 0x34, 0x6E)
AMBER = (0xFF, 0xB3, 0x47)
CYAN = (0x5F, 0xD3, 0xFF)
OFF_WHITE = (0xF4, 0xF1, 0xE8)
OUTLINE = (0x0B, 0x0F, 0x1F)
VIOLET = (0x73, 0x81, 0xA9)

# 4x4 Bayer matrix, thresholds in (0, 1).
_BAYER = (np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) + 0.5) / 16.0


def to565(rgb, dither=False):
    """Snaps float RGB (h, w, 3; 0..255) to values that survive the decoder's truncation
    unchanged; with dither, ordered dithering spreads gradients over neighbouring steps."""
    rgb = np.clip(np.asarray(rgb, dtype=np.float64), 0, 255)
    h, w = rgb.shape[:2]
    steps = np.array([255.0 / 31, 255.0 / 63, 255.0 / 31])
    levels = rgb / steps
    if dither:
        threshold = np.tile(_BAYER, (h // 4 + 1, w // 4 + 1))[:h, :w, None]
        q = np.floor(levels + threshold)
    else:
        q = np.floor(levels + 0.5)
    q = np.minimum(q, [31, 63, 31]).astype(np.int32)
    r, g, b = q[..., 0], q[..., 1], q[..., 2]
    # An opaque pixel must never decode to the key 0xF81F.
    g = np.where((r == 31) & (g == 0) & (b == 31), 1, g)
    out = np.stack([(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)], axis=-1)
    return out.astype(np.uint8)


def decode565(rgb):
    """The 16-bit pixels the game makes of 8-bit RGB rows."""
    rgb = np.asarray(rgb, dtype=np.uint16)
    return (rgb[..., 0] >> 3) << 11 | (rgb[..., 1] >> 2) << 5 | (rgb[..., 2] >> 3)


def compose(rgb, opaque, dither=False):
    """An RGB image: rgb where opaque, the key elsewhere."""
    out = to565(rgb, dither)
    out[~opaque] = KEY
    return out


def png_bytes(pixels):
    """PNG file of an (h, w, 3) uint8 array; deterministic (no time or text chunks)."""
    buffer = io.BytesIO()
    Image.fromarray(np.asarray(pixels, dtype=np.uint8), "RGB").save(buffer, "PNG", optimize=True)
    return buffer.getvalue()


def blank_mask(w, h, scale=SS):
    """A supersampled coverage canvas and its drawing context for a w x h result."""
    image = Image.new("L", (w * scale, h * scale), 0)
    return image, ImageDraw.Draw(image)


def reduce_mask(image, scale=SS):
    """Coverage 0..1 at the result size from a supersampled mask (box filter)."""
    a = np.asarray(image, dtype=np.float64) / 255.0
    h, w = a.shape[0] // scale, a.shape[1] // scale
    return a[: h * scale, : w * scale].reshape(h, scale, w, scale).mean(axis=(1, 3))


def dilate(mask, cross=False):
    """One-pixel growth of a boolean mask (8-neighbour, or 4-neighbour with cross)."""
    m = np.pad(mask, 1)
    out = mask.copy()
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            if (dx, dy) == (0, 0) or (cross and dx and dy):
                continue
            out |= m[1 + dy : 1 + dy + mask.shape[0], 1 + dx : 1 + dx + mask.shape[1]]
    return out


def vertical_gradient(h, w, top, bottom, curve=1.0):
    t = (np.arange(h, dtype=np.float64) / max(h - 1, 1)) ** curve
    t = t[:, None]
    col = np.array(top, float)[None, :] * (1 - t) + np.array(bottom, float)[None, :] * t
    return np.repeat(col[:, None, :], w, axis=1)


def lerp(a, b, t):
    """a + (b - a) t over images; t broadcast from (h, w)."""
    a = np.asarray(a, dtype=np.float64)
    b = np.asarray(b, dtype=np.float64)
    t = np.asarray(t, dtype=np.float64)
    if t.ndim == 2:
        t = t[..., None]
    return a + (b - a) * t


def outlined(fill, coverage, outline=OUTLINE, threshold=0.12, cross=False, dither=False):
    """A sprite with a one-pixel dark rim: inside, the fill blended into the rim colour by
    coverage, so edges stay smooth on any background although the key allows no alpha."""
    inside = coverage > threshold
    opaque = dilate(inside, cross)
    h, w = coverage.shape
    rgb = lerp(np.broadcast_to(np.array(outline, float), (h, w, 3)), fill, coverage)
    return compose(rgb, opaque, dither)


def shadowed(fill, coverage, shadow=OUTLINE, threshold=0.12):
    """A sprite with a one-pixel shadow below and to the right: lighter than a full rim, for
    small print whose letters would drown in a rim on both sides."""
    inside = coverage > threshold
    opaque = inside.copy()
    opaque[1:, 1:] |= inside[:-1, :-1]
    h, w = coverage.shape
    rgb = lerp(np.broadcast_to(np.array(shadow, float), (h, w, 3)), fill, coverage)
    return compose(rgb, opaque)
