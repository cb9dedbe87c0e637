"""Plays every song and effect through the game's own loader, MOD player and mixer (the
modrender tool, given by the MODRENDER environment variable) and checks what comes out:
lengths as composed, no silence where music should be, and the levels a player hears at the
game's three volume levels: music loud enough at the lowest, effects clearly above the music,
left and right in balance, and nothing clipped at the highest in a busy scene."""

import os
import subprocess
import sys
import tempfile
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen import music, sfx  # noqa: E402

ROOT = os.path.dirname(os.path.abspath(__file__))
RATE = 22050
# Whole songs are measured at a lower rate: their loudness and balance come out the same to a
# few hundredths of a dB, in a third of the time.
SONG_RATE = 8000
# The master volumes of the levels low, normal and high ("yes" to the sound question is low).
LEVELS = {"low": 21, "normal": 42, "high": 64}
# Music RMS at the low level, in dBFS: a menu tune plays alone; a play theme sits lower, so that
# every effect peaks at least 6 dB above it and a busy scene stays below full scale at high.
MENU_RMS, GAME_RMS = -24.0, -28.0


def render(tool, data, suffix, volume=64, seconds=240, overlays=(), rate=RATE):
    """Stereo 16-bit PCM of the file as the mixer plays it at the given master volume, with
    effects (bytes, start in seconds) played over it."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in" + suffix)
        target = os.path.join(folder, "out.wav")
        with open(source, "wb") as handle:
            handle.write(data)
        args = [tool, "--rate", str(rate), "--seconds", str(seconds), "--volume", str(volume)]
        for k, (effect, start) in enumerate(overlays):
            name = os.path.join(folder, "fx%d.wav" % k)
            with open(name, "wb") as handle:
                handle.write(effect)
            args += ["--overlay", "%s@%.3f" % (name, start)]
        subprocess.run(args + [source, target], check=True, capture_output=True)
        with open(target, "rb") as handle:
            wav = handle.read()
    return np.frombuffer(wav[44:], dtype="<i2").reshape(-1, 2).astype(float) / 32768.0


def dbfs(x):
    return 20 * np.log10(max(x, 1e-9))


def rms(pcm):
    return dbfs(np.sqrt(np.mean(pcm ** 2)))


def songs():
    """Every song by its entry; a play theme twice over, so that the seam where it loops is
    heard too."""
    found = {}
    for path in music.song_files(ROOT):
        song = music.load(path)
        if song.entry.endswith("/game"):
            song.order = song.order * 2
        found[song.entry] = song
    return found


def effects_of(game):
    entries = {}
    sfx.produce(entries)
    return {n: d for n, d in entries.items() if n.startswith("/data/%s/" % game)}


@unittest.skipUnless(os.environ.get("MODRENDER"), "MODRENDER names the modrender tool")
class ThroughTheMixer(unittest.TestCase):
    tool = os.environ.get("MODRENDER")
    played = {}  # (entry, level) -> the song played whole at SONG_RATE, shared by the tests

    @classmethod
    def song_at(cls, entry, level):
        if (entry, level) not in cls.played:
            data = music.mod_bytes(songs()[entry])
            cls.played[(entry, level)] = render(cls.tool, data, ".mod", LEVELS[level],
                                                rate=SONG_RATE)
        return cls.played[(entry, level)]

    def test_songs_play_their_length_without_gaps(self):
        for entry, song in songs().items():
            pcm = self.song_at(entry, "high")
            seconds = len(pcm) / SONG_RATE
            # The renderer stops within one mixing chunk of the song's end; at this rate a tick
            # of the player lasts about one per cent longer than its nominal length.
            expected = music.play_seconds(song)
            self.assertAlmostEqual(expected, seconds, delta=0.5 + expected / 100, msg=entry)
            mono = pcm.mean(axis=1)
            quiet = []
            for start in range(0, len(mono) - 3 * SONG_RATE, SONG_RATE // 2):
                window = mono[start:start + SONG_RATE // 2]
                if dbfs(np.sqrt(np.mean(window ** 2))) < -40:
                    quiet.append(start / SONG_RATE)
            self.assertEqual([], quiet, entry)

    def test_levels_and_balance_of_every_song_at_every_level(self):
        for entry in songs():
            target = MENU_RMS if entry.endswith("/menu") else GAME_RMS
            for level in LEVELS:
                pcm = self.song_at(entry, level)
                if level == "low":
                    self.assertAlmostEqual(target, rms(pcm), delta=0.75, msg=entry)
                left, right = rms(pcm[:, 0]), rms(pcm[:, 1])
                self.assertLess(abs(left - right), 1.0, (entry, level, left, right))

    def test_effects_peak_clearly_above_the_music_of_their_game(self):
        for game in ("tesk", "mirf", "corv"):
            for level, volume in LEVELS.items():
                music_rms = rms(self.song_at("/data/%s/sound/game" % game, level))
                for name, data in effects_of(game).items():
                    peak = dbfs(np.max(np.abs(render(self.tool, data, ".wav", volume))))
                    self.assertGreaterEqual(peak - music_rms, 6.0, (name, level))

    def test_a_busy_scene_at_the_highest_level_never_clips(self):
        # The play theme with the game's effects fired one after another, 0.15 s apart
        # (several ringing together), every 2.5 s through the whole theme. The sounds of a
        # round's start play before the action and are left out.
        for game in ("tesk", "mirf", "corv"):
            song = music.load(os.path.join(ROOT, "music", "%s_game.txt" % game))
            effects = sorted(((n, d) for n, d in effects_of(game).items()
                              if not n.endswith(("/Respawn.wav", "/levelbegin.wav"))),
                             key=lambda kv: -len(kv[1]))
            overlays = [(data, start + 0.15 * k)
                        for start in np.arange(0.5, music.play_seconds(song), 2.5)
                        for k, (_, data) in enumerate(effects)]
            pcm = render(self.tool, music.mod_bytes(song), ".mod", LEVELS["high"],
                         music.play_seconds(song) + 2, overlays)
            clipped = int(np.sum(np.abs(pcm) >= 32767 / 32768.0))
            self.assertEqual(0, clipped, game)
            self.assertGreater(np.max(np.abs(pcm)), 0.5, "the scene was played")

    def test_menu_themes_fade_out_at_their_end(self):
        for entry in songs():
            if not entry.endswith("/menu"):
                continue
            mono = self.song_at(entry, "high").mean(axis=1)
            tail = mono[-SONG_RATE // 10:]
            body = mono[len(mono) // 2:len(mono) // 2 + SONG_RATE]
            self.assertLess(np.sqrt(np.mean(tail ** 2)), np.sqrt(np.mean(body ** 2)) / 4, entry)

    def play(self, body):
        text = ("entry /x\ntempo 125\nspeed 6\ntracks a b c d\n"
                "instrument lead pulse 40 base=c5 duty=0.5\n"
                "instrument bass bass 40 base=c2\n"
                "pattern p\n" + body + "order p\n")
        mono = render(self.tool, music.mod_bytes(music.parse(text, "test")), ".mod").mean(axis=1)
        part = mono[len(mono) // 8:len(mono) * 7 // 8]
        spectrum = np.abs(np.fft.rfft(part * np.hanning(len(part))))
        return np.fft.rfftfreq(len(part), 1.0 / RATE), spectrum

    def test_notes_sound_at_their_pitch(self):
        # a4 is 440 Hz on a lead tuned an octave above middle C, a2 110 Hz on a bass.
        for body, hz in (("a: [lead] a4/64\nb: -/64\nc: -/64\nd: -/64\n", 440.0),
                         ("a: -/64\nb: [bass] a2/64\nc: -/64\nd: -/64\n", 110.0),
                         ("a: [lead] c5/64\nb: -/64\nc: -/64\nd: -/64\n", 523.25)):
            freqs, spectrum = self.play(body)
            self.assertAlmostEqual(hz, freqs[np.argmax(spectrum)], delta=hz * 0.01)

    def test_an_arpeggio_adds_its_notes(self):
        def band(freqs, spectrum, hz):
            return np.sum(spectrum[np.abs(freqs - hz) < 15] ** 2)

        plain = self.play("a: [lead] a4/64\nb: -/64\nc: -/64\nd: -/64\n")
        chord = self.play("a: [lead] a4:47/64\nb: -/64\nc: -/64\nd: -/64\n")
        for hz in (554.4, 659.3):  # c#5 and e5 over a4
            self.assertGreater(band(*chord, hz), 20 * band(*plain, hz))

    def test_effects_load_and_play_whole(self):
        entries = {}
        sfx.produce(entries)
        for name, data in entries.items():
            pcm = render(self.tool, data, ".wav")
            synth = sfx.render(sfx.EFFECTS[name[:-4]][0])
            seconds = len(synth) / sfx.RATE
            # Mixed in chunks of 1024 frames; an MS-ADPCM sound also plays its padded block.
            slack = 1024 / RATE + (sfx.ADPCM_SAMPLES_PER_BLOCK / sfx.RATE)
            self.assertTrue(seconds <= len(pcm) / RATE <= seconds + slack, name)
            # Full volume plays a centred sample at half its level on each side.
            # (MS-ADPCM overshoots its source a little.)
            synth, kind = sfx.EFFECTS[name[:-4]]
            x = sfx.render(synth)
            self.assertAlmostEqual(dbfs(np.max(np.abs(x))) - 6.02, dbfs(np.max(np.abs(pcm))),
                                   delta=1.0 if kind == "adpcm" else 0.3, msg=name)


if __name__ == "__main__":
    unittest.main()
