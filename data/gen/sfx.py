"""Sound effects of the three games, synthesised into WAV entries.

Every effect is a short mono sound at 22050 Hz: enveloped oscillators, filtered noise, pitch
sweeps and small arpeggios, peak-normalised to -4.4 dBFS (-6 dBFS for the few that stay loud
for most of their length). The mixer plays a centred effect at volume x sample / 128 and adds it
to the music as it is, so these peaks stand at least 6 dB above the music at every level and
still leave a busy scene below full scale at the highest. Most are 16-bit PCM; a few are 8-bit
PCM and one is MS-ADPCM, so that every sample path of the mixer is used by real data.
"""

import struct

import numpy as np

from gen import dsp
from gen.dsp import noise

RATE = 22050
PEAK = 0.6  # -4.4 dBFS

# MS-ADPCM tables as published with the format.
ADPCM_COEFFS = ((256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232))
ADPCM_ADAPT = (230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230)
ADPCM_BLOCK_ALIGN = 512
ADPCM_SAMPLES_PER_BLOCK = (ADPCM_BLOCK_ALIGN - 7) * 2 + 2


# ---------------------------------------------------------------------------------------------
# Building blocks


def times(seconds):
    return np.arange(int(round(seconds * RATE))) / RATE


def envelope(t, attack, decay):
    """Linear attack, then exponential decay with the given time constant."""
    a = np.clip(t / attack, 0.0, 1.0) if attack > 0 else np.ones_like(t)
    return a * np.exp(-np.maximum(t - attack, 0.0) / decay)


def sweep(t, f0, f1, curve=1.0):
    """Phase of a tone gliding from f0 to f1 over the length of t (exponential glide)."""
    frac = (t / t[-1]) ** curve if len(t) > 1 else t
    freq = f0 * (f1 / f0) ** frac
    return 2 * np.pi * np.cumsum(freq) / RATE


def square(phase, duty=0.5):
    """A square (tanh of a sine, softened against aliasing) or a hard pulse of the given duty."""
    if duty == 0.5:
        return np.tanh(4.0 * np.sin(phase))
    return np.where((phase / (2 * np.pi)) % 1.0 < duty, 1.0, -1.0)


def lowpass(x, cutoff):
    return dsp.lowpass(x, cutoff, RATE)


def highpass(x, cutoff):
    return x - lowpass(x, cutoff)


def bandpass(x, low, high):
    return lowpass(highpass(x, low), high)


def fade_out(x, seconds=0.006):
    """Ends the sound at zero, whatever its decay left, so it never stops with a click."""
    n = min(len(x), int(seconds * RATE))
    if n:
        x = x.copy()
        x[-n:] *= np.linspace(1.0, 0.0, n)
    return x


def normalise(x, peak=PEAK):
    top = np.max(np.abs(x))
    return x * (peak / top) if top > 0 else x


def note(n):
    """Frequency of MIDI note n."""
    return 440.0 * 2 ** ((n - 69) / 12.0)


def arpeggio(notes, step, tone_decay, duty=0.5, tail=0.2):
    """A chord played note by note, each a short square blip that rings into the next."""
    total = step * len(notes) + tail
    t = times(total)
    out = np.zeros_like(t)
    for i, n in enumerate(notes):
        start = int(i * step * RATE)
        local = t[: len(t) - start]
        tone = square(2 * np.pi * note(n) * local, duty) * envelope(local, 0.003, tone_decay)
        tone += 0.3 * np.sin(2 * np.pi * 2 * note(n) * local) * envelope(local, 0.002, tone_decay)
        out[start:] += tone
    return lowpass(out, 6000)


# ---------------------------------------------------------------------------------------------
# The effects


def laser(f0, f1, seconds, duty=0.5, seed=1):
    t = times(seconds)
    tone = square(sweep(t, f0, f1, 0.6), duty)
    return lowpass(tone * envelope(t, 0.002, seconds / 3), 7000) + \
        0.08 * noise(len(t), seed) * envelope(t, 0.001, 0.01)


def explosion(seconds, seed, rumble=70.0, bright=3000.0, crack=0.0):
    t = times(seconds)
    n = noise(len(t), seed)
    cutoff = 150 + bright * np.exp(-t / (seconds / 4))
    body = lowpass(lowpass(n, cutoff), cutoff) * envelope(t, 0.004, seconds / 3.5)
    thump = np.sin(sweep(t, rumble * 2, rumble * 0.6)) * envelope(t, 0.002, seconds / 5)
    out = body * 2.5 + thump * 0.8
    if crack:
        out += crack * highpass(n, 2000) * envelope(t, 0.0005, 0.02)
    # Soft saturation lifts the body of the blast towards its first peak.
    return np.tanh(2.5 * out / np.max(np.abs(out)))


def tesk_respawn():
    # G major rising, the ball put back on the paddle.
    return arpeggio([67, 71, 74, 79, 83], 0.07, 0.16, 0.5, 0.35)


def tesk_die():
    t = times(0.9)
    tone = square(sweep(t, 660, 110, 0.8), 0.5) * envelope(t, 0.004, 0.35)
    wobble = 1 + 0.3 * np.sin(2 * np.pi * 9 * t)
    return lowpass(tone * wobble, 3500)


def tesk_boom():
    return explosion(0.7, 11, rumble=60, bright=2500, crack=0.6)


def tesk_hit_brick():
    t = times(0.12)
    f = 1318.5
    tone = np.sin(2 * np.pi * f * t) + 0.5 * np.sin(2 * np.pi * 2 * f * t)
    tone += 0.25 * square(2 * np.pi * f * 1.5 * t, 0.25)
    return tone * envelope(t, 0.001, 0.035)


def tesk_hit_platform():
    t = times(0.1)
    tone = np.sin(sweep(t, 520, 300, 0.5)) * envelope(t, 0.001, 0.03)
    return tone + 0.2 * noise(len(t), 5) * envelope(t, 0.0005, 0.004)


def tesk_hit_undestroyable():
    # Inharmonic partials of a struck metal plate.
    t = times(0.2)
    out = np.zeros_like(t)
    for f, a, d in ((820, 1.0, 0.06), (1395, 0.7, 0.045), (2210, 0.5, 0.03), (3370, 0.35, 0.02)):
        out += a * np.sin(2 * np.pi * f * t) * envelope(t, 0.0005, d)
    return out + 0.3 * highpass(noise(len(t), 7), 3000) * envelope(t, 0.0005, 0.006)


def tesk_hit_regen():
    t = times(0.32)
    phase = sweep(t, 600, 1800, 0.7)
    tone = np.sin(phase) + 0.4 * np.sin(2 * phase) + 0.2 * np.sin(3.01 * phase)
    return tone * envelope(t, 0.01, 0.12) * (0.7 + 0.3 * np.sin(2 * np.pi * 30 * t))


def tesk_shoot():
    return laser(2200, 500, 0.15, 0.5, 3)


def tesk_hit_wall():
    t = times(0.1)
    return np.sin(2 * np.pi * 1900 * t) * envelope(t, 0.0005, 0.012) + \
        0.3 * highpass(noise(len(t), 9), 2500) * envelope(t, 0.0005, 0.003)


def mirf_shoot():
    return laser(1800, 380, 0.16, 0.5, 21)


def mirf_explose():
    return explosion(0.85, 23, rumble=55, bright=1800)


def mirf_hit():
    t = times(0.6)
    grit = np.sign(np.sin(sweep(t, 300, 60, 0.7))) * envelope(t, 0.002, 0.2)
    n = lowpass(noise(len(t), 25), 2500) * envelope(t, 0.002, 0.15) * 2.0
    return grit * 0.6 + n


def mirf_rocket():
    t = times(0.42)
    n = noise(len(t), 27)
    cutoff = 700 + 2500 * t / t[-1]
    hiss = lowpass(lowpass(highpass(n, 300), cutoff), cutoff) * 3.0
    tone = lowpass(square(sweep(t, 200, 700, 1.0), 0.3), 2500) * 0.3
    return (hiss + tone) * envelope(t, 0.05, 0.3)


def mirf_rocket_hit():
    t = times(0.35)
    pop = np.sin(sweep(t, 900, 120, 0.4)) * envelope(t, 0.001, 0.05)
    n = bandpass(noise(len(t), 29), 400, 4000) * envelope(t, 0.001, 0.08) * 2.0
    return pop + n


def mirf_limit():
    # Two low alarm tones: the level is about to start.
    t = times(1.0)
    out = np.zeros_like(t)
    for i, f in enumerate((220.0, 207.65)):
        start = int(i * 0.42 * RATE)
        local = t[: len(t) - start]
        tone = square(2 * np.pi * f * local, 0.5) + 0.5 * np.sin(2 * np.pi * f * 1.5 * local)
        out[start:] += tone * envelope(local, 0.01, 0.18)
    return lowpass(out, 2500)


def corv_levelbegin():
    # D minor rising to the octave, a short fanfare.
    return arpeggio([62, 65, 69, 74, 77, 81, 86], 0.09, 0.2, 0.25, 0.4)


def corv_enemyshipblow():
    return explosion(0.38, 31, rumble=110, bright=4000, crack=0.5)


def corv_heroblow():
    return explosion(1.3, 33, rumble=45, bright=2200, crack=0.8)


def corv_shootbee():
    return laser(1400, 260, 0.2, 0.25, 35)


def corv_shoot():
    t = times(0.12)
    tone = square(sweep(t, 900, 2600, 0.4), 0.5) * envelope(t, 0.001, 0.04)
    return lowpass(tone, 8000)


def corv_enemyvilet():
    # A falling whistle as the alien leaves the formation.
    t = times(0.6)
    phase = sweep(t, 1500, 350, 1.2) + 0.6 * np.sin(2 * np.pi * 12 * t)
    return (np.sin(phase) + 0.25 * np.sin(2 * phase)) * envelope(t, 0.02, 0.35)


def corv_enemycomeback():
    t = times(0.4)
    phase = sweep(t, 400, 1300, 0.8)
    return (np.sin(phase) + 0.25 * np.sin(3 * phase)) * envelope(t, 0.03, 0.2)


def corv_supershipblow():
    # Extra ship: D major arpeggio twice, up and higher.
    return arpeggio([74, 78, 81, 86, 90, 93, 98], 0.06, 0.22, 0.5, 0.5)


# name: (synthesis, stored format)
EFFECTS = {
    "/data/tesk/sound/Respawn": (tesk_respawn, "pcm16"),
    "/data/tesk/sound/die": (tesk_die, "pcm16"),
    "/data/tesk/sound/boom": (tesk_boom, "pcm16"),
    "/data/tesk/sound/HitBrick": (tesk_hit_brick, "pcm16"),
    "/data/tesk/sound/HitPlatform": (tesk_hit_platform, "pcm8"),
    "/data/tesk/sound/HitUndestroyBrick": (tesk_hit_undestroyable, "pcm16"),
    "/data/tesk/sound/HitRegenBrick": (tesk_hit_regen, "pcm16"),
    "/data/tesk/sound/shoot": (tesk_shoot, "pcm16"),
    "/data/tesk/sound/HitWall": (tesk_hit_wall, "pcm8"),
    "/data/mirf/sound/shoot": (mirf_shoot, "pcm16"),
    "/data/mirf/sound/explose": (mirf_explose, "pcm16"),
    "/data/mirf/sound/hit": (mirf_hit, "pcm16"),
    "/data/mirf/sound/rocket": (mirf_rocket, "pcm8"),
    "/data/mirf/sound/rockethit": (mirf_rocket_hit, "pcm16"),
    "/data/mirf/sound/limit": (mirf_limit, "pcm16"),
    "/data/corv/sound/levelbegin": (corv_levelbegin, "pcm16"),
    "/data/corv/sound/enemyshipblow": (corv_enemyshipblow, "pcm16"),
    "/data/corv/sound/heroblow": (corv_heroblow, "adpcm"),
    "/data/corv/sound/shootbee": (corv_shootbee, "pcm16"),
    "/data/corv/sound/shoot": (corv_shoot, "pcm16"),
    "/data/corv/sound/enemyvilet": (corv_enemyvilet, "pcm8"),
    "/data/corv/sound/enemycomeback": (corv_enemycomeback, "pcm16"),
    "/data/corv/sound/supershipblow": (corv_supershipblow, "pcm16"),
}


# Effects that stay near their peak for most of their length: a little lower, so that several
# of them ringing together over the music stay below full scale at the highest level.
DENSE = (tesk_die, mirf_explose, mirf_limit, corv_heroblow, corv_enemycomeback, corv_enemyvilet,
         corv_shootbee)
DENSE_PEAK = 0.5  # -6 dBFS


def render(synth):
    """The finished signal of an effect, -1..1 floats at PEAK (DENSE_PEAK for a dense one)."""
    return normalise(fade_out(synth()), DENSE_PEAK if synth in DENSE else PEAK)


# ---------------------------------------------------------------------------------------------
# WAV files


def riff(chunks):
    body = b"WAVE" + b"".join(tag + struct.pack("<I", len(data)) + data for tag, data in chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm16(x):
    return np.clip(np.round(x * 32767), -32768, 32767).astype("<i2")


def wav_pcm16(x):
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    return riff([(b"fmt ", fmt), (b"data", pcm16(x).tobytes())])


def wav_pcm8(x):
    # Triangular dither hides the 8-bit steps in the quiet tails.
    d = (noise(len(x), 77) + noise(len(x), 78)) * 0.5 / 256
    data = np.clip(np.round((x + d) * 127) + 128, 0, 255).astype(np.uint8).tobytes()
    if len(data) % 2:
        data += b"\x80"  # chunk sizes stay even: the mixer's chunk walk has no pad byte
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    return riff([(b"fmt ", fmt), (b"data", data)])


def adpcm_decode_nibble(state, nibble, coeffs):
    """One step of the MS-ADPCM decoder; state is [sample1, sample2, delta]."""
    c1, c2 = coeffs
    s1, s2, delta = state
    acc = s1 * c1 + s2 * c2
    predicted = -((-acc) // 256) if acc < 0 else acc // 256  # truncating division
    signed = nibble - 16 if nibble >= 8 else nibble
    value = max(-32768, min(32767, predicted + signed * delta))
    state[2] = max(16, delta * ADPCM_ADAPT[nibble] // 256)
    state[1] = s1
    state[0] = value
    return value


def adpcm_nibble(state, coeffs, x):
    """The nibble nearest to x from the given decoder state (the greedy choice)."""
    c1, c2 = coeffs
    acc = state[0] * c1 + state[1] * c2
    predicted = -((-acc) // 256) if acc < 0 else acc // 256
    return max(-8, min(7, int(round((x - predicted) / state[2]))))


def adpcm_encode_block(samples, predictor, delta, lookahead=False):
    """Nibbles and squared error of one block coded with the given predictor and start delta.

    With lookahead each nibble is chosen among the nearest three by the error it leaves for
    the next sample too, which keeps the predictor from ringing after a sudden change.
    """
    coeffs = ADPCM_COEFFS[predictor]
    state = [int(samples[1]), int(samples[0]), delta]
    values = [int(v) for v in samples[2:]]
    nibbles, error = [], 0
    for i, x in enumerate(values):
        n = adpcm_nibble(state, coeffs, x)
        if lookahead and i + 1 < len(values):
            best = None
            for c in (n - 1, n, n + 1):
                if not -8 <= c <= 7:
                    continue
                trial = list(state)
                v = adpcm_decode_nibble(trial, c & 15, coeffs)
                follow = list(trial)
                w = adpcm_decode_nibble(follow, adpcm_nibble(trial, coeffs, values[i + 1]) & 15,
                                        coeffs)
                cost = (v - x) ** 2 + (w - values[i + 1]) ** 2
                if best is None or cost < best[0]:
                    best = (cost, c)
            n = best[1]
        value = adpcm_decode_nibble(state, n & 15, coeffs)
        error += (value - x) ** 2
        nibbles.append(n & 15)
    return nibbles, error


def adpcm_blocks(samples):
    """Mono MS-ADPCM blocks of ADPCM_BLOCK_ALIGN bytes; the last block is padded with silence."""
    per = ADPCM_SAMPLES_PER_BLOCK
    count = -(-len(samples) // per)
    padded = np.zeros(count * per, dtype=np.int64)
    padded[: len(samples)] = samples
    out = bytearray()
    for b in range(count):
        block = padded[b * per:(b + 1) * per]
        first = int(np.mean(np.abs(np.diff(block[:16])))) if per > 16 else 16
        start = max(16, min(0x7FFF, first))
        best = None
        for predictor in range(len(ADPCM_COEFFS)):
            nibbles, error = adpcm_encode_block(block, predictor, start)
            if best is None or error < best[0]:
                best = (error, predictor, nibbles)
        _, predictor, _ = best
        nibbles, _ = adpcm_encode_block(block, predictor, start, lookahead=True)
        out += struct.pack("<BHhh", predictor, start, int(block[1]), int(block[0]))
        for i in range(0, len(nibbles), 2):
            out.append((nibbles[i] << 4) | nibbles[i + 1])
    return bytes(out), count * per


def wav_adpcm(x):
    data, frames = adpcm_blocks(pcm16(x).astype(np.int64))
    per = ADPCM_SAMPLES_PER_BLOCK
    fmt = struct.pack("<HHIIHHHHH", 2, 1, RATE, RATE * ADPCM_BLOCK_ALIGN // per,
                      ADPCM_BLOCK_ALIGN, 4, 32, per, len(ADPCM_COEFFS))
    fmt += b"".join(struct.pack("<hh", *c) for c in ADPCM_COEFFS)
    return riff([(b"fmt ", fmt), (b"fact", struct.pack("<I", frames)), (b"data", data)])


WRITERS = {"pcm16": wav_pcm16, "pcm8": wav_pcm8, "adpcm": wav_adpcm}


def produce(entries):
    for name, (synth, kind) in EFFECTS.items():
        entries[name + ".wav"] = WRITERS[kind](render(synth))
