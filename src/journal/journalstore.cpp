#include "journal/journalstore.h"

#include <sqlite3.h>

#include <chrono>
#include <system_error>
#include <thread>

#include "journal/sqlstatement.h"

namespace velmora::journal {
namespace {

// A writer waits this long for another program's transaction before it fails.
constexpr int kBusyTimeoutMs = 10000;

// Step n takes a database from version n to n + 1.
constexpr const char* kMigrationSteps[kSchemaVersion] = {
    "CREATE TABLE IF NOT EXISTS entries ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " token INTEGER UNIQUE,"
    " time TEXT NOT NULL,"
    " unix_ms INTEGER NOT NULL,"
    " kind TEXT NOT NULL,"
    " host TEXT, user TEXT, program TEXT, port TEXT,"
    " serial INTEGER,"
    " parameter TEXT, old TEXT, new TEXT, outcome TEXT,"
    " detail TEXT);"
    "CREATE INDEX IF NOT EXISTS entries_by_serial ON entries(serial, unix_ms);",
    // What a station publishes waits here until the broker has it; rows go
    // out in id order and are deleted once acknowledged.
    "CREATE TABLE IF NOT EXISTS outbox ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " station TEXT NOT NULL,"
    " topic TEXT NOT NULL,"
    " payload TEXT NOT NULL,"
    " retain INTEGER NOT NULL DEFAULT 0,"
    " unix_ms INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS outbox_by_station ON outbox(station, id);",
};

constexpr const char* kColumns =
    "id, token, time, unix_ms, kind, host, user, program, port, serial, parameter, old, new, "
    "outcome, detail";

Entry ReadEntry(sqlite3_stmt* stmt) {
    Entry entry;
    entry.id = sqlite3_column_int64(stmt, 0);
    entry.token = sqlite3_column_int64(stmt, 1);
    entry.time = Column(stmt, 2);
    entry.unixMs = sqlite3_column_int64(stmt, 3);
    entry.kind = KindFromName(Column(stmt, 4)).value_or(EntryKind::Action);
    entry.host = Column(stmt, 5);
    entry.user = Column(stmt, 6);
    entry.program = Column(stmt, 7);
    entry.port = Column(stmt, 8);
    if (sqlite3_column_type(stmt, 9) != SQLITE_NULL)
        entry.serial = static_cast<std::uint32_t>(sqlite3_column_int64(stmt, 9));
    entry.parameter = Column(stmt, 10);
    entry.oldValue = Column(stmt, 11);
    entry.newValue = Column(stmt, 12);
    entry.outcome = Column(stmt, 13);
    entry.detail = Column(stmt, 14);
    return entry;
}

int UserVersion(sqlite3* db) {
    SqlStatement stmt(db, "PRAGMA user_version");
    if (!stmt.ok() || sqlite3_step(stmt.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int(stmt.get(), 0);
}

}  // namespace

bool Migrate(sqlite3* db, std::string& error) {
    // IMMEDIATE: two programs opening a fresh file at once migrate one after the other.
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return false;
    }
    int version = UserVersion(db);
    if (version > kSchemaVersion) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        error = "the journal was made by a newer version (schema " + std::to_string(version) + ")";
        return false;
    }
    for (; version >= 0 && version < kSchemaVersion; ++version) {
        if (sqlite3_exec(db, kMigrationSteps[version], nullptr, nullptr, nullptr) != SQLITE_OK)
            break;
        const std::string mark = "PRAGMA user_version = " + std::to_string(version + 1);
        if (sqlite3_exec(db, mark.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) break;
    }
    if (version != kSchemaVersion ||
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

JournalStore::~JournalStore() {
    close();
}

void JournalStore::close() {
    if (m_db != nullptr) sqlite3_close(m_db);
    m_db = nullptr;
}

bool JournalStore::fail(const std::string& what) {
    m_error = what + (m_db != nullptr ? std::string(": ") + sqlite3_errmsg(m_db) : std::string());
    return false;
}

bool JournalStore::exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail(sql);
}

bool JournalStore::open(const std::filesystem::path& file) {
    close();
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        fail("cannot open " + file.string());
        close();
        return false;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // WAL lets readers (history) run beside a writer; NORMAL syncs at checkpoints.
    // Switching a fresh file to WAL while another program does the same can
    // report "locked" without waiting on the busy handler: try again a while.
    bool wal = false;
    for (int waited = 0; !wal && waited <= kBusyTimeoutMs; waited += 20) {
        wal = exec("PRAGMA journal_mode = WAL") && journalMode() == "wal";
        if (!wal) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (wal) m_error.clear();
    if (!wal || !exec("PRAGMA synchronous = NORMAL")) {
        if (m_error.empty()) m_error = "cannot use write-ahead logging in " + file.string();
        close();
        return false;
    }
    if (!Migrate(m_db, m_error)) {
        m_error = file.string() + ": " + m_error;
        close();
        return false;
    }
    return true;
}

bool JournalStore::openForReading(const std::filesystem::path& file) {
    close();
    m_error.clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return false;
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        fail("cannot open " + file.string());
        close();
        return false;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    const int version = UserVersion(m_db);
    if (version > kSchemaVersion || version < 0) {
        m_error = file.string() + ": the journal was made by a newer version (schema " +
                  std::to_string(version) + ")";
        close();
        return false;
    }
    // Version 0: nothing written yet, an empty history. An older schema still
    // holds its entries: the tables a later step adds are not read here.
    if (version < 1) close();
    return true;
}

bool JournalStore::begin() {
    return exec("BEGIN IMMEDIATE");
}

bool JournalStore::commit() {
    return exec("COMMIT");
}

void JournalStore::rollback() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool JournalStore::insert(const Entry& entry) {
    SqlStatement stmt(m_db,
                      "INSERT INTO entries (token, time, unix_ms, kind, host, user, program, port, "
                      "serial, parameter, old, new, outcome, detail) "
                      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    if (!stmt.ok()) return fail("cannot prepare an entry");
    stmt.number(1, entry.token);
    stmt.text(2, entry.time);
    stmt.number(3, entry.unixMs);
    stmt.text(4, std::string(KindName(entry.kind)));
    stmt.text(5, entry.host);
    stmt.text(6, entry.user);
    stmt.text(7, entry.program);
    stmt.text(8, entry.port);
    if (entry.serial) stmt.number(9, *entry.serial);
    stmt.text(10, entry.parameter);
    stmt.text(11, entry.oldValue);
    stmt.text(12, entry.newValue);
    stmt.text(13, entry.outcome);
    stmt.text(14, entry.detail.empty() ? "{}" : entry.detail);
    return sqlite3_step(stmt.get()) == SQLITE_DONE || fail("cannot write an entry");
}

bool JournalStore::setOutcome(std::int64_t token, const std::string& outcome) {
    SqlStatement stmt(m_db, "UPDATE entries SET outcome = ?1 WHERE token = ?2");
    if (!stmt.ok()) return fail("cannot prepare an outcome");
    stmt.text(1, outcome);
    stmt.number(2, token);
    return sqlite3_step(stmt.get()) == SQLITE_DONE || fail("cannot write an outcome");
}

std::vector<Entry> JournalStore::list(const EntryFilter& filter) {
    std::vector<Entry> entries;
    if (m_db == nullptr) return entries;
    const std::string sql = std::string("SELECT ") + kColumns +
                            " FROM entries WHERE (?1 IS NULL OR serial = ?1)"
                            " AND (?2 IS NULL OR unix_ms >= ?2) AND (?3 IS NULL OR kind = ?3)"
                            " ORDER BY id";
    SqlStatement stmt(m_db, sql.c_str());
    if (!stmt.ok()) return entries;
    if (filter.serial) stmt.number(1, *filter.serial);
    if (filter.sinceUnixMs) stmt.number(2, *filter.sinceUnixMs);
    if (filter.kind) stmt.text(3, std::string(KindName(*filter.kind)));
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) entries.push_back(ReadEntry(stmt.get()));
    return entries;
}

std::optional<Entry> JournalStore::findBy(const char* column, std::int64_t value) {
    if (m_db == nullptr) return std::nullopt;
    const std::string sql =
        std::string("SELECT ") + kColumns + " FROM entries WHERE " + column + " = ?1";
    SqlStatement stmt(m_db, sql.c_str());
    if (!stmt.ok()) return std::nullopt;
    stmt.number(1, value);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW) return std::nullopt;
    return ReadEntry(stmt.get());
}

std::optional<Entry> JournalStore::find(std::int64_t id) {
    return findBy("id", id);
}

std::optional<Entry> JournalStore::findByToken(std::int64_t token) {
    return findBy("token", token);
}

int JournalStore::schemaVersion() {
    return m_db != nullptr ? UserVersion(m_db) : -1;
}

std::string JournalStore::journalMode() {
    if (m_db == nullptr) return {};
    SqlStatement stmt(m_db, "PRAGMA journal_mode");
    if (!stmt.ok() || sqlite3_step(stmt.get()) != SQLITE_ROW) return {};
    return Column(stmt.get(), 0);
}

}  // namespace velmora::journal
