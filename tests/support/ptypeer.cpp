#include "tests/support/ptypeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/waitfor.h"

namespace velmora::link::test {

PtyPair::PtyPair() {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[128] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_path = name;
}

PtyPair::~PtyPair() {
    hangUp();
}

bool PtyPair::write(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && m_master >= 0) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd fd{m_master, POLLOUT, 0};
            ::poll(&fd, 1, 50);
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

void PtyPair::hangUp() {
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = m_slave = -1;
}

std::optional<std::uint8_t> MasterByteSource::nextByte(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::uint8_t byte = 0;
        const ssize_t n = ::read(m_fd, &byte, 1);
        if (n == 1) return byte;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    }
}

Bytes Encode(int command, Bytes data) {
    Telegram t;
    t.command = command;
    t.length = static_cast<std::uint8_t>(data.size());
    t.data = std::move(data);
    WireFrame frame;
    EncodeTelegram(t, frame);
    return frame.bytes;
}

ScriptedDrive::ScriptedDrive(Answer answer)
    : m_answer(std::move(answer)), m_pty(std::make_unique<PtyPair>()) {
    m_thread = std::thread(&ScriptedDrive::serve, this);
}

ScriptedDrive::~ScriptedDrive() {
    m_stop = true;
    m_thread.join();
}

std::string ScriptedDrive::devicePath() const {
    std::lock_guard lock(m_mutex);
    return m_pty ? m_pty->devicePath() : std::string();
}

void ScriptedDrive::hangUp() {
    std::unique_lock lock(m_mutex);
    m_hangUp = true;
    m_changed.wait(lock, [this] { return !m_hangUp; });
}

void ScriptedDrive::comeBack(const std::string& linkPath) {
    auto pty = std::make_unique<PtyPair>();
    std::filesystem::remove(linkPath);
    std::filesystem::create_symlink(pty->devicePath(), linkPath);
    std::lock_guard lock(m_mutex);
    m_next = std::move(pty);
}

bool ScriptedDrive::send(const Bytes& bytes) {
    std::lock_guard lock(m_mutex);
    return m_pty && m_pty->write(bytes);
}

std::vector<ScriptedDrive::Request> ScriptedDrive::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedDrive::clearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

bool ScriptedDrive::waitFor(const std::function<bool(const std::vector<Request>&)>& predicate,
                            std::chrono::milliseconds timeout) const {
    return testkit::WaitFor([&] { return predicate(requests()); },
                            static_cast<int>(timeout.count()));
}

std::optional<Bytes> ScriptedDrive::StandardAnswer(const Telegram& request) {
    if (request.command == 0x80) return Encode(0x81, {});
    if (request.command == 0xCF && request.length >= 1) {
        const int code = request.data[0];
        if (code == 0x60) return Encode(0x60, {0x00, 0x01, 0x00, 0x00});
        return Encode(code, {0x12, 0x34});
    }
    return std::nullopt;
}

void ScriptedDrive::serve() {
    while (!m_stop) {
        int fd = -1;
        {
            // Only this thread closes or replaces the pty, so the descriptor
            // read below is never closed (and reused) under its feet.
            std::lock_guard lock(m_mutex);
            if (m_hangUp) {
                m_pty.reset();
                m_hangUp = false;
                m_changed.notify_all();
            }
            if (m_next) m_pty = std::move(m_next);
            if (m_pty) fd = m_pty->masterFd();
        }
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        // Short waits so a hang-up or a new pty is noticed quickly.
        MasterByteSource source(fd);
        Telegram request;
        std::unique_lock lock(m_mutex, std::defer_lock);
        if (DecodeTelegram(source, request) != 0) continue;
        lock.lock();
        m_requests.push_back({request.command, request.data, std::chrono::steady_clock::now()});
        lock.unlock();
        if (m_silent) continue;
        if (auto answer = m_answer(request)) {
            lock.lock();
            m_pty->write(*answer);
        }
    }
}

}  // namespace velmora::link::test
