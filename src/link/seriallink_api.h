#pragma once
// Why a port did not open, and how to say it (the window, the command-line
// tool and the port hints share this).
#include <string>

namespace velmora::link {

enum class OpenFailureKind { None, NoDevice, Permission, Busy, Configuration, Other };

struct OpenFailure {
    OpenFailureKind kind = OpenFailureKind::None;
    std::string device;  // e.g. /dev/ttyUSB0
    std::string group;   // owning group of the device when kind == Permission
    std::string reason;  // the operating system's words
};

// A one-line explanation of an open failure for the user (device, group and
// what to do), empty for kind None.
[[nodiscard]] std::string DescribeOpenFailure(const OpenFailure& failure);

}  // namespace velmora::link
