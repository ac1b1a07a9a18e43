#pragma once
// What the drive's status reply tells the guarded way to the drive, for tests
// that act as if the drive had spoken.
#include <array>
#include <cstdint>

#include "model/drivedata.h"

namespace velmora::testkit {

inline constexpr std::array<std::uint8_t, 4> kStandingStatus{0x00, 0x01, 0, 0};
inline constexpr std::array<std::uint8_t, 4> kTurningStatus{0x03, 0x00, 0, 0};

inline void DriveStands(model::DriveData& data) {
    data.gate().observeStatus(kStandingStatus);
}
inline void DriveTurns(model::DriveData& data) {
    data.gate().observeStatus(kTurningStatus);
}

}  // namespace velmora::testkit
