// The language and connection menus: what they list, what a choice writes to
// config.ini, and the restart after a language change.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/application.h"
#include "app/commandline.h"
#include "platform/profile.h"
#include "shell/textcatalog.h"
#include "tests/support/frametest.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

class MainFrameMenusTest : public FrameTest {
  protected:
    QAction* action(const char* name) { return testkit::FindChild<QAction>(m_frame.get(), name); }
    std::string config(const char* section, const char* key) {
        return platform::ReadProfileString(m_folder / "config.ini", section, key, "absent");
    }
};

// One entry per installed language in that language's own words, the
// current one checked; a gap in the numbering ends the list.
TEST_F(MainFrameMenusTest, LanguageMenuListsInstalledLanguages) {
    platform::WriteProfileString(m_folder / "data_language" / "language_04.ini", "general",
                                 "languagefile", "Francais");
    makeFrame();
    auto* menu = m_frame->findChild<QMenu*>("languageMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "Language");
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(action("languageAction01")->text(), "English");
    EXPECT_EQ(action("languageAction02")->text(), "Deutsch");
    EXPECT_TRUE(action("languageAction01")->isChecked());
    EXPECT_FALSE(action("languageAction02")->isChecked());
}

// Choosing a language (also the current one) stores it, closes the window
// and restarts the program with the same arguments.
TEST_F(MainFrameMenusTest, LanguageChoiceStoresAndRestarts) {
    makeFrame();
    m_frame->show();
    for (const char* name : {"languageAction02", "languageAction01"}) {
        action(name)->trigger();
        EXPECT_TRUE(action(name)->isChecked());
        EXPECT_TRUE(m_frame->restartRequested());
        EXPECT_FALSE(m_frame->isVisible());
    }
    EXPECT_EQ(config("languagetype", "language"), "1");
    EXPECT_EQ(m_prompter.restarts, 0);  // only once the window is gone

    app::RestartIfRequested(m_frame->restartRequested(), {"--demo"});
    EXPECT_EQ(m_prompter.restarts, 1);
    EXPECT_EQ(m_prompter.asked.back(), "restart:" + QCoreApplication::applicationFilePath());
    EXPECT_EQ(m_prompter.restartArguments, QStringList{"--demo"});
    app::RestartIfRequested(false, {});
    EXPECT_EQ(m_prompter.restarts, 1);
}

// The connection menu checks the stored choice; a port choice stores it for
// the link, automatic detection likewise; each port entry names its device.
TEST_F(MainFrameMenusTest, PortChoiceStoredAndChecked) {
    platform::WriteProfileString(m_folder / "config.ini", "comtype", "detect", "C");
    platform::WriteProfileString(m_folder / "config.ini", "comtype", "com", "3");
    makeFrame();
    EXPECT_TRUE(action("portAction03")->isChecked());
    EXPECT_FALSE(action("autodetectAction")->isChecked());
    EXPECT_EQ(action("portAction05")->text(), "COM5\t/dev/ttyUSB0");
    EXPECT_EQ(action("portAction00")->text(), "COM0");
    EXPECT_EQ(action("portAction20")->text(), "COM20\t/dev/ttyACM7");
    EXPECT_EQ(m_frame->findChild<QMenu*>("comselectMenu")->actions().size(), 21);
    // Nothing to remember while no port is open.
    QAction* remember = action("rememberAdapterAction");
    ASSERT_NE(remember, nullptr);
    EXPECT_EQ(remember->text(), "Remember this adapter");
    emit m_frame->findChild<QMenu*>("connectionMenu")->aboutToShow();
    EXPECT_FALSE(remember->isEnabled());

    action("portAction07")->trigger();
    EXPECT_EQ(config("comtype", "detect"), "C");
    EXPECT_EQ(config("comtype", "com"), "7");
    EXPECT_TRUE(action("portAction07")->isChecked());
    EXPECT_FALSE(action("portAction03")->isChecked());

    action("autodetectAction")->trigger();
    EXPECT_EQ(config("comtype", "detect"), "A");
    EXPECT_TRUE(action("autodetectAction")->isChecked());
    EXPECT_FALSE(action("portAction07")->isChecked());
}

// With a device given for this run (demo mode, --device) a greyed entry names
// it, the port entries cannot be chosen and config.ini is neither read nor
// written.
TEST_F(MainFrameMenusTest, FixedDeviceLeavesConfigAlone) {
    platform::WriteProfileString(m_folder / "config.ini", "comtype", "detect", "C");
    platform::WriteProfileString(m_folder / "config.ini", "comtype", "com", "3");
    makeFrame(true, "/dev/pts/3");
    ASSERT_NE(action("deviceInUseAction"), nullptr);
    EXPECT_EQ(action("deviceInUseAction")->text(), "Device: /dev/pts/3");
    EXPECT_FALSE(action("deviceInUseAction")->isEnabled());
    EXPECT_FALSE(action("portAction03")->isChecked());
    EXPECT_FALSE(action("portAction07")->isEnabled());
    EXPECT_FALSE(action("autodetectAction")->isEnabled());
    action("portAction07")->trigger();
    EXPECT_EQ(config("comtype", "com"), "3");
}

// Wrong arguments must stop the program with a message, not start it with a
// half-understood setting.
TEST(CommandLine, OptionsAndMistakes) {
    using app::ParseCommandLine;
    EXPECT_TRUE(ParseCommandLine({"--demo"}).demo);
    EXPECT_EQ(ParseCommandLine({"--device", "/dev/ttyUSB1"}).device, "/dev/ttyUSB1");
    EXPECT_EQ(ParseCommandLine({"--device=/dev/ttyS2"}).device, "/dev/ttyS2");
    EXPECT_TRUE(ParseCommandLine({"--help"}).help);
    EXPECT_TRUE(ParseCommandLine({}).error.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"--device"}).error.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"--device="}).error.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"--demo", "--device", "/dev/ttyS0"}).error.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"--frobnicate"}).error.isEmpty());
    EXPECT_EQ(ParseCommandLine({"--demo"}).arguments, QStringList{"--demo"});
}

// The simulated drive of demo mode must not enter the journal of real drives.
TEST(CommandLine, DemoKeepsAJournalOfItsOwn) {
    const auto real = app::JournalPathFor(app::ParseCommandLine({}));
    const auto demo = app::JournalPathFor(app::ParseCommandLine({"--demo"}));
    EXPECT_EQ(real, app::JournalPathFor(app::ParseCommandLine({"--device", "/dev/ttyS0"})));
    EXPECT_NE(demo, real);
    EXPECT_EQ(demo.parent_path(), real.parent_path());
}

}  // namespace
}  // namespace velmora::frame::test
