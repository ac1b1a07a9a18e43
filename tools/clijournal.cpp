#include "clijournal.h"

#include "link/seriallink.h"

namespace velmora::tools {

CliJournal::CliJournal(std::ostream& err)
    : m_err(err),
      m_journal(std::make_shared<journal::Journal>(
          journal::ThisOrigin(std::string("velmora-cli ") + VELMORA_VERSION))),
      m_recorder(std::make_shared<journal::WriteRecorder>(m_journal)) {
    // Called on the journal's thread: kept until the command ends.
    m_journal->setFailureListener([this](const std::string& why) {
        const std::lock_guard lock(m_mutex);
        m_failure = why;
    });
}

CliJournal::~CliJournal() {
    m_recorder->close();
    m_journal->flush();
    // Gates of values that outlive the command may still hold the journal.
    m_journal->setFailureListener({});
    const std::lock_guard lock(m_mutex);
    if (!m_failure.empty()) m_err << "velmora-cli: " << m_failure << '\n' << std::flush;
}

void CliJournal::connected() {
    const auto& link = link::TheSerialLink();
    const unsigned number = link.openPortNumber();
    const std::string device = link.DevicePathForPort(number);
    m_recorder->connected("port " + std::to_string(number) +
                          (device.empty() ? std::string() : " (" + device + ")"));
}

}  // namespace velmora::tools
