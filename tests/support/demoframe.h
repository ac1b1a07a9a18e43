#pragma once
// The real main window on its own link to the simulated drive, as demo mode
// runs it: the drive on a pseudo-terminal, the window made and shown.
#include <memory>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "model/linkeddrive.h"
#include "sim/driveserver.h"

namespace velmora::testkit {

class DemoFrame {
  public:
    DemoFrame() {
        started = demo.start();
        if (!started) return;
        drive.link.serial().UseFixedDevice(demo.devicePath());
        frame::FrameOptions options;
        options.fixedDevice = true;
        window = std::make_unique<frame::CMainFrame>(drive.link, drive.data, options);
        window->show();
    }
    // The window goes before the link it started and the drive it talks to.
    ~DemoFrame() { window.reset(); }
    DemoFrame(const DemoFrame&) = delete;
    DemoFrame& operator=(const DemoFrame&) = delete;

    [[nodiscard]] sim::DriveServer& server() { return demo.server(); }

    app::DemoDrive demo;
    model::LinkedDrive drive;
    bool started = false;
    std::unique_ptr<frame::CMainFrame> window;
};

}  // namespace velmora::testkit
