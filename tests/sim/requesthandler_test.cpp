#include "sim/requesthandler.h"

#include <gtest/gtest.h>

#include <set>

#include "model/grouplayout.h"
#include "tests/support/rawframes.h"

namespace velmora::sim {
namespace {

using namespace std::chrono_literals;
using test::Be;
using test::Bytes;
using test::Request;

class Handler : public ::testing::Test {
  protected:
    std::optional<link::Telegram> ask(int command, Bytes data = {}) {
        return handler.handle(Request(command, std::move(data)));
    }
    Bytes read(int code) {
        auto reply = ask(0xCF, {static_cast<std::uint8_t>(code)});
        if (!reply) return {};
        EXPECT_EQ(reply->command, code);
        EXPECT_EQ(reply->length, reply->data.size());
        return reply->data;
    }
    void at(double seconds) {
        drive.advanceTo(t0 + std::chrono::duration_cast<DriveState::Clock::duration>(
                                 std::chrono::duration<double>(seconds)));
    }

    DriveState::Clock::time_point t0 = DriveState::Clock::time_point{} + 1h;
    DriveState drive{1.0};
    RequestHandler handler{drive};
};

// The identity the pages show comes from these bytes: a wrong offset or width
// would show a wrong model, version or serial number.
TEST_F(Handler, IdentityAndLinkCheckAnswerWithExactBytes) {
    auto check = ask(0x80);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->command, 0x81);
    EXPECT_TRUE(check->data.empty());
    EXPECT_EQ(read(0x5A), (Bytes{0, 0, 0, 0, 0, 0x1C, 0x86, 0x01, 0x38, 0x04, 0x5A, 0x34, 0x01}));
    EXPECT_EQ(read(0x50), (Bytes{0x03, 0xE8, 0x00, 0x01}));  // 1000 Hz, PC, Hz
    const Bytes limits = read(0x51);
    ASSERT_EQ(limits.size(), 28u);
    EXPECT_EQ(Be(limits, 0, 2), 30u);
    EXPECT_EQ(Be(limits, 2, 2), 4000u);
    EXPECT_EQ(read(0x55), (Bytes{0x01, 0x0F, 0xA0, 0x10, 0x68, 0x02, 0x58, 0x50, 0x02}));
}

// Every group must answer with exactly its table length, or the tool's
// parser drops it and the first complete read never ends.
TEST_F(Handler, EveryGroupAnswersWithItsLength) {
    for (const auto& group : model::AllGroups()) EXPECT_EQ(read(group.code).size(), group.length);
    EXPECT_EQ(read(0x60), (Bytes{0x00, 0x01, 0x00, 0x00}));  // standing, operation allowed
    EXPECT_EQ(read(0x5B).size(), 10u);
    EXPECT_EQ(read(0x5D).size(), 36u);
    EXPECT_EQ(read(0x5E).size(), 20u);
}

class WritableGroup : public Handler, public ::testing::WithParamInterface<int> {};

// A write must land in the same fields a read returns, including values far
// outside the tool's ranges (the drive stores what it is sent).
TEST_P(WritableGroup, WriteThenReadBackGivesTheSameBytes) {
    const auto* group = model::FindGroup(GetParam());
    ASSERT_NE(group, nullptr);
    Bytes data(group->length);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0xF1 - 7 * i);
    EXPECT_FALSE(ask(group->writeCommand, data));  // never answered
    EXPECT_EQ(read(group->code), data);
    // A write of the wrong length changes nothing.
    Bytes shorter(data.size() - 1, 0);
    EXPECT_FALSE(ask(group->writeCommand, shorter));
    EXPECT_EQ(read(group->code), data);
}

INSTANTIATE_TEST_SUITE_P(Groups, WritableGroup,
                         ::testing::Values(0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58));

// Malformed requests must be ignored, not answered with something invented.
TEST_F(Handler, IgnoresWhatTheDriveDoesNotKnow) {
    link::Telegram wrongAddress = Request(0x80);
    wrongAddress.address = 2;
    EXPECT_FALSE(handler.handle(wrongAddress));
    link::Telegram lying = Request(0xCF, {0x59});
    lying.length = 2;
    EXPECT_FALSE(handler.handle(lying));
    EXPECT_FALSE(ask(0x80, {0x00}));
    EXPECT_FALSE(ask(0xCF));
    EXPECT_FALSE(ask(0xCF, {0x59, 0x00}));
    EXPECT_FALSE(ask(0xCF, {0x63}));
    EXPECT_FALSE(ask(0xCF, {0x61}));  // no block request outside the loader
    EXPECT_FALSE(ask(0xCF, {0x81}));
    EXPECT_FALSE(ask(0x42));
    EXPECT_FALSE(ask(0xA0));
    EXPECT_FALSE(ask(0xA3, {1}));
}

// The memory dialog reads back what it wrote; the parameter area mirrors the
// parameters; addresses past the memory give no answer rather than garbage.
TEST_F(Handler, MemoryWordsAndCalibration) {
    EXPECT_FALSE(ask(0x19, {0x00, 0xC8, 0xDE, 0xAD, 0xBE, 0xEF}));
    auto word = ask(0xCF, {0x5C, 0x00, 0xC8});
    ASSERT_TRUE(word);
    EXPECT_EQ(word->command, 0x5C);
    EXPECT_EQ(word->data, (Bytes{0xDE, 0xAD, 0xBE, 0xEF}));
    word = ask(0xCF, {0x5C, 0x00, 0x2A});  // p42
    ASSERT_TRUE(word);
    EXPECT_EQ(word->data, (Bytes{0, 0, 0x0F, 0xA0}));
    word = ask(0xCF, {0x5C, 0x1F, 0xFE});  // 8190, never written
    ASSERT_TRUE(word);
    EXPECT_EQ(word->data, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(ask(0xCF, {0x5C, 0x1F, 0xFF}));
    EXPECT_FALSE(ask(0x19, {0x1F, 0xFF, 0, 0, 0, 1}));
    EXPECT_FALSE(ask(0xCF, {0x5C, 0x00}));

    Bytes calibration(36);
    for (int i = 0; i < 36; ++i) calibration[i] = static_cast<std::uint8_t>(i * 3);
    EXPECT_FALSE(ask(0x1A, calibration));
    EXPECT_EQ(read(0x5D), calibration);
    EXPECT_FALSE(ask(0x1C, {0x00, 0x01, 0x02, 0x03}));
    EXPECT_EQ(Be(read(0x5A), 9, 4), 0x00010203u);
}

// Save, load and delete must act on the slot named, and the slot state
// must say 1 only for a slot that holds data.
TEST_F(Handler, MemorySlots) {
    auto slotState = [&](std::uint8_t slot) {
        auto r = ask(0xCF, {0x62, slot});
        return r ? r->data : Bytes{};
    };
    EXPECT_EQ(slotState(3), Bytes{0});
    Bytes rated = read(0x55);
    rated[1] = 0x03;  // rated frequency 0x03A0 = 928 Hz
    rated[2] = 0xA0;
    ask(0x15, rated);
    ask(0xA5, {3});
    EXPECT_EQ(slotState(3), Bytes{1});
    EXPECT_EQ(slotState(4), Bytes{0});
    EXPECT_EQ(read(0x59)[18], 3);  // p20 names the slot

    ask(0xA6);  // factory settings
    EXPECT_EQ(Be(read(0x55), 1, 2), 4000u);
    EXPECT_EQ(read(0x59)[18], 0);
    ask(0xA3, {3});
    EXPECT_EQ(read(0x55), rated);
    EXPECT_EQ(read(0x59)[18], 3);

    ask(0xA4, {3});
    EXPECT_EQ(slotState(3), Bytes{0});
    EXPECT_EQ(read(0x59)[18], 0);
    ask(0xA3, {3});  // loading an empty slot leaves the data alone
    EXPECT_EQ(read(0x55), rated);
    for (std::uint8_t bad : {0, 33, 255}) {
        ask(0xA5, {bad});
        EXPECT_EQ(slotState(bad), Bytes{0});
    }
}

// Maker sets: the chosen model's rated values; an index past the list is
// ignored.
TEST_F(Handler, MakerSetsAndMemoryResets) {
    ask(0xA7, {14});
    Bytes rated = read(0x55);
    EXPECT_EQ(rated[0], 1);                  // asynchronous
    EXPECT_EQ(Be(rated, 1, 2), 3500u);       // typem08ac
    EXPECT_EQ(Be(read(0x51), 2, 2), 3500u);  // maximum follows the rated frequency
    ask(0xA7, {11});
    EXPECT_EQ(read(0x55)[0], 3);  // brushless with Hall sensors
    ask(0xA7, {15});
    EXPECT_EQ(read(0x55)[0], 3);

    ask(0xA5, {7});
    ask(0x19, {0x10, 0x00, 0, 0, 0, 5});
    ask(0xA9, {0x01});  // motor parameters
    EXPECT_EQ(Be(read(0x55), 1, 2), 4000u);
    auto slot = ask(0xCF, {0x62, 7});
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->data, Bytes{1});
    ask(0xA9, {0x10});  // the whole memory
    slot = ask(0xCF, {0x62, 7});
    EXPECT_EQ(slot->data, Bytes{0});
    EXPECT_EQ(ask(0xCF, {0x5C, 0x10, 0x00})->data, (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

// The motor follows the set speed along the ramps; the status reply's
// operation-allowed bit is clear while it turns.
TEST_F(Handler, MotorRunsAlongTheRamps) {
    at(0);
    Bytes limits = read(0x51);
    limits[6] = 0;
    limits[7] = 10;  // p46 = 1.0 s for the whole range of 4000 Hz
    limits[8] = 0;
    limits[9] = 20;  // p47 = 2.0 s
    ask(0x11, limits);
    ask(0x10, {0x07, 0xD0, 0x00, 0x01});  // 2000 Hz
    ask(0xA0);
    at(0.25);
    Bytes live = read(0x59);
    EXPECT_EQ(Be(live, 0, 2), 1000u);  // p10 halfway up
    EXPECT_EQ(Be(live, 4, 2), 2000u);  // p12 the target
    EXPECT_GT(Be(live, 10, 2), 0u);    // voltage
    EXPECT_GT(Be(live, 14, 2), 0u);    // current
    EXPECT_EQ(read(0x60)[1] & 1, 0);
    at(0.6);
    live = read(0x59);
    EXPECT_EQ(Be(live, 0, 2), 2000u);
    EXPECT_EQ(Be(live, 8, 2), 2000u);       // p14 reached
    EXPECT_EQ(read(0x60)[0] & 0x03, 0x03);  // running, speed reached
    ask(0xA1);
    at(1.1);
    EXPECT_EQ(Be(read(0x59), 0, 2), 1000u);  // half of the way down (4000 Hz per 2 s)
    at(1.7);
    live = read(0x59);
    EXPECT_EQ(Be(live, 0, 2), 0u);
    EXPECT_EQ(Be(live, 14, 2), 0u);
    EXPECT_EQ(read(0x60), (Bytes{0, 1, 0, 0}));
}

// Operating time advances only while the motor turns, scaled.
TEST(HandlerTime, HoursAdvanceWithTheTimeScale) {
    DriveState drive{3600.0};  // one second is one hour
    RequestHandler handler{drive};
    const auto t0 = DriveState::Clock::time_point{} + 1h;
    drive.advanceTo(t0);
    drive.advanceTo(t0 + 10s);
    auto live = handler.handle(Request(0xCF, {0x59}))->data;
    EXPECT_EQ(Be(live, 19, 4), 0u);
    EXPECT_FALSE(handler.handle(Request(0xA0)));
    drive.advanceTo(t0 + 12s + 500ms);
    live = handler.handle(Request(0xCF, {0x59}))->data;
    EXPECT_EQ(Be(live, 19, 4), 2u);   // hours
    EXPECT_EQ(Be(live, 23, 4), 30u);  // minutes
}

// A severe fault stops the motor and keeps the values of the moment in 0x5F;
// start is refused until a reset.
TEST_F(Handler, FaultsReachTheStatusAndHoldValues) {
    at(0);
    ask(0xA0);
    at(10);
    const Bytes live = read(0x59);
    ASSERT_EQ(Be(live, 0, 2), 1000u);
    drive.injectFault(3, 17);
    EXPECT_EQ(read(0x60), (Bytes{0x10, 0x01, 3, 17}));
    const Bytes hold = read(0x5F);
    EXPECT_EQ(Be(hold, 0, 2), 1000u);            // p151 = p10
    EXPECT_EQ(Be(hold, 4, 2), Be(live, 10, 2));  // p153 = p15
    EXPECT_EQ(Be(hold, 8, 2), Be(live, 14, 2));  // p155 = p18
    EXPECT_EQ(Be(read(0x59), 0, 2), 0u);
    EXPECT_EQ(read(0x5A)[2], 1);  // third error counter
    ask(0xA0);
    at(11);
    EXPECT_EQ(Be(read(0x59), 0, 2), 0u);
    ask(0xA2);
    EXPECT_EQ(read(0x60), (Bytes{0, 1, 0, 0}));
    drive.injectFault(1, 4);  // a warning leaves the motor running
    ask(0xA0);
    at(20);
    EXPECT_EQ(read(0x60), (Bytes{0x13 | 0x04, 0x00, 1, 4}));
}

// Test operation runs at the frequency and voltage the dialog sent.
TEST_F(Handler, TestOperationAndSensors) {
    at(0);
    const Bytes sensors = read(0x5B);
    const double temperature = Be(sensors, 6, 2) / 10.0;
    EXPECT_GE(temperature, 15.0);
    EXPECT_LE(temperature, 45.0);
    ask(0xAA);
    ask(0x1B, {0x00, 0xFA, 0x01, 0xF4, 0x07, 0xD0});  // 2.5 A, 500 Hz, 20 V
    ask(0xA0);
    at(5);
    const Bytes live = read(0x59);
    EXPECT_EQ(Be(live, 0, 2), 500u);
    EXPECT_EQ(Be(live, 10, 2), 2000u);
    EXPECT_EQ(Be(live, 14, 2), 250u);
    ask(0xAB);
    at(10);
    EXPECT_EQ(Be(read(0x59), 0, 2), 0u);
    ask(0xA8, {0x05});
    EXPECT_EQ(drive.outputs(), 0x05);
}

// The boot loader answers 0x61 with the block it wants, takes blocks in
// order only, and hands back to normal operation after FirmwareDone.
TEST_F(Handler, BootLoaderTransfer) {
    auto block = [](int command, std::uint16_t number, Bytes bytes) {
        Bytes data{static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number),
                   static_cast<std::uint8_t>(bytes.size() >> 8),
                   static_cast<std::uint8_t>(bytes.size())};
        data.insert(data.end(), bytes.begin(), bytes.end());
        return Request(command, data);
    };
    auto wanted = [&] {
        auto r = ask(0xCF, {0x61});
        return r ? static_cast<int>(Be(r->data, 0, 2)) : -1;
    };
    EXPECT_FALSE(handler.handle(block(0x1D, 5, {1, 2, 3})));
    EXPECT_FALSE(handler.handle(block(0x1D, 6, {4, 5})));
    EXPECT_TRUE(ask(0xCF, {0x60}));  // the firmware still runs
    ask(0xAC);
    EXPECT_EQ(drive.loader().loaderImage(), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(wanted(), 0);
    EXPECT_FALSE(ask(0xCF, {0x60}));  // the loader answers nothing else
    EXPECT_TRUE(ask(0x80));
    EXPECT_FALSE(handler.handle(block(0x1E, 0, {10, 11, 12, 13})));
    EXPECT_FALSE(handler.handle(block(0x1E, 0, {10, 11, 12, 13})));  // answered twice: harmless
    EXPECT_EQ(wanted(), 1);
    EXPECT_FALSE(handler.handle(block(0x1E, 1, {14, 15})));
    EXPECT_EQ(wanted(), 2);
    EXPECT_EQ(drive.loader().summary(), "loader loader-running firmware 6 bytes receiving");
    ask(0xAD);
    EXPECT_EQ(drive.loader().firmwareImage(), (Bytes{10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(drive.loader().summary(), "loader normal firmware 6 bytes complete in-order");
    EXPECT_FALSE(ask(0xCF, {0x61}));
    EXPECT_EQ(read(0x60).size(), 4u);

    // A gap is refused and reported.
    EXPECT_FALSE(handler.handle(block(0x1D, 0, {1})));
    ask(0xAC);
    EXPECT_FALSE(handler.handle(block(0x1E, 1, {9})));
    EXPECT_EQ(wanted(), 0);
    EXPECT_FALSE(handler.handle(block(0x1E, 0, {8})));
    ask(0xAD);
    EXPECT_EQ(drive.loader().firmwareImage(), Bytes{8});
    EXPECT_EQ(drive.loader().summary(), "loader normal firmware 1 bytes incomplete out-of-order");
    // A block whose count does not match its length is ignored.
    EXPECT_FALSE(handler.handle(block(0x1D, 0, {1})));
    ask(0xAC);
    link::Telegram bad = block(0x1E, 0, {1, 2});
    bad.data[3] = 3;
    EXPECT_FALSE(handler.handle(bad));
    EXPECT_EQ(wanted(), 0);
}

}  // namespace
}  // namespace velmora::sim

namespace velmora::sim {
namespace {

struct VoltagePoint {
    std::uint16_t hz;
    std::uint32_t volts100;  // p15 expected
};

class Characteristic : public ::testing::TestWithParam<VoltagePoint> {};

// The output voltage follows the four-point V/f characteristic of p60..p66
// (factory: 0 Hz 2 V, 400 Hz 6 V, 2000 Hz 24 V, 4000 Hz 42 V), linear in
// between: a wrong segment would show implausible voltages on every page.
TEST_P(Characteristic, VoltageFollowsTheFourPoints) {
    DriveState drive;
    RequestHandler handler{drive};
    const auto t0 = DriveState::Clock::time_point{} + std::chrono::hours(1);
    drive.advanceTo(t0);
    const std::uint16_t hz = GetParam().hz;
    EXPECT_FALSE(handler.handle(test::Request(
        0x10, {static_cast<std::uint8_t>(hz >> 8), static_cast<std::uint8_t>(hz), 0, 1})));
    EXPECT_FALSE(handler.handle(test::Request(0xA0)));
    drive.advanceTo(t0 + std::chrono::seconds(20));
    const auto live = handler.handle(test::Request(0xCF, {0x59}))->data;
    EXPECT_EQ(test::Be(live, 0, 2), hz);
    EXPECT_EQ(test::Be(live, 10, 2), GetParam().volts100);
}

INSTANTIATE_TEST_SUITE_P(Points, Characteristic,
                         ::testing::Values(VoltagePoint{30, 230}, VoltagePoint{400, 600},
                                           VoltagePoint{1200, 1500}, VoltagePoint{2000, 2400},
                                           VoltagePoint{3000, 3300}, VoltagePoint{4000, 4200}));

// Heat-sink temperature rises with the current and settles at a plausible
// value; Hall inputs change only for a motor with Hall sensors.
TEST(DriveSensors, TemperatureRisesWhileRunningAndHallInputsFollowTheRotor) {
    DriveState drive;
    RequestHandler handler{drive};
    const auto t0 = DriveState::Clock::time_point{} + std::chrono::hours(1);
    drive.advanceTo(t0);
    auto temperature = [&] {
        return test::Be(handler.handle(test::Request(0xCF, {0x5B}))->data, 6, 2) / 10.0;
    };
    const double cold = temperature();
    EXPECT_FALSE(handler.handle(test::Request(0x10, {0x0F, 0xA0, 0, 1})));  // 4000 Hz
    EXPECT_FALSE(handler.handle(test::Request(0xA0)));
    drive.advanceTo(t0 + std::chrono::minutes(15));
    const double warm = temperature();
    EXPECT_GT(warm, cold + 5.0);
    EXPECT_LT(warm, 60.0);
    EXPECT_EQ(drive.sensorState()[1] & 0x07, 0);  // asynchronous: no Hall sensors

    EXPECT_FALSE(handler.handle(test::Request(0xA7, {11})));  // BLDC with Hall sensors
    std::set<int> patterns;
    for (int step = 1; step < 40; ++step) {  // a quarter turn apart at 2000 Hz
        drive.advanceTo(t0 + std::chrono::minutes(16) + std::chrono::microseconds(step * 130));
        patterns.insert(drive.sensorState()[1] & 0x07);
    }
    EXPECT_GE(patterns.size(), 3u);
    EXPECT_EQ(patterns.count(0), 0u);
    EXPECT_EQ(patterns.count(7), 0u);  // never an impossible pattern
}

}  // namespace
}  // namespace velmora::sim
