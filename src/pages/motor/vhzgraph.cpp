#include "pages/motor/vhzgraph.h"

#include <QPainter>

namespace velmora::pages {

VHzGraph::VHzGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("vhzGraph"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

int VHzGraph::scaleX(int x) const {
    return x * logicalDpiX() / 96;
}
int VHzGraph::scaleY(int y) const {
    return y * logicalDpiY() / 96;
}

void VHzGraph::paintEvent(QPaintEvent*) {
    if (!m_source) return;
    const VHzPicture picture = m_source();
    const VHzGeometry g = ComputeVHzGeometry(picture.values);
    const auto at = [this](GraphPoint p) { return QPoint(scaleX(p.x), scaleY(p.y)); };

    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);

    painter.drawLine(at({vhz::kOriginX, vhz::kTopY}), at({vhz::kOriginX, vhz::kOriginY}));
    painter.drawLine(at({vhz::kOriginX, vhz::kOriginY}), at({vhz::kRightX, vhz::kOriginY}));

    QPolygon curve;
    for (const GraphPoint& p : g.curve) curve << at(p);
    painter.drawPolyline(curve);

    for (int x : g.frequencyTicks) painter.drawLine(at({x, 363}), at({x, 357}));
    for (int y : g.voltageTicks) painter.drawLine(at({263, y}), at({257, y}));

    const auto text = [&](GraphPoint topLeft, const QString& s) {
        if (s.isEmpty()) return;
        painter.drawText(QRect(at(topLeft), QSize(400, 100)),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
    };
    text(vhz::kFrequencyCaption, picture.frequencyCaption);
    text(vhz::kVoltageCaption, picture.voltageCaption);
    text(g.frequencyLabels[0], QStringLiteral("0"));
    for (std::size_t i = 0; i < 3; ++i) text(g.frequencyLabels[i + 1], picture.frequencyTexts[i]);
    text(g.voltageLabels[0], QStringLiteral("0"));
    for (std::size_t i = 0; i < 4; ++i) text(g.voltageLabels[i + 1], picture.voltageTexts[i]);

    // Markers last, so they cover the lines through the points.
    for (const GraphPoint& p : g.curve) {
        const QPoint topLeft = at({p.x - vhz::kMarkerHalf, p.y - vhz::kMarkerHalf});
        const QPoint bottomRight = at({p.x + vhz::kMarkerHalf, p.y + vhz::kMarkerHalf});
        // An outline of width w covers w + 1 pixels: left .. right - 1.
        painter.drawRoundedRect(QRect(topLeft.x(), topLeft.y(), bottomRight.x() - topLeft.x() - 1,
                                      bottomRight.y() - topLeft.y() - 1),
                                2, 2);
    }
}

}  // namespace velmora::pages
