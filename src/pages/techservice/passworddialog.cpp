#include "pages/techservice/passworddialog.h"

#include <QLineEdit>

namespace velmora::pages {

CPasswordDlg::CPasswordDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("passwordDialog");
    m_input = new QLineEdit(this);
    m_input->setEchoMode(QLineEdit::Password);
}

void CPasswordDlg::applyTexts() {}

void CPasswordDlg::open() {
    m_input->clear();
    show();
}

}  // namespace velmora::pages
