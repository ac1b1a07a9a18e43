#pragma once
// The drive's side of the protocol: one decoded request in, the reply the
// controller sends (if any) out. Writes and actions are never answered.
#include <optional>

#include "link/telegram.h"
#include "sim/drivestate.h"

namespace velmora::sim {

class RequestHandler {
  public:
    explicit RequestHandler(DriveState& drive) : m_drive(drive) {}

    // Requests with a malformed length, another address or an unknown
    // code are ignored, as the controller ignores them.
    [[nodiscard]] std::optional<link::Telegram> handle(const link::Telegram& request);

  private:
    [[nodiscard]] std::optional<link::Telegram> read(const link::Telegram& request);
    void write(const link::Telegram& request);
    void action(const link::Telegram& request);
    [[nodiscard]] std::optional<link::Telegram> inLoader(const link::Telegram& request);

    DriveState& m_drive;
};

}  // namespace velmora::sim
