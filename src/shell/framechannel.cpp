#include "shell/framechannel.h"

namespace velmora::shell {

FrameChannel::FrameChannel() : FrameChannel(nullptr) {}

FrameChannel::FrameChannel(FrameTarget* target)
    : m_target(std::make_shared<FrameTarget*>(target)) {}

void FrameChannel::post(const FrameMessage& message) const {
    FrameTarget* target = *m_target;
    if (target != nullptr && target->isAlive()) target->post(message);
}

}  // namespace velmora::shell
