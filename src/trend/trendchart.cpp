#include "trend/trendchart.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "shell/textcatalog.h"
#include "trend/axisticks.h"
#include "trend/trendfeed.h"

namespace velmora::trend {

namespace {

constexpr std::int64_t kShortestSpanMs = 10'000;
constexpr double kMarkerHeight = 0.04;  // on the markers' own 0..1 axis
constexpr int kMostValueTicks = 6;
// Faults in the vermillion the series leave free, link losses in grey, run-in in dark grey.
constexpr QRgb kMarkerColours[] = {qRgb(0xD5, 0x5E, 0x00), qRgb(0x99, 0x99, 0x99),
                                   qRgb(0x44, 0x44, 0x44)};

int MarkerRow(EventKind kind) {
    switch (kind) {
        case EventKind::Fault:
            return 0;
        case EventKind::LinkDown:
            return 1;
        default:
            return 2;
    }
}

// Lowest and highest value of one series inside a time bucket, each with its
// time, so that a decimated line keeps every spike.
struct Extremes {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    std::int64_t lowAt = 0;
    std::int64_t highAt = 0;
    void take(double value, std::int64_t at) {
        if (value < low) {
            low = value;
            lowAt = at;
        }
        if (value > high) {
            high = value;
            highAt = at;
        }
    }
    void emitTo(QList<QPointF>& points) const {
        if (low > high) return;
        if (lowAt <= highAt) {
            points.append({double(lowAt), low});
            if (highAt != lowAt) points.append({double(highAt), high});
        } else {
            points.append({double(highAt), high});
            points.append({double(lowAt), low});
        }
    }
};

}  // namespace

TrendChart::TrendChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName("trendChart");
    setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing, false);
    chart()->setAnimationOptions(QChart::NoAnimation);
    // The window's series switches are the legend: a row of six names does not
    // fit an 800-pixel window.
    chart()->legend()->setVisible(false);
    m_shown.fill(true);
    buildAxes();
}

void TrendChart::buildAxes() {
    m_time = new QDateTimeAxis;
    m_time->setFormat("HH:mm:ss");
    m_time->setTickCount(7);
    chart()->addAxis(m_time, Qt::AlignBottom);
    const Qt::Alignment sides[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignLeft, Qt::AlignRight};
    for (std::size_t unit = 0; unit < m_axes.size(); ++unit) {
        m_axes[unit] = new QValueAxis;
        chart()->addAxis(m_axes[unit], sides[unit]);
    }
    m_markerAxis = new QValueAxis;
    m_markerAxis->setRange(0, 1);
    m_markerAxis->setVisible(false);
    chart()->addAxis(m_markerAxis, Qt::AlignRight);

    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        m_lines[i] = piece(i, 0);
        m_lines[i]->setObjectName(QString("trendSeries%1").arg(i));
    }
    for (std::size_t kind = 0; kind < m_markers.size(); ++kind) {
        m_markers[kind] = new QScatterSeries;
        m_markers[kind]->setObjectName(QString("trendMarkers%1").arg(kind));
        m_markers[kind]->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        m_markers[kind]->setMarkerSize(9);
        m_markers[kind]->setColor(QColor(kMarkerColours[kind]));
        m_markers[kind]->setBorderColor(QColor(kMarkerColours[kind]));
        chart()->addSeries(m_markers[kind]);
        m_markers[kind]->attachAxis(m_time);
        m_markers[kind]->attachAxis(m_markerAxis);
    }
}

QLineSeries* TrendChart::piece(std::size_t series, std::size_t index) {
    auto& pieces = m_pieces[series];
    while (pieces.size() <= index) {
        auto* line = new QLineSeries;
        const SeriesInfo& info = AllSeries()[series];
        QPen pen(QColor(QRgb(0xFF000000u | info.colour)));
        pen.setWidthF(1.5);
        line->setPen(pen);
        line->setVisible(m_shown[series]);
        chart()->addSeries(line);
        line->attachAxis(m_time);
        line->attachAxis(m_axes[static_cast<std::size_t>(info.unit)]);
        pieces.push_back(line);
    }
    return pieces[index];
}

void TrendChart::plot(const TrendCore& core, const TimeWindow& window) {
    m_core = &core;
    m_window = window;
    if (!m_named || core.rpm() != m_rpm) {
        m_named = true;
        m_rpm = core.rpm();
        const auto series = AllSeries();
        for (std::size_t i = 0; i < kSeriesCount; ++i)
            m_lines[i]->setName(QString("%1 [%2]").arg(shell::T(series[i].labelKey),
                                                       shell::T(UnitKey(series[i].unit, m_rpm))));
        for (std::size_t unit = 0; unit < m_axes.size(); ++unit)
            m_axes[unit]->setTitleText(shell::T(UnitKey(static_cast<UnitKind>(unit), m_rpm)));
    }

    const SampleRing& ring = core.samples();
    std::size_t first = ring.firstAtOrAfter(window.startMs());
    if (first > 0) --first;  // the line enters from the left edge
    const std::size_t last = std::min(ring.size(), ring.firstAtOrAfter(window.endMs + 1) + 1);
    const std::int64_t buckets = std::max<std::int64_t>(100, chart()->plotArea().width());
    const bool decimate = static_cast<std::int64_t>(last - first) > 2 * buckets;

    // One list of points per unbroken stretch of samples.
    std::array<std::vector<QList<QPointF>>, kSeriesCount> points;
    for (auto& lists : points) lists.resize(1);
    std::array<Extremes, kSeriesCount> inBucket;
    std::array<Extremes, 4> range;
    std::int64_t bucket = -1;
    for (std::size_t index = first; index < last; ++index) {
        const TrendSample& sample = ring.at(index);
        const std::int64_t b =
            (sample.timeMs - window.startMs()) * buckets / std::max<std::int64_t>(window.spanMs, 1);
        const bool gap = sample.gapBefore && index > first;
        if ((decimate && b != bucket) || gap) {
            for (std::size_t s = 0; s < kSeriesCount; ++s) {
                inBucket[s].emitTo(points[s].back());
                inBucket[s] = {};
                if (gap) points[s].emplace_back();
            }
            bucket = b;
        }
        for (std::size_t s = 0; s < kSeriesCount; ++s) {
            const double value = DisplayValue(sample, s, m_rpm);
            if (decimate) {
                inBucket[s].take(value, sample.timeMs);
            } else {
                points[s].back().append({double(sample.timeMs), value});
            }
            if (m_shown[s]) range[static_cast<std::size_t>(AllSeries()[s].unit)].take(value, 0);
        }
    }
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        if (decimate) inBucket[s].emitTo(points[s].back());
        for (std::size_t k = 0; k < points[s].size(); ++k) piece(s, k)->replace(points[s][k]);
        for (std::size_t k = points[s].size(); k < m_pieces[s].size(); ++k) m_pieces[s][k]->clear();
    }
    bool gridDrawn = false;
    for (std::size_t unit = 0; unit < m_axes.size(); ++unit) {
        bool used = false;
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            used = used || (m_shown[s] && static_cast<std::size_t>(AllSeries()[s].unit) == unit);
        m_axes[unit]->setVisible(used);
        // One axis draws the grid; the others' lines would fall in between.
        m_axes[unit]->setGridLineVisible(used && !gridDrawn);
        gridDrawn = gridDrawn || used;
        fitAxis(m_axes[unit], range[unit].low, range[unit].high);
    }
    m_time->setRange(QDateTime::fromMSecsSinceEpoch(window.startMs()),
                     QDateTime::fromMSecsSinceEpoch(window.endMs));

    std::array<QList<QPointF>, 3> marks;
    m_marks.clear();
    for (const TrendEvent& event : core.events()) {
        if (!IsMarked(event.kind) || event.timeMs < window.startMs() || event.timeMs > window.endMs)
            continue;
        marks[static_cast<std::size_t>(MarkerRow(event.kind))].append(
            {double(event.timeMs), kMarkerHeight});
        m_marks.push_back({double(event.timeMs), MarkerText(event)});
    }
    for (std::size_t kind = 0; kind < marks.size(); ++kind) m_markers[kind]->replace(marks[kind]);
    placeLabels();
}

void TrendChart::placeLabels() {
    // Left to right; a label that would overlap the one before stays out
    // (the pointer still names its event).
    double freeFrom = std::numeric_limits<double>::lowest();
    std::size_t used = 0;
    for (const auto& [timeMs, text] : m_marks) {
        const QPointF at = chart()->mapToPosition({timeMs, kMarkerHeight}, m_markers[0]);
        if (at.x() < freeFrom) continue;
        if (used == m_labels.size()) {
            m_labels.push_back(new QGraphicsSimpleTextItem(chart()));
            m_labels.back()->setZValue(10);
        }
        QGraphicsSimpleTextItem* label = m_labels[used++];
        label->setText(text);
        const QRectF box = label->boundingRect();
        label->setPos(at.x() + 6, at.y() - box.height() - 2);
        label->show();
        freeFrom = at.x() + 6 + box.width() + 4;
    }
    for (std::size_t i = used; i < m_labels.size(); ++i) m_labels[i]->hide();
}

QStringList TrendChart::markerLabels() const {
    QStringList texts;
    for (const QGraphicsSimpleTextItem* label : m_labels) {
        if (label->isVisible()) texts << label->text();
    }
    return texts;
}

void TrendChart::fitAxis(QValueAxis* axis, double low, double high) {
    if (low > high) {
        low = 0;
        high = 1;
    }
    // Room above and below so a flat line does not sit on the frame.
    const double pad = (high - low) * 0.05;
    double bottom = low - pad;
    if (low >= 0 && bottom < 0) bottom = 0;
    const AxisTicks ticks = NiceTicks(bottom, high + pad, kMostValueTicks);
    if (axis->min() != ticks.low || axis->max() != ticks.high)
        axis->setRange(ticks.low, ticks.high);
    axis->setTickCount(ticks.count);
    axis->setLabelFormat(QString("%.%1f").arg(ticks.decimals));
}

void TrendChart::setSeriesShown(std::size_t series, bool shown) {
    if (series >= kSeriesCount) return;
    m_shown[series] = shown;
    for (QLineSeries* line : m_pieces[series]) line->setVisible(shown);
    if (m_core) plot(*m_core, m_window);
}

bool TrendChart::seriesShown(std::size_t series) const {
    return series < kSeriesCount && m_shown[series];
}

QString TrendChart::valuesAt(const QPointF& position) const {
    if (!m_core || m_core->samples().empty()) return {};
    if (!chart()->plotArea().contains(position)) return {};
    const auto timeMs = static_cast<std::int64_t>(chart()->mapToValue(position, m_lines[0]).x());
    const SampleRing& ring = m_core->samples();
    const TrendSample& sample = ring.at(ring.nearest(timeMs));
    // Farther than a fiftieth of the view from any sample: a gap in the data.
    if (std::abs(sample.timeMs - timeMs) > std::max<std::int64_t>(m_window.spanMs / 50, 1000))
        return {};
    QStringList parts{QDateTime::fromMSecsSinceEpoch(sample.timeMs).toString("HH:mm:ss.zzz")};
    const auto series = AllSeries();
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        if (!m_shown[s]) continue;
        parts << QString("%1 %2 %3")
                     .arg(shell::T(series[s].labelKey))
                     .arg(DisplayValue(sample, s, m_rpm), 0, 'f', series[s].decimals)
                     .arg(shell::T(UnitKey(series[s].unit, m_rpm)));
    }
    const std::int64_t near = std::max<std::int64_t>(
        m_window.spanMs / std::max<qreal>(chart()->plotArea().width(), 1.0) * 4, 500);
    for (const TrendEvent& event : m_core->events()) {
        if (IsMarked(event.kind) && std::abs(event.timeMs - timeMs) <= near)
            parts << EventText(event);
    }
    return parts.join("  |  ");
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    emit pointerValues(valuesAt(event->position()));
    QChartView::mouseMoveEvent(event);
}

void TrendChart::leaveEvent(QEvent* event) {
    emit pointerValues({});
    QChartView::leaveEvent(event);
}

void TrendChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    placeLabels();
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    double span = static_cast<double>(m_window.spanMs);
    for (int i = 0; i < std::abs(steps); ++i) span *= steps > 0 ? 0.8 : 1.25;
    const auto centre =
        static_cast<std::int64_t>(chart()->mapToValue(event->position(), m_lines[0]).x());
    emit zoomRequested(std::max<std::int64_t>(static_cast<std::int64_t>(span), kShortestSpanMs),
                       centre);
    event->accept();
}

}  // namespace velmora::trend
