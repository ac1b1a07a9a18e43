// The control page in the real window, its requests travelling over the
// serial link to the simulated drive.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "pages/common/stepedit.h"
#include "pages/control/controlpage.h"
#include "shell/roundbutton.h"
#include "tests/support/demoframe.h"
#include "tests/support/drivecaughtup.h"
#include "tests/support/pagetestsupport.h"

namespace velmora::pages {
namespace {

using namespace pagetest;

// Fault prevented: set speed, unit, start, stop and reset that look right on
// the page but never reach the drive, or reach it with the wrong bytes.
TEST(ControlPageOnTheDrive, SetSpeedStartStopAndResetReachTheDrive) {
    testkit::WorkFolder folder("drive-window");
    LoadKeyNameCatalog();
    testkit::ScriptedPrompter prompter;
    testkit::DemoFrame window;
    ASSERT_TRUE(window.started);
    ASSERT_TRUE(window.ready());
    auto* page = window.page<CControlPage>();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(window.frame->sheet()->currentWidget(), page);
    auto* identity = page->findChild<QLabel*>(QStringLiteral("serialNumberValue"));
    ASSERT_TRUE(
        WaitFor([&] { return !identity->text().isEmpty() && identity->text() != "0"; }, 5000));
    ASSERT_TRUE(WaitFor(
        [&] { return page->findChild<shell::RoundButton*>("startButton")->isEnabled(); }, 5000));

    auto* unit = page->findChild<QComboBox*>(QStringLiteral("p8List"));
    unit->setCurrentIndex(0);
    emit unit->activated(0);
    auto* edit = page->findChild<StepEdit*>(QStringLiteral("setSpeedEdit"));
    edit->setFieldText(QStringLiteral("500"));
    emit edit->editingFinished();
    ASSERT_TRUE(WaitFor([&] { return window.stateHas("set 500 Hz"); }, 5000));
    edit->stepBy(1);
    ASSERT_TRUE(WaitFor([&] { return window.stateHas("set 501 Hz"); }, 5000));

    page->findChild<shell::RoundButton*>("startButton")->click();
    ASSERT_TRUE(WaitFor([&] { return window.stateHas("running yes"); }, 5000));
    page->findChild<shell::RoundButton*>("stopButton")->click();
    ASSERT_TRUE(WaitFor([&] { return window.stateHas("running no"); }, 5000));

    window.server().command("fault 2 10");
    ASSERT_TRUE(WaitFor([&] { return window.stateHas("fault 2 10"); }, 5000));
    prompter.confirmAnswers = {false};
    page->findChild<shell::RoundButton*>("resetButton")->click();
    ASSERT_TRUE(testkit::DriveCaughtUp(window.drive.link, window.demo.server()));
    EXPECT_TRUE(window.stateHas("fault 2 10")) << "cancelled reset reached the drive";
    prompter.confirmAnswers = {true};
    page->findChild<shell::RoundButton*>("resetButton")->click();
    ASSERT_TRUE(WaitFor([&] { return window.stateHas("fault 0 0"); }, 5000));
    EXPECT_EQ(prompter.confirmed.size(), 2);
}

}  // namespace
}  // namespace velmora::pages
