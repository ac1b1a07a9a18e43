// The main window with the real link threads against the simulated drive on
// a pseudo-terminal, as demo mode runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTabWidget>
#include <atomic>

#include "app/demodrive.h"
#include "frame/statusindicator.h"
#include "link/seriallink_api.h"
#include "link/serialport.h"
#include "model/grouplayout.h"
#include "model/linkeddrive.h"
#include "platform/profile.h"
#include "shell/faultpopup.h"
#include "sim/driveserver.h"
#include "tests/support/demoframe.h"
#include "tests/support/frametest.h"
#include "tests/support/ptypeer.h"
#include "tests/support/waitfor.h"

namespace velmora::frame::test {

using namespace velmora::shell;
namespace {

// Start, first complete read, pages enabled, a fault of the drive opens its
// popup, a pulled cable turns the lamp red and plugging it back green again;
// demo mode neither reads nor writes the user's port setting.
TEST(MainFrameWithDrive, ConnectsReadsFaultsAndReconnects) {
    FrameFolder folder;
    platform::WriteProfileString(folder / "config.ini", "comtype", "detect", "C");
    platform::WriteProfileString(folder / "config.ini", "comtype", "com", "7");
    const std::string configBefore = testkit::Slurp(folder / "config.ini");
    testkit::ScriptedPrompter prompter;
    {
        testkit::DemoFrame demo;
        ASSERT_TRUE(demo.started);
        frame::CMainFrame& frame = *demo.frame;
        auto* indicator = frame.findChild<StatusIndicator*>("statusIndicator");
        ASSERT_NE(indicator, nullptr);

        VELMORA_TRY_VERIFY_WITH_TIMEOUT(frame.connected(), 5000);
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(frame.allGroupsRead(), 10000);
        EXPECT_TRUE(indicator->connectedShown());
        for (int i = 0; i < frame.sheet()->count(); ++i) {
            EXPECT_TRUE(frame.sheet()->widget(i)->isEnabled()) << i;
        }

        auto* popupA = frame.findChild<FaultPopup*>("faultPopupA");
        ASSERT_NE(popupA, nullptr);
        EXPECT_FALSE(popupA->isVisible());
        demo.server().command("fault 1 3");
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(popupA->isVisible(), 5000);
        demo.server().command("clear");
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(!popupA->isVisible(), 5000);

        // The supervision checks about every 4.1 s and gives up after the
        // second silent check.
        demo.server().command("unplug 60");
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(!indicator->connectedShown(), 15000);
        EXPECT_FALSE(frame.sheet()->currentWidget()->isEnabled());
        demo.server().command("unplug 0");
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(indicator->connectedShown(), 10000);
        EXPECT_TRUE(frame.sheet()->currentWidget()->isEnabled());
    }
    EXPECT_EQ(testkit::Slurp(folder / "config.ini"), configBefore);
    EXPECT_TRUE(prompter.informed.empty());
}

// A drive that answers every read at once from one set of values, the
// speed it reports (p1) above its own maximum (p42).
std::optional<link::test::Bytes> PromptDrive(const link::Telegram& request) {
    if (request.command != 0xCF || request.data.empty() || request.data[0] == 0x60) {
        return link::test::ScriptedDrive::StandardAnswer(request);
    }
    const model::GroupLayout* group = model::FindGroup(request.data[0]);
    if (group == nullptr || group->code == 0x5F) return std::nullopt;
    std::array<std::uint32_t, 156> values{};
    values[1] = 5000;
    values[7] = 1;
    values[8] = 1;
    values[41] = 30;
    values[42] = 4000;
    values[140] = 2;
    values[141] = 1;
    values[146] = 3;
    link::test::Bytes data(group->length, 0);
    for (const model::FieldLayout& field : group->fields) {
        for (int at = 0, bytes = field.bits / 8; at < bytes; ++at) {
            data[static_cast<std::size_t>(field.offset + at)] =
                static_cast<std::uint8_t>(values[field.parameter] >> (8 * (bytes - 1 - at)));
        }
    }
    return link::test::Encode(group->code, data);
}

// Right after start-up the control page's three full refreshes write group
// 0x50 twice and 0x58 three times each, with the drive's own values (p1
// corrected to p42). Catches writes lost in a request queue flooded by the
// first complete read (only 0-2 of the six 0x10 writes arrived).
TEST(MainFrameWithDrive, StartUpWritesAllArrive) {
    FrameFolder folder;
    testkit::ScriptedPrompter prompter;
    link::test::ScriptedDrive drive(PromptDrive);
    {
        model::LinkedDrive linked;
        linked.link.serial().UseFixedDevice(drive.devicePath());
        FrameOptions options;
        options.fixedDevice = true;
        CMainFrame frame(linked.link, linked.data, options);
        frame.show();
        const auto count = [&drive](int command) {
            const auto requests = drive.requests();
            return std::count_if(requests.begin(), requests.end(),
                                 [command](const auto& r) { return r.command == command; });
        };
        const auto polls = [&drive] {
            const auto requests = drive.requests();
            return std::count_if(requests.begin(), requests.end(), [](const auto& r) {
                return r.command == 0xCF && r.data == link::test::Bytes{0x59};
            });
        };
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(count(0x10) >= 6 && count(0x18) >= 9, 10000);
        // Two more poll cycles: later refreshes must write nothing.
        const auto pollsSoFar = polls();
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(polls() >= pollsSoFar + 2, 5000);
        EXPECT_EQ(count(0x10), 6);
        EXPECT_EQ(count(0x18), 9);
        for (const auto& request : drive.requests()) {
            if (request.command == 0x10) {
                EXPECT_EQ(request.data, (link::test::Bytes{0x0F, 0xA0, 1, 1}));
            } else if (request.command == 0x18) {
                EXPECT_EQ(request.data, (link::test::Bytes{2, 1, 3}));
            }
        }
    }
}

// A device another program holds is named to the user once, however often
// the supervision tries it again.
TEST(MainFrameWithDrive, BusyDeviceToldOnce) {
    FrameFolder folder;
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const int holder = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    testkit::ScriptedPrompter prompter;
    {
        model::LinkedDrive linked;
        linked.link.serial().UseFixedDevice(name);
        std::atomic<int> attempts{0};
        linked.link.serial().setPortOpener([&attempts](unsigned number, const std::string& device) {
            ++attempts;
            return std::make_unique<link::SerialPort>(number, device);
        });
        FrameOptions options;
        options.fixedDevice = true;
        CMainFrame frame(linked.link, linked.data, options);
        frame.show();
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(!prompter.informed.empty(), 5000);
        // Two more failed attempts: each is reported to the window as the next begins.
        const int told = attempts;
        VELMORA_TRY_VERIFY_WITH_TIMEOUT(attempts >= told + 3, 10000);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(prompter.informed.size(), 1);
        EXPECT_TRUE(prompter.informed[0].contains(QString::fromLocal8Bit(name)));
        EXPECT_FALSE(frame.connected());
    }
    ::close(holder);
    ::close(slave);
    ::close(master);
}

}  // namespace
}  // namespace velmora::frame::test
