#pragma once
// Where the link threads' pauses take their time from. The link runs on the
// steady clock; a test hands it a clock it moves by hand (ManualClock), so a
// 4 s pause after an answered check costs it nothing and no pause depends on
// how busy the machine is. The 3 ms pause of every loop stays on real time:
// it only keeps the threads from spinning, and on a clock of its own every
// request would wait for the test to move time on.
#include <chrono>

#include "link/stopflag.h"

namespace velmora::link {

class LinkClock {
  public:
    using time_point = std::chrono::steady_clock::time_point;

    virtual ~LinkClock() = default;
    [[nodiscard]] virtual time_point now() const = 0;
    // Sleeps until `deadline`, but at most `slice` of real time, unless
    // `flag` is set to 1 first; true when stopped.
    virtual bool sleepUntil(StopFlag& flag, time_point deadline,
                            std::chrono::milliseconds slice) = 0;
    // Sleeps `duration` of this clock unless `flag` is set to 1 first; true
    // when stopped.
    bool sleepFor(StopFlag& flag, std::chrono::milliseconds duration);
};

class SteadyLinkClock final : public LinkClock {
  public:
    [[nodiscard]] time_point now() const override { return std::chrono::steady_clock::now(); }
    bool sleepUntil(StopFlag& flag, time_point deadline, std::chrono::milliseconds slice) override;
};

}  // namespace velmora::link
