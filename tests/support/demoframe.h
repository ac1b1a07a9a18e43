#pragma once
// The real main window on its own link to the simulated drive, as demo mode
// runs it: the drive on a pseudo-terminal, the window made and shown.
#include <QTabWidget>
#include <memory>
#include <string>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "model/linkeddrive.h"
#include "sim/driveserver.h"
#include "tests/support/waitfor.h"

namespace velmora::testkit {

class DemoFrame {
  public:
    DemoFrame() {
        started = demo.start();
        if (!started) return;
        drive.link.serial().UseFixedDevice(demo.devicePath());
        frame::FrameOptions options;
        options.fixedDevice = true;
        frame = std::make_unique<frame::CMainFrame>(drive.link, drive.data, options);
        frame->show();
    }
    // The window goes before the link it started and the drive it talks to.
    ~DemoFrame() { frame.reset(); }
    DemoFrame(const DemoFrame&) = delete;
    DemoFrame& operator=(const DemoFrame&) = delete;

    [[nodiscard]] sim::DriveServer& server() { return demo.server(); }
    // The simulated drive's one-line summary ("set 500 Hz actual ...").
    std::string state() { return server().command("state"); }
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

    app::DemoDrive demo;
    model::LinkedDrive drive;
    bool started = false;
    std::unique_ptr<frame::CMainFrame> frame;
};

}  // namespace velmora::testkit
