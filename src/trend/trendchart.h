#pragma once
// The plot of the trend window: six line series against time, one value axis
// per unit, event markers along the bottom, the values under the mouse
// pointer, and the wheel zooming in time.
#include <QChartView>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "trend/trendcore.h"

class QDateTimeAxis;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace velmora::trend {

// The visible time window: end and span in milliseconds.
struct TimeWindow {
    std::int64_t endMs = 0;
    std::int64_t spanMs = 60000;
    [[nodiscard]] std::int64_t startMs() const { return endMs - spanMs; }
};

class TrendChart : public QChartView {
    Q_OBJECT
  public:
    explicit TrendChart(QWidget* parent = nullptr);

    // Redraws the window's part of the ring and the events in it.
    void plot(const TrendCore& core, const TimeWindow& window);
    void setSeriesShown(std::size_t series, bool shown);
    [[nodiscard]] bool seriesShown(std::size_t series) const;

    // The first stretch of a series; it carries the series' name.
    [[nodiscard]] QLineSeries* line(std::size_t series) const { return m_lines[series]; }
    // Every stretch between gaps (cleared ones stay for reuse), line() first.
    [[nodiscard]] const std::vector<QLineSeries*>& pieces(std::size_t series) const {
        return m_pieces[series];
    }
    // The texts beside the markers now shown.
    [[nodiscard]] QStringList markerLabels() const;
    // Markers: 0 faults, 1 link losses, 2 run-in.
    [[nodiscard]] QScatterSeries* markers(std::size_t kind) const { return m_markers[kind]; }
    [[nodiscard]] const TimeWindow& window() const { return m_window; }
    // What the pointer at this position shows ("" outside the samples).
    [[nodiscard]] QString valuesAt(const QPointF& position) const;

  signals:
    // The wheel asks for a time span (zoom), centred where the pointer is.
    void zoomRequested(std::int64_t spanMs, std::int64_t centreMs);
    void pointerValues(const QString& text);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildAxes();
    QLineSeries* piece(std::size_t series, std::size_t index);
    void placeLabels();
    void fitAxis(QValueAxis* axis, double low, double high);

    QDateTimeAxis* m_time = nullptr;
    std::array<QValueAxis*, 4> m_axes{};  // one per UnitKind
    QValueAxis* m_markerAxis = nullptr;
    std::array<QLineSeries*, kSeriesCount> m_lines{};
    std::array<std::vector<QLineSeries*>, kSeriesCount> m_pieces;
    std::vector<std::pair<double, QString>> m_marks;  // time and text of each marker shown
    std::vector<QGraphicsSimpleTextItem*> m_labels;
    std::array<QScatterSeries*, 3> m_markers{};
    std::array<bool, kSeriesCount> m_shown{};
    const TrendCore* m_core = nullptr;
    TimeWindow m_window;
    bool m_rpm = true;
    bool m_named = false;  // series names and axis titles carry the speed unit
};

}  // namespace velmora::trend
