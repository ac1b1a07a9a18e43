#pragma once
// How a page and the dialogs and panels it makes reach the main window.
// Copies share one slot: a page makes its panels before the main window
// binds it, and every copy posts to whatever the page was bound to since.
#include <cstdint>
#include <memory>

#include "link/messages.h"

namespace velmora::shell {

class FrameChannel {
  public:
    // Bound to nothing: posts are dropped until bind().
    FrameChannel();
    explicit FrameChannel(link::MessageTarget* target);

    // Every copy posts to target from now on; nullptr drops the posts.
    void bind(link::MessageTarget* target) { *m_target = target; }
    [[nodiscard]] link::MessageTarget* target() const { return *m_target; }
    // Posts only to a bound target that is still alive.
    void post(unsigned message, std::uintptr_t wParam) const;

  private:
    std::shared_ptr<link::MessageTarget*> m_target;
};

}  // namespace velmora::shell
