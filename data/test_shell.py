"""Checks of the shell screens' data: every name they load is found by the game's lookup, the
icon atlas parses and fits its sheet and the main menu's layout, the keyboard frame matches
the keyboard's geometry, the help texts break as the help page breaks them, and the texts the
screens ask for exist in every language."""

import io
import os
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamedata  # noqa: E402
from gen import (  # noqa: E402
    help_texts, keyboard_frame, menu_art, preview, raster, rules, texts)
from test_gamedata import DataStream, produced, text_table  # noqa: E402

W, H = 240, 320


def graphics_set():
    return text_table(produced()["/240x320"], utf=False)["graphics"]


def aliases():
    """Folder -> alias in the graphics set: the first line of the folder's alias entry."""
    out = {}
    for folder, entry in rules.alias_files(graphics_set()).items():
        lines = texts.read_lines(produced().get(entry, b""))
        if lines:
            out[folder] = lines[0]
    return out


def first_found(tries):
    return next((name for name in tries if name in produced()), None)


def find_graphics(name):
    """The stored name the game finds for a graphics name such as "/menu/back.jpg" on a
    240x320 screen, trying the names in the game's order."""
    return first_found(rules.graphics_tries([name], H, graphics_set(), aliases())[name])


def find_resource(name):
    """The stored name getResourceAsStream finds on a 240x320 screen."""
    return first_found(rules.resource_tries([name], H)[name])


def image(name):
    return preview.decode_png(produced()[name]) if name.endswith(".png") else \
        np.asarray(Image.open(io.BytesIO(produced()[name])).convert("RGB"))


def atlas():
    """Pieces name -> (x, y, w, h) as the atlas loader reads the list, and the sheet."""
    data = produced()[find_graphics(menu_art.ATLAS + ".txt")]
    pieces = {}
    for line in texts.read_lines(data):
        fields = line.split(";")
        pieces[fields[0]] = tuple(int(v) for v in fields[1:5])
    return pieces, image(find_graphics(menu_art.ATLAS + ".png"))


ICONS = ["tesk.png", "mirf.png", "corv.png", "gallery.png", "exit.png"]
SELECTED = [n.replace(".png", "_s.png") for n in ICONS]
LOGOS = ["logoTesk.png", "logoMirf.png", "logoCorv.png", "logoGallery.png", "logoExit.png"]

# Text keys the shell's screens look up (the games' own keys are checked in test_gamedata).
SHELL_KEYS = ["start", "continue", "gallery", "highscores", "help", "soundfxoff", "soundfxlow",
              "soundfxnormal", "soundfxhigh", "musicoff", "musiclow", "musicnormal",
              "musichigh", "boundson", "boundsoff", "cfg_keys", "exit", "empty", "entername",
              "quit", "next", "down", "noimages", "enable_sound", "yes", "no", "set_default",
              "ok", "cancel", "ctrl_actions_tessarine", "ctrl_actions_mirrowfen",
              "ctrl_actions_corvantine"]


class Lookup(unittest.TestCase):
    def test_every_name_the_shell_loads_is_found(self):
        for name in (menu_art.BACKDROP, menu_art.ATLAS + ".txt", menu_art.ATLAS + ".png") + \
                keyboard_frame.NAMES:
            self.assertIsNotNone(find_graphics(name), name)
        for name in ("/graphics/logo.png", "/graphics/arrowUp.png", "/graphics/arrowDown.png",
                     "/graphics/pause.png", "/graphics/selected.png", "/graphics/button.png"):
            self.assertIn(name, produced())
        for short in texts.languages():
            self.assertIsNotNone(find_resource("/txt/res_%s.txt" % short))
            for game in help_texts.GAMES:
                self.assertEqual("/txt/%s/%s_help.txt" % (game, short),
                                 find_resource("/txt/%s/%s_help.txt" % (game, short)))

    def test_the_lookup_variants_of_the_new_names_are_probed(self):
        probes = gamedata.probed_names(produced(), tempfile.gettempdir())
        for expected in ("/ppc/txt/tesk/en_help.txt", "/ppc/txt/corv/de_help.txt",
                         "/graphics/null/menu/back.jpg", "/graphics/common/menu/back.jpg",
                         "/ppc/graphics/qvga/menu/small_icons.png",
                         "/graphics/common/input/input_midd.png",
                         "/graphics/null/menu/small_icons.txt"):
            self.assertIn(expected, probes)
        self.assertEqual([], gamedata.check_names(produced(), probes))

    def test_the_game_tries_the_set_then_the_folders_alias_then_the_common_set(self):
        tries = rules.graphics_tries(["/menu/back.jpg", "/img/sky.jpg"], H, "qvga",
                                     {"menu": "alt"})
        self.assertEqual(["/graphics/qvga/menu/back.jpg", "/graphics/alt/menu/back.jpg",
                          "/graphics/common/menu/back.jpg"],
                         [t for t in tries["/menu/back.jpg"] if not t.startswith("/ppc/")])
        self.assertIn("/graphics/null/img/sky.jpg", tries["/img/sky.jpg"], "no alias")
        self.assertEqual(["/ppc/txt/tesk/en_help.txt", "/txt/tesk/en_help.txt"],
                         rules.resource_tries(["/txt/tesk/en_help.txt"], H)[
                             "/txt/tesk/en_help.txt"])

    def test_the_lookup_helpers_tell_present_from_absent(self):
        self.assertIsNone(find_graphics("/menu/missing.png"))
        self.assertIsNone(find_resource("/txt/tesk/xx_help.txt"))


class Files(unittest.TestCase):
    def pngs(self):
        prefix = menu_art.GRAPHICS
        return [prefix + menu_art.ATLAS + ".png"] + [prefix + n for n in keyboard_frame.NAMES]

    def test_pngs_are_8_bit_rgb_not_interlaced_with_the_key_only_where_transparent(self):
        for name in self.pngs():
            data = produced()[name]
            self.assertEqual(b"\x89PNG", data[:4], name)
            bit_depth, colour_type, interlace = data[24], data[25], data[28]
            self.assertEqual(8, bit_depth, name)
            self.assertIn(colour_type, (2, 3), name)
            self.assertEqual(0, interlace, name)
            pixels = image(name)
            key = np.all(pixels == raster.KEY, axis=-1)
            self.assertEqual(int(key.sum()), int((raster.decode565(pixels) == 0xF81F).sum()),
                             name + ": an opaque pixel decodes to the key")

    def test_backdrop_is_a_baseline_three_component_jpeg_of_the_screen_size_without_key(self):
        data = produced()[find_graphics(menu_art.BACKDROP)]
        self.assertEqual(b"\xff\xd8", data[:2])
        sof = data.find(b"\xff\xc0")
        self.assertGreater(sof, 0, "baseline frame marker")
        self.assertEqual(-1, data.find(b"\xff\xc2"), "no progressive frame")
        height, width = int.from_bytes(data[sof + 5 : sof + 7], "big"), \
            int.from_bytes(data[sof + 7 : sof + 9], "big")
        self.assertEqual((W, H), (width, height))
        self.assertEqual(3, data[sof + 9], "components")
        pixels = image(find_graphics(menu_art.BACKDROP))
        self.assertFalse(np.any(raster.decode565(pixels) == 0xF81F))
        # A night picture: dark on the whole, with some light in it.
        luma = pixels.astype(float) @ [0.3, 0.59, 0.11]
        self.assertLess(luma.mean(), 110)
        self.assertGreater(luma.max(), 200)

    def test_a_magenta_picture_is_lifted_off_the_key(self):
        data = menu_art.jpeg_bytes(np.full((16, 16, 3), [255.0, 0.0, 255.0]), 1)
        pixels = np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))
        self.assertFalse(np.any(raster.decode565(pixels) == 0xF81F))
        self.assertTrue(np.all(pixels[..., 0] > 200) and np.all(pixels[..., 2] > 200))


class Atlas(unittest.TestCase):
    def test_every_line_has_five_fields_and_no_blank_line_cuts_the_list_short(self):
        data = produced()[find_graphics(menu_art.ATLAS + ".txt")]
        lines = texts.read_lines(data)
        self.assertEqual(data.count(b"\r\n"), len(lines))
        self.assertTrue(data.endswith(b"\r\n"))
        for line in lines:
            fields = line.split(";")
            self.assertEqual(5, len(fields), line)
            self.assertTrue(all(f.isdigit() for f in fields[1:]), line)
            self.assertFalse(fields[0][:-4].endswith(("_mr", "_lv", "_dn", "_up")), line)

    def test_the_fifteen_pieces_lie_inside_the_sheet_without_overlap(self):
        pieces, sheet = atlas()
        self.assertEqual(set(ICONS + SELECTED + LOGOS), set(pieces))
        used = np.zeros(sheet.shape[:2], int)
        for name, (x, y, w, h) in pieces.items():
            self.assertTrue(x >= 0 and y >= 0 and x + w <= sheet.shape[1]
                            and y + h <= sheet.shape[0], name)
            used[y : y + h, x : x + w] += 1
            cell = sheet[y : y + h, x : x + w]
            key = np.all(cell == raster.KEY, axis=-1)
            self.assertFalse(key[h // 2, w // 2], name + ": opaque in the middle")
            self.assertGreater(key.sum(), 0, name + ": rounded corners are transparent")
        self.assertLessEqual(used.max(), 1)

    def test_icons_are_32_square_and_selected_ones_differ_from_plain(self):
        pieces, sheet = atlas()
        for plain, selected in zip(ICONS, SELECTED):
            self.assertEqual((32, 32), pieces[plain][2:])
            self.assertEqual((32, 32), pieces[selected][2:])
            a = sheet[pieces[plain][1] :][:32, pieces[plain][0] :][:, :32].astype(int)
            b = sheet[pieces[selected][1] :][:32, pieces[selected][0] :][:, :32].astype(int)
            self.assertGreater(np.abs(a - b).mean(), 8, selected)

    def test_icons_tell_their_entries_apart(self):
        pieces, sheet = atlas()
        cells = []
        for name in ICONS:
            x, y, w, h = pieces[name]
            cells.append(sheet[y : y + h, x : x + w].astype(int))
        for i in range(len(cells)):
            for j in range(i + 1, len(cells)):
                self.assertGreater(np.abs(cells[i] - cells[j]).mean(), 12, (ICONS[i], ICONS[j]))

    def test_layout_of_the_main_menu_fits_the_screen(self):
        pieces, _ = atlas()
        iw, ih = pieces["tesk.png"][2:]
        spacing = iw + (2 * iw) // 3
        centre_x = spacing // 2 - 5
        step = ((3 * H) // 4) // 5
        centres = [H - (3 * ih) // 4 - (4 - i) * step for i in range(5)]
        self.assertGreaterEqual(centre_x - iw // 2, 0, "icons start on the screen")
        self.assertGreater(step, ih, "icons do not overlap")
        self.assertLessEqual(centres[4] + ih - ih // 2, H)
        for name in LOGOS:
            w, h = pieces[name][2:]
            self.assertLessEqual(w, W - 45, name)
            self.assertTrue(30 <= h <= 48, name)
            # The tab at the bottom right stays clear of the exit icon's column.
            self.assertGreater(W - w, centre_x + iw // 2, name)


class KeyboardFrame(unittest.TestCase):
    def pieces(self):
        return [image(find_graphics(n)) for n in keyboard_frame.NAMES]

    def test_pieces_are_one_width_and_the_grid_fits_the_middle(self):
        top, middle, bottom = self.pieces()
        self.assertEqual({keyboard_frame.WIDTH}, {p.shape[1] for p in (top, middle, bottom)})
        grid_left = (W - 21 * 6) // 2 - (W - middle.shape[1]) // 2
        self.assertEqual(keyboard_frame.GRID_X, grid_left)
        self.assertGreaterEqual(grid_left, 2)
        self.assertLessEqual(grid_left + 126, middle.shape[1] - 2)
        self.assertGreaterEqual(middle.shape[0], 95)
        total = top.shape[0] + middle.shape[0] + bottom.shape[0]
        self.assertLessEqual(total, H - 2 * 17, "room for the soft-key labels")

    def test_title_and_name_fit_between_the_grid_and_the_bottom(self):
        loaded = preview.load_fonts(produced())
        menu, small = loaded["menu"].height, loaded["small"].height
        self.assertEqual(keyboard_frame.MENU_HEIGHT, menu)
        _, middle, _ = self.pieces()
        m = middle.shape[0]
        title_bottom = m - 2 * menu - 4
        self.assertGreaterEqual(title_bottom - small, 95 + 2, "title below the grid")
        text_y = m - menu - 3
        self.assertGreaterEqual(text_y, title_bottom + 2)
        for short in texts.languages():
            title = texts.read_table(texts.source_path("res_%s.txt" % short))["entername"]
            # Inside the panel's two-pixel rim, with a pixel to spare on each side.
            self.assertLessEqual(loaded["small"].width(title), keyboard_frame.WIDTH - 6)
        self.assertLessEqual(loaded["menu"].width("w" * 9) + 10, keyboard_frame.WIDTH - 16,
                             "nine letters and the cursor fit the name field")

    def test_cells_and_name_field_are_dark_and_opaque_for_the_light_font(self):
        _, middle, _ = self.pieces()
        gx = keyboard_frame.GRID_X
        grid = middle[:95, gx : gx + 126]
        self.assertFalse(np.all(grid == raster.KEY, axis=-1).any(), "no hole in the grid")
        luma = grid.astype(float) @ [0.3, 0.59, 0.11]
        for k in range(30):
            col, row = k % 6, k // 6
            centre = luma[row * 19 + 5 : row * 19 + 15, col * 21 + 5 : col * 21 + 16]
            self.assertLess(centre.mean(), 90, "cell %d" % k)
        top, bottom = keyboard_frame.field_box()
        field = middle[top + 2 : bottom - 2, 12:-12].astype(float) @ [0.3, 0.59, 0.11]
        self.assertLess(field.mean(), 40)

    def test_the_three_pieces_join_into_one_outline(self):
        top, middle, bottom = self.pieces()
        key = [np.all(p == raster.KEY, axis=-1) for p in (top, middle, bottom)]
        self.assertTrue(key[0][0, 0] and key[2][-1, -1], "rounded outer corners")
        self.assertFalse(key[1].any(), "the middle is opaque edge to edge")
        self.assertFalse(key[0][-1].any() or key[2][0].any(), "no gap at the joins")


class HelpTexts(unittest.TestCase):
    def records(self, game, short):
        stream, out = DataStream(produced()[help_texts.entry_name(game, short)]), []
        while stream.pos < len(stream.data):
            out.append(stream.read_utf())
        return out

    def test_entries_hold_the_sources_as_records(self):
        for game in help_texts.GAMES:
            for short in texts.languages():
                records = self.records(game, short)
                self.assertEqual(help_texts.read_source(help_texts.source_path(game, short)),
                                 records)
                self.assertEqual([], help_texts.problems(records), (game, short))

    @unittest.skipUnless(os.environ.get("HELPLINES") and os.environ.get("GAMEDATA_DIR"),
                         "HELPLINES names the helplines tool, GAMEDATA_DIR the built game.dat")
    def test_pages_break_within_the_width_in_the_small_font(self):
        small = preview.load_fonts(produced())["small"]
        limit = W - 2 * 15 - 4
        names = [help_texts.entry_name(game, short)
                 for game in help_texts.GAMES for short in texts.languages()]
        with tempfile.TemporaryDirectory() as scratch:
            pages = help_texts.page_lines(os.environ["HELPLINES"], os.environ["GAMEDATA_DIR"],
                                          names, scratch)
        for game in help_texts.GAMES:
            for short in texts.languages():
                lines = pages[help_texts.entry_name(game, short)]
                self.assertLessEqual(len(lines), help_texts.MAX_ENTRIES)
                visible = (H - 13 - (15 + 12)) // (small.height + 3)
                self.assertGreater(len(lines), visible, "the page scrolls: %s %s" % (game, short))
                for line in lines:
                    self.assertEqual([], small.missing(line), (game, short, line))
                    self.assertLessEqual(small.width(line), limit, (game, short, line))
                words = " ".join(self.records(game, short)).split()
                self.assertEqual(words, " ".join(lines).split(), "no word lost or cut")

    def test_languages_share_the_page_outline(self):
        for game in help_texts.GAMES:
            outlines = []
            for short in texts.languages():
                records = self.records(game, short)
                outlines.append([("" if not r else "H" if r.isupper() else "T") for r in records])
            self.assertEqual(outlines[0], outlines[-1], game)

    def test_bad_sources_are_named(self):
        self.assertTrue(help_texts.problems(["ok", "x"]))
        self.assertTrue(help_texts.problems(["%0"]))
        self.assertTrue(help_texts.problems(["trailing "]))
        self.assertTrue(help_texts.problems([]))
        self.assertTrue(help_texts.problems(["word " * 600]))
        self.assertEqual([], help_texts.problems(["Title", "", "A paragraph."]))


class Texts(unittest.TestCase):
    def test_every_key_the_screens_use_exists_in_every_language(self):
        tables = {short: text_table(produced()["/txt/res_%s.txt" % short], utf=True)
                  for short in texts.languages()}
        for short, table in tables.items():
            for key in SHELL_KEYS:
                self.assertTrue(table.get(key, "").strip(), "%s %s" % (short, key))
            self.assertEqual(set(tables["en"]), set(table))


class Reproducible(unittest.TestCase):
    def test_the_shell_producers_give_the_same_bytes_twice(self):
        for produce in (menu_art.produce, keyboard_frame.produce, help_texts.produce):
            first, second = {}, {}
            produce(first)
            produce(second)
            self.assertTrue(first)
            self.assertEqual(first, second)
            for name, data in first.items():
                self.assertEqual(produced()[name], data, name)


if __name__ == "__main__":
    unittest.main()
