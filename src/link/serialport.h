#pragma once
// One opened serial device: raw 8-bit line settings, bounded blocking reads
// and writes. Knows nothing of telegrams.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/seriallink_api.h"

namespace velmora::link {

struct PortSettings {
    int baudIndex = 9;              // 38400 bit/s
    int parity = 2;                 // 0 even, 1 odd, 2 none
    int byteSizeIndex = 4;          // 0..4 for 4..8 data bits
    int stopBits = 0;               // 0 one, 1 one and a half, 2 two
    int timeoutMs = 200;            // read and write time-out
    std::uint8_t softwareFlow = 0;  // bit 0: transmit XON/XOFF
};

// Bits per second for a baud index; 0 for an index outside the table.
[[nodiscard]] unsigned BaudForIndex(int index);

// Whether a read or write error means the device has gone away (unplugged
// adapter, closed pseudo-terminal) rather than a passing condition.
[[nodiscard]] bool IsLostDeviceError(int error);

class SerialPort {
  public:
    // Opens `device` exclusively and configures it; IsOpen() tells the outcome
    // and failure() why it failed.
    SerialPort(unsigned portNumber, std::string device, const PortSettings& settings = {});
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }
    [[nodiscard]] unsigned portNumber() const { return m_portNumber; }
    [[nodiscard]] const std::string& device() const { return m_device; }
    [[nodiscard]] const OpenFailure& failure() const { return m_failure; }
    // True once the device reported a hang-up or a lost-device error.
    [[nodiscard]] bool gone() const { return m_gone.load(); }

    // All bytes in one go, waiting at most the time-out for the line; the
    // count written, or 0 on any failure.
    std::size_t Write(const std::uint8_t* bytes, std::size_t count);
    // Up to `count` bytes. Waits at most the time-out for the first byte and
    // returns once `count` bytes came, the line has been quiet for a few
    // character times, or the time-out has passed. A gone device returns 0
    // only after the time-out, so a reading loop never spins.
    std::size_t Read(std::uint8_t* buffer, std::size_t count);
    // Makes every running and later Read/Write return at once; used before
    // the port is released so the release never waits on a silent line.
    void Cancel();
    // 0 when a valid handle was closed, 1 when there was nothing to close.
    // Only for a port nobody reads or writes any more.
    int Close();

  private:
    bool open();
    bool configure();
    void fail(OpenFailureKind kind, int error);
    // Waits for `events` on the device or for Cancel; false on time-out,
    // cancellation or a gone device.
    bool waitFor(short events, int timeoutUs);

    unsigned m_portNumber;
    std::string m_device;
    PortSettings m_settings;
    int m_fd = -1;
    int m_cancelFd = -1;  // eventfd that wakes waiting reads and writes
    int m_quietUs = 1000;
    std::atomic<bool> m_gone{false};
    std::atomic<bool> m_cancelled{false};
    OpenFailure m_failure;
};

}  // namespace velmora::link
