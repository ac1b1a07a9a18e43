#include "app/application.h"

#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "journal/journal.h"
#include "model/linkeddrive.h"
#include "shell/prompter.h"
#include "sim/driveserver.h"

namespace velmora::app {

int RunTool(QApplication& application, const CommandLine& commandLine) {
    std::unique_ptr<DemoDrive> demo;
    model::LinkedDrive drive;
    frame::FrameOptions options;
    if (commandLine.demo) {
        demo = std::make_unique<DemoDrive>();
        if (!demo->start()) {
            std::fputs("velmora-tool: the simulated drive could not be started\n", stderr);
            return 1;
        }
        // The demonstration opens on a turning spindle, so the live values
        // move from the first look; Stop gives the controls back.
        demo->server().command("motor start");
        drive.link.serial().UseFixedDevice(demo->devicePath());
        options.fixedDevice = true;
        options.devicePath = QString::fromStdString(demo->devicePath());
    } else if (!commandLine.device.isEmpty()) {
        drive.link.serial().UseFixedDevice(commandLine.device.toStdString());
        options.fixedDevice = true;
        options.devicePath = commandLine.device;
    }

    journal::Journal journal(journal::ThisOrigin("velmora-tool " VELMORA_VERSION),
                             JournalPathFor(commandLine));
    options.journal = &journal;
    bool restart = false;
    {
        frame::CMainFrame frame(drive.link, drive.data, options);
        frame.show();
        application.exec();
        restart = frame.restartRequested();
    }
    // The window is gone and the link has let go of the port before the new
    // instance starts, so it never finds its device busy.
    demo.reset();
    RestartIfRequested(restart, commandLine.arguments);
    return 0;
}

std::filesystem::path JournalPathFor(const CommandLine& commandLine) {
    const std::filesystem::path real = journal::DefaultJournalPath();
    if (!commandLine.demo) return real;
    return real.parent_path() / ("demo-" + real.filename().string());
}

void RestartIfRequested(bool requested, const QStringList& arguments) {
    if (!requested) return;
    shell::prompter().restartProgram(QCoreApplication::applicationFilePath(), arguments);
}

}  // namespace velmora::app
