#pragma once
// CAsmParaDlg: limits, ramps, braking and fixed frequencies of an
// asynchronous motor.
#include "pages/motor/limitspanel.h"

namespace velmora::pages {

class CAsmParaDlg : public LimitsPanel {
    Q_OBJECT
  public:
    CAsmParaDlg(QWidget* parent, model::DriveData& data);
    void setOperationAllowed(bool allowed) override;

  private:
    NumberRow* m_minFrequency = nullptr;
    ChoiceRow* m_maxFrequencyList = nullptr;
};

}  // namespace velmora::pages
