#pragma once
// One request or reply as it travels between the tool and the drive.
#include <cstdint>
#include <vector>

namespace velmora::link {

struct Telegram {
    std::uint8_t address = 1;        // station address: always 1 on this bus
    std::int32_t command = 0xFF;     // command or reply code, 0..255
    std::uint8_t length = 0;         // number of data bytes, 0..255
    std::vector<std::uint8_t> data;  // payload; moves with the telegram
};

// An encoded telegram on its way to the port.
struct WireFrame {
    std::vector<std::uint8_t> bytes;
};

}  // namespace velmora::link
