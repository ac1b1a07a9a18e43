#include "pages/specificprog/actuatortestdialog.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>

#include "model/commands.h"
#include "shell/roundbutton.h"
#include "tests/support/waitfor.h"
#include "tests/support/widgettest.h"

namespace velmora::pages {
namespace {

using namespace velmora::shell;
using link::PollMode;
using testkit::PollModes;

const QColor kOn(0, 255, 0);
const QColor kOff(128, 128, 128);

class ActuatorTestDialogTest : public testkit::WidgetTest {
  protected:
    ActuatorTestDialogTest() {
        clock.start();
        dialog.setLink({[this](link::Telegram t) {
                            sentAt.push_back(clock.elapsed());
                            sent.push_back(std::move(t));
                            return 0;
                        },
                        [this](int mode) {
                            pollModes.push_back(mode);
                            return 0;
                        }});
    }
    QCheckBox* box(const char* name) { return testkit::FindChild<QCheckBox>(&dialog, name); }
    RoundButton* lamp(const char* name) { return testkit::FindChild<RoundButton>(&dialog, name); }
    QString value(const char* name) { return testkit::FindChild<QLineEdit>(&dialog, name)->text(); }

    static link::Telegram sensorReply(std::vector<std::uint8_t> data, int code = 0x5B) {
        link::Telegram reply;
        reply.command = code;
        reply.length = static_cast<std::uint8_t>(data.size());
        reply.data = std::move(data);
        return reply;
    }

    testkit::FrameRecorder frame;
    QElapsedTimer clock;
    std::vector<link::Telegram> sent;
    std::vector<qint64> sentAt;  // ms on the clock
    std::vector<int> pollModes;
    ActuatorTestDialog dialog{FrameChannel{&frame}};
};

// Catches the tab lock or the input polling left on after the test is
// hidden, and outputs that stay ticked (and sent) after leaving.
TEST_F(ActuatorTestDialogTest, ShowingAndHidingLockTabsAndPollInputs) {
    dialog.show();
    EXPECT_EQ(pollModes, PollModes({PollMode::ActuatorTest}));
    ASSERT_EQ(frame.messages().size(), 1u);
    EXPECT_EQ(frame.messages()[0], shell::FrameMessage{shell::TabLock{true}});
    QTest::mouseClick(box("outputRelay2"), Qt::LeftButton);
    EXPECT_TRUE(dialog.sendingOutputs());
    dialog.hide();
    EXPECT_EQ(pollModes, PollModes({PollMode::ActuatorTest, PollMode::SpecificProgMenu}));
    EXPECT_EQ(frame.messages().back(), shell::FrameMessage{shell::TabLock{false}});
    EXPECT_FALSE(box("outputRelay2")->isChecked());
    EXPECT_FALSE(dialog.sendingOutputs());
    EXPECT_EQ(dialog.outputByte(), 0);
}

// Catches output bits in the wrong positions, a wrong command code, sending
// that goes on after the last box was cleared, and a period other than
// 300 ms. Timers fire late under load, never much early (270 allows for Qt's
// coarse timers); a late one is followed by a shorter gap, so the lower bound
// is taken over all sends. Load only stretches gaps, so the upper bound is
// taken on the shortest: one gap in four near the period is enough, and a
// period of 450 ms or more fails however quiet the machine.
TEST_F(ActuatorTestDialogTest, TickedBoxesAreSentEvery300Milliseconds) {
    dialog.show();
    QTest::mouseClick(box("outputRelay1"), Qt::LeftButton);
    const qint64 lastClick = clock.elapsed();  // the next click starts the period again
    QTest::mouseClick(box("outputLedOperation"), Qt::LeftButton);
    EXPECT_EQ(dialog.outputByte(), 0x09);
    ASSERT_TRUE(testkit::WaitFor([&] { return sent.size() >= 5; }, 8000));
    EXPECT_GE(sentAt[0] - lastClick, 270);
    const auto sends = static_cast<qint64>(sentAt.size());
    EXPECT_GE((sentAt.back() - sentAt.front()) / (sends - 1), 270);
    qint64 shortest = sentAt[1] - sentAt[0];
    for (std::size_t i = 2; i < sentAt.size(); ++i)
        shortest = std::min(shortest, sentAt[i] - sentAt[i - 1]);
    EXPECT_LT(shortest, 450);
    for (const auto& telegram : sent) {
        EXPECT_EQ(telegram.command, model::code::ActuatorTest);
        EXPECT_EQ(telegram.length, 1);
        EXPECT_EQ(telegram.data, std::vector<std::uint8_t>{0x09});
    }
    QTest::mouseClick(box("outputRelay1"), Qt::LeftButton);
    QTest::mouseClick(box("outputLedOperation"), Qt::LeftButton);
    EXPECT_FALSE(dialog.sendingOutputs());
    const auto count = sent.size();
    QTest::qWait(400);  // a timer left running would send within one period
    EXPECT_EQ(sent.size(), count);

    QTest::mouseClick(box("outputLedFault"), Qt::LeftButton);
    QTest::mouseClick(box("outputRelay2"), Qt::LeftButton);
    ASSERT_TRUE(testkit::WaitFor([&] { return sent.size() > count; }, 3000));
    EXPECT_EQ(sent.back().data, std::vector<std::uint8_t>{0x06});
}

// Catches inputs read from the wrong bit or byte, the measured words read
// little-endian or scaled wrongly, and replies of another kind shown.
TEST_F(ActuatorTestDialogTest, SensorReplySetsLampsAndValues) {
    for (const char* name : {"lampDin1", "lampHallW", "lampMotorTemp"}) {
        EXPECT_EQ(lamp(name)->colour(RoundButton::Face), kOff);
    }
    // din1, din3, din6; hall v, motor temperature; 1234, 2400, 456, 32500
    auto reply = sensorReply({0x25, 0x0A, 0x04, 0xD2, 0x09, 0x60, 0x01, 0xC8, 0x7E, 0xF4});
    EXPECT_EQ(dialog.showSensorState(reply), 0);
    const std::pair<const char*, bool> lamps[] = {
        {"lampDin1", true},   {"lampDin2", false},    {"lampDin3", true},   {"lampDin4", false},
        {"lampDin5", false},  {"lampDin6", true},     {"lampHallU", false}, {"lampHallV", true},
        {"lampHallW", false}, {"lampMotorTemp", true}};
    for (const auto& [name, on] : lamps) {
        EXPECT_EQ(lamp(name)->colour(RoundButton::Face), on ? kOn : kOff) << name;
    }
    EXPECT_EQ(value("valueSetCurrent"), "12.34");
    EXPECT_EQ(value("valueSetVoltage"), "24.00");
    EXPECT_EQ(value("valueTempBox"), "45.6");
    EXPECT_EQ(value("valueInputVoltage"), "325.00");
    // The lamp shows its colour on the screen too.
    dialog.show();
    EXPECT_EQ(lamp("lampDin1")->grab().toImage().pixelColor(10, 10), kOn);

    auto shortReply = sensorReply({0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(dialog.showSensorState(shortReply), 1);
    auto otherCode = sensorReply({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x5C);
    EXPECT_EQ(dialog.showSensorState(otherCode), 1);
    EXPECT_EQ(lamp("lampDin1")->colour(RoundButton::Face), kOn);
    EXPECT_EQ(value("valueSetCurrent"), "12.34");
}

}  // namespace
}  // namespace velmora::pages
