#include "pages/motor/ctrlparadlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "pages/motor/paramrows.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

namespace {
constexpr int kFixed = 0;
constexpr int kChoose = 1;
constexpr std::uint32_t kNoIntegralPart = 1000;  // the drive's "no I part" marker
}  // namespace

CCtrlParaDlg::CCtrlParaDlg(QWidget* parent, model::DriveData& data) : MotorPanel(parent, data) {
    setObjectName(QStringLiteral("ctrlParaPanel"));
    auto* outer = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("ctrlParaTitle"));
    outer->addWidget(m_title);
    m_grid = new QGridLayout();
    outer->addLayout(m_grid);
    auto* buttons = new QHBoxLayout();
    m_sendButton = new QPushButton(this);
    m_sendButton->setObjectName(QStringLiteral("ctrlParaSendButton"));
    m_helpButton = new QPushButton(this);
    m_helpButton->setObjectName(QStringLiteral("ctrlParaHelpButton"));
    buttons->addWidget(m_sendButton);
    buttons->addWidget(m_helpButton);
    buttons->addStretch();
    outer->addLayout(buttons);
    outer->addStretch();

    m_compensation = new ChoiceRow(this, "p70", "p70List", {"vhztable", "ixr"});
    m_compensation->addTo(m_grid, nextRow());
    m_choices.push_back(m_compensation);
    m_compensation->setOnPicked([this](int entry) {
        m_data.SetChoice(param::kVoltageControl, static_cast<std::uint32_t>(entry));
    });
    m_p71 = addSpecial(RealRow(71, 0.01, 0, 10, "vpera", 2), "off", 0.0);
    m_p72 = addSpecial(RealRow(72, 0.1, 0, 40, "prozperaac"), "off", 0.0);
    m_p73 = addNumber(IntegerRow(73, 1, 1000, "msec"));
    addNumber(IntegerRow(77, 2, 200, "prozent"));
    m_p78 = addSpecial(IntegerRow(78, 1, 999, "msec"), "noipart", kNoIntegralPart);
    addNumber(IntegerRow(79, 5, 100, "prozent"));
    m_p80 = addSpecial(IntegerRow(80, 1, 999, "msec"), "noipart", kNoIntegralPart);
    addNumber(IntegerRow(81, 5, 500, "prozent"));
    m_p82 = addSpecial(IntegerRow(82, 5, 999, "msec"), "noipart", kNoIntegralPart);
    m_p83 = addSpecial(IntegerRow(83, 0, 300, "msec"), "nodpart", 0.0);
    addNumber(IntegerRow(84, 1, 300, "msec"));

    connect(m_sendButton, &QPushButton::clicked, this, &CCtrlParaDlg::sendRequested);
    connect(m_helpButton, &QPushButton::clicked, this, &CCtrlParaDlg::helpRequested);
}

NumberRow* CCtrlParaDlg::addNumber(const NumberSpec& spec) {
    const std::string key = "p" + std::to_string(spec.parameter);
    auto* row = new NumberRow(this, m_data, spec, key.c_str());
    row->addTo(m_grid, nextRow(), 0, 2);
    m_numbers.push_back(row);
    m_plainNumbers.push_back(row);
    return row;
}

CCtrlParaDlg::SpecialRow CCtrlParaDlg::addSpecial(const NumberSpec& spec, const char* fixedKey,
                                                  double fixedValue) {
    const std::string key = "p" + std::to_string(spec.parameter);
    const std::string name = key + "List";
    SpecialRow row;
    row.list = new ChoiceRow(this, key.c_str(), name.c_str(), {fixedKey, "choose"});
    row.field = new NumberRow(this, m_data, spec, nullptr);
    row.fixedValue = fixedValue;
    const int gridRow = nextRow();
    row.list->addTo(m_grid, gridRow);
    m_grid->addWidget(row.field->field(), gridRow, 2);
    m_grid->addWidget(row.field->unit(), gridRow, 3);
    m_choices.push_back(row.list);
    m_numbers.push_back(row.field);
    row.list->setOnPicked([this, row](int entry) { applySpecial(row, entry); });
    return row;
}

void CCtrlParaDlg::applySpecial(const SpecialRow& row, int entry) {
    row.field->setEnabled(entry == kChoose);
    if (entry == kChoose) return;
    const int parameter = row.field->spec().parameter;
    if (row.field->spec().kind == NumberKind::Real) {
        m_data.SetReal(parameter, static_cast<float>(row.fixedValue));
    } else {
        m_data.SetChoice(parameter, static_cast<std::uint32_t>(row.fixedValue));
    }
    row.field->load();
}

void CCtrlParaDlg::refresh() {
    selectStored(*m_compensation, param::kVoltageControl);
    // Compensations: a value shows "choose" once it is large enough to act.
    const std::pair<SpecialRow*, double> compensations[] = {{&m_p71, 0.001}, {&m_p72, 0.01}};
    for (auto [row, bound] : compensations) {
        row->field->load();
        row->field->commit();
        const bool chosen = ValueChosen(m_data.GetReal(row->field->spec().parameter), bound);
        row->list->select(chosen ? kChoose : kFixed);
        row->field->setEnabled(chosen);
    }
    for (NumberRow* row : m_plainNumbers) {
        row->load();
        row->commit();
    }
    for (SpecialRow* row : {&m_p78, &m_p80, &m_p82}) {
        row->field->load();
        const bool chosen = m_data.GetChoice(row->field->spec().parameter) != kNoIntegralPart;
        row->list->select(chosen ? kChoose : kFixed);
        row->field->setEnabled(chosen);
    }
    m_p83.field->load();
    const bool derivative = m_data.GetChoice(param::kVoltageRateTime) != 0;
    m_p83.list->select(derivative ? kChoose : kFixed);
    m_p83.field->setEnabled(derivative);
    m_p83.field->commit();
}

void CCtrlParaDlg::setAsynchronousRowsVisible(bool visible) {
    m_compensation->setVisible(visible);
    m_p71.list->setVisible(visible);
    m_p71.field->setVisible(visible);
    m_p72.list->setVisible(visible);
    m_p72.field->setVisible(visible);
    m_p73->setVisible(visible);
}

void CCtrlParaDlg::applyTexts() {
    m_title->setText(shell::T("ctrlpara"));
    m_sendButton->setText(shell::T("sendbutton"));
    m_helpButton->setText(shell::T("help"));
    for (NumberRow* row : m_numbers) row->applyTexts();
    for (ChoiceRow* row : m_choices) row->applyTexts();
}

}  // namespace velmora::pages
