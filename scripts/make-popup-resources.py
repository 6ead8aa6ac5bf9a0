#!/usr/bin/env python3
"""Writes the notification popup's pictures and its chime into resources/push/.

The output is deterministic and committed; run this again only to change the look or the sound.
Pictures are 24-bit uncompressed bitmaps; the chime is mono 16-bit PCM at 32000 Hz, 25626
samples long.
"""
import math
import pathlib
import struct
import wave

OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "push"


def write_bmp(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bitmaps store the bottom row first
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    (OUT / name).write_bytes(header + info + data)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def background(x, y):
    # medium blue, a little darker towards the top-left corner
    blue = (52, 93, 173)
    dark = (38, 70, 140)
    d = math.hypot(x / 224.0, y / 141.0)
    return mix(dark, blue, d / 0.35)


def panel(x, y):
    top, bottom, edge = (253, 252, 255), (218, 230, 255), (102, 125, 169)
    if y >= 143:
        return edge
    return mix(top, bottom, y / 142.0)


def close_glyph(x, y):
    pink, white, outline = (232, 162, 162), (255, 255, 255), (82, 80, 97)
    if not (16 <= x <= 26 and 3 <= y <= 12):
        return pink
    # two diagonals across the 11 x 10 box, distances in pixels
    px, py = x - 16, y - 3
    d = min(abs(9 * px - 10 * py), abs(9 * px + 10 * py - 90)) / math.sqrt(181)
    if d <= 0.75:
        return white
    if d <= 1.6:
        return outline
    return pink


def emblem(x, y):
    blue, yellow, white = (64, 86, 154), (247, 206, 49), (236, 240, 250)
    cx, cy = 9.5, 7.5
    r = math.hypot(x - cx, y - cy)
    if 5.2 <= r <= 7.2:
        return yellow
    if r < 5.2 and (abs(x - cx) <= 1.0 or abs(y - cy) <= 1.0):
        return white
    return blue


def chime():
    rate, count = 32000, 25626
    # two bell-like strokes, E6 then C6, each with a few soft overtones and a quick decay
    strokes = [(0.0, 1318.51, 1.0), (0.16, 1046.50, 0.9)]
    partials = [(1.0, 1.0), (2.0, 0.28), (3.0, 0.08), (4.2, 0.04)]
    samples = []
    for n in range(count):
        t = n / rate
        value = 0.0
        for start, freq, gain in strokes:
            s = t - start
            if s < 0:
                continue
            attack = min(1.0, s / 0.004)
            for ratio, weight in partials:
                decay = math.exp(-s * (3.5 + 2.0 * ratio))
                value += gain * weight * attack * decay * math.sin(2 * math.pi * freq * ratio * s)
        tail = min(1.0, (count - 1 - n) / (0.05 * rate))  # fade to silence at the very end
        samples.append(value * tail)
    peak = max(abs(v) for v in samples)
    scale = 0.5 * 32767 / peak
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in samples)
    with wave.open(str(OUT / "popupSound.wav"), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(frames)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    write_bmp("background.bmp", 224, 141, background)
    write_bmp("panel.bmp", 338, 145, panel)
    write_bmp("close.bmp", 43, 17, close_glyph)
    write_bmp("emblem.bmp", 20, 16, emblem)
    chime()


if __name__ == "__main__":
    main()
