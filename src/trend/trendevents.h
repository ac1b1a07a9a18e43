#pragma once
// What the trend marks on its time axis and lists in its event log, worked
// out from the messages the main window handles. Qt-free so the rules can be
// tested as a table.
#include <cstdint>
#include <optional>

#include "shell/framemessage.h"

namespace velmora::trend {

enum class EventKind {
    LinkUp,
    LinkDown,
    Fault,  // first: fault class, second: fault number
    RunInStart,
    RunInStep,  // first: the step entered
    RunInStop,
    FirmwareStart,
    FirmwareEnd,
};

struct TrendEvent {
    std::int64_t timeMs = 0;
    EventKind kind = EventKind::LinkUp;
    int first = 0;
    int second = 0;
    bool operator==(const TrendEvent&) const = default;
};

// Faults, link losses and run-in steps get a marker on the plot; the rest
// is only listed.
[[nodiscard]] bool IsMarked(EventKind kind);

class EventTracker {
  public:
    // After the main window handled them: the link answered (up) or was lost,
    // and the frame messages (run-in, firmware transfer); nullopt when it
    // changes nothing worth a line.
    [[nodiscard]] std::optional<TrendEvent> onLinkState(bool up, std::int64_t nowMs);
    [[nodiscard]] std::optional<TrendEvent> onMessage(const shell::FrameMessage& message,
                                                      std::int64_t nowMs);
    // Fault class and number of a status reply (its bytes d2 and d3). Each
    // fault is logged once while it lasts; class 0 ends it.
    [[nodiscard]] std::optional<TrendEvent> onStatus(std::uint8_t faultClass, std::uint8_t number,
                                                     std::int64_t nowMs);

  private:
    bool m_linkUp = false;
    bool m_linkSeen = false;
    int m_faultClass = 0;
    int m_faultNumber = -1;
    bool m_runIn = false;
    int m_step = 0;
    bool m_firmware = false;

    std::optional<TrendEvent> onRunIn(const shell::RunInActive& runIn, std::int64_t nowMs);
    std::optional<TrendEvent> onFirmware(bool busy, std::int64_t nowMs);
};

}  // namespace velmora::trend
