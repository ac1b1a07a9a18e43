#include "pages/techservice/memorypanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/techservice/fieldrules.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace {}

MemoryPanel::MemoryPanel(model::DriveGate& gate, QWidget* parent)
    : TechPanel(gate, "modifyeeprom", link::PollMode::Memory, kNoRead, parent) {
    setObjectName(QStringLiteral("memoryPanel"));
    auto* grid = new QGridLayout;
    m_addressLabel = new QLabel(this);
    m_address = new StepEdit(this);
    m_address->setObjectName(QStringLiteral("eepromAddressEdit"));
    m_address->setFieldText(QStringLiteral("0"));
    m_valueLabel = new QLabel(this);
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("eepromValueEdit"));
    m_value->setText(QStringLiteral("0"));
    m_load = new QPushButton(this);
    m_load->setObjectName(QStringLiteral("eepromLoadButton"));
    m_overwrite = new QPushButton(this);
    m_overwrite->setObjectName(QStringLiteral("eepromOverwriteButton"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_addressLabel, m_address, m_valueLabel,
                                                      m_value, m_load, m_overwrite})
        fonts().apply(w, shell::FontSet::Normal);
    grid->addWidget(m_addressLabel, 0, 0);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(m_load, 0, 2);
    grid->addWidget(m_valueLabel, 1, 0);
    grid->addWidget(m_value, 1, 1);
    grid->addWidget(m_overwrite, 1, 2);
    grid->setColumnStretch(3, 1);
    body()->addLayout(grid);

    connect(m_address, &StepEdit::editingFinished, this, [this] { committedAddress(); });
    m_address->onStep([this](int direction) { stepAddress(direction); });
    connect(m_load, &QPushButton::clicked, this, &MemoryPanel::readWord);
    connect(m_overwrite, &QPushButton::clicked, this, &MemoryPanel::writeWord);
}

void MemoryPanel::applyTexts() {
    TechPanel::applyTexts();
    m_addressLabel->setText(shell::T("eepromaddress"));
    m_valueLabel->setText(shell::T("value"));
    m_load->setText(shell::T("loadbutton"));
    m_overwrite->setText(shell::T("overwritebutton"));
}

std::optional<std::uint16_t> MemoryPanel::committedAddress() {
    const std::optional<std::uint32_t> typed = AcceptUnsigned(m_address, m_addressValue);
    if (!typed) return std::nullopt;
    m_addressValue = static_cast<std::uint16_t>(
        techservice::CommitLow16(*typed, techservice::kMaxMemoryAddress));
    m_address->setFieldText(UnsignedText(m_addressValue));
    return m_addressValue;
}

void MemoryPanel::stepAddress(int direction) {
    const std::optional<std::uint32_t> typed = AcceptUnsigned(m_address, m_addressValue);
    if (!typed) return;
    m_addressValue = static_cast<std::uint16_t>(
        techservice::StepBounded(*typed, direction, techservice::kMaxMemoryAddress));
    m_address->setFieldText(UnsignedText(m_addressValue));
}

// Both directions use the address as its field rule leaves it, so no request
// ever names an address past the end of the memory.
void MemoryPanel::readWord() {
    if (const auto address = committedAddress()) gate().send(model::BuildReadEepromWord(*address));
}

void MemoryPanel::writeWord() {
    const auto address = committedAddress();
    if (!address) return;
    const QString text = m_value->text();
    const std::optional<std::uint32_t> value = TypedUnsigned(text);
    if (!value) {
        m_value->setText(UnsignedText(m_valueShown));
        RefuseTypedText(m_value, text);
        return;
    }
    m_valueShown = *value;
    gate().send(model::BuildWriteEepromWord(*address, *value));
}

void MemoryPanel::takeReply(link::Telegram& reply) {
    std::uint32_t value = 0;
    if (model::ParseEepromWord(reply, value) != 0) return;
    m_valueShown = value;
    m_value->setText(UnsignedText(value));
}

}  // namespace velmora::pages
