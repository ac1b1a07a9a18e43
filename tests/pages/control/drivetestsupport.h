#pragma once
// The real main window with the real pages and link threads against the
// simulated drive on a pseudo-terminal, as demo mode runs it.
#include <QCoreApplication>
#include <QTabWidget>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/demodrive.h"
#include "control/pagetestsupport.h"
#include "frame/mainframe.h"
#include "sim/driveserver.h"

namespace velmora::pagetest {

// Lets the window handle its events until done() holds; false after
// timeoutMs. (Qt's QTRY macros report to QTest, which GoogleTest never sees.)
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(5);
    }
    return true;
}

class DriveWindow {
  public:
    DriveWindow() {
        EnsureApplication();
        LoadKeyNameCatalog();
        shell::setPrompter(&prompter);
        m_previous = fs::current_path();
        fs::current_path(m_folder.path());
        ResetDriveAndQueues();
        started = demo.start();
        if (!started) return;
        shell::FrameOptions options;
        options.fixedDevice = true;
        frame = std::make_unique<shell::CMainFrame>(options);
        frame->show();
    }
    ~DriveWindow() {
        frame.reset();
        shell::setPrompter(nullptr);
        fs::current_path(m_previous);
    }
    DriveWindow(const DriveWindow&) = delete;
    DriveWindow& operator=(const DriveWindow&) = delete;

    // The simulated drive's one-line summary ("set 500 Hz actual ...").
    std::string state() { return demo.server().command("state"); }
    bool stateHas(const std::string& part) { return state().find(part) != std::string::npos; }

    // Connected and all groups read once.
    bool ready() {
        // The pages are enabled only once the link check has answered, which
        // may come after the last group of the first read.
        return WaitFor([this] { return frame->allGroupsRead() && frame->connected(); }, 10000);
    }

    template <typename Page>
    Page* page() {
        return frame->findChild<Page*>();
    }
    void activate(QWidget* page) { frame->sheet()->setCurrentWidget(page); }

    FakePrompter prompter;
    app::DemoDrive demo;
    bool started = false;
    std::unique_ptr<shell::CMainFrame> frame;

  private:
    TempFolder m_folder;
    fs::path m_previous;
};

}  // namespace velmora::pagetest
