#!/usr/bin/python3
"""Makes in.wav, out.wav and err.wav, the sounds of an encoding run.

in.wav   start of a run: a soft rising two-note chime (E5, A5).
out.wav  end of a run: a falling chime that settles (G5, C5).
err.wav  refusal or cancellation: a low, gentle double "bonk".

Each is PCM, 16 bit, mono, 22050 Hz, 0.3 to 0.4 s long, with a short fade-in
and fade-out, its peak at -6 dBFS. Pure arithmetic, no noise: running the
script again gives the same bytes.

Run from anywhere: /usr/bin/python3 resources/make_sounds.py
"""

import math
import os
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 22050
PEAK = 10 ** (-6 / 20)  # -6 dBFS


def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def add(buf, start, samples):
    i0 = int(round(start * RATE))
    for i, v in enumerate(samples):
        if i0 + i < len(buf):
            buf[i0 + i] += v


def chime(freq, seconds, decay, level=1.0):
    """A bell-like note: a few partials, the higher ones fading sooner."""
    partials = ((1.0, 1.0, 1.0), (2.0, 0.30, 0.55), (3.0, 0.10, 0.35), (4.16, 0.04, 0.25))
    out = []
    n = int(seconds * RATE)
    attack = int(0.004 * RATE)
    for i in range(n):
        t = i / RATE
        v = 0.0
        for mult, amp, dscale in partials:
            v += amp * math.exp(-t / (decay * dscale)) * math.sin(2 * math.pi * freq * mult * t)
        if i < attack:
            v *= 0.5 - 0.5 * math.cos(math.pi * i / attack)
        out.append(level * v)
    return out


def bonk(freq, seconds, level=1.0):
    """A soft low knock: a sine whose pitch drops a little at the start."""
    out = []
    n = int(seconds * RATE)
    attack = int(0.003 * RATE)
    phase = 0.0
    for i in range(n):
        t = i / RATE
        f = freq * (1.0 + 0.18 * math.exp(-t / 0.018))
        phase += 2 * math.pi * f / RATE
        env = math.exp(-t / 0.055)
        v = env * (math.sin(phase) + 0.22 * math.sin(2 * phase) + 0.06 * math.sin(3 * phase))
        if i < attack:
            v *= 0.5 - 0.5 * math.cos(math.pi * i / attack)
        out.append(level * v)
    return out


def finish(buf, fade_in=0.003, fade_out=0.07):
    """Fade both ends to zero and bring the peak to -6 dBFS."""
    n = len(buf)
    fi = int(fade_in * RATE)
    fo = int(fade_out * RATE)
    for i in range(fi):
        buf[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fi)
    for i in range(fo):
        buf[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fo)
    buf[0] = buf[-1] = 0.0
    peak = max(abs(v) for v in buf)
    return [v * PEAK / peak for v in buf]


def write(name, buf):
    data = b"".join(struct.pack("<h", max(-32768, min(32767, int(round(v * 32767))))) for v in buf)
    with wave.open(os.path.join(HERE, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)


def make_in():
    buf = silence(0.32)
    add(buf, 0.000, chime(659.26, 0.32, 0.10, 0.8))  # E5
    add(buf, 0.085, chime(880.00, 0.235, 0.11, 0.9))  # A5
    write("in.wav", finish(buf))


def make_out():
    buf = silence(0.38)
    add(buf, 0.000, chime(783.99, 0.38, 0.09, 0.85))  # G5
    add(buf, 0.100, chime(523.25, 0.28, 0.13, 0.9))  # C5
    write("out.wav", finish(buf))


def make_err():
    buf = silence(0.34)
    add(buf, 0.000, bonk(220.0, 0.34, 1.0))
    add(buf, 0.140, bonk(185.0, 0.20, 0.9))
    write("err.wav", finish(buf, fade_out=0.05))


if __name__ == "__main__":
    make_in()
    make_out()
    make_err()
