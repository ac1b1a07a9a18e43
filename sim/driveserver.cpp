#include "sim/driveserver.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>

#include "sim/frameserver.h"
#include "sim/simulateddrive.h"

namespace velmora::sim {
namespace {

namespace fs = std::filesystem;

bool MakeRaw(int fd, bool setSpeed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    if (setSpeed && (::cfsetispeed(&tio, B38400) != 0 || ::cfsetospeed(&tio, B38400) != 0))
        return false;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return false;
    ::tcflush(fd, TCIOFLUSH);
    return true;
}

// Replaces a symbolic link (or nothing) at linkPath; a real file there is
// never removed.
bool PlaceLink(const std::string& linkPath, const std::string& target) {
    std::error_code ec;
    const auto status = fs::symlink_status(linkPath, ec);
    if (!ec && fs::exists(status)) {
        if (!fs::is_symlink(status)) return false;
        fs::remove(linkPath, ec);
    }
    fs::create_symlink(target, linkPath, ec);
    return !ec;
}

void RemoveLink(const std::string& linkPath, const std::string& target) {
    std::error_code ec;
    if (linkPath.empty() || !fs::is_symlink(fs::symlink_status(linkPath, ec))) return;
    if (fs::read_symlink(linkPath, ec) == target) fs::remove(linkPath, ec);
}

}  // namespace

struct DriveServer::Impl {
    explicit Impl(const ServerOptions& options)
        : drive(DriveOptions{options.timeScale, options.latencyMs, options.stateFile}),
          lineRate(options.lineRate) {}

    void closeAll() {
        server.reset();
        for (int* fd : {&lineFd, &slaveFd}) {
            if (*fd >= 0) ::close(*fd);
            *fd = -1;
        }
        RemoveLink(linkPath, device);
        linkPath.clear();
        device.clear();
    }

    bool serve() {
        const int slave = slaveFd;
        // The tool may claim the pseudo-terminal exclusively; the claim would
        // outlive its closing the line (the simulator keeps the terminal
        // open) and lock it out of its own reconnection, so it is lifted
        // again whenever the line is quiet. The tool's lock file holds on its own.
        std::function<void()> idle;
        if (slave >= 0) idle = [slave] { ::ioctl(slave, TIOCNXCL); };
        server = std::make_unique<FrameServer>(lineFd, drive, std::move(idle));
        server->setLineRate(lineRate);
        if (server->start()) return true;
        closeAll();
        return false;
    }

    // Opens a new pseudo-terminal and serves on it; the caller holds mutex.
    std::string openPty(const std::string& link);

    mutable std::mutex mutex;  // guards the members below against start/stop races
    SimulatedDrive drive;
    std::unique_ptr<FrameServer> server;
    int lineRate = 0;
    int lineFd = -1;
    int slaveFd = -1;  // held open so the line survives the tool's reconnects
    std::string device;
    std::string linkPath;
    // replug: the thread that serves again after the pause, woken early by stop.
    std::thread replugThread;
    std::condition_variable replugWake;
    bool replugPending = false;
    bool stopping = false;
};

DriveServer::DriveServer(ServerOptions options) : m_impl(std::make_unique<Impl>(options)) {}

DriveServer::~DriveServer() {
    stop();
}

std::string DriveServer::startOnPty(const std::string& linkPath) {
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->server) return m_impl->device;
    return m_impl->openPty(linkPath);
}

std::string DriveServer::Impl::openPty(const std::string& link) {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return {};
    lineFd = master;
    slaveFd = slave;
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    char name[256] = {};
    // Raw on both sides: no echo of our answers before the tool sets its mode.
    if (::ttyname_r(slave, name, sizeof name) != 0 || !MakeRaw(master, false) ||
        !MakeRaw(slave, true)) {
        closeAll();
        return {};
    }
    device = name;
    if (!link.empty()) {
        if (!PlaceLink(link, device)) {
            closeAll();
            return {};
        }
        linkPath = link;
    }
    if (!serve()) return {};
    return device;
}

bool DriveServer::startOnDevice(const std::string& devicePath) {
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->server) return false;
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    m_impl->lineFd = fd;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !MakeRaw(fd, true)) {
        m_impl->closeAll();
        return false;
    }
    m_impl->device = devicePath;
    return m_impl->serve();
}

void DriveServer::stop() {
    std::thread replug;
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopping = true;
        replug = std::move(m_impl->replugThread);
    }
    m_impl->replugWake.notify_all();
    if (replug.joinable()) replug.join();
    std::lock_guard lock(m_impl->mutex);
    m_impl->closeAll();
    m_impl->stopping = false;
}

std::string DriveServer::replug(double seconds) {
    std::unique_lock lock(m_impl->mutex);
    if (m_impl->replugPending) return "error: already unplugged";
    if (!m_impl->server || m_impl->slaveFd < 0)
        return "error: replug needs the simulator on a pseudo-terminal";
    // A finished earlier replug has only its thread left to join.
    std::thread finished = std::move(m_impl->replugThread);
    const std::string link = m_impl->linkPath;
    // Closing both ends hangs the line up for the tool, as a pulled adapter.
    m_impl->closeAll();
    m_impl->replugPending = true;
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                           std::chrono::duration<double>(seconds));
    Impl* impl = m_impl.get();
    m_impl->replugThread = std::thread([impl, link, until] {
        std::unique_lock wait(impl->mutex);
        impl->replugWake.wait_until(wait, until, [impl] { return impl->stopping; });
        if (!impl->stopping && impl->openPty(link).empty())
            std::fprintf(stderr, "velmora-sim: no new pseudo-terminal after replug\n");
        impl->replugPending = false;
    });
    lock.unlock();
    if (finished.joinable()) finished.join();
    std::ostringstream answer;
    answer << "ok replugged, back in " << seconds << " s";
    return answer.str();
}

std::string DriveServer::command(const std::string& line) {
    std::istringstream words(line);
    std::string name;
    words >> name;
    if (name == "replug") {
        double seconds = -1;
        std::string rest;
        if (!(words >> seconds) || (words >> rest) || !(seconds >= 0 && seconds <= 86400))
            return "error: usage: replug <seconds 0..86400>";
        return replug(seconds);
    }
    return m_impl->drive.command(line);
}

bool DriveServer::lineDrained() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->server && m_impl->server->lineDrained();
}

std::string DriveServer::devicePath() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->device;
}

std::vector<std::uint8_t> DriveServer::receivedFirmware() const {
    return m_impl->drive.firmwareImage();
}

std::vector<std::uint8_t> DriveServer::receivedLoader() const {
    return m_impl->drive.loaderImage();
}

}  // namespace velmora::sim
