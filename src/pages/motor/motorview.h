#pragma once
// The motor page's views and what each motor type shows. Qt-free.
#include <optional>

namespace velmora::pages {

// 0..4 follow the motor type list (p90); 5 and 6 are the page's two sub-views.
enum class MotorView {
    NoMotor = 0,
    Asynchronous = 1,
    Bldc = 2,
    BldcWithSensor = 3,
    TestOperation = 4,
    Characteristic = 5,
    ControlParameters = 6,
};

inline constexpr int kMotorTypeCount = 5;

// What applying a motor type list selection does to the main view.
struct MotorTypeLayout {
    bool changes = false;  // false: no selection, nothing changes
    bool ratedValues = false;
    bool asynchronousPanel = false;
    bool bldcPanel = false;
    bool characteristicButton = false;
    bool controlParameterButton = false;
    std::optional<bool> asynchronousControlRows;  // empty: left as they are
    MotorView view = MotorView::NoMotor;
};

// selection is the list's entry (0..4) or -1 for none.
[[nodiscard]] MotorTypeLayout LayoutForMotorType(int selection);

}  // namespace velmora::pages
