#include "frame/framemenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "link/seriallink_api.h"
#include "shell/languagefileset.h"
#include "shell/textcatalog.h"

namespace velmora::shell {

FrameMenus::FrameMenus(QMenuBar* bar) : QObject(bar), m_bar(bar) {}

void FrameMenus::buildLanguageMenu(unsigned currentLanguage) {
    m_languageMenu = m_bar->addMenu(T("languagechoice"));
    m_languageMenu->setObjectName("languageMenu");
    m_languageGroup = new QActionGroup(this);
    m_languageGroup->setExclusive(true);

    LanguageFileSet files;
    files.scan("data_language", "language_", ".ini");
    for (int n = 1; n <= files.count(); ++n) {
        QAction* action = m_languageMenu->addAction(files.entryValue(n, "general", "languagefile"));
        action->setObjectName(QString("languageAction%1").arg(n, 2, 10, QChar('0')));
        action->setData(kLanguageCommandBase + n);
        action->setCheckable(true);
        m_languageGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, n] { emit languageChosen(n); });
    }
    checkLanguage(static_cast<int>(currentLanguage & 0xFFu));
}

void FrameMenus::buildConnectionMenu(int port, int mode, bool fixedDevice) {
    m_connectionMenu = m_bar->addMenu(T("connection"));
    m_connectionMenu->setObjectName("connectionMenu");
    m_portGroup = new QActionGroup(this);
    m_portGroup->setExclusive(true);

    QAction* autodetect = m_connectionMenu->addAction(T("autodetect"));
    autodetect->setObjectName("autodetectAction");
    autodetect->setData(kAutodetectCommand);
    autodetect->setCheckable(true);
    m_portGroup->addAction(autodetect);
    connect(autodetect, &QAction::triggered, this, [this] { emit autodetectChosen(); });

    QMenu* ports = m_connectionMenu->addMenu(T("comselect"));
    ports->setObjectName("comselectMenu");
    const QString com = T("com");
    for (int p = 0; p < kPortCount; ++p) {
        QString caption = com + QString::number(p);
        // The device behind the number, in the menu's right-hand column.
        const std::string device = link::DevicePathForPort(static_cast<unsigned>(p));
        if (!device.empty()) caption += '\t' + QString::fromStdString(device);
        QAction* action = ports->addAction(caption);
        action->setObjectName(QString("portAction%1").arg(p, 2, 10, QChar('0')));
        action->setData(kPortCommandBase + p);
        action->setCheckable(true);
        m_portGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, p] { emit portChosen(p); });
    }
    // A device given on the command line is this run's only port; choosing
    // another here would rewrite the user's saved setting.
    m_portGroup->setEnabled(!fixedDevice);
    if (fixedDevice) return;
    if (mode == 1) {
        checkAutodetect();
    } else {
        checkPort(port);
    }
}

QAction* FrameMenus::actionFor(int command) const {
    const QActionGroup* groups[] = {m_languageGroup, m_portGroup};
    for (const QActionGroup* group : groups) {
        if (!group) continue;
        for (QAction* action : group->actions()) {
            if (action->data().toInt() == command) return action;
        }
    }
    return nullptr;
}

void FrameMenus::checkLanguage(int number) {
    if (QAction* action = actionFor(kLanguageCommandBase + number)) action->setChecked(true);
}

void FrameMenus::checkPort(int port) {
    if (port < 0 || port >= kPortCount) return;
    if (QAction* action = actionFor(kPortCommandBase + port)) action->setChecked(true);
}

void FrameMenus::checkAutodetect() {
    if (QAction* action = actionFor(kAutodetectCommand)) action->setChecked(true);
}

}  // namespace velmora::shell
