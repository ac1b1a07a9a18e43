#pragma once
// The trend's data on the window thread: samples every operating-values
// reply the drive image stores, turns the main window's messages into
// events and runs the CSV recording, whether or not the trend window is open.
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "trend/trendcore.h"

namespace velmora::model {
class DriveData;
}

namespace velmora::trend {

class TrendFeed : public QObject {
    Q_OBJECT
  public:
    explicit TrendFeed(model::DriveData& data, QObject* parent = nullptr);
    ~TrendFeed() override;

    // After the main window handled them: the link answered (up) or was
    // lost, and the messages of pages and dialogs.
    void linkState(bool up);
    void frameMessage(const shell::FrameMessage& message);
    // Fault class and number of a status reply.
    void driveStatus(std::uint8_t faultClass, std::uint8_t number);

    // Starts writing every sample to path; false (and recordingFailed) when
    // the file cannot be created.
    bool startRecording(const QString& path);
    void stopRecording();
    [[nodiscard]] bool recording() const { return m_core.recorder().recording(); }
    // The drive is asked for the operating values on every page while the
    // trend window is shown or a recording runs.
    void setWindowShown(bool shown);
    [[nodiscard]] model::DriveData& data() const { return m_data; }

    [[nodiscard]] const TrendCore& core() const { return m_core; }
    TrendCore& core() { return m_core; }
    // Milliseconds since 1970; tests set their own clock.
    void setClock(std::function<std::int64_t()> clock) { m_clock = std::move(clock); }
    [[nodiscard]] std::int64_t now() const { return m_clock(); }

  signals:
    void eventAdded(const velmora::trend::TrendEvent& event);
    void recordingChanged(bool recording);
    // The file could not be created or written; the recording has stopped.
    void recordingFailed(const QString& path, const QString& reason);

  private:
    void groupStored(int code);
    void publish(const std::optional<TrendEvent>& event);
    void checkRecording();
    void updateSampling();

    model::DriveData& m_data;
    TrendCore m_core;
    QTimer m_flushTimer;
    std::function<std::int64_t()> m_clock;
    bool m_windowShown = false;
};

// The catalogue headers of a recording: the time's, then each series with its unit.
[[nodiscard]] std::vector<std::string> CsvColumns(bool rpm);
// The event log's text of an event (without its time).
[[nodiscard]] QString EventText(const TrendEvent& event);
// The short text beside an event's marker.
[[nodiscard]] QString MarkerText(const TrendEvent& event);
// "Warning 7" by the class the drive reported, and with its description.
[[nodiscard]] QString FaultName(int faultClass, int number);
[[nodiscard]] QString FaultText(int faultClass, int number);

}  // namespace velmora::trend
