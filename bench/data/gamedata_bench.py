#!/usr/bin/python3
"""Size of game.dat and the time to build it.

Runs the data generator (data/gamedata.py) a few times into a scratch folder and prints the best
and median wall time, the archive's size, and where the bytes go: packed size per kind of entry
and the largest entries. With --phases it also times the generator's steps in this process
(reading the sources, each producer, the name check, staging, packing, verifying).

Usage: bench/data/gamedata_bench.py [--runs N] [--phases] [--sevenzip 7z]
"""
import argparse
import collections
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(ROOT, "data")


def build(sevenzip, scratch):
    output = os.path.join(scratch, "game.dat")
    start = time.perf_counter()
    subprocess.run(["/usr/bin/python3", os.path.join(DATA, "gamedata.py"), "--staging",
                    os.path.join(scratch, "staging"), "--sevenzip", sevenzip, "--output", output],
                   check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start, output


def packed_sizes(sevenzip, archive):
    """Entry name -> (packed, unpacked) bytes; every entry has a block of its own."""
    listing = subprocess.run([sevenzip, "l", "-slt", archive], check=True, capture_output=True,
                             text=True).stdout
    sizes = {}
    for item in listing.split("----------\n", 1)[1].split("\n\n"):
        fields = dict(line.split(" = ", 1) for line in item.splitlines() if " = " in line)
        if "Path" in fields and fields.get("Folder") != "+":
            sizes[fields["Path"]] = (int(fields.get("Packed Size") or 0),
                                     int(fields.get("Size") or 0))
    return sizes


def kind(name):
    ext = os.path.splitext(name)[1].lower()
    return ext or "(none)"


def time_phases(sevenzip, scratch):
    sys.path.insert(0, DATA)
    import gamedata  # the generator's own steps, in the order its main() runs them

    phases = []

    def timed(label, fn, *args):
        start = time.perf_counter()
        result = fn(*args)
        phases.append((label, time.perf_counter() - start))
        return result

    entries = {}
    timed("read sources", gamedata.read_sources, DATA, entries)
    for produce in gamedata.PRODUCERS:
        label = "%s.%s" % (produce.__module__, produce.__name__)
        timed("produce " + label, produce, entries)
    probes = timed("probed names", gamedata.probed_names, entries, DATA)
    timed("check names", gamedata.check_names, entries, probes)
    staging = os.path.join(scratch, "phases")
    timed("stage", gamedata.stage, entries, staging)
    names = sorted(gamedata.stored(n) for n in entries)
    archive = timed("pack (7z)", gamedata.pack, sevenzip, staging, names,
                    os.path.join(scratch, "phases.dat"))
    timed("verify", gamedata.verify, sevenzip, archive, names)
    return phases


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--phases", action="store_true")
    parser.add_argument("--sevenzip", default="7z")
    parser.add_argument("--top", type=int, default=10)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="ph_gamedata_") as scratch:
        times = []
        for _ in range(max(1, args.runs)):
            seconds, output = build(args.sevenzip, scratch)
            times.append(seconds)
        size = os.path.getsize(output)
        sizes = packed_sizes(args.sevenzip, output)
        print("build time: best %.2f s, median %.2f s over %d runs"
              % (min(times), statistics.median(times), len(times)))
        unpacked = sum(u for _, u in sizes.values())
        print("game.dat: %d bytes (%.1f KiB), %d entries, %d bytes unpacked (%.0f%%)"
              % (size, size / 1024, len(sizes), unpacked, 100.0 * size / max(1, unpacked)))
        by_kind = collections.defaultdict(lambda: [0, 0, 0])
        for name, (packed, raw) in sizes.items():
            k = by_kind[kind(name)]
            k[0] += 1
            k[1] += packed
            k[2] += raw
        print("by kind (entries, packed, unpacked bytes):")
        for k, (count, packed, raw) in sorted(by_kind.items(), key=lambda kv: -kv[1][1]):
            print("  %-8s %5d %10d %10d" % (k, count, packed, raw))
        print("largest entries (packed, unpacked bytes):")
        for name, (packed, raw) in sorted(sizes.items(), key=lambda kv: -kv[1][0])[:args.top]:
            print("  %10d %10d  %s" % (packed, raw, name))
        if args.phases:
            print("phases (one run in this process):")
            for label, seconds in time_phases(args.sevenzip, scratch):
                print("  %7.3f s  %s" % (seconds, label))
    return 0


if __name__ == "__main__":
    sys.exit(main())
