"""Drawing helpers for the painted pictures: noise, gradients, coverage masks and glows.

Colours are float32 RGB in 0..1 on a picture of W x H pixels. Edges (ridges, discs, rings)
are decided on a grid SS times finer in each direction and reduced to a coverage fraction, so
that silhouettes come out anti-aliased; colour fields are smooth and are worked out per pixel.
"""

import numpy as np
from PIL import Image

W, H = 240, 320
SS = 4


def rgb(hex_colour):
    """'#rrggbb' as a float32 colour."""
    v = int(hex_colour.lstrip("#"), 16)
    return np.array([(v >> 16) & 255, (v >> 8) & 255, v & 255], np.float32) / 255.0


def pixel_grid(h=H, w=W):
    """Pixel-centre coordinates, each (h, w)."""
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    return ys + 0.5, xs + 0.5


def fine_grid(h=H, w=W):
    """Sample coordinates of the fine grid in picture pixels, each (h*SS, w*SS)."""
    ys, xs = np.mgrid[0 : h * SS, 0 : w * SS].astype(np.float32)
    return (ys + 0.5) / SS, (xs + 0.5) / SS


def reduce(fine):
    """Box-filters a fine-grid array (h*SS, w*SS[, c]) down to the picture grid."""
    h, w = fine.shape[0] // SS, fine.shape[1] // SS
    shape = (h, SS, w, SS) + fine.shape[2:]
    return fine.reshape(shape).mean(axis=(1, 3), dtype=np.float32)


def smooth_grid(rng, cells_y, cells_x, h=H, w=W):
    """Value noise in 0..1: a random lattice of about cells_y x cells_x, bicubic-upsampled."""
    gy, gx = max(2, int(round(cells_y)) + 3), max(2, int(round(cells_x)) + 3)
    lattice = rng.random((gy, gx), dtype=np.float32)
    # The lattice is one cell larger on each side and cropped, so borders look like the middle.
    big_w = int(round(w * (gx - 1) / max(1.0, gx - 3)))
    big_h = int(round(h * (gy - 1) / max(1.0, gy - 3)))
    up = np.asarray(Image.fromarray(lattice, "F").resize((big_w, big_h), Image.BICUBIC))
    oy, ox = (big_h - h) // 2, (big_w - w) // 2
    return np.clip(up[oy : oy + h, ox : ox + w], 0.0, 1.0)


def fbm(rng, cells, octaves=5, gain=0.5, stretch=(1.0, 1.0), h=H, w=W):
    """Fractal noise in about 0..1; cells is the lattice count across the width of the first
    octave, stretch scales the cell counts along (y, x) for streaky textures."""
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    cx = float(cells)
    for _ in range(octaves):
        cy = cx * h / w
        if cx * stretch[1] > w / 1.5 or cy * stretch[0] > h / 1.5:
            break
        total += amp * smooth_grid(rng, cy * stretch[0], cx * stretch[1], h, w)
        norm += amp
        amp *= gain
        cx *= 2.0
    return total / norm


def line_fbm(rng, n, cells, octaves=6, gain=0.55):
    """One-dimensional fractal noise of n samples in about -1..1."""
    out = np.zeros(n, np.float32)
    amp, norm, c = 1.0, 0.0, float(cells)
    xs = np.linspace(0.0, 1.0, n, dtype=np.float32)
    for _ in range(octaves):
        k = max(2, int(c) + 2)
        knots = rng.random(k, dtype=np.float32) * 2.0 - 1.0
        pos = np.linspace(0.0, 1.0, k, dtype=np.float32)
        # Cosine interpolation between knots keeps ridges free of kinks at the knots.
        idx = np.clip(np.searchsorted(pos, xs, side="right") - 1, 0, k - 2)
        t = (xs - pos[idx]) / (pos[idx + 1] - pos[idx])
        t = (1.0 - np.cos(t * np.pi)) * 0.5
        out += amp * (knots[idx] * (1.0 - t) + knots[idx + 1] * t)
        norm += amp
        amp *= gain
        c *= 2.0
    return out / norm


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def vertical_gradient(stops, h=H, w=W):
    """(h, w, 3) from stops [(fraction of height, '#rrggbb'), ...] in rising order."""
    ys = (np.arange(h, dtype=np.float32) + 0.5) / h
    pos = np.array([p for p, _ in stops], np.float32)
    cols = np.stack([rgb(c) for _, c in stops])
    column = np.stack([np.interp(ys, pos, cols[:, i]) for i in range(3)], axis=1)
    return np.repeat(column[:, None, :], w, axis=1).astype(np.float32)


def ramp(values, stops):
    """Maps values (any shape) through colour stops [(value, '#rrggbb'), ...]."""
    pos = np.array([p for p, _ in stops], np.float32)
    cols = np.stack([rgb(c) for _, c in stops])
    return np.stack([np.interp(values, pos, cols[:, i]) for i in range(3)], axis=-1).astype(
        np.float32
    )


def over(img, colour, alpha):
    """Paints colour (3-vector or (h, w, 3)) over img with coverage alpha (h, w)."""
    a = alpha[..., None]
    img *= 1.0 - a
    img += np.asarray(colour, np.float32) * a
    return img


def add_light(img, colour, amount):
    """Adds light: colour times amount (h, w)."""
    img += np.asarray(colour, np.float32) * amount[..., None]
    return img


def radial(cx, cy, h=H, w=W, aspect=1.0):
    """Distance in pixels of each pixel centre from (cx, cy); aspect squashes y."""
    ys, xs = pixel_grid(h, w)
    return np.sqrt((xs - cx) ** 2 + ((ys - cy) / aspect) ** 2)


def glow(cx, cy, radius, h=H, w=W, power=2.0):
    """A soft falloff 1 at the centre, about 1/e at radius."""
    d = radial(cx, cy, h, w) / radius
    return np.exp(-(d**power)).astype(np.float32)


def below_line(ridge_fine, h=H):
    """Coverage of the region below a line; ridge_fine holds its y (picture pixels) at each of
    the W*SS fine columns."""
    ys = (np.arange(h * SS, dtype=np.float32) + 0.5) / SS
    return reduce((ys[:, None] >= ridge_fine[None, :]).astype(np.float32))


def fine_to_pixels(line_fine):
    """Averages a fine-column line down to one value per pixel column."""
    return line_fine.reshape(-1, SS).mean(axis=1)


def disc(cx, cy, r, h=H, w=W):
    """Anti-aliased coverage of a disc."""
    fy, fx = fine_grid(h, w)
    return reduce(((fx - cx) ** 2 + (fy - cy) ** 2 <= r * r).astype(np.float32))


def blur(a, radius):
    """Approximately Gaussian blur (three box passes along each axis) of (h, w[, c])."""
    r = max(1, int(radius))
    out = a.astype(np.float32)
    for axis in (0, 1):
        for _ in range(3):
            pad = [(0, 0)] * out.ndim
            pad[axis] = (r + 1, r)
            c = np.cumsum(np.pad(out, pad, mode="edge"), axis=axis, dtype=np.float64)
            n = out.shape[axis]
            hi = np.take(c, np.arange(2 * r + 1, 2 * r + 1 + n), axis=axis)
            lo = np.take(c, np.arange(0, n), axis=axis)
            out = ((hi - lo) / (2 * r + 1)).astype(np.float32)
    return out


def sample(field, ys, xs):
    """Bilinear sample of field (h, w[, c]) at float pixel-centre coordinates, edges clamped."""
    h, w = field.shape[:2]
    y = np.clip(ys - 0.5, 0.0, h - 1.001)
    x = np.clip(xs - 0.5, 0.0, w - 1.001)
    y0, x0 = y.astype(np.int32), x.astype(np.int32)
    ty, tx = y - y0, x - x0
    if field.ndim == 3:
        ty, tx = ty[..., None], tx[..., None]
    top = field[y0, x0] * (1 - tx) + field[y0, x0 + 1] * tx
    bottom = field[y0 + 1, x0] * (1 - tx) + field[y0 + 1, x0 + 1] * tx
    return (top * (1 - ty) + bottom * ty).astype(np.float32)


def stars(img, rng, count, brightness=1.0, region=None, tint_spread=0.25, big=0):
    """Scatters stars as bilinear splats; region (h, w) in 0..1 thins them out where low.
    The `big` brightest get a soft halo and a faint cross."""
    h, w = img.shape[:2]
    ys = rng.random(count) * (h - 1)
    xs = rng.random(count) * (w - 1)
    level = (rng.random(count) ** 3.0) * 0.85 + 0.15
    temps = rng.random(count)
    tints = np.stack(
        [1.0 - tint_spread * (temps < 0.3), 1.0 - tint_spread * 0.4 * np.abs(temps - 0.5),
         1.0 - tint_spread * (temps > 0.7)], axis=1
    ).astype(np.float32)
    if region is not None:
        keep = region[ys.astype(int), xs.astype(int)]
        level = level * keep
    light = np.zeros((h, w, 3), np.float32)
    y0, x0 = ys.astype(int), xs.astype(int)
    ty, tx = (ys - y0)[:, None], (xs - x0)[:, None]
    v = (level * brightness)[:, None] * tints
    for dy, dx, wgt in ((0, 0, (1 - ty) * (1 - tx)), (0, 1, (1 - ty) * tx),
                        (1, 0, ty * (1 - tx)), (1, 1, ty * tx)):
        np.add.at(light, (y0 + dy, x0 + dx), v * wgt)
    img += light
    if big:
        order = np.argsort(-level)[:big]
        for i in order:
            cx, cy, s = xs[i] + 0.5, ys[i] + 0.5, level[i] * brightness
            add_light(img, tints[i] * s * 0.5, glow(cx, cy, 2.2, h, w))
            yy, xx = pixel_grid(h, w)
            cross = np.exp(-np.abs(xx - cx) * 1.6) * np.exp(-((yy - cy) ** 2) / 0.3)
            cross += np.exp(-np.abs(yy - cy) * 1.6) * np.exp(-((xx - cx) ** 2) / 0.3)
            add_light(img, tints[i] * s * 0.35, cross.astype(np.float32))
    return img


def sphere_normals(cx, cy, r, h=H, w=W):
    """Unit normals (nx, ny, nz) of a sphere seen face on, clamped to its rim outside."""
    ys, xs = pixel_grid(h, w)
    nx, ny = (xs - cx) / r, (ys - cy) / r
    d2 = nx * nx + ny * ny
    scale = np.where(d2 > 1.0, 1.0 / np.sqrt(np.maximum(d2, 1e-9)), 1.0)
    nx, ny = nx * scale, ny * scale
    nz = np.sqrt(np.clip(1.0 - nx * nx - ny * ny, 0.0, 1.0))
    return nx.astype(np.float32), ny.astype(np.float32), nz.astype(np.float32)
