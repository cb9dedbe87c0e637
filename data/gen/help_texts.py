"""The games' help pages, converted from the readable sources text/help/<game>_<language>.txt.

Each source line becomes one UTF record of /txt/<game>/<language>_help.txt (a blank line an
empty record, which the page shows as an empty line). The page joins the records with line
feeds and breaks them again to its width in the "small" font, so a source line is a paragraph,
a heading or a line of a list. The page reads a record that starts with "%" followed by more as
an inline picture and drops a record of one character; the games pass no pictures, so the
sources may hold neither.
"""

import os

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


def break_lines(records, width_of, screen_width=240, margin=15):
    """The page's lines for records read from the entry, as the help page breaks them:
    C = (W - 2 margin - 4) / width("W") characters before the width test applies; a paragraph
    breaks at the last space before the space that overflows, a word without space after the
    line start is cut after C characters, a one-character line leaves an empty line.
    width_of(text) measures in the "small" font. Returns the lines (None for an empty one)."""
    text = "".join(r + "\n" for r in records)
    limit = screen_width - 2 * margin - 4
    # A font without "W", or one wider than the page, would make C zero: the cut after C
    # characters would then never advance.
    chars = max(1, limit // max(1, width_of("W")))
    lines = []
    s = sp = 0
    j = 0

    def store(entry):
        lines.append(entry if entry else "")

    def do_break():
        nonlocal s
        if s >= sp - 1:
            store(text[s : s + chars])
            s += chars
        else:
            store(text[s:sp])
            s = sp + 1

    while j < len(text):
        ch = text[j]
        if ch == "\n" and j - s > chars and width_of(text[s:j]) > limit:
            do_break()
            if s == j:
                s = j + 1  # the break fell on the line feed, which ends the line just stored
            else:
                j = s - 1  # the rest of the paragraph is scanned again from its new start
        elif ch != "\n":
            if ch == " " and j - s > chars and width_of(text[s:j]) > limit:
                do_break()
        else:
            if j == s + 1 and (s == 0 or text[s - 1] == "\n"):
                lines.append(None)  # a one-character line; a paragraph's last word stays
            else:
                store(text[s:j])
            s = j + 1
        if text[j] == " ":
            sp = j
        j += 1
    return lines


def produce(entries):
    for game in GAMES:
        for short in texts.languages():
            records = read_source(source_path(game, short))
            found = problems(records)
            if found:
                raise ValueError("%s: %s" % (source_path(game, short), "; ".join(found)))
            entries[entry_name(game, short)] = b"".join(modified_utf8(r) for r in records)
