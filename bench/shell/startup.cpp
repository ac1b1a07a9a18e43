// Start-up and memory of the main window (run it on Qt's offscreen platform
// from a working folder such as build/run):
//   bench_shell_startup startup        time to the first frame on the line
//                                      and to the window shown
//   bench_shell_startup memory [s] [png]  resident memory after s seconds
//                                      (60) connected to the simulated
//                                      drive; png: save a picture of the window
// Each mode is one process: the link threads start once per process.
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "app/demodrive.h"
#include "frame/mainframe.h"
#include "link/seriallink_api.h"
#include "model/linkeddrive.h"

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point g_mainEntered = Clock::now();

double millisecondsSince(Clock::time_point start, Clock::time_point end = Clock::now()) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// Time between the process's start and main(), from /proc (10 ms steps).
double millisecondsBeforeMain() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::string rest = stat.substr(close + 2);
    unsigned long long startTicks = 0;
    char* cursor = rest.data();
    for (int field = 3; field <= 22; ++field) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(cursor, &end, 10);
        if (field == 22) startTicks = value;
        if (end == cursor) {  // the state letter
            end = std::strchr(cursor, ' ');
            if (!end) return 0;
        }
        cursor = end + 1;
    }
    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    return uptime * 1000.0 - 1000.0 * static_cast<double>(startTicks) / sysconf(_SC_CLK_TCK) -
           millisecondsSince(g_mainEntered);
}

long residentKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0) return std::stol(line.substr(length + 1));
    }
    return -1;
}

// Paint events of the window: the first one is "shown".
class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            at = Clock::now();
        }
        return QObject::eventFilter(watched, event);
    }
    bool painted = false;
    Clock::time_point at;
};

int startup(int argc, char** argv) {
    int master = -1;
    int slave = -1;
    char device[256] = {};
    if (openpty(&master, &slave, device, nullptr, nullptr) != 0) return 1;
    std::atomic<bool> stop = false;
    Clock::time_point firstByte{};
    std::atomic<bool> gotByte = false;
    std::thread line([&] {
        pollfd watch{master, POLLIN, 0};
        while (!stop && !gotByte) {
            if (poll(&watch, 1, 20) > 0 && (watch.revents & POLLIN)) {
                firstByte = Clock::now();
                gotByte = true;
            }
        }
    });

    QApplication application(argc, argv);
    velmora::model::LinkedDrive drive;
    drive.link.serial().UseFixedDevice(device);
    velmora::frame::FrameOptions options;
    options.fixedDevice = true;
    double shownMs = 0;
    {
        velmora::frame::CMainFrame frame(drive.link, drive.data, options);
        const double constructedMs = millisecondsSince(g_mainEntered);
        FirstPaint paint;
        frame.installEventFilter(&paint);
        frame.show();
        while (!paint.painted || !gotByte) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (millisecondsSince(g_mainEntered) > 10000) break;
        }
        shownMs = paint.painted ? millisecondsSince(g_mainEntered, paint.at) : -1;
        std::printf("process start to main:          %8.1f ms\n", millisecondsBeforeMain());
        std::printf("main to window constructed:     %8.1f ms\n", constructedMs);
        std::printf("main to window shown:           %8.1f ms\n", shownMs);
        std::printf("main to first frame on the line:%8.1f ms\n",
                    gotByte ? millisecondsSince(g_mainEntered, firstByte) : -1.0);
    }
    stop = true;
    line.join();
    ::close(slave);
    ::close(master);
    return shownMs >= 0 && gotByte ? 0 : 1;
}

int memory(int argc, char** argv, int seconds, const char* picture) {
    QApplication application(argc, argv);
    velmora::app::DemoDrive demo;
    if (!demo.start()) return 1;
    velmora::model::LinkedDrive drive;
    drive.link.serial().UseFixedDevice(demo.devicePath());
    velmora::frame::FrameOptions options;
    options.fixedDevice = true;
    velmora::frame::CMainFrame frame(drive.link, drive.data, options);
    frame.show();
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("connected: %s, all groups read: %s\n", frame.connected() ? "yes" : "no",
                frame.allGroupsRead() ? "yes" : "no");
    std::printf("resident memory after %d s: %ld kB (peak %ld kB)\n", seconds,
                residentKilobytes("VmRSS:"), residentKilobytes("VmHWM:"));
    if (picture) frame.grab().save(QString::fromLocal8Bit(picture));
    return frame.connected() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string mode = argc > 1 ? argv[1] : "startup";
    if (mode == "startup") return startup(argc, argv);
    if (mode == "memory") {
        return memory(argc, argv, argc > 2 ? std::atoi(argv[2]) : 60, argc > 3 ? argv[3] : nullptr);
    }
    std::fprintf(stderr, "usage: bench_shell_startup startup | memory [seconds [png]]\n");
    return 2;
}
