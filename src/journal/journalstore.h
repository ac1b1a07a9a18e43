#pragma once
// The journal's SQLite file: opening it in WAL mode with a busy timeout (the
// window and velmora-cli write into one file at once), bringing its schema up
// to date, and the statements that write and read entries. One connection;
// use it from one thread at a time.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "journal/entry.h"

struct sqlite3;

namespace velmora::journal {

// The schema this build writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 2;

struct EntryFilter {
    std::optional<std::uint32_t> serial;
    std::optional<std::int64_t> sinceUnixMs;
    std::optional<EntryKind> kind;
};

class JournalStore {
  public:
    JournalStore() = default;
    ~JournalStore();
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;

    // Opens (creating the file and its folder) and migrates. False with
    // error() set when the file cannot be made, read or is of a newer schema.
    bool open(const std::filesystem::path& file);
    // Opens an existing file for reading only; a missing file is no error
    // (an empty history), a newer schema is.
    bool openForReading(const std::filesystem::path& file);
    [[nodiscard]] bool isOpen() const { return m_db != nullptr; }
    [[nodiscard]] const std::string& error() const { return m_error; }

    // Writing; each false sets error().
    bool begin();
    bool commit();
    void rollback();
    bool insert(const Entry& entry);
    bool setOutcome(std::int64_t token, const std::string& outcome);

    // Reading, oldest first.
    [[nodiscard]] std::vector<Entry> list(const EntryFilter& filter);
    [[nodiscard]] std::optional<Entry> find(std::int64_t id);
    // The entry a process recorded under this token (Journal::record's answer).
    [[nodiscard]] std::optional<Entry> findByToken(std::int64_t token);

    [[nodiscard]] int schemaVersion();
    // The connection, for the other tables of the file (outbox.h).
    [[nodiscard]] sqlite3* handle() const { return m_db; }
    [[nodiscard]] std::string journalMode();

  private:
    bool exec(const char* sql);
    [[nodiscard]] std::optional<Entry> findBy(const char* column, std::int64_t value);
    bool migrate();
    bool fail(const std::string& what);
    void close();

    sqlite3* m_db = nullptr;
    std::string m_error;
};

// Brings a database from its user_version up to kSchemaVersion, one step per
// version, inside one write transaction; a newer version is left untouched.
// False with `error` set.
bool Migrate(sqlite3* db, std::string& error);

}  // namespace velmora::journal
