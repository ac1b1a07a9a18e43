#include "link/porthinttexts.h"
#include "link/seriallink_api.h"

namespace velmora::link {

namespace {

std::string DeviceName(const OpenFailure& failure) {
    return failure.device.empty() ? "the serial port" : failure.device;
}

}  // namespace

const PortHintText* PortHintFor(const OpenFailure& failure) {
    switch (failure.kind) {
        case OpenFailureKind::Permission:
            return failure.group.empty() ? &kPortHints[1] : &kPortHints[0];
        case OpenFailureKind::Busy:
            return &kPortHints[2];
        default:
            return nullptr;
    }
}

std::string FillPortHint(std::string_view text, const OpenFailure& failure) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[i + 1] == '1' ? DeviceName(failure) : failure.group;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string DescribeOpenFailure(const OpenFailure& failure) {
    if (const PortHintText* hint = PortHintFor(failure))
        return FillPortHint(hint->english, failure);
    const std::string device = DeviceName(failure);
    switch (failure.kind) {
        case OpenFailureKind::None:
            return {};
        case OpenFailureKind::NoDevice:
            return failure.device.empty() ? "no serial device found" : device + ": no such device";
        case OpenFailureKind::Configuration:
            return device + ": not a usable serial port (" + failure.reason + ")";
        default:
            break;
    }
    return device + ": " + failure.reason;
}

}  // namespace velmora::link
