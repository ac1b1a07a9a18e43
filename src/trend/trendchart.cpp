#include "trend/trendchart.h"

#include <QDateTime>
#include <QDateTimeAxis>
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
#include "trend/trendfeed.h"

namespace velmora::trend {

namespace {

constexpr std::int64_t kShortestSpanMs = 10'000;
constexpr double kMarkerHeight = 0.04;  // on the markers' own 0..1 axis

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
    chart()->legend()->setAlignment(Qt::AlignBottom);
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
        m_axes[unit]->setLabelFormat("%.6g");
        chart()->addAxis(m_axes[unit], sides[unit]);
    }
    m_markerAxis = new QValueAxis;
    m_markerAxis->setRange(0, 1);
    m_markerAxis->setVisible(false);
    chart()->addAxis(m_markerAxis, Qt::AlignRight);

    const auto series = AllSeries();
    for (std::size_t i = 0; i < kSeriesCount; ++i) {
        m_lines[i] = new QLineSeries;
        m_lines[i]->setObjectName(QString("trendSeries%1").arg(i));
        chart()->addSeries(m_lines[i]);
        m_lines[i]->attachAxis(m_time);
        m_lines[i]->attachAxis(m_axes[static_cast<std::size_t>(series[i].unit)]);
    }
    const QColor markerColours[] = {Qt::red, Qt::darkGray, Qt::darkBlue};
    for (std::size_t kind = 0; kind < m_markers.size(); ++kind) {
        m_markers[kind] = new QScatterSeries;
        m_markers[kind]->setObjectName(QString("trendMarkers%1").arg(kind));
        m_markers[kind]->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        m_markers[kind]->setMarkerSize(9);
        m_markers[kind]->setColor(markerColours[kind]);
        chart()->addSeries(m_markers[kind]);
        m_markers[kind]->attachAxis(m_time);
        m_markers[kind]->attachAxis(m_markerAxis);
        chart()->legend()->markers(m_markers[kind]).first()->setVisible(false);
    }
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

    std::array<QList<QPointF>, kSeriesCount> points;
    for (auto& list : points)
        list.reserve(static_cast<qsizetype>(std::min<std::int64_t>(last - first, 2 * buckets + 4)));
    std::array<Extremes, kSeriesCount> inBucket;
    std::array<Extremes, 4> range;
    std::int64_t bucket = -1;
    for (std::size_t index = first; index < last; ++index) {
        const TrendSample& sample = ring.at(index);
        const std::int64_t b =
            (sample.timeMs - window.startMs()) * buckets / std::max<std::int64_t>(window.spanMs, 1);
        if (decimate && b != bucket) {
            for (std::size_t s = 0; s < kSeriesCount; ++s) {
                inBucket[s].emitTo(points[s]);
                inBucket[s] = {};
            }
            bucket = b;
        }
        for (std::size_t s = 0; s < kSeriesCount; ++s) {
            const double value = DisplayValue(sample, s, m_rpm);
            if (decimate) {
                inBucket[s].take(value, sample.timeMs);
            } else {
                points[s].append({double(sample.timeMs), value});
            }
            if (m_shown[s]) range[static_cast<std::size_t>(AllSeries()[s].unit)].take(value, 0);
        }
    }
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        if (decimate) inBucket[s].emitTo(points[s]);
        m_lines[s]->replace(points[s]);
    }
    for (std::size_t unit = 0; unit < m_axes.size(); ++unit) {
        bool used = false;
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            used = used || (m_shown[s] && static_cast<std::size_t>(AllSeries()[s].unit) == unit);
        m_axes[unit]->setVisible(used);
        fitAxis(m_axes[unit], range[unit].low, range[unit].high);
    }
    m_time->setRange(QDateTime::fromMSecsSinceEpoch(window.startMs()),
                     QDateTime::fromMSecsSinceEpoch(window.endMs));

    std::array<QList<QPointF>, 3> marks;
    for (const TrendEvent& event : core.events()) {
        if (!IsMarked(event.kind) || event.timeMs < window.startMs() || event.timeMs > window.endMs)
            continue;
        marks[static_cast<std::size_t>(MarkerRow(event.kind))].append(
            {double(event.timeMs), kMarkerHeight});
    }
    for (std::size_t kind = 0; kind < marks.size(); ++kind) m_markers[kind]->replace(marks[kind]);
}

void TrendChart::fitAxis(QValueAxis* axis, double low, double high) {
    if (low > high) {
        low = 0;
        high = 1;
    }
    // Room above and below so a flat line does not sit on the frame.
    const double pad = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
    double bottom = low - pad;
    if (low >= 0 && bottom < 0) bottom = 0;
    if (axis->min() != bottom || axis->max() != high + pad) axis->setRange(bottom, high + pad);
}

void TrendChart::setSeriesShown(std::size_t series, bool shown) {
    if (series >= kSeriesCount) return;
    m_shown[series] = shown;
    m_lines[series]->setVisible(shown);
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
