"""Checks of the screen configurations and of every size's graphics set: the same pieces as
the 240x320 set, each drawn for its screen, and a brick-breaker field that fits unshrunk."""

import io
import os
import re
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamedata  # noqa: E402
from gen import pictures, preview, rules, screens, sizes, tessarine_art, tessarine_pictures, texts  # noqa: E402
from test_gamedata import produced, text_table  # noqa: E402

ATLASES = ("/tesk/all", "/mirf/all", "/corv/all", "/menu/small_icons")


def decode(data):
    return np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))


def rgb565(rgb):
    rgb = rgb.astype(np.uint16)
    return (rgb[..., 0] >> 3) << 11 | (rgb[..., 1] >> 2) << 5 | (rgb[..., 2] >> 3)


def set_names(entries, name):
    prefix = "/graphics/%s/" % name
    return {k[len(prefix) - 1 :] for k in entries if k.startswith(prefix)}


def atlas(entries, set_name, name):
    """{piece: (x, y, w, h)} and the sheet of an atlas, read the way the game reads them."""
    prefix = "/graphics/%s%s" % (set_name, name)
    places = {}
    for line in texts.read_lines(entries[prefix + ".txt"]):
        fields = line.split(";")
        if len(fields) != 5:
            raise ValueError(line)
        places[fields[0]] = tuple(int(f) for f in fields[1:])
    return places, decode(entries[prefix + ".png"])


class Configurations(unittest.TestCase):
    def test_every_screen_has_a_configuration_naming_a_stored_set(self):
        entries = produced()
        for (w, h), keys in screens.SCREENS.items():
            config = text_table(entries["/%dx%d" % (w, h)], utf=False)
            self.assertEqual(keys, config)
            graphics = config.get("graphics", "graphics")
            self.assertTrue(set_names(entries, graphics), (w, h))

    def test_the_table_of_sizes_and_sets(self):
        entries = produced()
        self.assertEqual(7, len([n for n in entries if re.fullmatch(r"/\d+x\d+", n)]))
        self.assertEqual("176x208", text_table(entries["/176x220"], utf=False)["graphics"])
        self.assertEqual("large", text_table(entries["/480x640"], utf=False)["menu"])
        self.assertEqual("qvga", text_table(entries["/240x320"], utf=False)["graphics"])
        for size in screens.SCREENS:
            gset = screens.set_of(size)
            # A set is never larger than the screens that use it.
            self.assertLessEqual((gset.width, gset.height), size)

    def test_names_of_all_sizes_and_their_probes_keep_apart(self):
        entries = produced()
        probes = gamedata.probed_names(entries, os.path.dirname(os.path.abspath(__file__)))
        for gset in screens.SETS.values():
            self.assertIn("/graphics/%s/tesk/path" % gset.name, probes)
            self.assertIn("/graphics/%s/img/all.txt" % gset.name, {p for p in probes} |
                          set(entries))
        self.assertEqual([], gamedata.check_names(entries, probes))


class EverySet(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.entries = produced()

    def sets(self):
        return [s for s in screens.SETS.values()]

    def test_every_set_holds_the_pieces_of_the_qvga_set(self):
        qvga = set_names(self.entries, "qvga")
        self.assertIn("/tesk/all.png", qvga)
        for gset in self.sets():
            with self.subTest(gset.name):
                self.assertEqual(qvga, set_names(self.entries, gset.name))
                for name in ATLASES:
                    base, _ = atlas(self.entries, "qvga", name)
                    places, _ = atlas(self.entries, gset.name, name)
                    self.assertEqual(sorted(base), sorted(places))

    def test_atlas_pieces_lie_inside_their_sheet_and_apart(self):
        for gset in self.sets():
            for name in ATLASES:
                with self.subTest(gset.name + name):
                    places, sheet = atlas(self.entries, gset.name, name)
                    used = np.zeros(sheet.shape[:2], bool)
                    for piece, (x, y, w, h) in places.items():
                        self.assertTrue(w > 0 and h > 0, piece)
                        self.assertTrue(x >= 0 and y >= 0 and x + w <= sheet.shape[1]
                                        and y + h <= sheet.shape[0], piece)
                        self.assertFalse(used[y : y + h, x : x + w].any(), piece)
                        used[y : y + h, x : x + w] = True
                        keyed = np.all(sheet[y : y + h, x : x + w] == (255, 0, 255), axis=-1)
                        self.assertFalse(keyed.all(), piece)

    def test_no_opaque_pixel_reads_back_as_the_colour_key(self):
        for gset in self.sets():
            prefix = "/graphics/%s/" % gset.name
            for name, data in self.entries.items():
                if not name.startswith(prefix) or not name.endswith((".png", ".jpg")):
                    continue
                rgb = decode(data)
                exact = np.all(rgb == (255, 0, 255), axis=-1)
                if name.endswith(".jpg"):
                    self.assertFalse(exact.any(), name)
                self.assertFalse((rgb565(rgb[~exact]) == 0xF81F).any(), name)

    def test_pictures_are_drawn_at_the_screen_size(self):
        for gset in self.sets():
            prefix = "/graphics/%s" % gset.name
            for name in set_names(self.entries, gset.name):
                if name.endswith(".jpg"):
                    shape = decode(self.entries[prefix + name]).shape[:2]
                    (w, h), _ = sizes.span(gset) if name in sizes.SPANNING else (
                        (gset.width, gset.height), None)
                    self.assertEqual((h, w), shape, gset.name + name)

    def test_the_backdrops_title_is_centred_and_whole_under_the_start_up_band(self):
        # The language and sound questions darken the middle two thirds of the backdrop:
        # columns from (w - W) / 2 + (W / 3) / 2 to w - that. The title's warm letters lie
        # inside that band on every screen, centred on the picture (shown centred).
        for gset in self.sets():
            rgb = decode(self.entries["/graphics/%s/menu/back.jpg" % gset.name]).astype(int)
            h, w = rgb.shape[:2]
            top = rgb[: h // 4]
            warm = (top[..., 0] >= 170) & (top[..., 2] <= 110) & (top[..., 0] - top[..., 2] >= 90)
            columns = np.nonzero(warm.any(axis=0))[0]
            self.assertGreater(len(columns), w // 5, gset.name + ": the title is there")
            left, right = columns[0], columns[-1]
            self.assertLessEqual(abs(left + right + 1 - w), 3, (gset.name, left, right))
            for width, _ in screens.screens_of(gset.name):
                start = (w - width) // 2 + (width // 3) // 2
                self.assertTrue(start < left and right < w - start,
                                (gset.name, width, start, left, right))

    def test_a_spanning_picture_covers_every_screen_of_its_set(self):
        gset = screens.SETS["176x208"]
        self.assertEqual(((176, 220), (176, 208)), sizes.span(gset))
        self.assertEqual(((240, 320), (240, 320)), sizes.span(screens.SETS["qvga"]))
        splash = decode(self.entries["/graphics/176x208/mirf/splash.jpg"]).astype(int)
        self.assertEqual((220, 176), splash.shape[:2])
        # The drawing stands whole in the middle 208 rows: the rows cut off on the smaller
        # screen hold only the blurred, darkened fill.
        middle = splash[6:214].mean()
        for band in (splash[:6], splash[214:]):
            self.assertLess(band.mean(), middle)

    def test_gallery_overlays_stay_on_their_picture(self):
        for gset in self.sets():
            pictures.GRAPHICS_SET, saved = gset.name, pictures.GRAPHICS_SET
            try:
                data = pictures.find_image(self.entries, "/img/all.txt")
                lines = texts.read_lines(data)
                self.assertEqual(len(pictures.list_lines()), len(lines))
                for n in range(1, len(lines) + 1):
                    _, overlays = rules.picture_plan(data, n)
                    for name, x, y in overlays:
                        piece = decode(self.entries["/graphics/%s/img/dress/%s.png"
                                                    % (gset.name, name)])
                        h, w = piece.shape[:2]
                        self.assertTrue(0 <= x and x + w <= gset.width, (gset.name, name))
                        self.assertTrue(0 <= y and y + h <= gset.height, (gset.name, name))
                # The first picture of a veiled group differs from the clear one.
                self.assertFalse(np.array_equal(
                    pictures.compose(self.entries, 1, (gset.width, gset.height)),
                    pictures.compose(self.entries, 3, (gset.width, gset.height))))
            finally:
                pictures.GRAPHICS_SET = saved

    def test_the_big_saucers_scorch_marks_lie_on_its_hull_in_every_set(self):
        # The game places the marks at offsets given on the saucer drawn 44 x 34 (the qvga
        # set), moved in proportion to the saucer's size in the set.
        design = {1: (2, 15), 2: (24, 4), 3: (17, 27)}
        for gset in self.sets():
            places, sheet = atlas(self.entries, gset.name, "/mirf/all")
            opaque = ~np.all(sheet == (255, 0, 255), axis=-1)

            def mask(name):
                x, y, w, h = places[name]
                return opaque[y : y + h, x : x + w]

            body = mask("ufo3")
            h, w = body.shape
            if gset.name == "qvga":
                self.assertEqual((44, 34), (w, h))
            for n, (dx, dy) in design.items():
                x = (dx * w * 2 + 44) // 88
                y = (dy * h * 2 + 34) // 68
                mark = mask("ufo3_damaged%d" % n)
                mh, mw = mark.shape
                self.assertTrue(x + mw <= w and y + mh <= h, (gset.name, n))
                under = body[y : y + mh, x : x + mw]
                self.assertGreater((under & mark).sum(), 0.6 * mark.sum(), (gset.name, n))

    def test_sprites_follow_the_art_scale(self):
        base, _ = atlas(self.entries, "qvga", "/corv/all")
        self.assertEqual({1.0, 2.0, 176.0 / 240.0}, {s.art for s in self.sets()})
        for gset in self.sets():
            places, _ = atlas(self.entries, gset.name, "/corv/all")
            for piece, (_, _, w, h) in places.items():
                bw, bh = base[piece][2:]
                self.assertLessEqual(abs(w - bw * gset.art), 0.5, (gset.name, piece))
                self.assertLessEqual(abs(h - bh * gset.art), 0.5, (gset.name, piece))


    def test_plates_that_carry_text_keep_the_fonts_size(self):
        base, _ = atlas(self.entries, "qvga", "/mirf/all")
        for gset in self.sets():
            places, _ = atlas(self.entries, gset.name, "/mirf/all")
            for plate in sizes.TEXT_PLATES:
                self.assertEqual(base[plate][2:], places[plate][2:], (gset.name, plate))
            self.assertEqual(self.entries["/graphics/qvga/input/input_midd.png"],
                             self.entries["/graphics/%s/input/input_midd.png" % gset.name])


class KeyDialog(unittest.TestCase):
    """The key dialog writes each action's name centred in a column half the width of its box
    (the screen less 20 pixels), in the same font on every screen."""

    def test_the_space_rock_games_actions_fit_the_narrowest_screen(self):
        entries = produced()
        hud0 = preview.load_fonts(entries)["hud0"]
        column = (min(w for w, _ in screens.SCREENS) - 20) // 2
        for short in texts.languages():
            table = text_table(entries["/txt/res_%s.txt" % short], utf=True)
            for name in table["ctrl_actions_mirrowfen"].split(";"):
                self.assertLessEqual(hud0.width(name), column - 2, (short, name))


class BrickField(unittest.TestCase):
    def geometry(self, gset):
        places, _ = atlas(produced(), gset.name, "/tesk/all")
        brick = places["b_flash.png"][2:]
        wall = places["t1_L.png"][2]
        top = places["t4_L.png"][3]
        radius = places["ball1.png"][2] // 2 + 1
        return brick, wall, top, radius

    def test_bricks_fill_the_grid_unshrunk_on_every_screen(self):
        for size in screens.SCREENS:
            gset = screens.set_of(size)
            brick, wall, top, radius = self.geometry(gset)
            self.assertEqual(gset.brick, brick)
            self.assertEqual((gset.wall, gset.top), (wall, top))
            self.assertTrue(screens.brick_fits(size[0], size[1], brick, wall, top, radius),
                            size)
            # The game's own steps: neither the cell width nor the height shrinks, and the
            # grid is not pulled up.
            w, h = brick
            sw, sh = size
            column_gap = -2 if sw == 208 else 0
            grid_w = rules.bricks().columns * (w + column_gap + 1)
            self.assertFalse(sw + 2 < grid_w + 12, size)
            grid_h = rules.bricks().rows * (h + 1)
            self.assertFalse(sh + 2 < grid_h + 12 + top, size)
            self.assertFalse(sh < 12 + 2 * radius + 5 + grid_h + top, size)
            self.assertGreaterEqual((sw - grid_w) // 2, wall, size)

    def test_brick_sizes_of_the_sets(self):
        self.assertEqual((19, 9), screens.SETS["qvga"].brick)
        self.assertEqual((14, 6), screens.SETS["176x208"].brick)
        self.assertEqual((38, 18), screens.SETS["480x640"].brick)
        # On the 240 and 176 wide screens the bricks are the widest that fit: one pixel more
        # no longer does.
        for name in ("qvga", "240x240", "320x240", "176x208"):
            gset = screens.SETS[name]
            brick, wall, top, radius = self.geometry(gset)
            if gset.width in (240, 176):
                self.assertFalse(screens.brick_fits(gset.width, gset.height,
                                                    (brick[0] + 1, brick[1]), wall, top, radius))
            # On the 240 high screens they are also the tallest that fit.
            if gset.height == 240:
                self.assertFalse(screens.brick_fits(gset.width, gset.height,
                                                    (brick[0], brick[1] + 1), wall, top, radius))
        self.assertFalse(screens.brick_fits(176, 208, (15, 6), 5, 8, 4))
        self.assertFalse(screens.brick_fits(240, 240, (19, 9), 10, 10, 4))
        self.assertTrue(screens.brick_fits(240, 240, (19, 8), 10, 10, 4))

    def test_the_big_sets_sprites_are_drawn_anew_not_scaled_up(self):
        entries = produced()
        for name in ("/tesk/all", "/corv/all", "/mirf/all"):
            small, small_sheet = atlas(entries, "qvga", name)
            big, big_sheet = atlas(entries, "480x640", name)
            anew = 0
            for piece, (x, y, w, h) in small.items():
                bx, by, bw, bh = big[piece]
                if (bw, bh) != (2 * w, 2 * h):
                    continue
                one = small_sheet[y : y + h, x : x + w]
                opaque = ~np.all(one == (255, 0, 255), axis=-1)
                scaled, _ = sizes._epx(one, opaque)
                drawn = big_sheet[by : by + bh, bx : bx + bw]
                differ = np.any(drawn != scaled, axis=-1).mean()
                anew += differ > 0.1
            # Most pieces come from their shapes drawn at twice the size.
            self.assertGreater(anew, len(small) // 2, name)

    def test_the_small_sets_ships_are_drawn_at_their_size(self):
        from gen import corvantine_art

        places, sheet = atlas(produced(), "176x208", "/corv/all")

        def piece(name):
            x, y, w, h = places[name]
            return sheet[y : y + h, x : x + w]

        # The formation shooter's aliens and ship are its drawings made at the set's size,
        # with their one-pixel outline, not the qvga pixels shrunk.
        for kind in corvantine_art.KINDS:
            alien = piece("fly%d_1.png" % kind)
            self.assertEqual((12, 12), alien.shape[:2])
            drawn = corvantine_art.alien(kind, 90.0, size=12).final()
            np.testing.assert_array_equal(drawn, alien, kind)
        ship = piece("ship.png")
        h, w = ship.shape[:2]
        np.testing.assert_array_equal(corvantine_art.player_ship(w, h).final(), ship)


    def test_the_small_sets_monsters_and_life_icon_are_drawn_at_their_size(self):
        entries = produced()
        places, sheet = atlas(entries, "176x208", "/tesk/all")
        drawn = tessarine_art.small_pieces(screens.SETS["176x208"].art)
        self.assertIn("lifeIcon.png", drawn)
        self.assertIn("monst0_0.png", drawn)
        for piece, p in drawn.items():
            with self.subTest(piece):
                x, y, w, h = places[piece]
                self.assertEqual(p.size, (w, h))
                stored = sheet[y : y + h, x : x + w]
                opaque = ~np.all(stored == (255, 0, 255), axis=-1)
                np.testing.assert_array_equal(p.opaque, opaque)
                np.testing.assert_array_equal(p.final()[p.opaque], stored[opaque])
        # The life icon keeps its ball on the paddle's middle above a paddle with red ends.
        icon = drawn["lifeIcon.png"]
        self.assertTrue(icon.opaque[0, 3:6].any())
        self.assertFalse(icon.opaque[0, :2].any() or icon.opaque[0, 8:].any())
        ends = icon.final()[4, [1, 8]]
        self.assertTrue(all(r > 150 and g < 90 for r, g, _ in ends))


    def test_the_big_sets_show_the_brick_breakers_pictures_drawn_at_their_size(self):
        entries = produced()

        def edges(img, rows):
            steps = np.abs(np.diff(img.mean(axis=-1), axis=0))[rows, 40:440]
            return np.percentile(steps, 99)

        # Rows of the bricks: the splash's arch and the game-over picture's rubble.
        for name, drawing, rows in (
                ("splash", tessarine_pictures.splash_large, slice(92, 274)),
                ("gameover", tessarine_pictures.gameover_large, slice(460, 580))):
            with self.subTest(name):
                drawn = np.clip(np.round(drawing() * 255), 0, 255)
                stored = decode(entries["/graphics/480x640/tesk/%s.jpg" % name])
                small = decode(entries["/graphics/qvga/tesk/%s.jpg" % name])
                doubled = np.asarray(Image.fromarray(small).resize((480, 640), Image.LANCZOS),
                                     np.float32)
                # The stored picture is the large drawing (up to the JPEG's error), sharper
                # than the small one enlarged: the bricks' edges step in one pixel, not two.
                stored = stored.astype(np.float32)
                self.assertLess(np.abs(stored - drawn).mean(), 6.0)
                self.assertGreater(edges(stored, rows), edges(doubled, rows) * 1.4)


class Formation(unittest.TestCase):
    def test_the_widest_row_of_aliens_stands_on_every_screen(self):
        gap, row_gap = 10, 4
        for size in screens.SCREENS:
            gset = screens.set_of(size)
            places, _ = atlas(produced(), gset.name, "/corv/all")
            wa, ha = places["fly1_1.png"][2:]
            sw, sh = size
            # Six ships: three right of the middle from (W + Wa + g) / 2, three left of it
            # from W / 2 - g / 2 - Wa / 2, each Wa + g further out.
            right = (sw + wa + gap) // 2 + 2 * (wa + gap) + wa
            left = sw // 2 - gap // 2 - wa // 2 - 2 * (wa + gap)
            self.assertGreaterEqual(left, 0, size)
            self.assertLessEqual(right, sw, size)
            # Below the bottom row the player's ship has room to dodge: two alien heights
            # and its own height above the bottom edge.
            bottom = 5 * (row_gap + ha) + 4 + ha
            ship_h = places["ship.png"][3]
            self.assertLessEqual(bottom + 2 * ha + ship_h, sh, size)


class Making(unittest.TestCase):
    def test_sets_leave_the_qvga_entries_alone_and_repeat_exactly(self):
        entries = produced()
        source = {k: v for k, v in entries.items() if k.startswith("/graphics/qvga/")}
        before = dict(source)
        gset = screens.SETS["176x208"]
        first = sizes.make_set(source, gset)
        second = sizes.make_set(source, gset)
        self.assertEqual(before, source)
        self.assertEqual(first, second)
        for name, data in first.items():
            self.assertEqual(entries[name], data, name)

    def test_the_cache_keeps_sets_until_their_drawings_change(self):
        entries = produced()
        source = {k: v for k, v in entries.items() if k.startswith("/graphics/qvga/")}
        gset = screens.SETS["240x240"]
        saved = sizes.CACHE_DIR
        with tempfile.TemporaryDirectory() as folder:
            sizes.CACHE_DIR = folder
            try:
                key = sizes._key(source, gset)
                sizes._keep(gset, key, {"/graphics/240x240/x": b"kept"})
                sizes._made.clear()
                self.assertEqual({"/graphics/240x240/x": b"kept"}, sizes._cached(gset, key))
                changed = dict(source)
                changed["/graphics/qvga/img/all.txt"] = b"1 = other\r\n"
                self.assertNotEqual(key, sizes._key(changed, gset))
                self.assertIsNone(sizes._cached(gset, sizes._key(changed, gset)))
                with open(os.path.join(folder, os.listdir(folder)[0]), "wb") as handle:
                    handle.write(b"damaged")
                sizes._made.clear()
                self.assertIsNone(sizes._cached(gset, key))
            finally:
                sizes.CACHE_DIR = saved
                sizes._made.clear()

    def test_pixel_art_scaler_keeps_edges_and_the_key(self):
        rgb = np.zeros((3, 3, 3), np.uint8)
        rgb[...] = (200, 40, 40)
        opaque = np.array([[1, 0, 0], [1, 1, 0], [1, 1, 1]], bool)
        p = sizes.scale_piece(rgb, opaque, (6, 6))
        self.assertEqual((6, 6), p.size)
        # The diagonal is smoothed: the cell above the middle of the step is half filled.
        self.assertTrue(p.opaque[2, 1] and not p.opaque[2, 3])
        self.assertTrue(p.opaque[1, 0] and not p.opaque[0, 2])
        self.assertTrue((p.rgb[p.opaque] == (200, 40, 40)).all())
        small = sizes.scale_piece(rgb, opaque, (2, 2))
        self.assertEqual((2, 2), small.size)
        self.assertTrue(small.opaque[1, 0] and not small.opaque[0, 1])


if __name__ == "__main__":
    unittest.main()
