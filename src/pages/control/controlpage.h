#pragma once
// The operator's page: set speed, start/stop/reset, live values, the basic
// choices and the identity of the connected drive.
#include <cstdint>
#include <optional>

#include "shell/fontset.h"
#include "shell/page.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace velmora::shell {
class RoundButton;
class HelpNoteViewer;
}  // namespace velmora::shell

namespace velmora::pages {

class StepEdit;

class CControlPage : public shell::Page {
    Q_OBJECT
  public:
    explicit CControlPage(model::DriveData& data, QWidget* parent = nullptr);
    ~CControlPage() override;
    [[nodiscard]] const char* captionKey() const override { return "tabcontrolpage"; }

    void operationAllowed() override;
    void operationNotAllowed() override;
    void refresh() override;
    void applyTexts() override;

    // WM_MOTOR_MODEL_CHOSEN: show the loaded model's name.
    void showMotorModelName(int modelIndex);
    // WM_MEMORY_SLOT_CHOSEN: from now on the field names the slot the drive
    // reports as loaded (parameter 20), not the one asked for: loading an
    // empty slot leaves the drive on its previous one.
    void showMemorySlotName(int requestedSlotIndex);
    // WM_RUNIN_ACTIVE mirrored here.
    void setRunInActive(bool active);
    // Speed, voltage and current are blanked: figures would look current.
    void linkLost() override;
    // The fault the drive's status reports ("Fault 7"), empty for none: a
    // Start the drive will refuse then says why.
    void setReportedFault(const QString& fault) { m_reportedFault = fault; }
    // Whether Stop can be pressed here now (the window offers it everywhere).
    [[nodiscard]] bool stopEnabled() const;

  protected:
    void pageShown() override;

  private:
    // Start, stop and reset, through the drive's gate.
    void sendAction(int actionCode);
    void buildControls();
    void connectControls();

    void showOperatingValues();
    void applySpeedLimits();
    void showDriveIdentity();
    void showRemoteChoices();
    void showSetSpeedAndBasics();

    // The set speed typed in the field (internal unit); nullopt, with the
    // field reset and a notice, when the text is not a number.
    [[nodiscard]] std::optional<std::uint32_t> typedSetSpeed();
    void setSpeedEdited();
    void spinStepped(int delta);
    void sliderMoved();
    void unitChosen();
    void controlSourceChosen();
    void startSourceChosen();
    void remoteChoiceChosen(QComboBox* list, int parameter);
    void directionChosen();
    void showDriveSlot();
    void resetPressed();

    // Parameter = the list's selection; a list showing no selection (the
    // drive sent a code outside its entries) leaves the parameter as it is.
    void takeListChoice(const QComboBox* list, int parameter);
    void setRoundButtonsEnabled(bool enabled);
    void showUnit();
    void showSetSpeed(std::uint32_t internalSpeed);
    void setSliderPosition(std::uint32_t internalSpeed);

    std::uint32_t m_speedMin = 30;
    std::uint32_t m_speedMax = 4000;
    int m_refreshCount = 0;
    bool m_runInActive = false;
    // The drive reports the motor turning (operation not allowed).
    bool m_motorRunning = false;
    bool m_slotFromDrive = false;
    // Key shown in the selection field (motor model or slot); empty for none.
    QString m_selectionKey = QStringLiteral("nochoice");
    shell::FontSet m_fonts;

    QString m_reportedFault;
    QLabel* m_ratedValueHeading = nullptr;
    QLabel* m_setSpeedLabel = nullptr;
    StepEdit* m_setSpeedEdit = nullptr;
    QLabel* m_setSpeedUnit = nullptr;
    QSlider* m_setSpeedSlider = nullptr;
    shell::RoundButton* m_startButton = nullptr;
    shell::RoundButton* m_stopButton = nullptr;
    shell::RoundButton* m_resetButton = nullptr;
    QLabel* m_startLabel = nullptr;
    QLabel* m_stopLabel = nullptr;
    QLabel* m_resetLabel = nullptr;
    QLabel* m_motorHeading = nullptr;
    QLineEdit* m_selectionField = nullptr;
    QLabel* m_operatingHeading = nullptr;
    QLabel* m_speedLabel = nullptr;
    QLabel* m_speedValue = nullptr;
    QLabel* m_speedUnit = nullptr;
    QLabel* m_voltageLabel = nullptr;
    QLabel* m_voltageValue = nullptr;
    QLabel* m_voltageUnit = nullptr;
    QLabel* m_currentLabel = nullptr;
    QLabel* m_currentValue = nullptr;
    QLabel* m_currentUnit = nullptr;
    QLabel* m_basicHeading = nullptr;
    QLabel* m_unitLabel = nullptr;
    QComboBox* m_unitList = nullptr;
    QLabel* m_controlSourceLabel = nullptr;
    QComboBox* m_controlSourceList = nullptr;
    QLabel* m_startSourceLabel = nullptr;
    QComboBox* m_startSourceList = nullptr;
    QLabel* m_p141Label = nullptr;
    QComboBox* m_p141List = nullptr;
    QLabel* m_rotationLabel = nullptr;
    QComboBox* m_rotationList = nullptr;
    QLabel* m_inverterLabel = nullptr;
    QLabel* m_inverterValue = nullptr;
    QLabel* m_firmwareLabel = nullptr;
    QLabel* m_firmwareValue = nullptr;
    QLabel* m_serialLabel = nullptr;
    QLabel* m_serialValue = nullptr;
    QLabel* m_programLabel = nullptr;
    QLabel* m_programValue = nullptr;
    QPushButton* m_helpButton = nullptr;
    shell::HelpNoteViewer* m_helpViewer = nullptr;
};

}  // namespace velmora::pages
