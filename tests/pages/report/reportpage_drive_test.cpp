// The report page in the real window after a severe fault of the simulated
// drive.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "model/parameters.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/control/controlpage.h"
#include "pages/report/reportpage.h"
#include "shell/roundbutton.h"
#include "tests/support/demoframe.h"
#include "tests/support/findchild.h"
#include "tests/support/pagetestsupport.h"

namespace velmora::pages {
namespace {

using namespace pagetest;

int actualHz(const std::string& state) {
    const auto at = state.find("actual ");
    return at == std::string::npos ? 0 : std::atoi(state.c_str() + at + 7);
}

// Fault prevented: hold storage showing live values (or nothing) instead of
// the values the drive held at the fault, or freezing the live rows.
TEST(ReportPageOnTheDrive, GeneralFaultShowsTheHeldValuesWhileFourRowsStayLive) {
    testkit::WorkFolder folder("drive-window");
    LoadKeyNameCatalog();
    testkit::ScriptedPrompter prompter;
    testkit::DemoFrame window;
    ASSERT_TRUE(window.started);
    ASSERT_TRUE(window.ready());
    auto* control = window.page<CControlPage>();
    auto* report = window.page<CReportPage>();
    ASSERT_TRUE(control && report);
    ASSERT_TRUE(WaitFor(
        [&] { return control->findChild<shell::RoundButton*>("startButton")->isEnabled(); }, 5000));
    auto* unit = control->findChild<QComboBox*>(QStringLiteral("p8List"));
    unit->setCurrentIndex(0);
    emit unit->activated(0);
    auto* edit = control->findChild<StepEdit*>(QStringLiteral("setSpeedEdit"));
    edit->setFieldText(QStringLiteral("400"));
    emit edit->editingFinished();
    control->findChild<shell::RoundButton*>("startButton")->click();
    ASSERT_TRUE(WaitFor([&] { return actualHz(window.state()) >= 100; }, 10000));

    window.server().command("fault 3 5");
    auto label = [report](const char* name) {
        return testkit::FindChild<QLabel>(report, name)->text();
    };
    ASSERT_TRUE(WaitFor([&] { return label("statusLine") == QStringLiteral("holdstorage"); }, 5000))
        << label("statusLine").toStdString();
    EXPECT_EQ(window.frame->sheet()->currentWidget(), report);
    ASSERT_FALSE(prompter.informed.empty());
    EXPECT_EQ(prompter.informed.front(), "generalerror");

    const model::DriveData& data = window.drive.data;
    ASSERT_TRUE(WaitFor([&] { return data.Image(model::param::kHeldSpeedSetPoint) >= 100; }, 5000));
    const QString held = QString::number(data.Image(model::param::kHeldSpeedSetPoint));
    ASSERT_TRUE(WaitFor([&] { return label("p10Value") == held; }, 5000))
        << label("p10Value").toStdString();
    EXPECT_EQ(label("p13Value"), QString::number(data.Image(model::param::kHeldOutputFrequency)));
    EXPECT_EQ(label("p18Value"),
              FixedText(data.Image(model::param::kHeldOutputCurrent) / 100.0, 2));

    // The fault tripped the motor: the live rows fall to 0, the held ones stay.
    ASSERT_TRUE(WaitFor([&] { return label("p14Value") == QStringLiteral("0"); }, 10000))
        << label("p14Value").toStdString();
    EXPECT_EQ(label("p10Value"), held);
    EXPECT_EQ(label("p11Value"), FixedText(data.GetReal(11), 1));
    EXPECT_EQ(label("p19Value"), FixedText(data.GetReal(19), 2));
    EXPECT_EQ(label("p20Value"), QString::number(data.GetChoice(20)));
}

}  // namespace
}  // namespace velmora::pages
