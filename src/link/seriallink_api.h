#pragma once
// The parts of the process-wide serial link that the window and the
// command-line tool use (port choice, device mapping, why a port failed).
// The link layer's full SerialLink class implements these.
#include <string>

namespace velmora::link {

enum class OpenFailureKind { None, NoDevice, Permission, Busy, Configuration, Other };

struct OpenFailure {
    OpenFailureKind kind = OpenFailureKind::None;
    std::string device;  // e.g. /dev/ttyUSB0
    std::string group;   // owning group of the device when kind == Permission
    std::string reason;  // the operating system's words
};

// config.ini, section comtype. Return codes as the link specifies.
int ReadLinkSettings(int& port, int& mode);
int WriteLinkSettings(int port, int mode);

// The device a port number maps to (config.ini section comdevices, then the
// default table); empty when the number maps to no device.
[[nodiscard]] std::string DevicePathForPort(unsigned port);

// Use a fixed device path for this run only, without reading or writing
// config.ini (demo mode, velmora-cli --device).
void UseFixedDevice(const std::string& path);

// Why the last attempt to open a port failed (kind None after a success).
[[nodiscard]] OpenFailure LastOpenFailure();

// config.ini section comdevices: maps port `port` to `device` (an absolute
// path; empty clears the entry so the default table applies). 0 on success.
int WriteDevicePathForPort(unsigned port, const std::string& device);

// A one-line explanation of an open failure for the user (device, group and
// what to do), empty for kind None.
[[nodiscard]] std::string DescribeOpenFailure(const OpenFailure& failure);

}  // namespace velmora::link
