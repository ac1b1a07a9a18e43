#include "sim/driveserver.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/support/rawframes.h"
#include "tests/support/waitfor.h"

namespace velmora::sim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Bytes;
using test::Frame;
using Clock = std::chrono::steady_clock;

// The tool's end of the line, written and read byte by byte.
class Peer {
  public:
    explicit Peer(const std::string& device) {
        m_fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) return;
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
    }
    ~Peer() {
        if (m_fd >= 0) ::close(m_fd);
    }
    [[nodiscard]] bool open() const { return m_fd >= 0; }
    [[nodiscard]] int fd() const { return m_fd; }
    void send(const Bytes& bytes) const {
        ASSERT_EQ(::write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Everything up to and including the next ETX, or what came before the
    // line stayed silent for `quiet`.
    Bytes receive(std::chrono::milliseconds quiet = 300ms) const {
        Bytes out;
        for (;;) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0) return out;
            std::uint8_t b = 0;
            if (::read(m_fd, &b, 1) != 1) return out;
            out.push_back(b);
            if (b == 0x03) return out;
        }
    }

  private:
    int m_fd = -1;
};

// Published example frames of the protocol: the drive must answer them
// byte-exactly, in either case, and stay silent on everything else.
TEST(DriveServer, AnswersFramesExactlyAndIgnoresBadOnes) {
    DriveServer server;
    const std::string device = server.startOnPty();
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(server.devicePath(), device);
    Peer peer(device);
    ASSERT_TRUE(peer.open());

    peer.send({0x02, '0', '1', '8', '0', '0', '0', '2', '9', 0x03});
    EXPECT_EQ(peer.receive(), (Bytes{0x02, '0', '1', '8', '1', '0', '0', '2', 'a', 0x03}));
    peer.send(Frame("01CF015A", true));  // upper case from the tool's side
    EXPECT_EQ(peer.receive(), Frame("015a0d00000000001c860138045a3401"));

    const Bytes badSum = {0x02, '0', '1', '8', '0', '0', '0', '2', 'a', 0x03};
    peer.send(badSum);
    EXPECT_TRUE(peer.receive(150ms).empty());
    peer.send(Frame("028000"));  // another station
    EXPECT_TRUE(peer.receive(150ms).empty());
    peer.send(Frame("01a000"));          // an action
    peer.send(Frame("011004000a0001"));  // a write
    EXPECT_TRUE(peer.receive(150ms).empty());
    // Noise and a broken half frame before a good one cost nothing.
    Bytes mixed{'x', 0x03, 0xFF, 0x02, '0', '1'};
    const Bytes good = Frame("01cf0150");
    mixed.insert(mixed.end(), good.begin(), good.end());
    peer.send(mixed);
    EXPECT_EQ(peer.receive(), Frame("015004000a0001"));  // the write above, stored
    server.stop();
    EXPECT_TRUE(server.devicePath().empty());
}

// Answers come within a few milliseconds, or after the latency asked for.
TEST(DriveServer, AnswersQuicklyOrAfterTheLatency) {
    for (int latency : {0, 80}) {
        DriveServer server(ServerOptions{1.0, latency, {}});
        Peer peer(server.startOnPty());
        ASSERT_TRUE(peer.open());
        std::vector<double> ms;
        for (int i = 0; i < 9; ++i) {
            const auto start = Clock::now();
            peer.send(Frame("01cf0160"));
            ASSERT_EQ(peer.receive().size(), 18u);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        if (latency == 0) {
            EXPECT_LT(ms[4], 30.0);  // median; generous for loaded sanitizer builds
        } else {
            EXPECT_GE(ms[0], latency);
            EXPECT_LT(ms[4], latency + 40.0);
        }
    }
}

// Console commands reach the line: upper case, unplug, a fault in the status.
TEST(DriveServer, ConsoleCommandsActOnTheLine) {
    DriveServer server;
    Peer peer(server.startOnPty());
    ASSERT_TRUE(peer.open());
    EXPECT_EQ(server.command("fault 1 5"), "ok fault 1 5");
    peer.send(Frame("01cf0160"));
    EXPECT_EQ(peer.receive(), Frame("01600410010105"));  // fault flag, allowed, 1, 5
    EXPECT_EQ(server.command("uppercase on"), "ok uppercase on");
    peer.send(Frame("01cf015f"));
    EXPECT_EQ(peer.receive(), Frame("015F0A" + std::string(20, '0'), true));
    EXPECT_EQ(server.command("unplug 0.3"), "ok unplugged for 0.3 s");
    peer.send(Frame("018000"));
    EXPECT_TRUE(peer.receive(100ms).empty());
    ASSERT_TRUE(testkit::WaitFor(
        [&] { return server.command("state").find("unplugged") == std::string::npos; }));
    peer.send(Frame("018000"));
    EXPECT_EQ(peer.receive(), Frame("018100", true));
}

// The tool closes and reopens the line when it reconnects; the drive must
// still be there, and the link path must point at it while it serves.
TEST(DriveServer, SurvivesReconnectsAndManagesItsLink) {
    const fs::path link =
        fs::temp_directory_path() / ("velmora-sim-link-" + std::to_string(::getpid()));
    DriveServer server;
    const std::string device = server.startOnPty(link.string());
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(fs::read_symlink(link), device);
    for (int round = 0; round < 3; ++round) {
        Peer peer(link.string());
        ASSERT_TRUE(peer.open()) << round;
        peer.send(Frame("018000"));
        EXPECT_EQ(peer.receive(), Frame("018100")) << round;
    }
    server.stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    // A real file is never replaced by the link.
    {
        std::FILE* f = std::fopen(link.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    DriveServer other;
    EXPECT_TRUE(other.startOnPty(link.string()).empty());
    EXPECT_TRUE(fs::is_regular_file(link));
    fs::remove(link);
    EXPECT_FALSE(other.startOnDevice("/nonexistent/tty"));
}

// replug hangs the line up at once (the tool's end reads a hang-up), takes no
// second replug meanwhile, and serves a new pseudo-terminal behind the same
// link; a stop during the pause ends it cleanly and leaves no link behind.
TEST(DriveServer, ReplugHangsUpAndServesANewLineBehindTheLink) {
    const fs::path link =
        fs::temp_directory_path() / ("velmora-sim-replug-" + std::to_string(::getpid()));
    DriveServer server;
    EXPECT_EQ(server.command("replug"), "error: usage: replug <seconds 0..86400>");
    EXPECT_EQ(server.command("replug 1"), "error: replug needs the simulator on a pseudo-terminal");
    const std::string first = server.startOnPty(link.string());
    ASSERT_FALSE(first.empty());
    Peer peer(link.string());
    ASSERT_TRUE(peer.open());
    EXPECT_EQ(server.command("replug -1"), "error: usage: replug <seconds 0..86400>");
    EXPECT_EQ(server.command("replug 0.2"), "ok replugged, back in 0.2 s");
    EXPECT_EQ(server.command("replug 0.2"), "error: already unplugged");
    pollfd hangUp{peer.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&hangUp, 1, 1000), 1);
    EXPECT_NE(hangUp.revents & POLLHUP, 0);

    ASSERT_TRUE(testkit::WaitFor([&] { return !server.devicePath().empty(); }, 3000));
    EXPECT_EQ(fs::read_symlink(link), server.devicePath());
    Peer again(link.string());
    ASSERT_TRUE(again.open());
    again.send(Frame("018000"));
    EXPECT_EQ(again.receive(), Frame("018100"));

    EXPECT_EQ(server.command("replug 60"), "ok replugged, back in 60 s");
    const auto stopping = Clock::now();
    server.stop();
    EXPECT_LT(Clock::now() - stopping, 1s);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

// Slots, memory words, calibration, serial number and hours survive a
// restart of the simulator with the same state file.
TEST(DriveServer, StateFileKeepsTheDriveAcrossRuns) {
    const fs::path file =
        fs::temp_directory_path() / ("velmora-sim-" + std::to_string(::getpid()) + ".state");
    fs::remove(file);
    {
        DriveServer server(ServerOptions{3600.0, 0, file.string()});
        Peer peer(server.startOnPty());
        ASSERT_TRUE(peer.open());
        peer.send(Frame("011c0400000457"));      // serial 1111
        peer.send(Frame("011906012c00000063"));  // word 300 = 99
        peer.send(Frame("01a50109"));            // save slot 9
        peer.send(Frame("01a000"));              // start
        peer.send(Frame("01cf0160"));
        ASSERT_FALSE(peer.receive().empty());
        // An hour of running, scaled: the live values count it.
        ASSERT_TRUE(testkit::WaitFor([&] {
            peer.send(Frame("01cf0159"));
            const Bytes live = peer.receive();
            return live.size() == 64u &&
                   std::string(live.begin() + 45, live.begin() + 53) != "00000000";
        }));
    }
    DriveServer again(ServerOptions{1.0, 0, file.string()});
    Peer peer(again.startOnPty());
    ASSERT_TRUE(peer.open());
    peer.send(Frame("01cf035c012c"));
    EXPECT_EQ(peer.receive(), Frame("015c0400000063"));
    peer.send(Frame("01cf026209"));
    EXPECT_EQ(peer.receive(), Frame("01620101"));
    peer.send(Frame("01cf015a"));
    const Bytes identity = peer.receive();
    ASSERT_EQ(identity.size(), 36u);
    EXPECT_EQ(std::string(identity.begin() + 25, identity.begin() + 33), "00000457");
    peer.send(Frame("01cf0159"));
    const Bytes live = peer.receive();
    ASSERT_EQ(live.size(), 64u);
    EXPECT_NE(std::string(live.begin() + 45, live.begin() + 53), "00000000");  // hours
    fs::remove(file);
}

}  // namespace
}  // namespace velmora::sim

namespace velmora::sim {
namespace {

// --line-rate: a question and its answer take at least their wire time (10
// bits a character), whatever the pseudo-terminal could carry.
TEST(DriveServer, LineRatePacesQuestionAndAnswer) {
    ServerOptions options;
    options.lineRate = 1200;
    DriveServer server(options);
    const std::string device = server.startOnPty();
    ASSERT_FALSE(device.empty());
    Peer peer(device);
    ASSERT_TRUE(peer.open());
    const Bytes question = Frame("01cf015a");
    const Bytes answer = Frame("015a0d00000000001c860138045a3401");
    const auto start = Clock::now();
    peer.send(question);
    EXPECT_EQ(peer.receive(2000ms), answer);
    const auto wire = std::chrono::microseconds((question.size() + answer.size()) * 10 * 1'000'000 /
                                                options.lineRate);
    // The server paces each byte from its own clock: its first byte may start
    // a fraction of a millisecond before the test's clock did.
    EXPECT_GE(Clock::now() - start + 1ms, wire);
}

}  // namespace
}  // namespace velmora::sim
