#include "pages/common/passworddlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/common/accesscode.h"
#include "shell/fontset.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

CPasswordDlg::CPasswordDlg(shell::FrameChannel frame, QWidget* parent)
    : QDialog(parent), m_frame(std::move(frame)) {
    setObjectName("passwordDialog");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_prompt = new QLabel(this);
    m_prompt->setObjectName("passwordPrompt");
    m_input = new QLineEdit(this);
    m_input->setObjectName("passwordInput");
    m_input->setEchoMode(QLineEdit::Password);
    m_ok = new QPushButton(this);
    m_ok->setObjectName("passwordOkButton");
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName("passwordCancelButton");
    m_refusal = new QLabel(this);
    m_refusal->setObjectName("passwordRefusal");
    m_refusal->hide();
    layout->addWidget(m_prompt);
    layout->addWidget(m_input);
    layout->addWidget(m_refusal);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CPasswordDlg::check);
    connect(m_cancel, &QPushButton::clicked, this, &CPasswordDlg::reject);
    applyTexts();
}

void CPasswordDlg::applyTexts() {
    shell::FontSet fonts;
    for (QWidget* w : std::initializer_list<QWidget*>{m_prompt, m_input, m_refusal, m_ok, m_cancel})
        fonts.apply(w, shell::FontSet::Normal);
    setWindowTitle(shell::T("techservice"));
    m_prompt->setText(shell::T("passwordrequest"));
    m_refusal->setText(shell::T("wrongaccesscode"));
    m_ok->setText(shell::T("okbutton"));
    m_cancel->setText(shell::T("cancelbutton"));
}

void CPasswordDlg::open() {
    m_input->clear();
    m_refusal->hide();
    show();
    raise();
    activateWindow();
    m_input->setFocus();
}

// A wrong code says so and leaves the panel open for another try.
void CPasswordDlg::check() {
    const bool granted = IsAccessCode(m_input->text().toStdString());
    m_input->clear();
    if (!granted) {
        m_refusal->show();
        m_input->setFocus();
        return;
    }
    m_refusal->hide();
    hide();
    m_frame.post(shell::TechPageVisibility{true});
}

// The input never outlives the panel, however it is closed.
void CPasswordDlg::done(int result) {
    m_input->clear();
    QDialog::done(result);
}

}  // namespace velmora::pages
