#pragma once
// Serves the simulated drive on a file descriptor (a pseudo-terminal's
// master side or a serial device) in a thread of its own: decodes each
// request with the link's decoder and writes the drive's answer.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "sim/simulateddrive.h"

namespace velmora::sim {

class FrameServer {
  public:
    // Neither the descriptor nor the drive is owned; both must outlive the
    // server. onIdle runs in the server thread at least every 250 ms.
    FrameServer(int fd, SimulatedDrive& drive, std::function<void()> onIdle = {});
    ~FrameServer();
    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    // Paces every byte received and sent at the wire time of baud (10 bits a
    // character), as a real line would; 0 leaves the pace to the line.
    void setLineRate(int baud);
    // False when the wake-up pipe cannot be made.
    bool start();
    void stop();
    // The server waits for bytes with none unread: everything written to the
    // line so far has been decoded and answered. Any thread.
    [[nodiscard]] bool lineDrained() const;

  private:
    void run();
    // Waits up to ms for a stop request; true when one came.
    bool waitForStop(int ms) const;
    bool writeAll(const std::vector<std::uint8_t>& bytes) const;

    // Waits until the line has carried `bytes` more characters.
    void occupyLine(std::size_t bytes);

    int m_fd;
    std::chrono::nanoseconds m_byteTime{0};
    std::chrono::steady_clock::time_point m_lineFree{};
    SimulatedDrive& m_drive;
    std::function<void()> m_onIdle;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    // Odd while the server waits for bytes, one step on at each start and end
    // of such a wait.
    std::atomic<std::uint64_t> m_waits{0};
    std::thread m_thread;

    friend class LineSource;
};

}  // namespace velmora::sim
