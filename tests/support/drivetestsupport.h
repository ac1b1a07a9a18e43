#pragma once
// The real main window with the real pages and link threads against the
// simulated drive on a pseudo-terminal, as demo mode runs it.
#include <QTabWidget>
#include <memory>
#include <string>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "sim/driveserver.h"
#include "tests/support/pagetestsupport.h"
#include "tests/support/waitfor.h"

namespace velmora::pagetest {

using testkit::WaitFor;

class DriveWindow {
  public:
    DriveWindow() {
        LoadKeyNameCatalog();
        started = demo.start();
        if (!started) return;
        drive.link.serial().UseFixedDevice(demo.devicePath());
        frame::FrameOptions options;
        options.fixedDevice = true;
        frame = std::make_unique<frame::CMainFrame>(drive.link, drive.data, options);
        frame->show();
    }
    ~DriveWindow() { frame.reset(); }
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

    testkit::WorkFolder m_folder{"drive-window"};
    testkit::ScriptedPrompter prompter;
    app::DemoDrive demo;
    model::LinkedDrive drive;
    bool started = false;
    std::unique_ptr<frame::CMainFrame> frame;
};

}  // namespace velmora::pagetest
