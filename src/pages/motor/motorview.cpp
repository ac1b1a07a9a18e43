#include "pages/motor/motorview.h"

#include <array>

namespace velmora::pages {

MotorTypeLayout LayoutForMotorType(int selection) {
    // Only an asynchronous motor runs along the V/f characteristic; no motor
    // and test operation have nothing to configure here.
    static const std::array<MotorTypeLayout, kMotorTypeCount> kLayouts{{
        {true, false, false, false, false, false, std::nullopt, MotorView::NoMotor},
        {true, true, true, false, true, true, true, MotorView::Asynchronous},
        {true, true, false, true, false, true, false, MotorView::Bldc},
        {true, true, false, true, false, true, false, MotorView::BldcWithSensor},
        {true, false, false, false, false, false, std::nullopt, MotorView::TestOperation},
    }};
    if (selection < 0 || selection >= kMotorTypeCount) return {};
    return kLayouts[static_cast<std::size_t>(selection)];
}

}  // namespace velmora::pages
