#include "app/demodrive.h"

#include "link/seriallink_api.h"
#include "sim/driveserver.h"

namespace velmora::app {

DemoDrive::DemoDrive() : m_server(std::make_unique<sim::DriveServer>()) {}

DemoDrive::~DemoDrive() = default;

bool DemoDrive::start() {
    m_device = m_server->startOnPty();
    if (m_device.empty()) return false;
    link::UseFixedDevice(m_device);
    return true;
}

}  // namespace velmora::app
