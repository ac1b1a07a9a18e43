// A run-in program through the real main window and link against the
// simulated drive on a pseudo-terminal: the drive's set speed and motor must
// follow the steps, and every kind of stop must leave it stopped at the speed
// it had before the program.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "pages/control/controlpage.h"
#include "pages/report/reportpage.h"
#include "pages/runin/runinpage.h"
#include "shell/faultpopup.h"
#include "shell/textcatalog.h"
#include "sim/driveserver.h"
#include "tests/support/drivecaughtup.h"
#include "tests/support/owndrive.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"

namespace velmora::pages {
namespace {

// 6000 rpm = 100 Hz: 2 s on, 1 s off. 12000 rpm = 200 Hz without pauses.
// 30 rpm is below 60: motor off for the whole step.
const char* const kProgram = R"([general]
filetext=Short test run
[step1]
rpm=6000
minute_time=1
seconds_intervall_on=2
seconds_intervall_off=1
[step2]
rpm=12000
minute_time=1
seconds_intervall_on=5
seconds_intervall_off=0
[step3]
rpm=30
minute_time=1
seconds_intervall_on=4
seconds_intervall_off=4
)";

struct DriveView {
    long setHz = -1;
    bool running = false;
};

// "set <n> Hz actual <n> Hz running yes|no ..."
DriveView view(sim::DriveServer& server) {
    const std::string state = server.command("state");
    DriveView v;
    if (state.rfind("set ", 0) == 0) v.setHz = std::stol(state.substr(4));
    v.running = state.find("running yes") != std::string::npos;
    return v;
}

// Waits until the drive shows this set speed and motor state.
testing::AssertionResult driveShows(sim::DriveServer& server, long hz, bool on) {
    if (testkit::WaitFor(
            [&] {
                const DriveView v = view(server);
                return v.setHz == hz && v.running == on;
            },
            3000))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "wanted " << hz << " Hz running " << on << ", drive: " << server.command("state");
}

#define EXPECT_DRIVE(server, hz, on) ASSERT_TRUE(driveShows(server, hz, on))

class RunInWithDrive : public testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        std::filesystem::copy(std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
                              m_work.path() / "data_language",
                              std::filesystem::copy_options::recursive);
        std::filesystem::create_directories(m_work.path() / "data_runin");
        std::ofstream(m_work.path() / "data_runin" / "runin_01.run") << kProgram;
        ASSERT_TRUE(m_demo.start());
        m_drive.link.serial().UseFixedDevice(m_demo.devicePath());
        frame::FrameOptions options;
        options.fixedDevice = true;
        m_frame = std::make_unique<frame::CMainFrame>(m_drive.link, m_drive.data, options);
        m_frame->show();
        ASSERT_TRUE(testkit::WaitFor([&] { return m_frame->allGroupsRead(); }, 10000));
        m_page = m_frame->findChild<CRunInPage*>();
        m_control = m_frame->findChild<CControlPage*>();
        m_report = m_frame->findChild<CReportPage*>();
        ASSERT_TRUE(m_page && m_control && m_report);
        m_page->setManualClock(true);
        // Showing the page while idle saves the drive's speed (factory 1000 Hz).
        m_frame->sheet()->setCurrentWidget(m_page);
        ASSERT_EQ(m_frame->sheet()->currentWidget(), m_page);
        ASSERT_EQ(m_page->savedSpeed(), 1000u);
        EXPECT_DRIVE(sim(), 1000, false);
    }
    void TearDown() override { m_frame.reset(); }

    sim::DriveServer& sim() { return m_demo.server(); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) m_page->clockTick();
    }
    void startProgram() {
        m_page->startPressed();
        ASSERT_TRUE(m_page->running());
        EXPECT_DRIVE(sim(), 100, true);
    }

    testkit::WorkFolder m_work{"runin-e2e"};
    testkit::ScriptedPrompter m_prompter;
    app::DemoDrive m_demo;
    std::unique_ptr<frame::CMainFrame> m_frame;
    CRunInPage* m_page = nullptr;
    CControlPage* m_control = nullptr;
    CReportPage* m_report = nullptr;
};

// Speeds and on/off phases reach the drive step by step; a declined start
// changes nothing; only report and run-in tabs open while it runs; the end of
// the program stops the motor, restores the saved speed and tells the user.
TEST_F(RunInWithDrive, DriveFollowsStepsAndEnds) {
    m_prompter.confirmAnswers = {false};
    m_page->startPressed();
    EXPECT_FALSE(m_page->running());
    ASSERT_TRUE(testkit::DriveCaughtUp(m_drive.link, sim()));
    EXPECT_DRIVE(sim(), 1000, false);

    startProgram();
    ticks(2);  // on phase over
    EXPECT_DRIVE(sim(), 100, false);
    ticks(1);  // off phase over
    EXPECT_DRIVE(sim(), 100, true);

    QCoreApplication::sendPostedEvents();  // the start's tab lock is a posted message
    m_frame->sheet()->setCurrentWidget(m_control);
    ASSERT_TRUE(
        testkit::WaitFor([&] { return m_frame->sheet()->currentWidget() == m_page; }, 2000));
    m_frame->sheet()->setCurrentWidget(m_report);
    QCoreApplication::sendPostedEvents();  // a refused change is undone by a posted call
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_report);
    m_frame->sheet()->setCurrentWidget(m_page);
    ASSERT_EQ(m_frame->sheet()->currentWidget(), m_page);
    EXPECT_TRUE(m_page->running());

    ticks(57);  // step 2: no off phase
    EXPECT_EQ(m_page->sequencer().currentStep(), 2u);
    EXPECT_DRIVE(sim(), 200, true);
    ticks(30);
    ASSERT_TRUE(testkit::DriveCaughtUp(m_drive.link, sim()));
    EXPECT_DRIVE(sim(), 200, true);

    ticks(30);  // step 3 below 60 rpm: speed 0 (the drive holds its minimum), motor off
    EXPECT_EQ(m_page->sequencer().currentStep(), 3u);
    EXPECT_DRIVE(sim(), 30, false);
    ticks(8);
    ASSERT_TRUE(testkit::DriveCaughtUp(m_drive.link, sim()));
    EXPECT_DRIVE(sim(), 30, false);

    const QString finished = shell::T("runinfinishedpopup");
    ticks(52);
    EXPECT_FALSE(m_page->running());
    EXPECT_EQ(m_prompter.informed.count(finished), 1);
    EXPECT_DRIVE(sim(), 1000, false);
    // The end reaches the window as a posted message; deliver it before the tab change.
    QCoreApplication::sendPostedEvents();
    m_frame->sheet()->setCurrentWidget(m_control);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(m_frame->sheet()->currentWidget(), m_control);
}

// A fault reported by the drive and a lost link both end the program: the
// motor stops and the speed saved before the start is back on the drive.
TEST_F(RunInWithDrive, FaultAndLinkLossStop) {
    startProgram();
    ticks(60);
    EXPECT_DRIVE(sim(), 200, true);
    const auto faultShown = [&] {
        const auto popups = m_frame->findChildren<shell::FaultPopup*>();
        return std::ranges::any_of(popups, &QWidget::isVisible);
    };
    sim().command("fault 1 3");
    ASSERT_TRUE(testkit::WaitFor([&] { return !m_page->running(); }, 5000));
    EXPECT_DRIVE(sim(), 1000, false);
    EXPECT_TRUE(faultShown());
    sim().command("clear");
    // The window has seen the fault go.
    ASSERT_TRUE(testkit::WaitFor([&] { return !faultShown(); }));

    startProgram();
    sim().command("unplug 15");
    ASSERT_TRUE(testkit::WaitFor([&] { return !m_page->running(); }, 15000));
    sim().command("unplug 0");
    ASSERT_TRUE(testkit::WaitFor([&] { return m_frame->connected(); }, 10000));
    EXPECT_DRIVE(sim(), 1000, false);
}

}  // namespace
}  // namespace velmora::pages
