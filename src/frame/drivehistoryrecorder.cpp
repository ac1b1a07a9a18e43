#include "frame/drivehistoryrecorder.h"

#include "link/portnames.h"
#include "link/seriallink.h"

namespace velmora::frame {
namespace {

std::string PortText(const link::SerialLink& serial) {
    const unsigned port = serial.openPortNumber();
    const std::string device = serial.DevicePathForPort(port);
    return "port " + std::to_string(port) + (device.empty() ? std::string() : " (" + device + ")");
}

}  // namespace

DriveHistoryRecorder::DriveHistoryRecorder(journal::Journal& journal, model::DriveData& data,
                                           const link::SerialLink& serial,
                                           shell::FrameTarget& window)
    : m_journal(journal),
      m_data(data),
      m_serial(serial),
      m_mailbox(std::make_shared<Mailbox>()),
      // The application keeps the journal; the recorder only borrows it.
      m_recorder(std::make_shared<journal::WriteRecorder>(
          std::shared_ptr<journal::Journal>(&journal, [](journal::Journal*) {}))) {
    m_mailbox->window = &window;
    m_journal.setFailureListener([mailbox = m_mailbox](const std::string& why) {
        const std::lock_guard lock(mailbox->mutex);
        mailbox->why = why;
        if (mailbox->window) mailbox->window->post(shell::JournalFailed{});
    });
    m_recorder->watch(m_data.gate());
    m_data.SetReplyListener(
        [recorder = m_recorder](const link::Telegram& reply) { recorder->observeReply(reply); });
}

DriveHistoryRecorder::~DriveHistoryRecorder() {
    {
        const std::lock_guard lock(m_mailbox->mutex);
        m_mailbox->window = nullptr;
    }
    m_data.SetReplyListener({});
    m_recorder->unwatch(m_data.gate());
    m_recorder->close();
}

std::string DriveHistoryRecorder::failure() const {
    const std::lock_guard lock(m_mailbox->mutex);
    return m_mailbox->why;
}

void DriveHistoryRecorder::linkState(bool up) {
    if (up == m_linked) return;
    m_linked = up;
    if (up) {
        m_recorder->connected(PortText(m_serial));
    } else {
        m_recorder->close();
    }
}

void DriveHistoryRecorder::runInStarted(const QString& program) {
    m_recorder->recordRunInStart(program.toStdString());
}

void DriveHistoryRecorder::runInEnded(bool finished) {
    m_recorder->recordRunInEnd({}, finished ? "finished" : "stopped");
}

void DriveHistoryRecorder::firmwareTransferred(const QStringList& files, bool done) {
    std::vector<journal::FirmwareFile> described;
    for (const QString& file : files)
        if (!file.isEmpty()) described.push_back(journal::DescribeFile(file.toStdString()));
    m_recorder->recordFirmware(described, done ? "done" : "failed");
}

}  // namespace velmora::frame
