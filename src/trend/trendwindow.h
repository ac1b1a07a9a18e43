#pragma once
// The trend window: the plot with its series switches, the time span, pause,
// recording and PNG export, and the event log. It only views the feed; the
// feed keeps sampling and recording while the window is closed.
#include <QTimer>
#include <QWidget>
#include <array>

#include "trend/trendchart.h"

class QImage;

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace velmora::shell {
struct FileIdentity;
}

namespace velmora::trend {

class JournalLog;
class TrendFeed;

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    // journal: the drive's history the event log lists; nullptr lists the
    // events of this session.
    TrendWindow(TrendFeed& feed, JournalLog* journal, QWidget* parent = nullptr);

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
    // The plot with its legend and a line naming the drive and the program,
    // which the PNG also carries as text chunks.
    [[nodiscard]] QImage exportedImage(const shell::FileIdentity& identity) const;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void buildControls();
    void appendEvent(const TrendEvent& event);
    void readJournal();
    void showJournal();
    void appendEntries(std::size_t first);
    void showRecordingState(bool recording);
    void restartTimer();

    TrendFeed& m_feed;
    JournalLog* m_journal;
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
    QTimer m_journalTimer;
    bool m_legendRpm = true;  // the speed unit the switches name
    TimeWindow m_window;
    std::int64_t m_rangeMs = 60'000;  // the span chosen; zooming narrows the view inside it
    bool m_paused = false;
};

}  // namespace velmora::trend
