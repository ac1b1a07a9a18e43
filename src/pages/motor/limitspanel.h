#pragma once
// What the asynchronous and the BLDC limits panels share: rows built in
// order, each with its own refresh step, and the special-value lists of the
// maximum frequency, maximum current, stop ramp and the off/choose rows.
#include <functional>
#include <vector>

#include "pages/motor/motorpanel.h"
#include "pages/motor/motorpolicy.h"

class QGridLayout;
class QLabel;

namespace velmora::pages {

class ChoiceRow;
class NumberRow;

class LimitsPanel : public MotorPanel {
    Q_OBJECT
  public:
    void refresh() override;
    void applyTexts() override;
    virtual void setOperationAllowed(bool allowed) = 0;

    // Entries of the lists with a number field.
    enum : int { kFollow = 0, kChoose = 1 };

  protected:
    LimitsPanel(QWidget* parent, model::DriveData& data, CurrentPanel currentPanel);

    NumberRow* addNumber(const NumberSpec& spec, const char* labelKey);
    ChoiceRow* addChoice(int parameter, std::initializer_list<const char*> entries);
    ChoiceRow* addMaxFrequency();
    void addMaxCurrent(double low);
    void addStopRamp();
    void addHoldTime();
    // p55 and p57: the first entry switches the function off (value 0).
    void addOffOrChoose(const NumberSpec& spec, const char* offKey);
    void addFixedFrequencies();

  private:
    void applyMaxFrequency(int entry);
    void applyMaxCurrent(int entry);
    void applyStopRamp(int entry, bool keepValue);
    void applyHoldTime(int entry, bool keepValue);
    void applyCurrentLimit();
    [[nodiscard]] int nextRow() { return m_rowCount++; }

    CurrentPanel m_currentPanel;
    QGridLayout* m_grid = nullptr;
    int m_rowCount = 0;
    std::vector<NumberRow*> m_numbers;
    std::vector<ChoiceRow*> m_choices;
    std::vector<std::function<void()>> m_refreshSteps;
    QLabel* m_fixedLabel = nullptr;

    NumberRow* m_maxFrequency = nullptr;
    ChoiceRow* m_maxFrequencyList = nullptr;
    NumberRow* m_maxCurrent = nullptr;
    ChoiceRow* m_maxCurrentList = nullptr;
    NumberRow* m_stopRamp = nullptr;
    ChoiceRow* m_stopRampList = nullptr;
    NumberRow* m_holdTime = nullptr;
    ChoiceRow* m_holdTimeList = nullptr;
    double m_maxCurrentLow = 0.0;
};

}  // namespace velmora::pages
