#include "pages/techservice/invertervaluespanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "model/commands.h"
#include "pages/common/numbertext.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace {

struct InverterField {
    const char* key;
    int column;
    int row;
};
// Wire order of the reply; on screen two columns, the left with a gap.
constexpr std::array<InverterField, InverterValuesPanel::kCount> kInverterFields{{
    {"abparfrsoll", 0, 0},
    {"abparfrsollint", 0, 1},
    {"abparfrmotist", 0, 2},
    {"abiynregl", 1, 0},
    {"abiurist", 1, 1},
    {"abiuwrsoll", 1, 2},
    {"abparuwrist", 0, 4},
    {"abpariwrist", 0, 5},
    {"abiyibegrenzuwr", 1, 3},
    {"abiyspregl", 1, 4},
}};

}  // namespace

InverterValuesPanel::InverterValuesPanel(model::DriveGate& gate, QWidget* parent)
    : TechPanel(gate, "intinvertervalues", link::PollMode::InverterValues, kNoRead, parent) {
    setObjectName(QStringLiteral("inverterValuesPanel"));
    auto* grid = new QGridLayout;
    grid->setRowMinimumHeight(3, 12);
    for (std::size_t i = 0; i < kCount; ++i) {
        const InverterField& field = kInverterFields[i];
        m_labels[i] = new QLabel(this);
        m_values[i] = new QLineEdit(this);
        m_values[i]->setObjectName(QLatin1String(field.key) + QStringLiteral("Value"));
        m_values[i]->setReadOnly(true);
        fonts().apply(m_labels[i], shell::FontSet::Normal);
        fonts().apply(m_values[i], shell::FontSet::Normal);
        grid->addWidget(m_labels[i], field.row, field.column * 2);
        grid->addWidget(m_values[i], field.row, field.column * 2 + 1);
    }
    body()->addLayout(grid);
}

void InverterValuesPanel::applyTexts() {
    TechPanel::applyTexts();
    for (std::size_t i = 0; i < kCount; ++i) m_labels[i]->setText(shell::T(kInverterFields[i].key));
}

void InverterValuesPanel::takeReply(link::Telegram& reply) {
    std::array<std::uint16_t, kCount> values{};
    if (model::ParseInverterValues(reply, values) != 0) return;
    for (std::size_t i = 0; i < kCount; ++i) m_values[i]->setText(UnsignedText(values[i]));
}

}  // namespace velmora::pages
