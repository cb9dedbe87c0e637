"""Checks of the music and effects producers: every sound a game loads is there, and the MOD and
WAV files read back, with a reader written here, the way the game's loaders read them."""

import os
import struct
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen import music, sfx  # noqa: E402

ROOT = os.path.dirname(os.path.abspath(__file__))

# The sound banks of the games, in bank order; each name is tried as .wav, then as .mod.
BANKS = {
    "tesk": ["menu", "game", "Respawn", "die", "boom", "HitBrick", "HitPlatform",
             "HitUndestroyBrick", "HitRegenBrick", "shoot", "HitWall"],
    "mirf": ["menu", "game", "shoot", "explose", "hit", "rocket", "rockethit", "limit"],
    "corv": ["menu", "game", "levelbegin", "enemyshipblow", "heroblow", "shootbee", "shoot",
             "enemyvilet", "enemycomeback", "supershipblow"],
}

ADAPT = (230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230)


def produced():
    entries = {}
    music.produce(entries)
    sfx.produce(entries)
    return entries


# ---------------------------------------------------------------------------------------------
# Readers


def read_mod(data):
    mod = {"title": data[:20], "samples": []}
    for k in range(31):
        o = 20 + 30 * k
        words, finetune, volume, loop_start, loop_length = struct.unpack(">HBBHH",
                                                                          data[o + 22:o + 30])
        mod["samples"].append({"words": words, "finetune": finetune, "volume": volume,
                               "loop_start": loop_start, "loop_length": loop_length})
    mod["length"], mod["restart"] = data[950], data[951]
    mod["orders"] = list(data[952:1080])
    mod["signature"] = data[1080:1084]
    count = max(mod["orders"][:mod["length"]]) + 1
    mod["patterns"] = []
    for p in range(count):
        base = 1084 + p * 1024
        rows = []
        for r in range(64):
            cells = []
            for t in range(4):
                b0, b1, b2, b3 = data[base + r * 16 + t * 4:base + r * 16 + t * 4 + 4]
                cells.append(((b0 & 0xF0) | (b2 >> 4), ((b0 & 0x0F) << 8) | b1, b2 & 0x0F, b3))
            rows.append(cells)
        mod["patterns"].append(rows)
    offset = 1084 + count * 1024
    for s in mod["samples"]:
        n = s["words"] * 2
        s["data"] = np.frombuffer(data[offset:offset + n], dtype=np.int8)
        offset += n
    mod["end"] = offset
    return mod


def read_wav(data):
    """Format fields and the data chunk, walking the chunks after "fmt " by their sizes."""
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE"
    assert data[12:16] == b"fmt ", "the format chunk must come first"
    size = struct.unpack("<I", data[16:20])[0]
    tag, channels, rate, avg, align, bits = struct.unpack("<HHIIHH", data[20:36])
    wav = {"tag": tag, "channels": channels, "rate": rate, "avg": avg, "align": align,
           "bits": bits, "fmt": data[20:20 + size], "chunks": []}
    pos = 12 + 8 + size
    while pos + 8 <= len(data):
        name, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        wav["chunks"].append((name, size))
        if name == b"data":
            wav["data"] = data[pos + 8:pos + 8 + size]
        pos += 8 + size
    return wav


def decode_adpcm(wav):
    """Mono MS-ADPCM to 16-bit samples: truncating prediction, delta adapted and kept >= 16."""
    per = struct.unpack("<H", wav["fmt"][18:20])[0]
    count = struct.unpack("<H", wav["fmt"][20:22])[0]
    coeffs = [struct.unpack("<hh", wav["fmt"][22 + 4 * i:26 + 4 * i]) for i in range(count)]
    out = []
    data, align = wav["data"], wav["align"]
    for b in range(len(data) // align):
        block = data[b * align:(b + 1) * align]
        predictor, delta, s1, s2 = struct.unpack("<Bhhh", block[:7])
        c1, c2 = coeffs[predictor]
        out += [s2, s1]
        for byte in block[7:7 + (per - 2) // 2]:
            for n in (byte >> 4, byte & 15):
                acc = s1 * c1 + s2 * c2
                predicted = int(acc / 256)
                signed = n - 16 if n >= 8 else n
                value = max(-32768, min(32767, predicted + signed * delta))
                delta = max(16, delta * ADAPT[n] // 256)
                s2, s1 = s1, value
                out.append(value)
    return np.array(out)


def wav_samples(wav):
    if wav["tag"] == 2:
        return decode_adpcm(wav) / 32768.0
    if wav["bits"] == 8:
        return (np.frombuffer(wav["data"], dtype=np.uint8).astype(float) - 128) / 128.0
    return np.frombuffer(wav["data"], dtype="<i2") / 32768.0


# ---------------------------------------------------------------------------------------------


class Banks(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.entries = produced()

    def test_every_sound_of_every_bank_is_found(self):
        for game, names in BANKS.items():
            for index, name in enumerate(names):
                base = "/data/%s/sound/%s" % (game, name)
                if index < 2:  # menu and game are music
                    self.assertIn(base + ".mod", self.entries)
                    self.assertNotIn(base + ".wav", self.entries, "a .wav would be found first")
                else:
                    self.assertIn(base + ".wav", self.entries)

    def test_nothing_stored_that_no_bank_loads(self):
        wanted = {"/data/%s/sound/%s" % (g, n) for g, names in BANKS.items() for n in names}
        for name in self.entries:
            self.assertIn(os.path.splitext(name)[0], wanted)

    def test_production_is_deterministic(self):
        again = produced()
        self.assertEqual(sorted(self.entries), sorted(again))
        for name, data in self.entries.items():
            self.assertEqual(data, again[name], name)


class Modules(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.songs = {}
        for path in music.song_files(ROOT):
            song = music.load(path)
            cls.songs[song.entry] = (song, read_mod(music.mod_bytes(song)))

    def test_six_songs_a_menu_and_a_game_per_game(self):
        self.assertEqual(sorted("/data/%s/sound/%s" % (g, k) for g in BANKS
                                for k in ("menu", "game")), sorted(self.songs))

    def test_header_and_image_length_as_the_loader_reads_them(self):
        for name, (song, mod) in self.songs.items():
            data = music.mod_bytes(song)
            self.assertEqual(b"M.K.", mod["signature"], name)
            self.assertEqual(len(song.order), mod["length"], name)
            self.assertEqual(data[:len(song.title)], song.title.encode("ascii"))
            image = 1084 + 4 * 256 * len(mod["patterns"]) + \
                2 * sum(s["words"] for s in mod["samples"])
            self.assertEqual(len(data), image, name)
            self.assertEqual(len(data), mod["end"], name)
            self.assertTrue(all(o == 0 for o in mod["orders"][mod["length"]:]), name)

    def test_samples_stay_within_their_limits(self):
        for name, (song, mod) in self.songs.items():
            used = [s for s in mod["samples"] if s["words"]]
            self.assertEqual(len(song.instruments), len(used), name)
            for s in used:
                self.assertLessEqual(s["volume"], music.MAX_VOLUME, name)
                self.assertGreater(s["volume"], 0, name)
                top = int(np.max(np.abs(s["data"].astype(int))))
                self.assertLessEqual(top, music.MAX_SAMPLE, name)
                self.assertGreaterEqual(top, music.MAX_SAMPLE - 8, name + ": full range")
                if s["loop_length"] > 1:
                    self.assertLessEqual(s["loop_start"] + s["loop_length"], s["words"], name)
                else:
                    self.assertEqual((0, 1), (s["loop_start"], s["loop_length"]), name)

    def test_looped_tones_join_without_a_step(self):
        for name, (song, mod) in self.songs.items():
            for s in mod["samples"]:
                if s["loop_length"] > 1:
                    d = s["data"].astype(int)
                    start, end = s["loop_start"] * 2, (s["loop_start"] + s["loop_length"]) * 2
                    # The sample before the loop and the loop's last sample lead into the
                    # loop's first alike.
                    self.assertLessEqual(abs(d[end - 1] - d[start - 1]), 6, name)

    def test_cells_hold_known_notes_and_quiet_enough_volumes(self):
        periods = set(music.PERIODS)
        for name, (song, mod) in self.songs.items():
            for pattern in mod["patterns"]:
                for row in pattern:
                    for sample, period, effect, param in row:
                        self.assertLessEqual(sample, len(song.instruments), name)
                        if period:
                            self.assertIn(period, periods, name)
                            self.assertGreater(sample, 0, "a note without its instrument")
                        if effect == 0xC:
                            self.assertLessEqual(param, music.MAX_VOLUME, name)
                        if effect == 0xD:
                            self.assertEqual(0, param, name)
                        self.assertNotIn(effect, (0xB, 0xE), "no jumps or extended effects")

    def test_first_row_sets_tempo_and_speed(self):
        for name, (song, mod) in self.songs.items():
            first = mod["patterns"][mod["orders"][0]][0]
            params = sorted(p for _, _, e, p in first if e == 0xF)
            self.assertEqual(sorted([song.speed, song.tempo]), params, name)
            self.assertGreater(song.tempo, 32)

    def test_menus_play_once_for_three_minutes_without_a_jump_back_and_end_on_the_tonic(self):
        for game in BANKS:
            song, mod = self.songs["/data/%s/sound/menu" % game]
            # A menu starts its tune once: a jump back would end it, so the tune itself lasts.
            self.assertTrue(180 <= music.play_seconds(song) <= 240, music.play_seconds(song))
            for order in range(mod["length"]):
                for row in mod["patterns"][mod["orders"][order]]:
                    self.assertFalse(any(e == 0xB for _, _, e, _ in row), game)
            last = song.patterns[song.order[-1]]
            tonic = song.key[0]
            for track in (song.tracks.index("lead"), song.tracks.index("bass")):
                notes = [c for row in last for c in (row[track],) if c.period]
                cell = notes[-1]
                sample = [s for n, s in song.instruments.values() if n == cell.sample][0]
                index = music.PERIODS.index(cell.period)
                self.assertEqual(tonic, (index - music.BASE_INDEX + sample.base) % 12, game)

    def test_game_themes_loop_from_their_last_row_to_their_first(self):
        keys = set()
        for game in BANKS:
            song, mod = self.songs["/data/%s/sound/game" % game]
            self.assertEqual(0, mod["restart"])
            last = mod["patterns"][mod["orders"][mod["length"] - 1]]
            self.assertFalse(any(e in (0xB, 0xD) for row in last[:-1] for _, _, e, _ in row))
            self.assertGreaterEqual(music.play_seconds(song), 20)
            keys.add((song.key, song.tempo))
            menu = self.songs["/data/%s/sound/menu" % game][0]
            keys.add((menu.key, menu.tempo))
        self.assertEqual(6, len(keys), "every theme has its own key and tempo")

    def test_every_song_has_sections_with_their_own_tunes(self):
        for name, (song, mod) in self.songs.items():
            self.assertGreaterEqual(len(set(song.order)), 4, name)
            lead = song.tracks.index("lead")
            tunes = {tuple(row[lead].period for row in song.patterns[p]) for p in song.order}
            self.assertEqual(len(set(song.order)), len(tunes), name)
            if name.endswith("/menu"):
                # A long tune is more than its first minute again: most of its sections are
                # heard before the halfway point and again after it, and no section fills
                # more than a quarter of the tune.
                self.assertGreaterEqual(len(set(song.order)), 10, name)
                most = max(song.order.count(p) for p in set(song.order))
                self.assertLessEqual(most * 4, len(song.order), name)

    def test_melodic_voices_sit_on_both_sides(self):
        # Tracks alternate left, right, left, right: the lead and the bass go to different
        # sides so that neither side carries the song alone.
        for name, (song, mod) in self.songs.items():
            self.assertNotEqual(song.tracks.index("lead") % 2, song.tracks.index("bass") % 2, name)


class SongText(unittest.TestCase):
    HEAD = ("entry /x\nkey c major\ntempo 125\nspeed 6\ntracks a b c d\n"
            "instrument a pulse 40 base=c5\ninstrument k kick 40\n")

    def parse(self, body, order="order p\n"):
        return music.parse(self.HEAD + body + order, "test")

    def test_tokens_become_cells(self):
        song = self.parse("pattern p\na: c5:47/4 e5\\2 g5@30 r\nb: -/16\nc: -/16\nd: k/8 k\n")
        rows = song.patterns["p"]
        a = [row[0] for row in rows]
        self.assertEqual(music.PERIODS[music.BASE_INDEX], a[0].period)
        self.assertEqual(1, a[0].sample)
        self.assertEqual([(0, 0x47)] * 4, [(c.effect, c.param) for c in a[0:4]])
        self.assertEqual(music.PERIODS[music.BASE_INDEX + 4], a[4].period)
        self.assertEqual([(0, 0), (0xA, 2), (0xA, 2), (0xA, 2)],
                         [(c.effect, c.param) for c in a[4:8]])
        self.assertEqual((0xC, 30), (a[8].effect, a[8].param))
        self.assertEqual((0xC, 0, 0), (a[12].effect, a[12].param, a[12].period))
        self.assertEqual((2, music.PERIODS[music.BASE_INDEX]), (rows[0][3].sample,
                                                                rows[0][3].period))
        # Sixteen rows: the pattern ends with a break on its last row.
        self.assertTrue(any(c.effect == 0xD for c in rows[15]))
        self.assertEqual(16, music.play_rows(song))

    def test_groups_and_continued_lines(self):
        song = self.parse("pattern p\na: (c5/2 d5)*2\n   e5/8\nb: -/16\nc: -/16\nd: -/16\n")
        a = [music.PERIODS.index(row[0].period) for row in song.patterns["p"][:16]
             if row[0].period]
        self.assertEqual([36, 38, 36, 38, 40], a)

    def test_mistakes_are_reported_with_their_place(self):
        cases = {
            "pattern p\na: c5/4 | c5/16\nb: -/20\nc: -/20\nd: -/20\n": "bar line after 4",
            "pattern p\na: c5/16\nb: -/8\nc: -/16\nd: -/16\n": "unequal length",
            "pattern p\na: c5@65/16\nb: -/16\nc: -/16\nd: -/16\n": "volume 65",
            "pattern p\na: [z] c5/16\nb: -/16\nc: -/16\nd: -/16\n": "unknown instrument",
            "pattern p\na: c5/65\nb: -/65\nc: -/65\nd: -/65\n": "65 rows",
            "pattern p\na: a/16\nb: -/16\nc: -/16\nd: -/16\n": "needs a note",
            "pattern p\na: c1/16\nb: -/16\nc: -/16\nd: -/16\n": "out of range",
            "pattern p\na: c8:4c/16\nb: -/16\nc: -/16\nd: -/16\n": "above the highest",
        }
        for body, message in cases.items():
            with self.assertRaises(music.SongError) as caught:
                self.parse(body)
            self.assertIn(message, str(caught.exception))
        with self.assertRaises(music.SongError):
            self.parse("pattern p\na: -/16\nb: -/16\nc: -/16\nd: -/16\n", "order q\n")

    def test_loud_instruments_are_refused(self):
        with self.assertRaises(music.SongError):
            music.parse("entry /x\ntracks a b c d\ninstrument a pulse 65\n", "test")

    def test_a_pattern_made_like_another_moves_its_notes_and_keeps_its_drums(self):
        song = self.parse("pattern p\na: c5:47/8 f#5~/4 bb4\nb: -/16\nc: -/16\nd: k/16\n"
                          "pattern q like p +3\nb: [a] c5/16\n", "order p q\n")
        p, q = song.patterns["p"], song.patterns["q"]
        lead = [(r, music.PERIODS.index(row[0].period)) for r, row in enumerate(q) if row[0].period]
        self.assertEqual([(0, 39), (8, 45), (12, 37)], lead)  # d#5, a5, c#5
        self.assertEqual([(c.effect, c.param) for c in (row[0] for row in p)],
                         [(c.effect, c.param) for c in (row[0] for row in q)])
        self.assertEqual(p[0][3].period, q[0][3].period, "drums stay")
        self.assertEqual(music.PERIODS[music.BASE_INDEX], q[0][1].period, "spelt-out track")
        for text, message in (("pattern q like z\n", "not spelt out"),
                              ("pattern q like p -61\n", "below c0")):
            with self.assertRaises(music.SongError) as caught:
                self.parse("pattern p\na: c5/16\nb: -/16\nc: -/16\nd: -/16\n" + text,
                           "order p q\n")
            self.assertIn(message, str(caught.exception))

    def test_tempo_needs_a_free_effect_column(self):
        song = self.parse("pattern p\na: c5:47/64\nb: [a] c5:47/64\nc: [a] c5:47/64\n"
                          "d: [a] c5:47/64\n")
        with self.assertRaises(music.SongError):
            music.mod_bytes(song)


class Effects(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.entries = {}
        sfx.produce(cls.entries)
        cls.wavs = {n: read_wav(d) for n, d in cls.entries.items()}

    def test_formats_the_mixer_takes(self):
        kinds = {}
        for name, wav in self.wavs.items():
            self.assertEqual(22050, wav["rate"], name)
            self.assertEqual(1, wav["channels"], name)
            self.assertIn("data", [c[0].decode() for c in wav["chunks"]], name)
            self.assertTrue(all(size % 2 == 0 for _, size in wav["chunks"]), name)
            kind = {(1, 16): "pcm16", (1, 8): "pcm8", (2, 4): "adpcm"}[(wav["tag"], wav["bits"])]
            kinds[kind] = kinds.get(kind, 0) + 1
        self.assertEqual(1, kinds["adpcm"])
        self.assertGreaterEqual(kinds["pcm8"], 2)
        self.assertGreater(kinds["pcm16"], kinds["pcm8"])

    def test_lengths_and_levels(self):
        for name, wav in self.wavs.items():
            x = wav_samples(wav)
            seconds = len(x) / wav["rate"]
            self.assertTrue(0.1 <= seconds <= 1.5, (name, seconds))
            # Dense effects a little below the others, so that several stay below full scale.
            peak = 20 * np.log10(np.max(np.abs(x)))
            self.assertTrue(-6.3 <= peak <= -4.0, (name, peak))
            self.assertLess(np.max(np.abs(x[-8:])), 0.02, name + " ends in silence")
            self.assertGreater(np.sqrt(np.mean(x * x)), 0.02, name + " is not silent")

    def test_adpcm_header_and_blocks(self):
        [(name, wav)] = [(n, w) for n, w in self.wavs.items() if w["tag"] == 2]
        per = struct.unpack("<H", wav["fmt"][18:20])[0]
        self.assertEqual(sfx.ADPCM_SAMPLES_PER_BLOCK, per)
        self.assertEqual(per, (wav["align"] - 7) * 2 + 2)
        self.assertEqual(7, struct.unpack("<H", wav["fmt"][20:22])[0])
        self.assertEqual(0, len(wav["data"]) % wav["align"], "no partial block")
        fact = dict(wav["chunks"])[b"fact"]
        self.assertEqual(4, fact)
        decoded = decode_adpcm(wav)
        self.assertEqual(len(wav["data"]) // wav["align"] * per, len(decoded))

    def test_adpcm_follows_its_source(self):
        [(name, wav)] = [(n, w) for n, w in self.wavs.items() if w["tag"] == 2]
        source = sfx.pcm16(sfx.render(sfx.EFFECTS[name[:-4]][0])).astype(float)
        decoded = decode_adpcm(wav)[:len(source)].astype(float)
        snr = 10 * np.log10(np.sum(source ** 2) / np.sum((source - decoded) ** 2))
        self.assertGreater(snr, 20, snr)
        self.assertTrue(np.all(decoded[len(source):] == 0))

    def decode_blocks(self, samples):
        data, frames = sfx.adpcm_blocks(samples)
        self.assertEqual(-(-len(samples) // sfx.ADPCM_SAMPLES_PER_BLOCK) *
                         sfx.ADPCM_SAMPLES_PER_BLOCK, frames)
        self.assertEqual(frames // sfx.ADPCM_SAMPLES_PER_BLOCK * sfx.ADPCM_BLOCK_ALIGN,
                         len(data))
        wav = {"fmt": struct.pack("<HHIIHHHHH", 2, 1, 22050, 0, 512, 4, 32,
                                  sfx.ADPCM_SAMPLES_PER_BLOCK, 7) +
               b"".join(struct.pack("<hh", *c) for c in sfx.ADPCM_COEFFS),
               "data": data, "align": sfx.ADPCM_BLOCK_ALIGN}
        return decode_adpcm(wav)[:len(samples)]

    def test_adpcm_coder_on_a_tone(self):
        t = np.arange(3000) / 22050
        tone = np.round(12000 * np.sin(2 * np.pi * 440 * t)).astype(np.int64)
        decoded = self.decode_blocks(tone)
        err = tone - decoded
        self.assertGreater(10 * np.log10(np.sum(tone ** 2) / np.sum(err ** 2)), 35)
        self.assertEqual((tone[0], tone[1]), (decoded[0], decoded[1]))

    def test_adpcm_coder_catches_up_after_a_jump(self):
        samples = np.zeros(1200, dtype=np.int64)
        samples[600:] = 30000
        samples[900:] = -30000
        decoded = self.decode_blocks(samples)
        # The step size grows to reach each new level within a few samples, and the clamp
        # keeps the overshoot from wrapping round to the other sign.
        for start, end, level in ((615, 900, 30000), (915, 1200, -30000)):
            part = decoded[start:end]
            self.assertLess(abs(np.mean(part) - level), 500)
            self.assertTrue(np.all(np.sign(part) == np.sign(level)))
        self.assertTrue(np.all(decoded[:599] == 0))


if __name__ == "__main__":
    unittest.main()
