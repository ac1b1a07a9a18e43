#pragma once
// Asks whether to open the actuator and sensor test; OK tells the owner
// window (WM_SHOW_SPECIFICPROG) and closes the popup.
#include <QDialog>

#include "link/messages.h"
#include "shell/fontset.h"

namespace velmora::shell {

class TestQuestionPopup : public QDialog {
    Q_OBJECT
  public:
    // owner receives WM_SHOW_SPECIFICPROG; nullptr posts nothing.
    explicit TestQuestionPopup(link::MessageTarget* owner, QWidget* parent = nullptr);

  private:
    void confirmed();

    FontSet m_fonts;
    link::MessageTarget* m_owner;
};

}  // namespace velmora::shell
