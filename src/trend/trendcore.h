#pragma once
// The trend's data without a window: the ring of samples, the recent events
// and the CSV recording. Fed on the window thread with what the main window
// handles; takes its time from the caller. Qt-free.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "trend/csvrecorder.h"
#include "trend/samplering.h"
#include "trend/trendevents.h"

namespace velmora::model {
class DriveData;
}

namespace velmora::trend {

// 30 minutes at up to nine samples a second; the live poll gives about two.
inline constexpr std::size_t kRingCapacity = 16384;
inline constexpr std::size_t kEventCapacity = 1000;

class TrendCore {
  public:
    explicit TrendCore(std::size_t capacity = kRingCapacity);

    // A group reply was stored in data; the operating values become a
    // sample (recorded when a recording runs). true when a sample was taken.
    bool groupStored(int code, const model::DriveData& data, std::int64_t nowMs);
    // A sample from elsewhere (a benchmark filling the history).
    void addSample(const TrendSample& sample);
    std::optional<TrendEvent> linkState(bool up, std::int64_t nowMs);
    std::optional<TrendEvent> message(const shell::FrameMessage& message, std::int64_t nowMs);
    std::optional<TrendEvent> status(std::uint8_t faultClass, std::uint8_t number,
                                     std::int64_t nowMs);

    bool startRecording(const std::string& path, const std::vector<std::string>& columns, bool rpm,
                        const CsvRecorder::Fields& about = {});
    void stopRecording() { m_recorder.close(); }
    // Pushes waiting lines of a running recording to the file; the owner
    // calls it at least twice a second.
    void tick();
    // The reason a recording stopped by itself, once; empty when none did.
    [[nodiscard]] std::string takeRecordingError();

    [[nodiscard]] const SampleRing& samples() const { return m_samples; }
    [[nodiscard]] const std::deque<TrendEvent>& events() const { return m_events; }
    [[nodiscard]] const CsvRecorder& recorder() const { return m_recorder; }
    [[nodiscard]] bool rpm() const { return m_rpm; }
    // Grows with every sample and event: the window redraws when it moved.
    [[nodiscard]] std::uint64_t revision() const { return m_revision; }

  private:
    std::optional<TrendEvent> keep(std::optional<TrendEvent> event);
    void noteRecordingResult(bool ok);

    SampleRing m_samples;
    std::deque<TrendEvent> m_events;
    EventTracker m_tracker;
    CsvRecorder m_recorder;
    bool m_rpm = true;
    bool m_linkLost = false;  // since the latest sample
    bool m_recordingFailed = false;
    std::uint64_t m_revision = 0;
};

}  // namespace velmora::trend
