#include "pages/motor/bldcparadlg.h"

#include "pages/motor/paramrows.h"

namespace velmora::pages {

CBldcParaDlg::CBldcParaDlg(QWidget* parent, model::DriveData& data)
    : LimitsPanel(parent, data, CurrentPanel::Bldc) {
    setObjectName(QStringLiteral("bldcParaPanel"));
    m_maxFrequencyList = addMaxFrequency();
    addMaxCurrent(0.5);
    addNumber(RampRow(46), "p46");
    addNumber(RampRow(47), "p47");
    addStopRamp();
    addHoldTime();
    addNumber(RealRow(52, 0.1, 0.5, 16, "a"), "p52");
    m_startFrequency = addNumber(FrequencyRow(53, 1, 30), "p53");
    m_commutationTime = addNumber(IntegerRow(54, 200, 1000, "usec"), "p54");
    addOffOrChoose(RealRow(57, 0.1, 0.1, 3, "a"), "off");
    addChoice(58, {"inactive", "onnetoff"});
    addFixedFrequencies();
}

void CBldcParaDlg::setOperationAllowed(bool allowed) {
    m_maxFrequencyList->setEnabled(allowed);
    m_startFrequency->setEnabled(allowed);
    m_commutationTime->setEnabled(allowed);
}

}  // namespace velmora::pages
