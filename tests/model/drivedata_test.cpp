#include "model/drivedata.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

#include "link/queues.h"
#include "tests/support/drivestatus.h"
#include "tests/support/linkqueues.h"
#include "tests/support/owndrive.h"

namespace velmora::model {
namespace {

std::string Format(const char* format, float value) {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return text;
}

class DriveDataTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    DriveData& m_data = m_drive.data;
};

// Pages show reals with "%.2f"/"%.1f"; the rounding on entry and the offset
// on display decide whether a typed value comes back as typed.
TEST_F(DriveDataTest, RealsRoundHalfUpAndPrintAsTyped) {
    m_data.SetReal(11, 1.234f);
    EXPECT_EQ(m_data.Working(11), 123u);
    EXPECT_EQ(Format("%.2f", m_data.GetReal(11)), "1.23");
    m_data.SetReal(19, 2.25f);
    EXPECT_EQ(m_data.Working(19), 23u);
    m_data.SetReal(1, 2.5f);
    EXPECT_EQ(m_data.Working(1), 3u);
    m_data.SetReal(11, 1.005f);  // a typed 1.005 rounds up like the user expects
    EXPECT_EQ(m_data.Working(11), 101u);

    // Without the 0.001 offset these print one step too low.
    for (std::uint32_t raw : {30u, 29u, 57u, 115u, 1001u, 65535u}) {
        m_data.SetWorking(15, raw);
        EXPECT_EQ(Format("%.2f", m_data.GetReal(15)), std::to_string(raw / 100) + "." +
                                                          (raw % 100 < 10 ? "0" : "") +
                                                          std::to_string(raw % 100))
            << raw;
        m_data.SetWorking(46, raw);
        EXPECT_EQ(Format("%.1f", m_data.GetReal(46)),
                  std::to_string(raw / 10) + "." + std::to_string(raw % 10))
            << raw;
    }
    m_data.SetWorking(90, 4);
    EXPECT_EQ(Format("%.0f", m_data.GetReal(90)), "4");
}

// Reals the user can type but no word can hold must not be converted with
// undefined behaviour; they clamp to the word's range.
TEST_F(DriveDataTest, RealsOutsideTheWordClamp) {
    m_data.SetReal(11, -1.0f);
    EXPECT_EQ(m_data.Working(11), 0u);
    m_data.SetReal(11, 1e30f);
    EXPECT_EQ(m_data.Working(11), 0xFFFFFFFFu);
    m_data.SetReal(11, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(m_data.Working(11), 0u);
    m_data.SetReal(11, -0.004f);
    EXPECT_EQ(m_data.Working(11), 0u);
}

// The list codings map the pages' list indices to what the drive stores;
// a wrong coding selects a different motor, pole count or speed unit.
TEST_F(DriveDataTest, ListCodings) {
    struct Case {
        int parameter;
        std::uint32_t index;
        std::uint32_t stored;
        std::uint32_t readBack;
    };
    for (const Case& c :
         {Case{96, 0, 2, 0}, Case{96, 3, 8, 3}, Case{102, 5, 32, 1}, Case{102, 0, 0, 0},
          Case{8, 1, 2, 1}, Case{8, 0, 1, 0}, Case{146, 2, 3, 2}, Case{90, 4, 4, 4},
          Case{2, 7, 0, 0}, Case{11, 9, 0, 0}}) {
        m_data.SetChoice(c.parameter, c.index);
        EXPECT_EQ(m_data.Working(c.parameter), c.stored) << "p" << c.parameter;
        EXPECT_EQ(m_data.GetChoice(c.parameter), c.readBack) << "p" << c.parameter;
    }
    m_data.SetWorking(2, 1234);  // uncoded: the raw value is the index
    EXPECT_EQ(m_data.GetChoice(2), 1234u);
    m_data.SetWorking(96, 7);  // odd stored poles: integer division
    EXPECT_EQ(m_data.GetChoice(96), 2u);
    m_data.SetWorking(102, 1);
    EXPECT_EQ(m_data.GetChoice(102), 1u);
}

// Before the first read nothing is known, and pages must see that.
TEST_F(DriveDataTest, StartState) {
    EXPECT_EQ(m_data.GetChoice(1), 4294967295u);
    EXPECT_EQ(m_data.Image(1), 0u);
    EXPECT_EQ(m_data.GroupsIncomplete(), 1);
    EXPECT_EQ(m_data.GetMotorSel(0), 2);
    EXPECT_EQ(m_data.GetMotorSel(1), 2);
    m_data.SetMotorSel(1, 0);
    m_data.SetMotorSel(2, 0);
    m_data.SetMotorSel(-1, 0);
    EXPECT_EQ(m_data.GetMotorSel(1), 0);
    EXPECT_EQ(m_data.GetMotorSel(2), 2);
    m_data.Reset();
    EXPECT_EQ(m_data.GetMotorSel(1), 2);
}

// Speeds are stored in Hz and shown in rpm unless parameter 8 selects Hz.
TEST_F(DriveDataTest, SpeedConversionFollowsTheUnit) {
    std::uint32_t speed = 3000;
    m_data.SetWorking(8, 1);
    m_data.FromDisplaySpeed(speed);
    EXPECT_EQ(speed, 3000u);
    m_data.ToDisplaySpeed(speed);
    EXPECT_EQ(speed, 3000u);
    m_data.SetWorking(8, 2);
    m_data.FromDisplaySpeed(speed);
    EXPECT_EQ(speed, 50u);
    m_data.ToDisplaySpeed(speed);
    EXPECT_EQ(speed, 3000u);
    speed = 119;
    m_data.FromDisplaySpeed(speed);
    EXPECT_EQ(speed, 1u);
}

// A parameter number outside 1..155 must neither read another word nor
// write past the arrays.
TEST_F(DriveDataTest, ParametersOutsideTheRangeReadZeroAndWriteNothing) {
    for (int parameter : {0, -1, 156, 157, 311, 312, 100000, -100000}) {
        m_data.SetWorking(parameter, 5);
        m_data.SetImage(parameter, 5);
        m_data.SetReal(parameter, 5.0f);
        m_data.SetChoice(parameter, 5);
        EXPECT_EQ(m_data.Working(parameter), 0u);
        EXPECT_EQ(m_data.Image(parameter), 0u);
        EXPECT_EQ(m_data.GetChoice(parameter), 0u);
        EXPECT_EQ(m_data.GetReal(parameter), 0.0f);
    }
    EXPECT_EQ(m_data.Image(1), 0u);  // image word 157 untouched by SetWorking(156)
    EXPECT_EQ(m_data.Working(155), 0xFFFFFFFFu);
}

// Group 0x50 answering 01 2C 05 02: its first word, big-endian, is 300.
TEST_F(DriveDataTest, StoresAGroup50ReplyBigEndian) {
    PostReply(0x50, {0x01, 0x2C, 0x05, 0x02});
    m_data.StoreGroupReply();
    EXPECT_EQ(m_data.Image(1), 300u);
    EXPECT_EQ(m_data.Image(7), 5u);
    EXPECT_EQ(m_data.Image(8), 2u);
    EXPECT_TRUE(m_data.GroupReceived(0x50));
    m_data.TakeImage();
    EXPECT_EQ(m_data.GetChoice(1), 300u);
    EXPECT_EQ(m_data.Working(7), 5u);
    EXPECT_EQ(m_data.Working(8), 2u);

    testkit::DriveStands(m_data);
    m_data.SetChoice(7, 1);
    m_data.RequestGroup(0, 0x10);
    const auto sent = TakeRequest();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->command, 0x10);
    EXPECT_EQ(sent->data, (std::vector<std::uint8_t>{0x01, 0x2C, 0x01, 0x02}));
}

// Wrong-length and unknown replies must change nothing: a truncated reply
// would otherwise mark a group read with garbage values.
TEST_F(DriveDataTest, IgnoresWrongLengthAndUnknownReplies) {
    PostReply(0x50, {0x01, 0x2C, 0x05});
    PostReply(0x50, {0x01, 0x2C, 0x05, 0x02, 0x00});
    PostReply(0x5B, std::vector<std::uint8_t>(10, 0xFF));
    PostReply(0x60, {1, 2, 3, 4});
    for (int i = 0; i < 4; ++i) m_data.StoreGroupReply();
    EXPECT_FALSE(m_data.GroupReceived(0x50));
    for (int p = 1; p <= 155; ++p) EXPECT_EQ(m_data.Image(p), 0u) << p;

    link::Telegram lying;  // length byte says 4, buffer holds 2
    lying.command = 0x50;
    lying.length = 4;
    lying.data = {1, 2};
    m_data.StoreReply(lying);
    EXPECT_FALSE(m_data.GroupReceived(0x50));
    EXPECT_EQ(m_data.Image(1), 0u);
}

// Reads go out only for group codes; writes only for write commands, and a
// refused write leaves the image as the drive has it.
TEST_F(DriveDataTest, RequestGroupSendsOnlyValidRequests) {
    m_data.RequestGroup(1, 0x59);
    m_data.RequestGroup(1, 0x5F);
    m_data.RequestGroup(1, 0x5B);
    m_data.RequestGroup(1, 0x10);
    m_data.RequestGroup(2, 0x50);
    m_data.RequestGroup(-1, 0x10);
    EXPECT_EQ(TakeReadRequests(), (std::vector<int>{0x59, 0x5F}));

    m_data.SetWorking(100, 77);  // travels in no group
    m_data.RequestGroup(0, 0x19);
    EXPECT_FALSE(TakeRequest().has_value());
    EXPECT_EQ(m_data.Image(100), 0u);
}

}  // namespace
}  // namespace velmora::model
