#pragma once
// Where frame messages go: the main window, which handles each on the window
// thread once the sender's handler has returned (a posted event). Tests
// record the posts instead.
#include "shell/framemessage.h"

namespace velmora::shell {

class FrameTarget {
  public:
    virtual ~FrameTarget() = default;
    // Called from any thread.
    virtual void post(const FrameMessage& message) = 0;
    // false once the target is gone; nothing is posted to a dead target.
    [[nodiscard]] virtual bool isAlive() const = 0;
};

}  // namespace velmora::shell
