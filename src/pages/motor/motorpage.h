#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CMotorPage : public shell::Page {
    Q_OBJECT
public:
    explicit CMotorPage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabmotorparameters"; }

};

}  // namespace velmora::pages
