#pragma once
// The connection lamp and its text in the lower right corner of the main
// window. It spans the window's full width along the bottom edge, so its own
// right and bottom edges are those of the window's client area.
#include <QRect>
#include <QString>
#include <QWidget>

namespace velmora::frame {

struct IndicatorGeometry {
    QRect lamp;  // the 15 x 6 picture (frame included)
    QRect text;  // the rectangle the state text is aligned in
};

// Where lamp and text go in a client area of the given size at a scale of
// logical DPI / 96.
[[nodiscard]] IndicatorGeometry IndicatorGeometryFor(QSize client, double scale);

class StatusIndicator : public QWidget {
    Q_OBJECT
  public:
    explicit StatusIndicator(QWidget* parent = nullptr);

    void setTexts(const QString& connected, const QString& disconnected);
    void setConnected(bool connected);
    [[nodiscard]] bool connectedShown() const { return m_connected; }
    [[nodiscard]] QSize sizeHint() const override;

    static QColor lampColour(bool connected);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    [[nodiscard]] double scale() const;

    QString m_connectedText;
    QString m_disconnectedText;
    bool m_connected = false;
};

}  // namespace velmora::frame
