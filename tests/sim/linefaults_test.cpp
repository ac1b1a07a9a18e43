#include "sim/linefaults.h"

#include <gtest/gtest.h>

#include "link/codec.h"
#include "tests/support/rawframes.h"

namespace velmora::sim {
namespace {

using test::Bytes;
using test::Frame;

// A peer writing upper case must sum its own characters; a checksum summed
// over the lower-case text would be rejected by the tool.
TEST(UppercaseFrame, RewritesDigitsAndChecksum) {
    EXPECT_EQ(UppercaseFrame(Frame("018100")), Frame("018100", true));
    const Bytes lower = Frame("015a0d00000000001c860138045a3401");
    const Bytes upper = UppercaseFrame(lower);
    EXPECT_EQ(upper, Frame("015A0D00000000001C860138045A3401", true));
    link::BufferByteSource source(upper);
    link::Telegram t;
    ASSERT_EQ(link::DecodeTelegram(source, t), 0);
    EXPECT_EQ(t.command, 0x5A);
    EXPECT_EQ(t.data[5], 0x1C);
    // Not a frame: left alone.
    const Bytes junk{'a', 'b', 'c'};
    EXPECT_EQ(UppercaseFrame(junk), junk);
}

// Garbled and lost bytes in front of the drive's decoder cost the frames
// they hit; the frames after a clean stretch still decode.
TEST(LineFaults, NoiseAndDropNeverBreakTheDecoder) {
    LineFaults faults(1234);
    faults.setNoise(0.05);
    faults.setDrop(0.05);
    const Bytes frame = Frame("01cf0159");
    Bytes line;
    for (int i = 0; i < 400; ++i)
        for (std::uint8_t b : frame)
            if (auto got = faults.receive(b)) line.push_back(*got);
    faults.clear();
    for (int i = 0; i < 5; ++i)
        for (std::uint8_t b : frame)
            if (auto got = faults.receive(b)) line.push_back(*got);

    link::BufferByteSource source(line);
    int decoded = 0;
    int lastGood = -1;
    int index = 0;
    while (!source.exhausted()) {
        link::Telegram t;
        if (link::DecodeTelegram(source, t) == 0) {
            ++decoded;
            EXPECT_EQ(t.command, 0xCF);
            ASSERT_EQ(t.data.size(), 1u);
            EXPECT_EQ(t.data[0], 0x59);
            lastGood = index;
        }
        ++index;
    }
    EXPECT_GT(decoded, 5);    // the clean tail at least
    EXPECT_LT(decoded, 405);  // the faults did hit
    EXPECT_GE(lastGood, 0);
}

TEST(LineFaults, ProbabilitiesAreClampedAndExtremesAreExact) {
    LineFaults faults(1);
    faults.setDrop(7.0);
    EXPECT_EQ(faults.drop(), 1.0);
    EXPECT_FALSE(faults.receive(0x02));
    EXPECT_TRUE(faults.transmit(Frame("018100")).empty());
    faults.setDrop(-1.0);
    EXPECT_EQ(faults.drop(), 0.0);
    faults.setNoise(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(faults.noise(), 0.0);
    EXPECT_EQ(faults.transmit(Frame("018100")), Frame("018100"));
    faults.setUppercase(true);
    EXPECT_EQ(faults.transmit(Frame("015f00")), Frame("015F00", true));
    const auto now = LineFaults::Clock::now();
    faults.unplugUntil(now + std::chrono::seconds(2));
    EXPECT_TRUE(faults.unplugged(now));
    EXPECT_FALSE(faults.unplugged(now + std::chrono::seconds(2)));
}

}  // namespace
}  // namespace velmora::sim
