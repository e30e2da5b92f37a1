#!/usr/bin/env python3
"""Writes demo.srp, the paint script that `palmora demo` paints: an evening lake under mountains,
with every brush of the host at work. The records follow the paint-script format the engine's
Lua filters record (see docs/palmora.md); run this again after changing the picture."""
import math
import os
import random

W, H = 960, 640
HORIZON = 400


class Script:
    def __init__(self, seed):
        self.lines = ["1554", "Description", "1", " ", "RandomSeed", str(seed),
                      "CanvasSize", str(W), str(H)]

    def record(self, keyword, *fields):
        self.lines.append(keyword)
        self.lines.extend(f if isinstance(f, str) else "%.14g" % f for f in fields)

    def brush(self, name, size, opacity=100, density=100, angle=0, picture="0"):
        self.record("SelectBrush", name, angle, picture)
        self.record("SetBrushSize", size)
        self.record("SetBrushOpacity", opacity)
        self.record("SetBrushDensity", density)

    def color(self, rgb):
        self.record("SetColor", *[int(max(0, min(255, c))) for c in rgb])

    def stroke(self, points):
        """points: (x, y, pressure) along the pen's path."""
        x, y, _ = points[0]
        self.record("DrawStart", x, y, -1)
        self.record("SmoothPlot2", 0, 0, 0, 1, 0)
        for px, py, p in points:
            self.record("SmoothPlot2", round(px, 2), round(py, 2), round(p, 3), 0, 0)
        self.record("SmoothPlot2", 0, 0, 0, 0, 1)
        self.record("DrawStop", 1)

    def save(self, path):
        self.lines.append("ScriptEnd")
        with open(path, "w") as out:
            out.write("\n".join(self.lines) + "\n")


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def line(x0, y0, x1, y1, p0=1.0, p1=1.0, n=12, wobble=0.0, rng=None):
    pts = []
    for i in range(n + 1):
        t = i / n
        dy = rng.uniform(-wobble, wobble) if rng and wobble else 0
        pts.append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * t + dy, p0 + (p1 - p0) * t))
    return pts


def ridge(x, base, height, phase):
    return base - height * (0.55 + 0.3 * math.sin(x / 97 + phase) + 0.15 * math.sin(x / 31 + 2 * phase))


def main():
    rng = random.Random(7)
    s = Script(20261208)

    # Evening sky: broad airbrush bands from deep blue to a warm glow at the horizon.
    top, mid, low = (38, 52, 120), (190, 110, 150), (255, 190, 110)
    s.brush("airbrush", 200, opacity=100)
    for band in range(0, HORIZON + 60, 28):
        t = band / HORIZON
        s.color(mix(top, mid, t / 0.6) if t < 0.6 else mix(mid, low, min(1, (t - 0.6) / 0.4)))
        for _ in range(2):
            s.stroke(line(-80, band, W + 80, band, n=8, wobble=6, rng=rng))

    # The sky's airbrush bands melted together by an effect, run from the script.
    s.record("Filter", "Smart Blur", 0, 600, 400, 0, 0, 0, 0, *([0] * 8), 0, 0, 0, "0")

    # The sun and its glow.
    SUN = (730, 238)
    s.brush("airbrush", 256, opacity=100)
    s.color((255, 210, 140))
    for r in (0, 12, 24):
        s.stroke(line(SUN[0] - r, SUN[1], SUN[0] + r, SUN[1] + 4, n=4))
    s.brush("airbrush", 64, opacity=100)
    s.color((255, 250, 225))
    for _ in range(8):
        s.stroke(line(SUN[0] - 6, SUN[1], SUN[0] + 6, SUN[1], n=4))

    # Clouds wiped out of the sky with a light eraser: the paper shows through in puffs.
    s.brush("eraser", 44, opacity=22)
    for cx, cy, length in ((150, 120, 240), (430, 70, 180), (840, 150, 130), (300, 215, 150)):
        for k in range(7):
            inset = abs(k - 3) * 24 + rng.uniform(0, 18)
            y = cy + 6 * k
            s.stroke(line(cx + inset, y, cx + length - inset, y + rng.uniform(-2, 2), 0.5, 1.0,
                          n=10, wobble=2, rng=rng))

    # Evening light on the clouds' undersides.
    s.brush("airbrush", 50, opacity=60)
    s.color((250, 160, 150))
    for cx, cy, length in ((150, 120, 240), (430, 70, 180), (840, 150, 130), (300, 215, 150)):
        s.stroke(line(cx + 30, cy + 34, cx + length - 30, cy + 34, n=8))

    # Far mountains: wet oil strokes pulled down from the ridge, picking up the sky's colour.
    for layer, (colour, base, height, phase, width) in enumerate((
            ((110, 90, 150), HORIZON, 150, 0.0, 26),
            ((60, 55, 100), HORIZON, 100, 1.7, 30))):
        s.brush("oil", width)
        x = -10
        while x < W + 10:
            y0 = ridge(x, base, height, phase)
            s.color(mix(colour, (30, 30, 60), rng.uniform(0, 0.25)))
            s.stroke(line(x, y0 - 6, x + rng.uniform(-6, 6), HORIZON + 4, 0.3, 1.0, n=6))
            x += width * 0.3

    # The lake: textured horizontal strokes, darker towards the shore.
    water_far, water_near = (120, 110, 170), (25, 40, 80)
    s.brush("textured brush", 34)
    y = HORIZON
    while y < H + 20:
        t = (y - HORIZON) / (H - HORIZON)
        s.color(mix(water_far, water_near, t))
        x = -40
        while x < W:
            length = rng.uniform(140, 320)
            s.stroke(line(x, y, x + length, y + rng.uniform(-2, 2), 0.6, 1.0, n=8))
            x += length * 0.8
        y += 14

    # The sun's path on the water: chalky dashes, and a smudge to wet them.
    s.brush("grit chalk", 16)
    for k in range(28):
        yy = HORIZON + 8 + k * 8
        spread = 14 + k * 3.0
        s.color(mix((255, 235, 170), (240, 140, 90), k / 28))
        for _ in range(2):
            xx = SUN[0] + rng.uniform(-spread, spread)
            s.stroke(line(xx - 14 - k, yy, xx + 14 + k, yy + rng.uniform(-1, 1), 0.5, 1.0, n=4))
    s.brush("smudge", 24, opacity=60)
    for k in range(10):
        yy = HORIZON + 12 + k * 22
        s.stroke(line(SUN[0] - 100 - k * 6, yy, SUN[0] + 100 + k * 6, yy, n=10))

    # A dark shore and meadow in the foreground, in dry chalk.
    s.brush("grit chalk", 40)
    for k in range(26):
        x0 = -40 + k * 22
        y0 = 560 + 40 * math.sin(k / 4) - (300 - k * 11 if k < 27 else 0) * 0
        s.color(mix((40, 70, 35), (85, 110, 45), rng.random()))
        s.stroke(line(x0, H + 20, x0 + rng.uniform(20, 60), 540 + 30 * math.sin(k / 3), 1.0, 0.4, n=8))
    # Grass blades: pencil flicks.
    s.brush("pencil", 5)
    for _ in range(140):
        x = rng.uniform(-10, 560)
        base = H + 5
        tip = 520 + 40 * math.sin(x / 70) + rng.uniform(-30, 20)
        if tip > base - 20:
            continue
        s.color(mix((30, 60, 25), (150, 170, 70), rng.random()))
        bend = rng.uniform(-25, 25)
        s.stroke([(x, base, 1.0), (x + bend * 0.3, (base + tip) / 2, 0.7), (x + bend, tip, 0.2)])

    # Leaves blown across the meadow: the image brush.
    for _ in range(22):
        s.brush("image brush", int(rng.uniform(26, 46)), angle=int(rng.uniform(-60, 60)))
        x, y = rng.uniform(30, 520), rng.uniform(520, 620)
        s.record("Dab", round(x, 1), round(y, 1), 1)

    # Birds: pencil ticks in the sky.
    s.brush("pencil", 4)
    s.color((30, 25, 45))
    for bx, by, span in ((520, 190, 22), (560, 170, 16), (600, 205, 18), (470, 230, 12)):
        s.stroke([(bx - span, by - span * 0.35, 0.3), (bx - span * 0.4, by - span * 0.45, 0.8),
                  (bx, by, 1.0), (bx + span * 0.4, by - span * 0.45, 0.8),
                  (bx + span, by - span * 0.35, 0.3)])

    here = os.path.dirname(os.path.abspath(__file__))
    s.save(os.path.join(here, "demo.srp"))


if __name__ == "__main__":
    main()
