#include "shell/page.h"

namespace velmora::shell {

Page::Page(QWidget* parent) : QWidget(parent) {}

void Page::postToFrame(unsigned message, std::uintptr_t wParam) {
    if (m_frame && m_frame->isAlive()) m_frame->postMessage(message, wParam);
}

void Page::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    pageShown();
}

}  // namespace velmora::shell
