#include "pages/specificprog/specificprogpage.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "model/commands.h"
#include "pages/specificprog/actuatortestdialog.h"
#include "pages/specificprog/factorysettingsdlg.h"
#include "pages/specificprog/firmwaretexts.h"
#include "pages/specificprog/firmwareupdatedialog.h"
#include "tests/support/drivestatus.h"
#include "tests/support/noticerecorder.h"
#include "tests/support/owndrive.h"
#include "tests/support/shippedcatalog.h"
#include "tests/support/testkit.h"
#include "tests/support/waitfor.h"

namespace velmora::pages {
namespace {

using testkit::Commands;
using testkit::TakeRequests;

link::Telegram blockRequest(std::uint16_t k) {
    link::Telegram t;
    t.command = 0x61;
    t.length = 2;
    t.data = {static_cast<std::uint8_t>(k >> 8), static_cast<std::uint8_t>(k & 0xFF)};
    return t;
}

QString writeFile(const std::filesystem::path& dir, const char* name, std::size_t size) {
    const auto path = dir / name;
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray bytes(static_cast<int>(size), '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[int(i)] = char(i * 13 + 1);
    file.write(bytes);
    return file.fileName();
}

// Waits (processing events) until the request queue holds n telegrams.
std::vector<link::Telegram> waitForRequests(link::DriveLink& link, std::size_t n,
                                            int timeoutMs = 3000) {
    std::vector<link::Telegram> got;
    (void)testkit::WaitFor(
        [&] {
            for (auto& t : TakeRequests(link)) got.push_back(std::move(t));
            return got.size() >= n;
        },
        timeoutMs);
    return got;
}

class SpecificProgTest : public ::testing::Test, public testkit::OwnDrive {
  protected:
    void SetUp() override {
        TakeRequests();
        testkit::DriveStands(m_drive.data);
    }
    void TearDown() override {
        m_drive.data.gate().endTransfer();
        TakeRequests();
    }
    // Chooses a loader and an update file of these sizes (-1: the choice
    // was cancelled) in the dialog.
    void chooseFiles(FirmwareUpdateDialog& dialog, int loaderBytes, int updateBytes) {
        const auto file = [&](const char* name, int size) {
            return size < 0 ? QString() : writeFile(m_dir.path(), name, std::size_t(size));
        };
        m_prompter.fileAnswers = {file("l.bin", loaderBytes), file("u.bin", updateBytes)};
        dialog.chooseLoader();
        dialog.chooseUpdate();
    }
    // A 10-byte loader sent and a 300-byte update waiting for the drive's
    // block requests.
    void startSmallDownload(FirmwareUpdateDialog& dialog, const FirmwareTimings& timings) {
        dialog.setTimings(timings);
        chooseFiles(dialog, 10, 300);
        dialog.startDownload();
        ASSERT_EQ(Commands(waitForRequests(m_drive.link, 2)), (std::vector<int>{0x1D, 0xAC}));
        ASSERT_TRUE(testkit::WaitFor([&] { return dialog.awaitingBlockRequests(); }));
    }

    testkit::WorkFolder m_dir{"specificprog"};
    testkit::ScriptedPrompter m_prompter;
    testkit::FrameRecorder m_frame;
};

// Cancel (and Enter) on the factory-settings question sends nothing; OK
// sends exactly one 0xA6.
TEST_F(SpecificProgTest, FactorySettingsQuestion) {
    CSpecificProgPage page{m_drive.data};
    page.askFactorySettings();
    ASSERT_TRUE(page.factorySettingsQuestion()->isVisible());
    page.factorySettingsQuestion()->findChild<QPushButton*>("factoryCancelButton")->click();
    EXPECT_TRUE(TakeRequests().empty());
    page.askFactorySettings();
    QTest::keyClick(page.factorySettingsQuestion(), Qt::Key_Return);
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_FALSE(page.factorySettingsQuestion()->isVisible());
    page.askFactorySettings();
    page.factorySettingsQuestion()->findChild<QPushButton*>("factoryOkButton")->click();
    EXPECT_EQ(Commands(TakeRequests()), std::vector<int>{0xA6});
    EXPECT_FALSE(page.factorySettingsQuestion()->isVisible());
}

// While the motor turns neither loader nor factory settings go out; each says why.
TEST_F(SpecificProgTest, MotorRunningRefusesFirmwareAndFactorySettings) {
    testkit::NoticeRecorder frame;
    CSpecificProgPage page{m_drive.data};
    page.setFrame(&frame);
    chooseFiles(*page.firmwarePanel(), 10, 300);
    page.operationNotAllowed();
    EXPECT_FALSE(page.firmwarePanel()->findChild<QPushButton*>("programButton")->isEnabled());
    page.firmwarePanel()->startDownload();
    page.factorySettingsQuestion()->confirm();
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_TRUE(frame.messages().empty());  // no WM_LINK_SUSPEND
    EXPECT_EQ(frame.notices.size(), 2);
}

// Operation not allowed disables buttons 1 and 3 only; back returns to the menu.
TEST_F(SpecificProgTest, EnablingAndBackButton) {
    CSpecificProgPage page{m_drive.data};
    page.show();
    page.operationNotAllowed();
    EXPECT_FALSE(page.findChild<QPushButton*>("actSensTestButton")->isEnabled());
    EXPECT_FALSE(page.findChild<QPushButton*>("factorySettingsButton")->isEnabled());
    EXPECT_TRUE(page.findChild<QPushButton*>("paraStructButton")->isEnabled());
    EXPECT_TRUE(page.findChild<QPushButton*>("techServiceButton")->isEnabled());
    EXPECT_TRUE(page.findChild<QPushButton*>("flashUpdateButton")->isEnabled());
    page.operationAllowed();
    EXPECT_TRUE(page.findChild<QPushButton*>("actSensTestButton")->isEnabled());

    auto* back = page.findChild<QPushButton*>("specificProgBackButton");
    auto* menu = page.findChild<QWidget*>("specificProgMenu");
    for (auto open : {&CSpecificProgPage::showActuatorTest, &CSpecificProgPage::showParaStruct,
                      &CSpecificProgPage::showFirmwareUpdate}) {
        (page.*open)();
        EXPECT_TRUE(back->isVisible());
        EXPECT_FALSE(menu->isVisible());
        back->click();
        EXPECT_FALSE(back->isVisible());
        EXPECT_TRUE(menu->isVisible());
        EXPECT_FALSE(page.firmwarePanel()->isVisible());
        EXPECT_FALSE(page.actuatorPanel()->isVisible());
    }
}

// A sensor reply reaches the actuator test; a reply of another kind is taken
// from the queue and dropped. (Block requests reaching the firmware panel:
// FirmwareUpdateSequence and the firmware end-to-end test.)
TEST_F(SpecificProgTest, SensorRepliesReachTheActuatorTestOthersAreDropped) {
    CSpecificProgPage page{m_drive.data};
    link::Telegram sensor;
    sensor.command = model::code::SensorStateReply;
    sensor.data = {0x25, 0x0A, 0x04, 0xD2, 0x09, 0x60, 0x01, 0xC8, 0x7E, 0xF4};
    sensor.length = static_cast<std::uint8_t>(sensor.data.size());
    ASSERT_EQ(m_drive.link.telegrams().Post(link::kReplySlot, sensor), 0);
    DeliverReply(page);
    EXPECT_EQ(page.actuatorPanel()->findChild<QLineEdit*>("valueSetCurrent")->text(), "12.34");

    link::Telegram other;
    other.command = 0x5C;
    other.length = 4;
    other.data = {0, 0, 0, 1};
    ASSERT_EQ(m_drive.link.telegrams().Post(link::kReplySlot, other), 0);
    DeliverReply(page);
    EXPECT_EQ(m_drive.link.telegrams().size(link::kReplySlot), 0u);
    EXPECT_TRUE(TakeRequests().empty());
}

// The whole update with short pauses: loader of 300 bytes in blocks of 251 and
// 49, LoaderDone, firmware of 500 bytes answered as 248, 248 and 4 bytes, then
// FirmwareDone and the finished popup; supervision suspended and resumed.
TEST_F(SpecificProgTest, FirmwareUpdateSequence) {
    testkit::ShippedCatalog texts;
    FirmwareUpdateDialog dialog{m_drive.data.gate(), shell::FrameChannel{&m_frame}};
    dialog.setTimings({5, 5, 5, 5, 5});
    chooseFiles(dialog, 300, 500);
    // Start asks first, naming both files and their sizes; Cancel sends nothing.
    m_prompter.confirmAnswers = {false};
    dialog.startDownload();
    EXPECT_FALSE(dialog.downloading());
    EXPECT_TRUE(m_frame.messages().empty());
    EXPECT_TRUE(TakeRequests().empty());
    dialog.startDownload();
    ASSERT_EQ(m_prompter.confirmed.size(), 2);
    const QString question = m_prompter.confirmed[0];
    EXPECT_TRUE(question.contains("Loader file: " + dialog.loaderPath() + " (300 bytes)"))
        << question.toStdString();
    EXPECT_TRUE(question.contains("Firmware file: " + dialog.updatePath() + " (500 bytes)"))
        << question.toStdString();
    EXPECT_EQ(m_prompter.asked.filter("open:"),
              (QStringList{"open:Choose the loader file", "open:Choose the firmware file"}));
    auto* outcome = dialog.findChild<QLabel*>("lastDownloadLine");
    EXPECT_TRUE(outcome->text().isEmpty());
    EXPECT_TRUE(dialog.downloading());
    EXPECT_FALSE(dialog.findChild<QPushButton*>("programButton")->isEnabled());
    ASSERT_GE(m_frame.messages().size(), 2u);
    EXPECT_EQ(m_frame.messages()[0], shell::FrameMessage{shell::LinkSuspend{true}});
    EXPECT_EQ(m_frame.messages()[1], shell::FrameMessage{shell::LinkFlush{}});

    auto loader = waitForRequests(m_drive.link, 3);
    ASSERT_EQ(Commands(loader), (std::vector<int>{0x1D, 0x1D, 0xAC}));
    EXPECT_EQ(loader[0].length, 255);
    EXPECT_EQ(loader[1].data[1], 1);   // block number 1
    EXPECT_EQ(loader[1].data[3], 49);  // 49 bytes
    ASSERT_TRUE(testkit::WaitFor([&] { return dialog.awaitingBlockRequests(); }));

    for (std::uint16_t k = 0; k < 3; ++k) {
        dialog.blockRequest(blockRequest(k));
        auto block = waitForRequests(m_drive.link, 1);
        ASSERT_EQ(Commands(block), std::vector<int>{0x1E}) << k;
        EXPECT_EQ(block[0].data[3], k < 2 ? 248 : 4);
    }
    dialog.blockRequest(blockRequest(3));
    EXPECT_EQ(Commands(waitForRequests(m_drive.link, 1)), std::vector<int>{0xAD});
    EXPECT_EQ(m_prompter.informed.size(), 1);
    EXPECT_EQ(outcome->text(), "Last download: finished.");
    EXPECT_FALSE(dialog.downloading());
    EXPECT_EQ(m_frame.messages().back(), shell::FrameMessage{shell::LinkSuspend{false}});
    EXPECT_TRUE(dialog.findChild<QPushButton*>("programButton")->isEnabled());
}

struct StartRefusal {
    const char* name;
    int loaderBytes;  // -1: the file choice was cancelled
    int updateBytes;
};

class FirmwareStartRefused : public SpecificProgTest,
                             public ::testing::WithParamInterface<StartRefusal> {};

// A cancelled file choice, or an empty loader or update file, is refused at
// Start with a message naming the file; nothing is posted or sent, so the
// drive never enters its loader for an image that is not there.
TEST_P(FirmwareStartRefused, BeforeAnythingIsSent) {
    const StartRefusal& c = GetParam();
    FirmwareUpdateDialog dialog{m_drive.data.gate(), shell::FrameChannel{&m_frame}};
    chooseFiles(dialog, c.loaderBytes, c.updateBytes);
    dialog.startDownload();
    EXPECT_EQ(m_prompter.fileErrors.size(), 1);
    EXPECT_TRUE(m_frame.messages().empty());
    QCoreApplication::sendPostedEvents();  // whatever the dialog left for later
    EXPECT_TRUE(TakeRequests().empty());
    EXPECT_FALSE(dialog.downloading());
}

INSTANTIATE_TEST_SUITE_P(Files, FirmwareStartRefused,
                         ::testing::Values(StartRefusal{"NoLoaderChosen", -1, 10},
                                           StartRefusal{"EmptyLoader", 0, 10},
                                           StartRefusal{"EmptyUpdate", 10, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A drive asking past the end of the file before its last block went out
// (the file does not fit the drive) gets no FirmwareDone and no "finished":
// the download ends with a message and releases the tabs.
TEST_F(SpecificProgTest, FirmwareRequestPastEndBeforeLastBlockIsNoSuccess) {
    FirmwareUpdateDialog dialog{m_drive.data.gate(), shell::FrameChannel{&m_frame}};
    ASSERT_NO_FATAL_FAILURE(startSmallDownload(dialog, {1, 1, 1, 1, 1}));
    dialog.blockRequest(blockRequest(0));
    ASSERT_EQ(Commands(waitForRequests(m_drive.link, 1)), std::vector<int>{0x1E});
    dialog.blockRequest(blockRequest(5));
    EXPECT_TRUE(waitForRequests(m_drive.link, 1, 200).empty());
    EXPECT_FALSE(dialog.downloading());
    EXPECT_EQ(m_prompter.informed.size(), 1);  // why it ended, and no FirmwareDone above
    EXPECT_EQ(m_frame.messages().back(), shell::FrameMessage{shell::LinkSuspend{false}});
    EXPECT_EQ(dialog.findChild<QLabel*>("lastDownloadLine")->text(),
              LastDownloadStopped(shell::T("firmwareincomplete")));
}

// Two requests arriving while a block waits for its pause are answered in
// order, and FirmwareDone never overtakes the last block.
TEST_F(SpecificProgTest, FirmwareRequestsDuringPauseKeepOrder) {
    FirmwareUpdateDialog dialog{m_drive.data.gate(), shell::FrameChannel{&m_frame}};
    ASSERT_NO_FATAL_FAILURE(startSmallDownload(dialog, {1, 1, 1, 20, 1}));
    dialog.blockRequest(blockRequest(1));  // the last block (52 bytes)
    dialog.blockRequest(blockRequest(2));  // arrives before block 1 went out
    auto sent = waitForRequests(m_drive.link, 2);
    ASSERT_EQ(Commands(sent), (std::vector<int>{0x1E, 0xAD}));
    EXPECT_EQ(sent[0].data[3], 52);
}

}  // namespace
}  // namespace velmora::pages
