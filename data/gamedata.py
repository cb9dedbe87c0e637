#!/usr/bin/python3
"""Builds game.dat, the game's data archive, from the sources in this folder.

Every entry is first written into a staging folder: the files below sources/ as they are
(hidden files left out), and the entries the producers make: screen configurations here, and in
gen/ the bitmap fonts, the language texts and soft-key codes (converted from text/) and the
shell images; later the games' graphics, sounds and levels. The graphics are drawn for the
240x320 screen ("qvga" set); gen/sizes.py then makes every other screen size's set from the
same drawings, in worker processes, and keeps the sets it made in a folder beside the staging
folder ("sets"), reused while the drawings and the code that makes them stay the same. The
screen sizes and their sets are listed in gen/screens.py. The staging folder is then packed
with the 7z tool: LZMA, except PNG and JPEG files, which LZMA only makes larger and slower to
load (stored as they are); one entry per block (not solid), no branch filters, uncompressed
header, no time stamps, names in sorted order, so that the same sources give the same archive.

The game finds an entry by a hash of its name (h = 31*h + b over the bytes, b signed, 32 bits).
The build fails when two stored names share a hash, or when a name the game only probes for
(and expects to be absent) has the hash of a stored name, since on the handheld the lookup
would then return the wrong entry.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen import (  # noqa: E402
    corvantine_art, fonts, help_texts, keyboard_frame, menu_art, mirrowfen_art, music,
    pictures, rules, screens, sfx, shell_images, sizes, tessarine_art, tessarine_levels, texts)

# Screen configurations: "/" width "x" height, 8-bit lines ended by CR LF.
SCREENS = screens.SCREENS


def name_hash(name):
    """The lookup hash of a stored name (no leading "/")."""
    h = 0
    for b in name.encode("ascii"):
        if b >= 0x80:
            b -= 0x100
        h = (h * 31 + b) & 0xFFFFFFFF
    return h - (1 << 32) if h >= 0x80000000 else h


def stored(name):
    """The form in which the archive holds a requested name."""
    name = name.replace("\\", "/")
    return name[1:] if name.startswith("/") else name


def text_lines(pairs):
    return "".join("%s=%s\r\n" % kv for kv in pairs.items()).encode("ascii")


def produce_screen_configs(entries):
    for (width, height), keys in SCREENS.items():
        entries["/%dx%d" % (width, height)] = text_lines(keys)


# Each producer adds its entries (name -> bytes); a module with probes(entries) also names what
# the game may ask for and not find (datarules adds the names the game tries for them).
# Register a new producer with one line here.
PRODUCERS = [
    produce_screen_configs,
    fonts.produce,
    texts.produce,
    shell_images.produce,
    pictures.produce_pictures,
    music.produce,
    sfx.produce,
    tessarine_art.produce,
    tessarine_levels.produce,
    mirrowfen_art.produce,
    corvantine_art.produce,
    help_texts.produce,
    menu_art.produce,
    keyboard_frame.produce,
    # Last: the other screen sizes' sets are made from the qvga set's entries.
    sizes.produce,
]
PROBES = [fonts.probes]


def read_sources(root, entries):
    base = os.path.join(root, "sources")
    for folder, dirs, files in os.walk(base):
        dirs[:] = sorted(d for d in dirs if not d.startswith("."))
        for f in sorted(f for f in files if not f.startswith(".")):
            path = os.path.join(folder, f)
            name = "/" + os.path.relpath(path, base).replace(os.sep, "/")
            with open(path, "rb") as handle:
                entries[name] = handle.read()


def graphics_sets():
    return sorted({keys.get("graphics", "graphics") for keys in SCREENS.values()})


def probed_names(entries, root):
    """Names the game tries and may find absent, for the stored names given."""
    asked = set(entries)
    for more in PROBES:
        asked.update(more(entries))
    probes = set(rules.ask(["probes"] + graphics_sets(), "".join(n + "\n" for n in sorted(asked))))
    extra = os.path.join(root, "probes.txt")
    if os.path.exists(extra):
        with open(extra, encoding="ascii") as handle:
            for line in handle:
                line = line.strip()
                if line and not line.startswith("#"):
                    probes.add(line)
    return probes


def check_names(entries, probes):
    problems = []
    by_hash = {}
    for name, data in sorted(entries.items()):
        key = stored(name)
        if not key or not all(32 <= ord(c) < 127 for c in key):
            problems.append("%r: names must be printable ASCII" % name)
            continue
        if len(key) > 255:
            problems.append("%s: longer than 255 characters" % name)
        if not data:
            problems.append("%s: empty entries have no block in the archive" % name)
        h = name_hash(key)
        if h in by_hash:
            problems.append("%s and %s share the name hash %d" % (by_hash[h], name, h))
        else:
            by_hash[h] = name
    stored_names = {stored(n) for n in entries}
    for probe in sorted(probes):
        key = stored(probe)
        if key in stored_names or not all(32 <= ord(c) < 127 for c in key):
            continue
        h = name_hash(key)
        if h in by_hash:
            problems.append("the probed name %s has the hash %d of the stored %s"
                            % (probe, h, by_hash[h]))
    return problems


def stage(entries, staging):
    shutil.rmtree(staging, ignore_errors=True)
    os.makedirs(staging)
    for name, data in entries.items():
        path = os.path.join(staging, stored(name))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as handle:
            handle.write(data)
        os.chmod(path, 0o644)
        os.utime(path, (946684800, 946684800))


# Entries that are compressed already: LZMA makes them larger, and the game would pay for
# decoding it at every load. They are stored as they are (the Copy method).
STORED_KINDS = (".png", ".jpg")


def pack(sevenzip, staging, names, output):
    """Packs the stored kinds first (Copy), then everything else (LZMA), each entry in its own
    block."""
    archive = output + ".tmp"
    if os.path.exists(archive):
        os.remove(archive)
    stored = [n for n in names if n.lower().endswith(STORED_KINDS)]
    packed = [n for n in names if not n.lower().endswith(STORED_KINDS)]
    for method, group in (("Copy", stored), ("LZMA", packed)):
        if not group:
            continue
        fd, listing = tempfile.mkstemp(suffix=".lst")
        with os.fdopen(fd, "w", encoding="ascii") as handle:
            handle.write("".join(n + "\n" for n in group))
        try:
            subprocess.run([sevenzip, "a", "-t7z", "-bd", "-bso0", "-bsp0", "-y", "-m0=" + method,
                            "-ms=off", "-mf=off", "-mhc=off", "-mtm=off", "-mtc=off", "-mta=off",
                            archive, "@" + listing], cwd=staging, check=True)
        finally:
            os.remove(listing)
    return archive


def verify(sevenzip, archive, names):
    """Every entry in its own LZMA (or Copy) block, and exactly the staged names."""
    listing = subprocess.run([sevenzip, "l", "-slt", archive], check=True, capture_output=True,
                             text=True).stdout
    items = listing.split("----------\n", 1)[1].split("\n\n")
    found, blocks, problems = [], set(), []
    for item in items:
        fields = dict(line.split(" = ", 1) for line in item.splitlines() if " = " in line)
        if "Path" not in fields or fields.get("Folder") == "+":
            continue
        found.append(fields["Path"])
        method = fields.get("Method", "")
        if not re.fullmatch(r"(LZMA:[0-9a-z:]+|Copy)", method):
            problems.append("%s: method %s" % (fields["Path"], method))
        block = fields.get("Block", "")
        if block in blocks or block == "":
            problems.append("%s: shares block %r" % (fields["Path"], block))
        blocks.add(block)
    if sorted(found) != sorted(names):
        problems.append("the archive lists %d entries, %d were staged" % (len(found), len(names)))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--staging", required=True)
    parser.add_argument("--sevenzip", default="7z")
    parser.add_argument("--output", required=True)
    parser.add_argument("--rules", default=rules.TOOL, help="the datarules tool")
    args = parser.parse_args()
    rules.TOOL = args.rules

    sizes.CACHE_DIR = os.path.join(os.path.dirname(os.path.abspath(args.staging)), "sets")
    entries = {}
    read_sources(args.root, entries)
    for produce in PRODUCERS:
        produce(entries)
    problems = check_names(entries, probed_names(entries, args.root))
    if problems:
        for p in problems:
            print("gamedata: " + p, file=sys.stderr)
        return 1
    stage(entries, args.staging)
    names = sorted(stored(n) for n in entries)
    archive = pack(args.sevenzip, args.staging, names, args.output)
    problems = verify(args.sevenzip, archive, names)
    if problems:
        for p in problems:
            print("gamedata: " + p, file=sys.stderr)
        os.remove(archive)
        return 1
    os.replace(archive, args.output)
    print("gamedata: %d entries in %s" % (len(names), args.output))
    return 0


if __name__ == "__main__":
    sys.exit(main())
