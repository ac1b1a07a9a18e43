#include "journal/journal.h"

#include <nlohmann/json.hpp>
#include <random>

#include "journal/journalstore.h"

namespace velmora::journal {
namespace {

// Names an entry across processes sharing one file, before SQLite gives it an id.
std::int64_t NewToken() {
    static std::mutex mutex;
    static std::mt19937_64 random{std::random_device{}()};
    const std::lock_guard lock(mutex);
    return static_cast<std::int64_t>(random() >> 1) | 1;
}

}  // namespace

Journal::Journal(Origin origin, std::filesystem::path file)
    : m_origin(std::move(origin)), m_file(file.empty() ? DefaultJournalPath() : std::move(file)) {}

Journal::~Journal() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_writer.joinable()) m_writer.join();
}

void Journal::setFailureListener(std::function<void(const std::string&)> listener) {
    const std::lock_guard lock(m_mutex);
    m_onFailure = std::move(listener);
}

std::int64_t Journal::record(Entry entry) {
    if (entry.unixMs == 0) entry.unixMs = NowUnixMs();
    if (entry.time.empty()) entry.time = IsoTime(entry.unixMs);
    if (entry.host.empty()) entry.host = m_origin.host;
    if (entry.user.empty()) entry.user = m_origin.user;
    if (entry.program.empty()) entry.program = m_origin.program;
    if (entry.token == 0) entry.token = NewToken();
    const std::int64_t token = entry.token;
    enqueue(std::move(entry));
    return token;
}

void Journal::setOutboxMirror(OutboxMirror mirror) {
    const std::lock_guard lock(m_mutex);
    m_mirror = std::move(mirror);
}

void Journal::post(OutboxMessage message) {
    enqueue(std::move(message));
}

void Journal::setOutcome(std::int64_t token, std::string_view outcome) {
    enqueue(OutcomeUpdate{token, std::string(outcome)});
}

std::int64_t Journal::recordConnection(const Connection& connection) {
    Entry entry;
    entry.kind = EntryKind::Connection;
    entry.unixMs = connection.unixMs;
    entry.port = connection.port;
    entry.serial = connection.serial;
    nlohmann::json detail{{"type", connection.type}, {"firmware", connection.firmware}};
    detail["snapshot"] = nlohmann::json::parse(
        connection.snapshotJson.empty() ? "{}" : connection.snapshotJson, nullptr, false);
    entry.detail = detail.dump();
    return record(std::move(entry));
}

std::int64_t Journal::recordWrite(std::optional<std::uint32_t> serial, const std::string& parameter,
                                  const std::string& oldValue, const std::string& newValue,
                                  std::string_view outcome, EntryKind kind) {
    Entry entry;
    entry.kind = kind;
    entry.serial = serial;
    entry.parameter = parameter;
    entry.oldValue = oldValue;
    entry.newValue = newValue;
    entry.outcome = outcome;
    return record(std::move(entry));
}

std::int64_t Journal::recordAction(std::optional<std::uint32_t> serial, EntryKind kind,
                                   const std::string& name, std::string_view outcome) {
    Entry entry;
    entry.kind = kind;
    entry.serial = serial;
    entry.parameter = name;
    entry.outcome = outcome;
    return record(std::move(entry));
}

std::int64_t Journal::recordFault(std::optional<std::uint32_t> serial, bool raised, int faultClass,
                                  int number) {
    Entry entry;
    entry.kind = raised ? EntryKind::FaultRaised : EntryKind::FaultCleared;
    entry.serial = serial;
    entry.parameter = "fault " + std::to_string(faultClass) + "." + std::to_string(number);
    entry.detail = nlohmann::json{{"class", faultClass}, {"number", number}}.dump();
    return record(std::move(entry));
}

std::int64_t Journal::recordRunInStart(std::optional<std::uint32_t> serial,
                                       const std::string& program) {
    Entry entry;
    entry.kind = EntryKind::RunInStart;
    entry.serial = serial;
    entry.parameter = program;
    entry.detail = nlohmann::json{{"program", program}}.dump();
    return record(std::move(entry));
}

std::int64_t Journal::recordRunInEnd(std::optional<std::uint32_t> serial,
                                     const std::string& certificate, const std::string& result) {
    Entry entry;
    entry.kind = EntryKind::RunInEnd;
    entry.serial = serial;
    entry.outcome = result;
    entry.detail = nlohmann::json{{"certificate", certificate}, {"result", result}}.dump();
    return record(std::move(entry));
}

std::int64_t Journal::recordFirmware(std::optional<std::uint32_t> serial,
                                     const std::vector<FirmwareFile>& files,
                                     const std::string& outcome) {
    Entry entry;
    entry.kind = EntryKind::Firmware;
    entry.serial = serial;
    entry.outcome = outcome;
    nlohmann::json list = nlohmann::json::array();
    for (const FirmwareFile& file : files) {
        list.push_back({{"name", file.name}, {"size", file.size}, {"sha256", file.sha256}});
        entry.newValue += (entry.newValue.empty() ? "" : " ") + file.name;
    }
    entry.detail = nlohmann::json{{"files", list}}.dump();
    return record(std::move(entry));
}

std::int64_t Journal::recordRestore(std::optional<std::uint32_t> serial, const std::string& file,
                                    const std::string& undoFile, const std::string& outcome) {
    Entry entry;
    entry.kind = EntryKind::Restore;
    entry.serial = serial;
    entry.newValue = file;
    entry.outcome = outcome;
    entry.detail = nlohmann::json{{"file", file}, {"undo_file", undoFile}}.dump();
    return record(std::move(entry));
}

void Journal::enqueue(Work work) {
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(work));
        ++m_queued;
        // The writer starts with the first entry: a journal only read opens nothing.
        if (!m_writer.joinable()) m_writer = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

void Journal::flush() {
    std::unique_lock lock(m_mutex);
    const std::uint64_t target = m_queued;
    m_idle.wait(lock, [&] { return m_done >= target || !m_writer.joinable(); });
}

void Journal::report(const std::string& why) {
    if (m_failed.exchange(true)) return;
    std::function<void(const std::string&)> listener;
    {
        const std::lock_guard lock(m_mutex);
        listener = m_onFailure;
    }
    if (listener) listener(why);
}

void Journal::run() {
    JournalStore store;
    const bool opened = store.open(m_file);
    if (!opened) report("the journal cannot be kept: " + store.error());
    Outbox outbox(store);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty() && m_stopping) break;
        std::deque<Work> batch;
        batch.swap(m_queue);
        const OutboxMirror mirror = m_mirror;
        lock.unlock();
        // One transaction for what piled up: a burst of writes costs one sync.
        if (opened) {
            bool ok = store.begin();
            for (const Work& work : batch) {
                if (!ok) break;
                if (const auto* entry = std::get_if<Entry>(&work)) {
                    ok = store.insert(*entry);
                    if (ok && mirror.entry)
                        if (const auto message = mirror.entry(*entry)) ok = outbox.add(*message);
                } else if (const auto* message = std::get_if<OutboxMessage>(&work)) {
                    ok = outbox.add(*message);
                } else {
                    const auto& update = std::get<OutcomeUpdate>(work);
                    ok = store.setOutcome(update.token, update.outcome);
                    if (ok && mirror.outcome)
                        if (const auto message = mirror.outcome(update.token, update.outcome))
                            ok = outbox.add(*message);
                }
            }
            ok = ok && store.commit();
            if (!ok) {
                store.rollback();
                report("the journal cannot be written: " +
                       (outbox.error().empty() ? store.error() : outbox.error()));
            }
        }
        lock.lock();
        m_done += batch.size();
        m_idle.notify_all();
    }
}

}  // namespace velmora::journal
