"""The brick-breaker's levels: readable sources in levels/tessarine/ turned into the files the
game reads, "/data/tesk/data/round" + two-digit number + ".txt".

A source holds comment lines starting with ";" (the first one names the level) and then 21 rows
of 11 characters, one per cell (legend in levels/tessarine/README.md). The game's file holds
the same 21 rows, each of 11 bytes from its brick alphabet "abcdefghij" (any other byte is an
empty cell) ended by CR LF.

Every level is checked on the way: its size, its characters, at least one brick that counts
towards clearing it, and that each such brick can be reached, since the metal (hard) bricks
are the only ones a normal ball never breaks: a counting brick closed in by metal and the
walls would leave the level unfinishable. Bombs go off only through a detonator (which sets
off the first bomb, row by row) or a neighbouring explosion, so every chain of touching bombs
needs a detonator of its own; and no corridor one row high may run between rows of metal,
where a ball bounces between the metal edges and barely gets on.
"""

import os
import sys

from gen import rules

LEVELS = 50
SOURCE_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                          "levels", "tessarine")

# Readable character -> the game's byte.
LEGEND = {
    ".": ".",  # empty
    "r": "f",  # ruby, one hit
    "g": "g",  # emerald, one hit
    "2": "a",  # amethyst, two hits
    "3": "b",  # rose, three hits
    "5": "j",  # crystal, five hits, loses a facet plate per hit
    "c": "c",  # amber, grows back; not needed to clear the level
    "#": "e",  # metal, only fire and explosions break it; not needed to clear the level
    "d": "d",  # sapphire detonator: sets off the first bomb (row by row, left to right)
    "*": "h",  # bomb: explodes when an explosion reaches it
}
# The grid, the type and hit points of each of the game's letters and the kinds that count
# towards clearing come from the game (rules.bricks()).


def game_name(level):
    return "/data/tesk/data/round%02d.txt" % level


def source_path(level):
    return os.path.join(SOURCE_DIR, "round%02d.txt" % level)


class LevelError(ValueError):
    pass


def parse_source(text, where="level"):
    """(title, rows) of a readable source."""
    kinds = rules.bricks()
    title, rows = None, []
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith(";"):
            if title is None:
                title = line[1:].strip()
            continue
        if not line.strip() and not rows:
            continue
        if len(line) != kinds.columns:
            raise LevelError("%s:%d: %d cells, want %d" % (where, number, len(line),
                                                          kinds.columns))
        bad = sorted(set(line) - set(LEGEND))
        if bad:
            raise LevelError("%s:%d: unknown cells %s" % (where, number, "".join(bad)))
        rows.append(line)
    if len(rows) != kinds.rows:
        raise LevelError("%s: %d rows, want %d" % (where, len(rows), kinds.rows))
    return title or "", rows


def to_game(rows):
    return "".join("".join(LEGEND[c] for c in row) + "\r\n" for row in rows).encode("ascii")


def read_game(data):
    """The grid of (type, hits) as the game loads it: per row, bytes up to CR, one byte after
    it skipped; each of the row's first bytes, one per column, looked up in the alphabet."""
    kinds = rules.bricks()
    grid, pos = [], 0
    for _ in range(kinds.rows):
        end = data.index(b"\r", pos)
        line = data[pos:end]
        if len(line) < kinds.columns:
            raise LevelError("row %d has %d cells" % (len(grid), len(line)))
        grid.append([kinds.letters.get(chr(b), (0, 0)) for b in line[:kinds.columns]])
        pos = end + 2
    return grid


def remaining(grid):
    """Hit points the player must take off to clear the level."""
    counted = rules.bricks().counted
    return sum(h for row in grid for t, h in row if t in counted)


def unreachable(grid):
    """Counting bricks a ball cannot get to: a ball enters the grid from below and passes any
    cell but a metal one (other bricks break or, growing back, leave for a while)."""
    hard, counted = rules.brick_type("hard"), rules.bricks().counted
    rows, columns = len(grid), len(grid[0])
    open_ = [[t != hard for t, _ in row] for row in grid]
    seen = [[False] * columns for _ in range(rows)]
    todo = [(rows - 1, c) for c in range(columns) if open_[rows - 1][c]]
    for r, c in todo:
        seen[r][c] = True
    while todo:
        r, c = todo.pop()
        for nr, nc in ((r + 1, c), (r - 1, c), (r, c + 1), (r, c - 1)):
            if 0 <= nr < rows and 0 <= nc < columns and open_[nr][nc] and not seen[nr][nc]:
                seen[nr][nc] = True
                todo.append((nr, nc))
    return [(r, c) for r in range(rows) for c in range(columns)
            if grid[r][c][0] in counted and not seen[r][c]]


def bomb_chains(grid):
    """Groups of bombs that set each other off: an explosion reaches the eight cells around the
    bomb, so bombs side by side or corner to corner belong to one chain."""
    bomb = rules.brick_type("bomb")
    bombs = {(r, c) for r, row in enumerate(grid) for c, (t, _) in enumerate(row) if t == bomb}
    chains = []
    while bombs:
        todo = [min(bombs)]
        bombs.discard(todo[0])
        chain = []
        while todo:
            r, c = todo.pop()
            chain.append((r, c))
            for near in [(r + dr, c + dc) for dr in (-1, 0, 1) for dc in (-1, 0, 1)]:
                if near in bombs:
                    bombs.discard(near)
                    todo.append(near)
        chains.append(sorted(chain))
    return chains


def detonators(grid):
    detonator = rules.brick_type("detonator")
    return sum(1 for row in grid for t, _ in row if t == detonator)


def corridors(grid):
    """Cells side by side, neither metal, each with metal right above and right below: a
    corridor one row high, where a ball bounces between the metal edges and barely gets on."""
    hard = rules.brick_type("hard")

    def pinned(r, c):
        return (grid[r][c][0] != hard and grid[r - 1][c][0] == hard
                and grid[r + 1][c][0] == hard)
    return [(r, c) for r in range(1, len(grid) - 1) for c in range(len(grid[0]) - 1)
            if pinned(r, c) and pinned(r, c + 1)]


def check(level, rows):
    grid = read_game(to_game(rows))
    if remaining(grid) <= 0:
        raise LevelError("level %d has no brick that counts; it would end at once" % level)
    lost = unreachable(grid)
    if lost:
        raise LevelError("level %d: bricks walled in by metal at %s" % (level, lost))
    chains = bomb_chains(grid)
    if len(chains) > detonators(grid):
        raise LevelError("level %d: %d bomb chains but %d detonators; a detonator sets off one "
                         "chain" % (level, len(chains), detonators(grid)))
    tight = corridors(grid)
    if tight:
        raise LevelError("level %d: corridors one row high between metal at %s" % (level, tight))
    if any(c != "." for c in rows[0]):
        raise LevelError("level %d: the top row lies under the lives and score" % level)
    return grid


def load_sources():
    levels = {}
    for level in range(1, LEVELS + 1):
        path = source_path(level)
        with open(path, encoding="ascii") as handle:
            title, rows = parse_source(handle.read(), os.path.basename(path))
        check(level, rows)
        levels[level] = (title, rows)
    extra = sorted(set(os.listdir(SOURCE_DIR)) - {"round%02d.txt" % n
                                                  for n in range(1, LEVELS + 1)}
                   - {"README.md"})
    if extra:
        raise LevelError("unexpected files in %s: %s" % (SOURCE_DIR, ", ".join(extra)))
    return levels


def produce(entries):
    for level, (_, rows) in load_sources().items():
        entries[game_name(level)] = to_game(rows)


def main():
    for level, (title, rows) in load_sources().items():
        grid = read_game(to_game(rows))
        print("%2d %-22s hit points %3d" % (level, title, remaining(grid)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
