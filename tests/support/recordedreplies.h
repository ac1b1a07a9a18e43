#pragma once
// Replies as the drive sent them, shared by the trend's tests.
#include <cstdint>
#include <vector>

#include "link/telegram.h"
#include "model/grouplayout.h"
#include "model/parameters.h"

namespace velmora::trend::test {

// Group 0x59: set speed 800 Hz, actual speed 799 Hz, output voltage 240.00 V,
// supply voltage 241.00 V, output current 12.34 A, output power 777.7 W.
inline link::Telegram OperatingValuesReply(std::uint8_t actualLow = 0x1F) {
    link::Telegram t;
    t.command = 0x59;
    t.data = {0x03,      0x20, 0x00, 0xC8, 0x03, 0x20, 0x03, 0x22, 0x03,
              actualLow, 0x5D, 0xC0, 0x5E, 0x24, 0x04, 0xD2, 0x1E, 0x61,
              0x05,      0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x20};
    t.length = static_cast<std::uint8_t>(t.data.size());
    return t;
}

// Group 0x50 with the speed display p8 (1 Hz, 2 rpm).
inline link::Telegram BasicGroupReply(std::uint8_t speedUnit) {
    link::Telegram t;
    t.command = 0x50;
    t.data = {0x00, 0x64, 0x00, speedUnit};
    t.length = static_cast<std::uint8_t>(t.data.size());
    return t;
}

// Group 0x5A naming the drive: serial, inverter type and firmware (hundredths).
inline link::Telegram IdentityReply(std::uint32_t serial, std::uint32_t type = 7301,
                                    std::uint32_t firmware = 123) {
    const model::GroupLayout& group = *model::FindGroup(model::code::Group5A);
    link::Telegram t;
    t.command = group.code;
    t.data.assign(group.length, 0);
    for (const model::FieldLayout& field : group.fields) {
        namespace p = model::param;
        const std::uint32_t value = field.parameter == p::kSerialNumber      ? serial
                                    : field.parameter == p::kInverterType    ? type
                                    : field.parameter == p::kFirmwareVersion ? firmware
                                                                             : 0;
        for (int byte = 0; byte < field.bits / 8; ++byte)
            t.data[field.offset + byte] =
                static_cast<std::uint8_t>(value >> (field.bits - 8 * (byte + 1)));
    }
    t.length = group.length;
    return t;
}

}  // namespace velmora::trend::test
