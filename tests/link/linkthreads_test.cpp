#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "link/drivelink.h"
#include "link/linkpolicy.h"
#include "link/manualclock.h"
#include "link/queues.h"
#include "link/seriallink.h"
#include "tests/support/messagerecorder.h"
#include "tests/support/ptypeer.h"
#include "tests/support/tempfolder.h"
#include "tests/support/waitfor.h"

namespace velmora::link {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Bytes;
using test::ScriptedDrive;
using Posts = std::vector<testkit::MessageRecorder::Post>;
using Requests = std::vector<ScriptedDrive::Request>;

// Short supervision pauses; the cycle with the real ones has its own test.
LinkTimings Fast() {
    LinkTimings t;
    t.checkPause = 20ms;
    t.connectedPause = 300ms;
    t.pollPause = 50ms;
    return t;
}

std::size_t CountPosts(const Posts& posts, unsigned message, std::uintptr_t wParam) {
    return static_cast<std::size_t>(std::count_if(posts.begin(), posts.end(), [&](const auto& p) {
        return p.message == message && p.wParam == wParam;
    }));
}

std::size_t CountChecks(const Requests& requests) {
    return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(),
                                                  [](const auto& r) { return r.command == 0x80; }));
}

// The codes of the read requests, link checks left out.
std::vector<int> ReadCodes(const Requests& requests) {
    std::vector<int> codes;
    for (const auto& r : requests) {
        if (r.command == 0xCF && !r.data.empty()) codes.push_back(r.data[0]);
    }
    return codes;
}

class LinkThreadsTest : public ::testing::Test {
  protected:
    explicit LinkThreadsTest(bool manualClock = false)
        : link(manualClock ? static_cast<LinkClock&>(m_clock) : m_steadyClock) {
        link.serial().setConfigFile(m_dir / "config.ini");
    }
    ~LinkThreadsTest() override {
        link.stop();
        link.serial().setPortOpener(nullptr);
    }

    void start(const std::string& device, const LinkTimings& timings = Fast()) {
        link.serial().UseFixedDevice(device);
        m_timings = timings;
        link.start(m_target, timings);
    }
    // Ends the supervision's pauses one by one until `done()` holds.
    bool supervise(const std::function<bool()>& done) {
        return m_clock.advanceUntil(done, {m_timings.checkPause, m_timings.connectedPause});
    }
    bool superviseUntil(std::uintptr_t state, std::size_t from = 0) {
        return supervise(
            [&] { return m_target.waitForPost(WM_DRIVE_LINK_STATE, state, 0ms, from); });
    }

    testkit::TempFolder m_folder{"threads"};
    const fs::path m_dir = m_folder.path();
    testkit::MessageRecorder m_target;
    ManualClock m_clock;
    SteadyLinkClock m_steadyClock;
    DriveLink link;
    LinkTimings m_timings;
};

// The same link on a clock only the test moves: a pause ends when the test
// ends it, however busy the machine is.
class ManualClockTest : public LinkThreadsTest {
  protected:
    ManualClockTest() : LinkThreadsTest(true) {}
};

// Catches a supervision that never checks, checks with a wrong frame, or does
// not report the first answer.
TEST_F(LinkThreadsTest, FirstAnswerReportsTheLink) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    start(drive.devicePath());
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));
    const auto requests = drive.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front().command, 0x80);
    EXPECT_TRUE(requests.front().data.empty());
    EXPECT_EQ(CountPosts(m_target.posts(), WM_DRIVE_LINK_STATE, 0), 0u);
}

// Catches a link check that differs on the wire from the controller's frame,
// or an answer in the controller's own bytes that is not recognised.
TEST_F(LinkThreadsTest, LinkCheckBytesOnTheLine) {
    test::PtyPair pty;
    link.setPollMode(14);
    start(pty.devicePath());
    test::MasterByteSource line(pty.masterFd());
    Bytes sent;
    while (sent.size() < 10) {
        const auto byte = line.nextByte(2000ms);
        ASSERT_TRUE(byte) << "after " << sent.size() << " bytes";
        sent.push_back(*byte);
    }
    EXPECT_EQ(sent, (Bytes{0x02, 0x30, 0x31, 0x38, 0x30, 0x30, 0x30, 0x32, 0x39, 0x03}));
    ASSERT_TRUE(pty.write({0x02, 0x30, 0x31, 0x38, 0x31, 0x30, 0x30, 0x32, 0x61, 0x03}));
    EXPECT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));
}

// Catches a loss reported after one silent check, never reported, a port that
// is not reopened, and requests queued while the drive was away being sent
// to the new port.
TEST_F(LinkThreadsTest, TwoSilentChecksReportLossReopenAndFlush) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    std::atomic<int> opens{0};
    link.serial().setPortOpener([&](unsigned number, const std::string& device) {
        if (++opens == 2) {
            // What the pages queued while the drive stayed silent.
            Telegram stale;
            stale.command = 0xA6;
            for (std::size_t i = 0; i <= kTelegramCapacity; ++i) link.sendRequest(stale);
            Telegram staleFrame;
            staleFrame.command = 0xA6;
            WireFrame frame;
            EncodeTelegram(staleFrame, frame);
            while (link.frames().Post(0, frame) == 0) {
            }
            Telegram check;
            check.command = 0x81;
            link.telegrams().Post(kLinkReplySlot, check);
        }
        return std::make_unique<SerialPort>(number, device);
    });
    link.setPollMode(14);
    start(drive.devicePath());
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));
    drive.setSilent(true);
    const auto silentFrom = drive.requests().size();
    const auto postsFrom = m_target.count();
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 0, 5s, postsFrom));
    const auto lossAt = [&] {
        for (const auto& p : m_target.posts()) {
            if (p.message == WM_DRIVE_LINK_STATE && p.wParam == 0) return p.at;
        }
        return Clock::time_point{};
    }();
    const auto requests = drive.requests();
    std::size_t checksBeforeLoss = 0;
    for (std::size_t i = silentFrom; i < requests.size(); ++i) {
        if (requests[i].command == 0x80 && requests[i].at < lossAt) ++checksBeforeLoss;
    }
    EXPECT_EQ(checksBeforeLoss, 2u);
    // The loss is posted just before the port is reopened, which the next check goes to.
    ASSERT_TRUE(drive.waitFor(
        [&](const Requests& r) { return CountChecks(r) > CountChecks(requests); }, 5s));
    EXPECT_EQ(opens.load(), 2);

    // The stale link reply was flushed too: the next silent check is a loss again.
    const auto afterLoss = m_target.count();
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 0, 5s, afterLoss));
    EXPECT_EQ(CountPosts(m_target.posts(), WM_DRIVE_LINK_STATE, 1), 1u);

    drive.setSilent(false);
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 5s, afterLoss));
    const auto all = drive.requests();
    const auto stale =
        std::count_if(all.begin(), all.end(), [](const auto& r) { return r.command == 0xA6; });
    EXPECT_LE(stale, 3) << "queued requests must be flushed, not sent to the new port";
}

// Catches polling modes that send the wrong requests, in the wrong order, or
// status requests during a firmware transfer.
TEST_F(ManualClockTest, RequestSequenceOfPollModes) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    start(drive.devicePath());
    const auto pauses = {Fast().pollPause, 250ms};  // mode 15 pauses 250 ms more
    constexpr int kMarker = 0x50;                   // read by no mode
    const struct {
        int mode;
        std::vector<int> cycle;
    } modes[] = {
        {0, {0x60, 0x59}}, {1, {0x60, 0x59, 0x5A}}, {13, {0x60, 0x59, 0x5B}}, {15, {0x61}}};
    for (const auto& m : modes) {
        ASSERT_EQ(link.setPollMode(m.mode), 0);
        // The new mode takes over at the next cycle, which sends its first
        // request and pauses; a marker then follows everything sent so far.
        ASSERT_TRUE(m_clock.advanceUntil(
            [&] { return link.pollModes().size(0) == 0 && m_clock.sleeping(pauses); }, pauses));
        link.sendRequest(BuildReadRequest(kMarker));
        ASSERT_TRUE(drive.waitFor(
            [](const Requests& r) {
                return ReadCodes(r).size() > 1 && ReadCodes(r).back() == kMarker;
            },
            5s));
        // The first request leads, and the pause after it gives its reply
        // room: nothing follows it while the clock stands still.
        const auto sent = ReadCodes(drive.requests());
        EXPECT_EQ(sent[sent.size() - 2], m.cycle.front()) << "mode " << m.mode;
        drive.clearRequests();
        ASSERT_TRUE(m_clock.advanceUntil(
            [&] { return ReadCodes(drive.requests()).size() >= 3 * m.cycle.size() + 1; }, pauses));
        const auto requests = drive.requests();
        const auto codes = ReadCodes(requests);
        auto first = std::find(codes.begin(), codes.end(), m.cycle.front());
        ASSERT_NE(first, codes.end()) << "mode " << m.mode;
        for (auto it = first; it != codes.end(); ++it) {
            const auto i = static_cast<std::size_t>(it - first) % m.cycle.size();
            EXPECT_EQ(*it, m.cycle[i]) << "mode " << m.mode << " at " << (it - codes.begin());
        }
    }
}

// Catches replies routed to the wrong queue or announced with the wrong
// message, a message without a queue entry, and an unknown reply announced.
TEST_F(LinkThreadsTest, RepliesAreRoutedAndAnnounced) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    link.setPollMode(14);
    start(drive.devicePath());
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));
    m_target.clear();
    Bytes line;
    // The last one only shows that everything before it has been handled.
    for (const auto& frame :
         {test::Encode(0x59, {1, 2, 3}), test::Encode(0x63, {9}), test::Encode(0x5F, {4}),
          test::Encode(0x81, {}), test::Encode(0x5B, {5, 6}), test::Encode(0x60, {0, 1, 2, 3}),
          test::Encode(0x62, {7}), test::Encode(0x5D, {8})}) {
        line.insert(line.end(), frame.begin(), frame.end());
    }
    ASSERT_TRUE(drive.send(line));
    const auto announced = [](const Posts& posts) {
        std::vector<unsigned> messages;
        for (const auto& p : posts) {
            if (p.message != WM_DRIVE_LINK_STATE) messages.push_back(p.message);
        }
        return messages;
    };
    ASSERT_TRUE(m_target.waitFor([&](const Posts& p) { return announced(p).size() >= 6; }, 2s));
    EXPECT_EQ(announced(m_target.posts()),
              (std::vector<unsigned>{WM_DRIVE_GROUP_REPLY, WM_DRIVE_GROUP_REPLY, WM_DRIVE_REPLY,
                                     WM_DRIVE_STATUS, WM_DRIVE_REPLY, WM_DRIVE_REPLY}));
    const struct {
        int command;
        Bytes data;
    } expected[] = {{0x59, {1, 2, 3}}, {0x5F, {4}}, {0x5B, {5, 6}}, {0x62, {7}}, {0x5D, {8}}};
    for (const auto& e : expected) {
        Telegram reply;
        ASSERT_EQ(link.fetchReply(reply), 0);
        EXPECT_EQ(reply.command, e.command);
        EXPECT_EQ(reply.data, e.data);
    }
    Telegram reply;
    EXPECT_EQ(link.fetchReply(reply), 1) << "0x63 must be dropped";
    ASSERT_EQ(link.fetchStatus(reply), 0);
    EXPECT_EQ(reply.command, 0x60);
    EXPECT_EQ(reply.data, (Bytes{0, 1, 2, 3}));
}

// Catches a suspension that does not hold the checks back, a stop that hangs
// on a suspended supervision, and a check cut short by a suspension being
// counted as a loss.
TEST_F(ManualClockTest, SuspendedSupervisionChecksNothingAndStillStops) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    link.setPollMode(14);
    start(drive.devicePath());
    ASSERT_TRUE(superviseUntil(1));

    // One silent check, then a suspension in the middle of the second.
    drive.setSilent(true);
    const auto before = CountChecks(drive.requests());
    ASSERT_TRUE(supervise([&] { return CountChecks(drive.requests()) >= before + 2; }));
    link.suspendSupervision();
    const auto suspendedAt = m_target.count();
    // The check cut short ends its looks, then the supervision waits to be resumed.
    ASSERT_TRUE(supervise([&] { return link.supervisionHeld(); }));
    EXPECT_EQ(CountPosts(m_target.posts(), WM_DRIVE_LINK_STATE, 0), 0u);
    const auto checks = CountChecks(drive.requests());
    m_clock.advance(10 * Fast().connectedPause);
    EXPECT_EQ(CountChecks(drive.requests()), checks) << "no checks while suspended";
    EXPECT_EQ(m_target.count(), suspendedAt);

    link.resumeSupervision();
    ASSERT_TRUE(superviseUntil(0));
    link.suspendSupervision();
    ASSERT_TRUE(supervise([&] { return link.supervisionHeld(); }));
    const auto stopStart = Clock::now();
    link.stop();
    EXPECT_LT(Clock::now() - stopStart, 1500ms);
    EXPECT_FALSE(link.running());
}

// A firmware transfer suspends the supervision and flushes the line while a
// round is in its loop pause, its check not yet posted: the check must not
// follow the flush into the transfer. Catches a check posted past the gate.
TEST_F(ManualClockTest, CheckDueWhenATransferBeginsIsNeverSent) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    LinkTimings timings = Fast();
    timings.loopPause = 300ms;  // room for the test to act inside it
    start(drive.devicePath(), timings);
    ASSERT_TRUE(superviseUntil(1));
    const unsigned rounds = link.supervisionRounds();
    ASSERT_TRUE(supervise([&] { return link.supervisionRounds() > rounds; }));

    link.suspendSupervision();
    link.flushOutgoing();
    const auto checks = CountChecks(drive.requests());
    ASSERT_TRUE(testkit::WaitFor([&] { return link.supervisionHeld(); }, 2000))
        << "the round went on to a check";
    m_clock.advance(10 * timings.connectedPause);
    const auto mark = link.queueSentMark();  // written after any check still queued
    ASSERT_TRUE(testkit::WaitFor([&] { return link.lastSentMark() >= mark; }));
    EXPECT_EQ(CountChecks(drive.requests()), checks);

    link.resumeSupervision();
    EXPECT_TRUE(supervise([&] { return CountChecks(drive.requests()) > checks; }));
}

// Catches a link that never recovers once its device vanished (unplugged
// adapter) and came back under the same name.
TEST_F(LinkThreadsTest, PeerClosesTheLineAndComesBack) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    const auto linkPath = (m_dir / "ttyDRIVE").string();
    fs::create_symlink(drive.devicePath(), linkPath);
    start(linkPath);
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));
    drive.hangUp();
    const auto from = m_target.count();
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 0, 5s, from));
    drive.comeBack(linkPath);
    const auto back = m_target.count();
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 5s, back));
    ASSERT_TRUE(m_target.waitFor(
        [](const Posts& posts) { return CountPosts(posts, WM_DRIVE_STATUS, 0) > 0; }, 3s));
}

// Catches a pulled adapter noticed only after two silent link checks (about
// 3 s with the real pauses) instead of at once, and a slow return: the port
// hangs up (the pty closes; the same for a USB adapter) or only its device
// node goes away; it comes back as a new device behind the same name.
class PulledAdapterTest : public ManualClockTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PulledAdapterTest, LostWithinHalfASecondAndBackWithinTwo) {
    const bool hangUp = GetParam();
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    const auto linkPath = (m_dir / "usb-Maker_Adapter_0001-if00-port0").string();
    fs::create_symlink(drive.devicePath(), linkPath);
    start(linkPath, LinkTimings{});
    ASSERT_TRUE(superviseUntil(1));
    for (int round = 0; round < 2; ++round) {
        // Into the 4 s pause after an answered check, where a loss waited
        // longest; the clock stands still there, so only the watch can tell.
        ASSERT_TRUE(m_clock.waitForSleep(m_timings.connectedPause)) << round;
        const auto from = m_target.count();
        if (hangUp) {
            drive.hangUp();
        } else {
            fs::remove(linkPath);
        }
        ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 0, 500ms, from)) << round;
        const auto lostAt = m_clock.now();
        if (hangUp) {
            drive.comeBack(linkPath);
        } else {
            fs::create_symlink(drive.devicePath(), linkPath);
        }
        ASSERT_TRUE(superviseUntil(1, m_target.count())) << round;
        EXPECT_LE(m_clock.now() - lostAt, 2s) << round;
    }
}

INSTANTIATE_TEST_SUITE_P(HangUpOrNodeGone, PulledAdapterTest, ::testing::Bool());

// Catches a link that cannot be started again in the same process (the
// window's tests do so), keeps stale queue entries, or holds the device.
TEST_F(LinkThreadsTest, StartsAgainAfterStop) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    for (int round = 0; round < 3; ++round) {
        m_target.clear();
        start(drive.devicePath());
        EXPECT_TRUE(link.running());
        ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s)) << "round " << round;
        ASSERT_TRUE(m_target.waitFor(
            [](const Posts& p) { return CountPosts(p, WM_DRIVE_STATUS, 0) > 0; }, 3s));
        link.sendRequest(BuildLinkCheck());
        const auto stopStart = Clock::now();
        link.stop();
        EXPECT_LT(Clock::now() - stopStart, 1000ms);
        EXPECT_EQ(link.telegrams().size(kRequestSlot), 0u);
        EXPECT_EQ(link.telegrams().size(kStatusSlot), 0u);
        EXPECT_EQ(link.bytes().size(0), 0u);
        EXPECT_TRUE(SerialPort(1, drive.devicePath()).IsOpen()) << "device still held";
    }
}

// Catches a line full of rubbish crashing the link, growing memory or
// silencing it for good.
TEST_F(LinkThreadsTest, BadInputNeitherCrashesNorStopsTheLink) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    link.setPollMode(14);
    start(drive.devicePath());
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));

    std::mt19937 random(7);
    Bytes garbage(4000);
    for (auto& b : garbage) b = static_cast<std::uint8_t>(random());
    ASSERT_TRUE(drive.send(garbage));
    Bytes digits{0x02};
    digits.insert(digits.end(), 4000, '7');
    ASSERT_TRUE(drive.send(digits));
    // Length 5 announced, 2 bytes given, checksum right for what was sent.
    Bytes shortFrame{0x02, '0', '1', '5', '9', '0', '5', '1', '1', '2', '2'};
    unsigned sum = 0;
    for (std::size_t i = 1; i < shortFrame.size(); ++i) sum += shortFrame[i];
    const char hex[] = "0123456789abcdef";
    shortFrame.push_back(static_cast<std::uint8_t>(hex[(sum >> 4) & 15]));
    shortFrame.push_back(static_cast<std::uint8_t>(hex[sum & 15]));
    shortFrame.push_back(0x03);
    ASSERT_TRUE(drive.send(shortFrame));
    // Far more unasked replies than the reply queue holds.
    for (int i = 0; i < 120; ++i) ASSERT_TRUE(drive.send(test::Encode(0x55, {1, 2})));
    ASSERT_TRUE(m_target.waitFor(
        [](const Posts& p) { return CountPosts(p, WM_DRIVE_GROUP_REPLY, 0) >= 50; }, 15s));
    EXPECT_LE(link.telegrams().size(kReplySlot), 50u);
    EXPECT_LE(link.bytes().size(0), 250u);
    // A status reply after them (nothing polls one) shows all of them handled.
    ASSERT_TRUE(drive.send(test::Encode(0x60, {0, 1, 2, 3})));
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_STATUS, 0, 5s));
    EXPECT_EQ(CountPosts(m_target.posts(), WM_DRIVE_GROUP_REPLY, 0), 50u)
        << "a refused reply must not be announced";

    link.telegrams().Flush(kReplySlot);
    link.setPollMode(0);
    const auto from = m_target.count();
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_STATUS, 0, 3s, from));
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 3s, from));
    EXPECT_EQ(CountPosts(m_target.posts(), WM_DRIVE_LINK_STATE, 0), 0u);
}

// Catches a supervision cycle that drifts from the controller's expectations:
// the first answer about 100 ms after start, the next check about 4.1 s later.
TEST_F(LinkThreadsTest, SupervisionCycleWithTheRealPauses) {
    ScriptedDrive drive(ScriptedDrive::StandardAnswer);
    link.setPollMode(14);
    const auto started = Clock::now();
    start(drive.devicePath(), LinkTimings{});
    ASSERT_TRUE(m_target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s));
    EXPECT_LT(m_target.posts().front().at - started, 1000ms);
    ASSERT_TRUE(drive.waitFor([](const Requests& r) { return CountChecks(r) >= 2; }, 6s));
    std::vector<Clock::time_point> checks;
    for (const auto& r : drive.requests()) {
        if (r.command == 0x80) checks.push_back(r.at);
    }
    const auto gap = checks[1] - checks[0];
    EXPECT_GE(gap, 4000ms);
    EXPECT_LT(gap, 5000ms);
}

// Catches a tool that reports a missing device only once, or hammers it.
TEST_F(LinkThreadsTest, NoDeviceReportsLossAboutOnceASecond) {
    start((m_dir / "no-such-device").string(), LinkTimings{});
    ASSERT_TRUE(m_target.waitFor(
        [](const Posts& p) { return CountPosts(p, WM_DRIVE_LINK_STATE, 0) >= 3; }, 5s));
    const auto posts = m_target.posts();
    for (std::size_t i = 1; i < 3; ++i) {
        const auto gap = posts[i].at - posts[i - 1].at;
        EXPECT_GE(gap, 900ms);
        EXPECT_LT(gap, 2000ms);
    }
    EXPECT_EQ(link.serial().LastOpenFailure().kind, OpenFailureKind::NoDevice);
}

}  // namespace
}  // namespace velmora::link

namespace velmora::link {
namespace {

// Catches std::terminate (joinable threads) or use of destroyed queues when a
// program ends without stopping its link.
TEST(LinkThreadsExit, ProgramMayExitWithoutStopping) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static testkit::MessageRecorder target;
            static DriveLink link;
            static ScriptedDrive drive(ScriptedDrive::StandardAnswer);
            link.serial().UseFixedDevice(drive.devicePath());
            link.start(target, Fast());
            target.waitForPost(WM_DRIVE_LINK_STATE, 1, 2s);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace velmora::link
