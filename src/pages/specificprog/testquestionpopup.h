#pragma once
// Asks whether to open the actuator and sensor test; OK tells the owner
// window (WM_SHOW_SPECIFICPROG) and closes the popup.
#include <QDialog>

#include "shell/fontset.h"
#include "shell/framechannel.h"

namespace velmora::pages {

class TestQuestionPopup : public QDialog {
    Q_OBJECT
  public:
    // owner receives WM_SHOW_SPECIFICPROG.
    explicit TestQuestionPopup(shell::FrameChannel owner, QWidget* parent = nullptr);

  private:
    void confirmed();

    shell::FontSet m_fonts;
    shell::FrameChannel m_owner;
};

}  // namespace velmora::pages
