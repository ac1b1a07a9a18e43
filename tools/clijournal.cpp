#include "clijournal.h"

#include "cli.h"
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

namespace {

std::string Outcome(int status, const char* done, const char* differs) {
    if (status == kExitOk) return done;
    if (status == kExitDiffers) return differs;
    return "failed (exit " + std::to_string(status) + ")";
}

}  // namespace

int CliJournal::runInEnded(const std::string& certificate, int status) {
    m_recorder->recordRunInEnd(certificate, Outcome(status, "PASS", "FAIL"));
    return status;
}

int CliJournal::flashed(const std::string& loader, const std::string& update, int status) {
    std::vector<journal::FirmwareFile> files;
    for (const std::string& file : {loader, update})
        if (!file.empty()) files.push_back(journal::DescribeFile(file));
    m_recorder->recordFirmware(files, Outcome(status, "done", "failed"));
    return status;
}

int CliJournal::restored(const std::string& file, const std::string& undoFile, int status) {
    m_recorder->recordRestore(file, undoFile, Outcome(status, "took", "some did not take"));
    return status;
}

void CliJournal::connected(const link::SerialLink& link) {
    const unsigned number = link.openPortNumber();
    const std::string device = link.DevicePathForPort(number);
    m_recorder->connected("port " + std::to_string(number) +
                          (device.empty() ? std::string() : " (" + device + ")"));
}

}  // namespace velmora::tools
