#include "pages/report/reportpage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/pollmode.h"
#include "model/parameters.h"
#include "shell/fontset.h"
#include "shell/helpnoteviewer.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using shell::T;

namespace {

constexpr int kNoteKind = 3;

enum FontStyle { kNormal = 0, kHeading = 1 };

QLabel* makeLabel(QWidget* parent, const shell::FontSet& fonts, const QString& name,
                  int style = kNormal) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    fonts.apply(label, style);
    return label;
}

QPushButton* makeButton(QWidget* parent, const shell::FontSet& fonts, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    fonts.apply(button, kNormal);
    return button;
}

}  // namespace

CReportPage::CReportPage(model::DriveData& data, QWidget* parent) : shell::Page(data, parent) {
    m_operatingHeading =
        makeLabel(this, m_fonts, QStringLiteral("operatingValuesHeading"), kHeading);
    m_errorsHeading = makeLabel(this, m_fonts, QStringLiteral("errorsHeading"), kHeading);
    m_hoursHeading = makeLabel(this, m_fonts, QStringLiteral("operatingHoursHeading"), kHeading);
    m_statusLine = makeLabel(this, m_fonts, QStringLiteral("statusLine"), kHeading);
    m_statusLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_helpButton = makeButton(this, m_fonts, "helpButton");
    m_noteButton = makeButton(this, m_fonts, "noteButton");
    m_helpViewer = new shell::HelpNoteViewer(this);
    m_helpViewer->setObjectName(QStringLiteral("helpViewer"));
    m_helpViewer->hide();
    m_noteViewer = new shell::HelpNoteViewer(this);
    m_noteViewer->setObjectName(QStringLiteral("noteViewer"));
    m_noteViewer->hide();

    auto* left = new QGridLayout;
    left->addWidget(m_operatingHeading, 0, 0, 1, 3);
    addRows(OperatingValueRows(), left, 1);
    left->setRowStretch(left->rowCount(), 1);

    auto* right = new QGridLayout;
    right->addWidget(m_errorsHeading, 0, 0, 1, 2);
    right->addWidget(m_noteButton, 0, 2);
    addRows(ErrorCounterRows(), right, 1);
    const int hoursRow = right->rowCount();
    right->addWidget(m_hoursHeading, hoursRow, 0, 1, 3);
    addRows(OperatingHourRows(), right, hoursRow + 1);
    right->setRowStretch(right->rowCount(), 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_helpButton);
    bottom->addWidget(m_statusLine, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns, 1);
    page->addLayout(bottom);

    connect(m_helpButton, &QPushButton::clicked, this,
            [this] { m_helpViewer->open(shell::HelpKind::ReportPageHelp); });
    connect(m_noteButton, &QPushButton::clicked, this, [this] { m_noteViewer->open(kNoteKind); });
    applyTexts();
}

void CReportPage::addRows(std::span<const ReportRow> rows, QGridLayout* grid, int firstRow) {
    int at = firstRow;
    for (const ReportRow& row : rows) {
        const QString name = QString::fromLatin1(row.labelKey);
        RowWidgets widgets{&row, makeLabel(this, m_fonts, name + QStringLiteral("Label")),
                           makeLabel(this, m_fonts, name + QStringLiteral("Value")), nullptr};
        widgets.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(widgets.label, at, 0);
        grid->addWidget(widgets.value, at, 1);
        if (row.unit != ReportUnit::None) {
            widgets.unit = makeLabel(this, m_fonts, name + QStringLiteral("Unit"));
            grid->addWidget(widgets.unit, at, 2);
        }
        m_rows.push_back(widgets);
        ++at;
    }
}

void CReportPage::applyTexts() {
    m_operatingHeading->setText(T("operatingvalues"));
    m_errorsHeading->setText(T("errors"));
    m_hoursHeading->setText(T("operatinghours"));
    m_helpButton->setText(T("help"));
    m_noteButton->setText(T("notebutton"));
    for (const RowWidgets& widgets : m_rows) {
        widgets.label->setText(T(widgets.row->labelKey));
        if (widgets.row->unit == ReportUnit::Fixed) widgets.unit->setText(T(widgets.row->unitKey));
        if (widgets.row->unit == ReportUnit::Speed) widgets.unit->setText(T(m_speedUnitKey));
    }
    m_statusLine->setText(m_holdStorage ? T("holdstorage") : QString());
}

void CReportPage::pageShown() {
    data().gate().setPollMode(link::PollMode::ReportPage);
}

void CReportPage::enterHoldStorage() {
    m_holdStorage = true;
}

void CReportPage::linkLost() {
    if (m_holdStorage) return;
    for (const RowWidgets& widgets : m_rows) widgets.value->clear();
}

void CReportPage::refresh() {
    model::DriveData& data = this->data();
    data.TakeImage();
    for (const RowWidgets& widgets : m_rows)
        widgets.value->setText(
            QString::fromStdString(ReportValueText(data, *widgets.row, m_holdStorage)));
    if (m_holdStorage) m_statusLine->setText(T("holdstorage"));
    if (const char* unitKey = SpeedUnitKey(data.GetChoice(param::kSpeedUnit))) {
        m_speedUnitKey = unitKey;
        for (const RowWidgets& widgets : m_rows)
            if (widgets.row->unit == ReportUnit::Speed) widgets.unit->setText(T(unitKey));
    }
}

}  // namespace velmora::pages
