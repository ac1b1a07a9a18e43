#pragma once
// The simulated drive of demo mode, served on a pseudo-terminal inside this
// process and handed to the link as this run's only device.
#include <memory>
#include <string>

namespace velmora::sim {
class DriveServer;
}

namespace velmora::app {

class DemoDrive {
  public:
    DemoDrive();
    ~DemoDrive();
    DemoDrive(const DemoDrive&) = delete;
    DemoDrive& operator=(const DemoDrive&) = delete;

    // Starts the drive on a pseudo-terminal (devicePath()).
    // false when no pseudo-terminal could be made.
    [[nodiscard]] bool start();
    [[nodiscard]] const std::string& devicePath() const { return m_device; }
    [[nodiscard]] sim::DriveServer& server() { return *m_server; }

  private:
    std::unique_ptr<sim::DriveServer> m_server;
    std::string m_device;
};

}  // namespace velmora::app
