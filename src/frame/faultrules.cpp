#include "frame/faultrules.h"

namespace velmora::frame {

bool MotorMayTurn(std::uint8_t d0, std::uint8_t d1) {
    return (d1 & 0x01) == 0 || (d0 & 0x05) != 0;
}

FaultAction FaultTracker::evaluate(std::uint8_t faultClass, std::uint8_t number) {
    FaultAction action;
    if (faultClass == 0) {
        m_shown.reset();
        // A severe fault after this one is a new event and is told again.
        m_generalErrorShown = false;
        action.clearAll = true;
        return action;
    }
    if (m_shown.test(number) && faultClass != 3) return action;
    m_shown.set(number);
    action.stopRunIn = true;
    // Every number has texts: one without a table entry says it is not
    // described, so a severe fault never passes without a popup.
    action.showPopup = true;
    switch (faultClass) {
        case 1:
            action.popup = FaultPopupSlot::A;
            break;
        case 2:
            action.popup = FaultPopupSlot::B;
            break;
        case 3:
            if (!m_generalErrorShown) {
                m_generalErrorShown = true;
                action.popup = FaultPopupSlot::General;
                action.generalErrorSequence = true;
            }
            break;
        default:
            break;
    }
    if (action.popup == FaultPopupSlot::None) action.showPopup = false;
    return action;
}

}  // namespace velmora::frame
