#pragma once
// An edit field with up/down arrows whose steps the owner computes: the drive
// tool's edit-plus-spin pair, where the spin's own position is never used and
// each step is derived from the text in the field. Text stays free-form (the
// owner parses it when the field loses the focus).
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <functional>
#include <utility>

namespace velmora::pages {

class StepEdit : public QAbstractSpinBox {
  public:
    explicit StepEdit(QWidget* parent = nullptr) : QAbstractSpinBox(parent) {
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setKeyboardTracking(false);
        setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    }

    // delta is +1 per step up, -1 per step down.
    void onStep(std::function<void(int)> handler) { m_onStep = std::move(handler); }

    [[nodiscard]] QString fieldText() const { return lineEdit()->text(); }
    // Text set here counts as shown, not as edited by the user.
    void setFieldText(const QString& text) { lineEdit()->setText(text); }
    // The user typed into the field since its text was last set.
    [[nodiscard]] bool edited() const { return lineEdit()->isModified(); }

    // One notification is one step of the owner's rule, however many the
    // toolkit asks for (Page Up asks for ten): each step writes to the drive.
    void stepBy(int steps) override {
        if (!m_onStep || steps == 0) return;
        m_onStep(steps > 0 ? 1 : -1);
    }

  protected:
    [[nodiscard]] StepEnabled stepEnabled() const override {
        if (!isEnabled() || isReadOnly()) return StepNone;
        return StepUpEnabled | StepDownEnabled;
    }

  private:
    std::function<void(int)> m_onStep;
};

}  // namespace velmora::pages
