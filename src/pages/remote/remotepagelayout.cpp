// Creating the remote-control page's controls and giving them their texts.
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/parameters.h"
#include "pages/common/stepedit.h"
#include "pages/remote/remotepage.h"
#include "shell/fontset.h"
#include "shell/helpnoteviewer.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace param = model::param;

using shell::T;

namespace {

enum FontStyle { kNormal = 0, kHeading = 1 };

template <typename Widget>
Widget* make(QWidget* parent, const shell::FontSet& fonts, const QString& name,
             int style = kNormal) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    fonts.apply(widget, style);
    return widget;
}

QString parameterName(int parameter, const char* suffix) {
    return QStringLiteral("p%1%2").arg(parameter).arg(QLatin1String(suffix));
}

}  // namespace

void CRemotePage::buildControls() {
    m_heading = make<QLabel>(this, m_fonts, QStringLiteral("remoteControlHeading"), kHeading);
    for (const RemoteList& list : RemoteLists()) {
        m_lists.push_back({&list,
                           make<QLabel>(this, m_fonts, parameterName(list.parameter, "Label")),
                           make<QComboBox>(this, m_fonts, parameterName(list.parameter, "List"))});
    }
    const int speedParameters[] = {135, 136, 137};
    for (std::size_t i = 0; i < m_speeds.size(); ++i) {
        const int parameter = speedParameters[i];
        m_speeds[i] = {parameter, make<QLabel>(this, m_fonts, parameterName(parameter, "Label")),
                       make<StepEdit>(this, m_fonts, parameterName(parameter, "Edit")),
                       make<QLabel>(this, m_fonts, parameterName(parameter, "Unit"))};
    }
    m_mode137List = make<QComboBox>(this, m_fonts, QStringLiteral("p137ModeList"));
    m_currentLabel = make<QLabel>(this, m_fonts, QStringLiteral("p125Label"));
    m_currentEdit = make<StepEdit>(this, m_fonts, QStringLiteral("p125Edit"));
    m_currentUnit = make<QLabel>(this, m_fonts, QStringLiteral("p125Unit"));
    m_helpButton = make<QPushButton>(this, m_fonts, QStringLiteral("helpButton"));
    m_sendButton = make<QPushButton>(this, m_fonts, QStringLiteral("sendButton"));
    m_saveButton = make<QPushButton>(this, m_fonts, QStringLiteral("saveButton"));
    m_loadButton = make<QPushButton>(this, m_fonts, QStringLiteral("loadButton"));
    m_helpViewer = new shell::HelpNoteViewer(this);
    m_helpViewer->setObjectName(QStringLiteral("helpViewer"));
    m_helpViewer->hide();

    // Rows in the order the operator reads them: the two locks and the
    // analogue input first, then the speed range, inputs, relays, current.
    auto* grid = new QGridLayout;
    grid->addWidget(m_heading, 0, 0, 1, 4);
    int row = 1;
    auto addList = [&](int parameter) {
        for (ListField& field : m_lists) {
            if (field.list->parameter != parameter) continue;
            grid->addWidget(field.label, row, 0);
            grid->addWidget(field.box, row++, 1, 1, 3);
        }
    };
    for (int parameter : {142, 102, 129}) addList(parameter);
    for (SpeedField& field : m_speeds) {
        grid->addWidget(field.label, row, 0);
        if (field.parameter == param::kStopBelow) grid->addWidget(m_mode137List, row, 1);
        grid->addWidget(field.edit, row, 2);
        grid->addWidget(field.unit, row++, 3);
    }
    for (int parameter : {110, 111, 112, 113, 114, 115, 120, 121}) addList(parameter);
    grid->addWidget(m_currentLabel, row, 0);
    grid->addWidget(m_currentEdit, row, 2);
    grid->addWidget(m_currentUnit, row++, 3);
    grid->setRowStretch(row, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_helpButton);
    buttons->addStretch(1);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_loadButton);
    buttons->addWidget(m_sendButton);
    auto* page = new QVBoxLayout(this);
    page->addLayout(grid, 1);
    page->addLayout(buttons);
}

void CRemotePage::applyTexts() {
    m_heading->setText(T("remotecontrol"));
    for (ListField& field : m_lists) {
        field.label->setText(T("p" + std::to_string(field.list->parameter)));
        const int selection = field.box->currentIndex();
        field.box->clear();
        for (const char* key : field.list->entryKeys) field.box->addItem(T(key));
        field.box->setCurrentIndex(selection);
    }
    for (SpeedField& field : m_speeds) {
        field.label->setText(T("p" + std::to_string(field.parameter)));
        if (field.unit->text().isEmpty()) field.unit->setText(T("hz"));
    }
    const int mode = m_mode137List->currentIndex();
    m_mode137List->clear();
    for (const char* key : {"off", "fmotmin", "choose"}) m_mode137List->addItem(T(key));
    m_mode137List->setCurrentIndex(mode);
    m_currentLabel->setText(T("p125"));
    m_currentUnit->setText(T("ampereac"));
    m_helpButton->setText(T("help"));
    m_sendButton->setText(T("sendbutton"));
    m_saveButton->setText(T("savebutton"));
    m_loadButton->setText(T("loadbutton"));
}

}  // namespace velmora::pages
