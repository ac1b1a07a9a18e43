#include "journal/outbox.h"

#include "journal/journal.h"
#include "journal/sqlstatement.h"

namespace velmora::journal {

bool Outbox::fail(const std::string& what) {
    m_error = what;
    if (sqlite3* db = m_store.handle()) m_error += std::string(": ") + sqlite3_errmsg(db);
    return false;
}

bool Outbox::add(const OutboxMessage& message) {
    if (!m_store.isOpen()) return fail("the journal is not open");
    SqlStatement stmt(m_store.handle(),
                      "INSERT INTO outbox (station, topic, payload, retain, unix_ms) "
                      "VALUES (?1, ?2, ?3, ?4, ?5)");
    if (!stmt.ok()) return fail("cannot prepare an outbox message");
    stmt.text(1, message.station);
    stmt.text(2, message.topic);
    stmt.text(3, message.payload);
    stmt.number(4, message.retain ? 1 : 0);
    stmt.number(5, NowUnixMs());
    return sqlite3_step(stmt.get()) == SQLITE_DONE || fail("cannot write an outbox message");
}

bool Outbox::remove(std::int64_t id) {
    if (!m_store.isOpen()) return fail("the journal is not open");
    SqlStatement stmt(m_store.handle(), "DELETE FROM outbox WHERE id = ?1");
    if (!stmt.ok()) return fail("cannot prepare an outbox removal");
    stmt.number(1, id);
    return sqlite3_step(stmt.get()) == SQLITE_DONE || fail("cannot remove an outbox message");
}

std::vector<OutboxMessage> Outbox::next(const std::string& station, std::int64_t afterId,
                                        int limit) {
    std::vector<OutboxMessage> messages;
    if (!m_store.isOpen()) return messages;
    SqlStatement stmt(
        m_store.handle(),
        "SELECT id, topic, payload, retain FROM outbox WHERE station = ?1 AND id > ?2 "
        "ORDER BY id LIMIT ?3");
    if (!stmt.ok()) return messages;
    stmt.text(1, station);
    stmt.number(2, afterId);
    stmt.number(3, limit);
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        messages.push_back({sqlite3_column_int64(stmt.get(), 0), station, Column(stmt.get(), 1),
                            Column(stmt.get(), 2), sqlite3_column_int(stmt.get(), 3) != 0});
    }
    return messages;
}

std::int64_t Outbox::count(const std::string& station) {
    if (!m_store.isOpen()) return 0;
    SqlStatement stmt(m_store.handle(), "SELECT COUNT(*) FROM outbox WHERE station = ?1");
    if (!stmt.ok()) return 0;
    stmt.text(1, station);
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? sqlite3_column_int64(stmt.get(), 0) : 0;
}

}  // namespace velmora::journal
