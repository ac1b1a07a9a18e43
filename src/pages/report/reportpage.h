#pragma once
#include "shell/page.h"

namespace velmora::pages {

class CReportPage : public shell::Page {
    Q_OBJECT
public:
    explicit CReportPage(QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "taboperatingvalues"; }
    // After a severe fault: show the values the drive held (parameters 151..155).
    void enterHoldStorage();
};

}  // namespace velmora::pages
