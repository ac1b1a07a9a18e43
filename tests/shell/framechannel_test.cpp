#include "shell/framechannel.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/framerecorder.h"

namespace velmora::shell {
namespace {

// A page hands copies to its panels before the main window binds it; a copy
// that kept its own pointer would post nowhere (or to a window long gone).
TEST(FrameChannel, CopiesFollowTheBindingAndSkipADeadTarget) {
    FrameChannel page;
    const FrameChannel panel = page;
    panel.post(TabLock{true});  // nothing bound yet: dropped

    testkit::FrameRecorder frame;
    page.bind(&frame);
    panel.post(TabLock{true});
    frame.alive = false;
    panel.post(TabLock{false});  // the window is going: dropped
    frame.alive = true;
    page.bind(nullptr);
    panel.post(TabLock{false});

    EXPECT_EQ(frame.messages(), std::vector<FrameMessage>{TabLock{true}});
}

}  // namespace
}  // namespace velmora::shell
