#pragma once
// GIF test data from three sources: a small encoder written here, a file made
// by gifsicle and a hand-assembled byte array, so the walker meets different
// block layouts and LZW streams.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::shell::testing {

using Rgb = std::array<std::uint8_t, 3>;

struct SampleFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // colour indices 0..3, row by row
    std::optional<int> delay;          // a graphic control extension when set
    int disposal = 0;
    std::optional<int> transparent;
};

// GIF89a with a four-colour global table. The image data uses 3-bit codes with
// a clear code before every second pixel, which any decoder reads.
std::vector<std::uint8_t> encodeGif(int width, int height, const std::array<Rgb, 4>& palette,
                                    const std::vector<SampleFrame>& frames);

// A frame filled with one colour index.
SampleFrame solidFrame(int left, int top, int width, int height, std::uint8_t index,
                       std::optional<int> delay, int disposal = 0);

// 12 x 10 screen, three frames of 7 hundredths: a red square moving right over
// white with a blue bar at the bottom; frames 2 and 3 are 6 x 4 sub-frames at
// (2,2) and (5,2) with transparent index 2. Made by gifsicle 1.93 -O2.
const std::vector<std::uint8_t>& gifsicleMovingSquare();

// 4 x 4 screen without a global colour table; a comment, an application
// extension, then three frames with local colour tables: 2 x 2 at (1,1) delay 3
// disposal 2, 4 x 4 at (0,0) delay 5 disposal 3, 1 x 1 at (3,3) without a
// control extension.
const std::vector<std::uint8_t>& handAssembled();

}  // namespace velmora::shell::testing
