#pragma once
// The main window's modeless fault popup: a headline ("Fault 3") and the
// fault's text. OK hides it; the main window shows it again.
#include <QDialog>

#include "shell/fontset.h"

class QLabel;

namespace velmora::shell {

class FaultPopup : public QDialog {
    Q_OBJECT
  public:
    explicit FaultPopup(QWidget* parent = nullptr);
    // Takes the texts of a fault number from the fault table. A number
    // without an entry is shown with its class, its number and a text saying
    // so: never with the texts of an earlier fault.
    void setFault(unsigned number, unsigned faultClass = 0);
    [[nodiscard]] QString headline() const;
    [[nodiscard]] QString faultText() const;

  private:
    FontSet m_fonts;
    QLabel* m_headline;
    QLabel* m_faultText;
};

}  // namespace velmora::shell
