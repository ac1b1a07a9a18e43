#!/usr/bin/env python3
"""The animation script's LZW encoder against the checker's strict decoder.

The shipped pictures compress too well to ever fill the 4096-entry code
table, so noise is used here to reach the clear-and-restart path and the
code-width changes that a picture alone would never exercise.
"""
import os
import random
import sys
import unittest

sys.dont_write_bytecode = True
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
sys.path.insert(0, os.path.join(ROOT, "data", "tools"))
import gifreader  # noqa: E402
import make_animations  # noqa: E402


class LzwRoundTrip(unittest.TestCase):
    def round_trip(self, pixels, min_code_size):
        data = make_animations.lzw_encode(bytes(pixels), min_code_size)
        self.assertEqual(gifreader.lzw_decode(data, min_code_size, len(pixels)),
                         bytearray(pixels))

    def test_noise_fills_the_code_table_repeatedly(self):
        generator = random.Random(5)
        for min_code_size in (2, 4, 6, 8):
            colours = 1 << min_code_size
            pixels = [generator.randrange(colours) for _ in range(60000)]
            self.round_trip(pixels, min_code_size)

    def test_runs_and_tiny_frames(self):
        self.round_trip([0], 2)
        self.round_trip([3] * 5000, 2)
        self.round_trip([i % 64 for i in range(20000)], 6)


class GifContainer(unittest.TestCase):
    def test_encoded_gif_reads_back_frame_by_frame(self):
        generator = random.Random(9)
        frames = [bytes(generator.randrange(5) for _ in range(7 * 3)) for _ in range(3)]
        palette = [(i * 40, 0, 255 - i * 40) for i in range(5)]
        data = make_animations.encode_gif(frames, 7, 3, palette, 12, "test")
        gif = gifreader.read(data)
        self.assertEqual((gif.width, gif.height, gif.colours, gif.loop_count), (7, 3, 8, 0))
        self.assertEqual([bytes(f.pixels) for f in gif.frames], frames)
        self.assertEqual({(f.delay, f.disposal) for f in gif.frames}, {(12, 1)})

    def test_damaged_file_is_refused(self):
        data = make_animations.encode_gif([bytes(4)], 2, 2, [(0, 0, 0), (1, 1, 1)], 10, "x")
        for cut in (10, len(data) // 2, len(data) - 2):
            with self.assertRaises(gifreader.GifError):
                gifreader.read(data[:cut])


if __name__ == "__main__":
    unittest.main()
