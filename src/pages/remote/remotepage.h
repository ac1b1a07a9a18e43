#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CRemotePage : public shell::Page {
    Q_OBJECT
public:
    explicit CRemotePage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabremotecontrol"; }

};

}  // namespace velmora::pages
