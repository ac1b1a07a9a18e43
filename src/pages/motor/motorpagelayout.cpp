// The motor page's controls and where they stand.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "pages/motor/asmparadlg.h"
#include "pages/motor/bldcparadlg.h"
#include "pages/motor/ctrlparadlg.h"
#include "pages/motor/memoryslotactions.h"
#include "pages/motor/motorpage.h"
#include "pages/motor/ratedvaluedlg.h"
#include "pages/motor/vhztabledlg.h"
#include "shell/helpnoteviewer.h"
#include "shell/textcatalog.h"

namespace velmora::pages {

namespace {

// Positions in 96-dpi pixels, scaled to the screen when placed.
constexpr QPoint kRatedAt{0, 210};
constexpr QPoint kLimitsAt{295, 40};
constexpr QPoint kSubViewAt{0, 0};
constexpr QRect kTitle{8, 4, 280, 30};
constexpr QRect kFrame{4, 36, 286, 136};
constexpr QRect kActionList{12, 44, 270, 26};
constexpr QRect kModelList{12, 74, 270, 26};
constexpr QRect kSlotList{12, 104, 270, 26};
constexpr QRect kExecute{12, 136, 150, 28};
constexpr QRect kMotorTypeLabel{8, 178, 96, 26};
constexpr QRect kMotorTypeList{106, 178, 184, 26};
constexpr QRect kSend{8, 480, 130, 28};
constexpr QRect kVHz{146, 480, 150, 28};
constexpr QRect kCtrl{304, 480, 150, 28};
constexpr QRect kHelp{462, 480, 100, 28};
constexpr QRect kBack{640, 520, 130, 28};

QComboBox* MakeList(QWidget* parent, const char* name, int entries) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    for (int i = 0; i < entries; ++i) list->addItem(QString());
    list->setCurrentIndex(-1);
    return list;
}

QPushButton* MakeButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

}  // namespace

void CMotorPage::createControls() {
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("selectionFrame"));
    m_frame->setFrameShape(QFrame::Box);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("motorTitle"));
    m_actionList = MakeList(this, "actionList", 7);
    m_modelList = MakeList(this, "motorModelList", kMotorModelCount);
    m_slotList = MakeList(this, "memorySlotList", kMemorySlotCount);
    m_executeButton = MakeButton(this, "executeButton");
    m_motorTypeLabel = new QLabel(this);
    m_motorTypeLabel->setObjectName(QStringLiteral("motorTypeLabel"));
    m_motorTypeList = MakeList(this, "motorTypeList", kMotorTypeCount);
    m_helpButton = MakeButton(this, "helpButton");
    m_vhzButton = MakeButton(this, "vhzTableButton");
    m_ctrlButton = MakeButton(this, "ctrlParaButton");
    m_sendButton = MakeButton(this, "sendButton");
    m_backButton = MakeButton(this, "backButton");

    m_help = new shell::HelpNoteViewer(this);
    m_rated = new CRatedValueDlg(this, data());
    m_asm = new CAsmParaDlg(this, data());
    m_bldc = new CBldcParaDlg(this, data());
    m_vhz = new CVHzTableDlg(this, data());
    m_ctrl = new CCtrlParaDlg(this, data());
    // Queued: the groups go out once the panel's click has been handled,
    // never from inside it.
    connect(m_vhz, &CVHzTableDlg::sendRequested, this, &CMotorPage::sendAndReadBack,
            Qt::QueuedConnection);
    connect(m_ctrl, &CCtrlParaDlg::sendRequested, this, &CMotorPage::sendAndReadBack,
            Qt::QueuedConnection);
    connect(m_vhz, &CVHzTableDlg::helpRequested, this,
            [this] { m_help->open(shell::HelpKind::VHzTableHelp); });
    connect(m_ctrl, &CCtrlParaDlg::helpRequested, this,
            [this] { m_help->open(shell::HelpKind::CtrlParaHelp); });

    m_fonts.apply(this, shell::FontSet::Normal);
    m_fonts.apply(m_title, shell::FontSet::Heading);
    m_fonts.apply(m_ctrl->title(), shell::FontSet::Heading);
    if (auto* title = m_vhz->findChild<QLabel*>(QStringLiteral("vhzTitle"))) {
        m_fonts.apply(title, shell::FontSet::Heading);
    }
}

void CMotorPage::placeControls() {
    const auto x = [this](int v) { return v * logicalDpiX() / 96; };
    const auto y = [this](int v) { return v * logicalDpiY() / 96; };
    const auto place = [&](QWidget* widget, QRect r) {
        widget->setGeometry(x(r.x()), y(r.y()), x(r.width()), y(r.height()));
    };
    const auto move = [&](QWidget* panel, QPoint at) {
        panel->move(x(at.x()), y(at.y()));
        panel->resize(panel->sizeHint().expandedTo(panel->minimumSize()));
    };
    place(m_title, kTitle);
    place(m_frame, kFrame);
    place(m_actionList, kActionList);
    place(m_modelList, kModelList);
    place(m_slotList, kSlotList);
    place(m_executeButton, kExecute);
    place(m_motorTypeLabel, kMotorTypeLabel);
    place(m_motorTypeList, kMotorTypeList);
    place(m_sendButton, kSend);
    place(m_vhzButton, kVHz);
    place(m_ctrlButton, kCtrl);
    place(m_helpButton, kHelp);
    place(m_backButton, kBack);
    move(m_rated, kRatedAt);
    move(m_asm, kLimitsAt);
    move(m_bldc, kLimitsAt);
    move(m_vhz, kSubViewAt);
    move(m_ctrl, kSubViewAt);
    setMinimumSize(x(920), y(560));
}

std::array<QWidget*, 12> CMotorPage::mainViewControls() const {
    return {m_vhzButton,  m_sendButton, m_motorTypeLabel, m_motorTypeList,
            m_modelList,  m_title,      m_frame,          m_slotList,
            m_actionList, m_helpButton, m_executeButton,  m_ctrlButton};
}

void CMotorPage::applyTexts() {
    static constexpr const char* kActions[] = {
        "loadhalvernpara",     "loadm1m32",    "savem1m32",     "deletem1m32",
        "loadfactorysettings", "saveparatohd", "loadparafromhd"};
    // The list's entry index is the model number the drive knows; the last
    // entry was added to the drive's firmware later than the others.
    static constexpr const char* kModels[kMotorModelCount] = {
        "typem01ac",  "typem02ac",  "typem03ac",  "typem04ac",  "typem05ac",
        "typem06ac",  "typem07ac",  "typem09ac",  "typem10ac",  "typem11dc",
        "typem12dct", "typem13dcs", "typem14dcs", "typem15dcs", "typem08ac"};
    static constexpr const char* kMotorTypes[] = {"nomotor", "asm", "bldc", "bldcs",
                                                  "testoperation"};
    using shell::T;
    m_title->setText(T("motorparameters"));
    m_executeButton->setText(T("motparasendbtn"));
    m_motorTypeLabel->setText(T("p90"));
    m_helpButton->setText(T("help"));
    m_vhzButton->setText(T("vhztable"));
    m_ctrlButton->setText(T("ctrlpara"));
    m_sendButton->setText(T("sendbutton"));
    m_backButton->setText(T("backbutton"));
    for (int i = 0; i < m_actionList->count(); ++i) m_actionList->setItemText(i, T(kActions[i]));
    for (int i = 0; i < m_modelList->count(); ++i) m_modelList->setItemText(i, T(kModels[i]));
    for (int i = 0; i < m_slotList->count(); ++i) {
        m_slotList->setItemText(i, T("m" + std::to_string(i + 1)));
    }
    for (int i = 0; i < m_motorTypeList->count(); ++i) {
        m_motorTypeList->setItemText(i, T(kMotorTypes[i]));
    }
    m_rated->applyTexts();
    m_asm->applyTexts();
    m_bldc->applyTexts();
    m_vhz->applyTexts();
    m_ctrl->applyTexts();
    // The panels size themselves to their texts.
    for (QWidget* panel : {static_cast<QWidget*>(m_rated), static_cast<QWidget*>(m_asm),
                           static_cast<QWidget*>(m_bldc), static_cast<QWidget*>(m_ctrl)}) {
        panel->adjustSize();
    }
    // The limits stand right of the rated values, however wide the language
    // makes those.
    const int limitsX = std::max(kLimitsAt.x() * logicalDpiX() / 96,
                                 m_rated->geometry().right() + 1 + 8 * logicalDpiX() / 96);
    m_asm->move(limitsX, m_asm->y());
    m_bldc->move(limitsX, m_bldc->y());
}

}  // namespace velmora::pages
