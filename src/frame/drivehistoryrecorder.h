#pragma once
// The window's part in the drive journal: a connection entry once the
// drive's groups are read, every write, action and refusal of the window's
// gate, faults raised and cleared, run-in programs, firmware transfers and
// restores. The journal belongs to the application; a journal that cannot be
// written is posted to the window once (WM_JOURNAL_FAILED) and the window
// goes on. Used on the window thread.
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "journal/journal.h"
#include "journal/writerecorder.h"
#include "link/seriallink.h"
#include "model/drivedata.h"
#include "shell/frametarget.h"

namespace velmora::frame {

class DriveHistoryRecorder {
  public:
    // journal, data and serial outlive this; window gets WM_JOURNAL_FAILED.
    // serial names the port a connection entry was made on.
    DriveHistoryRecorder(journal::Journal& journal, model::DriveData& data,
                         const link::SerialLink& serial, shell::FrameTarget& window);
    ~DriveHistoryRecorder();
    DriveHistoryRecorder(const DriveHistoryRecorder&) = delete;
    DriveHistoryRecorder& operator=(const DriveHistoryRecorder&) = delete;

    void linkState(bool up);
    void status(const std::array<std::uint8_t, 4>& status) { m_recorder->observeStatus(status); }
    void runInStarted(const QString& program);
    void runInEnded(bool finished);
    void firmwareTransferred(const QStringList& files, bool done);

    [[nodiscard]] journal::Journal& journal() { return m_journal; }
    [[nodiscard]] journal::WriteRecorder& recorder() { return *m_recorder; }
    // Why the journal cannot be kept (English, from the journal); empty while it can.
    [[nodiscard]] std::string failure() const;

  private:
    // Reached from the journal's writer thread; the window is let go first.
    struct Mailbox {
        mutable std::mutex mutex;
        shell::FrameTarget* window = nullptr;
        std::string why;
    };
    journal::Journal& m_journal;
    model::DriveData& m_data;
    const link::SerialLink& m_serial;
    std::shared_ptr<Mailbox> m_mailbox;
    std::shared_ptr<journal::WriteRecorder> m_recorder;
    bool m_linked = false;
};

}  // namespace velmora::frame
