#!/usr/bin/env python3
"""Writes a deterministic mono 44.1 kHz 16-bit bass input: plucked notes from E1 to G2 at
several levels, with rests. Standard library only; the same bytes on every run.

    make-bass.py out.wav [seconds]
"""
import struct
import sys
import wave

RATE = 44100


class Lcg:
    """A 32-bit linear congruential generator: the same sequence with any Python."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (1664525 * self.state + 1013904223) & 0xFFFFFFFF
        return self.state / 4294967296.0  # [0, 1)


def pluck(frequency, seconds, level, rng):
    """A Karplus-Strong string: a low-passed noise burst circulating through a damped delay."""
    period = RATE / frequency
    length = int(period)
    frac = period - length
    burst = [2.0 * rng.next() - 1.0 for _ in range(length)]
    # A softer pick: two passes of a one-pole low-pass over the burst, then no DC.
    for _ in range(2):
        y = 0.0
        for i in range(length):
            y += 0.5 * (burst[i] - y)
            burst[i] = y
    mean = sum(burst) / length
    peak = max(abs(v - mean) for v in burst) or 1.0
    line = [level * (v - mean) / peak for v in burst]
    count = int(seconds * RATE)
    out = [0.0] * count
    decay = 0.9985
    pos = 0
    prev = line[-1]
    for n in range(count):
        cur = line[pos]
        out[n] = cur
        # averaging filter with a fractional tap for the tuning, then damping
        line[pos] = decay * ((1.0 - 0.5 * frac) * cur + 0.5 * frac * prev) if frac else decay * 0.5 * (cur + prev)
        prev = cur
        pos += 1
        if pos == length:
            pos = 0
    # a short release so the note does not click into the rest
    release = min(count, int(0.01 * RATE))
    for i in range(release):
        out[count - release + i] *= 1.0 - (i + 1) / release
    return out


def main():
    path = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    total = int(seconds * RATE)
    rng = Lcg(14)
    levels = [0.9, 0.5, 0.25, 0.1, 0.03]
    samples = []
    note = 0
    while len(samples) < total:
        midi = 28 + int(rng.next() * 16)  # E1 (28) .. G2 (43)
        frequency = 440.0 * 2.0 ** ((midi - 69) / 12.0)
        level = levels[(note // 6) % len(levels)]
        samples += pluck(frequency, 0.25 + 0.75 * rng.next(), level, rng)
        if note % 4 == 3:
            samples += [0.0] * int((0.2 + 0.8 * rng.next()) * RATE)  # a rest
        if note % 24 == 23:
            samples += [0.0] * (2 * RATE)  # a long rest: the tails die away
        note += 1
    samples = samples[:total]
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, round(32767 * v)))) for v in samples))


if __name__ == "__main__":
    main()
