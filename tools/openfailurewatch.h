#pragma once
// Whether a port that fails to open does so for good: the link keeps trying,
// and a drive just plugged in may need a moment before its device opens.
#include <chrono>

#include "link/seriallink.h"

namespace velmora::tools {

class OpenFailureWatch {
  public:
    using Clock = std::chrono::steady_clock;

    explicit OpenFailureWatch(const link::SerialLink& link) : m_link(link) {}

    // True once every look for this long found the port failing to open.
    [[nodiscard]] bool lasting(Clock::time_point now) {
        if (!failing()) {
            m_failing = false;
            return false;
        }
        if (!m_failing) m_since = now;
        m_failing = true;
        return now - m_since >= kGrace;
    }
    // Whether the latest attempt to open the port failed.
    [[nodiscard]] bool failing() const {
        return m_link.LastOpenFailure().kind != link::OpenFailureKind::None;
    }

  private:
    const link::SerialLink& m_link;
    static constexpr std::chrono::milliseconds kGrace{1500};
    bool m_failing = false;
    Clock::time_point m_since{};
};

}  // namespace velmora::tools
