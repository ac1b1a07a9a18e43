#pragma once
// What the main-window tests share: a scripted prompter, a working folder
// with small language files, observing pages and message helpers.
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
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
#include "shell/prompter.h"

class QApplication;

namespace velmora::shell::test {

class ScriptedPrompter : public Prompter {
  public:
    ScriptedPrompter() { setPrompter(this); }
    ~ScriptedPrompter() override { setPrompter(nullptr); }

    void inform(QWidget*, const QString& text) override {
        informed.push_back(text);
        if (whileInforming) whileInforming();
    }
    bool confirm(QWidget*, const QString& text) override {
        confirmed.push_back(text);
        return confirmAnswer;
    }
    QString chooseOpenFile(QWidget*, const FileChoice&) override { return {}; }
    QString chooseSaveFile(QWidget*, const FileChoice&) override { return {}; }
    void fileError(QWidget*, const QString& path, const QString&) override {
        fileErrors.push_back(path);
    }
    void restartProgram(const QString& program, const QStringList& arguments) override {
        restartedProgram = program;
        restartArguments = arguments;
        ++restarts;
    }

    std::vector<QString> informed;
    std::vector<QString> confirmed;
    std::vector<QString> fileErrors;
    bool confirmAnswer = true;
    // Runs while the popup would be open (its event loop delivers messages).
    std::function<void()> whileInforming;
    QString restartedProgram;
    QStringList restartArguments;
    int restarts = 0;
};

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
    void driveReply() override { ++counts.replies; }
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

// The application object of the test process.
QApplication& TestApplication();
// A fresh working folder with language files 01 (English) and 02, made the
// current directory; config.ini is absent.
std::filesystem::path EnterTestFolder();
// Frame options that make observing pages and start no link threads.
FrameOptions ObservedFrameOptions(ObservedPages& pages);
// Empty queues and a fresh drive image.
void ResetDriveState();

// The status bar's notice line as shown now.
[[nodiscard]] QString NoticeShown(const CMainFrame& frame);
// Posts a message and lets the window handle it.
void Deliver(CMainFrame& frame, unsigned message, std::uintptr_t wParam = 0);
// Puts a status reply into the status queue and announces it.
void DeliverStatus(CMainFrame& frame, std::uint8_t d0, std::uint8_t d1, std::uint8_t faultClass,
                   std::uint8_t number);
// A well-formed reply of a parameter group (all fields `fill`).
[[nodiscard]] link::Telegram GroupReply(int code, std::uint8_t fill = 0);
void DeliverGroup(CMainFrame& frame, int code, std::uint8_t fill = 0);
// Every group 0x50..0x5A once: the first complete read.
void CompleteFirstRead(CMainFrame& frame);
// The requests waiting in the request queue, oldest first (they are taken).
[[nodiscard]] std::vector<link::Telegram> TakeRequests();

}  // namespace velmora::shell::test
