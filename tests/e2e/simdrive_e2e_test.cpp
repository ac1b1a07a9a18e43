// The simulated drive against the project's own link threads on a
// pseudo-terminal, the test thread acting as the main window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <numeric>
#include <random>

#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "tests/support/drivelinkharness.h"

namespace velmora::e2e {
namespace {

namespace code = model::code;
namespace param = model::param;

bool Connected(DriveLinkHarness& h) {
    return h.pumpUntil([&] { return h.linkState == 1; }, 3s);
}

// The window's first complete read must end, with the identity and limits
// the pages rely on.
TEST(SimDriveE2E, FirstCompleteReadGivesABelievableDrive) {
    DriveLinkHarness h;
    ASSERT_FALSE(h.device.empty());
    ASSERT_TRUE(Connected(h));
    ASSERT_TRUE(h.readAllGroups());
    EXPECT_EQ(h.data.Image(param::kInverterType), 7302u);
    EXPECT_GT(h.data.Image(param::kFirmwareVersion), 308u);  // firmware above 3.075
    EXPECT_NE(h.data.Image(param::kSerialNumber), 0u);
    EXPECT_EQ(h.data.Image(param::kMinSpeed), 30u);
    EXPECT_EQ(h.data.Image(param::kMaxSpeed), 4000u);
    EXPECT_EQ(h.data.Image(param::kMotorType), 1u);
    EXPECT_TRUE(h.pumpUntil([&] { return h.status.has_value(); }, 3s));
    EXPECT_EQ((*h.status)[1] & 1, 1);  // operation allowed at standstill
}

// Every writable group written through the data store comes back as sent.
TEST(SimDriveE2E, EveryWritableGroupIsWrittenAndReadBack) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    ASSERT_TRUE(h.readAllGroups());
    h.data.TakeImage();
    for (const auto& group : model::AllGroups()) {
        if (group.writeCommand < 0) continue;
        for (const auto& field : group.fields) {
            const std::uint32_t mask = field.bits == 32 ? 0xFFFFFFFFu : (1u << field.bits) - 1;
            h.data.SetWorking(field.parameter, (field.parameter * 2654435761u + 17) & mask);
        }
        // Words outside every rule: the layout alone, past the gate that
        // would refuse them.
        h.data.CopyWorkingToImage();
        h.link.sendRequest(model::BuildWriteGroup(group.code, h.data.ImageWords()));
        ASSERT_TRUE(h.readGroup(group.code)) << std::hex << int(group.code);
        for (const auto& field : group.fields)
            EXPECT_EQ(h.data.Image(field.parameter), h.data.Working(field.parameter))
                << "parameter " << int(field.parameter);
    }
}

// The actual speed climbs along the ramp to the set speed; operation is not
// allowed while the motor turns, and is again once it stands.
TEST(SimDriveE2E, MotorStartReachesTheSetSpeedAlongTheRamp) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    ASSERT_TRUE(h.readAllGroups());
    h.data.TakeImage();
    h.data.SetWorking(param::kAccelerationTime, 6);  // 0.6 s over 4000 Hz
    h.data.SetWorking(param::kDecelerationTime, 4);
    h.data.SetWorking(param::kSetSpeed, 2000);
    h.data.RequestGroup(0, 0x11);
    h.data.RequestGroup(0, 0x10);
    ASSERT_EQ(h.link.setPollMode(link::PollMode::ControlPage), 0);
    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::StartMotor)), 0);

    std::vector<std::uint32_t> speeds;
    bool notAllowedSeen = false;
    const bool reached = h.pumpUntil(
        [&] {
            if (h.status && ((*h.status)[1] & 1) == 0) notAllowedSeen = true;
            const std::uint32_t speed = h.data.Image(param::kSpeedSetPoint);
            if (speeds.empty() || speeds.back() != speed) speeds.push_back(speed);
            return h.data.Image(param::kActualSpeed) == 2000;
        },
        5s);
    ASSERT_TRUE(reached);
    EXPECT_TRUE(notAllowedSeen);
    EXPECT_TRUE(std::is_sorted(speeds.begin(), speeds.end()));
    EXPECT_TRUE(std::any_of(speeds.begin(), speeds.end(), [](std::uint32_t s) {
        return s > 0 && s < 2000;
    })) << "no value on the way up";
    EXPECT_GT(h.data.Image(param::kOutputVoltage), 0u);
    EXPECT_GT(h.data.Image(param::kOutputCurrent), 0u);

    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::StopMotor)), 0);
    EXPECT_TRUE(h.pumpUntil(
        [&] {
            return h.data.Image(param::kSpeedSetPoint) == 0 && h.status &&
                   ((*h.status)[1] & 1) == 1;
        },
        5s));
}

// A fault typed on the console reaches the status reply and leaves it again.
TEST(SimDriveE2E, InjectedFaultIsReportedAndCleared) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    EXPECT_EQ(h.server.command("fault 2 9"), "ok fault 2 9");
    EXPECT_TRUE(
        h.pumpUntil([&] { return h.status && (*h.status)[2] == 2 && (*h.status)[3] == 9; }, 3s));
    EXPECT_EQ(h.server.command("clear"), "ok fault cleared");
    EXPECT_TRUE(h.pumpUntil([&] { return h.status && (*h.status)[2] == 0; }, 3s));
    // A general fault keeps the values of its moment for the report page.
    EXPECT_EQ(h.server.command("fault 3 1"), "ok fault 3 1");
    h.data.SetImage(param::kHeldSpeedSetPoint, 12345);
    EXPECT_TRUE(h.readGroup(0x5F));
    EXPECT_EQ(h.data.Image(param::kHeldSpeedSetPoint), 0u);  // the motor stood
}

// Save, factory reset, load and delete act on the drive's slot store.
TEST(SimDriveE2E, MemorySlotSavedLoadedAndFoundEmptyAfterDeletion) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    ASSERT_TRUE(h.readAllGroups());
    h.data.TakeImage();
    // Settings go out once the drive has said that its motor stands.
    ASSERT_TRUE(h.pumpUntil([&] { return h.status.has_value(); }));
    h.data.SetWorking(param::kRatedFrequency, 1234);
    ASSERT_FALSE(h.data.RequestGroup(0, 0x15));
    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::SaveMemorySlot, 5)), 0);
    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::LoadFactorySettings)), 0);
    ASSERT_TRUE(h.readGroup(0x55));
    EXPECT_EQ(h.data.Image(param::kRatedFrequency), 4000u);

    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::LoadMemorySlot, 5)), 0);
    auto state = h.ask(model::BuildReadSlotState(5), code::SlotState);
    ASSERT_TRUE(state);
    std::uint8_t held = 0;
    EXPECT_EQ(model::ParseSlotState(*state, held), 0);
    EXPECT_EQ(held, 1);
    ASSERT_TRUE(h.readGroup(0x55));
    EXPECT_EQ(h.data.Image(param::kRatedFrequency), 1234u);
    ASSERT_TRUE(h.readGroup(0x59));
    EXPECT_EQ(h.data.Image(param::kMemorySlot), 5u);

    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::DeleteMemorySlot, 5)), 0);
    state = h.ask(model::BuildReadSlotState(5), code::SlotState);
    ASSERT_TRUE(state);
    EXPECT_EQ(model::ParseSlotState(*state, held), 0);
    EXPECT_EQ(held, 0);
}

// The whole boot-loader exchange as the firmware panel runs it; what the
// drive stored must equal the files byte for byte.
TEST(SimDriveE2E, FirmwareTransferArrivesByteForByte) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    std::mt19937 random(7);
    std::vector<std::uint8_t> loader(600);
    std::vector<std::uint8_t> firmware(4000);
    for (auto& b : loader) b = static_cast<std::uint8_t>(random());
    for (auto& b : firmware) b = static_cast<std::uint8_t>(random());

    h.link.suspendSupervision();
    ASSERT_EQ(h.link.setPollMode(link::PollMode::FirmwareQuiet), 0);
    std::uint16_t block = 0;
    for (std::size_t at = 0; at < loader.size(); at += 251, ++block) {
        const std::size_t n = std::min<std::size_t>(251, loader.size() - at);
        ASSERT_EQ(
            h.link.sendRequest(model::BuildLoaderBlock(block, std::span(loader).subspan(at, n))),
            0);
    }
    ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::LoaderDone)), 0);

    bool lastSent = false;
    for (int round = 0; round < 100; ++round) {
        auto request =
            h.ask(model::BuildReadGroup(code::BlockRequestReply), code::BlockRequestReply);
        ASSERT_TRUE(request) << "no block request in round " << round;
        std::uint16_t k = 0;
        ASSERT_EQ(model::ParseBlockRequest(*request, k), 0);
        if (lastSent) {
            ASSERT_EQ(h.link.sendRequest(model::BuildAction(code::FirmwareDone)), 0);
            break;
        }
        const std::size_t offset = std::size_t{k} * 248;
        ASSERT_LT(offset, firmware.size());
        const std::size_t n = std::min<std::size_t>(248, firmware.size() - offset);
        lastSent = offset + n >= firmware.size();
        ASSERT_EQ(h.link.sendRequest(
                      model::BuildFirmwareBlock(k, std::span(firmware).subspan(offset, n))),
                  0);
    }
    // The drive answers a status request again once it runs its firmware.
    ASSERT_EQ(h.link.setPollMode(link::PollMode::Initial), 0);
    h.status.reset();
    EXPECT_TRUE(h.pumpUntil([&] { return h.status.has_value(); }, 3s));
    h.link.resumeSupervision();
    EXPECT_EQ(h.server.receivedLoader(), loader);
    EXPECT_EQ(h.server.receivedFirmware(), firmware);
    EXPECT_NE(h.server.command("state").find("firmware 4000 bytes complete in-order"),
              std::string::npos)
        << h.server.command("state");
}

// Garbled and lost bytes cost single answers, never the drive's decoding:
// once the line is clean again every request is answered. Upper-case
// replies decode to the same values.
TEST(SimDriveE2E, LineFaultsCostAnswersButNotTheDecoder) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    ASSERT_EQ(h.link.setPollMode(link::PollMode::FirmwareQuiet), 0);
    EXPECT_EQ(h.server.command("noise 0.02"), "ok noise 0.02");
    EXPECT_EQ(h.server.command("drop 0.02"), "ok drop 0.02");
    h.groupReplies.clear();
    for (int i = 0; i < 20; ++i) ASSERT_EQ(h.link.sendRequest(model::BuildReadGroup(0x5A)), 0);
    h.pumpUntil([] { return false; }, 400ms);
    const auto answered = std::count(h.groupReplies.begin(), h.groupReplies.end(), 0x5A);
    EXPECT_LT(answered, 20);
    h.server.command("noise 0");
    h.server.command("drop 0");
    for (int i = 0; i < 10; ++i) {
        h.data.SetImage(param::kSerialNumber, 0);
        ASSERT_TRUE(h.readGroup(0x5A, 1s)) << "request " << i;
        EXPECT_EQ(h.data.Image(param::kSerialNumber), 73020417u);
    }
    EXPECT_EQ(h.server.command("uppercase on"), "ok uppercase on");
    h.data.SetImage(param::kSerialNumber, 0);
    ASSERT_TRUE(h.readGroup(0x5A, 1s));
    EXPECT_EQ(h.data.Image(param::kSerialNumber), 73020417u);
}

// A pulled cable is reported lost by the supervision and found again.
TEST(SimDriveE2E, UnpluggedDriveIsLostAndFoundAgain) {
    DriveLinkHarness h;
    ASSERT_TRUE(Connected(h));
    EXPECT_EQ(h.server.command("unplug 1.5"), "ok unplugged for 1.5 s");
    EXPECT_TRUE(h.pumpUntil([&] { return h.linkState == 0; }, 3s));
    EXPECT_TRUE(h.pumpUntil([&] { return h.linkState == 1; }, 5s));
}

// An adapter pulled out and plugged in again (the simulator hangs up its
// pseudo-terminal and serves on a new one behind the same link) is reported
// lost within half a second and connected again within two seconds of its
// return, with the real supervision pauses; the drive reads as before.
TEST(SimDriveE2E, ReplugIsLostAtOnceAndConnectedAgain) {
    using Clock = std::chrono::steady_clock;
    const auto ptyLink =
        std::filesystem::temp_directory_path() / ("velmora-replug-" + std::to_string(::getpid()));
    DriveLinkHarness h({}, link::LinkTimings{}, ptyLink.string());
    ASSERT_TRUE(Connected(h));
    ASSERT_TRUE(h.readAllGroups());
    for (const char* pause : {"0.3", "1"}) {
        const auto pulled = Clock::now();
        EXPECT_EQ(h.server.command(std::string("replug ") + pause).rfind("ok", 0), 0u);
        ASSERT_TRUE(h.pumpUntil([&] { return h.linkState == 0; }, 500ms)) << pause;
        const auto lost = Clock::now();
        const auto back = pulled + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(std::stod(pause)));
        ASSERT_TRUE(h.pumpUntil(
            [&] { return h.linkState == 1; },
            std::chrono::duration_cast<std::chrono::milliseconds>(back - Clock::now()) + 2s))
            << pause;
        const auto ms = [](Clock::duration d) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
        };
        std::cout << "replug " << pause << " s: lost after " << ms(lost - pulled)
                  << " ms, connected " << ms(Clock::now() - back) << " ms after its return\n";
    }
    h.allGroupsRead = false;
    h.data.Reset();
    ASSERT_TRUE(h.readAllGroups());
    EXPECT_NE(h.data.Image(param::kSerialNumber), 0u);
    h.server.stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(ptyLink)));
}

}  // namespace
}  // namespace velmora::e2e
