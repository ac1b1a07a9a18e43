#include "shell/page.h"

#include "shell/wheelguard.h"

namespace velmora::shell {

// Every page brings the wheel guard along, so no page, panel or dialog of
// one can be changed by a wheel passing over it.
Page::Page(QWidget* parent) : QWidget(parent) {
    WheelGuard::installOnce();
}

void Page::postToFrame(unsigned message, std::uintptr_t wParam) {
    if (m_frame && m_frame->isAlive()) m_frame->postMessage(message, wParam);
}

void Page::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    pageShown();
}

}  // namespace velmora::shell
