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
    // The demonstration opens on a turning spindle, so the live values move
    // from the first look; Stop gives the controls back.
    m_server->command("motor start");
    return true;
}

}  // namespace velmora::app
