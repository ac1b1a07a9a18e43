#include "shell/framechannel.h"

namespace velmora::shell {

FrameChannel::FrameChannel() : FrameChannel(nullptr) {}

FrameChannel::FrameChannel(link::MessageTarget* target)
    : m_target(std::make_shared<link::MessageTarget*>(target)) {}

void FrameChannel::post(unsigned message, std::uintptr_t wParam) const {
    link::MessageTarget* target = *m_target;
    if (target != nullptr && target->isAlive()) target->postMessage(message, wParam);
}

}  // namespace velmora::shell
