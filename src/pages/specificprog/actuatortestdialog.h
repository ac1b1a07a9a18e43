#pragma once
// The actuator and sensor test embedded in the specific-programming page:
// tick the drive's outputs (relays, lamps) and watch its inputs and a few
// measured values. While shown, tab changes are locked and the inputs polled.
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "link/telegram.h"
#include "shell/fontset.h"
#include "shell/framechannel.h"

class QCheckBox;
class QLineEdit;

namespace velmora::shell {
class HelpNoteViewer;
class RoundButton;
}  // namespace velmora::shell

namespace velmora::pages {

// How the dialog reaches the drive; tests replace it.
struct ActuatorTestLink {
    std::function<int(link::Telegram)> send;  // the gate's send
    std::function<int(int)> setPollMode;      // the gate's, a link::PollMode
};

class ActuatorTestDialog : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kInputCount = 10;
    static constexpr int kOutputPeriodMs = 300;

    // frame receives WM_TAB_LOCK.
    explicit ActuatorTestDialog(shell::FrameChannel frame, QWidget* parent = nullptr);

    void setLink(ActuatorTestLink link) { m_link = std::move(link); }

    // A SensorStateReply from the page: lamps and measured values. 0 shown,
    // 1 for a reply of another code or length (ignored). Takes the data.
    int showSensorState(link::Telegram& reply);
    // Bit 0 relay 1, bit 1 relay 2, bit 2 fault lamp, bit 3 operation lamp.
    [[nodiscard]] std::uint8_t outputByte() const;
    [[nodiscard]] bool sendingOutputs() const { return m_outputTimer.isActive(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QWidget* buildOutputs();
    QWidget* buildMeasurements();
    QWidget* buildInputs();
    void outputsChanged();
    void sendOutputs();

    shell::FontSet m_fonts;
    shell::FrameChannel m_frame;
    ActuatorTestLink m_link;
    QTimer m_outputTimer;
    std::array<QCheckBox*, 4> m_outputs{};
    std::array<QLineEdit*, 4> m_values{};
    std::array<shell::RoundButton*, kInputCount> m_lamps{};
    shell::HelpNoteViewer* m_help = nullptr;
};

}  // namespace velmora::pages
