#include "link/queues.h"

namespace velmora::link {

int FrameCommand(const WireFrame& frame) {
    if (frame.bytes.size() < 5 || frame.bytes[0] != kFrameStart) return -1;
    const auto digit = [](std::uint8_t c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    return digit(frame.bytes[3]) * 16 + digit(frame.bytes[4]);
}

std::optional<std::uint8_t> ByteQueueSource::nextByte(std::chrono::milliseconds wait) {
    std::uint8_t byte = 0;
    if (m_queue.Fetch(0, byte, wait) != queue_result::kOk) return std::nullopt;
    return byte;
}

}  // namespace velmora::link
