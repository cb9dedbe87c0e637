"""Music of the three games: 4-track MOD songs built from the pattern texts in data/music/.

A song text names its archive entry, tempo and instruments, then spells each pattern as one
line of tokens per track, and last the order of the patterns. The instruments are synthesised
here as 8-bit samples (looped single-cycle tones after an attack and decay, or one-shot drums).

Song text, line by line ('#' at the start or after a space starts a comment):
    entry /data/tesk/sound/menu      archive name, ".mod" added
    key g major                      the key, which a song that plays once ends in
    tempo 130                        beats per minute, four rows a beat (effect F, above 32)
    speed 6                          ticks per row (effect F, 1..32)
    tracks lead keys bass drums      the four track names, left to right
    instrument NAME KIND VOLUME [key=value ...]
    pattern NAME                     then lines "TRACK: tokens", continued by more such lines
    pattern NAME like OTHER [+N|-N]  OTHER's tracks moved N semitones (drums stay), except the
                                     tracks spelt out below it
    order NAME NAME ...              the song; "restart N" the order a looping song goes back to
Tokens of a track line:
    c4 f#5 eb3     a note (c4 is middle C); "kick" etc. an instrument played at its own pitch
    /N             length in rows, kept for the following tokens (4 at the start)
    :XY            arpeggio of X and Y semitones (hex digits) over the whole note
    ~              vibrato from the note's second row on
    \\Y            volume slide down by Y per tick from the note's second row on
    @V             the note's volume (at most 64)
    r  -           rest (silences the track) and hold (the previous note goes on)
    [NAME]         switch the track to another instrument
    ( ... )*N      repeat a group; "|" checks that a bar (16 rows) ends here
Every track of a pattern must span the same number of rows, at most 64; a shorter pattern ends
with a pattern break.
"""

import os
import re
import struct

import numpy as np

from gen.dsp import lowpass, noise

ROWS = 64
TRACKS = 4
BAR = 16
# Full note volumes and full-range samples: four tracks at most just reach full scale, and the
# mixer sums effects on top of the music, so the loudness of a song is set by its instrument and
# note volumes (checked by the generator's tests at the game's three levels).
MAX_VOLUME = 64
MAX_SAMPLE = 127
VIBRATO = 0x52  # about 4 Hz, a quarter tone at most
# The sample rate at which a sample plays at note index 36 (period 214).
BASE_RATE = 7159090 / (2 * 214)
BASE_INDEX = 36

# Periods of the 84 notes of finetune 0, seven octaves from 1712.
_OCTAVE = (856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453)
PERIODS = [p * 2 for p in _OCTAVE] + list(_OCTAVE) + \
    [int(round(p / 2 ** k)) for k in range(1, 6) for p in _OCTAVE]

NOTE_NAMES = {"c": 0, "d": 2, "e": 4, "f": 5, "g": 7, "a": 9, "b": 11}
SHARP_NAMES = ("c", "c#", "d", "d#", "e", "f", "f#", "g", "g#", "a", "a#", "b")
NOTE_RE = re.compile(r"^([a-g])(#|b)?([0-9])$")
TOKEN_RE = re.compile(
    r"^(?P<what>[a-g](?:#|b)?[0-9]|r|-|[a-z][a-z0-9]*)"
    r"(?::(?P<arp>[0-9a-f]{2}))?(?P<vib>~)?(?:\\(?P<fade>[0-9a-f]))?"
    r"(?:@(?P<vol>[0-9]+))?(?:/(?P<len>[0-9]+))?$")


class SongError(Exception):
    pass


def transpose(text, shift):
    """A track line with every note moved by shift semitones (drum names and rests stay)."""
    def move(m):
        n = pitch(m.group(1)) + shift
        if n < 0:
            raise SongError("%s moved below c0" % m.group(1))
        return SHARP_NAMES[n % 12] + str(n // 12)
    return re.sub(r"(?<![a-z0-9#:])([a-g](?:#|b)?[0-9])(?![0-9a-z])", move, text)


def pitch(name):
    """Semitone number of a note name, c4 = 48 (index 0 is c0)."""
    m = NOTE_RE.match(name)
    if not m:
        raise SongError("not a note: %r" % name)
    n = NOTE_NAMES[m.group(1)] + {"#": 1, "b": -1, None: 0}[m.group(2)]
    return int(m.group(3)) * 12 + n


# ---------------------------------------------------------------------------------------------
# Instruments


class Sample:
    """An 8-bit sample with its loop (in samples, even), default volume and its base note."""

    def __init__(self, data, volume, loop_start=0, loop_length=0, base=None):
        self.data = data
        self.volume = volume
        self.loop_start = loop_start
        self.loop_length = loop_length
        self.base = base  # semitone played at index 36; None for a drum


def saturate(wave, drive):
    """Soft clipping towards a square: a denser tone, louder for the same peak."""
    if not drive:
        return wave
    top = np.max(np.abs(wave))
    return np.tanh(drive * wave / top) if top > 0 else wave


def harmonic_tone(base, volume, harmonics, attack=0.005, decay=0.3, sustain=0.6, release=None,
                  bright_decay=0.0, drive=0.0):
    """A tone made of whole cycles: attack and decay, then one cycle looped at the sustain level.

    harmonics: amplitudes of partials 1, 2, 3, ...; bright_decay makes the upper partials fade
    faster than the fundamental (a plucked sound). release: a one-shot sound of that length
    instead of a sustained one. drive: soft clipping of the whole tone (0 for none).
    """
    semis = pitch(base)
    octaves = 4 - semis // 12
    if semis % 12:
        raise SongError("instrument base must be a C: %s" % base)
    cycle = int(64 * 2 ** octaves)
    rate = BASE_RATE
    k = np.arange(1, len(harmonics) + 1)
    amps = np.asarray(harmonics, dtype=float)
    amps = np.where(k <= cycle // 2 - 1, amps, 0.0)
    body = release if release else attack + decay * 3
    cycles = max(2, int(np.ceil(body * rate / cycle)))
    n = np.arange(cycles * cycle)
    t = n / rate
    env_a = np.clip(t / attack, 0, 1) if attack > 0 else np.ones_like(t)
    if release:
        env = env_a * np.exp(-t / decay)
    else:
        env = env_a * (sustain + (1 - sustain) * np.exp(-np.maximum(t - attack, 0) / decay))
    phase = 2 * np.pi * np.outer(k, n % cycle) / cycle
    partial_env = np.exp(-np.outer(k - 1, t) * bright_decay) if bright_decay else 1.0
    wave = np.sum(amps[:, None] * partial_env * np.sin(phase), axis=0)
    if release:
        wave *= env
        wave[-cycle:] *= np.linspace(1, 0, cycle)
        return Sample(quantise(saturate(wave, drive)), volume, base=semis)
    # The looped cycle continues the last one: same partials, same level.
    loop_phase = 2 * np.pi * np.outer(k, np.arange(cycle)) / cycle
    end_partials = amps * (np.exp(-(k - 1) * t[-1] * bright_decay) if bright_decay else 1.0)
    loop = np.sum(end_partials[:, None] * np.sin(loop_phase), axis=0) * env[-1]
    whole = np.concatenate([wave * env, loop])
    data = quantise(saturate(whole, drive))
    return Sample(data, volume, len(whole) - len(loop), len(loop), semis)


def quantise(wave):
    """8-bit sample data peaking at MAX_SAMPLE, padded to whole words."""
    top = np.max(np.abs(wave))
    scaled = wave * (MAX_SAMPLE / top) if top > 0 else wave
    data = np.clip(np.round(scaled), -MAX_SAMPLE, MAX_SAMPLE).astype(np.int8)
    if len(data) % 2:
        data = np.append(data, np.int8(0))
    return data


def pulse_harmonics(duty, count):
    k = np.arange(1, count + 1)
    # Softened towards the top so that fast playback does not alias into a buzz.
    return np.sin(np.pi * k * duty) / k * np.exp(-k / (count * 0.6))


def saw_harmonics(count):
    k = np.arange(1, count + 1)
    return 1.0 / k * np.exp(-k / (count * 0.7))


def drum(kind, volume, seconds):
    rate = BASE_RATE
    n = int(seconds * rate)
    t = np.arange(n) / rate
    if kind == "kick":
        freq = 48 + 120 * np.exp(-t / 0.035)
        wave = np.sin(2 * np.pi * np.cumsum(freq) / rate) * np.exp(-t / 0.16)
        wave += 0.4 * noise(n, 3) * np.exp(-t / 0.004)
    elif kind == "snare":
        body = np.sin(2 * np.pi * 185 * t) * np.exp(-t / 0.05)
        hiss = noise(n, 5)
        hiss = (hiss - lowpass(hiss, 900, rate)) * np.exp(-t / 0.09)
        wave = 0.7 * body + 1.1 * hiss
    elif kind == "hat":
        hiss = noise(n, 7)
        wave = (hiss - lowpass(hiss, 5000, rate)) * np.exp(-t / 0.018)
    elif kind == "ohat":
        hiss = noise(n, 9)
        wave = (hiss - lowpass(hiss, 4500, rate)) * np.exp(-t / 0.09)
    elif kind == "crash":
        hiss = noise(n, 11)
        wave = (hiss - lowpass(hiss, 2500, rate)) * np.exp(-t / 0.45)
    elif kind == "tom":
        freq = 95 + 60 * np.exp(-t / 0.05)
        wave = np.sin(2 * np.pi * np.cumsum(freq) / rate) * np.exp(-t / 0.14)
    else:
        raise SongError("unknown drum %s" % kind)
    wave[-32:] *= np.linspace(1, 0, 32)
    return Sample(quantise(wave), volume)


TIMBRES = {
    "organ": [1, 0.6, 0.35, 0.25, 0.0, 0.15, 0, 0.08],
    "pad": [1, 0.35, 0.5, 0.12, 0.2, 0.05, 0.08],
    "bass": [1, 0.7, 0.45, 0.3, 0.2, 0.12, 0.08, 0.05],
    "bell": [1, 0, 0.5, 0, 0.3, 0, 0, 0.2],
    "flute": [1, 0.2, 0.08, 0.03],
}
DRUM_LENGTHS = {"kick": 0.35, "snare": 0.3, "hat": 0.08, "ohat": 0.35, "crash": 1.2, "tom": 0.4}


def make_instrument(kind, volume, options):
    """A sample of the given kind; options base, attack, decay, sustain, bright, duty, drive,
    length (a length makes a one-shot that decays to silence instead of a held tone)."""
    if kind in DRUM_LENGTHS:
        return drum(kind, volume, DRUM_LENGTHS[kind])
    if kind == "pulse":
        harmonics = pulse_harmonics(float(options.get("duty", 0.25)), 14)
    elif kind == "saw":
        harmonics = saw_harmonics(16)
    elif kind in TIMBRES:
        harmonics = TIMBRES[kind]
    else:
        raise SongError("unknown instrument kind %s" % kind)
    length = options.get("length")
    return harmonic_tone(options.get("base", "c4"), volume, harmonics,
                         attack=float(options.get("attack", 0.005)),
                         decay=float(options.get("decay", 0.3)),
                         sustain=float(options.get("sustain", 0.6)),
                         release=float(length) if length else None,
                         bright_decay=float(options.get("bright", 0)),
                         drive=float(options.get("drive", 0)))


# ---------------------------------------------------------------------------------------------
# Song text


class Cell:
    __slots__ = ("sample", "period", "effect", "param")

    def __init__(self, sample=0, period=0, effect=0, param=0):
        self.sample, self.period, self.effect, self.param = sample, period, effect, param

    def free(self):
        return self.effect == 0 and self.param == 0

    def pack(self):
        return bytes([(self.sample & 0xF0) | (self.period >> 8), self.period & 0xFF,
                      ((self.sample & 0x0F) << 4) | self.effect, self.param])


class Song:
    def __init__(self):
        self.entry = None
        self.title = ""
        self.key = None  # (pitch class of the tonic, "major" or "minor")
        self.tempo = 125
        self.speed = 6
        self.restart = 0
        self.tracks = []
        self.instruments = {}  # name -> (number, Sample)
        self.patterns = {}  # name -> list of ROWS rows of TRACKS cells
        self.order = []


def expand(tokens):
    """Resolves "( ... )*N" groups."""
    out, stack = [], []
    for tok in tokens:
        if tok == "(":
            stack.append(out)
            out = []
        elif tok.startswith(")"):
            m = re.fullmatch(r"\)(?:\*([0-9]+))?", tok)
            if not m or not stack:
                raise SongError("bad group end %r" % tok)
            group = out * int(m.group(1) or 1)
            out = stack.pop()
            out.extend(group)
        else:
            out.append(tok)
    if stack:
        raise SongError("unclosed group")
    return out


def split_tokens(text):
    text = text.replace("(", " ( ").replace(")", " )")
    text = re.sub(r"\)\s*\*\s*([0-9]+)", r")*\1", text)
    return expand(text.split())


def track_cells(song, track, tokens):
    """The cells of one track of a pattern from its tokens."""
    cells = []
    length = 4
    instrument = track if track in song.instruments else None
    last = None  # continuation effect of the sounding note: (effect, param) or None
    for tok in tokens:
        if tok == "|":
            if len(cells) % BAR:
                raise SongError("track %s: bar line after %d rows" % (track, len(cells)))
            continue
        m = re.fullmatch(r"\[([a-z][a-z0-9]*)\]", tok)
        if m:
            if m.group(1) not in song.instruments:
                raise SongError("unknown instrument %s" % m.group(1))
            instrument = m.group(1)
            continue
        m = TOKEN_RE.match(tok)
        if not m:
            raise SongError("track %s: bad token %r" % (track, tok))
        if m.group("len"):
            length = int(m.group("len"))
            if length < 1:
                raise SongError("track %s: zero length" % track)
        what = m.group("what")
        rows = [Cell() for _ in range(length)]
        if what == "-":
            if last:
                for c in rows:
                    c.effect, c.param = last
        elif what == "r":
            rows[0].effect, rows[0].param = 0xC, 0
            last = None
        else:
            name = instrument
            if not NOTE_RE.match(what):
                name = what
            if name not in song.instruments:
                raise SongError("track %s: no instrument for %r" % (track, tok))
            number, sample = song.instruments[name]
            if sample.base is None:
                if NOTE_RE.match(what):
                    raise SongError("track %s: drum %s takes no note" % (track, name))
                index = BASE_INDEX
            else:
                if not NOTE_RE.match(what):
                    raise SongError("track %s: %s needs a note" % (track, name))
                index = pitch(what) - sample.base + BASE_INDEX
            if not 0 <= index < len(PERIODS):
                raise SongError("track %s: %s out of range" % (track, what))
            rows[0].sample, rows[0].period = number, PERIODS[index]
            last = None
            if m.group("arp"):
                last = (0x0, int(m.group("arp"), 16))
                if index + max(last[1] >> 4, last[1] & 15) >= len(PERIODS):
                    raise SongError("track %s: arpeggio of %s above the highest note"
                                    % (track, tok))
                rows[0].effect, rows[0].param = last
            if m.group("vib"):
                if last:
                    raise SongError("track %s: %r has two effects" % (track, tok))
                if len(rows) > 1:
                    rows[1].effect, rows[1].param = 0x4, VIBRATO
                last = (0x4, 0)
            if m.group("fade"):
                if last:
                    raise SongError("track %s: %r has two effects" % (track, tok))
                last = (0xA, int(m.group("fade"), 16))
            if m.group("vol"):
                v = int(m.group("vol"))
                if v > MAX_VOLUME:
                    raise SongError("track %s: volume %d above %d" % (track, v, MAX_VOLUME))
                rows[0].effect, rows[0].param = 0xC, v
            for c in rows[1:]:
                if c.free() and last:
                    c.effect, c.param = last
        cells.extend(rows)
    return cells


def parse(text, origin="song"):
    song = Song()
    current = None
    track = None
    lines = {}
    likes = {}  # pattern -> (pattern it is made like, semitones)
    for number, raw in enumerate(text.splitlines(), 1):
        line = re.sub(r"(^|\s)#.*$", "", raw).strip()  # f#4 is a note, " #" a comment
        if not line:
            continue
        try:
            word, _, rest = line.partition(" ")
            rest = rest.strip()
            m = re.match(r"^([a-z][a-z0-9]*):(.*)$", line)
            if raw[0] in " \t" and current is not None and track is not None:
                lines[current][track].append(line)  # an indented line continues the track
            elif m and current is not None:
                track = m.group(1)
                if track not in song.tracks:
                    raise SongError("unknown track %s" % track)
                lines[current][track].append(m.group(2))
            elif word == "entry":
                song.entry = rest
            elif word == "title":
                song.title = rest
            elif word == "key":
                tonic, mode = rest.split()
                if mode not in ("major", "minor"):
                    raise SongError("a key is major or minor")
                song.key = (pitch(tonic + "0") % 12, mode)
            elif word == "tempo":
                song.tempo = int(rest)
            elif word == "speed":
                song.speed = int(rest)
            elif word == "restart":
                song.restart = int(rest)
            elif word == "tracks":
                song.tracks = rest.split()
                if len(song.tracks) != TRACKS:
                    raise SongError("a song has %d tracks" % TRACKS)
            elif word == "instrument":
                parts = rest.split()
                name, kind, volume = parts[0], parts[1], int(parts[2])
                if volume > MAX_VOLUME:
                    raise SongError("volume %d above %d" % (volume, MAX_VOLUME))
                options = dict(p.split("=", 1) for p in parts[3:])
                number = len(song.instruments) + 1
                if number > 31:
                    raise SongError("more than 31 instruments")
                song.instruments[name] = (number, make_instrument(kind, volume, options))
            elif word == "pattern":
                m = re.fullmatch(r"(\S+)(?:\s+like\s+(\S+)(?:\s+([+-][0-9]+))?)?", rest)
                if not m:
                    raise SongError("bad pattern line")
                current = m.group(1)
                if m.group(2):
                    if m.group(2) not in lines or m.group(2) in likes:
                        raise SongError("pattern %s like %s, which is not spelt out above"
                                        % (current, m.group(2)))
                    likes[current] = (m.group(2), int(m.group(3) or 0))
                if current in lines:
                    raise SongError("pattern %s twice" % current)
                lines[current] = {t: [] for t in song.tracks}
                track = None
            elif word == "order":
                song.order.extend(rest.split())
                current = track = None
            else:
                raise SongError("unknown line")
        except (SongError, ValueError, IndexError) as e:
            raise SongError("%s:%d: %s" % (origin, number, e)) from None
    for name, (other, shift) in likes.items():
        for t in song.tracks:
            if not lines[name][t]:
                lines[name][t] = [transpose(line, shift) for line in lines[other][t]]
    for name, tracks in lines.items():
        try:
            song.patterns[name] = build_pattern(song, tracks)
        except SongError as e:
            raise SongError("%s: pattern %s: %s" % (origin, name, e)) from None
    check(song, origin)
    return song


def build_pattern(song, tracks):
    columns = [track_cells(song, t, split_tokens(" ".join(tracks[t]))) for t in song.tracks]
    lengths = {len(c) for c in columns}
    if len(lengths) != 1:
        raise SongError("tracks of unequal length %s" % sorted(lengths))
    length = lengths.pop()
    if not 0 < length <= ROWS:
        raise SongError("%d rows" % length)
    rows = [[columns[t][r] if r < length else Cell() for t in range(TRACKS)]
            for r in range(ROWS)]
    if length < ROWS:
        place(rows[length - 1], 0xD, 0, "pattern break")
    return rows


def place(row, effect, param, what):
    for cell in reversed(row):
        if cell.free():
            cell.effect, cell.param = effect, param
            return
    raise SongError("no free effect column for the %s" % what)


def check(song, origin):
    if not song.entry:
        raise SongError("%s: no entry name" % origin)
    if not song.order:
        raise SongError("%s: no order" % origin)
    for name in song.order:
        if name not in song.patterns:
            raise SongError("%s: order names unknown pattern %s" % (origin, name))
    unused = set(song.patterns) - set(song.order)
    if unused:
        raise SongError("%s: unused patterns %s" % (origin, sorted(unused)))
    if not 32 < song.tempo < 256 or not 0 < song.speed <= 32:
        raise SongError("%s: tempo or speed out of range" % origin)
    if not 0 <= song.restart < len(song.order):
        raise SongError("%s: restart outside the order" % origin)


# ---------------------------------------------------------------------------------------------
# MOD file


def mod_bytes(song):
    """The song as a 31-sample, 4-track "M.K." module."""
    names = list(dict.fromkeys(song.order))  # patterns numbered in order of first use
    number = {n: i for i, n in enumerate(names)}
    patterns = [[[Cell(c.sample, c.period, c.effect, c.param) for c in row]
                 for row in song.patterns[n]] for n in names]
    # Tempo and speed at the first row the song plays, so that every start and loop sets them.
    first = patterns[number[song.order[0]]][0]
    place(first, 0xF, song.tempo, "tempo")
    place(first, 0xF, song.speed, "speed")

    out = bytearray(song.title.encode("ascii")[:20].ljust(20, b"\0"))
    samples = sorted(song.instruments.items(), key=lambda kv: kv[1][0])
    for slot in range(31):
        if slot < len(samples):
            name, (_, s) = samples[slot]
            words = len(s.data) // 2
            if words >= 0x10000:
                raise SongError("sample %s too long" % name)
            if s.loop_length:
                loop = (s.loop_start // 2, s.loop_length // 2)
            else:
                loop = (0, 1)
            out += name.encode("ascii")[:22].ljust(22, b"\0")
            out += struct.pack(">HBBHH", words, 0, s.volume, *loop)
        else:
            out += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    out += bytes([len(song.order), song.restart])
    out += bytes(number[n] for n in song.order).ljust(128, b"\0")
    out += b"M.K."
    for p in patterns:
        for row in p:
            for cell in row:
                out += cell.pack()
    for _, (_, s) in samples:
        out += s.data.tobytes()
    return bytes(out)


def play_rows(song):
    """Rows one pass of the song plays (a pattern break ends its pattern early)."""
    rows = 0
    for name in song.order:
        pattern = song.patterns[name]
        for r, row in enumerate(pattern):
            if any(c.effect == 0xD for c in row) or r == ROWS - 1:
                rows += r + 1
                break
    return rows


def play_seconds(song):
    """Length of one pass: ticks of (tempo x 2 / 5) Hz, the player's tick rate for tempo."""
    return play_rows(song) * song.speed / (song.tempo * 2 // 5)


def song_files(root):
    folder = os.path.join(root, "music")
    return [os.path.join(folder, f) for f in sorted(os.listdir(folder)) if f.endswith(".txt")]


def load(path):
    with open(path, encoding="ascii") as handle:
        return parse(handle.read(), os.path.basename(path))


def produce(entries):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    for path in song_files(root):
        song = load(path)
        entries[song.entry + ".mod"] = mod_bytes(song)
