#include "pages/motor/vhztabledlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "model/numberparse.h"
#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "pages/motor/paramrows.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

namespace {
// Panel areas in 96-dpi pixels; the graph's own coordinates are fixed in
// vhzgeometry.h and must stay clear of the table on the left.
constexpr QRect kPanel{0, 0, 780, 420};
constexpr QRect kTitle{8, 2, 400, 26};  // clear of the graph's frame below
constexpr QRect kTable{4, 40, 206, 260};
constexpr QRect kButtons{4, 300, 206, 40};
constexpr QRect kFrame{212, 30, 560, 372};
}  // namespace

CVHzTableDlg::CVHzTableDlg(QWidget* parent, model::DriveData& data) : MotorPanel(parent, data) {
    setObjectName(QStringLiteral("vhzTablePanel"));
    const auto scaled = [this](QRect r) {
        return QRect(r.x() * logicalDpiX() / 96, r.y() * logicalDpiY() / 96,
                     r.width() * logicalDpiX() / 96, r.height() * logicalDpiY() / 96);
    };
    setFixedSize(scaled(kPanel).size());

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("vhzGraphFrame"));
    frame->setFrameShape(QFrame::Box);
    frame->setGeometry(scaled(kFrame));
    m_graph = new VHzGraph(this);
    m_graph->setGeometry(rect());

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("vhzTitle"));
    m_title->setGeometry(scaled(kTitle));

    auto* table = new QWidget(this);
    table->setGeometry(scaled(kTable));
    auto* grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 7; ++i) {
        const int parameter = param::kVoltageU0 + i;
        const std::string key = "p" + std::to_string(parameter);
        const NumberSpec spec =
            i % 2 == 0 ? RealRow(parameter, 0.1, 0, 50, "v") : FrequencyRow(parameter, 30, 4000);
        m_rows[static_cast<std::size_t>(i)] = new NumberRow(table, m_data, spec, key.c_str());
        m_rows[static_cast<std::size_t>(i)]->addTo(grid, i);
        m_rows[static_cast<std::size_t>(i)]->label()->setWordWrap(true);
        m_rows[static_cast<std::size_t>(i)]->setAfterChange([this] { redraw(); });
    }

    auto* buttons = new QWidget(this);
    buttons->setGeometry(scaled(kButtons));
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    m_sendButton = new QPushButton(buttons);
    m_sendButton->setObjectName(QStringLiteral("vhzSendButton"));
    m_helpButton = new QPushButton(buttons);
    m_helpButton->setObjectName(QStringLiteral("vhzHelpButton"));
    row->addWidget(m_sendButton);
    row->addWidget(m_helpButton);

    m_graph->setSource([this] { return picture(); });
    connect(m_sendButton, &QPushButton::clicked, this, &CVHzTableDlg::sendRequested);
    connect(m_helpButton, &QPushButton::clicked, this, &CVHzTableDlg::helpRequested);
}

void CVHzTableDlg::redraw() {
    update();
    m_graph->update();
}

VHzPicture CVHzTableDlg::picture() {
    VHzPicture p;
    std::array<NumberRow*, 3> frequencyRows{m_rows[1], m_rows[3], m_rows[5]};
    for (std::size_t i = 0; i < 3; ++i) {
        p.values.frequencies[i] = model::ParseUnsigned(frequencyRows[i]->text().toStdString());
    }
    MakeNonDecreasing(p.values.frequencies);
    for (std::size_t i = 0; i < 3; ++i) {
        p.frequencyTexts[i] = QString::number(p.values.frequencies[i]);
        // Rewriting the field the user is typing in would fight the keyboard;
        // it is put in order at the paint that follows its commit.
        SpinField* field = frequencyRows[i]->field();
        if (!field->hasFocus() && field->fieldText() != p.frequencyTexts[i]) {
            field->setFieldText(p.frequencyTexts[i]);
        }
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const QString text = m_rows[2 * i]->text();
        p.voltageTexts[i] = text;
        p.values.voltages[i] = model::ParseDouble(text.toStdString());
    }
    const std::uint32_t unit = m_data.GetChoice(param::kSpeedUnit);
    if (unit == 0) p.frequencyCaption = shell::T("xaxiscaptionhz");
    if (unit == 1) p.frequencyCaption = shell::T("xaxiscaptionrpm");
    p.voltageCaption = shell::T("yaxiscaption");
    return p;
}

void CVHzTableDlg::refresh() {
    for (NumberRow* row : m_rows) row->setSpeedUnit(m_data.GetChoice(param::kSpeedUnit));
    for (NumberRow* row : m_rows) {
        row->load();
        row->commit();
    }
    redraw();
}

void CVHzTableDlg::applyTexts() {
    m_title->setText(shell::T("vhztable"));
    m_sendButton->setText(shell::T("sendbutton"));
    m_helpButton->setText(shell::T("help"));
    for (NumberRow* row : m_rows) row->applyTexts();
}

}  // namespace velmora::pages
