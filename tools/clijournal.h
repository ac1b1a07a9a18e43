#pragma once
// velmora-cli's part in the drive journal: one connection entry per command
// that linked, and every write, action and refusal that passed the gates of
// the values the command read. A journal that cannot be kept is said once
// on standard error at the end; the command's result does not change.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "journal/writerecorder.h"
#include "link/seriallink.h"
#include "link/telegram.h"
#include "model/drivedata.h"

namespace velmora::tools {

class CliJournal {
  public:
    explicit CliJournal(std::ostream& err);
    // Writes what is queued and says a failure.
    ~CliJournal();
    CliJournal(const CliJournal&) = delete;
    CliJournal& operator=(const CliJournal&) = delete;

    void connected(const link::SerialLink& link);
    void reply(const link::Telegram& reply) { m_recorder->observeReply(reply); }
    void status(const std::array<std::uint8_t, 4>& status) { m_recorder->observeStatus(status); }
    void watch(model::DriveData& data) { m_recorder->watch(data.gate()); }
    void settle(bool reached) { m_recorder->settle(reached); }

    // Entries and outcomes from now on also go to the journal's outbox, as
    // `mirror` makes them.
    void mirrorToOutbox(journal::Journal::OutboxMirror mirror) {
        m_journal->setOutboxMirror(std::move(mirror));
    }
    void post(journal::OutboxMessage message) { m_journal->post(std::move(message)); }
    // Waits until every entry and message so far is in the file.
    void flush() { m_journal->flush(); }
    [[nodiscard]] const std::filesystem::path& file() const { return m_journal->file(); }

    // Whole operations; each hands back the command's exit status it is given.
    void runInStarted(const std::string& program) { m_recorder->recordRunInStart(program); }
    int runInEnded(const std::string& certificate, int status);
    int flashed(const std::string& loader, const std::string& update, int status);
    int restored(const std::string& file, const std::string& undoFile, int status);

  private:
    std::ostream& m_err;
    std::mutex m_mutex;
    std::string m_failure;
    std::shared_ptr<journal::Journal> m_journal;
    std::shared_ptr<journal::WriteRecorder> m_recorder;
};

}  // namespace velmora::tools
