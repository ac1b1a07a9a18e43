#pragma once
// What the main window holds of the trend: the feed it forwards its messages
// to, the "Trend" menu with its Ctrl+T entry, and the window, made on first
// use and kept (hidden) when closed.
#include <QObject>
#include <QPointer>
#include <cstdint>

class QAction;
class QMenuBar;
class QWidget;

namespace velmora::model {
class DriveData;
}

namespace velmora::trend {

class TrendFeed;
class TrendWindow;

class TrendHost : public QObject {
    Q_OBJECT
  public:
    // frame owns the host; the menu is added to bar; data is the image the
    // samples come from (the main window's).
    TrendHost(QWidget* frame, QMenuBar* bar, model::DriveData& data);

    // A window message after the main window handled it.
    void frameMessage(unsigned message, std::uintptr_t wParam);
    // Fault class and number (bytes d2, d3) of a status reply.
    void driveStatus(std::uint8_t faultClass, std::uint8_t number);

    void showWindow();
    [[nodiscard]] TrendFeed& feed() const { return *m_feed; }
    // nullptr until first shown.
    [[nodiscard]] TrendWindow* window() const;
    [[nodiscard]] QAction* showAction() const { return m_showAction; }

  private:
    void reportRecordingFailure(const QString& path, const QString& reason);

    QWidget* m_frame;
    TrendFeed* m_feed;
    QPointer<TrendWindow> m_window;
    QAction* m_showAction = nullptr;
};

}  // namespace velmora::trend
