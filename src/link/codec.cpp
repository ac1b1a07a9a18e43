#include "link/codec.h"

namespace velmora::link {
namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr int kMaxRestarts = 64;

void AppendHex(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(kDigits[(value >> 4) & 0x0F]));
    out.push_back(static_cast<std::uint8_t>(kDigits[value & 0x0F]));
}

int HexValue(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the fields of one frame after its start byte. A start byte met on the
// way is reported so the caller can begin a new frame with it.
class FrameReader {
  public:
    enum class Step { Ok, Failed, Restart };

    explicit FrameReader(ByteSource& source) : m_source(source) {}

    // Reads two digits into `value`; adds them to the checksum when asked.
    Step readHexByte(std::uint8_t& value, bool summed) {
        int high = 0;
        int low = 0;
        if (Step s = readDigit(high, summed); s != Step::Ok) return s;
        if (Step s = readDigit(low, summed); s != Step::Ok) return s;
        value = static_cast<std::uint8_t>(high << 4 | low);
        return Step::Ok;
    }

    Step readEnd() {
        const auto byte = m_source.nextByte(kByteWait);
        if (!byte) return Step::Failed;
        if (*byte == kFrameStart) return Step::Restart;
        return *byte == kFrameEnd ? Step::Ok : Step::Failed;
    }

    [[nodiscard]] std::uint8_t sum() const { return m_sum; }
    void resetSum() { m_sum = 0; }

  private:
    Step readDigit(int& digit, bool summed) {
        const auto byte = m_source.nextByte(kByteWait);
        if (!byte) return Step::Failed;
        if (*byte == kFrameStart) return Step::Restart;
        digit = HexValue(*byte);
        if (digit < 0) return Step::Failed;
        if (summed) m_sum = static_cast<std::uint8_t>(m_sum + *byte);
        return Step::Ok;
    }

    ByteSource& m_source;
    std::uint8_t m_sum = 0;
};

// One frame whose start byte has just been read.
FrameReader::Step ReadFrameBody(FrameReader& reader, Telegram& telegram) {
    using Step = FrameReader::Step;
    reader.resetSum();
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t length = 0;
    if (Step s = reader.readHexByte(address, true); s != Step::Ok) return s;
    if (address != 1) return Step::Failed;
    if (Step s = reader.readHexByte(command, true); s != Step::Ok) return s;
    if (Step s = reader.readHexByte(length, true); s != Step::Ok) return s;
    std::vector<std::uint8_t> data(length);
    for (auto& byte : data) {
        if (Step s = reader.readHexByte(byte, true); s != Step::Ok) return s;
    }
    const std::uint8_t expected = reader.sum();
    std::uint8_t checksum = 0;
    if (Step s = reader.readHexByte(checksum, false); s != Step::Ok) return s;
    if (checksum != expected) return Step::Failed;
    if (Step s = reader.readEnd(); s != Step::Ok) return s;
    telegram.address = address;
    telegram.command = command;
    telegram.length = length;
    telegram.data = std::move(data);
    return Step::Ok;
}

}  // namespace

std::optional<std::uint8_t> BufferByteSource::nextByte(std::chrono::milliseconds) {
    if (m_next >= m_bytes.size()) return std::nullopt;
    return m_bytes[m_next++];
}

std::uint8_t FrameChecksum(std::span<const std::uint8_t> characters) {
    std::uint8_t sum = 0;
    for (std::uint8_t c : characters) sum = static_cast<std::uint8_t>(sum + c);
    return sum;
}

int EncodeTelegram(Telegram& telegram, WireFrame& frame) {
    frame.bytes.clear();
    std::vector<std::uint8_t> data = std::move(telegram.data);
    telegram.data.clear();
    if (telegram.command < 0 || telegram.command > 0xFF || data.size() != telegram.length) {
        return 1;
    }
    std::vector<std::uint8_t> out;
    out.reserve(10 + 2 * data.size());
    out.push_back(kFrameStart);
    AppendHex(out, telegram.address);
    AppendHex(out, static_cast<unsigned>(telegram.command));
    AppendHex(out, telegram.length);
    for (std::uint8_t byte : data) AppendHex(out, byte);
    AppendHex(out, FrameChecksum(std::span(out).subspan(1)));
    out.push_back(kFrameEnd);
    frame.bytes = std::move(out);
    return 0;
}

int DecodeTelegram(ByteSource& source, Telegram& telegram) {
    // The previous telegram's buffer has been handed on with it.
    telegram.data = {};
    const auto first = source.nextByte(kByteWait);
    if (!first || *first != kFrameStart) return 1;
    FrameReader reader(source);
    // Bounded so a line flooded with start bytes still returns to the caller
    // (and its stop flag) now and then.
    for (int restarts = 0; restarts < kMaxRestarts; ++restarts) {
        switch (ReadFrameBody(reader, telegram)) {
            case FrameReader::Step::Ok:
                return 0;
            case FrameReader::Step::Failed:
                return 1;
            case FrameReader::Step::Restart:
                break;
        }
    }
    return 1;
}

}  // namespace velmora::link
