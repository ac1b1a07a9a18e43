#include "pages/motor/asmparadlg.h"

#include "pages/motor/paramrows.h"

namespace velmora::pages {

CAsmParaDlg::CAsmParaDlg(QWidget* parent, model::DriveData& data)
    : LimitsPanel(parent, data, CurrentPanel::Asynchronous) {
    setObjectName(QStringLiteral("asmParaPanel"));
    m_minFrequency = addNumber(FrequencyRow(41, 30, 100), "p41");
    m_maxFrequencyList = addMaxFrequency();
    addMaxCurrent(0.0);
    addNumber(RampRow(46), "p46");
    addNumber(RampRow(47), "p47");
    addStopRamp();
    addChoice(50, {"standard", "catchpoweron", "catchalways"});
    addOffOrChoose(RealRow(55, 0.1, 0, 120, "sec"), "dcbrakeoff");
    addNumber(RealRow(56, 0.1, 0.1, 10, "a"), "p56");
    addOffOrChoose(RealRow(57, 0.1, 0.1, 3, "a"), "off");
    addChoice(58, {"inactive", "onnetoff"});
    addFixedFrequencies();
}

void CAsmParaDlg::setOperationAllowed(bool allowed) {
    m_minFrequency->setEnabled(allowed);
    m_maxFrequencyList->setEnabled(allowed);
}

}  // namespace velmora::pages
