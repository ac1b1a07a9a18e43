#pragma once
// The status bar's line for what the window has to say without a popup: a
// notice that stays a few seconds (a refused tab change, a saved file) and,
// beneath it, a standing state (settings locked while the motor runs).
#include <QLabel>

class QTimer;

namespace velmora::frame {

class NoticeStrip : public QLabel {
    Q_OBJECT
  public:
    static constexpr int kNoticeMilliseconds = 6000;

    explicit NoticeStrip(QWidget* parent = nullptr);
    // Shown for a few seconds; a later notice replaces it at once.
    void showNotice(const QString& text);
    // Shown whenever no notice is; empty for none.
    void setStanding(const QString& text);
    [[nodiscard]] bool noticeShown() const;

  private:
    void showCurrent();

    QTimer* m_timer;
    QString m_notice;
    QString m_standing;
};

}  // namespace velmora::frame
