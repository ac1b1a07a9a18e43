#pragma once
// Stable names of serial devices: the links udev keeps under
// /dev/serial/by-id (maker, model and serial number of a USB adapter), which
// survive re-plugging into another socket while /dev/ttyUSBn does not.
#include <filesystem>
#include <string>

namespace velmora::link {

struct PortName {
    std::string device;  // the device node now behind the path, "" when absent
    std::string byId;    // /dev/serial/by-id/... naming that device, "" when none
};

// What a configured path (a device such as /dev/ttyUSB0, or a by-id link)
// stands for now. devRoot replaces "/dev" when reading the file system, so
// tests can use a fake tree; the paths returned always start with "/dev".
[[nodiscard]] PortName DescribePort(const std::string& path,
                                    const std::filesystem::path& devRoot = "/dev");

class SerialLink;

// Maps `port` to the by-id name of the device it uses now in the link's
// config.ini section comdevices. 0 when written, 1 when the device has no
// by-id name or the file could not be written.
int RememberAdapter(SerialLink& link, unsigned port, const std::filesystem::path& devRoot = "/dev");

}  // namespace velmora::link
