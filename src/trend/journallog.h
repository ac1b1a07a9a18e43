#pragma once
// The event log's entries: what the drive's journal holds about the drive
// now connected, read again and again while the log is shown. The reads run
// on a pool thread (the journal's file may be busy with the writers of this
// and other programs); their results come back on the window thread.
#include <QObject>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "journal/entry.h"

namespace velmora::model {
class DriveData;
}

namespace velmora::trend {

// The serial of the drive whose values the image holds; nullopt until read.
[[nodiscard]] std::optional<std::uint32_t> DriveSerial(const model::DriveData& data);

// The entries of one drive since sinceMs with an id above afterId, oldest
// first, at most `most` (the newest); empty when the file cannot be read.
[[nodiscard]] std::vector<journal::Entry> ReadDriveEntries(const std::filesystem::path& file,
                                                           std::uint32_t serial,
                                                           std::int64_t sinceMs,
                                                           std::int64_t afterId, std::size_t most);

class JournalLog : public QObject {
    Q_OBJECT
  public:
    JournalLog(std::filesystem::path file, QObject* parent = nullptr);

    // The drive to list; another drive (or none) starts the list afresh.
    void follow(std::optional<std::uint32_t> serial);
    // Reads what came since the last read; nothing while one still runs.
    void refresh(std::int64_t nowMs);
    [[nodiscard]] const std::vector<journal::Entry>& entries() const { return m_entries; }
    [[nodiscard]] std::optional<std::uint32_t> serial() const { return m_serial; }

  signals:
    void cleared();
    void added(std::size_t first);  // entries from this index on are new

  private:
    void take(std::uint64_t generation, std::vector<journal::Entry> entries);

    std::filesystem::path m_file;
    std::optional<std::uint32_t> m_serial;
    std::vector<journal::Entry> m_entries;
    std::uint64_t m_generation = 0;  // a read for an earlier drive is dropped
    bool m_reading = false;
};

}  // namespace velmora::trend
