#pragma once
// One prepared SQLite statement, finalized on every path out; shared by the
// journal's tables.
#include <sqlite3.h>

#include <cstdint>
#include <string>

namespace velmora::journal {

class SqlStatement {
  public:
    SqlStatement(sqlite3* db, const char* sql) {
        sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    }
    ~SqlStatement() { sqlite3_finalize(m_stmt); }
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;
    [[nodiscard]] bool ok() const { return m_stmt != nullptr; }
    sqlite3_stmt* get() { return m_stmt; }
    void text(int index, const std::string& value) {
        sqlite3_bind_text(m_stmt, index, value.c_str(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
    }
    void number(int index, std::int64_t value) { sqlite3_bind_int64(m_stmt, index, value); }

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

inline std::string Column(sqlite3_stmt* stmt, int index) {
    const auto* text = sqlite3_column_text(stmt, index);
    return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

}  // namespace velmora::journal
