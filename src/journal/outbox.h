#pragma once
// The journal file's outbox: messages a station publishes at least once,
// kept until the broker has acknowledged them, so that neither a broker
// away nor a restart of the station loses one. Rows belong to a station (one
// journal file may serve several) and go out in the order they were added.
// Works on an open JournalStore's connection, on that store's thread.
#include <cstdint>
#include <string>
#include <vector>

#include "journal/journalstore.h"

namespace velmora::journal {

struct OutboxMessage {
    std::int64_t id = 0;  // given by the store; the order of sending
    std::string station;
    std::string topic;
    std::string payload;
    bool retain = false;
};

class Outbox {
  public:
    explicit Outbox(JournalStore& store) : m_store(store) {}

    // Each false sets error().
    bool add(const OutboxMessage& message);
    bool remove(std::int64_t id);
    // The station's oldest messages with an id above `afterId`, at most `limit`.
    [[nodiscard]] std::vector<OutboxMessage> next(const std::string& station, std::int64_t afterId,
                                                  int limit);
    [[nodiscard]] std::int64_t count(const std::string& station);
    [[nodiscard]] const std::string& error() const { return m_error; }

  private:
    bool fail(const std::string& what);
    JournalStore& m_store;
    std::string m_error;
};

}  // namespace velmora::journal
