#pragma once
// Which device a port number stands for: config.ini section comdevices
// (com<n>=/dev/...) first, then the default table.
#include <array>
#include <string>

namespace velmora::platform {
class ProfileFile;
}

namespace velmora::link {

inline constexpr unsigned kPortNumbers = 256;

// 1-4 -> /dev/ttyS0-3, 5-12 -> /dev/ttyUSB0-7, 13-20 -> /dev/ttyACM0-7,
// every other number -> "" (no device).
[[nodiscard]] std::string DefaultDeviceForPort(unsigned port);

class DeviceMap {
  public:
    // The default table only.
    DeviceMap();
    // Entries of section comdevices that name an absolute path override the
    // table; anything else there is ignored.
    [[nodiscard]] static DeviceMap FromProfile(const platform::ProfileFile& profile);

    [[nodiscard]] const std::string& pathFor(unsigned port) const;

  private:
    std::array<std::string, kPortNumbers> m_paths;
};

}  // namespace velmora::link
