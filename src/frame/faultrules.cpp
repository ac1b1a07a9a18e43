#include "frame/faultrules.h"

#include "shell/faulttable.h"

namespace velmora::shell {

namespace {
// Faults 0..63 are the drive's documented range: a popup for any of them is
// shown (with the previous texts when the number has none); a larger number
// opens one only when the table knows it.
constexpr unsigned kDocumentedFaults = 64;
}  // namespace

FaultAction FaultTracker::evaluate(std::uint8_t faultClass, std::uint8_t number) {
    FaultAction action;
    if (faultClass == 0) {
        m_shown.reset();
        action.clearAll = true;
        return action;
    }
    if (m_shown.test(number) && faultClass != 3) return action;
    m_shown.set(number);
    action.stopRunIn = true;
    action.showPopup = number < kDocumentedFaults || findFault(number) != nullptr;
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

}  // namespace velmora::shell
