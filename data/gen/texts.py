"""Language texts, the language list and the soft-key codes, converted from the readable
sources in data/text.

Sources are UTF-8 files of "key=value" lines; blank lines and lines starting with "#" are
comments. The game reads two line formats:

- UTF records (the language list and the texts of each language): each line "key=value" is one
  data-stream string, a 16-bit big-endian byte count and modified UTF-8, one after another to
  the end of the entry.
- 8-bit lines (the soft-key codes, screen configurations): bytes of the line ended by CR LF. An
  empty line would end the file early, so none is written.
"""

import os

from .fonts import modified_utf8

TEXT_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "text")


def source_path(name):
    return os.path.join(TEXT_DIR, name)


def read_table(path):
    """Ordered key -> value of a source file; a repeated key is an error, not an override."""
    table = {}
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if "=" not in line:
                raise ValueError("%s:%d: no '=' in %r" % (path, number, line))
            key, value = line.split("=", 1)
            if not key or key != key.strip():
                raise ValueError("%s:%d: bad key %r" % (path, number, key))
            if key in table:
                raise ValueError("%s:%d: %s given twice" % (path, number, key))
            table[key] = value
    return table


def utf_records(table):
    return b"".join(modified_utf8("%s=%s" % kv) for kv in table.items())


def eight_bit_lines(table):
    out = bytearray()
    for key, value in table.items():
        line = "%s=%s" % (key, value)
        if "\r" in line or "\n" in line:
            raise ValueError("%s: line breaks cannot be stored in 8-bit lines" % key)
        out += line.encode("latin-1") + b"\r\n"
    return bytes(out)


def read_lines(data):
    """8-bit lines as the game reads them: bytes up to CR, the byte after it (the LF) skipped;
    an empty line or the end of the data ends the lines."""
    lines, pos = [], 0
    while pos < len(data):
        end = data.find(b"\r", pos)
        line = data[pos:] if end < 0 else data[pos:end]
        if end >= 0 and not line:
            break
        lines.append(line.decode("latin-1"))
        pos = len(data) if end < 0 else end + 2
    return lines


def languages():
    lang = read_table(source_path("lang.txt"))
    return lang["SNAMES"].split(";")


def produce(entries):
    lang = read_table(source_path("lang.txt"))
    names, shorts = lang["LANGS"].split(";"), lang["SNAMES"].split(";")
    if len(names) != len(shorts):
        raise ValueError("LANGS and SNAMES differ in length")
    # The language menu asks for "/txt/lang" and the loader appends ".txt"; both are kept.
    data = utf_records(lang)
    entries["/txt/lang"] = data
    entries["/txt/lang.txt"] = data
    for short in shorts:
        table = read_table(source_path("res_%s.txt" % short))
        entries["/txt/res_%s.txt" % short] = utf_records(table)
    keys = eight_bit_lines(read_table(source_path("keys.txt")))
    entries["/data/keys"] = keys
    entries["/data/keys.txt"] = keys
