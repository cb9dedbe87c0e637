"""Plays every song and effect through the game's own loader, MOD player and mixer (the
modrender tool, given by the MODRENDER environment variable) and checks what comes out:
lengths as composed, no clipping, no silence where music should be."""

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


def render(tool, data, suffix):
    """Stereo 16-bit PCM of the file as the mixer plays it at full volume."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in" + suffix)
        target = os.path.join(folder, "out.wav")
        with open(source, "wb") as handle:
            handle.write(data)
        subprocess.run([tool, "--rate", str(RATE), "--seconds", "150", source, target],
                       check=True, capture_output=True)
        with open(target, "rb") as handle:
            wav = handle.read()
    return np.frombuffer(wav[44:], dtype="<i2").reshape(-1, 2).astype(float) / 32768.0


def dbfs(x):
    return 20 * np.log10(max(x, 1e-9))


@unittest.skipUnless(os.environ.get("MODRENDER"), "MODRENDER names the modrender tool")
class ThroughTheMixer(unittest.TestCase):
    tool = os.environ.get("MODRENDER")

    def test_songs_play_their_length_without_clipping_or_gaps(self):
        for path in music.song_files(ROOT):
            song = music.load(path)
            if song.entry.endswith("/game"):
                song.order = song.order * 2  # the seam where a play theme loops is heard too
            pcm = render(self.tool, music.mod_bytes(song), ".mod")
            seconds = len(pcm) / RATE
            # The renderer stops within one mixing chunk of the song's end.
            self.assertAlmostEqual(music.play_seconds(song), seconds, delta=0.5, msg=path)
            peak = np.max(np.abs(pcm))
            self.assertTrue(-12 <= dbfs(peak) <= -3, (path, dbfs(peak)))
            mono = pcm.mean(axis=1)
            quiet = []
            for start in range(0, len(mono) - 3 * RATE, RATE // 2):
                window = mono[start:start + RATE // 2]
                if dbfs(np.sqrt(np.mean(window ** 2))) < -40:
                    quiet.append(start / RATE)
            self.assertEqual([], quiet, path)

    def test_menu_themes_fade_out_at_their_end(self):
        for path in music.song_files(ROOT):
            song = music.load(path)
            if not song.entry.endswith("/menu"):
                continue
            mono = render(self.tool, music.mod_bytes(song), ".mod").mean(axis=1)
            tail = mono[-RATE // 10:]
            body = mono[len(mono) // 2:len(mono) // 2 + RATE]
            self.assertLess(np.sqrt(np.mean(tail ** 2)), np.sqrt(np.mean(body ** 2)) / 4, path)

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
            # Full volume plays a sample at half its level on each side.
            self.assertTrue(-13 <= dbfs(np.max(np.abs(pcm))) <= -11, name)


if __name__ == "__main__":
    unittest.main()
