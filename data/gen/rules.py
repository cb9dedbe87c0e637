"""The game's own rules, asked from the datarules tool built from the game library, so that the
generator keeps no copy of them: the names the game looks resources up under, the brick
grid and the brick kinds, and which lines of the picture list make a picture.

The build names the tool with gamedata.py's --rules; the tests and the modules run on their
own through the DATARULES environment variable.
"""

import os
import subprocess
from collections import namedtuple

TOOL = os.environ.get("DATARULES")


def ask(args, given=""):
    """The non-empty lines the tool answers for its arguments and the given input (text, or
    bytes passed as they are)."""
    if not TOOL:
        raise RuntimeError("the datarules tool is needed: pass --rules or set DATARULES")
    raw = isinstance(given, bytes)
    answer = subprocess.run([TOOL] + [str(a) for a in args], input=given, capture_output=True,
                            text=not raw, check=True).stdout
    if raw:
        answer = answer.decode("ascii")
    return [line for line in answer.split("\n") if line]


# rows, columns: the grid; letters: a level file's letter -> (type, hit points); kinds: type ->
# the kind's word ("hard", "bomb", ...); counted: the types that count towards clearing.
Bricks = namedtuple("Bricks", "rows columns letters kinds counted")
_bricks = []


def bricks():
    if not _bricks:
        rows = columns = None
        letters, kinds, counted = {}, {}, set()
        for line in ask(["bricks"]):
            fields = line.split()
            if fields[0] == "grid":
                rows, columns = int(fields[1]), int(fields[2])
            elif fields[0] == "letter":
                letters[fields[1]] = (int(fields[2]), int(fields[3]))
            elif fields[0] == "kind":
                kinds[int(fields[1])] = fields[2]
                if "counts" in fields[3:]:
                    counted.add(int(fields[1]))
        _bricks.append(Bricks(rows, columns, letters, kinds, frozenset(counted)))
    return _bricks[0]


def brick_type(word):
    """The one brick type of a kind such as "bomb"."""
    types = [t for t, w in bricks().kinds.items() if w == word]
    if len(types) != 1:
        raise KeyError("%s: %d brick kinds" % (word, len(types)))
    return types[0]


_plans = {}


def picture_plan(list_data, n):
    """Picture n of the picture list (its stored bytes): the background name and the overlays
    (name, x, y) in drawing order; None when the list has no line for it."""
    key = (list_data, n)
    if key not in _plans:
        (line,) = ask(["pictures", n], list_data)
        if line == "-":
            _plans[key] = None
        else:
            background, *overlays = line.split(" ")
            _plans[key] = (background, [(name, int(x), int(y)) for name, x, y in
                                        (o.split(";") for o in overlays)])
    return _plans[key]


def alias_files(graphics_set):
    """Folder -> the entry naming its alias in the set."""
    return dict(line.split(" ") for line in ask(["folders", graphics_set]))


def graphics_tries(names, height, graphics_set, aliases):
    """Name -> the archive names the game tries for that graphics name, in order, on a screen
    of the height with the set and the folder aliases (folder -> alias)."""
    names = list(names)
    lines = ask(["graphics", height, graphics_set] +
                ["%s=%s" % kv for kv in sorted(aliases.items())],
                "".join(n + "\n" for n in names))
    return {name: line.split(" ") for name, line in zip(names, lines)}


def resource_tries(names, height):
    """Name -> the archive names reading that resource tries, in order."""
    names = list(names)
    lines = ask(["resource", height], "".join(n + "\n" for n in names))
    return {name: line.split(" ") for name, line in zip(names, lines)}
