#pragma once
// The technician service page: reached through the access code, it resets
// memory areas, reads and writes memory words, calibration values and the
// serial number, shows internal inverter values and drives a test operation.
// Each function is a panel shown in place of the page's buttons.
#include <array>

#include "shell/page.h"

class QLabel;
class QPushButton;

namespace velmora::pages {

class TechPanel;
class MemoryPanel;
class TestOperationPanel;
class SerialNumberPanel;

class CTechServicePage : public shell::Page {
    Q_OBJECT
  public:
    // Panel indices, in the order of the page's buttons.
    enum PanelIndex {
        kMemoryReset = 0,
        kMemory,
        kCalibration,
        kInverterValues,
        kTestOperation,
        kSerialNumber,
        kPanelCount
    };

    explicit CTechServicePage(model::DriveData& data, QWidget* parent = nullptr);
    ~CTechServicePage() override;
    [[nodiscard]] const char* captionKey() const override { return "tabtechservice"; }

    void applyTexts() override;
    void operationAllowed() override;
    void operationNotAllowed() override;
    void refresh() override;
    void driveReply(link::Telegram& reply) override;

    // What the page's buttons call.
    void showPanel(int index);
    void backToMenu();
    void closePage();

    [[nodiscard]] TechPanel* panel(int index) const;
    [[nodiscard]] MemoryPanel* memoryPanel() const;
    [[nodiscard]] TestOperationPanel* testOperationPanel() const;
    [[nodiscard]] SerialNumberPanel* serialNumberPanel() const;

  protected:
    void pageShown() override;

  private:
    [[nodiscard]] TechPanel* openPanel() const;

    QWidget* m_menu = nullptr;
    QLabel* m_heading = nullptr;
    std::array<QPushButton*, kPanelCount> m_buttons{};
    QPushButton* m_close = nullptr;
    QPushButton* m_back = nullptr;
    std::array<TechPanel*, kPanelCount> m_panels{};
};

}  // namespace velmora::pages
