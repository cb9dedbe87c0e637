"""Checks of the game-data generator: the name hash, the clash rules and the packed form."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamedata  # noqa: E402


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
