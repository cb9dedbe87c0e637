"""Mock-ups of brick-breaker screens drawn from the stored entries the way the game lays them
out: the level's darkened picture, the walls and top border, the bricks of a level file, and
the paddle, balls, a bonus and an enemy from the atlas.

Run as `python3 -m gen.tessarine_mockup DIR [LEVEL ...]` (from data/, with DATARULES naming the
datarules tool).
"""

import io
import os
import sys

import numpy as np
from PIL import Image

from gen import pictures, tessarine_art, tessarine_levels, texts

W, H = 240, 320


class Atlas:
    """The sheet and piece list read back from the archive entries, with the turned pieces
    the game derives by suffix."""

    def __init__(self, entries):
        prefix = tessarine_art.SET + tessarine_art.ATLAS
        self.sheet = np.asarray(Image.open(io.BytesIO(entries[prefix + ".png"])).convert("RGB"))
        self.places = {}
        for line in texts.read_lines(entries[prefix + ".txt"]):
            name, x, y, w, h = line.split(";")
            self.places[name] = tuple(int(v) for v in (x, y, w, h))
        self.anims = {}
        for line in texts.read_lines(entries[tessarine_art.ANIM_NAME]):
            key, value = line.split("=", 1)
            self.anims[key] = value.split(";")

    def piece(self, name):
        """(rgb, opaque) of a piece name as the game resolves it."""
        turn = None
        for suffix in ("_mr", "_lv", "_dn", "_up"):
            if name.endswith(suffix):
                turn, name = suffix, name[:-3]
        x, y, w, h = self.places[name]
        rgb = self.sheet[y : y + h, x : x + w]
        if turn == "_mr":
            rgb = rgb[:, ::-1]
        elif turn == "_lv":
            rgb = rgb[::-1, ::-1]
        elif turn == "_dn":
            rgb = np.rot90(rgb, -1)
        elif turn == "_up":
            rgb = np.rot90(rgb, 1)
        opaque = ~np.all(rgb == np.array(tessarine_art.sprite.KEY, np.uint8), axis=-1)
        return np.ascontiguousarray(rgb), opaque

    def frame(self, anim, i=0):
        return self.piece(self.anims[anim][i])


def blit(out, piece, x, y, clip=None):
    rgb, opaque = piece
    h, w = opaque.shape
    cx0, cy0, cx1, cy1 = clip or (0, 0, out.shape[1], out.shape[0])
    x0, y0, x1, y1 = max(x, cx0), max(y, cy0), min(x + w, cx1), min(y + h, cy1)
    if x1 <= x0 or y1 <= y0:
        return
    src = rgb[y0 - y : y1 - y, x0 - x : x1 - x]
    m = opaque[y0 - y : y1 - y, x0 - x : x1 - x]
    out[y0:y1, x0:x1][m] = src[m]


def level_screen(entries, level, actors=True):
    atlas = Atlas(entries)
    # The game asks for picture (level mod 14); number 0 finds no line in the list, and its
    # blank (white) image is what is shaded then.
    if level % 14:
        out = pictures.darken(pictures.compose(entries, level % 14), -100)
    else:
        out = pictures.darken(np.full((H, W, 3), 255, np.uint8), -100)
    wall = [atlas.piece("t%d_L.png" % k) for k in (1, 2, 3, 4)]
    tile_w = wall[0][1].shape[1]
    cap_h = wall[3][1].shape[0]
    bw, bh = atlas.places["b_flash.png"][2:]
    cell_w, cell_h = bw + 1, bh + 1
    grid_w, grid_top = 11 * cell_w, cap_h
    grid_left = (W - grid_w) // 2
    for side, x in ((0, grid_left - tile_w), (1, grid_left + grid_w)):
        tiles = [atlas.piece("t%d_L.png%s" % (k, "_mr" if side else "")) for k in (1, 2, 3, 4)]
        blit(out, tiles[3], x, 0)
        y, i = cap_h, 0
        while y < H:
            blit(out, tiles[i % 3], x, y)
            y += tiles[0][1].shape[0]
            i += 1
    border = atlas.piece("t1_L.png_dn")
    bwid = border[1].shape[1]
    n = grid_w // bwid
    f = (n + 1) * bwid - grid_w
    if f == bwid:
        n, f = n - 1, 0
    for i in range(n + 1):
        blit(out, border, i * bwid + grid_left - (i * f) // (n + 1), 0)
    grid = tessarine_levels.read_game(entries[tessarine_levels.game_name(level)])
    images = {3: "b3_0.png", 4: "b4.png", 5: "b5.png", 6: "b6.png", 7: "b7.png",
              8: "b8_0.png", 9: "b9_0.png"}
    for r, row in enumerate(grid):
        for c, (kind, hits) in enumerate(row):
            x, y = grid_left + c * cell_w, grid_top + r * cell_h
            if kind == 1:
                blit(out, atlas.piece("b1_%d.png" % (2 - hits)), x, y)
            elif kind == 2:
                blit(out, atlas.piece("b2_%d.png" % (3 - hits)), x, y)
            elif kind in images:
                blit(out, atlas.piece(images[kind]), x, y)
            if kind == 9:
                ow, oh = atlas.places["b9_p0.png"][2:]
                for i in range(hits - 1):
                    blit(out, atlas.piece("b9_p%d.png" % i), x + ow * (i % 2),
                         y + (0 if i % 3 == 0 else oh + 1))
    if actors:
        py = H - 12 - 5
        pad = atlas.frame("bigger")
        pw = pad[1].shape[1]
        blit(out, pad, W // 2 - pw // 2, py)
        eng = atlas.frame("turbo")
        blit(out, eng, W // 2 - eng[1].shape[1] // 2, py + pad[1].shape[0])
        ball = atlas.piece("ball1.png")
        blit(out, ball, W // 2 + 3, py - ball[1].shape[0])
        blit(out, atlas.piece("ballBig.png"), 60, 250)
        blit(out, atlas.frame("ballFire", 1), 170, 236)
        blit(out, atlas.frame("tesk_bon7", 1), 96, 262)
        blit(out, atlas.frame("tesk_bon3", 2), 150, 272)
        blit(out, atlas.frame("monst0", 2), 30, 230)
        blit(out, atlas.frame("monst1", 0), 200, 254)
        blit(out, atlas.frame("monst2", 1), 120, 244)
        blit(out, atlas.frame("exit", 4), (W - 24) // 2, 0)
        icon = atlas.piece("lifeIcon.png")
        blit(out, icon, grid_left + 1, grid_top - icon[1].shape[0] + 12)
    return out


def main(argv):
    folder = argv[0] if argv else "/tmp/preview/tesk"
    levels = [int(v) for v in argv[1:]] or [1, 13, 22, 30, 45, 50]
    entries = {}
    pictures.produce_pictures(entries)
    tessarine_art.produce(entries)
    tessarine_levels.produce(entries)
    os.makedirs(folder, exist_ok=True)
    shots = [level_screen(entries, n) for n in levels]
    sheet = np.full((H + 8, len(shots) * (W + 8), 3), 40, np.uint8)
    for i, shot in enumerate(shots):
        sheet[4 : 4 + H, 4 + i * (W + 8) : 4 + i * (W + 8) + W] = shot
    Image.fromarray(sheet).save(os.path.join(folder, "mockup_1x.png"))
    Image.fromarray(shots[0]).resize((W * 3, H * 3), Image.NEAREST).save(
        os.path.join(folder, "mockup_level%02d_3x.png" % levels[0]))
    thumbs = [level_screen(entries, n, actors=False)[::2, ::2] for n in range(1, 51)]
    grid = np.full((5 * (H // 2 + 4), 10 * (W // 2 + 4), 3), 40, np.uint8)
    for i, t in enumerate(thumbs):
        r, c = divmod(i, 10)
        grid[r * (H // 2 + 4) : r * (H // 2 + 4) + H // 2,
             c * (W // 2 + 4) : c * (W // 2 + 4) + W // 2] = t
    Image.fromarray(grid).save(os.path.join(folder, "levels_half.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
