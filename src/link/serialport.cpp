#include "link/serialport.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace velmora::link {
namespace {

using Clock = std::chrono::steady_clock;

struct BaudEntry {
    unsigned bitsPerSecond;
    speed_t speed;  // 0 where this platform has no such rate
};

constexpr std::array<BaudEntry, 15> kBaudTable{{
    {110, B110},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {14400, 0},
    {19200, B19200},
    {38400, B38400},
    {56000, 0},
    {57600, B57600},
    {115200, B115200},
    {128000, 0},
    {256000, 0},
}};

// Idle time after which a read hands over what it has: the consumer decodes
// byte by byte, so waiting for a full buffer would only add latency.
constexpr unsigned kQuietCharacters = 3;

std::string GroupOf(const std::string& device) {
    struct stat st {};
    // Joining the group only helps when the group may read and write.
    if (::stat(device.c_str(), &st) != 0 ||
        (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        return {};
    }
    std::array<char, 4096> buffer{};
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return std::to_string(st.st_gid);
    }
    return found->gr_name;
}

int RemainingUs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

unsigned BaudForIndex(int index) {
    if (index < 0 || index >= static_cast<int>(kBaudTable.size())) return 0;
    return kBaudTable[static_cast<std::size_t>(index)].bitsPerSecond;
}

bool IsLostDeviceError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == EPIPE;
}

SerialPort::SerialPort(unsigned portNumber, std::string device, const PortSettings& settings)
    : m_portNumber(portNumber), m_device(std::move(device)), m_settings(settings) {
    m_failure.device = m_device;
    if (open() && !configure()) Close();
}

SerialPort::~SerialPort() {
    Close();
}

void SerialPort::fail(OpenFailureKind kind, int error) {
    m_failure.kind = kind;
    m_failure.reason = std::strerror(error);
    if (kind == OpenFailureKind::Permission) m_failure.group = GroupOf(m_device);
}

bool SerialPort::open() {
    if (m_device.empty()) {
        m_failure.kind = OpenFailureKind::NoDevice;
        return false;
    }
    m_fd = ::open(m_device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        switch (error) {
            case EACCES:
            case EPERM:
                fail(OpenFailureKind::Permission, error);
                break;
            case EBUSY:
                fail(OpenFailureKind::Busy, error);
                break;
            case ENOENT:
            case ENXIO:
            case ENODEV:
                fail(OpenFailureKind::NoDevice, error);
                break;
            default:
                fail(OpenFailureKind::Other, error);
        }
        return false;
    }
    // TIOCEXCL does not bind root, so the advisory lock must keep a second
    // program off the port on its own.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        fail(errno == EWOULDBLOCK ? OpenFailureKind::Busy : OpenFailureKind::Other, errno);
        Close();
        return false;
    }
    ::ioctl(m_fd, TIOCEXCL);
    m_cancelFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_cancelFd < 0) {
        fail(OpenFailureKind::Other, errno);
        Close();
        return false;
    }
    return true;
}

bool SerialPort::configure() {
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0) {
        fail(OpenFailureKind::Configuration, errno);
        return false;
    }
    const auto bad = [this] {
        fail(OpenFailureKind::Configuration, EINVAL);
        return false;
    };
    const int baudIndex = m_settings.baudIndex;
    if (BaudForIndex(baudIndex) == 0) return bad();
    const speed_t speed = kBaudTable[static_cast<std::size_t>(baudIndex)].speed;
    if (speed == 0) return bad();
    // Raw both ways, and whatever flow control another program left on the
    // device cleared: with RTS/CTS on an adapter whose CTS is not wired the
    // drive would seem never to answer. cfmakeraw keeps these flags.
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~CRTSCTS;
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    switch (m_settings.parity) {
        case 0:
            tio.c_cflag = (tio.c_cflag | PARENB) & ~PARODD;
            tio.c_iflag |= INPCK;
            break;
        case 1:
            tio.c_cflag |= PARENB | PARODD;
            tio.c_iflag |= INPCK;
            break;
        case 2:
            tio.c_cflag &= ~(PARENB | PARODD);
            tio.c_iflag &= ~INPCK;
            break;
        default:
            return bad();
    }
    static constexpr std::array<tcflag_t, 5> kSizes{0, CS5, CS6, CS7, CS8};
    if (m_settings.byteSizeIndex < 1 || m_settings.byteSizeIndex > 4) return bad();
    tio.c_cflag =
        (tio.c_cflag & ~CSIZE) | kSizes[static_cast<std::size_t>(m_settings.byteSizeIndex)];
    switch (m_settings.stopBits) {
        case 0:
            tio.c_cflag &= ~CSTOPB;
            break;
        case 2:
            tio.c_cflag |= CSTOPB;
            break;
        default:  // one and a half stop bits do not exist here
            return bad();
    }
    if (m_settings.softwareFlow & 1) {
        tio.c_iflag |= IXON;
        tio.c_cc[VSTART] = 0x11;
        tio.c_cc[VSTOP] = 0x13;
    } else {
        tio.c_iflag &= ~IXON;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        fail(OpenFailureKind::Configuration, errno);
        return false;
    }
    ::tcflush(m_fd, TCIOFLUSH);
    const unsigned bitsPerSecond = BaudForIndex(baudIndex);
    m_quietUs = static_cast<int>(kQuietCharacters * 10u * 1'000'000u / bitsPerSecond);
    if (m_quietUs < 500) m_quietUs = 500;
    m_failure = OpenFailure{};
    m_failure.device = m_device;
    return true;
}

bool SerialPort::waitFor(short events, int timeoutUs) {
    std::array<pollfd, 2> fds{{{m_fd, events, 0}, {m_cancelFd, POLLIN, 0}}};
    const timespec timeout{timeoutUs / 1'000'000, (timeoutUs % 1'000'000) * 1000L};
    const int ready = ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
    if (ready <= 0 || fds[1].revents != 0) return false;
    if (fds[0].revents & events) return true;
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) m_gone = true;
    return false;
}

std::size_t SerialPort::Write(const std::uint8_t* bytes, std::size_t count) {
    if (!IsOpen() || m_gone || m_cancelled) return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_settings.timeoutMs);
    std::size_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(m_fd, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            if (IsLostDeviceError(errno)) m_gone = true;
            return 0;
        }
        const int left = RemainingUs(deadline);
        if (left == 0 || !waitFor(POLLOUT, left)) return 0;
    }
    return written;
}

std::size_t SerialPort::Read(std::uint8_t* buffer, std::size_t count) {
    if (!IsOpen() || count == 0) return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_settings.timeoutMs);
    std::size_t received = 0;
    while (received < count && !m_gone && !m_cancelled) {
        const int left = RemainingUs(deadline);
        if (left == 0) break;
        if (!waitFor(POLLIN, received > 0 ? std::min(left, m_quietUs) : left)) break;
        const ssize_t n = ::read(m_fd, buffer + received, count - received);
        if (n > 0) {
            received += static_cast<std::size_t>(n);
        } else if (n == 0 || IsLostDeviceError(errno)) {
            // Nothing to read although the device said it was readable.
            m_gone = true;
        } else if (errno != EAGAIN && errno != EINTR) {
            break;
        }
    }
    if (received == 0 && m_gone && !m_cancelled) {
        // Sleep out the time-out instead of letting the reader spin on a dead
        // device until the supervision replaces it.
        std::array<pollfd, 1> cancel{{{m_cancelFd, POLLIN, 0}}};
        const int left = RemainingUs(deadline);
        const timespec timeout{left / 1'000'000, (left % 1'000'000) * 1000L};
        ::ppoll(cancel.data(), cancel.size(), &timeout, nullptr);
    }
    return received;
}

void SerialPort::Cancel() {
    m_cancelled = true;
    if (m_cancelFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(m_cancelFd, &one, sizeof one);
    }
}

int SerialPort::Close() {
    if (m_cancelFd >= 0) {
        ::close(m_cancelFd);
        m_cancelFd = -1;
    }
    if (m_fd < 0) return 1;
    ::close(m_fd);  // also drops the flock
    m_fd = -1;
    return 0;
}

}  // namespace velmora::link
