#pragma once
// The technician access panel: a small window of its own, shown over the
// specific-programming page without blocking it. The right code posts
// WM_TECHPAGE_VISIBILITY 0 to the main window.
#include <QDialog>

#include "link/messages.h"

class QLineEdit;

namespace velmora::pages {

class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    void setFrame(link::MessageTarget* frame) { m_frame = frame; }
    void applyTexts();
    // Opens the panel with an empty input field.
    void open();

private:
    link::MessageTarget* m_frame = nullptr;
    QLineEdit* m_input = nullptr;
};

}  // namespace velmora::pages
