#include "pages/motor/motorpanel.h"

#include "pages/motor/paramrows.h"

namespace velmora::pages {

bool MotorPanel::selectStored(ChoiceRow& row, int parameter) {
    if (!row.select(m_data.GetChoice(parameter))) return false;
    m_data.SetChoice(parameter, static_cast<std::uint32_t>(row.selected()));
    return true;
}

}  // namespace velmora::pages
