#include "shell/page.h"

#include "shell/wheelguard.h"

namespace velmora::shell {

// Every page brings the wheel guard along, so no page, panel or dialog of
// one can be changed by a wheel passing over it.
Page::Page(model::DriveData& data, QWidget* parent) : QWidget(parent), m_data(data) {
    WheelGuard::installOnce();
}

void Page::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    pageShown();
}

}  // namespace velmora::shell
