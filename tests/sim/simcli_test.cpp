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

namespace {

namespace fs = std::filesystem;

std::string Program() { return VELMORA_SIM_PROGRAM; }

// The program with pipes on stdin and stdout.
class Sim {
  public:
    explicit Sim(std::vector<std::string> args) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            std::vector<char*> argv;
            const std::string program = Program();
            argv.push_back(const_cast<char*>(program.c_str()));
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
    }
    ~Sim() {
        closeInput();
        if (m_out >= 0) ::close(m_out);
        if (m_pid > 0) wait();
    }
    void say(const std::string& line) const {
        const std::string text = line + "\n";
        ASSERT_EQ(::write(m_in, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    std::string line(int timeoutMs = 3000) {
        for (;;) {
            if (auto nl = m_pending.find('\n'); nl != std::string::npos) {
                std::string l = m_pending.substr(0, nl);
                m_pending.erase(0, nl + 1);
                return l;
            }
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) return "<timeout>";
            char buf[256];
            const ssize_t n = ::read(m_out, buf, sizeof buf);
            if (n <= 0) return "<eof>";
            m_pending.append(buf, static_cast<std::size_t>(n));
        }
    }
    void closeInput() {
        if (m_in >= 0) ::close(m_in);
        m_in = -1;
    }
    int wait() {
        int status = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid) m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_pending;
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
