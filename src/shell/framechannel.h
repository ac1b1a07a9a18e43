#pragma once
// How a page and the dialogs and panels it makes reach the main window.
// Copies share one slot: a page makes its panels before the main window
// binds it, and every copy posts to whatever the page was bound to since.
#include <memory>

#include "shell/frametarget.h"

namespace velmora::shell {

class FrameChannel {
  public:
    // Bound to nothing: posts are dropped until bind().
    FrameChannel();
    explicit FrameChannel(FrameTarget* target);

    // Every copy posts to target from now on; nullptr drops the posts.
    void bind(FrameTarget* target) { *m_target = target; }
    [[nodiscard]] FrameTarget* target() const { return *m_target; }
    // Posts only to a bound target that is still alive.
    void post(const FrameMessage& message) const;

  private:
    std::shared_ptr<FrameTarget*> m_target;
};

}  // namespace velmora::shell
