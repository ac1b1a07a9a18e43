#pragma once
// What the main window holds of the trend: the feed it forwards its messages
// to, the "Trend" menu with its Ctrl+T entry, and the window, made on first
// use and kept (hidden) when closed.
#include <QObject>
#include <QPointer>
#include <cstdint>

#include "shell/framemessage.h"

class QAction;
class QLabel;
class QMenuBar;
class QWidget;

namespace velmora::model {
class DriveData;
}

namespace velmora::journal {
class Journal;
}

namespace velmora::trend {

class JournalLog;
class TrendFeed;
class TrendWindow;

class TrendHost : public QObject {
    Q_OBJECT
  public:
    // frame owns the host; the menu is added to bar; data is the image the
    // samples come from (the main window's); the event log lists what journal
    // keeps of the drive (nullptr: what this session saw).
    TrendHost(QWidget* frame, QMenuBar* bar, model::DriveData& data,
              journal::Journal* journal = nullptr);

    // After the main window handled them: the link answered (up) or was
    // lost, and the messages of pages and dialogs.
    void linkState(bool up);
    void frameMessage(const shell::FrameMessage& message);
    // Fault class and number (bytes d2, d3) of a status reply.
    void driveStatus(std::uint8_t faultClass, std::uint8_t number);

    void showWindow();
    [[nodiscard]] TrendFeed& feed() const { return *m_feed; }
    // nullptr until first shown.
    [[nodiscard]] TrendWindow* window() const;
    [[nodiscard]] QAction* showAction() const { return m_showAction; }
    // For the main window's status bar: shown while a recording runs.
    [[nodiscard]] QLabel* recordingIndicator() const { return m_indicator; }

  private:
    void reportRecordingFailure(const QString& path, const QString& reason);
    void showRecording(bool recording);

    QWidget* m_frame;
    TrendFeed* m_feed;
    JournalLog* m_journal = nullptr;
    QPointer<TrendWindow> m_window;
    QLabel* m_indicator = nullptr;
    QAction* m_showAction = nullptr;
};

}  // namespace velmora::trend
