#include "link/codec.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace velmora::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A frame around hex text whose checksum is computed here, independently of
// the encoder, over the characters exactly as given.
Bytes FrameAround(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) sum += c;
    char checksum[3];
    std::snprintf(checksum, sizeof checksum, "%02x", sum & 0xFF);
    Bytes frame{kFrameStart};
    for (unsigned char c : body) frame.push_back(c);
    frame.push_back(static_cast<std::uint8_t>(checksum[0]));
    frame.push_back(static_cast<std::uint8_t>(checksum[1]));
    frame.push_back(kFrameEnd);
    return frame;
}

Telegram Make(int command, Bytes data) {
    Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    return t;
}

struct PublishedFrame {
    const char* name;
    int command;
    Bytes data;
    Bytes frame;
};

class PublishedFrames : public ::testing::TestWithParam<PublishedFrame> {};

// Catches any drift from the frames the controller expects on the line: digit
// case, field order, checksum coverage (STX/ETX excluded), frame length.
TEST_P(PublishedFrames, EncodeAndDecodeByteExact) {
    const auto& p = GetParam();
    Telegram t = Make(p.command, p.data);
    WireFrame frame;
    ASSERT_EQ(EncodeTelegram(t, frame), 0);
    EXPECT_EQ(frame.bytes, p.frame);
    EXPECT_TRUE(t.data.empty()) << "encoding must release the data";

    BufferByteSource source(p.frame);
    Telegram decoded;
    ASSERT_EQ(DecodeTelegram(source, decoded), 0);
    EXPECT_EQ(decoded.address, 1);
    EXPECT_EQ(decoded.command, p.command);
    EXPECT_EQ(decoded.length, p.data.size());
    EXPECT_EQ(decoded.data, p.data);
    EXPECT_TRUE(source.exhausted());
}

INSTANTIATE_TEST_SUITE_P(
    Codec, PublishedFrames,
    ::testing::Values(
        PublishedFrame{
            "LinkCheck", 0x80, {}, {0x02, 0x30, 0x31, 0x38, 0x30, 0x30, 0x30, 0x32, 0x39, 0x03}},
        PublishedFrame{"ReadGroup59",
                       0xCF,
                       {0x59},
                       {0x02, 0x30, 0x31, 0x63, 0x66, 0x30, 0x31, 0x35, 0x39, 0x66, 0x39, 0x03}},
        PublishedFrame{"LinkCheckReply",
                       0x81,
                       {},
                       {0x02, 0x30, 0x31, 0x38, 0x31, 0x30, 0x30, 0x32, 0x61, 0x03}}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches off-by-one buffer sizes at the extremes of the length byte.
TEST(Codec, LengthZeroAndTwoHundredFiftyFive) {
    Telegram empty = Make(0x60, {});
    WireFrame frame;
    ASSERT_EQ(EncodeTelegram(empty, frame), 0);
    EXPECT_EQ(frame.bytes.size(), 10u);

    Bytes data(255);
    std::iota(data.begin(), data.end(), std::uint8_t{0});
    Telegram full = Make(0x1E, data);
    ASSERT_EQ(EncodeTelegram(full, frame), 0);
    ASSERT_EQ(frame.bytes.size(), 520u);
    EXPECT_EQ(frame.bytes[5], 'f');
    EXPECT_EQ(frame.bytes[6], 'f');
    BufferByteSource source(frame.bytes);
    Telegram decoded;
    ASSERT_EQ(DecodeTelegram(source, decoded), 0);
    EXPECT_EQ(decoded.length, 255);
    EXPECT_EQ(decoded.data, data);
}

// Catches a decoder that only accepts the encoder's own lower-case digits.
TEST(Codec, UpperCaseDigitsWithTheirOwnChecksum) {
    const Bytes frame = FrameAround("01600400FFA5C3");
    BufferByteSource source(frame);
    Telegram t;
    ASSERT_EQ(DecodeTelegram(source, t), 0);
    EXPECT_EQ(t.command, 0x60);
    EXPECT_EQ(t.data, (Bytes{0x00, 0xFF, 0xA5, 0xC3}));

    // The upper-case text with the checksum of its lower-case spelling does not match.
    const Bytes lower = FrameAround("01600400ffa5c3");
    Bytes wrong = frame;
    std::copy(lower.end() - 3, lower.end() - 1, wrong.end() - 3);
    ASSERT_NE(wrong, frame);
    BufferByteSource wrongSource(wrong);
    EXPECT_EQ(DecodeTelegram(wrongSource, t), 1);
}

// Catches accepting telegrams meant for another station.
TEST(Codec, OtherAddressRejectedEvenWithValidChecksum) {
    const Bytes frame = FrameAround("028100");
    BufferByteSource source(frame);
    Telegram t;
    EXPECT_EQ(DecodeTelegram(source, t), 1);
    EXPECT_TRUE(t.data.empty());
}

// Catches a decoder that cannot resynchronise after any kind of line noise.
TEST(Codec, NoiseByteOfEveryValueBeforeAFrame) {
    const Bytes reply = FrameAround("01810100");
    for (int noise = 0; noise < 256; ++noise) {
        Bytes line{static_cast<std::uint8_t>(noise)};
        line.insert(line.end(), reply.begin(), reply.end());
        BufferByteSource source(line);
        Telegram t;
        int result = 1;
        for (int attempt = 0; attempt < 3 && result != 0 && !source.exhausted(); ++attempt) {
            result = DecodeTelegram(source, t);
        }
        ASSERT_EQ(result, 0) << "noise byte " << noise;
        EXPECT_EQ(t.command, 0x81);
        EXPECT_EQ(t.data, Bytes{0x00});
    }
}

// Catches losing the complete frame that follows a truncated one: every prefix
// of a frame, then a whole frame, still yields the whole frame.
TEST(Codec, HalfTelegramBeforeAFrame) {
    const Bytes first = FrameAround("015a0211223344");
    const Bytes second = FrameAround("01600401020304");
    for (std::size_t cut = 1; cut < first.size(); ++cut) {
        Bytes line(first.begin(), first.begin() + static_cast<long>(cut));
        line.insert(line.end(), second.begin(), second.end());
        BufferByteSource source(line);
        Telegram t;
        int result = 1;
        while (result != 0 && !source.exhausted()) result = DecodeTelegram(source, t);
        ASSERT_EQ(result, 0) << "cut at " << cut;
        EXPECT_EQ(t.command, 0x60);
        EXPECT_EQ(t.data, (Bytes{1, 2, 3, 4}));
    }
}

// A source that runs dry at a chosen point and then continues.
class SplitSource final : public ByteSource {
  public:
    SplitSource(Bytes bytes, std::size_t split) : m_bytes(std::move(bytes)), m_split(split) {}
    std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) override {
        EXPECT_EQ(wait, kByteWait);
        if (m_next == m_split && !m_gapTaken) {
            m_gapTaken = true;
            return std::nullopt;  // the line stayed silent for the whole wait
        }
        if (m_next >= m_bytes.size()) return std::nullopt;
        return m_bytes[m_next++];
    }

  private:
    Bytes m_bytes;
    std::size_t m_split;
    std::size_t m_next = 0;
    bool m_gapTaken = false;
};

// Catches a decoder that glues the halves of a frame across a long gap, or
// that loses the following frame after aborting.
TEST(Codec, GapInsideAFrameAbortsItAtEveryBoundary) {
    const Bytes frame = FrameAround("015b0401020304");
    Bytes line = frame;
    line.insert(line.end(), frame.begin(), frame.end());
    for (std::size_t split = 1; split < frame.size(); ++split) {
        SplitSource source(line, split);
        Telegram t;
        EXPECT_EQ(DecodeTelegram(source, t), 1) << "split at " << split;
        EXPECT_TRUE(t.data.empty());
        int result = 1;
        for (int attempt = 0; attempt < 40 && result != 0; ++attempt) {
            result = DecodeTelegram(source, t);
        }
        EXPECT_EQ(result, 0) << "next frame after split at " << split;
        EXPECT_EQ(t.command, 0x5B);
    }
}

// Catches state kept between calls: a frame fed in pieces over several reads
// of the source decodes in one call as long as no byte is late.
TEST(Codec, FrameSplitAtEveryBoundaryWithoutGap) {
    const Bytes frame = FrameAround("01590300ab10");
    for (std::size_t split = 0; split <= frame.size(); ++split) {
        Bytes line(frame.begin(), frame.begin() + static_cast<long>(split));
        line.insert(line.end(), frame.begin() + static_cast<long>(split), frame.end());
        BufferByteSource source(line);
        Telegram t;
        ASSERT_EQ(DecodeTelegram(source, t), 0);
        EXPECT_EQ(t.data, (Bytes{0x00, 0xAB, 0x10}));
    }
}

// Catches crashes and unbounded reads on malformed input.
TEST(Codec, MalformedFramesFailCleanly) {
    const struct {
        const char* name;
        Bytes line;
    } cases[] = {
        {"bad checksum", FromText("\x02"
                                  "0181003A\x03")},
        {"missing end", FromText("\x02"
                                 "01810029")},
        {"wrong end", FromText("\x02"
                               "01810029\x04")},
        {"non-hex digit", FrameAround("01g100")},
        {"space as digit", FrameAround("01 100")},
        {"length longer than data", FrameAround("01810500")},
        {"end byte inside data", FromText("\x02"
                                          "018102\x03")},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        BufferByteSource source(c.line);
        Telegram t;
        t.data = {1, 2, 3};
        EXPECT_EQ(DecodeTelegram(source, t), 1) << c.name;
        EXPECT_TRUE(t.data.empty()) << c.name;
    }
}

// Catches a decoder that reads without bound when the end byte never comes.
TEST(Codec, EndlessDigitsAreBoundedByTheLength) {
    Bytes line{kFrameStart};
    line.insert(line.end(), 100000, '0');
    line[2] = '1';  // address 01, command 00, length 00, checksum 00 ...
    BufferByteSource source(line);
    Telegram t;
    EXPECT_EQ(DecodeTelegram(source, t), 1);
    EXPECT_LE(source.consumed(), 11u);
    std::size_t calls = 0;
    while (!source.exhausted()) {
        DecodeTelegram(source, t);
        ASSERT_LT(++calls, line.size());
    }
}

// Catches a decoder that never returns while the line repeats start bytes,
// and one that loses the frame after a few of them.
TEST(Codec, RunOfStartBytes) {
    Bytes line(5, kFrameStart);
    const Bytes reply = FrameAround("01810100");
    line.insert(line.end(), reply.begin(), reply.end());
    BufferByteSource few(line);
    Telegram t;
    EXPECT_EQ(DecodeTelegram(few, t), 0);
    EXPECT_EQ(t.command, 0x81);

    const Bytes flood(100000, kFrameStart);
    BufferByteSource source(flood);
    EXPECT_EQ(DecodeTelegram(source, t), 1);
    EXPECT_LT(source.consumed(), 1000u);
}

// Catches frames built from inconsistent telegrams (reading past the data or
// truncating it) and a leaked buffer when encoding fails.
TEST(Codec, EncoderRefusesInconsistentTelegrams) {
    WireFrame frame;
    Telegram shortData = Make(0x10, {1, 2});
    shortData.length = 3;
    EXPECT_EQ(EncodeTelegram(shortData, frame), 1);
    EXPECT_TRUE(shortData.data.empty());
    EXPECT_TRUE(frame.bytes.empty());

    Telegram badCommand = Make(-1, {1});
    EXPECT_EQ(EncodeTelegram(badCommand, frame), 1);
    EXPECT_TRUE(badCommand.data.empty());

    Telegram wideCommand = Make(0x100, {});
    EXPECT_EQ(EncodeTelegram(wideCommand, frame), 1);
}

}  // namespace
}  // namespace velmora::link
