#pragma once
// The serial side of a DriveLink: which port to use (fixed or automatic
// detection), its setting in config.ini, replacing the port after a lost
// connection, and the two byte-level operations of the writer and reader
// threads.
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "link/seriallink_api.h"
#include "link/serialport.h"
#include "link/telegram.h"

namespace velmora::link {

inline constexpr int kLinkOpen = 2;
inline constexpr int kLinkNotOpen = 3;
inline constexpr int kModeFixed = 0;
inline constexpr int kModeAutomatic = 1;
inline constexpr std::size_t kReadChunk = 10;

class SerialLink {
  public:
    // The one step of OpenLink that touches devices: open port `number` at
    // `device` ("" when the number maps to no device). nullptr counts as a
    // port that did not open. Tests replace it to run without devices.
    using PortOpener =
        std::function<std::unique_ptr<SerialPort>(unsigned number, const std::string& device)>;

    SerialLink();
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // kLinkOpen when a port is open afterwards, kLinkNotOpen when not.
    int OpenLink();
    // 0 when every byte was written, 1 when not (no port, a replacement under
    // way, a write that failed or timed out).
    int LinkWrite(WireFrame frame);
    // At most 10 bytes; 0 when exactly 10 came, 1 otherwise (use `count`).
    // Without a port it waits up to the read time-out for one to appear, so
    // the reading loop never spins.
    int LinkRead(std::span<std::uint8_t, kReadChunk> buffer, int& count);

    int ReadLinkSettings(int& port, int& mode);
    int WriteLinkSettings(int port, int mode);
    // comdevices entry com<port>=device; an empty device removes the mapping
    // from use (falls back to the table). 0 on success, 1 on failure.
    int WriteDeviceForPort(unsigned port, const std::string& device);
    [[nodiscard]] std::string DevicePathForPort(unsigned port) const;

    // A port for this run only, config.ini untouched (command-line --port).
    void UsePortForThisRun(unsigned port);
    // A device path for this run only (demo mode, --device); cleared again by
    // WriteLinkSettings, the user's explicit choice.
    void UseFixedDevice(const std::string& path);
    // Back to the start values: automatic detection, no run-only device.
    void UseAutomaticDetection();
    // Closes the port at once (the link threads have stopped).
    void Release();

    [[nodiscard]] OpenFailure LastOpenFailure() const;
    [[nodiscard]] unsigned comNumber() const;
    [[nodiscard]] int mode() const;
    [[nodiscard]] bool isOpen() const;
    // The open port hung up or its device node is gone (portwatch.cpp).
    [[nodiscard]] bool PortLost() const;
    // The number of the open port, 0 when none; never waits for an OpenLink
    // (portnames.cpp).
    [[nodiscard]] unsigned openPortNumber() const;

    void setPortOpener(PortOpener opener);
    // config.ini in the current directory unless set (tests).
    void setConfigFile(std::filesystem::path file);

  private:
    [[nodiscard]] std::filesystem::path configFile() const;
    [[nodiscard]] std::shared_ptr<SerialPort> currentPort() const;
    // Takes the port away, wakes its users and waits until they let go, so
    // the device is closed (and its lock dropped) before anything reopens it.
    void discardPort();
    void installPort(std::shared_ptr<SerialPort> port, const OpenFailure& failure);

    // Held for a whole OpenLink or settings change.
    mutable std::mutex m_mutex;
    std::uint8_t m_comNumber = 0;
    int m_mode = kModeAutomatic;
    std::optional<std::string> m_fixedDevice;
    PortOpener m_opener;
    std::filesystem::path m_configFile;

    // Held only to swap or copy the port pointer, so reads and writes never
    // wait behind a slow OpenLink.
    mutable std::mutex m_portMutex;
    std::condition_variable m_portChanged;
    std::shared_ptr<SerialPort> m_port;
    bool m_reopening = false;
    OpenFailure m_lastFailure;
};

}  // namespace velmora::link
