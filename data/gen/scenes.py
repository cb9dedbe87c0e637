"""The painted scenes behind the gallery and the games, and the veils laid over them.

A scene paints a whole picture. A veil returns (alpha, colour): how much of the picture it
covers and with what; the unlocks clear veils one by one.
"""

import numpy as np

from gen.paint import (H, SS, W, add_light, blur, fbm, glow, line_fbm, pixel_grid, ramp,
                       rgb, smoothstep, stars, vertical_gradient)
from gen.scenery import (aurora, glitter, moon, mountains, nebula, planet, ridge_line, rings,
                         silhouette, sun, tree_line, water)


# --- Landscapes: bright enough to read behind bricks when darkened ---------------------------


def dawn_lake(rng):
    img = vertical_gradient([(0.0, "#2a2f6e"), (0.22, "#7a5a9c"), (0.4, "#f19a7a"),
                             (0.5, "#ffd49a"), (1.0, "#ffd49a")])
    stars(img, rng, 60, 0.5, region=np.linspace(1, 0, H)[:, None].repeat(W, 1) ** 3)
    sun(img, 150, 158, 9, core="#fff3d6", halo="#ff9e5e", halo_size=9.0, strength=0.55)
    mountains(img, rng, ridge_line(rng, 160, 70, 2.5, 0.8), "#b48aa8", "#f3b898", 0.7,
              light=-1.0, snow=10.0, snow_colour="#ffe6da", shadow_colour="#7d6a9e")
    mountains(img, rng, ridge_line(rng, 166, 42, 3.5, 0.5), "#7a5f8c", "#e9a88e", 0.55,
              light=-1.0, snow=6.0, snow_colour="#ffd8c8", shadow_colour="#4c3f70")
    mountains(img, rng, ridge_line(rng, 170, 18, 5.0, 0.3), "#3f3a5e", "#c98e88", 0.35,
              light=-1.0, shadow_colour="#2a2744")
    water(img, rng, 170, "#2b2d58", darken=0.8, ripple=1.6)
    glitter(img, rng, 170, 150, "#ffd9a8", 0.7, width=5.0)
    silhouette(img, tree_line(rng, 300, 90, 24), "#141428", rim="#ff9e6e", rim_width=1.2)
    return img


def moon_fjord(rng):
    img = vertical_gradient([(0.0, "#070c26"), (0.45, "#173468"), (0.6, "#2c5790"),
                             (1.0, "#2c5790")])
    stars(img, rng, 420, 0.9, big=4)
    moon(img, rng, 172, 70, 24, light=(0.0, 0.0, 1.0), halo="#9cc0ff", halo_size=3.4,
         halo_strength=0.45)
    left = ridge_line(rng, 205, 150, 1.5, 0.5)
    left = left + np.linspace(-54, 108, W * SS, dtype=np.float32)
    right = ridge_line(rng, 205, 110, 1.5, 0.5)
    right = right + np.linspace(110, -40, W * SS, dtype=np.float32)
    mountains(img, rng, np.minimum(right, 205), "#34507e", "#4a6fa0", 0.5, light=-1.0,
              snow=12.0, snow_colour="#d8e6ff", shadow_colour="#1a2b4e")
    mountains(img, rng, np.minimum(left, 205), "#27406a", "#3c5f92", 0.55, light=-1.0,
              snow=9.0, snow_colour="#c9dcff", shadow_colour="#101d3a")
    water(img, rng, 205, "#0e1e40", darken=0.75, ripple=2.2)
    glitter(img, rng, 205, 172, "#d9e6ff", 0.8, width=3.0, spread=0.18)
    return img


def aurora_peaks(rng):
    img = vertical_gradient([(0.0, "#03081a"), (0.5, "#0b1c3a"), (0.66, "#12325a"),
                             (1.0, "#12325a")])
    stars(img, rng, 500, 0.9, big=3)
    aurora(img, rng, 150, 28, 48, [(0.0, "#5dffa8"), (0.35, "#2fe0b0"), (0.7, "#6a6cff"),
                                   (1.0, "#d45cff")], strength=0.55)
    aurora(img, rng, 105, 20, 34, [(0.0, "#7dffb0"), (0.5, "#35c8c8"), (1.0, "#a060ff")],
           strength=0.35, shear=-0.2)
    mountains(img, rng, ridge_line(rng, 212, 85, 2.0, 0.85), "#8fa6c8", "#1e3a5c", 0.45,
              light=1.0, snow=30.0, snow_colour="#d6fff0", shadow_colour="#2a3d62")
    mountains(img, rng, ridge_line(rng, 216, 30, 4.0, 0.5), "#41587e", "#1c3556", 0.4,
              light=1.0, snow=8.0, snow_colour="#bfeee0", shadow_colour="#1a2642")
    water(img, rng, 216, "#0d2238", darken=0.7, ripple=0.8, streaks=0.15)
    # Ice on the lake: pale cracked plates over the reflection.
    ys, xs = pixel_grid()
    ice = smoothstep(0.48, 0.62, fbm(rng, 9, 5, 0.55)) * smoothstep(216, 260, ys)
    img += (rgb("#9fc4d8") * 0.35 - img * 0.3) * ice[..., None]
    silhouette(img, tree_line(rng, 306, 70, 18, 0.02), "#050b16", rim="#3fbf9a", rim_width=1.0)
    return img


def desert_mesa(rng):
    img = vertical_gradient([(0.0, "#1d1240"), (0.35, "#5a2c6e"), (0.56, "#d86a5a"),
                             (0.62, "#f6a36b"), (1.0, "#f6a36b")])
    stars(img, rng, 160, 0.7, region=np.linspace(1, 0, H)[:, None].repeat(W, 1) ** 2)
    moon(img, rng, 70, 148, 40, colour="#ffcf96", light=(0.0, 0.0, 1.0), halo="#ff9a5c",
         halo_size=2.2, halo_strength=0.4)
    n = W * SS
    xs = (np.arange(n, dtype=np.float32) + 0.5) / SS
    mesa = np.full(n, 240.0, np.float32)
    for x0, x1, top in ((120, 200, 168), (196, 250, 182), (-10, 40, 196)):
        inside = smoothstep(x0 - 9, x0 + 3, xs) * smoothstep(x1 + 9, x1 - 3, xs)
        mesa = np.minimum(mesa, 240.0 - (240.0 - top) * inside
                          + line_fbm(rng, n, 30, 3) * 2.0)
    mountains(img, rng, mesa, "#c0563a", "#e27a5a", 0.25, light=1.0, shadow_colour="#5a2438")
    dunes = 250 + line_fbm(rng, n, 2, 4) * 10
    mountains(img, rng, dunes, "#e2925a", "#f2a870", 0.15, light=1.0, shadow_colour="#8a4a48")
    near = 285 + line_fbm(rng, n, 1.5, 4) * 14
    mountains(img, rng, near, "#b8643e", "#c9745a", 0.05, light=1.0, shadow_colour="#4a2030")
    return img


def forest_lake(rng):
    img = vertical_gradient([(0.0, "#0a1830"), (0.4, "#1b4a5e"), (0.55, "#3f8a86"),
                             (0.6, "#a9c9a0"), (1.0, "#a9c9a0")])
    stars(img, rng, 260, 0.8, region=np.linspace(1, 0, H)[:, None].repeat(W, 1) ** 2)
    moon(img, rng, 60, 60, 16, colour="#fff4d8", light=(0.9, 0.2, 0.25), halo="#bfe8d8",
         halo_size=4.0, halo_strength=0.3, earthshine=0.08)
    mountains(img, rng, ridge_line(rng, 188, 30, 2.0, 0.2), "#3f7a78", "#8ab8a0", 0.55,
              light=-1.0, shadow_colour="#2a5a60")
    silhouette(img, tree_line(rng, 190, 34, 60), "#1f4b52")
    silhouette(img, tree_line(rng, 193, 22, 50), "#163c44")
    water(img, rng, 193, "#0f2c38", darken=0.85, ripple=1.2)
    glitter(img, rng, 193, 60, "#e8f4d8", 0.35, width=2.5, spread=0.12)
    near = np.minimum(tree_line(rng, 334, 240, 2, span=(-30.0, 20.0)),
                      tree_line(rng, 334, 120, 4, span=(150.0, 250.0)))
    silhouette(img, near, "#06141a", rim="#7fc8b0", rim_width=0.8)
    return img


def river_valley(rng):
    img = vertical_gradient([(0.0, "#4b7ed0"), (0.3, "#8fb8e8"), (0.45, "#ffe2b0"),
                             (1.0, "#ffe2b0")])
    sun(img, 200, 128, 10, core="#fffbe8", halo="#ffd27a", halo_size=9.0, strength=0.5)
    ys, xs = pixel_grid()
    puffs = smoothstep(0.55, 0.8, fbm(rng, 3, 5, 0.5, stretch=(2.5, 1.0)))
    puffs *= smoothstep(140, 40, ys)
    img += (rgb("#fff6e8") - img) * (puffs * 0.7)[..., None]
    mountains(img, rng, ridge_line(rng, 150, 45, 2.5, 0.7), "#8aa4c8", "#c8d8e8", 0.6,
              light=-1.0, snow=8.0, snow_colour="#ffffff", shadow_colour="#6a80a8")
    mountains(img, rng, ridge_line(rng, 190, 45, 2.0, 0.1), "#7fae5a", "#b8d0a0", 0.45,
              light=-1.0, shadow_colour="#3e7048")
    mountains(img, rng, ridge_line(rng, 240, 40, 1.5, 0.0), "#6a9e3e", "#a8c890", 0.25,
              light=-1.0, shadow_colour="#2e5a34")
    # A river winding from the far hills towards the viewer, catching the sky.
    far = np.maximum(ys - 214.0, 0.0)
    centre = 118.0 + 46.0 * np.sin(far / 20.0 + 0.6) * (far / 110.0)
    half = 0.6 + far * 0.3
    river = smoothstep(half + 0.8, half - 0.8, np.abs(xs - centre)) * smoothstep(214, 218, ys)
    shimmer = fbm(rng, 6, 4, 0.6, stretch=(8.0, 1.0))
    rcol = vertical_gradient([(0.0, "#fff0c8"), (0.6, "#bcd8f0"), (1.0, "#8ab8e8")])
    rcol = rcol * (0.85 + 0.3 * shimmer)[..., None]
    img += (rcol - img) * river[..., None]
    mountains(img, rng, 292 + line_fbm(rng, W * SS, 2, 4) * 12, "#4e7e2e", "#6a9a4a", 0.1,
              light=-1.0, shadow_colour="#22441e")
    silhouette(img, tree_line(rng, 335, 110, 6), "#1c3a1a", rim="#c8e070", rim_width=0.8)
    return img


def twin_moon_dunes(rng):
    img = vertical_gradient([(0.0, "#060a22"), (0.55, "#1c2258"), (0.72, "#4a3a7a"),
                             (1.0, "#4a3a7a")])
    stars(img, rng, 600, 0.95, big=5)
    moon(img, rng, 70, 84, 30, colour="#f0e0ff", light=(0.7, -0.2, 0.4), halo="#b0a0ff",
         halo_size=2.6, halo_strength=0.35)
    moon(img, rng, 168, 128, 13, colour="#ffe0c0", light=(0.7, -0.2, 0.4), halo="#ffb0a0",
         halo_size=3.0, halo_strength=0.25)
    ys, xs = pixel_grid()
    for base, amp, lit, dark, haze, cells in (
        (226, 22, "#9a84c8", "#3a2e6a", 0.35, 1.4), (262, 30, "#c4a0d0", "#42306a", 0.15, 1.1),
        (318, 44, "#e0b8d8", "#2e2050", 0.0, 0.8)):
        crest = ridge_line(rng, base, amp, cells, peaks=0.9, octaves=2)
        top = mountains(img, rng, crest, lit, "#5a4a8a", haze, light=1.0, shadow_colour=dark,
                        gully=0.12)
        # Wind ripples across the sand, fading with distance.
        ripples = 0.5 + 0.5 * np.sin((ys + 6.0 * fbm(rng, 4, 3)) * (1.2 + base / 200.0))
        near = smoothstep(top[None, :], top[None, :] + 40.0, ys) * (ys > top[None, :])
        img *= (1.0 - 0.08 * ripples * near)[..., None]
    return img


def volcano(rng):
    img = vertical_gradient([(0.0, "#1a0c2a"), (0.35, "#4a1a40"), (0.55, "#a03a34"),
                             (0.7, "#f08a44"), (1.0, "#f08a44")])
    stars(img, rng, 300, 0.8, region=np.linspace(1, 0, H)[:, None].repeat(W, 1) ** 2.5)
    ys, xs = pixel_grid()
    n = W * SS
    fx = (np.arange(n, dtype=np.float32) + 0.5) / SS
    cone = 262.0 - 150.0 * np.exp(-np.abs(fx - 118) / 62.0) + line_fbm(rng, n, 8, 4) * 5
    cone = np.maximum(cone, 118.0 + line_fbm(rng, n, 30, 2) * 1.5)
    plume = glow(118, 70, 60, power=1.5) * smoothstep(112, 0, ys)
    plume *= 0.6 + 0.6 * fbm(rng, 4, 5, 0.55)
    add_light(img, rgb("#ff6a2a"), plume * 0.45)
    add_light(img, rgb("#ffb050"), glow(118, 112, 18, power=1.4) * 0.9)
    top = mountains(img, rng, cone.astype(np.float32), "#8a4a50", "#c8603c", 0.45, light=1.0,
                    shadow_colour="#3a1a2a")
    # Lava runs down the slope: bright threads along the gullies from the crater.
    flow = smoothstep(0.62, 0.7, fbm(rng, 18, 3, 0.5, stretch=(0.25, 1.0)))
    near = glow(118, 112, 70, power=1.2) * (ys > top[None, :] + 1)
    add_light(img, rgb("#ff7a28"), flow * near * 1.3)
    ridge = ridge_line(rng, 250, 36, 3.0, 0.6)
    mountains(img, rng, ridge, "#5a2a34", "#a04a3a", 0.4, light=1.0, shadow_colour="#24121c")
    silhouette(img, 300 + line_fbm(rng, n, 2, 4) * 10, "#0a0608", rim="#ff7040",
               rim_width=1.0)
    return img


# --- Space: mostly dark sky, read through a strong darkening ---------------------------------


def emission_nebula(rng):
    img = vertical_gradient([(0.0, "#05030c"), (1.0, "#0a0616")])
    dens = nebula(img, rng, [(0.0, "#3a0a3a"), (0.4, "#b0204a"), (0.7, "#ff6a6a"),
                             (1.0, "#ffd8c0")], cells=2.2, strength=1.2, warp=40,
                  centre=(130, 150, 150), dust=0.7)
    nebula(img, rng, [(0.0, "#0a1040"), (0.6, "#3a50c0"), (1.0, "#a0c0ff")], cells=3,
           strength=0.45, warp=25, centre=(60, 260, 110), dust=0.3)
    stars(img, rng, 900, 0.9, region=1.0 - 0.6 * dens, big=6)
    return img


def ringed_world(rng):
    img = vertical_gradient([(0.0, "#020410"), (1.0, "#060a1c")])
    stars(img, rng, 1100, 0.9, big=5)
    nebula(img, rng, [(0.0, "#000010"), (1.0, "#2a4a7a")], cells=2, strength=0.35, warp=30,
           dust=0.2)
    light = (-0.7, -0.35, 0.55)
    cx, cy, r = 120, 175, 58
    ring = dict(inner=r * 1.3, outer=r * 2.15, tilt=0.32, angle=-0.42,
                stops=[(0.0, "#a89478"), (0.45, "#f0e4c8"), (0.7, "#d8c8a8"), (1.0, "#8a8090")],
                light=light, planet_r=r)
    rings(img, rng, cx, cy, front=False, **ring)
    planet(img, rng, cx, cy, r, [(0.0, "#2e6e7a"), (0.5, "#8ad0c8"), (1.0, "#e0f4ec")],
           light=light, bands=6, turbulence=0.05, tilt=-0.42, atmosphere="#a0f0ff",
           atmo_strength=0.45)
    rings(img, rng, cx, cy, front=True, **ring)
    moon(img, rng, 205, 52, 7, colour="#d8d0c8", light=(-0.7, -0.35, 0.55), halo="#000000",
         halo_strength=0.0)
    return img


def spiral_galaxy(rng):
    img = vertical_gradient([(0.0, "#03020a"), (1.0, "#08061a")])
    ys, xs = pixel_grid()
    cx, cy = 120, 158
    dx, dy = (xs - cx), (ys - cy) / 0.55
    # Turn the disc a little so the galaxy lies at a slant.
    a = 0.5
    u, v = dx * np.cos(a) + dy * np.sin(a), -dx * np.sin(a) + dy * np.cos(a)
    rad = np.sqrt(u * u + v * v) + 1e-3
    theta = np.arctan2(v, u)
    arms = 0.5 + 0.5 * np.cos(2.0 * (theta - np.log(rad) * 2.0))
    clumps = fbm(rng, 10, 5, 0.6)
    disc_light = np.exp(-rad / 62.0) * (0.3 + 1.1 * arms**3 * (0.5 + clumps))
    core = np.exp(-((rad / 14.0) ** 1.5))
    col = ramp(np.clip(rad / 110.0, 0, 1), [(0.0, "#fff0d0"), (0.25, "#c8b8ff"),
                                               (1.0, "#5a70ff")])
    add_light(img, col * disc_light[..., None], np.full((H, W), 1.1, np.float32))
    add_light(img, rgb("#fff4e0"), core * 1.1)
    dust = smoothstep(0.55, 0.8, fbm(rng, 14, 4, 0.6)) * arms * np.exp(-rad / 90.0)
    img *= (1.0 - 0.6 * dust)[..., None]
    nebula(img, rng, [(0.0, "#100020"), (1.0, "#7a3aa8")], cells=2, strength=0.3, warp=30,
           dust=0.2)
    stars(img, rng, 900, 0.85, big=5)
    return img


def blue_planet_limb(rng):
    img = vertical_gradient([(0.0, "#020512"), (1.0, "#040a20")])
    stars(img, rng, 1000, 0.9, big=4)
    light = (0.75, -0.55, 0.35)
    cov = planet(img, rng, 60, 470, 300, [(0.0, "#0a2a6a"), (0.45, "#1a5ab0"),
                                          (0.6, "#3a8a6a"), (0.75, "#e8f0ff"),
                                          (1.0, "#ffffff")], light=light, bands=7.0,
                 turbulence=0.35, tilt=0.3, atmosphere="#5ab8ff", atmo_strength=0.9,
                 night=0.01)
    ys, xs = pixel_grid()
    clouds = smoothstep(0.58, 0.76, fbm(rng, 6, 6, 0.55, stretch=(2.2, 1.0)))
    nx = np.clip((xs - 60) / 300.0, -1, 1)
    lit = smoothstep(-0.2, 0.5, nx * 0.75 - np.clip((ys - 470) / 300.0, -1, 1) * 0.55 + 0.35)
    img += (rgb("#f4f8ff") * lit[..., None] - img) * (clouds * cov * 0.75)[..., None]
    moon(img, rng, 182, 76, 15, colour="#e8e4dc", light=light, halo="#304070",
         halo_size=2.0, halo_strength=0.2, earthshine=0.02)
    return img


def gas_giant(rng):
    img = vertical_gradient([(0.0, "#040208"), (1.0, "#0a0610")])
    stars(img, rng, 900, 0.85, big=4)
    nebula(img, rng, [(0.0, "#100404"), (1.0, "#6a2a1a")], cells=2, strength=0.3, warp=30,
           dust=0.2)
    light = (-0.8, 0.1, 0.6)
    planet(img, rng, 150, 150, 95, [(0.0, "#6a3a22"), (0.3, "#c8844a"), (0.55, "#f0d2a0"),
                                    (0.75, "#b86a3a"), (1.0, "#fff0d8")], light=light,
           bands=11, turbulence=0.07, tilt=0.12, atmosphere="#ffc890", atmo_strength=0.35,
           storms=1)
    moon(img, rng, 40, 70, 11, colour="#e0d8d0", light=light, halo="#000000",
         halo_strength=0.0)
    moon(img, rng, 52, 276, 17, colour="#c8a888", light=light, halo="#000000",
         halo_strength=0.0)
    return img


def star_cluster(rng):
    img = vertical_gradient([(0.0, "#02060a"), (1.0, "#04101a")])
    nebula(img, rng, [(0.0, "#001a1a"), (0.5, "#1a8a8a"), (0.8, "#9ae0c0"), (1.0, "#fff0b0")],
           cells=2.5, strength=1.4, warp=45, centre=(160, 110, 130), dust=0.6)
    nebula(img, rng, [(0.0, "#1a0a00"), (0.6, "#c0701a"), (1.0, "#ffd080")], cells=3,
           strength=0.4, warp=30, centre=(60, 240, 90), dust=0.4)
    ys, xs = pixel_grid()
    # The cluster: many stars packed around one point, thinning outward.
    sub = np.random.default_rng(int(rng.integers(1 << 31)))
    cluster = np.zeros((H, W, 3), np.float32)
    stars(cluster, sub, 1600, 1.3, region=glow(150, 120, 30, power=1.0) ** 0.6, big=8)
    add_light(img, rgb("#fff0c0"), glow(150, 120, 26, power=1.2) * 0.25)
    img += cluster
    stars(img, rng, 700, 0.8)
    # A comet crossing the lower left, its tail pointing away from the cluster.
    hx, hy = 70.0, 250.0
    tx, ty = hx - 150.0, hy - 120.0
    tl = np.hypot(hx - tx, hy - ty)
    ux, uy = (hx - tx) / tl, (hy - ty) / tl
    along = (xs - hx) * -ux + (ys - hy) * -uy
    across = (xs - hx) * -uy + (ys - hy) * ux
    ahead = np.maximum(along, 0.0)
    tail = np.exp(-ahead / 70.0) * np.exp(-(across**2) / (1.5 + ahead * 0.25)) * (along > 0)
    add_light(img, rgb("#a0e0ff"), tail * 0.6)
    add_light(img, rgb("#ffffff"), glow(hx, hy, 2.5) * 1.2)
    return img


# --- Veils ----------------------------------------------------------------------------------


def valley_fog(rng, img, top, bottom, colour, density=0.85, lift=0.0):
    """A bank of fog lying in the valley between rows top and bottom, denser below."""
    ys, xs = pixel_grid()
    body = fbm(rng, 3, 6, 0.55, stretch=(0.45, 1.0))
    wisps = fbm(rng, 5, 5, 0.6, stretch=(0.3, 1.0))
    edge = top + (body - 0.5) * 40.0 + (wisps - 0.5) * 16.0
    alpha = smoothstep(edge - 6.0, edge + 18.0, ys) * smoothstep(bottom + 30, bottom - 10, ys)
    alpha *= density * (0.75 + 0.35 * wisps)
    shade = (0.85 + 0.25 * body)[..., None] * rgb(colour)
    col = shade + lift * (img - shade)
    return np.clip(alpha, 0, 1).astype(np.float32), col.astype(np.float32)


def haze_band(rng, img, centre, thickness, colour, density=0.55):
    """A thin horizontal band of haze with drifting streaks."""
    ys, xs = pixel_grid()
    streaks = fbm(rng, 3, 5, 0.6, stretch=(0.25, 1.0))
    wobble = (fbm(rng, 2, 3, 0.5) - 0.5) * 30.0
    d = np.abs(ys - centre - wobble) / thickness
    alpha = np.exp(-(d**2)) * density * smoothstep(0.25, 0.7, streaks)
    return np.clip(alpha, 0, 1).astype(np.float32), np.broadcast_to(
        rgb(colour), img.shape).astype(np.float32)


def frost(rng, img, reach=55.0, colour="#e8f6ff"):
    """Ice flowers growing in from the picture's edges, as on a cold window pane."""
    ys, xs = pixel_grid()
    edge = np.minimum(np.minimum(xs, W - xs), np.minimum(ys, H - ys) * 0.85)
    corner = np.minimum(np.hypot(xs, ys), np.hypot(W - xs, ys))
    corner = np.minimum(corner, np.minimum(np.hypot(xs, H - ys), np.hypot(W - xs, H - ys)))
    dist = np.minimum(edge, corner * 0.6)
    limit = reach * (0.35 + 1.1 * fbm(rng, 4, 5, 0.6))
    body = smoothstep(limit, limit * 0.35, dist)
    # Feathery crystals: ridged noise gives thin bright veins inside the frost.
    veins = 1.0 - np.abs(fbm(rng, 20, 4, 0.6) - 0.5) * 2.0
    fine = 1.0 - np.abs(fbm(rng, 56, 2, 0.6) - 0.5) * 2.0
    crystal = np.clip(smoothstep(0.8, 0.96, veins) * 0.75 + smoothstep(0.84, 0.97, fine) * 0.5,
                      0.0, 1.0)
    # Thick ice near the edge, lacy crystals where it thins out.
    alpha = np.clip(body * (0.3 + 0.7 * np.maximum(crystal, body**3)), 0.0, 0.95)
    col = rgb(colour) * (0.78 + 0.22 * crystal)[..., None]
    col = col + 0.15 * (img - col)
    return alpha.astype(np.float32), col.astype(np.float32)


def dust_cloud(rng, img, colour, density=0.8, cells=2.5, threshold=0.45, glow_colour=None,
               above=None):
    """Drifting opaque cloud with lit edges (dust in space, ash or cloud on land); with
    `above`, it thins out over the 50 rows above that row and stays clear below."""
    ys, xs = pixel_grid()
    body = fbm(rng, cells, 6, 0.55)
    alpha = smoothstep(threshold, threshold + 0.2, body) * density
    if above is not None:
        alpha = alpha * smoothstep(above, above - 50.0, ys)
    light = blur(body, 3) - body
    col = rgb(colour) * (0.8 + 2.5 * np.clip(light, -0.1, 0.2))[..., None]
    if glow_colour is not None:
        col = col + rgb(glow_colour) * smoothstep(threshold + 0.15, threshold, body)[..., None]
    return alpha.astype(np.float32), col.astype(np.float32)


def space_veil(rng, img, colour, density=0.7):
    """Thin glowing gas drawn across the stars."""
    ys, xs = pixel_grid()
    gas = fbm(rng, 2.5, 6, 0.6)
    alpha = smoothstep(0.4, 0.75, gas) * density
    col = ramp(gas, [(0.3, "#000000"), (1.0, colour)]) * 0.9 + img * 0.1
    return alpha.astype(np.float32), col.astype(np.float32)
