#include "link/seriallink_api.h"

namespace velmora::link {

std::string DescribeOpenFailure(const OpenFailure& failure) {
    const std::string device = failure.device.empty() ? "the serial port" : failure.device;
    switch (failure.kind) {
        case OpenFailureKind::None:
            return {};
        case OpenFailureKind::NoDevice:
            return failure.device.empty() ? "no serial device found" : device + ": no such device";
        case OpenFailureKind::Permission: {
            std::string text = device + ": permission denied";
            if (!failure.group.empty()) {
                text += "; only members of group '" + failure.group +
                        "' may use it: run 'sudo usermod -aG " + failure.group +
                        " $USER', then log out and in again";
            } else {
                text += "; ask the administrator for read and write access to it";
            }
            return text;
        }
        case OpenFailureKind::Busy:
            return device + ": in use by another program; close it and try again";
        case OpenFailureKind::Configuration:
            return device + ": not a usable serial port (" + failure.reason + ")";
        case OpenFailureKind::Other:
            break;
    }
    return device + ": " + failure.reason;
}

}  // namespace velmora::link
