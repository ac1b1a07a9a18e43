#include "sim/consolecommand.h"

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

struct Case {
    const char* line;
    const char* answer;  // the start of the answer
};

class Console : public ::testing::TestWithParam<Case> {};

// Every line gets exactly one answer; bad arguments are refused with a
// usage line instead of being half applied.
TEST_P(Console, AnswersEachLine) {
    DriveState drive;
    LineFaults faults(1);
    const auto now = std::chrono::steady_clock::now();
    const std::string answer = RunConsoleCommand(GetParam().line, drive, faults, now);
    EXPECT_EQ(answer.rfind(GetParam().answer, 0), 0u) << answer;
    EXPECT_EQ(answer.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Console,
    ::testing::Values(Case{"fault 1 3", "ok fault 1 3"},
                      Case{"  fault   2  200 ", "ok fault 2 200"},
                      Case{"fault 1", "error: usage: fault"}, Case{"fault 256 1", "error: usage"},
                      Case{"fault -1 1", "error: usage"}, Case{"fault 1 3x", "error: usage"},
                      Case{"clear", "ok fault cleared"}, Case{"unplug 5", "ok unplugged for 5 s"},
                      Case{"unplug 0.5", "ok unplugged for 0.5 s"}, Case{"unplug -1", "error"},
                      Case{"unplug nan", "error"}, Case{"noise 0.01", "ok noise 0.01"},
                      Case{"noise 2", "error: usage: noise"}, Case{"drop 0.1", "ok drop 0.1"},
                      Case{"drop", "error"}, Case{"uppercase on", "ok uppercase on"},
                      Case{"uppercase off", "ok uppercase off"}, Case{"uppercase yes", "error"},
                      Case{"motor start", "ok motor start"}, Case{"motor stop", "ok motor stop"},
                      Case{"motor", "error: usage: motor"},
                      Case{"state", "set 1000 Hz actual 0 Hz running no fault 0 0 loader normal"},
                      Case{"quit", "bye"}, Case{"help", "commands:"}, Case{"", "error"},
                      Case{"reboot", "error: unknown command 'reboot'"}));

// The commands act on the drive and the line, not just answer.
TEST(ConsoleEffects, CommandsChangeDriveAndLine) {
    DriveState drive;
    LineFaults faults(1);
    const auto now = std::chrono::steady_clock::now();
    (void)RunConsoleCommand("fault 2 17", drive, faults, now);
    EXPECT_EQ(drive.status()[2], 2);
    EXPECT_EQ(drive.status()[3], 17);
    EXPECT_NE(RunConsoleCommand("state", drive, faults, now).find("fault 2 17"), std::string::npos);
    (void)RunConsoleCommand("clear", drive, faults, now);
    EXPECT_EQ(drive.status()[2], 0);
    (void)RunConsoleCommand("noise 0.25", drive, faults, now);
    (void)RunConsoleCommand("drop 0.5", drive, faults, now);
    (void)RunConsoleCommand("uppercase on", drive, faults, now);
    EXPECT_EQ(faults.noise(), 0.25);
    EXPECT_EQ(faults.drop(), 0.5);
    EXPECT_TRUE(faults.uppercase());
    (void)RunConsoleCommand("motor start", drive, faults, now);
    EXPECT_NE(RunConsoleCommand("state", drive, faults, now).find("running yes"),
              std::string::npos);
    (void)RunConsoleCommand("motor stop", drive, faults, now);
    EXPECT_NE(RunConsoleCommand("state", drive, faults, now).find("running no"), std::string::npos);
    (void)RunConsoleCommand("unplug 3", drive, faults, now);
    EXPECT_TRUE(faults.unplugged(now + std::chrono::seconds(2)));
    EXPECT_NE(RunConsoleCommand("state", drive, faults, now).find("unplugged"), std::string::npos);
    (void)RunConsoleCommand("unplug 0", drive, faults, now);
    EXPECT_FALSE(faults.unplugged(now));
}

}  // namespace
}  // namespace velmora::sim
