#pragma once
// How the drive is run from a machine's control cabinet: digital inputs,
// relays, the analogue set-speed range and the relay current limit (group
// 0x57). Edits stay in DriveData until Send; the set can be kept in .vpr files.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "pages/remote/remotepolicy.h"
#include "shell/fontset.h"
#include "shell/page.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace velmora::shell {
class HelpNoteViewer;
}

namespace velmora::pages {

class StepEdit;

class CRemotePage : public shell::Page {
    Q_OBJECT
  public:
    explicit CRemotePage(model::DriveData& data, QWidget* parent = nullptr);
    [[nodiscard]] const char* captionKey() const override { return "tabremotecontrol"; }

    void operationAllowed() override;
    void operationNotAllowed() override;
    void refresh() override;
    void applyTexts() override;
    [[nodiscard]] bool confirmLeave() override;

    // Where the template "RemoteMasterfile.vpr" is looked for (the
    // executable's folder unless set, e.g. by tests or a portable install).
    void setProgramFolder(std::filesystem::path folder) { m_programFolder = std::move(folder); }

  protected:
    void pageShown() override;

  private:
    struct ListField {
        const RemoteList* list;
        QLabel* label;
        QComboBox* box;
    };
    struct SpeedField {
        int parameter;
        QLabel* label;
        StepEdit* edit;
        QLabel* unit;
    };

    void buildControls();
    void connectControls();

    void applySpeedLimits();
    void showUnits();
    void showValues();

    void speedEdited(SpeedField& field);
    void speedStepped(SpeedField& field, int delta);
    void mode137Chosen();
    void currentEdited();
    void currentStepped(int delta);
    void sendPressed();
    void savePressed();
    void loadPressed();

    [[nodiscard]] QString speedText(const SpeedField& field) const;
    void showSpeed(const SpeedField& field);
    // The typed speed in the internal unit; nullopt when the text is no number.
    [[nodiscard]] std::optional<std::uint32_t> typedSpeed(const SpeedField& field) const;
    void refuseText(StepEdit* edit, const std::function<void()>& showLast);
    // Empty, or why the value the drive holds lies outside the field's range.
    [[nodiscard]] QString outsideRangeNote(const SpeedField& field) const;
    void showCurrent();
    [[nodiscard]] SpeedField& speedField(int parameter);
    [[nodiscard]] QComboBox* listOf(int parameter) const;

    std::uint32_t m_speedMin = 30;
    std::uint32_t m_speedMax = 4000;
    std::filesystem::path m_programFolder;
    shell::FontSet m_fonts;

    QLabel* m_heading = nullptr;
    std::vector<ListField> m_lists;
    std::array<SpeedField, 3> m_speeds{};  // parameters 135, 136, 137
    QComboBox* m_mode137List = nullptr;
    QLabel* m_currentLabel = nullptr;
    StepEdit* m_currentEdit = nullptr;
    QLabel* m_currentUnit = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_sendButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_loadButton = nullptr;
    shell::HelpNoteViewer* m_helpViewer = nullptr;
};

}  // namespace velmora::pages
