#pragma once
// The technician access panel: a small window of its own, shown over the
// specific-programming page without blocking it. The right code posts
// WM_TECHPAGE_VISIBILITY 0 to the main window.
#include <QDialog>

#include "link/messages.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::pages {

class CPasswordDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    void setFrame(link::MessageTarget* frame) { m_frame = frame; }
    void applyTexts();
    // Opens the panel with an empty input field.
    void open() override;
    // The OK button: compare, clear, close.
    void check();
    void done(int result) override;

  private:
    link::MessageTarget* m_frame = nullptr;
    QLabel* m_prompt = nullptr;
    QLabel* m_refusal = nullptr;  // says a wrong code was typed
    QLineEdit* m_input = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace velmora::pages
