#pragma once
#include "shell/page.h"

class QLabel;
class QPushButton;

namespace velmora::shell {
class HelpNoteViewer;
}  // namespace velmora::shell

namespace velmora::pages {

class ActuatorTestDialog;
class TestQuestionPopup;
class CFactorySettingsDlg;
class CParaStructDlg;
class CPasswordDlg;
class FirmwareUpdateDialog;

// The maker's special functions: a menu of buttons, each opening a panel in
// place of the menu (or a small window over it).
class CSpecificProgPage : public shell::Page {
    Q_OBJECT
  public:
    explicit CSpecificProgPage(model::DriveData& data, QWidget* parent = nullptr);
    ~CSpecificProgPage() override;
    [[nodiscard]] const char* captionKey() const override { return "tabspecificprog"; }

    void applyTexts() override;
    void operationAllowed() override;
    void operationNotAllowed() override;
    void refresh() override;
    void driveReply(link::Telegram& reply) override;
    // WM_SHOW_SPECIFICPROG: open the actuator and sensor test view.
    void showActuatorTest();

    // The five functions and the back button (what the buttons call).
    void showParaStruct();
    void askFactorySettings();
    void askPassword();
    void showFirmwareUpdate();
    void backToMenu();

    [[nodiscard]] FirmwareUpdateDialog* firmwarePanel() const { return m_firmware; }
    [[nodiscard]] ActuatorTestDialog* actuatorPanel() const { return m_actuator; }
    [[nodiscard]] CParaStructDlg* paraStructPanel() const { return m_paraStruct; }
    [[nodiscard]] CFactorySettingsDlg* factorySettingsQuestion() const { return m_factory; }
    [[nodiscard]] CPasswordDlg* passwordPanel() const { return m_password; }

  protected:
    void pageShown() override;

  private:
    void showMenu(bool visible);
    void hidePanels();

    QWidget* m_menu = nullptr;
    QLabel* m_heading = nullptr;
    std::array<QPushButton*, 5> m_buttons{};
    std::array<QLabel*, 4> m_emptyFields{};
    QPushButton* m_help = nullptr;
    QPushButton* m_back = nullptr;
    shell::HelpNoteViewer* m_helpViewer = nullptr;
    ActuatorTestDialog* m_actuator = nullptr;
    CParaStructDlg* m_paraStruct = nullptr;
    CFactorySettingsDlg* m_factory = nullptr;
    CPasswordDlg* m_password = nullptr;
    FirmwareUpdateDialog* m_firmware = nullptr;
    TestQuestionPopup* m_testQuestion = nullptr;
};

}  // namespace velmora::pages
