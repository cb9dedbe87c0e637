"""The screen sizes the archive supports: one configuration entry "/WxH" each, naming the
graphics set drawn for it, and the sizes the brick-breaker's pieces take in that set.

The 240x320 set ("qvga") is the one the producers draw; the others are made from the same
drawings at their own size by gen.sizes. A screen may name another screen's set (176x220 uses
the 176x208 set).
"""

from collections import namedtuple

from gen import rules

# art: the scale of sprites and icons against the qvga set; brick: (w, h) of a brick piece;
# wall: width of the wall tiles t1_L to t4_L; top: height of the top tile t4_L, which is where
# the brick grid starts. Fonts are the same on every screen.
GraphicsSet = namedtuple("GraphicsSet", "name width height art brick wall top")

SETS = {
    "qvga": GraphicsSet("qvga", 240, 320, 1.0, (19, 9), 10, 10),
    "320x240": GraphicsSet("320x240", 320, 240, 1.0, (19, 8), 10, 10),
    "240x240": GraphicsSet("240x240", 240, 240, 1.0, (19, 8), 10, 10),
    "176x208": GraphicsSet("176x208", 176, 208, 176.0 / 240.0, (14, 6), 5, 8),
    "480x640": GraphicsSet("480x640", 480, 640, 2.0, (38, 18), 20, 20),
    "640x480": GraphicsSet("640x480", 640, 480, 2.0, (38, 18), 20, 20),
}

# (width, height) -> the configuration's keys, in the order they are written.
SCREENS = {
    (240, 320): {"graphics": "qvga", "menu": "large"},
    (320, 240): {"graphics": "320x240"},
    (240, 240): {"graphics": "240x240"},
    (176, 208): {"graphics": "176x208"},
    (176, 220): {"graphics": "176x208"},
    (480, 640): {"graphics": "480x640", "menu": "large"},
    (640, 480): {"graphics": "640x480"},
}

# The brick grid (its size asked from the game) has one pixel between cells; the paddle's
# bottom margin, the margin the grid keeps from the screen sides, and the paddle's height.
BOTTOM_MARGIN = 12
SIDE_MARGIN = 6
PADDLE_HEIGHT = 5


def brick_fits(screen_w, screen_h, brick, wall, top, ball_radius):
    """True when bricks of this size fill the grid on the screen without the game having to
    shrink the cells or pull the grid up: the grid with both side margins and both walls
    fits across, and the grid below the top wall still leaves the paddle and a ball under it."""
    w, h = brick
    grid = rules.bricks()
    across = grid.columns * (w + 1)
    down = grid.rows * (h + 1)
    return (across + 2 * SIDE_MARGIN <= screen_w + 2 and across + 2 * wall <= screen_w
            and down + top + BOTTOM_MARGIN + 2 * ball_radius + PADDLE_HEIGHT <= screen_h)


def screens_of(set_name):
    """The screen sizes whose configuration names the set."""
    return [size for size, keys in SCREENS.items() if keys.get("graphics", "graphics") == set_name]


def set_of(size):
    return SETS[SCREENS[size].get("graphics", "graphics")]


def drawn_sets():
    """The sets made from the qvga drawings (every set but qvga itself)."""
    return [s for name, s in sorted(SETS.items()) if name != "qvga"]
