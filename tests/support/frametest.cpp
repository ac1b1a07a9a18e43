#include "tests/support/frametest.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "frame/noticestrip.h"
#include "link/queues.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"

namespace velmora::frame::test {

using namespace velmora::shell;

namespace {

// Only the keys the main window shows; everything else reads FILE_ERROR.
const char* const kEnglish = R"([general]
company=Test Drives
languagefile=English
[menu]
languagechoice=Language
connection=Connection
autodetect=Automatic detection
comselect=Port
com=COM
connected=connected
disconnected=not connected
[tabs]
tabcontrolpage=Control
taboperatingvalues=Operating values
tabremotecontrol=Remote control
tabmotorparameters=Motor
tabrunin=Run-in
tabspecificprog=Specific
tabtechservice=Technician tab
[errors]
errornumber=Error
warningnumber=Warning
generalerror=A general error occurred
error01=Undervoltage
error03=Overcurrent
[spec]
usebackbutton=Use the back button
waitflashdownload=Wait for the download
techservice=Technician
holdstorage=Hold storage
m5=Memory 5
typem01ac=Model A1
typem02ac=Model A2
typem03ac=Model A3
[notices]
faultclass1=Warn
faultclass2=Stop
faultclass3=Severe
faultclassother=Class %1
faultundescribed=Not described
tabrefusedrunin=Run-in runs
tabrefusedreading=Reading
startrefusedfault=No start with %1
operationlocked=Locked
askdiscardchanges=Discard?
filesaved=Saved %1
[portmenu]
rememberadapter=Remember this adapter
)";

}  // namespace

FrameFolder::FrameFolder() : WorkFolder("frame") {
    write("data_language/language_01.ini", kEnglish);
    write("data_language/language_02.ini",
          "[general]\ncompany=Testantriebe\nlanguagefile=Deutsch\n");
    std::filesystem::create_directories(path() / "data_runin");
    std::error_code ignored;
    std::filesystem::copy_file(
        std::filesystem::path(VELMORA_SOURCE_DIR) / "data" / "data_runin" / "runin_01.run",
        path() / "data_runin" / "runin_01.run", ignored);
}

FrameOptions ObservedFrameOptions(ObservedPages& pages) {
    FrameOptions options;
    options.startLink = false;
    options.createPages = [&pages](model::DriveData& data) {
        pages.control = new Observed<pages::CControlPage>(data);
        pages.report = new Observed<pages::CReportPage>(data);
        pages.remote = new Observed<pages::CRemotePage>(data);
        pages.motor = new Observed<pages::CMotorPage>(data);
        pages.runIn = new Observed<pages::CRunInPage>(data);
        pages.specificProg = new Observed<pages::CSpecificProgPage>(data);
        pages.techService = new Observed<pages::CTechServicePage>(data);
        return FramePages{pages.control, pages.report,       pages.remote,     pages.motor,
                          pages.runIn,   pages.specificProg, pages.techService};
    };
    return options;
}

void Deliver(CMainFrame& frame, unsigned message, std::uintptr_t wParam) {
    frame.postMessage(message, wParam);
    QCoreApplication::sendPostedEvents(&frame);
}

void Deliver(CMainFrame& frame, const FrameMessage& message) {
    frame.post(message);
    QCoreApplication::sendPostedEvents(&frame);
}

QString NoticeShown(const CMainFrame& frame) {
    const auto* strip = frame.findChild<NoticeStrip*>("noticeStrip");
    return strip ? strip->text() : QStringLiteral("<no notice strip>");
}

void FrameDrive::DeliverStatus(CMainFrame& frame, std::uint8_t d0, std::uint8_t d1,
                               std::uint8_t faultClass, std::uint8_t number) {
    link::Telegram status;
    status.command = 0x60;
    status.length = 4;
    status.data = {d0, d1, faultClass, number};
    m_drive.link.telegrams().Post(link::kStatusSlot, std::move(status));
    Deliver(frame, link::WM_DRIVE_STATUS);
}

link::Telegram GroupReply(int code, std::uint8_t fill) {
    link::Telegram reply;
    const model::GroupLayout* group = model::FindGroup(code);
    reply.command = code;
    reply.length = group ? group->length : 0;
    reply.data.assign(reply.length, fill);
    return reply;
}

void FrameDrive::DeliverGroup(CMainFrame& frame, int code, std::uint8_t fill) {
    m_drive.link.telegrams().Post(link::kReplySlot, GroupReply(code, fill));
    Deliver(frame, link::WM_DRIVE_GROUP_REPLY);
}

void FrameDrive::CompleteFirstRead(CMainFrame& frame) {
    for (int code = 0x50; code <= 0x5A; ++code) DeliverGroup(frame, code);
}

void FrameTest::makeFrame(bool fixedDevice, const QString& devicePath) {
    FrameOptions options = ObservedFrameOptions(m_pages);
    options.fixedDevice = fixedDevice;
    options.devicePath = devicePath;
    options.journal = m_journal;
    m_frame = std::make_unique<CMainFrame>(m_drive.link, m_drive.data, options);
}

void FrameTest::showConnected(QSize size) {
    if (size.isValid()) m_frame->resize(size);
    m_frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    Deliver(*m_frame, link::WM_DRIVE_LINK_STATE, 1);
}

void FrameTest::clickTab(QWidget* page) {
    QTabBar* bar = m_frame->sheet()->tabBar();
    const int index = m_frame->sheet()->indexOf(page);
    ASSERT_GE(index, 0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCoreApplication::processEvents();
}

QWidget* FrameTest::current() const {
    return m_frame->sheet()->currentWidget();
}

}  // namespace velmora::frame::test
