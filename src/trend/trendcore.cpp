#include "trend/trendcore.h"

#include "model/drivedata.h"

namespace velmora::trend {

TrendCore::TrendCore(std::size_t capacity) : m_samples(capacity) {}

bool TrendCore::groupStored(int code, const model::DriveData& data, std::int64_t nowMs) {
    if (code != kOperatingValuesGroup) return false;
    m_rpm = SpeedInRpm(data);
    TrendSample sample = SampleFromImage(data, nowMs);
    sample.gapBefore =
        !m_samples.empty() && StartsNewLine(m_samples.latest().timeMs, nowMs, m_linkLost);
    m_linkLost = false;
    addSample(sample);
    if (m_recorder.recording()) noteRecordingResult(m_recorder.append(sample, nowMs));
    return true;
}

void TrendCore::addSample(const TrendSample& sample) {
    m_samples.push(sample);
    ++m_revision;
}

std::optional<TrendEvent> TrendCore::linkState(bool up, std::int64_t nowMs) {
    auto event = m_tracker.onLinkState(up, nowMs);
    if (event && event->kind == EventKind::LinkDown) m_linkLost = true;
    return keep(event);
}

std::optional<TrendEvent> TrendCore::message(const shell::FrameMessage& message,
                                             std::int64_t nowMs) {
    return keep(m_tracker.onMessage(message, nowMs));
}

std::optional<TrendEvent> TrendCore::status(std::uint8_t faultClass, std::uint8_t number,
                                            std::int64_t nowMs) {
    return keep(m_tracker.onStatus(faultClass, number, nowMs));
}

std::optional<TrendEvent> TrendCore::keep(std::optional<TrendEvent> event) {
    if (!event) return event;
    if (m_events.size() >= kEventCapacity) m_events.pop_front();
    m_events.push_back(*event);
    ++m_revision;
    return event;
}

bool TrendCore::startRecording(const std::string& path, const std::vector<std::string>& columns,
                               bool rpm, const CsvRecorder::Fields& about) {
    m_recordingFailed = false;
    return m_recorder.open(path, columns, rpm, about);
}

void TrendCore::tick() {
    if (m_recorder.recording()) noteRecordingResult(m_recorder.flush());
}

void TrendCore::noteRecordingResult(bool ok) {
    if (!ok) m_recordingFailed = true;
}

std::string TrendCore::takeRecordingError() {
    if (!m_recordingFailed) return {};
    m_recordingFailed = false;
    return m_recorder.error().empty() ? std::string("write error") : m_recorder.error();
}

}  // namespace velmora::trend
