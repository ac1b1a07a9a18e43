// Arbitrary line bytes through the telegram decoder. Every decoded telegram
// must be consistent and survive an encode/decode round trip unchanged.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "link/codec.h"

using namespace velmora::link;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BufferByteSource source(std::span<const std::uint8_t>(data, size));
    int frames = 0;
    while (!source.exhausted() && frames < 10000) {
        Telegram telegram;
        if (DecodeTelegram(source, telegram) != 0) continue;
        ++frames;
        if (telegram.address != 1 || telegram.data.size() != telegram.length) std::abort();
        Telegram copy = telegram;
        WireFrame frame;
        if (EncodeTelegram(copy, frame) != 0) std::abort();
        if (frame.bytes.size() != 10u + 2u * telegram.length) std::abort();
        BufferByteSource again(frame.bytes);
        Telegram back;
        if (DecodeTelegram(again, back) != 0 || back.command != telegram.command ||
            back.data != telegram.data)
            std::abort();
    }
    return 0;
}
