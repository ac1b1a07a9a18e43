// Creating the control page's controls and giving them their texts.
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "pages/common/numbertext.h"
#include "pages/common/stepedit.h"
#include "pages/control/controlpage.h"
#include "shell/fontset.h"
#include "shell/helpnoteviewer.h"
#include "shell/roundbutton.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

using shell::T;

namespace {

// The program version the page reports as its own.
constexpr double kProgramVersion = 2.0;

enum FontStyle { kNormal = 0, kHeading = 1, kLarge = 2 };

template <typename Widget>
Widget* make(QWidget* parent, const shell::FontSet& fonts, const char* name, int style = kNormal) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    fonts.apply(widget, style);
    return widget;
}

shell::RoundButton* makeRoundButton(QWidget* parent, const char* name, QColor face,
                                    QColor pressed) {
    auto* button = new shell::RoundButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setShape(6);
    button->setColour(shell::RoundButton::Face, face);
    button->setColour(shell::RoundButton::PressedFace, pressed);
    button->setFixedSize(48, 32);
    return button;
}

void setEntries(QComboBox* list, std::initializer_list<const char*> keys) {
    const int selection = list->currentIndex();
    list->clear();
    for (const char* key : keys) list->addItem(T(key));
    list->setCurrentIndex(selection);
}

}  // namespace

void CControlPage::buildControls() {
    m_ratedValueHeading = make<QLabel>(this, m_fonts, "ratedValueHeading", kHeading);
    m_setSpeedLabel = make<QLabel>(this, m_fonts, "setSpeedLabel");
    m_setSpeedEdit = make<StepEdit>(this, m_fonts, "setSpeedEdit");
    m_setSpeedUnit = make<QLabel>(this, m_fonts, "setSpeedUnit");
    m_setSpeedSlider = make<QSlider>(this, m_fonts, "setSpeedSlider");
    m_setSpeedSlider->setOrientation(Qt::Horizontal);
    m_setSpeedSlider->setTickPosition(QSlider::TicksBelow);
    m_setSpeedSlider->setTickInterval(1);
    m_setSpeedSlider->setRange(static_cast<int>(m_speedMin), static_cast<int>(m_speedMax));
    m_startButton = makeRoundButton(this, "startButton", QColor(0, 255, 0), QColor(0, 128, 0));
    m_stopButton = makeRoundButton(this, "stopButton", QColor(255, 0, 0), QColor(128, 0, 0));
    m_resetButton = makeRoundButton(this, "resetButton", QColor(128, 128, 128), QColor(92, 92, 92));
    m_startLabel = make<QLabel>(this, m_fonts, "startLabel", kLarge);
    m_stopLabel = make<QLabel>(this, m_fonts, "stopLabel", kLarge);
    m_resetLabel = make<QLabel>(this, m_fonts, "resetLabel", kLarge);

    m_motorHeading = make<QLabel>(this, m_fonts, "motorParametersHeading", kHeading);
    m_selectionField = make<QLineEdit>(this, m_fonts, "selectionField");
    m_selectionField->setReadOnly(true);

    m_operatingHeading = make<QLabel>(this, m_fonts, "operatingValuesHeading", kHeading);
    m_speedLabel = make<QLabel>(this, m_fonts, "p14Label");
    m_speedValue = make<QLabel>(this, m_fonts, "p14Value");
    m_speedUnit = make<QLabel>(this, m_fonts, "p14Unit");
    m_voltageLabel = make<QLabel>(this, m_fonts, "p15Label");
    m_voltageValue = make<QLabel>(this, m_fonts, "p15Value");
    m_voltageUnit = make<QLabel>(this, m_fonts, "p15Unit");
    m_currentLabel = make<QLabel>(this, m_fonts, "p18Label");
    m_currentValue = make<QLabel>(this, m_fonts, "p18Value");
    m_currentUnit = make<QLabel>(this, m_fonts, "p18Unit");

    m_basicHeading = make<QLabel>(this, m_fonts, "basicParametersHeading", kHeading);
    m_unitLabel = make<QLabel>(this, m_fonts, "p8Label");
    m_unitList = make<QComboBox>(this, m_fonts, "p8List");
    m_controlSourceLabel = make<QLabel>(this, m_fonts, "p7Label");
    m_controlSourceList = make<QComboBox>(this, m_fonts, "p7List");
    m_startSourceLabel = make<QLabel>(this, m_fonts, "p140Label");
    m_startSourceList = make<QComboBox>(this, m_fonts, "p140List");
    m_p141Label = make<QLabel>(this, m_fonts, "p141Label");
    m_p141List = make<QComboBox>(this, m_fonts, "p141List");
    m_rotationLabel = make<QLabel>(this, m_fonts, "p146Label");
    m_rotationList = make<QComboBox>(this, m_fonts, "p146List");

    m_inverterLabel = make<QLabel>(this, m_fonts, "inverterTypeLabel");
    m_inverterValue = make<QLabel>(this, m_fonts, "inverterTypeValue");
    m_firmwareLabel = make<QLabel>(this, m_fonts, "firmwareVersionLabel");
    m_firmwareValue = make<QLabel>(this, m_fonts, "firmwareVersionValue");
    m_serialLabel = make<QLabel>(this, m_fonts, "serialNumberLabel");
    m_serialValue = make<QLabel>(this, m_fonts, "serialNumberValue");
    m_programLabel = make<QLabel>(this, m_fonts, "programVersionLabel");
    m_programValue = make<QLabel>(this, m_fonts, "programVersionValue");
    m_helpButton = make<QPushButton>(this, m_fonts, "helpButton");

    m_helpViewer = new shell::HelpNoteViewer(this);
    m_helpViewer->setObjectName(QStringLiteral("helpViewer"));
    m_helpViewer->hide();

    auto* speed = new QGridLayout;
    speed->addWidget(m_ratedValueHeading, 0, 0, 1, 3);
    speed->addWidget(m_setSpeedLabel, 1, 0);
    speed->addWidget(m_setSpeedEdit, 1, 1);
    speed->addWidget(m_setSpeedUnit, 1, 2);
    speed->addWidget(m_setSpeedSlider, 2, 0, 1, 3);
    int row = 3;
    for (auto [button, label] :
         {std::pair{m_startButton, m_startLabel}, std::pair{m_stopButton, m_stopLabel},
          std::pair{m_resetButton, m_resetLabel}}) {
        speed->addWidget(button, row, 0);
        speed->addWidget(label, row++, 1, 1, 2);
    }
    speed->addWidget(m_motorHeading, row++, 0, 1, 3);
    speed->addWidget(m_selectionField, row++, 0, 1, 3);
    speed->setRowStretch(row, 1);

    auto* values = new QGridLayout;
    values->addWidget(m_operatingHeading, 0, 0, 1, 3);
    row = 1;
    for (auto [label, value, unit] : {std::tuple{m_speedLabel, m_speedValue, m_speedUnit},
                                      std::tuple{m_voltageLabel, m_voltageValue, m_voltageUnit},
                                      std::tuple{m_currentLabel, m_currentValue, m_currentUnit}}) {
        values->addWidget(label, row, 0);
        values->addWidget(value, row, 1, Qt::AlignRight);
        values->addWidget(unit, row++, 2);
    }
    values->addWidget(m_basicHeading, row++, 0, 1, 3);
    for (auto [label, list] :
         {std::pair{m_unitLabel, m_unitList}, std::pair{m_controlSourceLabel, m_controlSourceList},
          std::pair{m_startSourceLabel, m_startSourceList}, std::pair{m_p141Label, m_p141List},
          std::pair{m_rotationLabel, m_rotationList}}) {
        values->addWidget(label, row, 0);
        values->addWidget(list, row++, 1, 1, 2);
    }
    for (auto [label, value] :
         {std::pair{m_inverterLabel, m_inverterValue}, std::pair{m_firmwareLabel, m_firmwareValue},
          std::pair{m_serialLabel, m_serialValue}, std::pair{m_programLabel, m_programValue}}) {
        values->addWidget(label, row, 0);
        values->addWidget(value, row++, 1, 1, 2);
    }
    values->setRowStretch(row, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(speed, 1);
    columns->addLayout(values, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns, 1);
    page->addWidget(m_helpButton, 0, Qt::AlignLeft);

    m_programValue->setText(FixedText(kProgramVersion, 2));
}

void CControlPage::applyTexts() {
    m_ratedValueHeading->setText(T("ratedvalue"));
    m_setSpeedLabel->setText(T("p1"));
    m_startLabel->setText(T("startbutton"));
    m_stopLabel->setText(T("stopbutton"));
    m_resetLabel->setText(T("resetbutton"));
    m_motorHeading->setText(T("motorparameters"));
    m_operatingHeading->setText(T("operatingvalues"));
    m_speedLabel->setText(T("p14"));
    m_voltageLabel->setText(T("p15"));
    m_voltageUnit->setText(T("voltac"));
    m_currentLabel->setText(T("p18"));
    m_currentUnit->setText(T("ampereac"));
    m_basicHeading->setText(T("basicparameters"));
    m_unitLabel->setText(T("p8"));
    m_controlSourceLabel->setText(T("p7"));
    m_startSourceLabel->setText(T("p140"));
    m_p141Label->setText(T("p141"));
    m_rotationLabel->setText(T("p146"));
    m_inverterLabel->setText(T("invertertype"));
    m_firmwareLabel->setText(T("firmwareversion"));
    m_serialLabel->setText(T("serialnumber"));
    m_programLabel->setText(T("pcswversion"));
    m_helpButton->setText(T("help"));

    setEntries(m_unitList, {"inHz", "inrpm"});
    setEntries(m_controlSourceList, {"pcapplication", "selective"});
    setEntries(m_startSourceList, {"pcapplication", "remotecontrol"});
    setEntries(m_p141List, {"pcapplication", "remotecontrol"});
    setEntries(m_rotationList, {"cwrot", "ccwrot", "remotecontrol"});

    if (m_unitList->currentIndex() == 1) {
        m_setSpeedUnit->setText(T("rpm"));
        m_speedUnit->setText(T("rpm"));
    } else {
        m_setSpeedUnit->setText(T("hz"));
        m_speedUnit->setText(T("hz"));
    }
    m_selectionField->setText(m_selectionKey.isEmpty() ? QString()
                                                       : T(m_selectionKey.toStdString()));
}

}  // namespace velmora::pages
