#include "sim/driveserver.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <system_error>

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

    mutable std::mutex mutex;  // guards the members below against start/stop races
    SimulatedDrive drive;
    std::unique_ptr<FrameServer> server;
    int lineRate = 0;
    int lineFd = -1;
    int slaveFd = -1;  // held open so the line survives the tool's reconnects
    std::string device;
    std::string linkPath;
};

DriveServer::DriveServer(ServerOptions options) : m_impl(std::make_unique<Impl>(options)) {}

DriveServer::~DriveServer() {
    stop();
}

std::string DriveServer::startOnPty(const std::string& linkPath) {
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->server) return m_impl->device;
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return {};
    m_impl->lineFd = master;
    m_impl->slaveFd = slave;
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    char name[256] = {};
    // Raw on both sides: no echo of our answers before the tool sets its mode.
    if (::ttyname_r(slave, name, sizeof name) != 0 || !MakeRaw(master, false) ||
        !MakeRaw(slave, true)) {
        m_impl->closeAll();
        return {};
    }
    m_impl->device = name;
    if (!linkPath.empty()) {
        if (!PlaceLink(linkPath, m_impl->device)) {
            m_impl->closeAll();
            return {};
        }
        m_impl->linkPath = linkPath;
    }
    if (!m_impl->serve()) return {};
    return m_impl->device;
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
    std::lock_guard lock(m_impl->mutex);
    m_impl->closeAll();
}

std::string DriveServer::command(const std::string& line) {
    return m_impl->drive.command(line);
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
