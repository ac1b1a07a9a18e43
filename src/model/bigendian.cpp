#include "model/commands.h"

namespace velmora::model {

namespace {
// A field must lie wholly inside the buffer; widths are whole bytes up to 32 bits.
bool FieldFits(std::size_t size, int offset, int bits) {
    if (offset < 0 || bits <= 0 || bits > 32 || bits % 8 != 0) return false;
    return static_cast<std::size_t>(offset) + static_cast<std::size_t>(bits / 8) <= size;
}
}  // namespace

std::uint32_t ReadBigEndian(std::span<const std::uint8_t> bytes, int offset, int bits) {
    if (!FieldFits(bytes.size(), offset, bits)) return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < bits / 8; ++i) value = (value << 8) | bytes[offset + i];
    return value;
}

void WriteBigEndian(std::span<std::uint8_t> bytes, int offset, int bits, std::uint32_t value) {
    if (!FieldFits(bytes.size(), offset, bits)) return;
    for (int i = bits / 8 - 1; i >= 0; --i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

}  // namespace velmora::model
