// The firmware update through the real main window and link against the
// simulated drive on a pseudo-terminal: the boot loader must receive both
// images byte for byte, in order, with every number high byte first.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "link/queues.h"
#include "pages/control/controlpage.h"
#include "pages/report/reportpage.h"
#include "pages/specificprog/firmwareupdatedialog.h"
#include "pages/specificprog/specificprogpage.h"
#include "shell/textcatalog.h"
#include "sim/driveserver.h"
#include "tests/support/demoframe.h"
#include "tests/support/drivecaughtup.h"
#include "tests/support/drivestatus.h"
#include "tests/support/owndrive.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"

namespace velmora::pages {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(generator());
    return bytes;
}

QString writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return QString::fromStdString(path.string());
}

// The working folder gets the shipped language files, so every text the
// frame and the panel show is the real one.
void copyLanguages(const std::filesystem::path& folder) {
    std::filesystem::copy(std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_language",
                          folder / "data_language", std::filesystem::copy_options::recursive);
}

int count(const QStringList& texts, const QString& text) {
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

// "loader loader-running firmware <n> bytes receiving" with n > 0.
bool firstBlockArrived(const std::string& state) {
    return state.find("loader-running") != std::string::npos &&
           state.find("firmware 0 bytes") == std::string::npos;
}

struct Download {
    std::size_t loaderBytes;
    std::size_t updateBytes;
    bool defaultTimings;
    bool backMidway;  // the page's Back button pressed once blocks are asked for
};

// A loader of 502 bytes (two full blocks) and of 300 (a short second block);
// an update of 496 bytes (ends exactly on a block) and of 500 (a 4-byte last
// block). Wrong byte order of a block number or length, a lost or repeated
// block, a zero-length block, a missing FirmwareDone, a second finished popup,
// supervision left suspended or tabs left locked each fail here.
TEST(FirmwareUpdateWithDrive, ImagesArriveWholeAndInOrder) {
    testkit::WorkFolder work("firmware-e2e");
    copyLanguages(work.path());
    testkit::ScriptedPrompter prompter;
    testkit::DemoFrame demo;
    ASSERT_TRUE(demo.started);
    frame::CMainFrame& frame = *demo.frame;
    ASSERT_TRUE(testkit::WaitFor([&] { return frame.allGroupsRead(); }, 10000));

    auto* page = frame.findChild<CSpecificProgPage*>();
    auto* control = frame.findChild<CControlPage*>();
    auto* report = frame.findChild<CReportPage*>();
    ASSERT_TRUE(page && control && report);
    frame.sheet()->setCurrentWidget(page);
    ASSERT_EQ(frame.sheet()->currentWidget(), page);
    page->showFirmwareUpdate();
    FirmwareUpdateDialog* dialog = page->firmwarePanel();
    ASSERT_TRUE(dialog->isVisible());

    // A cancelled file choice leaves the path empty: the start fails with the
    // file error and nothing reaches the drive.
    prompter.fileAnswers = {QString(), QString()};
    dialog->chooseLoader();
    dialog->chooseUpdate();
    dialog->startDownload();
    EXPECT_EQ(prompter.fileErrors.size(), 1);
    EXPECT_FALSE(dialog->downloading());
    ASSERT_TRUE(testkit::DriveCaughtUp(demo.drive.link, demo.server()));
    EXPECT_NE(demo.server().command("state").find("firmware none"), std::string::npos)
        << demo.server().command("state");

    const QString refused = shell::T("waitflashdownload");
    const QString finished = shell::T("firmwaredownloadfinished");
    const Download downloads[] = {{502, 496, true, false}, {300, 500, false, true}};
    unsigned seed = 1;
    for (const Download& d : downloads) {
        SCOPED_TRACE(testing::Message() << d.loaderBytes << " / " << d.updateBytes);
        const Bytes loader = randomBytes(d.loaderBytes, seed++);
        const Bytes update = randomBytes(d.updateBytes, seed++);
        prompter.fileAnswers = {writeFile(work.path() / "loader.bin", loader),
                                writeFile(work.path() / "update.bin", update)};
        dialog->chooseLoader();
        dialog->chooseUpdate();
        dialog->setTimings(d.defaultTimings ? FirmwareTimings{}
                                            : FirmwareTimings{20, 10, 100, 5, 5});
        dialog->startDownload();
        ASSERT_TRUE(dialog->downloading());
        EXPECT_FALSE(frame.findChild<QPushButton*>("programButton")->isEnabled());

        // Every tab change is refused with its text in the status bar while
        // the transfer runs (the lock is a posted message to the frame).
        QCoreApplication::sendPostedEvents();
        for (QWidget* target : std::initializer_list<QWidget*>{control, report}) {
            frame.sheet()->setCurrentWidget(target);
            ASSERT_TRUE(
                testkit::WaitFor([&] { return frame.sheet()->currentWidget() == page; }, 2000));
        }
        // Again once the drive asks for blocks: coming back to the page must
        // not take the block-request polling away from the transfer.
        ASSERT_TRUE(testkit::WaitFor(
            [&] { return firstBlockArrived(demo.server().command("state")); }, 10000));
        frame.sheet()->setCurrentWidget(control);
        ASSERT_TRUE(testkit::WaitFor([&] { return frame.sheet()->currentWidget() == page; }, 2000));
        EXPECT_EQ(count(prompter.informed, refused), 0);
        EXPECT_EQ(frame.findChild<QLabel*>("noticeStrip")->text(), refused);
        // Leaving the panel does not stop the transfer or its polling.
        if (d.backMidway) frame.findChild<QPushButton*>("specificProgBackButton")->click();

        ASSERT_TRUE(testkit::WaitFor([&] { return !dialog->downloading(); }, 20000));
        EXPECT_EQ(count(prompter.informed, finished), 1);
        prompter.informed.removeAll(finished);
        // FirmwareDone follows the last block through the queue.
        ASSERT_TRUE(testkit::WaitFor(
            [&] {
                return demo.server().command("state").find("loader normal") != std::string::npos;
            },
            3000));
        const std::string state = demo.server().command("state");
        EXPECT_NE(state.find("complete in-order"), std::string::npos) << state;
        EXPECT_EQ(demo.server().receivedLoader(), loader);
        EXPECT_EQ(demo.server().receivedFirmware(), update);
        EXPECT_TRUE(frame.findChild<QPushButton*>("programButton")->isEnabled());

        // Tabs change again once the download is over (its end is a posted
        // message to the frame; a refused change is undone by a posted call).
        QCoreApplication::sendPostedEvents();
        frame.sheet()->setCurrentWidget(report);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(frame.sheet()->currentWidget(), report);
        frame.sheet()->setCurrentWidget(page);
        ASSERT_EQ(frame.sheet()->currentWidget(), page);
    }
    EXPECT_EQ(count(prompter.informed, finished), 0);

    // The update file vanishes after the first block: the file error ends the
    // download and the tab lock with it; started again, the drive's loader
    // gets the rest from the block it still waits for.
    const Bytes loader = randomBytes(300, seed++);
    const Bytes update = randomBytes(740, seed++);
    const std::filesystem::path updateFile = work.path() / "update.bin";
    prompter.fileAnswers = {writeFile(work.path() / "loader.bin", loader),
                            writeFile(updateFile, update)};
    dialog->chooseLoader();
    dialog->chooseUpdate();
    dialog->setTimings({20, 10, 100, 5, 5});
    const auto fileErrorsBefore = prompter.fileErrors.size();
    dialog->startDownload();
    ASSERT_TRUE(
        testkit::WaitFor([&] { return firstBlockArrived(demo.server().command("state")); }, 10000));
    std::filesystem::remove(updateFile);
    ASSERT_TRUE(testkit::WaitFor([&] { return !dialog->downloading(); }, 5000));
    EXPECT_EQ(prompter.fileErrors.size(), fileErrorsBefore + 1);
    EXPECT_EQ(count(prompter.informed, finished), 0);
    EXPECT_NE(demo.server().command("state").find("loader-running"), std::string::npos);
    QCoreApplication::sendPostedEvents();
    frame.sheet()->setCurrentWidget(report);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(frame.sheet()->currentWidget(), report);
    frame.sheet()->setCurrentWidget(page);
    writeFile(updateFile, update);
    dialog->startDownload();
    ASSERT_TRUE(testkit::WaitFor([&] { return !dialog->downloading(); }, 20000));
    EXPECT_EQ(count(prompter.informed, finished), 1);
    ASSERT_TRUE(testkit::WaitFor(
        [&] { return demo.server().command("state").find("loader normal") != std::string::npos; },
        3000));
    EXPECT_NE(demo.server().command("state").find("complete in-order"), std::string::npos)
        << demo.server().command("state");
    EXPECT_EQ(demo.server().receivedFirmware(), update);

    // Supervision runs again: a silent drive is noticed.
    ASSERT_TRUE(frame.connected());
    demo.server().command("unplug 30");
    ASSERT_TRUE(testkit::WaitFor([&] { return !frame.connected(); }, 15000));
    demo.server().command("unplug 0");
}

// A page whose download waits on the drive's first block request, so the
// download's polling holds; the test ends the transfer it began.
class FirmwareUpdatePolling : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        prompter.fileAnswers = {writeFile(work.path() / "loader.bin", randomBytes(10, 1)),
                                writeFile(work.path() / "update.bin", randomBytes(10, 2))};
        testkit::DriveStands(m_drive.data);
        page.show();
        page.showFirmwareUpdate();
        FirmwareUpdateDialog* dialog = page.firmwarePanel();
        dialog->setTimings({60000, 0, 0, 0, 0});
        dialog->chooseLoader();
        dialog->chooseUpdate();
        (void)TakePollModes();
        dialog->startDownload();
        ASSERT_TRUE(dialog->downloading());
    }
    void TearDown() override { m_drive.data.gate().endTransfer(); }

    testkit::WorkFolder work{"firmware-poll"};
    testkit::ScriptedPrompter prompter;
    CSpecificProgPage page{m_drive.data};
};

// Coming back to the page during a download (a refused tab change returns to
// it) must keep the download's polling, not post the menu's: a status poll in
// the loader phase or a lost block-request poll would disturb the transfer.
TEST_F(FirmwareUpdatePolling, PageShownKeepsDownloadPollMode) {
    EXPECT_EQ(TakePollModes(), testkit::PollModes({link::PollMode::FirmwareQuiet}));
    page.hide();
    page.show();
    EXPECT_EQ(TakePollModes(), testkit::PollModes({link::PollMode::FirmwareQuiet}));
}

// Back during a download leaves the views that poll for themselves closed,
// and no other path changes the polling the drive's loader waits on.
TEST_F(FirmwareUpdatePolling, BackDuringADownloadKeepsItsPolling) {
    (void)TakePollModes();
    page.findChild<QPushButton*>("specificProgBackButton")->click();
    EXPECT_FALSE(page.findChild<QPushButton*>("actSensTestButton")->isEnabled());
    EXPECT_FALSE(page.findChild<QPushButton*>("paraStructButton")->isEnabled());
    page.showActuatorTest();
    page.showParaStruct();
    EXPECT_EQ(TakePollModes(), std::vector<int>{});
}

}  // namespace
}  // namespace velmora::pages
