#include "shell/gifwalker.h"

#include <algorithm>

namespace velmora::shell::gif {

namespace {

constexpr std::size_t kHeaderLength = 13;
constexpr std::size_t kDescriptorLength = 10;
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kGraphicControl = 0xF9;
constexpr std::uint8_t kPlainText = 0x01;

int le16(std::span<const std::uint8_t> data, std::size_t at) {
    return data[at] | (data[at + 1] << 8);
}

void putLe16(std::vector<std::uint8_t>& out, std::size_t at, int value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Colour table length announced by a packed field (bit 7 set, size in bits 0-2).
std::size_t colourTableLength(std::uint8_t packed) {
    if ((packed & 0x80) == 0) return 0;
    return std::size_t{3} << ((packed & 7) + 1);
}

// Position after the block terminator of the sub-blocks starting at pos;
// nothing when a length byte points past the end of the data.
std::optional<std::size_t> skipSubBlocks(std::span<const std::uint8_t> data, std::size_t pos) {
    for (;;) {
        if (pos >= data.size()) return std::nullopt;
        const std::size_t length = data[pos++];
        if (length == 0) return pos;
        if (length > data.size() - pos) return std::nullopt;
        pos += length;
    }
}

Rect clip(const Rect& r, int screenWidth, int screenHeight) {
    const int right = std::min(r.left + r.width, screenWidth);
    const int bottom = std::min(r.top + r.height, screenHeight);
    if (r.left >= right || r.top >= bottom) return {};
    return {r.left, r.top, right - r.left, bottom - r.top};
}

struct PendingControl {
    std::size_t offset = 0;
    std::size_t length = 0;
    int delay = 0;
    int disposal = 0;
};

}  // namespace

bool isGif(std::span<const std::uint8_t> data) {
    if (data.size() < 6) return false;
    const auto is = [&](const char* magic) {
        return std::equal(data.begin(), data.begin() + 6, magic);
    };
    return is("GIF87a") || is("GIF89a");
}

std::optional<Walk> walk(std::span<const std::uint8_t> data) {
    if (!isGif(data) || data.size() < kHeaderLength) return std::nullopt;
    Walk result;
    result.screenWidth = le16(data, 6);
    result.screenHeight = le16(data, 8);
    result.globalTableLength = colourTableLength(data[10]);
    if (result.globalTableLength > data.size() - kHeaderLength) return std::nullopt;
    if (result.globalTableLength > 0) result.backgroundIndex = data[11];

    std::optional<PendingControl> control;
    std::size_t pos = kHeaderLength + result.globalTableLength;
    for (;;) {
        if (pos >= data.size()) {
            result.end = WalkEnd::Truncated;
            break;
        }
        const std::uint8_t introducer = data[pos];
        if (introducer == kTrailer) {
            result.end = WalkEnd::Trailer;
            break;
        }
        if (introducer == kExtension) {
            if (data.size() - pos < 2) {
                result.end = WalkEnd::Truncated;
                break;
            }
            const std::uint8_t label = data[pos + 1];
            const auto after = skipSubBlocks(data, pos + 2);
            if (!after) {
                result.end = WalkEnd::Truncated;
                break;
            }
            if (label == kGraphicControl) {
                // A control block shorter than its four fixed bytes is ignored.
                if (data[pos + 2] >= 4) {
                    control = PendingControl{pos, *after - pos, le16(data, pos + 4),
                                             (data[pos + 3] >> 2) & 7};
                } else {
                    control.reset();
                }
            } else if (label == kPlainText) {
                control.reset();  // the control block belonged to the text
            }
            pos = *after;
            continue;
        }
        if (introducer != kImage) {
            result.end = WalkEnd::Damaged;
            break;
        }
        if (data.size() - pos < kDescriptorLength + 1) {
            result.end = WalkEnd::Truncated;
            break;
        }
        const Rect placement{le16(data, pos + 1), le16(data, pos + 3), le16(data, pos + 5),
                             le16(data, pos + 7)};
        const std::size_t localTable = colourTableLength(data[pos + 9]);
        const std::size_t codeSizeAt = pos + kDescriptorLength + localTable;
        if (localTable >= data.size() - pos - kDescriptorLength) {
            result.end = WalkEnd::Truncated;
            break;
        }
        const auto after = skipSubBlocks(data, codeSizeAt + 1);
        if (!after) {
            result.end = WalkEnd::Truncated;
            break;
        }
        Frame frame;
        frame.imageOffset = pos;
        frame.imageLength = *after - pos;
        frame.placement = placement;
        frame.visible = clip(placement, result.screenWidth, result.screenHeight);
        if (control) {
            frame.controlOffset = control->offset;
            frame.controlLength = control->length;
            frame.delay = control->delay;
            frame.disposal = control->disposal;
        }
        control.reset();
        if (placement.width == 0 || placement.height == 0 || frame.visible.width == 0) {
            ++result.rejectedFrames;
        } else {
            result.frames.push_back(frame);
        }
        pos = *after;
    }
    return result;
}

std::vector<std::uint8_t> singleFrame(std::span<const std::uint8_t> data, const Walk& walked,
                                      const Frame& frame) {
    const std::size_t header = kHeaderLength + walked.globalTableLength;
    const auto fits = [&](std::size_t offset, std::size_t length) {
        return offset <= data.size() && length <= data.size() - offset;
    };
    if (!fits(0, header) || !fits(frame.controlOffset, frame.controlLength) ||
        !fits(frame.imageOffset, frame.imageLength) || frame.imageLength < kDescriptorLength ||
        data[frame.imageOffset] != kImage) {
        return {};
    }
    std::vector<std::uint8_t> out;
    out.reserve(header + frame.controlLength + frame.imageLength + 1);
    out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(header));
    putLe16(out, 6, frame.placement.width);
    putLe16(out, 8, frame.placement.height);
    const auto append = [&](std::size_t offset, std::size_t length) {
        const auto first = data.begin() + static_cast<std::ptrdiff_t>(offset);
        out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(length));
    };
    append(frame.controlOffset, frame.controlLength);
    const std::size_t descriptor = out.size();
    append(frame.imageOffset, frame.imageLength);
    putLe16(out, descriptor + 1, 0);
    putLe16(out, descriptor + 3, 0);
    out.push_back(kTrailer);
    return out;
}

std::optional<int> frameWaitMs(std::optional<int> delay) {
    if (!delay) return std::nullopt;
    return *delay > 4 ? *delay * 10 : 100;
}

}  // namespace velmora::shell::gif
