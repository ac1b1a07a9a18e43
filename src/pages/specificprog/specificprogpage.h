#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CSpecificProgPage : public shell::Page {
    Q_OBJECT
public:
    explicit CSpecificProgPage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabspecificprog"; }
    // WM_SHOW_SPECIFICPROG: open the actuator and sensor test view.
    void showActuatorTest();
};

}  // namespace velmora::pages
