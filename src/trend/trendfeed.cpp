#include "trend/trendfeed.h"

#include <QDateTime>

#include "model/drivedata.h"
#include "model/drivegate.h"
#include "shell/faultclasslook.h"
#include "shell/fileidentity.h"
#include "shell/textcatalog.h"

namespace velmora::trend {

namespace {
// Lines wait at most this long for the file; the recording promises a second.
constexpr int kFlushIntervalMs = 500;
}  // namespace

TrendFeed::TrendFeed(model::DriveData& data, QObject* parent)
    : QObject(parent), m_data(data), m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] {
        m_core.tick();
        checkRecording();
    });
    m_data.SetStoreObserver([this](int code) { groupStored(code); });
}

TrendFeed::~TrendFeed() {
    m_data.SetStoreObserver({});
    m_data.gate().setSampling(false);
}

void TrendFeed::setWindowShown(bool shown) {
    m_windowShown = shown;
    updateSampling();
}

void TrendFeed::updateSampling() {
    m_data.gate().setSampling(m_windowShown || recording());
}

void TrendFeed::groupStored(int code) {
    if (!m_core.groupStored(code, m_data, now())) return;
    checkRecording();
}

void TrendFeed::linkState(bool up) {
    publish(m_core.linkState(up, now()));
}

void TrendFeed::frameMessage(const shell::FrameMessage& message) {
    publish(m_core.message(message, now()));
}

void TrendFeed::driveStatus(std::uint8_t faultClass, std::uint8_t number) {
    publish(m_core.status(faultClass, number, now()));
}

void TrendFeed::publish(const std::optional<TrendEvent>& event) {
    if (event) emit eventAdded(*event);
}

bool TrendFeed::startRecording(const QString& path) {
    const auto about = shell::IdentityFields(shell::IdentityOf(m_data));
    if (!m_core.startRecording(path.toStdString(), CsvColumns(m_core.rpm()), m_core.rpm(), about)) {
        emit recordingFailed(path, QString::fromStdString(m_core.recorder().error()));
        emit recordingChanged(false);
        return false;
    }
    m_flushTimer.start();
    updateSampling();
    emit recordingChanged(true);
    return true;
}

void TrendFeed::stopRecording() {
    if (!recording()) return;
    m_core.stopRecording();
    m_flushTimer.stop();
    updateSampling();
    emit recordingChanged(false);
    checkRecording();  // the last lines may not have fitted on the disk
}

void TrendFeed::checkRecording() {
    const std::string error = m_core.takeRecordingError();
    if (error.empty()) return;
    m_flushTimer.stop();
    updateSampling();
    emit recordingChanged(false);
    emit recordingFailed(QString::fromStdString(m_core.recorder().path()),
                         QString::fromStdString(error));
}

std::vector<std::string> CsvColumns(bool rpm) {
    std::vector<std::string> columns{shell::T("trendtime").toStdString()};
    for (const SeriesInfo& series : AllSeries()) {
        columns.push_back(QString("%1 [%2]")
                              .arg(shell::T(series.labelKey), shell::T(UnitKey(series.unit, rpm)))
                              .toStdString());
    }
    return columns;
}

QString FaultName(int faultClass, int number) {
    // The class the drive reports says what the fault does (a warning lets the
    // motor run on), whatever headline the number has elsewhere.
    return shell::faultClassLook(static_cast<unsigned>(faultClass)).name + ' ' +
           QString::number(number);
}

QString FaultText(int faultClass, int number) {
    return FaultName(faultClass, number) + ": " +
           shell::faultDescription(static_cast<unsigned>(number));
}

QString MarkerText(const TrendEvent& event) {
    using shell::T;
    switch (event.kind) {
        case EventKind::Fault:
            return FaultName(event.first, event.second);
        case EventKind::LinkDown:
            return T("trendmarklinklost");
        case EventKind::RunInStart:
            return T("trendmarkrunin");
        case EventKind::RunInStep:
            return T("trendmarkstep").arg(event.first);
        case EventKind::RunInStop:
            return T("trendmarkruninend");
        default:
            return EventText(event);
    }
}

QString EventText(const TrendEvent& event) {
    using shell::T;
    switch (event.kind) {
        case EventKind::LinkUp:
            return T("trendlinkup");
        case EventKind::LinkDown:
            return T("trendlinkdown");
        case EventKind::Fault:
            return FaultText(event.first, event.second);
        case EventKind::RunInStart:
            return T("trendruninstart");
        case EventKind::RunInStep:
            return QString("%1 %2").arg(T("trendruninstep")).arg(event.first);
        case EventKind::RunInStop:
            return T("trendruninstop");
        case EventKind::FirmwareStart:
            return T("trendfirmwarestart");
        case EventKind::FirmwareEnd:
            break;
    }
    return T("trendfirmwareend");
}

}  // namespace velmora::trend
