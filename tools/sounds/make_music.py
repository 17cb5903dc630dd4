#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the shipped background music as Standard MIDI Files into assets/music.

Four short original tunes, each with melody, chords, bass and drums, for any
General MIDI synthesizer. Deterministic: the same bytes on every run.

    python3 tools/sounds/make_music.py [output-folder]
"""
import os
import random
import struct
import sys

PPQ = 480  # ticks per quarter note
DRUMS = 9  # General MIDI percussion channel

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
CHORD_SHAPES = {
    "": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "maj7": (0, 4, 7, 11),
    "m7": (0, 3, 7, 10), "6": (0, 4, 7, 9), "dim": (0, 3, 6),
}


def pitch(name):
    """'C#5' -> MIDI note number (C4 = 60)."""
    letter, rest = name[0], name[1:]
    pc = NOTE_NAMES[letter]
    while rest and rest[0] in "#b":
        pc += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + pc


def chord(symbol):
    """'Bbm7' -> (root pitch class, intervals)."""
    root = NOTE_NAMES[symbol[0]]
    i = 1
    if i < len(symbol) and symbol[i] in "#b":
        root += 1 if symbol[i] == "#" else -1
        i += 1
    return root % 12, CHORD_SHAPES[symbol[i:]]


def voicing(symbol, low, high):
    """The chord's tones between low and high (inclusive), each once, ascending."""
    root, shape = chord(symbol)
    tones = []
    for iv in shape:
        pc = (root + iv) % 12
        n = low + (pc - low) % 12
        if n <= high:
            tones.append(n)
    return sorted(tones)


def bass_note(symbol, low=36, fifth=False):
    root, shape = chord(symbol)
    pc = (root + (7 if fifth else 0)) % 12
    return low + (pc - low) % 12


class Track:
    def __init__(self, name, channel, program=None, volume=100, pan=64, reverb=40, chorus=0):
        self.name, self.channel = name, channel
        self.events = []  # (tick, order, bytes)
        ch = channel
        self.events.append((0, 0, bytes([0xFF, 0x03, len(name)]) + name.encode("ascii")))
        if program is not None:
            self.events.append((0, 1, bytes([0xC0 | ch, program])))
        for cc, value in ((7, volume), (10, pan), (91, reverb), (93, chorus)):
            self.events.append((0, 1, bytes([0xB0 | ch, cc, value])))

    def note(self, beat, length, note, velocity):
        start = round(beat * PPQ)
        end = max(start + 1, round((beat + length) * PPQ) - 4)  # a hair of air between repeated notes
        velocity = max(1, min(127, int(velocity)))
        self.events.append((start, 3, bytes([0x90 | self.channel, note, velocity])))
        self.events.append((end, 2, bytes([0x80 | self.channel, note, 0])))

    def chunk(self):
        data = bytearray()
        last = 0
        for tick, _, msg in sorted(self.events, key=lambda e: (e[0], e[1])):
            data += vlq(tick - last) + msg
            last = tick
        data += vlq(0) + bytes([0xFF, 0x2F, 0x00])
        return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def write_midi(path, title, bpm, beats_per_bar, tracks):
    meta = Track(title, 0)
    meta.events = [
        (0, 0, bytes([0xFF, 0x03, len(title)]) + title.encode("ascii")),
        (0, 0, bytes([0xFF, 0x51, 0x03]) + struct.pack(">I", round(60_000_000 / bpm))[1:]),
        (0, 0, bytes([0xFF, 0x58, 0x04, beats_per_bar, 2, 24, 8])),
    ]
    data = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks) + 1, PPQ)
    data += meta.chunk() + b"".join(t.chunk() for t in tracks)
    with open(path, "wb") as f:
        f.write(data)


def melody(track, start, text, velocity, rng, swing=False, transpose=0):
    """Plays 'E5:1 D5:0.5 r:0.5 ...' (lengths in beats) from beat start; returns the end beat."""
    beat = start
    for token in text.split():
        name, length = token.split(":")
        length = float(length)
        if name != "r":
            s, e = beat, beat + length
            if swing:
                s, e = swung(s), swung(e)
            accent = 8 if abs(beat - round(beat)) < 1e-9 else 0
            track.note(s, e - s, pitch(name) + transpose, velocity + accent + rng.randint(-5, 5))
        beat += length
    return beat


def swung(beat):
    """Moves an off-beat eighth to the last third of its beat."""
    whole = int(beat + 1e-9)
    frac = beat - whole
    return whole + (2 / 3 if abs(frac - 0.5) < 1e-9 else frac)


def chords_of(bars):
    """'G | Em | Am D' -> [(bar, beat offset, chord, beats)], two chords split a bar."""
    out = []
    for i, bar in enumerate(bars.split("|")):
        names = bar.split()
        for j, name in enumerate(names):
            out.append((i, j, name, len(names)))
    return out


# ---------------------------------------------------------------- Arcadia ---
def arcadia(path):
    """A pastoral tune in G: flute over nylon guitar, acoustic bass, light drums."""
    rng = random.Random(1101)
    flute = Track("Flute", 0, 73, volume=104, pan=70, reverb=60)
    guitar = Track("Guitar", 1, 24, volume=92, pan=50, reverb=50)
    strings = Track("Strings", 2, 48, volume=58, pan=80, reverb=70, chorus=20)
    bass = Track("Bass", 3, 32, volume=100, pan=64, reverb=20)
    drums = Track("Drums", DRUMS, None, volume=84, reverb=30)

    a_chords = "G | Em | C | D | G | Em | Am D | G"
    b_chords = "C | D | Bm | Em | C | D | Em C | D7"
    a_tune = ("B4:1 D5:1 G5:1.5 F#5:0.5  E5:2 D5:1 B4:1  C5:1 E5:1 G5:1 E5:1  D5:1.5 E5:0.5 F#5:2 "
              "G5:1 F#5:0.5 E5:0.5 D5:1 B4:1  G4:1 B4:1 E5:2  C5:1 E5:1 D5:1 C5:1  B4:3 r:1")
    b_tune = ("E5:0.5 D5:0.5 E5:1 G5:1 E5:1  F#5:2 A5:1 F#5:1  D5:1 F#5:1 B5:1.5 A5:0.5  G5:2 E5:2 "
              "E5:0.5 F#5:0.5 G5:1 C6:1 B5:0.5 A5:0.5  A5:2 F#5:1 D5:1  E5:1 G5:1 E5:1 C5:1  D5:2 C5:1 A4:1")

    sections = [("G | D", None, False), (a_chords, a_tune, False), (b_chords, b_tune, True),
                (a_chords, a_tune, True)]
    bar0 = 0
    for chords, tune, pad in sections:
        if tune:
            end = melody(flute, bar0 * 4, tune, 84, rng)
            assert end == (bar0 + len(chords.split("|"))) * 4, "melody and chords differ in length"
        for bar, half, name, parts in chords_of(chords):
            beat = (bar0 + bar) * 4 + half * 4 / parts
            span = 4 / parts
            tones = voicing(name, 52, 66)
            pattern = [tones[0], tones[1 % len(tones)], tones[-1], tones[1 % len(tones)]]
            for k in range(int(span * 2)):
                guitar.note(beat + k * 0.5, 0.9, pattern[k % 4], 62 + (8 if k % 4 == 0 else 0) + rng.randint(-4, 4))
            if pad:
                for n in voicing(name, 60, 72):
                    strings.note(beat, span, n, 52)
            root, fifth = bass_note(name, 36), bass_note(name, 36, fifth=True)
            if parts == 1:
                for off, n, ln in ((0, root, 1.5), (1.5, fifth, 0.5), (2, root, 1), (3, fifth, 1)):
                    bass.note(beat + off, ln, n, 90 if off == 0 else 76)
            else:
                bass.note(beat, 1.5, root, 90)
                bass.note(beat + 1.5, 0.5, fifth, 74)
        bars = len(chords.split("|"))
        for bar in range(bars):
            b = (bar0 + bar) * 4
            last = bar == bars - 1
            for k in range(8):
                drums.note(b + k * 0.5, 0.25, 42, (60 if k % 2 == 0 else 44) + rng.randint(-4, 4))
            drums.note(b, 0.5, 36, 92)
            drums.note(b + 2.5 if bar % 2 else b + 2, 0.5, 36, 78)
            drums.note(b + 1, 0.5, 37, 70)
            if last and tune:
                for off, tom in ((3, 50), (3.25, 48), (3.5, 47), (3.75, 45)):
                    drums.note(b + off, 0.25, tom, 74)
            else:
                drums.note(b + 3, 0.5, 37, 70)
        bar0 += bars
    # Ending: G held, a soft cymbal.
    end = bar0 * 4
    flute.note(end, 4, pitch("G5"), 80)
    for n in voicing("G", 52, 67):
        guitar.note(end, 4, n, 66)
    for n in voicing("G", 60, 72):
        strings.note(end, 4, n, 50)
    bass.note(end, 4, pitch("G2"), 90)
    drums.note(end, 1, 36, 90)
    drums.note(end, 2, 49, 70)
    write_midi(path, "Arcadia", 104, 4, [flute, guitar, strings, bass, drums])


# ----------------------------------------------------------------- Meadow ---
def meadow(path):
    """A waltz in F: clarinet, piano oom-pah-pah, tuba, soft drums."""
    rng = random.Random(2202)
    clarinet = Track("Clarinet", 0, 71, volume=118, pan=72, reverb=55)
    piano = Track("Piano", 1, 0, volume=100, pan=54, reverb=45)
    tuba = Track("Tuba", 2, 58, volume=110, pan=64, reverb=25)
    drums = Track("Drums", DRUMS, None, volume=82, reverb=30)

    a_chords = "F | F | C7 | C7 | C7 | C7 | F | F | F | F | Bb | Bb | F | C7 | F | F"
    a_tune = ("C5:1 F5:1 A5:1  A5:2 G5:1  G5:1 E5:1 C5:1  Bb4:2 C5:1  G4:1 C5:1 E5:1  G5:2 F5:1 "
              "F5:1 E5:1 F5:1  A5:3  C6:1 A5:1 F5:1  C5:2 F5:1  D5:1 F5:1 Bb5:1  D6:2 Bb5:1 "
              "A5:1 C6:1 A5:1  G5:1 E5:1 Bb4:1  F5:3  r:2 C5:1")
    b_chords = "Dm | Dm | Gm | Gm | C7 | C7 | F | F"
    b_tune = ("D5:1 F5:1 A5:1  A5:2 F5:1  G5:1 Bb5:1 D6:1  D6:2 Bb5:1  C6:1 Bb5:1 G5:1  E5:1 G5:1 Bb5:1 "
              "A5:2 F5:1  F5:2 C5:1")

    sections = [("F | C7", None), (a_chords, a_tune), (b_chords, b_tune), (a_chords, a_tune)]
    bar0 = 0
    for chords, tune in sections:
        if tune:
            end = melody(clarinet, bar0 * 3, tune, 80, rng)
            assert end == (bar0 + len(chords.split("|"))) * 3, "melody and chords differ in length"
        for bar, _, name, _ in chords_of(chords):
            beat = (bar0 + bar) * 3
            piano.note(beat, 1, bass_note(name, 41, fifth=bar % 2 == 1), 70)
            for k in (1, 2):
                for n in voicing(name, 60, 71):
                    piano.note(beat + k, 0.6, n, 52 + rng.randint(-4, 4))
            tuba.note(beat, 0.9, bass_note(name, 29, fifth=bar % 2 == 1), 86)
            drums.note(beat, 0.5, 36, 74)
            drums.note(beat + 1, 0.5, 42, 46 + rng.randint(-4, 4))
            drums.note(beat + 2, 0.5, 42, 40 + rng.randint(-4, 4))
            if bar % 4 == 0:
                drums.note(beat, 1, 81, 50)  # open triangle at each phrase
        bar0 += len(chords.split("|"))
    end = bar0 * 3
    clarinet.note(end, 3, pitch("F5"), 78)
    for n in voicing("F", 53, 72):
        piano.note(end, 3, n, 64)
    tuba.note(end, 3, pitch("F1") + 12, 86)
    drums.note(end, 1, 36, 80)
    drums.note(end, 2, 81, 56)
    write_midi(path, "Meadow", 150, 3, [clarinet, piano, tuba, drums])


# ---------------------------------------------------------------- Harbour ---
def harbour(path):
    """A calypso in C: steel drums, marimba, bass, congas and claves."""
    rng = random.Random(3303)
    steel = Track("Steel Drums", 0, 114, volume=116, pan=70, reverb=50)
    marimba = Track("Marimba", 1, 12, volume=94, pan=50, reverb=40)
    bass = Track("Bass", 2, 33, volume=116, pan=64, reverb=15)
    drums = Track("Percussion", DRUMS, None, volume=100, reverb=30)

    a_chords = "C | F | G7 | C | C | F | G7 | C"
    a_tune = ("E5:0.5 G5:1 G5:0.5 A5:1 G5:1  F5:1.5 A5:1.5 F5:1  D5:0.5 F5:1 D5:0.5 B4:1 G4:1  C5:1.5 E5:0.5 G5:2 "
              "E5:0.5 G5:1 G5:0.5 C6:1 G5:1  A5:1.5 F5:0.5 C5:1 A5:1  G5:0.5 F5:1 D5:0.5 F5:1 B4:1  C5:3 r:1")
    b_chords = "F | C | G7 | C | Am | Dm | G7 | C"
    b_tune = ("A5:1 A5:0.5 C6:1 A5:0.5 F5:1  G5:1.5 E5:0.5 C5:2  B4:0.5 D5:1 F5:0.5 G5:1 F5:1  E5:3 r:1 "
              "C5:0.5 E5:1 A5:0.5 A5:1 G5:1  F5:1.5 E5:0.5 D5:2  B4:0.5 D5:1 G5:0.5 F5:1 D5:1  C5:4")

    sections = [("C | C", None), (a_chords, a_tune), (b_chords, b_tune), (a_chords, a_tune)]
    bar0 = 0
    for chords, tune in sections:
        if tune:
            end = melody(steel, bar0 * 4, tune, 86, rng)
            assert end == (bar0 + len(chords.split("|"))) * 4, "melody and chords differ in length"
        for bar, _, name, _ in chords_of(chords):
            beat = (bar0 + bar) * 4
            tones = voicing(name, 60, 72)
            # Marimba: the calypso strum, a chord on the off-beats.
            for off in (0.5, 1.5, 2, 3, 3.5):
                for n in tones:
                    marimba.note(beat + off, 0.4, n, 50 + rng.randint(-4, 4))
            root, fifth = bass_note(name, 36), bass_note(name, 36, fifth=True)
            for off, n, ln in ((0, root, 1.5), (1.5, fifth, 1), (2.5, root + 12 if root < 40 else root, 0.5),
                               (3, fifth, 0.5), (3.5, root, 0.5)):
                bass.note(beat + off, ln, n, 92 if off == 0 else 78)
            # Percussion: kick, claves son pattern, congas, shaker.
            for off in (0, 1.5, 2, 3.5):
                drums.note(beat + off, 0.5, 36, 80 if off == 0 else 64)
            for off in ((0, 1.5, 3) if bar % 2 == 0 else (1, 2)):
                drums.note(beat + off, 0.25, 75, 64)
            for off, n in ((0.5, 62), (1, 63), (1.5, 64), (2.5, 62), (3, 63), (3.5, 64)):
                drums.note(beat + off, 0.25, n, 58 + rng.randint(-6, 6))
            for k in range(8):
                drums.note(beat + k * 0.5, 0.25, 82, (48 if k % 2 else 36) + rng.randint(-4, 4))
        bar0 += len(chords.split("|"))
    end = bar0 * 4
    steel.note(end, 3, pitch("C6"), 88)
    for n in voicing("C", 60, 76):
        marimba.note(end, 2, n, 64)
    bass.note(end, 2, pitch("C2"), 92)
    drums.note(end, 1, 36, 88)
    drums.note(end, 1, 64, 70)
    drums.note(end, 2, 49, 66)
    write_midi(path, "Harbour", 116, 4, [steel, marimba, bass, drums])


# ---------------------------------------------------------------- Lantern ---
def lantern(path):
    """A gentle swing in F: vibraphone, electric piano, walking bass, brushes and ride."""
    rng = random.Random(4404)
    vibes = Track("Vibraphone", 0, 11, volume=114, pan=72, reverb=64)
    epiano = Track("Electric Piano", 1, 4, volume=92, pan=50, reverb=50, chorus=30)
    bass = Track("Bass", 2, 32, volume=118, pan=64, reverb=20)
    drums = Track("Drums", DRUMS, None, volume=88, reverb=35)

    a_chords = "Fmaj7 | Dm7 | Gm7 | C7 | Am7 | D7 | Gm7 C7 | Fmaj7"
    a_tune = ("A4:0.5 C5:0.5 E5:1 D5:0.5 C5:0.5 A4:1  F5:2 E5:0.5 D5:0.5 C5:1  Bb4:0.5 D5:0.5 F5:1 A5:1 G5:1 "
              "E5:3 r:1  C5:0.5 E5:0.5 G5:1 F5:0.5 E5:0.5 C5:1  F#5:2 E5:0.5 D5:0.5 C5:1  Bb4:1 D5:1 E5:1 G5:1 "
              "F5:3 r:1")
    b_chords = "Bbmaj7 | Bbm7 Eb7 | Am7 | D7 | Gm7 | C7 | Fmaj7 D7 | Gm7 C7"
    b_tune = ("D5:0.5 F5:0.5 A5:1 A5:0.5 G5:0.5 F5:1  Db5:1 F5:1 G5:1 Db5:1  C5:0.5 E5:0.5 G5:1 E5:2 "
              "F#5:1 A5:1 C6:1 A5:1  Bb5:2 A5:0.5 G5:0.5 F5:1  E5:1 G5:1 Bb5:1 G5:1  A5:2 F#5:2  G5:2 E5:2")

    sections = [("Gm7 C7 | Gm7 C7", None), (a_chords, a_tune), (b_chords, b_tune), (a_chords, a_tune)]
    bar0 = 0
    chords_all = []
    for chords, tune in sections:
        if tune:
            end = melody(vibes, bar0 * 4, tune, 78, rng, swing=True)
            assert end == (bar0 + len(chords.split("|"))) * 4, "melody and chords differ in length"
        for bar, half, name, parts in chords_of(chords):
            chords_all.append(((bar0 + bar) * 4 + half * 4 / parts, name, 4 / parts))
        bar0 += len(chords.split("|"))
    end = bar0 * 4
    chords_all.append((end, "Fmaj7", 4))
    for i, (beat, name, span) in enumerate(chords_all[:-1]):
        tones = voicing(name, 57, 70)[:4]
        # Comping: on the beat and pushed on the swung "and" of two.
        hits = ((0, 1.2), (swung(1.5), 0.6)) if span == 4 else ((0, 1.2),)
        for off, ln in hits:
            for n in tones:
                epiano.note(beat + off, ln, n, 50 + rng.randint(-4, 4))
        # Walking bass: root, a chord tone, fifth, then a half step into the next root.
        nxt = bass_note(chords_all[i + 1][1], 36)
        root = bass_note(name, 36)
        root_pc, shape = chord(name)
        third = root + shape[1]
        fifth = root + 7
        approach = nxt - 1 if rng.random() < 0.6 else nxt + 1
        line = [root, third, fifth, approach] if span == 4 else [root, approach]
        for k, n in enumerate(line):
            bass.note(beat + k, 0.95, n, 88 if k == 0 else 76)
    for bar in range(bar0):
        b = bar * 4
        for off in (0, 1, swung(1.5), 2, 3, swung(3.5)):
            drums.note(b + off, 0.3, 51, (62 if off in (1, 3) else 50) + rng.randint(-4, 4))
        drums.note(b + 1, 0.3, 44, 54)
        drums.note(b + 3, 0.3, 44, 54)
        drums.note(b, 0.3, 36, 46)
        if bar % 4 == 3:
            drums.note(b + swung(3.5), 0.3, 38, 48)
    vibes.note(end, 4, pitch("F5"), 76)
    vibes.note(end + 0.05, 4, pitch("A5"), 66)
    for n in voicing("Fmaj7", 57, 70):
        epiano.note(end, 4, n, 56)
    bass.note(end, 4, pitch("F2"), 86)
    drums.note(end, 2, 51, 60)
    drums.note(end, 2, 36, 56)
    write_midi(path, "Lantern", 92, 4, [vibes, epiano, bass, drums])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "music")
    os.makedirs(out, exist_ok=True)
    for name, make in (("ARCADIA.MID", arcadia), ("meadow.mid", meadow), ("harbour.mid", harbour),
                       ("lantern.mid", lantern)):
        make(os.path.join(out, name))
        print(os.path.join(out, name))


if __name__ == "__main__":
    main()
