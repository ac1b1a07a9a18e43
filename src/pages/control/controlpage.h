#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CControlPage : public shell::Page {
    Q_OBJECT
public:
    explicit CControlPage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabcontrolpage"; }
    // WM_MOTOR_MODEL_CHOSEN / WM_MEMORY_SLOT_CHOSEN: show the loaded set's name.
    void showMotorModelName(int modelIndex);
    void showMemorySlotName(int slotIndex);
    // WM_RUNIN_ACTIVE mirrored here.
    void setRunInActive(bool active);
};

}  // namespace velmora::pages
