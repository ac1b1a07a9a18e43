#pragma once
// Runs the motor in the drive's test operation with a set current, frequency
// and voltage. While the panel is open the drive is in test operation and the
// main window refuses tab changes.
#include <cstdint>
#include <optional>

#include "model/drivedata.h"
#include "pages/techservice/techpanel.h"
#include "shell/framechannel.h"

class QLabel;
class QLineEdit;

namespace velmora::shell {
class RoundButton;
}

namespace velmora::pages {

class StepEdit;

class TestOperationPanel : public TechPanel {
    Q_OBJECT
  public:
    // frame receives WM_TAB_LOCK.
    TestOperationPanel(model::DriveData& data, shell::FrameChannel frame,
                       QWidget* parent = nullptr);

    void applyTexts() override;
    void opened() override;
    void reopened() override;
    void closed() override;
    void takeReply(link::Telegram& reply) override;
    // After the page took the image: limits once, then the output values.
    void refresh();

    void commitCurrent();
    void commitFrequency();
    void commitVoltage();
    void start();
    void stop();

    [[nodiscard]] float minCurrent() const { return m_minCurrent; }
    [[nodiscard]] float maxCurrent() const { return m_maxCurrent; }

  private:
    void stepCurrent(int direction);
    void stepFrequency(int direction);
    void stepVoltage(int direction);
    void applyCurrent(float amperes);
    [[nodiscard]] std::optional<float> typedCurrent();

    model::DriveData& m_data;
    shell::FrameChannel m_frame;
    float m_minCurrent = 0.0f;
    float m_maxCurrent = 16.0f;
    bool m_limitsSet = false;
    // What the frequency and voltage fields last showed as accepted.
    std::uint32_t m_frequencyValue = 0;
    std::uint32_t m_voltageValue = 0;

    QLabel* m_currentLabel = nullptr;
    StepEdit* m_current = nullptr;
    QLabel* m_currentUnit = nullptr;
    QLabel* m_frequencyLabel = nullptr;
    StepEdit* m_frequency = nullptr;
    QLabel* m_frequencyUnit = nullptr;
    QLabel* m_voltageLabel = nullptr;
    StepEdit* m_voltage = nullptr;
    QLabel* m_voltageUnit = nullptr;
    QLabel* m_startLabel = nullptr;
    shell::RoundButton* m_start = nullptr;
    QLabel* m_stopLabel = nullptr;
    shell::RoundButton* m_stop = nullptr;
    QLabel* m_outVoltageLabel = nullptr;
    QLineEdit* m_outVoltage = nullptr;
    QLabel* m_outVoltageUnit = nullptr;
    QLabel* m_outCurrentLabel = nullptr;
    QLineEdit* m_outCurrent = nullptr;
    QLabel* m_outCurrentUnit = nullptr;
    QLabel* m_temperatureLabel = nullptr;
    QLineEdit* m_temperature = nullptr;
    QLabel* m_temperatureUnit = nullptr;
};

}  // namespace velmora::pages
