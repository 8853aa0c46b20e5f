#!/usr/bin/env python3
"""Draws the program's icons (resource 128: the application, 218: the pitch button) as .ico files.

Pure Python (zlib/struct only): shapes are sampled 4x4 per pixel for smooth edges and written as
32-bit icons with an AND mask, which every Windows version from XP on reads.
"""
import math
import struct
import sys
from pathlib import Path

SS = 4  # samples per pixel side


def lerp(a, b, t):
    return a + (b - a) * t


def blend(dst, src):
    """src over dst, both (r, g, b, a) with a in 0..1."""
    sa = src[3]
    da = dst[3]
    oa = sa + da * (1 - sa)
    if oa <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * da * (1 - sa)) / oa for i in range(3)) + (oa,)


def rounded_rect(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def app_icon_sample(u, v):
    """u, v in 0..1. A rounded tile in a blue-teal gradient with a white sound wave crossing a bridge."""
    colour = (0.0, 0.0, 0.0, 0.0)
    if rounded_rect(u, v, 0.04, 0.04, 0.96, 0.96, 0.2):
        t = v
        top = (0.16, 0.55, 0.78)
        bottom = (0.05, 0.25, 0.45)
        colour = (lerp(top[0], bottom[0], t), lerp(top[1], bottom[1], t), lerp(top[2], bottom[2], t), 1.0)
        # soft highlight on the upper half
        if v < 0.5 and rounded_rect(u, v, 0.08, 0.07, 0.92, 0.5, 0.16):
            colour = blend(colour, (1, 1, 1, 0.12))
    # bridge arc
    ax, ay, ar = 0.5, 0.95, 0.42
    d = math.hypot(u - ax, v - ay)
    if colour[3] > 0 and abs(d - ar) < 0.035 and v < 0.86:
        colour = blend(colour, (0.93, 0.97, 1.0, 0.85))
    # sound wave: distance to the curve, so the stroke keeps its width on the slopes
    if colour[3] > 0 and 0.1 < u < 0.9 and min(math.hypot(u - px, v - py) for px, py in WAVE) < 0.04:
        colour = blend(colour, (1.0, 1.0, 1.0, 1.0))
    return colour


def wave_point(t):
    u = 0.14 + 0.72 * t
    envelope = math.sin(math.pi * t)
    return u, 0.5 - 0.2 * envelope * math.sin(2 * math.pi * 2.5 * t)


WAVE = [wave_point(i / 400) for i in range(401)]


def pitch_icon_sample(u, v):
    """A dark note with an up and a down arrow: the pitch control."""
    colour = (0.0, 0.0, 0.0, 0.0)
    ink = (0.18, 0.2, 0.24, 1.0)
    accent = (0.1, 0.45, 0.72, 1.0)
    # note head
    if ((u - 0.36) / 0.2) ** 2 + ((v - 0.76) / 0.14) ** 2 <= 1.0:
        colour = ink
    # stem and flag
    if 0.5 <= u <= 0.58 and 0.14 <= v <= 0.76:
        colour = ink
    if 0.54 <= u <= 0.74 and abs(v - (0.16 + (u - 0.54) * 1.1)) < 0.07:
        colour = ink
    # arrows on the right
    if 0.78 <= u <= 0.98:
        if 0.04 <= v <= 0.3 and abs(u - 0.88) <= (v - 0.04) * 0.45:
            colour = accent
        if 0.7 <= v <= 0.96 and abs(u - 0.88) <= (0.96 - v) * 0.45:
            colour = accent
    return colour


def render(sample, size):
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = sample((x + (sx + 0.5) / SS) / size, (y + (sy + 0.5) / SS) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a > 0:
                row.append(tuple(int(round(255 * min(1.0, acc[i] / acc[3]))) for i in range(3)) + (int(round(255 * a)),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_ico(path, images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        blobs.append(data)
    Path(path).write_bytes(out + b''.join(blobs))


def main(folder):
    folder = Path(folder)
    write_ico(folder / 'Lyrant.ico', [(s, icon_image(render(app_icon_sample, s))) for s in (16, 32, 48)])
    write_ico(folder / 'Pitch.ico', [(16, icon_image(render(pitch_icon_sample, 16)))])


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'app' / 'res')
