"""The formation shooter's help pages, one per language: "/txt/corv/" + short name + "_help.txt".

The sources in help/corvantine/ are UTF-8 text named by the language's short name, stored like
the brick-breaker's pages: one data-stream string per source line.
"""

import os

from gen.tessarine_help import modified_utf8

HELP_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "help",
                        "corvantine")
LANGUAGES = ("en", "de")


def help_name(language):
    return "/txt/corv/%s_help.txt" % language


def source_lines(language):
    with open(os.path.join(HELP_DIR, language + ".txt"), encoding="utf-8") as handle:
        return handle.read().rstrip("\n").split("\n")


def produce(entries):
    for language in LANGUAGES:
        entries[help_name(language)] = b"".join(modified_utf8(line)
                                                for line in source_lines(language))
