#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "commands/dumpcommand.h"
#include "link/seriallink_api.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "sim/drivememory.h"
#include "sim/driveserver.h"
#include "sim/statefile.h"
#include "tests/support/tempfolder.h"

namespace velmora::tools {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The printed form is what production lines diff: a changed number format
// or a missing parameter breaks every stored reference.
TEST(CliDumpFormat, ScalesRealsAndCoversEveryTravellingParameter) {
    model::DriveData data;
    data.SetWorking(model::param::kSetSpeed, 300);    // factor 1
    data.SetWorking(model::param::kPeakCurrent, 30);  // factor 100: 0.30, not 0.29
    data.SetWorking(model::param::kOutputPower, 23);  // factor 10
    data.SetWorking(model::param::kSerialNumber, 0xFFFFFFFFu);
    EXPECT_EQ(ParameterLine(data, 1), "p1 = 300");
    EXPECT_EQ(ParameterLine(data, 11), "p11 = 0.30");
    EXPECT_EQ(ParameterLine(data, 19), "p19 = 2.3");
    EXPECT_EQ(ParameterLine(data, 39), "p39 = 4294967295");

    const auto all = AllParameterLines(data);
    EXPECT_EQ(all.size(), 91u);
    EXPECT_EQ(all.front(), "p1 = 300");
    EXPECT_EQ(all.back().rfind("p155 = ", 0), 0u);
    EXPECT_EQ(GroupLines(data, 0x50),
              (std::vector<std::string>{"p1 = 300", "p7 = 4294967295", "p8 = 4294967295"}));
    EXPECT_TRUE(GroupLines(data, 0x60).empty());
}

TEST(CliDumpFormat, ParsesGroupCodes) {
    EXPECT_EQ(ParseGroupCode("59"), 0x59);
    EXPECT_EQ(ParseGroupCode("0x5a"), 0x5A);
    EXPECT_EQ(ParseGroupCode("0X5F"), 0x5F);
    for (const char* bad : {"", "0x", "5", "60", "5B", "zz", "0x150", "-50", "50 "}) {
        EXPECT_FALSE(ParseGroupCode(bad).has_value()) << bad;
    }
}

// The dump's text for a drive word, worked out by hand: factor-100 and
// factor-10 parameters get two and one decimals, all others the plain word.
std::string Printed(int parameter, std::uint32_t word) {
    const int factor = model::ScaleFactor(parameter);
    std::string value = std::to_string(word);
    if (factor > 1) {
        const std::size_t decimals = factor == 100 ? 2 : 1;
        if (value.size() <= decimals) value.insert(0, decimals + 1 - value.size(), '0');
        value.insert(value.size() - decimals, ".");
    }
    return "p" + std::to_string(parameter) + " = " + value;
}

// Against the simulated drive: every group is read through the window's
// first complete read and printed, one line per parameter, with the values
// the drive was given.
TEST(CliDumpDrive, DumpsTheSimulatedDrive) {
    link::DriveLink link;
    testkit::TempFolder folder("cli-dump");
    sim::DriveMemory memory;  // the factory settings
    memory.parameters[1] = 300;
    memory.parameters[44] = 30;
    memory.parameters[46] = 23;
    memory.parameters[37] = 65535;
    memory.parameters[39] = 4294967295u;
    sim::ServerOptions options;
    options.stateFile = (folder / "drive.state").string();
    ASSERT_TRUE(sim::SaveStateFile(options.stateFile, memory));
    sim::DriveServer drive(options);
    const std::string device = drive.startOnPty();
    ASSERT_FALSE(device.empty());
    link.serial().UseFixedDevice(device);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunDump(link, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    const auto lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 91u);
    for (const char* line :
         {"p1 = 300", "p44 = 0.30", "p46 = 2.3", "p37 = 655.35", "p39 = 4294967295"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    // Every parameter but the live values and the fault hold carries what
    // the drive keeps: the values above, the factory settings otherwise.
    const sim::ParameterWords& words = memory.parameters;
    std::size_t next = 0;
    for (int p = 1; p <= model::kParameterCount; ++p) {
        const auto* group = model::GroupOfParameter(p);
        if (group == nullptr) continue;
        ASSERT_LT(next, lines.size());
        const std::string& text = lines[next++];
        const std::string prefix = "p" + std::to_string(p) + " = ";
        ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
        const std::string value = text.substr(prefix.size());
        const std::size_t point = value.find('.');
        const std::size_t decimals = point == std::string::npos ? 0 : value.size() - point - 1;
        EXPECT_EQ(decimals, model::ScaleFactor(p) == 100  ? 2u
                            : model::ScaleFactor(p) == 10 ? 1u
                                                          : 0u)
            << text;
        if (group->code != 0x59 && group->code != 0x5F) {
            EXPECT_EQ(text, Printed(p, words[p]));
        }
    }

    std::ostringstream one;
    ASSERT_EQ(RunRead(link, 0x55, one, err), 0) << err.str();
    const auto group = Lines(one.str());
    ASSERT_EQ(group.size(), 6u);
    EXPECT_EQ(group.front().rfind("p90 = ", 0), 0u);
    for (const auto& text : group) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), text), lines.end()) << text;
    }
}

// On a line that loses bytes, lost requests and replies are asked for again
// instead of stalling the read until the time limit.
TEST(CliDumpDrive, CompletesOnALossyLine) {
    link::DriveLink link;
    sim::DriveServer drive;
    const std::string device = drive.startOnPty();
    ASSERT_FALSE(device.empty());
    drive.command("drop 0.01");
    link.serial().UseFixedDevice(device);
    std::ostringstream out;
    std::ostringstream err;
    DumpOptions options;
    options.retry = std::chrono::milliseconds(300);
    // Completion is checked, not speed: a lost reply costs a second, and
    // an unloaded run already takes 2 to 7 s.
    options.timeout = std::chrono::milliseconds(20000);
    ASSERT_EQ(RunDump(link, out, err, options), 0) << err.str();
    EXPECT_EQ(Lines(out.str()).size(), 91u);
}

// Without an answering drive the command must end in time with one line.
TEST(CliDumpDrive, FailsWithOneLineWhenNothingAnswers) {
    link::DriveLink link;
    link.serial().UseFixedDevice("/dev/null/velmora-no-such-device");
    std::ostringstream out;
    std::ostringstream err;
    const auto start = std::chrono::steady_clock::now();
    DumpOptions quick;
    quick.timeout = 600ms;
    quick.retry = 200ms;
    EXPECT_EQ(RunDump(link, out, err, quick), kExitNoPort);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(out.str(), "");
    const auto lines = Lines(err.str());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("did not answer"), std::string::npos) << lines[0];
    EXPECT_EQ(RunRead(link, 0x60, out, err), 2);
}

// The subcommands must be reachable through the command line with the port
// options, and reject wrong arguments with exit status 2.
TEST(CliDumpCommands, RunThroughTheCommandLine) {
    sim::DriveServer drive;
    const std::string device = drive.startOnPty();
    ASSERT_FALSE(device.empty());
    std::ostringstream out;
    std::ostringstream err;
    std::atomic<bool> interrupted{false};
    CliContext context{out, err, interrupted};
    const std::vector<std::string> read{"--device", device, "read", "0x5a"};
    ASSERT_EQ(RunCli(read, context), 0) << err.str();
    EXPECT_EQ(Lines(out.str()).size(), 8u);

    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--device", device, "read"},
                                               {"--device", device, "read", "60"},
                                               {"--device", device, "read", "50", "51"},
                                               {"--device", device, "dump", "extra"}}) {
        std::ostringstream none;
        std::ostringstream why;
        CliContext bad{none, why, interrupted};
        EXPECT_EQ(RunCli(args, bad), 2) << args.back();
        EXPECT_EQ(Lines(why.str()).size(), 1u);
        EXPECT_EQ(none.str(), "");
    }

    std::ostringstream help;
    CliContext helpContext{help, err, interrupted};
    const std::vector<std::string> helpArgs{"--help"};
    ASSERT_EQ(RunCli(helpArgs, helpContext), 0);
    EXPECT_NE(help.str().find("dump"), std::string::npos);
    EXPECT_NE(help.str().find("read GROUP"), std::string::npos);
}

}  // namespace
}  // namespace velmora::tools
