#pragma once
// CMotorPage: the motor type, rated values, limits, control parameters and
// V/f characteristic of the drive's motor, the actions that load and store
// whole motor data sets, and the send button that writes the six motor groups.
#include <array>
#include <filesystem>
#include <memory>

#include "model/drivedata.h"
#include "pages/motor/motorview.h"
#include "shell/fontset.h"
#include "shell/page.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace velmora::shell {
class HelpNoteViewer;
}

namespace velmora::pages {

class CRatedValueDlg;
class CAsmParaDlg;
class CBldcParaDlg;
class CCtrlParaDlg;
class CVHzTableDlg;
class MemorySlotActions;

// The page's actions, in the order of the action list.
enum class MotorAction {
    LoadMakerSet = 0,
    LoadMemorySlot = 1,
    SaveMemorySlot = 2,
    DeleteMemorySlot = 3,
    LoadFactorySettings = 4,
    SaveToFile = 5,
    LoadFromFile = 6,
};

class CMotorPage : public shell::Page {
    Q_OBJECT
  public:
    explicit CMotorPage(model::DriveData& data, QWidget* parent = nullptr);
    ~CMotorPage() override;
    [[nodiscard]] const char* captionKey() const override { return "tabmotorparameters"; }

    void operationAllowed() override { setOperationAllowed(true); }
    void operationNotAllowed() override { setOperationAllowed(false); }
    void refresh() override;
    void driveReply(link::Telegram& reply) override;
    void applyTexts() override;
    [[nodiscard]] bool confirmLeave() override;

    // Writes the six motor groups from the working copy, then reads them back.
    void sendMotorGroups();
    void readMotorGroups();

    [[nodiscard]] MotorView view() const { return m_view; }
    // Where the motor file template is looked for (the executable's folder
    // unless set; tests point it elsewhere).
    void setProgramFolder(const std::filesystem::path& folder) { m_programFolder = folder; }

  protected:
    void pageShown() override;
    void hideEvent(QHideEvent* event) override;

  private:
    // The page's and the panels' send buttons: write the groups, read them back.
    void sendAndReadBack();
    void createControls();
    void placeControls();
    void setOperationAllowed(bool allowed);
    void applyMotorType();
    void setMotorTypeFromData();
    void actionPicked(int entry);
    void execute();
    void showSubView(MotorView view);
    void showMainView();
    void pruneMotorModels();
    void saveToFile();
    void loadFromFile();
    [[nodiscard]] std::filesystem::path templatePath() const;
    [[nodiscard]] std::array<QWidget*, 12> mainViewControls() const;

    shell::FontSet m_fonts;
    std::unique_ptr<MemorySlotActions> m_actions;
    std::filesystem::path m_programFolder;
    MotorView m_view = MotorView::NoMotor;

    QLabel* m_title = nullptr;
    QFrame* m_frame = nullptr;
    QComboBox* m_actionList = nullptr;
    QComboBox* m_modelList = nullptr;
    QComboBox* m_slotList = nullptr;
    QPushButton* m_executeButton = nullptr;
    QLabel* m_motorTypeLabel = nullptr;
    QComboBox* m_motorTypeList = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_vhzButton = nullptr;
    QPushButton* m_ctrlButton = nullptr;
    QPushButton* m_sendButton = nullptr;
    QPushButton* m_backButton = nullptr;

    shell::HelpNoteViewer* m_help = nullptr;
    CRatedValueDlg* m_rated = nullptr;
    CAsmParaDlg* m_asm = nullptr;
    CBldcParaDlg* m_bldc = nullptr;
    CVHzTableDlg* m_vhz = nullptr;
    CCtrlParaDlg* m_ctrl = nullptr;
};

}  // namespace velmora::pages
