"""Checks of the painted pictures: the list reads as the game reads it, every name it uses is
stored, the compositions are whole and distinct, and no opaque pixel hits the colour key."""

import io
import os
import sys
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen import pictures, rules, texts  # noqa: E402

ENTRIES = {}


def setUpModule():
    pictures.produce_pictures(ENTRIES)


def stored_list():
    return pictures.find_image(ENTRIES, pictures.LIST_NAME)


def luma(rgb8):
    return float((rgb8[..., :3].astype(np.float32) @ np.array([0.3, 0.59, 0.11])).mean())


class ListReading(unittest.TestCase):
    def test_lines_end_at_cr_and_an_empty_line_ends_the_list(self):
        self.assertEqual(["1 = a", "1 + b;0;4"], texts.read_lines(b"1 = a\r\n1 + b;0;4\r\n"))
        self.assertEqual(["1 = a"], texts.read_lines(b"1 = a\r\n\r\n2 = c\r\n"))
        self.assertEqual(["1 = a", "2 = c"], texts.read_lines(b"1 = a\r\n2 = c"))

    def test_the_game_plans_a_group_with_the_overlays_after_the_chosen_line_bottom_first(self):
        data = b"1 = sky\r\n1 + top;1;2\r\n1 + low;3;4\r\n2 = sea\r\n"
        self.assertEqual(("sky", [("low", 3, 4), ("top", 1, 2)]), rules.picture_plan(data, 1))
        self.assertEqual(("sky", [("low", 3, 4)]), rules.picture_plan(data, 2))
        self.assertEqual(("sky", []), rules.picture_plan(data, 3))
        self.assertEqual(("sea", []), rules.picture_plan(data, 4))
        # Numbers past the list wrap round it; below 1 and an empty list there is no picture.
        self.assertEqual(("sky", [("low", 3, 4), ("top", 1, 2)]), rules.picture_plan(data, 5))
        self.assertIsNone(rules.picture_plan(data, 0))
        self.assertIsNone(rules.picture_plan(b"", 1))


class StoredList(unittest.TestCase):
    def test_the_list_is_stored_under_the_graphics_set(self):
        self.assertIn("/graphics/%s/img/all.txt" % pictures.GRAPHICS_SET, ENTRIES)
        import gamedata

        self.assertIn(pictures.GRAPHICS_SET,
                      [keys.get("graphics") for keys in gamedata.SCREENS.values()])

    def test_every_line_parses_and_every_name_it_uses_is_stored(self):
        data = stored_list()
        self.assertTrue(data.endswith(b"\r\n"))
        self.assertNotIn(b"\r\n\r\n", data)
        lines = texts.read_lines(data)
        self.assertEqual(24, len(lines))
        first_of_group = True
        for i, line in enumerate(lines):
            self.assertTrue(line[0].isdigit(), line)
            if i > 0:
                first_of_group = line[0] != lines[i - 1][0]
            payload = line[4:]
            self.assertEqual(payload, payload.strip())
            if first_of_group:
                self.assertNotIn(";", payload)
                bg = np.asarray(Image.open(io.BytesIO(
                    pictures.find_image(ENTRIES, "/img/%s.jpg" % payload))))
                self.assertEqual((320, 240, 3), bg.shape)
            else:
                name, x, y = payload.split(";")
                png = Image.open(io.BytesIO(
                    pictures.find_image(ENTRIES, "/img/dress/%s.png" % name)))
                self.assertIn(png.mode, ("RGB", "P"))
                self.assertGreaterEqual(int(x), 0)
                self.assertGreaterEqual(int(y), 0)
                self.assertLessEqual(int(x) + png.width, 240)
                self.assertLessEqual(int(y) + png.height, 320)

    def test_the_lookups_the_game_makes_for_pictures_clash_with_no_stored_name(self):
        import gamedata

        root = os.path.dirname(os.path.abspath(__file__))
        probes = gamedata.probed_names(ENTRIES, root)
        for name in ("/ppc/graphics/%s/img/all.txt" % pictures.GRAPHICS_SET,
                     "/graphics/common/img/aurora.jpg", "/graphics/null/img/dress/dawnfog.png",
                     "/graphics/common/tesk/gameover.jpg", "/graphics/common/corv/gameover.jpg"):
            self.assertIn(name, probes)
        self.assertEqual([], gamedata.check_names(ENTRIES, probes))

    def test_groups_do_not_cross_from_one_game_to_the_next(self):
        lines = texts.read_lines(stored_list())
        # The brick-breaker shows lines 0-13, the space-rock game 14-18, the shooter 19-23.
        for start in (14, 19):
            self.assertNotEqual(lines[start][0], lines[start - 1][0], start)

    def test_every_stored_picture_file_is_used_by_the_list(self):
        used = set()
        for n in range(1, 25):
            bg, overlays = rules.picture_plan(stored_list(), n)
            used.add("/img/%s.jpg" % bg)
            used.update("/img/dress/%s.png" % o[0] for o in overlays)
        prefix = "/graphics/%s" % pictures.GRAPHICS_SET
        stored = {k[len(prefix):] for k in ENTRIES if not k.endswith(".txt")}
        self.assertEqual(stored, used)


class Compositions(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.shown = [pictures.compose(ENTRIES, n) for n in range(1, 25)]

    def test_each_picture_covers_the_screen(self):
        # Composed on a colour no RGB565 picture holds, any pixel left uncovered keeps it.
        for n in range(1, 25):
            im = pictures.compose(ENTRIES, n, fill=(1, 2, 3))
            self.assertEqual((320, 240, 3), im.shape)
            self.assertFalse((im == (1, 2, 3)).all(axis=2).any(), n)

    def test_no_two_pictures_are_alike(self):
        for i in range(24):
            for j in range(i + 1, 24):
                diff = np.abs(self.shown[i].astype(int) - self.shown[j].astype(int)).mean()
                self.assertGreater(diff, 3.0, (i, j))

    def test_each_unlock_in_a_group_clears_a_visible_veil(self):
        lines = texts.read_lines(stored_list())
        for t in range(23):
            if lines[t][0] == lines[t + 1][0]:
                changed = np.abs(self.shown[t].astype(int) - self.shown[t + 1].astype(int))
                self.assertGreater(float((changed.max(axis=2) > 24).mean()), 0.04, t)

    def test_overlay_edges_meet_the_picture_without_a_seam(self):
        # Along the border of every overlay's opaque part, the pixel inside matches the
        # picture beneath it closely: the veil thins out before it ends.
        lines = texts.read_lines(stored_list())
        for t in range(23):
            if lines[t][0] != lines[t + 1][0]:
                continue
            name, x, y = lines[t + 1][4:].split(";")
            piece, keyed = pictures.decode_565(
                pictures.find_image(ENTRIES, "/img/dress/%s.png" % name))
            beneath = self.shown[t + 1][int(y):int(y) + piece.shape[0],
                                        int(x):int(x) + piece.shape[1]]
            k = np.pad(keyed, 1, constant_values=False)
            edge = ~keyed & (k[:-2, 1:-1] | k[2:, 1:-1] | k[1:-1, :-2] | k[1:-1, 2:])
            self.assertTrue(edge.any(), name)
            step = np.abs(piece[edge].astype(int) - beneath[edge].astype(int)).max(axis=1)
            self.assertLess(float(np.percentile(step, 95)), 40, name)

    def test_space_pictures_are_mostly_dark_and_the_landscapes_are_not(self):
        for i, im in enumerate(self.shown):
            if i < 14:
                self.assertGreater(luma(pictures.darken(im, -100)), 25, i)
            else:
                dark = (im.astype(np.float32) @ np.array([0.3, 0.59, 0.11])) < 60
                self.assertGreater(float(dark.mean()), 0.5, i)


class Encoding(unittest.TestCase):
    def test_backgrounds_are_baseline_jpegs_that_never_decode_to_the_key(self):
        for name, data in ENTRIES.items():
            if not name.endswith(".jpg"):
                continue
            self.assertIn(b"\xff\xc0", data, name)
            self.assertNotIn(b"\xff\xc2", data, name)
            _, keyed = pictures.decode_565(data)
            self.assertFalse(keyed.any(), name)

    def test_overlays_use_the_key_only_for_transparency(self):
        for name, data in ENTRIES.items():
            if not name.endswith(".png"):
                continue
            rgb8 = np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))
            keyed = (rgb8 == pictures.KEY).all(axis=2)
            self.assertTrue(keyed.any() and not keyed.all(), name)
            v = pictures.to_565(rgb8[~keyed])
            self.assertFalse((v == 0xF81F).any(), name)

    def test_the_key_guard_lifts_green_only_where_red_and_blue_are_high(self):
        px = np.array([[[255, 0, 255], [255, 0, 100], [250, 3, 250]]], np.uint8)
        out = pictures.guard_key(px.copy())
        self.assertEqual([255, 16, 255], out[0, 0].tolist())
        self.assertEqual([255, 0, 100], out[0, 1].tolist())
        self.assertNotEqual(0xF81F, int(pictures.to_565(out)[0, 2]))

    def test_a_smooth_gradient_survives_jpeg_and_rgb565_without_flat_bands(self):
        # Each row of a vertical gradient is one colour; without dither every row would
        # decode to a single RGB565 value and the rows would step in bands.
        ys = np.linspace(0.15, 0.35, 320, dtype=np.float32)[:, None, None]
        img = np.repeat(np.repeat(ys, 240, axis=1), 3, axis=2) * np.array([0.6, 0.5, 1.0],
                                                                           np.float32)
        data, decoded = pictures.encode_jpeg(img, 11)
        self.assertEqual(b"\xff\xd8", data[:2])
        blue = pictures.to_565(decoded) & 31
        self.assertGreater(float((blue[:, 1:] != blue[:, :-1]).mean()), 0.15)
        self.assertLess(abs(float(decoded[..., 2].mean()) / 255.0 - 0.25), 0.01)

    def test_dithering_keeps_the_mean_and_lands_on_rgb565_levels(self):
        ramp = np.repeat(np.linspace(0.2, 0.3, 240, dtype=np.float32)[None, :, None], 64, 0)
        img = np.repeat(ramp, 3, axis=2)
        out = pictures.dither_to_565(img, 7)
        expanded = (out[..., 0] >> 3 << 3) | (out[..., 0] >> 5)
        self.assertTrue((expanded == out[..., 0]).all())
        self.assertLess(abs(out[..., 0].mean() / 255.0 - 0.25), 0.01)
        # A slow ramp needs more than the few flat bands plain rounding gives per column.
        self.assertGreater(len(np.unique(out[:8, 100, 0])), 1)


class Determinism(unittest.TestCase):
    def test_painting_again_gives_the_same_bytes(self):
        saved = dict(pictures._cache)
        pictures._cache.clear()
        try:
            again = {}
            pictures.produce_pictures(again)
        finally:
            pictures._cache.clear()
            pictures._cache.update(saved)
        self.assertEqual(sorted(ENTRIES), sorted(again))
        for name in ENTRIES:
            self.assertEqual(ENTRIES[name], again[name], name)


if __name__ == "__main__":
    unittest.main()
