// The main window's policies, free of widgets: fault popups, tab changes,
// the lamp's place and the port hint.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "frame/faultrules.h"
#include "frame/porthint.h"
#include "frame/statusindicator.h"
#include "frame/tabrules.h"
#include "shell/textcatalog.h"

namespace velmora::frame {
namespace {

using namespace velmora::shell;

struct FaultStep {
    int faultClass;
    int number;
    FaultPopupSlot popup;
    bool showPopup;
    bool stopRunIn;
};

struct FaultScenario {
    const char* name;
    std::vector<FaultStep> steps;
};

class FaultTrackerTest : public ::testing::TestWithParam<FaultScenario> {};

// Prevents popups that reopen on every status reply (every 750 ms), popups
// that never reopen after the drive cleared the fault, a general-error
// sequence that repeats, and flags indexed past the table by a fault byte
// above 63.
TEST_P(FaultTrackerTest, FollowsTheSequence) {
    FaultTracker tracker;
    int index = 0;
    for (const FaultStep& step : GetParam().steps) {
        SCOPED_TRACE(index++);
        const FaultAction action = tracker.evaluate(static_cast<std::uint8_t>(step.faultClass),
                                                    static_cast<std::uint8_t>(step.number));
        EXPECT_EQ(action.clearAll, step.faultClass == 0);
        EXPECT_EQ(action.popup, step.popup);
        EXPECT_EQ(action.showPopup, step.showPopup);
        EXPECT_EQ(action.stopRunIn, step.stopRunIn);
        EXPECT_EQ(action.generalErrorSequence, step.popup == FaultPopupSlot::General);
    }
}

using S = FaultPopupSlot;
INSTANTIATE_TEST_SUITE_P(Sequences, FaultTrackerTest,
                         ::testing::Values(FaultScenario{"ClassOneOnceUntilCleared",
                                                         {{1, 3, S::A, true, true},
                                                          {1, 3, S::None, false, false},
                                                          {1, 3, S::None, false, false},
                                                          {0, 0, S::None, false, false},
                                                          {1, 3, S::A, true, true}}},
                                           FaultScenario{"ClassTwoOnceUntilCleared",
                                                         {{2, 18, S::B, true, true},
                                                          {2, 18, S::None, false, false},
                                                          {0, 0, S::None, false, false},
                                                          {2, 18, S::B, true, true}}},
                                           FaultScenario{"NumberSharedAcrossClasses",
                                                         {{1, 4, S::A, true, true},
                                                          {2, 4, S::None, false, false}}},
                                           FaultScenario{"GeneralErrorOnceUntilCleared",
                                                         {{3, 5, S::General, true, true},
                                                          {3, 5, S::None, false, true},
                                                          {3, 6, S::None, false, true},
                                                          {0, 0, S::None, false, false},
                                                          {3, 6, S::General, true, true}}},
                                           FaultScenario{"UnknownClassMarksOnly",
                                                         {{7, 10, S::None, false, true},
                                                          {1, 10, S::None, false, false}}},
                                           FaultScenario{"NumbersAboveTheTable",
                                                         {{1, 64, S::A, true, true},
                                                          {1, 64, S::None, false, false},
                                                          {2, 255, S::B, true, true},
                                                          {3, 200, S::General, true, true},
                                                          {0, 0, S::None, false, false},
                                                          {1, 64, S::A, true, true}}},
                                           FaultScenario{"NumberWithoutTextStillOpensBelow64",
                                                         {{1, 7, S::A, true, true}}}),
                         [](const auto& info) { return std::string(info.param.name); });

// A language change forgets the shown faults but never the general error.
TEST(FaultTracker, ClearShownKeepsGeneralErrorShown) {
    FaultTracker tracker;
    (void)tracker.evaluate(3, 5);
    (void)tracker.evaluate(1, 3);
    tracker.clearShown();
    EXPECT_EQ(tracker.evaluate(1, 3).popup, FaultPopupSlot::A);
    EXPECT_EQ(tracker.evaluate(3, 5).popup, FaultPopupSlot::None);
    EXPECT_TRUE(tracker.generalErrorShown());
}

struct TabCase {
    const char* name;
    TabState state;
    bool targetIsReportOrRunIn;
    bool allowed;
    std::vector<std::string_view> reasons;
};

class TabRulesTest : public ::testing::TestWithParam<TabCase> {};

// Prevents leaving a test dialog or a firmware download by a tab click, and
// pages showing defaults before the first complete read; every refusal has
// a reason to show.
TEST_P(TabRulesTest, Verdict) {
    const TabCase& c = GetParam();
    const TabVerdict verdict = CheckTabChange(c.state, c.targetIsReportOrRunIn);
    EXPECT_EQ(verdict.allowed, c.allowed);
    EXPECT_EQ(verdict.reasonKeys, c.reasons);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TabRulesTest,
    ::testing::Values(
        TabCase{"Free", {false, false, false, true}, false, true, {}},
        TabCase{"BeforeAllGroupsRead",
                {false, false, false, false},
                true,
                false,
                {"tabrefusedreading"}},
        TabCase{"Locked", {true, false, false, true}, false, false, {"usebackbutton"}},
        TabCase{"FlashBusy", {false, true, false, true}, true, false, {"waitflashdownload"}},
        TabCase{"LockedAndFlashing",
                {true, true, false, true},
                false,
                false,
                {"usebackbutton", "waitflashdownload"}},
        TabCase{"RunInToReport", {false, false, true, true}, true, true, {}},
        TabCase{"RunInToMotor", {false, false, true, true}, false, false, {"tabrefusedrunin"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The lamp sits 25 px from the right and 6 px above the bottom, 15 x 6, and
// grows with the screen's resolution.
TEST(StatusIndicatorGeometry, ExactPlaceAndScale) {
    const IndicatorGeometry normal = IndicatorGeometryFor(QSize(800, 30), 1.0);
    EXPECT_EQ(normal.lamp, QRect(775, 18, 15, 6));
    EXPECT_EQ(normal.text.left(), 0);
    EXPECT_EQ(normal.text.top(), 13);
    EXPECT_EQ(normal.text.right(), 769);
    EXPECT_EQ(normal.text.bottom(), 29);

    const IndicatorGeometry doubled = IndicatorGeometryFor(QSize(1600, 60), 2.0);
    EXPECT_EQ(doubled.lamp, QRect(1550, 36, 30, 12));
    EXPECT_EQ(doubled.text.right(), 1539);
}

struct HintCase {
    const char* name;
    unsigned language;  // 1 English, 2 German, 3 a file without the hint section
    link::OpenFailure failure;
    std::vector<const char*> shown;  // each must appear in the hint
};

class PortHintTest : public ::testing::TestWithParam<HintCase> {};

// The hint speaks the user's language, names the device and its group, falls
// back to English for a language file that lacks it, and stays silent for
// failures the user cannot fix this way.
TEST_P(PortHintTest, InTheUsersLanguage) {
    const HintCase& c = GetParam();
    // Cases run as parallel processes: each its own folder.
    const auto folder = std::filesystem::temp_directory_path() /
                        ("velmora-porthint-" + std::string(c.name) + "-" +
                         std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy(std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
                          folder / "data_language", std::filesystem::copy_options::recursive);
    std::ofstream(folder / "data_language" / "language_03.ini") << "[general]\ncompany=X\n";
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    TextCatalog::instance().resetForTest();
    TextCatalog::instance().load(c.language);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);

    const QString text = PortProblemText(c.failure);
    if (c.shown.empty()) {
        EXPECT_TRUE(text.isEmpty()) << text.toStdString();
    }
    for (const char* part : c.shown)
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << text.toStdString();
    EXPECT_FALSE(text.contains('%')) << text.toStdString();
    TextCatalog::instance().resetForTest();
}

using K = link::OpenFailureKind;
INSTANTIATE_TEST_SUITE_P(
    Languages, PortHintTest,
    ::testing::Values(HintCase{"EnglishGroup",
                               1,
                               {K::Permission, "/dev/ttyUSB0", "uucp", "denied"},
                               {"/dev/ttyUSB0", "group uucp", "sudo usermod -aG uucp $USER"}},
                      HintCase{"GermanGroup",
                               2,
                               {K::Permission, "/dev/ttyUSB0", "uucp", "denied"},
                               {"/dev/ttyUSB0", "Gruppe uucp", "sudo usermod -aG uucp $USER"}},
                      HintCase{"GermanNoGroup",
                               2,
                               {K::Permission, "/dev/ttyS0", "", "denied"},
                               {"/dev/ttyS0", "Administrator"}},
                      HintCase{"GermanBusy",
                               2,
                               {K::Busy, "/dev/ttyACM0", "", "busy"},
                               {"/dev/ttyACM0", "anderen Programm"}},
                      HintCase{"FallbackBusy",
                               3,
                               {K::Busy, "/dev/ttyACM0", "", "busy"},
                               {"/dev/ttyACM0 is in use by another program"}},
                      HintCase{"NoDevice", 2, {K::NoDevice, "/dev/ttyS1", "", ""}, {}},
                      HintCase{"Configuration", 1, {K::Configuration, "/dev/ttyS1", "", "x"}, {}},
                      HintCase{"Other", 1, {K::Other, "/dev/ttyS1", "", "x"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::frame
