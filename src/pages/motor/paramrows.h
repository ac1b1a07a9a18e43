#pragma once
// The rows the motor panels are built from: a number field bound to one
// parameter of the working copy, and a choice list whose entry index is a
// parameter's list value or selects a special value.
#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "model/drivedata.h"
#include "pages/motor/motorpolicy.h"

class QComboBox;
class QGridLayout;
class QLabel;

namespace velmora::pages {

class StepEdit;
using SpinField = StepEdit;

class NumberRow : public QObject {
    Q_OBJECT
  public:
    // labelKey may be empty for a field without its own label.
    NumberRow(QWidget* panel, model::DriveData& data, const NumberSpec& spec, const char* labelKey);

    // Label, field and unit text in columns column .. column + 2; fieldColumn
    // moves field and unit right, under the fields of rows with a list.
    void addTo(QGridLayout* grid, int row, int column = 0, int fieldColumn = -1);

    // Writes the field from the working copy (no clamping).
    void load();
    // Parses the field, clamps to the typed range, stores, shows the stored
    // value and then runs the after-change rule.
    void commit();
    // One spin step from the field's text, clamped to the spin range.
    void step(int direction);
    // Shows a stored-unit value without storing it (a disabled field's "0.0").
    void showValue(double value);

    void setRange(NumberRange range);  // typed and spin range together
    void setTypedRange(NumberRange range) { m_spec.typed = range; }
    void setSpinRange(NumberRange range) { m_spec.spin = range; }
    // Called before each commit or step: rows whose range follows other
    // parameters (the fixed frequencies) set it here.
    void setRangeSource(std::function<NumberRange()> source) { m_rangeSource = std::move(source); }
    void setAfterChange(std::function<void()> rule) { m_afterChange = std::move(rule); }

    void setEnabled(bool enabled);
    void setVisible(bool visible);
    // Frequency rows: parameter 8's list index picks "hz" or "rpm"; other
    // values leave the unit text as it was.
    void setSpeedUnit(std::uint32_t speedUnitChoice);
    void applyTexts();

    [[nodiscard]] SpinField* field() const { return m_field; }
    [[nodiscard]] QLabel* label() const { return m_label; }
    [[nodiscard]] QLabel* unit() const { return m_unit; }
    [[nodiscard]] const NumberSpec& spec() const { return m_spec; }
    [[nodiscard]] QString text() const;

  private:
    [[nodiscard]] bool rpm() const;
    void store(double value);
    void storeOrRefuse(std::optional<double> value);

    model::DriveData& m_data;
    NumberSpec m_spec;
    std::string m_labelKey;
    std::string m_unitKey;
    QLabel* m_label = nullptr;
    SpinField* m_field = nullptr;
    QLabel* m_unit = nullptr;
    std::function<NumberRange()> m_rangeSource;
    std::function<void()> m_afterChange;
};

class ChoiceRow : public QObject {
    Q_OBJECT
  public:
    ChoiceRow(QWidget* panel, const char* labelKey, const char* objectName,
              std::initializer_list<const char*> entryKeys);

    void addTo(QGridLayout* grid, int row, int column = 0);
    // Called with the entry the user picked (not for select()).
    void setOnPicked(std::function<void(int)> handler) { m_onPicked = std::move(handler); }

    // Selects index; false (and no selection) when index is not an entry.
    bool select(long long index);
    [[nodiscard]] int selected() const;
    [[nodiscard]] int count() const;
    void setEnabled(bool enabled);
    void setVisible(bool visible);
    void applyTexts();

    [[nodiscard]] QComboBox* list() const { return m_list; }
    [[nodiscard]] QLabel* label() const { return m_label; }

  private:
    std::string m_labelKey;
    std::vector<std::string> m_entryKeys;
    QLabel* m_label = nullptr;
    QComboBox* m_list = nullptr;
    std::function<void(int)> m_onPicked;
};

}  // namespace velmora::pages
