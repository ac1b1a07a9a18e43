#pragma once
// Ten internal control values of the inverter, live while the panel is open
// (its poll mode asks for them every cycle).
#include <array>

#include "pages/techservice/techpanel.h"

class QLabel;
class QLineEdit;

namespace velmora::pages {

class InverterValuesPanel : public TechPanel {
    Q_OBJECT
  public:
    static constexpr std::size_t kCount = 10;
    explicit InverterValuesPanel(model::DriveGate& gate, QWidget* parent = nullptr);
    void applyTexts() override;
    void takeReply(link::Telegram& reply) override;

  private:
    std::array<QLabel*, kCount> m_labels{};
    std::array<QLineEdit*, kCount> m_values{};
};

}  // namespace velmora::pages
