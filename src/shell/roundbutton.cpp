#include "shell/roundbutton.h"

#include <QPainter>

namespace velmora::shell {

namespace {
constexpr int kCornerRadius = 5;  // a 10 x 10 corner ellipse
constexpr int kSlotCount = 8;
}  // namespace

RoundButton::RoundButton(QWidget* parent) : QAbstractButton(parent) {}

void RoundButton::setColour(int slot, const QColor& colour) {
    if (slot < 0 || slot >= kSlotCount) return;
    m_colours[static_cast<std::size_t>(slot)] = colour;
    update();
}

QColor RoundButton::colour(int slot) const {
    if (slot >= 0 && slot < kSlotCount && m_colours[static_cast<std::size_t>(slot)]) {
        return *m_colours[static_cast<std::size_t>(slot)];
    }
    const QPalette& colours = palette();
    switch (slot) {
        case Face:
            return colours.color(QPalette::Active, QPalette::Button);
        case PressedFace:
        case Outline:
            return colours.color(QPalette::Active, QPalette::Dark);
        case PressedInner:
            return colours.color(QPalette::Active, QPalette::Shadow);
        case Inner:
            return colours.color(QPalette::Active, QPalette::Light);
        default:
            return colours.color(QPalette::Active, QPalette::Button);
    }
}

QSize RoundButton::sizeHint() const {
    return {24, 24};
}

void RoundButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect whole = rect();
    painter.fillRect(whole, palette().color(QPalette::Active, QPalette::Button));

    const bool pressed = isDown();
    painter.setPen(QPen(colour(Outline), 1));
    painter.setBrush(colour(pressed ? PressedFace : Face));
    painter.drawRoundedRect(whole.adjusted(0, 0, -1, -1), kCornerRadius, kCornerRadius);
    painter.setPen(QPen(colour(pressed ? PressedInner : Inner), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(whole.adjusted(1, 1, -2, -2), kCornerRadius, kCornerRadius);
}

}  // namespace velmora::shell
