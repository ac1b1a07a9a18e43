#pragma once
// Reads and overwrites one 32-bit word of the drive's non-volatile memory.
#include "pages/techservice/techpanel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::pages {

class StepEdit;

class MemoryPanel : public TechPanel {
    Q_OBJECT
  public:
    explicit MemoryPanel(QWidget* parent = nullptr);
    void applyTexts() override;
    void takeReply(link::Telegram& reply) override;

    void readWord();
    void writeWord();

  private:
    // The address as the field rule leaves it, written back into the field.
    std::uint16_t committedAddress();
    void stepAddress(int direction);

    QLabel* m_addressLabel = nullptr;
    StepEdit* m_address = nullptr;
    QLabel* m_valueLabel = nullptr;
    QLineEdit* m_value = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_overwrite = nullptr;
};

}  // namespace velmora::pages
