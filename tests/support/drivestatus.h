#pragma once
// What the drive's status reply tells the guarded way to the drive, for tests
// that act as if the drive had spoken.
#include <array>
#include <cstdint>
#include <vector>

#include "model/drivedata.h"

namespace velmora::testkit {

inline constexpr std::array<std::uint8_t, 4> kStandingStatus{0x00, 0x01, 0, 0};
inline constexpr std::array<std::uint8_t, 4> kTurningStatus{0x03, 0x00, 0, 0};

// Takes what the drive's gate lets through, in place of the link.
class RecordingOutlet final : public model::RequestOutlet {
  public:
    int send(link::Telegram request) override {
        sent.push_back(std::move(request));
        return 0;
    }
    int setPollMode(int mode) override {
        modes.push_back(mode);
        return 0;
    }
    std::vector<link::Telegram> sent;
    std::vector<int> modes;
};

inline void DriveStands(model::DriveData& data) {
    data.gate().observeStatus(kStandingStatus);
}
inline void DriveTurns(model::DriveData& data) {
    data.gate().observeStatus(kTurningStatus);
}

}  // namespace velmora::testkit
