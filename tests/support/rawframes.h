#pragma once
// Helpers shared by the simulator's tests: telegrams from literal bytes and
// frames with an independently computed checksum.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "link/telegram.h"

namespace velmora::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline link::Telegram Request(int command, Bytes data = {}) {
    link::Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    return t;
}

// STX, the hex text as given, its character sum, ETX.
inline Bytes Frame(const std::string& body, bool upperChecksum = false) {
    unsigned sum = 0;
    for (unsigned char c : body) sum += c;
    char checksum[3];
    std::snprintf(checksum, sizeof checksum, upperChecksum ? "%02X" : "%02x", sum & 0xFF);
    Bytes frame;
    frame.reserve(body.size() + 4);
    frame.push_back(0x02);
    for (unsigned char c : body) frame.push_back(c);
    frame.push_back(static_cast<std::uint8_t>(checksum[0]));
    frame.push_back(static_cast<std::uint8_t>(checksum[1]));
    frame.push_back(0x03);
    return frame;
}

inline std::uint32_t Be(const Bytes& d, std::size_t offset, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | d.at(offset + i);
    return v;
}

}  // namespace velmora::sim::test
