#include "shell/roundbutton.h"

#include <QPainter>

namespace velmora::shell {

namespace {
constexpr int kCornerRadius = 5;  // a 10 x 10 corner ellipse
constexpr int kSlotCount = 8;
constexpr int kFocusInset = 3;
constexpr int kFocusWidth = 2;
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

// A disabled button is drawn in faded colours, so a Stop that does nothing
// no longer looks ready; a lamp (it ignores the mouse) keeps its colours,
// the drive's inputs must stay readable. The focused button shows a frame.
void RoundButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect whole = rect();
    const QColor background = palette().color(QPalette::Active, QPalette::Button);
    painter.fillRect(whole, background);

    const bool dimmed = drawnDimmed();
    const auto shade = [&](int slot) {
        return dimmed ? faded(colour(slot), background) : colour(slot);
    };
    const bool pressed = isDown();
    painter.setPen(QPen(shade(Outline), 1));
    painter.setBrush(shade(pressed ? PressedFace : Face));
    painter.drawRoundedRect(whole.adjusted(0, 0, -1, -1), kCornerRadius, kCornerRadius);
    painter.setPen(QPen(shade(pressed ? PressedInner : Inner), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(whole.adjusted(1, 1, -2, -2), kCornerRadius, kCornerRadius);

    if (hasFocus() && !dimmed) {
        QPen frame(palette().color(QPalette::Active, QPalette::Highlight), kFocusWidth);
        frame.setJoinStyle(Qt::MiterJoin);
        painter.setPen(frame);
        painter.drawRect(focusFrame());
    }
}

bool RoundButton::drawnDimmed() const {
    return !isEnabled() && !testAttribute(Qt::WA_TransparentForMouseEvents);
}

QRect RoundButton::focusFrame() const {
    // Inside the inner outline, the pen's width centred on the rectangle.
    const int inset = kFocusInset + kFocusWidth / 2;
    return rect().adjusted(inset, inset, -inset - 1, -inset - 1);
}

QColor RoundButton::faded(const QColor& colour, const QColor& background) {
    // A third of the colour over the background: still recognisable, clearly off.
    const auto mix = [](int c, int b) { return (c + 2 * b) / 3; };
    return QColor(mix(colour.red(), background.red()), mix(colour.green(), background.green()),
                  mix(colour.blue(), background.blue()));
}

}  // namespace velmora::shell
