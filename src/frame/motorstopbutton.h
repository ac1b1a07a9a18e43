#pragma once
// The Stop that is always there: a button in the status bar, beside the
// fault indicator, and its key F12, which works in every window of the
// program. Either one asks the owner to stop the motor while the button is
// enabled.
#include <QPushButton>

namespace velmora::frame {

class MotorStopButton : public QPushButton {
    Q_OBJECT
  public:
    static constexpr Qt::Key kKey = Qt::Key_F12;

    explicit MotorStopButton(QWidget* parent = nullptr);
    void applyTexts();

  signals:
    void stopRequested();
};

}  // namespace velmora::frame
