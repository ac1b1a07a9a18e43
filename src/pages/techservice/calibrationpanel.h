#pragma once
// The nine calibration values of the drive, read when the panel opens and
// written with the send button.
#include <array>
#include <cstdint>
#include <optional>

#include "pages/techservice/techpanel.h"

class QLabel;
class QPushButton;

namespace velmora::pages {

class StepEdit;

class CalibrationPanel : public TechPanel {
    Q_OBJECT
  public:
    static constexpr std::size_t kCount = 9;
    explicit CalibrationPanel(model::DriveGate& gate, QWidget* parent = nullptr);
    void applyTexts() override;
    void takeReply(link::Telegram& reply) override;
    void sendValues();

  private:
    // The field's value as its rule leaves it; nullopt when its text is refused.
    std::optional<std::uint32_t> commit(std::size_t field);
    void step(std::size_t field, int direction);

    std::array<QLabel*, kCount> m_labels{};
    std::array<StepEdit*, kCount> m_fields{};
    std::array<std::uint32_t, kCount> m_values{};  // what the fields last showed as accepted
    QPushButton* m_send = nullptr;
};

}  // namespace velmora::pages
