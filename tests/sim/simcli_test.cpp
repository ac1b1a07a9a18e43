// The velmora-sim program as a user starts it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/childprogram.h"

namespace {

namespace fs = std::filesystem;

std::string Program() {
    return VELMORA_SIM_PROGRAM;
}

class Sim : public velmora::testkit::ChildProgram {
  public:
    explicit Sim(std::vector<std::string> args) : ChildProgram(Program(), std::move(args)) {}
};

// The first line is the device path, PATH links to it, each command gets
// its line, and closing stdin ends the program and removes the link.
TEST(SimProgram, ServesOnAPtyLinkUntilStdinCloses) {
    const fs::path link =
        fs::temp_directory_path() / ("velmora-sim-cli-" + std::to_string(::getpid()));
    Sim sim({"--pty-link", link.string(), "--time-scale", "60"});
    const std::string device = sim.line();
    EXPECT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
    EXPECT_EQ(fs::read_symlink(link), device);
    sim.say("state");
    EXPECT_EQ(sim.line().rfind("set 1000 Hz actual 0 Hz running no fault 0 0 loader normal", 0),
              0u);
    sim.say("fault 2 3");
    EXPECT_EQ(sim.line(), "ok fault 2 3");
    sim.say("bogus");
    EXPECT_EQ(sim.line().rfind("error:", 0), 0u);
    sim.closeInput();
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(SimProgram, QuitHelpAndBadArguments) {
    {
        Sim sim({});
        EXPECT_EQ(sim.line().rfind("/dev/", 0), 0u);
        sim.say("quit");
        EXPECT_EQ(sim.line(), "bye");
        EXPECT_EQ(sim.wait(), 0);
    }
    {
        Sim sim({"--help"});
        std::string all;
        for (std::string l = sim.line(); l != "<eof>" && l != "<timeout>"; l = sim.line())
            all += l + "\n";
        for (const char* word : {"--pty-link", "--device", "--time-scale", "--latency", "--state",
                                 "fault <class> <number>", "clear", "unplug", "noise", "drop",
                                 "uppercase on|off", "state", "quit"})
            EXPECT_NE(all.find(word), std::string::npos) << word;
        EXPECT_EQ(sim.wait(), 0);
    }
    for (std::vector<std::string> args : {std::vector<std::string>{"--latency", "x"},
                                          {"--time-scale", "0"},
                                          {"--frobnicate", "1"},
                                          {"--state"},
                                          {"--pty-link", "/tmp/a", "--device", "/dev/null"}}) {
        Sim sim(args);
        EXPECT_EQ(sim.wait(), 2) << args[0];
    }
    Sim missing({"--device", "/nonexistent/ttyX"});
    EXPECT_EQ(missing.wait(), 1);
}

}  // namespace
