#pragma once
// CRatedValueDlg: the motor's rated values, pole count and temperature sensor.
#include "pages/motor/motorpanel.h"

namespace velmora::pages {

class ChoiceRow;
class NumberRow;

class CRatedValueDlg : public MotorPanel {
    Q_OBJECT
  public:
    CRatedValueDlg(QWidget* parent, model::DriveData& data);

    void refresh() override;
    void applyTexts() override;
    // The page locks the rated values while the drive does not allow changes.
    void setOperationAllowed(bool allowed);

  private:
    void applySensor(int entry);
    void applyCurrentLimit();

    NumberRow* m_ratedFrequency = nullptr;
    NumberRow* m_ratedVoltage = nullptr;
    NumberRow* m_ratedCurrent = nullptr;
    NumberRow* m_percentage = nullptr;
    ChoiceRow* m_poles = nullptr;
    ChoiceRow* m_sensor = nullptr;
    NumberRow* m_sensorResistance = nullptr;
};

}  // namespace velmora::pages
