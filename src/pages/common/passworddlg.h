#pragma once
// The technician access panel: a small window of its own, shown over the
// specific-programming page without blocking it. The right code posts
// WM_TECHPAGE_VISIBILITY 0 to the main window.
#include <QDialog>

#include "shell/framechannel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::pages {

class CPasswordDlg : public QDialog {
    Q_OBJECT
  public:
    // frame receives WM_TECHPAGE_VISIBILITY.
    explicit CPasswordDlg(shell::FrameChannel frame, QWidget* parent = nullptr);
    void applyTexts();
    // Opens the panel with an empty input field.
    void open() override;
    // The OK button: compare, clear, close.
    void check();
    void done(int result) override;

  private:
    shell::FrameChannel m_frame;
    QLabel* m_prompt = nullptr;
    QLabel* m_refusal = nullptr;  // says a wrong code was typed
    QLineEdit* m_input = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace velmora::pages
