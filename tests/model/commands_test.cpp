#include "model/commands.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

namespace velmora::model {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct BuiltCase {
    const char* name;
    Telegram telegram;
    int command;
    Bytes data;
};

std::vector<BuiltCase> BuiltCases() {
    std::array<std::uint32_t, 156> image{};
    image[1] = 0x0001012C;  // 16-bit field: only 01 2C travels
    image[7] = 0x103;       // 8-bit field: 03
    image[8] = 2;
    return {
        {"ReadGroup59", BuildReadGroup(0x59), 0xCF, {0x59}},
        {"ReadEepromWord", BuildReadEepromWord(0x1234), 0xCF, {0x5C, 0x12, 0x34}},
        {"ReadSlotState", BuildReadSlotState(31), 0xCF, {0x62, 31}},
        {"WriteEepromWord",
         BuildWriteEepromWord(0xBEEF, 0x01020304),
         0x19,
         {0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04}},
        {"WriteCalibration",
         BuildWriteCalibration({1, 2, 3, 4, 5, 6, 7, 8, 0xA1B2C3D4}),
         0x1A,
         {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0,    4,    0,    0,
          0, 5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0, 8, 0xA1, 0xB2, 0xC3, 0xD4}},
        {"TestOperationValues",
         BuildTestOperationValues(500, 20, 0xFFFF),
         0x1B,
         {0x01, 0xF4, 0x00, 0x14, 0xFF, 0xFF}},
        {"WriteSerialNumber", BuildWriteSerialNumber(123456789), 0x1C, {0x07, 0x5B, 0xCD, 0x15}},
        {"LinkCheck", BuildAction(0x80), 0x80, {}},
        {"StartMotor", BuildAction(0xA0), 0xA0, {}},
        {"FirmwareDone", BuildAction(0xAD), 0xAD, {}},
        {"LoadMemorySlot", BuildAction(0xA3, 7), 0xA3, {7}},
        {"ResetEeprom", BuildAction(0xA9, 32), 0xA9, {32}},
        {"WriteGroup50", BuildWriteGroup(0x50, image), 0x10, {0x01, 0x2C, 0x03, 0x02}},
    };
}

// Builders must produce the exact bytes the drive decodes; a swapped byte
// order or a wrong length makes the drive act on a different value.
TEST(Builders, ProduceExactTelegrams) {
    for (const auto& c : BuiltCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.telegram.address, 1);
        EXPECT_EQ(c.telegram.command, c.command);
        EXPECT_EQ(c.telegram.length, c.data.size());
        EXPECT_EQ(c.telegram.data, c.data);
    }
}

// A block must carry its number, its count and the bytes, and must never
// claim a length that does not fit the length byte.
TEST(Builders, BlocksFitOneTelegram) {
    std::vector<std::uint8_t> bytes(252);
    std::iota(bytes.begin(), bytes.end(), 0);
    const auto full = BuildLoaderBlock(0x0102, std::span(bytes).first(251));
    EXPECT_EQ(full.command, 0x1D);
    EXPECT_EQ(full.length, 255);
    ASSERT_EQ(full.data.size(), 255u);
    EXPECT_EQ(full.data[0], 0x01);
    EXPECT_EQ(full.data[1], 0x02);
    EXPECT_EQ(full.data[2], 0x00);
    EXPECT_EQ(full.data[3], 251);
    EXPECT_EQ(full.data[4], 0);
    EXPECT_EQ(full.data[254], 250);

    const auto one = BuildFirmwareBlock(7, std::span(bytes).first(1));
    EXPECT_EQ(one.command, 0x1E);
    EXPECT_EQ(one.data, (Bytes{0x00, 0x07, 0x00, 0x01, 0x00}));

    EXPECT_EQ(BuildLoaderBlock(1, bytes).command, -1);
    EXPECT_EQ(BuildFirmwareBlock(1, {}).command, -1);
}

// Codes that need data (or have none) must not go out in the wrong shape, and
// read-only or unknown groups have no write telegram.
TEST(Builders, RefuseMisusedCodes) {
    std::array<std::uint32_t, 156> image{};
    for (const auto& t : {BuildAction(0xA3), BuildAction(0xA0, 1), BuildAction(0x10),
                          BuildAction(-5), BuildReadGroup(256), BuildReadGroup(-1),
                          BuildWriteGroup(0x59, image), BuildWriteGroup(0x5F, image),
                          BuildWriteGroup(0x10, image), BuildWriteGroup(0x60, image)}) {
        EXPECT_EQ(t.command, -1);
        EXPECT_TRUE(t.data.empty());
    }
}

// Field helpers must stay inside the buffer for any offset and width.
TEST(BigEndian, StaysInsideTheBuffer) {
    std::array<std::uint8_t, 4> bytes{0xFF, 0xFE, 0x01, 0x00};
    EXPECT_EQ(ReadBigEndian(bytes, 0, 16), 0xFFFEu);
    EXPECT_EQ(ReadBigEndian(bytes, 0, 32), 0xFFFE0100u);
    EXPECT_EQ(ReadBigEndian(bytes, 3, 8), 0u);
    EXPECT_EQ(ReadBigEndian(bytes, 3, 16), 0u);
    EXPECT_EQ(ReadBigEndian(bytes, -1, 8), 0u);
    EXPECT_EQ(ReadBigEndian(bytes, 0, 12), 0u);
    EXPECT_EQ(ReadBigEndian(bytes, 0, 64), 0u);
    WriteBigEndian(bytes, 2, 32, 0xAAAAAAAA);
    WriteBigEndian(bytes, -2, 16, 0xAAAA);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0xFF, 0xFE, 0x01, 0x00}));
    WriteBigEndian(bytes, 1, 16, 0x12345678);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0xFF, 0x56, 0x78, 0x00}));
}

}  // namespace
}  // namespace velmora::model
