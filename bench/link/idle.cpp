// CPU the six link threads use while idle: connected to an answering drive
// (polling mode 0, as the control page) and with no device at all.
//   bench_link_idle [seconds per state]   (default 30)
// The drive runs in a child process so its CPU is not counted.
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "link/drivelink.h"
#include "link/seriallink.h"
#include "tests/support/ptypeer.h"

namespace {

using namespace velmora::link;

class Silent final : public MessageTarget {
  public:
    void postMessage(unsigned, std::uintptr_t) override {}
    [[nodiscard]] bool isAlive() const override { return true; }
};

// CPU seconds per thread name of this process: the scheduler's nanosecond
// count where the kernel keeps one, else utime + stime in clock ticks.
std::map<std::string, double> ThreadCpu() {
    std::map<std::string, double> cpu;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    DIR* dir = ::opendir("/proc/self/task");
    if (!dir) return cpu;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string base = std::string("/proc/self/task/") + entry->d_name;
        std::string name;
        std::getline(std::ifstream(base + "/comm"), name);
        double nanoseconds = -1;
        if (std::ifstream schedstat(base + "/schedstat"); schedstat >> nanoseconds) {
            cpu[name] += nanoseconds * 1e-9;
            continue;
        }
        std::string stat;
        std::getline(std::ifstream(base + "/stat"), stat);
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int i = 3; fields >> field && i <= 15; ++i) {
            if (i >= 14) ticks += std::stod(field);
        }
        cpu[name] += ticks / tick;
    }
    ::closedir(dir);
    return cpu;
}

double ProcessCpu() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void Measure(DriveLink& link, const char* state, int seconds) {
    Silent target;
    link.start(target);
    std::this_thread::sleep_for(std::chrono::seconds(2));  // past the start-up
    const auto before = ThreadCpu();
    const double processBefore = ProcessCpu();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double process = ProcessCpu() - processBefore;
    const auto after = ThreadCpu();
    link.stop();
    std::printf("%s, %.1f s: whole process %.3f %% of one core\n", state, wall,
                100.0 * process / wall);
    for (const auto& [name, cpu] : after) {
        if (name.rfind("link-", 0) != 0) continue;
        const double used = cpu - (before.count(name) ? before.at(name) : 0.0);
        std::printf("  %-16s %.4f %%\n", name.c_str(), 100.0 * used / wall);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    test::PtyPair pty;
    const pid_t drive = ::fork();
    if (drive == 0) {
        // The drive: answer every request until the parent goes away.
        test::MasterByteSource source(pty.masterFd());
        while (::getppid() != 1) {
            Telegram request;
            if (DecodeTelegram(source, request) != 0) continue;
            if (auto answer = test::ScriptedDrive::StandardAnswer(request)) pty.write(*answer);
        }
        std::_Exit(0);
    }
    DriveLink link;
    link.serial().UseFixedDevice(pty.devicePath());
    link.setPollMode(0);
    Measure(link, "connected, polling mode 0", seconds);
    link.serial().UseFixedDevice("/dev/velmora-no-device");
    Measure(link, "no device", seconds);

    // Automatic detection over all 256 numbers, none of which opens.
    char folder[] = "/tmp/velmora-idle-XXXXXX";
    if (::mkdtemp(folder)) {
        const std::string config = std::string(folder) + "/config.ini";
        std::ofstream out(config);
        out << "[comdevices]\n";
        for (int port = 1; port <= 20; ++port) {
            out << "com" << port << "=/dev/velmora-no-device-" << port << "\n";
        }
        out.close();
        link.serial().setConfigFile(config);
        link.serial().WriteLinkSettings(0, 1);
        Measure(link, "no device, automatic detection", seconds);
        std::remove(config.c_str());
        ::rmdir(folder);
    }
    ::kill(drive, SIGTERM);
    ::waitpid(drive, nullptr, 0);
    return 0;
}
