"""Signal helpers shared by the music and effects producers."""

import numpy as np


def noise(count, seed):
    """White noise in -1..1 from a 32-bit LCG, so that every build gives the same bytes."""
    out = np.empty(count)
    state = seed & 0xFFFFFFFF
    for i in range(count):
        state = (state * 1664525 + 1013904223) & 0xFFFFFFFF
        out[i] = state / 2147483648.0 - 1.0
    return out


def lowpass(x, cutoff, rate):
    """One-pole low-pass; cutoff in Hz, a number or an array (a moving filter)."""
    c = np.broadcast_to(np.asarray(cutoff, dtype=float), x.shape)
    k = 1.0 - np.exp(-2 * np.pi * c / rate)
    out = np.empty_like(x)
    y = 0.0
    for i in range(len(x)):
        y += k[i] * (x[i] - y)
        out[i] = y
    return out
