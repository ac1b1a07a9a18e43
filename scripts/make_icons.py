#!/usr/bin/env python3
"""Renders data/velmora-tool.svg into the PNG sizes the desktop's icon theme
and the software centres look for (data/icons/<n>x<n>/velmora-tool.png).

Debian 12 ships no SVG renderer among the build's packages, so this draws the
few elements the icon uses (rect with rounded corners, path with M, L, V, H,
A, Z; solid fills, a vertical linear gradient, strokes) itself, with 4x4
samples a pixel. The PNGs are committed; run it again after editing the SVG.

  scripts/make_icons.py          writes the PNGs
  scripts/make_icons.py --check  exits 1 when a committed PNG is out of date
"""
import math
import re
import struct
import sys
import xml.etree.ElementTree as ET
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCE = ROOT / "data" / "velmora-tool.svg"
OUT = ROOT / "data" / "icons"
SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 4
NS = "{http://www.w3.org/2000/svg}"


def colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


class Gradient:
    def __init__(self, element):
        self.stops = [(float(s.get("offset")), colour(s.get("stop-color")))
                      for s in element.iter(NS + "stop")]

    def at(self, t):
        t = min(max(t, 0.0), 1.0)
        for (o0, c0), (o1, c1) in zip(self.stops, self.stops[1:]):
            if t <= o1:
                f = 0.0 if o1 == o0 else (t - o0) / (o1 - o0)
                return tuple(a + (b - a) * f for a, b in zip(c0, c1))
        return self.stops[-1][1]


def arc_points(x0, y0, r, large, sweep, x1, y1, steps=24):
    # Endpoint to centre form for a circular arc.
    mx, my = (x0 - x1) / 2, (y0 - y1) / 2
    d2 = mx * mx + my * my
    r = max(r, math.sqrt(d2))
    k = math.sqrt(max(r * r - d2, 0.0) / d2) * (-1 if large == sweep else 1)
    cx, cy = (x0 + x1) / 2 + k * my, (y0 + y1) / 2 - k * mx
    a0 = math.atan2(y0 - cy, x0 - cx)
    a1 = math.atan2(y1 - cy, x1 - cx)
    delta = a1 - a0
    if sweep and delta < 0:
        delta += 2 * math.pi
    if not sweep and delta > 0:
        delta -= 2 * math.pi
    return [(cx + r * math.cos(a0 + delta * i / steps), cy + r * math.sin(a0 + delta * i / steps))
            for i in range(1, steps + 1)]


def parse_path(d):
    tokens = re.findall(r"[MmLlVvHhAaZz]|-?\d*\.?\d+", d)
    subpaths, current, x, y, command, i = [], None, 0.0, 0.0, None, 0
    while i < len(tokens):
        if tokens[i].isalpha():
            command = tokens[i]
            i += 1
            if command in "Zz":
                current["closed"] = True
                continue
        take = lambda n: [float(t) for t in tokens[i:i + n]]
        rel = command.islower()
        c = command.upper()
        if c == "M":
            px, py = take(2)
            i += 2
            x, y = (x + px, y + py) if rel else (px, py)
            current = {"points": [(x, y)], "closed": False}
            subpaths.append(current)
            command = "l" if rel else "L"
        elif c == "L":
            px, py = take(2)
            i += 2
            x, y = (x + px, y + py) if rel else (px, py)
            current["points"].append((x, y))
        elif c in "VH":
            (v,) = take(1)
            i += 1
            if c == "V":
                y = y + v if rel else v
            else:
                x = x + v if rel else v
            current["points"].append((x, y))
        elif c == "A":
            rx, _ry, _rot, large, sweep, px, py = take(7)
            i += 7
            ex, ey = (x + px, y + py) if rel else (px, py)
            current["points"] += arc_points(x, y, rx, int(large), int(sweep), ex, ey)
            x, y = ex, ey
    return subpaths


def segment_distance(px, py, a, b):
    ax, ay = a
    dx, dy = b[0] - ax, b[1] - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


class Shape:
    def __init__(self, element, gradients):
        fill = element.get("fill", "#000000")
        self.fill = None if fill == "none" else fill
        self.gradient = None
        if self.fill and self.fill.startswith("url("):
            self.gradient = gradients[self.fill[5:-1]]
        self.stroke = element.get("stroke")
        self.width = float(element.get("stroke-width", "1"))
        if element.tag == NS + "rect":
            self.rect = [float(element.get(k, "0")) for k in ("x", "y", "width", "height", "rx")]
            x, y, w, h, _ = self.rect
            self.box = (x, y, x + w, y + h)
        else:
            self.rect = None
            self.subpaths = parse_path(element.get("d"))
            xs = [p[0] for s in self.subpaths for p in s["points"]]
            ys = [p[1] for s in self.subpaths for p in s["points"]]
            self.box = (min(xs), min(ys), max(xs), max(ys))
        pad = self.width / 2 if self.stroke else 0
        self.box = (self.box[0] - pad, self.box[1] - pad, self.box[2] + pad, self.box[3] + pad)

    def fill_colour(self, py):
        if self.gradient:
            return self.gradient.at((py - self.rect[1]) / self.rect[3])
        return colour(self.fill)

    def covers(self, px, py):
        """(inside the fill, inside the stroke)"""
        if self.rect:
            x, y, w, h, r = self.rect
            qx = abs(px - (x + w / 2)) - (w / 2 - r)
            qy = abs(py - (y + h / 2)) - (h / 2 - r)
            d = math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
            return d <= 0, abs(d) <= self.width / 2
        inside, near = False, False
        for sub in self.subpaths:
            pts = sub["points"]
            ring = pts + [pts[0]] if sub["closed"] or self.fill else pts
            for a, b in zip(ring, ring[1:]):
                if (a[1] > py) != (b[1] > py) and px < a[0] + (py - a[1]) * (b[0] - a[0]) / (b[1] - a[1]):
                    inside = not inside
            edges = pts + [pts[0]] if sub["closed"] else pts
            if any(segment_distance(px, py, a, b) <= self.width / 2 for a, b in zip(edges, edges[1:])):
                near = True
        return inside, near


def load_shapes():
    root = ET.parse(SOURCE).getroot()
    gradients = {g.get("id"): Gradient(g) for g in root.iter(NS + "linearGradient")}
    view = [float(v) for v in root.get("viewBox").split()]
    shapes = [Shape(e, gradients) for e in root if e.tag in (NS + "rect", NS + "path")]
    return view[2], shapes


def render(size, extent, shapes):
    scale = extent / size
    rows = []
    for row in range(size):
        line = bytearray([0])
        for column in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = (column + (sx + 0.5) / SAMPLES) * scale
                    py = (row + (sy + 0.5) / SAMPLES) * scale
                    rgb, alpha = (0.0, 0.0, 0.0), 0.0
                    for s in shapes:
                        b = s.box
                        if px < b[0] or px > b[2] or py < b[1] or py > b[3]:
                            continue
                        inside, near = s.covers(px, py)
                        if inside and s.fill:
                            rgb, alpha = s.fill_colour(py), 1.0
                        if near and s.stroke:
                            rgb, alpha = colour(s.stroke), 1.0
                    acc = [acc[0] + rgb[0] * alpha, acc[1] + rgb[1] * alpha,
                           acc[2] + rgb[2] * alpha, acc[3] + alpha]
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            pixel = [acc[i] / acc[3] if acc[3] else 0.0 for i in range(3)] + [a]
            line += bytes(round(v * 255) for v in pixel)
        rows.append(bytes(line))
    return png(size, b"".join(rows))


def png(size, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    check = "--check" in sys.argv[1:]
    extent, shapes = load_shapes()
    stale = []
    for size in SIZES:
        target = OUT / f"{size}x{size}" / "velmora-tool.png"
        data = render(size, extent, shapes)
        if check:
            if not target.exists() or target.read_bytes() != data:
                stale.append(str(target.relative_to(ROOT)))
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        print(f"{target.relative_to(ROOT)}: {len(data)} bytes")
    if stale:
        print("out of date (run scripts/make_icons.py):", *stale, sep="\n  ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
