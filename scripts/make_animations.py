#!/usr/bin/env python3
"""Draws the run-in page's animations: a spindle motor whose collet nut and
cutter turn, with a rotation arrow and the page's caption in each language.

Writes data/data_language/animation_NN.gif (GIF89a, looping, one graphic
control extension with its delay per frame). Uses only the standard library:
the picture is computed pixel by pixel and packed by the small LZW encoder
below. --check compares the committed files with what would be written.
"""
import argparse
import math
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "data", "data_language")

# The scene is drawn in a 160 x 96 design space and sampled at 1.25 times that.
DESIGN_W, DESIGN_H = 160, 96
SCALE = 1.25
WIDTH, HEIGHT = int(DESIGN_W * SCALE), int(DESIGN_H * SCALE)
FRAMES = 12
DELAY = 6  # hundredths of a second per frame
# 15 degrees a frame: after 12 frames the two flutes (180 degrees apart) and
# the six nut notches (60 degrees apart) are back where they started.
STEP = math.radians(15)

CAPTIONS = {1: "RUN-IN", 2: "EINLAUF"}


def _ramp(dark, light, count):
    return [tuple(round(d + (l - d) * i / (count - 1)) for d, l in zip(dark, light))
            for i in range(count)]


GREY = _ramp((62, 70, 80), (228, 233, 238), 12)
BRASS = _ramp((112, 84, 38), (238, 208, 132), 8)
STEEL = _ramp((96, 102, 110), (242, 244, 246), 8)
NAMED = {
    "background": (240, 240, 240),
    "shadow": (206, 207, 209),
    "cable": (38, 42, 46),
    "notch": (78, 58, 24),
    "flute": (52, 58, 64),
    "led_on": (0, 210, 70),
    "led_off": (30, 84, 48),
    "arrow": (28, 140, 72),
    "text": (48, 54, 60),
}
PALETTE = list(NAMED.values()) + GREY + BRASS + STEEL
INDEX = {name: i for i, name in enumerate(NAMED)}
GREY0 = len(NAMED)
BRASS0 = GREY0 + len(GREY)
STEEL0 = BRASS0 + len(BRASS)

# 5 x 7 glyphs for the captions.
GLYPHS = {
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}
GLYPH_MODULE = 1.6  # design units per glyph pixel: two output pixels


def _shade(ramp_start, count, t, highlight=0.3):
    """A cylinder lit from above: brightest a third of the way down."""
    brightness = max(0.0, min(1.0, 1.0 - abs(t - highlight) * 1.45))
    return ramp_start + min(count - 1, int(brightness * count))


def _text_pixel(text, x, y, top):
    width = len(text) * 6 - 1
    left = (DESIGN_W - width * GLYPH_MODULE) / 2
    col = int((x - left) // GLYPH_MODULE)
    row = int((y - top) // GLYPH_MODULE)
    if x < left or y < top or not 0 <= row < 7 or not 0 <= col < width:
        return False
    glyph = GLYPHS[text[col // 6]]
    return col % 6 < 5 and glyph[row][col % 6] == "1"


def _arrow(x, y, frame):
    """Dashes marching along an arc over the cutter, ending in an arrow head."""
    cx, cy, rx, ry = 140.0, 48.0, 12.0, 25.0
    u, v = (x - cx) / rx, (cy - y) / ry
    radius = math.hypot(u, v)
    angle = math.degrees(math.atan2(v, u))
    if abs(radius - 1.0) < 0.085 and 35.0 <= angle <= 150.0:
        dash = ((angle - 35.0) / 23.0 - frame / 4.0) % 1.0
        return dash < 0.62
    # Head at the 150-degree end, pointing along the direction of travel.
    theta = math.radians(150.0)
    px, py = cx + rx * math.cos(theta), cy - ry * math.sin(theta)
    dx, dy = -rx * math.sin(theta), ry * math.cos(theta)
    length = math.hypot(dx, dy)
    dx, dy = dx / length, dy / length
    along = (x - px) * dx + (y - py) * dy
    across = abs(-(x - px) * dy + (y - py) * dx)
    return 0.0 <= along <= 7.0 and across <= 4.5 * (1.0 - along / 7.0)


def _scene(x, y, frame, caption):
    phase = frame * STEP
    if 78.0 <= y < 78.0 + 7 * GLYPH_MODULE:
        dots = "." * ((frame // 3) % 4)
        text = caption + dots + " " * (3 - len(dots))
        return INDEX["text"] if _text_pixel(text, x, y, 78.0) else INDEX["background"]
    if _arrow(x, y, frame):
        return INDEX["arrow"]
    if 0 <= x < 7 and 46 <= y < 50:
        return INDEX["cable"]
    if 6 <= x < 10 and 31 <= y < 65:
        return _shade(GREY0, 6, (y - 31) / 34)
    if 10 <= x < 92 and 28 <= y < 68:
        if math.hypot((x - 80) / 2.2, (y - 35) / 2.2) <= 1.0:
            return INDEX["led_on"] if frame < FRAMES // 2 else INDEX["led_off"]
        level = _shade(GREY0, len(GREY), (y - 28) / 40)
        if 14 <= x < 64 and (x - 14) % 6 < 1.3:
            level = max(GREY0, level - 4)  # cooling groove
        return level
    if 92 <= x < 100 and 22 <= y < 74:
        return _shade(GREY0 + 2, len(GREY) - 2, (y - 22) / 52)
    if 100 <= x < 112 and 34 <= y < 62:
        for k in range(6):
            angle = phase + k * math.pi / 3
            facing = math.cos(angle)
            if facing > 0.15 and abs(y - (48 - 13.5 * math.sin(angle))) < 0.5 + 1.3 * facing:
                return INDEX["notch"]
        return _shade(BRASS0, len(BRASS), (y - 34) / 28)
    if 112 <= x < 128 and 43 <= y < 53:
        return _shade(STEEL0, len(STEEL), (y - 43) / 10)
    if 128 <= x < 155 and abs(y - 48) < 4.6 * min(1.0, (155 - x) / 5):
        if x < 150:
            for k in range(2):
                angle = phase + (x - 128) * 0.33 + k * math.pi
                if math.cos(angle) > 0 and abs(y - (48 - 4.6 * math.sin(angle))) < 0.95:
                    return INDEX["flute"]
        return _shade(STEEL0, len(STEEL), (y - 43.4) / 9.2)
    if math.hypot((x - 56) / 54, (y - 74) / 3.0) <= 1.0:
        return INDEX["shadow"]
    return INDEX["background"]


def render(frame, caption):
    pixels = bytearray(WIDTH * HEIGHT)
    for row in range(HEIGHT):
        y = (row + 0.5) / SCALE
        for col in range(WIDTH):
            pixels[row * WIDTH + col] = _scene((col + 0.5) / SCALE, y, frame, caption)
    return pixels


class _BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.buffer = 0
        self.count = 0

    def write(self, code, width):
        self.buffer |= code << self.count
        self.count += width
        while self.count >= 8:
            self.out.append(self.buffer & 0xFF)
            self.buffer >>= 8
            self.count -= 8

    def finish(self):
        if self.count:
            self.out.append(self.buffer & 0xFF)
        return bytes(self.out)


def lzw_encode(pixels, min_code_size):
    """Variable-width LZW as GIF uses it, with a clear code when the table fills."""
    clear = 1 << min_code_size
    end = clear + 1
    writer = _BitWriter()

    def reset():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = reset()
    writer.write(clear, width)
    current = b""
    for value in pixels:
        extended = current + bytes([value])
        if extended in table:
            current = extended
            continue
        writer.write(table[current], width)
        if next_code < 4096:
            table[extended] = next_code
            next_code += 1
            # The decoder widens one code later than the encoder assigns.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            writer.write(clear, width)
            table, next_code, width = reset()
        current = bytes([value])
    if current:
        writer.write(table[current], width)
    writer.write(end, width)
    return writer.finish()


def _sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start:start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def encode_gif(frames, width, height, palette, delay, comment):
    bits = max(2, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    out = bytearray(b"GIF89a")
    out += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    out += bytes([0x80 | (bits - 1) << 4 | (bits - 1), 0, 0])
    for colour in table:
        out += bytes(colour)
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    out += b"\x21\xfe" + _sub_blocks(comment.encode("ascii"))
    for pixels in frames:
        # Disposal 1: every frame covers the whole picture and stays until the next.
        out += b"\x21\xf9\x04" + bytes([1 << 2]) + delay.to_bytes(2, "little") + b"\x00\x00"
        out += b"\x2c" + bytes(4) + width.to_bytes(2, "little") + height.to_bytes(2, "little")
        out += b"\x00" + bytes([bits]) + _sub_blocks(lzw_encode(pixels, bits))
    out += b"\x3b"
    return bytes(out)


def build(language):
    frames = [render(frame, CAPTIONS[language]) for frame in range(FRAMES)]
    comment = "Velmora run-in animation, drawn by scripts/make_animations.py"
    return encode_gif(frames, WIDTH, HEIGHT, PALETTE, DELAY, comment)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="only compare the committed files with fresh ones")
    args = parser.parse_args()
    stale = []
    for language in sorted(CAPTIONS):
        path = os.path.join(OUTPUT, f"animation_{language:02d}.gif")
        data = build(language)
        if args.check:
            try:
                with open(path, "rb") as handle:
                    if handle.read() == data:
                        continue
            except OSError:
                pass
            stale.append(path)
            continue
        with open(path + ".tmp", "wb") as handle:
            handle.write(data)
        os.replace(path + ".tmp", path)
        print(f"wrote {path} ({len(data)} bytes)")
    for path in stale:
        print(f"{path} differs from what scripts/make_animations.py makes; run it")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
