#pragma once
// What the main-window tests share: a working folder with small language
// files, observing pages, message helpers and the fixture of a main window.
#include <gtest/gtest.h>

#include <QSize>
#include <QString>
#include <memory>
#include <vector>

#include "frame/mainframe.h"
#include "link/telegram.h"
#include "pages/control/controlpage.h"
#include "pages/motor/motorpage.h"
#include "pages/remote/remotepage.h"
#include "pages/report/reportpage.h"
#include "pages/runin/runinpage.h"
#include "pages/specificprog/specificprogpage.h"
#include "pages/techservice/techservicepage.h"
#include "tests/support/findchild.h"
#include "tests/support/owndrive.h"
#include "tests/support/testkit.h"

namespace velmora::frame::test {

using namespace velmora::shell;

// Counts the hooks the main window calls on a page.
struct HookCounts {
    int allowed = 0;
    int notAllowed = 0;
    int refreshed = 0;
    int replies = 0;
    int shown = 0;
};

template <typename Base>
class Observed : public Base {
  public:
    using Base::Base;
    void operationAllowed() override {
        ++counts.allowed;
        Base::operationAllowed();
    }
    void operationNotAllowed() override {
        ++counts.notAllowed;
        Base::operationNotAllowed();
    }
    void refresh() override { ++counts.refreshed; }
    void driveReply(link::Telegram& /*reply*/) override { ++counts.replies; }
    HookCounts counts;

  protected:
    void pageShown() override { ++counts.shown; }
};

struct ObservedPages {
    Observed<pages::CControlPage>* control = nullptr;
    Observed<pages::CReportPage>* report = nullptr;
    Observed<pages::CRemotePage>* remote = nullptr;
    Observed<pages::CMotorPage>* motor = nullptr;
    Observed<pages::CRunInPage>* runIn = nullptr;
    Observed<pages::CSpecificProgPage>* specificProg = nullptr;
    Observed<pages::CTechServicePage>* techService = nullptr;
};

// A fresh working folder with language files 01 (English) and 02 and the
// run-in program 01, made the current directory; config.ini is absent.
class FrameFolder : public testkit::WorkFolder {
  public:
    FrameFolder();
};
// Frame options that make observing pages and start no link threads.
FrameOptions ObservedFrameOptions(ObservedPages& pages);

// The status bar's notice line as shown now.
[[nodiscard]] QString NoticeShown(const CMainFrame& frame);
// Posts a message and lets the window handle it.
void Deliver(CMainFrame& frame, unsigned message, std::uintptr_t wParam = 0);
void Deliver(CMainFrame& frame, const FrameMessage& message);
// A well-formed reply of a parameter group (all fields `fill`).
[[nodiscard]] link::Telegram GroupReply(int code, std::uint8_t fill = 0);

// The link and drive image a test window runs on, and replies put into its
// queues as the link threads would.
class FrameDrive : public testkit::OwnDrive {
  public:
    // Puts a status reply into the status queue and announces it.
    void DeliverStatus(CMainFrame& frame, std::uint8_t d0, std::uint8_t d1, std::uint8_t faultClass,
                       std::uint8_t number);
    void DeliverGroup(CMainFrame& frame, int code, std::uint8_t fill = 0);
    // Every group 0x50..0x5A once: the first complete read.
    void CompleteFirstRead(CMainFrame& frame);
};
using testkit::TakeRequests;

// A main window of observing pages in its own working folder, on a drive of
// its own.
class FrameTest : public ::testing::Test, public FrameDrive {
  protected:
    ~FrameTest() override { m_frame.reset(); }
    void makeFrame(bool fixedDevice = false, const QString& devicePath = {});
    // Shown (at `size` when given) and told the link is up.
    void showConnected(QSize size = {});
    // Clicks the page's tab as a user does.
    void clickTab(QWidget* page);
    [[nodiscard]] QWidget* current() const;

    FrameFolder m_folder;
    testkit::ScriptedPrompter m_prompter;
    ObservedPages m_pages;
    journal::Journal* m_journal = nullptr;  // handed to the window when set
    std::unique_ptr<CMainFrame> m_frame;
};

// The window shown and connected, before the first complete read.
class ConnectedFrameTest : public FrameTest {
  protected:
    void SetUp() override {
        makeFrame();
        showConnected();
    }
};

}  // namespace velmora::frame::test
