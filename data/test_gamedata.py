"""Checks of the game-data generator: the name hash, the clash rules and the packed form."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamedata  # noqa: E402
from gen import fonts, preview, shell_images, texts  # noqa: E402

import math  # noqa: E402
import struct  # noqa: E402

import numpy as np  # noqa: E402


def produced():
    """Every entry the generator makes from this folder, made once per test run."""
    if not hasattr(produced, "entries"):
        root = os.path.dirname(os.path.abspath(__file__))
        entries = {}
        gamedata.read_sources(root, entries)
        for produce in gamedata.PRODUCERS:
            produce(entries)
        produced.entries = entries
    return produced.entries


class DataStream:
    """Reads big-endian data the way the game's data streams do."""

    def __init__(self, data):
        self.data, self.pos = data, 0

    def take(self, n):
        if self.pos + n > len(self.data):
            raise EOFError()
        chunk = self.data[self.pos : self.pos + n]
        self.pos += n
        return chunk

    def read_byte(self):
        return struct.unpack(">b", self.take(1))[0]

    def read_utf(self):
        (n,) = struct.unpack(">H", self.take(2))
        raw, units, i = self.take(n), [], 0
        while i < n:
            b = raw[i]
            if b >> 7 == 0:
                units.append(b)
                i += 1
            elif b >> 5 == 0b110:
                units.append((b & 0x1F) << 6 | raw[i + 1] & 0x3F)
                i += 2
            elif b >> 4 == 0b1110:
                units.append((b & 0x0F) << 12 | (raw[i + 1] & 0x3F) << 6 | raw[i + 2] & 0x3F)
                i += 3
            else:
                raise ValueError("malformed modified UTF-8")
        return "".join(map(chr, units)).encode("utf-16", "surrogatepass").decode("utf-16")


def text_table(data, utf):
    """A text file as the game loads it: UTF records, or 8-bit lines ended by CR (the byte
    after it skipped) where an empty line ends the file."""
    table = {}
    if utf:
        stream = DataStream(data)
        lines = []
        while stream.pos < len(data):
            lines.append(stream.read_utf())
    else:
        lines = texts.read_lines(data)
    for line in lines:
        if "=" in line:
            key, value = line.split("=", 1)
            table[key] = value
    return table


class NameHash(unittest.TestCase):
    def test_hash_is_over_signed_bytes_with_wrap_around(self):
        self.assertEqual(97, gamedata.name_hash("a"))
        self.assertEqual(gamedata.name_hash("Aa"), gamedata.name_hash("BB"))
        h = 0
        for c in "zzzzzzzzzzzz":
            h = (h * 31 + ord(c)) % (1 << 32)
        self.assertEqual(h - (1 << 32) if h >= 1 << 31 else h, gamedata.name_hash("zzzzzzzzzzzz"))

    def test_stored_form_drops_one_leading_slash(self):
        self.assertEqual("img/a.png", gamedata.stored("/img/a.png"))
        self.assertEqual("img/a.png", gamedata.stored("\\img\\a.png"))
        self.assertEqual("/a", gamedata.stored("//a"))


class Clashes(unittest.TestCase):
    def test_stored_names_sharing_a_hash_fail(self):
        problems = gamedata.check_names({"/Aa": b"1", "/BB": b"2"}, set())
        self.assertTrue(any("share the name hash" in p for p in problems), problems)

    def test_a_probed_name_with_a_stored_hash_fails(self):
        problems = gamedata.check_names({"/Aa": b"1"}, {"/BB", "/Aa"})
        self.assertEqual(1, len(problems), problems)
        self.assertIn("/BB", problems[0])

    def test_empty_and_non_ascii_entries_fail(self):
        self.assertTrue(gamedata.check_names({"/empty": b""}, set()))
        self.assertTrue(gamedata.check_names({"/caf\u00e9": b"x"}, set()))
        self.assertEqual([], gamedata.check_names({"/a": b"x", "/b": b"y"}, set()))

    def test_probes_follow_the_lookup_rules(self):
        entries = {"/tesk/anim.txt": b"x", "/graphics/qvga/menu/back.jpg": b"x",
                   "/snd/theme.mod": b"x"}
        probes = gamedata.probed_names(entries, tempfile.gettempdir())
        for expected in ("/ppc/tesk/anim.txt", "/graphics/null/menu/back.jpg",
                         "/graphics/common/menu/back.jpg", "/snd/theme.wav",
                         "/graphics/qvga/img/path"):
            self.assertIn(expected, probes)

    def test_the_shipped_data_has_no_clash(self):
        root = os.path.dirname(os.path.abspath(__file__))
        entries = {}
        gamedata.read_sources(root, entries)
        for produce in gamedata.PRODUCERS:
            produce(entries)
        self.assertIn("/240x320", entries)
        self.assertIn(b"graphics=", entries["/240x320"])
        self.assertEqual([], gamedata.check_names(entries, gamedata.probed_names(entries, root)))


class Fonts(unittest.TestCase):
    def pages(self, name):
        entries, out = produced(), []
        for n in range(fonts.MAX_PAGES):
            base = "/graphics/fonts/%s/font_%d" % (name, n)
            if base not in entries:
                break
            stream = DataStream(entries[base])
            count = stream.read_byte()
            glyphs, advances = [], []
            for _ in range(count):
                glyphs.append(stream.read_utf())
                advances.append(stream.read_byte())
            self.assertEqual(len(entries[base]), stream.pos, base + ": bytes after the glyphs")
            out.append((glyphs, advances, preview.decode_png(entries[base + ".png"])))
        return out

    def test_the_seven_fonts_have_strips_as_wide_as_their_advances(self):
        self.assertEqual(["menu", "menusel", "hud0", "hud1", "num0", "num1", "small"],
                         [style.name for style in fonts.FONTS])
        for style in fonts.FONTS:
            pages = self.pages(style.name)
            self.assertTrue(pages, style.name)
            heights = {strip.shape[0] for _, _, strip in pages}
            self.assertEqual(1, len(heights), style.name + ": pages of one height")
            for glyphs, advances, strip in pages:
                self.assertEqual(strip.shape[1], sum(advances), style.name)
                self.assertTrue(all(0 < a < 128 for a in advances), style.name)
                self.assertTrue(all(len(g) == 1 for g in glyphs), style.name)
            self.assertEqual(" ", pages[0][0][0][0], style.name + ": the space is glyph 0")
            every = [g for glyphs, _, _ in pages for g in glyphs]
            self.assertEqual(len(every), len(set(every)), style.name + ": a glyph given twice")

    def test_menu_fonts_are_at_most_16_pixels_high_with_advances_near_7(self):
        for name in ("menu", "menusel"):
            glyphs, advances, strip = self.pages(name)[0]
            self.assertLessEqual(strip.shape[0], 16)
            letters = [a for g, a in zip(glyphs, advances) if g.isalpha()]
            self.assertTrue(6 <= sum(letters) / len(letters) <= 9, name)
        menu, menusel = self.pages("menu"), self.pages("menusel")
        self.assertEqual([p[1] for p in menu], [p[1] for p in menusel],
                         "the highlighted font measures like the plain one")

    def test_coverage(self):
        def chars(name):
            return {g for glyphs, _, _ in self.pages(name) for g in glyphs}

        capitals = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,:;!?-_<>*'()/%+=")
        for name in ("menu", "menusel", "hud0", "hud1"):
            self.assertLessEqual(capitals | set("ÄÖÜß"), chars(name), name)
            self.assertFalse({c for c in chars(name) if c.islower() and c.isascii()}, name)
        for name in ("num0", "num1"):
            self.assertLessEqual(set("0123456789"), chars(name), name)
        self.assertIn("*", chars("hud1"))
        printable = {chr(c) for c in range(32, 127)}
        self.assertLessEqual(printable | set("äöüÄÖÜß"), chars("small"))

    def test_capitals_fonts_draw_lower_case_umlauts_as_capitals(self):
        for name in ("menu", "menusel", "hud0", "hud1"):
            cells = {}
            for glyphs, advances, strip in self.pages(name):
                offsets = np.concatenate([[0], np.cumsum(advances)])
                for g, x0, x1 in zip(glyphs, offsets[:-1], offsets[1:]):
                    cells[g] = strip[:, x0:x1]
            for small, capital in (("ä", "Ä"), ("ö", "Ö"), ("ü", "Ü")):
                self.assertTrue(np.array_equal(cells[small], cells[capital]), name + " " + small)

    def test_glyph_cells_keep_their_face_inside_and_the_key_outside(self):
        for style in fonts.FONTS:
            for glyphs, advances, strip in self.pages(style.name):
                key = np.all(strip == (255, 0, 255), axis=-1)
                self.assertFalse(np.any(preview.raster.decode565(strip[~key]) == 0xF81F))
                offsets = np.concatenate([[0], np.cumsum(advances)])
                luma = strip.astype(float) @ [0.3, 0.59, 0.11]
                for g, x0, x1 in zip(glyphs, offsets[:-1], offsets[1:]):
                    cell_key = key[:, x0:x1]
                    if g == " ":
                        self.assertTrue(cell_key.all(), style.name + ": the space draws nothing")
                        continue
                    self.assertFalse(cell_key.all(), "%s: %r is empty" % (style.name, g))
                    # The bright face never touches a clipped edge: the rim or the shadow
                    # stands between it and the neighbouring glyph.
                    edges = [-1] if style.shadow else [0, -1]
                    for col in edges:
                        edge = luma[:, x0:x1][:, col][~cell_key[:, col]]
                        self.assertTrue(np.all(edge < 160),
                                        "%s: %r face at its edge" % (style.name, g))

    def test_absent_pages_are_probed_and_none_clashes(self):
        probes = gamedata.probed_names(produced(), tempfile.gettempdir())
        self.assertIn("/graphics/fonts/menu/font_2", probes)
        self.assertIn("/graphics/fonts/menu/font_2.png", probes)
        self.assertIn("/ppc/graphics/fonts/num0/font_0.png", probes)
        self.assertNotIn("/graphics/fonts/menu/font_1", fonts.probes(produced()))

    def test_modified_utf8(self):
        self.assertEqual(b"\x00\x02\xc0\x80", fonts.modified_utf8("\x00"))
        self.assertEqual(b"\x00\x02\xc3\x9f", fonts.modified_utf8("ß"))
        emoji = fonts.modified_utf8("\U0001F600")
        self.assertEqual(8, len(emoji))
        self.assertEqual("\U0001F600", DataStream(emoji).read_utf())
        with self.assertRaises(ValueError):
            fonts.descriptor(["A"] * 128, [5] * 128)
        with self.assertRaises(ValueError):
            fonts.descriptor(["A"], [128])


# Where each text is drawn: the font and the width it has on a 240x320 screen.
MENU_ITEM = ("menusel", 176)
PLACES = {
    "start": MENU_ITEM, "continue": MENU_ITEM, "gallery": MENU_ITEM, "highscores": MENU_ITEM,
    "help": MENU_ITEM, "soundfxoff": MENU_ITEM, "soundfxlow": MENU_ITEM,
    "soundfxnormal": MENU_ITEM, "soundfxhigh": MENU_ITEM, "musicoff": MENU_ITEM,
    "musiclow": MENU_ITEM, "musicnormal": MENU_ITEM, "musichigh": MENU_ITEM,
    "boundson": MENU_ITEM, "boundsoff": MENU_ITEM, "cfg_keys": MENU_ITEM, "exit": MENU_ITEM,
    "set_default": MENU_ITEM, "ok": MENU_ITEM, "cancel": MENU_ITEM, "empty": ("menu", 80),
    "level": ("hud1", 180), "score": ("hud1", 150), "gamecomplete": ("hud1", 236),
    "gameover": ("hud1", 236), "youwin": ("hud1", 236), "pak": ("hud1", 236),
    "quit": ("hud1", shell_images.BUTTON_SIZE[0] - 6),
    "next": ("hud1", shell_images.BUTTON_SIZE[0] - 6),
    "down": ("hud0", 110), "enable_sound": ("hud0", 160), "yes": ("menu", 160),
    "no": ("menu", 160), "entername": ("small", 236), "noimages": ("small", 236),
    "pause": ("hud1", 236),
}
NUMBERS = ["Lives"] + ["d%s%dk" % (axis, k) for k in range(1, 5) for axis in "xy"]
CONTROLS = {"ctrl_actions_tessarine": 3, "ctrl_actions_mirrowfen": 4,
            "ctrl_actions_corvantine": 3}


class Texts(unittest.TestCase):
    def tables(self):
        return {short: text_table(produced()["/txt/res_%s.txt" % short], utf=True)
                for short in texts.languages()}

    def test_language_list_is_stored_under_both_names(self):
        entries = produced()
        self.assertEqual(entries["/txt/lang"], entries["/txt/lang.txt"])
        lang = text_table(entries["/txt/lang.txt"], utf=True)
        self.assertEqual("English;Deutsch", lang["LANGS"])
        self.assertEqual("en;de", lang["SNAMES"])

    def test_every_language_has_every_key_and_the_same_keys(self):
        tables = self.tables()
        self.assertEqual(["en", "de"], list(tables))
        needed = set(PLACES) | set(NUMBERS) | set(CONTROLS)
        for short, table in tables.items():
            self.assertLessEqual(needed, set(table), short)
            self.assertEqual(set(tables["en"]), set(table), short)
            self.assertTrue(all(v.strip() for v in table.values()), short + ": an empty text")

    def test_records_round_trip_the_sources(self):
        for short, table in self.tables().items():
            self.assertEqual(texts.read_table(texts.source_path("res_%s.txt" % short)), table)

    def test_texts_fit_their_places_in_their_fonts(self):
        loaded = preview.load_fonts(produced())
        for short, table in self.tables().items():
            for key, (font, width) in PLACES.items():
                text = table[key] + (" 99" if key == "level" else "")
                self.assertEqual([], loaded[font].missing(text), "%s %s" % (short, key))
                self.assertLessEqual(loaded[font].width(text), width, "%s %s" % (short, key))
            for key, count in CONTROLS.items():
                names = table[key].split(";")
                self.assertEqual(count, len(names), "%s %s" % (short, key))
                for name in names:
                    self.assertEqual([], loaded["hud0"].missing(name))
                    self.assertLessEqual(loaded["hud0"].width(name), 108, "%s %s" % (short, name))

    def test_keyboard_keys_and_language_names_fit_their_cells(self):
        loaded = preview.load_fonts(produced())
        for font in ("menu", "menusel"):
            self.assertLessEqual(loaded[font].height, 19, font)
            for label in list("abcdefghijklmnopqrstuvwxyz-_") + ["ok", "<-"]:
                self.assertEqual([], loaded[font].missing(label))
                self.assertLessEqual(loaded[font].width(label), 21, "%s %r" % (font, label))
        lang = text_table(produced()["/txt/lang"], utf=True)
        for name in lang["LANGS"].split(";"):
            self.assertEqual([], loaded["menu"].missing(name))
            self.assertLessEqual(loaded["menu"].width(name), 2 * (240 // 3) - 4, name)

    def test_key_names_fit_the_key_column_of_the_smallest_screen(self):
        # The dialog's key columns are (W - 20 - (W - 20) / 2) / 2 pixels wide: 39 at 176 wide.
        loaded = preview.load_fonts(produced())
        column = (176 - 20 - (176 - 20) // 2) // 2
        for short, table in self.tables().items():
            names = {k: v for k, v in table.items() if k.startswith("keyname_")}
            # The arrows and the action key show at first use; the soft keys are F1 and F2.
            for code in (37, 38, 39, 40, 10000, 10001, 10002):
                self.assertIn("keyname_%d" % code, names, short)
            self.assertEqual("F1", names["keyname_10000"], short)
            self.assertEqual("Enter", names["keyname_10002"], short)
            for key, name in names.items():
                self.assertTrue(key[len("keyname_"):].isdigit(), key)
                self.assertEqual([], loaded["small"].missing(name), (short, key))
                self.assertLess(loaded["small"].width(name), column, (short, key, name))

    def test_the_help_pages_right_soft_key_stays_off_the_edge(self):
        # The help page writes "down" in "hud0" anchored at the screen's right edge.
        hud0 = preview.load_fonts(produced())["hud0"]
        for short, table in self.tables().items():
            label = table["down"]
            width = hud0.width(label)
            canvas = np.zeros((hud0.height, width + 8, 3), np.uint8)
            canvas[:] = preview.raster.KEY
            hud0.draw(canvas, label, 8, 0)
            drawn = ~np.all(canvas == preview.raster.KEY, axis=-1)
            self.assertTrue(drawn.any(), short)
            self.assertFalse(drawn[:, -2:].any(), short + ": letters against the edge")

    def test_level_texts_do_not_name_a_key(self):
        for short, table in self.tables().items():
            for key in table:
                if key.startswith(("soundfx", "music", "bounds")):
                    self.assertNotIn(table[key], table, "%s %s" % (short, key))

    def test_shot_directions_follow_the_nose_with_speed_4(self):
        for short, table in self.tables().items():
            self.assertGreater(int(table["Lives"]), 0)
            for s in range(1, 5):
                dx, dy = int(table["dx%dk" % s]), int(table["dy%dk" % s])
                nose = math.radians(s * 22.5)  # counter-clockwise from pointing right, y down
                angle = math.atan2(-dy, dx)
                self.assertLess(abs(angle - nose), math.radians(12), "%s step %d" % (short, s))
                self.assertTrue(3.5 <= math.hypot(dx, dy) <= 4.5, "%s step %d" % (short, s))

    def test_soft_key_codes_are_8_bit_lines_under_both_names(self):
        entries = produced()
        data = entries["/data/keys"]
        self.assertEqual(data, entries["/data/keys.txt"])
        self.assertTrue(data.endswith(b"\r\n"))
        self.assertNotIn(b"\r\n\r\n", data)
        keys = text_table(data, utf=False)
        self.assertEqual(10000, int(keys["KEY_LEFT_SOFT2"]))
        self.assertEqual(10001, int(keys["KEY_RIGHT_SOFT2"]))
        self.assertEqual({"KEY_LEFT_SOFT1", "KEY_LEFT_SOFT2", "KEY_RIGHT_SOFT1",
                          "KEY_RIGHT_SOFT2", "KEY_MIDDLE_SOFT"}, set(keys))

    def test_bad_sources_are_refused(self):
        with tempfile.TemporaryDirectory() as folder:
            for body in ("a=1\na=2\n", "no equals sign\n", " a=1\n"):
                path = os.path.join(folder, "t.txt")
                with open(path, "w", encoding="utf-8") as handle:
                    handle.write(body)
                with self.assertRaises(ValueError, msg=body):
                    texts.read_table(path)
        with self.assertRaises(ValueError):
            texts.eight_bit_lines({"a": "x\r\ny"})


class ShellImages(unittest.TestCase):
    def image(self, name):
        return preview.decode_png(produced()["/graphics/" + name])

    def test_sizes_fit_where_the_shell_draws_them(self):
        logo = self.image("logo.png")
        self.assertLessEqual(logo.shape[1], 240)
        self.assertLessEqual((320 - logo.shape[0]) // 2 + logo.shape[0], 320 - (320 >> 3),
                             "the logo ends above the progress bar")
        self.assertLessEqual(self.image("arrowUp.png").shape[0], 23)
        self.assertLessEqual(self.image("arrowDown.png").shape[0], 15)
        selected = self.image("selected.png")
        self.assertLessEqual(selected.shape[0], 18)
        self.assertLessEqual(selected.shape[1], 176)
        hud1 = self.pages_height("hud1")
        self.assertGreaterEqual(self.image("button.png").shape[0], hud1 + 4)

    def pages_height(self, name):
        return preview.decode_png(produced()["/graphics/fonts/%s/font_0.png" % name]).shape[0]

    def test_key_only_where_transparent(self):
        for name in ("logo.png", "arrowUp.png", "arrowDown.png", "selected.png", "button.png",
                     "pause.png"):
            pixels = self.image(name)
            key = np.all(pixels == (255, 0, 255), axis=-1)
            decoded = preview.raster.decode565(pixels)
            self.assertEqual(int(key.sum()), int((decoded == 0xF81F).sum()), name)
            h, w = key.shape
            self.assertFalse(key[h // 2, w // 2], name + ": opaque in the middle")
            if name == "pause.png":
                self.assertFalse(key.any(), "the pause button is drawn without the key")
            else:
                self.assertTrue(key[0, 0] and key[0, -1], name + ": transparent corners")

    def test_arrows_point_their_way(self):
        for name, tip_row in (("arrowUp.png", 0), ("arrowDown.png", -1)):
            pixels = self.image(name)
            opaque = ~np.all(pixels == (255, 0, 255), axis=-1)
            rows = np.nonzero(opaque.any(axis=1))[0]
            tip = rows[0] if tip_row == 0 else rows[-1]
            base = rows[-1] if tip_row == 0 else rows[0]
            self.assertLess(opaque[tip].sum(), opaque[base].sum(), name)

    def test_generation_is_reproducible(self):
        again = {}
        for produce in gamedata.PRODUCERS:
            produce(again)
        first = produced()
        for name, data in again.items():
            self.assertEqual(first[name], data, name)


class Packing(unittest.TestCase):
    def test_archive_has_one_block_per_entry_and_is_reproducible(self):
        with tempfile.TemporaryDirectory() as folder:
            entries = {"/a.txt": b"a" * 500, "/sub/b.bin": bytes(range(256)) * 8, "/c": b"c"}
            outputs = []
            for run in range(2):
                staging = os.path.join(folder, "staging%d" % run)
                gamedata.stage(entries, staging)
                names = sorted(gamedata.stored(n) for n in entries)
                archive = gamedata.pack("7z", staging, names,
                                        os.path.join(folder, "game%d.dat" % run))
                self.assertEqual([], gamedata.verify("7z", archive, names))
                with open(archive, "rb") as handle:
                    outputs.append(handle.read())
            self.assertEqual(outputs[0], outputs[1])
            listing = subprocess.run(["7z", "l", "-slt", archive], check=True,
                                     capture_output=True, text=True).stdout
            self.assertIn("Blocks = 3", listing)

    def test_verify_refuses_a_solid_archive(self):
        with tempfile.TemporaryDirectory() as folder:
            entries = {"/a.txt": b"a" * 500, "/b.txt": b"b" * 500}
            gamedata.stage(entries, folder + "/s")
            archive = folder + "/solid.7z"
            subprocess.run(["7z", "a", "-t7z", "-bd", "-bso0", "-bsp0", "-ms=on", archive,
                            "a.txt", "b.txt"], cwd=folder + "/s", check=True)
            problems = gamedata.verify("7z", archive, ["a.txt", "b.txt"])
            self.assertTrue(any("shares block" in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
