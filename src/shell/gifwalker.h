#pragma once
// Walks the block structure of a GIF file and cuts an animation into
// stand-alone single-frame GIFs that any picture loader can decode. Qt-free
// and bounds-checked on every byte, so it can be fuzzed on its own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velmora::shell::gif {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Frame {
    // Byte ranges in the walked file.
    std::size_t controlOffset = 0;  // graphic control extension, length 0 when none
    std::size_t controlLength = 0;
    std::size_t imageOffset = 0;  // image descriptor up to its block terminator
    std::size_t imageLength = 0;
    Rect placement;            // as the image descriptor gives it
    Rect visible;              // placement clipped to the logical screen, never empty
    std::optional<int> delay;  // hundredths of a second; none without a control extension
    int disposal = 0;          // 0..7
};

enum class WalkEnd {
    Trailer,    // the trailer byte was reached
    Truncated,  // the data ended inside or between blocks
    Damaged,    // an unknown block, or a length that does not fit
};

struct Walk {
    int screenWidth = 0;
    int screenHeight = 0;
    std::size_t globalTableLength = 0;  // bytes following the 13-byte header
    int backgroundIndex = -1;           // -1 without a global colour table
    std::vector<Frame> frames;          // complete frames that can be shown
    int rejectedFrames = 0;             // zero-sized or wholly off the screen
    WalkEnd end = WalkEnd::Damaged;
};

// True when the data starts with "GIF87a" or "GIF89a".
[[nodiscard]] bool isGif(std::span<const std::uint8_t> data);

// Walks the blocks; a damaged structure ends the walk with the frames found
// before it. Nothing when the data is no GIF or its header is incomplete.
[[nodiscard]] std::optional<Walk> walk(std::span<const std::uint8_t> data);

// A complete GIF holding only this frame: header and global colour table,
// the frame's graphic control extension, its image descriptor and data, and
// the trailer. Its logical screen is the frame's own size and the frame sits
// at 0,0, so the decoded picture is exactly the frame.
[[nodiscard]] std::vector<std::uint8_t> singleFrame(std::span<const std::uint8_t> data,
                                                    const Walk& walked, const Frame& frame);

// How long the player shows a frame in milliseconds; nothing means "until
// stopped". Delays of 0..4 hundredths are too short to trust and become 100 ms.
[[nodiscard]] std::optional<int> frameWaitMs(std::optional<int> delay);

}  // namespace velmora::shell::gif
