"""The formation shooter's help pages: stored where the game's menu reads them, line for line."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen import corvantine_help, tessarine_help  # noqa: E402


class CorvantineHelpTest(unittest.TestCase):
    def test_each_language_has_its_page_with_every_source_line(self):
        entries = {}
        corvantine_help.produce(entries)
        self.assertEqual({"/txt/corv/en_help.txt", "/txt/corv/de_help.txt"}, set(entries))
        for language in corvantine_help.LANGUAGES:
            lines = tessarine_help.read_records(entries[corvantine_help.help_name(language)])
            self.assertEqual(corvantine_help.source_lines(language), lines)
            self.assertGreater(len(lines), 5)

    def test_pages_name_the_points_of_every_row(self):
        for language in corvantine_help.LANGUAGES:
            text = "\n".join(corvantine_help.source_lines(language))
            for points in ("60", "80", "100", "150", "5000"):
                self.assertIn(points, text, language)


if __name__ == "__main__":
    unittest.main()
