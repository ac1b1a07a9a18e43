// The trend's core without a window: the ring at its boundaries, the CSV
// recording written and read back, the event rules, and sampling of replies.
#include "trend/trendcore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <locale>
#include <sstream>

#include "model/drivedata.h"
#include "tests/support/recordedreplies.h"
#include "tests/support/tempfolder.h"
#include "trend/axisticks.h"

namespace velmora::trend {
namespace {

TrendSample At(std::int64_t timeMs, float actual = 0) {
    TrendSample s;
    s.timeMs = timeMs;
    s.values[0] = actual;
    return s;
}

std::vector<std::int64_t> Times(const SampleRing& ring) {
    std::vector<std::int64_t> out;
    for (std::size_t i = 0; i < ring.size(); ++i) out.push_back(ring.at(i).timeMs);
    return out;
}

// --- Ring ---------------------------------------------------------------

struct RingCase {
    const char* fault;
    std::size_t capacity;
    int pushes;  // samples at 10, 20, 30, ...
    std::vector<std::int64_t> kept;
};

class RingFill : public ::testing::TestWithParam<RingCase> {};

// Catches a ring that grows, loses the newest sample, or keeps the wrong
// oldest one once it wraps.
TEST_P(RingFill, KeepsTheLatestInOrder) {
    const RingCase& c = GetParam();
    SampleRing ring(c.capacity);
    for (int i = 1; i <= c.pushes; ++i) ring.push(At(i * 10));
    EXPECT_EQ(Times(ring), c.kept) << c.fault;
    EXPECT_LE(ring.size(), ring.capacity());
}

INSTANTIATE_TEST_SUITE_P(Boundaries, RingFill,
                         ::testing::Values(RingCase{"empty", 3, 0, {}},
                                           RingCase{"one below full", 3, 2, {10, 20}},
                                           RingCase{"exactly full", 3, 3, {10, 20, 30}},
                                           RingCase{"one past full", 3, 4, {20, 30, 40}},
                                           RingCase{"wrapped twice", 3, 7, {50, 60, 70}},
                                           RingCase{"capacity 0 holds one", 0, 2, {20}}));

// Catches an off-by-one in the binary search at either end and across the
// wrap, which would cut the first or last point off the plot.
TEST(SampleRing, SearchesAcrossTheWrap) {
    SampleRing ring(4);
    for (int i = 1; i <= 6; ++i) ring.push(At(i * 100));  // keeps 300..600
    EXPECT_EQ(ring.firstAtOrAfter(0), 0u);
    EXPECT_EQ(ring.firstAtOrAfter(300), 0u);
    EXPECT_EQ(ring.firstAtOrAfter(301), 1u);
    EXPECT_EQ(ring.firstAtOrAfter(600), 3u);
    EXPECT_EQ(ring.firstAtOrAfter(601), 4u);
    EXPECT_EQ(ring.nearest(0), 0u);
    EXPECT_EQ(ring.nearest(449), 1u);
    EXPECT_EQ(ring.nearest(451), 2u);
    EXPECT_EQ(ring.nearest(9999), 3u);
    // A clock set back must not break the order the searches rely on.
    ring.push(At(50));
    EXPECT_EQ(Times(ring), (std::vector<std::int64_t>{400, 500, 600, 600}));
}

// --- CSV ----------------------------------------------------------------

struct TimeCase {
    const char* zone;
    std::int64_t ms;
    const char* text;
};

class IsoTimes : public ::testing::TestWithParam<TimeCase> {
  protected:
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
};

// Catches lost leading zeros of the milliseconds, a wrong or missing offset,
// and times before a full second.
TEST_P(IsoTimes, CarryMillisecondsAndOffset) {
    setenv("TZ", GetParam().zone, 1);
    tzset();
    EXPECT_EQ(IsoTime(GetParam().ms), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Zones, IsoTimes,
    ::testing::Values(TimeCase{"UTC0", 0, "1970-01-01T00:00:00.000+00:00"},
                      TimeCase{"UTC0", 1234567890007, "2009-02-13T23:31:30.007+00:00"},
                      TimeCase{"UTC0", 999, "1970-01-01T00:00:00.999+00:00"},
                      TimeCase{"IST-5:30", 1234567890123, "2009-02-14T05:01:30.123+05:30"},
                      TimeCase{"XST+3", 1234567890050, "2009-02-13T20:31:30.050-03:00"}));

// A locale that writes decimal commas, as a German desktop's does.
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

class CsvRecording : public testkit::TempFolderTest {
  protected:
    CsvRecording() : TempFolderTest("trend-csv") {}
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

// Catches decimal commas from the user's locale, values in the wrong unit or
// order, an unquoted header name holding a comma, and lines that wait in a
// buffer longer than a second.
TEST_F(CsvRecording, WritesEachLineWithPointsAndReachesTheFileWithinASecond) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    setenv("TZ", "UTC0", 1);
    tzset();
    CsvRecorder recorder;
    const auto path = m_dir / "trend.csv";
    ASSERT_TRUE(recorder.open(path.string(), {"time", "Speed [rpm]", "a,b"}, true,
                              {{"serial", "4711"}, {"type", "two\nlines"}}));
    TrendSample s = At(1000, 799);
    s.values = {799, 800, 12.34f, 240, 241.5f, 777.7f};
    ASSERT_TRUE(recorder.append(s, 5000));  // first line: flushed at once
    s.timeMs = 1500;
    ASSERT_TRUE(recorder.append(s, 5400));  // within the second: may wait
    EXPECT_EQ(Lines(Slurp(path)).size(), 4u);
    ASSERT_TRUE(recorder.flushIfDue(6000));
    auto lines = Lines(Slurp(path));
    ASSERT_EQ(lines.size(), 5u);
    // The drive's identity as comments before the unchanged columns.
    EXPECT_EQ(lines[0], "# serial: 4711");
    EXPECT_EQ(lines[1], "# type: two lines");
    lines.erase(lines.begin(), lines.begin() + 2);
    EXPECT_EQ(lines[0], "time,Speed [rpm],\"a,b\"");
    EXPECT_EQ(lines[1], "1970-01-01T00:00:01.000+00:00,47940,48000,12.34,240.00,241.50,777.70");
    EXPECT_EQ(lines[2], "1970-01-01T00:00:01.500+00:00,47940,48000,12.34,240.00,241.50,777.70");
    EXPECT_EQ(recorder.lines(), 2u);
    recorder.close();
    std::locale::global(previous);
    unsetenv("TZ");
    tzset();
}

// Catches a missing folder reported as success, and a full disk that goes
// unnoticed: the recording stops with the system's reason.
TEST_F(CsvRecording, AFileThatCannotBeWrittenStopsWithItsReason) {
    CsvRecorder recorder;
    EXPECT_FALSE(recorder.open((m_dir / "missing" / "trend.csv").string(), {"time"}, false));
    EXPECT_FALSE(recorder.recording());
    EXPECT_NE(recorder.error().find("No such file"), std::string::npos) << recorder.error();

    ASSERT_TRUE(std::ifstream("/dev/full").good());
    // The header alone is flushed at once and already fails.
    EXPECT_FALSE(recorder.open("/dev/full", {"time"}, false));
    EXPECT_FALSE(recorder.recording());
    EXPECT_NE(recorder.error().find("No space"), std::string::npos) << recorder.error();
    EXPECT_FALSE(recorder.append(At(1), 2000));
}

// Catches a recording that fails half-way without a word, or takes the trend
// down with it: the file stops growing at the limit, the reason is given
// once, and sampling goes on.
TEST_F(CsvRecording, TheTrendKeepsRunningWhenTheFileStopsGrowing) {
    model::DriveData data;
    TrendCore core(8);
    EXPECT_FALSE(core.startRecording((m_dir / "no" / "such.csv").string(), {"time"}, false));
    ASSERT_TRUE(core.startRecording((m_dir / "trend.csv").string(), {"time"}, false));

    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 300;  // about three lines
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    data.StoreReply(test::OperatingValuesReply());
    std::string error;
    for (int i = 0; i < 20 && error.empty(); ++i) {
        EXPECT_TRUE(core.groupStored(0x59, data, 1000 * (i + 1)));
        error = core.takeRecordingError();
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_FALSE(core.recorder().recording());
    EXPECT_TRUE(core.takeRecordingError().empty());  // said once
    const std::size_t before = core.samples().size();
    EXPECT_TRUE(core.groupStored(0x59, data, 99000));
    EXPECT_EQ(core.samples().size(), before + 1);
    EXPECT_LE(std::filesystem::file_size(m_dir / "trend.csv"), 300u);
}

// --- Events ---------------------------------------------------------------

struct Link {
    bool up;
};
struct Status {
    std::uint8_t faultClass, number;
};
using Step = std::variant<Link, Status, shell::FrameMessage>;

struct EventCase {
    const char* fault;
    std::vector<Step> steps;
    std::vector<TrendEvent> events;  // times are the steps' indices
};

class EventRules : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventRules, LogOnlyChanges) {
    EventTracker tracker;
    std::vector<TrendEvent> seen;
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        const auto at = static_cast<std::int64_t>(i);
        const auto event =
            std::visit(shell::Overloaded{
                           [&](Link s) { return tracker.onLinkState(s.up, at); },
                           [&](Status s) { return tracker.onStatus(s.faultClass, s.number, at); },
                           [&](const shell::FrameMessage& m) { return tracker.onMessage(m, at); }},
                       GetParam().steps[i]);
        if (event) seen.push_back(*event);
    }
    EXPECT_EQ(seen, GetParam().events) << GetParam().fault;
}

using K = EventKind;
using shell::LinkSuspend, shell::RunInActive;

INSTANTIATE_TEST_SUITE_P(
    Messages, EventRules,
    ::testing::Values(
        EventCase{"the search before the first answer is no loss; repeats are one event",
                  {Link{false}, Link{true}, Link{true}, Link{false}, Link{false}, Link{true}},
                  {{1, K::LinkUp}, {3, K::LinkDown}, {5, K::LinkUp}}},
        EventCase{"a fault is logged once while it lasts, again after it cleared",
                  {Status{1, 3}, Status{1, 3}, Status{2, 45}, Status{0, 0}, Status{1, 3}},
                  {{0, K::Fault, 1, 3}, {2, K::Fault, 2, 45}, {4, K::Fault, 1, 3}}},
        EventCase{
            "run-in start, steps, a repeated step and the stop",
            {RunInActive{true}, RunInActive{true, 2}, RunInActive{true, 2}, RunInActive{true, 3},
             RunInActive{false}, RunInActive{false}},
            {{0, K::RunInStart, 1}, {1, K::RunInStep, 2}, {3, K::RunInStep, 3}, {4, K::RunInStop}}},
        EventCase{"firmware download start and end, each once",
                  {LinkSuspend{true}, LinkSuspend{true}, LinkSuspend{false}, LinkSuspend{false}},
                  {{0, K::FirmwareStart}, {2, K::FirmwareEnd}}}));

// --- Sampling ---------------------------------------------------------------

// Catches sampling other groups (the report page polls 0x5A in the same
// cycle), reading working values instead of the reply, and wrong scaling.
TEST(TrendCoreSampling, TakesTheOperatingValuesReplyScaled) {
    model::DriveData data;
    TrendCore core(4);
    int stored = 0;
    data.SetStoreObserver(
        [&](int code) { stored += core.groupStored(code, data, 1000 + stored) ? 1 : 0; });
    data.StoreReply(test::BasicGroupReply(1));
    data.StoreReply(test::OperatingValuesReply());
    data.SetWorking(14, 1);  // an edit in progress on a page
    ASSERT_EQ(core.samples().size(), 1u);
    const TrendSample& s = core.samples().latest();
    EXPECT_FLOAT_EQ(s.values[0], 799);
    EXPECT_FLOAT_EQ(s.values[1], 800);
    EXPECT_FLOAT_EQ(s.values[2], 12.34f);
    EXPECT_FLOAT_EQ(s.values[3], 240.0f);
    EXPECT_FLOAT_EQ(s.values[4], 241.0f);
    EXPECT_FLOAT_EQ(s.values[5], 777.7f);
    EXPECT_FALSE(core.rpm());
    data.StoreReply(test::BasicGroupReply(2));
    data.StoreReply(test::OperatingValuesReply());
    EXPECT_TRUE(core.rpm());
    EXPECT_DOUBLE_EQ(DisplayValue(core.samples().latest(), 0, core.rpm()), 799 * 60.0);
    EXPECT_DOUBLE_EQ(DisplayValue(core.samples().latest(), 2, core.rpm()), 12.34f);
    data.SetStoreObserver({});
}

// Catches a line drawn across minutes without samples (a run-in shown as a
// flat line) or across a lost link, and a line broken between ordinary polls.
TEST(TrendCoreSampling, MarksWhereTheLineBreaks) {
    model::DriveData data;
    TrendCore core(16);
    std::int64_t now = 0;
    data.SetStoreObserver([&](int code) { core.groupStored(code, data, now); });
    std::vector<bool> gaps;
    for (const auto& [at, linkLost] :
         std::vector<std::pair<std::int64_t, bool>>{{0, false},
                                                    {750, false},
                                                    {1500 + kLongestSampleGapMs, false},
                                                    {1500 + 2 * kLongestSampleGapMs, false},
                                                    {1600 + 2 * kLongestSampleGapMs, true}}) {
        if (linkLost) {
            (void)core.linkState(true, at);
            (void)core.linkState(false, at);
        }
        now = at;
        data.StoreReply(test::OperatingValuesReply());
        gaps.push_back(core.samples().latest().gapBefore);
    }
    EXPECT_EQ(gaps, (std::vector<bool>{false, false, true, false, true}));
    data.SetStoreObserver({});
}

// --- Axis ticks ---------------------------------------------------------------

struct TickCase {
    double low, high;
    AxisTicks expected;
};

class Ticks : public ::testing::TestWithParam<TickCase> {};

// Catches tick labels such as 0.727125 or 13.2395: steps of 1, 2 or 5 times
// a power of ten, ends on a tick, never more ticks than asked for.
TEST_P(Ticks, AreRoundAndEnclose) {
    const TickCase& c = GetParam();
    const AxisTicks t = NiceTicks(c.low, c.high, 6);
    EXPECT_DOUBLE_EQ(t.low, c.expected.low);
    EXPECT_DOUBLE_EQ(t.high, c.expected.high);
    EXPECT_DOUBLE_EQ(t.step, c.expected.step);
    EXPECT_EQ(t.count, c.expected.count);
    EXPECT_EQ(t.decimals, c.expected.decimals);
}

INSTANTIATE_TEST_SUITE_P(
    Trend, Ticks,
    ::testing::Values(TickCase{0, 0.727125, {0, 0.8, 0.2, 5, 1}},
                      TickCase{11.5, 13.2395, {11.5, 13.5, 0.5, 5, 1}},
                      TickCase{782.05, 824.95, {780, 830, 10, 6, 0}},
                      TickCase{0, 48000, {0, 50000, 10000, 6, 0}},
                      TickCase{-3, 7, {-5, 10, 5, 4, 0}},  // steps of 2 would need 7
                      TickCase{240, 240, {220, 260, 10, 5, 0}},
                      TickCase{7, -3, {-5, 10, 5, 4, 0}}));

}  // namespace
}  // namespace velmora::trend
