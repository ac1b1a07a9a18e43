#include "sim/frameserver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "link/codec.h"

namespace velmora::sim {

// Bytes from the descriptor, through the line faults, one at a time.
class LineSource final : public link::ByteSource {
  public:
    explicit LineSource(FrameServer& server) : m_server(server) {}

    std::optional<std::uint8_t> nextByte(std::chrono::milliseconds wait) override {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        for (;;) {
            while (!m_buffer.empty()) {
                const std::uint8_t raw = m_buffer.front();
                m_buffer.pop_front();
                m_server.occupyLine(1);
                if (auto byte = m_server.m_drive.lineIn(raw)) return byte;
            }
            if (m_server.m_stop.load()) return std::nullopt;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !fill(static_cast<int>(left.count()))) return std::nullopt;
        }
    }

  private:
    // Waits up to ms for bytes; false on a stop request, a time-out or a line
    // that has gone away (then the rest of the wait is spent idle, so a
    // vanished peer never makes the server spin).
    bool fill(int ms) {
        pollfd fds[2] = {{m_server.m_fd, POLLIN, 0}, {m_server.m_wake[0], POLLIN, 0}};
        ++m_server.m_waits;
        const int n = ::poll(fds, 2, ms);
        ++m_server.m_waits;
        if (n <= 0 || fds[1].revents != 0) return false;
        if (fds[0].revents & POLLIN) {
            std::uint8_t chunk[256];
            const ssize_t got = ::read(m_server.m_fd, chunk, sizeof chunk);
            if (got > 0) {
                m_buffer.insert(m_buffer.end(), chunk, chunk + got);
                return true;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        }
        m_server.waitForStop(ms);
        return false;
    }

    FrameServer& m_server;
    std::deque<std::uint8_t> m_buffer;
};

FrameServer::FrameServer(int fd, SimulatedDrive& drive, std::function<void()> onIdle)
    : m_fd(fd), m_drive(drive), m_onIdle(std::move(onIdle)) {}

FrameServer::~FrameServer() {
    stop();
    for (int& fd : m_wake)
        if (fd >= 0) ::close(fd);
}

bool FrameServer::start() {
    if (m_thread.joinable()) return true;
    if (m_wake[0] < 0 && ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void FrameServer::stop() {
    if (!m_thread.joinable()) return;
    m_stop = true;
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(m_wake[1], &byte, 1);
    m_thread.join();
    char drain[16];
    while (::read(m_wake[0], drain, sizeof drain) > 0) {
    }
}

void FrameServer::setLineRate(int baud) {
    m_byteTime =
        baud > 0 ? std::chrono::nanoseconds(10'000'000'000LL / baud) : std::chrono::nanoseconds(0);
}

void FrameServer::occupyLine(std::size_t bytes) {
    if (m_byteTime.count() == 0) return;
    const auto now = std::chrono::steady_clock::now();
    m_lineFree = std::max(m_lineFree, now) + m_byteTime * static_cast<long>(bytes);
    // Sleeps a few milliseconds at a time so a stop is not kept waiting.
    while (!m_stop.load()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            m_lineFree - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (waitForStop(static_cast<int>(std::min<long>(left.count(), 50)))) break;
    }
}

bool FrameServer::lineDrained() const {
    // The same wait before and after the look at the line: nothing was read
    // in between, so no request is half handled.
    const std::uint64_t wait = m_waits.load();
    int unread = 0;
    if (wait % 2 == 0 || ::ioctl(m_fd, FIONREAD, &unread) != 0) return false;
    return unread == 0 && m_waits.load() == wait;
}

bool FrameServer::waitForStop(int ms) const {
    pollfd fd{m_wake[0], POLLIN, 0};
    return ::poll(&fd, 1, ms) > 0 || m_stop.load();
}

bool FrameServer::writeAll(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        // Nobody reads the line: give the answer up rather than block.
        pollfd fd{m_fd, POLLOUT, 0};
        if (::poll(&fd, 1, 200) <= 0 || m_stop.load()) return false;
    }
    return true;
}

void FrameServer::run() {
    LineSource source(*this);
    while (!m_stop.load()) {
        link::Telegram request;
        if (link::DecodeTelegram(source, request) == 0) {
            const auto answer = m_drive.exchange(request);
            if (!answer.empty()) {
                const int latency = m_drive.latencyMs();
                if (latency > 0 && waitForStop(latency)) break;
                occupyLine(answer.size());
                writeAll(answer);
            }
        }
        if (m_onIdle) m_onIdle();
        m_drive.saveIfDue();
    }
}

}  // namespace velmora::sim
