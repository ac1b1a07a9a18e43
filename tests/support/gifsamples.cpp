#include "tests/support/gifsamples.h"

#include <algorithm>

namespace velmora::shell::testing {

namespace {

void put16(std::vector<std::uint8_t>& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Minimum code size 2: clear 4, end 5. A clear before every second pixel keeps
// the decoder's table below 8 entries, so every code stays 3 bits wide.
void putImageData(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& pixels) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0) codes.push_back(4);
        codes.push_back(pixels[i] & 3);
    }
    codes.push_back(5);
    std::vector<std::uint8_t> packed;
    unsigned bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= static_cast<unsigned>(code) << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) packed.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    out.push_back(2);
    for (std::size_t i = 0; i < packed.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(i),
                   packed.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> encodeGif(int width, int height, const std::array<Rgb, 4>& palette,
                                    const std::vector<SampleFrame>& frames) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, width);
    put16(out, height);
    out.insert(out.end(), {0x81, 0, 0});  // global table of 4 entries, background 0
    for (const Rgb& colour : palette) out.insert(out.end(), colour.begin(), colour.end());
    for (const SampleFrame& frame : frames) {
        if (frame.delay) {
            const auto packed =
                static_cast<std::uint8_t>((frame.disposal << 2) | (frame.transparent ? 1 : 0));
            out.insert(out.end(), {0x21, 0xF9, 4, packed});
            put16(out, *frame.delay);
            out.push_back(static_cast<std::uint8_t>(frame.transparent.value_or(0)));
            out.push_back(0);
        }
        out.push_back(0x2C);
        put16(out, frame.left);
        put16(out, frame.top);
        put16(out, frame.width);
        put16(out, frame.height);
        out.push_back(0);
        putImageData(out, frame.pixels);
    }
    out.push_back(0x3B);
    return out;
}

SampleFrame solidFrame(int left, int top, int width, int height, std::uint8_t index,
                       std::optional<int> delay, int disposal) {
    SampleFrame frame{left, top, width, height, {}, delay, disposal, std::nullopt};
    frame.pixels.assign(static_cast<std::size_t>(width * height), index);
    return frame;
}

const std::vector<std::uint8_t>& gifsicleMovingSquare() {
    // gifsicle -O2 --delay 7 --loopcount=forever f0.gif f1.gif f2.gif
    static const std::vector<std::uint8_t> bytes = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x0c, 0x00, 0x0a, 0x00, 0xf1, 0x00, 0x00, 0xff,
        0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b,
        0x4e, 0x45, 0x54, 0x53, 0x43, 0x41, 0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00,
        0x00, 0x00, 0x21, 0xf9, 0x04, 0x04, 0x07, 0x00, 0xff, 0x00, 0x2c, 0x00, 0x00, 0x00,
        0x00, 0x0c, 0x00, 0x0a, 0x00, 0x00, 0x02, 0x11, 0x84, 0x8f, 0xa9, 0x19, 0xbd, 0xd6,
        0xc2, 0x03, 0x71, 0xd6, 0x89, 0xb3, 0xd8, 0xbc, 0xfb, 0xcf, 0x15, 0x00, 0x21, 0xf9,
        0x04, 0x05, 0x07, 0x00, 0x02, 0x00, 0x2c, 0x02, 0x00, 0x02, 0x00, 0x06, 0x00, 0x04,
        0x00, 0x00, 0x02, 0x07, 0x84, 0x83, 0x06, 0x18, 0xca, 0x8e, 0x0a, 0x00, 0x21, 0xf9,
        0x04, 0x05, 0x07, 0x00, 0x02, 0x00, 0x2c, 0x05, 0x00, 0x02, 0x00, 0x06, 0x00, 0x04,
        0x00, 0x00, 0x02, 0x07, 0x84, 0x83, 0x06, 0x18, 0xca, 0x8e, 0x0a, 0x00, 0x3b,
    };
    return bytes;
}

const std::vector<std::uint8_t>& handAssembled() {
    static const std::vector<std::uint8_t> bytes = {
        'G',
        'I',
        'F',
        '8',
        '9',
        'a',
        0x04,
        0x00,
        0x04,
        0x00,
        0x00,
        0x00,
        0x00,  // no table
        0x21,
        0xFE,
        0x05,
        'h',
        'e',
        'l',
        'l',
        'o',
        0x03,
        'a',
        'b',
        'c',
        0x00,  // comment
        0x21,
        0xFF,
        0x0B,
        'V',
        'E',
        'L',
        'M',
        'O',
        'R',
        'A',
        'T',
        'E',
        'S',
        'T',  // application
        0x02,
        0x01,
        0x02,
        0x00,
        // frame 1: control (disposal 2, delay 3), 2 x 2 at (1,1), local table of 4
        0x21,
        0xF9,
        0x04,
        0x08,
        0x03,
        0x00,
        0x00,
        0x00,
        0x2C,
        0x01,
        0x00,
        0x01,
        0x00,
        0x02,
        0x00,
        0x02,
        0x00,
        0x81,
        0xFF,
        0xFF,
        0xFF,
        0xFF,
        0x00,
        0x00,
        0x00,
        0xFF,
        0x00,
        0x00,
        0x00,
        0xFF,
        0x02,
        0x03,
        0x4C,
        0x98,
        0x14,
        0x00,
        // frame 2: control (disposal 3, delay 5), 4 x 4 at (0,0), stripes of 0 and 1
        0x21,
        0xF9,
        0x04,
        0x0C,
        0x05,
        0x00,
        0x00,
        0x00,
        0x2C,
        0x00,
        0x00,
        0x00,
        0x00,
        0x04,
        0x00,
        0x04,
        0x00,
        0x81,
        0x00,
        0x00,
        0xFF,
        0xFF,
        0xFF,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x02,
        0x0A,
        0x44,
        0x88,
        0x10,
        0x21,
        0x42,
        0x84,
        0x08,
        0x11,
        0x22,
        0x05,
        0x00,
        // frame 3: no control, 1 x 1 at (3,3)
        0x2C,
        0x03,
        0x00,
        0x03,
        0x00,
        0x01,
        0x00,
        0x01,
        0x00,
        0x81,
        0x00,
        0x00,
        0x00,
        0x00,
        0xFF,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x00,
        0x02,
        0x02,
        0x4C,
        0x01,
        0x00,
        0x3B,
    };
    return bytes;
}

}  // namespace velmora::shell::testing
