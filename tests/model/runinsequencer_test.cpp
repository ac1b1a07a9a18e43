#include "model/runinsequencer.h"

#include <gtest/gtest.h>

#include "model/runinprogram.h"
#include "tests/support/tempfolder.h"

namespace velmora::model {
namespace {

using Kind = RunInCommand::Kind;
const RunInCommand Stop{Kind::StopMotor};
const RunInCommand Start{Kind::StartMotor};
RunInCommand Speed(std::uint32_t hz) {
    return {Kind::WriteSpeed, hz};
}

// Runs n ticks and returns every command issued, with a marker of the tick.
std::vector<std::vector<RunInCommand>> ticks(RunInSequencer& seq, int n) {
    std::vector<std::vector<RunInCommand>> out;
    for (int i = 0; i < n; ++i) {
        seq.tick();
        out.push_back(seq.takeCommands());
    }
    return out;
}

// Each step change must send stop, the speed write, then start or stop, in that order.
TEST(RunInSequencer, StepEntrySendsStopSpeedThenStart) {
    RunInSequencer seq;
    seq.load({{1000, 1, 10, 5}});
    seq.start();
    // 1000 rpm is written as 16 Hz (truncated) while the display keeps 1000.
    EXPECT_EQ(seq.takeCommands(), (std::vector<RunInCommand>{Stop, Speed(16), Start}));
    EXPECT_EQ(seq.shownSpeed(), 1000u);
    EXPECT_EQ(seq.currentStep(), 1u);
    EXPECT_EQ(seq.totalSeconds(), 60u);
}

// On/off rhythm: the motor goes off after the on seconds and back on after the off seconds.
TEST(RunInSequencer, OnOffRhythmTickByTick) {
    RunInSequencer seq;
    seq.load({{600, 1, 2, 3}});
    seq.start();
    seq.takeCommands();
    auto t = ticks(seq, 6);
    EXPECT_TRUE(t[0].empty());
    EXPECT_EQ(t[1], std::vector<RunInCommand>{Stop});  // 2 s on elapsed
    EXPECT_TRUE(t[2].empty());
    EXPECT_TRUE(t[3].empty());
    EXPECT_EQ(t[4], std::vector<RunInCommand>{Start});  // 3 s off elapsed
    EXPECT_TRUE(t[5].empty());
}

// A step below 60 rpm runs with the motor off for its whole duration and writes speed 0.
TEST(RunInSequencer, StepBelowSixtyRpmIsAnOffStep) {
    RunInSequencer seq;
    seq.load({{59, 1, 5, 5}});
    seq.start();
    EXPECT_EQ(seq.takeCommands(), (std::vector<RunInCommand>{Stop, Speed(0), Stop}));
    for (auto& cmds : ticks(seq, 58))
        for (auto& c : cmds) EXPECT_NE(c.kind, Kind::StartMotor);
}

// Off interval 0 keeps the motor running: no stop between on phases.
TEST(RunInSequencer, ZeroOffIntervalNeverStops) {
    RunInSequencer seq;
    seq.load({{1200, 1, 4, 0}});
    seq.start();
    seq.takeCommands();
    for (auto& cmds : ticks(seq, 58)) EXPECT_TRUE(cmds.empty());
    EXPECT_TRUE(seq.motorOnPhase());
}

// On interval 0 keeps the motor off for the whole step.
TEST(RunInSequencer, ZeroOnIntervalNeverStarts) {
    RunInSequencer seq;
    seq.load({{1200, 1, 0, 4}});
    seq.start();
    EXPECT_EQ(seq.takeCommands(), (std::vector<RunInCommand>{Stop, Speed(20), Stop}));
    for (auto& cmds : ticks(seq, 58)) EXPECT_TRUE(cmds.empty());
}

// A zero-minute step lasts one tick and does not count toward the total; the program
// ends with Finished on the total, one tick before the last step's own end.
TEST(RunInSequencer, ZeroMinuteStepAndEndBeforeLastStep) {
    RunInSequencer seq;
    seq.load({{600, 0, 1, 1}, {1200, 1, 30, 30}});
    EXPECT_EQ(seq.totalSeconds(), 60u);
    seq.start();
    seq.takeCommands();
    EXPECT_EQ(seq.tick(), RunInSequencer::Tick::Running);
    EXPECT_EQ(seq.currentStep(), 2u);
    EXPECT_EQ(seq.takeCommands(), (std::vector<RunInCommand>{Stop, Speed(20), Start}));
    for (int i = 2; i < 60; ++i) ASSERT_EQ(seq.tick(), RunInSequencer::Tick::Running) << i;
    EXPECT_EQ(seq.tick(), RunInSequencer::Tick::Finished);
    EXPECT_EQ(seq.currentStep(), 2u);  // no further step change at the end
}

// An empty program finishes on the first tick.
TEST(RunInSequencer, EmptyProgramFinishesAtOnce) {
    RunInSequencer seq;
    seq.load({});
    seq.start();
    EXPECT_EQ(seq.takeCommands(), (std::vector<RunInCommand>{Stop, Speed(0), Stop}));
    EXPECT_EQ(seq.tick(), RunInSequencer::Tick::Finished);
}

// A table longer than 99 steps runs only the first 99; nothing reads past the table.
TEST(RunInSequencer, MoreThan99StepsAreCut) {
    RunInSequencer seq;
    seq.load(std::vector<RunInStep>(150, RunInStep{600, 1, 1, 1}));
    EXPECT_EQ(seq.stepCount(), 99u);
    EXPECT_EQ(seq.totalSeconds(), 99u * 60u);
}

class RunInFiles : public testkit::TempFolderTest {
  protected:
    void write(const std::string& name, const std::string& text) { m_folder.write(name, text); }
};

// The program list ends at the first missing number: 01, 02, 04 lists two.
TEST_F(RunInFiles, ListStopsAtGap) {
    write("runin_01.run", "[general]\nfiletext=A\n");
    write("runin_02.run", "[general]\nfiletext=B\n");
    write("runin_04.run", "[general]\nfiletext=D\n");
    EXPECT_EQ(CountRunInPrograms(m_dir), 2u);
    EXPECT_EQ(RunInProgramName(RunInProgramPath(m_dir, 2)), "B");
    EXPECT_EQ(RunInProgramPath(m_dir, 7).filename(), "runin_07.run");
}

// Steps count up to the first incomplete one; non-numbers read 0; missing name shows FILE_ERROR.
TEST_F(RunInFiles, StepsEndAtFirstIncompleteStep) {
    write("runin_01.run",
          "[step1]\r\nrpm=3000\r\nminute_time=2\r\nseconds_intervall_on=10\r\n"
          "seconds_intervall_off=abc\r\n"
          "[step2]\r\nrpm=6000\r\nminute_time=1\r\nseconds_intervall_on=5\r\n"
          "[step3]\r\nrpm=1\r\nminute_time=1\r\nseconds_intervall_on=1\r\n"
          "seconds_intervall_off=1\r\n");
    auto steps = LoadRunInSteps(RunInProgramPath(m_dir, 1));
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].rpm, 3000u);
    EXPECT_EQ(steps[0].minutes, 2u);
    EXPECT_EQ(steps[0].onSeconds, 10u);
    EXPECT_EQ(steps[0].offSeconds, 0u);
    EXPECT_EQ(RunInProgramName(RunInProgramPath(m_dir, 1)), "FILE_ERROR");
    EXPECT_TRUE(LoadRunInSteps(RunInProgramPath(m_dir, 9)).empty());
}

// Binary junk and very long lines load as no steps without crashing.
TEST(RunInParse, JunkGivesNoSteps) {
    std::string junk(70000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 7919 % 251);
    EXPECT_TRUE(ParseRunInSteps(junk).empty());
    EXPECT_TRUE(ParseRunInSteps(std::string(100000, 'x')).empty());
    std::string many;
    for (int i = 1; i <= 120; ++i)
        many += "[step" + std::to_string(i) +
                "]\nrpm=600\nminute_time=1\nseconds_intervall_on=1\nseconds_intervall_off=1\n";
    EXPECT_EQ(ParseRunInSteps(many).size(), 99u);
}

}  // namespace
}  // namespace velmora::model
