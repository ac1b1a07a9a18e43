#pragma once
// Reads and overwrites one 32-bit word of the drive's non-volatile memory.
#include <cstdint>
#include <optional>

#include "pages/techservice/techpanel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::pages {

class StepEdit;

class MemoryPanel : public TechPanel {
    Q_OBJECT
  public:
    explicit MemoryPanel(model::DriveGate& gate, QWidget* parent = nullptr);
    void applyTexts() override;
    void takeReply(link::Telegram& reply) override;

    void readWord();
    void writeWord();

  private:
    // The address as the field rule leaves it, written back into the field.
    // nullopt when the address text is refused.
    std::optional<std::uint16_t> committedAddress();
    void stepAddress(int direction);

    QLabel* m_addressLabel = nullptr;
    StepEdit* m_address = nullptr;
    QLabel* m_valueLabel = nullptr;
    QLineEdit* m_value = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_overwrite = nullptr;
    // The values the fields last showed as accepted (read, or typed and taken).
    std::uint16_t m_addressValue = 0;
    std::uint32_t m_valueShown = 0;
};

}  // namespace velmora::pages
