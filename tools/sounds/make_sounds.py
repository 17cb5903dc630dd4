#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the shipped sound effects (22050 Hz mono 16-bit waves) into assets/sounds.

Everything is synthesized here from sine partials, plucked strings and
filtered noise; random choices use fixed seeds, so every run writes the same
bytes.

    python3 tools/sounds/make_sounds.py [output-folder]
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050
TWO_PI = 2 * math.pi


def hz(note):
    """'A4' or a MIDI number -> frequency."""
    if isinstance(note, str):
        names = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
        pc, rest = names[note[0]], note[1:]
        if rest[0] in "#b":
            pc += 1 if rest[0] == "#" else -1
            rest = rest[1:]
        note = 12 * (int(rest) + 1) + pc
    return 440.0 * 2 ** ((note - 69) / 12)


class Buffer:
    def __init__(self, seconds):
        self.s = [0.0] * int(seconds * RATE)

    def add(self, at, samples, gain=1.0):
        start = int(at * RATE)
        s = self.s
        end = min(len(s), start + len(samples))
        for i in range(start, end):
            s[i] += gain * samples[i - start]


# ---------------------------------------------------------------- voices ---
def partials(freq, seconds, parts, attack=0.004):
    """Sum of sine partials (ratio, amplitude, decay per second), with a soft attack."""
    n = int(seconds * RATE)
    out = [0.0] * n
    a = max(1, int(attack * RATE))
    for ratio, amp, decay in parts:
        f = freq * ratio
        if f >= RATE / 2 * 0.9:
            continue
        w = TWO_PI * f / RATE
        d = math.exp(-decay / RATE)
        g = amp
        for i in range(n):
            out[i] += g * math.sin(w * i)
            g *= d
    for i in range(min(a, n)):
        out[i] *= i / a
    return out


def bell(note, seconds=1.5, bright=1.0):
    return partials(hz(note), seconds, [(1, 1.0, 2.2), (2.0, 0.45 * bright, 3.5), (3.0, 0.22 * bright, 5.0),
                                        (4.16, 0.12 * bright, 7.0), (5.43, 0.08 * bright, 9.0)])


def glock(note, seconds=0.9):
    return partials(hz(note), seconds, [(1, 1.0, 4.0), (2.76, 0.35, 9.0), (5.40, 0.12, 16.0), (8.93, 0.05, 24.0)],
                    attack=0.002)


def marimba(note, seconds=0.7):
    return partials(hz(note), seconds, [(1, 1.0, 6.0), (3.93, 0.30, 18.0), (9.87, 0.06, 40.0)], attack=0.002)


def xylophone(note, seconds=0.45):
    return partials(hz(note), seconds, [(1, 1.0, 9.0), (3.0, 0.35, 14.0), (6.0, 0.12, 30.0)], attack=0.0015)


def pluck(note, seconds=1.2, seed=1, damping=0.996, brightness=0.5):
    """Karplus-Strong string with an all-pass for exact tuning."""
    rng = random.Random(seed)
    period = RATE / hz(note)
    n_delay = int(period - 0.5)
    frac = period - n_delay - 0.5
    c = (1 - frac) / (1 + frac)
    line = [rng.uniform(-1, 1) for _ in range(n_delay)]
    # Soften the excitation: a darker noise burst gives a rounder string.
    for i in range(1, n_delay):
        line[i] = brightness * line[i] + (1 - brightness) * line[i - 1]
    # The loop keeps any offset for ever; start without one.
    mean = sum(line) / n_delay
    line = [v - mean for v in line]
    n = int(seconds * RATE)
    out = [0.0] * n
    idx = 0
    prev = 0.0
    ap_x = ap_y = 0.0
    for i in range(n):
        x = line[idx]
        nxt = line[(idx + 1) % n_delay]
        avg = damping * 0.5 * (x + nxt)
        y = c * avg + ap_x - c * ap_y
        ap_x, ap_y = avg, y
        line[idx] = y
        out[i] = x
        idx = (idx + 1) % n_delay
        prev = x
    return out


def brass(note, seconds, vibrato=0.0, glide=0.0, wah=False):
    """Band-limited sawtooth through a filter that opens with the note; optional glide (semitones)."""
    f0 = hz(note)
    n = int(seconds * RATE)
    out = [0.0] * n
    phase = 0.0
    lp = 0.0
    attack, release = int(0.035 * RATE), int(0.08 * RATE)
    harmonics = max(1, int(RATE / 2 / (f0 * 1.2)))
    harmonics = min(harmonics, 14)
    for i in range(n):
        t = i / RATE
        vib = vibrato * math.sin(TWO_PI * 5.5 * t) * min(1.0, t / 0.25)
        f = f0 * 2 ** ((glide * min(1.0, t / seconds) + vib) / 12)
        phase += f / RATE
        p = phase - math.floor(phase)
        s = 0.0
        for h in range(1, harmonics + 1):
            s += math.sin(TWO_PI * h * p) / h
        env = min(1.0, i / attack) if i < attack else 1.0
        if i > n - release:
            env *= (n - i) / release
        # Brightness follows the envelope; a "wah" closes the filter again.
        open_ = env * (0.25 + 0.75 * math.exp(-t * 3.0)) if wah else env
        cutoff = f * (1.5 + 5.0 * open_)
        k = 1 - math.exp(-TWO_PI * cutoff / RATE)
        lp += k * (s - lp)
        out[i] = lp * env
    return out


def noise_burst(seconds, seed, low, high, decay, attack=0.001):
    """Band-limited noise (two one-pole filters) with an exponential decay."""
    rng = random.Random(seed)
    n = int(seconds * RATE)
    out = [0.0] * n
    kl = 1 - math.exp(-TWO_PI * high / RATE)
    kh = 1 - math.exp(-TWO_PI * low / RATE)
    lp = hp_lp = 0.0
    a = max(1, int(attack * RATE))
    g = 1.0
    d = math.exp(-decay / RATE)
    for i in range(n):
        x = rng.uniform(-1, 1)
        lp += kl * (x - lp)
        hp_lp += kh * (lp - hp_lp)
        y = lp - hp_lp
        env = g * (i / a if i < a else 1.0)
        out[i] = y * env
        g *= d
    return out


def swept_noise(seconds, seed, f_from, f_to, shape):
    """Noise through a resonant band-pass whose centre moves from f_from to f_to; shape(t) is the envelope."""
    rng = random.Random(seed)
    n = int(seconds * RATE)
    out = [0.0] * n
    y1 = y2 = 0.0
    q = 2.5
    for i in range(n):
        t = i / n
        f = f_from * (f_to / f_from) ** t
        w = TWO_PI * f / RATE
        r = 1 - w / (2 * q)
        x = rng.uniform(-1, 1)
        y = (1 - r) * x + 2 * r * math.cos(w) * y1 - r * r * y2
        y2, y1 = y1, y
        out[i] = y * shape(t)
    return out


def sine_sweep(f_from, f_to, seconds, amp=1.0):
    n = int(seconds * RATE)
    out = [0.0] * n
    phase = 0.0
    for i in range(n):
        t = i / n
        f = f_from * (f_to / f_from) ** t
        phase += TWO_PI * f / RATE
        env = min(1.0, i / (0.01 * RATE)) * (1 - t) ** 1.5
        out[i] = amp * math.sin(phase) * env
    return out


def pad(notes, seconds, amp=0.25):
    """A soft chord of detuned sines that swells in and fades out."""
    n = int(seconds * RATE)
    out = [0.0] * n
    for note in notes:
        for detune in (-0.003, 0.003):
            w = TWO_PI * hz(note) * (1 + detune) / RATE
            for i in range(n):
                t = i / n
                env = min(1.0, t / 0.3) * min(1.0, (1 - t) / 0.5)
                out[i] += amp * env * (math.sin(w * i) + 0.25 * math.sin(2 * w * i))
    return out


def thump(freq, seconds, drop=0.5, decay=18.0):
    """A low knock whose pitch falls: a timpani or a deck of cards set down."""
    n = int(seconds * RATE)
    out = [0.0] * n
    phase = 0.0
    for i in range(n):
        t = i / RATE
        f = freq * (1 - drop * min(1.0, t / seconds))
        phase += TWO_PI * f / RATE
        out[i] = math.sin(phase) * math.exp(-decay * t) * min(1.0, i / 40)
    return out


# ------------------------------------------------------------ finishing ---
def reverb(samples, wet=0.2, room=0.78, damp=0.35):
    """A small Schroeder room: four damped combs into two all-passes."""
    combs = [1116, 1188, 1277, 1356]
    combs = [int(c * RATE / 44100) for c in combs]
    n = len(samples)
    wet_sum = [0.0] * n
    for length in combs:
        buf = [0.0] * length
        idx = 0
        store = 0.0
        for i in range(n):
            y = buf[idx]
            store = y * (1 - damp) + store * damp
            buf[idx] = samples[i] + store * room
            wet_sum[i] += y
            idx += 1
            if idx == length:
                idx = 0
    for length in (int(556 * RATE / 44100), int(441 * RATE / 44100)):
        buf = [0.0] * length
        idx = 0
        for i in range(n):
            b = buf[idx]
            x = wet_sum[i]
            buf[idx] = x + b * 0.5
            wet_sum[i] = b - x
            idx += 1
            if idx == length:
                idx = 0
    return [samples[i] + wet * 0.25 * wet_sum[i] for i in range(n)]


def dc_block(samples):
    out = [0.0] * len(samples)
    x1 = y1 = 0.0
    for i, x in enumerate(samples):
        y1 = x - x1 + 0.997 * y1
        x1 = x
        out[i] = y1
    return out


def finish(buf, peak, fade_out=0.12, room=0.2):
    s = reverb(buf.s, wet=room) if room else buf.s
    s = dc_block(s)
    # Trim trailing near-silence, keep a short fade.
    last = len(s)
    limit = max(abs(v) for v in s) * 0.001
    while last > 0 and abs(s[last - 1]) <= limit:
        last -= 1
    s = s[:min(len(s), last + int(0.02 * RATE))]
    # Start at once: no silent lead-in before the first sound.
    first = 0
    lead = max(abs(v) for v in s) * 0.003
    while first < len(s) and abs(s[first]) <= lead:
        first += 1
    s = s[max(0, first - int(0.003 * RATE)):]
    top = max(abs(v) for v in s) or 1.0
    s = [v * peak / top for v in s]
    f = int(fade_out * RATE)
    for i in range(min(f, len(s))):
        s[len(s) - 1 - i] *= i / f
    a = int(0.002 * RATE)
    for i in range(min(a, len(s))):
        s[i] *= i / a
    return s


def write(path, samples):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767))))) for v in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


# ---------------------------------------------------------------- sounds ---
def shuffle():
    """Deal: a riffle shuffle, the bridge, and the deck squared on the table."""
    rng = random.Random(11)
    b = Buffer(1.5)
    t = 0.02
    k = 0
    while t < 0.78:
        # The riffle starts quick, slows a little as the halves run out.
        gap = 0.011 + 0.006 * (t / 0.78) ** 2 + rng.uniform(-0.002, 0.002)
        flick = noise_burst(0.018, 100 + k, rng.uniform(1800, 2600), rng.uniform(5500, 7500), 260)
        b.add(t, flick, rng.uniform(0.45, 0.9))
        b.add(t + 0.002, noise_burst(0.02, 500 + k, 150, 900, 200), 0.25)
        t += gap
        k += 1
    b.add(0.8, swept_noise(0.28, 7, 900, 2400, lambda x: math.sin(math.pi * x) ** 2), 0.08)
    b.add(1.12, thump(180, 0.12, 0.3, 40), 0.6)
    b.add(1.12, noise_burst(0.05, 8, 600, 4000, 90), 0.5)
    b.add(1.24, thump(170, 0.12, 0.3, 40), 0.45)
    b.add(1.24, noise_burst(0.05, 9, 600, 4000, 90), 0.35)
    return finish(b, 0.6, room=0.1)


def done():
    """Exit: a soft goodbye, three bells falling to the tonic over a low pad."""
    b = Buffer(2.0)
    for i, note in enumerate(("G5", "E5", "C5")):
        b.add(0.2 * i, bell(note, 1.6 if i == 2 else 1.0), 0.55 if i < 2 else 0.7)
    b.add(0.0, pad(("C3", "G3", "E4"), 1.9, 0.12))
    return finish(b, 0.62, room=0.3)


def help1():
    """Help (1st): a light, questioning step up on the marimba."""
    b = Buffer(0.9)
    b.add(0.0, marimba("E5"), 0.8)
    b.add(0.16, marimba("A5", 0.8), 0.9)
    b.add(0.16, marimba("C#6", 0.7), 0.3)
    return finish(b, 0.6, room=0.2)


def manual():
    """Help (2nd): two pages turned, then a bell."""
    b = Buffer(1.3)
    page = lambda t: math.sin(math.pi * t) ** 1.5
    b.add(0.0, swept_noise(0.22, 21, 1200, 4500, page), 0.3)
    b.add(0.26, swept_noise(0.22, 22, 1300, 5000, page), 0.26)
    b.add(0.55, bell("D6", 0.8, 0.7), 0.45)
    b.add(0.55, bell("A5", 0.8, 0.7), 0.3)
    return finish(b, 0.6, room=0.2)


def now_what():
    """Help (3rd): a shrug: two notes up, one down, and a gliding question."""
    b = Buffer(1.2)
    for i, note in enumerate(("C5", "D5", "B4")):
        b.add(0.13 * i, marimba(note, 0.45), 0.75)
    b.add(0.45, sine_sweep(hz("E5"), hz("A5"), 0.5, 0.5))
    b.add(0.45, marimba("G5", 0.6), 0.35)
    return finish(b, 0.6, room=0.2)


def excellent():
    """Highscore: a bright run up the glockenspiel into a ringing chord with sparkles."""
    rng = random.Random(31)
    b = Buffer(2.0)
    run = ("C5", "E5", "G5", "C6", "E6", "G6")
    for i, note in enumerate(run):
        b.add(0.06 * i, glock(note, 0.7), 0.55)
    for note in ("C5", "E5", "G5", "C6"):
        b.add(0.4, bell(note, 1.5), 0.3)
    b.add(0.38, pad(("C4", "G4", "E5"), 1.5, 0.08))
    sparkle = ("C7", "E7", "G7", "D7", "A6")
    for i in range(7):
        b.add(0.5 + 0.11 * i + rng.uniform(0, 0.03), glock(sparkle[rng.randrange(5)], 0.4), 0.18)
    return finish(b, 0.62, room=0.3)


def too_bad():
    """Lose Hand: the sad trombone, four sinking steps, the last one wobbling."""
    b = Buffer(2.2)
    notes = (("G3", 0.0, 0.32), ("F#3", 0.36, 0.32), ("F3", 0.72, 0.32), ("E3", 1.08, 1.0))
    for note, at, length in notes:
        last = length > 0.5
        b.add(at, brass(note, length, vibrato=0.35 if last else 0.0, glide=-0.4 if last else -0.15, wah=True),
              0.8)
    return finish(b, 0.45, room=0.25)


def ha_ha():
    """Lose Match: the teasing "nyah-nyah" on a toy xylophone."""
    b = Buffer(1.5)
    tune = (("G5", 0.0), ("E5", 0.2), ("A5", 0.4), ("G5", 0.6), ("E5", 0.8))
    for note, at in tune:
        b.add(at, xylophone(note, 0.6 if at >= 0.8 else 0.4), 0.8)
        b.add(at, xylophone(note[0] + str(int(note[-1]) - 1), 0.35), 0.25)
    return finish(b, 0.6, room=0.2)


def mixed():
    """Mixed Canasta: a warm strummed G chord on a plucked string."""
    b = Buffer(1.5)
    for i, note in enumerate(("G3", "B3", "D4", "G4", "B4", "E5")):
        b.add(0.028 * i, pluck(note, 1.4, seed=40 + i, damping=0.995), 0.5)
    return finish(b, 0.62, room=0.2)


def natural():
    """Natural Canasta: a brighter reward, a strum crowned by bells and sparkle."""
    b = Buffer(2.0)
    for i, note in enumerate(("C4", "G4", "C5", "E5", "G5")):
        b.add(0.025 * i, pluck(note, 1.5, seed=60 + i, damping=0.996, brightness=0.7), 0.45)
    for i, note in enumerate(("E6", "G6", "C7")):
        b.add(0.18 + 0.08 * i, glock(note, 0.9), 0.3)
    for note in ("C6", "E6"):
        b.add(0.42, bell(note, 1.4), 0.25)
    return finish(b, 0.62, room=0.3)


def welcome():
    """Start: a harp rising to greet, settling on a soft bell chord."""
    b = Buffer(2.2)
    for i, note in enumerate(("C4", "E4", "G4", "C5", "E5", "G5")):
        b.add(0.075 * i, pluck(note, 1.3, seed=80 + i, damping=0.996, brightness=0.55), 0.45)
    b.add(0.5, bell("C6", 1.5, 0.6), 0.3)
    b.add(0.5, bell("E5", 1.5, 0.6), 0.25)
    b.add(0.0, pad(("C3", "G3", "C4", "E4"), 2.0, 0.07))
    return finish(b, 0.62, room=0.3)


def yeah():
    """Take Huge Pile: a whoosh up into a bright brass hit and a splash."""
    b = Buffer(1.4)
    b.add(0.0, swept_noise(0.3, 51, 400, 5000, lambda t: t ** 2), 0.25)
    for note in ("C4", "G4", "C5", "E5"):
        b.add(0.28, brass(note, 0.42), 0.32)
    b.add(0.28, noise_burst(0.9, 52, 4000, 10000, 5.0, attack=0.003), 0.18)
    b.add(0.28, thump(90, 0.3, 0.5, 12), 0.5)
    return finish(b, 0.62, room=0.2)


def wonderful():
    """Win Match: a cheerful fanfare, ta-ta-ta taa, ta-ta taaa, with timpani and sparkle."""
    rng = random.Random(71)
    b = Buffer(2.8)
    line = (("G4", 0.0, 0.11), ("G4", 0.13, 0.11), ("G4", 0.26, 0.11), ("C5", 0.39, 0.4),
            ("G4", 0.82, 0.12), ("C5", 0.97, 0.12), ("E5", 1.12, 1.1))
    for note, at, length in line:
        b.add(at, brass(note, length, vibrato=0.15 if length > 0.5 else 0.0), 0.45)
    for note, at, length in (("E4", 0.39, 0.4), ("C4", 1.12, 1.1), ("G4", 1.12, 1.1)):
        b.add(at, brass(note, length), 0.3)
    b.add(1.12, thump(98, 0.6, 0.15, 5.0), 0.7)
    b.add(0.39, thump(98, 0.4, 0.15, 7.0), 0.5)
    b.add(1.12, noise_burst(1.2, 72, 5000, 10000, 3.5, attack=0.01), 0.12)
    for i, note in enumerate(("C6", "E6", "G6", "C7", "E7")):
        b.add(1.25 + 0.07 * i + rng.uniform(0, 0.01), glock(note, 0.8), 0.22)
    return finish(b, 0.66, room=0.3)


def applause():
    """Win Hand: a room of hands clapping, swelling and dying away."""
    rng = random.Random(81)
    b = Buffer(2.8)
    for person in range(36):
        rate = rng.uniform(3.6, 5.2)
        start = rng.uniform(0.0, 0.35)
        stop = rng.uniform(1.5, 2.5)
        low, high = rng.uniform(700, 1200), rng.uniform(2200, 4200)
        t = start
        k = 0
        while t < stop:
            fade = min(1.0, (t - start) / 0.25) * min(1.0, (stop - t) / 0.6)
            clap = noise_burst(0.03, person * 1000 + k, low, high, rng.uniform(120, 200), attack=0.0015)
            b.add(t, clap, 0.5 * fade * rng.uniform(0.6, 1.0))
            t += 1 / rate + rng.uniform(-0.02, 0.02)
            k += 1
    return finish(b, 0.5, fade_out=0.3, room=0.35)


def your_turn():
    """End Turn (network games): a friendly two-tone chime."""
    b = Buffer(1.3)
    b.add(0.0, bell("E6", 1.0, 0.5), 0.5)
    b.add(0.28, bell("C6", 1.0, 0.5), 0.55)
    return finish(b, 0.55, room=0.25)


def about():
    """About box: a little harp tune, C - F - G - C, closing on a bell."""
    b = Buffer(3.2)
    beat = 0.17
    tune = (("C5", 0), ("E5", 1), ("G5", 2), ("C6", 3), ("A5", 4), ("F5", 5), ("A5", 6),
            ("G5", 8), ("D5", 9), ("B4", 10), ("C5", 12))
    for i, (note, step) in enumerate(tune):
        b.add(step * beat, pluck(note, 1.0 if step < 12 else 1.6, seed=90 + i, damping=0.996), 0.5)
    for chord, step, length in ((("C3", "G3", "E4"), 0, 4), (("F3", "A3", "C4"), 4, 4), (("G3", "B3", "D4"), 8, 4),
                                (("C3", "G3", "E4"), 12, 8)):
        b.add(step * beat, pad(chord, length * beat + 0.3, 0.06))
    b.add(12 * beat, bell("C6", 1.4, 0.5), 0.25)
    return finish(b, 0.6, room=0.3)


SOUNDS = {
    "shufl.wav": shuffle, "done.wav": done, "help.wav": help1, "manuel.wav": manual,
    "nowwhat.wav": now_what, "exelnt.wav": excellent, "toobad.wav": too_bad, "haha.wav": ha_ha,
    "mixed.wav": mixed, "natural.wav": natural, "welcome.wav": welcome, "yeah.wav": yeah,
    "wonderfl.wav": wonderful, "applause.wav": applause, "yourturn.wav": your_turn, "about.wav": about,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "sounds")
    only = set(sys.argv[2:])
    os.makedirs(out, exist_ok=True)
    for name, make in SOUNDS.items():
        if only and name not in only:
            continue
        write(os.path.join(out, name), make())
        print(os.path.join(out, name))


if __name__ == "__main__":
    main()
