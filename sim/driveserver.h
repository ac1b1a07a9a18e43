#pragma once
// A simulated drive served on a pseudo-terminal (or an existing serial device)
// in a background thread: the demo mode's controller and the peer of every
// end-to-end test. Qt-free.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora::sim {

struct ServerOptions {
    double timeScale = 1.0;  // operating hours advance this much faster
    int latencyMs = 0;       // extra delay before each answer
    std::string stateFile;   // keeps slots, memory words, calibration, serial, hours
    int lineRate = 0;        // baud: every byte takes its wire time (0: as fast as the line)
};

class DriveServer {
  public:
    explicit DriveServer(ServerOptions options = {});
    ~DriveServer();  // stops the thread and closes the device
    DriveServer(const DriveServer&) = delete;
    DriveServer& operator=(const DriveServer&) = delete;

    // Creates a pseudo-terminal and serves on it; returns the device path of
    // the side the tool opens (empty on failure). linkPath, when given, becomes
    // a symbolic link to that device.
    std::string startOnPty(const std::string& linkPath = {});
    // Serves on an existing serial device; false when it cannot be opened.
    bool startOnDevice(const std::string& devicePath);
    void stop();

    // One command line as velmora-sim reads them from stdin ("fault 1 3",
    // "clear", "unplug 5", "replug 2", "noise 0.01", "drop 0.1", "uppercase on",
    // "state", "quit"); returns the one-line answer. Thread-safe.
    std::string command(const std::string& line);

    // Hangs up the pseudo-terminal as a pulled adapter does and, after
    // `seconds`, serves on a new one at the same link path. One line answer.
    std::string replug(double seconds);

    // Everything the tool has written so far has been taken off the line and
    // answered (false when not serving). Thread-safe.
    [[nodiscard]] bool lineDrained() const;

    // The device path being served (empty when not running).
    [[nodiscard]] std::string devicePath() const;
    // The images the boot loader received in the last update. Thread-safe.
    [[nodiscard]] std::vector<std::uint8_t> receivedFirmware() const;
    [[nodiscard]] std::vector<std::uint8_t> receivedLoader() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace velmora::sim
