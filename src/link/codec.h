#pragma once
// The telegram codec: a telegram becomes printable hex text between STX and
// ETX with an 8-bit character-sum checksum, and back. Pure functions: the
// bytes come from a ByteSource, so the same decoder serves the receive thread
// (fed by the byte queue), the simulated drive and the tests (fed by buffers).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/telegram.h"

namespace velmora::link {

inline constexpr std::uint8_t kFrameStart = 0x02;  // STX
inline constexpr std::uint8_t kFrameEnd = 0x03;    // ETX
// The most a byte may lag behind its predecessor inside one frame.
inline constexpr std::chrono::milliseconds kByteWait{250};

// Where the decoder takes its bytes from, one at a time.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // The next byte, waiting at most `wait` for it; nullopt when none came.
    virtual std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) = 0;
};

// Hands out the bytes of a buffer without waiting; nullopt once it is used up,
// which the decoder treats like a silent line.
class BufferByteSource final : public ByteSource {
  public:
    explicit BufferByteSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) override;
    [[nodiscard]] std::size_t consumed() const { return m_next; }
    [[nodiscard]] bool exhausted() const { return m_next >= m_bytes.size(); }

  private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_next = 0;
};

// 0 with the frame filled in, 1 and an empty frame when the telegram cannot be
// framed (command outside 0..255, or a length that does not match its data).
// Always releases the telegram's data.
int EncodeTelegram(Telegram& telegram, WireFrame& frame);

// Reads one frame from the source. 0: `telegram` holds a reply whose address
// was 1 and whose checksum matched, and owns its data. 1: nothing decoded (a
// byte late by more than kByteWait, a wrong start, address, digit, checksum or
// end byte); the telegram's data is then empty. The bytes read are consumed;
// calling again skips to the next start byte. A start byte inside a frame
// abandons the broken frame and begins anew, so a half telegram never costs
// the complete one that follows it.
int DecodeTelegram(ByteSource& source, Telegram& telegram);

// The checksum of the characters between the start byte and the checksum.
[[nodiscard]] std::uint8_t FrameChecksum(std::span<const std::uint8_t> characters);

}  // namespace velmora::link
