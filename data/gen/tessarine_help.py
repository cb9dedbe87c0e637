"""The brick-breaker's help pages, one per language: "/txt/tesk/" + short name + "_help.txt".

The sources in help/tessarine/ are UTF-8 text named by the language's short name. Each line
becomes one data-stream string (16-bit big-endian byte count, then modified UTF-8); the help
page joins them with line feeds and wraps them to the screen itself, so a source line is a
paragraph and an empty line a gap.
"""

import os

HELP_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "help",
                        "tessarine")
LANGUAGES = ("en", "de")


def help_name(language):
    return "/txt/tesk/%s_help.txt" % language


def modified_utf8(text):
    """One readUTF record: NUL and characters from U+0080 take the two- or three-byte forms."""
    out = bytearray()
    for ch in text:
        c = ord(ch)
        if 0 < c < 0x80:
            out.append(c)
        elif c < 0x800:
            out += bytes((0xC0 | c >> 6, 0x80 | c & 0x3F))
        elif c < 0x10000:
            out += bytes((0xE0 | c >> 12, 0x80 | c >> 6 & 0x3F, 0x80 | c & 0x3F))
        else:
            raise ValueError("%r lies outside the 16-bit characters" % ch)
    if len(out) > 0xFFFF:
        raise ValueError("a line of %d bytes is too long for one record" % len(out))
    return len(out).to_bytes(2, "big") + bytes(out)


def read_records(data):
    """The lines back, as the help page reads them."""
    lines, pos = [], 0
    while pos + 2 <= len(data):
        n = int.from_bytes(data[pos : pos + 2], "big")
        raw, pos = data[pos + 2 : pos + 2 + n], pos + 2 + n
        if len(raw) < n:
            raise EOFError("record cut short")
        text, i = [], 0
        while i < len(raw):
            b = raw[i]
            if b < 0x80:
                text.append(chr(b))
                i += 1
            elif b >> 5 == 6:
                text.append(chr((b & 0x1F) << 6 | raw[i + 1] & 0x3F))
                i += 2
            else:
                text.append(chr((b & 0x0F) << 12 | (raw[i + 1] & 0x3F) << 6 | raw[i + 2] & 0x3F))
                i += 3
        lines.append("".join(text))
    return lines


def source_lines(language):
    with open(os.path.join(HELP_DIR, language + ".txt"), encoding="utf-8") as handle:
        return handle.read().rstrip("\n").split("\n")


def produce(entries):
    for language in LANGUAGES:
        entries[help_name(language)] = b"".join(modified_utf8(line)
                                                for line in source_lines(language))
