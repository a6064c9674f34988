#!/usr/bin/env python3
"""Writes the five short sound cues of the game as 16-bit mono WAV files.

Run once from this folder; the files are committed beside it."""
import math
import struct
import wave

RATE = 22050


def tone(freqs, dur, vol=0.4, decay=6.0):
    """A list of samples: each (freq, share) partial, with a soft attack and decay."""
    n = int(RATE * dur)
    out = []
    for i in range(n):
        t = i / RATE
        env = min(1.0, t * 200) * math.exp(-decay * t)
        s = sum(a * math.sin(2 * math.pi * f * t) for f, a in freqs)
        out.append(vol * env * s)
    return out


def sweep(f0, f1, dur, vol=0.35):
    n = int(RATE * dur)
    out, phase = [], 0.0
    for i in range(n):
        t = i / RATE
        f = f0 + (f1 - f0) * t / dur
        phase += 2 * math.pi * f / RATE
        env = min(1.0, t * 200) * min(1.0, (dur - t) * 40)
        out.append(vol * env * math.sin(phase))
    return out


def write(name, samples):
    with wave.open(name, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767)) for s in samples))


# wrong entry: a low falling buzz
write("falsch.wav", sweep(320, 140, 0.35))
# point: a short bright ping
write("pkt.wav", tone([(1320, 0.7), (2640, 0.3)], 0.18, decay=18))
# game start: three rising notes
write("gamestart.wav", tone([(523, 1)], 0.15, decay=8) + tone([(659, 1)], 0.15, decay=8)
      + tone([(784, 1)], 0.3, decay=5))
# game over: three falling notes
write("gameover.wav", tone([(784, 1)], 0.18, decay=6) + tone([(622, 1)], 0.18, decay=6)
      + tone([(523, 1)], 0.45, decay=3))
# new player: a two-note chime
write("newgamer.wav", tone([(880, 0.8), (1760, 0.2)], 0.15, decay=10) + tone([(1175, 0.8), (2350, 0.2)], 0.3, decay=6))
