#include "trend/journallog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>

#include "journal/journalstore.h"
#include "model/drivedata.h"
#include "model/grouplayout.h"
#include "model/parameters.h"
#include "trend/trendcore.h"

namespace velmora::trend {

namespace {

// A day back: the log is for the session and the one before it, not the drive's life.
constexpr std::int64_t kLookBackMs = 24 * 3600 * 1000;
// Entries queued by other programs may reach the file a little out of time order.
constexpr std::int64_t kLateEntryMs = 60'000;

}  // namespace

std::optional<std::uint32_t> DriveSerial(const model::DriveData& data) {
    const model::GroupLayout* group = model::GroupOfParameter(model::param::kSerialNumber);
    if (group == nullptr || !data.GroupReceived(group->code)) return std::nullopt;
    return data.Image(model::param::kSerialNumber);
}

std::vector<journal::Entry> ReadDriveEntries(const std::filesystem::path& file,
                                             std::uint32_t serial, std::int64_t sinceMs,
                                             std::int64_t afterId, std::size_t most) {
    journal::JournalStore store;
    if (!store.openForReading(file) || !store.isOpen()) return {};
    journal::EntryFilter filter;
    filter.serial = serial;
    filter.sinceUnixMs = sinceMs;
    std::vector<journal::Entry> entries = store.list(filter);
    std::erase_if(entries, [afterId](const journal::Entry& e) { return e.id <= afterId; });
    std::sort(entries.begin(), entries.end(),
              [](const journal::Entry& a, const journal::Entry& b) { return a.id < b.id; });
    if (entries.size() > most)
        entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(most));
    return entries;
}

JournalLog::JournalLog(std::filesystem::path file, QObject* parent)
    : QObject(parent), m_file(std::move(file)) {}

void JournalLog::follow(std::optional<std::uint32_t> serial) {
    if (serial == m_serial) return;
    m_serial = serial;
    m_entries.clear();
    ++m_generation;
    m_reading = false;
    emit cleared();
}

void JournalLog::refresh(std::int64_t nowMs) {
    if (!m_serial || m_reading) return;
    m_reading = true;
    const std::int64_t since = m_entries.empty()
                                   ? nowMs - kLookBackMs
                                   : std::min(m_entries.back().unixMs, nowMs) - kLateEntryMs;
    const std::int64_t afterId = m_entries.empty() ? 0 : m_entries.back().id;
    QPointer<JournalLog> self(this);
    QThreadPool::globalInstance()->start(
        [self, file = m_file, serial = *m_serial, since, afterId, generation = m_generation] {
            auto entries = ReadDriveEntries(file, serial, since, afterId, kEventCapacity);
            // Handed to the window thread, where the log may have gone meanwhile.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, generation, entries = std::move(entries)]() mutable {
                    if (self) self->take(generation, std::move(entries));
                },
                Qt::QueuedConnection);
        });
}

void JournalLog::take(std::uint64_t generation, std::vector<journal::Entry> entries) {
    if (generation != m_generation) return;
    m_reading = false;
    if (entries.empty()) return;
    const std::size_t first = m_entries.size();
    m_entries.insert(m_entries.end(), std::make_move_iterator(entries.begin()),
                     std::make_move_iterator(entries.end()));
    if (m_entries.size() > kEventCapacity)
        m_entries.erase(m_entries.begin(),
                        m_entries.end() - static_cast<std::ptrdiff_t>(kEventCapacity));
    emit added(std::min(first, m_entries.size() - entries.size()));
}

}  // namespace velmora::trend
