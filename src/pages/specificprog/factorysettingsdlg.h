#pragma once
// Asks before the drive is told to load its factory settings.
#include <QDialog>

#include "model/drivegate.h"

class QLabel;
class QPushButton;

namespace velmora::pages {

class CFactorySettingsDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CFactorySettingsDlg(model::DriveGate& gate, QWidget* parent = nullptr);
    void applyTexts();
    // OK: one LoadFactorySettings, then the question closes; refused (and
    // OK greyed out) while the drive reports the motor turning.
    void confirm();
    void setMotorRunning(bool running);

  private:
    model::DriveGate& m_gate;
    QLabel* m_message = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_motorRunning = false;
};

}  // namespace velmora::pages
