"""Checks of the two space games' data: the atlas lists parse as the loader reads them and stay
inside their sheets (turned copies too), every piece, animation and picture the games ask for
is stored under the name they build, the pieces have the shapes the games' arithmetic assumes,
the colour key marks only transparency, and the output repeats exactly."""

import colorsys
import io
import math
import os
import re
import sys
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamedata  # noqa: E402
from gen import corvantine_art, mirrowfen_art, pictures, space_pictures, texts  # noqa: E402

ENTRIES = {}
INT = re.compile(r"^-?[0-9]+$")  # what the integer parser accepts
SUFFIXES = ("_mr", "_lv", "_dn", "_up")
W, H = 240, 320


def setUpModule():
    mirrowfen_art.produce(ENTRIES)
    corvantine_art.produce(ENTRIES)


class Atlas:
    """An atlas read back from the stored entries the way the game reads it."""

    def __init__(self, module):
        base = module.SET + module.ATLAS
        self.table = {}
        for line in texts.read_lines(ENTRIES[base + ".txt"]):
            fields = line.split(";")
            if len(fields) < 5:
                raise IndexError(line)
            self.table[fields[0]] = tuple(int(v) for v in fields[1:5])
        self.text = ENTRIES[base + ".txt"]
        self.rgb = np.asarray(Image.open(io.BytesIO(ENTRIES[base + ".png"])).convert("RGB"))
        self.hs, self.ws = self.rgb.shape[:2]

    def lookup(self, name):
        """(rectangle in the copy the name selects, transform suffix), or None like
        GameImage::fromAtlas for a missing piece."""
        suffix = name[-3:] if name[-3:] in SUFFIXES else ""
        base = name[: -len(suffix)] if suffix else name
        if base not in self.table:
            return None
        x, y, w, h = self.table[base]
        ws, hs = self.ws, self.hs
        rect = {"": (x, y, w, h), "_mr": (ws - w - x, y, w, h), "_lv": (x, y, w, h),
                "_dn": (hs - h - y, x, h, w), "_up": (y, ws - w - x, h, w)}[suffix]
        return rect, suffix

    def pixels(self, name):
        """The piece as drawn (turned as its name says) and its opaque mask."""
        suffix = name[-3:] if name[-3:] in SUFFIXES else ""
        x, y, w, h = self.table[name[: -len(suffix)] if suffix else name]
        img = self.rgb[y : y + h, x : x + w]
        img = {"": img, "_mr": img[:, ::-1], "_lv": img[::-1, ::-1],
               "_dn": np.rot90(img, -1), "_up": np.rot90(img, 1)}[suffix]
        return img, ~np.all(img == (255, 0, 255), axis=-1)

    def size(self, name):
        return self.lookup(name)[0][2:]


def anim_table():
    table = {}
    for line in texts.read_lines(ENTRIES[corvantine_art.ANIM_NAME]):
        key, value = line.split("=", 1)
        table[key] = value.split(";")
    return table


def rgb565(rgb):
    v = rgb.astype(np.uint16)
    return (v[..., 0] >> 3) << 11 | (v[..., 1] >> 2) << 5 | (v[..., 2] >> 3)


def axis_angle(mask):
    """Direction of the long axis of a shape, degrees counterclockwise from right, 0..180."""
    ys, xs = np.nonzero(mask)
    x, y = xs - xs.mean(), -(ys - ys.mean())
    cov = np.cov(np.stack([x, y]))
    vals, vecs = np.linalg.eigh(cov)
    vx, vy = vecs[:, np.argmax(vals)]
    return math.degrees(math.atan2(vy, vx)) % 180.0


def angle_gap(a, b):
    d = abs(a - b) % 180.0
    return min(d, 180.0 - d)


# --- What the space-rock game asks for ---------------------------------------------------------


def rock_names_drawn(size, variant, steps=80):
    """The names a rock shows over many game steps, built by the game's own naming rules:
    "a" size variant "0" at creation, the frame counter's wrap and turn suffixes, and the
    rewrite before drawing."""
    name = "a%d%d0" % (size, variant)
    kind = 5 if (size + variant) % 3 else 3
    shown = set()
    for start in range(4):
        frame, image = start, name
        for _ in range(steps):
            frame += 1
            if kind == 3 and frame >= 15:
                frame = 0
            if kind == 5:
                q = frame // 4
                if q == 1 and not image.endswith("_up"):
                    image += "_up"
                elif q == 2 and not image.endswith("_lv"):
                    image = image[:-3] + "_lv"
                elif q == 3 and not image.endswith("_dn"):
                    image = image[:-3] + "_dn"
                elif q == 4:
                    frame = 0
                    image = image[:-3]
                image = image[:3] + str(frame % 4) + image[4:]
            else:
                image = image[:3] + str(frame)
            shown.add(image)
    return shown


def mirf_piece_names():
    names = set()
    for s in range(1, 5):
        for quadrant in ("", "_up", "_lv", "_dn"):
            names.add("spaceship%d%s" % (s, quadrant))
            names.add("bb%d%s" % (s, quadrant))
    names |= {"rocket0", "rocket0_lv", "rocket0_dn", "rocket0_up"}
    for i in (1, 2, 3):
        names |= {"rocket%d" % i, "rocket%d_lv" % i, "rocket%d_dn" % i, "rocket%d_up" % i}
    # Sizes and variants the level generator and the splitting make.
    for size, variant in ((1, 1), (1, 2), (2, 1), (2, 2), (3, 1), (3, 2), (3, 3)):
        names |= rock_names_drawn(size, variant)
    for kind in (1, 2):
        names |= {"ufo%d%d" % (kind, f) for f in range(15)}
    names |= {"ufo3", "ufo3_blink0", "ufo3_blink1", "ufo3_damaged1", "ufo3_damaged2",
              "ufo3_damaged3", "lifePanel", "scorePanel"}
    for s in (1, 2, 3):
        for f in range(1, 8):
            names |= {"wave%d_%d%s" % (s, f, x) for x in ("", "_up", "_dn", "_lv")}
    names |= {"bp%d" % i for i in range(5)} | {"p%d" % i for i in range(1, 14)}
    return names


def corv_piece_names():
    names = {"ship.png", "bullet.png", "life.png", "level.png"}
    names |= {"planet_%d.png" % n for n in range(1, 5)}
    for kind in range(1, 9):
        names |= set(corvantine_art.direction_names(kind))
        names |= set(corvantine_art.formation_frames(kind))
    return names


class AtlasLists(unittest.TestCase):
    def test_lines_have_five_fields_of_numbers_and_no_empty_line_cuts_them_short(self):
        for module in (mirrowfen_art, corvantine_art):
            atlas = Atlas(module)
            text = atlas.text.decode("ascii")
            self.assertTrue(text.endswith("\r\n"))
            lines = text.split("\r\n")[:-1]
            self.assertNotIn("", lines)
            self.assertEqual(len(lines), len(atlas.table))
            for line in lines:
                fields = line.split(";")
                self.assertEqual(5, len(fields), line)
                self.assertTrue(all(INT.match(v) for v in fields[1:]), line)

    def test_pieces_and_their_turned_copies_lie_inside_the_sheets(self):
        for module in (mirrowfen_art, corvantine_art):
            atlas = Atlas(module)
            for name, (x, y, w, h) in atlas.table.items():
                self.assertTrue(w > 0 and h > 0 and x >= 0 and y >= 0, name)
                self.assertLessEqual(x + w, atlas.ws, name)
                self.assertLessEqual(y + h, atlas.hs, name)
                for suffix in SUFFIXES:
                    (tx, ty, tw, th), _ = atlas.lookup(name + suffix)
                    cw, ch = ((atlas.hs, atlas.ws) if suffix in ("_dn", "_up")
                              else (atlas.ws, atlas.hs))
                    self.assertTrue(0 <= tx and tx + tw <= cw and 0 <= ty and ty + th <= ch,
                                    name + suffix)

    def test_pieces_do_not_overlap(self):
        for module in (mirrowfen_art, corvantine_art):
            atlas = Atlas(module)
            used = np.zeros((atlas.hs, atlas.ws), np.int32)
            for x, y, w, h in atlas.table.values():
                used[y : y + h, x : x + w] += 1
            self.assertLessEqual(used.max(), 1, module.__name__)

    def test_a_short_or_malformed_line_fails_as_the_loader_would(self):
        saved = ENTRIES[mirrowfen_art.SET + mirrowfen_art.ATLAS + ".txt"]
        try:
            ENTRIES[mirrowfen_art.SET + mirrowfen_art.ATLAS + ".txt"] = b"ship;1;2;3\r\n"
            with self.assertRaises(IndexError):
                Atlas(mirrowfen_art)
            ENTRIES[mirrowfen_art.SET + mirrowfen_art.ATLAS + ".txt"] = b"ship;1;2;x;4\r\n"
            with self.assertRaises(ValueError):
                Atlas(mirrowfen_art)
        finally:
            ENTRIES[mirrowfen_art.SET + mirrowfen_art.ATLAS + ".txt"] = saved


class SpaceRockPieces(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.atlas = Atlas(mirrowfen_art)

    def test_every_name_the_game_builds_is_a_piece(self):
        missing = sorted(n for n in mirf_piece_names() if self.atlas.lookup(n) is None)
        self.assertEqual([], missing)

    def test_rock_names_cover_both_spinning_rules(self):
        spun = rock_names_drawn(1, 2)
        self.assertEqual({"a12%d" % f for f in range(15)}, spun)
        turned = rock_names_drawn(1, 1)
        self.assertEqual({"a11%d%s" % (f, s) for f in range(4) for s in ("", "_up", "_lv",
                                                                          "_dn")}, turned)

    def test_turning_pieces_are_square_so_turned_copies_keep_their_centre(self):
        for prefix in ("spaceship", "bb"):
            sizes = {self.atlas.size("%s%d" % (prefix, s)) for s in range(1, 5)}
            self.assertEqual(1, len(sizes), prefix)
            w, h = sizes.pop()
            self.assertEqual(w, h, prefix)
        for s in (1, 2, 3):
            for f in range(1, 8):
                w, h = self.atlas.size("wave%d_%d" % (s, f))
                self.assertEqual(w, h, (s, f))

    def test_flash_quarters_are_bright_at_the_centre_corner_and_grow(self):
        for s in (1, 3):
            img, opaque = self.atlas.pixels("wave%d_1" % s)
            self.assertTrue(opaque[-1, -1])
            self.assertGreater(int(img[-1, -1].astype(int).sum()), 600)
        widths = [self.atlas.size("wave1_%d" % f)[0] for f in range(1, 8)]
        self.assertEqual(sorted(widths), widths)

    def test_shots_and_rockets_point_where_they_fly(self):
        for s in range(1, 5):
            _, mask = self.atlas.pixels("bb%d" % s)
            self.assertLess(angle_gap(22.5 * s, axis_angle(mask)), 12.0, s)
        slopes = {0: 90.0, 1: math.degrees(math.atan2(3, 2)), 2: 45.0,
                  3: math.degrees(math.atan2(2, 3))}
        for i, a in slopes.items():
            _, mask = self.atlas.pixels("rocket%d" % i)
            self.assertLess(angle_gap(a, axis_angle(mask)), 12.0, i)
            _, mask = self.atlas.pixels("rocket%d_dn" % i)
            self.assertLess(angle_gap(a - 90.0, axis_angle(mask)), 12.0, i)

    def test_the_ship_pointing_up_is_mirror_symmetric_with_its_nose_on_top(self):
        _, mask = self.atlas.pixels("spaceship4")
        self.assertGreater((mask == mask[:, ::-1]).mean(), 0.97)
        rows = np.nonzero(mask.any(axis=1))[0]
        top, bottom = mask[rows[0]].sum(), mask[rows[-1]].sum()
        self.assertLess(top, bottom)

    def test_big_saucer_overlays_fit_on_it(self):
        w, h = self.atlas.size("ufo3")
        self.assertEqual((w, h), self.atlas.size("ufo3_blink0"))
        self.assertEqual((w, h), self.atlas.size("ufo3_blink1"))
        _, body = self.atlas.pixels("ufo3")
        for n, (dx, dy) in ((1, (2, 15)), (2, (24, 4)), (3, (17, 27))):
            dw, dh = self.atlas.size("ufo3_damaged%d" % n)
            self.assertLessEqual(dx + dw, w, n)
            self.assertLessEqual(dy + dh, h, n)
            _, mark = self.atlas.pixels("ufo3_damaged%d" % n)
            under = body[dy : dy + dh, dx : dx + dw]
            # Most of each scorch mark lies on the hull, not in the air beside it.
            self.assertGreater((under & mark).sum(), 0.7 * mark.sum(), n)

    def test_rock_sizes_follow_their_class(self):
        large, medium, small = (self.atlas.size("a%d10" % s)[0] for s in (1, 2, 3))
        self.assertGreater(large, medium)
        self.assertGreater(medium, small)

    def test_hud_panels_leave_room_for_the_numbers(self):
        lw, lh = self.atlas.size("lifePanel")
        sw, sh = self.atlas.size("scorePanel")
        self.assertGreaterEqual(lw, 42)  # lives end at x = 40
        self.assertGreaterEqual(sw, 60)  # six digits end at W - 4
        self.assertGreaterEqual(min(lh, sh), 16)  # digits start at y = 3


class FormationShooterPieces(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.atlas = Atlas(corvantine_art)
        cls.anims = anim_table()

    def test_every_name_the_game_builds_is_a_piece(self):
        missing = sorted(n for n in corv_piece_names() if self.atlas.lookup(n) is None)
        self.assertEqual([], missing)

    def test_the_four_animations_exist_and_their_frames_are_pieces(self):
        self.assertEqual({"mainship", "explosion_ship", "bullet", "explosion_enemy"},
                         set(self.anims))
        for name, frames in self.anims.items():
            self.assertGreaterEqual(len(frames), 2, name)
            for frame in frames:
                self.assertIsNotNone(self.atlas.lookup(frame), (name, frame))
            sizes = {self.atlas.size(f) for f in frames}
            self.assertEqual(1, len(sizes), name)  # frames are drawn from frame 0's size

    def test_aliens_are_16_pixels_square_in_every_piece(self):
        for kind in range(1, 9):
            for n in range(1, 6):
                self.assertEqual((16, 16), self.atlas.size("fly%d_%d.png" % (kind, n)))

    def test_each_kind_has_its_own_dominant_hue(self):
        hues = []
        for kind in range(1, 9):
            img, mask = self.atlas.pixels("fly%d_1.png" % kind)
            pix = img[mask].astype(np.float32) / 255.0
            sat = pix.max(axis=1) - pix.min(axis=1)
            vivid = pix[sat > 0.3]
            self.assertGreater(len(vivid), 25, kind)
            h = [colorsys.rgb_to_hsv(*p)[0] for p in vivid]
            hues.append(float(np.median(h)) * 360.0)
        for i in range(8):
            for j in range(i + 1, 8):
                d = abs(hues[i] - hues[j]) % 360.0
                self.assertGreater(min(d, 360.0 - d), 12.0, (i + 1, j + 1, hues))

    def test_direction_sprites_turn_clockwise_one_step_at_a_time(self):
        # Sprite index i + 1 is index i turned 22.5 degrees clockwise: turning i's shape that
        # way matches it better than turning it the other way.
        def turn(mask, degrees):
            img = Image.fromarray(mask.astype(np.uint8) * 255).resize((64, 64), Image.NEAREST)
            return np.asarray(img.rotate(degrees, Image.BILINEAR)) > 127

        def overlap(a, b):
            return (a & b).sum() / float((a | b).sum())

        for kind in (4, 8):
            names = corvantine_art.direction_names(kind)
            masks = [self.atlas.pixels(n)[1] for n in names]
            for i in range(16):
                target = turn(masks[(i + 1) % 16], 0)
                cw, ccw = turn(masks[i], -22.5), turn(masks[i], 22.5)
                self.assertGreater(overlap(cw, target), overlap(ccw, target), (kind, i))

    def test_alien_shot_and_player_shot_frames_share_the_bullet_size(self):
        size = self.atlas.size("bullet.png")
        for frame in self.anims["bullet"]:
            self.assertEqual(size, self.atlas.size(frame))

    def test_the_formation_and_the_status_line_fit_the_screen(self):
        wa, ha = self.atlas.size("fly1_1.png")
        sw, sh = self.atlas.size("ship.png")
        fh = self.atlas.size(self.anims["mainship"][0])[1]
        top = H - fh - sh
        bottom_row = 5 * (4 + ha) + 4
        self.assertLess(bottom_row + ha, top - 60)
        # Six ships of a row and their gaps, with room to sway.
        self.assertLess(6 * (wa + 10), W - 40)
        lw, lh = self.atlas.size("level.png")
        self.assertLessEqual(20 * lw, W - 80)  # twenty level marks beside the score
        fw, fh2 = self.atlas.size("life.png")
        self.assertLessEqual(lh + fh2, 24)


class PicturesAndNames(unittest.TestCase):
    def test_pictures_load_from_the_graphics_set_as_screen_sized_jpegs(self):
        for name in ("/mirf/splash.jpg", "/corv/splash.jpg", "/corv/gameover.jpg"):
            data = pictures.find_image(ENTRIES, name)
            img = Image.open(io.BytesIO(data))
            self.assertEqual(("JPEG", (W, H)), (img.format, img.size), name)
            rgb, keyed = pictures.decode_565(data)
            self.assertFalse(keyed.any(), name)
            self.assertGreater(rgb.std(), 10.0, name)

    def test_the_colour_key_marks_exactly_the_transparent_pixels(self):
        for module in (mirrowfen_art, corvantine_art):
            atlas = Atlas(module)
            key = rgb565(atlas.rgb) == 0xF81F
            covered = np.zeros(key.shape, bool)
            for name, (x, y, w, h) in atlas.table.items():
                img, opaque = atlas.pixels(name)
                self.assertGreater(opaque.sum(), 0, name)
                # Opaque pixels keep away from the key after the reduction to RGB565.
                self.assertFalse((rgb565(img)[opaque] == 0xF81F).any(), name)
                covered[y : y + h, x : x + w] = True
            # Outside the pieces the sheet is all key.
            self.assertTrue(key[~covered].all(), module.__name__)

    def test_output_repeats_exactly(self):
        again = {}
        for module in (mirrowfen_art, corvantine_art, space_pictures):
            module._cache.clear()
        mirrowfen_art.produce(again)
        corvantine_art.produce(again)
        self.assertEqual(sorted(ENTRIES), sorted(again))
        for name in ENTRIES:
            self.assertEqual(ENTRIES[name], again[name], name)

    def test_no_name_shares_a_hash_with_a_stored_or_probed_name(self):
        entries = {}
        for produce in gamedata.PRODUCERS:
            produce(entries)
        for name in ENTRIES:
            self.assertIn(name, entries)
        probes = gamedata.probed_names(entries, os.path.dirname(os.path.abspath(__file__)))
        self.assertIn("/ppc/corv/anim.txt", probes)
        self.assertIn("/ppc/graphics/qvga/mirf/all.txt", probes)
        self.assertEqual([], gamedata.check_names(entries, probes))


if __name__ == "__main__":
    unittest.main()
