#include "link/devicemap.h"

#include "platform/profile.h"

namespace velmora::link {
namespace {

struct DefaultRange {
    unsigned first;
    unsigned last;
    const char* prefix;
};

constexpr DefaultRange kDefaultRanges[] = {
    {1, 4, "/dev/ttyS"},
    {5, 12, "/dev/ttyUSB"},
    {13, 20, "/dev/ttyACM"},
};

const std::string kNoDevice;

}  // namespace

std::string DefaultDeviceForPort(unsigned port) {
    for (const auto& range : kDefaultRanges) {
        if (port >= range.first && port <= range.last) {
            return range.prefix + std::to_string(port - range.first);
        }
    }
    return {};
}

DeviceMap::DeviceMap() {
    for (unsigned port = 0; port < kPortNumbers; ++port) m_paths[port] = DefaultDeviceForPort(port);
}

DeviceMap DeviceMap::FromProfile(const platform::ProfileFile& profile) {
    DeviceMap map;
    for (unsigned port = 0; port < kPortNumbers; ++port) {
        const auto path = profile.value("comdevices", "com" + std::to_string(port));
        if (path && path->starts_with('/')) map.m_paths[port] = *path;
    }
    return map;
}

const std::string& DeviceMap::pathFor(unsigned port) const {
    return port < kPortNumbers ? m_paths[port] : kNoDevice;
}

}  // namespace velmora::link
