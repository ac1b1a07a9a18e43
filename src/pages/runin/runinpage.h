#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CRunInPage : public shell::Page {
    Q_OBJECT
public:
    explicit CRunInPage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabrunin"; }
    // A fault or a lost link ends a running program.
    void stopIfRunning();
};

}  // namespace velmora::pages
