#pragma once
// CCtrlParaDlg: the control parameters, the motor page's control-parameter
// view, with its own send and help buttons.
#include <vector>

#include "pages/motor/motorpanel.h"
#include "pages/motor/motorpolicy.h"

class QGridLayout;
class QLabel;
class QPushButton;

namespace velmora::pages {

class ChoiceRow;
class NumberRow;

class CCtrlParaDlg : public MotorPanel {
    Q_OBJECT
  public:
    CCtrlParaDlg(QWidget* parent, model::DriveData& data);

    void refresh() override;
    void applyTexts() override;
    // Rows p70..p73 belong to the asynchronous motor only.
    void setAsynchronousRowsVisible(bool visible);

    [[nodiscard]] QLabel* title() const { return m_title; }

  signals:
    // The panel's send button: the page writes its groups and reads them back.
    void sendRequested();
    // The panel's help button: the page opens the panel's help text.
    void helpRequested();

  private:
    // A list whose first entry fixes the value and whose second frees the field.
    struct SpecialRow {
        ChoiceRow* list = nullptr;
        NumberRow* field = nullptr;
        double fixedValue = 0.0;
    };
    SpecialRow addSpecial(const NumberSpec& spec, const char* fixedKey, double fixedValue);
    NumberRow* addNumber(const NumberSpec& spec);
    void applySpecial(const SpecialRow& row, int entry);
    [[nodiscard]] int nextRow() { return m_rowCount++; }

    QGridLayout* m_grid = nullptr;
    int m_rowCount = 0;

    QLabel* m_title = nullptr;
    QPushButton* m_sendButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    ChoiceRow* m_compensation = nullptr;  // p70
    SpecialRow m_p71, m_p72, m_p78, m_p80, m_p82, m_p83;
    NumberRow* m_p73 = nullptr;
    std::vector<NumberRow*> m_plainNumbers;  // p73, p77, p79, p81, p84
    std::vector<NumberRow*> m_numbers;
    std::vector<ChoiceRow*> m_choices;
};

}  // namespace velmora::pages
