#!/usr/bin/python3
"""Contact sheets of every screen size's graphics set: the full-screen pictures, the atlas
sheets, and the brick-breaker's field laid out the way the game fits it to the screen.

Run as `python3 gen/size_preview.py --out DIR` (from data/, with DATARULES naming the datarules
tool); one PNG per size and kind.
"""

import argparse
import io
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import gamedata  # noqa: E402
from gen import pictures, rules, screens, texts  # noqa: E402

BACK = (40, 40, 48)


def image(entries, name):
    rgb = np.asarray(Image.open(io.BytesIO(entries[name])).convert("RGB")).copy()
    keyed = (rgb[..., 0] == 255) & (rgb[..., 1] == 0) & (rgb[..., 2] == 255)
    return rgb, ~keyed


def row(images, gap=6):
    h = max(im.shape[0] for im in images)
    w = sum(im.shape[1] for im in images) + gap * (len(images) + 1)
    out = np.empty((h + 2 * gap, w, 3), np.uint8)
    out[...] = BACK
    x = gap
    for im in images:
        out[gap : gap + im.shape[0], x : x + im.shape[1]] = im
        x += im.shape[1] + gap
    return out


def screens_sheet(entries, gset):
    prefix = "/graphics/" + gset.name
    shots = []
    for name in ("/tesk/splash.jpg", "/mirf/splash.jpg", "/corv/splash.jpg", "/menu/back.jpg",
                 "/tesk/gameover.jpg", "/corv/gameover.jpg"):
        shots.append(image(entries, prefix + name)[0])
    pictures.GRAPHICS_SET, saved = gset.name, pictures.GRAPHICS_SET
    try:
        for n in (1, 2, 7, 13, 16, 21):
            shots.append(pictures.compose(entries, n, screen=(gset.width, gset.height)))
    finally:
        pictures.GRAPHICS_SET = saved
    return row(shots[:6]), row(shots[6:])


def atlas_sheet(entries, gset, zoom):
    prefix = "/graphics/" + gset.name
    shown = []
    for atlas in ("/tesk/all.png", "/mirf/all.png", "/corv/all.png", "/menu/small_icons.png"):
        rgb, opaque = image(entries, prefix + atlas)
        rgb[~opaque] = BACK
        shown.append(rgb.repeat(zoom, 0).repeat(zoom, 1))
    return row(shown)


def pieces(entries, gset):
    prefix = "/graphics/" + gset.name + "/tesk/all"
    sheet, opaque = image(entries, prefix + ".png")
    out = {}
    for line in texts.read_lines(entries[prefix + ".txt"]):
        name, x, y, w, h = line.split(";")
        x, y, w, h = int(x), int(y), int(w), int(h)
        out[name] = (sheet[y : y + h, x : x + w], opaque[y : y + h, x : x + w])
    return out


def blit(out, piece, x, y):
    rgb, opaque = piece
    h, w = opaque.shape
    x0, y0, x1, y1 = max(0, x), max(0, y), min(out.shape[1], x + w), min(out.shape[0], y + h)
    if x1 <= x0 or y1 <= y0:
        return
    m = opaque[y0 - y : y1 - y, x0 - x : x1 - x]
    out[y0:y1, x0:x1][m] = rgb[y0 - y : y1 - y, x0 - x : x1 - x][m]


def field(entries, size):
    """The brick field as the game lays it out: grid fitted to the screen, walls and border,
    every cell filled, the paddle and a ball at the bottom."""
    sw, sh = size
    gset = screens.set_of(size)
    p = pieces(entries, gset)
    saved = pictures.GRAPHICS_SET
    pictures.GRAPHICS_SET = gset.name
    try:
        out = (pictures.compose(entries, 4, screen=size).astype(np.float32) * 0.6).astype(
            np.uint8)
    finally:
        pictures.GRAPHICS_SET = saved
    bw, bh = p["b_flash.png"][1].shape[1], p["b_flash.png"][1].shape[0]
    tile = p["t1_L.png"][1].shape
    top = p["t4_L.png"][1].shape[0]
    cw, ch = bw + 1, bh + 1
    gw = 11 * cw
    left = (sw - gw) // 2
    grid_top = top
    for x in (left - tile[1], left + gw):
        y = 0
        blit(out, p["t4_L.png"], x, y)
        y += top
        i = 0
        while y < sh:
            blit(out, p["t%d_L.png" % (i % 3 + 1)], x, y)
            y += tile[0]
            i += 1
    kinds = ["b1_0.png", "b2_0.png", "b3_0.png", "b4.png", "b5.png", "b6.png", "b7.png",
             "b8_0.png", "b9_0.png"]
    grid = rules.bricks()
    for r in range(grid.rows):
        for c in range(grid.columns):
            blit(out, p[kinds[(r + c) % len(kinds)]], left + c * cw, grid_top + r * ch)
    pad = p["pad30.png"]
    ph = pad[1].shape[0]
    blit(out, pad, (sw - pad[1].shape[1]) // 2, sh - 12 - ph)
    ball = p["ball1.png"]
    blit(out, ball, sw // 2, sh - 12 - ph - ball[1].shape[0] - 2)
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    entries = {}
    for produce in gamedata.PRODUCERS:
        produce(entries)
    for size in sorted(screens.SCREENS):
        gset = screens.set_of(size)
        tag = "%dx%d" % size
        if size == (gset.width, gset.height):
            first, second = screens_sheet(entries, gset)
            Image.fromarray(first).save(os.path.join(args.out, tag + "_screens.png"))
            Image.fromarray(second).save(os.path.join(args.out, tag + "_gallery.png"))
            zoom = 2 if gset.art <= 1.0 else 1
            Image.fromarray(atlas_sheet(entries, gset, zoom)).save(
                os.path.join(args.out, tag + "_atlases.png"))
        Image.fromarray(field(entries, size)).save(os.path.join(args.out, tag + "_field.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
