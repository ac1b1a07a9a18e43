#include "pages/techservice/serialnumberpanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "pages/common/numbertext.h"
#include "pages/techservice/techquestions.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

SerialNumberPanel::SerialNumberPanel(model::DriveGate& gate, QWidget* parent)
    : TechPanel(gate, "modifyserialnumber", link::PollMode::SerialNumber, model::code::Group5A,
                parent) {
    setObjectName(QStringLiteral("serialNumberPanel"));
    auto* row = new QHBoxLayout;
    m_label = new QLabel(this);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("serialNumberEdit"));
    m_send = new QPushButton(this);
    m_send->setObjectName(QStringLiteral("serialSendButton"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_label, m_field, m_send})
        fonts().apply(w, shell::FontSet::Normal);
    row->addWidget(m_label);
    row->addWidget(m_field);
    row->addWidget(m_send);
    row->addStretch(1);
    body()->addLayout(row);
    connect(m_send, &QPushButton::clicked, this, &SerialNumberPanel::sendNumber);
}

void SerialNumberPanel::applyTexts() {
    TechPanel::applyTexts();
    m_label->setText(shell::T("serialnumber"));
    m_send->setText(shell::T("sendbutton"));
}

void SerialNumberPanel::opened() {
    m_readAwaited = true;
    TechPanel::opened();
}

void SerialNumberPanel::reopened() {
    m_readAwaited = true;
    TechPanel::reopened();
}

void SerialNumberPanel::display(std::uint32_t serial) {
    m_readAwaited = false;
    m_shown = serial;
    m_field->setText(UnsignedText(serial));
}

void SerialNumberPanel::showStored(std::uint32_t serial) {
    if (m_readAwaited || m_shown != serial) display(serial);
}

void SerialNumberPanel::takeReply(link::Telegram& reply) {
    std::array<std::uint32_t, 156> values{};
    if (reply.command != model::code::Group5A || model::ParseGroup(reply, values) != 0) return;
    display(values[param::kSerialNumber]);
}

// Text or a number out of range was once written as serial 0: now it is
// refused with a message, and a valid number is written only when confirmed.
void SerialNumberPanel::sendNumber() {
    const std::optional<std::uint32_t> serial = techservice::ParseSerialNumber(m_field->text());
    if (!serial) {
        shell::prompter().inform(this, techservice::SerialNumberRefusal());
        return;
    }
    m_field->setText(UnsignedText(*serial));
    if (!shell::prompter().confirm(this, techservice::SerialNumberQuestion(*serial))) return;
    gate().send(model::BuildWriteSerialNumber(*serial));
}

}  // namespace velmora::pages
