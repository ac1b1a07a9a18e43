#pragma once
// Operating values, error counters and operating hours, refreshed on every
// polling cycle; after a severe fault, the values the drive held at the fault.
#include <vector>

#include "pages/report/reportrows.h"
#include "shell/fontset.h"
#include "shell/page.h"

class QGridLayout;
class QLabel;
class QPushButton;

namespace velmora::shell {
class HelpNoteViewer;
}

namespace velmora::pages {

class CReportPage : public shell::Page {
    Q_OBJECT
  public:
    explicit CReportPage(model::DriveData& data, QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "taboperatingvalues"; }

    void refresh() override;
    void applyTexts() override;
    // Blanks the values, unless they are the ones the drive held at a severe
    // fault: those stay true without a link.
    void linkLost() override;
    // After a severe fault: show the values the drive held (parameters 151..155).
    // Stays on for the rest of the run.
    void enterHoldStorage();

  protected:
    void pageShown() override;

  private:
    struct RowWidgets {
        const ReportRow* row;
        QLabel* label;
        QLabel* value;
        QLabel* unit;  // nullptr for rows without a unit
    };

    void addRows(std::span<const ReportRow> rows, QGridLayout* grid, int firstRow);

    bool m_holdStorage = false;
    shell::FontSet m_fonts;
    const char* m_speedUnitKey = "hz";
    std::vector<RowWidgets> m_rows;
    QLabel* m_operatingHeading = nullptr;
    QLabel* m_errorsHeading = nullptr;
    QLabel* m_hoursHeading = nullptr;
    QLabel* m_statusLine = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_noteButton = nullptr;
    shell::HelpNoteViewer* m_helpViewer = nullptr;
    shell::HelpNoteViewer* m_noteViewer = nullptr;
};

}  // namespace velmora::pages
