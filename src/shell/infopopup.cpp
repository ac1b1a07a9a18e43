#include "shell/infopopup.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/textcatalog.h"

namespace velmora::shell {

InfoPopup::InfoPopup(QWidget* parent) : QDialog(parent), m_message(new QLabel(this)) {
    loadCatalog();
    m_message->setObjectName("messageText");
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMinimumSize(262, 70);
    auto* ok = new QPushButton(T("okbutton"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->setCenterButtons(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addWidget(buttons);
    m_fonts.apply(m_message, FontSet::Normal);
    m_fonts.apply(ok, FontSet::Normal);
}

void InfoPopup::setMessage(const QString& text) {
    m_message->setText(text);
}

}  // namespace velmora::shell
