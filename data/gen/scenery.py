"""Scene elements painted on a picture: mountain ranges, tree lines, water, moons, auroras,
nebulae and planets. Each paints into img (H x W x 3 float32) in back-to-front order."""

import numpy as np

from gen.paint import (H, SS, W, add_light, below_line, blur, disc, fbm, fine_to_pixels,
                       glow, line_fbm, over, pixel_grid, ramp, rgb, sample, smoothstep,
                       sphere_normals)


def ridge_line(rng, base, height, cells=3.0, peaks=0.6, octaves=7):
    """y of a mountain crest at each fine column: rounded hills mixed with sharp peaks."""
    n = W * SS
    soft = line_fbm(rng, n, cells, octaves)
    sharp = 1.0 - np.abs(line_fbm(rng, n, cells * 0.7, octaves))
    shape = (1.0 - peaks) * (soft * 0.5 + 0.5) + peaks * sharp
    shape = (shape - shape.min()) / max(1e-6, float(shape.max() - shape.min()))
    return (base - height * shape).astype(np.float32)


def mountains(img, rng, crest, colour, haze, haze_amount, light=1.0, snow=0.0,
              snow_colour="#f4f1f8", shadow_colour=None, floor=None, gully=0.7):
    """A range whose crest is the fine-column line `crest`. Faces turned to the light (light
    > 0: from the left) are lit, gullies run down from the crest, snow lies near the tops, and
    the range fades into `haze` towards its foot (valley haze) by haze_amount."""
    ys, xs = pixel_grid()
    top = fine_to_pixels(crest)
    slope = np.gradient(blur(top[None, :].repeat(3, 0), 2)[1])
    depth = ys - top[None, :]
    facing = np.clip(-slope * light * 1.6, -1.0, 1.0)[None, :] * np.exp(-depth / 55.0)
    gullies = fbm(rng, 14, 4, 0.55, stretch=(0.18, 1.0))
    texture = fbm(rng, 10, 4, 0.5)
    base = rgb(colour)
    shade = rgb(shadow_colour) if shadow_colour else base * np.float32(0.55)
    t = np.clip(0.5 + 0.5 * facing + (gullies - 0.5) * gully, 0.0, 1.0)[..., None]
    col = shade * (1.0 - t) + base * t
    col *= (0.88 + 0.24 * texture)[..., None]
    if snow > 0.0:
        line = (snow * (0.55 + 0.9 * gullies)) * np.clip(1.0 - (top.max() - top) / 1e3, 0, 1)
        peak = smoothstep(float(top.min()) + snow * 2.5, float(top.min()), top)[None, :]
        amount = smoothstep(line, line * 0.6, depth) * np.maximum(peak, 0.25)
        snow_lit = rgb(snow_colour)
        snow_dark = snow_lit * np.array([0.55, 0.62, 0.85], np.float32)
        sc = snow_dark + (snow_lit - snow_dark) * np.clip(0.5 + 0.9 * facing, 0, 1)[..., None]
        col = col * (1.0 - amount[..., None]) + sc * amount[..., None]
    fade = haze_amount * smoothstep(0.0, 90.0, depth)
    if floor is not None:
        fade = np.maximum(fade, smoothstep(floor - 30.0, floor, ys) * haze_amount * 1.4)
    fade = np.clip(fade, 0.0, 1.0)[..., None]
    col = col * (1.0 - fade) + rgb(haze) * fade
    over(img, col, below_line(crest))
    return top


def tree_line(rng, base, tall, count, lean=0.0, span=(-10.0, W + 10.0)):
    """Fine-column crest of a row of pines standing on y = base: each a stack of tiers that
    narrow towards a pointed top, on a short trunk."""
    n = W * SS
    xs = (np.arange(n, dtype=np.float32) + 0.5) / SS
    line = np.full(n, base, np.float32) + line_fbm(rng, n, 4) * tall * 0.08
    levels = np.linspace(1.0, 0.0, 96, dtype=np.float32)  # height fraction, top first
    for _ in range(count):
        x0 = span[0] + rng.random() * (span[1] - span[0])
        h0 = tall * (0.45 + 0.55 * rng.random())
        w0 = h0 * (0.2 + 0.08 * rng.random())
        tiers = rng.integers(4, 7)
        crown = np.clip((levels - 0.08) / 0.92, 0.0, 1.0)
        saw = 1.0 - 0.6 * ((crown * tiers) % 1.0) ** 0.7
        half = np.where(levels < 0.08, w0 * 0.12, w0 * (1.0 - crown) ** 0.9 * saw)
        lo, hi = int(max(0, (x0 - w0) * SS)), int(min(n, (x0 + w0) * SS + 1))
        if hi <= lo:
            continue
        d = np.abs(xs[lo:hi] - x0)
        inside = half[:, None] >= d[None, :]
        first = np.argmax(inside, axis=0)
        y = base - h0 * levels[first] - lean * (xs[lo:hi] - x0)
        y = np.where(inside.any(axis=0), y, base)
        line[lo:hi] = np.minimum(line[lo:hi], y)
    return line


def silhouette(img, crest, colour, rim=None, rim_width=1.5):
    """A flat dark shape below crest, optionally with a thin lit rim along its top."""
    cov = below_line(crest)
    over(img, rgb(colour), cov)
    if rim is not None:
        ys, _ = pixel_grid()
        top = fine_to_pixels(crest)[None, :]
        edge = np.exp(-np.maximum(ys - top, 0.0) / rim_width) * cov
        add_light(img, rgb(rim), edge.astype(np.float32))


def water(img, rng, horizon, tint, darken=0.7, ripple=2.5, streaks=0.25):
    """Mirrors everything above `horizon` into a lake below it with ripples."""
    ys, xs = pixel_grid()
    wave = fbm(rng, 3, 5, 0.6, stretch=(9.0, 1.0)) - 0.5
    wave2 = fbm(rng, 4, 4, 0.6, stretch=(12.0, 1.0)) - 0.5
    dist = np.maximum(ys - horizon, 0.0)
    src_y = 2.0 * horizon - ys + wave * ripple * (1.0 + dist / 25.0)
    src_x = xs + wave2 * ripple * 2.0
    src_y = np.clip(src_y, 0.5, horizon - 0.5)
    mirrored = sample(img, src_y, src_x)
    lines = fbm(rng, 2, 4, 0.5, stretch=(16.0, 1.0))
    bright = 1.0 + (lines - 0.5) * streaks * 2.0
    depthfade = np.clip(dist / (H - horizon + 1e-3), 0.0, 1.0)[..., None]
    refl = mirrored * bright[..., None] * darken
    refl = refl * (1.0 - 0.5 * depthfade) + rgb(tint) * (0.5 * depthfade + 0.12)
    cov = below_line(np.full(W * SS, horizon, np.float32))
    over(img, refl, cov)
    return lines


def glitter(img, rng, horizon, x, colour, strength, width=6.0, spread=0.25):
    """A path of sparkling light on the water under a moon or sun at column x."""
    ys, xs = pixel_grid()
    dist = np.maximum(ys - horizon, 0.0)
    half = width + dist * spread
    path = np.exp(-(((xs - x) / half) ** 2))
    sparkle = fbm(rng, 5, 4, 0.7, stretch=(14.0, 0.7))
    sparkle = smoothstep(0.45, 0.8, sparkle) ** 1.5
    amount = path * (0.25 + sparkle) * (ys > horizon + 0.5) * strength
    add_light(img, rgb(colour), amount.astype(np.float32))


def moon(img, rng, cx, cy, r, colour="#f2ead8", light=(-0.3, -0.2, 0.93), halo="#9fb4ff",
         halo_size=3.0, halo_strength=0.35, earthshine=0.06):
    """A cratered moon with its phase from the light direction and a halo."""
    add_light(img, rgb(halo), glow(cx, cy, r * halo_size, power=1.3) * halo_strength)
    nx, ny, nz = sphere_normals(cx, cy, r)
    lx, ly, lz = (np.asarray(light, np.float32) / np.linalg.norm(light)).tolist()
    lit = smoothstep(-0.05, 0.25, nx * lx + ny * ly + nz * lz)
    maria = fbm(rng, 5, 5, 0.55)
    craters = smoothstep(0.55, 0.75, fbm(rng, 18, 3, 0.5))
    albedo = 0.72 + 0.45 * smoothstep(0.35, 0.65, maria) - 0.12 * craters
    limb = 0.75 + 0.25 * nz
    surf = rgb(colour) * (albedo * limb * (lit + earthshine))[..., None]
    over(img, surf, disc(cx, cy, r))


def sun(img, cx, cy, r, core="#fff6dc", halo="#ffb060", halo_size=10.0, strength=0.8):
    add_light(img, rgb(halo), glow(cx, cy, r * halo_size, power=1.2) * strength)
    add_light(img, rgb(halo), glow(cx, cy, r * 2.5, power=1.5) * strength)
    over(img, rgb(core), disc(cx, cy, r))


def aurora(img, rng, base, amplitude, height, stops, strength=1.0, rays=70.0, shear=0.25):
    """One curtain of aurora: a wavy lower hem, light fading upward, fine vertical rays."""
    ys, xs = pixel_grid()
    hem = base + amplitude * line_fbm(rng, W, 2.5, 5)
    above = hem[None, :] - ys
    ray_line = (line_fbm(rng, W * 4, rays, 3, 0.6) * 0.5 + 0.5) ** 2.0
    ray_x = np.clip(((xs + above * shear) * 4.0).astype(int), 0, W * 4 - 1)
    ray = 0.35 + 1.3 * ray_line[ray_x]
    fold = 0.6 + 0.8 * (line_fbm(rng, W, 5, 3)[None, :] * 0.5 + 0.5)
    up = np.where(above >= 0, np.exp(-above / height), np.exp(above / 2.5))
    amount = up * ray * fold * strength
    col = ramp(np.clip(above / (height * 2.2), 0.0, 1.0), stops)
    add_light(img, col * amount[..., None], np.ones((H, W), np.float32))


def nebula(img, rng, stops, cells=2.5, strength=1.0, warp=30.0, centre=None, spread=1.0,
           dust=0.5):
    """Glowing gas: domain-warped fractal noise through a colour ramp, with dark dust lanes.
    Returns the gas density (0..1), usable to thin out stars."""
    ys, xs = pixel_grid()
    qx = fbm(rng, cells, 4) - 0.5
    qy = fbm(rng, cells, 4) - 0.5
    base = fbm(rng, cells * 1.6, 6, 0.55)
    density = sample(base, ys + qy * warp, xs + qx * warp)
    density = smoothstep(0.35, 0.8, density)
    if centre is not None:
        cx, cy, rad = centre
        density = density * glow(cx, cy, rad * spread, power=1.6)
    lanes = smoothstep(0.5, 0.75, sample(fbm(rng, cells * 2.4, 5, 0.6), ys - qx * warp,
                                         xs + qy * warp))
    density = density * (1.0 - dust * lanes)
    col = ramp(density, stops)
    add_light(img, col, density * strength)
    img *= (1.0 - 0.5 * dust * lanes * smoothstep(0.05, 0.4, density))[..., None]
    return density


def planet(img, rng, cx, cy, r, stops, light=(-0.6, -0.4, 0.7), bands=9.0, turbulence=0.08,
           tilt=0.25, atmosphere="#8fc8ff", atmo_strength=0.5, storms=0, night=0.02):
    """A banded planet: latitude bands through a colour ramp, turbulent band edges, lambert
    light with a soft terminator and a glowing atmosphere at the rim."""
    ys, xs = pixel_grid()
    nx, ny, nz = sphere_normals(cx, cy, r)
    c, s = np.cos(tilt), np.sin(tilt)
    lat_y = ny * c - nx * s
    lon_x = nx * c + ny * s
    swirl = fbm(rng, 7, 5, 0.55) - 0.5
    lat = lat_y + swirl * turbulence + 0.02 * np.sin(lon_x * 9.0 + lat_y * 30.0)
    band = 0.5 + 0.5 * np.sin(lat * bands * np.pi + 0.7 * np.sin(lat * 3.1 * bands))
    band = 0.65 * band + 0.35 * fbm(rng, 3, 4, 0.5, stretch=(6.0, 0.6))
    col = ramp(np.clip(band, 0.0, 1.0), stops)
    for _ in range(storms):
        sx, sy = rng.uniform(-0.5, 0.4), rng.uniform(-0.45, 0.45)
        d = np.sqrt(((lon_x - sx) / 0.16) ** 2 + ((lat_y - sy) / 0.08) ** 2)
        spot = np.exp(-(d**2) * 1.5)[..., None]
        col = col * (1.0 - spot * 0.6) + rgb("#c8643c") * spot * 0.6
    lx, ly, lz = (np.asarray(light, np.float32) / np.linalg.norm(light)).tolist()
    ndl = nx * lx + ny * ly + nz * lz
    lit = smoothstep(-0.15, 0.6, ndl) * (0.55 + 0.45 * nz) + night
    surf = col * lit[..., None]
    rim = (1.0 - nz) ** 2.5 * smoothstep(-0.3, 0.4, ndl)
    surf = surf + rgb(atmosphere) * (rim * atmo_strength)[..., None]
    cov = disc(cx, cy, r)
    over(img, surf, cov)
    # A thin halo outside the disc on the lit side.
    d = np.sqrt((xs - cx) ** 2 + (ys - cy) ** 2)
    outside = np.exp(-np.maximum(d - r, 0.0) / (r * 0.06)) * (1.0 - cov)
    side = smoothstep(-0.4, 0.6, ((xs - cx) * lx + (ys - cy) * ly) / np.maximum(d, 1e-3))
    add_light(img, rgb(atmosphere), (outside * side * atmo_strength * 0.8).astype(np.float32))
    return cov


def rings(img, rng, cx, cy, inner, outer, tilt, angle, stops, front, light=(-0.6, -0.4, 0.7),
          planet_r=0.0, opacity=0.85):
    """Rings around a planet at (cx, cy) seen at `tilt` (0 edge on, 1 face on) and turned by
    `angle`. front=False paints the half behind the planet, front=True the near half."""
    from gen.paint import fine_grid, reduce

    def ring_space(ys, xs):
        dx, dy = xs - cx, ys - cy
        ca, sa = np.cos(angle), np.sin(angle)
        u = dx * ca + dy * sa
        v = (-dx * sa + dy * ca) / tilt
        return u, v, np.sqrt(u * u + v * v)

    fy, fx = fine_grid()
    _, fv, frho = ring_space(fy, fx)
    half = (fv > 0) if front else (fv <= 0)
    inside = (frho >= inner) & (frho <= outer) & half
    if front is False and planet_r > 0:
        inside &= (fx - cx) ** 2 + (fy - cy) ** 2 > planet_r * planet_r
    cov = reduce(inside.astype(np.float32))
    ys, xs = pixel_grid()
    u, v, rho = ring_space(ys, xs)
    t = np.clip((rho - inner) / (outer - inner), 0.0, 1.0)
    n = 256
    grooves = 0.5 + 0.5 * line_fbm(rng, n, 14, 4, 0.55)
    gaps = np.ones(n, np.float32)
    gaps[int(n * 0.62) : int(n * 0.66)] = 0.15
    gaps[int(n * 0.3) : int(n * 0.315)] = 0.45
    idx = np.clip((t * (n - 1)).astype(int), 0, n - 1)
    dens = (0.5 + 0.6 * grooves[idx]) * gaps[idx]
    col = ramp(t, stops) * (0.55 + 0.45 * np.clip(dens, 0, 1.2))[..., None]
    if planet_r > 0 and not front:
        # The planet's shadow falls on the far half of the rings behind it.
        lx, ly = light[0], light[1]
        along = -((xs - cx) * lx + (ys - cy) * ly) / np.hypot(lx, ly)
        across = np.abs((xs - cx) * ly - (ys - cy) * lx) / np.hypot(lx, ly)
        shadow = smoothstep(planet_r * 1.02, planet_r * 0.9, across) * (along > 0)
        col *= (1.0 - 0.8 * shadow)[..., None]
    over(img, col, cov * np.clip(dens, 0.0, 1.0) * opacity)
