#include "shell/framechannel.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace velmora::shell {
namespace {

class Target final : public link::MessageTarget {
  public:
    void postMessage(unsigned message, std::uintptr_t wParam) override {
        posted.emplace_back(message, wParam);
    }
    [[nodiscard]] bool isAlive() const override { return alive; }
    std::vector<std::pair<unsigned, std::uintptr_t>> posted;
    bool alive = true;
};

// A page hands copies to its panels before the main window binds it; a copy
// that kept its own pointer would post nowhere (or to a window long gone).
TEST(FrameChannel, CopiesFollowTheBindingAndSkipADeadTarget) {
    FrameChannel page;
    const FrameChannel panel = page;
    panel.post(link::WM_TAB_LOCK, 1);  // nothing bound yet: dropped

    Target frame;
    page.bind(&frame);
    panel.post(link::WM_TAB_LOCK, 1);
    frame.alive = false;
    panel.post(link::WM_TAB_LOCK, 0);  // the window is going: dropped
    frame.alive = true;
    page.bind(nullptr);
    panel.post(link::WM_TAB_LOCK, 0);

    using Posted = std::vector<std::pair<unsigned, std::uintptr_t>>;
    EXPECT_EQ(frame.posted, (Posted{{link::WM_TAB_LOCK, 1}}));
}

}  // namespace
}  // namespace velmora::shell
