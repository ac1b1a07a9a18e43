#include "app/demodrive.h"

#include "sim/driveserver.h"

namespace velmora::app {

DemoDrive::DemoDrive() : m_server(std::make_unique<sim::DriveServer>()) {}

DemoDrive::~DemoDrive() = default;

bool DemoDrive::start() {
    m_device = m_server->startOnPty();
    return !m_device.empty();
}

}  // namespace velmora::app
