"""A strict GIF reader for checking the shipped animations.

It walks every block, decodes every frame's LZW data and refuses anything a
player could misread: truncated blocks, frames outside the logical screen,
colour indices beyond the table, and image data that does not fill its frame.
"""
from dataclasses import dataclass, field


class GifError(Exception):
    pass


@dataclass
class Frame:
    left: int
    top: int
    width: int
    height: int
    delay: int
    disposal: int
    pixels: bytearray


@dataclass
class Gif:
    width: int
    height: int
    colours: int
    loop_count: int = None
    frames: list = field(default_factory=list)


class _Cursor:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, count):
        if self.pos + count > len(self.data):
            raise GifError(f"truncated at byte {self.pos}")
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk

    def byte(self):
        return self.take(1)[0]

    def word(self):
        low, high = self.take(2)
        return low | high << 8

    def sub_blocks(self):
        chunks = []
        while True:
            size = self.byte()
            if size == 0:
                return b"".join(chunks)
            chunks.append(self.take(size))


def lzw_decode(data, min_code_size, pixel_count):
    if not 2 <= min_code_size <= 8:
        raise GifError(f"LZW minimum code size {min_code_size}")
    clear = 1 << min_code_size
    end = clear + 1
    width = min_code_size + 1
    table = [bytes([i]) for i in range(clear)] + [b"", b""]
    out = bytearray()
    previous = None
    bit_buffer = bit_count = 0
    position = 0
    while True:
        while bit_count < width:
            if position >= len(data):
                raise GifError("image data ends without an end code")
            bit_buffer |= data[position] << bit_count
            position += 1
            bit_count += 8
        code = bit_buffer & ((1 << width) - 1)
        bit_buffer >>= width
        bit_count -= width
        if code == clear:
            table = table[:clear + 2]
            width = min_code_size + 1
            previous = None
            continue
        if code == end:
            break
        if code < len(table):
            entry = table[code]
            if previous is not None:
                table.append(previous + entry[:1])
        elif code == len(table) and previous is not None:
            entry = previous + previous[:1]
            table.append(entry)
        else:
            raise GifError(f"LZW code {code} not in the table")
        out += entry
        previous = entry
        if len(table) == 1 << width and width < 12:
            width += 1
    if len(out) != pixel_count:
        raise GifError(f"frame data holds {len(out)} pixels, expected {pixel_count}")
    return out


def read(data):
    cursor = _Cursor(data)
    if cursor.take(6) not in (b"GIF87a", b"GIF89a"):
        raise GifError("no GIF signature")
    gif = Gif(cursor.word(), cursor.word(), 0)
    packed = cursor.byte()
    cursor.take(2)
    if packed & 0x80:
        gif.colours = 2 << (packed & 7)
        cursor.take(3 * gif.colours)
    if gif.width == 0 or gif.height == 0:
        raise GifError("empty logical screen")
    delay = disposal = 0
    while True:
        introducer = cursor.byte()
        if introducer == 0x3B:
            break
        if introducer == 0x21:
            label = cursor.byte()
            body = cursor.sub_blocks()
            if label == 0xF9:
                if len(body) != 4:
                    raise GifError("graphic control extension of the wrong size")
                disposal = (body[0] >> 2) & 7
                delay = body[1] | body[2] << 8
            elif label == 0xFF and body[:11] == b"NETSCAPE2.0" and len(body) == 14:
                gif.loop_count = body[12] | body[13] << 8
            continue
        if introducer != 0x2C:
            raise GifError(f"unknown block 0x{introducer:02X} at byte {cursor.pos - 1}")
        left, top, width, height = (cursor.word() for _ in range(4))
        packed = cursor.byte()
        colours = gif.colours
        if packed & 0x80:
            colours = 2 << (packed & 7)
            cursor.take(3 * colours)
        if packed & 0x40:
            raise GifError("interlaced frames are not expected here")
        if width == 0 or height == 0:
            raise GifError("zero-sized frame")
        if left + width > gif.width or top + height > gif.height:
            raise GifError("frame outside the logical screen")
        min_code_size = cursor.byte()
        pixels = lzw_decode(cursor.sub_blocks(), min_code_size, width * height)
        if colours == 0 or max(pixels) >= colours:
            raise GifError("colour index beyond the colour table")
        gif.frames.append(Frame(left, top, width, height, delay, disposal, pixels))
        delay = disposal = 0
    if not gif.frames:
        raise GifError("no frame")
    return gif
