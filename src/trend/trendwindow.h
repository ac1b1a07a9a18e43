#pragma once
// The trend window: the plot with its series switches, the time span, pause,
// recording and PNG export, and the event log. It only views the feed; the
// feed keeps sampling and recording while the window is closed.
#include <QTimer>
#include <QWidget>
#include <array>

#include "trend/trendchart.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace velmora::trend {

class TrendFeed;

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TrendWindow(TrendFeed& feed, QWidget* parent = nullptr);

    // Draws the current window of time now (the timer does it while shown).
    void redraw();
    [[nodiscard]] TrendChart* chart() const { return m_chart; }
    [[nodiscard]] const TimeWindow& timeWindow() const { return m_window; }
    [[nodiscard]] QString logText() const;

    // What the buttons do.
    void toggleRecording();
    void exportImage();
    void setPaused(bool paused);
    void setRangeMinutes(int minutes);
    void zoomTo(std::int64_t spanMs, std::int64_t centreMs);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void buildControls();
    void appendEvent(const TrendEvent& event);
    void showRecordingState(bool recording);
    void restartTimer();

    TrendFeed& m_feed;
    TrendChart* m_chart = nullptr;
    std::array<QCheckBox*, kSeriesCount> m_switches{};
    QComboBox* m_span = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_record = nullptr;
    QPushButton* m_export = nullptr;
    QLabel* m_pointer = nullptr;
    QLabel* m_recordState = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QTimer m_redrawTimer;
    TimeWindow m_window;
    std::int64_t m_rangeMs = 60'000;  // the span chosen; zooming narrows the view inside it
    bool m_paused = false;
};

}  // namespace velmora::trend
