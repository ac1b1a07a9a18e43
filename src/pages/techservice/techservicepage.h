#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CTechServicePage : public shell::Page {
    Q_OBJECT
public:
    explicit CTechServicePage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabtechservice"; }

};

}  // namespace velmora::pages
