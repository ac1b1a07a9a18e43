#pragma once
// The language and connection menus of the main window. Entries carry the
// command identifiers 12500 + language, 12000 + port and 12021 (automatic
// detection) as their data; the connection menu also offers to remember the
// adapter in use by its stable name.
#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace velmora::link {
class SerialLink;
}

namespace velmora::frame {

inline constexpr int kLanguageCommandBase = 12500;
inline constexpr int kPortCommandBase = 12000;
inline constexpr int kAutodetectCommand = 12021;
inline constexpr int kPortCount = 21;  // ports 0..20

class FrameMenus : public QObject {
    Q_OBJECT
  public:
    // The connection menu reads and writes the port settings of `link`.
    FrameMenus(QMenuBar* bar, link::SerialLink& link);

    // One entry per installed language file, the current one checked.
    void buildLanguageMenu(unsigned currentLanguage);
    // mode 1 automatic detection, 0 fixed port. With a device given on the
    // command line the port entries are shown but cannot be chosen, and a
    // greyed first entry names the device (devicePath, when known).
    void buildConnectionMenu(int port, int mode, bool fixedDevice, const QString& devicePath = {});

    // The drive history entry; without a journal it is shown greyed.
    void buildHistoryMenu(bool available);

    void checkLanguage(int number);
    void checkPort(int port);
    void checkAutodetect();

    [[nodiscard]] QMenu* languageMenu() const { return m_languageMenu; }
    [[nodiscard]] QMenu* connectionMenu() const { return m_connectionMenu; }

  signals:
    void languageChosen(int number);
    void portChosen(int port);
    void autodetectChosen();
    void historyChosen();

  private:
    [[nodiscard]] QAction* actionFor(int command) const;

    QMenuBar* m_bar;
    link::SerialLink& m_link;
    QMenu* m_languageMenu = nullptr;
    QMenu* m_connectionMenu = nullptr;
    QActionGroup* m_languageGroup = nullptr;
    QActionGroup* m_portGroup = nullptr;
    QAction* m_rememberAdapter = nullptr;
};

}  // namespace velmora::frame
