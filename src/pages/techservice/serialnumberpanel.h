#pragma once
// Shows the drive's serial number (parameter 39) and writes a new one.
#include <cstdint>
#include <optional>

#include "pages/techservice/techpanel.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::pages {

class SerialNumberPanel : public TechPanel {
    Q_OBJECT
  public:
    explicit SerialNumberPanel(model::DriveGate& gate, QWidget* parent = nullptr);
    void applyTexts() override;
    void opened() override;
    void reopened() override;
    // A 0x5A reply handed over directly.
    void takeReply(link::Telegram& reply) override;
    // The number as stored from the last group reply 0x5A. Shown when a read
    // is awaited or the number changed, so a group reply never overwrites a
    // number the user is typing with the same old value.
    void showStored(std::uint32_t serial);
    void sendNumber();

  private:
    void display(std::uint32_t serial);

    QLabel* m_label = nullptr;
    QLineEdit* m_field = nullptr;
    QPushButton* m_send = nullptr;
    bool m_readAwaited = false;
    std::optional<std::uint32_t> m_shown;
};

}  // namespace velmora::pages
