"""Checks of the brick-breaker's data: level files read as the game reads them, the atlas list
parses and stays inside its sheet (turned pieces too), every piece, animation and picture the
game asks for is stored, the colour key marks only transparency, and the output repeats."""

import io
import os
import re
import sys
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamedata  # noqa: E402
from gen import pictures, rules, tessarine_art, tessarine_levels, texts  # noqa: E402
from gen.sprite import Fine, Pix  # noqa: E402

ENTRIES = {}
SHEET = tessarine_art.SET + tessarine_art.ATLAS + ".png"
LIST = tessarine_art.SET + tessarine_art.ATLAS + ".txt"
ANIM = tessarine_art.ANIM_NAME
KEY565 = 0xF81F
INT = re.compile(r"^-?[0-9]+$")  # what the integer parser accepts


def setUpModule():
    tessarine_art.produce(ENTRIES)
    tessarine_levels.produce(ENTRIES)


def atlas_pieces():
    """The piece table as the atlas loader builds it: five fields split at ';'."""
    table = {}
    for line in texts.read_lines(ENTRIES[LIST]):
        fields = line.split(";")
        if len(fields) < 5:
            raise IndexError(line)
        table[fields[0]] = tuple(int(v) for v in fields[1:5])
    return table


def anim_table():
    table = {}
    for line in texts.read_lines(ENTRIES[ANIM]):
        if "=" in line:
            key, value = line.split("=", 1)
            table[key] = value.split(";")
    return table


def sheet_size():
    return Image.open(io.BytesIO(ENTRIES[SHEET])).size


def turned(rect, suffix, ws, hs):
    """The rectangle a piece name with a transform suffix selects in the turned copy."""
    x, y, w, h = rect
    return {"_mr": (ws - w - x, y, w, h), "_lv": (x, y, w, h), "_dn": (hs - h - y, x, h, w),
            "_up": (y, ws - w - x, h, w), "": (x, y, w, h)}[suffix]


def resolve(name):
    for suffix in ("_mr", "_lv", "_dn", "_up"):
        if name.endswith(suffix):
            return name[:-3], suffix
    return name, ""


def piece_pixels(name):
    x, y, w, h = atlas_pieces()[name]
    rgb = np.asarray(Image.open(io.BytesIO(ENTRIES[SHEET])).convert("RGB"))[y : y + h,
                                                                             x : x + w]
    return rgb, ~np.all(rgb == (255, 0, 255), axis=-1)


# Everything the game loads by name from its atlas and its animation list.
GAME_PIECES = (["lifeIcon.png", "ballSmall.png", "ball1.png", "ballBig.png", "bullet.png",
                "bomba-monstr_0.png", "b_flash.png", "b3_0.png", "b8_0.png", "b9_0.png",
                "t1_L.png_dn"]
               + ["b%d.png" % n for n in (4, 5, 6, 7)]
               + ["b1_%d.png" % n for n in (0, 1)] + ["b2_%d.png" % n for n in (0, 1, 2)]
               + ["b9_p%d.png" % n for n in range(4)]
               + ["t%d_L.png%s" % (n, s) for n in (1, 2, 3, 4) for s in ("", "_mr")])
GAME_ANIMS = (["ballFireSmall", "ballFire", "ballFireBig", "b3dis", "b3app", "iskra",
               "detonation", "small", "desmall", "bigger", "debigger", "armed", "dearmed",
               "turbo", "deturbo", "flames", "flames2", "gilzLeft1", "gilzRight1", "Clue",
               "exit"]
              + ["monst%d" % n for n in range(3)] + ["tesk_bon%d" % n for n in range(1, 13)])


class LevelFiles(unittest.TestCase):
    def test_fifty_levels_of_a_grid_of_the_games_letters_ended_by_cr_lf(self):
        grid = rules.bricks()
        letters = set("".join(grid.letters).encode("ascii")) | {ord(".")}
        for level in range(1, 51):
            data = ENTRIES[tessarine_levels.game_name(level)]
            lines = data.split(b"\r\n")
            self.assertEqual(b"", lines[-1], level)
            self.assertEqual(grid.rows, len(lines) - 1, level)
            for line in lines[:-1]:
                self.assertEqual(grid.columns, len(line), level)
                self.assertTrue(set(line) <= letters, (level, line))
        self.assertNotIn("/data/tesk/data/round51.txt", ENTRIES)

    def test_level_names_follow_the_two_digit_rule(self):
        self.assertEqual("/data/tesk/data/round07.txt", tessarine_levels.game_name(7))
        self.assertEqual("/data/tesk/data/round50.txt", tessarine_levels.game_name(50))

    def test_every_level_has_work_to_do_and_every_counting_brick_is_reachable(self):
        for level in range(1, 51):
            grid = tessarine_levels.read_game(ENTRIES[tessarine_levels.game_name(level)])
            self.assertGreater(tessarine_levels.remaining(grid), 0, level)
            self.assertEqual([], tessarine_levels.unreachable(grid), level)
            self.assertTrue(all(t == 0 for t, _ in grid[0]), level)

    def test_every_brick_kind_appears_and_difficulty_rises(self):
        kinds = set()
        points = []
        for level in range(1, 51):
            grid = tessarine_levels.read_game(ENTRIES[tessarine_levels.game_name(level)])
            kinds |= {t for row in grid for t, _ in row}
            points.append(tessarine_levels.remaining(grid))
        self.assertEqual(set(range(10)), kinds)
        self.assertLess(sum(points[:10]) * 2, sum(points[40:]))
        self.assertEqual(50, len({ENTRIES[tessarine_levels.game_name(n)]
                                  for n in range(1, 51)}))

    def test_hit_points_rise_steadily_and_the_last_ten_blast_their_way_in(self):
        points = []
        for level in range(1, 51):
            grid = tessarine_levels.read_game(ENTRIES[tessarine_levels.game_name(level)])
            points.append(tessarine_levels.remaining(grid))
            if level > 40:
                # A bomb chain next to metal or crystal, and a detonator to set it off.
                cells = {(r, c): t for r, row in enumerate(grid) for c, (t, _) in enumerate(row)}
                guarded = [b for chain in tessarine_levels.bomb_chains(grid) for b in chain
                           if any(cells.get((b[0] + dr, b[1] + dc)) in (5, 9)
                                  for dr in (-1, 0, 1) for dc in (-1, 0, 1))]
                self.assertTrue(guarded, level)
                self.assertGreater(tessarine_levels.detonators(grid), 0, level)
        for level in range(6, 51):
            before = points[level - 6:level - 1]
            self.assertGreaterEqual(points[level - 1], 0.9 * sum(before) / len(before), level)

    def test_reading_counts_hit_points_the_way_the_game_does(self):
        row = b"abcdefghij."
        data = (row + b"\r\n") + (b"." * 11 + b"\r\n") * 20
        grid = tessarine_levels.read_game(data)
        self.assertEqual([(1, 2), (2, 3), (3, 1), (4, 1), (5, 1), (6, 1), (7, 1), (8, 1),
                          (1, 2), (9, 5), (0, 0)], grid[0])
        # Regenerating and metal bricks do not count.
        self.assertEqual(2 + 3 + 1 + 1 + 1 + 1 + 2 + 5, tessarine_levels.remaining(grid))

    def test_a_short_row_is_refused(self):
        data = b"abc\r\n" + (b"." * 11 + b"\r\n") * 20
        with self.assertRaises(tessarine_levels.LevelError):
            tessarine_levels.read_game(data)


class LevelSources(unittest.TestCase):
    def grid(self, rows):
        return ["." * 11] * 2 + rows + ["." * 11] * (19 - len(rows))

    def test_a_source_converts_cell_by_cell(self):
        rows = self.grid(["rg235c#d*.."])
        text = "; Test\n" + "\n".join(rows) + "\n"
        title, parsed = tessarine_levels.parse_source(text)
        self.assertEqual("Test", title)
        data = tessarine_levels.to_game(parsed)
        self.assertEqual(b"fgabjcedh..\r\n", data.split(b"\r\n", 2)[2][:11] + b"\r\n")

    def test_malformed_sources_are_refused_with_their_line(self):
        good = self.grid(["rrrrrrrrrrr"])
        for rows in (good[:-1], good + ["." * 11], good[:5] + ["rrrr"] + good[6:],
                     good[:5] + ["rrrrrXrrrrr"] + good[6:]):
            with self.assertRaises(tessarine_levels.LevelError):
                tessarine_levels.parse_source("\n".join(rows))

    def test_a_level_with_nothing_to_clear_is_refused(self):
        with self.assertRaisesRegex(tessarine_levels.LevelError, "no brick that counts"):
            tessarine_levels.check(1, self.grid(["c#c#c#c#c#c"]))

    def test_a_brick_walled_in_by_metal_is_refused(self):
        rows = self.grid(["###########", "#rrrrrrrrr#", "#rrrrrrrrr#", "###########"])
        with self.assertRaisesRegex(tessarine_levels.LevelError, "walled in"):
            tessarine_levels.check(1, rows)
        rows[5] = "#####.#####"
        tessarine_levels.check(1, rows)

    def test_bombs_that_touch_chain_and_each_chain_needs_a_detonator(self):
        # Side by side and corner to corner bombs are one chain; two apart they are not.
        rows = self.grid(["**...*.....", "..*........", "...........", ".....d....."])
        grid = tessarine_levels.read_game(tessarine_levels.to_game(rows))
        self.assertEqual([[(2, 0), (2, 1), (3, 2)], [(2, 5)]],
                         tessarine_levels.bomb_chains(grid))
        with self.assertRaisesRegex(tessarine_levels.LevelError, "2 bomb chains but 1 detonators"):
            tessarine_levels.check(1, rows)
        rows[2] = "***........"
        tessarine_levels.check(1, rows)

    def test_a_corridor_one_row_high_between_metal_is_refused(self):
        rows = self.grid(["#####......", "r...r......", "#####......", "rrrrrrrrrrr"])
        with self.assertRaisesRegex(tessarine_levels.LevelError, "corridors one row high"):
            tessarine_levels.check(1, rows)
        # One cell between metal, or two rows between metal rows, is no such corridor.
        rows[3] = "r.r.r......"
        rows[2] = "#.#.#......"
        tessarine_levels.check(1, rows)
        tessarine_levels.check(1, self.grid(["#####......", "r...r......", "rrrrr......",
                                             "#####......", "rrrrrrrrrrr"]))

    def test_bricks_under_the_lives_and_score_are_refused(self):
        rows = self.grid(["rrrrrrrrrrr"])
        rows[0] = "r.........."
        with self.assertRaises(tessarine_levels.LevelError):
            tessarine_levels.check(1, rows)


class AtlasList(unittest.TestCase):
    def test_every_line_has_five_fields_of_numbers(self):
        text = ENTRIES[LIST].decode("ascii")
        self.assertTrue(text.endswith("\r\n"))
        lines = text.split("\r\n")[:-1]
        self.assertNotIn("", lines)  # an empty line would end the list early
        self.assertEqual(len(lines), len(atlas_pieces()))
        for line in lines:
            fields = line.split(";")
            self.assertEqual(5, len(fields), line)
            self.assertTrue(all(INT.match(v) for v in fields[1:]), line)

    def test_pieces_and_their_turned_copies_lie_inside_the_sheet(self):
        ws, hs = sheet_size()
        for name, (x, y, w, h) in atlas_pieces().items():
            self.assertTrue(w > 0 and h > 0 and x >= 0 and y >= 0, name)
            self.assertLessEqual(x + w, ws, name)
            self.assertLessEqual(y + h, hs, name)
            for suffix in ("_mr", "_lv", "_dn", "_up"):
                tx, ty, tw, th = turned((x, y, w, h), suffix, ws, hs)
                cw, ch = (hs, ws) if suffix in ("_dn", "_up") else (ws, hs)
                self.assertTrue(0 <= tx and tx + tw <= cw and 0 <= ty and ty + th <= ch,
                                (name, suffix))

    def test_pieces_do_not_overlap(self):
        ws, hs = sheet_size()
        used = np.zeros((hs, ws), int)
        for x, y, w, h in atlas_pieces().values():
            used[y : y + h, x : x + w] += 1
        self.assertLessEqual(used.max(), 1)

    def test_no_piece_name_reads_as_a_turned_name(self):
        for name in atlas_pieces():
            self.assertEqual("", resolve(name)[1], name)
            self.assertTrue(name.endswith(".png"), name)

    def test_the_sheet_has_the_key_only_where_no_piece_is_opaque(self):
        rgb = np.asarray(Image.open(io.BytesIO(ENTRIES[SHEET])).convert("RGB"))
        v = gamedata_565(rgb)
        outside = np.ones(v.shape, bool)
        for x, y, w, h in atlas_pieces().values():
            outside[y : y + h, x : x + w] = False
        self.assertTrue(np.all(v[outside] == KEY565))
        for name in atlas_pieces():
            piece, opaque = piece_pixels(name)
            self.assertTrue(opaque.any(), name)
            self.assertFalse(np.any(gamedata_565(piece)[opaque] == KEY565), name)
            self.assertTrue(np.all(piece[~opaque] == (255, 0, 255)), name)


def gamedata_565(rgb8):
    r, g, b = (rgb8[..., i].astype(np.uint16) for i in range(3))
    return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)


class NamesTheGameLoads(unittest.TestCase):
    def test_every_piece_the_game_asks_for_is_in_the_atlas(self):
        table = atlas_pieces()
        for name in GAME_PIECES:
            self.assertIn(resolve(name)[0], table, name)

    def test_every_animation_exists_and_its_frames_resolve(self):
        table, anims = atlas_pieces(), anim_table()
        for name in GAME_ANIMS:
            self.assertIn(name, anims)
            self.assertTrue(anims[name] and all(anims[name]), name)
        for name, frames in anims.items():
            for frame in frames:
                self.assertIn(resolve(frame)[0], table, (name, frame))

    def test_animation_list_is_one_key_per_line_ended_by_cr_lf(self):
        text = ENTRIES[ANIM].decode("ascii")
        lines = text.split("\r\n")
        self.assertEqual("", lines[-1])
        self.assertNotIn("", lines[:-1])
        self.assertEqual(len(lines) - 1, len({line.split("=")[0] for line in lines[:-1]}))

    def test_pictures_and_atlas_are_stored_where_the_graphics_lookup_finds_them(self):
        for name in ("/tesk/splash.jpg", "/tesk/gameover.jpg", "/tesk/all.png",
                     "/tesk/all.txt"):
            self.assertIn("/graphics/qvga" + name, ENTRIES)
        self.assertIn("/tesk/anim.txt", ENTRIES)
        for name in ("/tesk/splash.jpg", "/tesk/gameover.jpg"):
            rgb, keyed = pictures.decode_565(ENTRIES["/graphics/qvga" + name])
            self.assertEqual((320, 240), keyed.shape)
            self.assertFalse(keyed.any(), name)
            data = ENTRIES["/graphics/qvga" + name]
            self.assertEqual("JPEG", Image.open(io.BytesIO(data)).format)

    def test_stored_and_probed_names_keep_apart_with_all_the_game_data(self):
        entries = {}
        for produce in gamedata.PRODUCERS:
            produce(entries)
        probes = gamedata.probed_names(entries, os.path.dirname(os.path.abspath(__file__)))
        for n in (0, 51, 99):
            self.assertIn("/data/tesk/data/round%02d.txt" % n, probes)
        self.assertIn("/ppc/tesk/anim.txt", probes)
        self.assertEqual([], gamedata.check_names(entries, probes))


class Geometry(unittest.TestCase):
    """Sizes the game derives its layout from."""

    def size(self, name):
        return atlas_pieces()[name][2:]

    def test_eleven_columns_fit_between_walls_of_the_same_width_as_the_margin(self):
        w, h = self.size("b_flash.png")
        grid = rules.bricks()
        grid_width = grid.columns * (w + 1)
        self.assertFalse(240 + 2 < grid_width + 12)  # cells keep their one-pixel gap
        grid_left = (240 - grid_width) // 2
        self.assertEqual(grid_left, self.size("t1_L.png")[0])
        # The rows, the paddle's margin and a ball fit under the top border.
        grid_top = self.size("t4_L.png")[1]
        self.assertEqual(grid_top, self.size("t1_L.png")[0])  # the turned border's height
        self.assertLessEqual(12 + 2 * 5 + 5 + grid.rows * (h + 1) + grid_top, 320)

    def test_bricks_and_overlays_share_one_cell_size(self):
        cell = self.size("b_flash.png")
        for name in ["b3_0.png", "b4.png", "b5.png", "b6.png", "b7.png", "b8_0.png",
                     "b9_0.png", "b1_0.png", "b1_1.png", "b2_0.png", "b2_1.png", "b2_2.png"]:
            self.assertEqual(cell, self.size(name), name)
        ow, oh = self.size("b9_p0.png")
        self.assertLessEqual(2 * ow, cell[0])
        self.assertLessEqual(2 * oh + 1, cell[1])

    def test_paddle_morphs_start_on_the_looks_the_paddle_uses(self):
        anims = anim_table()
        widths = {k: self.size(resolve(anims[k][0])[0])[0] for k in
                  ("desmall", "bigger", "debigger", "small")}
        self.assertLess(widths["desmall"], widths["bigger"])
        self.assertLess(widths["bigger"], widths["debigger"])
        self.assertEqual(widths["small"], widths["bigger"])
        # Each morph ends on the look the reverse morph starts from.
        for there, back in (("small", "desmall"), ("bigger", "debigger")):
            self.assertEqual(self.size(anims[there][-1]), self.size(anims[back][0]))

    def test_balls_are_round_with_odd_sizes_and_grow_in_order(self):
        sizes = [self.size(n) for n in ("ballSmall.png", "ball1.png", "ballBig.png")]
        self.assertEqual(sorted(sizes), sizes)
        for w, h in sizes:
            self.assertEqual(w, h)
            self.assertEqual(1, w % 2)
        anims = anim_table()
        for fire, plain in (("ballFireSmall", "ballSmall.png"), ("ballFire", "ball1.png"),
                            ("ballFireBig", "ballBig.png")):
            self.assertEqual(self.size(plain), self.size(anims[fire][0]))

    def test_capsules_enemies_and_flames_keep_one_frame_size(self):
        anims = anim_table()
        keys = ["tesk_bon%d" % n for n in range(1, 13)] + ["monst0", "monst1", "monst2",
                                                           "exit", "Clue", "iskra"]
        for key in keys:
            self.assertEqual(1, len({self.size(resolve(f)[0]) for f in anims[key]}), key)
        # Enemies are 11 by 11 and drawn from their centre.
        self.assertEqual((11, 11), self.size(anims["monst0"][0]))

    def test_mirrored_frames_are_mirror_images(self):
        anims = anim_table()
        for left, right in (("flames", "flames2"), ("gilzLeft1", "gilzRight1")):
            self.assertEqual([f + "_mr" for f in anims[left]], anims[right])


class Capsules(unittest.TestCase):
    def colour(self, kind):
        rgb, opaque = piece_pixels(anim_table()["tesk_bon%d" % kind][0])
        return rgb[opaque].astype(float).mean(axis=0)

    def test_good_capsules_are_green_or_blue_and_bad_ones_red_or_orange(self):
        for kind in range(1, 13):
            r, g, b = self.colour(kind)
            if kind in (3, 5, 9):
                self.assertGreater(r, max(g, b), kind)
            else:
                self.assertGreater(max(g, b), r, kind)

    def test_every_capsule_carries_its_own_white_symbol(self):
        symbols = set()
        for kind in range(1, 13):
            rgb, opaque = piece_pixels(anim_table()["tesk_bon%d" % kind][0])
            white = np.all(rgb >= 248, axis=-1) & opaque
            self.assertGreaterEqual(white.sum(), 8, kind)
            symbols.add(white.tobytes())
        self.assertEqual(12, len(symbols))


class Drawing(unittest.TestCase):
    def test_coverage_of_half_or_more_is_opaque(self):
        f = Fine(4, 1)
        f.paint(f.rect(0, 0, 1.5, 1), "#ff0000")
        p = f.finish()
        self.assertEqual([True, True, False, False], list(p.opaque[0]))

    def test_final_colours_never_read_back_as_the_key(self):
        p = Pix(np.array([[[255, 0, 255], [250, 2, 252], [10, 20, 30]]], np.uint8),
                np.array([[True, True, False]]))
        out = p.final()
        self.assertFalse(np.any(gamedata_565(out[:, :2]) == KEY565))
        self.assertEqual((255, 0, 255), tuple(out[0, 2]))

    def test_outline_takes_the_edge_of_the_shape_only(self):
        p = Pix(np.zeros((5, 5, 3), np.uint8), np.zeros((5, 5), bool))
        p.opaque[1:4, 1:4] = True
        p.outline((9, 9, 9))
        self.assertEqual(8, int((p.rgb[..., 0] == 9).sum()))
        self.assertEqual(0, int(p.rgb[2, 2, 0]))


class Repeatable(unittest.TestCase):
    def test_producing_again_gives_the_same_bytes(self):
        tessarine_art._cache.clear()
        again = {}
        tessarine_art.produce(again)
        tessarine_levels.produce(again)
        self.assertEqual(sorted(ENTRIES), sorted(again))
        for name in ENTRIES:
            self.assertEqual(ENTRIES[name], again[name], name)


if __name__ == "__main__":
    unittest.main()
