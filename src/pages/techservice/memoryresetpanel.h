#pragma once
// Six buttons, each resetting one memory area of the drive at once.
#include <array>

#include "pages/techservice/techpanel.h"

class QPushButton;

namespace velmora::pages {

class MemoryResetPanel : public TechPanel {
    Q_OBJECT
  public:
    explicit MemoryResetPanel(model::DriveGate& gate, QWidget* parent = nullptr);
    void applyTexts() override;

  private:
    std::array<QPushButton*, 6> m_buttons{};
};

}  // namespace velmora::pages
