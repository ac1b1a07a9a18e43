#include "shell/confirmpopup.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/textcatalog.h"

namespace velmora::shell {

ConfirmPopup::ConfirmPopup(QWidget* parent) : QDialog(parent), m_message(new QLabel(this)) {
    loadCatalog();
    m_message->setObjectName("messageText");
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMinimumSize(262, 68);
    auto* ok = new QPushButton(T("okbutton"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton(T("cancelbutton"), this);
    cancel->setObjectName("cancelButton");
    connect(ok, &QPushButton::clicked, this, [this] { done(kOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    buttons->setCenterButtons(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addWidget(buttons);
    for (QWidget* control : {static_cast<QWidget*>(m_message), static_cast<QWidget*>(ok),
                             static_cast<QWidget*>(cancel)}) {
        m_fonts.apply(control, FontSet::Normal);
    }
}

void ConfirmPopup::setMessage(const QString& text) {
    m_message->setText(text);
}

int ConfirmPopup::ask() {
    return exec() == kOk ? kOk : kCancel;
}

void ConfirmPopup::reject() {
    done(kCancel);
}

}  // namespace velmora::shell
