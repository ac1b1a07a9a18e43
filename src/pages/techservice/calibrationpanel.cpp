#include "pages/techservice/calibrationpanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/commands.h"
#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/techservice/fieldrules.h"
#include "pages/techservice/techquestions.h"
#include "shell/prompter.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace {

struct CalibrationField {
    const char* key;
    int column;
    int row;
};
// Wire order; the first five stand on the left with a gap after the second.
constexpr std::array<CalibrationField, CalibrationPanel::kCount> kCalibrationFields{{
    {"calain1", 0, 0},
    {"calain2", 0, 1},
    {"caluub", 0, 3},
    {"caluvb", 0, 4},
    {"caluwb", 0, 5},
    {"caluwr", 1, 0},
    {"calur", 1, 1},
    {"caliwrm", 1, 2},
    {"caliwrb", 1, 3},
}};

}  // namespace

CalibrationPanel::CalibrationPanel(model::DriveGate& gate, QWidget* parent)
    : TechPanel(gate, "modifycalvalues", link::PollMode::Calibration, model::code::CalibrationReply,
                parent) {
    setObjectName(QStringLiteral("calibrationPanel"));
    auto* grid = new QGridLayout;
    grid->setRowMinimumHeight(2, 12);
    for (std::size_t i = 0; i < kCount; ++i) {
        const CalibrationField& field = kCalibrationFields[i];
        m_labels[i] = new QLabel(this);
        m_fields[i] = new StepEdit(this);
        m_fields[i]->setObjectName(QStringLiteral("cal_") + QLatin1String(field.key));
        m_fields[i]->setFieldText(QStringLiteral("0"));
        fonts().apply(m_labels[i], shell::FontSet::Normal);
        fonts().apply(m_fields[i], shell::FontSet::Normal);
        grid->addWidget(m_labels[i], field.row, field.column * 2);
        grid->addWidget(m_fields[i], field.row, field.column * 2 + 1);
        connect(m_fields[i], &StepEdit::editingFinished, this, [this, i] { commit(i); });
        m_fields[i]->onStep([this, i](int direction) { step(i, direction); });
    }
    m_send = new QPushButton(this);
    m_send->setObjectName(QStringLiteral("calibrationSendButton"));
    fonts().apply(m_send, shell::FontSet::Normal);
    grid->addWidget(m_send, 6, 3);
    body()->addLayout(grid);
    connect(m_send, &QPushButton::clicked, this, &CalibrationPanel::sendValues);
}

void CalibrationPanel::applyTexts() {
    TechPanel::applyTexts();
    for (std::size_t i = 0; i < kCount; ++i)
        m_labels[i]->setText(shell::T(kCalibrationFields[i].key));
    m_send->setText(shell::T("sendbutton"));
}

// The field rule is the answer to typing: a value the drive sent (it may be
// above 10000) goes back unchanged unless the user typed over it.
std::optional<std::uint32_t> CalibrationPanel::commit(std::size_t field) {
    const std::optional<std::uint32_t> typed = AcceptUnsigned(m_fields[field], m_values[field]);
    if (!typed) return std::nullopt;
    if (!m_fields[field]->edited()) return m_values[field] = *typed;
    m_values[field] = techservice::CommitLow16(*typed, techservice::kMaxCalibration);
    m_fields[field]->setFieldText(UnsignedText(m_values[field]));
    return m_values[field];
}

void CalibrationPanel::step(std::size_t field, int direction) {
    const std::optional<std::uint32_t> typed = AcceptUnsigned(m_fields[field], m_values[field]);
    if (!typed) return;
    m_values[field] = techservice::StepBounded(*typed, direction, techservice::kMaxCalibration);
    m_fields[field]->setFieldText(UnsignedText(m_values[field]));
}

// An edited value goes out as its field rule leaves it (0..10000), also when
// the field still has the focus; every other value as it was read.
void CalibrationPanel::sendValues() {
    if (!shell::prompter().confirm(this, techservice::CalibrationQuestion())) return;
    std::array<std::uint32_t, kCount> values{};
    for (std::size_t i = 0; i < kCount; ++i) {
        const std::optional<std::uint32_t> value = commit(i);
        if (!value) return;  // refused and said why: none of the nine goes out
        values[i] = *value;
    }
    gate().send(model::BuildWriteCalibration(values));
}

void CalibrationPanel::takeReply(link::Telegram& reply) {
    std::array<std::uint32_t, kCount> values{};
    if (model::ParseCalibration(reply, values) != 0) return;
    m_values = values;
    for (std::size_t i = 0; i < kCount; ++i) m_fields[i]->setFieldText(UnsignedText(values[i]));
}

}  // namespace velmora::pages
