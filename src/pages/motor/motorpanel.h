#pragma once
// Common ground of the motor page's child panels: they edit the working copy
// of the drive data and fill themselves from it whenever they become visible.
#include <QShowEvent>
#include <QWidget>

#include "model/drivedata.h"

namespace velmora::pages {

class ChoiceRow;

class MotorPanel : public QWidget {
    Q_OBJECT
  public:
    MotorPanel(QWidget* parent, model::DriveData& data) : QWidget(parent), m_data(data) {}

    virtual void refresh() = 0;
    virtual void applyTexts() = 0;

  protected:
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        // Placed without a layout by the page: grow to the texts of this language.
        resize(size().expandedTo(sizeHint()));
        if (!event->spontaneous()) refresh();
    }

    // Selects the list entry of the parameter's list value and stores it
    // back; a value that is no entry leaves the list empty and the stored
    // value untouched, so it is never replaced by a guess.
    bool selectStored(ChoiceRow& row, int parameter);

    model::DriveData& m_data;
};

}  // namespace velmora::pages
