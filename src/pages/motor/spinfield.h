#pragma once
// An edit field with a spin button beside it. The spin position is never
// used: each arrow press asks the owner for the step, which is worked out
// from the text in the field, so the text stays free-form until it is
// committed.
#include <QAbstractSpinBox>
#include <QLineEdit>
#include <functional>
#include <utility>

namespace velmora::pages {

class SpinField : public QAbstractSpinBox {
  public:
    explicit SpinField(QWidget* parent = nullptr) : QAbstractSpinBox(parent) {
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        setKeyboardTracking(false);
    }

    // direction is +1 per step up, -1 per step down.
    void onStep(std::function<void(int)> handler) { m_onStep = std::move(handler); }

    [[nodiscard]] QString fieldText() const { return lineEdit()->text(); }
    void setFieldText(const QString& text) { lineEdit()->setText(text); }

    void stepBy(int steps) override {
        if (!m_onStep || steps == 0) return;
        const int direction = steps > 0 ? 1 : -1;
        for (int i = 0; i != steps; i += direction) m_onStep(direction);
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
