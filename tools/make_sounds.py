#!/usr/bin/env python3
"""Writes the three short sounds that ship beside the program (16-bit mono
PCM, 22050 Hz): a shutter click for a snapshot, a rising and a falling pair
of tones for the start and the end of a recording."""
import math
import struct
import sys
import wave

RATE = 22050


def tone(freq, seconds, volume=0.4):
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        fade = min(1.0, i / 200.0, (n - i) / 400.0)
        out.append(volume * fade * math.sin(2 * math.pi * freq * i / RATE))
    return out


def click():
    n = int(RATE * 0.08)
    out = []
    seed = 12345
    for i in range(n):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        noise = (seed / 0x7FFFFFFF) * 2 - 1
        out.append(0.6 * noise * math.exp(-i / (RATE * 0.012)))
    return out


def write(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767)) for s in samples))


folder = sys.argv[1] if len(sys.argv) > 1 else "."
write(f"{folder}/Capture.wav", click())
write(f"{folder}/startRecord.wav", tone(660, 0.12) + tone(990, 0.16))
write(f"{folder}/stopRecord.wav", tone(990, 0.12) + tone(660, 0.16))
