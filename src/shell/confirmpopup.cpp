#include "shell/confirmpopup.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/textcatalog.h"

namespace velmora::shell {

ConfirmPopup::ConfirmPopup(QWidget* parent)
    : QDialog(parent),
      m_message(new QLabel(this)),
      m_ok(new QPushButton(this)),
      m_cancel(new QPushButton(this)) {
    loadCatalog();
    m_ok->setText(T("okbutton"));
    m_cancel->setText(T("cancelbutton"));
    m_message->setObjectName("messageText");
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMinimumSize(262, 68);
    m_ok->setObjectName("okButton");
    m_ok->setDefault(true);
    m_cancel->setObjectName("cancelButton");
    connect(m_ok, &QPushButton::clicked, this, [this] { done(kOk); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    buttons->setCenterButtons(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addWidget(buttons);
    for (QWidget* control : {static_cast<QWidget*>(m_message), static_cast<QWidget*>(m_ok),
                             static_cast<QWidget*>(m_cancel)}) {
        m_fonts.apply(control, FontSet::Normal);
    }
}

void ConfirmPopup::setMessage(const QString& text) {
    m_message->setText(text);
}

void ConfirmPopup::makeCancelDefault() {
    // A focused push button of a dialog becomes its default: the focus moves too.
    m_ok->setDefault(false);
    m_cancel->setDefault(true);
    m_cancel->setFocus();
}

int ConfirmPopup::ask() {
    return exec() == kOk ? kOk : kCancel;
}

void ConfirmPopup::reject() {
    done(kCancel);
}

}  // namespace velmora::shell
