#!/usr/bin/env python3
"""Draws the pitch popup's two icons beside its slider: 215 (lower, left end) and 214 (higher,
right end), 24 x 24, with the drawing helpers of draw_icons.py."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from draw_icons import icon_image, render, write_ico  # noqa: E402

INK = (0.18, 0.2, 0.24, 1.0)
ACCENT = (0.1, 0.45, 0.72, 1.0)


def note(u, v, size):
    """A note whose head scales with size (0..1), left half of the icon."""
    head_u, head_v = 0.3, 0.74
    rx, ry = 0.17 * size, 0.12 * size
    if ((u - head_u) / rx) ** 2 + ((v - head_v) / ry) ** 2 <= 1.0:
        return INK
    stem = head_u + rx - 0.06
    if stem <= u <= stem + 0.07 and 0.74 - 0.6 * size <= v <= head_v:
        return INK
    return None


def arrow(u, v, up):
    """A filled arrow on the right, pointing up or down."""
    if not 0.62 <= u <= 0.98:
        return None
    t = v if up else 1.0 - v
    if 0.08 <= t <= 0.48 and abs(u - 0.8) <= (t - 0.08) * 0.45:
        return ACCENT
    if 0.46 <= t <= 0.9 and abs(u - 0.8) <= 0.06:
        return ACCENT
    return None


def lower_sample(u, v):
    return arrow(u, v, False) or note(u, v, 0.85) or (0.0, 0.0, 0.0, 0.0)


def higher_sample(u, v):
    return arrow(u, v, True) or note(u, v, 1.0) or (0.0, 0.0, 0.0, 0.0)


def main(folder):
    folder = Path(folder)
    write_ico(folder / 'PitchLower.ico', [(24, icon_image(render(lower_sample, 24)))])
    write_ico(folder / 'PitchHigher.ico', [(24, icon_image(render(higher_sample, 24)))])


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'app' / 'res')
