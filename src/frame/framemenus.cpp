#include "frame/framemenus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>

#include "link/portnames.h"
#include "link/seriallink.h"
#include "shell/languagefileset.h"
#include "shell/textcatalog.h"

namespace velmora::frame {

using namespace velmora::shell;

namespace {

// "Port 5<tab>/dev/ttyUSB0  usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0": the
// device behind the number in the menu's right-hand column, with the
// adapter's maker and serial number where it has a by-id name.
QString PortCaption(const link::SerialLink& link, const QString& com, int port) {
    QString caption = com + QString::number(port);
    const std::string path = link.DevicePathForPort(static_cast<unsigned>(port));
    if (path.empty()) return caption;
    const link::PortName name = link::DescribePort(path);
    // A by-id name whose adapter is not plugged in has no device now.
    caption += '\t' + QString::fromStdString(name.device.empty() ? path : name.device);
    if (!name.byId.empty()) {
        caption += QStringLiteral("  ") +
                   QString::fromStdString(std::filesystem::path(name.byId).filename().string());
    }
    return caption;
}

}  // namespace

FrameMenus::FrameMenus(QMenuBar* bar, link::SerialLink& link)
    : QObject(bar), m_bar(bar), m_link(link) {}

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

void FrameMenus::buildConnectionMenu(int port, int mode, bool fixedDevice,
                                     const QString& devicePath) {
    m_connectionMenu = m_bar->addMenu(T("connection"));
    m_connectionMenu->setObjectName("connectionMenu");
    if (fixedDevice && !devicePath.isEmpty()) {
        QAction* device = m_connectionMenu->addAction(T("deviceinuse").arg(devicePath));
        device->setObjectName("deviceInUseAction");
        device->setEnabled(false);
        m_connectionMenu->addSeparator();
    }
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
        QAction* action = ports->addAction(PortCaption(m_link, com, p));
        action->setObjectName(QString("portAction%1").arg(p, 2, 10, QChar('0')));
        action->setData(kPortCommandBase + p);
        action->setCheckable(true);
        m_portGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, p] { emit portChosen(p); });
    }
    // Adapters come and go while the program runs.
    connect(ports, &QMenu::aboutToShow, this, [this, com] {
        for (QAction* action : m_portGroup->actions()) {
            const int p = action->data().toInt() - kPortCommandBase;
            if (p >= 0 && p < kPortCount) action->setText(PortCaption(m_link, com, p));
        }
    });

    // Maps the port in use to its adapter's by-id name in config.ini, so it
    // keeps its number in another USB socket.
    m_rememberAdapter = m_connectionMenu->addAction(T("rememberadapter"));
    m_rememberAdapter->setObjectName("rememberAdapterAction");
    connect(m_rememberAdapter, &QAction::triggered, this, [this] {
        if (const unsigned port = m_link.openPortNumber()) link::RememberAdapter(m_link, port);
    });
    connect(m_connectionMenu, &QMenu::aboutToShow, this, [this, fixedDevice] {
        const unsigned port = m_link.openPortNumber();
        const std::string path = port ? m_link.DevicePathForPort(port) : std::string();
        const std::string byId = path.empty() ? std::string() : link::DescribePort(path).byId;
        m_rememberAdapter->setEnabled(!fixedDevice && !byId.empty() && byId != path);
    });
    m_rememberAdapter->setEnabled(false);

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

void FrameMenus::buildHistoryMenu(bool available) {
    QMenu* menu = m_bar->addMenu(T("historymenu"));
    menu->setObjectName("historyMenu");
    QAction* show = menu->addAction(T("historyshow"));
    show->setObjectName("historyAction");
    show->setEnabled(available);
    connect(show, &QAction::triggered, this, [this] { emit historyChosen(); });
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

}  // namespace velmora::frame
