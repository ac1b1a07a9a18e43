#include "frame/statusindicator.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace velmora::frame {

namespace {
constexpr int kLampWidth = 15;
constexpr int kLampHeight = 6;
constexpr int kLampRightInset = 25;  // lamp x = client right - 25
constexpr int kLampBottomGap = 6;    // lamp y = client bottom - height - 6
constexpr int kTextRightInset = 30;
constexpr int kTextAboveLamp = 5;
constexpr int kStripHeight = 22;  // room for the text above the lamp line

int scaled(int value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}
}  // namespace

IndicatorGeometry IndicatorGeometryFor(QSize client, double scale) {
    const int lampHeight = scaled(kLampHeight, scale);
    const int x = client.width() - scaled(kLampRightInset, scale);
    const int y = client.height() - lampHeight - scaled(kLampBottomGap, scale);
    IndicatorGeometry geometry;
    geometry.lamp = QRect(x, y, scaled(kLampWidth, scale), lampHeight);
    const int textTop = y - scaled(kTextAboveLamp, scale);
    geometry.text =
        QRect(QPoint(0, textTop),
              QPoint(client.width() - scaled(kTextRightInset, scale) - 1, client.height() - 1));
    return geometry;
}

StatusIndicator::StatusIndicator(QWidget* parent) : QWidget(parent) {
    setObjectName("statusIndicator");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StatusIndicator::setTexts(const QString& connected, const QString& disconnected) {
    m_connectedText = connected;
    m_disconnectedText = disconnected;
    updateGeometry();
    update();
}

void StatusIndicator::setConnected(bool connected) {
    m_connected = connected;
    update();
}

QSize StatusIndicator::sizeHint() const {
    const double s = scale();
    // Wide enough for the longer state text: the status bar puts other
    // things to its left.
    const int text = std::max(fontMetrics().horizontalAdvance(m_connectedText),
                              fontMetrics().horizontalAdvance(m_disconnectedText));
    return {scaled(kLampRightInset + kTextRightInset, s) + text,
            std::max(scaled(kStripHeight, s), fontMetrics().height() + scaled(kLampBottomGap, s))};
}

QColor StatusIndicator::lampColour(bool connected) {
    return connected ? QColor(0, 128, 0) : QColor(255, 0, 0);
}

double StatusIndicator::scale() const {
    return logicalDpiX() / 96.0;
}

void StatusIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const IndicatorGeometry geometry = IndicatorGeometryFor(size(), scale());
    // A black frame around the coloured fill, as one 15 x 6 picture.
    painter.fillRect(geometry.lamp, Qt::black);
    painter.fillRect(geometry.lamp.adjusted(1, 1, -1, -1), lampColour(m_connected));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(geometry.text, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine,
                     m_connected ? m_connectedText : m_disconnectedText);
}

}  // namespace velmora::frame
