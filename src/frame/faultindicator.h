#pragma once
// The fault shown in the status bar beside the connection lamp: class,
// number and short text in the colour of the class, for as long as the
// drive's status reports it (a dismissed popup does not hide it).
#include <QLabel>

namespace velmora::frame {

class FaultIndicator : public QLabel {
    Q_OBJECT
  public:
    explicit FaultIndicator(QWidget* parent = nullptr);
    // Class 0 hides the indicator; any other class shows the fault.
    void showStatus(unsigned faultClass, unsigned number);
    // Grey, with text: nothing is known about a fault without the link. The
    // next status shows the fault again.
    void showLinkLost(const QString& text);
    [[nodiscard]] bool linkLostShown() const { return m_linkLost; }
    [[nodiscard]] unsigned faultClass() const { return m_faultClass; }
    [[nodiscard]] unsigned number() const { return m_number; }

  private:
    unsigned m_faultClass = 0;
    unsigned m_number = 0;
    bool m_linkLost = false;
};

}  // namespace velmora::frame
