#!/usr/bin/env python3
"""Draws the PNG images of our skins: the manager's skin (data/Skin/Skin.png) and the test skin
(uilib/skin/tests/skins/TestSkin.png). The descriptions beside them name rectangles of these
images, so a change of geometry here goes together with a change there.

Run from anywhere: python3 uilib/tools/draw_skins.py
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngfile import write_png  # noqa: E402

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class Canvas:
    """Straight-alpha RGBA pixels with 'over' compositing and coverage-based shapes."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [(0, 0, 0, 0)] * (width * height)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, rgba):
        self.px[y * self.w + x] = tuple(int(round(max(0, min(255, c)))) for c in rgba)

    def blend(self, x, y, rgb, alpha):
        """Composites a colour with opacity alpha (0..1) over the pixel."""
        if alpha <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        r, g, b, a = self.get(x, y)
        sa, da = alpha, a / 255.0
        oa = sa + da * (1 - sa)
        if oa <= 0:
            return
        out = [(c * sa + d * da * (1 - sa)) / oa for c, d in zip(rgb, (r, g, b))]
        self.set(x, y, (*out, oa * 255))

    def fill(self, x0, y0, w, h, rgb, alpha=1.0):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.blend(x, y, rgb, alpha)

    def put(self, x0, y0, w, h, rgba):
        """Writes pixels as they are, alpha included (no compositing)."""
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.set(x, y, rgba)

    def gradient(self, x0, y0, w, h, stops):
        """Vertical gradient through stops [(t, rgb), ...] with t from 0 (top) to 1 (bottom)."""
        for y in range(y0, y0 + h):
            t = (y - y0) / max(1, h - 1)
            rgb = sample(stops, t)
            for x in range(x0, x0 + w):
                self.blend(x, y, rgb, 1.0)

    def shape(self, x0, y0, w, h, coverage, paint):
        """Blends paint(x, y) with the shape's coverage (a function of the pixel's centre)."""
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                c = coverage(x + 0.5, y + 0.5)
                if c > 0:
                    self.blend(x, y, paint(x, y), c)

    def save(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write_png(path, self.w, self.h, self.px)


def sample(stops, t):
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            f = 0 if t1 == t0 else (t - t0) / (t1 - t0)
            return tuple(a + (b - a) * f for a, b in zip(c0, c1))
    return stops[-1][1]


def hexrgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def rounded_rect(x0, y0, w, h, radius, corners="tl tr bl br"):
    """Coverage of a rectangle whose listed corners are rounded (about one pixel of edge blur)."""
    def cov(px, py):
        dx = dy = 0.0
        if px < x0 + radius and py < y0 + radius and "tl" in corners:
            dx, dy = x0 + radius - px, y0 + radius - py
        elif px > x0 + w - radius and py < y0 + radius and "tr" in corners:
            dx, dy = px - (x0 + w - radius), y0 + radius - py
        elif px < x0 + radius and py > y0 + h - radius and "bl" in corners:
            dx, dy = x0 + radius - px, py - (y0 + h - radius)
        elif px > x0 + w - radius and py > y0 + h - radius and "br" in corners:
            dx, dy = px - (x0 + w - radius), py - (y0 + h - radius)
        else:
            inside = x0 <= px <= x0 + w and y0 <= py <= y0 + h
            return 1.0 if inside else 0.0
        return max(0.0, min(1.0, radius - math.hypot(dx, dy) + 0.5))
    return cov


def segment(ax, ay, bx, by, width):
    """Coverage of a line with round caps."""
    def cov(px, py):
        vx, vy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
        d = math.hypot(px - (ax + t * vx), py - (ay + t * vy))
        return max(0.0, min(1.0, width / 2 - d + 0.5))
    return cov


# --- the manager's skin -------------------------------------------------------------------

W, H = 360, 240          # design size of the frame
CAPTION = 34             # caption band height
BOTTOM = 91              # bottom band height: with the caption, the 125 pixels the dialog plans for
SIDE = 6                 # side border width
RADIUS = 8               # outer corner radius
BUTTONS_Y = H + 4        # button pictures live below the frame
BTN = 18                 # caption button size

OUTLINE = hexrgb("#17283A")
CAPTION_STOPS = [(0.0, hexrgb("#3F6E96")), (0.45, hexrgb("#2B5578")), (1.0, hexrgb("#1D3D5C"))]
SIDE_RGB = hexrgb("#1D3D5C")
BAND_STOPS = [(0.0, hexrgb("#EEF2F6")), (1.0, hexrgb("#D7DFE8"))]


def manager_frame(c):
    body = rounded_rect(0, 0, W, H, RADIUS)
    # Outline first, then the bands one pixel inside it.
    c.shape(0, 0, W, H, body, lambda x, y: OUTLINE)
    inner = rounded_rect(1, 1, W - 2, H - 2, RADIUS - 1)

    def paint(x, y):
        if y < CAPTION:
            return sample(CAPTION_STOPS, y / (CAPTION - 1))
        if y >= H - BOTTOM:
            return sample(BAND_STOPS, (y - (H - BOTTOM)) / (BOTTOM - 1)) if SIDE <= x < W - SIDE or y >= H - BOTTOM + 1 else SIDE_RGB
        return SIDE_RGB
    c.shape(1, 1, W - 2, H - 2, inner, paint)
    # A gloss line under the outline and a separator above the bottom band.
    c.shape(2, 1, W - 4, 1, rounded_rect(1, 1, W - 2, H - 2, RADIUS - 1), lambda x, y: hexrgb("#7FA6C8"))
    c.fill(1, H - BOTTOM, W - 2, 1, hexrgb("#9FB3C6"))
    # The client area is left to the dialog: fully transparent.
    c.put(SIDE, CAPTION, W - 2 * SIDE, H - CAPTION - BOTTOM, (0, 0, 0, 0))


def caption_button(c, x0, y0, glyph, face, ring, glyph_rgb, glyph_alpha=1.0):
    """A rounded square button with transparent corners and a drawn glyph."""
    shape = rounded_rect(x0, y0, BTN, BTN, 5)
    if face is not None:
        c.shape(x0, y0, BTN, BTN, shape, lambda x, y: face)
        c.shape(x0, y0, BTN, BTN, lambda px, py: shape(px, py) - rounded_rect(x0 + 1, y0 + 1, BTN - 2, BTN - 2, 4)(px, py),
                lambda x, y: ring)
    cx, cy = x0 + BTN / 2, y0 + BTN / 2
    if glyph == "min":
        cov = segment(cx - 4.5, cy + 3.5, cx + 4.5, cy + 3.5, 2.0)
    else:
        a, b = segment(cx - 4, cy - 4, cx + 4, cy + 4, 1.8), segment(cx + 4, cy - 4, cx - 4, cy + 4, 1.8)
        cov = lambda px, py: max(a(px, py), b(px, py))  # noqa: E731
    c.shape(x0, y0, BTN, BTN, lambda px, py: cov(px, py) * glyph_alpha, lambda x, y: glyph_rgb)


def manager_skin():
    c = Canvas(W, H + 2 * (BTN + 4) + 4)
    manager_frame(c)
    white = hexrgb("#FFFFFF")
    y = BUTTONS_Y
    # Minimize: Normal, Hot, Pushed, Disabled.
    caption_button(c, 0, y, "min", None, None, white, 0.85)
    caption_button(c, 20, y, "min", hexrgb("#4C7DA6"), hexrgb("#6F9CC2"), white)
    caption_button(c, 40, y, "min", hexrgb("#17344F"), hexrgb("#0F253A"), white)
    caption_button(c, 60, y, "min", None, None, white, 0.35)
    y += BTN + 4
    # Close: Normal, Hot, Pushed, Disabled.
    caption_button(c, 0, y, "close", None, None, white, 0.85)
    caption_button(c, 20, y, "close", hexrgb("#D9473B"), hexrgb("#F07468"), white)
    caption_button(c, 40, y, "close", hexrgb("#A8261C"), hexrgb("#7E1A13"), white)
    caption_button(c, 60, y, "close", None, None, white, 0.35)
    c.save(os.path.join(TOP, "data", "Skin", "Skin.png"))


# --- the test skin --------------------------------------------------------------------------
# Every frame part a colour of its own (a pixel tells which part drew it), TopMiddle and
# BottomMiddle striped with period 4 (tiling keeps the period, stretching widens it), rounded
# outer corners with partial alpha, buttons with transparent corners.

TW, TH = 120, 80
PARTS = {  # name: (x, y, cx, cy, rgb)
    "TopLeft": (0, 0, 20, 24, (255, 0, 0)),
    "TopMiddle": (20, 0, 80, 24, None),
    "TopRight": (100, 0, 20, 24, (0, 255, 0)),
    "MiddleRight": (112, 24, 8, 32, (0, 0, 255)),
    "BottomRight": (100, 56, 20, 24, (255, 255, 0)),
    "BottomMiddle": (20, 72, 80, 8, None),
    "BottomLeft": (0, 56, 20, 24, (0, 255, 255)),
    "MiddleLeft": (0, 24, 8, 32, (255, 128, 0)),
}
STRIPE_A, STRIPE_B = (128, 0, 128), (255, 255, 255)


def test_skin():
    c = Canvas(200, 120)
    for name, (x, y, w, h, rgb) in PARTS.items():
        if rgb is None:
            for col in range(w):
                c.put(x + col, y, 1, h, (*(STRIPE_A if (col // 2) % 2 == 0 else STRIPE_B), 255))
        else:
            c.put(x, y, w, h, (*rgb, 255))
    # Rounded outer corners: alpha falls off over the corner's arc (partial alpha, not a cut).
    for (x0, y0), corner in (((0, 0), "tl"), ((TW - 8, 0), "tr"), ((0, TH - 8), "bl"), ((TW - 8, TH - 8), "br")):
        cov = rounded_rect(0, 0, TW, TH, 8, corner)
        for y in range(y0, y0 + 8):
            for x in range(x0, x0 + 8):
                r, g, b, _ = c.get(x, y)
                c.set(x, y, (r, g, b, 255 * cov(x + 0.5, y + 0.5)))
    # Buttons, 16 x 16, transparent 3-pixel corners: Normal, Hot, Pushed, Disabled.
    for i, rgb in enumerate(((200, 0, 0), (0, 200, 0), (0, 0, 200), (128, 128, 128))):
        x0 = 130 + 16 * i
        c.put(x0, 0, 16, 16, (*rgb, 255))
        for y in range(3):
            for x in range(3 - y):
                for px, py in ((x0 + x, y), (x0 + 15 - x, y), (x0 + x, 15 - y), (x0 + 15 - x, 15 - y)):
                    c.set(px, py, (0, 0, 0, 0))
    # Text button ends and middle for Normal (row 20) and Hot (row 40): Left 6, Middle 4, Right 6.
    for row, (end, mid) in ((20, ((64, 0, 0), (96, 96, 96))), (40, ((0, 64, 0), (160, 160, 160)))):
        c.put(130, row, 6, 20, (*end, 255))
        c.put(136, row, 4, 20, (*mid, 255))
        c.put(140, row, 6, 20, (*end, 255))
        c.set(130, row, (0, 0, 0, 0))  # a transparent outer corner on each end
        c.set(145, row, (0, 0, 0, 0))
    # Nine-slice picture 12 x 12, margins 3: corners red, edges green, centre blue.
    for y in range(12):
        for x in range(12):
            edge_x, edge_y = x < 3 or x >= 9, y < 3 or y >= 9
            rgb = (255, 0, 0) if edge_x and edge_y else ((0, 255, 0) if edge_x or edge_y else (0, 0, 255))
            c.set(150 + x, 20 + y, (*rgb, 255))
    # Tile stripes 6 x 4: three columns dark, three light.
    for x in range(6):
        c.put(150 + x, 40, 1, 4, (*((0, 0, 0) if x < 3 else (255, 255, 255)), 255))
    # A logo with a transparent margin: 10 x 10 with an opaque 6 x 6 centre.
    c.put(170, 20, 10, 10, (0, 0, 0, 0))
    c.put(172, 22, 6, 6, (10, 20, 30, 255))
    c.save(os.path.join(TOP, "uilib", "skin", "tests", "skins", "TestSkin.png"))


if __name__ == "__main__":
    manager_skin()
    test_skin()
