#pragma once
// CBldcParaDlg: limits, ramps, braking and fixed frequencies of a brushless
// DC motor.
#include "pages/motor/limitspanel.h"

namespace velmora::pages {

class CBldcParaDlg : public LimitsPanel {
    Q_OBJECT
  public:
    CBldcParaDlg(QWidget* parent, model::DriveData& data);
    void setOperationAllowed(bool allowed) override;

  private:
    ChoiceRow* m_maxFrequencyList = nullptr;
    NumberRow* m_startFrequency = nullptr;
    NumberRow* m_commutationTime = nullptr;
};

}  // namespace velmora::pages
