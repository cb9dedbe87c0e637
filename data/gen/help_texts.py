"""The games' help pages, converted from the readable sources text/help/<game>_<language>.txt.

Each source line becomes one UTF record of /txt/<game>/<language>_help.txt (a blank line an
empty record, which the page shows as an empty line). The page joins the records with line
feeds and breaks them again to its width in the "small" font (page_lines asks the game itself),
so a source line is a paragraph, a heading or a line of a list. The page reads a record that starts with "%" followed by more as
an inline picture and drops a record of one character; the games pass no pictures, so the
sources may hold neither.
"""

import os
import subprocess

from . import texts
from .fonts import modified_utf8

HELP_DIR = os.path.join(texts.TEXT_DIR, "help")
GAMES = ("tesk", "mirf", "corv")
MAX_CHARS = 2500  # about five pages of small print
MAX_ENTRIES = 250  # lines the page holds


def entry_name(game, short):
    return "/txt/%s/%s_help.txt" % (game, short)


def source_path(game, short):
    return os.path.join(HELP_DIR, "%s_%s.txt" % (game, short))


def read_source(path):
    """The records of a source: its lines without line ends, trailing blank lines dropped."""
    with open(path, encoding="utf-8") as handle:
        records = [line.rstrip("\r\n") for line in handle]
    while records and not records[-1].strip():
        records.pop()
    return records


def problems(records):
    """What the help page would show wrongly or not at all."""
    found = []
    for number, record in enumerate(records, 1):
        if len(record) == 1:
            found.append("line %d: a record of one character is dropped" % number)
        if record.startswith("%"):
            found.append("line %d: a record starting with '%%' is read as a picture" % number)
        if record != record.rstrip():
            found.append("line %d: trailing blanks" % number)
        if any(c in record for c in "\r\n\t"):
            found.append("line %d: control characters" % number)
    if not records:
        found.append("no text")
    if sum(len(r) for r in records) > MAX_CHARS:
        found.append("longer than %d characters" % MAX_CHARS)
    return found


def page_lines(tool, data_dir, names, scratch):
    """The lines of the help pages `names` as the game breaks them in the "small" font on the
    240x320 screen: asked from the helplines tool (built from the game library) on the game.dat
    in data_dir, with scratch as its working folder. Returns name -> lines ("" for an empty
    line)."""
    answer = subprocess.run([tool, data_dir, scratch] + list(names), capture_output=True,
                            check=True).stdout.decode("utf-8")
    pages, lines = {}, None
    for line in answer.split("\n")[:-1]:
        if line.startswith("== "):
            lines = pages.setdefault(line[3:], [])
        else:
            lines.append(line)
    return pages


def produce(entries):
    for game in GAMES:
        for short in texts.languages():
            records = read_source(source_path(game, short))
            found = problems(records)
            if found:
                raise ValueError("%s: %s" % (source_path(game, short), "; ".join(found)))
            entries[entry_name(game, short)] = b"".join(modified_utf8(r) for r in records)
