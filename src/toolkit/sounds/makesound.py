#!/usr/bin/env python3
"""Writes Velmora.wav, the short chime the program plays when a long run ends.

Two soft notes a fifth apart (E5, then B5), each with a quick rise and an
exponential fade, 16-bit mono at 22,050 Hz. Run it from this directory to
make the file again: python3 makesound.py
"""
import math
import struct
import wave

RATE = 22050


def note(frequency, seconds, volume):
    count = int(RATE * seconds)
    samples = []
    for n in range(count):
        t = n / RATE
        rise = min(1.0, t / 0.01)
        fade = math.exp(-t * 6.0)
        # A touch of the octave makes it ring rather than buzz.
        tone = math.sin(2 * math.pi * frequency * t) + 0.3 * math.sin(4 * math.pi * frequency * t)
        samples.append(volume * rise * fade * tone / 1.3)
    return samples


def main():
    samples = note(659.25, 0.22, 0.45) + note(987.77, 0.45, 0.45)
    with wave.open("Velmora.wav", "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767)) for s in samples))


if __name__ == "__main__":
    main()
