#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/commands.h"

namespace velmora::model {
namespace {

Telegram Reply(int code, std::vector<std::uint8_t> data) {
    Telegram t;
    t.command = code;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    return t;
}

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
    return bytes;
}

struct ParserCase {
    const char* name;
    int code;
    std::size_t length;
    std::function<int(Telegram&)> parse;
};

std::vector<ParserCase> ParserCases() {
    return {
        {"SensorState", 0x5B, 10,
         [](Telegram& t) {
             SensorState s;
             return ParseSensorState(t, s);
         }},
        {"EepromWord", 0x5C, 4,
         [](Telegram& t) {
             std::uint32_t v;
             return ParseEepromWord(t, v);
         }},
        {"Calibration", 0x5D, 36,
         [](Telegram& t) {
             std::array<std::uint32_t, 9> v;
             return ParseCalibration(t, v);
         }},
        {"InverterValues", 0x5E, 20,
         [](Telegram& t) {
             std::array<std::uint16_t, 10> v;
             return ParseInverterValues(t, v);
         }},
        {"Status", 0x60, 4,
         [](Telegram& t) {
             std::array<std::uint8_t, 4> v;
             return ParseStatus(t, v);
         }},
        {"BlockRequest", 0x61, 2,
         [](Telegram& t) {
             std::uint16_t v;
             return ParseBlockRequest(t, v);
         }},
        {"SlotState", 0x62, 1,
         [](Telegram& t) {
             std::uint8_t v;
             return ParseSlotState(t, v);
         }},
        {"LinkCheckReply", 0x81, 0, [](Telegram& t) { return ParseLinkCheckReply(t); }},
        {"Group50", 0x50, 4,
         [](Telegram& t) {
             std::array<std::uint32_t, 156> v{};
             return ParseGroup(t, v);
         }},
        {"Group59", 0x59, 27,
         [](Telegram& t) {
             std::array<std::uint32_t, 156> v{};
             return ParseGroup(t, v);
         }},
        {"Group5F", 0x5F, 10,
         [](Telegram& t) {
             std::array<std::uint32_t, 156> v{};
             return ParseGroup(t, v);
         }},
    };
}

class Parser : public ::testing::TestWithParam<ParserCase> {};

// Every parser must accept only its exact code and length, never read past a
// short buffer (a length byte that lies about the buffer), and release the
// data in every case so a stream of bad replies cannot pile up memory.
TEST_P(Parser, ChecksCodeAndExactLengthAndAlwaysReleases) {
    const ParserCase& c = GetParam();
    auto expectReleased = [](const Telegram& t) {
        EXPECT_TRUE(t.data.empty());
        EXPECT_EQ(t.data.capacity(), 0u);
    };
    Telegram good = Reply(c.code, Counting(c.length));
    EXPECT_EQ(c.parse(good), 0);
    expectReleased(good);

    for (std::size_t length : {c.length + 1, c.length + 100, c.length == 0 ? 1 : c.length - 1}) {
        Telegram wrong = Reply(c.code, Counting(length));
        EXPECT_EQ(c.parse(wrong), 1) << "length " << length;
        expectReleased(wrong);
    }
    Telegram otherCode = Reply(c.code + 1, Counting(c.length));
    EXPECT_EQ(c.parse(otherCode), 1);
    expectReleased(otherCode);

    if (c.length > 0) {
        Telegram lying = Reply(c.code, Counting(c.length - 1));
        lying.length = static_cast<std::uint8_t>(c.length);
        EXPECT_EQ(c.parse(lying), 1);
        expectReleased(lying);
    }
}

INSTANTIATE_TEST_SUITE_P(AllReplies, Parser, ::testing::ValuesIn(ParserCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Values are unsigned and big-endian: FF FE must never come out negative, and
// 00 00 01 00 is 256.
TEST(ParserValues, DeliverUnsignedBigEndianFields) {
    Telegram inverter = Reply(0x5E, Counting(20));
    inverter.data[0] = 0xFF;
    inverter.data[1] = 0xFE;
    std::array<std::uint16_t, 10> values{};
    ASSERT_EQ(ParseInverterValues(inverter, values), 0);
    EXPECT_EQ(values[0], 0xFFFE);
    EXPECT_EQ(values[9], 0x0203);  // bytes 0x102 and 0x103 truncated to 8 bits: 02 03

    Telegram calibration = Reply(0x5D, std::vector<std::uint8_t>(36, 0));
    calibration.data[2] = 0x01;
    calibration.data[35] = 0x09;
    std::array<std::uint32_t, 9> words{};
    ASSERT_EQ(ParseCalibration(calibration, words), 0);
    EXPECT_EQ(words[0], 256u);
    EXPECT_EQ(words[8], 9u);

    Telegram sensors = Reply(0x5B, {0xFF, 0xFF, 0x12, 0x34, 0, 0, 0, 0, 0xAB, 0xCD});
    SensorState state;
    ASSERT_EQ(ParseSensorState(sensors, state), 0);
    EXPECT_EQ(state.flags0, 0x3F);
    EXPECT_EQ(state.flags1, 0x0F);
    EXPECT_EQ(state.values[0], 0x1234);
    EXPECT_EQ(state.values[3], 0xABCD);

    Telegram eeprom = Reply(0x5C, {0xDE, 0xAD, 0xBE, 0xEF});
    std::uint32_t word = 0;
    ASSERT_EQ(ParseEepromWord(eeprom, word), 0);
    EXPECT_EQ(word, 0xDEADBEEFu);

    Telegram block = Reply(0x61, {0x80, 0x01});
    std::uint16_t number = 0;
    ASSERT_EQ(ParseBlockRequest(block, number), 0);
    EXPECT_EQ(number, 0x8001);

    Telegram status = Reply(0x60, {1, 2, 3, 4});
    std::array<std::uint8_t, 4> bytes{};
    ASSERT_EQ(ParseStatus(status, bytes), 0);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

// A rejected reply must leave the caller's variables as they were.
TEST(ParserValues, RejectedReplyWritesNothing) {
    Telegram slot = Reply(0x62, {5, 6});
    std::uint8_t state = 99;
    EXPECT_EQ(ParseSlotState(slot, state), 1);
    EXPECT_EQ(state, 99);
    Telegram group = Reply(0x50, {1, 2, 3});
    std::array<std::uint32_t, 156> values{};
    values[1] = 42;
    EXPECT_EQ(ParseGroup(group, values), 1);
    EXPECT_EQ(values[1], 42u);
}

}  // namespace
}  // namespace velmora::model
