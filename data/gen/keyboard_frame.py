"""The name keyboard's frame for the 240x320 graphics set: "/input/input_top.png",
"/input/input_midd.png" and "/input/input_bot.png", drawn one under the other, centred.

The keyboard puts its 6 x 5 grid of 21 x 19 cells at the top of the middle piece, 7 pixels in
from its left edge ((240 - 126) / 2 on the screen against (240 - 140) / 2 for the piece), its
title in the small font above the bottom of the middle piece by two menu-font heights and four
pixels, and the typed name one menu-font height and three pixels above that bottom. The panel
is drawn whole at four times the size and cut into the three pieces, so they join seamlessly.
Letters come in the light menu font, so key caps and the name field are dark; the game outlines
the highlighted cell in grey in the gap between the caps.
"""

import numpy as np

from . import raster
from .menu_art import GRAPHICS, Layers, _round_box

WIDTH = 140
TOP, MIDDLE, BOTTOM = 8, 146, 8
COLUMNS, ROWS = 6, 5
CELL = (21, 19)
GRID_X = (240 - COLUMNS * CELL[0]) // 2 - (240 - WIDTH) // 2
LETTERS = "abcdefghijklmnopqrstuvwxyz-_"
NAMES = ("/input/input_top.png", "/input/input_midd.png", "/input/input_bot.png")
MENU_HEIGHT = 15  # of the "menu" font; the tests hold the two together

CAP_TOP, CAP_BOTTOM = (0x24, 0x30, 0x6C), (0x12, 0x18, 0x40)
FIELD = (0x08, 0x0C, 0x24)
RIM = (0x5F, 0x8C, 0xD8)


def field_box(menu_height=MENU_HEIGHT):
    """Top and bottom (exclusive) rows of the name field in the middle piece."""
    text_y = MIDDLE - menu_height - 3
    return text_y - 3, min(MIDDLE, text_y + menu_height + 2)


def panel(menu_height=MENU_HEIGHT):
    """The whole frame, TOP + MIDDLE + BOTTOM rows high."""
    h = TOP + MIDDLE + BOTTOM
    layers = Layers((WIDTH, h))
    body = raster.vertical_gradient(h * raster.SS, WIDTH * raster.SS, raster.NIGHT_LIGHT,
                                    raster.NIGHT_DARK, 0.8)
    layers.paint(_round_box(0.5, 0.5, WIDTH - 0.5, h - 0.5, 6), body, shade=0)
    ring = layers.coverage(lambda d, s: d.rounded_rectangle(
        [1.5 * s, 1.5 * s, (WIDTH - 1.5) * s - 1, (h - 1.5) * s - 1], 5 * s, outline=255,
        width=s))
    layers.glow(RIM, np.asarray(ring, float) / 255.0, 0.85)
    cw, ch = CELL
    keys = len(LETTERS) + 2
    for k in range(COLUMNS * ROWS):
        col, row = k % COLUMNS, k // COLUMNS
        x, y = GRID_X + col * cw, TOP + row * ch
        top, bottom = CAP_TOP, CAP_BOTTOM
        if k == keys - 2:  # "ok"
            top, bottom = (0x2C, 0x58, 0x46), (0x14, 0x30, 0x28)
        elif k == keys - 1:  # "<-"
            top, bottom = (0x5C, 0x2C, 0x3C), (0x30, 0x14, 0x22)
        elif k >= keys:
            continue
        layers.paint(_round_box(x + 1, y + 1, x + cw - 1, y + ch - 1, 2.5),
                     raster.lerp(top, bottom, 0.5), rim=False, shade=0.5)
        gloss = layers.coverage(_round_box(x + 2, y + 1.5, x + cw - 2, y + 3, 1))
        layers.glow((0x80, 0x98, 0xE0), np.asarray(gloss, float) / 255.0, 0.35)
    top, bottom = field_box(menu_height)
    layers.paint(_round_box(8, TOP + top, WIDTH - 8, TOP + bottom, 3), FIELD, rim=False,
                 shade=0)
    edge = layers.coverage(lambda d, s: d.rounded_rectangle(
        [8 * s, (TOP + top) * s, (WIDTH - 8) * s - 1, (TOP + bottom) * s - 1], 3 * s,
        outline=255, width=s))
    layers.glow(RIM, np.asarray(edge, float) / 255.0, 0.7)
    return layers.reduce()


def pieces(menu_height=MENU_HEIGHT):
    whole = panel(menu_height)
    return whole[:TOP], whole[TOP : TOP + MIDDLE], whole[TOP + MIDDLE :]


def produce(entries):
    for name, pixels in zip(NAMES, pieces()):
        entries[GRAPHICS + name] = raster.png_bytes(pixels)
